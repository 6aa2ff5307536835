#include "draw/Transform2D.h"

#include "draw/DrawTypes.h"

#include <QTransform>

#include <cmath>

namespace {
// The value of pi the rotation has always used; kept so that turned points
// land on the same integers.
constexpr double kPi = 3.1415926535;

// Halves round up. Truncating v + 0.5 toward zero instead would move every
// negative whole coordinate one unit up even through the identity, and most
// of a page lies below its origin.
LONG RoundMapped(double v) { return LONG(std::floor(v + 0.5)); }
} // namespace

void CTransform2D::Multiply(const CTransform2D& a, const CTransform2D& b)
{
    const double r11 = double(a.m11) * b.m11 + double(a.m12) * b.m21;
    const double r12 = double(a.m11) * b.m12 + double(a.m12) * b.m22;
    const double r21 = double(a.m21) * b.m11 + double(a.m22) * b.m21;
    const double r22 = double(a.m21) * b.m12 + double(a.m22) * b.m22;
    const double rdx = double(a.dx) * b.m11 + double(a.dy) * b.m21 + b.dx;
    const double rdy = double(a.dx) * b.m12 + double(a.dy) * b.m22 + b.dy;
    m11 = float(r11);
    m12 = float(r12);
    m21 = float(r21);
    m22 = float(r22);
    dx = float(rdx);
    dy = float(rdy);
}

void CTransform2D::Rotate(int tenths)
{
    const double theta = tenths * kPi / 1800.0;
    CTransform2D r;
    r.m11 = float(std::cos(theta));
    r.m12 = float(std::sin(theta));
    r.m21 = float(-std::sin(theta));
    r.m22 = float(std::cos(theta));
    const CTransform2D self = *this;
    Multiply(self, r);
}

void CTransform2D::Translate(double x, double y)
{
    CTransform2D t;
    t.dx = float(x);
    t.dy = float(y);
    const CTransform2D self = *this;
    Multiply(self, t);
}

POINT CTransform2D::MapPoint(POINT p) const
{
    MapPoint(p.x, p.y);
    return p;
}

void CTransform2D::MapPoint(LONG& x, LONG& y) const
{
    const double px = x, py = y;
    x = RoundMapped(px * m11 + py * m21 + dx);
    y = RoundMapped(px * m12 + py * m22 + dy);
}

void CTransform2D::MapPoints(std::vector<POINT>& points) const { MapPoints(points.data(), int(points.size())); }

void CTransform2D::MapPoints(POINT* points, int n) const
{
    // Most objects stand upright: their transform changes nothing.
    if (m11 == 1.0f && m12 == 0.0f && m21 == 0.0f && m22 == 1.0f && dx == 0.0f && dy == 0.0f)
        return;
    for (int i = 0; i < n; ++i)
        MapPoint(points[i].x, points[i].y);
}

void CTransform2D::MapSegment(const RECT& r, POINT out[2]) const
{
    out[0] = MapPoint({r.left, r.top});
    out[1] = MapPoint({r.right, r.bottom});
}

void CTransform2D::MapRect(const RECT& r, POINT out[4]) const
{
    out[0] = MapPoint({r.left, r.top});
    out[1] = MapPoint({r.right, r.top});
    out[2] = MapPoint({r.right, r.bottom});
    out[3] = MapPoint({r.left, r.bottom});
}

QTransform CTransform2D::ToQTransform() const { return QTransform(m11, m12, m21, m22, dx, dy); }

CTransform2D RotationAbout(const RECT& r, int tenths)
{
    const POINT c = RectCentre(r);
    CTransform2D t;
    t.Translate(-c.x, -c.y);
    t.Rotate(tenths);
    t.Translate(c.x, c.y);
    return t;
}

POINT RotateVector(POINT v, int tenths)
{
    // A vector has no position to bias: it is rounded to the nearest, so
    // that turning by 0 (or a whole turn) gives it back unchanged.
    CTransform2D t;
    t.Rotate(tenths);
    const double x = v.x, y = v.y;
    return {LONG(std::lround(x * t.m11 + y * t.m21)), LONG(std::lround(x * t.m12 + y * t.m22))};
}
