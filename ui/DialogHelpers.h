// Helpers that dialogs and stored window layouts share.
#pragma once

#include "platform/Types.h"

#include <optional>

// Shows a string whose %1 is a whole number, through the reporter; returns the answer.
int MessageBoxWithNumber(UINT stringId, int number, UINT type, UINT helpId);

// Moves the rectangle (never resizing it) so that it lies inside 0..width and
// 0..height: first left/up so that it ends there, then right/down so that it
// starts at 0 or more.
void MoveRectInside(RECT& rect, LONG width, LONG height);

// An optional number of a dialog that edits several objects at once.
struct DoubleSetting {
    std::optional<double> value;
    // They differ unless both are unset or both hold equal values.
    bool operator!=(const DoubleSetting& other) const { return value != other.value; }
    bool operator==(const DoubleSetting& other) const { return value == other.value; }
};
