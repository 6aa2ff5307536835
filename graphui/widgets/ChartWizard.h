// The column and bar chart wizards: a data table's category column and the
// column of bar ends (optionally a column where the bars start, and error
// columns), the value axis' initial scaling, a tick style, the bar style,
// point symbols and a join line. They build a new chart or add a series to
// an existing one. The bar style page also serves, through its property
// form, on a series' property sheet.
#pragma once

#include "graphui/widgets/XYWizard.h"

#include <bitset>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CDrawData;
class CXYDatasetChart;
class QButtonGroup;
class QLabel;

// The chart kinds as the graph-type gallery numbers them.
enum ChartKind : int {
    CHART_COLUMN = 1,
    CHART_BAR = 2,
};

class CChartDataSourcePage : public CGraphWizardPage {
    Q_OBJECT
public:
    explicit CChartDataSourcePage(QWidget* parent = nullptr);
    void OnSetActive() override;
    int OnWizardNext() override;
    // A workspace notice: follows renames, deletions and column moves of the source.
    void OnNotify(const CUpdateNotification& notice);
    // Lists the tables and the source's columns again.
    void FillLists();
    // Adding to a chart: the categories are the chart's, so their controls go.
    void SetAdding(bool adding);

    std::string m_strSource;
    int m_nCategoryColumn = -1;
    int m_nUpperColumn = -1;
    int m_bError = 0;
    int m_nErrorColumn = -1;
    int m_bLower = 0;
    int m_nLowerColumn = -1;
    int m_nLowerErrorColumn = -1;
    std::string m_strLegend;

    QComboBox* m_source;
    QLabel* m_categoryLabel;
    QComboBox* m_category;
    QComboBox* m_upper;
    QCheckBox* m_errorCheck;
    QComboBox* m_error;
    QCheckBox* m_lowerCheck;
    QComboBox* m_lower;
    QLabel* m_lowerErrorLabel;
    QComboBox* m_lowerError;
    QLineEdit* m_legend;

protected:
    void DoDataExchange(CDataExchange* pDX) override;

private:
    void UpdateControls();
    void OnSourceChanged();
    bool m_bAdding = false;
    bool m_bFilling = false;
};

// The value axis' type, scaling and title, and the category axis' title.
class CChartScalingPage : public CGraphWizardPage {
    Q_OBJECT
public:
    explicit CChartScalingPage(QWidget* parent = nullptr);
    void OnSetActive() override;
    // The automatic range for the chosen type; Autoscale takes it.
    void Recalculate();

    int m_nType = 0;
    int m_nScaling = 0;
    double m_dFrom = 0.0;
    double m_dTo = 0.0;
    double m_dAutoMin = 0.0;
    double m_dAutoMax = 5.0;
    std::string m_strDataTitle;
    std::string m_strCategoryTitle;
    int m_bLoadTitles = 1;

    QComboBox* m_type;
    QRadioButton* m_auto;
    QRadioButton* m_manual;
    QLineEdit* m_from;
    QLineEdit* m_to;
    QLineEdit* m_dataTitle;
    QLineEdit* m_categoryTitle;

protected:
    void DoDataExchange(CDataExchange* pDX) override;

private:
    void UpdateControls();
};

class CChartBarStylePage : public CGraphWizardPage {
    Q_OBJECT
public:
    // columns: the bar type pictures show columns (true) or horizontal bars.
    explicit CChartBarStylePage(bool columns = true, const QString& caption = {}, QWidget* parent = nullptr);
    void OnSetActive() override;
    // Sets the pictures of the bar types for columns or bars.
    void SetOrientation(bool columns);

    int m_nFillStyle = 6;
    int m_nBarType = 0;
    int m_bBack = 1;
    COLORREF m_crBack = 0xFFFFFF;
    COLORREF m_crFore = 0x00FF00;
    int m_bNegative = 0;
    COLORREF m_crNegFore = 0x00FF00;
    COLORREF m_crNegBack = 0xFFFFFF;
    int m_nOutlineStyle = 1;
    COLORREF m_crOutline = 0x000000;
    int m_nOutlineWidth = 8;
    int m_bColumns = 1;

    // The settings of the page; one on which the series being edited differ
    // is undetermined: shown blank, and read only once the user sets it.
    enum Field {
        F_FILL,
        F_BAR_TYPE,
        F_BACK,
        F_BACK_COLOUR,
        F_FORE,
        F_NEGATIVE,
        F_NEG_FORE,
        F_NEG_BACK,
        F_OUTLINE_STYLE,
        F_OUTLINE,
        F_OUTLINE_WIDTH,
        F_COUNT
    };
    std::bitset<F_COUNT> m_undetermined;

    std::vector<QRadioButton*> m_fills;
    QComboBox* m_barType;
    QCheckBox* m_backCheck;
    CColourCombo* m_back;
    CColourCombo* m_fore;
    QCheckBox* m_negativeCheck;
    QLabel* m_negForeLabel;
    CColourCombo* m_negFore;
    QLabel* m_negBackLabel;
    CColourCombo* m_negBack;
    QComboBox* m_outlineStyle;
    CColourCombo* m_outline;
    QLineEdit* m_outlineWidth;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void UpdateControls();

private:
    void ExchangeIndex(CDataExchange* pDX, QComboBox* combo, int& value, Field field);
    void ExchangeCheck(CDataExchange* pDX, QCheckBox* box, int& value, Field field);
    void ExchangeColour(CDataExchange* pDX, CColourCombo* combo, COLORREF& value, Field field);
    QButtonGroup* m_fillGroup;
};

// The value axes a new series is drawn on (the Y axes of a column chart,
// the X axes of a bar chart).
class CColumnAssocPage : public CGraphWizardPage {
    Q_OBJECT
public:
    explicit CColumnAssocPage(CDrawGraph* graph, const QString& caption = {}, QWidget* parent = nullptr);
    void OnSetActive() override;
    void SelectAll();

    CDrawGraph* m_pGraph;
    std::vector<std::uint32_t> m_axes{0};
    QListWidget* m_list;
    QPushButton* m_all;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    // Whether the value axes are the graph's X axes (a bar chart).
    bool ValueAxesAreX() const;
};

class CChartWizardSheet : public CGraphWizardSheet {
    Q_OBJECT
public:
    void OnItemNotify(CUpdateNotification& notice) override;
    std::string GetSourceName() const override { return m_source.m_strSource; }
    // The category range stays the axis default; the value range is the
    // extent of the bar ends (and starts) with their error bars.
    void CalcAutoRange(bool xLog, bool yLog, double& xMin, double& xMax, double& yMin, double& yMax) override;
    // x: the category axis' title, y: the value axis' title.
    void GetAxisTitles(std::string& x, std::string& y) override;
    void ApplyToGraph(CDrawGraph* graph, bool newGraph) override;
    // Bars run along X (a bar chart); columns up Y.
    bool IsHorizontal() const { return m_bHorizontal; }
    // The series of this kind for the chosen columns.
    virtual CXYDatasetChart* NewDataset(CDrawGraph* graph) const = 0;

    CChartDataSourcePage m_source;
    CChartScalingPage m_scaling;
    CXYTickPage m_ticks;
    CColumnAssocPage m_association;
    CChartBarStylePage m_bars;
    CXYPointPage m_points;
    CJoinPointPage m_join;

protected:
    // A new chart.
    CChartWizardSheet(bool horizontal, CWizardCatalog* catalog, CGraphSources* sources, QWidget* parent);
    // A series added to the chart.
    CChartWizardSheet(bool horizontal, CDrawGraph* graph, CWizardCatalog* catalog, CGraphSources* sources,
                      QWidget* parent);

private:
    void FillDataset(CXYDatasetChart& d) const;
    bool m_bHorizontal;
    // The chart's categories when adding to it.
    std::string m_strCategoryTable;
    int m_nCategoryColumn = -1;
};

class CColChartWizardSheet : public CChartWizardSheet {
    Q_OBJECT
public:
    CColChartWizardSheet(CWizardCatalog* catalog, CGraphSources* sources, QWidget* parent = nullptr);
    CColChartWizardSheet(CDrawGraph* graph, CWizardCatalog* catalog, CGraphSources* sources, QWidget* parent = nullptr);
    CXYDatasetChart* NewDataset(CDrawGraph* graph) const override;
};

class CBarChartWizardSheet : public CChartWizardSheet {
    Q_OBJECT
public:
    CBarChartWizardSheet(CWizardCatalog* catalog, CGraphSources* sources, QWidget* parent = nullptr);
    CBarChartWizardSheet(CDrawGraph* graph, CWizardCatalog* catalog, CGraphSources* sources, QWidget* parent = nullptr);
    CXYDatasetChart* NewDataset(CDrawGraph* graph) const override;
};

// The colour of the n-th series of a chart (ten colours in turn).
COLORREF ChartSeriesColour(int n);

// The wizard of a gallery kind (CHART_COLUMN or CHART_BAR) for a new chart; null for another kind.
std::unique_ptr<CChartWizardSheet> MakeChartWizard(int kind, CWizardCatalog* catalog, CGraphSources* sources,
                                                   QWidget* parent = nullptr);
// After Finish: a new chart of the wizard's kind on the page at the
// rectangle, built from the wizard's pages. The page owns it.
CDrawGraph* BuildChart(CChartWizardSheet& wizard, CDrawData* page, const RECT& rect);
// Runs the chart wizard of a gallery kind and builds the chart on Finish;
// null when the user cancelled (nothing is built) or the kind is no chart.
CDrawGraph* RunChartWizard(int kind, CWizardCatalog* catalog, CGraphSources* sources, CDrawData* page,
                           const RECT& rect, QWidget* parent = nullptr);
