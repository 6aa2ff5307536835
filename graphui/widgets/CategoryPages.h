// The pages of a chart's property sheet that edit its category axis: where
// the categories come from and how the bars share a category, the category
// labels' alignment and orientation, and the category axis' ticks and grid.
#pragma once

#include "graphui/widgets/AxisPages.h"

#include <string>
#include <string_view>

class CXYAxis;
class CXYScaleText;
class QCheckBox;
class QComboBox;
class QLabel;

// A percentage that may have a fraction: shown as the number and "%"; read
// as an integer percentage (blanks and "%" allowed) or as the text shown.
// Anything else shows "Invalid percentage. Please enter an integer value."
// and fails the pass; a value outside the range names it.
void DDX_PercentValue(CDataExchange* pDX, QLineEdit* edit, double& value, int minimum, int maximum);

class CCategoryAxisPage : public CWizardPage {
    Q_OBJECT
public:
    CCategoryAxisPage(CDrawGraph* graph, CXYAxis* axis, CWizardCatalog* catalog, QWidget* parent = nullptr);
    bool OnApply() override;

    std::string m_strTable;
    int m_nColumn = -1;
    int m_nCrossing = 1;
    int m_bBetween = 1;
    int m_nGrouping = 0;
    int m_bPercentages = 0;
    int m_bDrawValueAxis = 1;
    int m_nLabelInterval = 1;
    int m_nLabelStart = 1;
    int m_nTickInterval = 1;
    double m_dOverlap = -25.0;
    double m_dGap = 50.0;

    QComboBox* m_table;
    QComboBox* m_column;
    QCheckBox* m_drawValueAxis;
    QLabel* m_crossingLabel;
    QLineEdit* m_crossing;
    QCheckBox* m_between;
    QComboBox* m_grouping;
    QCheckBox* m_percentages;
    QLineEdit* m_labelInterval;
    QLineEdit* m_labelStart;
    QLineEdit* m_tickInterval;
    QLineEdit* m_overlap;
    QLineEdit* m_gap;

protected:
    void DoDataExchange(CDataExchange* pDX) override;

private:
    void FillColumns();
    void UpdateControls();
    CDrawGraph* m_pGraph;
    CXYAxis* m_pAxis;
    CWizardCatalog* m_pCatalog;
    bool m_bFilling = false;
};

// The alignment and orientation of the category labels.
class CCategoryFormat : public CWizardPage {
    Q_OBJECT
public:
    explicit CCategoryFormat(CXYScaleText* labels, QWidget* parent = nullptr);
    bool OnApply() override;

    // List index: 0 left, 1 centre, 2 right.
    int m_nAlignment = 1;
    // 0, 45, 90, 270 or 315 degrees (0 to 4).
    int m_nOrientation = 0;

    QComboBox* m_alignment;
    QComboBox* m_orientation;

protected:
    void DoDataExchange(CDataExchange* pDX) override;

private:
    CXYScaleText* m_pLabels;
};

// The ticks of the category axis: as on a value axis' ticks page, for the
// one axis, with one grid (between the categories there are no minor ticks).
class CCategoryTicksPage : public CAxisTicksPage {
    Q_OBJECT
public:
    explicit CCategoryTicksPage(CXYAxis* axis, QWidget* parent = nullptr);
};
