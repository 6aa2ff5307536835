// The item of an equation written in the equation language.
#pragma once

#include "app/MXEquationBase.h"
#include "equation/Equation.h"
#include "platform/StringIds.h"

class CMXEquation : public CMXEquationBase {
    DECLARE_SERIAL(CMXEquation)
public:
    CMXEquation();
    explicit CMXEquation(CProjectDocBase* document);

    void GetTypeName(std::string& out) const override;
    int GetKindFlag() const override { return KIND_EQUATION; }
    int GetStoreIconIndex() const override { return 2; }
    int GetLargeBitmapID() const override { return 354; }
    int GetSmallBitmapID() const override { return 355; }
    UINT GetNamePatternID() const override { return IDS_EQUATION_NAME_PATTERN; }
    UINT GetTypeTextID() const override { return IDS_EQUATION_TYPE_TEXT; }

    CEquationBase* GetEquation() override { return &m_equation; }
    CEquation& GetCompiledEquation() { return m_equation; }

    // Names an imported equation: the name, made unique with " #n" when taken.
    bool SetEquationName(const std::string& name);

    // Version 1: the base record, then the equation. Version 0 (read only):
    // the program item's record, the equation, then the fonts and indents.
    void Serialize(CArchive& ar) override;

private:
    CEquation m_equation;
};
