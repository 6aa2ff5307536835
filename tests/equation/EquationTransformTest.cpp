#include "equation/EquationParamDef.h"
#include "equation/EquationTransCurve.h"
#include "equation/EquationTransform.h"
#include "equation/MyError.h"
#include "EquationTestSupport.h"
#include "framework/DoubleColumns.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct Data {
    CDoubleColumns x;
    CMyVector y;
    CMyVector w;
};

Data MakeData(std::initializer_list<double> xs, std::initializer_list<double> ys)
{
    Data d;
    d.x.SetSize(1, int(xs.size()));
    int i = 0;
    for (double v : xs)
        d.x.SetValue(0, i++, v);
    d.y.SetSize(int(ys.size()));
    i = 0;
    for (double v : ys)
        d.y[i++] = v;
    return d;
}

std::unique_ptr<CEquation> Estimating(const char* source, std::initializer_list<const char*> params,
                                      const char* xt, const char* yt, std::initializer_list<const char*> defs)
{
    auto eq = MakeEquation(source, params, {"x"});
    eq->SetXTransform(xt);
    eq->SetYTransform(yt);
    eq->SetUseParameterDefinitions(1);
    int i = 0;
    for (const char* d : defs)
        eq->SetParameterDefinition(i++, d);
    eq->Compile();
    eq->ResizeValues();
    return eq;
}

TEST(Estimates, StraightLineGivesInterceptAndGradient)
{
    auto eq = Estimating("y = a + b * x", {"a", "b"}, "XDATA", "YDATA", {"INTERCEPT", "GRADIENT"});
    Data d = MakeData({1, 2, 4, 7}, {5, 7, 11, 17}); // y = 3 + 2 x
    ASSERT_EQ(eq->CalculateEstimates(d.x, d.y, d.w), 1);
    EXPECT_NEAR(eq->GetParameterValues()[0], 3.0, 1e-12);
    EXPECT_NEAR(eq->GetParameterValues()[1], 2.0, 1e-12);
}

TEST(Estimates, LogTransformRecoversAnExponential)
{
    auto eq = Estimating("y = A * EXP(-k * x)", {"A", "k"}, "XDATA", "LN(YDATA)", {"EXP(INTERCEPT)", "-GRADIENT"});
    Data d = MakeData({0, 1, 2, 3}, {4, 4 * std::exp(-0.5), 4 * std::exp(-1.0), 4 * std::exp(-1.5)});
    ASSERT_EQ(eq->CalculateEstimates(d.x, d.y, d.w), 1);
    EXPECT_NEAR(eq->GetParameterValues()[0], 4.0, 1e-12);
    EXPECT_NEAR(eq->GetParameterValues()[1], 0.5, 1e-12);
}

TEST(Estimates, DataRangeNames)
{
    auto eq = Estimating("y = a + b + c + d", {"a", "b", "c", "d"}, "XDATA", "YDATA",
                         {"MAX", "MIN", "MAXX", "MINX * 10"});
    Data d = MakeData({3, -1, 8, 2}, {0.5, 9, -4, 1});
    ASSERT_EQ(eq->CalculateEstimates(d.x, d.y, d.w), 1);
    EXPECT_EQ(eq->GetParameterValues()[0], 9);
    EXPECT_EQ(eq->GetParameterValues()[1], -4);
    EXPECT_EQ(eq->GetParameterValues()[2], 8);
    EXPECT_EQ(eq->GetParameterValues()[3], -10);
}

TEST(Estimates, FailurePaths)
{
    auto eq = Estimating("y = a + b * x", {"a", "b"}, "XDATA", "1 / YDATA", {"INTERCEPT", "GRADIENT"});
    eq->GetParameterValues()[0] = 42;
    // One row: no line, the parameters stay.
    Data one = MakeData({1}, {1});
    EXPECT_EQ(eq->CalculateEstimates(one.x, one.y, one.w), 0);
    EXPECT_EQ(eq->GetParameterValues()[0], 42);
    // Two X columns: no line either.
    Data two = MakeData({1, 2}, {1, 2});
    two.x.SetColumnCount(2);
    EXPECT_EQ(eq->CalculateEstimates(two.x, two.y, two.w), 0);
    EXPECT_EQ(eq->GetParameterValues()[0], 42);
    // A zero y divides by zero in the Y transform: the estimate fails.
    Data zero = MakeData({1, 2, 3}, {1, 0, 2});
    EXPECT_EQ(eq->CalculateEstimates(zero.x, zero.y, zero.w), 0);
    EXPECT_EQ(eq->GetEstimateError(), "ERROR - Divide by 0");
    EXPECT_EQ(eq->GetParameterValues()[0], 42);

    // A logarithm of a non-positive y gives NaN quietly: the estimate
    // succeeds with not-a-number values.
    auto ln = Estimating("y = a + b * x", {"a", "b"}, "XDATA", "LN(YDATA)", {"INTERCEPT", "GRADIENT"});
    Data negative = MakeData({1, 2, 3}, {1, -2, 2});
    EXPECT_EQ(ln->CalculateEstimates(negative.x, negative.y, negative.w), 1);
    EXPECT_TRUE(std::isnan(ln->GetParameterValues()[0]));

    // All x equal: the line is not finite, and no exception.
    auto flat = Estimating("y = a + b * x", {"a", "b"}, "XDATA", "YDATA", {"INTERCEPT", "GRADIENT"});
    Data same = MakeData({2, 2, 2}, {1, 2, 3});
    EXPECT_EQ(flat->CalculateEstimates(same.x, same.y, same.w), 1);
    EXPECT_FALSE(std::isfinite(flat->GetParameterValues()[1]));

    // A maths error in a definition fails the estimate.
    auto bad = Estimating("y = a + b * x", {"a", "b"}, "XDATA", "YDATA", {"ACOS(MAX)", "GRADIENT"});
    Data line = MakeData({1, 2}, {5, 7});
    EXPECT_EQ(bad->CalculateEstimates(line.x, line.y, line.w), 0);
    EXPECT_EQ(bad->GetEstimateError(), "ERROR - in acos function");

    // A compile error in a transform passes on to the caller.
    auto broken = Estimating("y = a + b * x", {"a", "b"}, "XDATA", "YDATA +", {"INTERCEPT", "GRADIENT"});
    EXPECT_THROW(broken->CalculateEstimates(line.x, line.y, line.w), CParseErr);
}

class TwiceX : public IYCalcSource {
public:
    bool CalculateY(double x, int index, const CMyVector& extraX, double& y) override
    {
        lastIndex = index;
        y = x > 0 ? 2 * x : std::nan("");
        return true;
    }
    int lastIndex = -1;
};

TEST(EquationTransform, PointNamesAndYCalc)
{
    auto base = MakeEquation("y = a * x", {"a"}, {"x"});
    base->GetExtraXValues()[1] = 30; // XDATA3
    base->ResizeValues();
    base->GetParameterValues()[0] = 5;
    TwiceX source;
    CEquationTransform t;
    t.Assign(*base, "XDATA * 10 + XDATA3 + a", "YDATA - YCALC", &source, 4);
    t.CompileX();
    t.CompileY();
    t.SetPoint(3, 10);
    EXPECT_EQ(t.EvaluateX(), 65); // 30 + 30 + 5
    EXPECT_EQ(t.EvaluateY(), 4);  // 10 - 2 * 3
    EXPECT_EQ(source.lastIndex, 4);
    t.SetPoint(-1, 10);           // the source gives no number: YCALC is YDATA
    EXPECT_EQ(t.EvaluateY(), 0);
}

TEST(EquationTransform, FailedCompileLeavesNothingToRun)
{
    auto base = MakeEquation("y = a * x", {"a"}, {"x"});
    CEquationTransform t;
    t.Assign(*base, "XDATA +", "(YDATA", nullptr, 0);
    EXPECT_THROW(t.CompileX(), CParseErr);
    EXPECT_THROW(t.CompileY(), CParseErr);
    EXPECT_EQ(t.EvaluateX(), 0.0); // the last result, nothing run
    EXPECT_EQ(t.EvaluateY(), 0.0);

    // A program compiled for one set of symbols is dropped when the symbols
    // change, so it never reads a value that is no longer there.
    auto wide = MakeEquation("y = a + b + c + d", {"a", "b", "c", "d"});
    auto narrow = MakeEquation("y = a", {"a"});
    CEquationTransform u;
    u.Assign(*wide, "d", "YDATA", nullptr, 0);
    u.CompileX();
    u.Assign(*narrow, "a", "YDATA", nullptr, 0);
    EXPECT_EQ(u.EvaluateX(), 0.0);
}

TEST(EquationTransCurve, ExtraXNames)
{
    auto eq = MakeEquation<CEquationTransCurve>("y = x + XDATA2 * XDATA5", {}, {"x"});
    eq->GetExtraXValues()[0] = 3;
    eq->GetExtraXValues()[3] = 4;
    eq->Compile();
    eq->ResizeValues();
    eq->GetXValues()[0] = 1;
    EXPECT_EQ(eq->Calculate(), 13);
    // Not in a plain equation.
    auto plain = MakeEquation("y = XDATA2");
    EXPECT_THROW(plain->Compile(), CParseErr);
}

} // namespace
