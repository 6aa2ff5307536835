// The pages of a graph's sheet that edit its axes: the scale and the ticks
// and grids of each X or Y axis. Each page edits one axis of the graph's
// axes of a direction at a time; choosing another axis applies the page to
// the axis shown so far and loads the chosen one.
#pragma once

#include "graphui/widgets/GraphWizard.h"

#include <vector>

class CColourCombo;
class CDrawGraph;
class CXYAxis;
class QCheckBox;
class QComboBox;

class CAxisPage : public CWizardPage {
    Q_OBJECT
public:
    CAxisPage(std::vector<CXYAxis*> axes, bool vertical, int templateId, const QString& caption,
              QWidget* parent = nullptr);
    // Shows another axis: checks and applies the page to the one shown so far.
    bool SelectAxis(int index);
    CXYAxis* Axis() const;

    int m_nAxis = 0;
    QComboBox* m_selector;

protected:
    virtual void Load(const CXYAxis& axis) = 0;
    // After the page has written into the axis: labels and graph follow.
    void Refresh(CXYAxis& axis);

    std::vector<CXYAxis*> m_axes;
    bool m_bVertical;
};

class CAxisScalePage : public CAxisPage {
    Q_OBJECT
public:
    CAxisScalePage(std::vector<CXYAxis*> axes, bool vertical, QWidget* parent = nullptr);
    bool OnApply() override;
    // Automatic values from the axis' automatic range for the page's type.
    void Recalculate();
    // The break list's entry of a stored placement and back: the list names
    // the sides as they are seen on the page.
    int BreakIndexFromPlacement(int placement) const;
    int PlacementFromBreakIndex(int index) const;

    int m_nType = 0;
    double m_dStart = 0.0, m_dFinish = 10.0, m_dMajor = 2.0, m_dMinor = 1.0, m_dCross = 0.0;
    int m_bAutoStart = 1, m_bAutoFinish = 1, m_bAutoMajor = 1, m_bAutoMinor = 1, m_bAutoCross = 1;
    int m_bCrossLine = 1;
    int m_nExtentStart = 0, m_nExtentEnd = 100;
    int m_bEntire = 1;
    int m_nBreak = 4;

    QComboBox* m_type;
    QLineEdit* m_edits[5];
    QCheckBox* m_autos[5];
    QCheckBox* m_crossLine;
    QLineEdit* m_extentStart;
    QLineEdit* m_extentEnd;
    QCheckBox* m_entire;
    QComboBox* m_break;

protected:
    void Load(const CXYAxis& axis) override;
    void DoDataExchange(CDataExchange* pDX) override;

private:
    void UpdateControls();
    // Reads the controls without checks, recalculates and shows the result.
    void Reread();
    bool m_bRereading = false;
};

class CAxisTicksPage : public CAxisPage {
    Q_OBJECT
public:
    CAxisTicksPage(std::vector<CXYAxis*> axes, bool vertical, QWidget* parent = nullptr);
    bool OnApply() override;

    int m_nFirstTicks = 0, m_nSecondTicks = 0, m_nCrossTicks = 3;
    int m_nSizeKind = 1;
    int m_nSpecificSize = 108;
    int m_nOffset = 0;
    int m_nTickWidth = 8;
    COLORREF m_crTicks = 0;
    int m_nMajorWidth = 8, m_nMajorStyle = 0, m_nMinorWidth = 8, m_nMinorStyle = 0;
    COLORREF m_crMajor = 0, m_crMinor = 0;

    QComboBox* m_firstTicks;
    QComboBox* m_secondTicks;
    QComboBox* m_crossTicks;
    QComboBox* m_size;
    QLineEdit* m_specific;
    QLineEdit* m_offset;
    QLineEdit* m_tickWidth;
    CColourCombo* m_tickColour;
    QLineEdit* m_majorWidth;
    QComboBox* m_majorStyle;
    CColourCombo* m_majorColour;
    QLineEdit* m_minorWidth;
    QComboBox* m_minorStyle;
    CColourCombo* m_minorColour;

protected:
    void Load(const CXYAxis& axis) override;
    void DoDataExchange(CDataExchange* pDX) override;
};

// The graph's frame: which sides are drawn, and whether frame and axes lie over the data.
class CGraphFramePage : public CWizardPage {
    Q_OBJECT
public:
    explicit CGraphFramePage(CDrawGraph* graph, QWidget* parent = nullptr);
    bool OnApply() override;

    // Sides as they are seen on the page: top, bottom, left, right.
    int m_bSides[4] = {1, 1, 1, 1};
    int m_bOver = 0;
    QCheckBox* m_sides[4];
    QCheckBox* m_over;

protected:
    void DoDataExchange(CDataExchange* pDX) override;

private:
    int* Flags(int side) const;
    CDrawGraph* m_pGraph;
};

// Grid pens are listed with "none" first: list index = (pen style + 1) mod 6.
int GridListIndexFromStyle(int style);
int GridStyleFromListIndex(int index);
