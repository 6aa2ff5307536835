#include "FakeGridHost.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

class CCellA : public CGridCellObject {
    DECLARE_DYNCREATE(CCellA)
};
class CCellB : public CGridCellObject {
    DECLARE_DYNCREATE(CCellB)
};
class CCellC : public CGridCellObject {
    DECLARE_DYNCREATE(CCellC)
};
class CCellD : public CGridCellObject {
    DECLARE_DYNCREATE(CCellD)
};
class CCellE : public CGridCellObject {
    DECLARE_DYNCREATE(CCellE)
};

// A cell whose end of edit changes a column width, which re-lays out every
// window and asks for new cell objects while this one is still running.
class CReentrantCell : public CGridCellObject {
    DECLARE_DYNCREATE(CReentrantCell)
public:
    ~CReentrantCell() override
    {
        if (m_inHandler)
            destroyedInsideHandler = true;
    }
    void EndEdit() override
    {
        m_inHandler = true;
        m_pEngine->SetColumnWidth(1, 2000, true, false, false);
        ++endEdits; // touches this object after the re-layout
        m_inHandler = false;
    }
    int endEdits = 0;
    bool m_inHandler = false;
    static inline bool destroyedInsideHandler = false;
};

// A cell that reports no minimum width and a wide maximum.
class CZeroMinCell : public CGridCellObject {
    DECLARE_DYNCREATE(CZeroMinCell)
public:
    void GetFitWidths(int& minWidth, int& maxWidth) override
    {
        minWidth = 0;
        maxWidth = 2000;
    }
};

// A cell that notes where the grid stood (top row, left column) each time
// it is told that the grid moved.
class CMovedCell : public CGridCellObject {
    DECLARE_DYNCREATE(CMovedCell)
public:
    void OnGridMoved() override { moves.emplace_back(GetEngine()->GetTopRow(), GetEngine()->GetLeftColumn()); }
    static inline std::vector<std::pair<int, int>> moves;
};

} // namespace

IMPLEMENT_DYNCREATE(CCellA, CGridCellObject)
IMPLEMENT_DYNCREATE(CCellB, CGridCellObject)
IMPLEMENT_DYNCREATE(CCellC, CGridCellObject)
IMPLEMENT_DYNCREATE(CCellD, CGridCellObject)
IMPLEMENT_DYNCREATE(CCellE, CGridCellObject)
IMPLEMENT_DYNCREATE(CReentrantCell, CGridCellObject)
IMPLEMENT_DYNCREATE(CZeroMinCell, CGridCellObject)
IMPLEMENT_DYNCREATE(CMovedCell, CGridCellObject)

TEST(GridEngineTest, CellClassResolutionOrder)
{
    GridFixture f;
    CGridData& d = f.data;
    d.m_priorityRowClasses[5] = {RUNTIME_CLASS(CCellA)};
    d.m_priorityColumnClasses[6] = {RUNTIME_CLASS(CCellB)};
    d.AddClassRange(CGridRange{2, 2, 8, 8}, RUNTIME_CLASS(CCellC));
    d.AddClassRange(CGridRange{7, 7, 9, 9}, RUNTIME_CLASS(CCellD)); // newer, overlaps at 7..8
    d.m_rowClasses[3] = {RUNTIME_CLASS(CCellE)};
    d.m_columnClasses[20] = {RUNTIME_CLASS(CCellE)};
    struct Case {
        int row, column;
        const CRuntimeClass* expected;
    } cases[] = {
        {5, 3, RUNTIME_CLASS(CCellA)},          // priority row beats the range
        {5, 6, RUNTIME_CLASS(CCellA)},          // priority row beats priority column
        {4, 6, RUNTIME_CLASS(CCellB)},          // priority column beats the range
        {3, 3, RUNTIME_CLASS(CCellC)},          // range beats the ordinary row map
        {8, 8, RUNTIME_CLASS(CCellD)},          // the range added last decides
        {2, 2, RUNTIME_CLASS(CCellC)},
        {3, 12, RUNTIME_CLASS(CCellE)},         // row map outside every range
        {40, 20, RUNTIME_CLASS(CCellE)},        // column map
        {40, 40, RUNTIME_CLASS(CGridCellObject)}, // default
    };
    for (const Case& c : cases)
        EXPECT_EQ(f.grid.GetCellClass(c.row, c.column), c.expected) << c.row << "," << c.column;

    f.grid.Update(GRID_UPDATE_ALL, 0);
    CGridCellObject* cell = f.grid.GetCellObject(3, 3);
    ASSERT_NE(cell, nullptr);
    EXPECT_TRUE(cell->IsKindOf(RUNTIME_CLASS(CCellC)));
    EXPECT_EQ(cell->GetRow(), 3);
    EXPECT_EQ(cell->GetColumn(), 3);
    EXPECT_EQ(f.grid.GetCellObject(50, 3), nullptr); // not on screen
}

TEST(GridEngineTest, UnitsAndZoom)
{
    GridFixture f;
    // 1000 thousandths of an inch at 96 dpi: 96 pixels, six logical units each.
    EXPECT_EQ(f.grid.StoredToLogicalX(1000), 576);
    EXPECT_EQ(f.grid.LogicalToStoredX(576), 1000);
    EXPECT_EQ(f.grid.GetColumnWidth(4, true), 576);
    EXPECT_EQ(f.grid.GetRowHeight(4, true), -144); // 24 px, negative: y grows upwards

    f.grid.SetColumnWidth(2, 1500, false, false, false);
    f.grid.ShowColumn(2, false, false);
    EXPECT_EQ(f.grid.GetColumnWidth(2, true), 0); // hidden wins over a stored width
    f.grid.ShowColumn(2, true, false);
    EXPECT_EQ(f.grid.GetColumnWidth(2, false), 864); // 1.5 inch = 144 px

    EXPECT_EQ(f.grid.SetZoom(200), 100);
    f.grid.SetColumnWidth(3, 1000, false, true, false);
    EXPECT_EQ(f.data.m_columnWidths[3], 500);       // stored unzoomed
    EXPECT_EQ(f.grid.GetColumnWidth(3, true), 576); // drawn one inch wide
    EXPECT_EQ(f.grid.GetColumnWidth(3, false), 288);
    f.data.m_bZoomSuspended = 1;
    EXPECT_EQ(f.grid.GetColumnWidth(3, true), 288);

    f.host.metrics.logPixelsX = 120;
    f.grid.PrepareMetrics();
    EXPECT_EQ(f.grid.StoredToLogicalX(1000), 720); // 120 px
}

TEST(GridEngineTest, AutomaticDefaultSizesAreNotZoomedTwice)
{
    CGridData data;
    FakeGridHost host;
    TextGrid grid;
    grid.SetGridData(&data);
    grid.SetHost(&host);
    data.m_pDefaultCellClass = RUNTIME_CLASS(CGridCellObject);
    grid.InitGrid();
    // Font 10 pt = 13 px high; the fake measures "Some String" as 11 x 6 = 66 px.
    // Width: 66 px + four one-pixel margins = 70 px = 420 units = 729 thousandths.
    EXPECT_EQ(data.m_nDefaultColumnWidth, 729);
    const int width100 = grid.GetColumnWidth(5, true);
    grid.SetZoom(200);
    const int width200 = grid.GetColumnWidth(5, true);
    // Twice the zoom draws the column about twice as wide (the font rounds), not four times.
    EXPECT_GT(width200, width100 * 18 / 10);
    EXPECT_LT(width200, width100 * 23 / 10);
}

TEST(GridEngineTest, LayoutAndScrollRanges)
{
    GridFixture f;
    EXPECT_EQ(f.grid.GetVisibleColumnCount(), 6); // starts 0..480 px lie inside 500
    EXPECT_EQ(f.grid.GetVisibleRowCount(), 13);   // starts 0..288 px lie inside 300
    EXPECT_FALSE(f.grid.ColumnsFit());
    EXPECT_FALSE(f.grid.RowsFit());
    EXPECT_EQ(f.grid.GetGridRect(), (RECT{0, 0, 500, 300}));
    // Frozen rows 1, 13 laid out, 100 rows: maximum 1 - 13 + 100 + 1 = 89.
    EXPECT_EQ(f.host.range[SB_VERT], std::make_pair(1, 89));
    EXPECT_EQ(f.host.range[SB_HORZ], std::make_pair(1, 96));

    f.grid.SetScrollLimits(20, -1, true);
    EXPECT_EQ(f.host.range[SB_VERT], std::make_pair(1, 21)); // header rows + limit

    f.grid.SetScrollLimits(-1, -1, true);
    f.data.m_nRowCount = 1000000;
    f.grid.Update(GRID_UPDATE_ALL, 0);
    // Exact for any count: one unit per row.
    EXPECT_EQ(f.host.range[SB_VERT], std::make_pair(1, 999989));
    f.grid.OnVScroll(SB_THUMBPOSITION, 765432);
    EXPECT_EQ(f.grid.GetTopRow(), 765432);
    EXPECT_EQ(f.host.pos[SB_VERT], 765432);
    f.grid.OnVScroll(SB_THUMBPOSITION, 5000000);
    EXPECT_EQ(f.grid.GetTopRow(), 999989);
}

TEST(GridEngineTest, AllColumnsFittingHidesOrDisablesTheBar)
{
    GridFixture f;
    f.data.m_nColumnCount = 3;
    f.grid.Update(GRID_UPDATE_ALL, 0);
    EXPECT_FALSE(f.grid.IsScrollBarShown(SB_HORZ));
    EXPECT_EQ(f.host.bars[SB_HORZ], std::make_pair(true, false)); // kept: shown disabled

    GridFixture g;
    g.data.m_bKeepHorzScrollBar = 0;
    g.data.m_nColumnCount = 3;
    g.grid.Update(GRID_UPDATE_ALL, 0);
    EXPECT_EQ(g.host.bars[SB_HORZ], std::make_pair(false, true));
}

TEST(GridEngineTest, LineScrollKeepsCellObjects)
{
    GridFixture f;
    CGridCellObject* kept = f.grid.GetCellObject(5, 2);
    ASSERT_NE(kept, nullptr);
    f.grid.OnVScroll(SB_LINEDOWN, 0);
    EXPECT_EQ(f.grid.GetTopRow(), 2);
    EXPECT_EQ(f.host.scrolls.back(), std::make_pair(0, -24));
    EXPECT_EQ(f.grid.GetCellObject(5, 2), kept);
    EXPECT_EQ(f.grid.GetCellObject(1, 2), nullptr);
    CGridCellObject* entered = f.grid.GetCellObject(13, 2);
    ASSERT_NE(entered, nullptr);
    EXPECT_EQ(entered->GetRow(), 13);

    f.grid.OnVScroll(SB_LINEUP, 0);
    EXPECT_EQ(f.grid.GetTopRow(), 1);
    EXPECT_EQ(f.host.scrolls.back(), std::make_pair(0, 24));
    EXPECT_EQ(f.grid.GetCellObject(5, 2), kept);
    CGridCellObject* back = f.grid.GetCellObject(1, 2);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->GetRow(), 1);
    // Every laid-out cell has the object of its own cell.
    for (int sr = 0; sr < f.grid.GetVisibleRowCount(); ++sr)
        for (int sc = 0; sc < f.grid.GetVisibleColumnCount(); ++sc) {
            CGridCellObject* cell = f.grid.GetCellObject(f.grid.ScreenToRow(sr), f.grid.ScreenToColumn(sc));
            ASSERT_NE(cell, nullptr) << sr << "," << sc;
        }
    f.grid.OnVScroll(SB_LINEUP, 0); // already at the first scrollable row
    EXPECT_EQ(f.grid.GetTopRow(), 1);
}

TEST(GridEngineTest, ScrollingTellsTheCurrentCellAfterwardsAndSidewaysBeforeToo)
{
    GridFixture f;
    f.data.m_pDefaultCellClass = RUNTIME_CLASS(CMovedCell);
    f.grid.Relayout(0);
    f.grid.SetCurrentCell(3, 3);
    const int top = f.grid.GetTopRow(), left = f.grid.GetLeftColumn();
    CMovedCell::moves.clear();
    f.grid.OnVScroll(SB_LINEDOWN, 0);
    EXPECT_EQ(CMovedCell::moves, (std::vector<std::pair<int, int>>{{top + 1, left}}));
    CMovedCell::moves.clear();
    f.grid.OnHScroll(SB_LINERIGHT, 0);
    EXPECT_EQ(CMovedCell::moves, (std::vector<std::pair<int, int>>{{top + 1, left}, {top + 1, left + 1}}));
    // No move, no word: already at the first scrollable column.
    f.grid.OnHScroll(SB_LINELEFT, 0);
    CMovedCell::moves.clear();
    f.grid.OnHScroll(SB_LINELEFT, 0);
    EXPECT_TRUE(CMovedCell::moves.empty());
}

TEST(GridEngineTest, ThumbTrackOnlyWithLiveTracking)
{
    GridFixture f;
    f.data.m_bLiveTracking = 0;
    f.grid.OnVScroll(SB_THUMBTRACK, 40);
    EXPECT_EQ(f.grid.GetTopRow(), 1);
    f.data.m_bLiveTracking = 1;
    f.grid.OnVScroll(SB_THUMBTRACK, 40);
    EXPECT_EQ(f.grid.GetTopRow(), 40);
}

TEST(GridEngineTest, FewerRowsKeepTheTopRowInsideTheGrid)
{
    GridFixture f;
    f.grid.OnVScroll(SB_THUMBPOSITION, 50);
    f.grid.SetRowCount(20, true);
    EXPECT_EQ(f.grid.GetTopRow(), 19);
    EXPECT_EQ(f.host.pos[SB_VERT], 19);
    EXPECT_NE(f.grid.GetCellObject(19, 1), nullptr);
}

TEST(GridEngineTest, ColumnFittingWithZeroMinimaSharesEqually)
{
    GridFixture f;
    f.data.m_nColumnCount = 3;
    f.data.m_nHeaderColumns = 0;
    f.data.m_nFirstScrollableColumn = 0;
    f.data.m_leftColumn[0] = 0;
    f.data.m_pDefaultCellClass = RUNTIME_CLASS(CZeroMinCell);
    f.data.m_nFitColumns = 1;
    f.grid.Relayout(0);
    // 500 px = 3000 units shared by three columns with no minimum: 1000 each,
    // cut to whole pixels (6 units): 996.
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ(f.grid.GetColumnWidth(c, true), 996) << c;
}

TEST(GridEngineTest, EventsReachOnlyWindowsOfTheSameGridData)
{
    GridFixture a, b, other;
    b.grid.SetGridData(&a.data);
    b.grid.Update(GRID_UPDATE_ALL, 0);
    a.host.peers = {&a.grid, &b.grid, &other.grid};
    a.host.invalidated.clear();
    b.host.invalidated.clear();
    other.host.invalidated.clear();
    CGridCellRef cell{2, 3, 0};
    a.grid.Notify(GRID_EVENT_CELL, &cell);
    RECT expected{192, 72, 288, 96}; // column 2, row 3
    ASSERT_EQ(a.host.invalidated.size(), 1u);
    EXPECT_EQ(a.host.invalidated[0], expected);
    ASSERT_EQ(b.host.invalidated.size(), 1u);
    EXPECT_EQ(b.host.invalidated[0], expected);
    EXPECT_TRUE(other.host.invalidated.empty());

    // A changed width re-lays out every window of the same data.
    a.grid.SetColumnWidth(1, 2000, true, false, false);
    EXPECT_EQ(b.grid.GetVisibleColumnCount(), 5); // 96 + 192 + 96 + 96 + 96 > 500 from the fifth
    EXPECT_EQ(other.grid.GetVisibleColumnCount(), 6);

    // 101: the sender invalidates the given area, the others their whole grid.
    a.host.invalidated.clear();
    b.host.invalidated.clear();
    RECT area{10, 10, 20, 20};
    a.grid.Notify(GRID_EVENT_INVALIDATE, &area);
    EXPECT_EQ(a.host.invalidated.back(), area);
    EXPECT_EQ(b.host.invalidated.back(), b.grid.GetGridRect());
}

TEST(GridEngineTest, CellObjectsOutliveTheirOwnHandlers)
{
    GridFixture f;
    f.data.m_pDefaultCellClass = RUNTIME_CLASS(CReentrantCell);
    f.grid.Update(GRID_UPDATE_ALL, 0);
    f.grid.SetCurrentCell(2, 2);
    CReentrantCell::destroyedInsideHandler = false;
    f.grid.SetCurrentCell(3, 3);
    EXPECT_FALSE(CReentrantCell::destroyedInsideHandler);
    EXPECT_FALSE(f.grid.CellsStale());
    EXPECT_EQ(f.grid.GetCurrentRow(), 3);
    EXPECT_EQ(f.grid.GetColumnWidth(1, false), 1152); // the width set from inside the handler
    CGridCellObject* cell = f.grid.GetCellObject(3, 3);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->GetRow(), 3);
}

TEST(GridEngineTest, PaintPassDrawsSelectionFocusAndText)
{
    GridFixture f;
    f.grid.cells[{2, 2}] = "x";
    f.grid.SetCurrentCell(2, 2);
    RecordingPainter painter(f.host.client);
    f.grid.OnDraw(painter);
    RECT cell{192, 48, 288, 72};
    ASSERT_EQ(painter.highlights.size(), 1u);
    EXPECT_EQ(painter.highlights[0], cell);
    ASSERT_EQ(painter.focus.size(), 1u);
    EXPECT_EQ(painter.focus[0], cell);
    ASSERT_EQ(painter.texts.size(), 1u);
    EXPECT_EQ(painter.texts[0].first, "x");
    EXPECT_EQ(painter.textColors[0], f.data.m_crText);
    EXPECT_GT(painter.lines, 0);

    // An inactive window shows neither; reactivation shows the highlight only.
    f.grid.Notify(GRID_EVENT_DEACTIVATE);
    RecordingPainter inactive(f.host.client);
    f.grid.OnDraw(inactive);
    EXPECT_TRUE(inactive.highlights.empty());
    EXPECT_TRUE(inactive.focus.empty());
    f.grid.Notify(GRID_EVENT_ACTIVATE);
    RecordingPainter active(f.host.client);
    f.grid.OnDraw(active);
    EXPECT_EQ(active.highlights.size(), 1u);
    EXPECT_TRUE(active.focus.empty());
    f.grid.SetFocusMode(GRID_FOCUS_RETURNING);
    f.grid.Notify(GRID_EVENT_ACTIVATE);
    EXPECT_EQ(f.grid.GetFocusMode(), GRID_FOCUS_ALL);

    f.host.enabled = false;
    RecordingPainter grey(f.host.client);
    f.grid.OnDraw(grey);
    ASSERT_EQ(grey.textColors.size(), 1u);
    EXPECT_EQ(grey.textColors[0], GridSysColor(COLOR_GRAYTEXT));
}

TEST(GridEngineTest, AppendedRowGetsItsCellObjects)
{
    GridFixture f(500, 2000); // tall enough for every one of 50 rows
    f.data.m_nRowCount = 50;
    f.grid.Update(GRID_UPDATE_ALL, 0);
    ASSERT_EQ(f.grid.GetVisibleRowCount(), 50);
    CGridCellObject* kept = f.grid.GetCellObject(10, 1);
    f.grid.Update(GRID_UPDATE_ROW_APPENDED, 0);
    EXPECT_EQ(f.data.m_nRowCount, 51);
    EXPECT_EQ(f.grid.GetVisibleRowCount(), 51);
    EXPECT_EQ(f.grid.GetCellObject(10, 1), kept);
    ASSERT_NE(f.grid.GetCellObject(50, 1), nullptr);
    EXPECT_EQ(f.grid.GetCellObject(50, 1)->GetRow(), 50);
}

TEST(GridEngineTest, ScrollOriginMovesToTheCurrentCell)
{
    GridFixture f;
    f.grid.SetCurrentCell(4, 3);
    f.grid.ScrollOriginToCurrentCell();
    EXPECT_EQ(f.data.m_nFirstScrollableRow, 4);
    EXPECT_EQ(f.data.m_nFirstScrollableColumn, 3);
    EXPECT_EQ(f.grid.GetTopRow(), 4);
    EXPECT_EQ(f.grid.GetLeftColumn(), 3);
    EXPECT_EQ(f.host.range[SB_VERT].first, 4);
    f.grid.OnVScroll(SB_LINEUP, 0);
    EXPECT_EQ(f.grid.GetTopRow(), 4);
}

TEST(GridEngineTest, DamagedStoredValuesAreBroughtIntoRange)
{
    CGridData bad;
    bad.m_nRowCount = INT32_MAX;
    bad.m_nColumnCount = -7;
    bad.m_nFirstScrollableRow = -3;
    bad.m_nFrozenRows = INT32_MAX;
    bad.m_topRow[0] = INT32_MAX;
    bad.m_leftColumn[0] = INT32_MIN;
    bad.m_nZoom = 0;
    bad.m_nResizeGrip = 1000000000;
    bad.m_nPointSize = INT32_MAX;
    bad.m_ranges = {CGridRange{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}};
    bad.m_nCurrentRow = INT32_MAX;
    bad.m_nCurrentColumn = INT32_MIN;
    bad.m_nFixedDefaultRowHeight = INT32_MAX;
    bad.m_columnWidths[3] = INT32_MIN;
    Bytes bytes = StoreBytes([&](CArchive& ar) { bad.Serialize(ar); });

    GridFixture f;
    LoadBytes(bytes, [&](CArchive& ar) { f.data.Serialize(ar); });
    EXPECT_EQ(f.data.m_nRowCount, CGridData::kMaxIndex);
    EXPECT_EQ(f.data.m_nColumnCount, 0);
    EXPECT_EQ(f.data.m_nZoom, 100);
    EXPECT_EQ(f.data.m_nResizeGrip, 32);
    EXPECT_EQ(f.data.m_ranges.front(), (CGridRange{-1, -1, CGridData::kMaxIndex, CGridData::kMaxIndex}));
    EXPECT_EQ(f.data.m_columnWidths[3], 0);

    // Nothing the engine then does overflows or crashes (the sanitizers watch).
    f.data.m_nColumnCount = 50;
    f.grid.InitGrid();
    RecordingPainter painter(f.host.client);
    f.grid.OnDraw(painter);
    for (UINT key : {VK_DOWN, VK_UP, VK_RIGHT, VK_LEFT, VK_NEXT, VK_PRIOR, VK_RETURN, VK_TAB})
        f.grid.OnKeyDown(key, 1, 0);
    f.grid.OnVScroll(SB_PAGEDOWN, 0);
    f.grid.OnLButtonDown(MK_LBUTTON, POINT{50, 50});
    f.grid.OnMouseMove(MK_LBUTTON, POINT{250, 250});
    f.grid.OnLButtonUp(0, POINT{250, 250});
    f.grid.SetCurrentCell(1, 1);
    EXPECT_EQ(f.grid.CopyToClipboard(), 1);
}
