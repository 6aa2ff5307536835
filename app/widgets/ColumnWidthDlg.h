// "Column Width" and "Row Height": the default size or a specific one. The
// size is shown and typed in points; the caller reads the members after OK.
// A size typed while Default is chosen is neither checked nor used.
#pragma once

#include <QDialog>

class QLineEdit;
class QRadioButton;

class CColumnWidthDlg : public QDialog {
    Q_OBJECT
public:
    // rows: the Row Height form of the dialog.
    explicit CColumnWidthDlg(bool rows = false, QWidget* parent = nullptr);

    int m_nChoice = -1; // 0 default, 1 specific
    int m_nSize = 0;    // thousandths of an inch

    QRadioButton* DefaultButton() const { return m_default; }
    QRadioButton* SpecificButton() const { return m_specific; }
    QLineEdit* SizeEdit() const { return m_size; }
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QRadioButton* m_default;
    QRadioButton* m_specific;
    QLineEdit* m_size;
};
