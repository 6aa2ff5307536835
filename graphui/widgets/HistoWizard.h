// The histogram wizard: the data source (a table's values column, optionally
// weighted by a numbers column, with the bins' start and increment), the
// initial scaling, a tick style and the bar style. It builds a new histogram
// graph or adds a histogram to one. The data source and bar style pages also
// serve, through property forms, on a histogram's property sheet.
#pragma once

#include "graphui/widgets/XYWizard.h"

class CMyData;
class CXYDatasetHisto;

class CHistoDataSourcePage : public CGraphWizardPage {
    Q_OBJECT
public:
    explicit CHistoDataSourcePage(QWidget* parent = nullptr);
    void OnSetActive() override;
    int OnWizardNext() override;
    // A workspace notice: follows renames, deletions and column moves of the source.
    void OnNotify(const CUpdateNotification& notice);
    // Lists the tables and the source's columns again.
    void FillLists();

    std::string m_strLegend;
    std::string m_strSource;
    int m_nColumn = -1;
    int m_bWeights = 0;
    int m_nWeightsColumn = -1;
    double m_dOrigin = 0.0;
    double m_dWidth = 1.0;

    QLineEdit* m_legend = nullptr;
    QComboBox* m_source;
    QComboBox* m_values;
    QCheckBox* m_weightsCheck;
    QComboBox* m_weights;
    QLineEdit* m_origin;
    QLineEdit* m_width;

protected:
    // The editing form has no legend text.
    CHistoDataSourcePage(int templateId, const QString& caption, bool legend, QWidget* parent);
    void DoDataExchange(CDataExchange* pDX) override;
    // The checks of Next: source, values column, numbers column.
    bool CheckChoices();
    // The sheet's catalog and sources (the editing form has its own).
    virtual CWizardCatalog* Catalog() const;
    virtual CGraphSources* Sources() const;
    void UpdateControls();
    void OnSourceChanged();
    bool m_bFilling = false;
};

// The data source of an existing histogram, on its property sheet.
class CHistoEditDataSourcePage : public CHistoDataSourcePage {
    Q_OBJECT
public:
    CHistoEditDataSourcePage(CXYDatasetHisto* dataset, CWizardCatalog* catalog, QWidget* parent = nullptr);
    bool OnApply() override;
    CXYDatasetHisto* m_pDataset;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    CWizardCatalog* Catalog() const override { return m_pCatalog; }
    CGraphSources* Sources() const override;

private:
    CWizardCatalog* m_pCatalog;
};

class CHistoBarStylePage : public CGraphWizardPage {
    Q_OBJECT
public:
    explicit CHistoBarStylePage(const QString& caption = {}, QWidget* parent = nullptr);
    void OnSetActive() override;

    int m_nFillStyle = 6;
    int m_nBarType = 0;
    int m_bForeOn = 1;
    COLORREF m_crFore = 0x00FF00;
    int m_bBackOn = 1;
    COLORREF m_crBack = 0xFFFFFF;
    int m_nOutlineWidth = 8;
    int m_nOutlineStyle = 1;
    COLORREF m_crOutline = 0x000000;

    std::vector<QRadioButton*> m_fills;
    QComboBox* m_barType;
    QCheckBox* m_foreCheck;
    CColourCombo* m_fore;
    QCheckBox* m_backCheck;
    CColourCombo* m_back;
    QLineEdit* m_outlineWidth;
    QComboBox* m_outlineStyle;
    CColourCombo* m_outline;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void UpdateControls();
};

// The bar style of an existing histogram.
class CDataPointHistoPage : public CHistoBarStylePage {
    Q_OBJECT
public:
    explicit CDataPointHistoPage(CXYDatasetHisto* dataset, QWidget* parent = nullptr);
    bool OnApply() override;
    CXYDatasetHisto* m_pDataset;
};

class CHistoWizardSheet : public CGraphWizardSheet {
    Q_OBJECT
public:
    // A new histogram graph.
    CHistoWizardSheet(CWizardCatalog* catalog, CGraphSources* sources, QWidget* parent = nullptr);
    // A histogram added to the graph.
    CHistoWizardSheet(CDrawGraph* graph, CWizardCatalog* catalog, CGraphSources* sources, QWidget* parent = nullptr);

    void OnItemNotify(CUpdateNotification& notice) override;
    std::string GetSourceName() const override { return m_source.m_strSource; }
    void CalcAutoRange(bool xLog, bool yLog, double& xMin, double& xMax, double& yMin, double& yMax) override;
    void GetAxisTitles(std::string& x, std::string& y) override;
    void ApplyToGraph(CDrawGraph* graph, bool newGraph) override;

    CHistoDataSourcePage m_source;
    CXYScalingPage m_scaling;
    CXYTickPage m_ticks;
    CAxisAssociationPage m_association;
    CHistoBarStylePage m_bars;
};

// The bins of a column as a histogram counts them: the lowest bin's lower
// edge lies at or below the smallest value on the grid origin + k x width.
struct HistoBins {
    double firstEdge = 0.0;
    double lastEdge = 0.0; // lower edge of the highest bin
    double largestCount = 0.0;
    double smallestPositiveCount = 0.0;
    bool valid = false;
};
HistoBins CountHistoBins(const CMyData& table, int column, bool weights, int weightsColumn, double origin,
                         double width);
