// Asks for a zoom percentage between 5 and 600. One class serves the grid's
// and the drawing's zoom commands; they differ only in the title.
#pragma once

#include <QDialog>

class QComboBox;

class CMagnificationDlg : public QDialog {
    Q_OBJECT
public:
    enum : int { kGridTemplate = 300, kGraphTemplate = 3570 };
    enum : int { kMinPercent = 5, kMaxPercent = 600 };

    CMagnificationDlg(QWidget* parent, int templateId);

    // Shows the percentage in the box (true) or reads and checks it (false);
    // a failed check reports its message, puts the focus on the box and answers false.
    bool DoDataExchange(bool save);
    QComboBox* GetCombo() const { return m_pCombo; }

    int m_nPercent = 100;

public slots:
    void accept() override;
    int exec() override;

private:
    QComboBox* m_pCombo;
};

// Reads "150", "150%" or " 150 % " as 150; false for anything else.
bool ParsePercent(const QString& text, int& percent);
