#include "equation/EquationMath.h"
#include "equation/MyError.h"
#include "EquationTestSupport.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>

namespace {

struct MathErrorCase {
    const char* source;
    int type;
    const char* function;
    UINT reportId;
};

TEST(MathError, ThrowingFunctionsReportTypeAndName)
{
    const MathErrorCase cases[] = {
        {"y = ACOS(2)", CMyMathError::domainError, "acos", 8470},
        {"y = ASIN(-1.5)", CMyMathError::domainError, "asin", 8470},
        {"y = (-8)^(1/3)", CMyMathError::domainError, "pow", 8470},
        {"y = 0^-1", CMyMathError::singularityError, "pow", 8471},
        {"y = 10^400", CMyMathError::overflowError, "pow", 8472},
        {"y = ALOG(400)", CMyMathError::overflowError, "pow", 8472},
        {"y = 1e200^2", CMyMathError::overflowError, "pow", 8472},   // a square by multiplication
        {"y = (-1e200)^3", CMyMathError::overflowError, "pow", 8472},
    };
    for (const MathErrorCase& c : cases) {
        try {
            Evaluate(c.source);
            ADD_FAILURE() << c.source;
        } catch (const CMyMathError& error) {
            EXPECT_EQ(error.m_type, c.type) << c.source;
            EXPECT_EQ(error.m_name, c.function);
            RecordingReporter reporter;
            error.ReportError();
            ASSERT_EQ(reporter.Ids(), std::vector<UINT>{c.reportId});
            EXPECT_EQ(reporter.messages[0].args[0], c.function);
            EXPECT_EQ(reporter.messages[0].type, UINT(MB_OK));
            EXPECT_EQ(error.ShortMessage(), std::string("ERROR - in ") + c.function + " function");
        }
    }
}

TEST(MathError, ReportTextsForEveryType)
{
    const std::pair<int, UINT> types[] = {{1, 8470}, {2, 8471}, {3, 8472}, {4, 8475}, {5, 8474}, {6, 8473}, {9, 8476}};
    for (auto [type, id] : types) {
        CMyMathError error(type, "exp", 1, 0, 0);
        RecordingReporter reporter;
        error.ReportError();
        EXPECT_EQ(reporter.Ids(), std::vector<UINT>{id});
        EXPECT_NE(reporter.messages[0].text.find("\"exp\""), std::string::npos);
    }
    CMyDivideByZeroError divide;
    RecordingReporter reporter;
    divide.ReportError();
    EXPECT_EQ(reporter.Ids(), std::vector<UINT>{8477});
    EXPECT_EQ(reporter.messages[0].text, "Division by zero error.");
}

TEST(MathError, QuietFunctionsGiveNaNOrInfinity)
{
    EXPECT_NO_THROW(Evaluate("y = SQRT(-1) + LN(-1) + LOG(0) + EXP(5000) + TAN(1e300)"));
    EXPECT_EQ(Evaluate("y = 10^-400"), 0.0); // an underflow is a representable answer
    EXPECT_TRUE(std::isnan(Evaluate("y = ACOS(SQRT(-1))"))); // not-a-number passes through
}

struct ScanCase {
    const char* text;
    int length;
    double value;
};

TEST(NumberScanner, StrictDecimalGrammar)
{
    const ScanCase cases[] = {
        {"12", 2, 12},     {"3.", 2, 3},         {".5", 2, 0.5},     {"3..4", 2, 3},
        {"1e-5", 4, 1e-5}, {".5E+2", 5, 50},     {"2x", 1, 2},       {"1e", 1, 1},
        {"1e+", 1, 1},     {"0x1F", 1, 0},       {"1.5e3.2", 5, 1500}, {".", 0, 0},
        {"e5", 0, 0},      {"1e400", 5, HUGE_VAL}, {"1e-400", 6, 0},
        {"0.1", 3, 0.1},   // correctly rounded: the double nearest 1/10
        {"123456789012345678901234567890", 30, 1.2345678901234568e29},
    };
    for (const ScanCase& c : cases) {
        double v = -1;
        EXPECT_EQ(ScanDecimalNumber(c.text, v), c.length) << c.text;
        if (c.length > 0) {
            EXPECT_EQ(v, c.value) << c.text;
        }
    }
}

TEST(NumberScanner, IgnoresTheLocale)
{
    // A locale with a decimal comma must not change what "2.5" means.
    const char* old = std::setlocale(LC_NUMERIC, nullptr);
    std::string saved = old ? old : "C";
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8"))
        std::setlocale(LC_NUMERIC, "fr_FR.UTF-8");
    EXPECT_EQ(Evaluate("y = 2.5 * 2"), 5.0);
    std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(Random, UniformRangeAndNormalMoments)
{
    SeedEquationRandom(12345);
    double lo = 1, hi = 0;
    for (int i = 0; i < 100000; ++i) {
        const double u = Evaluate("y = _RND_");
        lo = std::min(lo, u);
        hi = std::max(hi, u);
    }
    EXPECT_GE(lo, 0.0);
    EXPECT_LE(hi, 1.0);
    EXPECT_LT(lo, 0.001);
    EXPECT_GT(hi, 0.999);

    auto eq = MakeEquation("y = _GRND_");
    eq->Compile();
    double sum = 0, sum2 = 0;
    const int n = 200000;
    for (int i = 0; i < n; ++i) {
        const double g = eq->Calculate();
        sum += g;
        sum2 += g * g;
    }
    // Standard errors: mean 1/sqrt(n) = 0.0022, variance sqrt(2/n) = 0.0032.
    EXPECT_NEAR(sum / n, 0.0, 0.011);
    EXPECT_NEAR(sum2 / n, 1.0, 0.016);
}

TEST(Random, SecondNormalDeviateComesFromTheCache)
{
    // The pair (v f, u f) comes from one pair of uniform numbers: after a
    // reseed, the two draws are reproduced from the same uniforms by hand.
    SeedEquationRandom(99);
    const double first = EquationGaussian();
    const double second = EquationGaussian();
    SeedEquationRandom(99);
    double u, v, s;
    do {
        u = EquationRandom15() * (2.0 / 32767.0) - 1.0;
        v = EquationRandom15() * (2.0 / 32767.0) - 1.0;
        s = u * u + v * v;
    } while (!(s > 0 && s < 1));
    const double f = std::sqrt(-2.0 * std::log(s) / s);
    EXPECT_EQ(first, v * f);
    EXPECT_EQ(second, u * f);
}

} // namespace
