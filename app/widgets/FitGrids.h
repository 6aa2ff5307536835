// The grids of the fit item forms: the read-only grid of fitted parameters
// with their values and standard errors on the Results tab, and the grid of
// starting-value ranges (start, end and number of values per parameter) on
// the non-linear fit's Estimatrix tab.
#pragma once

#include "data/DataFormat.h"
#include "grid/widgets/GridCtrl.h"

#include <functional>
#include <string>
#include <vector>

class CMXNonLinear;

// What both grids share: a heading row, names in column 1 behind a hairline
// column 0, the edit menu, and columns that share out the width on every resize.
class CFitGridBase : public CGridCtrl {
    Q_OBJECT
public:
    explicit CFitGridBase(QWidget* parent = nullptr);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void OnContextMenu(const QPoint& position) override;
    // Shares the client width out among the columns.
    virtual void FitColumns() = 0;
    // The client width less one pixel, in logical units; 0 before the grid is made.
    int ClientWidth();
};

class CResultGrid : public CFitGridBase {
    Q_OBJECT
public:
    explicit CResultGrid(QWidget* parent = nullptr);

    // Parameter row (from 0): its name, value and standard error.
    void SetResult(int row, const std::string& name, double value, double error);
    void Clear();
    void SetFormat(const CDataFormat& format) { m_format = format; }
    int GetResultCount() const { return int(m_names.size()); }

    void GetHeaderText(int row, int column, std::string& text) override;
    void GetCellValueText(int row, int column, std::string& text) override;
    int SetCellText(int, int, const std::string&) override { return 0; }

protected:
    void FitColumns() override;

private:
    std::vector<std::string> m_names;
    std::vector<double> m_values;
    std::vector<double> m_errors;
    CDataFormat m_format;
};

// Per parameter p of the item's equation: the start (given or not), the end
// and the number of values of the range of starting values that the fit
// tries. A start alone is one value; a range of two different ends is tried
// in 2 to 20 values (5 unless the user says otherwise).
// A grid of one row per parameter of a non-linear fit's equation; the
// owner is told after a value was stored.
class CParameterRowsGrid : public CFitGridBase {
    Q_OBJECT
public:
    using CFitGridBase::CFitGridBase;

    bool CreateFor(CMXNonLinear* item, QWidget* dialog, int placeholderId);
    void SetItem(CMXNonLinear* item) { m_pItem = item; }
    // One row per parameter of the item's equation.
    void Refresh();
    void SetChangeHandler(std::function<void()> handler) { m_onChanged = std::move(handler); }

protected:
    int ParameterCount() const;
    CMXNonLinear* m_pItem = nullptr;
    std::function<void()> m_onChanged;
};

class CEstimatrixGrid : public CParameterRowsGrid {
    Q_OBJECT
public:
    explicit CEstimatrixGrid(QWidget* parent = nullptr);
    // Told just before a value is stored.
    void SetBeforeChangeHandler(std::function<void()> handler) { m_onChanging = std::move(handler); }

    void GetHeaderText(int row, int column, std::string& text) override;
    void GetCellValueText(int row, int column, std::string& text) override;
    int SetCellText(int row, int column, const std::string& text) override;

protected:
    void FitColumns() override;

private:
    std::function<void()> m_onChanging;
};

// The starting values of the interactive estimator: per parameter of the
// item's equation its name and an estimate from the dialog's array (the
// blank value: none yet). The dialog is told after every changed value.
class CEstimatorGrid : public CParameterRowsGrid {
    Q_OBJECT
public:
    explicit CEstimatorGrid(QWidget* parent = nullptr);

    bool CreateFor(CMXNonLinear* item, std::vector<double>* estimates, QWidget* dialog, int placeholderId);

    void GetHeaderText(int row, int column, std::string& text) override;
    void GetCellValueText(int row, int column, std::string& text) override;
    int SetCellText(int row, int column, const std::string& text) override;

protected:
    void FitColumns() override;

private:
    std::vector<double>* m_pEstimates = nullptr;
};
