#include "ui/PlaneVector.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

namespace {

struct DistanceCase {
    POINT a, b, p;
    double expected;
    const char* why;
};

TEST(PlaneVector, DistanceFromLine)
{
    const DistanceCase cases[] = {
        {{0, 0}, {10, 0}, {0, 5}, 5.0, "above a"},
        {{0, 0}, {10, 0}, {20, 5}, 5.0, "beyond b: measured to the extension"},
        {{0, 0}, {10, 0}, {-30, -5}, 5.0, "before a, below"},
        {{0, 0}, {10, 0}, {7, 0}, 0.0, "on the line"},
        {{2, 3}, {8, 11}, {5, 7}, 0.0, "on a slanted line (the midpoint)"},
        // |d x e| / |d| with d = (3,4), e = (4,-3): |3*(-3) - 4*4| / 5 = 25/5.
        {{0, 0}, {3, 4}, {4, -3}, 5.0, "slanted, hand computed"},
        // d = (3,4), e = (1,3): |3*3 - 4*1| / 5 = 1.
        {{1, 1}, {4, 5}, {2, 4}, 1.0, "slanted and offset, hand computed"},
        // Unit square diagonal: (1,0) lies 1/sqrt(2) from y = x.
        {{0, 0}, {1, 1}, {1, 0}, 1.0 / std::sqrt(2.0), "diagonal"},
        // A line of zero length: the distance from its point, sqrt(3^2 + 4^2).
        {{5, 5}, {5, 5}, {8, 9}, 5.0, "equal points"},
        {{5, 5}, {5, 5}, {5, 5}, 0.0, "equal points, p on them"},
        // Differences beyond the integer range: the horizontal line y = 0 and a point 7 above it.
        {{INT_MIN, 0}, {INT_MAX, 0}, {0, 7}, 7.0, "extreme coordinates"},
    };
    for (const DistanceCase& c : cases)
        EXPECT_NEAR(DistanceFromLine(c.a, c.b, c.p), c.expected, 1e-12) << c.why;
}

TEST(PlaneVector, ProjectSplitsAlongTheSecondVector)
{
    // u = (2,3) on w = (4,0): p = (2,0), q = (0,3), by inspection.
    PlaneVector u{2, 3}, w{4, 0};
    VectorProjection r;
    ASSERT_TRUE(VectorProject(&u, &w, &r));
    EXPECT_DOUBLE_EQ(r.projection.x, 2);
    EXPECT_DOUBLE_EQ(r.projection.y, 0);
    EXPECT_DOUBLE_EQ(r.perpendicular.x, 0);
    EXPECT_DOUBLE_EQ(r.perpendicular.y, 3);
    EXPECT_DOUBLE_EQ(r.projectionLength, 2);
    EXPECT_DOUBLE_EQ(r.perpendicularLength, 3);

    // u = (1,7) on w = (1,1): u.w / w.w = 8/2 = 4, p = (4,4), q = (-3,3).
    PlaneVector u2{1, 7}, w2{1, 1};
    ASSERT_TRUE(VectorProject(&u2, &w2, &r));
    EXPECT_DOUBLE_EQ(r.projection.x, 4);
    EXPECT_DOUBLE_EQ(r.projection.y, 4);
    EXPECT_DOUBLE_EQ(r.perpendicular.x, -3);
    EXPECT_DOUBLE_EQ(r.perpendicular.y, 3);
    EXPECT_DOUBLE_EQ(r.projectionLength, 4 * std::sqrt(2.0));
    EXPECT_DOUBLE_EQ(r.perpendicularLength, 3 * std::sqrt(2.0));

    // A zero w: nothing projects, u is all perpendicular (and no NaN).
    PlaneVector zero{0, 0};
    ASSERT_TRUE(VectorProject(&u, &zero, &r));
    EXPECT_EQ(r.projectionLength, 0.0);
    EXPECT_DOUBLE_EQ(r.perpendicular.x, 2);
    EXPECT_DOUBLE_EQ(r.perpendicular.y, 3);
    EXPECT_DOUBLE_EQ(r.perpendicularLength, std::sqrt(13.0));
}

TEST(PlaneVector, ArithmeticAndMissingVectors)
{
    PlaneVector u{1.5, -2}, w{0.5, 4};
    PlaneVector out{99, 99};
    ASSERT_TRUE(VectorSubtract(&u, &w, &out));
    EXPECT_DOUBLE_EQ(out.x, 1);
    EXPECT_DOUBLE_EQ(out.y, -6);
    ASSERT_TRUE(VectorAdd(&u, &w, &out));
    EXPECT_DOUBLE_EQ(out.x, 2);
    EXPECT_DOUBLE_EQ(out.y, 2);
    EXPECT_DOUBLE_EQ(VectorDot(&u, &w), 0.75 - 8); // 1.5*0.5 + (-2)*4
    PlaneVector v{3, 4};
    EXPECT_DOUBLE_EQ(VectorLengthSquared(&v), 25);
    EXPECT_DOUBLE_EQ(VectorLength(&v), 5); // the 3-4-5 triangle

    // Missing vectors give no result and leave the output alone.
    out = {99, 99};
    EXPECT_FALSE(VectorSubtract(nullptr, &w, &out));
    EXPECT_FALSE(VectorSubtract(&u, nullptr, &out));
    EXPECT_FALSE(VectorAdd(nullptr, &w, &out));
    EXPECT_FALSE(VectorAdd(&u, nullptr, &out));
    EXPECT_FALSE(VectorAdd(&u, &w, nullptr));
    EXPECT_EQ(out.x, 99);
    EXPECT_EQ(out.y, 99);
    EXPECT_EQ(VectorDot(nullptr, &w), 0.0);
    EXPECT_EQ(VectorDot(&u, nullptr), 0.0);
    EXPECT_EQ(VectorLengthSquared(nullptr), 0.0);
    EXPECT_EQ(VectorLength(nullptr), 0.0);
    VectorProjection r;
    r.perpendicularLength = 42;
    EXPECT_FALSE(VectorProject(nullptr, &w, &r));
    EXPECT_FALSE(VectorProject(&u, nullptr, &r));
    EXPECT_FALSE(VectorProject(&u, &w, nullptr));
    EXPECT_EQ(r.perpendicularLength, 42);
}

} // namespace
