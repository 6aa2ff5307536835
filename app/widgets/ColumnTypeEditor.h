// The settings dialogs of the column types, as the data model asks for them:
// "Data Series" for a series, the columns dialog for the statistics kinds
// and the pair dialog for A + B and its variants. Each changes its type only
// when OK succeeds; a refusal keeps the dialog open with the user's entries.
#pragma once

#include "data/DataColumnType.h"

#include <QDialog>

#include <string>
#include <vector>

class CDataCTypeMultiColumn;
class CDataCTypePair;
class CDataCTypeSeries;
class CMyData;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class CColumnSyntaxEdit;
class QRadioButton;

class CSeriesDlg : public QDialog {
    Q_OBJECT
public:
    explicit CSeriesDlg(QWidget* parent = nullptr);
    double m_start = 0, m_increment = 0;
    int m_points = 0;
    QLineEdit* StartEdit() const { return m_startEdit; }
    QLineEdit* IncrementEdit() const { return m_incrementEdit; }
    QLineEdit* PointsEdit() const { return m_pointsEdit; }
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLineEdit* m_startEdit;
    QLineEdit* m_incrementEdit;
    QLineEdit* m_pointsEdit;
};

class CMultiColumnDlg : public QDialog {
    Q_OBJECT
public:
    CMultiColumnDlg(CDataCTypeMultiColumn& type, CDataTableItem* item, QWidget* parent = nullptr);
    QListWidget* List() const { return m_list; }
    QLabel* CountText() const { return m_count; }
    void accept() override;

private:
    void UpdateCount();
    CDataCTypeMultiColumn& m_type;
    CDataTableItem* m_item;
    QListWidget* m_list;
    QLabel* m_count;
};

class CPairColumnDlg : public QDialog {
    Q_OBJECT
public:
    CPairColumnDlg(CDataCTypePair& type, CDataTableItem* item, QWidget* parent = nullptr);
    QComboBox* ListA() const { return m_a; }
    QComboBox* ListB() const { return m_b; }
    void accept() override;

private:
    CDataCTypePair& m_type;
    CDataTableItem* m_item;
    QComboBox* m_a;
    QComboBox* m_b;
};

// "X (n) Data Column" (n from 1 to 100 and the label) and "Y Data Column
// with Associated x[n] Value" (x[2] to x[5] and the label); both can load
// the type's default label.
class CXDataColumnDlg : public QDialog {
    Q_OBJECT
public:
    // associated: the four x values instead of n.
    CXDataColumnDlg(bool associated, std::string defaultLabel, QWidget* parent = nullptr);
    int m_n = 1;
    double m_x[4] = {1, 1, 1, 1};
    std::string m_label;
    QLineEdit* NEdit() const { return m_nEdit; }
    QLineEdit* XEdit(int i) const { return m_xEdits[i]; }
    QLineEdit* LabelEdit() const { return m_labelEdit; }
    void LoadDefaultLabel();
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    bool m_bAssociated;
    std::string m_defaultLabel;
    QLineEdit* m_nEdit = nullptr;
    QLineEdit* m_xEdits[4] = {};
    QLineEdit* m_labelEdit;
};

// "Calculated Function": how many rows (a number, or as many as a column
// has), the equation for each row ("Result = ...") and the columns whose
// changes recompute it. A syntax error keeps the dialog open with the faulty
// text selected.
class CCalcFunctionDlg : public QDialog {
    Q_OBJECT
public:
    CCalcFunctionDlg(CDataTableItem* item, int column, QWidget* parent = nullptr);
    int m_mode = 0;
    int m_rows = 1;
    int m_rowColumn = 0;
    std::string m_text;
    std::vector<int> m_triggers;

    QRadioButton* NumberButton() const { return m_number; }
    QRadioButton* ColumnButton() const { return m_fromColumn; }
    QLineEdit* RowsEdit() const { return m_rowsEdit; }
    QComboBox* ColumnCombo() const { return m_columns; }
    CColumnSyntaxEdit* Equation() const { return m_equation; }
    QListWidget* Triggers() const { return m_triggerList; }
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ApplyMode();
    CDataTableItem* m_item;
    int m_column;
    QRadioButton* m_number;
    QRadioButton* m_fromColumn;
    QLineEdit* m_rowsEdit;
    QComboBox* m_columns;
    CColumnSyntaxEdit* m_equation;
    QListWidget* m_triggerList;
    QLabel* m_count;
};

// "Savitzky-Golay Smoothing" and "Derivative Calculation": the source
// column, the polynomial order (0, 2, 4, 6), an odd window width and, for the
// derivative, its order; "Create Column Subset": the source and the step.
class CSourceColumnDlg : public QDialog {
    Q_OBJECT
public:
    enum Kind { kSmooth, kDerivative, kSubset };
    CSourceColumnDlg(Kind kind, CDataTableItem* item, int column, QWidget* parent = nullptr);
    int m_source = -1;
    int m_orderIndex = 0;
    int m_window = 9;
    int m_derivative = 1;
    int m_step = 2;
    QListWidget* Sources() const { return m_sources; }
    QComboBox* OrderCombo() const { return m_order; }
    QLineEdit* WidthEdit() const { return m_width; }
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    Kind m_kind;
    CDataTableItem* m_item;
    int m_column;
    QListWidget* m_sources;
    QComboBox* m_order = nullptr;
    QComboBox* m_derivOrder = nullptr;
    QLineEdit* m_width = nullptr;
};

class CColumnTypeEditor : public CColumnSettingsEditor {
public:
    int Edit(CDataColumnType& type, CDataTableItem* item) override;
};

// The line shown for a column in the column lists: its number and its name.
std::string ColumnListText(const CMyData& table, int column);
