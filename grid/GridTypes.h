// Numbers and small records that the grid engine, its hosts and its cells
// share: hit codes (also the cursor ids shown over each part), key and mouse
// flags, grid event codes, scroll codes and the records passed with events.
#pragma once

#include "platform/Types.h"

#include <cstdint>
#include <string>

// Hit codes of the hit test; each is also the id of the cursor shown over that part.
enum : int {
    GRID_HIT_NONE = 0,
    GRID_HIT_COLUMN_BORDER = 28001, // right border of a column in a header row: column resize
    GRID_HIT_ROW_BORDER = 28002,    // bottom border of a row in a header column: row resize
    GRID_HIT_ROW_HEADER = 28003,    // selects the row
    GRID_HIT_COLUMN_HEADER = 28004, // selects the column
    GRID_HIT_CORNER = 28005,        // where header rows and header columns cross: selects all
    GRID_HIT_CELL = 28006,
    GRID_HIT_INACTIVE = 28009,      // a header part whose selection is switched off
};


// Virtual key codes the engine and the cells react to.
enum : UINT {
    VK_BACK = 0x08, VK_TAB = 0x09, VK_RETURN = 0x0D, VK_SHIFT = 0x10, VK_CONTROL = 0x11,
    VK_ESCAPE = 0x1B, VK_PRIOR = 0x21, VK_NEXT = 0x22, VK_END = 0x23, VK_HOME = 0x24,
    VK_LEFT = 0x25, VK_UP = 0x26, VK_RIGHT = 0x27, VK_DOWN = 0x28, VK_DELETE = 0x2E, VK_F2 = 0x71,
};

// Scroll bars and scroll requests.
enum : int { SB_HORZ = 0, SB_VERT = 1, SB_CTL = 2, SB_BOTH = 3 };
enum : int {
    SB_LINEUP = 0, SB_LINELEFT = 0, SB_LINEDOWN = 1, SB_LINERIGHT = 1, SB_PAGEUP = 2, SB_PAGELEFT = 2,
    SB_PAGEDOWN = 3, SB_PAGERIGHT = 3, SB_THUMBPOSITION = 4, SB_THUMBTRACK = 5, SB_TOP = 6, SB_LEFT = 6,
    SB_BOTTOM = 7, SB_RIGHT = 7, SB_ENDSCROLL = 8,
};

// Grid events: what changed, broadcast to every window showing the same grid data.
enum : int {
    GRID_EVENT_REDRAW = 0,          // no data
    GRID_EVENT_REDRAW_RECT = 1,     // const RECT* (device)
    GRID_EVENT_RELAYOUT = 100,      // no data
    GRID_EVENT_INVALIDATE = 101,    // const RECT* (device)
    GRID_EVENT_UPDATE_WINDOW = 102, // no data
    GRID_EVENT_TOGGLE_HIGHLIGHT = 103,
    GRID_EVENT_RANGE_CHANGING = 104, // const CGridSelChange*
    GRID_EVENT_RANGE_CHANGED = 105,  // const CGridSelChange*
    GRID_EVENT_RANGE = 106,          // const int* range index
    GRID_EVENT_FOCUS = 107,          // const CGridCellRef*
    GRID_EVENT_CELL = 108,           // const CGridCellRef*
    GRID_EVENT_SCROLL_RANGES = 109,  // no data
    GRID_EVENT_DEACTIVATE = 110,
    GRID_EVENT_ACTIVATE = 111,
    GRID_EVENT_RANGE_AREA = 112,     // const int* range index
    GRID_EVENT_COLUMNS = 113,        // const CGridSpan* (first, last column)
};

// Update dispatcher codes (see CGridEngine::Update).
enum : int {
    GRID_UPDATE_ALL = 0,
    GRID_UPDATE_ROW_SCROLLED = 1,
    GRID_UPDATE_COLUMN_SCROLLED = 2,
    GRID_UPDATE_ROW_APPENDED = 3,
    GRID_UPDATE_LAYOUT = 4,
    GRID_UPDATE_CELLS_ONLY = 100,
};

// Focus drawing modes: what the selection looks like in this window.
enum : int {
    GRID_FOCUS_ALL = 0,       // highlight and focus frame
    GRID_FOCUS_HIGHLIGHT = 1, // highlight only
    GRID_FOCUS_NONE = 2,      // inactive window
    GRID_FOCUS_RETURNING = 3, // the next activation returns to 0
};

// Option bits of the grid data.
enum : DWORD { GRID_OPTION_ROW_SELECT = 0x1, GRID_OPTION_MULTI_RANGE = 0x2 };

constexpr UINT GRID_TIMER_AUTOSCROLL = 1;

// Range of cells, inclusive on all sides: left column, top row, right column, bottom row.
struct CGridRange {
    int left = -1;
    int top = -1;
    int right = -1;
    int bottom = -1;
    bool Contains(int row, int column) const
    {
        return row >= top && row <= bottom && column >= left && column <= right;
    }
    bool IsEmpty() const { return left < 0 || top < 0 || right < left || bottom < top; }
    friend bool operator==(const CGridRange&, const CGridRange&) = default;
};

// A cell named by its place, as events and the selected cell list carry it.
struct CGridCellRef {
    int column = -1;
    int row = -1;
    int flag = 0;
    friend bool operator==(const CGridCellRef&, const CGridCellRef&) = default;
};

struct CGridSpan {
    int first = 0;
    int last = 0;
};

// Passed with events 104 and 105: the range before the change, and which range.
struct CGridSelChange {
    CGridRange oldRange;
    int index = 0;
};

// What a command-update pass learns: enabled or not, and a menu text when one is set.
struct CGridCmdState {
    bool enabled = false;
    bool hasText = false;
    std::string text;
    void Enable(bool on) { enabled = on; }
    void SetText(std::string t)
    {
        text = std::move(t);
        hasText = true;
    }
};

// Result of a hit test: the code, the cell (both -1 when none) and its device rectangle.
struct CGridHitInfo {
    int code = GRID_HIT_NONE;
    int row = -1;
    int column = -1;
    RECT rect;
    CGridHitInfo() = default;
    CGridHitInfo(int c, int r, int col, const RECT& rc) : code(c), row(r), column(col), rect(rc) {}
    void Set(int c, int r, int col, const RECT& rc)
    {
        code = c;
        row = r;
        column = col;
        rect = rc;
    }
};

// Rectangle helpers in device units (right and bottom exclusive).
inline bool RectIsEmpty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }
inline bool RectContains(const RECT& r, POINT p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }
inline RECT RectUnion(const RECT& a, const RECT& b)
{
    if (RectIsEmpty(a))
        return b;
    if (RectIsEmpty(b))
        return a;
    return RECT{a.left < b.left ? a.left : b.left, a.top < b.top ? a.top : b.top,
                a.right > b.right ? a.right : b.right, a.bottom > b.bottom ? a.bottom : b.bottom};
}
inline RECT RectIntersect(const RECT& a, const RECT& b)
{
    RECT r{a.left > b.left ? a.left : b.left, a.top > b.top ? a.top : b.top,
           a.right < b.right ? a.right : b.right, a.bottom < b.bottom ? a.bottom : b.bottom};
    if (RectIsEmpty(r))
        return RECT{};
    return r;
}
