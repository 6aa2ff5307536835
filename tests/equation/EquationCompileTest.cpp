#include "equation/Equation.h"
#include "equation/MyError.h"
#include "EquationTestSupport.h"
#include "platform/StringTable.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

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

// The fixed sequence of the random tests.
struct SRandom {
    std::uint64_t state;
    unsigned Next()
    {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return unsigned(state >> 33);
    }
    template <class List>
    std::string Pick(const List& list)
    {
        return std::string(list[Next() % (sizeof list / sizeof list[0])]);
    }
};

// "y =" and 1 to 12 random tokens: a parameter a or b, x, numbers,
// operators, parentheses, functions.
std::string RandomExpression(SRandom& r)
{
    const char* tokens[] = {"a", "x", "b", "2", "3", "0", "1.5", "+", "-", "*", "/", "^", "(", ")", "SIN", "EXP",
                            "SQRT", "_PI_", ",", "<", ">=", "=", "-", "(", ")", "x", "a"};
    std::string source = "y =";
    const int n = 1 + int(r.Next() % 12);
    for (int k = 0; k < n; ++k)
        source += ' ' + r.Pick(tokens);
    return source;
}

// Two to four statements without jumps over locals u and v and the result:
// parameters that reach the result through locals, locals written twice,
// the result read back, sums of a local and a value, products. A local is
// read only once written (a local read first makes the points run one by
// one, which other programs try).
std::string RandomStatements(SRandom& r)
{
    const char* terms[] = {"a", "b", "x", "2", "0.5", "EXP(-a*x)", "SIN(b*x)", "a*x", "x^2", "(a - x)", "b*b",
                           "SQRT(x)", "LN(x + b*b)", "u", "v", "y", "u*a", "EXP(v)"};
    const char* ops[] = {" + ", " - ", " * ", " / "};
    const char* targets[] = {"u", "v", "y"};
    bool written[3] = {};
    auto term = [&] {
        for (;;) {
            const std::string t = r.Pick(terms);
            const int local = t[0] == 'u' ? 0 : t[0] == 'v' || t == "EXP(v)" ? 1 : t[0] == 'y' ? 2 : -1;
            if (local < 0 || written[local])
                return t;
        }
    };
    auto expression = [&] {
        std::string e = term();
        const int n = int(r.Next() % 4);
        for (int k = 0; k < n; ++k)
            e += r.Pick(ops) + term();
        return e;
    };
    std::string source;
    const int n = 1 + int(r.Next() % 3);
    for (int k = 0; k < n; ++k) {
        const int target = int(r.Next() % 3);
        const std::string name = targets[target];
        // "u = u + a" and "u = a*x + b" compile to instructions of their own.
        const unsigned form = r.Next() % 4;
        if (form == 0 && written[target])
            source += name + " = " + name + " + " + term() + "\r\n";
        else if (form == 1)
            source += name + " = a*x + " + term() + "\r\n";
        else
            source += name + " = " + expression() + "\r\n";
        written[target] = true;
    }
    return source + "y = " + expression() + "\r\n";
}

// A random FOR loop (TO or DOWNTO, with or without STEP, steps of 0 and
// limits that are not numbers, the loop variable changed in the body, a
// nested loop, jumps out of and into the loop) over s, i, k and n.
std::string RandomLoop(SRandom& r)
{
    const char* bounds[] = {"0", "1", "3", "-2", "0.5", "2.5", "a", "b", "x", "s", "i", "-a", "SQRT(-1)", "a+1", "2*b"};
    const char* steps[] = {"1", "-1", "0.5", "-0.75", "0", "a", "b", "x", "i", "SQRT(-1)", "s", "a*2"};
    const char* bodies[] = {"s = s*x + a", "s = i*s - b", "s = s + i", "s = a*s + i", "s = s*s - x", "s = 2*i + s",
                            "i = i + 0.5", "s = s - i*x", "n = n + 1", "s = s/2 + i",
                            "IF s > 4 THEN\r\nGOTO out\r\nENDIF", "i = i*2"};
    auto forLine = [&](const char* var) {
        std::string line = std::string("FOR ") + var + " = " + r.Pick(bounds) + (r.Next() % 3 == 0 ? " DOWNTO " : " TO ")
            + r.Pick(bounds);
        if (r.Next() % 2)
            line += " STEP " + r.Pick(steps);
        return line + "\r\n";
    };
    const char* starts[] = {"0", "1", "-2", "a", "x"};
    std::string source = "s = " + r.Pick(starts) + "\r\nn = 0\r\n";
    if (r.Next() % 4 == 0)
        source += "GOTO in\r\n";
    source += forLine("i");
    const bool nested = r.Next() % 3 == 0;
    if (nested)
        source += forLine("k") + "s = s + k*x\r\n";
    source += r.Pick(bodies) + "\r\n";
    if (source.find("GOTO in") != std::string::npos)
        source += ":in\r\n";
    source += r.Pick(bodies) + "\r\n";
    if (nested)
        source += "NEXT\r\n";
    const char* results[] = {"y = s + i + n", "y = s*i", "y = a*s - n"};
    source += "NEXT\r\n:out\r\n" + r.Pick(results) + "\r\n";
    if (source.find("GOTO out") == std::string::npos) // the label must be used
        source += "IF n < 0 THEN\r\nGOTO out\r\nENDIF\r\n";
    return source;
}

// Random token strings: whatever compiles runs without touching memory it
// should not, and the rewritten program gives what the plain reading gives.
TEST(Compile, RandomExpressionsAgreeWithThePlainReading)
{
    SRandom random{0x243F6A8885A308D3ull};
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
        const std::string source = RandomExpression(random);
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
// The 3,000 random loops run in three shards (every third loop of the one
// sequence), so that each test stays well inside its time limit on a busy
// machine; the counts below are each shard's share.
class RandomLoops : public ::testing::TestWithParam<int> {};

INSTANTIATE_TEST_SUITE_P(Compile, RandomLoops, ::testing::Range(0, 3));

TEST_P(RandomLoops, AgreeWithThePlainReading)
{
    constexpr int kShards = 3;
    SRandom random{0x9E3779B97F4A7C15ull};
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
        const std::string source = RandomLoop(random);
        if (i % kShards != GetParam())
            continue;
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
    EXPECT_GT(finished, 1000 / kShards) << endless << " " << compileErrors;
    EXPECT_GT(endless, 100 / kShards);
    EXPECT_EQ(compileErrors, 0);
    // The fused forms are there to be compared.
    EXPECT_GT(fusedEnds, 2000 / kShards);
    EXPECT_GT(fusedStores, 1000 / kShards);
}

} // namespace

namespace {

// Counts the points that run one by one: the block runs evaluate without
// Calculate and fall back on it.
class CPointCountingEquation : public CEquation {
public:
    double Calculate() override
    {
        ++m_points;
        return CEquation::Calculate();
    }
    long m_points = 0;
};

// The kind and short text of an error, empty when there is none.
template <class F>
std::string Outcome(F f)
{
    try {
        f();
        return {};
    } catch (const CMyRunLimitError& e) {
        return "limit: " + e.ShortMessage();
    } catch (const CMyMathError& e) {
        return "math: " + e.ShortMessage();
    } catch (const CMyDivideByZeroError& e) {
        return "divide: " + e.ShortMessage();
    }
}

// The same bits, except that any two not-a-numbers are alike: which of two
// not-a-number operands a sum or product passes on (its sign and payload) is
// the machine code's choice, not the program's, and differs between builds
// of one and the same line (x += y against x + y).
bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0 || (std::isnan(a) && std::isnan(b)); }

bool SameBits(const std::vector<double>& a, const std::vector<double>& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (!SameBits(a[i], b[i]))
            return false;
    return true;
}

// x values for a run: smooth ones, with a share of hard ones (zeros of
// either sign, NaNs of either sign, infinities, values whose square
// overflows, subnormals, values outside the arc sine's domain).
std::vector<double> RandomXs(SRandom& r, int count, unsigned hardPercent)
{
    const double hard[] = {0.0, -0.0, std::nan(""), -std::nan(""), HUGE_VAL, -HUGE_VAL, 1e200, -1e200, 1e-310,
                           -1.0, 1.0, 2.5, -3.0, 1e-300, 700.0, -745.5};
    std::vector<double> xs(static_cast<std::size_t>(count));
    double x = 0.1 + (r.Next() % 1000) / 500.0;
    for (double& v : xs) {
        x += (r.Next() % 100) / 4000.0;
        v = r.Next() % 100 < hardPercent ? hard[r.Next() % (sizeof hard / sizeof hard[0])] : x;
    }
    return xs;
}

// One program run both ways over a chain of calls of random sizes and
// kinds: values, central and forward derivatives, with y known or not.
// Returns the points requested. With run false it only draws the numbers
// that the comparison would draw, so that a shard of a random sequence
// passes over the programs of the others.
long CompareBlockRuns(const std::string& source, SRandom& r, unsigned hardPercent, long& fallbackPoints,
                      bool run = true)
{
    auto plain = MakeEquation(source, {"a", "b"}, {"x", "z"});
    auto block = MakeEquation<CPointCountingEquation>(source, {"a", "b"}, {"x", "z"});
    try {
        plain->Compile();
        block->Compile();
    } catch (const CParseErr&) {
        return 0;
    }
    long requested = 0;
    for (CEquation* eq : {static_cast<CEquation*>(plain.get()), static_cast<CEquation*>(block.get())}) {
        eq->ResizeValues();
        eq->SetInstructionBudget(200000);
        eq->GetParameterValues()[0] = 1.25;
        eq->GetParameterValues()[1] = -0.5;
        eq->GetXValues()[1] = 0.75;
    }
    const double sentinel = -12345.678;
    constexpr int kStride = 3; // two parameters, one unused entry
    for (int call = 0; call < 4; ++call) {
        const int count = 1 + int(r.Next() % 600);
        const std::vector<double> xs = RandomXs(r, count, hardPercent);
        const std::vector<double> zs = RandomXs(r, count, hardPercent);
        const double* columns[] = {xs.data(), zs.data()};
        const int columnCount = 1 + int(r.Next() % 2);
        // 0, 1 values; 2 central; 3 forward; 4 forward with y known; 5 and 6
        // values, then central (5) or forward (6) derivatives from them and
        // from what the values' runs kept.
        const unsigned kind = r.Next() % 7;
        const bool known = kind == 4 || (kind == 2 && r.Next() % 2);
        if (!run)
            continue;
        std::vector<double> values[2], derivs[2];
        std::string errors[2];
        for (int side = 0; side < 2; ++side) {
            CEquation& eq = side == 0 ? *plain : *block;
            values[side].assign(std::size_t(count), sentinel);
            if (known)
                values[side] = zs;
            derivs[side].assign(std::size_t(count) * kStride, sentinel);
            double* v = values[side].data();
            double* d = derivs[side].data();
            errors[side] = Outcome([&] {
                if (kind >= 5) {
                    const bool central = kind == 5;
                    if (side == 0) {
                        eq.CEquationBase::CalculatePoints(columns, columnCount, count, v);
                        eq.CEquationBase::CalculatePointDerivatives(columns, columnCount, count, central, true, v, d,
                                                                    kStride);
                        return;
                    }
                    const int keptCount = eq.KeptValueCount(2);
                    std::vector<double> store(std::size_t(keptCount) * std::size_t(count));
                    SKeptValues keep{store.data(), std::size_t(count), keptCount, false};
                    eq.CalculatePoints(columns, columnCount, count, v, &keep);
                    eq.CalculatePointDerivatives(columns, columnCount, count, central, true, v, d, kStride, &keep);
                    return;
                }
                if (kind < 2 && side == 0)
                    eq.CEquationBase::CalculatePoints(columns, columnCount, count, v);
                else if (kind < 2)
                    eq.CalculatePoints(columns, columnCount, count, v);
                else if (side == 0)
                    eq.CEquationBase::CalculatePointDerivatives(columns, columnCount, count, kind == 2, known, v, d,
                                                                kStride);
                else
                    eq.CalculatePointDerivatives(columns, columnCount, count, kind == 2, known, v, d, kStride);
            });
        }
        requested += count;
        const std::string what = source + "\ncall " + std::to_string(call) + " kind " + std::to_string(kind);
        EXPECT_EQ(errors[0], errors[1]) << what;
        EXPECT_TRUE(SameBits(values[0], values[1])) << what;
        EXPECT_TRUE(SameBits(derivs[0], derivs[1])) << what;
        // What the runs leave behind: the result, the X and parameter values.
        EXPECT_TRUE(SameBits(plain->GetResult(), block->GetResult())) << what;
        for (int j = 0; j < 2; ++j) {
            EXPECT_TRUE(SameBits(plain->GetXValues()[j], block->GetXValues()[j])) << what;
            EXPECT_TRUE(SameBits(plain->GetParameterValues()[j], block->GetParameterValues()[j])) << what;
        }
        if (::testing::Test::HasFailure())
            return requested;
    }
    fallbackPoints += block->m_points;
    return requested;
}

// The block runs' loops over lanes in both forms: the processor's wider
// registers (where it has them) and the base loops.
class BlockRuns : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override { CEquation::EnableWideLanes(GetParam()); }
    void TearDown() override { CEquation::EnableWideLanes(true); }
};

std::string LaneName(bool wide) { return wide ? "Wide" : "Base"; }

INSTANTIATE_TEST_SUITE_P(Compile, BlockRuns, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& info) { return LaneName(info.param); });

// Block runs give what point by point runs give, bit for bit: results,
// derivatives, errors and their texts, and the values left behind for the
// next call (a later call shows the locals). The programs are the random
// expressions and loops above, whose x-dependent limits and jumps part the
// points of some blocks, with hard x values among smooth ones. Shards of
// the one sequence: every shards-th triple of programs, from triple shard.
void CompareRandomBlockRuns(int shards, int shard)
{
    SRandom random{0x3C6EF372FE94F82Bull};
    long requested = 0, fallback = 0;
    const long reusedBefore = CEquation::ReusedRuns();
    for (int i = 0; i < 240 && !::testing::Test::HasFailure(); ++i) {
        const unsigned hard = i % 3 == 0 ? 0 : i % 3 == 1 ? 1 : 25;
        const bool mine = i % shards == shard;
        requested += CompareBlockRuns(RandomExpression(random), random, hard, fallback, mine);
        requested += CompareBlockRuns(RandomLoop(random), random, hard, fallback, mine);
        requested += CompareBlockRuns(RandomStatements(random), random, hard, fallback, mine);
    }
    // Derivative runs took values from the run at the unchanged parameters.
    EXPECT_GT(CEquation::ReusedRuns() - reusedBefore, 200 / shards) << CEquation::ReusedRuns() - reusedBefore;
    // Many points ran as blocks: the comparison is not of the fallback with
    // itself. (Over all shards, most do; a shard's share varies with its pairs.)
    EXPECT_GT(requested, 100000 / shards);
    EXPECT_GT(requested - fallback, 50000 / shards) << fallback << " of " << requested;
    EXPECT_GT(requested - fallback, requested / 3) << fallback << " of " << requested;
}

// In four shards, so that each test stays well inside its time limit on a
// busy machine.
class RandomBlockRuns : public ::testing::TestWithParam<int> {};

INSTANTIATE_TEST_SUITE_P(Compile, RandomBlockRuns, ::testing::Range(0, 4));

TEST_P(RandomBlockRuns, AgreeWithPointByPointRuns) { CompareRandomBlockRuns(4, GetParam()); }

// The base loops, where the processor has wider registers, on every fourth
// triple of the same programs.
TEST(Compile, BlockRunsInTheBaseLoopsAgreeWithPointByPointRuns)
{
    CEquation::EnableWideLanes(false);
    CompareRandomBlockRuns(4, 0);
    CEquation::EnableWideLanes(true);
}

// Derivative runs that take from the run at the unchanged parameters what
// the moved parameter does not reach (through the stack, through locals
// written once or twice, through the result read back) give the
// derivatives of the hand-worked formulas, and the bits of the runs that
// compute every instruction and of point by point runs.
TEST_P(BlockRuns, DerivativeRunsReuseWhatTheMovedParameterDoesNotReach)
{
    struct Case {
        const char* source;
        // The derivatives by a and by b at x, for a = 1.25 and b = 0.5.
        double (*da)(double x);
        double (*db)(double x);
        bool reuses; // the plan pays for this program's central derivatives
    } cases[] = {
        {"y = a*EXP(-b*x) + 2", [](double x) { return std::exp(-0.5 * x); },
         [](double x) { return -1.25 * x * std::exp(-0.5 * x); }, true},
        {"e = EXP(-b*x)\r\ny = a*e", [](double x) { return std::exp(-0.5 * x); },
         [](double x) { return -1.25 * x * std::exp(-0.5 * x); }, true},
        {"t = a\r\nt = t*x\r\ny = t + b", [](double x) { return x; }, [](double) { return 1.0; }, false},
        {"u = b*SIN(x)\r\nu = u + a\r\ny = u*EXP(x)", [](double x) { return std::exp(x); },
         [](double x) { return std::sin(x) * std::exp(x); }, true},
        // y = a y1 exp(y1) with y1 = b^2 + sin x, read back as the result.
        {"y = b*b + SIN(x)\r\ny = a*y*EXP(y)",
         [](double x) { return (0.25 + std::sin(x)) * std::exp(0.25 + std::sin(x)); },
         [](double x) { return 1.25 * std::exp(0.25 + std::sin(x)) * (1.25 + std::sin(x)); }, true},
        {"s = SQRT(x + b)\r\nw = a*a\r\ny = w*s + EXP(s)",
         [](double x) { return 2.5 * std::sqrt(x + 0.5); },
         [](double x) { return (1.5625 + std::exp(std::sqrt(x + 0.5))) / (2 * std::sqrt(x + 0.5)); }, true},
    };
    constexpr int kPoints = 300;
    std::vector<double> xs(kPoints);
    for (int i = 0; i < kPoints; ++i)
        xs[std::size_t(i)] = 0.1 + 0.01 * i;
    const double* columns[] = {xs.data()};
    for (const Case& c : cases) {
        for (const bool central : {true, false}) {
            for (const bool known : {false, true}) {
                // 0 block runs, 1 block runs without reuse, 2 point by point,
                // 3 block runs from what the values' block runs kept (with y known).
                std::vector<double> values[4], derivs[4];
                long reused = 0;
                bool keptAll = false;
                for (int side = 0; side < (known ? 4 : 3); ++side) {
                    auto eq = MakeEquation(c.source, {"a", "b"}, {"x"});
                    eq->Compile();
                    eq->ResizeValues();
                    eq->GetParameterValues()[0] = 1.25;
                    eq->GetParameterValues()[1] = 0.5;
                    values[side].assign(kPoints, 0.0);
                    derivs[side].assign(2 * kPoints, 0.0);
                    const int keptCount = side == 3 ? eq->KeptValueCount(2) : 0;
                    std::vector<double> store(std::size_t(keptCount) * kPoints);
                    SKeptValues keep{store.data(), kPoints, keptCount, false};
                    if (side == 3)
                        eq->CalculatePoints(columns, 1, kPoints, values[side].data(), &keep);
                    else if (known)
                        eq->CEquationBase::CalculatePoints(columns, 1, kPoints, values[side].data());
                    keptAll = keptAll || (keep.complete && keptCount > 0);
                    CEquation::EnableReuse(side != 1);
                    const long before = CEquation::ReusedRuns();
                    if (side == 2)
                        eq->CEquationBase::CalculatePointDerivatives(columns, 1, kPoints, central, known,
                                                                     values[side].data(), derivs[side].data(), 2);
                    else
                        eq->CalculatePointDerivatives(columns, 1, kPoints, central, known, values[side].data(),
                                                      derivs[side].data(), 2, side == 3 ? &keep : nullptr);
                    if (side == 0)
                        reused = CEquation::ReusedRuns() - before;
                    CEquation::EnableReuse(true);
                }
                const std::string what = std::string(c.source) + (central ? " central" : " forward")
                    + (known ? " known" : "");
                if (central) {
                    EXPECT_EQ(reused > 0, c.reuses) << what;
                }
                if (known) {
                    EXPECT_EQ(keptAll, c.reuses) << what;
                    EXPECT_TRUE(SameBits(values[3], values[2])) << what;
                    EXPECT_TRUE(SameBits(derivs[3], derivs[2])) << what;
                }
                EXPECT_TRUE(SameBits(values[0], values[2])) << what;
                EXPECT_TRUE(SameBits(derivs[0], derivs[1])) << what;
                EXPECT_TRUE(SameBits(derivs[0], derivs[2])) << what;
                // Differences of a step of about 6e-6 (central) and 1.5e-8
                // (forward) relative to the parameter.
                const double tolerance = central ? 1e-8 : 1e-6;
                for (int i = 0; i < kPoints; i += 37) {
                    const double x = xs[std::size_t(i)];
                    EXPECT_NEAR(derivs[0][std::size_t(2 * i)], c.da(x), tolerance * (1 + std::fabs(c.da(x)))) << what;
                    EXPECT_NEAR(derivs[0][std::size_t(2 * i + 1)], c.db(x), tolerance * (1 + std::fabs(c.db(x))))
                        << what;
                }
            }
        }
    }
}

// The plan of what derivative runs reuse belongs to the program: compiled
// anew, an equation plans anew. With the first plan, the runs by b would
// take a*x's exponential from the base run after b has moved into it.
TEST(Compile, ARecompiledEquationPlansItsReuseAnew)
{
    constexpr int kPoints = 64;
    std::vector<double> xs(kPoints);
    for (int i = 0; i < kPoints; ++i)
        xs[std::size_t(i)] = 0.05 * i;
    const double* columns[] = {xs.data()};
    auto eq = MakeEquation("y = b*EXP(-a*x)", {"a", "b"}, {"x"});
    for (const char* source : {"y = b*EXP(-a*x)", "y = a*EXP(-b*x)"}) {
        eq->SetSource(source);
        eq->Compile();
        eq->ResizeValues();
        eq->GetParameterValues()[0] = 1.25;
        eq->GetParameterValues()[1] = 0.5;
        std::vector<double> values(kPoints), derivs(2 * kPoints), plainValues(kPoints), plainDerivs(2 * kPoints);
        eq->CalculatePointDerivatives(columns, 1, kPoints, true, false, values.data(), derivs.data(), 2);
        eq->CEquationBase::CalculatePointDerivatives(columns, 1, kPoints, true, false, plainValues.data(),
                                                     plainDerivs.data(), 2);
        EXPECT_TRUE(SameBits(derivs, plainDerivs)) << source;
        // By hand at x = 1 for the second: d/da = exp(-b), d/db = -a exp(-b).
        if (source[4] == 'a') {
            EXPECT_NEAR(derivs[2 * 20], std::exp(-0.5), 1e-8);
            EXPECT_NEAR(derivs[2 * 20 + 1], -1.25 * std::exp(-0.5), 1e-8);
        }
    }
}

// Programs where a block must give up, or may not: every point's value is
// compared, and the points that ran one by one are counted.
TEST_P(BlockRuns, FallBackWherePointsPartWays)
{
    struct Case {
        const char* source;
        bool fallsBack; // on smooth x from 0.1 up
    } cases[] = {
        {"y = a*EXP(-b*x) + x^2 - x^3/(x + 1)", false},
        {"s = 0\r\nFOR i = 1 TO 4\r\ns = s*x + a*i\r\nNEXT\r\ny = s", false},
        {"y = SIN(x) + COS(a*x) + TAN(x/3) + ATAN(x) + ABS(x) + FRAC(x) + INT(x) + SQR(x) + LOG(x) + LN(x) + SQRT(x)",
         false},
        {"y = (x < a) + 2*(x >= b) + 4*(x = 1) + 8*(x <= 1) + 16*(x > 2)", false},
        {"IF x > 0 THEN\r\ny = a\r\nELSE\r\ny = b\r\nENDIF", false},
        // The running sum reads what the point before left.
        {"y = y + x", true},
        {"n = n + 1\r\ny = n*x", true},
        // The jump goes one way for small x and the other for large.
        {"IF x > 0.5 THEN\r\ny = a\r\nELSE\r\ny = b\r\nENDIF", true},
        {"s = 0\r\nFOR i = 1 TO x\r\ns = s + i\r\nNEXT\r\ny = s", true},
        // Errors at some points only.
        {"y = ASIN(x - 1)", true},
        {"y = 1/(x - 0.5)^0", false},
        {"y = (x - 1)^0.5", true},
        // A product of lanes and what the next instruction does with it,
        // taken in one pass: a simple value added, subtracted, multiplied
        // or divided, or a product that is the same for every point.
        {"s = x/3\r\ny = a*x + b - a*x*x + x*a*s - b*x/a + a*x/s + a*x - a*b + x*x + a*b + b*s - x*b", false},
        {"s = 2\r\nFOR i = 1 TO 3\r\ns = s*x + a*i\r\ns = x*s - b\r\nNEXT\r\ny = s*x/i", false},
        // The divisor is 0 at x = 0.5 only.
        {"z = x - 0.5\r\ny = a*x/z", true},
    };
    for (const Case& c : cases) {
        auto plain = MakeEquation(c.source, {"a", "b"}, {"x"});
        auto block = MakeEquation<CPointCountingEquation>(c.source, {"a", "b"}, {"x"});
        plain->Compile();
        block->Compile();
        std::vector<double> xs(1000), ys[2];
        for (int i = 0; i < 1000; ++i)
            xs[std::size_t(i)] = 0.1 + i / 500.0;
        const double* columns[] = {xs.data()};
        std::string errors[2];
        for (int side = 0; side < 2; ++side) {
            CEquation& eq = side == 0 ? *plain : *block;
            eq.ResizeValues();
            eq.GetParameterValues()[0] = 1.25;
            eq.GetParameterValues()[1] = -0.5;
            ys[side].assign(xs.size(), 0.0);
            errors[side] = Outcome([&] {
                if (side == 0)
                    eq.CEquationBase::CalculatePoints(columns, 1, 1000, ys[side].data());
                else
                    eq.CalculatePoints(columns, 1, 1000, ys[side].data());
            });
        }
        EXPECT_EQ(errors[0], errors[1]) << c.source;
        EXPECT_TRUE(SameBits(ys[0], ys[1])) << c.source;
        if (c.fallsBack)
            EXPECT_GT(block->m_points, 0) << c.source;
        else
            EXPECT_EQ(block->m_points, 0) << c.source;
    }
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
}

TEST(Compile, AnEquationAtTheLimitOfLocalsStillCompiles)
{
    auto eq = MakeEquation(ManyLocals(CEquation::kMaxLocals));
    eq->Compile();
    EXPECT_EQ(eq->GetLocalNames().size(), std::size_t(CEquation::kMaxLocals));
}
