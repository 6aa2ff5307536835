#include "equation/FunctionEquation.h"
#include "equation/FunctionTable.h"
#include "equation/MyError.h"
#include "framework/ArchiveHelpers.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <utility>

namespace {

// Cells by (column from 0, table row); data start at table row 2.
class FakeTable : public IFunctionTable {
public:
    bool CellNumber(int column, int row, double& value) const override
    {
        auto it = cells.find({column, row});
        if (it == cells.end())
            return false;
        value = it->second;
        return true;
    }
    bool AssociatedX(int column, double& value) const override
    {
        auto it = associated.find(column);
        if (it == associated.end())
            return false;
        value = it->second;
        return true;
    }
    std::map<std::pair<int, int>, double> cells;
    std::map<int, double> associated;
};

// A function equation over table with the source given, compiled.
std::unique_ptr<CFunctionEquation> Make(const std::string& source, const IFunctionTable* table)
{
    auto eq = std::make_unique<CFunctionEquation>();
    eq->SetYName("Result");
    eq->SetModeFlag(1);
    eq->SetSource(source);
    eq->Compile();
    eq->ResizeValues();
    eq->SetTable(table);
    return eq;
}

int CompileError(const std::string& source)
{
    CFunctionEquation eq;
    eq.SetYName("Result");
    eq.SetSource(source);
    try {
        eq.Compile();
    } catch (const CParseErr& e) {
        return e.m_nID;
    }
    return 0;
}

class FunctionEquationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Column 2 (index 1), data rows 1 and 2 are table rows 2 and 3.
        table.cells[{1, 2}] = 10.5;
        table.cells[{1, 3}] = -4;
        table.cells[{0, 2}] = BlankValue(); // a stored blank
        table.cells[{2, 2}] = std::nan("");
        table.associated[3] = 0.25;
    }
    FakeTable table;
};

TEST_F(FunctionEquationTest, DataAndValidDataReadCells)
{
    struct Case {
        const char* expression;
        double expected;
    } cases[] = {
        {"DATA(2, 1)", 10.5},         // first data row of the second column
        {"DATA(2.9, 1.9)", 10.5},     // arguments are truncated toward zero
        {"DATA(2, 2)", -4},
        {"VALIDDATA(2, 2)", -1},      // true is -1
        {"DATA(2, 3)", 0},            // past the column: no cell
        {"VALIDDATA(2, 3)", 0},
        {"DATA(1, 1)", 0},            // a stored blank is a missing value
        {"VALIDDATA(1, 1)", 0},
        {"DATA(0, 1)", 0},            // column 0 does not exist
        {"DATA(-5, -7)", 0},
        {"DATA(4, -1)", 0.25},        // row -1: the column's associated x
        {"VALIDDATA(4, -1)", -1},
        {"VALIDDATA(2, -1)", 0},      // a column without associated x values
        {"DATA(2, -1.5)", 0},         // -1.5 truncates to -1 as well
        {"DATA(1 + 1, 3 - 2) * 2", 21},
        {"-DATA(2, 2) ^ 2", 16},      // a prefix function binds like any other
        {"DATA(2, DATA(2, 1) - 9.5)", 10.5}, // nested: DATA(2, 1)
        {"DATA(1e300, 1)", 0},        // clamped, not an undefined conversion
        {"VALIDDATA(2, -1e300)", 0},
        {"DATA(2, 1e300)", 0},
        {"DATA(3, 1)", 0},            // a stored NaN is a missing value too
        {"VALIDDATA(3, 1)", 0},
    };
    for (const Case& c : cases) {
        auto eq = Make(std::string("Result = ") + c.expression, &table);
        const double v = eq->Calculate();
        if (std::isnan(c.expected))
            EXPECT_TRUE(std::isnan(v)) << c.expression;
        else
            EXPECT_DOUBLE_EQ(v, c.expected) << c.expression;
    }
}

TEST_F(FunctionEquationTest, NotANumberArgumentReadsAMissingCell)
{
    // A NaN argument names no cell (1e400 reads as infinity; infinity
    // minus infinity is NaN).
    auto eq = Make("n = 1e400 - 1e400\r\nResult = DATA(2, n) + VALIDDATA(2, n) + VALIDDATA(n, 1) + DATA(n, n)", &table);
    EXPECT_EQ(eq->Calculate(), 0);
    auto sane = Make("n = 1e400 - 1e400\r\nResult = n", &table);
    EXPECT_TRUE(std::isnan(sane->Calculate())); // the argument really is a NaN
    double v = 7;
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_FALSE(eq->ReadCell(std::nan(""), 1, v));
    EXPECT_FALSE(eq->ReadCell(2, std::nan(""), v));
    EXPECT_FALSE(eq->ReadCell(inf, 1, v));
    EXPECT_FALSE(eq->ReadCell(2, -inf, v));
    EXPECT_EQ(v, 7); // untouched
    EXPECT_TRUE(eq->ReadCell(2.5, 1, v));
    EXPECT_EQ(v, 10.5);
}

TEST_F(FunctionEquationTest, WithoutATableEveryCellIsMissing)
{
    auto eq = Make("Result = DATA(2, 1) + VALIDDATA(2, 1) + 3", nullptr);
    EXPECT_EQ(eq->Calculate(), 3);
}

TEST_F(FunctionEquationTest, RowColumnAndNamesIgnoreCase)
{
    auto eq = Make("Result = row * 100 + Column + data(column, Row)", &table);
    EXPECT_EQ(eq->GetRow(), 1); // a new equation stands at row 1, column 1
    EXPECT_EQ(eq->GetColumn(), 1);
    eq->SetColumn(2);
    eq->SetRow(2);
    EXPECT_EQ(eq->Calculate(), 200 + 2 - 4);
}

TEST_F(FunctionEquationTest, CommaCountsAreCheckedWhenCompiling)
{
    EXPECT_EQ(CompileError("Result = DATA(1)"), 8480);         // "Missing comma."
    EXPECT_EQ(CompileError("Result = VALIDDATA(1)"), 8480);
    EXPECT_EQ(CompileError("Result = DATA(1, 2, 3)"), 8481);   // "Too many commas."
    EXPECT_EQ(CompileError("Result = DATA(1, 2) + SIN(1, 2)"), 8481);
    EXPECT_EQ(CompileError("Result = 2 DATA(1, 2)"), 8198);    // an operator expected
    EXPECT_EQ(CompileError("Result = ROW(1)"), 8198);
    EXPECT_EQ(CompileError("Result = DATA(1, 2)"), 0);
    EXPECT_EQ(CompileError("Result = SETBLANK"), 0);
    // A plain equation does not know the table's names.
    CEquation plain;
    plain.SetYName("Result");
    plain.SetSource("Result = DATA(1, 2)");
    EXPECT_THROW(plain.Compile(), CParseErr);
}

TEST_F(FunctionEquationTest, SetBlankStopsTheRun)
{
    auto eq = Make("IF VALIDDATA(2, ROW) THEN\r\nResult = DATA(2, ROW)\r\nELSE\r\nSETBLANK\r\nENDIF", &table);
    eq->SetRow(2);
    EXPECT_EQ(eq->Calculate(), -4);
    eq->SetRow(3);
    EXPECT_THROW(eq->Calculate(), CBlankError);
    auto blank = Make("Result = SETBLANK", &table);
    EXPECT_THROW(blank->Calculate(), CBlankError);
}

TEST_F(FunctionEquationTest, CloneAndAssignKeepTheTableNames)
{
    auto eq = Make("Result = DATA(2, ROW) + COLUMN", &table);
    eq->SetRow(2);
    eq->SetColumn(5);
    std::unique_ptr<CEquationBase> copy = eq->Clone();
    auto* function = dynamic_cast<CFunctionEquation*>(copy.get());
    ASSERT_NE(function, nullptr);
    ASSERT_TRUE(function->IsValid());
    EXPECT_EQ(function->GetTable(), &table);
    EXPECT_EQ(function->Calculate(), -4 + 5);

    CFunctionEquation assigned;
    assigned.Assign(*eq);
    ASSERT_TRUE(assigned.IsValid());
    EXPECT_EQ(assigned.GetYName(), "Result");
    EXPECT_EQ(assigned.GetSource(), eq->GetSource());
    EXPECT_EQ(assigned.Calculate(), 1);

    // An invalid original gives an invalid copy.
    CFunctionEquation bad;
    bad.SetYName("Result");
    bad.SetSource("Result = DATA(1)");
    EXPECT_FALSE(bad.Clone()->IsValid());
}

TEST_F(FunctionEquationTest, StoredFormIsTheEquationsAndCompilesOnLoad)
{
    auto eq = Make("Result = DATA(2, 1) * 2", &table);
    const auto bytes = StoreBytes([&](CArchive& ar) { eq->Serialize(ar); });
    CEquation plain;
    plain.SetYName("Result");
    plain.SetSource("Result = DATA(2, 1) * 2");
    // The same bytes as a plain equation with that definition would store.
    EXPECT_EQ(bytes, StoreBytes([&](CArchive& ar) {
        plain.SetModeFlag(1);
        plain.Serialize(ar);
    }));
    CFunctionEquation back;
    LoadBytes(bytes, [&](CArchive& ar) { back.Serialize(ar); });
    ASSERT_TRUE(back.IsValid());
    back.SetTable(&table);
    EXPECT_EQ(back.Calculate(), 21);
}

} // namespace
