#include "data/ColumnStatistics.h"
#include "data/DataColumnTypeBasic.h"
#include "data/DataCTypeCalcFunction.h"
#include "data/DataCTypeMean.h"
#include "data/DataCTypeNPoints.h"
#include "data/DataCTypePair.h"
#include "data/DataCTypeSEM.h"
#include "data/DataCTypeSeries.h"
#include "data/DataCTypeStdDev.h"
#include "data/DataCTypeX2.h"
#include "data/DataCTypeXNData.h"
#include "data/DataDouble.h"
#include "data/DataString.h"
#include "data/LocaleChars.h"
#include "framework/ArchiveHelpers.h"

#include "FakeItem.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>

namespace {

std::string Text(const CMyData& t, int row, int column)
{
    std::string s;
    if (CData* c = t.GetCell(row, column))
        c->GetDisplayText(s, t.GetColumnFormat(column));
    return s;
}

TEST(ColumnTypeTest, FactoryKnowsTheNumbers)
{
    EXPECT_EQ(CreateColumnType(27, 0), nullptr);
    EXPECT_EQ(CreateColumnType(-1, 0), nullptr);
    std::unique_ptr<CDataColumnType> x(CreateColumnType(1, 4));
    ASSERT_TRUE(x);
    EXPECT_EQ(x->GetRuntimeClass(), RUNTIME_CLASS(CDataColumnTypeBasic));
    EXPECT_EQ(x->GetName(), "x Data");
    EXPECT_EQ(x->GetColumn(), 4);
    EXPECT_EQ(x->GetKind(), CData::kColumnType);
    struct Expect {
        int type;
        const CRuntimeClass* cls;
        const char* name;
    } kinds[] = {
        {0, RUNTIME_CLASS(CDataColumnTypeBasic), " "}, {3, RUNTIME_CLASS(CDataCTypeXNData), "x(%1) Data"},
        {4, RUNTIME_CLASS(CDataCTypeMean), "Mean"}, {5, RUNTIME_CLASS(CDataCTypeStdDev), "Std. Deviation"},
        {6, RUNTIME_CLASS(CDataCTypeCalcFunction), "Calculated"}, {10, RUNTIME_CLASS(CDataCTypeSeries), "Series"},
        {12, RUNTIME_CLASS(CDataCTypePairMinus), "A - B"}, {13, RUNTIME_CLASS(CDataCTypePair), "A + B"},
        {14, RUNTIME_CLASS(CDataCTypePairDiv), "A / B"}, {15, RUNTIME_CLASS(CDataCTypePairMult), "A . B"},
        {16, RUNTIME_CLASS(CDataCTypeNPoints), "No. Points"}, {17, RUNTIME_CLASS(CDataCTypeSEM), "S.E. Mean"},
        {18, RUNTIME_CLASS(CDataCTypeX2), "x2: [%2]"},
    };
    for (const Expect& e : kinds) {
        std::unique_ptr<CDataColumnType> t(CreateColumnType(e.type, 2));
        ASSERT_TRUE(t) << e.type;
        EXPECT_EQ(t->GetRuntimeClass(), e.cls) << e.type;
        EXPECT_EQ(t->GetTypeNumber(), e.type);
        EXPECT_EQ(t->GetName(), e.name);
        std::unique_ptr<CData> clone(t->Clone());
        EXPECT_EQ(clone->GetRuntimeClass(), e.cls);
    }
}

TEST(ColumnTypeTest, LockingBasicColumns)
{
    FakeItem item;
    auto* x = item.SetType(0, kTypeXData);
    EXPECT_EQ(x->IsEditable(), 1);
    x->SetLocked(&item, TRUE);
    EXPECT_EQ(x->IsLocked(), 1);
    EXPECT_EQ(x->IsEditable(), 0);
    EXPECT_EQ(item.hints.back(), std::make_tuple(113, 1, 1));
    // A clone keeps the lock, so an undo that puts back a clone keeps it too.
    std::unique_ptr<CDataColumnType> clone(static_cast<CDataColumnType*>(x->Clone()));
    EXPECT_EQ(clone->IsLocked(), 1);
    x->SetLocked(&item, FALSE);
    EXPECT_EQ(x->IsEditable(), 1);

    auto* mean = item.SetType(1, kTypeMean);
    const int modified = item.modifiedCount;
    mean->SetLocked(&item, TRUE);
    EXPECT_EQ(mean->IsLocked(), 0);
    EXPECT_EQ(item.modifiedCount, modified);
}

TEST(ColumnTypeTest, SeriesFillsAndClears)
{
    FakeItem item;
    auto* s = item.SetType<CDataCTypeSeries>(0, kTypeSeries);
    item.Fill(0, {9, 9, 9, 9, 9});
    s->m_start = 1;
    s->m_increment = 0.5;
    s->m_points = 3;
    s->ComputeValue(-1, &item, TRUE);
    double v = 0;
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(item.Number(2 + i, 0, v));
        EXPECT_EQ(v, 1 + 0.5 * i); // 1, 1.5, 2
    }
    EXPECT_EQ(item.table.GetLastRow(0), 4);
    s->m_points = 0;
    s->ComputeValue(-1, &item, TRUE);
    EXPECT_EQ(item.table.GetLastRow(0), 0);
}

TEST(ColumnTypeTest, SeriesRowsAreCappedWithAMessage)
{
    RecordingReporter reporter;
    FakeItem item;
    auto* s = item.SetType<CDataCTypeSeries>(0, kTypeSeries);
    s->m_points = 2000000000;
    s->m_increment = 1;
    s->ComputeValue(-1, &item, FALSE);
    EXPECT_EQ(item.table.GetLastRow(0), kMaxTableRows + 1);
    EXPECT_EQ(reporter.Ids(), std::vector<UINT>{8490});
}

TEST(ColumnTypeTest, MeanSkipsTextAndBlanks)
{
    FakeItem item;
    item.Fill(0, {1, 2, 3});
    item.Fill(1, {3, BlankValue(), 5});
    item.table.SetCell(3, 0, new CDataString("n/a"));
    auto* mean = item.SetType<CDataCTypeMean>(2, kTypeMean);
    mean->m_sources = {0, 1};
    item.table.SetCell(4, 1, new CDataString("x"));
    item.table.SetCell(4, 0, nullptr);
    mean->ComputeValue(-1, &item, TRUE);
    double v = 0;
    ASSERT_TRUE(item.Number(2, 2, v));
    EXPECT_EQ(v, 2.0); // (1 + 3) / 2
    EXPECT_EQ(item.table.GetCell(3, 2), nullptr); // text and a blank: nothing
    EXPECT_EQ(item.table.GetCell(4, 2), nullptr);
}

TEST(ColumnTypeTest, StatisticsRowByRow)
{
    FakeItem item;
    item.Fill(0, {1, 7, 0.1, 1e8 + 0.1, 5});
    item.Fill(1, {2, 0, 0.1, 1e8 + 0.1, 0});
    item.Fill(2, {3, 0, 0.1, 1e8 + 0.1, 0});
    item.table.SetCell(6, 1, new CDataString("t"));
    item.table.DeleteCell(6, 2);
    item.table.SetCell(3, 1, new CDataString("t"));
    item.table.DeleteCell(3, 2);
    auto* n = item.SetType<CDataCTypeNPoints>(3, kTypeNPoints);
    auto* sd = item.SetType<CDataCTypeStdDev>(4, kTypeStdDev);
    auto* sem = item.SetType<CDataCTypeSEM>(5, kTypeSEM);
    for (CDataCTypeMultiColumnBase* t : {static_cast<CDataCTypeMultiColumnBase*>(n), static_cast<CDataCTypeMultiColumnBase*>(sd),
                                         static_cast<CDataCTypeMultiColumnBase*>(sem)}) {
        t->m_sources = {0, 1, 2};
        t->ComputeValue(-1, &item, TRUE);
    }
    double v = 0;
    // Row 2: 1, 2, 3 -> n 3, sd 1 (hand: deviations -1, 0, 1; 2 / 2 = 1), sem 1/sqrt(3).
    ASSERT_TRUE(item.Number(2, 3, v));
    EXPECT_EQ(v, 3);
    ASSERT_TRUE(item.Number(2, 4, v));
    EXPECT_EQ(v, 1.0);
    ASSERT_TRUE(item.Number(2, 5, v));
    EXPECT_NEAR(v, 1.0 / std::sqrt(3.0), 1e-15);
    // Row 3: one number -> n 1, no deviation.
    ASSERT_TRUE(item.Number(3, 3, v));
    EXPECT_EQ(v, 1);
    EXPECT_EQ(item.table.GetCell(3, 4), nullptr);
    EXPECT_EQ(item.table.GetCell(3, 5), nullptr);
    // Rows 4 and 5: equal values give exactly 0, not a rounding residue or NaN.
    for (int row : {4, 5}) {
        ASSERT_TRUE(item.Number(row, 4, v)) << row;
        EXPECT_EQ(v, 0.0) << row;
        ASSERT_TRUE(item.Number(row, 5, v));
        EXPECT_EQ(v, 0.0);
    }
    // Row 6: only text in two columns -> 1 number.
    ASSERT_TRUE(item.Number(6, 3, v));
    EXPECT_EQ(v, 1);
}

TEST(ColumnTypeTest, VarianceKernelAgainstHandValues)
{
    // 2, 4, 4, 4, 5, 5, 7, 9: mean 5, squared deviations sum 32, sample variance 32 / 7.
    const double x[] = {2, 4, 4, 4, 5, 5, 7, 9};
    SampleStatistics s = ComputeSampleStatistics(x, 8);
    EXPECT_EQ(s.count, 8u);
    EXPECT_DOUBLE_EQ(s.mean, 5.0);
    EXPECT_DOUBLE_EQ(s.variance, 32.0 / 7.0);
}

TEST(ColumnTypeTest, SingleRowOutsideTheSourcesStillNotifies)
{
    FakeItem item;
    item.Fill(0, {1, 2});
    auto* n = item.SetType<CDataCTypeNPoints>(1, kTypeNPoints);
    n->m_sources = {0};
    const int broadcasts = item.broadcasts, modified = item.modifiedCount;
    n->ComputeValue(50, &item, TRUE);
    EXPECT_EQ(item.table.GetLastRow(1), 0);
    EXPECT_EQ(item.broadcasts, broadcasts + 1);
    EXPECT_EQ(item.modifiedCount, modified + 1);
}

TEST(ColumnTypeTest, PairKinds)
{
    FakeItem item;
    item.Fill(0, {6, 6, 6, 6});
    item.Fill(1, {3, 0, BlankValue(), 2});
    item.table.SetCell(5, 1, new CDataString("t"));
    auto* plus = item.SetType<CDataCTypePair>(2, kTypePairPlus);
    auto* minus = item.SetType<CDataCTypePair>(3, kTypePairMinus);
    auto* mult = item.SetType<CDataCTypePair>(4, kTypePairMult);
    auto* div = item.SetType<CDataCTypePair>(5, kTypePairDiv);
    for (CDataCTypePair* p : {plus, minus, mult, div}) {
        EXPECT_EQ(p->SetColumns(&item, 0, 1), 0u);
        p->ComputeValue(-1, &item, TRUE);
    }
    double v = 0;
    ASSERT_TRUE(item.Number(2, 2, v));
    EXPECT_EQ(v, 9);
    ASSERT_TRUE(item.Number(2, 3, v));
    EXPECT_EQ(v, 3);
    ASSERT_TRUE(item.Number(2, 4, v));
    EXPECT_EQ(v, 18);
    ASSERT_TRUE(item.Number(2, 5, v));
    EXPECT_EQ(v, 2);
    EXPECT_EQ(Text(item.table, 3, 5), "ERROR - Divide by 0");
    EXPECT_EQ(item.table.GetCell(4, 5), nullptr); // B blank
    EXPECT_EQ(item.table.GetCell(5, 2), nullptr); // B text
    // Deleting column B empties the pair column.
    plus->OnColumnsDeleted(&item, &item, 1, 1);
    EXPECT_EQ(plus->m_columnB, -1);
    EXPECT_EQ(plus->GetColumn(), 1);
    EXPECT_EQ(plus->m_columnA, 0);
}

// A whole column computed at once (in slices, written back as runs) holds
// what computing its rows one by one gives: the same numbers to the bit, the
// same error texts and empty rows, and the same stored bytes.
TEST(ColumnTypeTest, WholeColumnsAreTheirRowsComputedOneByOne)
{
    constexpr int kRows = 12000; // more than one slice of rows
    constexpr int kOwn = 4;
    auto fill = [](FakeItem& item) {
        for (int r = kFirstDataRow; r < kFirstDataRow + kRows; ++r) {
            const int i = r - kFirstDataRow;
            for (int c = 0; c < 3; ++c) {
                // Rows 3000 to 5999 hold nothing but numbers, as most tables do
                // (an infinity, a NaN and a blank among them).
                const int pick = i >= 3000 && i < 6000 ? 28 : (i * 7 + c * 5) % 29;
                if (pick == 0)
                    item.table.SetCell(r, c, new CDataString("n/a"));
                else if (pick == 1)
                    item.table.SetNumber(r, c, BlankValue());
                else if (pick == 2 && c != 1)
                    continue; // an empty row of this column
                else if (pick == 3)
                    item.table.SetNumber(r, c, 0.0); // B is 0: a division error
                else if (i == 3100 && c == 0)
                    item.table.SetNumber(r, c, std::numeric_limits<double>::infinity());
                else if (i == 3200 && c == 1)
                    item.table.SetNumber(r, c, std::numeric_limits<double>::quiet_NaN()); // a NaN, not a blank
                else if (i == 3300 && c == 2)
                    item.table.SetNumber(r, c, BlankValue()); // a blank among numbers only
                else
                    item.table.SetNumber(r, c, (i % 977) * 0.37 - c * 41.5 + 1.0 / (pick + 1));
            }
        }
        // Cells the column held before, past the sources' rows too.
        for (int r = kFirstDataRow; r < kFirstDataRow + kRows + 50; r += 13)
            item.table.SetCell(r, kOwn, new CDataString("old"));
    };
    struct Case {
        const char* name;
        int type;
    };
    const std::vector<Case> cases = {{"mean", kTypeMean},        {"points", kTypeNPoints},  {"deviation", kTypeStdDev},
                                     {"error of mean", kTypeSEM}, {"A + B", kTypePairPlus}, {"A - B", kTypePairMinus},
                                     {"A . B", kTypePairMult},    {"A / B", kTypePairDiv}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeItem whole, rows;
        for (FakeItem* item : {&whole, &rows}) {
            fill(*item);
            CDataColumnType* type = item->SetType(kOwn, c.type);
            if (auto* multi = dynamic_cast<CDataCTypeMultiColumnBase*>(type))
                multi->m_sources = {0, 1, 2};
            else
                ASSERT_EQ(static_cast<CDataCTypePair*>(type)->SetColumns(item, 0, 1), 0u);
        }
        whole.table.GetColumnType(kOwn)->ComputeValue(-1, &whole, TRUE);
        const int last = rows.table.GetLastRow(-1);
        for (int r = kFirstDataRow; r <= last; ++r)
            rows.table.GetColumnType(kOwn)->ComputeValue(r, &rows, FALSE);
        int numbers = 0, errors = 0;
        for (int r = kFirstDataRow; r <= last; ++r) {
            double a = 0, b = 0;
            const bool hasA = whole.table.GetNumber(r, kOwn, a), hasB = rows.table.GetNumber(r, kOwn, b);
            ASSERT_EQ(hasA, hasB) << r;
            if (hasA) {
                ++numbers;
                ASSERT_EQ(std::bit_cast<std::uint64_t>(a), std::bit_cast<std::uint64_t>(b)) << r;
            } else {
                ASSERT_EQ(Text(whole.table, r, kOwn), Text(rows.table, r, kOwn)) << r;
                errors += Text(whole.table, r, kOwn).empty() ? 0 : 1;
            }
        }
        EXPECT_GT(numbers, kRows / 2);
        EXPECT_EQ(errors > 0, c.type == kTypePairDiv);
        EXPECT_EQ(ToHex(StoreBytes([&](CArchive& ar) { whole.table.GetColumn(kOwn)->Serialize(ar); })),
                  ToHex(StoreBytes([&](CArchive& ar) { rows.table.GetColumn(kOwn)->Serialize(ar); })));
        // One notice for the whole column.
        ASSERT_FALSE(whole.hints.empty());
        EXPECT_EQ(whole.hints.back(), std::make_tuple(int(kHintColumnsChanged), kOwn + 1, kOwn + 1));
        EXPECT_EQ(whole.broadcasts, 1);
    }
}

TEST(ColumnTypeTest, DependentsFollowAChange)
{
    FakeItem item;
    item.Fill(0, {1, 2});
    item.Fill(1, {3, 4});
    auto* mean = item.SetType<CDataCTypeMean>(3, kTypeMean);
    mean->m_sources = {0, 1};
    auto* sum = item.SetType<CDataCTypePair>(2, kTypePairPlus); // reads the mean, left of it
    sum->m_columnA = 3;
    sum->m_columnB = 0;
    mean->ComputeValue(-1, &item, FALSE);
    double v = 0;
    ASSERT_TRUE(item.Number(2, 2, v));
    EXPECT_EQ(v, 3); // mean 2 + 1
    // Edit a cell and tell the workspace: the mean and then the sum follow.
    item.table.SetNumber(2, 1, 7);
    item.NotifyColumnChanged(1, 2);
    ASSERT_TRUE(item.Number(2, 3, v));
    EXPECT_EQ(v, 4);
    ASSERT_TRUE(item.Number(2, 2, v));
    EXPECT_EQ(v, 5);
    EXPECT_TRUE(sum->DependsOn(&item, 1, &item));
    EXPECT_FALSE(mean->DependsOn(&item, 2, &item));
}

TEST(ColumnTypeTest, CyclesNeitherHangNorOverflow)
{
    // A damaged file can hold columns that feed each other; the walk must end.
    FakeItem item;
    item.Fill(0, {1});
    auto* a = item.SetType<CDataCTypeMean>(1, kTypeMean);
    auto* b = item.SetType<CDataCTypeMean>(2, kTypeMean);
    a->m_sources = {0, 2};
    b->m_sources = {1};
    EXPECT_TRUE(a->DependsOn(&item, 0, &item));
    EXPECT_FALSE(b->DependsOn(&item, 5, &item));
    item.table.SetNumber(2, 0, 4);
    item.NotifyColumnChanged(0, 2);
    double v = 0;
    ASSERT_TRUE(item.Number(2, 1, v)); // a cycle has no defined result, only an end
    EXPECT_EQ(v, 4);
    // Choosing sources refuses to make such a cycle.
    FakeItem clean;
    auto* m1 = clean.SetType<CDataCTypeMean>(1, kTypeMean);
    auto* m2 = clean.SetType<CDataCTypeMean>(2, kTypeMean);
    EXPECT_EQ(m1->SetSourceColumns(&clean, {0}), 0u);
    EXPECT_EQ(m2->SetSourceColumns(&clean, {1}), 0u);
    EXPECT_EQ(m1->SetSourceColumns(&clean, {0, 2}), 209u);
    EXPECT_EQ(m1->GetSourceColumns(), std::vector<int>{0});
    EXPECT_EQ(m1->SetSourceColumns(&clean, {1}), 208u);
    EXPECT_EQ(CheckSourceColumn(&clean, 1, -1), 496u);
}

TEST(ColumnTypeTest, ColumnShiftsFollowInsertAndDelete)
{
    FakeItem item;
    item.Fill(0, {1, 2});
    item.Fill(1, {3, 5});
    auto* mean = item.SetType<CDataCTypeMean>(3, kTypeMean);
    mean->m_sources = {0, 1};
    mean->ComputeValue(-1, &item, FALSE);
    mean->OnColumnsInserted(&item, &item, 1, 2);
    EXPECT_EQ(mean->GetColumn(), 5);
    EXPECT_EQ(mean->m_sources, (std::vector<int>{0, 3}));
    item.table.InsertColumns(1, 2);
    // Deleting a source removes it and recomputes over the rest.
    item.table.DeleteColumns(3, 1);
    mean->OnColumnsDeleted(&item, &item, 3, 1);
    EXPECT_EQ(mean->GetColumn(), 4);
    EXPECT_EQ(mean->m_sources, std::vector<int>{0});
    double v = 0;
    ASSERT_TRUE(item.Number(2, 4, v));
    EXPECT_EQ(v, 1);
}

TEST(ColumnTypeTest, CalculatedWithoutEquationLanguageShowsBadEquation)
{
    FakeItem item;
    item.Fill(0, {5, 5, 5, 5, 5});
    auto* calc = item.SetType<CDataCTypeCalcFunction>(0, kTypeCalculated);
    calc->m_rows = 3;
    calc->ComputeValue(-1, &item, TRUE);
    for (int r = 2; r <= 4; ++r)
        EXPECT_EQ(Text(item.table, r, 0), "ERROR - bad equation");
    EXPECT_EQ(item.table.GetLastRow(0), 4); // rows past the count are emptied
}

TEST(ColumnTypeTest, XnAndX2Texts)
{
    ResetLocaleChars();
    CDataCTypeXNData xn(0);
    xn.m_n = 2;
    std::string s;
    xn.GetPlainText(s);
    EXPECT_EQ(s, "x(2) Data");
    xn.SetLabel(3, "x(%1) Data");
    EXPECT_EQ(xn.m_defaultLabel, 1);
    xn.SetLabel(3, "dose %1");
    EXPECT_EQ(xn.m_defaultLabel, 0);
    xn.GetDisplayText(s, CDataFormat());
    EXPECT_EQ(s, "dose 3");

    CDataCTypeX2 x2(1);
    x2.SetXValues({0.1 + 0.2, 2, 3, 4});
    x2.GetDisplayText(s, CDataFormat());
    EXPECT_EQ(s, "x2: [0.3000]");
    x2.GetPlainText(s);
    EXPECT_EQ(s, "x2: [0.30000000000000004]");
    std::vector<double> values;
    x2.GetXValues(values);
    EXPECT_EQ(values, (std::vector<double>{0.1 + 0.2, 2, 3, 4}));
}

TEST(ColumnTypeTest, GoldenTypeRecords)
{
    CDataColumnTypeBasic basic(kTypeXData, 4);
    Bytes b = StoreBytes([&](CArchive& ar) { basic.Serialize(ar); });
    // version 0, type 1, column 4, locked 0, then Basic's own version 0.
    EXPECT_EQ(ToHex(b), ToHex(HexBytes("00000000 01000000 04000000 00000000 00000000")));

    CDataCTypeX2 x2(2);
    Bytes x = StoreBytes([&](CArchive& ar) { x2.Serialize(ar); });
    // base record (type 18), version 1, count 4, four doubles 1.0, default-label flag 1.
    EXPECT_EQ(ToHex(x), ToHex(HexBytes("00000000 12000000 02000000 00000000 01000000 0400 "
                                       "000000000000F03F 000000000000F03F 000000000000F03F 000000000000F03F "
                                       "01000000")));

    // A version-0 record holds one double: it becomes x[2], the rest 1.0.
    Bytes old = HexBytes("00000000 12000000 02000000 00000000 00000000 0000000000000040 00000000 03 616263");
    CDataCTypeX2 loaded;
    LoadBytes(old, [&](CArchive& ar) { loaded.Serialize(ar); });
    EXPECT_EQ(loaded.m_x[0], 2.0);
    EXPECT_EQ(loaded.m_x[3], 1.0);
    EXPECT_EQ(loaded.m_defaultLabel, 0);
    EXPECT_EQ(loaded.GetName(), "abc");
}

TEST(ColumnTypeTest, TypesRoundTripInsideATable)
{
    FakeItem item;
    item.Fill(0, {1, 2});
    auto* mean = item.SetType<CDataCTypeMean>(1, kTypeMean);
    mean->m_sources = {0};
    auto* pair = item.SetType<CDataCTypePair>(2, kTypePairDiv);
    pair->m_columnA = 0;
    pair->m_columnB = 1;
    auto* s = item.SetType<CDataCTypeSeries>(3, kTypeSeries);
    s->m_start = 2;
    s->m_points = 4;
    auto* xn = item.SetType<CDataCTypeXNData>(4, kTypeXNData);
    xn->SetLabel(5, "dose");
    item.SetType(5, kTypeYData)->SetLocked(&item, TRUE);
    Bytes bytes = StoreBytes([&](CArchive& ar) { item.table.Serialize(ar); });
    FakeItem back;
    LoadBytes(bytes, [&](CArchive& ar) { back.table.Serialize(ar); });
    auto* m2 = static_cast<CDataCTypeMean*>(back.table.GetColumnType(1));
    ASSERT_TRUE(m2 && m2->IsKindOf(RUNTIME_CLASS(CDataCTypeMean)));
    EXPECT_EQ(m2->m_sources, std::vector<int>{0});
    auto* p2 = static_cast<CDataCTypePair*>(back.table.GetColumnType(2));
    ASSERT_TRUE(p2->IsKindOf(RUNTIME_CLASS(CDataCTypePairDiv)));
    EXPECT_EQ(p2->m_captionId, 309);
    auto* s2 = static_cast<CDataCTypeSeries*>(back.table.GetColumnType(3));
    EXPECT_EQ(s2->m_start, 2);
    EXPECT_EQ(s2->m_points, 4);
    auto* x2 = static_cast<CDataCTypeXNData*>(back.table.GetColumnType(4));
    EXPECT_EQ(x2->m_n, 5);
    EXPECT_EQ(x2->GetName(), "dose");
    EXPECT_EQ(back.table.GetColumnType(5)->IsLocked(), 1);
    EXPECT_EQ(back.table.GetColumnType(5)->GetName(), "y Data");
}

} // namespace
