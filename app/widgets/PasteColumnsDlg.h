// "Paste Columns" / "Paste Rows": whole columns (rows) on the clipboard go
// in as new ones or over the selected ones; overwriting is offered only when
// the copied block and the selection have the same width (height).
#pragma once

#include <QDialog>

class QRadioButton;

class CPasteColumnsDlg : public QDialog {
    Q_OBJECT
public:
    explicit CPasteColumnsDlg(bool rows = false, QWidget* parent = nullptr);

    int m_nChoice = 0;          // 0 insert, 1 overwrite
    int m_bOverwriteAllowed = 0;

    QRadioButton* InsertButton() const { return m_insert; }
    QRadioButton* OverwriteButton() const { return m_overwrite; }
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QRadioButton* m_insert;
    QRadioButton* m_overwrite;
};
