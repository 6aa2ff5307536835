// The drawing surface a host gives the engine for one paint pass. All
// coordinates are device pixels of the host's client area, y downwards;
// rectangles exclude their right and bottom edges.
#pragma once

#include "platform/Types.h"

#include <string_view>

// Text placement flags (as cells ask for them).
enum : UINT {
    DT_LEFT = 0x0000, DT_CENTER = 0x0001, DT_RIGHT = 0x0002, DT_VCENTER = 0x0004,
    DT_WORDBREAK = 0x0010, DT_SINGLELINE = 0x0020, DT_NOPREFIX = 0x0800,
};

class CGridPainter {
public:
    virtual ~CGridPainter() = default;

    // The part of the surface that needs painting.
    virtual RECT GetClipBox() const = 0;
    virtual bool IsPrinting() const { return false; }

    virtual void FillRect(const RECT& rect, COLORREF color) = 0;
    // A one-pixel line from (x1, y1) to (x2, y2), the end point excluded.
    virtual void DrawLine(int x1, int y1, int x2, int y2, COLORREF color) = 0;
    // Text in a transparent mode, clipped to rect.
    virtual void DrawText(const RECT& rect, std::string_view text, UINT format, COLORREF color,
                          const LOGFONT& deviceFont) = 0;
    // The selection highlight over rect and the current cell's focus frame.
    virtual void DrawHighlight(const RECT& rect) = 0;
    virtual void DrawFocusFrame(const RECT& rect) = 0;
    // The line shown while a row or column border is dragged.
    virtual void DrawTracker(const RECT& rect) = 0;
};
