#include "equation/Equation.h"
#include "equation/MyError.h"
#include "EquationTestSupport.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>

namespace {

struct ValueCase {
    const char* source;
    double expected; // by hand unless the comment says otherwise
};

void PrintTo(const ValueCase& c, std::ostream* os) { *os << c.source; }

class LanguageValue : public ::testing::TestWithParam<ValueCase> {
};

TEST_P(LanguageValue, Evaluates)
{
    const ValueCase& c = GetParam();
    const double v = Evaluate(c.source);
    if (std::isnan(c.expected))
        EXPECT_TRUE(std::isnan(v)) << v;
    else
        EXPECT_DOUBLE_EQ(v, c.expected);
}

const double kNaN = std::nan("");

INSTANTIATE_TEST_SUITE_P(Precedence, LanguageValue, ::testing::Values(
    // Comparisons share the level of + and -: (2 > 1) + 5 = -1 + 5.
    ValueCase{"y = 2 > 1 + 5", 4},
    // Unary minus binds tighter than the power.
    ValueCase{"y = -2^2", 4},
    ValueCase{"y = 2^3^2", 64},   // powers group to the left: (2^3)^2
    ValueCase{"y = 2^-1", 0.5},
    ValueCase{"y = 1 + 2 * 3", 7},
    ValueCase{"y = (1 + 2) * 3", 9},
    ValueCase{"y = 7 - 2 - 1", 4},
    ValueCase{"y = 8 / 4 / 2", 1},
    ValueCase{"y = 2 * -3", -6},
    ValueCase{"y = +3", 3},
    ValueCase{"y = - - 3", 3},
    ValueCase{"y = 2 * 3 ^ 2", 18},
    ValueCase{"y := 3 + 4", 7},
    ValueCase{"3 + 4", 7},
    ValueCase{"Y = 1e-5 * 1e5", 1},
    ValueCase{"y = .5E+2", 50},
    ValueCase{"y = 1.5e1", 15},
    ValueCase{"y = 3 = 3", -1},
    ValueCase{"y = 3 = 4", 0},
    ValueCase{"y = 2 <= 2", -1},
    ValueCase{"y = 3 < 2", 0},
    ValueCase{"y = 3 >= 4", 0},
    ValueCase{"y = 4 > 3", -1}));

INSTANTIATE_TEST_SUITE_P(Builtins, LanguageValue, ::testing::Values(
    ValueCase{"y = INT(-2.5)", -3},
    ValueCase{"y = FRAC(-2.5)", 0.5},
    ValueCase{"y = int(2.5)", 2},
    ValueCase{"y = SQR(-3)", 9},
    ValueCase{"y = ABS(-4)", 4},
    ValueCase{"y = SQRT(16)", 4},
    ValueCase{"y = LOG(1000)", 3},
    ValueCase{"y = ALOG(2)", 100},
    ValueCase{"y = LN(EXP(2))", 2},
    ValueCase{"y = EXP(1)", 2.718281828459045},       // e
    ValueCase{"y = ATAN(1) * 4", 3.141592653589793},  // pi
    ValueCase{"y = ASIN(1) * 2", 3.141592653589793},
    ValueCase{"y = ACOS(-1)", 3.141592653589793},
    ValueCase{"y = SIN(0.5)^2 + COS(0.5)^2", 1},
    ValueCase{"y = TAN(0.25) - SIN(0.25) / COS(0.25)", 0},
    ValueCase{"y = sin cos 0", 0.8414709848078965},   // sin(cos(0)) = sin(1)
    ValueCase{"y = _PI_", 3.1415926536},              // the ten-decimal value, not pi
    ValueCase{"y = _e_", 2.7182818285},
    ValueCase{"y = LN(0)", -HUGE_VAL},
    ValueCase{"y = LN(-1)", kNaN},
    ValueCase{"y = SQRT(-1)", kNaN},
    ValueCase{"y = LOG(0)", -HUGE_VAL},
    ValueCase{"y = EXP(1000)", HUGE_VAL},
    ValueCase{"y = (-8)^3", -512},
    ValueCase{"y = 2^0.5", 1.4142135623730951}));

// NaN compares as equal, less and less-or-equal, never as greater.
INSTANTIATE_TEST_SUITE_P(NaNComparisons, LanguageValue, ::testing::Values(
    ValueCase{"y = SQRT(-1) = 1", -1},
    ValueCase{"y = SQRT(-1) < 1", -1},
    ValueCase{"y = SQRT(-1) <= 1", -1},
    ValueCase{"y = SQRT(-1) > 1", 0},
    ValueCase{"y = SQRT(-1) >= 1", 0},
    ValueCase{"y = 1 > SQRT(-1)", 0},
    ValueCase{"IF SQRT(-1) THEN\r\ny = 1\r\nELSE\r\ny = 2\r\nENDIF", 2}));

INSTANTIATE_TEST_SUITE_P(Statements, LanguageValue, ::testing::Values(
    ValueCase{"s = 0\r\nFOR i = 1 TO 3\r\ns = s + i\r\nNEXT\r\ny = s", 6},
    ValueCase{"s = 0\r\nFOR i = 3 TO 1\r\ns = s + i\r\nNEXT\r\ny = s", 0},
    ValueCase{"s = 0\r\nFOR i = 3 DOWNTO 1\r\ns = s * 10 + i\r\nNEXT\r\ny = s", 321},
    ValueCase{"s = 0\r\nFOR i = 1 TO 10 STEP 3\r\ns = s + i\r\nNEXT\r\ny = s", 22},    // 1+4+7+10
    ValueCase{"s = 0\r\nFOR i = 10 DOWNTO 1 STEP -3\r\ns = s + i\r\nNEXT\r\ny = s", 22}, // 10+7+4+1
    ValueCase{"s = 0\r\nFOR i = 10 TO 1 STEP -3\r\ns = s + i\r\nNEXT\r\ny = s", 0},
    ValueCase{"n = 0\r\nFOR t = 0 TO 1 STEP 0.25\r\nn = n + 1\r\nNEXT\r\ny = n", 5},
    ValueCase{"FOR i = 1 TO 3\r\nNEXT i\r\ny = i", 4},  // the variable ends one step past
    ValueCase{"n = 0\r\nFOR i = 1 TO 3\r\nFOR j = 1 TO i\r\nn = n + 1\r\nNEXT\r\nNEXT\r\ny = n", 6},
    ValueCase{"for i = 1 to 2\nnext\ny = i", 3},  // keywords are case-blind, LF lines too
    ValueCase{"FOR i = 1 TO 10\r\nIF i = 4 THEN\r\nRETURN i * 100\r\nENDIF\r\nNEXT\r\ny = 0", 400},
    ValueCase{"y = 5\r\nRETURN\r\ny = 6", 5},
    ValueCase{"y = 0\r\nRETURN 2 = 2", -1},  // a comparison after RETURN, not an assignment
    ValueCase{"IF 1 > 2 THEN\r\ny = 1\r\nELSE\r\ny = 2\r\nENDIF", 2},
    ValueCase{"IF 1 < 2 THEN\r\ny = 1\r\nELSE\r\ny = 2\r\nENDIF", 1},
    ValueCase{"y = 7\r\nIF 0 THEN\r\ny = 1\r\nENDIF", 7},
    ValueCase{"n = 0\r\n:again\r\nn = n + 1\r\nIF n < 5 THEN\r\nGOTO again\r\nENDIF\r\ny = n", 5},
    ValueCase{"y = 1\r\nGOTO done\r\ny = 2\r\n:done", 1},
    ValueCase{"y = 1\r\nGOTO Done ' the comment becomes blanks\r\ny = 2\r\n:done", 1},
    ValueCase{"y = 2 ' comment\r\n; a whole line of comment\r\ny = y * 3 ; more", 6},
    ValueCase{"   \r\n\t\r\ny = 1", 1}));

TEST(Equation, CompiledFormsKeepTheValues)
{
    // The compiler rewrites products, sums and powers of simple values into
    // fused instructions; the values are those of the plain reading.
    // a = 2, b = 3, x = 5; expected values by hand.
    const ValueCase cases[] = {
        {"y = 3 + a*x", 13},     {"y = 20 - a*x", 10},   {"y = a*x - 20", -10},
        {"y = b * x^2", 75},     {"y = x^3 * b", 375},   {"y = b + x^2", 28},
        {"y = -a*x", -10},       {"y = -a / x", -0.4},   {"y = a - -x", 7},
        {"y = b - x^2", -22},    {"y = 2^x", 32},        {"y = x^2^2", 625},
        {"y = a*x*b", 30},       {"y = a*(x + b)", 16},  {"y = (x - b) * a", 4},
        {"y = b / (a * x)", 0.3}, {"y = 1 / x^2", 0.04}, {"y = x^3 - x^2 + a*b*x", 130},
        {"y = -(x^2)", -25},     {"y = (-x)^2", 25},     {"y = -x^2", 25},
    };
    for (const ValueCase& c : cases) {
        auto eq = MakeEquation(c.source, {"a", "b"}, {"x"});
        eq->Compile();
        eq->ResizeValues();
        eq->GetParameterValues()[0] = 2;
        eq->GetParameterValues()[1] = 3;
        eq->GetXValues()[0] = 5;
        EXPECT_DOUBLE_EQ(eq->Calculate(), c.expected) << c.source;
    }
}

TEST(Equation, ConditionsKeepTheNaNRules)
{
    // IF a op b: the comparison decides the jump itself in the compiled
    // form; both forms must follow the comparison rules.
    const double nan = std::nan("");
    const std::pair<double, double> pairs[] = {{1, 2}, {2, 1}, {2, 2}, {nan, 1}, {1, nan}};
    struct Op {
        const char* text;
        bool (*truth)(double, double);
    } ops[] = {
        {"=", [](double a, double b) { return a == b || std::isnan(a) || std::isnan(b); }},
        {"<", [](double a, double b) { return a < b || std::isnan(a) || std::isnan(b); }},
        {"<=", [](double a, double b) { return a <= b || std::isnan(a) || std::isnan(b); }},
        {">", [](double a, double b) { return a > b; }},
        {">=", [](double a, double b) { return a >= b; }},
    };
    for (bool optimize : {true, false}) {
        CEquation::EnableOptimizer(optimize);
        for (const Op& op : ops) {
            auto eq = MakeEquation(std::string("IF a ") + op.text + " b THEN\r\ny = 1\r\nELSE\r\ny = 0\r\nENDIF",
                                   {"a", "b"});
            eq->Compile();
            eq->ResizeValues();
            for (auto [a, b] : pairs) {
                eq->GetParameterValues()[0] = a;
                eq->GetParameterValues()[1] = b;
                EXPECT_EQ(eq->Calculate(), op.truth(a, b) ? 1.0 : 0.0) << op.text << " " << a << " " << b;
            }
        }
    }
    CEquation::EnableOptimizer(true);
}

TEST(Equation, LoopsAlikeWithAndWithoutRewriting)
{
    const char* sources[] = {
        "s = 0\r\nFOR i = 1 TO 10 STEP 3\r\ns = s + i\r\nNEXT\r\ny = s",
        "s = 0\r\nFOR i = 10 DOWNTO a\r\ns = s * 2 + i\r\nNEXT\r\ny = s",
        "s = 0\r\nFOR i = a TO 4 STEP a\r\ns = s + 1\r\nn = n + 1\r\nNEXT\r\ny = s + n",
        "n = 0\r\n:top\r\nn = n + a\r\nIF n < 20 THEN\r\nGOTO top\r\nENDIF\r\ny = n",
    };
    for (const char* source : sources) {
        double values[2];
        for (bool optimize : {true, false}) {
            CEquation::EnableOptimizer(optimize);
            auto eq = MakeEquation(source, {"a"});
            eq->Compile();
            eq->ResizeValues();
            eq->GetParameterValues()[0] = 1.5;
            values[optimize ? 0 : 1] = eq->Calculate();
        }
        CEquation::EnableOptimizer(true);
        EXPECT_EQ(values[0], values[1]) << source;
    }
    // By hand: 1 + 4 + 7 + 10.
    EXPECT_EQ(Evaluate("s = 0\r\nFOR i = 1 TO 10 STEP 3\r\ns = s + i\r\nNEXT\r\ny = s"), 22);
}

TEST(Equation, YKeepsThePreviousRunWhenNotAssigned)
{
    auto eq = MakeEquation("IF x > 0 THEN\r\ny = x\r\nENDIF", {}, {"x"});
    eq->Compile();
    eq->ResizeValues();
    eq->GetXValues()[0] = 5;
    EXPECT_EQ(eq->Calculate(), 5);
    eq->GetXValues()[0] = -1;
    EXPECT_EQ(eq->Calculate(), 5);
}

TEST(Equation, AssigningADeclaredNameMakesALocalButReadingGivesTheSymbol)
{
    auto eq = MakeEquation("a = 10\r\ny = a", {"a"});
    eq->Compile();
    eq->ResizeValues();
    eq->GetParameterValues()[0] = 3;
    EXPECT_EQ(eq->Calculate(), 3);
    ASSERT_EQ(eq->GetLocalNames().size(), 1u);
    EXPECT_EQ(eq->GetLocalNames()[0], "a");
}

TEST(Equation, LocalNamesComeFromTheCurrentSourceOnly)
{
    auto eq = MakeEquation("old = 1\r\ny = old");
    eq->Compile();
    eq->SetSource("y = 2");
    eq->Compile();
    EXPECT_TRUE(eq->GetLocalNames().empty());
    // The name of the earlier source is unknown now.
    eq->SetSource("y = old");
    EXPECT_THROW(eq->Compile(), CParseErr);
}

TEST(Equation, SymbolsAreReadFromTheValueArrays)
{
    auto eq = MakeEquation("y = a * x + b + c", {"a", "B"}, {"x"}, {"c"}, 0);
    eq->Compile();
    eq->ResizeValues();
    eq->GetParameterValues()[0] = 2;
    eq->GetParameterValues()[1] = 3;
    eq->GetConstantValues()[0] = 100;
    eq->GetXValues()[0] = 5;
    EXPECT_EQ(eq->Calculate(), 113); // 2 * 5 + 3 + 100
}

TEST(Equation, DivisionByZeroThrows)
{
    for (const char* source : {"y = 1 / 0", "y = 1 / (0 * -1)", "y = 1 / SQRT(-1)"}) {
        try {
            Evaluate(source);
            ADD_FAILURE() << source;
        } catch (const CMyDivideByZeroError& error) {
            EXPECT_EQ(error.ShortMessage(), "ERROR - Divide by 0");
        }
    }
}

TEST(Equation, NotValidReturnsZero)
{
    auto eq = MakeEquation("y = 3");
    eq->Compile();
    EXPECT_EQ(eq->Calculate(), 3);
    eq->SetYName("y"); // the same text: still valid
    EXPECT_TRUE(eq->IsValid());
    eq->SetYName("z");
    EXPECT_FALSE(eq->IsValid());
    EXPECT_EQ(eq->Calculate(), 0.0);
    CEquation never;
    EXPECT_EQ(never.Calculate(), 0.0);
}

TEST(Equation, EndlessLoopsStopAtTheBudget)
{
    for (const char* source : {"y = 1\r\n:top\r\nGOTO top",
                               "FOR i = 1 TO 2 STEP 0\r\nNEXT\r\ny = 1",
                               "FOR i = 1 TO SQRT(-1)\r\nNEXT\r\ny = 1"}) {
        auto eq = MakeEquation(source);
        eq->Compile();
        eq->ResizeValues();
        eq->SetInstructionBudget(100000);
        RecordingReporter reporter;
        try {
            eq->Calculate();
            ADD_FAILURE() << source;
        } catch (const CMyError& error) {
            EXPECT_EQ(error.ShortMessage(), "ERROR - endless loop");
            error.ReportError();
        }
        ASSERT_EQ(reporter.Ids(), std::vector<UINT>{8484});
        EXPECT_EQ(reporter.messages[0].args[0], "100000");
    }
    // A long but finite loop fits within the budget.
    auto eq = MakeEquation("s = 0\r\nFOR i = 1 TO 10000\r\ns = s + i\r\nNEXT\r\ny = s");
    eq->Compile();
    eq->SetInstructionBudget(1000000);
    EXPECT_EQ(eq->Calculate(), 50005000); // n (n + 1) / 2
}

TEST(Equation, DefaultBudgetEndsAGotoCycle)
{
    auto eq = MakeEquation("y = 1\r\n:top\r\nGOTO top");
    eq->Compile();
    EXPECT_EQ(eq->GetInstructionBudget(), 100000000);
    EXPECT_THROW(eq->Calculate(), CMyRunLimitError);
}

TEST(Equation, StopFlagInterruptsARunningEvaluation)
{
    auto eq = MakeEquation("y = 1\r\n:top\r\nGOTO top");
    eq->Compile();
    eq->SetInstructionBudget(INT64_MAX);
    std::atomic<bool> stop{false};
    eq->SetStopFlag(&stop);
    bool stopped = false;
    std::thread worker([&] {
        try {
            eq->Calculate();
        } catch (const CEvaluationStopped&) {
            stopped = true;
        }
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const auto asked = std::chrono::steady_clock::now();
    stop = true;
    worker.join();
    EXPECT_TRUE(stopped);
    EXPECT_LT(std::chrono::steady_clock::now() - asked, std::chrono::seconds(1));
}

TEST(Equation, CentralDifferenceDerivatives)
{
    auto eq = MakeEquation("y = a * EXP(b * x) + c * x", {"a", "b", "c"}, {"x"});
    eq->Compile();
    eq->ResizeValues();
    eq->GetParameterValues()[0] = 2.5;
    eq->GetParameterValues()[1] = -0.3;
    eq->GetParameterValues()[2] = 0.0; // exactly 0: the step must not be 0
    eq->GetXValues()[0] = 1.7;
    CMyVector d(3);
    eq->CalculateDerivatives(d);
    // Analytic: dy/da = exp(b x), dy/db = a x exp(b x), dy/dc = x.
    const double e = std::exp(-0.3 * 1.7);
    EXPECT_NEAR(d[0], e, 1e-9 * e);
    EXPECT_NEAR(d[1], 2.5 * 1.7 * e, 1e-9 * 2.5 * 1.7 * e);
    EXPECT_NEAR(d[2], 1.7, 1e-9);
    EXPECT_EQ(eq->GetParameterValues()[2], 0.0); // restored exactly
    EXPECT_EQ(eq->GetParameterValues()[1], -0.3);

    eq->GetParameterValues()[2] = 1e-300;
    eq->CalculateDerivatives(d);
    EXPECT_TRUE(std::isfinite(d[2]));
}

TEST(Equation, CloneCompilesACopyWithoutXValues)
{
    auto eq = MakeEquation("y = a * x", {"a"}, {"x"}, {}, 0);
    eq->Compile();
    eq->ResizeValues();
    eq->GetParameterValues()[0] = 4;
    eq->GetXValues()[0] = 3;
    auto copy = eq->Clone();
    ASSERT_TRUE(copy->IsKindOf(RUNTIME_CLASS(CEquation)));
    EXPECT_TRUE(copy->IsValid());
    copy->ResizeValues();
    EXPECT_EQ(copy->GetXValues()[0], 0.0);
    EXPECT_EQ(copy->GetParameterValues()[0], 4.0);
    copy->GetXValues()[0] = 2;
    EXPECT_EQ(copy->Calculate(), 8);
    EXPECT_EQ(eq->GetParameterName(5), "");
}

TEST(Equation, AssignmentCopiesDefinitionAndExtraXButNotSource)
{
    auto a = MakeEquation("y = p", {"p"});
    a->GetExtraXValues()[2] = 9;
    CEquation b;
    b.SetSource("y = 1");
    b = *a;
    EXPECT_EQ(b.GetSource(), "y = 1");
    EXPECT_EQ(b.GetParameterCount(), 1);
    EXPECT_EQ(b.GetExtraXValues()[2], 9.0);
}

// --- stored forms ---

TEST(EquationStore, BaseRecordBytes)
{
    CEquationBase base;
    base.SetParameterName(0, "a", "");
    base.SetXName(0, "x", "");
    base.SetYName("y");
    base.SetModeFlag(1);
    base.ResizeValues();
    base.GetParameterValues()[0] = 2.0;
    // version 0; names "a" / label ""; X "x" / ""; no constants; no definitions;
    // values {2.0}; Y "y"; lenient 1; definitions flag 0.
    EXPECT_EQ(ToHex(StoreBytes([&](CArchive& ar) { base.Serialize(ar); })),
              "00 00 00 00 01 00 01 61 01 00 00 01 00 01 78 01 00 00 00 00 00 00 00 00 "
              "01 00 00 00 00 00 00 00 00 40 01 79 01 00 00 00 00 00 00 00");
}

TEST(EquationStore, WholeRecordBytes)
{
    auto eq = MakeEquation("y = a * x", {"a"}, {"x"});
    eq->ResizeValues();
    eq->GetParameterValues()[0] = 2.0;
    eq->SetYTransform("LN(YDATA)");
    eq->GetFormattedSource().SetRtf("{\\rtf1 y}");
    // Version 1; the base record (as above); the formatted source: version 0,
    // flag 1, 9 bytes "{\rtf1 y}"; no local names (not compiled); the source
    // "y = a * x"; X transform ""; Y transform "LN(YDATA)".
    EXPECT_EQ(ToHex(StoreBytes([&](CArchive& ar) { eq->Serialize(ar); })),
              "01 00 00 00 "
              "00 00 00 00 01 00 01 61 01 00 00 01 00 01 78 01 00 00 00 00 00 00 00 00 "
              "01 00 00 00 00 00 00 00 00 40 01 79 01 00 00 00 00 00 00 00 "
              "00 00 00 00 01 00 00 00 09 00 00 00 7B 5C 72 74 66 31 20 79 7D "
              "00 00 "
              "09 79 20 3D 20 61 20 2A 20 78 "
              "00 "
              "09 4C 4E 28 59 44 41 54 41 29");
}

TEST(EquationStore, RoundTripCompilesOnLoad)
{
    auto eq = MakeEquation("z = 2\r\ny = a * x + z", {"a"}, {"x"}, {}, 0);
    eq->SetXTransform("XDATA");
    eq->SetYTransform("LN(YDATA)");
    eq->GetFormattedSource().SetRtf("{\\rtf1 y}");
    eq->Compile();
    Bytes bytes = StoreBytes([&](CArchive& ar) { eq->Serialize(ar); });
    // Version word 1, then the base record's version word 0.
    EXPECT_EQ(ToHex(Bytes(bytes.begin(), bytes.begin() + 8)), "01 00 00 00 00 00 00 00");
    CEquation back;
    EXPECT_EQ(LoadBytes(bytes, [&](CArchive& ar) { back.Serialize(ar); }), 0u);
    EXPECT_TRUE(back.IsValid());
    EXPECT_EQ(back.GetSource(), eq->GetSource());
    EXPECT_EQ(back.GetYTransform(), "LN(YDATA)");
    EXPECT_EQ(back.GetFormattedSource().GetRtf(), "{\\rtf1 y}");
    EXPECT_EQ(StoreBytes([&](CArchive& ar) { back.Serialize(ar); }), bytes);
    back.ResizeValues();
    back.GetParameterValues()[0] = 3;
    back.GetXValues()[0] = 4;
    EXPECT_EQ(back.Calculate(), 14);
}

TEST(EquationStore, CompileErrorOnLoadLeavesItInvalid)
{
    auto eq = MakeEquation("y = a +", {"a"});
    Bytes bytes = StoreBytes([&](CArchive& ar) { eq->Serialize(ar); });
    CEquation back;
    LoadBytes(bytes, [&](CArchive& ar) { back.Serialize(ar); });
    EXPECT_FALSE(back.IsValid());
    EXPECT_EQ(back.GetSource(), "y = a +");
}

TEST(EquationStore, VersionZeroReadsTheOlderOrder)
{
    Bytes bytes = StoreBytes([&](CArchive& ar) {
        ar << std::int32_t(0);                    // version
        ar << std::int32_t(0) << std::int32_t(0); // formatted source: version, no stream
        ArchiveStoreStrings(ar, {"k"});           // parameter names
        ArchiveStoreStrings(ar, {"Rate"});        // parameter labels
        ArchiveStoreStrings(ar, {"t"});           // X names
        ArchiveStoreStrings(ar, {""});
        ArchiveStoreStrings(ar, {});              // constants
        ArchiveStoreStrings(ar, {});
        ArchiveStoreStrings(ar, {"tmp"});         // local names
        ArchiveStoreStrings(ar, {"GRADIENT"});    // parameter definitions
        CMyVector values(1);
        values[0] = 0.5;
        values.Serialize(ar);
        ar << std::int32_t(0);                    // lenient
        ar.WriteString("conc");                   // Y name
        ar.WriteString("conc = EXP(-k * t)");
        ar << std::int32_t(1);                    // use definitions
        ar.WriteString("XDATA");
        ar.WriteString("LN(YDATA)");
    });
    CEquation eq;
    EXPECT_EQ(LoadBytes(bytes, [&](CArchive& ar) { eq.Serialize(ar); }), 0u);
    EXPECT_TRUE(eq.IsValid());
    EXPECT_EQ(eq.GetParameterName(0), "Rate");
    EXPECT_EQ(eq.GetYName(), "conc");
    EXPECT_EQ(eq.GetUseParameterDefinitions(), 1);
    EXPECT_EQ(eq.GetParameterDefinition(0), "GRADIENT");
    eq.ResizeValues();
    eq.GetXValues()[0] = 2;
    EXPECT_DOUBLE_EQ(eq.Calculate(), std::exp(-1.0));
}

TEST(EquationStore, DamagedInputFailsCleanly)
{
    auto eq = MakeEquation("y = a * x", {"a"}, {"x"});
    Bytes bytes = StoreBytes([&](CArchive& ar) { eq->Serialize(ar); });
    for (std::size_t cut = 0; cut < bytes.size(); cut += 3) {
        CEquation back;
        Bytes part(bytes.begin(), bytes.begin() + std::ptrdiff_t(cut));
        EXPECT_THROW(LoadBytes(part, [&](CArchive& ar) { back.Serialize(ar); }), CArchiveException) << cut;
    }
    // A huge string count is refused before anything is allocated.
    Bytes huge = HexBytes("01 00 00 00 00 00 00 00 FF FF FF FF FF 7F");
    CEquation back;
    EXPECT_THROW(LoadBytes(huge, [&](CArchive& ar) { back.Serialize(ar); }), CArchiveException);
    // A newer version is refused with the later-version message.
    RecordingReporter reporter;
    EXPECT_THROW(LoadBytes(HexBytes("02 00 00 00"), [&](CArchive& ar) { back.Serialize(ar); }),
                 CArchiveException);
    EXPECT_EQ(reporter.Ids(), std::vector<UINT>{25016});
}

TEST(EquationStore, ImportsAVersionThreeRecord)
{
    std::vector<unsigned char> record(5790, 0);
    auto put = [&](std::size_t offset, const char* text) {
        for (std::size_t i = 0; text[i]; ++i)
            record[offset + i] = static_cast<unsigned char>(text[i]);
    };
    put(60, "Amplitude");          // parameter label 0
    put(1060, "A");                // parameter names
    put(1060 + 12, "k");
    put(1420, "t");                // X name 0
    put(1540, "off");              // constant name 0
    put(1660, "y = A * EXP(-k * t) + off");
    record[2686] = 2;              // parameter count
    record[2688] = 1;              // constant count
    record[3590] = 1;              // definitions used
    put(3592, "XDATA");
    put(3653, "LN(YDATA)");
    put(3958, "EXP(INTERCEPT)");
    put(3958 + 61, "-GRADIENT");
    record[5788] = 1;              // X count
    CEquation eq;
    EXPECT_TRUE(eq.ImportOldDefinition(record.data(), record.size()));
    EXPECT_TRUE(eq.IsValid());
    EXPECT_EQ(eq.GetYName(), "y");
    EXPECT_EQ(eq.GetParameterName(0), "Amplitude");
    EXPECT_EQ(eq.GetParameterName(1), "k");
    EXPECT_EQ(eq.GetConstantName(0), "off");
    EXPECT_EQ(eq.GetParameterDefinition(1), "-GRADIENT");
    EXPECT_EQ(eq.GetXTransform(), "XDATA");
    EXPECT_FALSE(eq.ImportOldDefinition(record.data(), 100));
}

} // namespace
