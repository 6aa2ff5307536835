// The windows of the fit items. A fit item opens in a frame whose view is a
// tabbed form: the linear fit's Settings, Results, Number Format, Fonts and
// Indents; the non-linear fit's Settings, Constants, Estimatrix, Fitting
// Criteria, Results and the same last three. The form carries Fit Data, the
// item's status for the state pane and the View commands that pick a tab;
// the frame owns the window that shows a running fit's progress, which
// appears only when a fit has run for half a second, and the Abort command.
#pragma once

#include "app/widgets/FitProgressDlg.h"
#include "app/widgets/MXProjectWnd.h"
#include "app/widgets/MXTabForm.h"

#include <QPointer>
#include <QTimer>

#include <mutex>
#include <string>
#include <vector>

class CMXLinear;
class CMXNonLinear;
class CMXResult;
class QListWidget;
class QTreeWidget;

enum ELinearTab { LIN_TAB_SETTINGS, LIN_TAB_RESULTS, LIN_TAB_FORMAT, LIN_TAB_FONTS, LIN_TAB_INDENTS, LIN_TAB_COUNT };
enum ENonlinTab {
    NL_TAB_SETTINGS,
    NL_TAB_CONSTANTS,
    NL_TAB_ESTIMATRIX,
    NL_TAB_CRITERIA,
    NL_TAB_RESULTS,
    NL_TAB_FORMAT,
    NL_TAB_FONTS,
    NL_TAB_INDENTS,
    NL_TAB_COUNT
};

// The non-linear fit's progress window: beyond the busy indicator and
// "&Abort", the parameters with their current values, the iteration and the
// reduced chi-square, read from the running engine's progress snapshot.
class CNonlinearFitProgressDlg : public CFitProgressDlg {
    Q_OBJECT
public:
    explicit CNonlinearFitProgressDlg(CMXNonLinear* item, QWidget* parent = nullptr);
    bool Create(CFitProgressContext* context, QWidget* parent);
    // Shows the running fit's latest snapshot.
    void UpdateProgress();
    QTreeWidget* GetParameterList() const { return m_list; }

private:
    CMXNonLinear* m_pItem;
    QTreeWidget* m_list = nullptr;
};

class CResultProjectWnd : public CMXProjectWnd, public CFitProgressContext {
    Q_OBJECT
public:
    explicit CResultProjectWnd(QWidget* parent = nullptr) : CMXProjectWnd(parent) {}
    ~CResultProjectWnd() override;

    CMXResult* GetResultItem() const;
    // The progress window, null while none shows.
    CFitProgressDlg* GetProgressWnd() const { return m_progress.data(); }
    virtual int GetProgressDialogID() const { return CFitProgressDlg::IDD_FIT_PROGRESS; }

    void ShowProgressWnd();
    // The calculation is over or abandoned: the window goes, the calculation
    // stops and the form takes input again.
    void EndCalculation();
    void UpdateProgressWnd();
    void PositionProgressWnd();

    bool OnCmdMsg(UINT id, CCmdUI* ui) override;

    int GetFitCount() const override;
    int GetCurrentFitIndex() const override;
    void AbortCalculation() override { EndCalculation(); }

protected:
    virtual CFitProgressDlg* MakeProgressWnd();
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // The progress window is made, refreshed and removed in answer to the
    // worker's notices, the timer, Abort and the window's own button; one at a time.
    std::recursive_mutex m_progressLock;
    QPointer<CFitProgressDlg> m_progress;
    bool m_bShownOnce = false;
};

class CResultTabForm : public CMXTabForm {
    Q_OBJECT
public:
    CResultTabForm(int templateId, CMXResult* item, QWidget* parent = nullptr);

    CMXResult* GetResultItem() const;
    CResultProjectWnd* GetResultFrame() const;
    // The item's status as the state pane shows it.
    std::string GetStatusText() const;
    QTimer& GetProgressTimer() { return m_timer; }

    bool OnFormCommand(UINT id, CCmdUI* ui) override;
    void OnUpdate(CDocView* sender, int hint, CObject* object) override;
    // Fit Data: starts a calculation, or stops the one that runs.
    void FitData();

    int PrintSection(CPrintContext& pc, bool draw, int section, bool firstOnPage) override;

    // The index of the Results tab.
    virtual int GetResultsTab() const = 0;

protected:
    // The View commands, in the order of the tabs.
    virtual const std::vector<UINT>& GetViewCommands() const = 0;
    virtual UINT GetTitleID() const = 0;
    virtual std::string GetEquationText() const = 0;
    // The form's own lines of the settings (after the weighting) and of each
    // data set's results (after the number of points).
    virtual void AddSettingLines(std::vector<std::pair<std::string, std::string>>& lines) const {}
    virtual void AddResultLines(int set, std::vector<std::pair<std::string, std::string>>& lines) const {}
    // A calculation ended with results: the Results tab shows.
    virtual void OnResultsReady();

private:
    // The listing's lines: label, value, and the font (0 title, 1 subheading, 2 results heading, 3 text).
    struct SListingLine {
        int font;
        std::string label, value;
        bool table = false;
        int set = 0;
    };
    std::vector<SListingLine> BuildListing() const;
    int PrintParameterTable(CPrintContext& pc, bool draw, bool firstOnPage, int set);

    QTimer m_timer;
};

class CLinearFitTabForm : public CResultTabForm {
    Q_OBJECT
public:
    explicit CLinearFitTabForm(CMXLinear* item, QWidget* parent = nullptr);
    CMXLinear* GetLinearItem() const;
    void OnInitialUpdate() override;
    int GetResultsTab() const override { return LIN_TAB_RESULTS; }

protected:
    const std::vector<UINT>& GetViewCommands() const override;
    UINT GetTitleID() const override;
    std::string GetEquationText() const override;
    void AddResultLines(int set, std::vector<std::pair<std::string, std::string>>& lines) const override;

private:
    bool m_bSetUp = false;
};

class CNonlinFitTabForm : public CResultTabForm {
    Q_OBJECT
public:
    explicit CNonlinFitTabForm(CMXNonLinear* item, QWidget* parent = nullptr);
    CMXNonLinear* GetNonlinItem() const;
    void OnInitialUpdate() override;
    int GetResultsTab() const override { return NL_TAB_RESULTS; }

protected:
    const std::vector<UINT>& GetViewCommands() const override;
    UINT GetTitleID() const override;
    std::string GetEquationText() const override;
    void AddSettingLines(std::vector<std::pair<std::string, std::string>>& lines) const override;
    void AddResultLines(int set, std::vector<std::pair<std::string, std::string>>& lines) const override;

private:
    bool m_bSetUp = false;
};

class CLinearProjectWnd : public CResultProjectWnd {
    Q_OBJECT
public:
    explicit CLinearProjectWnd(QWidget* parent = nullptr) : CResultProjectWnd(parent) {}
    CLinearFitTabForm* GetForm() const;

protected:
    QWidget* CreateItemView() override;
};

class CNonlinProjectWnd : public CResultProjectWnd {
    Q_OBJECT
public:
    explicit CNonlinProjectWnd(QWidget* parent = nullptr) : CResultProjectWnd(parent) {}
    CNonlinFitTabForm* GetForm() const;
    int GetProgressDialogID() const override { return CFitProgressDlg::IDD_FIT_PROGRESS_DETAIL; }

protected:
    QWidget* CreateItemView() override;
    CFitProgressDlg* MakeProgressWnd() override;
};
