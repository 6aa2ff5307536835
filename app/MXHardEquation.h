// The item of an equation supplied by an equation library.
#pragma once

#include "app/MXEquationBase.h"
#include "equation/HardEquation.h"
#include "platform/StringIds.h"

class CMXHardEquation : public CMXEquationBase {
    DECLARE_SERIAL(CMXHardEquation)
public:
    CMXHardEquation();
    explicit CMXHardEquation(CProjectDocBase* document);

    void GetTypeName(std::string& out) const override;
    int GetKindFlag() const override { return KIND_HARD_EQUATION; }
    int GetStoreIconIndex() const override { return 9; }
    int GetLargeBitmapID() const override { return 513; }
    int GetSmallBitmapID() const override { return 514; }
    UINT GetNamePatternID() const override { return IDS_HARD_EQUATION_NAME_PATTERN; }
    UINT GetTypeTextID() const override { return IDS_HARD_EQUATION_TYPE_TEXT; }

    CEquationBase* GetEquation() override { return &m_equation; }
    CHardEquation& GetHardEquation() { return m_equation; }

    // Version 0, the equation base's record, then the library equation (whose load reloads the library).
    void Serialize(CArchive& ar) override;

private:
    CHardEquation m_equation;
};
