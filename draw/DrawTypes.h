// Shared values of the drawing layer: the update hints a page sends, the
// mouse-key bits, pen and shape codes, the drawing palette and the desktop
// colours that drawing borrows. Page units are 1/720 inch and y grows upwards.
#pragma once

#include "platform/Types.h"

#include <array>
#include <cstdint>

inline constexpr int kUnitsPerInch = 720;

// Update hints of a page; the hint object is always the page.
enum DrawHint : int {
    HINT_UPDATE_WINDOW = 2000,    // page-wide change
    HINT_UPDATE_DRAWOBJ = 2001,   // one object to repaint
    HINT_UPDATE_SELECTION = 2002, // a list of objects (or the selection) to repaint
    HINT_DELETE_SELECTION = 2003, // objects leave the selection
    HINT_UPDATE_OLE_ITEMS = 2004,
    HINT_UPDATE_TRACKERS = 2005,  // redraw the selection handles
    HINT_PAGE_SIZE = 2006,
    HINT_OBJECT_REMOVED = 2007,
    HINT_OBJECT_SHOWN = 2008,
};

// Pen styles of drawing objects; 5 draws no line.
enum : int { PS_SOLID = 0, PS_DASH = 1, PS_DOT = 2, PS_DASHDOT = 3, PS_DASHDOTDOT = 4, PS_NULL = 5 };

// LOGBRUSH styles and hatches.
enum : UINT { BS_SOLID = 0, BS_NULL = 1, BS_HATCHED = 2 };
enum : LONG { HS_HORIZONTAL = 0, HS_VERTICAL = 1, HS_FDIAGONAL = 2, HS_BDIAGONAL = 3, HS_CROSS = 4, HS_DIAGCROSS = 5 };

// Answers of style queries on one object or a selection.
inline constexpr int kNotApplicable = 2; // on/off values that do not apply or differ
inline constexpr COLORREF kMixedColour = 0xFFFFFFFF; // -1: the objects differ

// Cursor resources that objects and tools name.
enum DrawCursor : int {
    CURSOR_ARROW = 0,
    CURSOR_SIZE_WE = 386,
    CURSOR_SHAPE = 387,
    CURSOR_VERTEX_DELETE = 388,
    CURSOR_MOVE = 389,
    CURSOR_MOVE_COPY = 390,
    CURSOR_POLY_DRAW = 391,
    CURSOR_CROSS = 392,
    CURSOR_SIZE_NWSE = 393,
    CURSOR_SIZE_NS = 394,
    CURSOR_SIZE_NESW = 395,
    CURSOR_VERTEX_INSERT = 396,
    CURSOR_MOVE_H = 397,
    CURSOR_MOVE_V = 398,
    CURSOR_MOVE_H_COPY = 399,
    CURSOR_MOVE_V_COPY = 400,
};

// Context menus that objects offer (pop-ups of one menu resource).
enum DrawMenu : int { MENU_BACKGROUND = 0, MENU_OBJECT = 1, MENU_TEXT = 2, MENU_OLE = 3, MENU_HIDE_TEXT = 5 };

// Desktop colours the drawing layer paints with (the light theme's).
inline constexpr COLORREF kWindowColour = 0xFFFFFF;
inline constexpr COLORREF kWindowFrameColour = 0x000000;
inline constexpr COLORREF kDrawWindowTextColour = 0x000000;
inline constexpr COLORREF kHighlightColour = 0xD77800;     // RGB(0, 120, 215)
inline constexpr COLORREF kHighlightTextColour = 0xFFFFFF;
inline constexpr COLORREF kButtonShadowColour = 0xA0A0A0;
inline constexpr COLORREF kAppWorkspaceColour = 0xABABAB;
// The grid's colour: RGB(0, 192, 255).
inline constexpr COLORREF kGridColour = 0xFFC000;

// The drawing palette: command ids 33030 to 33059 in this order.
inline constexpr UINT kFirstPaletteCommand = 33030;
inline constexpr int kPaletteSize = 30;
inline constexpr std::array<COLORREF, kPaletteSize> kDrawPalette = {
    0xFF0000, 0xFFFF00, 0x00FF00, 0x00FFFF, 0x0000FF, 0xFF00FF, 0x800000, 0x808000, 0x008000, 0x008080,
    0x000080, 0x800080, 0xFFFFFF, 0xC0C0C0, 0x808080, 0x000000, 0xF2F2F2, 0xE5E5E5, 0xD8D8D8, 0xCCCCCC,
    0xBFBFBF, 0xB2B2B2, 0xA5A5A5, 0x999999, 0x8C8C8C, 0x7F7F7F, 0x666666, 0x4C4C4C, 0x333333, 0x191919,
};
inline constexpr std::array<const char*, kPaletteSize> kDrawPaletteNames = {
    "Blue", "Aqua", "Lime", "Yellow", "Red", "Fuchsia", "Navy", "Teal", "Green", "Olive",
    "Maroon", "Purple", "White", "Silver", "Gray", "Black", "5% Black", "10% Black", "15% Black", "20% Black",
    "25% Black", "30% Black", "35% Black", "40% Black", "45% Black", "50% Black", "60% Black", "70% Black",
    "80% Black", "90% Black",
};

// Rectangle helpers of the page arithmetic (MulDiv is in platform/Types.h).
RECT NormalizedRect(const RECT& r);
bool RectIsEmptyNormalized(const RECT& r);
// The smallest rectangle holding both (normalised inputs).
RECT UnionRects(const RECT& a, const RECT& b);
RECT InflatedRect(const RECT& r, int dx, int dy);
RECT OffsetRect(const RECT& r, int dx, int dy);
bool RectsIntersect(const RECT& a, const RECT& b);
// The centre by the page's rule: integer halving toward zero.
POINT RectCentre(const RECT& r);
