#include "framework/MyIntVector.h"
#include "framework/MyMatrix.h"
#include "framework/MyVector.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

CMyMatrix Make(int n, std::initializer_list<double> values)
{
    CMyMatrix m(n, n);
    int k = 0;
    for (double v : values) {
        m.ElementAt(k / n, k % n) = v;
        ++k;
    }
    return m;
}

} // namespace

TEST(MyMatrix, SetSizeZeroesAndFrees)
{
    CMyMatrix m = Make(3, {1, 2, 3, 4, 5, 6, 7, 8, 9});
    m.SetSize(3, 3);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(m.GetAt(r, c), 0.0);
    m.SetSize(0, 5);
    EXPECT_EQ(m.GetCapacity(), 0);
    EXPECT_EQ(m.GetColumns(), 5);
}

TEST(MyMatrix, CholeskyInverseOfHandComputedCase)
{
    // [[4,2],[2,3]]^-1 = 1/8 [[3,-2],[-2,4]]
    CMyMatrix m = Make(2, {4, 2, 2, 3});
    ASSERT_EQ(m.CholeskyInvert(), 1);
    EXPECT_DOUBLE_EQ(m.GetAt(0, 0), 0.375);
    EXPECT_DOUBLE_EQ(m.GetAt(0, 1), -0.25);
    EXPECT_DOUBLE_EQ(m.GetAt(1, 0), -0.25);
    EXPECT_DOUBLE_EQ(m.GetAt(1, 1), 0.5);
}

TEST(MyMatrix, CholeskyInverseOfAHilbertMatrix)
{
    // The inverse of the 4x4 Hilbert matrix has integer entries (a known closed form).
    const double expected[4][4] = {
        {16, -120, 240, -140}, {-120, 1200, -2700, 1680}, {240, -2700, 6480, -4200}, {-140, 1680, -4200, 2800}};
    CMyMatrix h(4, 4);
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            h.ElementAt(i, j) = 1.0 / (i + j + 1);
    ASSERT_EQ(h.CholeskyInvert(), 1);
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            EXPECT_NEAR(h.GetAt(i, j), expected[i][j], 1e-8 * std::fabs(expected[i][j])) << i << "," << j;
}

TEST(MyMatrix, CholeskyRefusesIndefiniteAndPassesZeroPivot)
{
    CMyMatrix m = Make(2, {1, 2, 2, 1}); // eigenvalues 3 and -1
    EXPECT_EQ(m.CholeskyInvert(), 0);
    // A zero pivot is not refused: the division gives an infinity and the call succeeds.
    CMyMatrix zero = Make(1, {0});
    EXPECT_EQ(zero.CholeskyInvert(), 1);
    EXPECT_FALSE(std::isfinite(zero.GetAt(0, 0)));
}

TEST(MyMatrix, LUSolvesAndReportsParity)
{
    // A x = b with x = (1, -2, 3): b computed by hand.
    CMyMatrix a = Make(3, {2, 1, 1, 4, -6, 0, -2, 7, 2});
    CMyIntVector index(3);
    double sign = 0;
    ASSERT_EQ(a.LUDecompose(index, sign), 1);
    // det = sign * product of the diagonal = 2*(-12 - 0) - 1*(8 - 0) + 1*(28 - 12) = -16
    double det = sign;
    for (int i = 0; i < 3; ++i)
        det *= a.GetAt(i, i);
    EXPECT_NEAR(det, -16.0, 1e-12);
    CMyVector b(3);
    b[0] = 2 * 1 + 1 * -2 + 1 * 3;
    b[1] = 4 * 1 - 6 * -2 + 0;
    b[2] = -2 * 1 + 7 * -2 + 2 * 3;
    a.LUBackSubstitute(index, b);
    EXPECT_NEAR(b[0], 1.0, 1e-12);
    EXPECT_NEAR(b[1], -2.0, 1e-12);
    EXPECT_NEAR(b[2], 3.0, 1e-12);
}

TEST(MyMatrix, LULeadingZerosInTheRightHandSide)
{
    CMyMatrix a = Make(3, {1, 2, 0, 3, 4, 1, 0, 1, 5});
    CMyIntVector index(3);
    double sign;
    ASSERT_EQ(a.LUDecompose(index, sign), 1);
    // Solve for the unit vectors: each column of the inverse times A gives the identity.
    CMyMatrix orig = Make(3, {1, 2, 0, 3, 4, 1, 0, 1, 5});
    for (int k = 0; k < 3; ++k) {
        CMyVector e(3);
        e[k] = 1.0;
        a.LUBackSubstitute(index, e);
        for (int r = 0; r < 3; ++r) {
            double s = 0;
            for (int c = 0; c < 3; ++c)
                s += orig.GetAt(r, c) * e[c];
            EXPECT_NEAR(s, r == k ? 1.0 : 0.0, 1e-12);
        }
    }
}

TEST(MyMatrix, LUZeroRowAndZeroPivot)
{
    CMyMatrix singular = Make(2, {1, 2, 0, 0});
    CMyIntVector index(2);
    double sign;
    EXPECT_EQ(singular.LUDecompose(index, sign), 0);
    EXPECT_EQ(singular.GetAt(0, 1), 2.0); // untouched
    // Rows are not zero but the matrix is singular: the zero pivot becomes 1e-50.
    CMyMatrix flat = Make(2, {1, 1, 1, 1});
    EXPECT_EQ(flat.LUDecompose(index, sign), 1);
    EXPECT_EQ(flat.GetAt(1, 1), 1e-50);
}

TEST(MyMatrix, StoredForm)
{
    CMyMatrix m(1, 2);
    m.ElementAt(0, 1) = 1.0;
    Bytes bytes = StoreBytes([&](CArchive& ar) { m.Serialize(ar); });
    EXPECT_EQ(ToHex(bytes), "00 00 00 00 02 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 F0 3F 01 00 00 00 02 00 00 00");
    CMyMatrix back;
    LoadBytes(bytes, [&](CArchive& ar) { back.Serialize(ar); });
    EXPECT_EQ(back.GetRows(), 1);
    EXPECT_EQ(back.GetAt(0, 1), 1.0);
    // Counts that disagree with the elements would let unchecked access run off the end.
    Bytes bad = bytes;
    bad[22] = 3;
    EXPECT_THROW(LoadBytes(bad, [&](CArchive& ar) { back.Serialize(ar); }), CArchiveException);
}
