#include "fitting/CurvatureSums.h"

#include "CaseValues.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

namespace {

bool SameBits(const std::vector<double>& a, const std::vector<double>& b)
{
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0;
}

// The sums as their definitions add them: each point's products into each
// sum in turn, in point order.
std::vector<double> Definition(const SCurvaturePoints& pts, int from, int to)
{
    const int m = pts.m;
    std::vector<double> sums(std::size_t(1 + m + m * (m + 1) / 2), 0.0);
    for (int i = from; i < to; ++i) {
        const double w = pts.weight[i];
        const double r = pts.y[i] - pts.f[i];
        sums[0] += w * r * r;
        const double* dd = pts.derivs + std::size_t(i) * std::size_t(m);
        for (int j = 0; j < m; ++j) {
            sums[std::size_t(1 + j)] += r * w * dd[j];
            for (int k = 0; k <= j; ++k)
                sums[std::size_t(1 + m + j * (j + 1) / 2 + k)] += dd[k] * (dd[j] * w);
        }
    }
    return sums;
}

} // namespace

TEST(CurvatureSums, ThreePointsByHand)
{
    // y 1, 2, 4 against f 0, 1, 2 (residuals 1, 1, 2) with weights 1, 4,
    // 1/4 and derivatives (1, 0), (1, 1), (1, 2). By hand: chi-square
    // 1 + 4 + 1 = 6; beta 1 + 4 + 1/2 = 11/2 and 0 + 4 + 1 = 5; alpha
    // 1 + 4 + 1/4 = 21/4, 0 + 4 + 1/2 = 9/2 and 0 + 4 + 1 = 5. The rows are
    // the derivatives times 1, 2 and 1/2: (1, 0), (2, 2), (1/2, 1), the
    // weighted residuals 1, 2 and 1; every number exact in binary.
    const double y[] = {1, 2, 4}, f[] = {0, 1, 2}, w[] = {1, 4, 0.25}, d[] = {1, 0, 1, 1, 1, 2};
    for (const std::size_t stride : {std::size_t(1), std::size_t(8)}) {
        for (const bool wide : {true, false}) {
            std::vector<double> rows(stride * 6, -1.0), rightSides(stride * 3, -1.0), sums(6, -1.0);
            AddCurvature({2, y, f, w, d, rows.data(), rightSides.data(), stride}, 0, 3, sums.data(), wide);
            EXPECT_EQ(sums, (std::vector<double>{6, 5.5, 5, 5.25, 4.5, 5})) << stride << wide;
            const double expectRows[] = {1, 0, 2, 2, 0.5, 1}, expectRight[] = {1, 2, 1};
            for (std::size_t e = 0; e < 6; ++e)
                EXPECT_EQ(rows[stride * e], expectRows[e]) << e << " " << stride << wide;
            for (std::size_t p = 0; p < 3; ++p)
                EXPECT_EQ(rightSides[stride * p], expectRight[p]) << p << " " << stride << wide;
        }
    }
}

namespace {

// The values in the cases of SameBitsAsTheDefinition.
const SValueCase kValueCases[] = {
    {"random", [](unsigned, double u) { return u; }},
    {"zeros", [](unsigned r, double u) { return r % 3 == 0 ? 0.0 : u; }},
    {"not a number", [](unsigned r, double u) { return r % 13 == 0 ? __builtin_nan("") : u; }},
    {"huge", [](unsigned r, double u) { return r % 3 == 0 ? u * 1e90 : u; }},
    {"tiny", [](unsigned r, double u) { return r % 3 == 0 ? u * 1e-160 : u; }},
};

} // namespace

// The sums and rows of 1 to 10 parameters (those up to 8 by pairs of
// columns in registers) come out bit for bit as the definition adds them,
// and as the loop for every count has them, over a block of 32 points and
// part of one.
TEST(CurvatureSums, SameBitsAsTheDefinition)
{
    for (const SValueCase& c : kValueCases) {
        CCaseValues value(c, 0x853C49E6748FEA9Bull);
        for (int m = 1; m <= 10; ++m) {
            const std::size_t n = 40, mm = std::size_t(m);
            std::vector<double> y(n), f(n), w(n), d(n * mm);
            for (std::size_t i = 0; i < n; ++i) {
                y[i] = value();
                f[i] = value();
                // Weights are not negative; a zero one leaves its point out.
                w[i] = std::fabs(value());
                for (std::size_t j = 0; j < mm; ++j)
                    d[i * mm + j] = value();
            }
            for (const int from : {0, 5}) {
                const int to = from == 0 ? 32 : 21;
                std::vector<std::vector<double>> sums(2), rows(2), rightSides(2);
                for (int wide = 0; wide < 2; ++wide) {
                    sums[std::size_t(wide)].assign(1 + mm + mm * (mm + 1) / 2, -1.0);
                    rows[std::size_t(wide)].assign(32 * mm, -1.0);
                    rightSides[std::size_t(wide)].assign(32, -1.0);
                    AddCurvature({m, y.data(), f.data(), w.data(), d.data(), rows[std::size_t(wide)].data(),
                                  rightSides[std::size_t(wide)].data(), 1},
                                 from, to, sums[std::size_t(wide)].data(), wide == 1);
                }
                const auto definition =
                    Definition({m, y.data(), f.data(), w.data(), d.data(), nullptr, nullptr, 1}, from, to);
                std::vector<double> expectRows(32 * mm, -1.0), expectRight(32, -1.0);
                for (int i = from; i < to; ++i) {
                    const double sw = std::sqrt(w[std::size_t(i)]);
                    expectRight[std::size_t(i - from)] = sw * (y[std::size_t(i)] - f[std::size_t(i)]);
                    for (std::size_t j = 0; j < mm; ++j)
                        expectRows[std::size_t(i - from) * mm + j] = sw * d[std::size_t(i) * mm + j];
                }
                for (int wide = 0; wide < 2; ++wide) {
                    const auto where = testing::Message()
                                       << c.name << ", m " << m << ", from " << from << ", wide " << wide;
                    EXPECT_TRUE(SameBits(sums[std::size_t(wide)], definition)) << where;
                    EXPECT_TRUE(SameBits(rows[std::size_t(wide)], expectRows)) << where;
                    EXPECT_TRUE(SameBits(rightSides[std::size_t(wide)], expectRight)) << where;
                }
            }
        }
    }
}
