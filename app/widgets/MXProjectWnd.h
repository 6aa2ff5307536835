// The common frame of the program's item windows.
#pragma once

#include "framework/widgets/ProjectFrameBase.h"

class CMXProjectItem;

class CMXProjectWnd : public CProjectFrameBase {
    Q_OBJECT
public:
    explicit CMXProjectWnd(QWidget* parent = nullptr) : CProjectFrameBase(parent) {}
    CMXProjectItem* GetMXItem() const;
    // The icon size changed: the frame lays itself out again.
    void OnLayoutChanged(UINT hint) override;
    // Undo and Redo of the item's own edits, when its view does not claim them.
    bool OnCmdMsg(UINT id, CCmdUI* ui) override;

protected:
    QWidget* CreateView() final;
    // A tab form gives its edits back to the item and lets go of it.
    void OnDetach() override;
    // The view of the item kind.
    virtual QWidget* CreateItemView() = 0;
};
