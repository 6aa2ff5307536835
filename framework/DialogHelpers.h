// Helpers that dialogs and stored window layouts share.
#pragma once

#include "platform/Types.h"

// Moves the rectangle (never resizing it) so that it lies inside 0..width and
// 0..height: first left/up so that it ends there, then right/down so that it
// starts at 0 or more. Window rectangles stored on a larger screen come back
// onto this one.
void MoveRectInside(RECT& rect, LONG width, LONG height);
