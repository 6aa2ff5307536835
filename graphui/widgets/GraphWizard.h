// The wizard machinery of the graph pages: a page that serves as a wizard
// step (and, through a derived class, as a property page), the sheet that
// leads through the steps with Back, Next and Finish, the base of the graph
// wizards, the graph-type gallery, and the percentage fields.
#pragma once

#include "platform/Types.h"

#include <QDialog>

#include <string>
#include <string_view>
#include <vector>

class CDataExchange;
class CDrawGraph;
class CGraphSources;
class CUpdateNotification;
class QLineEdit;
class QListWidget;
class QPushButton;
class QStackedWidget;
class QLabel;

// The wizard buttons a page asks for when it becomes active.
enum WizardButtons : int {
    PSWIZB_BACK = 1,
    PSWIZB_NEXT = 2,
    PSWIZB_FINISH = 4,
};
// What a wizard's run answers when the user pressed Finish.
inline constexpr int ID_WIZFINISH = 12325;

// Workspace item kinds as the wizards test them: the values of the
// workspace's item kind flags, under names of their own so that a file may
// see both.
namespace WizardKind {
enum : int {
    Table = 1,
    Equation = 8,
    LinearFit = 16,
    NonlinearFit = 32,
    Transform = 64,
    DllEquation = 128,
    SourceMask = 185,
};
} // namespace WizardKind

// What the wizards list of the workspace: item names by kind and the kind of
// a named item. The workspace implements it; tests give their own.
class CWizardCatalog {
public:
    virtual ~CWizardCatalog() = default;
    // Names of the items whose kind shares a bit with the mask, in list order.
    virtual std::vector<std::string> GetItemNames(int kindMask) const = 0;
    // The kind of the item of that name (without regard to case); 0 when none.
    virtual int GetItemKind(std::string_view name) const = 0;
    // The equation item a transformation works on (empty when unknown).
    virtual std::string GetTransformSource(std::string_view name) const { return {}; }
};

class CWizardSheet;

// A page of a wizard or of a property sheet. Its settings are plain members;
// DoDataExchange moves them to and from the controls.
class CWizardPage : public QWidget {
    Q_OBJECT
public:
    CWizardPage(int templateId, const QString& caption, QWidget* parent = nullptr);
    int GetTemplateId() const { return m_nTemplateId; }
    CWizardSheet* Sheet() const { return m_pSheet; }
    void SetSheet(CWizardSheet* sheet) { m_pSheet = sheet; }

    // Moves the members into the controls (false) or checks and reads them (true).
    virtual bool UpdateData(bool save);
    // Sets the buttons and reloads what depends on other pages.
    virtual void OnSetActive() {}
    // The page is left forwards; false keeps it.
    virtual bool OnKillActive() { return UpdateData(true); }
    // 0 goes to the next page in order, -1 stays, a template id jumps there.
    virtual int OnWizardNext() { return 0; }
    // 0 goes back to the page that led here, a template id jumps there.
    virtual int OnWizardBack() { return 0; }
    // False keeps the wizard open.
    virtual bool OnWizardFinish() { return UpdateData(true); }
    // Property form: writes the members back into the element; false keeps the sheet open.
    virtual bool OnApply() { return true; }

    bool IsModified() const { return m_bModified; }
    void SetModified(bool on = true) { m_bModified = on; }

protected:
    virtual void DoDataExchange(CDataExchange* pDX) {}
    // The control that last refused its value, for the focus.
    bool Refuse(UINT stringId, QWidget* focus);

    int m_nTemplateId;
    CWizardSheet* m_pSheet = nullptr;
    bool m_bModified = false;
};

// A sheet in wizard mode: one page at a time with Back, Next, Finish and Cancel.
// Back returns to the page that led to the current one, whatever jumps led there.
class CWizardSheet : public QDialog {
    Q_OBJECT
public:
    explicit CWizardSheet(QWidget* parent = nullptr);

    void AddPage(CWizardPage* page);
    int GetPageCount() const { return int(m_pages.size()); }
    CWizardPage* GetPage(int index) const { return m_pages[std::size_t(index)]; }
    CWizardPage* GetActivePage() const;
    int GetActiveIndex() const { return m_nActive; }
    // The page of that template (the first one), or null.
    CWizardPage* FindPage(int templateId) const;
    void SetWizardButtons(int buttons);
    int GetWizardButtons() const { return m_nButtons; }
    // Shows the first page; the sheet's run (exec) answers ID_WIZFINISH or 0.
    void Start();
    int Run();

    // The buttons' actions (tests press them through these too).
    bool PressNext();
    bool PressBack();
    bool PressFinish();
    void PressCancel();
    // Shows a page without leaving the current one through its checks.
    void SetActivePage(int index);

    QPushButton* BackButton() const { return m_back; }
    QPushButton* NextButton() const { return m_next; }
    QPushButton* FinishButton() const { return m_finish; }
    // The pages shown so far, oldest first (Back walks it down).
    const std::vector<int>& History() const { return m_history; }

private:
    void Activate(int index);
    // Shows the page, cutting the history back when it was shown before.
    void JumpTo(int index);
    int IndexOf(int templateId) const;

    std::vector<CWizardPage*> m_pages;
    std::vector<int> m_history;
    int m_nActive = -1;
    int m_nButtons = 0;
    QStackedWidget* m_stack;
    QLabel* m_title;
    QPushButton* m_back;
    QPushButton* m_next;
    QPushButton* m_finish;
    QPushButton* m_cancel;
};

// The base of the XY, chart and histogram wizards.
class CGraphWizardSheet : public CWizardSheet {
    Q_OBJECT
public:
    CGraphWizardSheet(CWizardCatalog* catalog, CGraphSources* sources, QWidget* parent = nullptr);

    CWizardCatalog* GetCatalog() const { return m_pCatalog; }
    CGraphSources* GetSources() const { return m_pSources; }
    bool IsNewGraph() const { return m_bNewGraph != 0; }

    // A workspace notice while the wizard is open.
    virtual void OnItemNotify(CUpdateNotification& notice) = 0;
    virtual std::string GetSourceName() const = 0;
    virtual void CalcAutoRange(bool xLog, bool yLog, double& xMin, double& xMax, double& yMin, double& yMax) = 0;
    virtual void GetAxisTitles(std::string& x, std::string& y) = 0;
    // The kind of the chosen source (0 without one).
    int GetSourceKind() const;
    // Whether the notice changes the chosen source's data or removes it; the
    // wizard then turns back to its first page.
    bool SourceNoticed(const CUpdateNotification& notice) const;
    // Builds into the graph: sets the axes up for a new graph, adds the datasets.
    virtual void ApplyToGraph(CDrawGraph* graph, bool newGraph) = 0;

protected:
    CWizardCatalog* m_pCatalog;
    CGraphSources* m_pSources;
    int m_bNewGraph = 1;
};

// The gallery of graph kinds that starts a wizard: 0 XY, 1 column, 2 bar, 3 histogram.
class CSelectGraphTypeDlg : public QDialog {
    Q_OBJECT
public:
    explicit CSelectGraphTypeDlg(QWidget* parent = nullptr);
    // The chosen kind after OK; -1 when none.
    int GetChoice() const { return m_nChoice; }
    QListWidget* List() const { return m_list; }
    QPushButton* CreateButton() const { return m_create; }
    // "Create..." pressed: takes the selection and closes when there is one.
    void OnCreate();
    // A kind that cannot be made now is shown greyed with the reason as its tip.
    void SetKindAvailable(int kind, bool available, const std::string& reason = {});

private:
    void UpdateButton();

    QListWidget* m_list;
    QPushButton* m_create;
    int m_nChoice = -1;
};

// A percentage: shown as the integer and "%"; read as blanks, an integer,
// optionally "%" and blanks. Anything else shows "Invalid percentage. Please
// enter an integer value." and fails the pass. Only enabled edits are read.
void DDX_Percent(CDataExchange* pDX, QLineEdit* edit, int& value);
void DDV_Percent(CDataExchange* pDX, int value, int minimum, int maximum);
// The reading rule of DDX_Percent; false for a text that is no percentage.
bool ParsePercent(std::string_view text, int& value);

// A number as the pages show it: "%.*g" with 15 significant digits.
std::string FormatG15(double value);

// Tick placements of the first axes and grid and frame settings for a wizard's tick style (0 to 9).
void ApplyTickStyle(CDrawGraph* graph, int style, int xAxis = 0, int yAxis = 0);
