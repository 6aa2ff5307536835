// The 2-D transform, the pattern pen and the outlines of curved shapes,
// checked against values worked out by hand from their definitions.
#include "draw/PatternPen.h"
#include "draw/ShapeOutlines.h"
#include "draw/Transform2D.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

double Length(const QLineF& l) { return std::hypot(l.dx(), l.dy()); }

} // namespace

TEST(Transform2D, MappedPointsRoundToTheNearestWithHalvesUp)
{
    struct Case {
        float shift;
        LONG expected;
    };
    // The point 0 shifted: -2.7 is nearest -3, 2.5 and -2.5 go up to 3 and -2.
    for (const Case c : {Case{-2.7f, -3}, Case{2.5f, 3}, Case{-2.5f, -2}, Case{-2.2f, -2}, Case{0.49f, 0}}) {
        CTransform2D t;
        t.dx = c.shift;
        EXPECT_EQ(t.MapPoint(POINT{0, 0}).x, c.expected) << c.shift;
    }
}

TEST(Transform2D, TheIdentityLeavesEveryPointWhereItIs)
{
    // Most of a page lies below its origin: negative points must not creep up
    // a unit with every mapping.
    CTransform2D t;
    for (const POINT p : {POINT{-149, -1000}, POINT{0, 0}, POINT{7, -1}, POINT{-5000, 12000}})
        EXPECT_EQ(t.MapPoint(p), p);
}

TEST(Transform2D, QuarterTurnMapsXAxisOntoYAxis)
{
    CTransform2D t;
    t.Rotate(900);
    EXPECT_EQ(t.MapPoint(POINT{1, 0}), (POINT{0, 1}));
    EXPECT_EQ(t.MapPoint(POINT{0, 100}), (POINT{-100, 0}));
    EXPECT_EQ(RotateVector(POINT{0, 100}, 900), (POINT{-100, 0}));
    EXPECT_EQ(RotateVector(POINT{-5, -7}, 0), (POINT{-5, -7}));
}

TEST(Transform2D, MultiplyAppliesTheFirstFactorFirst)
{
    // Translate by (10, 0), then turn a quarter: (0, 0) -> (10, 0) -> (0, 10).
    CTransform2D t;
    t.Translate(10, 0);
    t.Rotate(900);
    EXPECT_EQ(t.MapPoint(POINT{0, 0}), (POINT{0, 10}));
    // The other order turns first: (0, 0) stays, then moves to (10, 0).
    CTransform2D u;
    u.Rotate(900);
    u.Translate(10, 0);
    EXPECT_EQ(u.MapPoint(POINT{0, 0}), (POINT{10, 0}));
}

TEST(Transform2D, RotationAboutTheCentreUsesIntegerHalving)
{
    // Centre of (0, 0, 5, 3): (0 + 5/2, 0 + 3/2) = (2, 1). Turning (5, 1) half
    // a turn about it gives (-1, 1).
    const CTransform2D t = RotationAbout(RECT{0, 0, 5, 3}, 1800);
    EXPECT_EQ(t.MapPoint(POINT{5, 1}), (POINT{-1, 1}));
    POINT out[4];
    t.MapRect(RECT{0, 0, 4, 2}, out);
    EXPECT_EQ(out[0], (POINT{4, 2}));
    EXPECT_EQ(out[2], (POINT{0, 0}));
}

TEST(PatternPen, DashesOfWidthEightAreNinetyTwoAndFiftySeven)
{
    struct Case {
        int width;
        double dash;
        double gap;
    };
    // Entries in eighths of the width: 92 and 57 at width 8, twice that at 16.
    for (const Case c : {Case{8, 92, 57}, Case{16, 184, 114}}) {
        CPatternPen pen;
        pen.SetRecording(true);
        pen.Create(nullptr, 1, c.width, 0);
        pen.MoveTo(0, 0);
        pen.LineTo(1000, 0);
        const auto& strokes = pen.Recorded();
        ASSERT_GE(strokes.size(), 3u) << c.width;
        EXPECT_DOUBLE_EQ(Length(strokes[0]), c.dash);
        EXPECT_DOUBLE_EQ(strokes[1].p1().x() - strokes[0].p2().x(), c.gap);
        EXPECT_DOUBLE_EQ(strokes[1].p1().x(), c.dash + c.gap);
    }
}

TEST(PatternPen, TheDashRunsOnAcrossCorners)
{
    // A first segment of 50 leaves 42 of the 92-long dash for the next one.
    CPatternPen pen;
    pen.SetRecording(true);
    pen.Create(nullptr, 1, 8, 0);
    const POINT corner[3] = {{0, 0}, {50, 0}, {50, 200}};
    pen.Polyline(corner, 3);
    const auto& s = pen.Recorded();
    ASSERT_GE(s.size(), 2u);
    EXPECT_EQ(s[0], QLineF(0, 0, 50, 0));
    EXPECT_EQ(s[1], QLineF(50, 0, 50, 42));
}

TEST(PatternPen, ZeroLengthLineToLeavesThePhase)
{
    CPatternPen pen;
    pen.SetRecording(true);
    pen.Create(nullptr, 2, 8, 0);
    pen.MoveTo(0, 0);
    pen.LineTo(10, 0);
    pen.LineTo(10, 0);
    pen.LineTo(30, 0);
    // Dot 23 long: 10 then 13 more, then a gap.
    const auto& s = pen.Recorded();
    ASSERT_EQ(s.size(), 2u);
    EXPECT_EQ(s[1], QLineF(10, 0, 23, 0));
}

TEST(PatternPen, HairlineDashesEndAndUseTheDefaultLengths)
{
    // Width 0 used to make every dash 0 long, so the loop never advanced.
    CPatternPen pen;
    pen.SetRecording(true);
    pen.Create(nullptr, 1, 0, 0);
    pen.MoveTo(0, 0);
    pen.LineTo(290, 0);
    const auto& s = pen.Recorded();
    // 92 on, 57 off, 92 on, 57 off: two strokes.
    ASSERT_EQ(s.size(), 2u);
    EXPECT_DOUBLE_EQ(Length(s[0]), 92.0);
    EXPECT_EQ(s[1], QLineF(149, 0, 241, 0));
}

TEST(PatternPen, NullStyleDrawsNothing)
{
    CPatternPen pen;
    pen.SetRecording(true);
    pen.Create(nullptr, 5, 8, 0);
    pen.MoveTo(0, 0);
    pen.LineTo(100, 100);
    EXPECT_TRUE(pen.Recorded().empty());
}

TEST(PatternPen, BezierSegmentsAreCountMinusOneOverDegree)
{
    // Degree 1 through 4 points: 3 segments (not 4, which would read past
    // the last point) of 65 evaluated points each.
    const POINT points[4] = {{0, 0}, {64, 0}, {64, 64}, {0, 64}};
    CPatternPen pen;
    pen.SetRecording(true);
    pen.Create(nullptr, 0, 8, 0);
    ASSERT_TRUE(pen.PolyBezier(points, 4, 1));
    const auto& s = pen.Recorded();
    ASSERT_EQ(s.size(), 195u);
    EXPECT_EQ(s[64].p2(), QPointF(64, 0));
    EXPECT_EQ(s[129].p2(), QPointF(64, 64));
    EXPECT_EQ(s.back().p2(), QPointF(0, 64));
}

TEST(PatternPen, BezierCountsThatDoNotFitDrawNothing)
{
    const POINT points[5] = {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}};
    CPatternPen pen;
    pen.SetRecording(true);
    pen.Create(nullptr, 0, 8, 0);
    // Degree 3: 4 fits (a multiple of 4), 5 does not (5 <= 5 and not a
    // multiple of 4), and 3 does not.
    EXPECT_FALSE(pen.PolyBezier(points, 5, 3));
    EXPECT_FALSE(pen.PolyBezier(points, 3, 3));
    EXPECT_TRUE(pen.Recorded().empty());
    EXPECT_TRUE(pen.PolyBezier(points, 4, 3));
    // A cubic through (0,0) (1,1) (2,2) (3,3) at t = 1/2 lies at (1.5, 1.5): truncated 1.
    EXPECT_EQ(pen.Recorded()[32].p2(), QPointF(1, 1));
}

TEST(ShapeOutlines, EllipseHas256PointsOnScreenAnd512OnPaper)
{
    std::vector<POINT> points;
    BuildEllipsePoints(RECT{0, 0, 200, 100}, points, false);
    EXPECT_EQ(points.size(), 256u);
    BuildEllipsePoints(RECT{0, 0, 200, 100}, points, true);
    EXPECT_EQ(points.size(), 512u);
    // Quadrant ends: the top and bottom of the axis b and the ends of the axis a.
    BuildEllipsePoints(RECT{0, 0, 200, 100}, points, false);
    EXPECT_EQ(points[0], (POINT{100, 0}));
    EXPECT_EQ(points[64], (POINT{0, 50}));
    EXPECT_EQ(points[128], (POINT{100, 100}));
    EXPECT_EQ(points[192], (POINT{200, 50}));
    // Every point lies on (or just inside, by truncation) the ellipse.
    for (const POINT& p : points) {
        const double x = (p.x - 100) / 100.0, y = (p.y - 50) / 50.0;
        EXPECT_LE(x * x + y * y, 1.0 + 1e-9);
        EXPECT_GE(x * x + y * y, 0.9);
    }
}

TEST(ShapeOutlines, ZeroSizeEllipseCollapsesAndFlatOneIsALine)
{
    std::vector<POINT> points;
    BuildEllipsePoints(RECT{40, 40, 40, 40}, points, false);
    for (const POINT& p : points)
        EXPECT_EQ(p, (POINT{40, 40}));
    // Zero height, width 200: the points spread along y = 40 from 0 to 200.
    BuildEllipsePoints(RECT{0, 40, 200, 40}, points, false);
    LONG low = 1000, high = -1000;
    for (const POINT& p : points) {
        EXPECT_EQ(p.y, 40);
        low = std::min(low, p.x);
        high = std::max(high, p.x);
    }
    EXPECT_EQ(low, 0);
    EXPECT_EQ(high, 200);
}

TEST(ShapeOutlines, RoundRectPointCountAndCornerLimit)
{
    std::vector<POINT> points;
    BuildRoundRectPoints(RECT{0, 0, 400, 200}, points, 100, 60, false);
    EXPECT_EQ(points.size(), 260u);
    BuildRoundRectPoints(RECT{0, 0, 400, 200}, points, 100, 60, true);
    EXPECT_EQ(points.size(), 516u);
    // Straight half-lengths: sx = (400 - 100) / 2 = 150, sy = (200 - 60) / 2 = 70;
    // point[n] ends the first corner at (cx - 200, cy - sy) = (0, 30).
    BuildRoundRectPoints(RECT{0, 0, 400, 200}, points, 100, 60, false);
    EXPECT_EQ(points[64], (POINT{0, 30}));
    EXPECT_EQ(points[0], (POINT{50, 0}));
    // A corner larger than the box is limited to it: the outline stays inside.
    BuildRoundRectPoints(RECT{0, 0, 100, 50}, points, 1000, 1000, false);
    for (const POINT& p : points) {
        EXPECT_GE(p.x, 0);
        EXPECT_LE(p.x, 100);
        EXPECT_GE(p.y, 0);
        EXPECT_LE(p.y, 50);
    }
}
