#include "fitting/NonlinearFit.h"

#include "FitTestSupport.h"
#include "NistProblem.h"
#include "support/TestSupport.h"
#include "equation/Equation.h"
#include "fitting/EquationSource.h"
#include "fitting/GivensRows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <thread>

namespace {

// A workspace stand-in: equations by name.
class Equations : public CObject, public CEquationSource {
public:
    CEquation& Add(const std::string& name, const std::string& source, std::initializer_list<const char*> params,
                   std::initializer_list<const char*> xs = {"x"}, bool compile = true)
    {
        auto eq = std::make_unique<CEquation>();
        eq->SetYName("y");
        int i = 0;
        for (const char* p : params)
            eq->SetParameterName(i++, p, "");
        i = 0;
        for (const char* x : xs)
            eq->SetXName(i++, x, "");
        eq->SetModeFlag(1);
        eq->SetSource(source);
        if (compile)
            eq->Compile();
        CEquation& ref = *eq;
        m_items[name] = std::move(eq);
        return ref;
    }
    const CEquationBase* FindEquation(const std::string& name) const override
    {
        auto it = m_items.find(name);
        return it == m_items.end() ? nullptr : it->second.get();
    }

private:
    std::map<std::string, std::unique_ptr<CEquation>> m_items;
};

class OneSource : public CEquationSource {
public:
    explicit OneSource(const CEquationBase* eq) : m_eq(eq) {}
    const CEquationBase* FindEquation(const std::string&) const override { return m_eq; }

private:
    const CEquationBase* m_eq;
};

CFitSettings Settings(std::vector<std::vector<double>> starts, int criterion = 1, int maxIterations = 20)
{
    CFitSettings s;
    s.m_estimateMatrix = std::move(starts);
    s.m_nChiSqChange = criterion;
    s.m_nMaxIterations = maxIterations;
    return s;
}

// Puromycin, treated cells (Bates and Watts, Nonlinear Regression Analysis,
// 1988, appendix A1.3): rate = Vm conc / (K + conc). Published least-squares
// values: Vm = 212.7 (standard error 6.947), K = 0.06412 (0.008281),
// residual sum of squares 1195.449 on 10 degrees of freedom.
TEST(NonlinearFit, MichaelisMentenPuromycin)
{
    Equations eqs;
    eqs.Add("mm", "y = Vm*x/(K + x)", {"Vm", "K"});
    CNonlinearFit fit("mm", &eqs);
    const std::vector<double> conc = {0.02, 0.02, 0.06, 0.06, 0.11, 0.11, 0.22, 0.22, 0.56, 0.56, 1.10, 1.10};
    const std::vector<double> rate = {76, 47, 97, 107, 123, 139, 159, 152, 191, 201, 207, 200};
    auto run = RunFit(fit, Settings({{200}, {0.1}}, 0, 50), Columns({conc}), Vector(rate), Ones(12));
    ASSERT_EQ(run.result, 1);
    EXPECT_TRUE(run.errors.empty());
    EXPECT_NEAR(Param(fit, 0), 212.7, 0.05);
    EXPECT_NEAR(Param(fit, 1), 0.06412, 0.000005);
    EXPECT_NEAR(fit.GetChiSq(), 1195.449, 0.0005);
    EXPECT_NEAR(fit.GetReducedChiSq(), 119.5449, 0.00005);
    double se = 0;
    ASSERT_TRUE(fit.GetStandardError(0, se));
    EXPECT_NEAR(se, 6.947, 0.0005);
    ASSERT_TRUE(fit.GetStandardError(1, se));
    EXPECT_NEAR(se, 0.008281, 0.0000005);
    EXPECT_EQ(fit.GetEstimateSource(), 1);
    EXPECT_EQ(fit.GetInitialEstimates()[0], 200.0);
    EXPECT_FALSE(fit.IsIterationLimitReached());
    // y and x of the fitted curve agree with each other.
    const double y = fit.CalcY(0.3, nullptr)->GetNumber();
    EXPECT_NEAR(y, Param(fit, 0) * 0.3 / (Param(fit, 1) + 0.3), 1e-12);
    auto x = fit.CalcX(y, 0.0, 1.0);
    ASSERT_TRUE(x && x->IsNumber());
    EXPECT_NEAR(x->GetNumber(), 0.3, 1e-4);
}

// Points exactly on y = 3 exp(-0.4 x): the fit must find the parameters to
// nearly full precision, from a start far off.
TEST(NonlinearFit, ExponentialDecayExact)
{
    Equations eqs;
    eqs.Add("exp", "y = A*EXP(-k*x)", {"A", "k"});
    std::vector<double> xs, ys;
    for (int i = 0; i < 10; ++i) {
        xs.push_back(i);
        ys.push_back(3.0 * std::exp(-0.4 * i));
    }
    CNonlinearFit fit("exp", &eqs);
    auto run = RunFit(fit, Settings({{1}, {1}}, 0, 40), Columns({xs}), Vector(ys), Ones(10));
    ASSERT_EQ(run.result, 1);
    EXPECT_NEAR(Param(fit, 0), 3.0, 1e-12);
    EXPECT_NEAR(Param(fit, 1), 0.4, 1e-12);
    EXPECT_LT(fit.GetChiSq(), 1e-24);
}

TEST(NonlinearFit, ExactStartEndsAtOnce)
{
    Equations eqs;
    eqs.Add("line", "y = a*x", {"a"});
    CNonlinearFit fit("line", &eqs);
    auto run = RunFit(fit, Settings({{2}}, 1, 20), Columns({{1, 2, 3}}), Vector({2, 4, 6}), Ones(3));
    ASSERT_EQ(run.result, 1);
    EXPECT_EQ(fit.GetIterationCount(), 0);
    EXPECT_EQ(fit.GetChiSq(), 0.0);
}

TEST(NonlinearFit, IterationCountsFollowTheCriteria)
{
    Equations eqs;
    eqs.Add("mm", "y = Vm*x/(K + x)", {"Vm", "K"});
    const auto x = Columns({{0.02, 0.06, 0.11, 0.22, 0.56, 1.10}});
    const auto y = Vector({61, 102, 131, 155, 196, 203});
    // Criterion off: exactly the maximum number of steps, and a success.
    {
        CNonlinearFit fit("mm", &eqs);
        ASSERT_EQ(RunFit(fit, Settings({{150}, {0.5}}, 0, 20), x, y, Ones(6)).result, 1);
        EXPECT_EQ(fit.GetIterationCount(), 20);
        EXPECT_FALSE(fit.IsIterationLimitReached());
    }
    // Criterion on, minimum 2: a converged fit stops after a second small change.
    {
        CNonlinearFit fit("mm", &eqs);
        CFitSettings s = Settings({{150}, {0.5}}, 1, 20);
        ASSERT_EQ(RunFit(fit, s, x, y, Ones(6)).result, 1);
        EXPECT_GE(fit.GetIterationCount(), 2);
        EXPECT_LT(fit.GetIterationCount(), 20);
        EXPECT_FALSE(fit.IsIterationLimitReached());
    }
    // Criterion on but unreachable: the maximum ends the fit as a success,
    // with the limit recorded.
    {
        CNonlinearFit fit("mm", &eqs);
        CFitSettings s = Settings({{1000}, {50}}, 1, 3);
        s.m_dChiSqChangePercent = 1e-9;
        ASSERT_EQ(RunFit(fit, s, x, y, Ones(6)).result, 1);
        EXPECT_EQ(fit.GetIterationCount(), 3);
        EXPECT_TRUE(fit.IsIterationLimitReached());
    }
}

TEST(NonlinearFit, FailureMessages)
{
    Equations eqs;
    eqs.Add("two", "y = a*x + b", {"a", "b"});
    eqs.Add("raw", "y = a*x", {"a"}, {"x"}, false);
    eqs.Add("nan", "y = LN(a)*x", {"a"});
    CEquation& defs = eqs.Add("defs", "y = a*x1 + b*x2", {"a", "b"}, {"x1", "x2"});
    defs.SetUseParameterDefinitions(1);
    defs.SetParameterDefinition(0, "GRADIENT");
    defs.SetParameterDefinition(1, "INTERCEPT");
    defs.Compile();
    struct Case {
        const char* equation;
        int columns;
        int points;
        UINT message; // 0: silent
    } cases[] = {
        {"two", 1, 2, 216},     // as many parameters as points
        {"raw", 1, 5, 422},     // not compiled
        {"nan", 1, 5, 423},     // chi-square not a number from the start
        {"defs", 2, 5, 221},    // the equation's estimates cannot be formed for two X columns
        {"missing", 1, 5, 0},   // no such equation: silent
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.equation);
        CNonlinearFit fit(c.equation, &eqs);
        CDoubleColumns x;
        for (int i = 0; i < c.points; ++i)
            for (int j = 0; j < c.columns; ++j)
                x.SetValue(j, i, i + j + 1.0);
        CMyVector y = Ones(c.points);
        auto run = RunFit(fit, Settings({{-1}, {1}}), x, y, Ones(c.points));
        EXPECT_EQ(run.result, 0);
        EXPECT_EQ(run.errors, c.message ? std::vector<UINT>{c.message} : std::vector<UINT>{});
        EXPECT_FALSE(fit.IsFitted());
        EXPECT_FALSE(fit.CalcY(1.0, nullptr));
    }
}

TEST(NonlinearFit, ParseErrorInEstimatesFails221)
{
    Equations eqs;
    CEquation& eq = eqs.Add("t", "y = a*x + b", {"a", "b"});
    eq.SetUseParameterDefinitions(1);
    eq.SetParameterDefinition(0, "GRADIENT");
    eq.SetParameterDefinition(1, "INTERCEPT");
    eq.SetXTransform("XDATA");
    eq.SetYTransform("LN(YDATA");
    eq.Compile();
    ASSERT_TRUE(eq.IsValid());
    CNonlinearFit fit("t", &eqs);
    auto run = RunFit(fit, Settings({}), Columns({{1, 2, 3, 4}}), Vector({1, 2, 3, 4}), Ones(4));
    EXPECT_EQ(run.result, 0);
    EXPECT_EQ(run.errors, std::vector<UINT>{221});
}

TEST(NonlinearFit, TrialsThatCannotBeEvaluatedGiveUpWith423)
{
    // Every derivative steps past a = 3, where LN turns not-a-number: every
    // trial is rejected until lambda passes 1e8.
    Equations eqs;
    eqs.Add("edge", "y = a*x + 0*LN(3 - a)", {"a"});
    CNonlinearFit fit("edge", &eqs);
    auto run = RunFit(fit, Settings({{2.99999999}}), Columns({{1, 2, 3, 4}}), Vector({5, 10, 15, 20}), Ones(4));
    EXPECT_EQ(run.result, 0);
    EXPECT_EQ(run.errors, std::vector<UINT>{423});
    EXPECT_GT(fit.GetLambda(), 1e8 * 0.001 * 0.99);
    EXPECT_FALSE(fit.IsFitted());
}

TEST(NonlinearFit, ImprovingTrialAtTheGiveUpMarkIsTaken)
{
    // |a - 2| x with a 1e-13 above its kink: the central difference spans the
    // kink, so the derivative comes out tiny and every step overshoots,
    // until lambda is so large (1e8, past which the fit gives up) that the
    // step is shorter than 2e-13. That trial lowers the chi-square: the step
    // is taken and the fit succeeds.
    Equations eqs;
    eqs.Add("kink", "y = ABS(a - 2)*x", {"a"});
    CNonlinearFit fit("kink", &eqs);
    auto run = RunFit(fit, Settings({{2.0000000000001}}, 0, 1), Columns({{1, 2, 3, 4}}), Vector({0, 0, 0, 0}),
                      Ones(4));
    EXPECT_EQ(run.result, 1);
    EXPECT_TRUE(run.errors.empty());
    EXPECT_LT(std::fabs(Param(fit, 0) - 2.0), 1e-13);
    EXPECT_NEAR(fit.GetLambda(), 1e9 * 0.001, 1.0); // the trial ran at 1e8, then lambda x 10 x 0.001
}

TEST(NonlinearFit, MathErrorGoesThroughTheWorker)
{
    // The power overflows at the start: the message id is posted, no box is shown.
    RecordingReporter reporter;
    Equations eqs;
    CEquation& eq = eqs.Add("pow", "y = a*x^1000", {"a"});
    eq.SetUseParameterDefinitions(1);
    eq.SetParameterDefinition(0, "1");
    eq.SetXTransform("XDATA");
    eq.SetYTransform("YDATA");
    eq.Compile();
    CNonlinearFit fit("pow", &eqs);
    auto run = RunFit(fit, Settings({{1}}), Columns({{1, 2, 1e10}}), Vector({1, 2, 3}), Ones(3));
    EXPECT_EQ(run.result, 0);
    EXPECT_EQ(run.errors, std::vector<UINT>{8472});
    EXPECT_TRUE(reporter.messages.empty());
    EXPECT_NE(fit.GetLastErrorText().find("pow"), std::string::npos);
}

TEST(NonlinearFit, ParameterWithoutEffectKeepsItsValue)
{
    Equations eqs;
    eqs.Add("idle", "y = a*x + 0*b", {"a", "b"});
    CNonlinearFit fit("idle", &eqs);
    auto run = RunFit(fit, Settings({{1}, {7}}, 0, 10), Columns({{1, 2, 3, 4}}), Vector({2, 4.1, 5.9, 8}), Ones(4));
    ASSERT_EQ(run.result, 1);
    EXPECT_EQ(Param(fit, 1), 7.0);
    double se = -1;
    ASSERT_TRUE(fit.GetStandardError(1, se));
    EXPECT_EQ(se, 0.0);
    // Least squares through the origin: a = sum xy / sum xx = 59.9 / 30.
    EXPECT_NEAR(Param(fit, 0), 59.9 / 30.0, 1e-12);
}

TEST(NonlinearFit, EstimateMatrixSearch)
{
    // Candidates for a: -1 gives not a number (LN), 0.5 and 2 give numbers;
    // the smaller chi-square (a = 2, exact) wins over the earlier NaN.
    Equations eqs;
    eqs.Add("ln", "y = LN(a)*x + a", {"a"});
    CNonlinearFit fit("ln", &eqs);
    std::vector<double> xs = {1, 2, 3}, ys;
    for (double x : xs)
        ys.push_back(std::log(2.0) * x + 2.0);
    auto run = RunFit(fit, Settings({{-1, 0.5, 2}}), Columns({xs}), Vector(ys), Ones(3));
    ASSERT_EQ(run.result, 1);
    EXPECT_EQ(fit.GetEstimateSource(), 1);
    EXPECT_EQ(fit.GetInitialEstimates()[0], 2.0);
    EXPECT_EQ(fit.GetIterationCount(), 0);

    // A combination whose evaluation throws is skipped.
    eqs.Add("pow", "y = b*x^a", {"a", "b"});
    CNonlinearFit fit2("pow", &eqs);
    auto run2 = RunFit(fit2, Settings({{5000, 2}, {1, 3}}), Columns({{1, 2, 1e100}}), Vector({3, 12, 3e200}),
                       Ones(3));
    ASSERT_EQ(run2.result, 1);
    EXPECT_EQ(fit2.GetInitialEstimates()[0], 2.0);
    EXPECT_EQ(fit2.GetInitialEstimates()[1], 3.0);
}

TEST(NonlinearFit, RobustWeightingDropsTheOutlier)
{
    Equations eqs;
    eqs.Add("line", "y = a + b*x", {"a", "b"});
    std::vector<double> xs, ys;
    for (int i = 0; i < 12; ++i) {
        xs.push_back(i);
        ys.push_back(1.0 + 2.0 * i + (i == 7 ? 500.0 : 0.0));
    }
    CFitSettings s = Settings({{0}, {1}}, 0, 20);
    s.m_nRobust = 1;
    CNonlinearFit fit("line", &eqs);
    ASSERT_EQ(RunFit(fit, s, Columns({xs}), Vector(ys), Ones(12)).result, 1);
    // The other eleven points lie on y = 1 + 2x exactly.
    EXPECT_NEAR(Param(fit, 0), 1.0, 1e-9);
    EXPECT_NEAR(Param(fit, 1), 2.0, 1e-9);
    // Without robust weighting the outlier pulls the line.
    s.m_nRobust = 0;
    CNonlinearFit plain("line", &eqs);
    ASSERT_EQ(RunFit(plain, s, Columns({xs}), Vector(ys), Ones(12)).result, 1);
    EXPECT_GT(std::fabs(Param(plain, 0) - 1.0), 1.0);
}

TEST(NonlinearFit, CalcXAndCalcY)
{
    Equations eqs;
    eqs.Add("two", "y = a*x1 + x2", {"a"}, {"x1", "x2"});
    CNonlinearFit fit("two", &eqs);
    EXPECT_FALSE(fit.CalcY(1, nullptr)); // not fitted
    auto x = Columns({{1, 2, 3}, {0, 0, 0}});
    ASSERT_EQ(RunFit(fit, Settings({{1}}), x, Vector({2, 4, 6}), Ones(3)).result, 1);
    EXPECT_NEAR(fit.CalcY(3, nullptr)->GetNumber(), 2 * 3 + 1.0, 1e-9); // other x values 1.0
    CMyVector other = Vector({10});
    EXPECT_NEAR(fit.CalcY(3, &other)->GetNumber(), 2 * 3 + 10.0, 1e-9);
    auto same = fit.CalcX(5, 2, 2);
    ASSERT_TRUE(same);
    EXPECT_EQ(same->GetText(), "(out of range)");
    auto zero = fit.CalcX(0.0, -5, 5); // a relative test cannot pass at y = 0
    ASSERT_TRUE(zero);
    EXPECT_EQ(zero->GetText(), "(out of range)");
}

class StoppingFit : public CNonlinearFit {
public:
    using CNonlinearFit::CNonlinearFit;
    int polls = 0;
    int stopAt = 0;

protected:
    bool IsStopRequested(CWorkerThread*) override { return ++polls == stopAt; }
};

TEST(NonlinearFit, StopIsSilentAtAnyPoll)
{
    Equations eqs;
    eqs.Add("mm", "y = Vm*x/(K + x)", {"Vm", "K"});
    const auto x = Columns({{0.02, 0.06, 0.11, 0.22, 0.56, 1.10}});
    const auto y = Vector({61, 102, 131, 155, 196, 203});
    for (int stopAt : {1, 2, 3, 5, 8, 13}) {
        SCOPED_TRACE(stopAt);
        StoppingFit fit("mm", &eqs);
        fit.stopAt = stopAt;
        auto run = RunFit(fit, Settings({{150, 200}, {0.5}}, 0, 20), x, y, Ones(6));
        EXPECT_EQ(run.result, 0);
        EXPECT_TRUE(run.errors.empty());
        EXPECT_FALSE(fit.IsFitted());
    }
}

TEST(NonlinearFit, AStopOrANewRequestEndsALoopingModelInsideAPoint)
{
    // Every point of the slow model runs tens of millions of instructions,
    // and all 64 points fall in one group of a pass: waiting for the next
    // poll between groups would take the whole pass.
    Equations eqs;
    eqs.Add("slow", "s = 0\r\nFOR i = 1 TO 8000000\r\ns = s + a * x / 8000000\r\nNEXT\r\ny = s", {"a"});
    eqs.Add("quick", "s = 0\r\nFOR i = 1 TO 4\r\ns = s + a * x / 4\r\nNEXT\r\ny = s", {"a"});
    std::vector<double> xs, ys;
    for (int i = 1; i <= 64; ++i) {
        xs.push_back(i);
        ys.push_back(2.0 * i);
    }
    const CDoubleColumns x = Columns({xs});
    const CMyVector y = Vector(ys), w = Ones(64);
    const CFitSettings s = Settings({{1}}, 0, 3);
    CNonlinearFit slow("slow", &eqs), quick("quick", &eqs);
    std::atomic<int> slowResult{-1}, quickResult{-1};
    SetWorkerMessageSink([](UINT, std::intptr_t, std::intptr_t) {});
    CWorkerThread worker;
    using Clock = std::chrono::steady_clock;
    auto runSlow = [&](CWorkerThread& t, void*) { return slowResult = slow.Fit(s, x, y, w, &t, 1); };

    // A new request: the slow run gives way, and the quick one that follows
    // is not stopped by what stopped the slow one.
    worker.Start(runSlow, nullptr, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    auto asked = Clock::now();
    worker.Start([&](CWorkerThread& t, void*) { return quickResult = quick.Fit(s, x, y, w, &t, 1); }, nullptr, 0);
    worker.WaitIdle();
    EXPECT_LT(Clock::now() - asked, std::chrono::seconds(5));
    EXPECT_EQ(slowResult.load(), 0);
    EXPECT_EQ(quickResult.load(), 1);
    EXPECT_NEAR(Param(quick, 0), 2.0, 1e-12);
    // The fitted curve is drawn after the run, whatever its worker does then.
    EXPECT_EQ(quick.GetEquation()->GetStopFlag(), nullptr);

    // A stop from the window.
    slowResult = -1;
    worker.Start(runSlow, nullptr, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    asked = Clock::now();
    worker.Stop();
    EXPECT_LT(Clock::now() - asked, std::chrono::seconds(5));
    EXPECT_EQ(slowResult.load(), 0);
    EXPECT_FALSE(slow.IsFitted());
    SetWorkerMessageSink({});
}

TEST(NonlinearFit, ThreadsGiveTheSameResult)
{
    // Enough points to be shared among threads: the block sums make the
    // result independent of their number.
    Equations eqs;
    eqs.Add("g", "y = a*EXP(-((x - b)^2)/2) + c", {"a", "b", "c"});
    std::vector<double> xs, ys;
    for (int i = 0; i < 15000; ++i) {
        const double x = -5 + 10.0 * i / 15000;
        xs.push_back(x);
        ys.push_back(2.0 * std::exp(-(x - 0.3) * (x - 0.3) / 2) + 0.5 + 0.01 * std::sin(37.0 * i));
    }
    CFitSettings s = Settings({{1}, {0}, {0}}, 0, 4);
    CNonlinearFit one("g", &eqs), four("g", &eqs);
    one.SetMaxThreads(1);
    four.SetMaxThreads(4);
    ASSERT_EQ(RunFit(one, s, Columns({xs}), Vector(ys), Ones(15000)).result, 1);
    ASSERT_EQ(RunFit(four, s, Columns({xs}), Vector(ys), Ones(15000)).result, 1);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Param(one, i), Param(four, i));
    EXPECT_EQ(one.GetChiSq(), four.GetChiSq());
    EXPECT_NEAR(Param(one, 1), 0.3, 1e-3);
}

// The language equation evaluated point by point, as before block runs.
class PointByPointEquation : public CEquation {
public:
    void CalculatePoints(const double* const* columns, int columnCount, int count, double* out,
                         SKeptValues* keep) override
    {
        CEquationBase::CalculatePoints(columns, columnCount, count, out, keep);
    }
    void CalculatePointDerivatives(const double* const* columns, int columnCount, int count, bool central, bool known,
                                   double* values, double* derivs, int stride, const SKeptValues* kept) override
    {
        CEquationBase::CalculatePointDerivatives(columns, columnCount, count, central, known, values, derivs, stride,
                                                 kept);
    }
    std::unique_ptr<CEquationBase> Clone() const override
    {
        auto copy = std::make_unique<PointByPointEquation>();
        copy->Copy(*this);
        copy->SetSource(GetSource());
        copy->Compile();
        return copy;
    }
};

TEST(NonlinearFit, BlockEvaluationLeavesEveryResultAsItWas)
{
    // A peak whose tail is computed by a loop and a jump on x (so that the
    // blocks around x = 1 run point by point), and a peak without jumps whose
    // derivative runs take the exponential, kept by the trial's pass, from
    // it; fitted on one thread and on three, with robust weighting and
    // without: parameters, chi-square and covariance are the same bit for
    // bit as with point by point evaluation.
    const char* sources[] = {"t = 0\r\nIF x > 1 THEN\r\nFOR i = 1 TO 3\r\nt = t + c*EXP(-i*x)\r\nNEXT\r\nENDIF\r\n"
                             "y = a*EXP(-((x - b)^2)/2) + t",
                             "e = EXP(-((x - b)^2)/2)\r\ny = a*e + c*x"};
    std::vector<double> xs, ys;
    for (int i = 0; i < 3001; ++i) {
        const double x = -5 + 10.0 * i / 3001;
        xs.push_back(x);
        ys.push_back(2.0 * std::exp(-(x - 0.3) * (x - 0.3) / 2) + (x > 1 ? 0.7 * (std::exp(-x) + std::exp(-2 * x) + std::exp(-3 * x)) : 0.0)
                     + 0.01 * std::sin(37.0 * i));
    }
    for (const char* source : sources) {
        const long reusedBefore = CEquation::ReusedRuns();
        for (int robust = 0; robust < 2; ++robust) {
            for (int threads : {1, 3}) {
                SCOPED_TRACE(threads);
                CEquation blockEq;
                PointByPointEquation pointEq;
                CEquation* both[] = {&blockEq, &pointEq};
                for (CEquation* eq : both) {
                    eq->SetYName("y");
                    eq->SetParameterName(0, "a", "");
                    eq->SetParameterName(1, "b", "");
                    eq->SetParameterName(2, "c", "");
                    eq->SetXName(0, "x", "");
                    eq->SetSource(source);
                    eq->Compile();
                }
                OneSource blockSource(&blockEq), pointSource(&pointEq);
                CNonlinearFit block("peak", &blockSource), point("peak", &pointSource);
                CFitSettings s = Settings({{1}, {0}, {0.2}}, 1, 30);
                s.m_nRobust = robust;
                block.SetMaxThreads(threads);
                point.SetMaxThreads(threads);
                ASSERT_EQ(RunFit(block, s, Columns({xs}), Vector(ys), Ones(3001)).result, 1);
                ASSERT_EQ(RunFit(point, s, Columns({xs}), Vector(ys), Ones(3001)).result, 1);
                // The tail's size; the line of the other model fits it roughly.
                if (source == sources[0]) {
                    EXPECT_NEAR(Param(block, 2), 0.7, 0.05);
                }
                EXPECT_NEAR(Param(block, 0), 2.0, 0.1);
                EXPECT_EQ(block.GetIterationCount(), point.GetIterationCount());
                EXPECT_EQ(block.GetChiSq(), point.GetChiSq());
                for (int i = 0; i < 3; ++i) {
                    EXPECT_EQ(Param(block, i), Param(point, i));
                    for (int j = 0; j < 3; ++j)
                        EXPECT_EQ(block.GetCovariance().GetAt(i, j), point.GetCovariance().GetAt(i, j));
                }
            }
        }
        // The loop's program runs every instruction; the other's reuse.
        EXPECT_EQ(CEquation::ReusedRuns() > reusedBefore, source == sources[1]);
    }
}

namespace {

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Restores the widest row updates when a test ends, passed or not.
struct RowLaneLimit {
    explicit RowLaneLimit(int lanes) { LimitRowLanes(lanes); }
    ~RowLaneLimit() { LimitRowLanes(8); }
};

} // namespace

TEST(NonlinearFit, RowLanesLeaveEveryResultAsItWas)
{
    // 977 points: three groups of eight whole blocks, then six whole blocks
    // and 17 points, so that the rows go through eight lanes, four and one.
    // Fitted with eight, four and one triangle rotated at a time (what the
    // processor has of them), with uneven weights, robust weighting and
    // without, 1 to 9 parameters: parameters, chi-square and covariance are
    // the same bit for bit.
    struct SCase {
        const char* source;
        std::initializer_list<const char*> params;
        std::vector<std::vector<double>> start;
    };
    const SCase cases[] = {
        {"y = 2*EXP(-((x - b)^2)/2) + 0.5", {"b"}, {{0}}},
        {"y = a*EXP(-((x - b)^2)/2) + c", {"a", "b", "c"}, {{1}, {0}, {0.2}}},
        {"y = a*EXP(-((x - b)^2)/(2*s^2)) + c + d*x", {"a", "b", "s", "c", "d"}, {{1}, {0}, {1.5}, {0.2}, {0}}},
        {"y = a*EXP(-((x - b)^2)/(2*s^2)) + c + d*x + e*x^2 + g*x^3 + h*x^4 + k*x^5",
         {"a", "b", "s", "c", "d", "e", "g", "h", "k"},
         {{1}, {0}, {1.5}, {0.2}, {0}, {0}, {0}, {0}, {0}}},
    };
    const int n = 977;
    std::vector<double> xs, ys, ws;
    for (int i = 0; i < n; ++i) {
        const double x = -5 + 10.0 * i / n;
        xs.push_back(x);
        ys.push_back(2.0 * std::exp(-(x - 0.3) * (x - 0.3) / 2) + 0.5 + 0.01 * std::sin(37.0 * i));
        ws.push_back(1.0 + 0.5 * std::sin(3.0 * i));
    }
    for (const SCase& c : cases) {
        for (int robust = 0; robust < 2; ++robust) {
            SCOPED_TRACE(testing::Message() << c.source << ", robust " << robust);
            Equations eqs;
            eqs.Add("peak", c.source, c.params);
            CFitSettings s = Settings(c.start, 1, 30);
            s.m_nRobust = robust;
            CNonlinearFit fits[] = {{"peak", &eqs}, {"peak", &eqs}, {"peak", &eqs}};
            const int lanes[] = {1, 4, 8};
            for (int f = 0; f < 3; ++f) {
                RowLaneLimit limit(lanes[f]);
                ASSERT_EQ(RunFit(fits[f], s, Columns({xs}), Vector(ys), Vector(ws)).result, 1);
            }
            EXPECT_NEAR(Param(fits[0], int(c.params.size()) == 1 ? 0 : 1), 0.3, 1e-2);
            const int m = int(c.params.size());
            for (int f = 1; f < 3; ++f) {
                SCOPED_TRACE(lanes[f]);
                EXPECT_EQ(fits[f].GetIterationCount(), fits[0].GetIterationCount());
                EXPECT_TRUE(SameBits(fits[f].GetChiSq(), fits[0].GetChiSq()));
                for (int i = 0; i < m; ++i) {
                    EXPECT_TRUE(SameBits(Param(fits[f], i), Param(fits[0], i))) << i;
                    for (int j = 0; j < m; ++j)
                        EXPECT_TRUE(SameBits(fits[f].GetCovariance().GetAt(i, j), fits[0].GetCovariance().GetAt(i, j)))
                            << i << " " << j;
                }
            }
        }
    }
}

// Counts the evaluations of every clone the engine makes.
class CountingEquation : public CEquation {
public:
    explicit CountingEquation(std::shared_ptr<long> count) : m_count(std::move(count)) {}
    double Calculate() override
    {
        ++*m_count;
        return CEquation::Calculate();
    }
    // The block evaluations count their points' evaluations (a block that
    // falls back to single points counts those through Calculate as well).
    void CalculatePoints(const double* const* columns, int columnCount, int count, double* out,
                         SKeptValues* keep) override
    {
        *m_count += count;
        CEquation::CalculatePoints(columns, columnCount, count, out, keep);
    }
    void CalculatePointDerivatives(const double* const* columns, int columnCount, int count, bool central, bool known,
                                   double* values, double* derivs, int stride, const SKeptValues* kept) override
    {
        *m_count += long(count) * ((central ? 2 : 1) * GetParameterCount() + (known ? 0 : 1));
        CEquation::CalculatePointDerivatives(columns, columnCount, count, central, known, values, derivs, stride, kept);
    }
    std::unique_ptr<CEquationBase> Clone() const override
    {
        auto copy = std::make_unique<CountingEquation>(m_count);
        copy->Copy(*this);
        copy->SetSource(GetSource());
        copy->Compile();
        return copy;
    }
    std::shared_ptr<long> m_count;
};

class CountingSource : public CEquationSource {
public:
    const CEquationBase* FindEquation(const std::string&) const override { return eq.get(); }
    std::unique_ptr<CountingEquation> eq;
};

TEST(NonlinearFit, CycleOfUndampedStepsEndsEarlyWithTheSameResult)
{
    // A straight line: after a few steps the parameters stop changing bit for
    // bit, and the remaining steps of 100 would only repeat them.
    std::vector<double> xs, ys;
    for (int i = 0; i < 20; ++i) {
        xs.push_back(i);
        ys.push_back(1.0 + 2.0 * i + 0.1 * std::sin(3.0 * i));
    }
    long counts[2] = {};
    double values[2][3] = {};
    CMyMatrix covariances[2];
    for (int skip = 0; skip < 2; ++skip) {
        CountingSource source;
        auto count = std::make_shared<long>(0);
        source.eq = std::make_unique<CountingEquation>(count);
        source.eq->SetYName("y");
        source.eq->SetParameterName(0, "a", "");
        source.eq->SetParameterName(1, "b", "");
        source.eq->SetXName(0, "x", "");
        source.eq->SetSource("y = a + b*x");
        source.eq->Compile();
        CNonlinearFit fit("line", &source);
        fit.SetSkipCycles(skip == 1);
        ASSERT_EQ(RunFit(fit, Settings({{0}, {0}}, 0, 100), Columns({xs}), Vector(ys), Ones(20)).result, 1);
        EXPECT_EQ(fit.GetIterationCount(), 100);
        counts[skip] = *count;
        values[skip][0] = Param(fit, 0);
        values[skip][1] = Param(fit, 1);
        values[skip][2] = fit.GetChiSq();
        covariances[skip] = fit.GetCovariance();
    }
    for (int k = 0; k < 3; ++k)
        EXPECT_EQ(values[0][k], values[1][k]);
    for (int j = 0; j < 2; ++j)
        for (int k = 0; k < 2; ++k)
            EXPECT_EQ(covariances[0].GetAt(j, k), covariances[1].GetAt(j, k));
    EXPECT_LT(counts[1], counts[0] * 3 / 4) << counts[1] << " of " << counts[0];
}

// Michaelis-Menten written in C++: an equation that is not of the equation
// language, so the engine takes its derivatives from CalculateDerivatives
// at every step.
class NativeMichaelisMenten : public CEquationBase {
public:
    NativeMichaelisMenten()
    {
        SetYName("y");
        SetParameterName(0, "Vm", "");
        SetParameterName(1, "K", "");
        SetXName(0, "x", "");
        m_bValid = true;
        ResizeValues();
    }
    double Calculate() override { return m_paramValues[0] * m_xValues[0] / (m_paramValues[1] + m_xValues[0]); }
    std::unique_ptr<CEquationBase> Clone() const override
    {
        auto copy = std::make_unique<NativeMichaelisMenten>();
        copy->Copy(*this);
        copy->m_bValid = true;
        return copy;
    }
};

TEST(NonlinearFit, ForwardDifferencesFarFromTheMinimumLeaveTheResult)
{
    // The language equation starts with forward differences; the native one
    // uses its own derivatives throughout. Both end on the same minimum with
    // the same standard errors, because the steps near the end, and the
    // covariance, come from the equation's own derivatives.
    Equations eqs;
    eqs.Add("mm", "y = Vm*x/(K + x)", {"Vm", "K"});
    NativeMichaelisMenten native;
    OneSource nativeSource(&native);
    const std::vector<double> conc = {0.02, 0.02, 0.06, 0.06, 0.11, 0.11, 0.22, 0.22, 0.56, 0.56, 1.10, 1.10};
    const std::vector<double> rate = {76, 47, 97, 107, 123, 139, 159, 152, 191, 201, 207, 200};
    CFitSettings s = Settings({{100}, {1}}, 1, 100);
    s.m_dChiSqChangePercent = 1e-8;
    CNonlinearFit language("mm", &eqs), own("mm", &nativeSource);
    ASSERT_EQ(RunFit(language, s, Columns({conc}), Vector(rate), Ones(12)).result, 1);
    ASSERT_EQ(RunFit(own, s, Columns({conc}), Vector(rate), Ones(12)).result, 1);
    for (int i = 0; i < 2; ++i) {
        EXPECT_NEAR(Param(language, i), Param(own, i), 1e-9 * std::fabs(Param(own, i)));
        double a = 0, b = 0;
        ASSERT_TRUE(language.GetStandardError(i, a));
        ASSERT_TRUE(own.GetStandardError(i, b));
        EXPECT_NEAR(a, b, 1e-7 * b);
    }
}

TEST(NonlinearFit, StoredFormRoundTrip)
{
    Equations eqs;
    eqs.Add("mm", "y = Vm*x/(K + x)", {"Vm", "K"});
    CNonlinearFit fit("mm", &eqs);
    ASSERT_EQ(RunFit(fit, Settings({{150}, {0.5}}), Columns({{0.02, 0.06, 0.11, 0.22, 0.56, 1.10}}),
                     Vector({61, 102, 131, 155, 196, 203}), Ones(6))
                  .result,
              1);
    Bytes bytes = StoreBytes([&](CArchive& ar) { ar.WriteObject(&fit); });
    std::unique_ptr<CNonlinearFit> loaded;
    CMemFile file(bytes);
    CArchive ar(&file, CArchive::load, 4096, &eqs);
    loaded = ar.ReadOwned<CNonlinearFit>();
    ASSERT_TRUE(loaded);
    EXPECT_TRUE(loaded->IsFitted());
    EXPECT_EQ(loaded->GetEquationName(), "mm");
    EXPECT_EQ(loaded->GetIterationCount(), fit.GetIterationCount());
    EXPECT_EQ(loaded->GetEstimateSource(), 1);
    EXPECT_EQ(loaded->GetChiSq(), fit.GetChiSq());
    EXPECT_EQ(loaded->CalcY(0.3, nullptr)->GetNumber(), fit.CalcY(0.3, nullptr)->GetNumber());
    double a = 0, b = 0;
    ASSERT_TRUE(loaded->GetStandardError(0, a));
    ASSERT_TRUE(fit.GetStandardError(0, b));
    EXPECT_EQ(a, b);
    // The loaded engine finds its equation through the archive's document.
    auto again = RunFit(*loaded, Settings({{150}, {0.5}}), Columns({{0.02, 0.06, 0.11, 0.22, 0.56, 1.10}}),
                        Vector({61, 102, 131, 155, 196, 203}), Ones(6));
    EXPECT_EQ(again.result, 1);
}

TEST(NonlinearFit, TheIterationLimitMarkIsStoredOnlyByAFitThatCarriesIt)
{
    Equations eqs;
    eqs.Add("mm", "y = Vm*x/(K + x)", {"Vm", "K"});
    const auto x = Columns({{0.02, 0.06, 0.11, 0.22, 0.56, 1.10}});
    const auto y = Vector({61, 102, 131, 155, 196, 203});
    // Criterion on but unreachable in 3 iterations: fitted, and marked.
    CNonlinearFit limited("mm", &eqs);
    CFitSettings s = Settings({{1000}, {50}}, 1, 3);
    s.m_dChiSqChangePercent = 1e-9;
    ASSERT_EQ(RunFit(limited, s, x, y, Ones(6)).result, 1);
    ASSERT_TRUE(limited.IsIterationLimitReached());
    ASSERT_GT(limited.GetLastRelativeChange(), 1e-11);
    CNonlinearFit settled("mm", &eqs);
    ASSERT_EQ(RunFit(settled, Settings({{150}, {0.5}}), x, y, Ones(6)).result, 1);
    ASSERT_FALSE(settled.IsIterationLimitReached());

    const Bytes marked = StoreBytes([&](CArchive& ar) { ar.WriteObject(&limited); });
    const Bytes plain = StoreBytes([&](CArchive& ar) { ar.WriteObject(&settled); });
    // The version word follows the class name; both fits have records of one size
    // (two parameters, one equation name) but for the mark: an int32 and a double.
    const std::string name = "CNonlinearFit";
    auto versionAt = [&](const Bytes& bytes) {
        auto it = std::search(bytes.begin(), bytes.end(), name.begin(), name.end());
        EXPECT_NE(it, bytes.end());
        return std::size_t(it - bytes.begin()) + name.size();
    };
    auto int32At = [](const Bytes& bytes, std::size_t at) {
        return std::int32_t(std::uint32_t(bytes[at]) | std::uint32_t(bytes[at + 1]) << 8
                            | std::uint32_t(bytes[at + 2]) << 16 | std::uint32_t(bytes[at + 3]) << 24);
    };
    EXPECT_EQ(int32At(plain, versionAt(plain)), 2);
    EXPECT_EQ(int32At(marked, versionAt(marked)), 3);
    ASSERT_EQ(marked.size(), plain.size() + 12);
    EXPECT_EQ(int32At(marked, marked.size() - 12), 1);

    auto load = [&](const Bytes& bytes) {
        CMemFile file(bytes);
        CArchive ar(&file, CArchive::load, 4096, &eqs);
        return ar.ReadOwned<CNonlinearFit>();
    };
    // Round trip: the mark and the last change come back.
    std::unique_ptr<CNonlinearFit> back = load(marked);
    ASSERT_TRUE(back);
    EXPECT_TRUE(back->IsFitted());
    EXPECT_TRUE(back->IsIterationLimitReached());
    EXPECT_EQ(back->GetLastRelativeChange(), limited.GetLastRelativeChange());
    EXPECT_EQ(back->GetIterationCount(), 3);
    // Stored again, the record is the same bytes.
    EXPECT_EQ(StoreBytes([&](CArchive& ar) { ar.WriteObject(back.get()); }), marked);

    // A record written before the mark existed: the same fit as version 2,
    // without the last 12 bytes. It reads as a fit without the mark.
    Bytes old(marked.begin(), marked.end() - 12);
    old[versionAt(old)] = 2;
    std::unique_ptr<CNonlinearFit> before = load(old);
    ASSERT_TRUE(before);
    EXPECT_TRUE(before->IsFitted());
    EXPECT_FALSE(before->IsIterationLimitReached());
    EXPECT_EQ(before->GetChiSq(), limited.GetChiSq());
    EXPECT_EQ(before->GetIterationCount(), 3);
    // A fit without the mark stores the version-2 record unchanged.
    EXPECT_EQ(StoreBytes([&](CArchive& ar) { ar.WriteObject(before.get()); }), old);
    // And the settled fit's record reads back without it, and stores the same bytes.
    std::unique_ptr<CNonlinearFit> plainBack = load(plain);
    ASSERT_TRUE(plainBack);
    EXPECT_FALSE(plainBack->IsIterationLimitReached());
    EXPECT_EQ(StoreBytes([&](CArchive& ar) { ar.WriteObject(plainBack.get()); }), plain);
}

} // namespace
