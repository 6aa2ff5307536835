#include "draw/DrawTypes.h"

#include <algorithm>

RECT NormalizedRect(const RECT& r)
{
    return {std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right), std::max(r.top, r.bottom)};
}

bool RectIsEmptyNormalized(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

RECT UnionRects(const RECT& a, const RECT& b)
{
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
}

RECT InflatedRect(const RECT& r, int dx, int dy) { return {r.left - dx, r.top - dy, r.right + dx, r.bottom + dy}; }

RECT OffsetRect(const RECT& r, int dx, int dy) { return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy}; }

bool RectsIntersect(const RECT& a, const RECT& b)
{
    return a.left <= b.right && b.left <= a.right && a.top <= b.bottom && b.top <= a.bottom;
}

POINT RectCentre(const RECT& r) { return {r.left + (r.right - r.left) / 2, r.top + (r.bottom - r.top) / 2}; }
