// "Paste Options": how a paste combines with the cells it lands on
// (operation 0 none, 1 add, 2 subtract, 3 multiply, 4 divide), whether empty
// source cells leave their destination alone, and whether the block is turned.
#pragma once

#include <QDialog>

class QAbstractButton;
class QButtonGroup;
class QCheckBox;

class CPasteOptionsDlg : public QDialog {
    Q_OBJECT
public:
    explicit CPasteOptionsDlg(QWidget* parent = nullptr);

    int m_nOperation = -1;
    int m_bSkipBlanks = 0;
    int m_bTranspose = 0;

    QAbstractButton* OperationButton(int operation) const;
    QCheckBox* SkipBlanksBox() const { return m_skip; }
    QCheckBox* TransposeBox() const { return m_transpose; }

    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QButtonGroup* m_operations;
    QCheckBox* m_skip;
    QCheckBox* m_transpose;
};
