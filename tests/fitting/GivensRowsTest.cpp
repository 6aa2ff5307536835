#include "fitting/GivensRows.h"

#include "CaseValues.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
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

namespace {

bool SameBits(const std::vector<double>& a, const std::vector<double>& b)
{
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0;
}

} // namespace

// Four triangles at once come out bit for bit as each alone through AddRow,
// in both forms: rows with zeros (a rotation passed by in some lanes only),
// and entries whose squares under- or overflow (the hypot of AddRow), with
// 1 to 6 columns.
TEST(GivensRows, FourAtOnceAsEachAlone)
{
    const double hard[] = {0.0, -0.0, 1e-200, -3e-170, 1e200, -2e180, 1.0, -0.5};
    std::uint64_t state = 0x2545F4914F6CDD1Dull;
    auto next = [&] {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return unsigned(state >> 33);
    };
    auto value = [&] {
        return next() % 4 == 0 ? hard[next() % (sizeof hard / sizeof hard[0])] : (int(next() % 2001) - 1000) / 37.0;
    };
    for (int m = 1; m <= 6; ++m) {
        for (const bool wide : {true, false}) {
            const std::size_t mm = std::size_t(m) * std::size_t(m);
            std::vector<double> R4(4 * mm, 0.0), q4(4 * std::size_t(m), 0.0);
            std::vector<std::vector<double>> R(4, std::vector<double>(mm, 0.0)),
                q(4, std::vector<double>(std::size_t(m), 0.0));
            for (int row = 0; row < 40; ++row) {
                std::vector<double> v4(4 * std::size_t(m));
                double rv4[4];
                for (int t = 0; t < 4; ++t) {
                    std::vector<double> v(static_cast<std::size_t>(m));
                    for (int j = 0; j < m; ++j)
                        v4[4 * std::size_t(j) + std::size_t(t)] = v[std::size_t(j)] = value();
                    rv4[t] = value();
                    AddRow(R[std::size_t(t)].data(), q[std::size_t(t)].data(), v.data(), rv4[t], m);
                }
                AddRowsOfFour(R4.data(), q4.data(), v4.data(), rv4, m, wide);
            }
            for (int t = 0; t < 4; ++t) {
                std::vector<double> r(mm), qt(static_cast<std::size_t>(m));
                for (std::size_t e = 0; e < mm; ++e)
                    r[e] = R4[4 * e + std::size_t(t)];
                for (std::size_t e = 0; e < std::size_t(m); ++e)
                    qt[e] = q4[4 * e + std::size_t(t)];
                EXPECT_TRUE(SameBits(r, R[std::size_t(t)])) << "m " << m << " lane " << t << " wide " << wide;
                EXPECT_TRUE(SameBits(qt, q[std::size_t(t)])) << "m " << m << " lane " << t << " wide " << wide;
            }
        }
    }
}

namespace {

constexpr double kNaN = __builtin_nan("");
constexpr double kInf = __builtin_inf();

// The entries of the rows in the cases of EightAtOnceAsEachAlone.
const SValueCase kRowCases[] = {
    {"random", [](unsigned, double u) { return u; }},
    // Rotations passed by in some lanes and not in others.
    {"zeros", [](unsigned r, double u) { return r % 3 == 0   ? 0.0
                                                : r % 3 == 1 ? -0.0
                                                             : u; }},
    {"mostly zeros", [](unsigned r, double u) { return r % 8 == 0 ? u : 0.0; }},
    // A not-a-number v[k] is rotated in, not passed by.
    {"not a number", [](unsigned r, double u) { return r % 11 == 0   ? kNaN
                                                       : r % 11 == 1 ? 0.0
                                                                     : u; }},
    // Squares that overflow (the sum is infinite) or underflow (it is 0):
    // the lanes' hypot.
    {"huge", [](unsigned r, double u) { return r % 3 == 0   ? u * 1e200
                                               : r % 3 == 1 ? -3e170
                                                            : u; }},
    {"tiny", [](unsigned r, double u) { return r % 3 == 0   ? u * 1e-200
                                               : r % 3 == 1 ? 4.9e-324
                                                            : u; }},
    {"huge and tiny",
     [](unsigned r, double u) {
         return r % 4 == 0 ? 1e-190 * u : r % 4 == 1 ? 2e160 * u : r % 4 == 2 ? kInf : u;
     }},
};

} // namespace

// Eight triangles at once come out bit for bit as each alone through
// AddRow: triangles, right sides and the rows left over, lane by lane, with
// 1 to 9 columns (the first six held in registers), one row a call and
// several.
TEST(GivensRows, EightAtOnceAsEachAlone)
{
    for (const bool wide : {false, true}) {
        if (wide && RowLanes() < 8)
            GTEST_SKIP() << "the processor has no AVX-512F";
        for (const SValueCase& c : kRowCases) {
            CCaseValues value(c, 0x9E3779B97F4A7C15ull);
            for (int m = 1; m <= 9; ++m) {
                // 40 rows for each triangle, in calls of 1, 2, 5 and 32 rows.
                const std::size_t mm = std::size_t(m) * std::size_t(m), n = 40;
                std::vector<double> R8(8 * mm, 0.0), q8(8 * std::size_t(m), 0.0), v8(8 * n * std::size_t(m)),
                    rv8(8 * n);
                std::vector<std::vector<double>> R(8, std::vector<double>(mm, 0.0)),
                    q(8, std::vector<double>(std::size_t(m), 0.0)), v(8, std::vector<double>(n * std::size_t(m)));
                for (std::size_t row = 0; row < n; ++row) {
                    for (std::size_t t = 0; t < 8; ++t) {
                        double* vt = v[t].data() + row * std::size_t(m);
                        for (std::size_t j = 0; j < std::size_t(m); ++j)
                            v8[8 * (row * std::size_t(m) + j) + t] = vt[j] = value();
                        rv8[8 * row + t] = value();
                        AddRow(R[t].data(), q[t].data(), vt, rv8[8 * row + t], m);
                    }
                }
                std::size_t row = 0;
                for (const int rows : {1, 2, 5, 32}) {
                    AddRowsOfEight(R8.data(), q8.data(), v8.data() + 8 * row * std::size_t(m), rv8.data() + 8 * row, m,
                                   rows, wide);
                    row += std::size_t(rows);
                }
                for (std::size_t t = 0; t < 8; ++t) {
                    std::vector<double> r(mm), qt(static_cast<std::size_t>(m)), vt(n * std::size_t(m));
                    for (std::size_t e = 0; e < mm; ++e)
                        r[e] = R8[8 * e + t];
                    for (std::size_t e = 0; e < std::size_t(m); ++e)
                        qt[e] = q8[8 * e + t];
                    for (std::size_t e = 0; e < vt.size(); ++e)
                        vt[e] = v8[8 * e + t];
                    const auto where = testing::Message()
                                       << c.name << ", m " << m << ", lane " << t << ", wide " << wide;
                    EXPECT_TRUE(SameBits(r, R[t])) << where;
                    EXPECT_TRUE(SameBits(qt, q[t])) << where;
                    EXPECT_TRUE(SameBits(vt, v[t])) << where;
                }
            }
        }
    }
}

// The rows of many triangles joined in a wavefront give, bit for bit, the
// triangle and right side of the same rows added one after another; the
// rows need not be triangular (a full row goes through every column).
TEST(GivensRows, TrianglesJoinAsTheirRowsOneByOne)
{
    for (const SValueCase& c : kRowCases) {
        CCaseValues value(c, 0xD1B54A32D192ED03ull);
        for (int m = 1; m <= 9; ++m) {
            for (const int count : {1, 2, 7}) {
                const std::size_t mm = std::size_t(m) * std::size_t(m), stride = mm + std::size_t(m) + 3;
                std::vector<double> triangles(stride * std::size_t(count));
                for (double& e : triangles)
                    e = value();
                // A start that is not empty, as a triangle of earlier rows.
                std::vector<double> R(mm), q(static_cast<std::size_t>(m));
                for (std::size_t j = 0; j < std::size_t(m); ++j) {
                    q[j] = value();
                    for (std::size_t k = j; k < std::size_t(m); ++k)
                        R[j * std::size_t(m) + k] = value();
                }
                std::vector<double> R1 = R, q1 = q;
                for (int t = 0; t < count; ++t) {
                    const double* tri = triangles.data() + std::size_t(t) * stride;
                    for (int k = 0; k < m; ++k) {
                        std::vector<double> row(tri + std::size_t(k) * std::size_t(m),
                                                tri + std::size_t(k + 1) * std::size_t(m));
                        AddRow(R1.data(), q1.data(), row.data(), tri[mm + std::size_t(k)], m);
                    }
                }
                AddTriangles(R.data(), q.data(), triangles.data(), stride, count, m);
                const auto where = testing::Message() << c.name << ", m " << m << ", count " << count;
                EXPECT_TRUE(SameBits(R, R1)) << where;
                EXPECT_TRUE(SameBits(q, q1)) << where;
            }
        }
    }
}
