// The XY graph wizard: the data source, the initial scaling, a tick style,
// the point and join styles, the fitted-curve style and, for equation
// curves, the parameter and constant values. It builds a new XY graph or
// adds a dataset to an existing one. The point, join and curve pages also
// serve, through property forms, on a dataset's property sheet.
#pragma once

#include "graphui/widgets/GraphWizard.h"

#include <cstddef>
#include <string>
#include <vector>

class CColourCombo;
class CXYDataset;
class CXYDatasetFit;
class CXYDatasetCurve;
class QCheckBox;
class QComboBox;
class QListWidget;
class QRadioButton;
class QTableWidget;

class CGraphWizardPage : public CWizardPage {
    Q_OBJECT
public:
    using CWizardPage::CWizardPage;
    CGraphWizardSheet* GraphSheet() const;
    int SourceKind() const;
};

class CXYDataPage : public CGraphWizardPage {
    Q_OBJECT
public:
    explicit CXYDataPage(QWidget* parent = nullptr);
    void OnSetActive() override;
    bool OnKillActive() override;
    int OnWizardNext() override;
    // A workspace notice: follows renames, deletions and column moves of the source.
    void OnNotify(const CUpdateNotification& notice);
    // Lists the items and the columns of the source again.
    void FillLists();

    std::string m_strSource;
    int m_nXColumn = -1;
    int m_nYColumn = -1;
    int m_bError = 0;
    int m_nErrorColumn = -1;
    std::string m_strLegend;
    int m_bTransform = 0;
    std::string m_strTransform;
    int m_nFitsChoice = 0;
    int m_nFirstFit = 1;
    int m_nLastFit = 1;

    QComboBox* m_source;
    QComboBox* m_x;
    QComboBox* m_y;
    QCheckBox* m_errorCheck;
    QComboBox* m_error;
    QLineEdit* m_legend;
    QCheckBox* m_transformCheck;
    QComboBox* m_transform;
    QRadioButton* m_allFits;
    QRadioButton* m_someFits;
    QLineEdit* m_first;
    QLineEdit* m_last;

protected:
    void DoDataExchange(CDataExchange* pDX) override;

private:
    void UpdateControls();
    void OnSourceChanged();
    bool m_bFilling = false;
};

class CXYScalingPage : public CGraphWizardPage {
    Q_OBJECT
public:
    explicit CXYScalingPage(int templateId = 436, QWidget* parent = nullptr);
    void OnSetActive() override;
    // The automatic ranges for the chosen types; an autoscaled axis takes its range.
    void Recalculate();

    int m_nType[2] = {0, 0};
    int m_nScaling[2] = {0, 0};
    double m_dFrom[2] = {0.0, 0.0};
    double m_dTo[2] = {0.0, 0.0};
    double m_dAutoMin[2] = {0.0, 0.0};
    double m_dAutoMax[2] = {5.0, 5.0};
    std::string m_strTitle[2];
    int m_bLoadTitles = 1;

    QComboBox* m_type[2];
    QRadioButton* m_auto[2];
    QRadioButton* m_manual[2];
    QLineEdit* m_from[2];
    QLineEdit* m_to[2];
    QLineEdit* m_title[2];

protected:
    void DoDataExchange(CDataExchange* pDX) override;

private:
    void UpdateControls();
};

// One of ten tick styles (shared by the XY, chart and histogram wizards).
class CXYTickPage : public CGraphWizardPage {
    Q_OBJECT
public:
    explicit CXYTickPage(int templateId = 438, QWidget* parent = nullptr);
    void OnSetActive() override;
    int OnWizardNext() override;

    int m_nTickStyle = 0;
    std::vector<QRadioButton*> m_styles;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};

class CXYPointPage : public CGraphWizardPage {
    Q_OBJECT
public:
    explicit CXYPointPage(const QString& caption = {}, QWidget* parent = nullptr);
    void OnSetActive() override;
    // The preset of the n-th dataset of a graph: six symbols, first hollow, then filled.
    void PresetFor(int count);

    int m_nSymbol = 0;
    COLORREF m_crFill = 0xFFFFFF;
    COLORREF m_crPen = 0x000000;
    int m_bFill = 1;
    int m_bMask = 0;
    int m_bPen = 1;
    int m_nSize = 9;
    int m_nPenWidth = 8;

    QComboBox* m_symbol;
    CColourCombo* m_fillColour;
    CColourCombo* m_penColour;
    QCheckBox* m_fill;
    QCheckBox* m_mask;
    QCheckBox* m_pen;
    QComboBox* m_size;
    QLineEdit* m_width;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void UpdateControls();
};

class CJoinPointPage : public CGraphWizardPage {
    Q_OBJECT
public:
    explicit CJoinPointPage(const QString& caption = {}, QWidget* parent = nullptr);
    void OnSetActive() override;

    int m_nJoinType = 0;
    int m_nLineStyle = 1;
    COLORREF m_crColour = 0x000000;
    int m_nWidth = 8;

    QComboBox* m_type;
    QComboBox* m_style;
    CColourCombo* m_colour;
    QLineEdit* m_width;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void UpdateControls();
};

class CCurveStylePage : public CGraphWizardPage {
    Q_OBJECT
public:
    explicit CCurveStylePage(const QString& caption = {}, QWidget* parent = nullptr);
    void OnSetActive() override;

    int m_nLineStyle = 1;
    int m_nResolution = 1;
    int m_bAutoStart = 1;
    int m_bAutoEnd = 1;
    double m_dStart = 0.0;
    double m_dEnd = 1.0;
    COLORREF m_crColour = 0x000000;
    int m_nWidth = 8;
    double m_dAxisMin = 0.0;
    double m_dAxisMax = 1.0;

    QComboBox* m_style;
    QComboBox* m_resolution;
    QCheckBox* m_autoStart;
    QCheckBox* m_autoEnd;
    QLineEdit* m_start;
    QLineEdit* m_end;
    CColourCombo* m_colour;
    QLineEdit* m_width;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void UpdateControls();
};

// The parameter values of an equation curve (and, with constants set, its constants).
class CCurveParams : public CGraphWizardPage {
    Q_OBJECT
public:
    explicit CCurveParams(bool constants = false, const QString& caption = {}, QWidget* parent = nullptr);
    void OnSetActive() override;
    int OnWizardNext() override;
    // Loads the names of the equation, keeping the values given so far.
    void LoadNames(const std::vector<std::string>& names);
    // Reads the values of the chosen column, one per name in row order.
    void ReadColumn();

    bool m_bConstants;
    int m_nSource = 1;
    std::string m_strTable;
    int m_nColumn = -1;
    std::vector<std::string> m_names;
    std::vector<double> m_values;

    QRadioButton* m_fromTable;
    QRadioButton* m_direct;
    QComboBox* m_table;
    QComboBox* m_column;
    QTableWidget* m_grid;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void FillTables();
    void FillColumns();
    void UpdateControls();
    // The source, table and column the page's controls show.
    void ReadSourceChoice();
    // The number in row i of the grid; false when it holds none (blank, not
    // a number, not finite).
    bool CellValue(std::size_t i, double& v) const;
    // Where the tables are listed and read: the wizard's workspace.
    virtual CWizardCatalog* Catalog() const;
    virtual CGraphSources* Sources() const;
    bool m_bFilling = false;
};

// Which axes of the graph a new dataset is drawn on.
class CAxisAssociationPage : public CGraphWizardPage {
    Q_OBJECT
public:
    CAxisAssociationPage(CDrawGraph* graph, const QString& caption = {}, QWidget* parent = nullptr);
    void OnSetActive() override;
    int OnWizardNext() override;

    // "Select All X" and "Select All Y": every axis of that direction is checked.
    void SelectAll(bool vertical);

    CDrawGraph* m_pGraph;
    std::vector<std::uint32_t> m_xAxes{0};
    std::vector<std::uint32_t> m_yAxes{0};
    QListWidget* m_xList;
    QListWidget* m_yList;
    QPushButton* m_selectAllX;
    QPushButton* m_selectAllY;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};

class CXYWizardSheet : public CGraphWizardSheet {
    Q_OBJECT
public:
    // A new graph.
    CXYWizardSheet(CWizardCatalog* catalog, CGraphSources* sources, QWidget* parent = nullptr);
    // A dataset added to the graph.
    CXYWizardSheet(CDrawGraph* graph, CWizardCatalog* catalog, CGraphSources* sources, QWidget* parent = nullptr);

    void OnItemNotify(CUpdateNotification& notice) override;
    std::string GetSourceName() const override { return m_data.m_strSource; }
    void CalcAutoRange(bool xLog, bool yLog, double& xMin, double& xMax, double& yMin, double& yMax) override;
    void GetAxisTitles(std::string& x, std::string& y) override;
    void ApplyToGraph(CDrawGraph* graph, bool newGraph) override;

    CXYDataPage m_data;
    CXYScalingPage m_scaling;
    CXYTickPage m_ticks;
    CAxisAssociationPage m_association;
    CXYPointPage m_points;
    CJoinPointPage m_join;
    CCurveStylePage m_curve;
    CCurveParams m_params;
    CCurveParams m_consts;

private:
    void FillDataset(CXYDataset& dataset, int kind);
};

// The initial scaling page's choices into a new graph's first axes, and its
// axis texts into their titles (centred).
void ApplyInitialScaling(CDrawGraph* graph, const CXYScalingPage& scaling);
void SetInitialTitles(CDrawGraph* graph, const CXYScalingPage& scaling);

// Property forms of the wizard pages on a dataset's sheet.
class CDataPointPage : public CXYPointPage {
    Q_OBJECT
public:
    explicit CDataPointPage(CXYDataset* dataset, QWidget* parent = nullptr);
    bool OnApply() override;
    CXYDataset* m_pDataset;
};

class CJoinPointPropPage : public CJoinPointPage {
    Q_OBJECT
public:
    explicit CJoinPointPropPage(CXYDataset* dataset, QWidget* parent = nullptr);
    bool OnApply() override;
    CXYDataset* m_pDataset;
};

class CCurveStylePropPage : public CCurveStylePage {
    Q_OBJECT
public:
    explicit CCurveStylePropPage(CXYDatasetFit* dataset, QWidget* parent = nullptr);
    bool OnApply() override;
    CXYDatasetFit* m_pDataset;
};

// The parameter (or constant) values of an equation curve on its sheet:
// typed in, or read from a column of a data table.
class CCurveParamsProp : public CCurveParams {
    Q_OBJECT
public:
    CCurveParamsProp(CXYDatasetCurve* dataset, CWizardCatalog* catalog, bool constants = false,
                     QWidget* parent = nullptr);
    bool OnApply() override;
    // Lists the names of another equation, chosen on the sheet's equation
    // page: a value typed or kept for a name the new equation also has stays
    // with that name; the others start blank.
    void ShowEquation(const std::string& name);
    CXYDatasetCurve* m_pDataset;

protected:
    CWizardCatalog* Catalog() const override { return m_pCatalog; }
    CGraphSources* Sources() const override;

private:
    CWizardCatalog* m_pCatalog;
};

class CCurveConstProp : public CCurveParamsProp {
    Q_OBJECT
public:
    CCurveConstProp(CXYDatasetCurve* dataset, CWizardCatalog* catalog, QWidget* parent = nullptr)
        : CCurveParamsProp(dataset, catalog, true, parent)
    {
    }
};

// The axes a dataset is drawn on, on the dataset's sheet.
class CAxisAssociationProp : public CAxisAssociationPage {
    Q_OBJECT
public:
    explicit CAxisAssociationProp(CXYDataset* dataset, QWidget* parent = nullptr);
    bool OnApply() override;
    CXYDataset* m_pDataset;
};

// Runs a property page on its own sheet-like dialog: Apply writes it back.
// (The dataset sheets collect these pages.)
bool ApplyPropertyPage(CWizardPage& page);
