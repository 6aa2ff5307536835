#include "app/OldDataImport.h"

#include "app/MXDoc.h"
#include "app/MXGraph.h"
#include "app/MXGrid.h"
#include "app/MXNotes.h"
#include "app/OldFileReader.h"
#include "data/DataString.h"
#include "graph/DrawGraph.h"
#include "graph/XYAxis.h"
#include "graph/XYDatasetChart.h"
#include "graph/XYDatasetTable.h"
#include "grid/GridData.h"
#include "platform/Exceptions.h"
#include "ui/RtfDocument.h"

#include <algorithm>
#include <cstring>

namespace {

// Version 220 brought counted column names and typed cells; versions after
// 102 end a table with a trailer.
constexpr int kTypedCellsVersion = 220;
constexpr int kTrailerAfterVersion = 102;
constexpr std::size_t kOldColumnNameWidth = 30;
constexpr std::size_t kMaxCellText = 256;
constexpr std::int16_t kMaxTrailerText = 257;
// The longest column name kept; the old program's names were far shorter.
constexpr std::size_t kMaxColumnName = 256;
constexpr std::int16_t kEndMarker = -1;

enum OldCellKind : std::uint8_t { kCellNumber = 0, kCellEmpty = 1, kCellText = 2 };
enum OldRecordType : std::int16_t { kRecordEnd = -1, kRecordTable = 0, kRecordGraph = 1, kRecordNotepad = 2 };

constexpr const char* kNotePattern = "Results - %2%1";

// A note's text as paragraphs: lines end with CR LF, LF or CR.
CRtfDocument NoteDocument(const std::string& text, const CHARFORMAT& format)
{
    CRtfDocument doc;
    PARAFORMAT para = CRtfDocument::PlainParaFormat();
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n')
            continue;
        doc.AppendText(std::string_view(text).substr(start, i - start), format);
        doc.EndParagraph(para, format);
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    doc.AppendText(std::string_view(text).substr(start), format);
    doc.EndDocument(para, format);
    return doc;
}

} // namespace

CHARFORMAT COldDataImport::NoteCharFormat()
{
    CHARFORMAT format = CRtfDocument::PlainCharFormat();
    format.dwEffects = 0;
    format.yHeight = 200; // twips: 10 pt
    format.crTextColor = GridSysColor(COLOR_WINDOWTEXT);
    format.bPitchAndFamily = FIXED_PITCH | FF_MODERN;
    CRtfDocument::SetFaceName(format, "Courier New");
    return format;
}

int COldDataImport::ReadVersionHeader(COldFileReader& in)
{
    int d0 = in.Int16();
    int d1 = in.Int16();
    int d2 = in.Int16();
    in.Skip(4);
    return (d0 * 10 + d1) * 10 + d2;
}

bool COldDataImport::Run(CArchive& ar, void (COldDataImport::*body)(COldFileReader&, int), int version)
{
    m_error.clear();
    try {
        COldFileReader in(ar);
        (this->*body)(in, version);
        return true;
    } catch (const CException& e) {
        m_error = e.GetText();
    }
    return false;
}

bool COldDataImport::ConvertOldDataFile(CArchive& ar, int version)
{
    return Run(ar, &COldDataImport::DataFileBody, version);
}

bool COldDataImport::ConvertOldWorkspace(CArchive& ar) { return Run(ar, &COldDataImport::WorkspaceBody, 0); }

void COldDataImport::DataFileBody(COldFileReader& in, int version) { ReadTable(in, version); }

void COldDataImport::WorkspaceBody(COldFileReader& in, int)
{
    const int version = ReadVersionHeader(in);
    for (;;) {
        std::int16_t type = in.Int16();
        in.Int16();
        in.Skip(22);
        switch (type) {
        case kRecordEnd: return;
        case kRecordTable: ReadTable(in, version); break;
        case kRecordGraph: ReadGraph(in); break;
        case kRecordNotepad: ReadNotepad(in); break;
        default:
            COldFileReader::Fail("The file is damaged: it holds a record of the unknown type " + std::to_string(type)
                                 + ".");
        }
    }
}

void COldDataImport::ReadTable(COldFileReader& in, int version)
{
    auto* item = new CMXGrid(&m_doc);
    item->InitNewItem();
    CMyData& table = item->GetTable();
    in.Skip(in.CheckCount(in.Int16(), 1, "the table name"));
    int column = 0;
    for (std::int16_t marker = in.Int16(); marker != kEndMarker; marker = in.Int16(), ++column) {
        if (version < kTypedCellsVersion) {
            std::string name = in.Text(kOldColumnNameWidth, kOldColumnNameWidth);
            std::uint32_t count = in.CheckCount(marker, sizeof(double), "a column");
            table.SetCell(1, column, new CDataString(name));
            for (std::uint32_t i = 0; i < count; ++i)
                table.SetNumber(kFirstDataRow + int(i), column, in.Double());
            continue;
        }
        std::string name = in.Text(in.CheckCount(in.Int16(), 1, "a column name"), kMaxColumnName);
        table.SetCell(1, column, new CDataString(name));
        in.Int16();
        in.Int16();
        // Every cell is at least its kind byte.
        std::uint32_t count = in.CheckCount(in.Int16(), 1, "a column");
        int row = kFirstDataRow;
        for (std::uint32_t i = 0; i < count; ++i, ++row) {
            switch (std::uint8_t kind = in.Byte()) {
            case kCellNumber: table.SetNumber(row, column, in.Double()); break;
            case kCellEmpty: break;
            case kCellText: {
                std::uint32_t length = in.CheckCount(in.Int16(), 1, "a text cell");
                if (length > kMaxCellText)
                    COldFileReader::Fail("The file is damaged: a text cell of " + std::to_string(length)
                                         + " characters is longer than 256.");
                table.SetCell(row, column, new CDataString(in.Text(length, kMaxCellText)));
                break;
            }
            default:
                COldFileReader::Fail("The file is damaged: a cell of the unknown kind " + std::to_string(kind) + ".");
            }
        }
    }
    if (version > kTrailerAfterVersion) {
        in.Int16();
        in.Int16();
        std::int16_t length = in.Int16();
        if (length > kMaxTrailerText)
            COldFileReader::Fail("The file is damaged: the table ends in a text of " + std::to_string(length)
                                 + " characters, longer than 257.");
        in.Skip(in.CheckCount(length, 1, "the table's closing text"));
    }
    item->OpenWindow();
}

void COldDataImport::ReadNotepad(COldFileReader& in)
{
    std::uint32_t length = in.CheckCount(in.Int16(), 1, "a notepad");
    in.Int16();
    in.Int16();
    std::string title = in.Text(32, 32);
    // The whole text is kept: it is bounded by the int16 count.
    std::string text = in.Text(length, length);
    auto* notes = new CMXNotes(&m_doc);
    notes->InitNewItem();
    notes->MakeUniqueName(kNotePattern, title);
    notes->UpdateListText();
    notes->GetRichData().SetDocument(NoteDocument(text, NoteCharFormat()));
    notes->OpenWindow();
}

namespace {

// Puts values into a column from the first data row on, under a name.
void FillOldColumn(CMyData& table, int column, const std::string& name, const std::vector<double>& values)
{
    table.SetCell(1, column, new CDataString(name));
    for (std::size_t i = 0; i < values.size(); ++i)
        table.SetNumber(kFirstDataRow + int(i), column, values[i]);
}

// The y error columns of a series, in order: plus (or single), minus.
void FillErrorColumns(CMyData& table, int& column, const std::string& title,
                      const std::vector<std::vector<double>>& errors, int& plus, int& minus)
{
    plus = minus = -1;
    for (std::size_t e = 0; e < errors.size() && e < 2; ++e) {
        const int c = column++;
        (e == 0 ? plus : minus) = c;
        FillOldColumn(table, c, title + (e == 0 ? " Error" : " Error -"), errors[e]);
    }
}

} // namespace

void COldDataImport::MakeGraph(const std::vector<OldSeries>& series)
{
    if (series.empty())
        return;
    auto* data = new CMXGrid(&m_doc);
    data->InitNewItem();
    CMyData& table = data->GetTable();
    auto* item = new CMXGraph(&m_doc);
    item->InitNewItem();
    CMXDrawData& page = item->GetPage();
    const bool anyXY = std::any_of(series.begin(), series.end(), [](const OldSeries& s) { return !s.chart; });
    const bool anyChart = std::any_of(series.begin(), series.end(), [](const OldSeries& s) { return s.chart; });
    // A 7 by 5 inch frame an inch and a half inside the paper's upper left
    // corner; a chart beside XY series goes below it, 4 inches high.
    CDrawXYGraph* graph = anyXY ? new CDrawXYGraph(RECT{1080, -4320, 6120, -720}, &page) : nullptr;
    CDrawColumnGraph* chart =
        anyChart ? new CDrawColumnGraph(anyXY ? RECT{1080, -7560, 6120, -4680} : RECT{1080, -4320, 6120, -720}, &page)
                 : nullptr;
    int column = 0;
    for (std::size_t s = 0; s < series.size(); ++s) {
        const OldSeries& one = series[s];
        if (one.chart)
            continue;
        const std::string title = one.name.empty() ? "Series " + std::to_string(s + 1) : one.name;
        const int x = column++, y = column++;
        FillOldColumn(table, x, title + " X", one.x);
        FillOldColumn(table, y, title, one.y);
        int plus = -1, minus = -1;
        FillErrorColumns(table, column, title, one.yErrors, plus, minus);
        auto* dataset = new CXYDatasetTable(data->GetName(), x, y, plus, graph);
        if (minus != -1)
            dataset->m_nYMinusColumn = minus;
        dataset->m_nSymbolShape = int(s % 16);
        graph->AddDataset(dataset, title, true);
    }
    if (chart) {
        // The categories are numbered 1, 2, ... as far as the longest series goes.
        std::size_t categories = 0;
        for (const OldSeries& one : series)
            if (one.chart)
                categories = std::max(categories, one.y.size());
        const int labels = column++;
        std::vector<double> numbers(categories);
        for (std::size_t i = 0; i < categories; ++i)
            numbers[i] = double(i + 1);
        FillOldColumn(table, labels, "Category", numbers);
        chart->GetCategoryAxis()->SetCategorySource(data->GetName(), labels);
        for (std::size_t s = 0; s < series.size(); ++s) {
            const OldSeries& one = series[s];
            if (!one.chart)
                continue;
            const std::string title = one.name.empty() ? "Series " + std::to_string(s + 1) : one.name;
            const int upper = column++;
            FillOldColumn(table, upper, title, one.y);
            int lower = -1;
            if (!one.x.empty()) {
                lower = column++;
                FillOldColumn(table, lower, title + " Start", one.x);
            }
            int plus = -1, minus = -1;
            FillErrorColumns(table, column, title, one.yErrors, plus, minus);
            auto* dataset = new CXYDatasetColChart(data->GetName(), upper, plus, lower, -1, chart);
            if (minus != -1) {
                dataset->m_nYErrorMode = 4;
                dataset->m_nYMinusColumn = minus;
            }
            chart->AddDataset(dataset, title, true);
        }
    }
    if (graph)
        graph->RecalcAxes();
    if (chart)
        chart->RecalcAxes();
    data->OpenWindow();
    item->OpenWindow();
}

void COldDataImport::ReadGraph(COldFileReader& in)
{
    std::int16_t subVersion = in.Int16();
    if (subVersion != kGraphSubVersion)
        COldFileReader::Fail("The file holds a graph of the unknown form " + std::to_string(subVersion) + ".");
    in.Skip(120);
    in.Skip(12 * 2 + 2 + 32); // page header
    in.Skip(140);

    auto entryTrailer = [&]() -> std::string {
        in.Skip(5 * 2 + 4 + 2 + 2 + 128);
        const std::uint32_t length = in.CheckCount(in.Int16(), 1, "a graph text");
        return in.Text(length, kMaxColumnName);
    };
    // The points of the XY series, kept to become a table and a graph.
    std::vector<OldSeries> series;
    auto readDoubles = [&](std::uint32_t count) {
        std::vector<double> values(in.CheckCount(count, sizeof(double), "a graph series"));
        for (double& v : values)
            v = in.Double();
        return values;
    };
    auto doubles = [&](std::uint32_t count) {
        in.Skip(std::uint64_t(in.CheckCount(count, sizeof(double), "a graph series")) * sizeof(double));
    };

    for (;;) {
        std::int16_t type = in.Int16();
        in.Int16();
        in.Int16();
        in.Int32();
        std::int16_t flag = in.Int16();
        in.Int16();
        switch (type) {
        case 1000: MakeGraph(series); return;
        case 0: {
            in.Skip(30);
            BYTE body[1510];
            in.ReadExact(body, sizeof body);
            if (body[210] | body[211])
                in.SkipCounted32("a graph object");
            if (body[524] | body[525])
                in.SkipCounted32("a graph object");
            break;
        }
        case 1:
        case 2:
        case 11: in.Skip(209); break;
        case 5: in.Skip(36); break;
        case 8:
            in.Skip(128);
            in.SkipCounted16("a graph text");
            break;
        case 9:
            in.Skip(3 * 2);
            in.SkipCounted32("a graph object");
            break;
        case 10: in.Skip(24); break;
        case 3: {
            if (flag == 0)
                COldFileReader::Fail("The file is damaged: a graph's series list is not marked.");
            in.Skip(36);
            while (in.Int16() != 0) {
                BYTE header[126];
                in.ReadExact(header, sizeof header);
                auto word = [&](std::size_t at) { return std::uint16_t(header[at] | (header[at + 1] << 8)); };
                const std::uint32_t points = word(8);
                const int kind = std::int16_t(word(10));
                auto yErrors = [&] { return word(34) == 3 ? (word(38) && word(62) ? 2 : 1) : 0; };
                if (kind < 100) {
                    // An XY series: x, y, the x errors, then the y errors.
                    OldSeries s;
                    s.x = readDoubles(points);
                    s.y = readDoubles(points);
                    const int xErrors = word(32) == 3 ? (word(36) && word(58) ? 2 : 1) : 0;
                    for (int a = 0; a < xErrors; ++a)
                        readDoubles(points);
                    for (int a = 0; a < yErrors(); ++a)
                        s.yErrors.push_back(readDoubles(points));
                    s.name = entryTrailer();
                    series.push_back(std::move(s));
                    continue;
                }
                if (kind < 300) {
                    // A chart series: a value per category, then (kinds
                    // below 200) the bar starts or (kinds from 200) y errors.
                    OldSeries s;
                    s.chart = true;
                    s.y = readDoubles(points);
                    if (kind < 200) {
                        if (word(6))
                            s.x = readDoubles(points);
                    } else {
                        for (int a = 0, n = yErrors(); a < n; ++a)
                            s.yErrors.push_back(readDoubles(points));
                    }
                    s.name = entryTrailer();
                    series.push_back(std::move(s));
                    continue;
                }
                // Other kinds: two arrays and the y errors, read through.
                for (int a = 0, arrays = 2 + yErrors(); a < arrays; ++a)
                    doubles(points);
                entryTrailer();
            }
            break;
        }
        case 4:
            if (flag == 0)
                COldFileReader::Fail("The file is damaged: a graph's curve list is not marked.");
            in.Skip(36);
            while (in.Int16() != 0) {
                in.Skip(72);
                in.SkipCounted16("a graph curve");
                in.SkipCounted16("a graph curve");
                in.SkipCounted16("a graph curve");
                entryTrailer();
            }
            break;
        default:
            COldFileReader::Fail("The file is damaged: a graph holds an object of the unknown type "
                                 + std::to_string(type) + ".");
        }
    }
}
