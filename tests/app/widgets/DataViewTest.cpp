// The data-table window: headings, selection kinds, command texts, the
// notices an edit sends, paste operations, limits, dialogs, and a table typed
// in through the window that survives a save and a reopen.
#include "app/MXDoc.h"
#include "app/MXGrid.h"
#include "app/MXItemAdd.h"
#include "ClipboardInput.h"
#include "app/widgets/ColumnTypeEditor.h"
#include "app/widgets/DataSplitterWnd.h"
#include "app/widgets/DataView.h"
#include "app/widgets/GotoCellDlg.h"
#include "app/widgets/GridColorsPage.h"
#include "app/widgets/NumberFormatPage.h"
#include "app/widgets/PasteColumnsDlg.h"
#include "app/widgets/PasteOptionsDlg.h"
#include "app/widgets/SortDataDlg.h"
#include "app/widgets/MyEditCell.h"
#include "data/DataCTypeX2.h"
#include "data/DataColumnType.h"
#include "data/DataFilters.h"
#include "data/DataTableView.h"
#include "data/DataString.h"
#include "equation/widgets/SyntaxEdit.h"
#include "framework/UpdateNotification.h"
#include "platform/Clipboard.h"
#include "platform/File.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QAbstractButton>
#include <QCheckBox>
#include <QRadioButton>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QLabel>
#include <QPlainTextEdit>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <cstring>
#include <QTimer>

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <fstream>
#include <iterator>

namespace {

// Records the kinds of the change notices that reach the views.
class NoticeRecorder : public CDocView {
public:
    void OnUpdate(CDocView*, int hint, CObject* object) override
    {
        if (hint == UPDATE_HINT_NOTIFICATION)
            if (auto* note = dynamic_cast<CUpdateNotification*>(object))
                kinds.push_back(note->kind);
    }
    std::vector<int> kinds;
};

struct TableFixture {
    TableFixture()
    {
        doc.OnNewDocument();
        item = new CMXGrid(&doc);
        item->InitNewItem();
        view = std::make_unique<CDataView>(item);
        view->resize(600, 400);
        view->show();
        QApplication::processEvents();
        doc.AddView(&recorder);
    }
    ~TableFixture()
    {
        doc.RemoveView(&recorder);
        view.reset();
    }
    CMyData& Table() { return item->GetTable(); }
    void Select(const CGridRange& range)
    {
        view->GetGridData()->m_ranges.assign(1, range);
        view->GetGridData()->m_nCurrentColumn = range.left;
        view->GetGridData()->m_nCurrentRow = range.top;
    }
    std::string Text(int row, int column)
    {
        std::string s;
        if (CData* cell = Table().GetCell(row, column))
            cell->GetPlainText(s);
        return s;
    }
    CCmdUI Query(UINT id)
    {
        CCmdUI ui(id);
        view->OnCmdMsg(id, &ui);
        return ui;
    }
    CMXDoc doc;
    CMXGrid* item = nullptr;
    std::unique_ptr<CDataView> view;
    NoticeRecorder recorder;
};

constexpr int kAllRows = CDataView::kDataRows + CDataView::kHeadingRows - 1;

// Answers the next modal dialog once it is open.
void AnswerDialog(std::function<void(QDialog&)> answer)
{
    QTimer::singleShot(0, [answer] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            answer(*dialog);
    });
}

// Types text as the user does: the first key opens the cell's editor, which
// then has the focus and takes the rest.
void Type(CDataView& view, const char* text)
{
    for (const char* p = text; *p; ++p) {
        QWidget* target = QApplication::focusWidget();
        if (!target || !view.isAncestorOf(target) || target == &view)
            target = view.viewport();
        QTest::keyClick(target, *p);
    }
}

} // namespace

TEST(DataView, HeadingsNumberColumnsAndDataRows)
{
    TableFixture f;
    struct Case {
        int row, column;
        const char* text;
    } cases[] = {{0, 0, ""}, {0, 1, "1"}, {0, 12, "12"}, {1, 0, "Type"}, {2, 0, "Column Name"},
                 {3, 0, "1"}, {10, 0, "8"}};
    for (const Case& c : cases) {
        std::string text;
        f.view->GetHeaderText(c.row, c.column, text);
        EXPECT_EQ(text, c.text) << c.row << "," << c.column;
    }
}

TEST(DataView, GridHasRoomForAMillionRowsAndSixteenThousandColumns)
{
    TableFixture f;
    // 1,048,576 data rows below the three heading rows; 16,384 columns after the row headings.
    EXPECT_EQ(f.view->GetGridData()->m_nRowCount, 1048576 + 3);
    EXPECT_EQ(f.view->GetGridData()->m_nColumnCount, 16384 + 1);
}

TEST(DataView, SelectionKinds)
{
    TableFixture f;
    // Column 3 (grid column 3) is a y-data column that is locked.
    auto* locked = CreateColumnType(2, 2);
    f.Table().SetCell(0, 2, locked);
    locked->SetLocked(f.item, TRUE);
    f.Table().SetNumber(2, 2, 1.0);
    f.Table().SetNumber(2, 4, 1.0);
    struct Case {
        CGridRange range;
        int kind;
    } cases[] = {
        {{2, 0, 2, kAllRows}, 4},   // one whole column
        {{1, 0, 2, kAllRows}, 5},   // two adjacent columns
        {{0, 0, 16384, kAllRows}, 23}, // the corner, with a locked column in the table
        {{1, 1, 1, 1}, 24},         // a Type-row cell
        {{1, 1, 2, 3}, 25},         // a block starting in the Type row
        {{3, 5, 3, 5}, 13},         // a cell of the locked column
        {{1, 5, 1, 5}, 1},          // a plain cell
        {{1, 5, 2, 6}, 2},          // a block
        {{0, 4, 16384, 4}, 19},     // one whole row, across the locked column
        {{0, 4, 16384, 6}, 20},     // several rows, across the locked column
        {{3, 0, 3, kAllRows}, 16},  // the locked column itself
    };
    for (const Case& c : cases) {
        f.Select(c.range);
        EXPECT_EQ(f.view->GetSelectionKind(), c.kind) << c.range.left << "," << c.range.top;
    }
    // The whole table with nothing locked is kind 11.
    locked->SetLocked(f.item, FALSE);
    f.Select({0, 0, 16384, kAllRows});
    EXPECT_EQ(f.view->GetSelectionKind(), 11);
    f.Select({0, 4, 16384, 4});
    EXPECT_EQ(f.view->GetSelectionKind(), 7);
    f.Select({0, 4, 16384, 6});
    EXPECT_EQ(f.view->GetSelectionKind(), 8);
    // Several ranges of different classes.
    f.view->GetGridData()->m_ranges = {{1, 5, 1, 5}, {4, 0, 4, kAllRows}};
    EXPECT_EQ(f.view->GetSelectionKind(), 10);
    f.view->GetGridData()->m_ranges.clear();
    EXPECT_EQ(f.view->GetSelectionKind(), 0);
}

TEST(DataView, MenuTextsFollowTheSelection)
{
    TableFixture f;
    f.Select({1, 5, 1, 5});
    EXPECT_EQ(f.Query(ID_TABLE_DELETE).m_text.value_or(""), "&Delete Cell");
    EXPECT_EQ(f.Query(ID_TABLE_INSERT_COLUMN).m_text.value_or(""), "Insert &Column");
    f.Select({1, 5, 2, 6});
    EXPECT_EQ(f.Query(ID_TABLE_DELETE).m_text.value_or(""), "&Delete Cells");
    EXPECT_EQ(f.Query(ID_TABLE_INSERT_COLUMN).m_text.value_or(""), "Insert &Columns");
    EXPECT_EQ(f.Query(ID_TABLE_INSERT_ROW).m_text.value_or(""), "Insert &Rows");
    f.Select({0, 4, kAllRows, 4});
    EXPECT_EQ(f.Query(ID_TABLE_DELETE).m_text.value_or(""), "&Delete Row");
    f.view->GetGridData()->m_ranges = {{1, 5, 1, 5}, {3, 7, 3, 7}}; // kind 3: no delete
    EXPECT_FALSE(f.Query(ID_TABLE_DELETE).m_enabled.value_or(true));
}

TEST(DataView, OneEditOverTypeNameAndDataRowsSendsKindsOneTwoEleven)
{
    TableFixture f;
    CMyData source;
    source.SetCell(0, 0, CreateColumnType(2, 0));
    source.SetCell(1, 0, new CDataString("Absorbance"));
    source.SetNumber(2, 0, 0.25);
    RECT block{0, 0, 0, 2};
    f.recorder.kinds.clear();
    f.view->FillFromSource(source, block, 1, 0, true, false, 0);
    EXPECT_EQ(f.recorder.kinds, (std::vector<int>{UN_CELLS_CHANGED, UN_NAME_ROW_CHANGED, UN_TYPE_ROW_CHANGED}));
    EXPECT_EQ(f.Table().GetColumnName(1), "Absorbance");
    ASSERT_NE(f.Table().GetColumnType(1), nullptr);
    EXPECT_EQ(f.Table().GetColumnType(1)->GetColumn(), 1); // re-pointed at its new column
}

TEST(DataView, PasteOperationsOnlyCombineNumbers)
{
    TableFixture f;
    // Destination column 0: 10, 6, "abc", (empty), 8; divided by 0, 3, 1, 1, 4.
    f.Table().SetNumber(2, 0, 10);
    f.Table().SetNumber(3, 0, 6);
    f.Table().SetCell(4, 0, new CDataString("abc"));
    f.Table().SetNumber(6, 0, 8);
    CMyData source("0\n3\n1\n1\n4\n");
    RECT block{0, 0, 0, 4};
    f.view->FillFromSource(source, block, 0, 2, true, false, 4);
    EXPECT_EQ(f.Text(2, 0), "ERROR - Divide by 0");
    double v = 0;
    ASSERT_TRUE(f.Table().GetNumber(3, 0, v));
    EXPECT_EQ(v, 2.0); // 6 / 3
    EXPECT_EQ(f.Text(4, 0), "abc");
    EXPECT_EQ(f.Table().GetCell(5, 0), nullptr);
    ASSERT_TRUE(f.Table().GetNumber(6, 0, v));
    EXPECT_EQ(v, 2.0); // 8 / 4

    // Add, subtract and multiply on 2 with 3: 5, -1, 6.
    const std::pair<int, double> ops[] = {{1, 5.0}, {2, -1.0}, {3, 6.0}};
    for (auto [op, expected] : ops) {
        f.Table().SetNumber(2, 1, 2);
        CMyData three("3");
        RECT one{0, 0, 0, 0};
        f.view->FillFromSource(three, one, 1, 2, true, false, op);
        ASSERT_TRUE(f.Table().GetNumber(2, 1, v));
        EXPECT_EQ(v, expected) << op;
    }
}

TEST(DataView, TransposedPasteTurnsTheBlock)
{
    TableFixture f;
    CMyData source("1\t2\t3\n4\t5\t6\n"); // 3 columns x 2 rows
    RECT block{0, 0, 2, 1};
    f.view->FillFromSource(source, block, 0, 2, true, true, 0);
    EXPECT_EQ(block.right, 1);
    EXPECT_EQ(block.bottom, 2);
    // 2 columns x 3 rows: column 0 holds 1 2 3, column 1 holds 4 5 6.
    const char* expected[2][3] = {{"1", "2", "3"}, {"4", "5", "6"}};
    for (int c = 0; c < 2; ++c)
        for (int r = 0; r < 3; ++r)
            EXPECT_EQ(f.Text(2 + r, c), expected[c][r]) << c << "," << r;
    EXPECT_EQ(f.Table().GetLastColumn(), 1);
    EXPECT_EQ(f.Table().GetLastRow(-1), 4);
}

TEST(DataView, SkipBlanksKeepsTheDestination)
{
    for (bool pasteBlanks : {true, false}) {
        TableFixture f;
        f.Table().SetNumber(2, 0, 7);
        f.Table().SetNumber(3, 0, 8);
        CMyData source;
        source.SetNumber(1, 0, 9); // row 0 of the source is empty
        RECT block{0, 0, 0, 1};
        f.view->FillFromSource(source, block, 0, 2, pasteBlanks, false, 0);
        EXPECT_EQ(f.Text(2, 0), pasteBlanks ? "" : "7");
        EXPECT_EQ(f.Text(3, 0), "9");
    }
}

TEST(DataView, ClipboardTextPastesAtTheSelection)
{
    TableFixture f;
    f.Select({2, 3, 2, 3});
    f.view->PasteText("1.5\t2\r\n3\t4\r\n", 0, true, false);
    EXPECT_EQ(f.Text(2, 1), "1.5");
    EXPECT_EQ(f.Text(3, 2), "4");
}

TEST(DataView, InsertLimitsRefuseWithMessages)
{
    RecordingReporter reporter;
    TableFixture f;
    EXPECT_FALSE(f.view->InsertColumns(0, 1, true)); // the row headings: nothing, no message
    EXPECT_TRUE(reporter.Ids().empty());
    f.Table().SetNumber(2, 16383, 1.0); // the last column is used
    EXPECT_FALSE(f.view->InsertColumns(1, 1, true));
    EXPECT_EQ(reporter.Ids(), (std::vector<UINT>{179}));
    EXPECT_EQ(f.Table().GetLastColumn(), 16383);

    // Insert Cells: refused once the used rows and the block pass the grid's last row.
    TableFixture g;
    const int lastTableRow = CDataView::kDataRows + 1; // table row of the last grid row
    g.Table().SetNumber(lastTableRow - 1, 0, 1.0);
    EXPECT_TRUE(g.view->InsertCells({1, 5, 1, 5}));  // one row still fits
    EXPECT_FALSE(g.view->InsertCells({1, 5, 1, 6})); // the used rows have reached the end
    EXPECT_EQ(reporter.Ids(), (std::vector<UINT>{179, 180}));
}

TEST(DataView, InsertAndDeleteColumnsMoveWidthsAndCells)
{
    TableFixture f;
    f.Table().SetNumber(2, 1, 5.0);
    f.view->GetGridData()->m_columnWidths[2] = 1500;
    f.recorder.kinds.clear();
    ASSERT_TRUE(f.view->InsertColumns(1, 2, true));
    EXPECT_EQ(f.Text(2, 3), "5");
    EXPECT_EQ(f.view->GetGridData()->m_columnWidths.count(4), 1u);
    ASSERT_TRUE(f.view->DeleteColumns(1, 2, true));
    EXPECT_EQ(f.Text(2, 1), "5");
    EXPECT_EQ(f.view->GetGridData()->m_columnWidths.count(2), 1u);
    EXPECT_EQ(f.recorder.kinds, (std::vector<int>{UN_COLUMNS_INSERTED, UN_COLUMNS_DELETED}));
}

TEST(DataView, CalculatedColumnRefusesEditing)
{
    RecordingReporter reporter;
    TableFixture f;
    f.Table().SetCell(0, 0, CreateColumnType(10, 0)); // a series: calculated
    f.view->Update(GRID_UPDATE_ALL, 0);
    auto* cell = dynamic_cast<CMyEditCell*>(f.view->GetCellObject(4, 1));
    ASSERT_NE(cell, nullptr);
    cell->OnLButtonDblClk(0, POINT{1, 1});
    EXPECT_FALSE(cell->IsEditing());
    cell->OnChar('7', 1, 0);
    EXPECT_FALSE(cell->IsEditing());
    EXPECT_EQ(reporter.beeps, 1);
}

TEST(DataView, GotoCellLimits)
{
    RecordingReporter reporter;
    struct Case {
        const char* row;
        const char* column;
        bool accepted;
    } cases[] = {{"-1", "1", true},        {"0", "3", true},         {"-2", "1", false},
                 {"5", "0", false},        {"1048576", "16384", true}, {"1048577", "1", false},
                 {"1", "16385", false},    {"x", "1", false}};
    for (const Case& c : cases) {
        CGotoCellDlg dialog;
        dialog.m_nMaxRow = 1048576;
        dialog.m_nMaxColumn = 16384;
        dialog.RowEdit()->setText(c.row);
        dialog.ColumnEdit()->setText(c.column);
        dialog.accept();
        EXPECT_EQ(dialog.result() == QDialog::Accepted, c.accepted) << c.row << " " << c.column;
        if (c.accepted) {
            EXPECT_EQ(dialog.m_nRow, std::stoi(c.row));
        }
    }
    // Each refusal names the range of the field that failed.
    ASSERT_EQ(reporter.messages.size(), 5u);
    EXPECT_EQ(reporter.Ids()[0], 61714u);
    EXPECT_NE(reporter.messages[2].text.find("1048576"), std::string::npos);
    EXPECT_NE(reporter.messages[3].text.find("16384"), std::string::npos);
}

TEST(DataView, GotoCellOffersTheTablesOwnLimits)
{
    TableFixture f;
    int maxRow = 0, maxColumn = 0;
    AnswerDialog([&](QDialog& d) {
        auto& dialog = dynamic_cast<CGotoCellDlg&>(d);
        maxRow = dialog.m_nMaxRow;
        maxColumn = dialog.m_nMaxColumn;
        dialog.reject();
    });
    ASSERT_TRUE(f.view->OnCmdMsg(ID_TABLE_GOTO_CELL, nullptr));
    EXPECT_EQ(maxRow, 1048576);
    EXPECT_EQ(maxColumn, 16384);
}

TEST(DataView, ZoomIsHeldBetweenFiveAndSixHundred)
{
    TableFixture f;
    f.view->SetZoomPercent(700);
    EXPECT_EQ(f.view->GetZoomPercent(), 600);
    f.view->SetZoomPercent(2);
    EXPECT_EQ(f.view->GetZoomPercent(), 5);
}

TEST(DataView, LockStateIsIndeterminateForMixedColumns)
{
    TableFixture f;
    auto* a = CreateColumnType(2, 0);
    auto* b = CreateColumnType(2, 1);
    f.Table().SetCell(0, 0, a);
    f.Table().SetCell(0, 1, b);
    a->SetLocked(f.item, TRUE);
    f.Select({1, 0, 2, kAllRows});
    int enable = 0, state = 0;
    f.view->GetLockState(enable, state);
    EXPECT_EQ(enable, 1);
    EXPECT_EQ(state, 2);
    f.view->OnCmdMsg(ID_TABLE_LOCK_COLUMN, nullptr); // locks all of them
    EXPECT_TRUE(a->IsLocked());
    EXPECT_TRUE(b->IsLocked());
}

TEST(DataView, TableTypedInSurvivesSaveAndReopen)
{
    const std::string path = (std::filesystem::temp_directory_path() / "marlox-dataview-typed.mxf").string();
    {
        TableFixture f;
        f.view->activateWindow();
        f.view->viewport()->setFocus();
        // Name, then three values typed into column 1 and one into column 2.
        f.view->SetCurrentCell(2, 1);
        Type(*f.view, "Time");
        int row = 3;
        for (const char* value : {"1.5", "2", "abc"}) {
            f.view->SetCurrentCell(row++, 1); // leaving a cell stores what was typed
            Type(*f.view, value);
        }
        f.view->SetCurrentCell(3, 2);
        Type(*f.view, "-4e3");
        f.view->CommitCurrentCellEdit();
        EXPECT_EQ(f.Text(1, 0), "Time");
        ASSERT_TRUE(f.doc.OnSaveDocument(path));
    }
    CMXDoc reopened;
    ASSERT_TRUE(reopened.OnOpenDocument(path));
    CMXGrid* grid = nullptr;
    for (CProjectItemBase* item : reopened.GetProjectItems())
        if (auto* g = dynamic_cast<CMXGrid*>(item))
            grid = g;
    ASSERT_NE(grid, nullptr);
    CMemFile file;
    grid->GetTable().WriteRangeAsText(file, RECT{0, 1, 1, 4});
    const std::vector<BYTE>& bytes = file.Data();
    // Typed by hand above: the name row, then three data rows.
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "Time\t\r\n1.5\t-4000\r\n2\t\r\nabc\t");

    // An independent reader (python's olefile) finds the typed cells in the
    // item's stream: the name and text as bytes, the numbers as doubles.
    if (std::system("/usr/bin/python3 -c 'import olefile' >/dev/null 2>&1") == 0) {
        const std::string script = path + ".py";
        if (std::FILE* py = std::fopen(script.c_str(), "w")) {
            std::fputs("import olefile,struct,sys\n"
                       "o=olefile.OleFileIO(sys.argv[1])\n"
                       "d=b''.join(o.openstream(p).read() for p in o.listdir() if p[0].startswith('Item_'))\n"
                       "print(b'Time' in d, b'abc' in d, struct.pack('<d',1.5) in d, struct.pack('<d',-4000.0) in d)\n",
                       py);
            std::fclose(py);
        }
        std::string out;
        if (std::FILE* pipe = ::popen(("/usr/bin/python3 '" + script + "' '" + path + "'").c_str(), "r")) {
            char buf[256];
            while (std::fgets(buf, sizeof buf, pipe))
                out += buf;
            ::pclose(pipe);
        }
        EXPECT_EQ(out, "True True True True\n");
        std::filesystem::remove(script);
    }
    std::filesystem::remove(path);
}

TEST(DataView, CopyAndPasteKeepTypesThroughThePrivateFormat)
{
    TableFixture f;
    f.Table().SetCell(0, 0, CreateColumnType(2, 0));
    f.Table().SetCell(1, 0, new CDataString("Rate"));
    f.Table().SetNumber(2, 0, 3.5);
    f.Select({1, 0, 1, kAllRows});
    ASSERT_TRUE(f.view->OnCmdMsg(ID_EDIT_COPY, nullptr));
    EXPECT_TRUE(GetClipboard().HasFormat(kPrivateDataFormat));
    EXPECT_TRUE(GetClipboard().HasFormat("text/plain"));
    f.Select({3, 0, 3, kAllRows});
    AnswerDialog([](QDialog& d) { d.accept(); }); // Paste Columns: insert as new columns
    ASSERT_TRUE(f.view->OnCmdMsg(ID_EDIT_PASTE, nullptr));
    ASSERT_NE(f.Table().GetColumnType(2), nullptr);
    EXPECT_EQ(f.Table().GetColumnType(2)->GetTypeNumber(), 2);
    EXPECT_EQ(f.Table().GetColumnType(2)->GetColumn(), 2);
    EXPECT_EQ(f.Table().GetColumnName(2), "Rate");
    EXPECT_EQ(f.Text(2, 2), "3.5");
    // Damaged private data is ignored rather than trusted.
    GetClipboard().SetData({{kPrivateDataFormat, {1, 2, 3}}});
    f.Select({5, 3, 5, 3});
    f.view->OnCmdMsg(ID_EDIT_PASTE, nullptr);
    EXPECT_EQ(f.Table().GetLastColumn(), 2);
    GetClipboard().SetData({});
}

TEST(DataView, FiltersImportIntoANewTableAndExportASelection)
{
    RecordingReporter reporter;
    CDataFilters::Current().Query({MX_SEMICOLON_FILTER});
    const std::string in = (std::filesystem::temp_directory_path() / "marlox-dataview-in.scd").string();
    {
        std::FILE* file = std::fopen(in.c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fputs("SCD\nTime;Rate\n0;1.5\n2;4\n", file);
        std::fclose(file);
    }
    TableFixture f;
    const int before = int(f.doc.GetProjectItems().size());
    ASSERT_TRUE(f.doc.GetActionList().Add(new CMXItemAddImportData(&f.doc, in, "scd", "in")));
    auto items = f.doc.GetProjectItems();
    ASSERT_EQ(int(items.size()), before + 1);
    auto* imported = dynamic_cast<CMXGrid*>(items.back());
    ASSERT_NE(imported, nullptr);
    EXPECT_EQ(imported->GetName(), "Data from in");
    EXPECT_EQ(imported->GetTable().GetColumnName(1), "Rate");
    double v = 0;
    ASSERT_TRUE(imported->GetTable().GetNumber(3, 1, v));
    EXPECT_EQ(v, 4.0);

    // Paste From into whole columns from column 2 on, then Copy To of one column.
    f.Select({2, 0, 2, kAllRows});
    AnswerDialog([](QDialog& d) { d.accept(); }); // Paste Columns: as new columns
    ASSERT_TRUE(f.view->PasteFromFile(in));
    EXPECT_EQ(f.Text(1, 2), "Rate");
    ASSERT_NE(f.Table().GetColumnType(1), nullptr);
    EXPECT_EQ(f.Table().GetColumnType(1)->GetTypeNumber(), 1);
    const std::string out = (std::filesystem::temp_directory_path() / "marlox-dataview-out.scd").string();
    f.Select({3, 0, 3, kAllRows});
    ASSERT_TRUE(f.view->CopyToFile(out));
    std::ifstream read(out, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(read)), {});
    EXPECT_EQ(bytes, "SCD\n\nRate\n1.5\n4\n"); // the type row (empty text), the name, the values
    EXPECT_TRUE(reporter.messages.empty());
    std::filesystem::remove(in);
    std::filesystem::remove(out);
    CDataFilters::Current().Query({});
}

TEST(DataView, EditsAreUndoneThroughTheItemsActions)
{
    TableFixture f;
    CActionList& actions = *f.item->GetActionList();
    ASSERT_EQ(f.view->SetCellText(3, 1, "42"), 1);
    EXPECT_EQ(f.Text(2, 0), "42");
    ASSERT_EQ(f.view->SetCellText(1, 1, "2"), 1); // the Type row: y data
    ASSERT_NE(f.Table().GetColumnType(0), nullptr);
    EXPECT_EQ(f.Table().GetColumnType(0)->GetTypeNumber(), 2);
    f.Select({1, 3, 1, 3});
    f.view->OnCmdMsg(ID_TABLE_INSERT_COLUMN, nullptr);
    EXPECT_EQ(f.Text(2, 1), "42");
    EXPECT_EQ(actions.GetCount(), 3);

    ASSERT_TRUE(actions.Undo()); // the inserted column goes
    EXPECT_EQ(f.Text(2, 0), "42");
    ASSERT_TRUE(actions.Undo()); // the type goes
    EXPECT_EQ(f.Table().GetColumnType(0), nullptr);
    ASSERT_TRUE(actions.Undo()); // the value goes
    EXPECT_EQ(f.Table().GetCell(2, 0), nullptr);
    ASSERT_TRUE(actions.Redo());
    EXPECT_EQ(f.Text(2, 0), "42");
    CGridCmdState state;
    f.view->OnUpdateRedo(state);
    EXPECT_TRUE(state.enabled);
}

TEST(DataView, PasteOptionsDivideThroughTheCommand)
{
    TableFixture f;
    f.Table().SetNumber(2, 0, 10);
    f.Table().SetNumber(3, 0, 9);
    GetClipboard().SetData({{"text/plain", {'0', '\r', '\n', '3'}}});
    f.Select({1, 3, 1, 3});
    AnswerDialog([](QDialog& d) {
        auto& options = static_cast<CPasteOptionsDlg&>(d);
        options.OperationButton(4)->setChecked(true);
        options.accept();
    });
    f.view->OnCmdMsg(ID_EDIT_PASTE_OPTIONS, nullptr);
    EXPECT_EQ(f.Text(2, 0), "ERROR - Divide by 0");
    EXPECT_EQ(f.Text(3, 0), "3");
    ASSERT_TRUE(f.item->GetActionList()->Undo());
    EXPECT_EQ(f.Text(2, 0), "10");
    EXPECT_EQ(f.Text(3, 0), "9");
    GetClipboard().SetData({});
}

TEST(DataView, RestoreDefaultsThenCancelLeavesTheColours)
{
    TableFixture f;
    f.item->m_colours = {RGB(1, 2, 3), RGB(4, 5, 6), RGB(7, 8, 9), RGB(10, 11, 12)};
    f.item->GetGridData().m_crText = RGB(13, 14, 15);
    const auto before = f.item->m_colours;
    AnswerDialog([](QDialog& sheet) {
        auto* page = sheet.findChild<CGridColorsPage*>();
        ASSERT_NE(page, nullptr);
        page->RestoreButton()->click();
        sheet.reject();
    });
    f.view->OnCmdMsg(ID_TABLE_PREFERENCES, nullptr);
    EXPECT_EQ(f.item->m_colours, before);
    EXPECT_EQ(f.item->GetGridData().m_crText, RGB(13, 14, 15));
    EXPECT_EQ(f.item->GetActionList()->GetCount(), 0);

    // Restore Defaults then OK: the system colours, as one undoable step.
    AnswerDialog([](QDialog& sheet) {
        sheet.findChild<CGridColorsPage*>()->RestoreButton()->click();
        sheet.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    f.view->OnCmdMsg(ID_TABLE_PREFERENCES, nullptr);
    EXPECT_EQ(f.item->m_colours[0], GridSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(f.item->m_colours[2], GridSysColor(COLOR_WINDOWTEXT));
    EXPECT_EQ(f.item->GetGridData().m_crText, GridSysColor(COLOR_WINDOWTEXT));
    EXPECT_EQ(f.item->GetGridData().m_crShadow, GridSysColor(COLOR_BTNFACE));
    ASSERT_EQ(f.item->GetActionList()->GetCount(), 1);
    ASSERT_TRUE(f.item->GetActionList()->Undo());
    EXPECT_EQ(f.item->m_colours, before);
    EXPECT_EQ(f.item->GetGridData().m_crText, RGB(13, 14, 15));
}

TEST(DataView, AViewNotYetShownTakesEditsWithoutLayingOutTheGrid)
{
    // Before the first showing no sizes are known; laying a million rows
    // out then would take every row at once.
    CMXDoc doc;
    doc.OnNewDocument();
    auto* item = new CMXGrid(&doc);
    item->InitNewItem();
    item->GetTable().SetNumber(2, 0, 1.0);
    CDataView view(item);
    EXPECT_TRUE(view.GetTableView()->InsertColumns(0, 1, true));
    view.GetTableView()->SelectColumns({0, 1});
    view.GetTableView()->Repaint();
    double v = 0;
    EXPECT_TRUE(item->GetTable().GetNumber(2, 1, v));
    EXPECT_EQ(view.GetGridData()->m_ranges.size(), 2u);
}

TEST(DataView, ColumnTypeCommandsRunTheSettingsDialogs)
{
    RecordingReporter reporter;
    CColumnTypeEditor editor;
    CColumnSettingsEditor* previous = SetColumnSettingsEditor(&editor);
    TableFixture f;
    f.Table().SetNumber(2, 0, 1.0);
    f.Table().SetNumber(2, 1, 3.0);
    // Series in column 3: 5 points from 1 by 0.5.
    f.Select({3, 4, 3, 4});
    EXPECT_TRUE(f.Query(CDataView::CommandOfType(10)).m_enabled.value_or(false));
    AnswerDialog([](QDialog& d) {
        auto& series = static_cast<CSeriesDlg&>(d);
        series.StartEdit()->setText("1");
        series.IncrementEdit()->setText("0.5");
        series.PointsEdit()->setText("5");
        series.accept();
    });
    f.view->OnCmdMsg(CDataView::CommandOfType(10), nullptr);
    EXPECT_EQ(f.Text(6, 2), "3"); // 1 + 4 x 0.5
    EXPECT_EQ(f.Table().GetLastRow(2), 6);
    EXPECT_EQ(f.view->GetSelectionKind(), 16); // the whole column, which is calculated
    EXPECT_TRUE(f.Query(CDataView::CommandOfType(10)).m_checked.value_or(false));
    EXPECT_FALSE(f.Query(CDataView::CommandOfType(0)).m_checked.value_or(true));

    // Mean in column 4: the column itself is refused, then columns 1 and 2 are taken.
    f.Select({4, 4, 4, 4});
    int answers = 0;
    std::function<void(QDialog&)> answer = [&](QDialog& d) {
        auto& columns = static_cast<CMultiColumnDlg&>(d);
        if (answers++ == 0) {
            // Nothing ticked: refused, the column is not emptied.
            columns.accept();
            EXPECT_TRUE(columns.isVisible());
            ASSERT_FALSE(columns.List()->item(3)->flags() & Qt::ItemIsEnabled);
            columns.List()->item(3)->setCheckState(Qt::Checked);
            columns.accept(); // refused: stays open
            EXPECT_TRUE(columns.isVisible());
            columns.List()->item(3)->setCheckState(Qt::Unchecked);
            columns.List()->item(0)->setCheckState(Qt::Checked);
            columns.List()->item(1)->setCheckState(Qt::Checked);
            EXPECT_EQ(columns.CountText()->text(), "2 column(s) selected");
            columns.accept();
        }
    };
    AnswerDialog(answer);
    f.view->OnCmdMsg(CDataView::CommandOfType(4), nullptr);
    EXPECT_EQ(reporter.Ids(), (std::vector<UINT>{496, 208}));
    EXPECT_EQ(f.Text(2, 3), "2"); // the mean of 1 and 3
    // The column's Properties runs the dialog again; Cancel changes nothing.
    f.Select({4, 4, 4, 4});
    AnswerDialog([](QDialog& d) { d.reject(); });
    f.view->OnCmdMsg(ID_EDIT_PROPERTIES, nullptr);
    EXPECT_EQ(f.Text(2, 3), "2");
    SetColumnSettingsEditor(previous);
}

TEST(DataView, SplitterMarksTheWorkspaceOnlyWhenTheSplitChanges)
{
    CMXDoc doc;
    doc.OnNewDocument();
    auto* item = new CMXGrid(&doc);
    item->InitNewItem();
    CDataSplitterWnd splitter(item);
    splitter.resize(600, 400);
    splitter.show();
    QApplication::processEvents();
    EXPECT_FALSE(splitter.IsRowShown(1));
    splitter.RecalcLayout();
    item->SetModified(false);
    EXPECT_FALSE(splitter.RecalcLayout()); // nothing moved: not modified
    EXPECT_FALSE(item->IsModified());
    splitter.SplitRow(150);
    EXPECT_TRUE(splitter.IsRowShown(1));
    EXPECT_TRUE(item->IsModified());
    EXPECT_GT(item->m_splitter[1].b, 0);
    // The lower panes start below the frozen heading rows; all panes show one table.
    EXPECT_GE(splitter.GetPane(1, 0)->GetTopRow(), CDataView::kHeadingRows);
    EXPECT_EQ(splitter.GetPane(1, 0)->GetGridData(), splitter.GetPane(0, 0)->GetGridData());
    item->SetModified(false);
    EXPECT_FALSE(splitter.RecalcLayout());
    EXPECT_FALSE(item->IsModified());
    splitter.DeleteRow();
    EXPECT_EQ(item->m_splitter[1], TripleRecord{});
    EXPECT_TRUE(item->IsModified());
    splitter.Detach();
}

TEST(DataView, SortDialogSortsTheSelectedColumnsUndoably)
{
    RecordingReporter reporter;
    TableFixture f;
    // Column 1 the key 3, 1, 2; column 2 carried a, b, c; column 3 a series (not sortable).
    const double keys[] = {3, 1, 2};
    const char* carried[] = {"a", "b", "c"};
    for (int i = 0; i < 3; ++i) {
        f.Table().SetNumber(2 + i, 0, keys[i]);
        f.Table().SetCell(2 + i, 1, new CDataString(carried[i]));
    }
    f.Table().SetCell(1, 0, new CDataString("Key"));
    f.Table().SetCell(1, 1, new CDataString("Label"));
    f.Table().SetCell(0, 2, CreateColumnType(10, 2));
    f.Select({1, 0, 3, kAllRows});
    AnswerDialog([](QDialog& d) {
        auto& sort = static_cast<CSortDataDlg&>(d);
        EXPECT_EQ(sort.IndexCombo()->count(), 2); // the series is no index
        EXPECT_FALSE(sort.List()->item(2)->flags() & Qt::ItemIsEnabled);
        EXPECT_EQ(sort.List()->item(1)->checkState(), Qt::Checked);
        sort.accept();
    });
    f.view->OnCmdMsg(ID_TABLE_SORT, nullptr);
    EXPECT_EQ(f.Text(2, 0), "1");
    EXPECT_EQ(f.Text(2, 1), "b");
    EXPECT_EQ(f.Text(4, 1), "a");
    ASSERT_TRUE(f.item->GetActionList()->Undo());
    EXPECT_EQ(f.Text(2, 1), "a");
    EXPECT_TRUE(reporter.messages.empty());
}

TEST(DataView, ColumnFormatShowsWhatTheColumnsShare)
{
    RecordingReporter reporter;
    TableFixture f;
    CDataFormat three, five;
    three.m_decimals = 3;
    five.m_decimals = 5;
    f.Table().SetNumber(2, 0, 1.0);
    f.Table().SetNumber(2, 1, 2.0);
    f.Table().SetColumnFormat(0, three);
    f.Table().SetColumnFormat(1, five);
    f.Select({1, 0, 2, kAllRows});
    AnswerDialog([](QDialog& sheet) {
        auto* page = sheet.findChild<CNumberFormatPage*>();
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(page->DecimalsEdit()->text(), ""); // 3 and 5 differ
        page->ScientificBox()->click();
        EXPECT_FALSE(page->SmallValuesBox()->isEnabled());
        page->ScientificBox()->click();
        page->MaxDigitsEdit()->setText("5"); // below 7: refused
        EXPECT_FALSE(page->UpdateData(true));
        page->MaxDigitsEdit()->setText("9");
        page->DecimalsEdit()->setText("2");
        EXPECT_TRUE(page->OnApply());
        sheet.reject();
    });
    f.view->OnCmdMsg(ID_TABLE_COLUMN_FORMAT, nullptr);
    EXPECT_EQ(reporter.Ids(), (std::vector<UINT>{61714}));
    EXPECT_EQ(f.Table().GetColumnFormat(0).m_decimals, 2);
    EXPECT_EQ(f.Table().GetColumnFormat(1).m_decimals, 2);
    EXPECT_EQ(f.Table().GetColumnFormat(1).m_maxDigits, 9);
    ASSERT_TRUE(f.item->GetActionList()->Undo());
    EXPECT_EQ(f.Table().GetColumnFormat(0).m_decimals, 3);
    EXPECT_EQ(f.Table().GetColumnFormat(1).m_decimals, 5);
}

TEST(DataView, AssociatedValuesDialogSetsTheFourValues)
{
    RecordingReporter reporter;
    CColumnTypeEditor editor;
    CColumnSettingsEditor* previous = SetColumnSettingsEditor(&editor);
    TableFixture f;
    f.Select({1, 4, 1, 4});
    AnswerDialog([](QDialog& d) {
        auto& x = static_cast<CXDataColumnDlg&>(d);
        x.XEdit(0)->setText("0.5");
        x.XEdit(3)->setText("abc"); // refused: not a number
        x.accept();
        EXPECT_TRUE(x.isVisible());
        x.XEdit(3)->setText("7");
        x.LoadDefaultLabel();
        x.accept();
    });
    f.view->OnCmdMsg(CDataView::CommandOfType(18), nullptr);
    auto* x2 = dynamic_cast<CDataCTypeX2*>(f.Table().GetColumnType(0));
    ASSERT_NE(x2, nullptr);
    EXPECT_EQ(x2->m_x, (std::array<double, 4>{0.5, 1, 1, 7}));
    EXPECT_EQ(x2->m_defaultLabel, 1);
    EXPECT_EQ(reporter.Ids(), (std::vector<UINT>{61713}));
    SetColumnSettingsEditor(previous);
}

TEST(DataView, OverwriteIsOfferedOnlyForABlockOfTheSameWidth)
{
    TableFixture f;
    // Three columns on the clipboard, two selected: Overwrite is greyed.
    GetClipboard().SetData({{"text/plain", {'1', '\t', '2', '\t', '3'}}});
    f.Select({1, 0, 2, kAllRows});
    bool overwriteEnabled = true;
    AnswerDialog([&](QDialog& d) {
        auto& paste = static_cast<CPasteColumnsDlg&>(d);
        overwriteEnabled = paste.OverwriteButton()->isEnabled();
        paste.reject();
    });
    f.view->OnCmdMsg(ID_EDIT_PASTE, nullptr);
    EXPECT_FALSE(overwriteEnabled);
    EXPECT_EQ(f.Table().GetLastColumn(), -1); // cancelled: nothing pasted
    // Three selected: Overwrite is offered and replaces them.
    f.Table().SetNumber(0 + 2, 2, 9);
    f.Select({1, 0, 3, kAllRows});
    AnswerDialog([&](QDialog& d) {
        auto& paste = static_cast<CPasteColumnsDlg&>(d);
        overwriteEnabled = paste.OverwriteButton()->isEnabled();
        paste.OverwriteButton()->setChecked(true);
        paste.accept();
    });
    f.view->OnCmdMsg(ID_EDIT_PASTE, nullptr);
    EXPECT_TRUE(overwriteEnabled);
    EXPECT_EQ(f.Table().GetLastColumn(), 2);
    EXPECT_EQ(f.Text(0, 2), "3"); // the block's row 0 lands on the Type row, as copied
    GetClipboard().SetData({});
}

TEST(DataView, CalculatedFunctionDialogChecksAndComputes)
{
    RecordingReporter reporter;
    CColumnTypeEditor editor;
    CColumnSettingsEditor* previous = SetColumnSettingsEditor(&editor);
    TableFixture f;
    for (int r = 2; r <= 11; ++r) // column 1: ten values in rows 2-11
        f.Table().SetNumber(r, 0, r - 1);
    f.Select({2, 4, 2, 4});
    AnswerDialog([](QDialog& d) {
        auto& calc = static_cast<CCalcFunctionDlg&>(d);
        calc.ColumnButton()->click();
        calc.ColumnCombo()->setCurrentIndex(0);
        EXPECT_EQ(calc.RowsEdit()->text(), "10"); // last row 11, less one
        calc.Triggers()->item(1)->setCheckState(Qt::Checked); // the column itself
        calc.Equation()->setPlainText("Result = DATA(1, ROW) *");
        calc.accept(); // refused: 208
        calc.Triggers()->item(1)->setCheckState(Qt::Unchecked);
        calc.Triggers()->item(0)->setCheckState(Qt::Checked);
        calc.accept(); // refused: the syntax error, with the faulty text selected
        EXPECT_TRUE(calc.isVisible());
        EXPECT_TRUE(calc.Equation()->textCursor().hasSelection() || calc.Equation()->hasFocus());
        calc.Equation()->setPlainText("Result = DATA(1, ROW) * 2");
        calc.accept();
    });
    f.view->OnCmdMsg(CDataView::CommandOfType(6), nullptr);
    ASSERT_FALSE(reporter.Ids().empty());
    EXPECT_EQ(reporter.Ids().front(), 208u);
    EXPECT_EQ(reporter.Ids().size(), 2u); // and the compile error's own message
    EXPECT_EQ(f.Text(2, 1), "2");
    EXPECT_EQ(f.Text(11, 1), "20");
    SetColumnSettingsEditor(previous);
}

TEST(DataView, SmoothingAndSubsetDialogsCheckTheirLimits)
{
    RecordingReporter reporter;
    CColumnTypeEditor editor;
    CColumnSettingsEditor* previous = SetColumnSettingsEditor(&editor);
    TableFixture f;
    for (int r = 2; r <= 21; ++r)
        f.Table().SetNumber(r, 0, r);
    // Subset of column 1 in column 2: a step of 1 is refused, 5 keeps rows 2, 7, 12, 17.
    f.Select({2, 4, 2, 4});
    AnswerDialog([](QDialog& d) {
        auto& subset = static_cast<CSourceColumnDlg&>(d);
        subset.Sources()->setCurrentRow(0);
        subset.WidthEdit()->setText("1");
        subset.accept();
        subset.WidthEdit()->setText("5");
        subset.accept();
    });
    f.view->OnCmdMsg(CDataView::CommandOfType(23), nullptr);
    EXPECT_EQ(f.Text(2, 1), "2");
    EXPECT_EQ(f.Text(3, 1), "7");
    EXPECT_EQ(f.Text(5, 1), "17");
    // Smoothing in column 3: an even window is refused, then 5 points smooth a straight line to itself.
    f.Select({3, 4, 3, 4});
    AnswerDialog([](QDialog& d) {
        auto& smooth = static_cast<CSourceColumnDlg&>(d);
        smooth.Sources()->setCurrentRow(0);
        smooth.OrderCombo()->setCurrentIndex(1);
        smooth.WidthEdit()->setText("6");
        smooth.accept();
        smooth.WidthEdit()->setText("5");
        smooth.accept();
    });
    f.view->OnCmdMsg(CDataView::CommandOfType(19), nullptr);
    EXPECT_EQ(reporter.Ids(), (std::vector<UINT>{61714, 497}));
    double v = 0;
    ASSERT_TRUE(f.Table().GetNumber(10, 2, v));
    EXPECT_NEAR(v, 10.0, 1e-9); // a quadratic filter keeps a line
    SetColumnSettingsEditor(previous);
}

TEST(DataView, PasteFromFileIsUndoable)
{
    const std::string in = (std::filesystem::temp_directory_path() / "marlox-dataview-paste.txt").string();
    {
        std::FILE* file = std::fopen(in.c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fputs("1\t2\r\n3\t4\r\n", file);
        std::fclose(file);
    }
    TableFixture f;
    f.Table().SetNumber(3, 1, 99);
    f.Select({1, 3, 1, 3}); // one cell: the block lands at it
    ASSERT_TRUE(f.view->PasteFromFile(in));
    EXPECT_EQ(f.Text(2, 0), "1");
    EXPECT_EQ(f.Text(3, 1), "4");
    ASSERT_TRUE(f.item->GetActionList()->Undo());
    EXPECT_EQ(f.Table().GetCell(2, 0), nullptr);
    EXPECT_EQ(f.Text(3, 1), "99");
    std::filesystem::remove(in);
}

namespace {

// The table's whole stored form: what a paste and its Undo must give back.
Bytes TableBytes(CMyData& table)
{
    return StoreBytes([&](CArchive& ar) { table.Serialize(ar); });
}

// Edit > Paste of a reproducing input in the first data cell (or a 2x2 block there).
void PasteInput(TableFixture& f, const Bytes& input)
{
    ClipboardInput clip = DecodeClipboardInput(input.data(), input.size(), kPrivateDataFormat, std::string());
    f.Select(clip.block ? CGridRange{1, 3, 2, 4} : CGridRange{1, 3, 1, 3});
    GetClipboard().SetData(clip.formats);
    f.view->OnCmdMsg(ID_EDIT_PASTE, nullptr);
    GetClipboard().SetData({});
}

} // namespace

TEST(DataView, DeclaredBlockLargerThanTheTableIsRefusedBeforeItsCellsAreRead)
{
    // Clipboard blocks whose declared size once made a paste walk billions of
    // cells (45 s and more than 4 GB for 71 bytes); the test's timeout bounds it.
    for (const char* name : {"C2_min_72bytes.bin", "C2_timeout.bin", "C2_cols200k.bin"}) {
        SCOPED_TRACE(name);
        RecordingReporter reporter;
        TableFixture f;
        const Bytes before = TableBytes(f.Table());
        PasteInput(f, ReadRepro(name));
        // Either refused as a whole with the message, or pasted with work
        // bounded by the cells given (the changed-cell list is the work done).
        if (reporter.Ids() == std::vector<UINT>{8530}) {
            EXPECT_EQ(TableBytes(f.Table()), before);
            EXPECT_EQ(f.item->GetActionList()->GetCount(), 0);
        } else {
            EXPECT_TRUE(reporter.messages.empty());
            EXPECT_LE(f.view->GetGridData()->m_selectedCells.size(), ReadRepro(name).size());
        }
    }
}

TEST(DataView, PasteWorkFollowsTheCellsGivenNotTheBlock)
{
    struct Case {
        std::string text;
        bool refused;
    };
    const Case cases[] = {
        // A megabyte of empty lines with one value at the end: a million rows.
        {std::string(1000000, '\n') + "7", false},
        // More lines than the table has rows.
        {std::string(1100000, '\n') + "7", true},
        // A line with more fields than the table has columns.
        {std::string(20000, '\t') + "7", true},
        // A wide and tall but almost empty block.
        {std::string(16000, '\t') + "1" + std::string(500000, '\n') + "2", false},
    };
    for (const Case& c : cases) {
        RecordingReporter reporter;
        TableFixture f;
        f.Table().SetNumber(5, 0, 99.0); // inside every block: emptied by a paste of blanks
        const Bytes before = TableBytes(f.Table());
        f.Select({1, 3, 1, 3});
        GetClipboard().SetData({{"text/plain", std::vector<BYTE>(c.text.begin(), c.text.end())}});
        f.view->OnCmdMsg(ID_EDIT_PASTE, nullptr);
        GetClipboard().SetData({});
        if (c.refused) {
            EXPECT_EQ(reporter.Ids(), std::vector<UINT>{8530});
            EXPECT_EQ(TableBytes(f.Table()), before);
            continue;
        }
        EXPECT_TRUE(reporter.messages.empty());
        EXPECT_EQ(f.Table().GetCell(5, 0), nullptr);
        // Cells written and emptied: a handful, not the block's area.
        EXPECT_LE(f.view->GetGridData()->m_selectedCells.size(), 4u);
        ASSERT_TRUE(f.item->GetActionList()->Undo());
        EXPECT_EQ(TableBytes(f.Table()), before);
    }
}

TEST(DataView, PasteThenUndoPutsTheTypeRowBack)
{
    // A block of x-pair columns pasted below the type row sets their types
    // there; Undo must take them away again.
    RecordingReporter reporter;
    TableFixture f;
    f.Table().SetCell(0, 1, CreateColumnType(2, 1));
    f.Table().SetNumber(2, 0, 1.0);
    const Bytes before = TableBytes(f.Table());
    PasteInput(f, ReadRepro("C1_paste_x2_undo.bin"));
    ASSERT_EQ(f.item->GetActionList()->GetCount(), 1);
    EXPECT_NE(TableBytes(f.Table()), before);
    bool x2 = false;
    for (int c : f.Table().GetColumnNumbers())
        x2 = x2 || dynamic_cast<CDataCTypeX2*>(f.Table().GetColumnType(c)) != nullptr;
    EXPECT_TRUE(x2);
    ASSERT_TRUE(f.item->GetActionList()->Undo());
    EXPECT_EQ(TableBytes(f.Table()), before);
    ASSERT_TRUE(f.item->GetActionList()->Redo());
    ASSERT_TRUE(f.item->GetActionList()->Undo());
    EXPECT_EQ(TableBytes(f.Table()), before);
}

TEST(DataView, TableWhoseStoredFormatHasTheSmallestMaxDigitsPaints)
{
    CMXDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(ReproPath("W2_fmt_maxdigits.mxf")));
    CMXGrid* grid = nullptr;
    for (CProjectItemBase* item : doc.GetProjectItems())
        if (!grid)
            grid = dynamic_cast<CMXGrid*>(item);
    ASSERT_NE(grid, nullptr);
    CDataView view(grid);
    view.resize(600, 400);
    view.show();
    QApplication::processEvents();
    EXPECT_FALSE(view.grab().isNull()); // painting formats every visible cell
    for (int column = 0; column <= grid->GetTable().GetLastColumn(); ++column)
        view.SizeColumnToFit(column, false);
}

TEST(DataView, HomeEndAndTheirControlFormsMoveAcrossTheUsedCells)
{
    TableFixture f;
    // Data in columns 1-4 of rows 1-6 (grid rows 3-8), the longest in column 4.
    for (int r = 0; r < 6; ++r)
        for (int c = 0; c < 4; ++c)
            f.Table().SetNumber(2 + r, c, r + c);
    struct Case {
        int row, column;
        Qt::KeyboardModifiers modifiers;
        Qt::Key key;
        int expectRow, expectColumn;
    } cases[] = {
        {5, 3, Qt::NoModifier, Qt::Key_Home, 5, 1},
        {5, 2, Qt::NoModifier, Qt::Key_End, 5, 4},
        {7, 3, Qt::ControlModifier, Qt::Key_Home, 3, 1},
        {4, 1, Qt::ControlModifier, Qt::Key_End, 8, 4},
    };
    for (const Case& c : cases) {
        f.Select({c.column, c.row, c.column, c.row});
        f.view->setFocus();
        QTest::keyClick(f.view->viewport(), c.key, c.modifiers);
        QApplication::processEvents();
        EXPECT_EQ(f.view->GetCurrentRow(), c.expectRow) << c.key << " from " << c.row << "," << c.column;
        EXPECT_EQ(f.view->GetCurrentColumn(), c.expectColumn) << c.key << " from " << c.row << "," << c.column;
    }
}

TEST(DataView, ShiftEnterReachesTheColumnNameRow)
{
    TableFixture f;
    f.Select({2, 4, 2, 4});
    f.view->setFocus();
    for (int expected : {3, 2, 2}) {
        QTest::keyClick(f.view->viewport(), Qt::Key_Return, Qt::ShiftModifier);
        QApplication::processEvents();
        EXPECT_EQ(f.view->GetCurrentRow(), expected);
    }
}

TEST(DataView, SelectAllSelectsTheUsedDataCells)
{
    TableFixture f;
    f.Table().SetNumber(2, 0, 1);
    f.Table().SetNumber(5, 2, 2); // data row 4, column 3
    ASSERT_TRUE(f.Query(ID_EDIT_SELECT_ALL).m_enabled.value_or(false));
    ASSERT_TRUE(f.view->OnCmdMsg(ID_EDIT_SELECT_ALL, nullptr));
    const auto& ranges = f.view->GetGridData()->m_ranges;
    ASSERT_EQ(ranges.size(), 1u);
    EXPECT_EQ(ranges[0].left, 1);
    EXPECT_EQ(ranges[0].top, 3);
    EXPECT_EQ(ranges[0].right, 3);
    EXPECT_EQ(ranges[0].bottom, 6);
    // Copying the selection takes every used cell.
    ASSERT_TRUE(f.view->OnCmdMsg(ID_EDIT_COPY, nullptr));
    std::vector<BYTE> text = GetClipboard().GetData("text/plain");
    EXPECT_EQ(std::string(text.begin(), text.end()), "1.0000\t\t\r\n\t\t\r\n\t\t\r\n\t\t2.0000");
    GetClipboard().SetData({});
}

TEST(DataView, TypeCommandsTickTheCurrentColumnsType)
{
    TableFixture f;
    f.Table().SetCell(0, 1, CreateColumnType(2, 1)); // column 2: y Data
    f.Select({2, 3, 2, 3});
    EXPECT_TRUE(f.Query(CDataView::CommandOfType(2)).m_checked.value_or(false));
    EXPECT_FALSE(f.Query(CDataView::CommandOfType(1)).m_checked.value_or(true));
    f.Select({1, 3, 1, 3});
    EXPECT_FALSE(f.Query(CDataView::CommandOfType(2)).m_checked.value_or(true));
}

TEST(DataView, RightClickShowsTheContextMenuOnce)
{
    TableFixture f;
    int shown = 0;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (QWidget* popup = QApplication::activePopupWidget()) {
            ++shown;
            popup->close();
        }
    });
    closer.start(10);
    QTest::mouseClick(f.view->viewport(), Qt::RightButton, Qt::NoModifier, QPoint(150, 120));
    QTest::qWait(100);
    EXPECT_EQ(shown, 1);
}

TEST(DataView, PrivateClipboardDataIsTheValueTheBlockAndTheTable)
{
    TableFixture f;
    f.Table().SetNumber(2, 0, 3.5);
    f.Table().SetNumber(3, 1, 4.5);
    f.Select({1, 3, 2, 4});
    ASSERT_TRUE(f.view->OnCmdMsg(ID_EDIT_COPY, nullptr));
    std::vector<BYTE> bytes = GetClipboard().GetData(kPrivateDataFormat);
    ASSERT_GE(bytes.size(), 20u);
    auto word = [&](int i) {
        std::int32_t v;
        std::memcpy(&v, bytes.data() + 4 * i, 4);
        return v;
    };
    // Selection kind 2 (cells), then the 2 x 2 block's first column, first row, last column, last row.
    EXPECT_EQ(word(0), 2);
    EXPECT_EQ(word(3) - word(1), 1);
    EXPECT_EQ(word(4) - word(2), 1);
    // The table follows at once: its own version word 0.
    EXPECT_EQ(word(5), 0);
    GetClipboard().SetData({});
}

TEST(DataView, RowHeadingsHaveRoomForSevenDigits)
{
    TableFixture f;
    const CGridData* data = f.view->GetGridData();
    ASSERT_NE(data, nullptr);
    const int width = f.view->GetDefaultColumnWidth(0, false);
    // The heading column is at least as wide as the widest row number, in logical units.
    SIZE digits = f.view->MeasureText(data->GetDeviceFont(), "1048576");
    EXPECT_GE(width, f.view->DeviceToLogicalX(digits.cx));
}

TEST(DataView, SeriesOffersNoMorePointsThanTheTableHasRows)
{
    RecordingReporter reporter;
    struct Case {
        const char* points;
        bool accepted;
    } cases[] = {{"1048576", true}, {"1048577", false}, {"1e9", false}, {"0", true}};
    for (const Case& c : cases) {
        CSeriesDlg dialog;
        dialog.show();
        dialog.StartEdit()->setText("1");
        dialog.IncrementEdit()->setText("1");
        dialog.PointsEdit()->setText(c.points);
        dialog.accept();
        EXPECT_EQ(dialog.result() == QDialog::Accepted, c.accepted) << c.points;
    }
    ASSERT_EQ(reporter.messages.size(), 2u);
    EXPECT_EQ(reporter.messages[0].text.find("1000000000"), std::string::npos);
    EXPECT_NE(reporter.messages[0].text.find("1048576"), std::string::npos);
}

TEST(DataView, APasteThatDoesNotFitSaysSoAndKeepsOnlyWhatTheUserAllows)
{
    struct Case {
        int row, column; // grid cell the paste starts at
        int answer;
        int lastColumn, lastRow; // table's last used column and row afterwards (-1: untouched)
    } cases[] = {
        {3, 16384, IDCANCEL, -1, -1},   // two columns at the last column: cancelled, nothing pasted
        {3, 16384, IDOK, 16383, 13},    // the part that fits: one column of twelve rows
        {1048575, 1, IDOK, 1, 1048577}, // 12 rows 4 from the end: 4 rows
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.row);
        RecordingReporter reporter;
        reporter.Answer(c.answer);
        TableFixture f;
        std::string rows;
        for (int r = 0; r < 12; ++r)
            rows += std::to_string(r) + "\t" + std::to_string(100 + r) + "\r\n";
        GetClipboard().SetData({{"text/plain", std::vector<BYTE>(rows.begin(), rows.end())}});
        f.Select({c.column, c.row, c.column, c.row});
        f.view->OnCmdMsg(ID_EDIT_PASTE, nullptr);
        ASSERT_EQ(reporter.Ids(), std::vector<UINT>{8606});
        if (c.lastColumn < 0) {
            EXPECT_EQ(f.Table().GetLastColumn(), -1);
            EXPECT_EQ(f.item->GetActionList()->GetCount(), 0);
        } else {
            EXPECT_EQ(f.Table().GetLastColumn(), c.lastColumn);
            EXPECT_EQ(f.Table().GetLastRow(-1), c.lastRow);
        }
        GetClipboard().SetData({});
    }
}

TEST(DataView, RowCommandsDisabledByACalculatedColumnSayWhy)
{
    TableFixture f;
    f.Table().SetNumber(2, 0, 1.0);
    f.Table().SetCell(0, 1, CreateColumnType(10, 1)); // column 2: a series, calculated
    f.Select({0, 4, 16384, 4});                         // one whole row, across it
    ASSERT_EQ(f.view->GetSelectionKind(), 19);
    for (UINT id : {UINT(ID_TABLE_INSERT_ROW), UINT(ID_TABLE_DELETE)}) {
        const CCmdUI ui = f.Query(id);
        EXPECT_FALSE(ui.m_enabled.value_or(true)) << id;
        ASSERT_TRUE(ui.m_reason.has_value()) << id;
        EXPECT_EQ(*ui.m_reason, LoadString(IDS_REASON_CALCULATED_ROWS));
    }
    // A row of a table without calculated columns may be inserted.
    TableFixture plain;
    plain.Table().SetNumber(2, 0, 1.0);
    plain.Select({0, 4, 16384, 4});
    EXPECT_TRUE(plain.Query(ID_TABLE_INSERT_ROW).m_enabled.value_or(false));
}
