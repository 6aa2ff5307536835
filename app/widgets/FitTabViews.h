// The tabs of the fit items' forms. The Settings tab chooses the data (table,
// columns, weighting, x range, layout of several data sets) and, for each
// kind, the polynomial order or the equation; every change discards the
// results at once. The Results tab shows one data set's outcome at a time.
// The non-linear fit adds its constants, its ranges of starting values and
// its fitting criteria; both kinds share the number format, fonts and
// indents of their printed listing.
#pragma once

#include "app/widgets/IndentView.h"
#include "framework/ArchiveHelpers.h"
#include "grid/widgets/ConstGrid.h"
#include "ui/widgets/TabFontView.h"
#include "ui/widgets/TabFormView.h"

#include <functional>
#include <string>
#include <vector>

class CConstGrid;
class CEstimatrixGrid;
class CInteractiveEstimate;
class CMXLinear;
class CMXNonLinear;
class CMXResult;
class CResultGrid;
class CResultTabForm;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QToolButton;

// Control ids of the fit tabs.
enum : int {
    IDC_FIT_TABLE = 1075,
    IDC_FIT_X_COLUMN = 1077,
    IDC_FIT_Y_COLUMN = 1078,
    IDC_FIT_EQUATION = 1079,
    IDC_FIT_WEIGHTING = 1080,
    IDC_FIT_POINTS = 1081,
    IDC_FIT_ERROR_COLUMN = 1082,
    IDC_FIT_LIMIT = 1083,
    IDC_FIT_LOWER = 1084,
    IDC_FIT_UPPER = 1085,
    IDC_FIT_TO = 1086,
    IDC_FIT_LAYOUT = 1087,
    IDC_FIT_CORRELATION = 1087,
    IDC_FIT_CORRELATION_LABEL = 1092,
    IDC_FIT_ERROR_LABEL = 1093,
    IDC_FIT_CHI_SQUARE = 1095,
    IDC_FIT_RESULT_GRID = 1124,
    IDC_FIT_Y_LABEL = 1158,
    IDC_FIT_FIRST = 1160,
    IDC_FIT_PREVIOUS = 1161,
    IDC_FIT_NEXT = 1162,
    IDC_FIT_LAST = 1163,
    IDC_FIT_RESULT_CAPTION = 1164,
    IDC_FIT_X_LABEL = 1165,
    IDC_FIT_ERROR_NAME = 1166,
    IDC_FIT_STATUS = 1167,
    IDC_FIT_ROBUST = 1195,
    IDC_FIT_CRITERION = 1196,
    IDC_FIT_PERCENT = 1197,
    IDC_FIT_MIN_ITERATIONS = 1198,
    IDC_FIT_MAX_ITERATIONS = 1200,
    IDC_FIT_ESTIMATE_GRID = 1209,
    IDC_FIT_CONSTANT_GRID = 1210,
    IDC_FIT_STORE_DEFAULTS = 1211,
    IDC_FIT_RESTORE_DEFAULTS = 1212,
    IDC_FIT_MIN_LABEL = 1213,
    IDC_FIT_ESTIMATOR = 1215,
    IDC_FIT_X_NAME = 1227,
    IDC_FIT_Y_NAME = 1228,
    IDC_FIT_FROM_MATRIX = 1200,
    IDC_FIT_DECIMALS = 1127,
    IDC_FIT_MAX_DIGITS = 1133,
    IDC_FIT_ZEROS = 1134,
    IDC_FIT_SCIENTIFIC = 1129,
    IDC_FIT_THOUSANDS = 1128,
    IDC_FIT_SMALL_VALUES = 1135,
};

// The common base of the fit tabs: the item and the form.
class CFitTabPage : public CTabFormChildView {
    Q_OBJECT
public:
    using CTabFormChildView::CTabFormChildView;
    CMXResult* GetResultItem() const;
    CResultTabForm* GetResultForm() const;
    // Results are gone: the calculation stops, the data sets go and the workspace hears of it.
    void DiscardResults();

protected:
    // Runs change, which stores what the page shows into the item and says
    // whether it changed anything, as one undo step of the item.
    // discard: whether undoing it leaves the fit not fitted.
    void RecordChange(UINT descriptionId, const std::function<bool()>& change, bool discard = true);
    // Records a change already made, given the item's settings before it.
    void RecordChange(UINT descriptionId, std::vector<BYTE> before, bool discard = true);
    // Whether an undo or redo put the item's settings back, so that the page shows them anew.
    bool IsSettingsRestored(int hint, CObject* object) const;

    // Whether a hint asks a page that shows the equation's symbols to show them again:
    // the page comes up, or an equation changed, went or came.
    bool ShowsEquationAnew(CDocView* sender, int hint, CObject* object) const;
};

class CResultSettingsView : public CFitTabPage {
    Q_OBJECT
public:
    explicit CResultSettingsView(int templateId);

    QComboBox* GetTableCombo() const { return m_table; }
    QComboBox* GetXCombo() const { return m_x; }
    QComboBox* GetYCombo() const { return m_y; }
    QComboBox* GetErrorCombo() const { return m_error; }
    QComboBox* GetWeightingCombo() const { return m_weighting; }
    QComboBox* GetLayoutCombo() const { return m_layoutCombo; }
    QComboBox* GetEquationCombo() const { return m_equation; }
    QCheckBox* GetLimitBox() const { return m_limit; }
    QLineEdit* GetLowerEdit() const { return m_lower; }
    QLineEdit* GetUpperEdit() const { return m_upper; }

    void OnUpdate(CDocView* sender, int hint, CObject* object) override;
    // Reads the controls and, when something differs from the item, stores
    // it and discards the results.
    void OnControlChanged();

    // Reads a limit's text: a number followed by nothing but blanks sets
    // it; anything else (an empty text too) leaves it unset.
    static IntDoubleRecord ParseLimit(const std::string& text);
    static std::string FormatLimit(const IntDoubleRecord& limit);

protected:
    void OnInitialUpdate() override;
    virtual void LoadFromItem();
    virtual void SaveToItem();
    virtual void UpdateLabels();
    virtual void CheckChanged(bool& changed, bool& labels);
    // The stored layouts that the layout combo's entries stand for.
    virtual std::vector<int> GetLayoutChoices() const { return {0, 1, 2}; }
    // The entries of the equation combo, and the one that stands for the item's choice.
    virtual void FillEquationCombo() {}
    void EnableControls();
    void FillTables();
    void FillColumns();
    void FillLayouts();
    void ShowValues();
    void ReadValues();

    QComboBox* m_equation;
    QComboBox* m_weighting;
    QComboBox* m_table;
    QComboBox* m_x;
    QComboBox* m_y;
    QComboBox* m_error;
    QComboBox* m_layoutCombo;
    QCheckBox* m_limit;
    QLineEdit* m_lower;
    QLineEdit* m_upper;
    QLabel* m_to;
    QLabel* m_xLabel;
    QLabel* m_yLabel;
    QLabel* m_errorLabel;
    QLabel* m_equationLabel;
    QWidget* m_extra; // the kind's own controls go here

    int m_nWeighting = 0;
    std::string m_strTable;
    int m_nX = -1, m_nY = -1, m_nError = -1;
    bool m_bLimit = false;
    IntDoubleRecord m_lower_, m_upper_;
    int m_nLayout = 0;
    bool m_bLoading = false;
};

class CLinearFitView : public CResultSettingsView {
    Q_OBJECT
public:
    CLinearFitView();

protected:
    void LoadFromItem() override;
    void SaveToItem() override;
    void CheckChanged(bool& changed, bool& labels) override;
    void FillEquationCombo() override;
};

class CNonlinFitView : public CResultSettingsView {
    Q_OBJECT
public:
    CNonlinFitView();
    QCheckBox* GetRobustBox() const { return m_robust; }
    void OnUpdate(CDocView* sender, int hint, CObject* object) override;

protected:
    void LoadFromItem() override;
    void SaveToItem() override;
    void UpdateLabels() override;
    void CheckChanged(bool& changed, bool& labels) override;
    std::vector<int> GetLayoutChoices() const override;
    void FillEquationCombo() override;

private:
    // The number of x variables of the chosen equation (0 when it is not compiled).
    int XCount() const;
    void AdjustLayout();

    QCheckBox* m_robust;
    QLabel* m_xName;
    QLabel* m_yName;
    std::string m_strEquation;
    bool m_bRobust = false;
};

// The Results tab: one data set at a time.
class CFitResView : public CFitTabPage {
    Q_OBJECT
public:
    explicit CFitResView(int templateId, const QString& chiLabel);

    CResultGrid* GetGrid() const { return m_grid; }
    QLineEdit* GetPointsEdit() const { return m_points; }
    QLineEdit* GetChiSquareEdit() const { return m_chi; }
    QLabel* GetCaption() const { return m_caption; }
    QLabel* GetStatus() const { return m_status; }
    int GetCurrentSet() const { return m_nSet; }
    void SetCurrentSet(int set);
    void OnUpdate(CDocView* sender, int hint, CObject* object) override;
    void Refresh();

protected:
    void OnInitialUpdate() override;
    // Fills the statistics and the grid for the current set; false when it is not fitted.
    virtual bool ShowResults() = 0;
    void EnableControls(bool fitted);
    // One grid row per parameter of set, with its value and standard error.
    void FillGrid(CMXResult& item, int set);

    QLabel* m_caption;
    QLabel* m_xName;
    QLabel* m_yName;
    QLabel* m_errorName;
    QLabel* m_errorLabel;
    QLineEdit* m_points;
    QLineEdit* m_chi;
    QLabel* m_status;
    CResultGrid* m_grid;
    QToolButton* m_nav[4];
    QWidget* m_extra;
    int m_nSet = 0;
};

class CLinearFitResView : public CFitResView {
    Q_OBJECT
public:
    CLinearFitResView();
    QLineEdit* GetCorrelationEdit() const { return m_correlation; }

protected:
    bool ShowResults() override;

private:
    QLabel* m_correlationLabel;
    QLineEdit* m_correlation;
};

class CNonlinFitResView : public CFitResView {
    Q_OBJECT
public:
    CNonlinFitResView();

protected:
    bool ShowResults() override;
};

// Number Format: the format of the result numbers, stored at every change.
class CLinearFitFormatView : public CFitTabPage {
    Q_OBJECT
public:
    CLinearFitFormatView();
    QSpinBox* GetDecimals() const { return m_decimals; }
    QSpinBox* GetMaxDigits() const { return m_maxDigits; }
    QCheckBox* GetScientific() const { return m_scientific; }
    QCheckBox* GetSmallValues() const { return m_small; }
    void OnUpdate(CDocView* sender, int hint, CObject* object) override;

protected:
    void OnInitialUpdate() override;

private:
    void Show();
    void Store();
    void EnableControls();
    QSpinBox* m_decimals;
    QSpinBox* m_maxDigits;
    QComboBox* m_zeros;
    QCheckBox* m_scientific;
    QCheckBox* m_thousands;
    QCheckBox* m_small;
    bool m_bShowing = false;
};

class CLinearFitFontView : public CTabFontView {
    Q_OBJECT
public:
    CLinearFitFontView();
    void SelectFontElement(int index) override;
};

class CLinearFitIndentView : public CIndentView {
    Q_OBJECT
public:
    CLinearFitIndentView();

protected:
    int* GetIndents() override;
    void GetBounds(int i, const int* indents, int width, int& minimum, int& maximum) const override;
};

class CNonlinFitCriteriaView : public CFitTabPage {
    Q_OBJECT
public:
    CNonlinFitCriteriaView();
    QCheckBox* GetCriterionBox() const { return m_criterion; }
    QLineEdit* GetPercentEdit() const { return m_percent; }
    QSpinBox* GetMinimum() const { return m_minimum; }
    QSpinBox* GetMaximum() const { return m_maximum; }
    void OnUpdate(CDocView* sender, int hint, CObject* object) override;
    // The criteria from the controls into the item; a change discards the results.
    void Store();
    void StoreDefaults();
    void RestoreDefaults();

protected:
    void OnInitialUpdate() override;

private:
    void Show();
    void EnableControls();
    QCheckBox* m_criterion;
    QLineEdit* m_percent;
    QLabel* m_minimumLabel;
    QSpinBox* m_minimum;
    QSpinBox* m_maximum;
    bool m_bShowing = false;
};

class CNonlinFitConstView : public CFitTabPage, public CConstGridSource {
    Q_OBJECT
public:
    CNonlinFitConstView();
    CConstGrid* GetGrid() const { return m_grid; }
    void OnUpdate(CDocView* sender, int hint, CObject* object) override;

    const CEquationBase* GetEquation() const override;
    double GetConstant(int index) const override;
    void SetConstant(int index, double value) override;
    void OnConstantsChanged() override;

protected:
    void OnInitialUpdate() override;

private:
    void Refresh();
    CConstGrid* m_grid;
};

class CNonlinFitEstimateView : public CFitTabPage {
    Q_OBJECT
public:
    CNonlinFitEstimateView();
    CEstimatrixGrid* GetGrid() const { return m_grid; }
    QCheckBox* GetFromMatrixBox() const { return m_fromMatrix; }
    QPushButton* GetEstimatorButton() const { return m_estimator; }
    void OnUpdate(CDocView* sender, int hint, CObject* object) override;
    void Refresh();

    // Runs the interactive estimator with the current starting values; on OK
    // its estimates become the starting values (one undo step) and the results go.
    void RunEstimator();
    // How the estimator runs: its modal run by default; tests drive it instead.
    using EstimatorRunner = std::function<int(CInteractiveEstimate&)>;
    static void SetEstimatorRunner(EstimatorRunner runner);
    CInteractiveEstimate* GetOpenEstimator() const { return m_openEstimator; }

protected:
    void OnInitialUpdate() override;

private:
    void EnableControls();
    CEstimatrixGrid* m_grid;
    QCheckBox* m_fromMatrix;
    QPushButton* m_estimator;
    CInteractiveEstimate* m_openEstimator = nullptr;
    // The item's settings just before the grid stores a value.
    std::vector<BYTE> m_before;
};
