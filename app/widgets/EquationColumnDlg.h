// "Parameters Column" and "Constants Column": the equation item whose
// parameters or constants the column lists, chosen from the workspace's
// equations. The caller sets m_equation, runs the dialog and takes it back.
#pragma once

#include <QDialog>

#include <string>

class CDataTableItem;
class QComboBox;

class CEquationColumnDlg : public QDialog {
    Q_OBJECT
public:
    // constants: the constants column, else the parameters column.
    CEquationColumnDlg(bool constants, CDataTableItem* item, QWidget* parent = nullptr);
    std::string m_equation;
    QComboBox* EquationCombo() const { return m_combo; }
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QComboBox* m_combo;
};
