// Tip of the Day: a tip from the tips file beside the program, the next one
// on request, and the choice whether tips show at start-up.
#pragma once

#include <QDialog>

#include <memory>

class CColourSwatch;
class CTipFile;
class QCheckBox;
class QLabel;
class QPushButton;

class CTipDlg : public QDialog {
    Q_OBJECT
public:
    // Opens the tips file (by default "tips.txt" beside the program) and reads the first tip.
    explicit CTipDlg(QWidget* parent = nullptr, const QString& tipsPath = {});
    ~CTipDlg() override; // remembers where the next tip starts

    static QString DefaultTipsPath();

    // Reads the next tip and shows it.
    void GetNextTip();
    // Whether tips are to show at start-up (the check box).
    bool GetShowAtStartup() const;
    QString GetTipText() const;

    QPushButton* GetNextButton() const { return m_next; }
    QCheckBox* GetStartupCheck() const { return m_startup; }
    CColourSwatch* GetHeading() const { return m_heading; }

    void accept() override; // "&Close": writes the start-up choice

private:
    class Picture;
    std::unique_ptr<CTipFile> m_tips;
    QCheckBox* m_startup;
    QLabel* m_tip;
    CColourSwatch* m_heading;
    QPushButton* m_next;
};
