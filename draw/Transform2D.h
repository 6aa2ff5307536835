// The affine map that turns an object's unrotated frame into page
// coordinates. Six single-precision factors, applied to row vectors:
// (x, y) -> (x*m11 + y*m21 + dx, x*m12 + y*m22 + dy).
#pragma once

#include "platform/Types.h"

#include <vector>

class QTransform;

class CTransform2D {
public:
    float m11 = 1.0f, m12 = 0.0f, m21 = 0.0f, m22 = 1.0f, dx = 0.0f, dy = 0.0f;

    void SetIdentity() { *this = CTransform2D(); }
    // this = a x b: first a, then b. Computed in double precision, kept as floats.
    void Multiply(const CTransform2D& a, const CTransform2D& b);
    // Appends a rotation by tenths of a degree (counter-clockwise with y upwards).
    void Rotate(int tenths);
    void Translate(double x, double y);
    void Copy(const CTransform2D& other) { *this = other; }

    // Rounded to the nearest, halves upwards: -2.7 gives -3, 2.5 gives 3, -2.5 gives -2.
    POINT MapPoint(POINT p) const;
    void MapPoint(LONG& x, LONG& y) const;
    void MapPoints(std::vector<POINT>& points) const;
    void MapPoints(POINT* points, int n) const;
    // map(left, top), map(right, bottom).
    void MapSegment(const RECT& r, POINT out[2]) const;
    // map(left, top), map(right, top), map(right, bottom), map(left, bottom).
    void MapRect(const RECT& r, POINT out[4]) const;

    // The same map for a painter.
    QTransform ToQTransform() const;

    friend bool operator==(const CTransform2D&, const CTransform2D&) = default;
};

// The transform of an object: rotation by tenths about the rectangle's centre
// (integer halving toward zero).
CTransform2D RotationAbout(const RECT& r, int tenths);
// A vector turned by tenths of a degree about the origin, rounded to the nearest.
POINT RotateVector(POINT v, int tenths);
