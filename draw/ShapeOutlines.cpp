#include "draw/ShapeOutlines.h"

#include "draw/DrawTypes.h"

#include <algorithm>
#include <cmath>

namespace {
// A quarter turn split in n steps: the constant is pi times 90, as the
// outlines have always been computed, so the points land on the same integers.
constexpr double kQuarterTurnDegrees = 282.7413;

// The angles of the quadrant points and their tangents, for 64 and 128
// points a quadrant, worked out once: pages draw thousands of outlines.
struct QuadrantTable {
    explicit QuadrantTable(int n) : theta(std::size_t(n)), tangent(std::size_t(n))
    {
        for (int i = 0; i < n; ++i) {
            theta[std::size_t(i)] = i * kQuarterTurnDegrees / n / 180.0;
            tangent[std::size_t(i)] = std::tan(theta[std::size_t(i)]);
        }
    }
    std::vector<double> theta;
    std::vector<double> tangent;
};

const QuadrantTable& Table(int n)
{
    static const QuadrantTable tables[] = {QuadrantTable(8), QuadrantTable(16), QuadrantTable(32), QuadrantTable(64),
                                           QuadrantTable(128)};
    switch (n) {
    case 8: return tables[0];
    case 16: return tables[1];
    case 32: return tables[2];
    case 128: return tables[4];
    default: return tables[3];
    }
}

// Offsets (u, v) of quadrant point i of an ellipse with semi-axes a and b.
void QuadrantPoint(int i, int n, double a, double b, LONG& u, LONG& v)
{
    if (a == 0.0 && b == 0.0) {
        u = v = 0;
        return;
    }
    const QuadrantTable& table = Table(n);
    const double theta = table.theta[std::size_t(i)];
    if (a == 0.0 || b == 0.0) {
        // A flat ellipse: the tangent form would put every point at the
        // centre; the parametric form lays them along the line.
        u = LONG(std::trunc(a * std::sin(theta)));
        v = LONG(std::trunc(b * std::cos(theta)));
        return;
    }
    const double t = table.tangent[std::size_t(i)];
    const double vv = std::sqrt(1.0 / (t * t / (a * a) + 1.0 / (b * b)));
    v = LONG(std::trunc(vv));
    u = LONG(std::trunc(vv * t));
}
} // namespace

void BuildEllipsePoints(const RECT& rect, std::vector<POINT>& points, bool fine)
{
    BuildEllipsePoints(rect, points, fine ? 128 : 64);
}

int QuadrantPointsFor(double radiusPixels)
{
    for (int n = 8; n < 64; n *= 2)
        if (radiusPixels <= n * 2)
            return n;
    return 64;
}

void BuildEllipsePoints(const RECT& rect, std::vector<POINT>& points, int n)
{
    const RECT r = NormalizedRect(rect);
    const LONG cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
    const double a = (r.right - r.left) / 2, b = (r.bottom - r.top) / 2;
    points.assign(std::size_t(4 * n), POINT{cx, cy});
    for (int i = 0; i < n; ++i) {
        LONG u = 0, v = 0;
        QuadrantPoint(i, n, a, b, u, v);
        points[std::size_t(i)] = {cx - u, cy - v};
        points[std::size_t(2 * n - i)] = {cx - u, cy + v};
        points[std::size_t(2 * n + i)] = {cx + u, cy + v};
        if (i > 0)
            points[std::size_t(4 * n - i)] = {cx + u, cy - v};
    }
    points[std::size_t(n)] = {cx - (r.right - r.left) / 2, cy};
    points[std::size_t(3 * n)] = {cx + (r.right - r.left) / 2, cy};
}

void BuildRoundRectPoints(const RECT& rect, std::vector<POINT>& points, int cornerX, int cornerY, bool fine)
{
    BuildRoundRectPoints(rect, points, cornerX, cornerY, fine ? 128 : 64);
}

void BuildRoundRectPoints(const RECT& rect, std::vector<POINT>& points, int cornerX, int cornerY, int n)
{
    const RECT r = NormalizedRect(rect);
    const LONG l = r.left, rr = r.right, t = r.top, b = r.bottom;
    const LONG cx = (l + rr) / 2, cy = (t + b) / 2;
    LONG cw = std::min<LONG>(cornerX, rr - l), ch = std::min<LONG>(cornerY, b - t);
    if (cw < 1)
        cw = 0;
    if (ch < 1)
        ch = 0;
    double a = cw / 2, bb = ch / 2;
    if (a * a == 0.0 || bb * bb == 0.0)
        a = bb = 0.0;
    const LONG sx = ((rr - l) - cw) / 2, sy = ((b - t) - ch) / 2;
    const int N = n + 1;
    points.assign(std::size_t(4 * N), POINT{cx, cy});
    for (int i = 0; i < n; ++i) {
        LONG u = 0, v = 0;
        if (a != 0.0)
            QuadrantPoint(i, n, a, bb, u, v);
        points[std::size_t(i)] = {cx - sx - u, cy - sy - v};
        points[std::size_t(2 * N - 1 - i)] = {cx - sx - u, cy + sy + v};
        points[std::size_t(2 * N + i)] = {cx + sx + u, cy + sy + v};
        points[std::size_t(4 * N - 1 - i)] = {cx + sx + u, cy - sy - v};
    }
    points[std::size_t(n)] = {cx - (rr - l) / 2, cy - sy};
    points[std::size_t(N)] = {cx - (rr - l) / 2, cy + sy};
    points[std::size_t(3 * N - 1)] = {cx + (rr - l) / 2, cy + sy};
    points[std::size_t(3 * N)] = {cx + (rr - l) / 2, cy - sy};
}
