// Every message, prompt and fixed text of the program by name, each number
// once. The texts stand in platform/StringTable.cpp under the same numbers.
// Sections follow the program's subsystems; a name says what its text says.
#pragma once

#include "platform/Types.h"

// ---- Equation language
constexpr UINT IDS_PARSE_TOO_LARGE = 8520; // "The equation is too large to compile: an equation may hold at most %1."
