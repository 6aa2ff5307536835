// Data filters: the call-backs, the query of installed libraries, file
// import and export and the clipboard, with a filter library built for the tests.
#include "data/DataCTypeX2.h"
#include "data/DataColumnType.h"
#include "data/DataFilters.h"
#include "data/DataString.h"
#include "data/FileErrorMessage.h"
#include "data/FilterCallbacks.h"
#include "data/MyData.h"
#include "platform/Clipboard.h"
#include "platform/StringTable.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

std::string TempPath(const std::string& name)
{
    return (std::filesystem::temp_directory_path() / ("marlox-filter-" + std::to_string(::getpid()) + "-" + name))
        .string();
}

void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string Text(const CMyData& t, int row, int column)
{
    std::string s;
    if (CData* cell = t.GetCell(row, column))
        cell->GetPlainText(s);
    return s;
}

struct Scope {
    explicit Scope(CMyData* t) { SetFilterTable(t); }
    ~Scope() { SetFilterTable(nullptr); }
};

CDataFilters Installed() 
{
    CDataFilters filters;
    filters.Query({MX_SEMICOLON_FILTER, "/nonexistent/none.mxr"});
    return filters;
}

} // namespace

TEST(FilterCallbacks, RawStringIsCutToTheBuffer)
{
    CMyData t;
    t.SetCell(2, 0, new CDataString(std::string(600, 'q')));
    Scope scope(&t);
    std::memset(filterBuffer, 'x', sizeof filterBuffer);
    ASSERT_EQ(FilterGetDataRawString(2, 0), 1);
    // 511 characters and the NUL that ends them.
    EXPECT_EQ(std::strlen(filterBuffer), 511u);
    EXPECT_EQ(filterBuffer[511], '\0');
    EXPECT_EQ(FilterGetDataRawString(3, 0), 0);
    EXPECT_EQ(filterBuffer[0], '\0');
}

TEST(FilterCallbacks, WithoutATableEveryCallAnswersZero)
{
    SetFilterTable(nullptr);
    EXPECT_EQ(FilterSetDataNumber(2, 0, 1.0), 0);
    EXPECT_EQ(FilterSetDataString(2, 0), 0);
    EXPECT_EQ(FilterGetDataType(2, 0), 0);
    EXPECT_EQ(FilterGetDataNumber(2, 0), 0.0);
    EXPECT_EQ(FilterSetColumnType(0, 1, 0, 0, 0, 0), 0);
}

TEST(FilterCallbacks, CellsTypesAndInformation)
{
    CMyData t;
    Scope scope(&t);
    EXPECT_EQ(FilterSetDataNumber(2, 0, 2.5), 1);
    std::strcpy(filterBuffer, "  7.25 ");
    EXPECT_EQ(FilterSetDataFromString(3, 0), 1);
    std::strcpy(filterBuffer, "7.25");
    EXPECT_EQ(FilterSetDataString(4, 0), 1);
    EXPECT_EQ(FilterGetDataType(2, 0), 1);
    EXPECT_EQ(FilterGetDataType(3, 0), 1); // the trimmed text reads as a number
    EXPECT_EQ(FilterGetDataType(4, 0), 2);
    EXPECT_EQ(FilterGetDataNumber(3, 0), 7.25);
    EXPECT_EQ(FilterGetDataNumber(4, 0), 0.0); // text is no number
    EXPECT_EQ(FilterSetColumnType(1, 3, 1, 2, 3, 4), 1);
    auto* x2 = dynamic_cast<CDataCTypeX2*>(t.GetColumnType(1));
    ASSERT_NE(x2, nullptr);
    EXPECT_EQ(x2->m_x, (std::array<double, 4>{1, 2, 3, 4}));
    EXPECT_EQ(FilterGetDataType(0, 1), -1);
    EXPECT_EQ(FilterSetColumnType(2, 4, 0, 0, 0, 0), 0); // no kind 4
    EXPECT_EQ(t.GetColumnType(2), nullptr);
    EXPECT_EQ(FilterDeleteData(2, 0), 1);
    EXPECT_EQ(t.GetCell(2, 0), nullptr);
    EXPECT_EQ(MX4Information(4), '.');
    EXPECT_EQ(MX4Information(5), ',');
    EXPECT_EQ(MX4Information(6), 0);
    EXPECT_EQ(MX4Information(-1), 0);
}

TEST(DataFilters, QueryListsUsableLibraries)
{
    CDataFilters filters = Installed();
    ASSERT_EQ(filters.GetFilters().size(), 1u);
    const CFilterInfo& f = filters.GetFilters()[0];
    EXPECT_EQ(f.extension, "scd");
    EXPECT_EQ(f.description, "Semicolon Data");
    EXPECT_EQ(f.mimeType, "application/x-marlox-filter-scd");
    EXPECT_EQ(filters.GetImportFilterString(),
              "All Importable Data Files|*.txt;*.scd|Text Files|*.txt|Semicolon Data|*.scd|All Files|*.*||");
    EXPECT_EQ(filters.GetExportFilterString(),
              "Text Files|*.txt|Semicolon Data|*.scd|All Exportable Data Files|*.txt;*.scd|All Files|*.*||");
}

TEST(DataFilters, ImportsAFileIntoANewTable)
{
    RecordingReporter reporter;
    CDataFilters filters = Installed();
    const std::string path = TempPath("in.SCD");
    WriteFile(path, "SCD\nTime;Rate\n0;1.5\n2;abc\n");
    int result = 0;
    auto table = filters.LoadFilterAndImport(path, "SCD", result);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(result, 4); // the filter's answer: the rows it read (names and three lines)
    EXPECT_EQ(table->GetColumnName(1), "Rate");
    EXPECT_EQ(Text(*table, 2, 1), "1.5");
    EXPECT_EQ(Text(*table, 3, 1), "abc");
    ASSERT_NE(table->GetColumnType(0), nullptr);
    EXPECT_EQ(table->GetColumnType(0)->GetTypeNumber(), 1);
    EXPECT_EQ(GetFilterTable(), nullptr);
    EXPECT_TRUE(reporter.messages.empty());
    std::filesystem::remove(path);
}

TEST(DataFilters, AFileThatCannotBeReadOrWrittenIsToldByItsCause)
{
    RecordingReporter reporter;
    CDataFilters filters = Installed();
    int result = 0;
    const std::string missing = TempPath("no-such-file.SCD");
    std::filesystem::remove(missing);
    EXPECT_EQ(filters.LoadFilterAndImport(missing, "SCD", result), nullptr);
    ASSERT_EQ(reporter.Ids(), std::vector<UINT>{291});
    EXPECT_EQ(reporter.messages[0].args, (std::vector<std::string>{"reading", missing}));
    EXPECT_EQ(LoadString(291), "File \"%2\" not found.");

    // Writing into a folder that is a file: the path is no path.
    reporter.messages.clear();
    const std::string file = TempPath("plain-file");
    WriteFile(file, "x");
    CMyData t;
    t.SetNumber(2, 0, 1);
    EXPECT_FALSE(filters.ExportToFile(t, RECT{0, 2, 0, 2}, file + "/out.txt"));
    ASSERT_EQ(reporter.Ids(), std::vector<UINT>{292});
    std::filesystem::remove(file);
}

TEST(DataFilters, FileErrorMessagesFollowTheirCause)
{
    RecordingReporter reporter;
    ReportFileException(CFileException(CFileException::none), "a.txt", true);
    EXPECT_TRUE(reporter.messages.empty());
    ReportFileException(CFileException(CFileException::sharingViolation), "b.txt", false);
    ASSERT_EQ(reporter.Ids(), std::vector<UINT>{300});
    EXPECT_EQ(reporter.messages[0].args, (std::vector<std::string>{"writing", "b.txt"}));
    const std::pair<CFileException::Cause, UINT> table[] = {
        {CFileException::genericException, 290}, {CFileException::fileNotFound, 291},
        {CFileException::badPath, 292},          {CFileException::tooManyOpenFiles, 293},
        {CFileException::accessDenied, 294},     {CFileException::invalidFile, 295},
        {CFileException::removeCurrentDir, 296}, {CFileException::directoryFull, 297},
        {CFileException::badSeek, 298},          {CFileException::hardIO, 299},
        {CFileException::sharingViolation, 300}, {CFileException::lockViolation, 301},
        {CFileException::diskFull, 302},         {CFileException::endOfFile, 303},
    };
    for (const auto& [cause, id] : table)
        EXPECT_EQ(FileExceptionMessageId(cause), id) << int(cause);
}

TEST(DataFilters, PlainTextAndTheConvertChoice)
{
    RecordingReporter reporter;
    CDataFilters filters = Installed();
    const std::string text = TempPath("plain.TXT");
    WriteFile(text, "1\t2\n3\t4\n");
    int result = -5;
    bool asked = false;
    auto table = filters.LoadFilterAndImport(text, "TXT", result, [&](const auto&, int) {
        asked = true;
        return -1;
    });
    ASSERT_NE(table, nullptr);
    EXPECT_FALSE(asked);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(Text(*table, 1, 1), "4");

    // A NUL inside: not text; no filter accepts it, so nothing is preselected.
    const std::string binary = TempPath("binary.txt");
    WriteFile(binary, std::string("1\0002", 3));
    std::vector<std::string> entries;
    int preselected = 99;
    table = filters.LoadFilterAndImport(binary, "txt", result, [&](const auto& e, int p) {
        entries = e;
        preselected = p;
        return -1;
    });
    EXPECT_EQ(table, nullptr);
    EXPECT_EQ(entries, (std::vector<std::string>{"Semicolon Data", "Text Files"}));
    EXPECT_EQ(preselected, -1);
    EXPECT_TRUE(reporter.messages.empty()); // cancelled: no message

    // Content that the filter recognises under another extension is preselected.
    const std::string other = TempPath("data.dat");
    WriteFile(other, "SCD\nA\n1\n");
    table = filters.LoadFilterAndImport(other, "dat", result, [&](const auto&, int p) { return p; });
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(Text(*table, 2, 0), "1");
    // Text Files chosen for data that is not text: not converted.
    table = filters.LoadFilterAndImport(binary, "txt", result, [](const auto&, int) { return 1; });
    EXPECT_EQ(table, nullptr);
    EXPECT_EQ(reporter.Ids(), (std::vector<UINT>{196}));
    for (const auto& p : {text, binary, other})
        std::filesystem::remove(p);
}

TEST(DataFilters, ExportsATableAndRendersTheClipboard)
{
    RecordingReporter reporter;
    CDataFilters filters = Installed();
    CMyData t;
    t.SetCell(1, 0, new CDataString("x"));
    t.SetCell(1, 1, new CDataString("y"));
    t.SetNumber(2, 0, 1);
    t.SetNumber(2, 1, 0.5);
    const std::string path = TempPath("out.scd");
    ASSERT_TRUE(filters.ExportToFile(t, RECT{0, 1, 1, 2}, path));
    EXPECT_EQ(ReadFile(path), "SCD\nx;y\n1;0.5\n");
    // The same file read back gives the same cells.
    int result = 0;
    auto back = filters.LoadFilterAndImport(path, "scd", result);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(Text(*back, 2, 1), "0.5");
    EXPECT_EQ(back->GetColumnName(0), "x");

    std::vector<BYTE> bytes;
    ASSERT_TRUE(filters.RenderFormat(t, RECT{1, 2, 1, 2}, "application/x-marlox-filter-scd", bytes));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), std::string("SCD\n0.5\n\0", 9));
    // A filter that claims more than its buffer is held to the buffer.
    ::setenv("SCD_OVERCLAIM", "1", 1);
    ASSERT_TRUE(filters.RenderFormat(t, RECT{1, 2, 1, 2}, "application/x-marlox-filter-scd", bytes));
    ::unsetenv("SCD_OVERCLAIM");
    EXPECT_EQ(bytes.size(), 9u);

    // The rendered block pastes back through the clipboard import.
    GetClipboard().SetData({{"application/x-marlox-filter-scd", bytes}});
    auto pasted = filters.ImportFromClipboard(result);
    ASSERT_NE(pasted, nullptr);
    EXPECT_EQ(Text(*pasted, 1, 0), "0.5");
    GetClipboard().SetData({});
    EXPECT_EQ(filters.ImportFromClipboard(result), nullptr);
    EXPECT_EQ(result, -1);

    // Text files are written by the built-in writer; unknown kinds are refused.
    ASSERT_TRUE(filters.ExportToFile(t, RECT{0, 2, 1, 2}, TempPath("out.txt")));
    EXPECT_EQ(ReadFile(TempPath("out.txt")), "1\t0.5");
    EXPECT_FALSE(filters.ExportToFile(t, RECT{0, 2, 1, 2}, TempPath("out.xyz")));
    EXPECT_EQ(reporter.Ids(), (std::vector<UINT>{201}));
    for (const auto& p : {path, TempPath("out.txt")})
        std::filesystem::remove(p);
}

namespace {

// A cell's kind and text, for comparing what was exported with what came back.
std::string Described(const CMyData& t, int row, int column)
{
    CData* cell = t.GetCell(row, column);
    if (!cell)
        return "blank";
    std::string s;
    cell->GetPlainText(s);
    return (cell->GetKind() == CData::kNumber ? "number " : "text ") + s;
}

} // namespace

TEST(DataFilters, TextExportReadsBackAsTheSameCells)
{
    // Texts that once came back changed: split at blanks (one column has no
    // tab, so the reader takes it as blank-separated), at tabs and line ends,
    // empty texts, quotes, number-like texts, texts of blanks.
    const std::vector<std::string> texts = {
        "two words", " leading", "trailing ", "a\tb", "line\r\nbreak", "cr\ronly", "lf\nonly", "", "   ",
        "\"quoted\"", "say \"hi\"", "\"", "12", "1.5e3", "'007", "-", "x", "caf\xC3\xA9", "a  b",
    };
    for (bool oneColumn : {true, false}) {
        SCOPED_TRACE(oneColumn ? "one column" : "two columns");
        RecordingReporter reporter;
        CDataFilters filters = Installed();
        CMyData t;
        int row = kFirstDataRow;
        for (const std::string& s : texts) {
            t.SetCell(row, 0, new CDataString(s));
            if (!oneColumn)
                t.SetNumber(row, 1, row * 0.1);
            ++row;
        }
        t.SetNumber(row++, 0, 1.0 / 3.0);
        ++row; // a blank row in between
        t.SetNumber(row, 0, -2.5e-300);
        const RECT range{0, kFirstDataRow, oneColumn ? 0 : 1, row};
        const std::string path = TempPath("roundtrip.txt");
        ASSERT_TRUE(filters.ExportToFile(t, range, path));
        int result = 0;
        auto back = filters.LoadFilterAndImport(path, "txt", result);
        ASSERT_NE(back, nullptr);
        for (int r = kFirstDataRow; r <= row; ++r)
            for (int c = 0; c <= range.right; ++c)
                EXPECT_EQ(Described(*back, r - kFirstDataRow, c), Described(t, r, c)) << "row " << r;
        EXPECT_TRUE(reporter.messages.empty());
        std::filesystem::remove(path);
    }
}

TEST(DataFilters, TextExportSaysWhichCellsItCannotWrite)
{
    // Control characters make the reader refuse a text file: they are left
    // out, and the export names the first cell that lost them.
    RecordingReporter reporter;
    CDataFilters filters = Installed();
    CMyData t;
    t.SetCell(kFirstDataRow, 0, new CDataString("fine"));
    t.SetCell(kFirstDataRow + 1, 1, new CDataString(std::string("bell\x07") + "ring"));
    t.SetCell(kFirstDataRow + 2, 0, new CDataString("esc\x1b"));
    const std::string path = TempPath("controls.txt");
    ASSERT_TRUE(filters.ExportToFile(t, RECT{0, kFirstDataRow, 1, kFirstDataRow + 2}, path));
    ASSERT_EQ(reporter.Ids(), std::vector<UINT>{8531});
    EXPECT_EQ(reporter.messages[0].args, (std::vector<std::string>{"2", "2", "2"}));
    int result = 0;
    auto back = filters.LoadFilterAndImport(path, "txt", result);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(Described(*back, 1, 1), "text bellring");
    EXPECT_EQ(Described(*back, 2, 0), "text esc");
    std::filesystem::remove(path);
}
