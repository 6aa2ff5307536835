// The property pages of one dataset that have no wizard twin: its error
// bars and the table it plots, and the graph's legend order. Each copies
// the element's settings when it is built and writes them back on Apply.
#pragma once

#include "graphui/widgets/GraphWizard.h"

#include <string>
#include <vector>

class CColourCombo;
class CLegend;
class CXYDataset;
class CXYDatasetTable;
class QCheckBox;
class QComboBox;
class QLabel;
class QRadioButton;

class CXYErrorsPage : public CWizardPage {
    Q_OBJECT
public:
    // allowTable: the page chooses the table of the error columns (fits);
    // otherwise the dataset's own table holds them.
    CXYErrorsPage(CXYDataset* dataset, CWizardCatalog* catalog, bool allowTable, QWidget* parent = nullptr);
    bool OnApply() override;

    // Per axis (0 X, 1 Y): 0 none, 1 absolute, 2 proportional, 3 explicit.
    struct Axis {
        int mode = 0;
        int bMinus = 0;
        double absolute = 1.0;
        double proportional = 10.0;
        int plus = -1;
        int minus = -1;

        QRadioButton* modes[4];
        QCheckBox* minusCheck;
        QLineEdit* absoluteEdit;
        QLineEdit* proportionalEdit;
        QLabel* percent;
        QComboBox* plusCombo;
        QComboBox* minusCombo;
    };
    Axis m_axes[2];
    int m_nStyle = 0;
    int m_nXYType = 0;
    std::string m_strTable;
    COLORREF m_crColour = 0;
    int m_nWidth = 8;

    QComboBox* m_style;
    QComboBox* m_xyType;
    QComboBox* m_table;
    CColourCombo* m_colour;
    QLineEdit* m_width;

protected:
    void DoDataExchange(CDataExchange* pDX) override;

private:
    void FillColumns();
    void UpdateControls();
    // Reads the modes and minus boxes from the controls.
    void ReadModes();
    // A mode without its own minus column shows the plus column as the minus one.
    void MirrorMinus(int axis);
    bool Check();
    CXYDataset* m_pDataset;
    CWizardCatalog* m_pCatalog;
    bool m_bAllowTable;
    bool m_bFilling = false;
};

class CDataSourcePage : public CWizardPage {
    Q_OBJECT
public:
    CDataSourcePage(CXYDatasetTable* dataset, CWizardCatalog* catalog, QWidget* parent = nullptr);
    bool OnApply() override;

    std::string m_strTable;
    int m_nXColumn = -1;
    int m_nYColumn = -1;
    int m_bTransform = 0;
    std::string m_strTransform;

    QComboBox* m_table;
    QComboBox* m_x;
    QComboBox* m_y;
    QCheckBox* m_transformCheck;
    QComboBox* m_transform;

protected:
    void DoDataExchange(CDataExchange* pDX) override;

private:
    void FillColumns();
    CXYDatasetTable* m_pDataset;
    CWizardCatalog* m_pCatalog;
    bool m_bFilling = false;
};

class CLegendOrderPage : public CWizardPage {
    Q_OBJECT
public:
    explicit CLegendOrderPage(CLegend* legend, QWidget* parent = nullptr);
    bool OnApply() override;
    void MoveUp() { Move(-1); }
    void MoveDown() { Move(1); }

    // The legend's entries (their positions when the page was built) in the list's order.
    std::vector<int> m_order;
    int m_nColumns = 1;

    QListWidget* m_list;
    QPushButton* m_up;
    QPushButton* m_down;
    QLineEdit* m_columns;

protected:
    void DoDataExchange(CDataExchange* pDX) override;

private:
    void Move(int step);
    void UpdateButtons();
    CLegend* m_pLegend;
};
