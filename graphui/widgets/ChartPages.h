// The property pages of one chart series: its bar style, the table columns
// it plots, its error bars and the value axes it is drawn on. Each copies
// the series' settings when it is built and writes them back on Apply.
#pragma once

#include "graphui/widgets/ChartWizard.h"
#include "graphui/widgets/DatasetPages.h"

#include <string>
#include <vector>

class CXYDatasetChart;
class QCheckBox;
class QComboBox;

// The bar style of existing series: of one, or of several at once, where a
// setting on which they differ is left as each has it unless it is set.
class CDataPointChartPage : public CChartBarStylePage {
    Q_OBJECT
public:
    explicit CDataPointChartPage(CXYDatasetChart* dataset, QWidget* parent = nullptr);
    explicit CDataPointChartPage(std::vector<CXYDatasetChart*> datasets, QWidget* parent = nullptr);
    bool OnApply() override;
    // The series edited (the first is the one whose pictures the page shows).
    std::vector<CXYDatasetChart*> m_datasets;
};

// The table and columns of an existing series (the categories are the chart's).
class CChartEditDataSourcePage : public CWizardPage {
    Q_OBJECT
public:
    CChartEditDataSourcePage(CXYDatasetChart* dataset, CWizardCatalog* catalog, QWidget* parent = nullptr);
    bool OnApply() override;

    std::string m_strTable;
    int m_nUpperColumn = -1;
    int m_bLower = 0;
    int m_nLowerColumn = -1;

    QComboBox* m_table;
    QComboBox* m_upper;
    QCheckBox* m_lowerCheck;
    QComboBox* m_lower;

protected:
    void DoDataExchange(CDataExchange* pDX) override;

private:
    void FillColumns();
    CXYDatasetChart* m_pDataset;
    CWizardCatalog* m_pCatalog;
    bool m_bFilling = false;
};

// The error bars of a series: at the bar ends (upper data) and at the bar
// starts (lower data), from the series' own table.
class CChartErrorsPage : public CXYErrorsPage {
    Q_OBJECT
public:
    CChartErrorsPage(CXYDatasetChart* dataset, CWizardCatalog* catalog, QWidget* parent = nullptr);
    // The series keeps the bar starts' errors where a point keeps X errors.
    static constexpr int kLower = 0;
    static constexpr int kUpper = 1;
};

// The value axes of an existing series.
class CColumnAssocProp : public CColumnAssocPage {
    Q_OBJECT
public:
    explicit CColumnAssocProp(CXYDatasetChart* dataset, QWidget* parent = nullptr);
    bool OnApply() override;
    CXYDatasetChart* m_pDataset;
};
