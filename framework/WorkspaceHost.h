// What the workspace document needs of the windows that show it. The program's
// main window implements it; without one (tests, batch use) the document runs
// headless and simply has no item windows.
#pragma once

#include "platform/Object.h"
#include "platform/Types.h"

#include <vector>

class CProjectItemBase;

// A window that shows a document; told of changes as update hints.
class CDocView {
public:
    virtual ~CDocView() = default;
    virtual void OnUpdate(CDocView* sender, int hint, CObject* object) = 0;
};

class CWorkspaceHost {
public:
    virtual ~CWorkspaceHost() = default;

    // Activates the item's window, or opens a new one; false when none could be made.
    virtual bool OpenItemWindow(CProjectItemBase* item) = 0;
    // Closes every window that shows the item.
    virtual void CloseItemWindows(CProjectItemBase* item) = 0;
    virtual bool HasItemWindow(const CProjectItemBase* item) const = 0;
    // The item's windows were renamed or renumbered: titles follow.
    virtual void UpdateItemTitles(CProjectItemBase* item) {}

    // One open item window as the workspace file records it.
    struct FrameState {
        CProjectItemBase* item = nullptr; // null for a window without an item
        WINDOWPLACEMENT placement;
        int stackPosition = 0;            // 0 for the bottom-most window
    };
    // The open item windows, one per frame, in the order they were opened.
    virtual std::vector<FrameState> GetItemFrames() = 0;
    // Reopens windows read from a file, bottom-most first; the last is activated.
    virtual void RestoreItemFrames(const std::vector<FrameState>& bottomToTop) = 0;
    virtual void CloseAllItemWindows() = 0;
};
