// Columns of values for an equation item's parameters or constants, each row
// labelled with the name of its parameter or constant. The user types the
// values; the column keeps the labels in step with the equation.
#pragma once

#include "data/DataColumnType.h"

#include <string>

class CMXEquationBase;

class CDataCTypeEqn : public CDataColumnType {
    DECLARE_SERIAL(CDataCTypeEqn)
public:
    CDataCTypeEqn() : CDataCTypeEqn(kTypeParameters, -1) {}

    CData* Clone() const override { return new CDataCTypeEqn(*this); }
    void ComputeValue(int row, CDataTableItem* item, BOOL updateViews) override;
    int EditSettings(CDataTableItem* item) override;
    int HasSettings() const override { return 1; }
    int IsEditable() const override { return 1; }
    void OnNotify(CDataTableItem* item, CDataTableItem* subject, CUpdateNotification& note) override;
    CData* MakeDataFromText(int row, std::string_view text) override;
    std::vector<std::string> GetLinks() const override;
    void RestoreLinks(CDataTableItem* item, const std::vector<std::string>& links) override;

    // The settings dialog's template; 0 in the base.
    virtual int GetDialogID() const { return 0; }
    virtual int GetValueCount(CMXEquationBase& equation) const { return 0; }
    virtual void GetValueName(CMXEquationBase& equation, int index, std::string& name) const { name.clear(); }
    // The equation item of the stored name when its equation is valid; else null.
    CMXEquationBase* GetEquationItem(CDataTableItem* item) const;

    // Version 0, the equation item's name.
    void Serialize(CArchive& ar) override;

    std::string m_strEquation;

protected:
    CDataCTypeEqn(int type, int column) : CDataColumnType(type, column) {}
    CDataCTypeEqn(const CDataCTypeEqn&) = default;

private:
    // The owning item, kept from the last computation for typed text.
    CDataTableItem* m_pItem = nullptr;
};

class CDataCTypeParameters : public CDataCTypeEqn {
    DECLARE_SERIAL(CDataCTypeParameters)
public:
    CDataCTypeParameters() : CDataCTypeParameters(-1) {}
    explicit CDataCTypeParameters(int column) : CDataCTypeEqn(kTypeParameters, column) {}
    CData* Clone() const override { return new CDataCTypeParameters(*this); }
    int GetDialogID() const override { return 3595; }
    int GetValueCount(CMXEquationBase& equation) const override;
    void GetValueName(CMXEquationBase& equation, int index, std::string& name) const override;

protected:
    CDataCTypeParameters(const CDataCTypeParameters&) = default;
};

class CDataCTypeConstants : public CDataCTypeEqn {
    DECLARE_SERIAL(CDataCTypeConstants)
public:
    CDataCTypeConstants() : CDataCTypeConstants(-1) {}
    explicit CDataCTypeConstants(int column) : CDataCTypeEqn(kTypeConstants, column) {}
    CData* Clone() const override { return new CDataCTypeConstants(*this); }
    int GetDialogID() const override { return 3596; }
    int GetValueCount(CMXEquationBase& equation) const override;
    void GetValueName(CMXEquationBase& equation, int index, std::string& name) const override;

protected:
    CDataCTypeConstants(const CDataCTypeConstants&) = default;
};
