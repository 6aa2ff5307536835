// The values of a graph curve page: the page supplies the names, the caption
// of the names column and the array of values, and is marked modified when
// a value changes.
#pragma once

#include "grid/widgets/ValueGrid.h"

#include <vector>

class CCurveValuePage {
public:
    virtual ~CCurveValuePage() = default;
    virtual int GetValueCount() const = 0;
    virtual std::string GetValueName(int index) const = 0;
    virtual std::string GetNameCaption() const = 0;
    virtual std::vector<double>& GetValues() = 0;
    virtual void MarkModified() = 0;
};

class CCurvevalueGrid : public CValueGrid {
    Q_OBJECT
public:
    explicit CCurvevalueGrid(CCurveValuePage* page, QWidget* parent = nullptr) : CValueGrid(parent), m_pPage(page) {}

protected:
    int GetEntryCount() const override;
    std::string GetEntryName(int index) const override;
    std::string GetNameCaption() const override;
    std::string GetValueCaption() const override;
    double GetValue(int index) const override;
    void SetValue(int index, double value) override;
    void OnValueChanged(int index) override;

private:
    CCurveValuePage* m_pPage;
};
