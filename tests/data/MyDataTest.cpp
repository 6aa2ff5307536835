#include "data/DataDouble.h"
#include "data/DataString.h"
#include "data/LocaleChars.h"
#include "data/MyData.h"
#include "data/NumberText.h"
#include "framework/ArchiveHelpers.h"
#include "platform/File.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace {

class MyDataTest : public ::testing::Test {
protected:
    void SetUp() override { ResetLocaleChars(); }
    void TearDown() override { ResetLocaleChars(); }
};

std::string Display(const CMyData& t, int row, int column)
{
    std::string s;
    if (CData* c = t.GetCell(row, column))
        c->GetDisplayText(s, t.GetColumnFormat(column));
    return s;
}

int Kind(const CMyData& t, int row, int column)
{
    CData* c = t.GetCell(row, column);
    return c ? c->GetKind() : -1;
}

TEST_F(MyDataTest, NumberTextReadsOnlyPlainDecimalNumbers)
{
    struct Case {
        const char* text;
        bool ok;
        double value;
    } cases[] = {
        {"1e3", true, 1000.0}, {"12", true, 12.0}, {"-1.5", true, -1.5}, {"+2", true, 2.0},
        {".5", true, 0.5}, {"5.", true, 5.0}, {"2.5E-2", true, 0.025}, {"1e-400", true, 0.0},
        {"nan", false, 0}, {"inf", false, 0}, {"-inf", false, 0}, {"0x10", false, 0},
        {"1.5.2", false, 0}, {"1e", false, 0}, {"", false, 0}, {".", false, 0}, {"1e999", false, 0},
        {"12 m", false, 0}, {" 1", false, 0}, {"--1", false, 0},
    };
    for (const Case& c : cases) {
        double v = -99.0;
        EXPECT_EQ(ParseNumberText(c.text, v), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(v, c.value) << c.text;
        }
    }
}

TEST_F(MyDataTest, PlainTextOfANumberReadsBackExactly)
{
    // "%lg" would keep six digits: 0.1 + 0.2 and 1/3 would not survive a copy.
    for (double v : {0.1 + 0.2, 1.0 / 3.0, 123456789.123, -2.5e-300, 1e21, 6.02214076e23, 0.0}) {
        std::string text;
        CDataDouble(v).GetPlainText(text);
        double back = 0;
        ASSERT_TRUE(ParseNumberText(text, back)) << text;
        EXPECT_EQ(back, v) << text;
    }
    std::string text;
    CDataDouble(0.1).GetPlainText(text);
    EXPECT_EQ(text, "0.1");
}

TEST_F(MyDataTest, MakeDataFromString)
{
    EXPECT_EQ(MakeDataFromString(""), nullptr);
    EXPECT_EQ(MakeDataFromString("   "), nullptr);
    std::unique_ptr<CData> n(MakeDataFromString(" 12 "));
    ASSERT_EQ(n->GetKind(), CData::kNumber);
    EXPECT_EQ(static_cast<CDataDouble*>(n.get())->m_value, 12.0);
    std::unique_ptr<CData> e(MakeDataFromString("1e3"));
    EXPECT_EQ(static_cast<CDataDouble*>(e.get())->m_value, 1000.0);
    for (const char* text : {"12 m", "1.5.2", "nan", "inf", "0x10"}) {
        std::unique_ptr<CData> t(MakeDataFromString(text));
        ASSERT_EQ(t->GetKind(), CData::kText) << text;
        EXPECT_EQ(static_cast<CDataString*>(t.get())->m_text, text);
    }
    std::unique_ptr<CData> q(MakeDataFromString("'12"));
    ASSERT_EQ(q->GetKind(), CData::kText);
    std::string shown, plain;
    q->GetDisplayText(shown, CDataFormat());
    q->GetPlainText(plain);
    EXPECT_EQ(shown, "12");
    EXPECT_EQ(plain, "'12");
    std::unique_ptr<CData> comma(MakeDataFromString("1,5", ","));
    ASSERT_EQ(comma->GetKind(), CData::kNumber);
    EXPECT_EQ(static_cast<CDataDouble*>(comma.get())->m_value, 1.5);
}

TEST_F(MyDataTest, FreshTable)
{
    CMyData t;
    EXPECT_EQ(t.GetLastColumn(), -1);
    EXPECT_EQ(t.GetLastRow(-1), -1);
    EXPECT_EQ(t.GetColumnName(0), "(Column 1)");
    EXPECT_EQ(t.GetColumnName(-1), "");
    EXPECT_EQ(&t.GetColumnFormat(5), &t.GetDefaultFormat());
    EXPECT_EQ(t.IsColumnMissing(0), 1);
}

TEST_F(MyDataTest, SetCellGrowsTheTableAndReplacesCells)
{
    CMyData t;
    t.SetCell(7, 3, new CDataDouble(1.0));
    EXPECT_EQ(t.GetLastColumn(), 3);
    EXPECT_EQ(t.GetLastRow(3), 7);
    EXPECT_EQ(t.IsColumnMissing(2), 1);
    t.SetCell(7, 3, new CDataString("x")); // the number is deleted (ASan would see a leak)
    EXPECT_EQ(Kind(t, 7, 3), CData::kText);
    t.SetCell(9, 3, nullptr); // association without a cell
    EXPECT_EQ(t.GetLastRow(3), 9);
    EXPECT_EQ(t.GetCell(9, 3), nullptr);
    t.SetCell(1, 3, new CDataString("Time"));
    EXPECT_EQ(t.GetColumnName(3), "Time");
}

TEST_F(MyDataTest, BlankValuesAreMissingNumbers)
{
    CMyData t;
    t.SetNumber(2, 0, BlankValue());
    t.SetNumber(3, 0, 4.0);
    double v = 0;
    EXPECT_FALSE(t.GetNumber(2, 0, v));
    EXPECT_TRUE(t.GetNumber(3, 0, v));
    EXPECT_EQ(v, 4.0);
}

TEST_F(MyDataTest, DeletingTheLastCellRemovesTheColumnAndItsFormat)
{
    CMyData t;
    t.SetNumber(2, 1, 1.0);
    CDataFormat f;
    f.m_decimals = 1;
    t.SetColumnFormat(1, f);
    EXPECT_EQ(t.GetColumnFormat(1).m_decimals, 1);
    t.DeleteCell(2, 1);
    EXPECT_EQ(t.IsColumnMissing(1), 1);
    EXPECT_EQ(t.GetColumnFormat(1).m_decimals, 4);
    EXPECT_EQ(t.GetLastColumn(), -1);
}

TEST_F(MyDataTest, FormatOfAColumnBeyondTheLastShowsOnceCellsReachIt)
{
    CMyData t;
    CDataFormat f;
    f.m_decimals = 2;
    t.SetColumnFormat(4, f);
    EXPECT_EQ(t.GetColumnFormat(4).m_decimals, 4);
    t.SetNumber(2, 4, 1.25);
    EXPECT_EQ(t.GetColumnFormat(4).m_decimals, 2);
    EXPECT_EQ(Display(t, 2, 4), "1.25");
    // A format equal to the default makes no record.
    t.SetColumnFormat(6, CDataFormat());
    EXPECT_EQ(t.GetColumn(6), nullptr);
}

TEST_F(MyDataTest, DetachHandsOwnershipBack)
{
    CMyData t;
    t.SetNumber(2, 0, 3.5);
    t.SetNumber(3, 0, 4.5);
    std::unique_ptr<CData> cell(t.DetachCell(3, 0));
    ASSERT_TRUE(cell);
    EXPECT_EQ(static_cast<CDataDouble*>(cell.get())->m_value, 4.5);
    EXPECT_EQ(t.GetLastRow(0), 2);
    EXPECT_EQ(t.DetachCell(3, 0), nullptr);
}

TEST_F(MyDataTest, RowAndRangeShifts)
{
    CMyData t;
    for (int r = 0; r < 6; ++r)
        t.SetNumber(r, 0, r);
    t.SetNumber(5, 1, 50);
    t.DeleteRows(2, 2); // rows 2 and 3 go, 4 and 5 move up
    double v = 0;
    ASSERT_TRUE(t.GetNumber(2, 0, v));
    EXPECT_EQ(v, 4);
    EXPECT_EQ(t.GetLastRow(0), 3);
    ASSERT_TRUE(t.GetNumber(3, 1, v));
    EXPECT_EQ(v, 50);
    t.InsertRows(1, 3);
    ASSERT_TRUE(t.GetNumber(4, 0, v));
    EXPECT_EQ(v, 1);
    EXPECT_EQ(t.GetCell(1, 0), nullptr);
    EXPECT_EQ(t.GetLastRow(-1), 6);

    // Nothing happens for a first row past every column's end.
    t.DeleteRows(40, 2);
    EXPECT_EQ(t.GetLastRow(-1), 6);

    // Horizontal shifts move cells between columns.
    CMyData h;
    for (int c = 0; c < 4; ++c)
        h.SetNumber(2, c, c);
    h.DeleteCellRange(RECT{1, 2, 1, 2}, FALSE);
    ASSERT_TRUE(h.GetNumber(2, 1, v));
    EXPECT_EQ(v, 2);
    EXPECT_EQ(h.GetLastColumn(), 2);
    h.InsertCellRange(RECT{0, 2, 1, 2}, FALSE);
    ASSERT_TRUE(h.GetNumber(2, 2, v));
    EXPECT_EQ(v, 0);
    ASSERT_TRUE(h.GetNumber(2, 4, v));
    EXPECT_EQ(v, 3);
    EXPECT_EQ(h.GetCell(2, 0), nullptr);
}

TEST_F(MyDataTest, ColumnInsertAndDeleteMoveWholeColumns)
{
    CMyData t;
    CDataFormat f;
    f.m_decimals = 1;
    for (int c = 0; c < 3; ++c)
        t.SetNumber(2, c, c);
    t.SetColumnFormat(1, f);
    t.InsertColumns(1, 2);
    EXPECT_EQ(t.GetLastColumn(), 4);
    EXPECT_EQ(t.IsColumnMissing(1), 1);
    EXPECT_EQ(t.GetColumnFormat(3).m_decimals, 1);
    t.DeleteColumns(0, 3);
    EXPECT_EQ(t.GetLastColumn(), 1);
    EXPECT_EQ(t.GetColumnFormat(0).m_decimals, 1);
    double v = 0;
    ASSERT_TRUE(t.GetNumber(2, 1, v));
    EXPECT_EQ(v, 2);
}

TEST_F(MyDataTest, TabTextWithEveryLineEnd)
{
    for (const char* text : {"a\tb\r\n1\t2", "a\tb\n1\t2", "a\tb\r1\t2", "a\tb\r\n1\t2\r\n"}) {
        CMyData t(text);
        EXPECT_EQ(Kind(t, 0, 0), CData::kText) << text;
        EXPECT_EQ(Display(t, 0, 1), "b");
        double v = 0;
        ASSERT_TRUE(t.GetNumber(1, 1, v)) << text;
        EXPECT_EQ(v, 2.0);
        EXPECT_EQ(t.GetLastRow(-1), 1) << text;
    }
    // An empty field before the line end still counts as a position.
    CMyData e("1\t\r\n2\t3");
    EXPECT_TRUE(e.HasAssociation(0, 1));
    EXPECT_EQ(e.GetCell(0, 1), nullptr);
    EXPECT_EQ(e.GetLastColumn(), 1);
}

TEST_F(MyDataTest, BlankSeparatedTextWithQuotes)
{
    CMyData t("x  \"12\" \"say \"\"hi\"\"\"\r\n 1.5   2\n3");
    EXPECT_EQ(Display(t, 0, 0), "x");
    EXPECT_EQ(Kind(t, 0, 1), CData::kText);
    EXPECT_EQ(Display(t, 0, 1), "12");
    EXPECT_EQ(Display(t, 0, 2), "say \"hi\"");
    double v = 0;
    ASSERT_TRUE(t.GetNumber(1, 0, v));
    EXPECT_EQ(v, 1.5);
    ASSERT_TRUE(t.GetNumber(1, 1, v));
    EXPECT_EQ(v, 2);
    ASSERT_TRUE(t.GetNumber(2, 0, v));
    EXPECT_EQ(v, 3);
}

TEST_F(MyDataTest, TextExportRoundTripsEveryDigit)
{
    CMyData t;
    t.SetNumber(0, 0, 0.1 + 0.2);
    t.SetCell(0, 1, new CDataString("'007"));
    t.SetNumber(1, 1, 1.0 / 3.0);
    CMemFile file;
    std::uint64_t end = t.WriteRangeAsText(file, RECT{0, 0, 1, 1});
    std::string text(end, '\0');
    file.SeekToBegin();
    file.Read(text.data(), text.size());
    EXPECT_EQ(text, "0.30000000000000004\t'007\r\n\t0.3333333333333333");
    CMyData back(text);
    double v = 0;
    ASSERT_TRUE(back.GetNumber(0, 0, v));
    EXPECT_EQ(v, 0.1 + 0.2);
    ASSERT_TRUE(back.GetNumber(1, 1, v));
    EXPECT_EQ(v, 1.0 / 3.0);
    EXPECT_EQ(Display(back, 0, 1), "007");
}

TEST_F(MyDataTest, GoldenBytesOfTheValueClasses)
{
    Bytes d = StoreBytes([](CArchive& ar) { CDataDouble(1.5).Serialize(ar); });
    EXPECT_EQ(ToHex(d), ToHex(HexBytes("00000000 000000000000F83F")));
    Bytes s = StoreBytes([](CArchive& ar) { CDataString("ab").Serialize(ar); });
    EXPECT_EQ(ToHex(s), ToHex(HexBytes("00000000 02 6162")));
    Bytes dd = StoreBytes([](CArchive& ar) { CDataDoubleDescriptor("n", 1.5).Serialize(ar); });
    EXPECT_EQ(ToHex(dd), ToHex(HexBytes("00000000 00000000 000000000000F83F 01 6E")));
    // As an archived object: new-class tag, schema 0, name length and name.
    Bytes o = StoreBytes([](CArchive& ar) {
        CDataDouble v(1.5);
        ar.WriteObject(&v);
    });
    EXPECT_EQ(ToHex(o), ToHex(HexBytes("FFFF 0000 0B00 434461746144 6F75626C65 00000000 000000000000F83F")));
}

TEST_F(MyDataTest, EmptyTableIsFortySixBytes)
{
    CMyData t;
    Bytes b = StoreBytes([&](CArchive& ar) { t.Serialize(ar); });
    EXPECT_EQ(ToHex(b), ToHex(HexBytes("00000000 0000 "
                                       "00000000 04000000 0C000000 00000000 00000000 01000000 00000000 00000000 00000000 "
                                       "FFFFFFFF")));
}

TEST_F(MyDataTest, TableRoundTrip)
{
    CMyData t;
    CDataFormat f;
    f.m_decimals = 2;
    t.SetColumnFormat(0, f);
    t.SetCell(1, 0, new CDataString("x"));
    for (int r = 2; r < 40; ++r)
        t.SetNumber(r, 0, r * 0.5);
    t.SetCell(5, 2, new CDataStringDescriptor("d", "t"));
    t.SetCell(6, 2, nullptr);
    Bytes b = StoreBytes([&](CArchive& ar) { ar.WriteObject(&t); });
    std::unique_ptr<CMyData> back;
    LoadBytes(b, [&](CArchive& ar) { back.reset(static_cast<CMyData*>(ar.ReadObject(RUNTIME_CLASS(CMyData)))); });
    ASSERT_TRUE(back);
    back->CompactNumbers();
    EXPECT_EQ(back->GetLastColumn(), 2);
    EXPECT_EQ(back->GetLastRow(0), 39);
    EXPECT_EQ(back->GetLastRow(2), 6);
    EXPECT_EQ(back->GetColumnFormat(0).m_decimals, 2);
    EXPECT_EQ(back->GetColumnName(0), "x");
    double v = 0;
    ASSERT_TRUE(back->GetNumber(39, 0, v));
    EXPECT_EQ(v, 19.5);
    std::string desc;
    ASSERT_TRUE(back->GetCell(5, 2));
    EXPECT_EQ(back->GetCell(5, 2)->GetDescriptor(desc), 1);
    EXPECT_EQ(desc, "d");
    EXPECT_TRUE(back->HasAssociation(6, 2));
    // Storing again gives the same bytes.
    Bytes again = StoreBytes([&](CArchive& ar) { ar.WriteObject(back.get()); });
    EXPECT_EQ(ToHex(again), ToHex(b));
}

TEST_F(MyDataTest, StoredOrderWalksHashBuckets)
{
    // Rows 2 and 20: 2 >> 4 = 0 (bucket 0), 20 >> 4 = 1 (bucket 1); row 300:
    // 300 >> 4 = 18, 18 mod 17 = 1, so it shares bucket 1 and comes first.
    EXPECT_EQ(StoredKeyOrder({2, 20, 300}), (std::vector<int>{2, 300, 20}));
}

TEST_F(MyDataTest, DamagedTablesFailCleanly)
{
    // A column map that claims 0xFFFF0000 associations in a few bytes.
    Bytes huge = HexBytes("00000000 FFFF 0000FFFF");
    CMyData t;
    EXPECT_THROW(LoadBytes(huge, [&](CArchive& ar) { t.Serialize(ar); }), CArchiveException);

    // One cell object referred to from two rows: refused, not owned twice.
    CMyData good;
    good.SetCell(2, 0, new CDataString("a"));
    good.SetCell(3, 0, new CDataString("b"));
    Bytes b = StoreBytes([&](CArchive& ar) { good.Serialize(ar); });
    // Indices: CColData class 1, the column 2, CDataString class 3, row 3's
    // cell 4 (rows of a bucket are written newest first). Row 2's cell is a
    // known-class tag (0x8003) and its body; make it a reference to object 4.
    std::string hex = ToHex(b);
    std::string second = ToHex(HexBytes("0380 00000000 01 61"));
    auto pos = hex.find(second);
    ASSERT_NE(pos, std::string::npos) << hex;
    hex.replace(pos, second.size(), ToHex(HexBytes("0400")));
    Bytes damaged = HexBytes(hex);
    CMyData bad;
    EXPECT_THROW(LoadBytes(damaged, [&](CArchive& ar) { bad.Serialize(ar); }), CArchiveException);
}

} // namespace

#include "data/DataCTypeMean.h"
#include "data/DataCTypeX2.h"

namespace {

// Every truncation and many single-byte changes of a stored table either load
// or fail with an archive exception; none may crash, leak or hang (ASan watches).
TEST(MyDataDamageTest, TruncatedAndAlteredTablesFailCleanly)
{
    RecordingReporter reporter;
    CMyData t;
    t.SetCell(0, 0, CreateColumnType(kTypeMean, 0));
    static_cast<CDataCTypeMean*>(t.GetColumnType(0))->m_sources = {1, 2};
    t.SetCell(0, 1, CreateColumnType(kTypeX2, 1));
    t.SetCell(1, 1, new CDataString("name"));
    for (int r = 2; r < 12; ++r)
        t.SetNumber(r, 1, r);
    t.SetCell(3, 2, new CDataStringDescriptor("d", "text"));
    Bytes good = StoreBytes([&](CArchive& ar) { t.Serialize(ar); });
    // A table that loads is whole: it stores again and reads back to the same bytes.
    auto tryLoad = [](const Bytes& bytes) {
        CMyData back;
        try {
            LoadBytes(bytes, [&](CArchive& ar) { back.Serialize(ar); });
        } catch (const CArchiveException&) {
            return false;
        }
        Bytes again = StoreBytes([&](CArchive& ar) { back.Serialize(ar); });
        CMyData twice;
        LoadBytes(again, [&](CArchive& ar) { twice.Serialize(ar); });
        EXPECT_EQ(StoreBytes([&](CArchive& ar) { twice.Serialize(ar); }), again);
        return true;
    };
    ASSERT_TRUE(tryLoad(good));
    // Every byte of the record is needed: no cut-off table passes as a table.
    for (std::size_t n = 0; n < good.size(); ++n)
        EXPECT_FALSE(tryLoad(Bytes(good.begin(), good.begin() + std::ptrdiff_t(n)))) << "cut at " << n;
    int refused = 0;
    for (std::size_t i = 0; i < good.size(); ++i)
        for (BYTE v : {BYTE(0x00), BYTE(0x7F), BYTE(0x80), BYTE(0xFF)}) {
            Bytes bad = good;
            bad[i] = v;
            refused += !tryLoad(bad);
        }
    // Changes of class tags, counts and lengths must be caught.
    EXPECT_GT(refused, 0);
}

} // namespace

namespace {

// Rows come back in row order whatever the stored bucket order, for dense
// columns (placed by row) and sparse ones (sorted), with other cells among
// the numbers; storing again gives the same bytes.
TEST(MyDataRowOrderTest, LoadedRowsAreInRowOrder)
{
    const std::vector<std::vector<int>> cases = {
        {2},
        {2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 40, 41, 300},
        {0, 1, 2, 5, 6, 7, 9},
        {2, 5, 70000, 123456789, 1 << 30},
    };
    for (const std::vector<int>& rows : cases) {
        CMyData t;
        for (int r : rows) {
            if (r % 7 == 3)
                t.SetCell(r, 0, new CDataString("s" + std::to_string(r)));
            else
                t.SetNumber(r, 0, r * 0.5);
        }
        Bytes b = StoreBytes([&](CArchive& ar) { t.Serialize(ar); });
        CMyData back;
        LoadBytes(b, [&](CArchive& ar) { back.Serialize(ar); });
        EXPECT_EQ(back.GetLastRow(0), rows.back());
        for (int r : rows) {
            ASSERT_TRUE(back.HasAssociation(r, 0)) << r;
            if (r % 7 == 3) {
                EXPECT_EQ(Display(back, r, 0), "s" + std::to_string(r));
            } else {
                double v = 0;
                ASSERT_TRUE(back.GetNumber(r, 0, v)) << r;
                EXPECT_EQ(v, r * 0.5) << r; // exact: halves of integers
            }
        }
        EXPECT_FALSE(back.HasAssociation(rows.back() + 1, 0));
        EXPECT_EQ(ToHex(StoreBytes([&](CArchive& ar) { back.Serialize(ar); })), ToHex(b));
    }
}

// A row stored twice is refused, where rows are placed by row and where they are sorted.
TEST(MyDataRowOrderTest, RowStoredTwiceIsRefused)
{
    struct Case {
        int second, third;
        const char* from; // the second row's bytes, made row 2
    } cases[] = {
        {3, 4, "03 00 00 00"},       // dense
        {5, 1 << 30, "05 00 00 00"}, // sparse
    };
    for (const Case& c : cases) {
        CMyData t;
        t.SetNumber(2, 0, 0.5);
        t.SetNumber(c.second, 0, 0.5);
        t.SetNumber(c.third, 0, 0.5);
        std::string hex = ToHex(StoreBytes([&](CArchive& ar) { t.Serialize(ar); }));
        // The first occurrence is the cell's key (the last row follows the cells).
        auto pos = hex.find(c.from);
        ASSERT_NE(pos, std::string::npos) << hex;
        hex.replace(pos, std::strlen(c.from), "02 00 00 00");
        CMyData bad;
        try {
            LoadBytes(HexBytes(hex), [&](CArchive& ar) { bad.Serialize(ar); });
            ADD_FAILURE() << c.second;
        } catch (const CArchiveException& e) {
            EXPECT_EQ(e.m_cause, CArchiveException::badIndex) << c.second;
        }
    }
}

} // namespace
