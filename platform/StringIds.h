// Every message, prompt and fixed text of the program by name, each number
// once. The texts stand in platform/StringTable.cpp under the same numbers.
// Sections follow the program's subsystems; a name says what its text says.
#pragma once

#include "platform/Types.h"

// ---- Data tables
constexpr UINT IDS_PASTE_LARGER_THAN_TABLE = 8530; // "The data on the clipboard does not fit in a data table..."
constexpr UINT IDS_EXPORT_CONTROL_CHARACTERS_LEFT_OUT = 8531; // "%1 cells hold control characters that a text file..."

// ---- Equation language
constexpr UINT IDS_PARSE_TOO_LARGE = 8520; // "The equation is too large to compile: an equation may hold at most %1."
