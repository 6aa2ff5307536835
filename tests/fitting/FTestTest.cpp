#include "fitting/FTest.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

// Upper tail of Student's t with an odd number of degrees of freedom, from
// the closed form of its distribution function: an independent way to the F
// distribution with one numerator degree of freedom, since F(1, v) = t^2.
double StudentTwoSidedTail(double t, int nu)
{
    double theta = std::atan(t / std::sqrt(double(nu)));
    double c = std::cos(theta);
    double sum = 0.0, term = c;
    for (int k = 1; 2 * k + 1 <= nu; ++k) {
        sum += term;
        term *= c * c * (2.0 * k) / (2.0 * k + 1.0);
    }
    double a = 2.0 / std::numbers::pi * (theta + std::sin(theta) * sum);
    return 1.0 - a;
}

} // namespace

TEST(FTest, LnGamma)
{
    EXPECT_NEAR(LnGamma(1.0), 0.0, 1e-14);
    EXPECT_NEAR(LnGamma(2.0), 0.0, 1e-14);
    EXPECT_NEAR(LnGamma(0.5), std::log(std::sqrt(std::numbers::pi)), 1e-14);
    EXPECT_NEAR(LnGamma(10.0), std::log(362880.0), 1e-12); // 9!
}

TEST(FTest, IncompleteBetaEdgesAndClosedForms)
{
    EXPECT_EQ(IncompleteBeta(2, 3, 0), 0.0);
    EXPECT_EQ(IncompleteBeta(2, 3, 1), 1.0);
    EXPECT_EQ(IncompleteBeta(2, 3, 1.5), 0.0);
    EXPECT_EQ(IncompleteBeta(2, 3, std::nan("")), 0.0);
    // I_x(a, 1) = x^a and I_x(1, b) = 1 - (1 - x)^b.
    for (double x : {0.1, 0.37, 0.5, 0.9}) {
        EXPECT_NEAR(IncompleteBeta(3.5, 1, x), std::pow(x, 3.5), 1e-14) << x;
        EXPECT_NEAR(IncompleteBeta(1, 4.25, x), 1 - std::pow(1 - x, 4.25), 1e-14) << x;
    }
}

TEST(FTest, NestedModels)
{
    double F = -1, P = -1;
    // 20 points, 2 and 4 parameters: the upper tail of F(2, 16) is (16 / (16 + 2F))^8 exactly.
    ASSERT_EQ(FTestProbability(20, 2, 30.0, 4, 15.0, F, P), 1);
    EXPECT_NEAR(F, 8.0, 1e-12);
    EXPECT_NEAR(P, 1.0 / 256.0, 1e-15);
    // 20 points, 2 and 3 parameters, chi-squares 30 and 15: F = 17 on (1, 17) degrees of freedom.
    ASSERT_EQ(FTestProbability(20, 2, 30.0, 3, 15.0, F, P), 1);
    EXPECT_NEAR(F, 17.0, 1e-12);
    double reference = StudentTwoSidedTail(std::sqrt(17.0), 17);
    EXPECT_NEAR(P, reference, 1e-13 * reference);
    EXPECT_NEAR(P, 0.0007, 0.0001);
    // The order of the fits does not matter.
    double F2, P2;
    ASSERT_EQ(FTestProbability(20, 3, 15.0, 2, 30.0, F2, P2), 1);
    EXPECT_EQ(F2, F);
    EXPECT_EQ(P2, P);
}

TEST(FTest, LargerModelThatFitsWorse)
{
    double F = -1, P = -1;
    ASSERT_EQ(FTestProbability(20, 2, 15.0, 3, 30.0, F, P), 1);
    EXPECT_EQ(F, 0.0);
    EXPECT_EQ(P, 1.0);
}

TEST(FTest, EqualParameterCounts)
{
    double F = -1, P = -1;
    ASSERT_EQ(FTestProbability(10, 3, 2.5, 3, 2.5, F, P), 1);
    EXPECT_EQ(F, 1.0);
    EXPECT_EQ(P, 1.0);
    // Two degrees of freedom each: P = 2 / (F + 1) exactly.
    ASSERT_EQ(FTestProbability(4, 2, 1.0, 2, 3.0, F, P), 1);
    EXPECT_NEAR(F, 3.0, 1e-14);
    EXPECT_NEAR(P, 0.5, 1e-14);
}

TEST(FTest, DegenerateInputsFail)
{
    double F = 7, P = 7;
    EXPECT_EQ(FTestProbability(3, 3, 1.0, 2, 2.0, F, P), 0); // no degrees of freedom left
    EXPECT_EQ(FTestProbability(10, 2, std::nan(""), 3, 2.0, F, P), 0);
    EXPECT_EQ(FTestProbability(10, 2, 0.0, 3, 1.0, F, P), 1); // a larger model that fits worse
    EXPECT_EQ(F, 0.0);
    EXPECT_EQ(FTestProbability(10, 2, 5.0, 3, 0.0, F, P), 0); // a perfect fit leaves no ratio
    EXPECT_EQ(F, 0.0);
}
