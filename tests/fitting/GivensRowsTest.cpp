#include "fitting/GivensRows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <vector>

namespace {

// Least squares of a + b x through the points, by rows added to the triangle.
std::array<double, 2> Line(const std::vector<std::array<double, 2>>& points)
{
    std::vector<double> R(4, 0.0), qtr(2, 0.0);
    for (const auto& p : points) {
        double row[2] = {1.0, p[0]};
        AddRow(R.data(), qtr.data(), row, p[1], 2);
    }
    std::array<double, 2> ab{};
    EXPECT_TRUE(SolveUpper(R.data(), qtr.data(), ab.data(), 2));
    return ab;
}

} // namespace

TEST(GivensRows, OneRowIntoAnEmptyTriangle)
{
    // By hand: the rotation of (0, 3) is c = 0, s = 1, so the row (3, 4 | 5)
    // becomes the first row of R as it stands, and nothing is left over.
    double R[4] = {0, 0, 0, 0}, qtr[2] = {0, 0};
    double row[2] = {3, 4};
    AddRow(R, qtr, row, 5, 2);
    EXPECT_EQ(std::vector<double>(R, R + 4), (std::vector<double>{3, 4, 0, 0}));
    EXPECT_EQ(std::vector<double>(qtr, qtr + 2), (std::vector<double>{5, 0}));
}

TEST(GivensRows, LeastSquaresOfALine)
{
    // Exact points of y = 1 + 2x come back as the line.
    const auto exact = Line({{0, 1}, {1, 3}, {2, 5}, {3, 7}});
    EXPECT_NEAR(exact[0], 1.0, 1e-14);
    EXPECT_NEAR(exact[1], 2.0, 1e-14);
    // (0, 0), (1, 1), (2, 1): the normal equations [3 3; 3 5] (a b) = (2 3)
    // give a = 1/6, b = 1/2.
    const auto fitted = Line({{0, 0}, {1, 1}, {2, 1}});
    EXPECT_NEAR(fitted[0], 1.0 / 6.0, 1e-15);
    EXPECT_NEAR(fitted[1], 0.5, 1e-15);
    // The order of the rows changes only the rounding.
    const auto reversed = Line({{2, 1}, {1, 1}, {0, 0}});
    EXPECT_NEAR(reversed[0], fitted[0], 1e-15);
    EXPECT_NEAR(reversed[1], fitted[1], 1e-15);
}

TEST(GivensRows, ASingularTriangleIsNotSolved)
{
    // Both rows say the same: the second diagonal entry stays 0.
    double R[4] = {0, 0, 0, 0}, qtr[2] = {0, 0}, x[2] = {0, 0};
    double a[2] = {1, 2}, b[2] = {2, 4};
    AddRow(R, qtr, a, 1, 2);
    AddRow(R, qtr, b, 2, 2);
    EXPECT_EQ(R[3], 0.0);
    EXPECT_FALSE(SolveUpper(R, qtr, x, 2));
}
