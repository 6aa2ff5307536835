// The window of one workspace item inside the main window. It knows its item
// and workspace, keeps its placement (restored when the workspace reopens),
// titles itself after the item, and tells the item when it goes away.
#pragma once

#include "platform/widgets/CommandRouter.h"
#include "platform/Types.h"

#include <QMdiSubWindow>

#include <string>

class CProjectDocBase;
class CProjectItemBase;

class CProjectFrameBase : public QMdiSubWindow, public CCmdTarget {
    Q_OBJECT
public:
    explicit CProjectFrameBase(QWidget* parent = nullptr);
    ~CProjectFrameBase() override;

    // Binds the frame to its item and makes its view: the other frame's item
    // (another window on it) or the document's item being opened.
    void CreateClient(CProjectDocBase* document, CProjectFrameBase* other);

    CProjectItemBase* GetItem() const { return m_pItem; }
    CProjectDocBase* GetDocument() const { return m_pDocument; }

    // Applies the stored placement; a stored maximised state becomes a plain
    // one when not allowed and another frame is active and not maximised.
    virtual bool RestorePlacement(bool allowMaximized);
    // Keeps the frame's placement in the item (and in the frame).
    virtual void SavePlacement();
    virtual void OnLayoutChanged(UINT hint) {}
    // Sets the caption from the workspace title (null: no workspace).
    virtual void UpdateItemTitle(const std::string* workspaceTitle);
    void OnUpdateFrameTitle();

    WINDOWPLACEMENT GetPlacement() const;
    void SetPlacement(const WINDOWPLACEMENT& placement) { m_placement = placement; }
    // Number of this window among the item's windows (0 when it is the only one).
    int m_nWindow = 0;

    // The view's commands come before the frame's own.
    CCmdTarget* GetViewTarget() const;
    bool OnCmdMsg(UINT id, CCmdUI* ui) override;

    // The frame is going away: the item's open state follows.
    void Detach();

protected:
    // Makes the view widget that shows the item.
    virtual QWidget* CreateView() = 0;
    // The frame lets go of its item (the item may be deleted right after):
    // views give their edits back to it here.
    virtual void OnDetach() {}
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

    CProjectItemBase* m_pItem = nullptr;
    CProjectDocBase* m_pDocument = nullptr;
    WINDOWPLACEMENT m_placement{0, 0, 0, {}, {}, {}};

private:
    void RememberNormal();
    QRect m_normal;
    bool m_detached = false;
};
