// What a grid engine needs from the window that shows it. The engine owns no
// window: a host (a child control or a document view) implements these
// services with its own window, scroll bars, clipboard and timers, and routes
// its input and paint events to the engine. All rectangles and points here
// are in device pixels of the host's client area, y downwards.
#pragma once

#include "grid/GridEditor.h"
#include "grid/GridTypes.h"
#include "platform/Types.h"

#include <memory>
#include <string>
#include <string_view>

class CGridEngine;
class CGridCellObject;

// Device metrics of the surface the grid is drawn on.
struct CGridMetrics {
    int logPixelsX = 96;
    int logPixelsY = 96;
    int screenWidth = 1920;  // HORZRES, pixels
    int screenHeight = 1080; // VERTRES, pixels
};

class CGridHost {
public:
    virtual ~CGridHost() = default;

    // Whether a window exists at all (false before creation and after destruction).
    virtual bool HasWindow() const = 0;
    virtual bool IsWindowVisible() const = 0;
    virtual bool IsWindowEnabled() const = 0;
    // Whether the host is a pane of a splitter, which then owns the scroll bars.
    virtual bool IsSplitterPane() const { return false; }

    virtual void GetClientRect(RECT& rect) const = 0;
    virtual CGridMetrics GetMetrics() const = 0;
    // Extent of text drawn in a font whose height is in device pixels.
    virtual SIZE MeasureText(const LOGFONT& deviceFont, std::string_view text) const = 0;

    // Painting is asked for, never done here: the host paints later through the engine's OnDraw.
    virtual void Invalidate(bool erase) = 0;
    virtual void InvalidateRect(const RECT& rect, bool erase) = 0;
    virtual void UpdateWindow() = 0;
    // Moves the pixels of area by (dx, dy) and invalidates what is uncovered.
    virtual void ScrollWindow(int dx, int dy, const RECT& area) = 0;

    // Scroll bars (SB_HORZ or SB_VERT); positions and ranges are grid rows and columns.
    virtual void SetScrollRange(int bar, int minimum, int maximum) = 0;
    virtual void SetScrollPos(int bar, int position) = 0;
    virtual int GetScrollPos(int bar) const = 0;
    // show false hides the bar; enable false shows it disabled (kept bars).
    virtual void ShowScrollBar(int bar, bool show, bool enable) = 0;

    virtual void SetCapture() = 0;
    virtual void ReleaseCapture() = 0;
    virtual void SetTimer(UINT id, UINT elapseMs) = 0;
    virtual void KillTimer(UINT id) = 0;
    // Where the mouse is now, in client coordinates.
    virtual POINT GetCursorPos() const = 0;
    // Queues a mouse move to the engine (so that a timer never re-enters it).
    virtual void PostMouseMove(UINT flags, POINT point) = 0;
    // Queues a key to the grid window, as an editor passes keys on.
    virtual void PostKeyDown(UINT key, UINT repeat, UINT flags) {}
    // MK_SHIFT and MK_CONTROL for the modifier keys held now.
    virtual UINT GetKeyModifiers() const = 0;
    // Shows the cursor with that id (a hit code, or an override id).
    virtual void SetCursor(int cursorId) = 0;

    // Clipboard text (UTF-8). Opening, emptying and closing may fail on some
    // platforms; the engine reports each failure with its own message.
    virtual bool OpenClipboard() = 0;
    virtual bool EmptyClipboard() = 0;
    virtual void SetClipboardText(const std::string& text) = 0;
    virtual bool GetClipboardText(std::string& text) = 0;
    virtual bool CloseClipboard() = 0;
    virtual bool ClipboardHasText() const = 0;

    // An in-place editor child window for a cell, or null when none can be made.
    virtual std::unique_ptr<CGridEditor> CreateEditor(int kind) { return nullptr; }

    // Delivers a grid event to every window that shows the sender's grid data
    // (the sender included). A control delivers it to itself only.
    virtual void BroadcastGridEvent(CGridEngine& sender, int code, const void* data) = 0;
    // Lays the host's window out again (client rectangle changed).
    virtual void RecalcLayout() {}
};
