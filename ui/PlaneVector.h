// Two-dimensional vector arithmetic for hit testing: how far a point lies from
// a line. Vectors are passed by address; a null address is a missing vector.
#pragma once

#include "platform/Types.h"

struct PlaneVector {
    double x = 0.0;
    double y = 0.0;
};

// One vector split along another: the projection, the perpendicular remainder
// and their lengths, in that order.
struct VectorProjection {
    PlaneVector projection;
    PlaneVector perpendicular;
    double projectionLength = 0.0;
    double perpendicularLength = 0.0;
};

// out = u - w. False (out untouched) when u, w or out is missing.
bool VectorSubtract(const PlaneVector* u, const PlaneVector* w, PlaneVector* out);
// out = u + w. False (out untouched) when u, w or out is missing.
bool VectorAdd(const PlaneVector* u, const PlaneVector* w, PlaneVector* out);
// u . w; 0 when either is missing.
double VectorDot(const PlaneVector* u, const PlaneVector* w);
// x^2 + y^2; 0 for a missing v.
double VectorLengthSquared(const PlaneVector* v);
double VectorLength(const PlaneVector* v);
// Splits u along w: projection p = (u.w / w.w) w, perpendicular q = u - p.
// A zero w has no direction, so all of u counts as perpendicular to it.
// False (out untouched) when u, w or out is missing.
bool VectorProject(const PlaneVector* u, const PlaneVector* w, VectorProjection* out);
// The distance of p from the unbounded line through a and b; the distance
// from a when a and b are the same point.
double DistanceFromLine(const POINT& a, const POINT& b, const POINT& p);
