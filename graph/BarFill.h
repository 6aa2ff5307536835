// The fills of bars in histograms and charts: six hatches, a solid fore or
// back colour, and sixteen 8 x 8 patterns, painted over the back colour
// when the background is on.
#pragma once

#include "platform/Types.h"

class QPainter;

inline constexpr int kBarFillStyles = 24;

// Sets the painter's brush, background colour and background mode for the
// fill style (0 to 23; others are taken as the nearest). Without fore the
// bars are not filled.
void SelectBarFill(QPainter& painter, int style, COLORREF fore, COLORREF back, bool backOn, bool foreOn = true);
