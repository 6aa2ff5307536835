#include "grid/GridEngine.h"

#include "grid/GridPainter.h"

#include <algorithm>

namespace {

// A row height counts by its size whatever its sign, capped like every size.
int MagnitudeOfSize(int v)
{
    if (v < 0)
        v = v < -CGridEngine::kMaxLogicalSize ? CGridEngine::kMaxLogicalSize : -v;
    return v > CGridEngine::kMaxLogicalSize ? CGridEngine::kMaxLogicalSize : v;
}

} // namespace

CGridEngine::CGridEngine()
{
    m_cells.SetFactory([this](int screenRow, int screenColumn) {
        return CreateCellObject(ScreenToRow(screenRow), ScreenToColumn(screenColumn));
    });
}

CGridEngine::~CGridEngine()
{
    m_cells.Clear();
}

// ---------------------------------------------------------------- hooks

void CGridEngine::InitCells()
{
    if (!m_pData)
        return;
    m_pData->m_nHeaderColumns = 0;
    m_pData->m_nFrozenRows = 0;
    m_pData->m_nHeaderRows = 0;
    m_pData->m_pDefaultCellClass = RUNTIME_CLASS(CGridCellObject);
}

const CRuntimeClass* CGridEngine::GetCellClass(int row, int column) const
{
    const CGridData& d = Data();
    if (auto it = d.m_priorityRowClasses.find(row); it != d.m_priorityRowClasses.end())
        return it->second.pClass;
    if (auto it = d.m_priorityColumnClasses.find(column); it != d.m_priorityColumnClasses.end())
        return it->second.pClass;
    for (std::size_t i = 0; i < d.m_classRanges.size() && i < d.m_classRangeEntries.size(); ++i)
        if (d.m_classRanges[i].Contains(row, column))
            return d.m_classRangeEntries[i].pClass;
    if (auto it = d.m_rowClasses.find(row); it != d.m_rowClasses.end())
        return it->second.pClass;
    if (auto it = d.m_columnClasses.find(column); it != d.m_columnClasses.end())
        return it->second.pClass;
    return d.m_pDefaultCellClass;
}

CGridCellObject* CGridEngine::CreateCellObject(int row, int column)
{
    if (row < 0 || column < 0)
        return nullptr;
    const CRuntimeClass* cls = GetCellClass(row, column);
    if (!cls || !cls->IsDerivedFrom(RUNTIME_CLASS(CGridCellObject)))
        return nullptr;
    CObject* object = cls->CreateObject();
    if (!object)
        return nullptr;
    auto* cell = static_cast<CGridCellObject*>(object);
    cell->Attach(this, row, column);
    return cell;
}

int CGridEngine::GetLastRow(int) const { return RowCount() - 1; }
int CGridEngine::GetLastColumn(int) const { return ColumnCount() - 1; }
int CGridEngine::GetLeftColumn() const { return Data().m_leftColumn[m_nPane]; }
int CGridEngine::GetTopRow() const { return Data().m_topRow[m_nPane]; }
void CGridEngine::SetLeftColumn(int column) { Data().m_leftColumn[m_nPane] = column; }
void CGridEngine::SetTopRow(int row) { Data().m_topRow[m_nPane] = row; }

int CGridEngine::GetDefaultColumnWidth(int, bool zoomed) const
{
    int w = Data().m_nDefaultColumnWidth;
    if (zoomed)
        w = MulDiv(w, Data().GetEffectiveZoom(), 100);
    return std::clamp(StoredToLogicalX(w), 0, kMaxLogicalSize);
}

int CGridEngine::GetDefaultRowHeight(int, bool zoomed) const
{
    int h = Data().m_nDefaultRowHeight;
    if (zoomed)
        h = MulDiv(h, Data().GetEffectiveZoom(), 100);
    return m_nYDirection * MagnitudeOfSize(StoredToLogicalY(h));
}

RECT CGridEngine::GetTextRect(const RECT& cell) const
{
    // Shifted by one pixel margin, narrowed by three x margins and two y margins.
    return RECT{cell.left + 1, cell.top + 1, cell.right - 2, cell.bottom - 1};
}

void CGridEngine::DrawCellText(CGridPainter& painter, int row, int column, const RECT& textRect)
{
    std::string text;
    if (row < HeaderRows() || column < HeaderColumns())
        GetHeaderText(row, column, text);
    else
        GetCellText(row, column, text);
    if (text.empty())
        return;
    RECT r{textRect.left + 1, textRect.top, textRect.right - 1, textRect.bottom};
    COLORREF color = (m_pHost && !m_pHost->IsWindowEnabled()) ? GridSysColor(COLOR_GRAYTEXT) : Data().m_crText;
    painter.DrawText(r, text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX, color, Data().GetDeviceFont());
}

void CGridEngine::FillCellBackground(CGridPainter& painter, const RECT& rect)
{
    if (!RectIsEmpty(rect))
        painter.FillRect(rect, Data().m_crBack1);
}

void CGridEngine::GetCellText(int row, int column, std::string& text) { GetCellValueText(row, column, text); }
void CGridEngine::GetEditText(int row, int column, std::string& text) { GetCellText(row, column, text); }
void CGridEngine::GetHeaderText(int row, int column, std::string& text) { GetCellText(row, column, text); }

void CGridEngine::DrawFocus(CGridPainter& painter, const RECT& rect)
{
    if (Data().m_bShowFocus && Data().m_bShowHighlight && !RectIsEmpty(rect))
        painter.DrawFocusFrame(rect);
}

void CGridEngine::DrawSelection(CGridPainter& painter, const RECT& rect)
{
    if (Data().m_bShowHighlight && !RectIsEmpty(rect))
        painter.DrawHighlight(rect);
}

void CGridEngine::SetupFonts()
{
    if (!m_pData)
        return;
    PrepareMetrics();
    m_nMarginX = kLogicalPerPixel;
    m_nMarginY = kLogicalPerPixel;
    Data().SetFont(Data().m_nLogPixelsY, Data().m_storedFont, Data().m_nPointSize);
    m_nYDirection = -1;
    RefreshDefaults();
}

void CGridEngine::SetStayFlag()
{
    if (m_pData)
        m_pData->m_bStay = 1;
}

void CGridEngine::Notify(int code, const void* data)
{
    if (m_pHost)
        m_pHost->BroadcastGridEvent(*this, code, data);
    else
        OnGridEvent(this, code, data);
    if (code == GRID_EVENT_RANGE_CHANGING)
        Notify(GRID_EVENT_RANGE_CHANGED, data);
}

void CGridEngine::NotifyCurrentCell() { OnCurrentCellChanged(GetCurrentRow(), GetCurrentColumn(), 0); }
void CGridEngine::RenotifyCurrentCell() { OnCurrentCellChanged(GetCurrentRow(), GetCurrentColumn(), 0); }

// ---------------------------------------------------------------- set-up

void CGridEngine::PrepareMetrics()
{
    if (!m_pHost || !m_pData)
        return;
    CGridMetrics m = m_pHost->GetMetrics();
    m_pData->m_nLogPixelsX = m.logPixelsX > 0 ? m.logPixelsX : 96;
    m_pData->m_nLogPixelsY = m.logPixelsY > 0 ? m.logPixelsY : 96;
    m_screenExtent = SIZE{DeviceToLogicalX(m.screenWidth), DeviceToLogicalY(m.screenHeight)};
}

void CGridEngine::InitGrid()
{
    if (!m_pData)
        return;
    SetupFonts();
    m_bInitialised = true;
    OnFocusDrawing();
    Update(GRID_UPDATE_ALL, 0);
    ShowScrollBar(SB_VERT, m_bVertBarShown);
    ShowScrollBar(SB_HORZ, m_bHorzBarShown);
    SetCurrentCell(Data().m_nCurrentRow, Data().m_nCurrentColumn, 0, 1, 1);
}

// ---------------------------------------------------------------- units

int CGridEngine::LogicalToStoredX(int v) const { return MulDiv(v, 500, 3 * Data().m_nLogPixelsX); }
int CGridEngine::LogicalToStoredY(int v) const { return MulDiv(v, 500, 3 * Data().m_nLogPixelsY); }
int CGridEngine::StoredToLogicalX(int v) const { return MulDiv(v, 3 * Data().m_nLogPixelsX, 500); }
int CGridEngine::StoredToLogicalY(int v) const { return MulDiv(v, 3 * Data().m_nLogPixelsY, 500); }

void CGridEngine::StoredRectToLogical(RECT& r) const
{
    r = RECT{StoredToLogicalX(r.left), StoredToLogicalY(r.top), StoredToLogicalX(r.right), StoredToLogicalY(r.bottom)};
}

void CGridEngine::LogicalRectToStored(RECT& r) const
{
    r = RECT{LogicalToStoredX(r.left), LogicalToStoredY(r.top), LogicalToStoredX(r.right), LogicalToStoredY(r.bottom)};
}

int CGridEngine::GetColumnWidth(int column, bool zoomed) const
{
    if (IsColumnHidden(column))
        return 0;
    auto it = Data().m_columnWidths.find(column);
    if (it == Data().m_columnWidths.end())
        return GetDefaultColumnWidth(column, zoomed);
    int w = it->second;
    if (zoomed)
        w = MulDiv(w, Data().GetEffectiveZoom(), 100);
    return std::clamp(StoredToLogicalX(w), 0, kMaxLogicalSize);
}

int CGridEngine::GetRowHeight(int row, bool zoomed) const
{
    if (IsRowHidden(row))
        return 0;
    auto it = Data().m_rowHeights.find(row);
    if (it == Data().m_rowHeights.end())
        return GetDefaultRowHeight(row, zoomed);
    int h = it->second;
    if (zoomed)
        h = MulDiv(h, Data().GetEffectiveZoom(), 100);
    return m_nYDirection * MagnitudeOfSize(StoredToLogicalY(h));
}

void CGridEngine::SetColumnWidth(int column, int width, bool notify, bool zoomed, bool askHook)
{
    if (zoomed)
        width = int(std::int64_t(width) * 100 / Data().GetEffectiveZoom());
    if (askHook)
        OnColumnWidthChanging(column, &width);
    Data().m_columnWidths[column] = width;
    if (notify)
        Notify(GRID_EVENT_RELAYOUT);
}

void CGridEngine::SetRowHeight(int row, int height, bool notify, bool zoomed, bool askHook)
{
    if (zoomed)
        height = int(std::int64_t(height) * 100 / Data().GetEffectiveZoom());
    if (askHook)
        OnRowHeightChanging(row, &height);
    Data().m_rowHeights[row] = height;
    if (notify)
        Notify(GRID_EVENT_RELAYOUT);
}

void CGridEngine::SetDefaultColumnWidth(int width, bool zoomed)
{
    if (zoomed)
        width = int(std::int64_t(width) * 100 / Data().GetEffectiveZoom());
    // A width set on purpose is fixed: the font no longer decides it.
    Data().m_nDefaultColumnWidth = width;
    Data().m_nFixedDefaultColumnWidth = width;
}

int CGridEngine::SetZoom(int percent)
{
    int previous = Data().m_nZoom;
    if (percent == previous || percent <= 0)
        return previous;
    Data().m_nZoom = percent;
    SetupFonts();
    RECT r = m_gridRect;
    Notify(GRID_EVENT_REDRAW_RECT, &r);
    return previous;
}

void CGridEngine::SetRowCount(int count, bool notify)
{
    count = std::clamp(count, 0, CGridData::kMaxIndex);
    if (count == Data().m_nRowCount)
        return;
    Data().m_nRowCount = count;
    if (GetTopRow() >= count) {
        // The top row stays a row of the grid; only a grid without
        // scrollable rows leaves it just after the frozen ones.
        SetTopRow(std::max(count - 1, FrozenRows()));
        UpdateScrollPositions();
    }
    if (notify)
        Notify(GRID_EVENT_RELAYOUT);
}

void CGridEngine::SetColumnCount(int count, bool notify)
{
    count = std::clamp(count, 0, CGridData::kMaxIndex);
    if (count == Data().m_nColumnCount)
        return;
    Data().m_nColumnCount = count;
    if (GetLeftColumn() >= count) {
        SetLeftColumn(std::max(count - 1, HeaderColumns()));
        UpdateScrollPositions();
    }
    if (notify)
        Notify(GRID_EVENT_RELAYOUT);
}

void CGridEngine::SetScrollLimits(int rows, int columns, bool notify)
{
    bool changed = rows != Data().m_nScrollLimitRows || columns != Data().m_nScrollLimitColumns;
    Data().m_nScrollLimitRows = rows;
    Data().m_nScrollLimitColumns = columns;
    if (notify && changed)
        Notify(GRID_EVENT_SCROLL_RANGES);
}

void CGridEngine::ShowColumn(int column, bool show, bool notify)
{
    if (show)
        m_hiddenColumns.erase(column);
    else
        m_hiddenColumns.insert(column);
    if (notify) {
        RECT r = m_gridRect;
        Notify(GRID_EVENT_REDRAW_RECT, &r);
    }
}

void CGridEngine::ShowRow(int row, bool show, bool notify)
{
    if (show)
        m_hiddenRows.erase(row);
    else
        m_hiddenRows.insert(row);
    if (notify) {
        RECT r = m_gridRect;
        Notify(GRID_EVENT_REDRAW_RECT, &r);
    }
}

void CGridEngine::SetFirstScrollableColumn(int column)
{
    Data().m_nFirstScrollableColumn = column;
    SetLeftColumn(column);
    UpdateScrollPositions();
    if (m_pHost)
        m_pHost->Invalidate(true);
    Notify(GRID_EVENT_RELAYOUT);
}

void CGridEngine::ScrollOriginToCurrentCell()
{
    // Everything above and left of the current cell stays put; scrolling
    // starts at the current cell on both axes.
    const int row = GetCurrentRow(), column = GetCurrentColumn();
    if (row < 0 || column < 0)
        return;
    Data().m_nFirstScrollableRow = std::max(row, FrozenRows());
    Data().m_nFirstScrollableColumn = std::max(column, HeaderColumns());
    SetTopRow(Data().m_nFirstScrollableRow);
    SetLeftColumn(Data().m_nFirstScrollableColumn);
    if (m_pHost)
        m_pHost->RecalcLayout();
    Notify(GRID_EVENT_RELAYOUT);
}

void CGridEngine::SetFirstScrollableRow(int row)
{
    Data().m_nFirstScrollableRow = row;
    SetTopRow(row);
    UpdateScrollPositions();
    if (m_pHost)
        m_pHost->Invalidate(true);
    Notify(GRID_EVENT_RELAYOUT);
}

// ---------------------------------------------------------------- layout

RECT CGridEngine::ClientRect() const
{
    RECT r;
    if (m_pHost)
        m_pHost->GetClientRect(r);
    return RECT{0, 0, std::max(0, r.right - r.left), std::max(0, r.bottom - r.top)};
}

int CGridEngine::ScreenToRow(int screenRow) const
{
    if (screenRow < 0 || !m_pData)
        return -1;
    int frozen = FrozenRows();
    if (screenRow < frozen)
        return screenRow;
    return GetTopRow() + (screenRow - frozen);
}

int CGridEngine::ScreenToColumn(int screenColumn) const
{
    if (screenColumn < 0 || !m_pData)
        return -1;
    int frozen = HeaderColumns();
    if (screenColumn < frozen)
        return screenColumn;
    return GetLeftColumn() + (screenColumn - frozen);
}

int CGridEngine::RowToScreen(int row) const
{
    if (!m_pData || row < 0 || row >= RowCount())
        return -1;
    int frozen = FrozenRows();
    int screen;
    if (row < frozen)
        screen = row;
    else if (row < GetTopRow())
        return -1;
    else
        screen = frozen + (row - GetTopRow());
    return screen < GetVisibleRowCount() ? screen : -1;
}

int CGridEngine::ColumnToScreen(int column) const
{
    if (!m_pData || column < 0 || column >= ColumnCount())
        return -1;
    int frozen = HeaderColumns();
    int screen;
    if (column < frozen)
        screen = column;
    else if (column < GetLeftColumn())
        return -1;
    else
        screen = frozen + (column - GetLeftColumn());
    return screen < GetVisibleColumnCount() ? screen : -1;
}

void CGridEngine::RecalcLayout()
{
    m_colPos.clear();
    m_rowPos.clear();
    m_bRowsFit = true;
    m_bColumnsFit = true;
    if (!m_pData)
        return;
    RECT client = ClientRect();
    int width = DeviceToLogicalX(client.right);
    int height = client.bottom * kLogicalPerPixel;
    int x = 0;
    for (int sc = 0;; ++sc) {
        int column = ScreenToColumn(sc);
        if (column < 0 || column >= ColumnCount() || x >= width)
            break;
        int w = GetColumnWidth(column, true);
        m_colPos.emplace_back(x, x + w);
        x += w;
    }
    int y = 0;
    for (int sr = 0;; ++sr) {
        int row = ScreenToRow(sr);
        if (row < 0 || row >= RowCount() || -y >= height)
            break;
        int h = GetRowHeight(row, true);
        m_rowPos.emplace_back(y, y + h);
        y += h;
    }
}

void CGridEngine::RebuildCells()
{
    if (m_nCellCalls > 0) {
        m_bCellsStale = true;
        return;
    }
    m_bCellsStale = false;
    // A cell with an open editor survives the rebuild when it is still on
    // screen, so that scrolling or a re-layout never loses typed text; one
    // that left the screen commits its edit first.
    std::vector<std::unique_ptr<CGridCellObject>> editing;
    for (int sr = 0; sr < m_cells.GetRowCount(); ++sr)
        for (int sc = 0; sc < m_cells.GetColumnCount(); ++sc)
            if (CGridCellObject* cell = m_cells.GetAt(sr, sc); cell && cell->IsEditing())
                editing.push_back(m_cells.Take(sr, sc));
    for (auto& cell : editing) {
        if (RowToScreen(cell->GetRow()) < 0 || ColumnToScreen(cell->GetColumn()) < 0) {
            CellCallScope scope(*this);
            cell->EndEdit();
            cell.reset();
        }
    }
    m_cells.Rebuild(GetVisibleRowCount(), GetVisibleColumnCount());
    for (auto& cell : editing) {
        if (!cell)
            continue;
        int sr = RowToScreen(cell->GetRow()), sc = ColumnToScreen(cell->GetColumn());
        CGridCellObject* kept = cell.get();
        m_cells.Put(sr, sc, std::move(cell));
        CellCallScope scope(*this);
        kept->OnGridMoved();
    }
}

void CGridEngine::EndCellCall()
{
    if (m_nCellCalls > 0 && --m_nCellCalls == 0 && m_bCellsStale)
        RebuildCells();
}

void CGridEngine::Update(int code, int argument)
{
    if (!m_pData)
        return;
    if (code != GRID_UPDATE_CELLS_ONLY)
        RecalcLayout();
    int rows = GetVisibleRowCount();
    switch (code) {
    case GRID_UPDATE_ALL:
    case GRID_UPDATE_COLUMN_SCROLLED:
    case GRID_UPDATE_CELLS_ONLY:
        RebuildCells();
        break;
    case GRID_UPDATE_ROW_SCROLLED:
    case GRID_UPDATE_ROW_APPENDED:
        if (code == GRID_UPDATE_ROW_APPENDED) {
            ++Data().m_nRowCount;
            RecalcLayout();
            rows = GetVisibleRowCount();
        }
        if (m_nCellCalls > 0 || m_bCellsStale || m_cells.GetColumnCount() != GetVisibleColumnCount()) {
            RebuildCells();
            break;
        }
        if (code == GRID_UPDATE_ROW_SCROLLED) {
            // Keep the objects of the rows that stay on screen.
            int frozen = std::min(FrozenRows(), rows);
            if (argument == -1)
                m_cells.RemoveRow(frozen);
            else if (frozen <= m_cells.GetRowCount())
                m_cells.InsertRow(frozen);
        }
        while (m_cells.GetRowCount() > rows)
            m_cells.RemoveRow(m_cells.GetRowCount() - 1);
        while (m_cells.GetRowCount() < rows)
            m_cells.AddRow();
        break;
    default:
        break;
    }
    if (code == GRID_UPDATE_CELLS_ONLY)
        return;

    RECT client = ClientRect();
    int width = DeviceToLogicalX(client.right);
    int height = DeviceToLogicalY(client.bottom); // negative
    int right = m_colPos.empty() ? 0 : m_colPos.back().second;
    int bottom = m_rowPos.empty() ? 0 : m_rowPos.back().second;
    if (right > width) {
        right = width;
        m_bColumnsFit = false;
    }
    if (bottom < height) {
        bottom = height;
        m_bRowsFit = false;
    }
    m_gridRect = RECT{0, 0, LogicalToDeviceX(right), LogicalToDeviceY(bottom)};

    bool horzNeeded = !(m_bColumnsFit && GetVisibleColumnCount() >= ColumnCount());
    bool vertNeeded = !(m_bRowsFit && rows >= RowCount());
    if (horzNeeded != m_bHorzBarShown)
        ShowScrollBar(SB_HORZ, horzNeeded);
    if (vertNeeded != m_bVertBarShown)
        ShowScrollBar(SB_VERT, vertNeeded);
    UpdateScrollRange(SB_VERT);
    UpdateScrollRange(SB_HORZ);

    // Line scrolling moves only the part below the frozen rows and right of the header columns.
    int frozenRows = std::min(FrozenRows(), rows);
    int headerColumns = std::min(HeaderColumns(), GetVisibleColumnCount());
    int frozenBottom = frozenRows > 0 ? LogicalToDeviceY(m_rowPos[std::size_t(frozenRows - 1)].second) : 0;
    int headerRight = headerColumns > 0 ? LogicalToDeviceX(m_colPos[std::size_t(headerColumns - 1)].second) : 0;
    m_vertScrollArea = RECT{m_gridRect.left, frozenBottom, m_gridRect.right, m_gridRect.bottom};
    m_horzScrollArea = RECT{headerRight, m_gridRect.top, m_gridRect.right, m_gridRect.bottom};
}

void CGridEngine::RefreshDefaults()
{
    if (!m_pData)
        return;
    CGridData& d = Data();
    if (d.m_nFixedDefaultRowHeight)
        d.m_nDefaultRowHeight = d.m_nFixedDefaultRowHeight;
    if (d.m_nFixedDefaultColumnWidth)
        d.m_nDefaultColumnWidth = d.m_nFixedDefaultColumnWidth;
    if ((!d.m_nFixedDefaultRowHeight || !d.m_nFixedDefaultColumnWidth) && m_pHost) {
        // The sample is measured in the zoomed font; the defaults are stored
        // unzoomed, so the zoom is taken out again (else it would count twice).
        SIZE extent = m_pHost->MeasureText(d.GetDeviceFont(), CGridData::SampleText());
        int zoom = d.GetEffectiveZoom();
        if (!d.m_nFixedDefaultColumnWidth) {
            int w = LogicalToStoredX(DeviceToLogicalX(extent.cx) + 4 * m_nMarginX);
            d.m_nDefaultColumnWidth = int(std::int64_t(w) * 100 / zoom);
        }
        if (!d.m_nFixedDefaultRowHeight) {
            int h = LogicalToStoredY(extent.cy * kLogicalPerPixel + 4 * m_nMarginY);
            d.m_nDefaultRowHeight = int(std::int64_t(h) * 100 / zoom);
        }
    }
    if (m_pHost && m_pHost->IsSplitterPane() && m_bInitialised) {
        m_pHost->ShowScrollBar(SB_VERT, false, false);
        m_pHost->ShowScrollBar(SB_HORZ, false, false);
    }
}

void CGridEngine::Relayout(int flag, int x, int y)
{
    if (flag != 0 || !m_pData)
        return;
    m_relayoutPoint = POINT{x, y};
    const RECT& f = Data().m_frameRect;
    m_gridRect = RECT{LogicalToDeviceX(f.left), LogicalToDeviceY(f.top), LogicalToDeviceX(f.right),
                      LogicalToDeviceY(f.bottom)};
    RefreshDefaults();
    Update(GRID_UPDATE_ALL, 0);
    if (Data().m_nFitColumns) {
        FitColumns();
        Update(GRID_UPDATE_ALL, 0);
    }
}

void CGridEngine::FitColumns()
{
    int columns = GetVisibleColumnCount();
    if (columns == 0 || columns < ColumnCount())
        return;
    int screenRow = std::min(FrozenRows(), GetVisibleRowCount() - 1);
    std::vector<int> minima(static_cast<std::size_t>(columns)), maxima(static_cast<std::size_t>(columns));
    std::int64_t sumMin = 0, sumMax = 0;
    for (int sc = 0; sc < columns; ++sc) {
        int column = ScreenToColumn(sc);
        int lo = GetColumnWidth(column, true), hi = lo;
        if (CGridCellObject* cell = m_cells.GetAt(screenRow, sc)) {
            CellCallScope scope(*this);
            cell->GetFitWidths(lo, hi);
        }
        lo = std::max(0, lo);
        hi = std::max(lo, hi);
        minima[std::size_t(sc)] = lo;
        maxima[std::size_t(sc)] = hi;
        sumMin += lo;
        sumMax += hi;
    }
    std::int64_t client = DeviceToLogicalX(ClientRect().right);
    std::int64_t spare = std::max<std::int64_t>(0, client - sumMin);
    int zoom = Data().GetEffectiveZoom();
    for (int sc = 0; sc < columns; ++sc) {
        std::int64_t w;
        if (client < sumMax) {
            // Spare width is shared in proportion to the minima; when they are all
            // zero there is no proportion to follow, so it is shared equally.
            std::int64_t share = sumMin > 0 ? spare * minima[std::size_t(sc)] / sumMin : spare / columns;
            w = std::min<std::int64_t>(minima[std::size_t(sc)] + share, maxima[std::size_t(sc)]);
        } else {
            w = maxima[std::size_t(sc)];
        }
        w -= w % m_nMarginX;
        int column = ScreenToColumn(sc);
        int width = int(w);
        OnColumnWidthChanging(column, &width);
        Data().m_columnWidths[column] = int(std::int64_t(LogicalToStoredX(width)) * 100 / zoom);
    }
}

bool CGridEngine::GetCellRect(int row, int column, RECT& rect) const
{
    int sr = RowToScreen(row), sc = ColumnToScreen(column);
    if (sr < 0 || sc < 0) {
        rect = RECT{};
        return false;
    }
    const auto& cx = m_colPos[std::size_t(sc)];
    const auto& ry = m_rowPos[std::size_t(sr)];
    rect = RECT{LogicalToDeviceX(cx.first), LogicalToDeviceY(ry.first), LogicalToDeviceX(cx.second),
                LogicalToDeviceY(ry.second)};
    return true;
}

RECT CGridEngine::GetRangeRect(int index) const
{
    if (!m_pData || index < 0 || index >= int(Data().m_ranges.size()))
        return RECT{};
    return GetRangeRect(Data().m_ranges[std::size_t(index)]);
}

RECT CGridEngine::GetRangeRect(const CGridRange& range) const
{
    if (range.IsEmpty())
        return RECT{};
    int top = 1, bottom = 0, left = 1, right = 0;
    bool anyRow = false, anyColumn = false;
    for (int sr = 0; sr < GetVisibleRowCount(); ++sr) {
        int row = ScreenToRow(sr);
        if (row < range.top || row > range.bottom)
            continue;
        int t = LogicalToDeviceY(m_rowPos[std::size_t(sr)].first);
        int b = LogicalToDeviceY(m_rowPos[std::size_t(sr)].second);
        if (!anyRow || t < top)
            top = t;
        if (!anyRow || b > bottom)
            bottom = b;
        anyRow = true;
    }
    for (int sc = 0; sc < GetVisibleColumnCount(); ++sc) {
        int column = ScreenToColumn(sc);
        if (column < range.left || column > range.right)
            continue;
        int l = LogicalToDeviceX(m_colPos[std::size_t(sc)].first);
        int r = LogicalToDeviceX(m_colPos[std::size_t(sc)].second);
        if (!anyColumn || l < left)
            left = l;
        if (!anyColumn || r > right)
            right = r;
        anyColumn = true;
    }
    if (!anyRow || !anyColumn)
        return RECT{};
    return RectIntersect(RECT{left, top, right, bottom}, m_gridRect);
}

void CGridEngine::InvalidateRows(int first, int last, bool erase)
{
    RECT area{};
    for (int sr = 0; sr < GetVisibleRowCount(); ++sr) {
        int row = ScreenToRow(sr);
        if (row < first || row > last)
            continue;
        RECT r{m_gridRect.left, LogicalToDeviceY(m_rowPos[std::size_t(sr)].first), m_gridRect.right,
               LogicalToDeviceY(m_rowPos[std::size_t(sr)].second)};
        area = RectUnion(area, r);
    }
    if (m_pHost && !RectIsEmpty(area))
        m_pHost->InvalidateRect(area, erase);
}

void CGridEngine::InvalidateColumns(int first, int last, bool erase)
{
    RECT area{};
    for (int sc = 0; sc < GetVisibleColumnCount(); ++sc) {
        int column = ScreenToColumn(sc);
        if (column < first || column > last)
            continue;
        RECT r{LogicalToDeviceX(m_colPos[std::size_t(sc)].first), m_gridRect.top,
               LogicalToDeviceX(m_colPos[std::size_t(sc)].second), m_gridRect.bottom};
        area = RectUnion(area, r);
    }
    if (m_pHost && !RectIsEmpty(area))
        m_pHost->InvalidateRect(area, erase);
}

void CGridEngine::InvalidateGrid(bool erase)
{
    if (m_pHost && !RectIsEmpty(m_gridRect))
        m_pHost->InvalidateRect(m_gridRect, erase);
}

int CGridEngine::ScreenRowAtY(int y) const
{
    for (int sr = 0; sr < GetVisibleRowCount(); ++sr) {
        int t = LogicalToDeviceY(m_rowPos[std::size_t(sr)].first);
        int b = LogicalToDeviceY(m_rowPos[std::size_t(sr)].second);
        if (y >= t && y < b)
            return sr;
    }
    return -1;
}

int CGridEngine::ScreenColumnAtX(int x) const
{
    for (int sc = 0; sc < GetVisibleColumnCount(); ++sc) {
        int l = LogicalToDeviceX(m_colPos[std::size_t(sc)].first);
        int r = LogicalToDeviceX(m_colPos[std::size_t(sc)].second);
        if (x >= l && x < r)
            return sc;
    }
    return -1;
}

bool CGridEngine::IsRowFullyVisible(int row) const
{
    int sr = RowToScreen(row);
    return sr >= 0 && LogicalToDeviceY(m_rowPos[std::size_t(sr)].second) <= ClientRect().bottom;
}

bool CGridEngine::IsColumnFullyVisible(int column) const
{
    int sc = ColumnToScreen(column);
    return sc >= 0 && LogicalToDeviceX(m_colPos[std::size_t(sc)].second) <= ClientRect().right;
}

// ---------------------------------------------------------------- scrolling

int CGridEngine::UpdateScrollRange(int bar)
{
    if (!m_pData)
        return 0;
    const bool vert = bar == SB_VERT;
    const int minimum = vert ? Data().m_nFirstScrollableRow : Data().m_nFirstScrollableColumn;
    const int first = vert ? GetTopRow() : GetLeftColumn();
    const int count = vert ? RowCount() : ColumnCount();
    const int visible = vert ? GetVisibleRowCount() : GetVisibleColumnCount();
    const int frozen = vert ? FrozenRows() : HeaderColumns();
    const bool fit = vert ? m_bRowsFit : m_bColumnsFit;
    const int lastShown = visible > 0 ? (vert ? ScreenToRow(visible - 1) : ScreenToColumn(visible - 1)) : -1;
    std::int64_t maximum;
    if (std::int64_t(first) + 1 == count)
        maximum = first;
    else if (visible == count)
        maximum = std::int64_t(minimum) - (fit ? 1 : 0) + 1;
    else if (lastShown == count - 1 && fit)
        maximum = first;
    else
        maximum = std::max<std::int64_t>(minimum, std::int64_t(frozen) - visible + count + 1);
    const int limit = vert ? Data().m_nScrollLimitRows : Data().m_nScrollLimitColumns;
    if (limit >= 0)
        maximum = std::min<std::int64_t>(maximum, std::int64_t(vert ? HeaderRows() : HeaderColumns()) + limit);
    maximum = std::clamp<std::int64_t>(maximum, minimum, INT32_MAX);
    // Scroll bars here take the whole int range, so one unit is one row or column.
    (vert ? Data().m_nVertScrollStep : Data().m_nHorzScrollStep) = 1;
    if (m_pHost && m_pHost->HasWindow())
        m_pHost->SetScrollRange(bar, minimum, int(maximum));
    return int(maximum);
}

void CGridEngine::UpdateScrollPositions()
{
    if (!m_pHost || !m_pData || !m_pHost->HasWindow())
        return;
    m_pHost->SetScrollPos(SB_VERT, GetTopRow());
    m_pHost->SetScrollPos(SB_HORZ, GetLeftColumn());
}

void CGridEngine::ShowScrollBar(int bar, bool show)
{
    if (bar == SB_BOTH) {
        ShowScrollBar(SB_VERT, show);
        ShowScrollBar(SB_HORZ, show);
        return;
    }
    (bar == SB_VERT ? m_bVertBarShown : m_bHorzBarShown) = show;
    if (!m_pHost || !m_pData)
        return;
    bool keep = bar == SB_VERT ? Data().m_bKeepVertScrollBar != 0 : Data().m_bKeepHorzScrollBar != 0;
    if (keep)
        m_pHost->ShowScrollBar(bar, true, show);
    else
        m_pHost->ShowScrollBar(bar, show, true);
}

void CGridEngine::OnVScroll(int code, int position) { Scroll(SB_VERT, code, position); }

void CGridEngine::OnHScroll(int code, int position) { Scroll(SB_HORZ, code, position); }

void CGridEngine::Scroll(int bar, int code, int position)
{
    const bool vert = bar == SB_VERT;
    if (code == SB_ENDSCROLL || !IsScrollBarShown(bar) || !m_pData)
        return;
    const int maximum = UpdateScrollRange(bar);
    const int current = vert ? GetTopRow() : GetLeftColumn();
    const int visible = vert ? GetVisibleRowCount() : GetVisibleColumnCount();
    int target = current;
    // The codes of the two bars share their values: up is left, down is right.
    switch (code) {
    case SB_LINEUP: target = current - 1; break;
    case SB_LINEDOWN: target = current + 1; break;
    case SB_PAGEUP: target = current - std::min(current, visible); break;
    case SB_PAGEDOWN: target = current + visible; break;
    case SB_THUMBTRACK:
        if (!Data().IsLiveTracking())
            return;
        target = position;
        break;
    case SB_THUMBPOSITION: target = position; break;
    default: return;
    }
    const int first = vert ? Data().m_nFirstScrollableRow : Data().m_nFirstScrollableColumn;
    target = std::max(first, std::min(target, maximum));
    if (target == current)
        return;
    // An open editor follows its cell: the current cell's object is told
    // that the grid moved once it has, and a sideways move tells it before
    // as well.
    auto tellCurrentCell = [this] {
        if (CGridCellObject* cell = GetCurrentCellObject()) {
            CellCallScope scope(*this);
            cell->OnGridMoved();
        }
    };
    if (!vert)
        tellCurrentCell();
    if (vert)
        SetTopRow(target);
    else
        SetLeftColumn(target);
    if (m_pHost && m_pHost->HasWindow())
        m_pHost->SetScrollPos(bar, target);
    const RECT& area = vert ? m_vertScrollArea : m_horzScrollArea;
    const bool line = (code == SB_LINEUP || code == SB_LINEDOWN) && std::abs(target - current) == 1;
    if (line && m_pHost) {
        // The content moves by the height of the row (the width of the
        // column) that leaves (down, right) or enters (up, left).
        const int moved = target < current ? target : current;
        const int distance =
            vert ? LogicalToDeviceY(GetRowHeight(moved, true)) : LogicalToDeviceX(GetColumnWidth(moved, true));
        const int shift = target < current ? distance : -distance;
        m_pHost->ScrollWindow(vert ? 0 : shift, vert ? shift : 0, area);
        Update(vert ? GRID_UPDATE_ROW_SCROLLED : GRID_UPDATE_COLUMN_SCROLLED, target > current ? -1 : 1);
    } else {
        if (m_pHost && !RectIsEmpty(area))
            m_pHost->InvalidateRect(area, true);
        Update(GRID_UPDATE_ALL, 0);
    }
    tellCurrentCell();
}

// ---------------------------------------------------------------- cells

CGridCellObject* CGridEngine::GetCellObject(int row, int column) const
{
    CGridCellObject* cell = m_cells.GetAt(RowToScreen(row), ColumnToScreen(column));
    // A rebuild that is waiting may leave objects of other cells in place: never hand those out.
    if (cell && (cell->GetRow() != row || cell->GetColumn() != column))
        return nullptr;
    return cell;
}

CGridCellObject* CGridEngine::GetCurrentCellObject() const
{
    if (!m_pData)
        return nullptr;
    return GetCellObject(GetCurrentRow(), GetCurrentColumn());
}

void CGridEngine::OnCellEdited(int row, int column)
{
    Data().m_selectedCells.assign(1, CGridCellRef{column, row, 0});
    OnCellsChanged(Data().m_selectedCells);
}

void CGridEngine::CommitCurrentCellEdit() { EndCurrentEdit(); }

void CGridEngine::EndCurrentEdit()
{
    if (CGridCellObject* cell = GetCurrentCellObject()) {
        CellCallScope scope(*this);
        cell->EndEdit();
    }
}

// ---------------------------------------------------------------- events

void CGridEngine::InvalidateHighlights()
{
    if (!m_pHost || !m_pData)
        return;
    for (int i = 0; i < int(Data().m_ranges.size()); ++i) {
        RECT r = GetRangeRect(i);
        if (!RectIsEmpty(r))
            m_pHost->InvalidateRect(r, false);
    }
    RECT focus;
    if (GetCellRect(GetCurrentRow(), GetCurrentColumn(), focus))
        m_pHost->InvalidateRect(focus, false);
}

void CGridEngine::OnGridEvent(CGridEngine* sender, int code, const void* data)
{
    if (!m_pData || (sender && sender->GetGridData() != m_pData))
        return;
    bool visible = m_pHost && m_pHost->IsWindowVisible();
    switch (code) {
    case GRID_EVENT_REDRAW:
        InvalidateGrid(false);
        if (visible)
            Update(GRID_UPDATE_ALL, 0);
        break;
    case GRID_EVENT_REDRAW_RECT: {
        const RECT* r = static_cast<const RECT*>(data);
        if (r && !RectIsEmpty(*r) && m_pHost)
            m_pHost->InvalidateRect(*r, true);
        if (visible)
            Update(GRID_UPDATE_ALL, 0);
        break;
    }
    case GRID_EVENT_RELAYOUT:
        Relayout(0, m_relayoutPoint.x, m_relayoutPoint.y);
        UpdateScrollPositions();
        InvalidateGrid(true);
        break;
    case GRID_EVENT_INVALIDATE: {
        const RECT* r = static_cast<const RECT*>(data);
        if (sender == this) {
            if (r && !RectIsEmpty(*r) && m_pHost)
                m_pHost->InvalidateRect(*r, true);
        } else {
            InvalidateGrid(true);
        }
        break;
    }
    case GRID_EVENT_UPDATE_WINDOW:
        if (m_pHost)
            m_pHost->UpdateWindow();
        break;
    case GRID_EVENT_TOGGLE_HIGHLIGHT:
        InvalidateHighlights();
        m_bHighlightHidden = !m_bHighlightHidden;
        InvalidateHighlights();
        break;
    case GRID_EVENT_RANGE_CHANGING: {
        // The selection is painted in the paint pass: repaint where the old and
        // the new range lie.
        const auto* change = static_cast<const CGridSelChange*>(data);
        if (change && m_pHost) {
            RECT area = RectUnion(GetRangeRect(change->oldRange), GetRangeRect(change->index));
            if (!RectIsEmpty(area))
                m_pHost->InvalidateRect(area, false);
        }
        break;
    }
    case GRID_EVENT_RANGE_CHANGED:
        break;
    case GRID_EVENT_RANGE:
        if (m_nFocusMode != GRID_FOCUS_NONE && data && m_pHost) {
            RECT r = GetRangeRect(*static_cast<const int*>(data));
            if (!RectIsEmpty(r))
                m_pHost->InvalidateRect(r, false);
        }
        break;
    case GRID_EVENT_FOCUS:
    case GRID_EVENT_CELL:
        if (data && m_pHost && (code == GRID_EVENT_CELL || m_nFocusMode == GRID_FOCUS_ALL)) {
            const auto* cell = static_cast<const CGridCellRef*>(data);
            RECT r;
            if (GetCellRect(cell->row, cell->column, r))
                m_pHost->InvalidateRect(r, code == GRID_EVENT_CELL);
        }
        break;
    case GRID_EVENT_SCROLL_RANGES:
        UpdateScrollRange(SB_VERT);
        UpdateScrollRange(SB_HORZ);
        UpdateScrollPositions();
        break;
    case GRID_EVENT_DEACTIVATE:
        if (m_nFocusMode != GRID_FOCUS_NONE) {
            InvalidateHighlights();
            m_nFocusMode = GRID_FOCUS_NONE;
        }
        break;
    case GRID_EVENT_ACTIVATE:
        m_nFocusMode = m_nFocusMode == GRID_FOCUS_RETURNING ? GRID_FOCUS_ALL : GRID_FOCUS_HIGHLIGHT;
        InvalidateHighlights();
        break;
    case GRID_EVENT_RANGE_AREA:
        if (data && m_pHost) {
            RECT r = GetRangeRect(*static_cast<const int*>(data));
            if (!RectIsEmpty(r))
                m_pHost->InvalidateRect(r, true);
        }
        break;
    case GRID_EVENT_COLUMNS:
        if (data) {
            const auto* span = static_cast<const CGridSpan*>(data);
            InvalidateColumns(span->first, span->last, true);
        }
        break;
    default:
        break;
    }
}

// ---------------------------------------------------------------- drawing

RECT CGridEngine::TrackerRect() const
{
    if (m_nTracker < 0)
        return RECT{};
    if (m_bColumnResizing)
        return RECT{m_nTracker - 1, m_gridRect.top, m_nTracker + 1, m_gridRect.bottom};
    return RECT{m_gridRect.left, m_nTracker - 1, m_gridRect.right, m_nTracker + 1};
}

void CGridEngine::OnDraw(CGridPainter& painter)
{
    if (!m_pData)
        return;
    PrepareMetrics();
    const CGridData& d = Data();
    RECT clip = painter.GetClipBox();
    FillCellBackground(painter, RectIntersect(clip, m_gridRect));

    {
        CellCallScope scope(*this);
        for (int sr = 0; sr < m_cells.GetRowCount(); ++sr) {
            for (int sc = 0; sc < m_cells.GetColumnCount(); ++sc) {
                CGridCellObject* cell = m_cells.GetAt(sr, sc);
                RECT rect;
                if (!cell || !GetCellRect(cell->GetRow(), cell->GetColumn(), rect))
                    continue;
                RECT grown{rect.left - 1, rect.top - 1, rect.right + 1, rect.bottom + 1};
                if (RectIsEmpty(RectIntersect(grown, clip)))
                    continue;
                cell->Draw(painter, cell->GetRow(), cell->GetColumn(), rect, GetTextRect(rect));
            }
        }
    }

    // Grid lines: a separator after the header columns and frozen rows, inner
    // lines only when asked, and a closing line round the laid-out area.
    const int headerColumns = std::min(HeaderColumns(), GetVisibleColumnCount());
    const int frozenRows = std::min(FrozenRows(), GetVisibleRowCount());
    for (int sc = 0; sc < GetVisibleColumnCount(); ++sc) {
        const auto& c = m_colPos[std::size_t(sc)];
        if (c.first == c.second)
            continue;
        int x = LogicalToDeviceX(c.second) - 1;
        bool separator = sc == headerColumns - 1;
        bool last = sc == GetVisibleColumnCount() - 1;
        if (separator)
            painter.DrawLine(x, m_gridRect.top, x, m_gridRect.bottom, HeaderColumns() > 0 ? d.m_crFrame : d.m_crShadow);
        else if (last || d.ShowsGridLines())
            painter.DrawLine(x, m_gridRect.top, x, m_gridRect.bottom, d.m_crShadow);
    }
    for (int sr = 0; sr < GetVisibleRowCount(); ++sr) {
        const auto& r = m_rowPos[std::size_t(sr)];
        if (r.first == r.second)
            continue;
        int y = LogicalToDeviceY(r.second) - 1;
        bool separator = sr == frozenRows - 1;
        bool last = sr == GetVisibleRowCount() - 1;
        if (separator)
            painter.DrawLine(m_gridRect.left, y, m_gridRect.right, y, FrozenRows() > 0 ? d.m_crFrame : d.m_crShadow);
        else if (last || d.ShowsGridLines())
            painter.DrawLine(m_gridRect.left, y, m_gridRect.right, y, d.m_crShadow);
    }
    for (int pass = 0; pass < 3; ++pass)
        OnAfterDrawCells(painter, pass);

    if (!m_bHighlightHidden && m_nFocusMode != GRID_FOCUS_NONE) {
        for (int i = 0; i < int(d.m_ranges.size()); ++i)
            DrawSelection(painter, GetRangeRect(i));
        RECT focus;
        if (m_nFocusMode == GRID_FOCUS_ALL && GetCellRect(GetCurrentRow(), GetCurrentColumn(), focus))
            DrawFocus(painter, focus);
    }
    if (IsResizing() && m_nTracker >= 0)
        painter.DrawTracker(TrackerRect());
}
