#include "data/SavitzkyGolay.h"
#include "framework/MyMatrix.h"
#include "framework/MyVector.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// Exact fractions of the classic five-point quadratic filters (the weights of
// the least-squares parabola: centre value and slope at each position).
TEST(SavitzkyGolayTest, FivePointQuadraticAgainstExactFractions)
{
    CMyMatrix m;
    ASSERT_TRUE(SavitzkyGolayCoefficients(m, 5, 0, 2));
    ASSERT_EQ(m.GetRows(), 5);
    ASSERT_EQ(m.GetColumns(), 5);
    const double centre[] = {-3, 12, 17, 12, -3};
    const double first[] = {31, 9, -3, -5, 3};
    for (int r = 0; r < 5; ++r) {
        EXPECT_NEAR(m.GetAt(r, 2), centre[r] / 35.0, 1e-14) << r;
        EXPECT_NEAR(m.GetAt(r, 0), first[r] / 35.0, 1e-14) << r;
        // The last column is the first one mirrored.
        EXPECT_NEAR(m.GetAt(4 - r, 4), first[r] / 35.0, 1e-14) << r;
    }
    CMyMatrix d;
    ASSERT_TRUE(SavitzkyGolayCoefficients(d, 5, 1, 2));
    for (int r = 0; r < 5; ++r)
        EXPECT_NEAR(d.GetAt(r, 2), (r - 2) / 10.0, 1e-14) << r;
}

TEST(SavitzkyGolayTest, OrderZeroIsTheMovingAverage)
{
    CMyMatrix m;
    ASSERT_TRUE(SavitzkyGolayCoefficients(m, 7, 0, 0));
    for (int r = 0; r < 7; ++r)
        for (int c = 0; c < 7; ++c)
            EXPECT_NEAR(m.GetAt(r, c), 1.0 / 7.0, 1e-15);
}

TEST(SavitzkyGolayTest, PolynomialsAreReproducedWithTrueDerivatives)
{
    // y = i^2: every window fits it exactly, so smoothing gives i^2, the first
    // derivative 2i and the second derivative 2, the end values included.
    const int n = 12;
    CMyVector y(n), out(n);
    for (int i = 0; i < n; ++i)
        y[i] = double(i) * i;
    for (int ld = 0; ld <= 2; ++ld) {
        CMyMatrix m;
        ASSERT_TRUE(SavitzkyGolayCoefficients(m, 5, ld, 2));
        for (int i = 0; i < n; ++i) {
            ASSERT_TRUE(SavitzkyGolayApply(m, y, out, i, ld));
            const double expected = ld == 0 ? double(i) * i : ld == 1 ? 2.0 * i : 2.0;
            EXPECT_NEAR(out[i], expected, 1e-9) << "ld " << ld << " i " << i;
        }
    }
    // A cubic with a nine-point quartic filter: third derivative of
    // 0.5 i^3 - i is 3 everywhere.
    CMyVector c(20), r(20);
    for (int i = 0; i < 20; ++i)
        c[i] = 0.5 * i * i * i - i;
    CMyMatrix m3;
    ASSERT_TRUE(SavitzkyGolayCoefficients(m3, 9, 3, 4));
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(SavitzkyGolayApply(m3, c, r, i, 3));
        EXPECT_NEAR(r[i], 3.0, 1e-7) << i;
    }
}

TEST(SavitzkyGolayTest, RefusedArgumentsLeaveNoMatrix)
{
    CMyVector c(3);
    c[0] = 42;
    EXPECT_FALSE(SavitzkyGolayWindowCoefficients(c, 2, 2, 3, 2)); // derivative above order
    EXPECT_FALSE(SavitzkyGolayWindowCoefficients(c, -1, 2, 0, 2));
    EXPECT_FALSE(SavitzkyGolayWindowCoefficients(c, 1, 0, 0, 2)); // two points for a parabola
    EXPECT_EQ(c.GetSize(), 3);
    EXPECT_EQ(c[0], 42);
    CMyMatrix m;
    EXPECT_FALSE(SavitzkyGolayCoefficients(m, 5, 3, 2));
    EXPECT_EQ(m.GetRows(), 0);
    // Too few values for the window: nothing computed.
    CMyMatrix ok;
    ASSERT_TRUE(SavitzkyGolayCoefficients(ok, 5, 0, 2));
    CMyVector four(4), out(4);
    EXPECT_FALSE(SavitzkyGolayApply(ok, four, out, 0));
    // Exactly as many values as the window: each from its own column.
    CMyVector five(5), res(5);
    for (int i = 0; i < 5; ++i)
        five[i] = i == 0 ? 35.0 : 0.0;
    for (int i = 0; i < 5; ++i) {
        ASSERT_TRUE(SavitzkyGolayApply(ok, five, res, i));
        EXPECT_NEAR(res[i], ok.GetAt(0, i) * 35.0, 1e-12);
    }
    EXPECT_NEAR(res[0], 31.0, 1e-12);
}

TEST(SavitzkyGolayTest, SettingsAreCheckedWhereTheyAreChosen)
{
    EXPECT_EQ(CheckSavitzkyGolaySettings(9, 4, 1), 0u);
    EXPECT_EQ(CheckSavitzkyGolaySettings(8, 4, 1), 497u);
    EXPECT_EQ(CheckSavitzkyGolaySettings(5, 2, 3), 8491u);
}

} // namespace
