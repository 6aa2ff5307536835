#include "ui/PlaneVector.h"

#include <cmath>

bool VectorSubtract(const PlaneVector* u, const PlaneVector* w, PlaneVector* out)
{
    if (!u || !w || !out)
        return false;
    *out = {u->x - w->x, u->y - w->y};
    return true;
}

bool VectorAdd(const PlaneVector* u, const PlaneVector* w, PlaneVector* out)
{
    if (!u || !w || !out)
        return false;
    *out = {u->x + w->x, u->y + w->y};
    return true;
}

double VectorDot(const PlaneVector* u, const PlaneVector* w)
{
    if (!u || !w)
        return 0.0;
    return u->x * w->x + u->y * w->y;
}

double VectorLengthSquared(const PlaneVector* v)
{
    return VectorDot(v, v);
}

double VectorLength(const PlaneVector* v)
{
    return std::sqrt(VectorLengthSquared(v));
}

bool VectorProject(const PlaneVector* u, const PlaneVector* w, VectorProjection* out)
{
    if (!u || !w || !out)
        return false;
    VectorProjection r;
    double ww = VectorDot(w, w);
    if (ww != 0.0) {
        double scale = VectorDot(u, w) / ww;
        r.projection = {scale * w->x, scale * w->y};
    }
    VectorSubtract(u, &r.projection, &r.perpendicular);
    r.projectionLength = VectorLength(&r.projection);
    r.perpendicularLength = VectorLength(&r.perpendicular);
    *out = r;
    return true;
}

double DistanceFromLine(const POINT& a, const POINT& b, const POINT& p)
{
    // Convert before subtracting: the difference of two extreme coordinates
    // does not fit the integer type.
    PlaneVector d{double(b.x) - double(a.x), double(b.y) - double(a.y)};
    PlaneVector e{double(p.x) - double(a.x), double(p.y) - double(a.y)};
    VectorProjection split;
    VectorProject(&e, &d, &split);
    return split.perpendicularLength;
}
