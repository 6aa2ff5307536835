#include "equation/Equation.h"
#include "equation/MyError.h"
#include "EquationTestSupport.h"
#include "platform/StringTable.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

struct ErrorCase {
    const char* source;
    int id;
    int start, end; // the offending text: offsets into the source, counted by hand
    const char* text = "";
};

void PrintTo(const ErrorCase& c, std::ostream* os) { *os << c.id << ": " << c.source; }

class CompileError : public ::testing::TestWithParam<ErrorCase> {
};

TEST_P(CompileError, ReportsIdAndRange)
{
    const ErrorCase& c = GetParam();
    // Lenient, with one parameter a and one X variable x.
    auto eq = MakeEquation(c.source, {"a"}, {"x"});
    try {
        eq->Compile();
        FAIL() << "compiled";
    } catch (const CParseErr& error) {
        EXPECT_EQ(error.m_nID, c.id);
        EXPECT_EQ(error.m_strText, c.text);
        EXPECT_EQ(error.m_nStart, c.start);
        EXPECT_EQ(error.m_nEnd, c.end);
        EXPECT_EQ(eq->GetErrorStart(), c.start);
        EXPECT_EQ(eq->GetErrorEnd(), c.end);
        EXPECT_TRUE(HasString(UINT(c.id)));
    }
    EXPECT_FALSE(eq->IsValid());
}

INSTANTIATE_TEST_SUITE_P(Messages, CompileError, ::testing::Values(
    ErrorCase{"y = a + q", 8196, 8, 9, "q"},
    ErrorCase{"IF(x>0)THEN", 8196, 0, 2, "IF"},     // read as an expression line
    ErrorCase{"y = 2 +", 8197, 4, 7},               // an operand still expected at the end
    ErrorCase{"y = * 2", 8197, 4, 5},
    ErrorCase{"y = (2 + )", 8197, 9, 10},
    ErrorCase{"y =", 8197, 3, 3},                   // an empty expression after "="
    ErrorCase{"= 3", 8197, 0, 0},                   // no target
    ErrorCase{"y + 1 = 3", 8199, 0, 5},             // a target that is no name
    ErrorCase{"y = 2x", 8198, 5, 6},                // no implied multiplication
    ErrorCase{"y = 3..4", 8198, 6, 8},              // "3." then ".4"
    ErrorCase{"y = x (2)", 8198, 6, 7},
    ErrorCase{"y = 2 # 3", 8199, 6, 7},
    ErrorCase{"y = x <", 8199, 6, 7},
    ErrorCase{"y = .", 8199, 4, 5},
    ErrorCase{"y = 2)", 8200, 5, 6},
    ErrorCase{"y = (2", 8201, 4, 6},
    ErrorCase{": loop\r\ny = 1", 8202, 0, 6},
    ErrorCase{":loop x\r\ny = 1", 8202, 0, 7},
    ErrorCase{"FOR i = 1 UNTIL 3\r\nNEXT\r\ny = 1", 8203, 0, 17},
    ErrorCase{"FOR i = 1 TO STEP 2\r\nNEXT\r\ny = 1", 8204, 0, 19},
    ErrorCase{"FOR i = 1 TO 3 STEP\r\nNEXT\r\ny = 1", 8205, 0, 19},
    ErrorCase{"FOR i = 1 TO\r\nNEXT\r\ny = 1", 8206, 0, 12},
    ErrorCase{"FOR = 1 TO 2\r\nNEXT\r\ny = 1", 8206, 0, 12},
    ErrorCase{"FOR i = TO 2\r\nNEXT\r\ny = 1", 8197, 8, 8},
    // ":=" makes any line an assignment: the target "FOR i", then TO is no symbol.
    ErrorCase{"FOR i := 1 TO 3\r\nNEXT\r\ny = 1", 8196, 11, 13, "TO"},
    ErrorCase{"FOR i :=", 8197, 8, 8},
    ErrorCase{"IF x > 0\r\ny = 1\r\nENDIF", 8207, 0, 8},
    ErrorCase{"IF x > 0 THEN y = 1", 8208, 0, 19},
    ErrorCase{"IF 1 THEN\r\ny = 1\r\nENDIF x", 8209, 18, 25},
    ErrorCase{"2 + 3\r\n4 + 5", 8210, 7, 12},
    ErrorCase{"y = 1\r\nENDIF", 8211, 7, 12},
    ErrorCase{"y = 1\r\nELSE", 8212, 7, 11},
    ErrorCase{"y = 1\r\nNEXT", 8213, 7, 11},
    ErrorCase{":a\r\n:A\r\ny = 1\r\nGOTO a", 8214, 4, 6},
    ErrorCase{"IF 1 THEN\r\ny = 1", 8215, 0, 9},
    ErrorCase{"FOR i = 1 TO 2\r\ny = 1", 8216, 0, 14},
    ErrorCase{"y = 1\r\nGOTO nowhere", 8217, 7, 19},
    ErrorCase{":unused\r\ny = 1", 8218, 0, 7},
    ErrorCase{"IF 1 THEN\r\ny = 1\r\nELSE junk\r\nENDIF", 8219, 18, 27},
    ErrorCase{"IF 1 THEN\r\ny = 1\r\nELSE y = 2\r\nENDIF", 8219, 18, 28},
    ErrorCase{"z = 1", 8220, 0, 5},
    ErrorCase{"y = SIN(1, 2)", 8481, 9, 10}));

TEST(Compile, EmptyAndHexTexts)
{
    // "y =" has an empty expression; "0x1F" is the number 0 followed by the
    // name x1F, which is unknown.
    auto eq = MakeEquation("y = 0x1F", {}, {"x"});
    try {
        eq->Compile();
        FAIL();
    } catch (const CParseErr& error) {
        EXPECT_EQ(error.m_nID, 8196);
        EXPECT_EQ(error.m_strText, "x1F");
    }
}

TEST(Compile, UnusedSymbolsUnlessLenient)
{
    struct Case {
        const char* source;
        int id;
        const char* name;
    } cases[] = {
        {"y = a * c", 8221, "x"},
        {"y = x * c", 8222, "a"},
        {"y = a * x", 8223, "c"},
    };
    for (const Case& c : cases) {
        auto eq = MakeEquation(c.source, {"a"}, {"x"}, {"c"}, 0);
        try {
            eq->Compile();
            ADD_FAILURE() << c.source;
        } catch (const CParseErr& error) {
            EXPECT_EQ(error.m_nID, c.id);
            EXPECT_EQ(error.m_strText, c.name);
            RecordingReporter reporter;
            error.ReportError();
            ASSERT_EQ(reporter.messages.size(), 1u);
            EXPECT_EQ(reporter.messages[0].helpId, UINT(c.id));
            EXPECT_EQ(reporter.messages[0].type, UINT(MB_OK | MB_ICONEXCLAMATION));
        }
        eq->SetModeFlag(1);
        EXPECT_NO_THROW(eq->Compile()) << c.source;
    }
    // The message names the symbol.
    EXPECT_EQ(CParseErr(8222, "a").GetMessage(), "Parameter \"a\" has not been used.");
}

TEST(Compile, ParameterDefinitionsAreChecked)
{
    auto eq = MakeEquation("y = a * x + b", {"a", "b"}, {"x"}, {}, 0);
    eq->SetUseParameterDefinitions(1);
    eq->SetParameterDefinition(0, "GRADIENT");
    try {
        eq->Compile();
        FAIL();
    } catch (const CParseErr& error) {
        EXPECT_EQ(error.m_nID, 8241);
        EXPECT_EQ(error.m_strText, "2");
        EXPECT_EQ(error.GetMessage(), "Parameter definition #2 is missing.");
    }
    eq->SetParameterDefinition(1, "MAX - (MIN +");
    try {
        eq->Compile();
        FAIL();
    } catch (const CParseErr& error) {
        EXPECT_EQ(error.m_nID, 8201);
        EXPECT_EQ(error.m_nDefinition, 1);
        EXPECT_EQ(error.m_nStart, 0);
        EXPECT_EQ(error.m_nEnd, 12);
    }
    // The data-range names are known in definitions only.
    eq->SetParameterDefinition(1, "(MAX + MIN) / 2 + MAXX - MINX + INTERCEPT");
    EXPECT_NO_THROW(eq->Compile());
    eq->SetSource("y = a * x + b + MAX");
    EXPECT_THROW(eq->Compile(), CParseErr);
    // YCALC belongs to the data transformation only.
    eq->SetSource("y = a * x + b");
    eq->SetParameterDefinition(1, "YCALC");
    try {
        eq->Compile();
        FAIL();
    } catch (const CParseErr& error) {
        EXPECT_EQ(error.m_nID, 8196);
    }
}

// An equation with a two-argument function, as the table equation has: the
// commas of its argument list are counted.
class CTwoArgumentEquation : public CEquation {
protected:
    std::optional<CEqnToken> CreateVariable(std::string_view name) override
    {
        if (name == "HYPOT") {
            CEqnToken t;
            t.kind = CEqnToken::Prefix;
            t.precedence = kPrecPrefix;
            t.commas = 1;
            t.instr.op = EOpCode::Hook;
            t.instr.arg = 7;
            t.instr.aux = 2;
            return t;
        }
        return CEquation::CreateVariable(name);
    }
    double* RunHook(int code, double* sp) override
    {
        // The arguments are on the stack with the second on top.
        sp[-2] = std::hypot(sp[-2], sp[-1]);
        return sp - 1;
    }
};

TEST(Compile, CommaCounts)
{
    struct Case {
        const char* source;
        int id; // 0: compiles
        double value;
    } cases[] = {
        {"y = HYPOT(3, 4)", 0, 5},
        {"y = 1 + HYPOT(3 * 2, 2 ^ 3) * 2", 0, 21},   // 1 + 10 * 2
        {"y = HYPOT(HYPOT(3, 4), 12)", 0, 13},
        {"y = HYPOT(3)", 8480, 0},
        {"y = HYPOT(1, 2, 3)", 8481, 0},
        {"y = HYPOT 3, 4", 8199, 0},  // no parentheses: the list cannot be read
    };
    for (const Case& c : cases) {
        auto eq = MakeEquation<CTwoArgumentEquation>(c.source);
        if (c.id == 0) {
            eq->Compile();
            EXPECT_DOUBLE_EQ(eq->Calculate(), c.value) << c.source;
        } else {
            try {
                eq->Compile();
                ADD_FAILURE() << c.source;
            } catch (const CParseErr& error) {
                EXPECT_EQ(error.m_nID, c.id) << c.source;
            }
        }
    }
}

TEST(Compile, ProgramIsFlatWithItsStackDepth)
{
    // Constants are folded; an operator reads a simple right operand itself.
    auto folded = MakeEquation("y = (1 + (2 + (3 + 4))) * x", {}, {"x"});
    folded->Compile();
    // The product 10 x goes to the result without the stack; then stop.
    EXPECT_EQ(folded->GetProgram().code.size(), 2u);
    EXPECT_EQ(folded->GetProgram().depth, 0);
    folded->ResizeValues();
    folded->GetXValues()[0] = 3;
    EXPECT_EQ(folded->Calculate(), 30);

    // (a x + b) (c x + a) + (b x + c): two partial results are held at once.
    auto eq = MakeEquation("y = (a*x + b) * (c*x + a) + (b*x + c)", {"a", "b", "c"}, {"x"});
    eq->Compile();
    EXPECT_EQ(eq->GetProgram().depth, 2);
    EXPECT_EQ(eq->GetProgram().code.size(), 10u); // three products, three adds, *, +, store, stop
    eq->ResizeValues();
    eq->GetParameterValues()[0] = 2;
    eq->GetParameterValues()[1] = 3;
    eq->GetParameterValues()[2] = 5;
    eq->GetXValues()[0] = 7;
    EXPECT_EQ(eq->Calculate(), (2 * 7 + 3) * (5 * 7 + 2) + (3 * 7 + 5)); // 17 * 37 + 26
}

TEST(Compile, ProductsCarryTheirSignAndSimpleLeftOperandsMove)
{
    // y = a exp(-b x): minus the product of b and x, exp, times a, store
    // and stop: four instructions run, and the final Stop.
    auto eq = MakeEquation("y = a*exp(-b*x)", {"a", "b"}, {"x"});
    eq->Compile();
    EXPECT_EQ(eq->GetProgram().code.size(), 5u);
    EXPECT_EQ(eq->GetProgram().depth, 1);

    // Each rewritten form gives bit for bit what the plain reading gives,
    // signed zeros included (b = 0 makes every product a zero).
    const char* sources[] = {
        "y = -(b*x)", "y = (-b)*x", "y = -(-(b*x))", "y = a - -(b*x)", "y = a + -(b*x)", "y = a - (-b)*x",
        "y = a * (x + b*x)", "y = a + EXP(-b*x) * (a - x)", "y = a * -(b*x) + x", "y = -b*x*a",
        "y = a * (b + x) / (x - b)", "y = a + (x*x - b)",
    };
    const double values[][3] = {{2, 0, -1}, {2, 0, 1}, {-1.5, 0.75, 3}, {0, -0.5, -2}};
    for (const char* source : sources) {
        for (const auto& v : values) {
            double results[2];
            for (bool optimize : {true, false}) {
                CEquation::EnableOptimizer(optimize);
                auto e = MakeEquation(source, {"a", "b"}, {"x"});
                e->Compile();
                e->ResizeValues();
                e->GetParameterValues()[0] = v[0];
                e->GetParameterValues()[1] = v[1];
                e->GetXValues()[0] = v[2];
                results[optimize ? 0 : 1] = e->Calculate();
            }
            CEquation::EnableOptimizer(true);
            EXPECT_EQ(std::signbit(results[0]), std::signbit(results[1])) << source << " b=" << v[1] << " x=" << v[2];
            EXPECT_EQ(results[0], results[1]) << source;
        }
    }
    // By hand: a = 2, b = 3, x = 5.
    auto check = MakeEquation("y = 2 - -(b*x) + a * (x - -(a*b))", {"a", "b"}, {"x"});
    check->Compile();
    check->ResizeValues();
    check->GetParameterValues()[0] = 2;
    check->GetParameterValues()[1] = 3;
    check->GetXValues()[0] = 5;
    EXPECT_EQ(check->Calculate(), 2 + 15 + 2 * (5 + 6));
}

TEST(Compile, ValidSymbolNames)
{
    EXPECT_TRUE(IsValidSymbolName("_a1"));
    EXPECT_TRUE(IsValidSymbolName("Rate"));
    EXPECT_FALSE(IsValidSymbolName(""));
    EXPECT_FALSE(IsValidSymbolName("1a"));
    EXPECT_FALSE(IsValidSymbolName("a-b"));
    EXPECT_FALSE(IsValidSymbolName("a b"));
}

} // namespace

namespace {

// Random token strings: whatever compiles runs without touching memory it
// should not, and the rewritten program gives what the plain reading gives.
TEST(Compile, RandomExpressionsAgreeWithThePlainReading)
{
    const char* tokens[] = {"a", "x", "b", "2", "3", "0", "1.5", "+", "-", "*", "/", "^", "(", ")", "SIN", "EXP",
                            "SQRT", "_PI_", ",", "<", ">=", "=", "-", "(", ")", "x", "a"};
    std::uint64_t state = 0x243F6A8885A308D3ull;
    auto next = [&] {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return unsigned(state >> 33);
    };
    auto run = [](const std::string& source, bool optimize, double& value) {
        CEquation::EnableOptimizer(optimize);
        auto eq = MakeEquation(source, {"a", "b"}, {"x"});
        int outcome = 0; // 0 value, 1 compile error, 2 run error
        try {
            eq->Compile();
            eq->ResizeValues();
            eq->GetParameterValues()[0] = 1.25;
            eq->GetParameterValues()[1] = -0.5;
            eq->GetXValues()[0] = 3.0;
            value = eq->Calculate();
        } catch (const CParseErr&) {
            outcome = 1;
        } catch (const CMyError&) {
            outcome = 2;
        }
        CEquation::EnableOptimizer(true);
        return outcome;
    };
    int compiled = 0;
    for (int i = 0; i < 20000; ++i) {
        std::string source = "y =";
        const int n = 1 + int(next() % 12);
        for (int k = 0; k < n; ++k) {
            source += ' ';
            source += tokens[next() % (sizeof tokens / sizeof tokens[0])];
        }
        double fast = 0, plain = 0;
        const int a = run(source, true, fast);
        const int b = run(source, false, plain);
        ASSERT_EQ(a, b) << source;
        if (a == 0) {
            ++compiled;
            if (std::isnan(plain))
                EXPECT_TRUE(std::isnan(fast)) << source;
            else if (std::isinf(plain))
                EXPECT_EQ(fast, plain) << source;
            else // cubes by multiplication may differ from pow in the last bit
                EXPECT_NEAR(fast, plain, 1e-14 * std::fabs(plain)) << source;
        }
    }
    EXPECT_GT(compiled, 500); // about 1 in 20 of these strings is a valid expression
}

} // namespace

namespace {

// Random FOR loops (TO and DOWNTO, with and without STEP, steps of 0 and
// limits that are not numbers, loop variables changed in the body, nested
// loops, jumps out of and into a loop): the fused loop ends and stores give
// bit for bit what the plain reading gives, and a loop that never ends runs
// into the budget either way.
TEST(Compile, RandomLoopsAgreeWithThePlainReading)
{
    const char* bounds[] = {"0", "1", "3", "-2", "0.5", "2.5", "a", "b", "x", "s", "i", "-a", "SQRT(-1)", "a+1", "2*b"};
    const char* steps[] = {"1", "-1", "0.5", "-0.75", "0", "a", "b", "x", "i", "SQRT(-1)", "s", "a*2"};
    const char* bodies[] = {"s = s*x + a", "s = i*s - b", "s = s + i", "s = a*s + i", "s = s*s - x", "s = 2*i + s",
                            "i = i + 0.5", "s = s - i*x", "n = n + 1", "s = s/2 + i",
                            "IF s > 4 THEN\r\nGOTO out\r\nENDIF", "i = i*2"};
    std::uint64_t state = 0x9E3779B97F4A7C15ull;
    auto next = [&] {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return unsigned(state >> 33);
    };
    auto pick = [&](const auto& list) { return std::string(list[next() % (sizeof list / sizeof list[0])]); };
    auto forLine = [&](const char* var) {
        std::string line = std::string("FOR ") + var + " = " + pick(bounds) + (next() % 3 == 0 ? " DOWNTO " : " TO ")
            + pick(bounds);
        if (next() % 2)
            line += " STEP " + pick(steps);
        return line + "\r\n";
    };
    int fusedEnds = 0, fusedStores = 0;
    auto run = [&](const std::string& source, bool optimize, double& value) {
        CEquation::EnableOptimizer(optimize);
        auto eq = MakeEquation(source, {"a", "b"}, {"x"});
        int outcome = 0; // 0 value, 1 compile error, 2 other run error, 3 over budget
        try {
            eq->Compile();
            for (const SEqnInstruction& in : eq->GetProgram().code) {
                fusedEnds += in.op == EOpCode::ForNextTo || in.op == EOpCode::ForNextDownTo;
                fusedStores += in.op == EOpCode::StoreProductAdd || in.op == EOpCode::StoreProductSubtract;
            }
            eq->ResizeValues();
            eq->SetInstructionBudget(200000);
            eq->GetParameterValues()[0] = 1.25;
            eq->GetParameterValues()[1] = -0.5;
            eq->GetXValues()[0] = 0.75;
            value = eq->Calculate();
        } catch (const CParseErr&) {
            outcome = 1;
        } catch (const CMyRunLimitError&) {
            outcome = 3;
        } catch (const CMyError&) {
            outcome = 2;
        }
        CEquation::EnableOptimizer(true);
        return outcome;
    };
    int finished = 0, endless = 0, compileErrors = 0;
    for (int i = 0; i < 3000; ++i) {
        const char* starts[] = {"0", "1", "-2", "a", "x"};
        std::string source = "s = " + pick(starts) + "\r\nn = 0\r\n";
        if (next() % 4 == 0)
            source += "GOTO in\r\n";
        source += forLine("i");
        const bool nested = next() % 3 == 0;
        if (nested)
            source += forLine("k") + "s = s + k*x\r\n";
        source += pick(bodies) + "\r\n";
        if (source.find("GOTO in") != std::string::npos)
            source += ":in\r\n";
        source += pick(bodies) + "\r\n";
        if (nested)
            source += "NEXT\r\n";
        const char* results[] = {"y = s + i + n", "y = s*i", "y = a*s - n"};
        source += "NEXT\r\n:out\r\n" + pick(results) + "\r\n";
        if (source.find("GOTO out") == std::string::npos) // the label must be used
            source += "IF n < 0 THEN\r\nGOTO out\r\nENDIF\r\n";
        double fast = 0, plain = 0;
        const int a = run(source, true, fast);
        const int b = run(source, false, plain);
        ASSERT_EQ(a, b) << source;
        if (a == 0) {
            ++finished;
            EXPECT_EQ(std::memcmp(&fast, &plain, sizeof fast), 0) << source << "\r\n" << fast << " " << plain;
        }
        endless += a == 3;
        if (a == 1)
            ADD_FAILURE() << source;
        compileErrors += a == 1;
    }
    // Most loops end, and some never do (a step of 0, the wrong way or a
    // limit that is not a number).
    EXPECT_GT(finished, 1000) << endless << " " << compileErrors;
    EXPECT_GT(endless, 100);
    EXPECT_EQ(compileErrors, 0);
    // The fused forms are there to be compared.
    EXPECT_GT(fusedEnds, 2000);
    EXPECT_GT(fusedStores, 1000);
}

} // namespace

namespace {

// "v0 = 0" ... "v<n-1> = n-1", then "y = v1": n locals, each named once.
std::string ManyLocals(int n)
{
    std::string source;
    for (int i = 0; i < n; ++i)
        source += "v" + std::to_string(i) + " = " + std::to_string(i) + "\n";
    return source + "y = v1\n";
}

} // namespace

TEST(Compile, TwentyThousandLocalsOfAStoredEquationCompile)
{
    // The equation text of a workspace that once took seconds to open: the
    // names were looked up by a list search. The test's timeout bounds it.
    const Bytes text = ReadRepro("eqloc_20000.txt");
    auto eq = MakeEquation(std::string(text.begin(), text.end()));
    eq->Compile();
    EXPECT_EQ(eq->GetLocalNames().size(), 20000u);
    eq->ResizeValues();
    EXPECT_EQ(eq->Calculate(), 1.0);
}

TEST(Compile, FiftyThousandLocalsCompileAndNamesMatchWithoutCase)
{
    auto eq = MakeEquation(ManyLocals(50000) + "V49999 = v49999 + 1\ny = V49999 - v2\n");
    eq->Compile();
    ASSERT_EQ(eq->GetLocalNames().size(), 50000u);
    eq->ResizeValues();
    EXPECT_EQ(eq->Calculate(), 49998.0);
}

TEST(Compile, TooLargeEquationsAreRefusedWithAMessage)
{
    struct Case {
        std::string source;
        const char* what;
    };
    const Case cases[] = {
        {std::string(CEquation::kMaxSourceBytes, ' ') + "\ny = 1", "4,194,304 characters"},
        {ManyLocals(CEquation::kMaxLocals + 1), "200,000 variables"},
    };
    for (const Case& c : cases) {
        auto eq = MakeEquation(c.source);
        try {
            eq->Compile();
            ADD_FAILURE() << c.what << " compiled";
        } catch (const CParseErr& error) {
            EXPECT_EQ(error.m_nID, 8520);
            EXPECT_EQ(error.GetMessage(),
                      std::string("The equation is too large to compile: an equation may hold at most ") + c.what + ".");
        }
        EXPECT_FALSE(eq->IsValid());
    }
    // Exactly at the limit of locals it still compiles.
    auto eq = MakeEquation(ManyLocals(CEquation::kMaxLocals));
    eq->Compile();
    EXPECT_EQ(eq->GetLocalNames().size(), std::size_t(CEquation::kMaxLocals));
}
