// The modeless window shown while fits run: a busy indicator and "&Abort";
// the larger form also shows the iteration and the reduced chi-square. With
// several fits in one run its title counts them.
#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

// What the progress window needs of the fit that owns it.
class CFitProgressContext {
public:
    virtual ~CFitProgressContext() = default;
    // The fits of the current run, and the one running now (from 0).
    virtual int GetFitCount() const = 0;
    virtual int GetCurrentFitIndex() const = 0;
    // "&Abort": ends the calculation.
    virtual void AbortCalculation() = 0;
};

class CFitProgressDlg : public QDialog {
    Q_OBJECT
public:
    // The two forms: 315 (busy indicator and "&Abort") and 3530 (with the
    // iteration and reduced chi-square lines).
    enum Template { IDD_FIT_PROGRESS = 315, IDD_FIT_PROGRESS_DETAIL = 3530 };

    explicit CFitProgressDlg(QWidget* parent = nullptr);

    // Keeps the context and shows the window modeless.
    bool Create(CFitProgressContext* context, int templateId, QWidget* parent = nullptr);
    // "Fitting data (2 of 3)..." when the run holds more than one fit; with
    // one fit the title stays.
    void UpdateTitle();
    void SetIteration(int iteration);
    void SetReducedChiSquare(double value);

    QPushButton* GetAbortButton() const { return m_abort; }
    QLabel* GetIterationLabel() const { return m_iteration; }
    QLabel* GetChiSquareLabel() const { return m_chiSquare; }

private:
    CFitProgressContext* m_pContext = nullptr;
    QProgressBar* m_animation = nullptr;
    QPushButton* m_abort = nullptr;
    QLabel* m_iteration = nullptr;
    QLabel* m_chiSquare = nullptr;
};
