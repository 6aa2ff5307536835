// The axis manager: a small wizard that adds an X or Y axis to a graph,
// splits one axis into two with a break between them, or removes an axis.
// Its pages only choose; ApplyChoice carries the choice out on the graph.
#pragma once

#include "graphui/widgets/GraphWizard.h"

#include <vector>

class CDrawGraph;
class CXYAxis;
class QLabel;
class QRadioButton;
class QSlider;
class QComboBox;
class QTableWidget;

class CAxisManagerMainPage : public CWizardPage {
    Q_OBJECT
public:
    CAxisManagerMainPage(CDrawGraph* graph, bool xAllowed, bool yAllowed, QWidget* parent = nullptr);
    void OnSetActive() override;
    int OnWizardNext() override;

    // 0 add X, 1 add Y, 2 split X, 3 split Y, 4 remove X, 5 remove Y; -1 none.
    int m_nOption = -1;
    QRadioButton* m_options[6];

protected:
    void DoDataExchange(CDataExchange* pDX) override;

private:
    CDrawGraph* m_pGraph;
};

class CAxisManagerAddAxis : public CWizardPage {
    Q_OBJECT
public:
    CAxisManagerAddAxis(bool vertical, QWidget* parent = nullptr);
    void OnSetActive() override;
    int OnWizardBack() override;
    // Appends the new axis to the graph's axes of the page's direction.
    CXYAxis* CreateAxis(CDrawGraph* graph);

    int m_nTickStyle = 5;
    int m_nTextLocation = 1;
    int m_nOffset = 0;
    QRadioButton* m_styles[6];
    QRadioButton* m_locations[2];
    QLineEdit* m_offset;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    bool m_bVertical;
};

class CAxisSplitPage : public CWizardPage {
    Q_OBJECT
public:
    explicit CAxisSplitPage(CDrawGraph* graph, QWidget* parent = nullptr);
    void OnSetActive() override;
    int OnWizardBack() override;
    // The axes the main page hands over (the graph's X or Y axes).
    void SetAxes(bool vertical);
    // Splits the chosen axis at the chosen position and value.
    void Split();

    int m_nAxis = -1;
    int m_nPosition = 50;
    double m_dValue = 0.0;
    bool m_bVertical = false;

    QComboBox* m_axisList;
    QSlider* m_position;
    QLabel* m_positionText;
    QLineEdit* m_value;
    QLabel* m_range;

protected:
    void DoDataExchange(CDataExchange* pDX) override;

private:
    CXYAxis* Chosen() const;
    void ShowRange();
    CDrawGraph* m_pGraph;
};

class CAxisRemovePage : public CWizardPage {
    Q_OBJECT
public:
    CAxisRemovePage(CDrawGraph* graph, bool vertical, QWidget* parent = nullptr);
    void OnSetActive() override;
    int OnWizardBack() override;
    // Lists the axes with their range and the datasets on each.
    void FillList();

    int m_nRow = -1;
    QTableWidget* m_list;

protected:
    void DoDataExchange(CDataExchange* pDX) override;

private:
    CDrawGraph* m_pGraph;
    bool m_bVertical;
};

class CAxisManagerSheet : public CWizardSheet {
    Q_OBJECT
public:
    CAxisManagerSheet(CDrawGraph* graph, QWidget* parent, bool xAllowed, bool yAllowed, int startPage = 0);
    // Carries out what the pages chose (after Finish).
    void ApplyChoice();

    CAxisManagerMainPage m_main;
    CAxisManagerAddAxis m_addX;
    CAxisManagerAddAxis m_addY;
    CAxisSplitPage m_split;
    CAxisRemovePage m_removeX;
    CAxisRemovePage m_removeY;

private:
    CDrawGraph* m_pGraph;
};
