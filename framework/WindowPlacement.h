// Window rectangles and points read from a workspace file or the settings.
// Either may hold any number, so each is brought into the range a screen can
// have before any arithmetic is done on it.
#pragma once

#include "platform/Types.h"

#include <cstdint>

// Wider and taller than any desktop of several screens.
constexpr int kMaxScreenCoordinate = 1 << 16;

int ClampScreenCoordinate(int v);
POINT ClampScreenPoint(POINT p);
// The top-left corner within the screen range, the width and height within
// 0..kMaxScreenCoordinate, so that every corner and every difference of
// corners fits an int with room to spare.
RECT ClampScreenRect(std::int64_t left, std::int64_t top, std::int64_t width, std::int64_t height);
RECT ClampScreenRect(const RECT& r);
// Moves a rectangle that lies partly outside a work area of the given size
// back inside it, keeping its size where it fits.
void MoveOntoWorkArea(RECT& r, SIZE workArea);
