#include "FakeGridHost.h"

#include "platform/StringTable.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

// A cell with an editor open that refuses to close it (its store was refused).
class CStuckEditCell : public CGridCellObject {
    DECLARE_DYNCREATE(CStuckEditCell)
public:
    bool IsEditing() const override { return true; }
    void EndEdit() override { ++endEdits; }
    void OnUpdateUndo(CGridCmdState& state) override { state.Enable(true); }
    static inline int endEdits = 0;
};

std::pair<int, int> Current(const GridFixture& f) { return {f.grid.GetCurrentRow(), f.grid.GetCurrentColumn()}; }

} // namespace

IMPLEMENT_DYNCREATE(CStuckEditCell, CGridCellObject)

// ---------------------------------------------------------------- hit test

TEST(GridInputTest, HitTestCodes)
{
    // Columns are 96 px and rows 24 px; column 0 and row 0 are the headings.
    struct Case {
        int x, y;
        int code, row, column;
        std::function<void(CGridData&)> setup;
    } cases[] = {
        {202, 58, GRID_HIT_CELL, 2, 2, nullptr},
        {191, 5, GRID_HIT_COLUMN_BORDER, 0, 1, nullptr}, // right edge of column 1
        {193, 5, GRID_HIT_COLUMN_BORDER, 0, 1, nullptr}, // left edge of column 2 resizes column 1
        {150, 5, GRID_HIT_COLUMN_HEADER, 0, 1, nullptr},
        {5, 70, GRID_HIT_ROW_BORDER, 2, 0, nullptr},
        {5, 73, GRID_HIT_ROW_BORDER, 2, 0, nullptr},     // top edge of row 3 resizes row 2
        {5, 60, GRID_HIT_ROW_HEADER, 2, 0, nullptr},
        {5, 5, GRID_HIT_CORNER, 0, 0, nullptr},
        {94, 5, GRID_HIT_COLUMN_BORDER, 0, 0, nullptr},  // the row-label column can be resized
        {600, 5, GRID_HIT_NONE, -1, -1, nullptr},
        {191, 5, GRID_HIT_COLUMN_HEADER, 0, 1, [](CGridData& d) { d.m_bColumnResize = 0; }},
        {193, 5, GRID_HIT_COLUMN_HEADER, 0, 2, [](CGridData& d) { d.m_bColumnResize = 0; }},
        {5, 70, GRID_HIT_ROW_HEADER, 2, 0, [](CGridData& d) { d.m_bRowResize = 0; }},
        {5, 60, GRID_HIT_INACTIVE, 2, 0, [](CGridData& d) { d.m_bRowSelection = 0; }},
        {5, 5, GRID_HIT_INACTIVE, 0, 0, [](CGridData& d) { d.m_bRowSelection = 0; }},
        {150, 5, GRID_HIT_INACTIVE, 0, 1, [](CGridData& d) { d.m_bColumnSelection = 0; }},
        {5, 5, GRID_HIT_INACTIVE, 0, 0, [](CGridData& d) { d.m_bColumnSelection = 0; }},
    };
    for (const Case& c : cases) {
        GridFixture f;
        if (c.setup)
            c.setup(f.data);
        CGridHitInfo hit;
        f.grid.HitTest(POINT{c.x, c.y}, hit);
        EXPECT_EQ(hit.code, c.code) << c.x << "," << c.y;
        EXPECT_EQ(hit.row, c.row) << c.x << "," << c.y;
        EXPECT_EQ(hit.column, c.column) << c.x << "," << c.y;
    }
}

TEST(GridInputTest, CursorFollowsTheHitCodeUnlessOverridden)
{
    GridFixture f;
    f.grid.OnMouseMove(0, POINT{191, 5});
    EXPECT_EQ(f.host.cursorId, GRID_HIT_COLUMN_BORDER);
    f.data.m_cursorOverride = 555;
    f.grid.OnMouseMove(0, POINT{202, 58});
    EXPECT_EQ(f.host.cursorId, 555);
}

// ---------------------------------------------------------------- keys

TEST(GridInputTest, KeyTable)
{
    struct Case {
        int row, column;
        UINT modifiers, key;
        int expectRow, expectColumn;
    } cases[] = {
        {5, 5, 0, VK_DOWN, 6, 5},
        {5, 5, 0, VK_UP, 4, 5},
        {5, 5, 0, VK_RIGHT, 5, 6},
        {5, 5, 0, VK_LEFT, 5, 4},
        {5, 5, MK_CONTROL, VK_DOWN, 99, 5},
        {5, 5, MK_CONTROL, VK_UP, 1, 5},
        {5, 5, MK_CONTROL, VK_RIGHT, 5, 99},
        {5, 5, MK_CONTROL, VK_LEFT, 5, 1},
        {5, 5, 0, VK_TAB, 5, 6},
        {5, 5, MK_SHIFT, VK_TAB, 5, 4},
        {5, 5, 0, VK_RETURN, 6, 5},
        {5, 5, MK_SHIFT, VK_RETURN, 4, 5},
        {1, 1, 0, VK_UP, 1, 1},          // never into the heading row
        {1, 1, 0, VK_LEFT, 1, 1},
        {1, 1, MK_SHIFT, VK_TAB, 1, 1},
        {1, 1, MK_SHIFT, VK_RETURN, 1, 1}, // never climbs above row 2
        {3, 1, MK_SHIFT, VK_RETURN, 2, 1},
        {99, 99, 0, VK_DOWN, 99, 99},
        {99, 99, 0, VK_RIGHT, 99, 99},
        {99, 99, 0, VK_TAB, 99, 99},
        {99, 99, 0, VK_RETURN, 99, 99},
        {5, 5, 0, VK_NEXT, 12, 5},        // top 1 + 12 scrolled rows on screen - 1
        {5, 5, 0, VK_PRIOR, 1, 5},
        {5, 2, MK_CONTROL, VK_NEXT, 5, 5}, // left 1 + 5 scrolled columns - 1
        {5, 5, 0, VK_HOME, 5, 5},         // not the engine's
    };
    for (const Case& c : cases) {
        GridFixture f;
        f.grid.SetCurrentCell(c.row, c.column);
        f.host.modifiers = c.modifiers;
        f.grid.OnKeyDown(c.key, 1, 0);
        EXPECT_EQ(Current(f), std::make_pair(c.expectRow, c.expectColumn))
            << "key " << c.key << " mods " << c.modifiers << " from " << c.row << "," << c.column;
    }
}

TEST(GridInputTest, PageKeys)
{
    GridFixture f;
    f.grid.SetCurrentCell(5, 5);
    f.grid.OnKeyDown(VK_NEXT, 1, 0);
    EXPECT_EQ(f.grid.GetTopRow(), 12);
    for (int i = 0; i < 20; ++i)
        f.grid.OnKeyDown(VK_NEXT, 1, 0);
    EXPECT_EQ(Current(f), std::make_pair(99, 5)); // stops on the last row

    f.grid.SetCurrentCell(50, 5, 0, 1, 0);
    ASSERT_EQ(f.grid.GetTopRow(), 50);
    f.grid.OnKeyDown(VK_PRIOR, 1, 0);
    // Up by the 12 scrolled rows on screen.
    EXPECT_EQ(Current(f), std::make_pair(38, 5));
    EXPECT_EQ(f.grid.GetTopRow(), 38);
}

TEST(GridInputTest, ShiftEnterReachesRowTwoPastTheFrozenRowsAndStopsThere)
{
    // A table's grid: the column numbers, types and names are frozen, the
    // names (row 2) are still typed into.
    GridFixture f;
    f.data.m_nFirstScrollableRow = 3;
    f.data.m_nFrozenRows = 3;
    f.grid.SetCurrentCell(4, 5);
    f.host.modifiers = MK_SHIFT;
    for (int expected : {3, 2, 2}) {
        f.grid.OnKeyDown(VK_RETURN, 1, 0);
        EXPECT_EQ(Current(f), std::make_pair(expected, 5));
    }
}

TEST(GridInputTest, ArrowOntoAPartlyShownRowScrollsOneLine)
{
    GridFixture f;
    f.grid.SetCurrentCell(11, 5);
    f.host.scrolls.clear();
    f.grid.OnKeyDown(VK_DOWN, 1, 0); // row 12 ends at 312 px, below the 300 px window
    EXPECT_EQ(Current(f), std::make_pair(12, 5));
    EXPECT_EQ(f.grid.GetTopRow(), 2);
    ASSERT_EQ(f.host.scrolls.size(), 1u);
    EXPECT_EQ(f.host.scrolls[0], std::make_pair(0, -24));
}

TEST(GridInputTest, ShiftArrowsMoveTheFarEdge)
{
    GridFixture f;
    f.grid.SetCurrentCell(5, 5);
    f.host.modifiers = MK_SHIFT;
    f.grid.OnKeyDown(VK_DOWN, 1, 0);
    f.grid.OnKeyDown(VK_DOWN, 1, 0);
    EXPECT_EQ(f.data.m_ranges.front(), (CGridRange{5, 5, 5, 7}));
    EXPECT_EQ(Current(f), std::make_pair(5, 5));
    f.grid.OnKeyDown(VK_UP, 1, 0);
    EXPECT_EQ(f.data.m_ranges.front(), (CGridRange{5, 5, 5, 6}));
    f.grid.OnKeyDown(VK_UP, 1, 0);
    f.grid.OnKeyDown(VK_UP, 1, 0);
    EXPECT_EQ(f.data.m_ranges.front(), (CGridRange{5, 4, 5, 5}));
    f.grid.OnKeyDown(VK_RIGHT, 1, 0);
    EXPECT_EQ(f.data.m_ranges.front(), (CGridRange{5, 4, 6, 5}));
    EXPECT_EQ(f.data.m_ranges.size(), 1u);
}

TEST(GridInputTest, EnterWalksAMultiCellRange)
{
    GridFixture f;
    f.grid.SetCurrentCell(2, 2);
    f.grid.SetCurrentCell(3, 3, MK_SHIFT);
    ASSERT_EQ(f.data.m_ranges.front(), (CGridRange{2, 2, 3, 3}));
    std::pair<int, int> expected[] = {{2, 3}, {3, 2}, {3, 3}, {2, 2}};
    for (auto e : expected) {
        f.grid.OnKeyDown(VK_RETURN, 1, 0);
        EXPECT_EQ(Current(f), e);
    }
    f.host.modifiers = MK_SHIFT;
    f.grid.OnKeyDown(VK_RETURN, 1, 0);
    EXPECT_EQ(Current(f), std::make_pair(3, 3));
    EXPECT_EQ(f.data.m_ranges.front(), (CGridRange{2, 2, 3, 3})); // the selection stays
}

// ---------------------------------------------------------------- selection

TEST(GridInputTest, HeaderClicksSelectWholeRowsColumnsAndAll)
{
    GridFixture f;
    f.grid.OnLButtonDown(0, POINT{5, 60}); // row header of row 2
    EXPECT_EQ(f.data.m_ranges.front(), (CGridRange{0, 2, 99, 2})); // stops at the last column
    EXPECT_EQ(Current(f), std::make_pair(2, 1));
    EXPECT_TRUE(f.data.m_bSelRows && !f.data.m_bSelColumns && !f.data.m_bSelCells);

    f.grid.OnLButtonDown(0, POINT{150, 5}); // column header of column 1
    EXPECT_EQ(f.data.m_ranges.front(), (CGridRange{1, 0, 1, 99}));
    EXPECT_EQ(Current(f), std::make_pair(1, 1));
    EXPECT_TRUE(f.data.m_bSelColumns && !f.data.m_bSelRows);

    f.grid.OnLButtonDown(0, POINT{5, 5});
    EXPECT_EQ(f.data.m_ranges.front(), (CGridRange{0, 0, 99, 99}));
    EXPECT_TRUE(f.data.m_bSelColumns && f.data.m_bSelRows);

    f.grid.OnLButtonDown(0, f.Centre(2, 2));
    f.grid.OnLButtonDown(MK_SHIFT, f.Centre(5, 4));
    EXPECT_EQ(f.data.m_ranges.front(), (CGridRange{2, 2, 4, 5}));
    EXPECT_EQ(Current(f), std::make_pair(2, 2));
    EXPECT_TRUE(f.data.m_bSelCells);

    // A click on a row header with row selection off does nothing.
    f.data.m_bRowSelection = 0;
    f.grid.OnLButtonDown(0, POINT{5, 60});
    EXPECT_EQ(f.data.m_ranges.front(), (CGridRange{2, 2, 4, 5}));
}

TEST(GridInputTest, ControlClickAddsAndRemovesRanges)
{
    GridFixture f;
    f.grid.SetCurrentCell(2, 2);
    f.grid.OnLButtonDown(MK_CONTROL, f.Centre(5, 5));
    ASSERT_EQ(f.data.m_ranges.size(), 2u);
    EXPECT_EQ(f.data.m_ranges[1], (CGridRange{5, 5, 5, 5}));
    f.grid.OnLButtonDown(MK_CONTROL, f.Centre(5, 5));
    ASSERT_EQ(f.data.m_ranges.size(), 1u);
    EXPECT_EQ(f.data.m_ranges[0], (CGridRange{2, 2, 2, 2}));
    f.grid.OnLButtonDown(MK_CONTROL, f.Centre(2, 2)); // never the last range
    EXPECT_EQ(f.data.m_ranges.size(), 1u);
}

TEST(GridInputTest, RowSelectModeSelectsWholeRows)
{
    GridFixture f;
    f.grid.SetOptions(GRID_OPTION_ROW_SELECT);
    EXPECT_EQ(f.data.m_bColumnSelection, 0);
    EXPECT_EQ(f.data.m_bShowFocus, 0);
    f.grid.OnLButtonDown(0, f.Centre(3, 3));
    EXPECT_EQ(f.data.m_ranges.front(), (CGridRange{0, 3, 99, 3}));
}

TEST(GridInputTest, RefusedStoreKeepsTheCurrentCell)
{
    GridFixture f;
    f.data.m_pDefaultCellClass = RUNTIME_CLASS(CStuckEditCell);
    f.grid.Update(GRID_UPDATE_ALL, 0);
    f.grid.SetCurrentCell(2, 2);
    CStuckEditCell::endEdits = 0;
    f.grid.SetCurrentCell(4, 4);
    EXPECT_EQ(CStuckEditCell::endEdits, 1);
    EXPECT_EQ(Current(f), std::make_pair(2, 2));
    // While the cell edits, it decides the edit commands and their menu texts.
    CGridCmdState undo, redo;
    f.grid.OnUpdateEditUndo(undo);
    f.grid.OnUpdateEditRedo(redo);
    EXPECT_TRUE(undo.enabled);
    EXPECT_EQ(undo.text, "&Undo \tCtrl+Z");
    EXPECT_FALSE(redo.enabled);
    EXPECT_EQ(redo.text, "&Redo\tCtrl+Y");
}

TEST(GridInputTest, StayFlagStopsOneMove)
{
    GridFixture f;
    f.grid.SetCurrentCell(2, 2);
    f.grid.SetStayFlag();
    f.grid.SetCurrentCell(4, 4);
    EXPECT_EQ(Current(f), std::make_pair(2, 2));
    EXPECT_EQ(f.data.m_bStay, 0);
    f.grid.SetCurrentCell(4, 4);
    EXPECT_EQ(Current(f), std::make_pair(4, 4));
}

// ---------------------------------------------------------------- mouse

TEST(GridInputTest, DraggedBordersResizeButNeverBelowSixPixels)
{
    GridFixture f;
    f.grid.OnMouseMove(0, POINT{191, 5});
    f.grid.OnLButtonDown(MK_LBUTTON, POINT{191, 5});
    ASSERT_TRUE(f.grid.IsResizing());
    f.grid.OnMouseMove(MK_LBUTTON, POINT{10, 5});
    EXPECT_TRUE(f.host.captured);
    RecordingPainter painter(f.host.client);
    f.grid.OnDraw(painter);
    ASSERT_EQ(painter.trackers.size(), 1u);
    EXPECT_EQ(painter.trackers[0].left, 96 + 6 - 1); // held 6 px right of the column's left edge
    f.grid.OnLButtonUp(0, POINT{10, 5});
    EXPECT_FALSE(f.grid.IsResizing());
    EXPECT_FALSE(f.host.captured);
    EXPECT_EQ(f.grid.GetColumnWidth(1, true), 36); // 6 px
    EXPECT_EQ(f.data.m_columnWidths[1], 63);       // 36 units * 500 / 288, rounded

    f.grid.OnLButtonDown(MK_LBUTTON, POINT{5, 70}); // bottom of row 2, which starts at 48
    f.grid.OnLButtonUp(0, POINT{5, 50});
    EXPECT_EQ(f.grid.GetRowHeight(2, true), -36);
}

TEST(GridInputTest, DraggedWidthIsStoredUnzoomed)
{
    GridFixture f;
    f.grid.SetZoom(200);
    // Columns are now 192 px: column 1 ends at 384.
    f.grid.OnLButtonDown(MK_LBUTTON, POINT{383, 5});
    ASSERT_TRUE(f.grid.IsResizing());
    f.grid.OnLButtonUp(0, POINT{192 + 150, 5});
    // 150 px = 900 units = 1562.5 thousandths at 200 %: 1563 / 2 stored.
    EXPECT_EQ(f.data.m_columnWidths[1], 781);
    EXPECT_EQ(f.grid.GetColumnWidth(1, true), 900);
}

TEST(GridInputTest, DragSelectionExtendsAndAutoScrolls)
{
    GridFixture f;
    f.grid.OnMouseMove(0, f.Centre(2, 2));
    f.grid.OnLButtonDown(MK_LBUTTON, f.Centre(2, 2));
    f.host.events.clear();
    f.grid.OnMouseMove(MK_LBUTTON, f.Centre(4, 3));
    EXPECT_TRUE(f.grid.IsMouseSelecting());
    EXPECT_EQ(f.data.m_ranges.front(), (CGridRange{2, 2, 3, 4}));
    EXPECT_EQ(f.host.events, (std::vector<int>{GRID_EVENT_RANGE_CHANGING, GRID_EVENT_RANGE_CHANGED}));

    f.grid.OnMouseMove(MK_LBUTTON, POINT{f.Centre(4, 3).x, 310}); // below the window
    EXPECT_EQ(f.grid.GetTopRow(), 2);
    EXPECT_EQ(f.host.timers[GRID_TIMER_AUTOSCROLL], 1u);
    // The selection reaches the bottom row on screen: y 299 lies in screen row
    // 12 (24 px rows), which is grid row 2 + 11 = 13 now that row 2 is on top.
    EXPECT_EQ(f.data.m_ranges.front(), (CGridRange{2, 2, 3, 13}));
    f.host.cursor = POINT{200, 320};
    f.grid.OnTimer(GRID_TIMER_AUTOSCROLL);
    ASSERT_EQ(f.host.posted.size(), 1u);
    EXPECT_EQ(f.host.posted[0].first, UINT(MK_LBUTTON));
    EXPECT_EQ(f.host.posted[0].second, (POINT{200, 320}));

    f.grid.OnLButtonUp(0, POINT{200, 320});
    EXPECT_FALSE(f.grid.IsMouseSelecting());
    EXPECT_EQ(f.host.timers.count(GRID_TIMER_AUTOSCROLL), 0u);
}

TEST(GridInputTest, RightButtonMovesOnlyOutsideTheSelection)
{
    GridFixture f;
    f.grid.SetCurrentCell(2, 2);
    f.grid.SetCurrentCell(5, 5, MK_SHIFT);
    f.grid.OnRButtonDown(0, f.Centre(3, 3));
    EXPECT_EQ(Current(f), std::make_pair(2, 2));
    f.grid.OnRButtonDown(0, f.Centre(7, 1));
    EXPECT_EQ(Current(f), std::make_pair(7, 1));
}

// ---------------------------------------------------------------- clipboard

TEST(GridInputTest, SplitClipboardTextTable)
{
    using Lines = std::vector<std::vector<std::string>>;
    struct Case {
        std::string text;
        Lines expected;
    } cases[] = {
        {"", {}},
        {"a", {{"a"}}},
        {"a\tb\r\nc", {{"a", "b"}, {"c"}}},
        {"a\nb\n", {{"a"}, {"b"}}},             // LF, and one final line end ignored
        {"a\rb\r", {{"a"}, {"b"}}},             // CR alone
        {"a\r\n\r\n", {{"a"}, {""}}},           // only one final line end is ignored
        {"x\t", {{"x", ""}}},
        {"\t\t\r\n1", {{"", "", ""}, {"1"}}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SplitClipboardText(c.text), c.expected) << c.text;
}

TEST(GridInputTest, CopyTwoByThree)
{
    GridFixture f;
    const char* texts[2][3] = {{"a", "b", "c"}, {"d", "e", "f"}};
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 3; ++c)
            f.grid.cells[{r + 1, c + 1}] = texts[r][c];
    f.grid.SetCurrentCell(1, 1);
    f.grid.SetCurrentCell(2, 3, MK_SHIFT);
    EXPECT_EQ(f.grid.CopyToClipboard(), 1);
    EXPECT_EQ(f.host.clipboard, "a\tb\tc\r\nd\te\tf");

    // Cut clears what it copied.
    EXPECT_EQ(f.grid.Cut(), 1);
    EXPECT_EQ(f.grid.changed.size(), 6u);
    EXPECT_EQ(f.grid.cells[std::make_pair(2, 3)], "");
}

TEST(GridInputTest, WholeColumnCopyStopsAtTheLastUsedRow)
{
    GridFixture f;
    f.grid.lastRow = 2;
    f.grid.cells[{0, 1}] = "head";
    f.grid.cells[{1, 1}] = "a";
    f.grid.cells[{2, 1}] = "d";
    f.grid.cells[{50, 1}] = "beyond the last used row";
    f.grid.OnLButtonDown(0, POINT{150, 5});
    EXPECT_EQ(f.grid.CopyToClipboard(), 1);
    EXPECT_EQ(f.host.clipboard, "head\r\na\r\nd");
}

TEST(GridInputTest, TooManyCellsFailAsAWhole)
{
    RecordingReporter reporter;
    GridFixture f;
    f.data.m_nRowCount = 1000000;
    f.data.m_nColumnCount = 1000;
    // Two ranges of 300 million cells each: each alone would fit, together they do not.
    f.data.m_ranges = {CGridRange{1, 1, 300, 999999}, CGridRange{301, 1, 600, 999999}};
    EXPECT_EQ(f.grid.CopyToClipboard(), 0);
    EXPECT_EQ(reporter.Ids(), std::vector<UINT>{32011});
    EXPECT_EQ(f.host.opens, 0);
    EXPECT_TRUE(f.data.m_selectedCells.empty());
    EXPECT_EQ(f.grid.ClearSelection(), 0);
    EXPECT_EQ(f.grid.stores, 0);
    EXPECT_EQ(reporter.Ids(), (std::vector<UINT>{32011, 32011}));
}

TEST(GridInputTest, ClipboardFailuresAreReported)
{
    struct Case {
        bool open, empty, close;
        UINT id;
    } cases[] = {{false, true, true, 32002}, {true, false, true, 32003}, {true, true, false, 32004}};
    for (const Case& c : cases) {
        RecordingReporter reporter;
        GridFixture f;
        f.grid.SetCurrentCell(1, 1);
        f.host.canOpen = c.open;
        f.host.canEmpty = c.empty;
        f.host.canClose = c.close;
        EXPECT_EQ(f.grid.CopyToClipboard(), 0);
        EXPECT_EQ(reporter.Ids(), std::vector<UINT>{c.id});
    }
}

TEST(GridInputTest, PasteLargerThanTheSelectionAsks)
{
    struct Case {
        int answer;
        std::vector<std::string> stored; // cells (2,2), (2,3), (2,4)
    } cases[] = {
        {IDNO, {"x", "y", "z"}},
        {IDYES, {"x", "", ""}},
        {IDCANCEL, {"", "", ""}},
    };
    for (const Case& c : cases) {
        RecordingReporter reporter;
        reporter.Answer(c.answer);
        GridFixture f;
        f.grid.SetCurrentCell(2, 2);
        f.host.clipboard = "x\ty\tz";
        f.grid.PasteFromClipboard();
        EXPECT_EQ(reporter.Ids(), std::vector<UINT>{32010});
        for (int j = 0; j < 3; ++j) {
            auto it = f.grid.cells.find({2, 2 + j});
            EXPECT_EQ(it == f.grid.cells.end() ? "" : it->second, c.stored[std::size_t(j)]) << c.answer << " " << j;
        }
    }
}

TEST(GridInputTest, PasteIntoAFittingRange)
{
    RecordingReporter reporter;
    GridFixture f;
    f.grid.SetCurrentCell(2, 2);
    f.grid.SetCurrentCell(3, 3, MK_SHIFT);
    f.host.clipboard = "1\t2\r\n3\t4\r\n";
    f.grid.refuse = "2";
    f.grid.PasteFromClipboard();
    EXPECT_TRUE(reporter.Ids().empty());
    EXPECT_EQ(f.grid.cells[std::make_pair(2, 2)], "1");
    EXPECT_EQ(f.grid.cells[std::make_pair(3, 3)], "4");
    // The refused cell is not reported as changed.
    EXPECT_EQ(f.grid.changed, (std::vector<CGridCellRef>{{2, 2, 0}, {2, 3, 0}, {3, 3, 0}}));

    CGridCmdState paste;
    f.grid.OnUpdateEditPaste(paste);
    EXPECT_TRUE(paste.enabled);
    f.host.clipboard.clear();
    f.grid.OnUpdateEditPaste(paste);
    EXPECT_FALSE(paste.enabled);
}
