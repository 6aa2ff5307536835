#include "fitting/LinearFit.h"

#include "FitTestSupport.h"
#include "NistProblem.h"
#include "platform/StringIds.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace {

CFitSettings kSettings;

TEST(LinearFit, StraightLineMatchesHandComputation)
{
    // x = 0, 1, 2; y = 1, 3, 7. By hand: slope 6/2 = 3, intercept 11/3 - 3 = 2/3,
    // residuals 1/3, -2/3, 1/3 so chi-square 2/3; covariance [[5/6, -1/2], [-1/2, 1/2]];
    // r = 6 / sqrt(2 * 168/9) = 18 / sqrt(336).
    CLinearFit fit(1);
    auto run = RunFit(fit, kSettings, Columns({{0, 1, 2}}), Vector({1, 3, 7}), Ones(3));
    ASSERT_EQ(run.result, 1);
    EXPECT_TRUE(run.errors.empty());
    EXPECT_NEAR(fit.GetCoefficients()[0], 2.0 / 3.0, 1e-15);
    EXPECT_NEAR(fit.GetCoefficients()[1], 3.0, 1e-15);
    EXPECT_NEAR(fit.GetChiSq(), 2.0 / 3.0, 1e-15);
    EXPECT_NEAR(fit.GetCovariance().GetAt(0, 0), 5.0 / 6.0, 1e-15);
    EXPECT_NEAR(fit.GetCovariance().GetAt(0, 1), -0.5, 1e-15);
    EXPECT_NEAR(fit.GetCovariance().GetAt(1, 1), 0.5, 1e-15);
    EXPECT_NEAR(fit.GetCorrelation(), 18.0 / std::sqrt(336.0), 1e-15);
    double se = 0;
    ASSERT_TRUE(fit.GetStandardError(1, se));
    EXPECT_NEAR(se, std::sqrt(0.5 * (2.0 / 3.0) / 1.0), 1e-15);
    EXPECT_EQ(fit.GetPointCount(), 3);
}

TEST(LinearFit, TooFewPointsReports216)
{
    CLinearFit line(1);
    auto run = RunFit(line, kSettings, Columns({{0, 1}}), Vector({1, 3}), Ones(2));
    EXPECT_EQ(run.result, 0);
    EXPECT_EQ(run.errors, std::vector<UINT>{216});
    EXPECT_FALSE(line.CalcY(1.0, nullptr));
    double se = 0;
    EXPECT_FALSE(line.GetStandardError(0, se)); // shown as "(Not available)"
    EXPECT_EQ(CFitValue::Message(IDS_FIT_NOT_AVAILABLE).GetText(), "(Not available)");
    // Silent without the report flag.
    run = RunFit(line, kSettings, Columns({{0, 1}}), Vector({1, 3}), Ones(2), 0);
    EXPECT_TRUE(run.errors.empty());
}

TEST(LinearFit, ExactQuadraticAndCubic)
{
    // Points on y = 1 + 2x + 3x^2 and on y = -4 + x - 0.5x^2 + 0.25x^3.
    std::vector<double> xs = {-2, -1, 0, 0.5, 1, 2, 3, 5};
    std::vector<double> q, c;
    for (double x : xs) {
        q.push_back(1 + 2 * x + 3 * x * x);
        c.push_back(-4 + x - 0.5 * x * x + 0.25 * x * x * x);
    }
    CLinearFit quad(2), cubic(3);
    ASSERT_EQ(RunFit(quad, kSettings, Columns({xs}), Vector(q), Ones(8)).result, 1);
    ASSERT_EQ(RunFit(cubic, kSettings, Columns({xs}), Vector(c), Ones(8)).result, 1);
    const double expectQ[] = {1, 2, 3}, expectC[] = {-4, 1, -0.5, 0.25};
    for (int j = 0; j < 3; ++j)
        EXPECT_NEAR(quad.GetCoefficients()[j], expectQ[j], 1e-13);
    for (int j = 0; j < 4; ++j)
        EXPECT_NEAR(cubic.GetCoefficients()[j], expectC[j], 1e-13);
    EXPECT_LT(quad.GetChiSq(), 1e-24);
    EXPECT_LT(cubic.GetChiSq(), 1e-24);
}

TEST(LinearFit, WeightFourEqualsFourCopies)
{
    const std::vector<double> xs = {0, 1, 2, 3, 4, 5}, ys = {1.2, 2.9, 5.3, 6.8, 9.4, 10.7};
    for (int order : {1, 2, 3}) {
        SCOPED_TRACE(order);
        CLinearFit weighted(order), copied(order);
        CMyVector w = Ones(6);
        w[2] = 4.0;
        ASSERT_EQ(RunFit(weighted, kSettings, Columns({xs}), Vector(ys), w).result, 1);
        std::vector<double> x2 = xs, y2 = ys;
        for (int k = 0; k < 3; ++k) {
            x2.push_back(xs[2]);
            y2.push_back(ys[2]);
        }
        ASSERT_EQ(RunFit(copied, kSettings, Columns({x2}), Vector(y2), Ones(9)).result, 1);
        for (int j = 0; j <= order; ++j)
            EXPECT_NEAR(weighted.GetCoefficients()[j], copied.GetCoefficients()[j], 1e-12);
        EXPECT_NEAR(weighted.GetChiSq(), copied.GetChiSq(), 1e-12);
        EXPECT_NEAR(weighted.GetCovariance().GetAt(0, 0), copied.GetCovariance().GetAt(0, 0), 1e-12);
    }
}

TEST(LinearFit, OffsetOfYChangesNothingButTheIntercept)
{
    // The residuals of a fit do not depend on where y lies: raw sums of y^2
    // around 1e8 would cancel away every digit of the chi-square.
    const std::vector<double> xs = {1, 2, 3, 4, 5, 6, 7};
    const std::vector<double> ys = {0.3, -0.2, 0.5, 0.1, -0.4, 0.2, 0.6};
    for (int order : {1, 2}) {
        SCOPED_TRACE(order);
        std::vector<double> shifted;
        for (double y : ys)
            shifted.push_back(y + 1e8);
        CLinearFit low(order), high(order);
        ASSERT_EQ(RunFit(low, kSettings, Columns({xs}), Vector(ys), Ones(7)).result, 1);
        ASSERT_EQ(RunFit(high, kSettings, Columns({xs}), Vector(shifted), Ones(7)).result, 1);
        EXPECT_NEAR(high.GetChiSq(), low.GetChiSq(), 1e-6 * low.GetChiSq());
        EXPECT_NEAR(high.GetCoefficients()[0] - 1e8, low.GetCoefficients()[0], 1e-6);
        EXPECT_NEAR(high.GetCoefficients()[1], low.GetCoefficients()[1], 1e-8);
        if (order == 1) {
            EXPECT_NEAR(high.GetCorrelation(), low.GetCorrelation(), 1e-7);
        }
    }
}

TEST(LinearFit, SingularDataFailsWithMessage)
{
    struct Case {
        int order;
        std::vector<double> x;
    } cases[] = {
        {1, {2, 2, 2, 2}},       // a single distinct x value
        {2, {1, 1, 3, 3, 3}},    // two distinct values for three coefficients
        {0, {1, 2, 3}},          // passes: a mean needs no distinct x
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.order);
        CLinearFit fit(c.order);
        std::vector<double> ys(c.x.size(), 0.0);
        for (std::size_t i = 0; i < ys.size(); ++i)
            ys[i] = double(i);
        auto run = RunFit(fit, kSettings, Columns({c.x}), Vector(ys), Ones(int(ys.size())));
        if (c.order == 0) {
            EXPECT_EQ(run.result, 1);
            EXPECT_DOUBLE_EQ(fit.GetCoefficients()[0], 1.0);
            continue;
        }
        EXPECT_EQ(run.result, 0);
        EXPECT_EQ(run.errors, std::vector<UINT>{IDS_FIT_SINGULAR});
        EXPECT_FALSE(fit.IsFitted());
        EXPECT_FALSE(fit.CalcY(1.0, nullptr));
    }
}

TEST(LinearFit, CalcX)
{
    CLinearFit line(1);
    ASSERT_EQ(RunFit(line, kSettings, Columns({{0, 1, 2, 3}}), Vector({1, 3, 5, 7}), Ones(4)).result, 1);
    auto x = line.CalcX(7.0, 0, 0); // y = 1 + 2x: x = 3
    ASSERT_TRUE(x && x->IsNumber());
    EXPECT_NEAR(x->GetNumber(), 3.0, 1e-14);

    CLinearFit flat(1);
    ASSERT_EQ(RunFit(flat, kSettings, Columns({{0, 1, 2}}), Vector({4, 4, 4}), Ones(3)).result, 1);
    auto message = flat.CalcX(7.0, 0, 1);
    ASSERT_TRUE(message);
    EXPECT_FALSE(message->IsNumber());
    EXPECT_EQ(message->GetText(), "ERROR - Divide by 0");

    CLinearFit quad(2); // y = x^2 through exact points
    ASSERT_EQ(RunFit(quad, kSettings, Columns({{0, 1, 2, 3}}), Vector({0, 1, 4, 9}), Ones(4)).result, 1);
    auto same = quad.CalcX(100.0, 1.5, 1.5);
    ASSERT_TRUE(same);
    EXPECT_EQ(same->GetNumber(), 1.5);
    auto root = quad.CalcX(2.0, 0.0, 3.0); // sqrt(2), to the 20 halvings of [0, 3]
    ASSERT_TRUE(root);
    EXPECT_NEAR(root->GetNumber(), std::sqrt(2.0), 3.0 / (1 << 20));
    EXPECT_NEAR(quad.CalcY(1.5, nullptr)->GetNumber(), 2.25, 1e-13);
}

// Stops on the third poll, before point 64.
class StoppingLinearFit : public CLinearFit {
public:
    using CLinearFit::CLinearFit;
    int polls = 0;

protected:
    bool IsStopRequested(CWorkerThread*) override { return ++polls == 3; }
};

TEST(LinearFit, StopBeforePoint64ReturnsSilently)
{
    for (int order : {1, 2}) {
        StoppingLinearFit fit(order);
        std::vector<double> xs, ys;
        for (int i = 0; i < 100; ++i) {
            xs.push_back(i);
            ys.push_back(2.0 * i + 1);
        }
        auto run = RunFit(fit, kSettings, Columns({xs}), Vector(ys), Ones(100));
        EXPECT_EQ(run.result, 0);
        EXPECT_TRUE(run.errors.empty());
        EXPECT_EQ(fit.polls, 3);
        EXPECT_FALSE(fit.CalcY(1.0, nullptr));
    }
}

TEST(LinearFit, StoredFormRoundTrip)
{
    CLinearFit fit(2);
    ASSERT_EQ(RunFit(fit, kSettings, Columns({{0, 1, 2, 3}}), Vector({1, 2, 5, 10.5}), Ones(4)).result, 1);
    Bytes bytes = StoreBytes([&](CArchive& ar) { fit.Serialize(ar); });
    // Version words 0 and 0, fitted 1, 4 points, the chi-square, then the matrix.
    EXPECT_EQ(ToHex(Bytes(bytes.begin(), bytes.begin() + 16)),
              ToHex(HexBytes("00 00 00 00 00 00 00 00 01 00 00 00 04 00 00 00")));
    CLinearFit loaded;
    EXPECT_EQ(LoadBytes(bytes, [&](CArchive& ar) { loaded.Serialize(ar); }), 0u);
    EXPECT_EQ(loaded.GetOrder(), 2);
    for (int j = 0; j < 3; ++j)
        EXPECT_EQ(loaded.GetCoefficients()[j], fit.GetCoefficients()[j]);
    EXPECT_EQ(loaded.GetChiSq(), fit.GetChiSq());
    EXPECT_EQ(loaded.CalcY(1.5, nullptr)->GetNumber(), fit.CalcY(1.5, nullptr)->GetNumber());

    // A fitted record whose coefficients do not match its order is refused.
    bytes[bytes.size() - 12] = 5; // order 2 -> 5
    CLinearFit damaged;
    EXPECT_THROW(LoadBytes(bytes, [&](CArchive& ar) { damaged.Serialize(ar); }), CArchiveException);
}

// Certified values of the NIST StRD linear problems that a polynomial expresses.
TEST(LinearFit, NistCertifiedPolynomials)
{
    const char* root = std::getenv("MARLOX_REFDATA");
    ASSERT_NE(root, nullptr);
    struct Case {
        const char* file;
        double digits; // least LRE of every coefficient and standard error
    } cases[] = {{"Norris", 10}, {"Pontius", 10}, {"Wampler1", 6.5}, {"Wampler2", 6.5}, {"Wampler3", 6.5}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        SNistProblem p;
        std::string error;
        ASSERT_TRUE(LoadNistProblem(std::string(root) + "/nist-linear/" + c.file + ".dat", p, error)) << error;
        ASSERT_GE(p.polynomialOrder, 1);
        CLinearFit fit(p.polynomialOrder);
        ASSERT_EQ(RunFit(fit, kSettings, p.x, p.y, Ones(p.y.GetSize())).result, 1);
        for (int j = 0; j <= p.polynomialOrder; ++j) {
            const int k = p.powerParam[std::size_t(j)];
            EXPECT_GE(LogRelativeError(fit.GetCoefficients()[j], p.certified[std::size_t(k)]), c.digits)
                << p.params[std::size_t(k)] << " " << fit.GetCoefficients()[j];
            double se = 0;
            ASSERT_TRUE(fit.GetStandardError(j, se));
            if (p.certifiedSE[std::size_t(k)] != 0.0) {
                EXPECT_GE(LogRelativeError(se, p.certifiedSE[std::size_t(k)]), c.digits) << "se " << se;
            } else {
                EXPECT_LT(se, 1e-6); // exact data: 0 up to rounding
            }
        }
        if (p.certifiedRSS != 0.0) {
            EXPECT_GE(LogRelativeError(fit.GetChiSq(), p.certifiedRSS), c.digits) << fit.GetChiSq();
        }
    }
}

} // namespace
