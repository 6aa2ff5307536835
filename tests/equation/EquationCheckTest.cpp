#include "equation/EquationCheck.h"
#include "EquationTestSupport.h"

#include <gtest/gtest.h>

namespace {

struct CheckCase {
    const char* about;
    std::vector<const char*> xs, params, consts;
    const char* y;
    const char* source;
    int tab;
    UINT id;
    std::string text;
    int row;
};

std::unique_ptr<CEquation> Build(const CheckCase& c)
{
    auto eq = std::make_unique<CEquation>();
    eq->SetYName(c.y);
    for (std::size_t i = 0; i < c.xs.size(); ++i)
        eq->SetXName(int(i), c.xs[i], "");
    for (std::size_t i = 0; i < c.params.size(); ++i)
        eq->SetParameterName(int(i), c.params[i], "");
    for (std::size_t i = 0; i < c.consts.size(); ++i)
        eq->SetConstantName(int(i), c.consts[i], "");
    eq->SetSource(c.source);
    return eq;
}

void PrintTo(const CheckCase& c, std::ostream* os) { *os << c.about; }

class EquationCheckFaults : public ::testing::TestWithParam<CheckCase> {};

} // namespace

TEST_P(EquationCheckFaults, FirstFaultNamesItsTabAndRow)
{
    const CheckCase& c = GetParam();
    auto eq = Build(c);
    const SEquationCheck check = CheckAndCompileEquation(*eq);
    EXPECT_FALSE(check.ok) << c.about;
    EXPECT_EQ(check.tab, c.tab) << c.about;
    EXPECT_EQ(check.messageId, c.id) << c.about;
    EXPECT_EQ(check.text, c.text) << c.about;
    EXPECT_EQ(check.row, c.row) << c.about;
    EXPECT_FALSE(eq->IsValid()) << c.about;
}

INSTANTIATE_TEST_SUITE_P(Items, EquationCheckFaults, ::testing::Values(
    CheckCase{"no X variable", {}, {"a"}, {}, "y", "y = a", 1, 8233, "", -1},
    CheckCase{"no parameter", {"x"}, {}, {}, "y", "y = x", 2, 8236, "", -1},
    CheckCase{"the first of two empty names", {"x"}, {"", ""}, {}, "y", "y = x", 2, 8235, "1", 1},
    CheckCase{"no identifier", {"x", "2x"}, {"a"}, {}, "y", "y = a", 1, 8234, "2", 2},
    CheckCase{"empty constant", {"x"}, {"a"}, {"c", ""}, "y", "y = a", 3, 8235, "2", 2},
    CheckCase{"no Y name", {"x"}, {"a"}, {}, "", "y = a", 4, 8237, "", -1},
    CheckCase{"Y name no identifier", {"x"}, {"a"}, {}, "2x", "y = a", 4, 8238, "", -1},
    CheckCase{"names differing in case clash", {"x"}, {"K"}, {"k"}, "y", "y = K*x", 2, 8225, "K", 1},
    CheckCase{"parameter twice", {"x"}, {"a", "b", "A"}, {}, "y", "y = a", 2, 8224, "a", 1},
    CheckCase{"parameter and X", {"x"}, {"b", "X"}, {}, "y", "y = b", 2, 8226, "X", 2},
    CheckCase{"parameter and Y", {"x"}, {"Y"}, {}, "y", "y = x", 2, 8227, "Y", 1},
    CheckCase{"constant twice", {"x"}, {"a"}, {"c", "C"}, "y", "y = a", 3, 8228, "c", 1},
    CheckCase{"constant and X", {"x"}, {"a"}, {"x"}, "y", "y = a", 3, 8229, "x", 1},
    CheckCase{"constant and Y", {"x"}, {"a"}, {"y"}, "y", "y = a", 3, 8230, "y", 1},
    CheckCase{"X twice", {"t", "T"}, {"a"}, {}, "y", "y = a", 1, 8231, "t", 1},
    CheckCase{"X and Y", {"y"}, {"a"}, {}, "y", "y = a", 1, 8232, "y", 1},
    CheckCase{"compile error", {"x"}, {"a"}, {}, "y", "y = a * q", 4, 8196, "q", -1}));

TEST(EquationCheck, ACompileErrorCarriesItsRangeInTheDefinition)
{
    auto eq = MakeEquation("y = a * x\r\nz := a +* 2", {"a"}, {"x"}, {}, 0);
    const SEquationCheck check = CheckAndCompileEquation(*eq);
    ASSERT_FALSE(check.ok);
    EXPECT_EQ(check.editor, SEquationCheck::editorDefinition);
    EXPECT_EQ(check.messageId, 8197u);
    // "*" stands at byte 19 of the source.
    EXPECT_EQ(check.start, 19);
    EXPECT_EQ(check.end, 20);

    eq->SetSource("y = a * x");
    const SEquationCheck fixed = CheckAndCompileEquation(*eq);
    EXPECT_TRUE(fixed.ok);
    EXPECT_TRUE(eq->IsValid());
}

TEST(EquationCheck, EstimatesAreCheckedOnlyWhenTheyAreUsed)
{
    auto eq = MakeEquation("y = a * exp(-k * x)", {"a", "k"}, {"x"}, {}, 0);
    // Without linear-transform estimates the empty transforms do not matter.
    EXPECT_TRUE(CheckAndCompileEquation(*eq).ok);

    eq->SetUseParameterDefinitions(1);
    eq->SetParameterDefinition(0, "exp(intercept)");
    eq->SetParameterDefinition(1, "-gradient");
    SEquationCheck check = CheckAndCompileEquation(*eq);
    EXPECT_EQ(check.tab, SEquationCheck::tabEstimates);
    EXPECT_EQ(check.messageId, 8239u);

    eq->SetXTransform("xdata");
    check = CheckAndCompileEquation(*eq);
    EXPECT_EQ(check.messageId, 8240u);

    eq->SetYTransform("ln(ydata) +");
    check = CheckAndCompileEquation(*eq);
    EXPECT_EQ(check.tab, SEquationCheck::tabEstimates);
    EXPECT_EQ(check.editor, SEquationCheck::editorYData);
    EXPECT_EQ(check.messageId, 8197u);
    // An operand is still wanted at the end: the range is the expression.
    EXPECT_EQ(check.start, 0);
    EXPECT_EQ(check.end, 11);

    eq->SetYTransform("ln(ydata)");
    check = CheckAndCompileEquation(*eq);
    EXPECT_TRUE(check.ok) << check.messageId;
    EXPECT_TRUE(eq->IsValid());

    eq->SetParameterDefinition(1, "");
    check = CheckAndCompileEquation(*eq);
    EXPECT_EQ(check.tab, SEquationCheck::tabEstimates);
    EXPECT_EQ(check.messageId, 8241u);
    EXPECT_EQ(check.text, "2");
    EXPECT_EQ(check.row, 2);
}
