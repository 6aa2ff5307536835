#include "app/MXDoc.h"
#include "app/MXGraph.h"
#include "app/MXGrid.h"
#include "app/MXNotes.h"
#include "app/OldDataImport.h"
#include "data/DataString.h"
#include "graph/DrawGraph.h"
#include "graph/XYAxis.h"
#include "graph/XYDataset.h"
#include "graph/XYDatasetChart.h"
#include "OldFileFixtures.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <unistd.h>

namespace {

// A version-220 table: a number column, a column with every cell kind, and
// a trailer with its text.
Bytes Table220()
{
    OldBytes o;
    o.I16(6).Raw("Growth");
    o.I16(0).I16(4).Raw("Time").I16(7).I16(7).I16(2);
    o.U8(0).F64(1.5).U8(0).F64(-2.25);
    o.I16(1).I16(5).Raw("Label").I16(0).I16(0).I16(5);
    o.U8(0).F64(3.0).U8(1).U8(2).I16(3).Raw("abc").U8(0).F64(1e300).U8(2).I16(0);
    o.I16(-1);
    o.I16(0).I16(0).I16(4).Raw("memo");
    return o.bytes;
}

// An old-style column: its 30-byte name, then its doubles.
Bytes TableBefore220(bool trailer)
{
    OldBytes o;
    o.I16(0); // a nameless table
    o.I16(2).Fixed("Conc", 30).F64(0.125).F64(64);
    // A name that fills its field has no terminator.
    o.I16(1).Fixed(std::string(30, 'N') + "ignored", 30).F64(7);
    o.I16(-1);
    if (trailer)
        o.I16(0).I16(0).I16(0);
    return o.bytes;
}

Bytes DataFile(int d0, int d1, int d2, const Bytes& table)
{
    return OldBytes().Raw("ANAVZK").Version(d0, d1, d2).Append(table).bytes;
}

CMXGrid* OnlyGrid(CMXDoc& doc)
{
    auto items = doc.ItemsInRowOrder();
    return items.size() == 1 ? dynamic_cast<CMXGrid*>(items[0]) : nullptr;
}

std::string Text(const CMyData& table, int row, int column)
{
    auto* cell = dynamic_cast<CDataString*>(table.GetCell(row, column));
    return cell ? cell->GetText() : "<none>";
}

// A graph record with one object of every kind that can be read, series and
// curves included; its contents are read through and dropped.
Bytes GraphRecord()
{
    OldBytes o;
    o.I16(1).Zeros(120);
    o.Zeros(12 * 2 + 2 + 32).Zeros(140);
    auto object = [&](int type, int flag) { o.I16(type).I16(9).I16(9).I32(9).I16(flag).I16(9); };
    auto trailer = [&](std::string_view text) { o.Zeros(10 + 4 + 4 + 128).I16(int(text.size())).Raw(text); };
    object(0, 0);
    {
        o.Zeros(30);
        OldRecord body(1510);
        body.Word(210, 1).Word(524, 1);
        o.Append(body.bytes).I32(3).Raw("abc").I32(2).Raw("de");
    }
    object(1, 0), o.Zeros(209);
    object(2, 0), o.Zeros(209);
    object(11, 0), o.Zeros(209);
    object(5, 0), o.Zeros(36);
    object(8, 0), o.Zeros(128).I16(5).Raw("title");
    object(9, 0), o.Zeros(6).I32(4).Raw("1234");
    object(10, 0), o.Zeros(24);
    object(3, 1), o.Zeros(36);
    struct Series {
        int kind, points;
        std::vector<std::pair<std::size_t, int>> words;
        int arrays; // as the layout asks: counted by hand
    };
    const Series series[] = {
        {0, 3, {{32, 3}, {36, 1}, {58, 1}, {34, 3}}, 2 + 2 + 1},
        {50, 2, {{34, 3}, {38, 1}, {62, 1}}, 2 + 2},
        {150, 4, {{6, 1}}, 2},
        {150, 4, {}, 1},
        {250, 1, {{34, 3}}, 2},
        {300, 2, {{32, 3}, {34, 3}, {38, 1}, {62, 1}}, 4},
    };
    for (const Series& s : series) {
        OldRecord header(126);
        header.Word(8, s.points).Word(10, s.kind);
        for (auto [at, v] : s.words)
            header.Word(at, v);
        o.I16(1).Append(header.bytes);
        for (int a = 0; a < s.arrays * s.points; ++a)
            o.F64(a);
        trailer("series");
    }
    o.I16(0);
    object(4, 1), o.Zeros(36);
    o.I16(1).Zeros(72).I16(2).Raw("ab").I16(16).F64(1).F64(2).I16(8).F64(3);
    trailer("");
    o.I16(0);
    object(1000, 0);
    return o.bytes;
}

Bytes RecordHeader(int type) { return OldBytes().I16(type).I16(0).Zeros(22).bytes; }

Bytes NotepadRecord(std::string_view title, std::string_view text)
{
    return OldBytes().Append(RecordHeader(2)).I16(int(text.size())).I16(0).I16(0).Fixed(title, 32).Raw(text).bytes;
}

Bytes Workspace()
{
    OldBytes o;
    o.Raw("mx_VZK").Version(2, 2, 0);
    o.Append(NotepadRecord("Run", "First line\r\nSecond\tline\rThird\nFourth"));
    o.Append(RecordHeader(0)).Append(Table220());
    o.Append(RecordHeader(1)).Append(GraphRecord());
    o.Append(NotepadRecord("Run", ""));
    o.Append(NotepadRecord("\xB5M run", "x"));
    o.Append(RecordHeader(-1));
    return o.bytes;
}

} // namespace

TEST(OldDataImport, Version220TableTakesEveryCellKind)
{
    CMXDoc doc;
    ASSERT_TRUE(LoadOld(doc, DataFile(2, 2, 0, Table220())));
    EXPECT_TRUE(doc.WasConvertedData());
    EXPECT_FALSE(doc.WasVersion3Equations());
    EXPECT_EQ(doc.GetConversionNoticeID(), 1213u);
    CMXGrid* grid = OnlyGrid(doc);
    ASSERT_NE(grid, nullptr);
    const CMyData& t = grid->GetTable();
    EXPECT_EQ(Text(t, 1, 0), "Time");
    EXPECT_EQ(Text(t, 1, 1), "Label");
    double v = 0;
    EXPECT_TRUE(t.GetNumber(2, 0, v) && v == 1.5);
    EXPECT_TRUE(t.GetNumber(3, 0, v) && v == -2.25);
    EXPECT_TRUE(t.GetNumber(2, 1, v) && v == 3.0);
    // Kind 1 leaves a gap: the next cell goes to the following row.
    EXPECT_EQ(t.GetCell(3, 1), nullptr);
    EXPECT_EQ(Text(t, 4, 1), "abc");
    EXPECT_TRUE(t.GetNumber(5, 1, v) && v == 1e300);
    EXPECT_EQ(Text(t, 6, 1), "");
    EXPECT_EQ(t.GetLastColumn(), 1);
}

TEST(OldDataImport, TrailerFollowsOnlyVersionsAfter102)
{
    struct Case {
        int d2;
        bool trailer;
        bool loads;
    };
    // Version 101 ends at the end marker, 103 needs its trailer.
    for (Case c : {Case{1, false, true}, Case{3, true, true}, Case{3, false, false}}) {
        SCOPED_TRACE(c.d2);
        CMXDoc doc;
        ASSERT_EQ(LoadOld(doc, DataFile(1, 0, c.d2, TableBefore220(c.trailer))), c.loads);
        CMXGrid* grid = OnlyGrid(doc);
        ASSERT_NE(grid, nullptr); // a failed table stays with what was read
        const CMyData& t = grid->GetTable();
        EXPECT_EQ(Text(t, 1, 0), "Conc");
        EXPECT_EQ(Text(t, 1, 1), std::string(30, 'N'));
        double v = 0;
        EXPECT_TRUE(t.GetNumber(2, 0, v) && v == 0.125);
        EXPECT_TRUE(t.GetNumber(3, 0, v) && v == 64);
        EXPECT_TRUE(t.GetNumber(2, 1, v) && v == 7);
        EXPECT_EQ(t.GetLastRow(0), 3);
    }
}

TEST(OldDataImport, FirstEndMarkerGivesAnEmptyTable)
{
    CMXDoc doc;
    ASSERT_TRUE(LoadOld(doc, DataFile(2, 2, 0, OldBytes().I16(0).I16(-1).I16(0).I16(0).I16(0).bytes)));
    CMXGrid* grid = OnlyGrid(doc);
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->GetTable().GetLastRow(-1), -1);
}

TEST(OldDataImport, WorkspaceGivesNotesTablesAndGraphs)
{
    CMXDoc doc;
    std::string error;
    ASSERT_TRUE(LoadOld(doc, Workspace(), &error)) << error;
    EXPECT_TRUE(doc.WasConvertedData());
    std::vector<std::string> names;
    for (CMXProjectItem* item : doc.ItemsInRowOrder())
        names.push_back(item->GetName());
    // The graph record gives a table of its series' points and a graph item.
    ASSERT_EQ(names.size(), 6u);
    EXPECT_EQ(names[0], "Results - Run");
    EXPECT_EQ(names[4], "Results - Run #2");
    EXPECT_EQ(names[5], "Results - \xC2\xB5M run"); // the title's Windows-1252 micro sign, as UTF-8
    auto items = doc.ItemsInRowOrder();
    ASSERT_NE(dynamic_cast<CMXGrid*>(items[1]), nullptr);
    EXPECT_EQ(Text(static_cast<CMXGrid*>(items[1])->GetTable(), 4, 1), "abc");

    auto* note = dynamic_cast<CMXNotes*>(items[0]);
    ASSERT_NE(note, nullptr);
    CRtfDocument text = note->GetRichData().GetDocument();
    EXPECT_EQ(text.PlainText(), "First line\nSecond\tline\nThird\nFourth");
    ASSERT_EQ(text.paragraphs.size(), 4u);
    const CHARFORMAT& f = text.paragraphs[1].runs.at(0).format;
    EXPECT_STREQ(f.szFaceName, "Courier New");
    EXPECT_EQ(f.yHeight, 200);
    EXPECT_EQ(f.dwEffects & (CFE_BOLD | CFE_ITALIC | CFE_UNDERLINE | CFE_STRIKEOUT | CFE_AUTOCOLOR), 0u);
    EXPECT_EQ(dynamic_cast<CMXNotes*>(items[4])->GetRichData().GetPlainText(), "");
}

namespace {

template <class T>
T* FindOnPage(CMXGraph& item)
{
    T* found = nullptr;
    for (CDrawObj* obj : item.GetPage().GetObjects())
        if (auto* g = dynamic_cast<T*>(obj))
            found = g;
    return found;
}

std::vector<double> ColumnValues(const CMyData& t, int column, int rows)
{
    std::vector<double> values;
    for (int r = 2; r < 2 + rows; ++r) {
        double v = -1;
        values.push_back(t.GetNumber(r, column, v) ? v : -1.0);
    }
    return values;
}

// Loads the workspace of every record kind: its graph record's table and graph item.
void LoadGraphWorkspace(CMXDoc& doc, CMXGrid*& data, CMXGraph*& item)
{
    std::string error;
    ASSERT_TRUE(LoadOld(doc, Workspace(), &error)) << error;
    auto items = doc.ItemsInRowOrder();
    ASSERT_EQ(items.size(), 6u);
    data = dynamic_cast<CMXGrid*>(items[2]);
    item = dynamic_cast<CMXGraph*>(items[3]);
    ASSERT_TRUE(data && item);
}

} // namespace

// The XY series of the old graph record (kinds below 100) become columns of
// a table and table datasets of an XY graph; series of kinds from 300, the
// curves and the page's objects are read through.
TEST(OldDataImport, GraphSeriesBecomeATableAndAGraph)
{
    CMXDoc doc;
    CMXGrid* data = nullptr;
    CMXGraph* item = nullptr;
    ASSERT_NO_FATAL_FAILURE(LoadGraphWorkspace(doc, data, item));
    CDrawXYGraph* graph = FindOnPage<CDrawXYGraph>(*item);
    ASSERT_NE(graph, nullptr);
    ASSERT_EQ(graph->GetDatasetCount(), 2);
    // Series 1: x 0..2, y 3..5, two x error arrays (6..11, dropped), one y error array 12..14.
    CXYDataset* first = graph->GetDataset(0);
    ASSERT_EQ(first->GetPointCount(), 3);
    EXPECT_EQ(first->m_x, (std::vector<double>{0, 1, 2}));
    EXPECT_EQ(first->m_y, (std::vector<double>{3, 4, 5}));
    EXPECT_EQ(first->m_nYErrorMode, 4);
    EXPECT_EQ(first->m_yPlus, (std::vector<double>{12, 13, 14}));
    EXPECT_EQ(first->m_yMinus, (std::vector<double>{12, 13, 14}));
    // Series 2: x 0..1, y 2..3, plus errors 4..5 and minus errors 6..7.
    CXYDataset* second = graph->GetDataset(1);
    ASSERT_EQ(second->GetPointCount(), 2);
    EXPECT_EQ(second->m_yPlus, (std::vector<double>{4, 5}));
    EXPECT_EQ(second->m_yMinus, (std::vector<double>{6, 7}));
    EXPECT_EQ(Text(data->GetTable(), 1, 1), "series");
    EXPECT_EQ(Text(data->GetTable(), 1, 0), "series X");
    // The axes take the points in: y 2..14 with bars up to 14 + 14.
    EXPECT_GE(graph->GetYAxis(0)->m_dMax, 28.0);
}

// The chart series of the same record (kinds 100 to 299) follow the XY
// series in the table, after a column of category numbers, and become the
// series of a column chart below the XY graph.
TEST(OldDataImport, ChartSeriesBecomeAColumnChart)
{
    CMXDoc doc;
    CMXGrid* data = nullptr;
    CMXGraph* item = nullptr;
    ASSERT_NO_FATAL_FAILURE(LoadGraphWorkspace(doc, data, item));
    const CMyData& t = data->GetTable();
    // XY columns 0 to 6 (x, y, error; x, y, plus, minus), then the categories.
    EXPECT_EQ(Text(t, 1, 7), "Category");
    EXPECT_EQ(ColumnValues(t, 7, 4), (std::vector<double>{1, 2, 3, 4}));
    CDrawColumnGraph* chart = FindOnPage<CDrawColumnGraph>(*item);
    CDrawXYGraph* xy = FindOnPage<CDrawXYGraph>(*item);
    ASSERT_TRUE(chart && xy);
    EXPECT_LT(NormalizedRect(chart->GetPosition()).bottom, NormalizedRect(xy->GetPosition()).top); // below it
    EXPECT_EQ(chart->GetCategoryCount(), 4);
    ASSERT_EQ(chart->GetDatasetCount(), 3);
    // Kind 150 with the extra array: values 0..3, bar starts 4..7.
    auto* a = dynamic_cast<CXYDatasetChart*>(chart->GetDataset(0));
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->m_nUpperColumn, 8);
    EXPECT_EQ(a->m_nLowerColumn, 9);
    EXPECT_EQ(ColumnValues(t, 8, 4), (std::vector<double>{0, 1, 2, 3}));
    EXPECT_EQ(ColumnValues(t, 9, 4), (std::vector<double>{4, 5, 6, 7}));
    EXPECT_EQ(Text(t, 1, 9), "series Start");
    a->Recalculate();
    EXPECT_EQ(a->m_y, (std::vector<double>{0, 1, 2, 3}));
    EXPECT_EQ(a->m_x, (std::vector<double>{4, 5, 6, 7}));
    // Kind 150 without it: values only.
    auto* b = dynamic_cast<CXYDatasetChart*>(chart->GetDataset(1));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->m_nUpperColumn, 10);
    EXPECT_EQ(b->m_nLowerColumn, -1);
    EXPECT_EQ(b->m_nYErrorMode, 0);
    // Kind 250 of one point with one error array: value 0, error 1.
    auto* c = dynamic_cast<CXYDatasetChart*>(chart->GetDataset(2));
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->m_nUpperColumn, 11);
    EXPECT_EQ(c->m_nYErrorMode, 3);
    EXPECT_EQ(c->m_nYPlusColumn, 12);
    EXPECT_EQ(ColumnValues(t, 11, 1), (std::vector<double>{0}));
    EXPECT_EQ(ColumnValues(t, 12, 1), (std::vector<double>{1}));
    EXPECT_EQ(t.GetLastColumn(), 12);
}

// A graph of chart series alone: one column chart in the graph's usual place,
// and two error arrays give plus and minus errors.
TEST(OldDataImport, ChartOnlyGraphWithPlusAndMinusErrors)
{
    OldBytes o;
    o.Raw("mx_VZK").Version(2, 2, 0);
    o.Append(RecordHeader(1));
    o.I16(1).Zeros(120).Zeros(12 * 2 + 2 + 32).Zeros(140);
    o.I16(3).I16(0).I16(0).I32(0).I16(1).I16(0).Zeros(36); // the series list
    OldRecord header(126);
    header.Word(8, 3).Word(10, 210).Word(34, 3).Word(38, 1).Word(62, 1);
    o.I16(1).Append(header.bytes);
    for (double v : {10.0, 20.0, 30.0, 1.0, 2.0, 3.0, 0.5, 0.25, 0.125})
        o.F64(v);
    o.Zeros(10 + 4 + 4 + 128).I16(5).Raw("Yield");
    o.I16(0);
    o.I16(1000).I16(0).I16(0).I32(0).I16(0).I16(0);
    o.Append(RecordHeader(-1));
    CMXDoc doc;
    std::string error;
    ASSERT_TRUE(LoadOld(doc, o.bytes, &error)) << error;
    auto items = doc.ItemsInRowOrder();
    ASSERT_EQ(items.size(), 2u);
    auto* data = dynamic_cast<CMXGrid*>(items[0]);
    auto* item = dynamic_cast<CMXGraph*>(items[1]);
    ASSERT_TRUE(data && item);
    EXPECT_EQ(FindOnPage<CDrawXYGraph>(*item), nullptr);
    CDrawColumnGraph* chart = FindOnPage<CDrawColumnGraph>(*item);
    ASSERT_NE(chart, nullptr);
    EXPECT_EQ(NormalizedRect(chart->GetPosition()), NormalizedRect(RECT{1080, -4320, 6120, -720}));
    ASSERT_EQ(chart->GetDatasetCount(), 1);
    auto* d = dynamic_cast<CXYDatasetChart*>(chart->GetDataset(0));
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->m_nYErrorMode, 4);
    const CMyData& t = data->GetTable();
    EXPECT_EQ(Text(t, 1, d->m_nUpperColumn), "Yield");
    EXPECT_EQ(ColumnValues(t, d->m_nUpperColumn, 3), (std::vector<double>{10, 20, 30}));
    EXPECT_EQ(ColumnValues(t, d->m_nYPlusColumn, 3), (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(ColumnValues(t, d->m_nYMinusColumn, 3), (std::vector<double>{0.5, 0.25, 0.125}));
    d->Recalculate();
    EXPECT_EQ(d->m_yMinus, (std::vector<double>{0.5, 0.25, 0.125}));
    // The value axis takes in the bars and their errors: 0 to 30 + 3.
    EXPECT_LE(chart->GetYAxis(0)->m_dMin, 0.0);
    EXPECT_GE(chart->GetYAxis(0)->m_dMax, 33.0);
}

// The valid files that the damage tests cut and scramble, one test each, so
// that each stays well inside its time limit on a busy machine.
struct ValidOldFile {
    const char* name;
    Bytes (*make)();
};

// Test lists name the file, not the bytes of the pointers.
[[maybe_unused]] void PrintTo(const ValidOldFile& file, std::ostream* out) { *out << file.name; }

const ValidOldFile kValidOldFiles[] = {
    {"Table220", [] { return DataFile(2, 2, 0, Table220()); }},
    {"TableBefore220", [] { return DataFile(1, 0, 3, TableBefore220(true)); }},
    {"Workspace", [] { return Workspace(); }},
};

class OldDataDamage : public ::testing::TestWithParam<ValidOldFile> {};

INSTANTIATE_TEST_SUITE_P(OldDataImport, OldDataDamage, ::testing::ValuesIn(kValidOldFiles),
                         [](const ::testing::TestParamInfo<ValidOldFile>& info) { return std::string(info.param.name); });

TEST_P(OldDataDamage, EveryCutOfAValidFileIsRefused)
{
    const Bytes whole = GetParam().make();
    for (std::size_t n : CutPoints(whole, 6)) {
        CMXDoc doc;
        std::string error;
        ASSERT_FALSE(LoadOld(doc, Bytes(whole.begin(), whole.begin() + std::ptrdiff_t(n)), &error)) << n;
        ASSERT_FALSE(error.empty());
    }
}

TEST(OldDataImport, DamagedRecordsAreRefusedWithTheirReason)
{
    auto table = [](const Bytes& body) { return DataFile(2, 2, 0, body); };
    auto column220 = [](int nameLength, int cells) { return OldBytes().I16(0).I16(0).I16(nameLength).I16(0).I16(0).I16(cells); };
    auto workspace = [](const Bytes& records) { return OldBytes().Raw("mx_VZK").Version(2, 2, 0).Append(records).bytes; };
    auto graph = [](int subVersion, std::function<void(OldBytes&)> objects) {
        OldBytes o;
        o.Append(RecordHeader(1)).I16(subVersion).Zeros(120 + 58 + 140);
        objects(o);
        return o.bytes;
    };
    auto object = [](OldBytes& o, int type, int flag) { o.I16(type).I16(0).I16(0).I32(0).I16(flag).I16(0); };
    struct Case {
        const char* name;
        Bytes bytes;
        const char* reason;
    };
    const Case cases[] = {
        {"negative table name", table(OldBytes().I16(-3).bytes), "negative count -3"},
        {"table name past the end", table(OldBytes().I16(32000).Raw("ab").bytes), "count 32000, more than"},
        {"negative column before 220", DataFile(1, 0, 1, OldBytes().I16(0).I16(-2).Zeros(30).bytes), "negative count -2"},
        {"huge column before 220", DataFile(1, 0, 1, OldBytes().I16(0).I16(30000).Zeros(30).F64(1).bytes),
         "count 30000, more than"},
        {"negative column name", table(column220(-1, 0).bytes), "negative count -1"},
        {"negative cell count", table(column220(0, -32768).bytes), "negative count -32768"},
        {"huge cell count", table(column220(0, 32767).U8(1).bytes), "count 32767, more than"},
        {"unknown cell kind", table(column220(0, 1).U8(3).bytes), "unknown kind 3"},
        {"long text cell", table(column220(0, 1).U8(2).I16(257).Zeros(257).I16(-1).Zeros(6).bytes), "longer than 256"},
        {"negative text cell", table(column220(0, 1).U8(2).I16(-9).bytes), "negative count -9"},
        {"long trailer", table(OldBytes().I16(0).I16(-1).I16(0).I16(0).I16(258).Zeros(258).bytes), "longer than 257"},
        {"negative trailer", table(OldBytes().I16(0).I16(-1).I16(0).I16(0).I16(-4).bytes), "negative count -4"},
        {"unknown record", workspace(RecordHeader(3)), "unknown type 3"},
        {"short record header", workspace(OldBytes().I16(-1).I16(0).Zeros(21).bytes), "ends"},
        {"negative notepad", workspace(OldBytes().Append(RecordHeader(2)).I16(-1).I16(0).I16(0).Zeros(32).bytes),
         "negative count -1"},
        {"graph sub-version", workspace(graph(2, [](OldBytes&) {})), "unknown form 2"},
        {"graph object 6", workspace(graph(1, [&](OldBytes& o) { object(o, 6, 0); })), "unknown type 6"},
        {"graph object above 1000", workspace(graph(1, [&](OldBytes& o) { object(o, 1001, 0); })), "unknown type 1001"},
        {"graph negative block", workspace(graph(1, [&](OldBytes& o) { object(o, 9, 0), o.Zeros(6).I32(-5); })),
         "negative count -5"},
        {"graph huge block", workspace(graph(1, [&](OldBytes& o) { object(o, 9, 0), o.Zeros(6).I32(0x7FFFFFFF); })),
         "more than"},
        {"graph unmarked series", workspace(graph(1, [&](OldBytes& o) { object(o, 3, 0); })), "not marked"},
        {"graph huge series",
         workspace(graph(1,
                         [&](OldBytes& o) {
                             object(o, 3, 1);
                             OldRecord header(126);
                             header.Word(8, 65535).Word(10, 0);
                             o.Zeros(36).I16(1).Append(header.bytes).F64(1);
                         })),
         "count 65535, more than"},
        {"graph negative curve", workspace(graph(1, [&](OldBytes& o) { object(o, 4, 1), o.Zeros(36).I16(1).Zeros(72).I16(-7); })),
         "negative count -7"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CMXDoc doc;
        std::string error;
        ASSERT_FALSE(LoadOld(doc, c.bytes, &error));
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
    }
}

namespace {

std::string WriteTemp(const std::string& name, const Bytes& bytes)
{
    auto path = std::filesystem::temp_directory_path() / ("marlox-old-" + std::to_string(::getpid()) + "-" + name);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return path.string();
}

} // namespace

TEST(OldDataImport, FlatFilesOpenIntoANewWorkspace)
{
    RecordingReporter reporter;
    CMXDoc doc;
    doc.OnNewDocument();
    auto* kept = new CMXNotes(&doc);
    kept->InitNewItem();

    // Old graph files, files too short for a magic, text and empty files are
    // refused with a message that names the file; the workspace stays.
    struct Refused {
        Bytes bytes;
        UINT message;
        const char* text;
    } refused[] = {
        {OldBytes().Raw("EGRVZK").Zeros(40).bytes, 8509, "\" is not a Marlox workspace file. It may belong to another program."},
        {OldBytes().Raw("ANAVZ").bytes, 8509, "\" is not a Marlox workspace file. It may belong to another program."},
        {OldBytes().Raw("x,y\n1,2\n").bytes, 8509, "\" is not a Marlox workspace file. It may belong to another program."},
        {Bytes(), 8508, "\" is empty. It holds no Marlox workspace."},
    };
    for (const Refused& c : refused) {
        std::string path = WriteTemp("refused.mxd", c.bytes);
        reporter.messages.clear();
        EXPECT_FALSE(doc.OnOpenDocument(path));
        ASSERT_EQ(reporter.Ids(), std::vector<UINT>{c.message}) << c.text;
        EXPECT_EQ(reporter.messages[0].text, "The file \"" + path + c.text);
        std::filesystem::remove(path);
    }
    EXPECT_EQ(doc.ItemsInRowOrder().size(), 1u);

    std::string path = WriteTemp("table.mxd", DataFile(2, 2, 0, Table220()));
    ASSERT_TRUE(doc.OnOpenDocument(path));
    EXPECT_TRUE(doc.WasConvertedData());
    ASSERT_NE(OnlyGrid(doc), nullptr);
    EXPECT_EQ(doc.GetPathName(), path);

    // A damaged one fails with its reason and leaves an empty workspace.
    Bytes damaged = DataFile(2, 2, 0, Table220());
    damaged.resize(damaged.size() - 2);
    std::string damagedPath = WriteTemp("damaged.mxd", damaged);
    reporter.messages.clear();
    EXPECT_FALSE(doc.OnOpenDocument(damagedPath));
    ASSERT_EQ(reporter.messages.size(), 1u);
    EXPECT_NE(reporter.messages[0].text.find("more than the rest"), std::string::npos) << reporter.messages[0].text;
    EXPECT_TRUE(doc.ItemsInRowOrder().empty());
    EXPECT_FALSE(doc.WasConvertedData());
    std::filesystem::remove(path);
    std::filesystem::remove(damagedPath);
}

// The scrambling runs in four quarters of 100 rounds per file, each with its
// own seed, so that a busy machine finishes each well inside the time limit.
class OldDataScramble : public ::testing::TestWithParam<std::tuple<ValidOldFile, int>> {};

INSTANTIATE_TEST_SUITE_P(OldDataImport, OldDataScramble,
                         ::testing::Combine(::testing::ValuesIn(kValidOldFiles), ::testing::Range(0, 4)),
                         [](const ::testing::TestParamInfo<std::tuple<ValidOldFile, int>>& info) {
                             return std::string(std::get<0>(info.param).name) + "_"
                                 + std::to_string(std::get<1>(info.param));
                         });

TEST_P(OldDataScramble, ScrambledFilesLoadOrFailCleanly)
{
    // Fixed seeds: the same damage on every run. Whatever the bytes, a load
    // either succeeds or fails with a reason; the sanitizers watch the rest.
    const auto& [file, quarter] = GetParam();
    std::mt19937 random(20261210u + unsigned(quarter));
    const Bytes whole = file.make();
    for (int round = 0; round < 100; ++round) {
        Bytes bytes = whole;
        int changes = 1 + int(random() % 4);
        for (int i = 0; i < changes; ++i)
            bytes[6 + random() % (bytes.size() - 6)] = BYTE(random());
        CMXDoc doc;
        std::string error;
        bool loaded = LoadOld(doc, bytes, &error);
        ASSERT_TRUE(loaded || !error.empty());
    }
}
