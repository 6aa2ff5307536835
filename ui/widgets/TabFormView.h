// The tabbed form in which every item of a workspace shows itself: one tab
// control and one page per aspect of the item ("General", "Definition",
// "Fonts", ...). The form makes its pages when it is first set up, keeps
// exactly one of them on screen, remembers in the item which one that was,
// and lays the pages out when it is resized. Commands reach the form before
// the page that shows; the standard edit commands of a page act on its
// focused edit box.
//
// The form and its pages are views of the item's document: the form tells
// its pages what happens with three hints (a page reacts only to its own
// form): a page is shown, a page is hidden, and "store what you show into
// the item" (sent before anything that reads the item, such as a compile).
#pragma once

#include "framework/WorkspaceHost.h"
#include "platform/Object.h"
#include "platform/widgets/CommandRouter.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class CProjectDocBase;
class CProjectItemBase;
class CTabFormView;
class QLineEdit;
class QTabBar;

// Hints between a form and its pages; the hint object is the page concerned.
enum : int {
    HINT_TAB_SHOWN = 2560,  // refresh from the item
    HINT_TAB_HIDDEN = 2561, // the page leaves the screen
    HINT_TAB_STORE = 2562,  // store what the page shows into the item
};

// The control id of every form's tab control.
constexpr int IDC_TAB_CONTROL = 3563;

// Names a control by its dialog control id, as tests and the placeholders of
// grids find it (the "controlId" property and the object name).
void SetControlId(QWidget* control, int id);
// The first descendant of parent with that control id, or null.
QWidget* FindControl(const QWidget* parent, int id);
template <class T>
T* FindControlAs(const QWidget* parent, int id)
{
    return qobject_cast<T*>(FindControl(parent, id));
}

// One page of a form. Derived pages build their controls in their
// constructor, set them up from the item in OnInitialUpdate (called once,
// after the form has placed the page), and answer the form's hints in OnUpdate.
class CTabFormChildView : public QWidget, public CCmdTarget, public CDocView, public CObject {
    Q_OBJECT
public:
    explicit CTabFormChildView(int templateId = 0, QWidget* parent = nullptr);
    ~CTabFormChildView() override;

    int GetTemplateId() const { return m_nTemplateId; }
    CTabFormView* GetParentForm() const { return m_pForm; }
    // The item and document of the form; null once the window let go of its item.
    CProjectItemBase* GetItem() const;
    CProjectDocBase* GetDocument() const;

    // The page's first update; later calls do nothing.
    void InitialUpdate();

    // The form's commands first, then the page's own, then the edit commands
    // on the focused edit box.
    bool OnCmdMsg(UINT id, CCmdUI* ui) override;
    // Hints that are not the page's: nothing.
    void OnUpdate(CDocView* sender, int hint, CObject* object) override {}
    // Whether an embedded object is the selection (none in a plain page).
    virtual bool IsSelected(const CObject* object) const { return false; }

    // The form is going away or let go of its item: no more hints reach the page.
    void Detach();

    // The edit box of the page that has the keyboard focus, or null.
    QLineEdit* GetFocusedEdit() const;

protected:
    virtual void OnInitialUpdate() {}
    // The page lets go of the item (still reachable here): controls bound to
    // the item's data give it back.
    virtual void OnDetach() {}
    // The page's own commands; true when it claims the command.
    virtual bool OnPageCommand(UINT id, CCmdUI* ui) { return false; }
    // Whether a hint comes from this page's own form.
    bool IsFromForm(const CDocView* sender) const;
    // Whether a hint of the form is about this page.
    bool IsThisPage(const CObject* object) const { return object == static_cast<const CObject*>(this); }

private:
    friend class CTabFormView;
    bool OnEditCommand(UINT id, CCmdUI* ui);

    int m_nTemplateId;
    CTabFormView* m_pForm = nullptr;
    bool m_bInitialised = false;
    bool m_bDetached = false;
};

// The tab control: a row of tabs over the frame in which the pages sit.
class CTabCtrl : public QWidget {
    Q_OBJECT
public:
    explicit CTabCtrl(QWidget* parent = nullptr);
    QTabBar* GetBar() const { return m_bar; }
    int GetItemCount() const;
    void InsertItem(int index, const QString& text);
    QString GetItemText(int index) const;
    void DeleteItem(int index);
    int GetCurSel() const;
    void SetCurSel(int index);
    // The rectangle of one tab in the control's coordinates (empty past the end).
    QRect GetItemRect(int index) const;

signals:
    // The user chose another tab.
    void selChange(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QTabBar* m_bar;
    bool m_bSetting = false;
};

struct CTabInfo {
    using Factory = std::function<CTabFormChildView*()>;
    CTabFormChildView* view = nullptr; // null until created
    Factory factory;                   // makes the page
    int controlId = 0;                 // the page's dialog template id
    std::string caption;
};

class CTabFormView : public QWidget, public CCmdTarget, public CDocView {
    Q_OBJECT
public:
    using Factory = CTabInfo::Factory;

    CTabFormView(int templateId, CProjectItemBase* item, QWidget* parent = nullptr);
    ~CTabFormView() override;

    int GetTemplateId() const { return m_nTemplateId; }
    CProjectItemBase* GetItem() const { return m_pItem; }
    CProjectDocBase* GetDocument() const;

    // Appends a tab; its page is made by the initial update. 1, or 0 (with a
    // message) when the tab cannot be added.
    int AddTab(Factory factory, int controlId, const std::string& caption);
    int AddTab(Factory factory, int controlId, UINT captionId);
    template <class View>
    int AddTab(int controlId, UINT captionId)
    {
        return AddTab([] { return static_cast<CTabFormChildView*>(new View); }, controlId, captionId);
    }

    // The form's set-up: derived forms add their tabs, then call DoInitialUpdate.
    virtual void OnInitialUpdate() { DoInitialUpdate(true); }
    // Makes the tabs and all the pages (none shown yet); with resize the
    // frame is fitted to the form. False when a page could not be made.
    bool DoInitialUpdate(bool resize);
    bool IsInitialised() const { return m_bInitialised; }

    // Selects a tab and shows its page; indices out of range are ignored.
    void SelectTab(int index);
    void ShowTab(int index);
    CTabFormChildView* CreateTabView(int index, bool border, bool show);
    // Adds a tab and makes its page at once (hidden). 0 on failure.
    int AddTabNow(Factory factory, int controlId, const std::string& caption);
    // Removes the tab whose page has that template id; refuses the last tab. 1 when removed.
    int RemoveTab(int controlId);

    int GetTabCount() const { return int(m_tabs.size()); }
    int GetCurrentTab() const { return m_nCurrent; }
    CTabFormChildView* GetCurrentView() const { return m_pCurrentView; }
    // The page of a tab; null out of range or before it is made.
    CTabFormChildView* GetTabView(int index) const;
    CTabCtrl* GetTabCtrl() const { return m_tabCtrl; }
    int GetHeaderHeight() const { return m_nHeaderHeight; }
    // Where every page lies, in the form's coordinates.
    QRect GetPageRect() const;

    // Asks the page that shows to store its controls into the item.
    void NotifyItemChanged();
    // Closes the item's window.
    void CloseFrame();
    // The window let go of the item: the page that shows stores what it
    // shows, then the form and its pages stop being views of the document.
    virtual void Detach();

    // To the page that shows (which asks the form first), else the form's own commands.
    bool OnCmdMsg(UINT id, CCmdUI* ui) override;
    // The form's own commands; true when it claims the command.
    virtual bool OnFormCommand(UINT id, CCmdUI* ui) { return false; }
    void OnUpdate(CDocView* sender, int hint, CObject* object) override {}
    bool IsSelected(const CObject* object) const;
    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    // Places the tab control and the pages for a form of that size.
    void ResizeTabControl(int cx, int cy);
    // The form becomes active: the remembered tab shows when nothing shows yet.
    void OnActivateView();

private:
    int m_nTemplateId;
    CProjectItemBase* m_pItem;
    CTabCtrl* m_tabCtrl;
    std::vector<std::unique_ptr<CTabInfo>> m_tabs;
    int m_nCurrent = -1;
    CTabFormChildView* m_pCurrentView = nullptr;
    int m_nHeaderHeight = 0;
    bool m_bInitialised = false;
    bool m_bDetached = false;
};
