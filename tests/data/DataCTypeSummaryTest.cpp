// The one-source computed columns of the table model: summary statistics,
// subsets, smoothing and derivatives.
#include "FakeItem.h"

#include "data/DataCTypeSmooth.h"
#include "data/DataCTypeSubset.h"
#include "data/DataCTypeSummary.h"
#include "data/DataDouble.h"
#include "data/DataString.h"
#include "data/MyData.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

std::string Text(CMyData& t, int row, int column)
{
    std::string s;
    if (const CData* cell = t.GetCell(row, column))
        cell->GetPlainText(s);
    return s;
}

double Number(CMyData& t, int row, int column)
{
    double v = std::nan("");
    t.GetNumber(row, column, v);
    return v;
}

} // namespace

TEST(DataCTypeSummary, StatisticsOfASourceColumn)
{
    FakeItem item;
    item.Fill(0, {1, 2, 3, 4});
    item.table.SetCell(1, 0, new CDataString("Dose"));
    auto* summary = item.SetType<CDataCTypeSummary>(1, kTypeSummary);
    summary->ComputeValue(-1, &item, TRUE);
    EXPECT_EQ(Text(item.table, 2, 1), "(None selected)");
    summary->m_source = 0;
    summary->ComputeValue(-1, &item, TRUE);
    EXPECT_EQ(Text(item.table, 2, 1), "Source: Dose");
    // Hand values for 1, 2, 3, 4: sum 10, squares 30, so (30 - 25) / 4 and / 3.
    const double expected[] = {4, 1, 4, 3, 10, 2.5, 2.5, 1.25, 5.0 / 3, std::sqrt(1.25), std::sqrt(5.0 / 3)};
    for (int i = 0; i < 11; ++i)
        EXPECT_NEAR(Number(item.table, 3 + i, 1), expected[i], 1e-12) << i;
    std::string label;
    item.table.GetCell(9, 1)->GetDescriptor(label);
    EXPECT_EQ(label, "Median");
    // One value: no variance rows.
    item.table.DeleteCells(0, 3, 5);
    item.NotifyColumnChanged(0);
    EXPECT_EQ(Number(item.table, 3, 1), 1.0);
    EXPECT_EQ(item.table.GetLastRow(1), 9);
    // Deleting the source column leaves nothing selected.
    item.table.DeleteColumns(0, 1);
    summary->OnColumnsDeleted(&item, &item, 0, 1);
    EXPECT_EQ(summary->m_source, -1);
    EXPECT_EQ(Text(item.table, 2, 0), "(None selected)");
}

TEST(DataCTypeSubset, EveryNthCell)
{
    FakeItem item;
    item.Fill(0, {10, 11, 12, 13, 14, 15, 16, 17, 18});
    item.table.DeleteCell(5, 0);
    auto* subset = item.SetType<CDataCTypeSubset>(1, kTypeSubset);
    subset->m_source = 0;
    subset->m_step = 3;
    subset->ComputeValue(-1, &item, TRUE);
    // Rows 2, 5 and 8 into rows 2, 3 and 4; row 5's cell is missing.
    EXPECT_EQ(Number(item.table, 2, 1), 10.0);
    EXPECT_EQ(item.table.GetCell(3, 1), nullptr);
    EXPECT_EQ(Number(item.table, 4, 1), 16.0);
    EXPECT_EQ(item.table.GetLastRow(1), 4);
    Bytes bytes = StoreBytes([&](CArchive& ar) { subset->Serialize(ar); });
    CDataCTypeSubset back;
    EXPECT_EQ(LoadBytes(bytes, [&](CArchive& ar) { back.Serialize(ar); }), 0u);
    EXPECT_EQ(back.m_source, 0);
    EXPECT_EQ(back.m_step, 3);
}

TEST(DataCTypeSmooth, SmoothingAndDerivatives)
{
    FakeItem item;
    item.Fill(0, {1, 2, 3, 4, 5});
    auto* smooth = item.SetType<CDataCTypeSmooth>(1, kTypeSmooth);
    smooth->m_source = 0;
    smooth->SetFilter(9, 2);
    smooth->ComputeValue(-1, &item, TRUE);
    EXPECT_EQ(Text(item.table, 2, 1), "(Too few points)");

    // Window 3 of order 0 is the mean of three; text between numbers is skipped.
    item.table.DeleteCells(0, 2, 6);
    item.table.SetNumber(2, 0, 1);
    item.table.SetCell(3, 0, new CDataString("x"));
    item.table.SetNumber(4, 0, 2);
    item.table.SetNumber(6, 0, 6);
    smooth->SetFilter(3, 0);
    smooth->ComputeValue(-1, &item, TRUE);
    for (int row : {2, 4, 6})
        EXPECT_NEAR(Number(item.table, row, 1), 3.0, 1e-12) << row;
    EXPECT_EQ(item.table.GetCell(3, 1), nullptr);

    // The first derivative of x^2 by a quadratic filter is exactly 2x at every point.
    FakeItem squares;
    squares.Fill(0, {0, 1, 4, 9, 16, 25, 36});
    auto* deriv = squares.SetType<CDataCTypeDeriv>(1, kTypeDerivative);
    deriv->m_source = 0;
    deriv->m_derivative = 1;
    deriv->SetFilter(5, 1);
    deriv->ComputeValue(-1, &squares, TRUE);
    for (int i = 0; i < 7; ++i)
        EXPECT_NEAR(Number(squares.table, 2 + i, 1), 2.0 * i, 1e-9) << i;

    Bytes bytes = StoreBytes([&](CArchive& ar) { deriv->Serialize(ar); });
    CDataCTypeDeriv back;
    EXPECT_EQ(LoadBytes(bytes, [&](CArchive& ar) { back.Serialize(ar); }), 0u);
    EXPECT_EQ(back.m_window, 5);
    EXPECT_EQ(back.m_orderIndex, 1);
    EXPECT_EQ(back.m_derivative, 1);
    EXPECT_EQ(back.m_matrix.GetRows(), 5);
    std::unique_ptr<CData> clone(back.Clone());
    EXPECT_EQ(static_cast<CDataCTypeDeriv*>(clone.get())->m_matrix.GetRows(), 5);
}

TEST(DataCTypeSummary, StoredForm)
{
    CDataCTypeSummary summary(3);
    summary.m_source = 1;
    Bytes base = StoreBytes([&](CArchive& ar) { summary.CDataColumnType::Serialize(ar); });
    Bytes bytes = StoreBytes([&](CArchive& ar) { summary.Serialize(ar); });
    EXPECT_EQ(ToHex(Bytes(bytes.begin() + long(base.size()), bytes.end())), "00 00 00 00 01 00 00 00");
    CDataCTypeSummary back;
    EXPECT_EQ(LoadBytes(bytes, [&](CArchive& ar) { back.Serialize(ar); }), 0u);
    EXPECT_EQ(back.m_source, 1);
}
