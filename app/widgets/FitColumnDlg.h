// The settings of the column types that show a fit's results: "Calculated Y
// Values" and "Calculated X Values" (source column, fit, data set, initial
// estimates, and for x the limits), "Difference Between Experiment and Fitted
// y Data" (fit and data set), "Data Fitting Results" and "Data Fitting
// Information" (fit, its entries, value or standard error, with names) and
// "F Test" (two fits). The caller sets the fields, runs the dialog and takes
// the fields back after OK; a refusal keeps the dialog open.
#pragma once

#include <QDialog>

#include <string>
#include <vector>

class CDataColumnType;
class CDataTableItem;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QRadioButton;

class CFitColumnDlg : public QDialog {
    Q_OBJECT
public:
    enum Kind { kCalcY, kCalcX, kDifference, kResults, kInfo, kFTest };
    CFitColumnDlg(Kind kind, CDataTableItem* item, int column, QWidget* parent = nullptr);

    int m_source = -1;        // table column; -1: the fit's own
    std::string m_fit;        // fit item name
    std::string m_fit2;       // the second fit of an F test
    int m_fitNumber = 1;      // data set, from 1
    bool m_useEstimates = false;
    double m_lower = 1.0, m_upper = 1.0;
    std::vector<int> m_indices; // chosen entries, ascending
    bool m_showName = true;
    int m_valueChoice = 0;    // 0 value, 1 standard error

    QListWidget* Sources() const { return m_sources; }
    QComboBox* FitCombo() const { return m_fitCombo; }
    QComboBox* Fit2Combo() const { return m_fit2Combo; }
    QLineEdit* FitNumberEdit() const { return m_fitNumberEdit; }
    QCheckBox* EstimatesCheck() const { return m_estimates; }
    QLineEdit* LowerEdit() const { return m_lowerEdit; }
    QLineEdit* UpperEdit() const { return m_upperEdit; }
    QListWidget* Entries() const { return m_entries; }
    QRadioButton* ValueButton() const { return m_value; }
    QRadioButton* ErrorButton() const { return m_error; }
    QCheckBox* NameCheck() const { return m_name; }
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FillEntries();

    Kind m_kind;
    CDataTableItem* m_item;
    int m_column;
    QListWidget* m_sources = nullptr;
    QComboBox* m_fitCombo = nullptr;
    QComboBox* m_fit2Combo = nullptr;
    QLineEdit* m_fitNumberEdit = nullptr;
    QCheckBox* m_estimates = nullptr;
    QLineEdit* m_lowerEdit = nullptr;
    QLineEdit* m_upperEdit = nullptr;
    QListWidget* m_entries = nullptr;
    QRadioButton* m_value = nullptr;
    QRadioButton* m_error = nullptr;
    QCheckBox* m_name = nullptr;
};

// Runs the settings dialog of a result, equation or summary column type and
// stores the choices in it: 1 after OK, 0 after Cancel or a refusal, -1 when
// type is none of these kinds.
int EditResultColumn(CDataColumnType& type, CDataTableItem* item, QWidget* parent);
