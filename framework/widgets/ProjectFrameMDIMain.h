// The main window of a workspace program: item windows in an MDI area, the
// workspace list docked beside them, commands routed to the list while it
// has the focus and to the active item window otherwise, the window's
// placement kept in the profile, and the title after the open workspace. It
// is the workspace document's window host.
#pragma once

#include "framework/WorkspaceHost.h"
#include "platform/widgets/CommandRouter.h"
#include "platform/Types.h"

#include <QMainWindow>

#include <string>
#include <vector>

class CListViewBar;
class CProjectDocBase;
class CProjectFrameBase;
class QMdiArea;
class QMdiSubWindow;

class CProjectFrameMDIMain : public QMainWindow, public CWorkspaceHost, public CCmdTarget {
    Q_OBJECT
public:
    explicit CProjectFrameMDIMain(QWidget* parent = nullptr);
    ~CProjectFrameMDIMain() override;

    QMdiArea* GetMdiArea() const { return m_mdi; }
    CCommandRouter& GetRouter() { return *m_router; }
    CProjectFrameBase* GetActiveItemFrame() const;
    std::vector<CProjectFrameBase*> GetFrames() const { return m_frames; }
    // Item frames from the bottom of the stack to the top.
    std::vector<CProjectFrameBase*> GetFramesInStackingOrder() const;

    // The list-focus state: set when the workspace list takes the focus,
    // cleared when an item window is activated.
    void SetListFocus(bool focus);
    bool GetListFocus() const { return m_bListFocus; }
    // The list is visible, holds the focus state and a workspace is open.
    bool IsListActive() const;

    // The command route as it stands now.
    virtual std::vector<CCmdTarget*> GetCommandRoute();
    bool OnCmdMsg(UINT id, CCmdUI* ui) override;

    // Title after the open workspace (or the maximised item window).
    void OnUpdateFrameTitle();
    void UpdateMainIcon();
    void OnItemFrameClosed(CProjectFrameBase* frame);

    // Window placement in the profile section "Settings".
    virtual bool ShouldRestorePlacement() { return false; }
    void RestoreWindowPlacement(UINT showCommand);
    void SaveWindowPlacement();
    bool ReadWindowPlacement(WINDOWPLACEMENT& placement) const;
    void WriteWindowPlacement(const WINDOWPLACEMENT& placement) const;
    // The stored entries turned into a placement: current is the window's
    // present rectangle (used when no position is stored), workArea the
    // desktop's. False when an entry is malformed.
    static bool ParsePlacement(const std::string& position, const std::string& size, const std::string& screen,
                               const std::string& maximize, const RECT& current, SIZE workArea,
                               WINDOWPLACEMENT& placement);
    static SIZE WorkArea();

    // CWorkspaceHost
    bool OpenItemWindow(CProjectItemBase* item) override;
    void CloseItemWindows(CProjectItemBase* item) override;
    bool HasItemWindow(const CProjectItemBase* item) const override;
    void UpdateItemTitles(CProjectItemBase* item) override;
    std::vector<FrameState> GetItemFrames() override;
    void RestoreItemFrames(const std::vector<FrameState>& bottomToTop) override;
    void CloseAllItemWindows() override;

    // Window/New Window: another window on the active frame's item.
    bool NewWindow();

signals:
    void commandStateChanged();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // Moves a frame that reaches beyond the visible workspace area into it.
    void KeepInsideWorkspace(QMdiSubWindow* frame) const;
    // Adds a frame made by a template to the MDI area.
    CProjectFrameBase* AddFrame(CProjectFrameBase* frame, bool restorePlacement, bool allowMaximized);

    QMdiArea* m_mdi;
    CCommandRouter* m_router;
    std::vector<CProjectFrameBase*> m_frames;
    bool m_bListFocus = false;
    bool m_bShownOnce = false;
    UINT m_nStartShow = SW_SHOW;
};
