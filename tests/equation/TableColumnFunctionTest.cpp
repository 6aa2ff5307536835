#include "equation/TableColumnFunction.h"

#include "data/DataCTypeCalcFunction.h"
#include "data/DataCTypeX2.h"
#include "data/DataDouble.h"
#include "data/DataString.h"
#include "data/FakeItem.h"
#include "framework/ArchiveHelpers.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

std::string Text(const CMyData& t, int row, int column)
{
    std::string s;
    if (CData* c = t.GetCell(row, column))
        c->GetDisplayText(s, t.GetColumnFormat(column));
    return s;
}

// A Calculated column in column, with the text set through its function.
CDataCTypeCalcFunction* Calculated(FakeItem& item, int column, const std::string& text)
{
    auto* calc = item.SetType<CDataCTypeCalcFunction>(column, kTypeCalculated);
    EXPECT_NE(calc->GetFunction(), nullptr) << "the equation library installs the factory on load";
    if (calc->GetFunction())
        calc->GetFunction()->SetText(text);
    return calc;
}

TEST(TableColumnFunctionTest, ComputesFromOtherColumnsAndRecomputesOnChange)
{
    FakeItem item;
    item.Fill(0, {1, 2, 3});
    item.Fill(1, {10, 20, 30});
    auto* calc = Calculated(item, 2, "Result = DATA(1, ROW) * DATA(2, ROW) + COLUMN");
    ASSERT_TRUE(calc->GetFunction()->IsValid());
    calc->m_rowCountMode = CDataCTypeCalcFunction::kRowsOfColumn;
    calc->m_rowCountColumn = 0;
    calc->m_sources = {0, 1};
    calc->ComputeValue(-1, &item, TRUE);
    double v = 0;
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(item.Number(2 + i, 2, v)) << i;
        EXPECT_EQ(v, (i + 1) * 10.0 * (i + 1) + 3); // by hand: a * b + column 3
    }
    EXPECT_EQ(item.table.GetLastRow(2), 4);
    // A changed source cell reaches the column through the workspace notice.
    item.table.SetNumber(3, 1, -1);
    item.NotifyColumnChanged(1, 3);
    ASSERT_TRUE(item.Number(3, 2, v));
    EXPECT_EQ(v, 2 * -1 + 3);
    // A longer row-count column gives more rows.
    item.table.SetNumber(5, 0, 4);
    item.NotifyColumnChanged(0, 5);
    ASSERT_TRUE(item.Number(5, 2, v));
    EXPECT_EQ(v, 0 + 3); // DATA(2, 4) is an empty cell: 0
}

TEST(TableColumnFunctionTest, BlanksErrorsAndValuesKeptBetweenRows)
{
    FakeItem item;
    item.Fill(0, {1, 0, 2, 4});
    item.table.SetCell(3, 0, new CDataString("n/a")); // data row 2 holds text
    // A running sum over the rows, blank where the source is not a number,
    // and an error where it is 0.
    auto* calc = Calculated(item, 1,
                            "IF VALIDDATA(1, ROW) = 0 THEN\r\nSETBLANK\r\nENDIF\r\n"
                            "s = s + 1 / DATA(1, ROW)\r\nResult = s");
    calc->m_rows = 4;
    calc->ComputeValue(-1, &item, FALSE);
    double v = 0;
    ASSERT_TRUE(item.Number(2, 1, v));
    EXPECT_EQ(v, 1);                       // 1/1
    EXPECT_EQ(item.table.GetCell(3, 1), nullptr); // blank: the cell stays empty
    ASSERT_TRUE(item.Number(4, 1, v));
    EXPECT_EQ(v, 0.5);                     // the sum started again after the blank: 1/2
    ASSERT_TRUE(item.Number(5, 1, v));
    EXPECT_EQ(v, 0.75);                    // 1/2 + 1/4
    // A second run starts the sum from 0 again, and a 0 divisor is an error in its cell.
    item.table.SetNumber(4, 0, 0);
    calc->ComputeValue(-1, &item, FALSE);
    EXPECT_EQ(Text(item.table, 4, 1), "ERROR - Divide by 0");
    ASSERT_TRUE(item.Number(5, 1, v));
    EXPECT_EQ(v, 0.25);                    // reset after the error: 1/4 alone
    ASSERT_TRUE(item.Number(2, 1, v));
    EXPECT_EQ(v, 1);
}

TEST(TableColumnFunctionTest, BadEquationAndRowsPastTheCount)
{
    FakeItem item;
    auto* calc = Calculated(item, 0, "Result = DATA(1)");
    EXPECT_FALSE(calc->GetFunction()->IsValid());
    calc->m_rows = 2;
    item.Fill(0, {9, 9, 9, 9});
    calc->ComputeValue(-1, &item, FALSE);
    EXPECT_EQ(Text(item.table, 2, 0), "ERROR - bad equation");
    EXPECT_EQ(Text(item.table, 3, 0), "ERROR - bad equation");
    EXPECT_EQ(item.table.GetLastRow(0), 3); // the old rows past the count are emptied
}

TEST(TableColumnFunctionTest, RowCountIsCappedWithAMessage)
{
    RecordingReporter reporter;
    FakeItem item;
    auto* calc = Calculated(item, 0, "Result = ROW");
    calc->m_rows = 2000000000;
    calc->ComputeValue(-1, &item, FALSE);
    EXPECT_EQ(item.table.GetLastRow(0), kMaxTableRows + 1);
    EXPECT_EQ(reporter.Ids(), std::vector<UINT>{8490});
    double v = 0;
    ASSERT_TRUE(item.Number(kMaxTableRows + 1, 0, v));
    EXPECT_EQ(v, kMaxTableRows);
}

TEST(TableColumnFunctionTest, CopiesKeepTheirFunction)
{
    FakeItem item;
    item.Fill(0, {2, 3});
    auto* calc = Calculated(item, 1, "Result = DATA(1, ROW) ^ 2");
    calc->m_rows = 2;
    std::unique_ptr<CData> copy(calc->Clone());
    auto* copied = dynamic_cast<CDataCTypeCalcFunction*>(copy.get());
    ASSERT_NE(copied, nullptr);
    ASSERT_NE(copied->GetFunction(), calc->GetFunction());
    EXPECT_EQ(copied->GetFunction()->GetText(), "Result = DATA(1, ROW) ^ 2");
    ASSERT_TRUE(copied->GetFunction()->IsValid());
    // The copy computes in another table, reading that table.
    FakeItem other;
    other.Fill(0, {5, 6});
    other.table.SetCell(0, 1, copy.release());
    copied->ComputeValue(-1, &other, FALSE);
    double v = 0;
    ASSERT_TRUE(other.Number(2, 1, v));
    EXPECT_EQ(v, 25);
    ASSERT_TRUE(other.Number(3, 1, v));
    EXPECT_EQ(v, 36);
    EXPECT_EQ(item.table.GetCell(2, 1), nullptr); // the original's table is untouched
}

TEST(TableColumnFunctionTest, AssociatedXOfAColumn)
{
    FakeItem item;
    auto* x2 = item.SetType<CDataCTypeX2>(0, kTypeX2);
    x2->SetXValues({0.5, 2, 3, 4});
    auto* calc = Calculated(item, 1, "Result = DATA(1, -1) + VALIDDATA(1, -1) + VALIDDATA(3, -1)");
    calc->m_rows = 1;
    calc->ComputeValue(-1, &item, FALSE);
    double v = 0;
    ASSERT_TRUE(item.Number(2, 1, v));
    EXPECT_EQ(v, 0.5 - 1 + 0); // first associated x, true, and a column without them
}

TEST(TableColumnFunctionTest, StoredInsideATable)
{
    FakeItem item;
    item.Fill(0, {4});
    auto* calc = Calculated(item, 1, "Result = DATA(1, ROW) + 1");
    calc->m_rows = 1;
    calc->m_rowCountColumn = 7;
    calc->ComputeValue(-1, &item, FALSE);
    const auto bytes = StoreBytes([&](CArchive& ar) { item.table.Serialize(ar); });
    FakeItem back;
    EXPECT_EQ(LoadBytes(bytes, [&](CArchive& ar) { back.table.Serialize(ar); }), 0u);
    auto* loaded = dynamic_cast<CDataCTypeCalcFunction*>(back.table.GetColumnType(1));
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->m_rows, 1);
    EXPECT_EQ(loaded->m_rowCountColumn, 7);
    ASSERT_TRUE(loaded->GetFunction()->IsValid());
    back.table.SetNumber(2, 0, 10);
    loaded->ComputeValue(-1, &back, FALSE);
    double v = 0;
    ASSERT_TRUE(back.Number(2, 1, v));
    EXPECT_EQ(v, 11);
    // A truncated record fails as an archive error.
    auto cut = bytes;
    cut.resize(cut.size() - 6);
    FakeItem damaged;
    EXPECT_THROW(LoadBytes(cut, [&](CArchive& ar) { damaged.table.Serialize(ar); }), CArchiveException);
}

} // namespace
