// Outline polygons of the closed curved shapes, in the shape's unrotated
// frame: the ellipse and the rectangle with elliptic corners. Fine outlines
// (paper) use 128 points a quadrant, the screen 64.
#pragma once

#include "platform/Types.h"

#include <vector>

// 4n points: n a quadrant. A shape of zero height or width lies on a line
// through its centre (a flat ellipse draws as that line).
void BuildEllipsePoints(const RECT& rect, std::vector<POINT>& points, bool fine);
// 4(n + 1) points; corner width and height are limited to the rectangle.
void BuildRoundRectPoints(const RECT& rect, std::vector<POINT>& points, int cornerX, int cornerY, bool fine);
// The same with n points a quadrant (8, 16, 32, 64 or 128).
void BuildEllipsePoints(const RECT& rect, std::vector<POINT>& points, int n);
void BuildRoundRectPoints(const RECT& rect, std::vector<POINT>& points, int cornerX, int cornerY, int n);
// Points a quadrant that draw a curve of that radius (device pixels) as
// smoothly as 64 would on the screen: small shapes need far fewer.
int QuadrantPointsFor(double radiusPixels);
