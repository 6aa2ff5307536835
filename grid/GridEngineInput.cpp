// The interactive half of the grid engine: current cell and selection, hit
// testing, keys, mouse, resizing by dragging and the clipboard text exchange.
#include "grid/GridEngine.h"

#include "platform/Reporter.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"

#include <algorithm>

namespace {

// A dragged row or column never gets smaller than this many pixels.
constexpr int kMinimumDragSize = 6;

int Clamp(int value, int low, int high) { return std::max(low, std::min(value, high)); }

} // namespace

// ---------------------------------------------------------------- clipboard text

std::vector<std::vector<std::string>> SplitClipboardText(std::string_view text)
{
    std::vector<std::vector<std::string>> lines;
    std::size_t pos = 0;
    const std::size_t n = text.size();
    while (pos < n) {
        std::size_t end = pos;
        while (end < n && text[end] != '\r' && text[end] != '\n')
            ++end;
        std::vector<std::string> fields;
        std::size_t start = pos;
        for (std::size_t i = pos; i <= end; ++i) {
            if (i == end || text[i] == '\t') {
                fields.emplace_back(text.substr(start, i - start));
                start = i + 1;
            }
        }
        lines.push_back(std::move(fields));
        if (end < n && text[end] == '\r' && end + 1 < n && text[end + 1] == '\n')
            ++end;
        pos = end + 1; // past the line end; a line end at the very end adds no line
    }
    return lines;
}

std::string JoinClipboardText(const std::vector<CGridCellRef>& cells,
                              const std::function<std::string(int row, int column)>& textOf)
{
    std::string out;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i > 0)
            out += cells[i].row != cells[i - 1].row ? "\r\n" : "\t";
        out += textOf(cells[i].row, cells[i].column);
    }
    return out;
}

void CGridEngine::GetSelectionText(std::string& text)
{
    text = JoinClipboardText(Data().m_selectedCells, [this](int row, int column) {
        std::string t;
        GetCellText(row, column, t);
        return t;
    });
}

bool CGridEngine::BuildSelectedCellList()
{
    CGridData& d = Data();
    const int lastColumn = GetLastColumn(-1);
    std::vector<CGridRange> used;
    std::int64_t total = 0;
    for (const CGridRange& range : d.m_ranges) {
        if (range.IsEmpty())
            continue;
        CGridRange r = range;
        r.left = std::max(r.left, 0);
        r.top = std::max(r.top, 0);
        r.right = std::min(r.right, lastColumn);
        if (r.left > r.right)
            continue;
        int lastRow = -1;
        for (int c = r.left; c <= r.right; ++c)
            lastRow = std::max(lastRow, GetLastRow(c));
        r.bottom = std::min(r.bottom, lastRow);
        if (r.top > r.bottom)
            continue;
        total += std::int64_t(r.right - r.left + 1) * (r.bottom - r.top + 1);
        // Counted before anything is listed: a selection too large fails as a
        // whole instead of copying or clearing a part of it.
        if (total >= kMaxSelectedCells) {
            d.m_selectedCells.clear();
            ReportMessage(IDS_TOO_MANY_CELLS, {}, MB_OK | MB_ICONEXCLAMATION);
            return false;
        }
        used.push_back(r);
    }
    d.m_selectedCells.clear();
    d.m_selectedCells.reserve(std::size_t(total));
    for (const CGridRange& r : used)
        for (int row = r.top; row <= r.bottom; ++row)
            for (int column = r.left; column <= r.right; ++column)
                d.m_selectedCells.push_back(CGridCellRef{column, row, 0});
    return true;
}

int CGridEngine::CopyToClipboard()
{
    if (CGridCellObject* cell = GetCurrentCellObject(); cell && cell->IsEditing()) {
        CellCallScope scope(*this);
        return cell->Copy();
    }
    if (!m_pHost || !BuildSelectedCellList())
        return 0;
    if (!m_pHost->OpenClipboard()) {
        ReportMessage(IDS_CANNOT_OPEN_CLIPBOARD, {}, MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }
    if (!m_pHost->EmptyClipboard()) {
        m_pHost->CloseClipboard();
        ReportMessage(IDS_CANNOT_CLEAR_CLIPBOARD, {}, MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }
    OnBeforeCopy();
    std::string text;
    GetSelectionText(text);
    if (!text.empty())
        m_pHost->SetClipboardText(text);
    if (!m_pHost->CloseClipboard()) {
        ReportMessage(IDS_CANNOT_CLOSE_CLIPBOARD, {}, MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }
    return 1;
}

int CGridEngine::Cut()
{
    if (CGridCellObject* cell = GetCurrentCellObject(); cell && cell->IsEditing()) {
        CellCallScope scope(*this);
        cell->Cut();
        return 1;
    }
    if (!CopyToClipboard())
        return 0;
    return ClearSelection();
}

int CGridEngine::ClearSelection()
{
    if (CGridCellObject* cell = GetCurrentCellObject(); cell && cell->IsEditing()) {
        CellCallScope scope(*this);
        cell->Clear();
        return 1;
    }
    if (!BuildSelectedCellList())
        return 0;
    std::vector<CGridCellRef> cells = Data().m_selectedCells;
    for (const CGridCellRef& c : cells) {
        SetCellText(c.row, c.column, std::string());
        Notify(GRID_EVENT_CELL, &c);
    }
    OnCellsChanged(Data().m_selectedCells);
    return 1;
}

void CGridEngine::PasteFromClipboard()
{
    if (CGridCellObject* cell = GetCurrentCellObject(); cell && cell->IsEditing()) {
        CellCallScope scope(*this);
        cell->Paste();
        return;
    }
    if (HandlePaste() || !m_pHost)
        return;
    if (!m_pHost->OpenClipboard()) {
        ReportMessage(IDS_CANNOT_OPEN_CLIPBOARD, {}, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    std::string text;
    bool hasText = m_pHost->GetClipboardText(text);
    if (!m_pHost->CloseClipboard()) {
        ReportMessage(IDS_CANNOT_CLOSE_CLIPBOARD, {}, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    if (!hasText || Data().m_ranges.empty() || Data().m_ranges.front().IsEmpty())
        return;
    const auto lines = SplitClipboardText(text);
    int lineCount = int(lines.size());
    int columnCount = 0;
    for (const auto& fields : lines)
        columnCount = std::max(columnCount, int(fields.size()));
    if (lineCount == 0)
        return;

    // Pasting starts at the first cell under the headings, even for whole rows or columns.
    CGridRange target = ClampRange(Data().m_ranges.front());
    target.top = std::max(target.top, HeaderRows());
    target.left = std::max(target.left, HeaderColumns());
    int targetRows = lineCount, targetColumns = columnCount;
    int rangeRows = target.bottom - target.top + 1, rangeColumns = target.right - target.left + 1;
    if (lineCount > rangeRows || columnCount > rangeColumns) {
        int answer = ReportMessage(IDS_PASTE_LARGER, {}, MB_YESNOCANCEL | MB_ICONQUESTION);
        if (answer == IDCANCEL)
            return;
        if (answer == IDYES) {
            targetRows = std::min(lineCount, std::max(rangeRows, 0));
            targetColumns = std::min(columnCount, std::max(rangeColumns, 0));
        }
    }
    std::vector<CGridCellRef>& list = Data().m_selectedCells;
    list.clear();
    for (int i = 0; i < targetRows; ++i) {
        int row = target.top + i;
        if (row >= RowCount())
            break;
        const auto& fields = lines[std::size_t(i)];
        for (int j = 0; j < targetColumns && j < int(fields.size()); ++j) {
            int column = target.left + j;
            if (column >= ColumnCount())
                break;
            if (SetCellText(row, column, fields[std::size_t(j)]) == -1)
                continue;
            CGridCellRef cell{column, row, 0};
            list.push_back(cell);
            Notify(GRID_EVENT_CELL, &cell);
        }
    }
    OnCellsChanged(list);
}

void CGridEngine::Undo()
{
    if (CGridCellObject* cell = GetCurrentCellObject(); cell && cell->IsEditing()) {
        CellCallScope scope(*this);
        cell->Undo();
        return;
    }
    OnUndo();
}

void CGridEngine::Redo()
{
    if (CGridCellObject* cell = GetCurrentCellObject(); cell && cell->IsEditing()) {
        CellCallScope scope(*this);
        cell->Redo();
        return;
    }
    OnRedo();
}

int CGridEngine::OnUpdateEditClear(CGridCmdState& state)
{
    if (CGridCellObject* cell = GetCurrentCellObject(); cell && cell->IsEditing()) {
        cell->OnUpdateClear(state);
        return 1;
    }
    return 0;
}

int CGridEngine::OnUpdateEditCopy(CGridCmdState& state)
{
    if (CGridCellObject* cell = GetCurrentCellObject(); cell && cell->IsEditing()) {
        cell->OnUpdateCopy(state);
        return 1;
    }
    return 0;
}

int CGridEngine::OnUpdateEditCut(CGridCmdState& state)
{
    if (CGridCellObject* cell = GetCurrentCellObject(); cell && cell->IsEditing()) {
        cell->OnUpdateCut(state);
        return 1;
    }
    return 0;
}

int CGridEngine::OnUpdateEditPaste(CGridCmdState& state)
{
    if (CGridCellObject* cell = GetCurrentCellObject(); cell && cell->IsEditing()) {
        cell->OnUpdatePaste(state);
        return 1;
    }
    state.Enable(m_pHost && m_pHost->ClipboardHasText());
    return 1;
}

int CGridEngine::OnUpdateEditUndo(CGridCmdState& state)
{
    if (CGridCellObject* cell = GetCurrentCellObject(); cell && cell->IsEditing()) {
        cell->OnUpdateUndo(state);
        state.SetText(LoadString(IDS_GRID_UNDO));
        return 1;
    }
    OnUpdateUndo(state);
    return 1;
}

int CGridEngine::OnUpdateEditRedo(CGridCmdState& state)
{
    if (CGridCellObject* cell = GetCurrentCellObject(); cell && cell->IsEditing()) {
        cell->OnUpdateRedo(state);
        state.SetText(LoadString(IDS_GRID_REDO));
        return 1;
    }
    OnUpdateRedo(state);
    return 1;
}

// ---------------------------------------------------------------- selection

void CGridEngine::ClassifySelection(const CGridRange& range)
{
    CGridData& d = Data();
    bool columns = range.top < HeaderRows();
    bool rows = range.left < HeaderColumns();
    d.m_bSelCells = !columns && !rows;
    d.m_bSelColumns = columns;
    d.m_bSelRows = rows;
}

CGridRange CGridEngine::ClampRange(CGridRange r) const
{
    const int lastRow = RowCount() - 1, lastColumn = ColumnCount() - 1;
    r.left = Clamp(r.left, 0, lastColumn);
    r.right = Clamp(r.right, 0, lastColumn);
    r.top = Clamp(r.top, 0, lastRow);
    r.bottom = Clamp(r.bottom, 0, lastRow);
    return r;
}

void CGridEngine::SetSelection(const CGridRange& range, int index, bool notify)
{
    CGridData& d = Data();
    if (index < 0)
        index = 0;
    CGridCellRef current{GetCurrentColumn(), GetCurrentRow(), 0};
    if (notify && index < int(d.m_ranges.size())) {
        Notify(GRID_EVENT_RANGE, &index);
        Notify(GRID_EVENT_FOCUS, &current);
    }
    if (index >= int(d.m_ranges.size())) {
        index = int(d.m_ranges.size());
        d.m_ranges.push_back(range);
    } else {
        d.m_ranges[std::size_t(index)] = range;
    }
    if (index == 0)
        ClassifySelection(range);
    if (notify) {
        Notify(GRID_EVENT_RANGE, &index);
        Notify(GRID_EVENT_FOCUS, &current);
    }
}

void CGridEngine::SelectWholeColumn(int column, int index, bool notify)
{
    if (column < 0 || column >= ColumnCount())
        return;
    SetSelection(CGridRange{column, 0, column, RowCount() - 1}, index, notify);
    Data().m_nCurrentColumn = column;
}

void CGridEngine::SelectColumn(int column, bool clear, bool notify)
{
    auto& list = Data().m_selectedCells;
    if (clear)
        list.clear();
    int last = GetLastRow(column);
    for (int row = 0; row <= last; ++row)
        list.push_back(CGridCellRef{column, row, 0});
    if (notify)
        OnCellsChanged(list);
}

int CGridEngine::EnableRowResize(int flag) { return std::exchange(Data().m_bRowResize, flag); }
int CGridEngine::EnableColumnResize(int flag) { return std::exchange(Data().m_bColumnResize, flag); }
int CGridEngine::EnableRowSelection(int flag) { return std::exchange(Data().m_bRowSelection, flag); }
int CGridEngine::EnableColumnSelection(int flag) { return std::exchange(Data().m_bColumnSelection, flag); }

void CGridEngine::SetOptions(DWORD bits)
{
    CGridData& d = Data();
    d.m_dwOptions = bits;
    if (bits & GRID_OPTION_ROW_SELECT) {
        d.m_bColumnSelection = 0;
        d.m_bRowSelection = 1;
        d.m_bShowFocus = 0;
    }
}

void CGridEngine::SetCurrentCell(int row, int column, UINT flags, int rowScroll, int columnScroll)
{
    if (!m_pData)
        return;
    CGridData& d = Data();
    const int lastRow = RowCount() - 1, lastColumn = ColumnCount() - 1;
    row = std::min(row, lastRow);
    column = std::min(column, lastColumn);
    if (row < 0 && column < 0) {
        for (int i = 0; i < int(d.m_ranges.size()); ++i)
            Notify(GRID_EVENT_RANGE, &i);
        d.m_ranges.clear();
        return;
    }
    if (row < 0 || column < 0)
        return;
    const bool several = (d.m_dwOptions & GRID_OPTION_MULTI_RANGE) != 0;
    const bool control = (flags & MK_CONTROL) && several;
    const bool shift = (flags & MK_SHIFT) != 0;
    const bool rowSelect = (d.m_dwOptions & GRID_OPTION_ROW_SELECT) != 0;
    if (d.m_ranges.empty())
        d.m_ranges.push_back(CGridRange{});

    if (control) {
        // A control-click on a selected range takes that range away (never the last one).
        for (int i = 0; i < int(d.m_ranges.size()); ++i) {
            if (!d.m_ranges[std::size_t(i)].Contains(row, column))
                continue;
            if (d.m_ranges.size() > 1) {
                Notify(GRID_EVENT_RANGE, &i);
                d.m_ranges.erase(d.m_ranges.begin() + i);
                if (i == 0)
                    ClassifySelection(d.m_ranges.front());
            }
            return;
        }
    }

    const bool headerRow = row < HeaderRows();
    const bool headerColumn = column < HeaderColumns();
    int newRow = row, newColumn = column;
    CGridRange range{column, row, column, row};
    bool wholeRows = false, wholeColumns = false;
    if (rowSelect) {
        range = CGridRange{0, row, lastColumn, row};
        wholeRows = true;
        if (headerColumn)
            newColumn = Clamp(GetLeftColumn(), 0, lastColumn);
    } else if (headerRow && headerColumn) {
        range = CGridRange{0, 0, lastColumn, lastRow};
        wholeRows = wholeColumns = true;
        newRow = Clamp(GetTopRow(), 0, lastRow);
        newColumn = Clamp(GetLeftColumn(), 0, lastColumn);
    } else if (headerColumn) {
        range = CGridRange{0, row, lastColumn, row};
        wholeRows = true;
        newColumn = Clamp(GetLeftColumn(), 0, lastColumn);
    } else if (headerRow) {
        range = CGridRange{column, 0, column, lastRow};
        wholeColumns = true;
        newRow = Clamp(GetTopRow(), 0, lastRow);
    }

    const int currentRow = d.m_nCurrentRow, currentColumn = d.m_nCurrentColumn;
    if (shift && currentRow >= 0 && currentColumn >= 0) {
        CGridRange span = range;
        if (!wholeColumns) {
            span.top = std::min(range.top, currentRow);
            span.bottom = std::max(range.bottom, currentRow);
        }
        if (!wholeRows) {
            span.left = std::min(range.left, currentColumn);
            span.right = std::max(range.right, currentColumn);
        }
        SetSelection(span, control ? int(d.m_ranges.size()) - 1 : 0, true);
        return;
    }

    // Leaving the cell ends its edit; a refused store keeps the editor open
    // and the current cell where it is, as does the stay flag.
    if (CGridCellObject* cell = GetCurrentCellObject()) {
        CellCallScope scope(*this);
        cell->EndEdit();
        if (cell->IsEditing())
            return;
    }
    if (d.m_bStay) {
        d.m_bStay = 0;
        return;
    }

    CGridCellRef oldFocus{currentColumn, currentRow, 0};
    bool same = d.m_ranges.size() == 1 && d.m_ranges.front() == range;
    if (!same) {
        if (!control) {
            for (int i = 0; i < int(d.m_ranges.size()); ++i)
                Notify(GRID_EVENT_RANGE, &i);
            d.m_ranges.clear();
        }
        Notify(GRID_EVENT_FOCUS, &oldFocus);
        int index = int(d.m_ranges.size());
        SetSelection(range, index, false);
        Notify(GRID_EVENT_RANGE, &index);
    } else if (newRow != currentRow || newColumn != currentColumn) {
        Notify(GRID_EVENT_FOCUS, &oldFocus);
    }

    d.m_nCurrentRow = newRow;
    d.m_nCurrentColumn = newColumn;
    CGridCellRef focus{newColumn, newRow, 0};
    Notify(GRID_EVENT_FOCUS, &focus);

    if (rowScroll != 2 && newRow >= FrozenRows() && (rowScroll == 1 || !IsValidRow(newRow)))
        OnVScroll(SB_THUMBPOSITION, newRow);
    if (columnScroll != 2 && newColumn >= HeaderColumns() && (columnScroll == 1 || !IsValidColumn(newColumn)))
        OnHScroll(SB_THUMBPOSITION, newColumn);
    OnCurrentCellChanged(newRow, newColumn, 0);
}

// ---------------------------------------------------------------- hit test

int CGridEngine::Grip() const
{
    int grip = Data().m_nResizeGrip;
    return Clamp(grip, 0, 32);
}

void CGridEngine::HitTest(POINT point, CGridHitInfo& hit) const
{
    hit = CGridHitInfo();
    if (!m_pData)
        return;
    int sr = ScreenRowAtY(point.y);
    int sc = ScreenColumnAtX(point.x);
    if (sr < 0 || sc < 0)
        return;
    const CGridData& d = Data();
    const int grip = Grip();
    const bool bordersAllowed = !m_bMouseSelection;
    int row = ScreenToRow(sr), column = ScreenToColumn(sc);
    RECT rect;
    GetCellRect(row, column, rect);
    const bool headerRow = row < HeaderRows();
    const bool headerColumn = column < HeaderColumns();
    int code = GRID_HIT_CELL;
    bool border = false;

    if (headerRow) {
        code = GRID_HIT_COLUMN_HEADER;
        if (bordersAllowed && point.x >= rect.right - grip) {
            code = GRID_HIT_COLUMN_BORDER;
            border = true;
        } else if (bordersAllowed && d.m_bColumnResize && point.x < rect.left + grip) {
            int left = ScreenColumnAtX(point.x - grip);
            if (left >= 0 && left != sc) {
                column = ScreenToColumn(left);
                GetCellRect(row, column, rect);
                code = GRID_HIT_COLUMN_BORDER;
                border = true;
            }
        }
    }
    if (headerColumn && !border) {
        code = GRID_HIT_ROW_HEADER;
        if (bordersAllowed && point.y >= rect.bottom - grip) {
            code = GRID_HIT_ROW_BORDER;
            border = true;
        } else if (bordersAllowed && d.m_bRowResize && point.y < rect.top + grip) {
            int above = ScreenRowAtY(point.y - grip);
            if (above >= 0 && above != sr) {
                row = ScreenToRow(above);
                GetCellRect(row, column, rect);
                code = GRID_HIT_ROW_BORDER;
                border = true;
            }
        }
    }
    if (headerRow && headerColumn && !border)
        code = GRID_HIT_CORNER;

    if (code == GRID_HIT_COLUMN_BORDER && !d.m_bColumnResize)
        code = GRID_HIT_COLUMN_HEADER;
    if (code == GRID_HIT_ROW_BORDER && !d.m_bRowResize)
        code = GRID_HIT_ROW_HEADER;
    if (code == GRID_HIT_ROW_HEADER && !d.m_bRowSelection)
        code = GRID_HIT_INACTIVE;
    if (code == GRID_HIT_COLUMN_HEADER && !d.m_bColumnSelection)
        code = GRID_HIT_INACTIVE;
    if (code == GRID_HIT_CORNER && !(d.m_bRowSelection && d.m_bColumnSelection))
        code = GRID_HIT_INACTIVE;
    hit.Set(code, row, column, rect);
}

// ---------------------------------------------------------------- keys

void CGridEngine::ScrollRowIntoLine(int row, int fromRow)
{
    if (row >= FrozenRows() && !IsRowFullyVisible(row) && row != fromRow)
        OnVScroll(row > fromRow ? SB_LINEDOWN : SB_LINEUP, 0);
}

void CGridEngine::ScrollColumnIntoLine(int column, int fromColumn)
{
    if (column >= HeaderColumns() && !IsColumnFullyVisible(column) && column != fromColumn)
        OnHScroll(column > fromColumn ? SB_LINERIGHT : SB_LINELEFT, 0);
}

void CGridEngine::OnKeyDown(UINT key, UINT repeat, UINT flags)
{
    if (!m_pData)
        return;
    CGridData& d = Data();
    if (d.m_nCurrentRow < 0 || d.m_nCurrentColumn < 0 || RowCount() == 0 || ColumnCount() == 0)
        return;
    const int row = std::min(d.m_nCurrentRow, RowCount() - 1);
    const int column = std::min(d.m_nCurrentColumn, ColumnCount() - 1);
    const UINT modifiers = m_pHost ? m_pHost->GetKeyModifiers() : 0;
    const bool shift = (modifiers & MK_SHIFT) != 0;
    const bool control = (modifiers & MK_CONTROL) != 0;
    const int lastRow = RowCount() - 1, lastColumn = ColumnCount() - 1;
    const CGridRange main = d.m_ranges.empty() || d.m_ranges.front().IsEmpty() ? CGridRange{column, row, column, row}
                                                                               : ClampRange(d.m_ranges.front());
    // With shift, the edge that moves is the one away from the current cell;
    // the other corner of the range stays with the current cell.
    const int farRow = main.top == row ? main.bottom : main.top;
    const int farColumn = main.left == column ? main.right : main.left;
    int newRow = row, newColumn = column;
    bool extend = false;

    switch (key) {
    case VK_DOWN:
        if (control)
            newRow = std::max(GetLastRow(column), HeaderRows());
        else if (shift) {
            newRow = std::min(farRow + 1, lastRow);
            newColumn = farColumn;
            extend = true;
        } else
            newRow = std::min(row + 1, lastRow);
        break;
    case VK_UP:
        if (control)
            newRow = FrozenRows();
        else if (shift) {
            newRow = std::max(farRow - 1, d.m_nFirstScrollableRow);
            newColumn = farColumn;
            extend = true;
        } else
            newRow = std::max(row - 1, HeaderRows());
        break;
    case VK_RIGHT:
        if (control)
            newColumn = std::max(GetLastColumn(row), HeaderColumns());
        else if (shift) {
            newColumn = std::min(farColumn + 1, lastColumn);
            newRow = farRow;
            extend = true;
        } else
            newColumn = std::min(column + 1, lastColumn);
        break;
    case VK_LEFT:
        if (control)
            newColumn = HeaderColumns();
        else if (shift) {
            newColumn = std::max(farColumn - 1, d.m_nFirstScrollableColumn);
            newRow = farRow;
            extend = true;
        } else
            newColumn = std::max(column - 1, HeaderColumns());
        break;
    case VK_NEXT:
    case VK_PRIOR: {
        const bool down = key == VK_NEXT;
        if (control) {
            int page = std::max(1, GetVisibleColumnCount() - HeaderColumns());
            newColumn = down ? std::min(GetLeftColumn() + page - 1, lastColumn)
                             : std::max(GetLeftColumn() - page, HeaderColumns());
            OnBeforeKeyScroll(key, newRow, newColumn);
            OnHScroll(SB_THUMBPOSITION, newColumn);
        } else {
            // A page is the scrolled rows on screen; Page Down stops on the last row.
            int page = std::max(1, GetVisibleRowCount() - FrozenRows());
            newRow = down ? std::min(GetTopRow() + page - 1, lastRow)
                          : std::max(GetTopRow() - page, std::max(FrozenRows(), HeaderRows()));
            OnBeforeKeyScroll(key, newRow, newColumn);
            OnVScroll(SB_THUMBPOSITION, newRow);
        }
        extend = shift;
        break;
    }
    case VK_TAB:
        newColumn = shift ? std::max(column - 1, HeaderColumns()) : std::min(column + 1, lastColumn);
        break;
    case VK_RETURN: {
        const bool walk = d.m_ranges.size() == 1 && !main.IsEmpty()
            && (main.right > main.left || main.bottom > main.top);
        if (walk) {
            CGridRange r = ClampRange(main);
            r.top = std::max(r.top, HeaderRows());
            r.left = std::max(r.left, HeaderColumns());
            if (r.IsEmpty())
                return;
            int nr = Clamp(row, r.top, r.bottom), nc = Clamp(column, r.left, r.right);
            if (!shift) {
                if (++nc > r.right) {
                    nc = r.left;
                    if (++nr > r.bottom)
                        nr = r.top;
                }
            } else {
                if (--nc < r.left) {
                    nc = r.right;
                    if (--nr < r.top)
                        nr = r.bottom;
                }
            }
            EndCurrentEdit();
            if (CGridCellObject* cell = GetCurrentCellObject(); cell && cell->IsEditing())
                return;
            d.m_bStay = 0;
            CGridCellRef oldFocus{column, row, 0};
            Notify(GRID_EVENT_FOCUS, &oldFocus);
            d.m_nCurrentRow = nr;
            d.m_nCurrentColumn = nc;
            if (nr >= FrozenRows() && !IsRowFullyVisible(nr))
                OnVScroll(SB_THUMBPOSITION, nr);
            if (nc >= HeaderColumns() && !IsColumnFullyVisible(nc))
                OnHScroll(SB_THUMBPOSITION, nc);
            CGridCellRef focus{nc, nr, 0};
            Notify(GRID_EVENT_FOCUS, &focus);
            int index = 0;
            Notify(GRID_EVENT_RANGE_AREA, &index);
            Notify(GRID_EVENT_UPDATE_WINDOW);
            OnCurrentCellChanged(nr, nc, 0);
            return;
        }
        // Shift+Enter climbs no higher than row 2: in a table, that is the
        // row of column names, which it must reach past the frozen rows.
        newRow = shift ? (row > 2 ? std::max(row - 1, HeaderRows()) : row) : std::min(row + 1, lastRow);
        break;
    }
    default:
        return;
    }

    if (key != VK_NEXT && key != VK_PRIOR) {
        const int fromRow = extend ? farRow : row;
        const int fromColumn = extend ? farColumn : column;
        if (newRow != fromRow || newColumn != fromColumn)
            OnBeforeKeyScroll(key, newRow, newColumn);
        ScrollRowIntoLine(newRow, fromRow);
        ScrollColumnIntoLine(newColumn, fromColumn);
    }
    UINT moveFlags = (shift && key != VK_TAB && key != VK_RETURN) ? UINT(MK_SHIFT) : 0u;
    SetCurrentCell(newRow, newColumn, moveFlags, 0, 0);
    Notify(GRID_EVENT_UPDATE_WINDOW);
}

// ---------------------------------------------------------------- mouse

void CGridEngine::OnLButtonDown(UINT flags, POINT point)
{
    CGridHitInfo hit;
    HitTest(point, hit);
    switch (hit.code) {
    case GRID_HIT_CELL:
    case GRID_HIT_COLUMN_HEADER:
    case GRID_HIT_ROW_HEADER:
    case GRID_HIT_CORNER:
        SetCurrentCell(hit.row, hit.column, flags & (MK_SHIFT | MK_CONTROL));
        break;
    case GRID_HIT_COLUMN_BORDER:
    case GRID_HIT_ROW_BORDER: {
        const bool column = hit.code == GRID_HIT_COLUMN_BORDER;
        m_bColumnResizing = column;
        m_bRowResizing = !column;
        m_nResizeIndex = column ? hit.column : hit.row;
        m_nResizeStart = column ? hit.rect.left : hit.rect.top;
        m_dragStart = point;
        m_nTracker = -1;
        break;
    }
    default:
        break;
    }
}

void CGridEngine::ExtendDragSelection(const CGridHitInfo& hit)
{
    CGridData& d = Data();
    if (hit.row < 0 || hit.column < 0 || d.m_ranges.empty())
        return;
    const int index = int(d.m_ranges.size()) - 1;
    const CGridRange old = d.m_ranges[std::size_t(index)];
    const int anchorRow = d.m_nCurrentRow, anchorColumn = d.m_nCurrentColumn;
    if (anchorRow < 0 || anchorColumn < 0)
        return;
    const int lastRow = RowCount() - 1, lastColumn = ColumnCount() - 1;
    const int row = std::max(hit.row, HeaderRows());
    const int column = std::max(hit.column, HeaderColumns());
    const bool wholeRows = old.left == 0 && old.right == lastColumn && HeaderColumns() > 0 && old.top >= HeaderRows();
    const bool wholeColumns = old.top == 0 && old.bottom == lastRow && HeaderRows() > 0 && old.left >= HeaderColumns();
    CGridRange r;
    if ((d.m_dwOptions & GRID_OPTION_ROW_SELECT) || wholeRows)
        r = CGridRange{0, std::min(anchorRow, row), lastColumn, std::max(anchorRow, row)};
    else if (wholeColumns)
        r = CGridRange{std::min(anchorColumn, column), 0, std::max(anchorColumn, column), lastRow};
    else if (old.top < HeaderRows() && old.left < HeaderColumns())
        return; // everything is selected already
    else
        r = CGridRange{std::min(anchorColumn, column), std::min(anchorRow, row), std::max(anchorColumn, column),
                       std::max(anchorRow, row)};
    if (r == old)
        return;
    d.m_ranges[std::size_t(index)] = r;
    if (index == 0)
        ClassifySelection(r);
    CGridSelChange change{old, index};
    Notify(GRID_EVENT_RANGE_CHANGING, &change);
}

void CGridEngine::OnMouseMove(UINT flags, POINT point)
{
    if (!m_pData)
        return;
    if (IsResizing()) {
        if (m_pHost)
            m_pHost->SetCapture();
        // Held at least twice the grip from the start edge, and never closer than 6 pixels.
        const int least = m_nResizeStart + std::max(2 * Grip(), kMinimumDragSize);
        int position = m_bColumnResizing ? std::max(point.x, least) : std::max(point.y, least);
        if (position != m_nTracker) {
            RECT old = TrackerRect();
            m_nTracker = position;
            if (m_pHost) {
                if (!RectIsEmpty(old))
                    m_pHost->InvalidateRect(old, false);
                m_pHost->InvalidateRect(TrackerRect(), false);
            }
        }
        return;
    }
    if (m_pHost)
        m_pHost->KillTimer(GRID_TIMER_AUTOSCROLL);
    const bool leftHeld = (flags & MK_LBUTTON) != 0;
    if (!m_bMouseSelection && leftHeld
        && (m_nCursorCode == GRID_HIT_CELL || m_nCursorCode == GRID_HIT_ROW_HEADER
            || m_nCursorCode == GRID_HIT_COLUMN_HEADER)) {
        m_bMouseSelection = true;
        if (m_pHost)
            m_pHost->SetCapture();
    }
    if (m_bMouseSelection && leftHeld) {
        // Outside the scrolled part, the grid scrolls a line towards the mouse
        // and the timer keeps it going while the button is held there.
        bool scrolled = false;
        if (point.y < m_vertScrollArea.top) {
            OnVScroll(SB_LINEUP, 0);
            scrolled = true;
        } else if (point.y >= m_gridRect.bottom) {
            OnVScroll(SB_LINEDOWN, 0);
            scrolled = true;
        }
        if (point.x < m_horzScrollArea.left) {
            OnHScroll(SB_LINELEFT, 0);
            scrolled = true;
        } else if (point.x >= m_gridRect.right) {
            OnHScroll(SB_LINERIGHT, 0);
            scrolled = true;
        }
        if (scrolled && m_pHost)
            m_pHost->SetTimer(GRID_TIMER_AUTOSCROLL, 1);
        // The selection follows to the cell nearest the mouse: beyond the grid,
        // that is the edge row or column now on screen.
        POINT inside = point;
        if (!RectIsEmpty(m_gridRect)) {
            inside.x = std::clamp<int>(inside.x, m_gridRect.left, m_gridRect.right - 1);
            inside.y = std::clamp<int>(inside.y, m_gridRect.top, m_gridRect.bottom - 1);
        }
        CGridHitInfo hit;
        HitTest(inside, hit);
        ExtendDragSelection(hit);
        return;
    }
    CGridHitInfo hit;
    HitTest(point, hit);
    m_nCursorCode = hit.code;
    if (m_pHost)
        m_pHost->SetCursor(Data().m_cursorOverride ? Data().m_cursorOverride : hit.code);
}

void CGridEngine::OnTimer(UINT id)
{
    if (id != GRID_TIMER_AUTOSCROLL || !m_pHost)
        return;
    m_pHost->PostMouseMove(MK_LBUTTON, m_pHost->GetCursorPos());
}

void CGridEngine::OnLButtonUp(UINT flags, POINT point)
{
    if (!m_pData)
        return;
    if (m_pHost) {
        m_pHost->KillTimer(GRID_TIMER_AUTOSCROLL);
        m_pHost->ReleaseCapture();
    }
    m_bMouseSelection = false;
    if (!IsResizing())
        return;
    const bool column = m_bColumnResizing;
    RECT tracker = TrackerRect();
    if (m_pHost && !RectIsEmpty(tracker))
        m_pHost->InvalidateRect(tracker, false);
    m_bColumnResizing = m_bRowResizing = false;
    m_nTracker = -1;
    Notify(GRID_EVENT_TOGGLE_HIGHLIGHT);

    const int least = std::max(2 * Grip(), kMinimumDragSize);
    const int pixels = std::max((column ? point.x : point.y) - m_nResizeStart, least);
    RECT changed;
    if (column) {
        SetColumnWidth(m_nResizeIndex, LogicalToStoredX(DeviceToLogicalX(pixels)), true, true, true);
        changed = RECT{m_nResizeStart, m_gridRect.top, std::max(m_gridRect.right, m_nResizeStart + pixels),
                       m_gridRect.bottom};
    } else {
        SetRowHeight(m_nResizeIndex, LogicalToStoredY(pixels * kLogicalPerPixel), true, true, true);
        changed = RECT{m_gridRect.left, m_nResizeStart, m_gridRect.right,
                       std::max(m_gridRect.bottom, m_nResizeStart + pixels)};
    }
    if (m_pHost && m_pHost->IsWindowVisible())
        Update(GRID_UPDATE_ALL, 0);
    Notify(GRID_EVENT_INVALIDATE, &changed);
    Notify(GRID_EVENT_TOGGLE_HIGHLIGHT);
    Notify(GRID_EVENT_UPDATE_WINDOW);
}

void CGridEngine::OnRButtonDown(UINT flags, POINT point)
{
    CGridHitInfo hit;
    HitTest(point, hit);
    switch (hit.code) {
    case GRID_HIT_CELL:
    case GRID_HIT_COLUMN_HEADER:
    case GRID_HIT_ROW_HEADER:
    case GRID_HIT_CORNER:
    case GRID_HIT_COLUMN_BORDER:
    case GRID_HIT_ROW_BORDER: {
        bool selected = false;
        for (const CGridRange& r : Data().m_ranges)
            selected = selected || r.Contains(hit.row, hit.column);
        if (!selected)
            SetCurrentCell(hit.row, hit.column, 0);
        break;
    }
    default:
        break;
    }
    OnRButtonCellChanged(flags, point);
}

// ---------------------------------------------------------------- routing to cells

void CGridEngine::CellLButtonDown(UINT flags, POINT point)
{
    CGridHitInfo hit;
    HitTest(point, hit);
    if (hit.row < 0 || hit.column < 0)
        return;
    CellCallScope scope(*this);
    if (CGridCellObject* cell = GetCellObject(hit.row, hit.column))
        cell->OnLButtonDown(flags, point);
    else
        OnLButtonDown(flags, point);
}

void CGridEngine::CellLButtonDblClk(UINT flags, POINT point)
{
    CellLButtonDown(flags, point);
    CGridHitInfo hit;
    HitTest(point, hit);
    if (hit.row < 0 || hit.column < 0)
        return;
    CellCallScope scope(*this);
    if (CGridCellObject* cell = GetCellObject(hit.row, hit.column))
        cell->OnLButtonDblClk(flags, point);
}

void CGridEngine::CellMouseMove(UINT flags, POINT point)
{
    CGridHitInfo hit;
    HitTest(point, hit);
    CellCallScope scope(*this);
    CGridCellObject* cell = hit.row >= 0 && hit.column >= 0 ? GetCellObject(hit.row, hit.column) : nullptr;
    if (cell)
        cell->OnMouseMove(flags, point);
    else
        OnMouseMove(flags, point);
}

void CGridEngine::CellKeyDown(UINT key, UINT repeat, UINT flags)
{
    CellCallScope scope(*this);
    if (CGridCellObject* cell = GetCurrentCellObject())
        cell->OnKeyDown(key, repeat, flags);
    else
        OnKeyDown(key, repeat, flags);
}

void CGridEngine::CellChar(UINT ch, UINT repeat, UINT flags)
{
    CellCallScope scope(*this);
    if (CGridCellObject* cell = GetCurrentCellObject())
        cell->OnChar(ch, repeat, flags);
    else
        OnChar(ch, repeat, flags);
}

void CGridEngine::CellListSelEndOk()
{
    CellCallScope scope(*this);
    if (CGridCellObject* cell = GetCurrentCellObject())
        cell->OnListSelEndOk();
}

void CGridEngine::CellListDropDown()
{
    CellCallScope scope(*this);
    if (CGridCellObject* cell = GetCurrentCellObject())
        cell->OnListDropDown();
}

void CGridEngine::CellListCloseUp()
{
    CellCallScope scope(*this);
    if (CGridCellObject* cell = GetCurrentCellObject())
        cell->OnListCloseUp();
}

void CGridEngine::CellEditorKillFocus()
{
    CellCallScope scope(*this);
    if (CGridCellObject* cell = GetCurrentCellObject())
        cell->OnEditorKillFocus();
}

bool CGridEngine::CellEditorKeyDown(UINT key, UINT repeat, UINT flags)
{
    CellCallScope scope(*this);
    CGridCellObject* cell = GetCurrentCellObject();
    return cell && cell->OnEditorKeyDown(key, repeat, flags);
}
