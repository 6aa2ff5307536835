// The program's main window: its menus, toolbars and status bar, the Add
// commands that put new items into the workspace, the saving commands, and
// the delivery of background calculations' messages to their items.
#pragma once

class QMenuBar;

#include "framework/widgets/ProjectFrameMDIMain.h"
#include "ui/widgets/CommandImages.h"

#include <QEvent>
#include <QKeySequence>

#include <initializer_list>
#include <memory>

class CMXDoc;
class CMainToolBar;
class CProjectItemBase;
class CStandardToolBar;
class CZoomView;
class QLabel;
class QMenu;
class QToolBar;

// A message of a background calculation, carried to the main window's thread.
// It names the item by id: the item may be gone by the time it arrives.
class CBackgroundEvent : public QEvent {
public:
    static constexpr QEvent::Type kType = QEvent::Type(QEvent::User + 1000);
    // kind 2024 and 2027 go to the item; 2025 shows the string code.
    CBackgroundEvent(int kind, int itemId, int code, long long value)
        : QEvent(kType), kind(kind), itemId(itemId), code(code), value(value) {}
    int kind;
    int itemId;
    int code;
    long long value;
};

class CMXMainWnd : public CProjectFrameMDIMain {
    Q_OBJECT
public:
    CMXMainWnd();
    ~CMXMainWnd() override;

    // Menus, toolbars, the status bar and the workspace list; false when a part could not be made.
    bool Create();
    bool ShouldRestorePlacement() override { return true; }
    bool OnCmdMsg(UINT id, CCmdUI* ui) override;
    // An item whose kind has no window says so instead of opening nothing.
    bool OpenItemWindow(CProjectItemBase* item) override;

    CMXDoc* GetActiveWorkspace() const;
    CStandardToolBar* GetStandardBar() const { return m_standardBar; }
    QToolBar* GetWorkspaceToolBar() const { return m_workspaceBar; }
    // The table commands of the active data-table window.
    QToolBar* GetDataToolBar() const { return m_dataBar; }
    // Font face and size of the active note or text, with the character effects.
    CMainToolBar* GetFormatToolBar() const { return m_formatBar; }
    // The thirty colours, their targets and Custom Color.
    QToolBar* GetColourBar() const { return m_colourBar; }
    QToolBar* GetDrawingToolBar() const { return m_drawingBar; }
    // Arranging the objects of a graph page: align, group, stacking order.
    QToolBar* GetGraphToolBar() const { return m_graphBar; }
    // The view that the zoom box acts on: a graph page or the active table; null when none.
    CZoomView* GetZoomView();
    // The view whose text the font toolbar and Format > Font act on; null when none.
    QWidget* GetCharFormatView() const;
    // F1: the help page of the active item window (the contents without one).
    QWidget* ShowHelpForActiveWindow();
    // The status pane that shows the active item's state.
    QLabel* GetStatePane() const { return m_statePane; }
    const CCommandImages& GetCommandImages() const { return m_images; }
    // Switches every toolbar between small and large buttons.
    void OnIconSizeChanged(bool large);

    // Safe from any thread: the message reaches the item with that id, if it still exists.
    static void PostBackgroundMessage(int kind, int itemId, int code, long long value);

protected:
    void closeEvent(QCloseEvent* event) override;
    void customEvent(QEvent* event) override;

private:
    QAction* Command(UINT id, const QString& text, const QString& prompt,
                     std::initializer_list<QKeySequence> keys = {}, bool checkable = false);
    void CreateMenus();
    void CreateDrawingMenus(QMenuBar* bar);
    void CreateToolBars();
    void CreateColourBar();
    void CreateGraphBar();
    // The toolbar that a View > Tool Bars command shows or hides.
    QToolBar* BarOfCommand(UINT id) const;
    void AddItem(UINT id);
    void ChangeItemIcon();
    // The item that item commands (Page Setup) act on; null when none.
    CProjectItemBase* GetCommandItem() const;
    void StoreStockItem();
    void AddStockItem();
    // File/Import Data: a foreign data file read into a new data table.
    void ImportData();

    CCommandImages m_images;
    CStandardToolBar* m_standardBar = nullptr;
    QToolBar* m_workspaceBar = nullptr;
    CMainToolBar* m_formatBar = nullptr;
    QToolBar* m_colourBar = nullptr;
    std::unique_ptr<CZoomView> m_tableZoom;
    QToolBar* m_dataBar = nullptr;
    QToolBar* m_drawingBar = nullptr;
    QToolBar* m_graphBar = nullptr;
    QLabel* m_calcPane = nullptr;
    QLabel* m_statePane = nullptr;
    QMenu* m_windowMenu = nullptr;
};
