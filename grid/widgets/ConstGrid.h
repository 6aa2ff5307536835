// The values of an equation's constants for a non-linear fit: names from the
// fit's equation, values from the fit item. The fit item's constants tab
// implements the source.
#pragma once

#include "grid/widgets/ValueGrid.h"

class CEquationBase;

class CConstGridSource {
public:
    virtual ~CConstGridSource() = default;
    // The fit's equation as it is now (null when the fit has none).
    virtual const CEquationBase* GetEquation() const = 0;
    virtual double GetConstant(int index) const = 0;
    virtual void SetConstant(int index, double value) = 0;
    // A constant changed: the owning view refreshes.
    virtual void OnConstantsChanged() {}
};

class CConstGrid : public CValueGrid {
    Q_OBJECT
public:
    explicit CConstGrid(QWidget* parent = nullptr) : CValueGrid(parent) {}

    // Keeps the source, takes the placeholder's place in the dialog and fills the grid.
    bool Attach(CConstGridSource* source, QWidget* dialog, int placeholderId);
    void SetSource(CConstGridSource* source) { m_pSource = source; }

protected:
    int GetEntryCount() const override;
    std::string GetEntryName(int index) const override;
    std::string GetNameCaption() const override;
    std::string GetValueCaption() const override;
    double GetValue(int index) const override;
    void SetValue(int index, double value) override;
    void OnValueChanged(int index) override;

private:
    CConstGridSource* m_pSource = nullptr;
};
