#include "framework/WindowPlacement.h"

#include <algorithm>

int ClampScreenCoordinate(int v) { return std::clamp(v, -kMaxScreenCoordinate, kMaxScreenCoordinate); }

POINT ClampScreenPoint(POINT p) { return POINT{ClampScreenCoordinate(p.x), ClampScreenCoordinate(p.y)}; }

RECT ClampScreenRect(std::int64_t left, std::int64_t top, std::int64_t width, std::int64_t height)
{
    const std::int64_t k = kMaxScreenCoordinate;
    const int x = int(std::clamp(left, -k, k)), y = int(std::clamp(top, -k, k));
    return RECT{x, y, x + int(std::clamp<std::int64_t>(width, 0, k)), y + int(std::clamp<std::int64_t>(height, 0, k))};
}

RECT ClampScreenRect(const RECT& r)
{
    return ClampScreenRect(r.left, r.top, std::int64_t(r.right) - r.left, std::int64_t(r.bottom) - r.top);
}

void MoveOntoWorkArea(RECT& r, SIZE workArea)
{
    r = ClampScreenRect(r);
    // Corners are now within twice the screen range: no step below can overflow.
    const int cx = ClampScreenCoordinate(workArea.cx), cy = ClampScreenCoordinate(workArea.cy);
    if (r.right > cx) {
        r.left -= r.right - cx;
        r.right = cx;
    }
    if (r.bottom > cy) {
        r.top -= r.bottom - cy;
        r.bottom = cy;
    }
    if (r.left < 0) {
        r.right -= r.left;
        r.left = 0;
    }
    if (r.top < 0) {
        r.bottom -= r.top;
        r.top = 0;
    }
}
