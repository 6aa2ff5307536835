#include "data/DataActionStructure.h"

#include "data/DataTableItem.h"
#include "data/MyData.h"
#include "platform/StringIds.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CDataActionInsertColumns, CDataAction)
IMPLEMENT_DYNAMIC(CDataActionInsertRows, CDataAction)
IMPLEMENT_DYNAMIC(CDataActionDeleteColumns, CDataAction)
IMPLEMENT_DYNAMIC(CDataActionDeleteRows, CDataAction)
IMPLEMENT_DYNAMIC(CDataActionInsertCells, CDataAction)
IMPLEMENT_DYNAMIC(CDataActionDeleteCellRange, CDataAction)

// Insert columns --------------------------------------------------------------

CDataActionInsertColumns::CDataActionInsertColumns(int first, int count, CDataTableItem* item)
    : CDataAction(IDS_TABLE_INSERT_COLUMNS, item), m_first(first), m_count(count)
{
}

int CDataActionInsertColumns::Do()
{
    SaveViewState();
    CDataTableView* view = View();
    return view && m_count > 0 && view->InsertColumns(m_first, m_count, true) ? 1 : 0;
}

int CDataActionInsertColumns::Redo()
{
    RestoreViewState();
    CDataTableView* view = View();
    return view && view->InsertColumns(m_first, m_count, true) ? 1 : 0;
}

int CDataActionInsertColumns::Undo()
{
    RestoreViewState();
    CDataTableView* view = View();
    return view && view->DeleteColumns(m_first, m_count, true) ? 1 : 0;
}

// Insert rows -----------------------------------------------------------------

CDataActionInsertRows::CDataActionInsertRows(int first, int count, CDataTableItem* item)
    : CDataAction(IDS_TABLE_INSERT_ROWS, item), m_first(first), m_count(count)
{
}

int CDataActionInsertRows::Do()
{
    SaveViewState();
    CDataTableView* view = View();
    return view && m_count > 0 && view->InsertRows(m_first, m_count, true) ? 1 : 0;
}

int CDataActionInsertRows::Redo()
{
    RestoreViewState();
    CDataTableView* view = View();
    return view && view->InsertRows(m_first, m_count, true) ? 1 : 0;
}

int CDataActionInsertRows::Undo()
{
    RestoreViewState();
    CDataTableView* view = View();
    return view && view->DeleteRows(m_first, m_count, true) ? 1 : 0;
}

// Delete columns --------------------------------------------------------------

CDataActionDeleteColumns::CDataActionDeleteColumns(int first, int count, CDataTableItem* item)
    : CDataAction(IDS_TABLE_DELETE_COLUMNS, item), m_first(first), m_count(count)
{
}

int CDataActionDeleteColumns::Apply()
{
    CDataTableView* view = View();
    if (!view || m_count < 1)
        return 0;
    CMyData& table = Table();
    m_widths.clear();
    m_cells.Clear();
    for (int c = m_first; c < m_first + m_count; ++c) {
        m_widths.push_back(view->IsDefaultColumnWidth(c) ? -1 : view->GetColumnWidth(c));
        m_cells.CaptureRows(table, c, 0, std::max(table.GetLastRow(c), 0));
    }
    return view->DeleteColumns(m_first, m_count, true) ? 1 : 0;
}

int CDataActionDeleteColumns::Do()
{
    SaveViewState();
    return Apply();
}

int CDataActionDeleteColumns::Redo()
{
    RestoreViewState();
    return Apply();
}

int CDataActionDeleteColumns::Undo()
{
    RestoreViewState();
    CDataTableView* view = View();
    if (!view)
        return 0;
    CMyData& table = Table();
    // Columns past the table's end need no room made: their cells go back in place.
    if (m_first <= table.GetLastColumn() && !view->InsertColumns(m_first, m_count, true))
        return 0;
    m_cells.Restore(table);
    for (int i = 0; i < m_count; ++i)
        view->SetColumnWidth(m_first + i, m_widths[std::size_t(i)]);
    SetModified();
    for (int i = 0; i < m_count; ++i)
        m_item->NotifyColumnChanged(m_first + i, -1);
    return 1;
}

// Delete rows -----------------------------------------------------------------

CDataActionDeleteRows::CDataActionDeleteRows(int first, int count, CDataTableItem* item)
    : CDataAction(IDS_TABLE_DELETE_ROWS, item), m_first(first), m_count(count)
{
}

int CDataActionDeleteRows::Apply()
{
    CDataTableView* view = View();
    if (!view || m_count < 1)
        return 0;
    CMyData& table = Table();
    m_heights.clear();
    m_cells.Clear();
    for (int r = m_first; r < m_first + m_count; ++r)
        m_heights.push_back(view->IsDefaultRowHeight(r) ? -1 : view->GetRowHeight(r));
    for (int c : table.GetColumnNumbers())
        m_cells.CaptureRows(table, c, m_first, m_first + m_count - 1);
    return view->DeleteRows(m_first, m_count, true) ? 1 : 0;
}

int CDataActionDeleteRows::Do()
{
    SaveViewState();
    return Apply();
}

int CDataActionDeleteRows::Redo()
{
    RestoreViewState();
    return Apply();
}

int CDataActionDeleteRows::Undo()
{
    RestoreViewState();
    CDataTableView* view = View();
    if (!view)
        return 0;
    CMyData& table = Table();
    if (m_first <= table.GetLastRow(-1) && !view->InsertRows(m_first, m_count, true))
        return 0;
    m_cells.Restore(table);
    for (int i = 0; i < m_count; ++i)
        view->SetRowHeight(m_first + i, m_heights[std::size_t(i)]);
    SetModified();
    for (int c : table.GetColumnNumbers())
        m_item->NotifyColumnChanged(c, -1);
    return 1;
}

// Insert cells ----------------------------------------------------------------

CDataActionInsertCells::CDataActionInsertCells(const RECT& block, CDataTableItem* item)
    : CDataAction(IDS_TABLE_INSERT_CELLS, item), m_block(block)
{
}

int CDataActionInsertCells::Do()
{
    SaveViewState();
    CDataTableView* view = View();
    if (!view || !view->InsertCells(m_block))
        return 0;
    EnsureGridSize();
    return 1;
}

int CDataActionInsertCells::Redo()
{
    RestoreViewState();
    CDataTableView* view = View();
    return view && view->InsertCells(m_block) ? 1 : 0;
}

int CDataActionInsertCells::Undo()
{
    RestoreViewState();
    CDataTableView* view = View();
    return view && view->DeleteCells(m_block) ? 1 : 0;
}

// Delete cells ----------------------------------------------------------------

CDataActionDeleteCellRange::CDataActionDeleteCellRange(CDataTableItem* item)
    : CDataAction(IDS_TABLE_DELETE_CELLS, item)
{
}

int CDataActionDeleteCellRange::Do()
{
    SaveViewState();
    CDataTableView* view = View();
    if (!view)
        return 0;
    std::vector<RECT> ranges = view->GetSelectedRanges();
    if (ranges.empty())
        return 0;
    m_block = ranges.front();
    CMyData& table = Table();
    m_cells.Clear();
    for (int c = m_block.left; c <= std::min<int>(m_block.right, table.GetLastColumn()); ++c)
        m_cells.CaptureRows(table, c, m_block.top, m_block.bottom);
    if (!view->DeleteCells(m_block))
        return 0;
    EnsureGridSize();
    return 1;
}

int CDataActionDeleteCellRange::Redo()
{
    RestoreViewState();
    CDataTableView* view = View();
    return view && view->DeleteCells(m_block) ? 1 : 0;
}

int CDataActionDeleteCellRange::Undo()
{
    RestoreViewState();
    CMyData& table = Table();
    table.InsertCellRange(m_block, TRUE);
    m_cells.Restore(table);
    SetModified();
    for (int c = m_block.left; c <= m_block.right && c <= table.GetLastColumn(); ++c)
        m_item->NotifyColumnChanged(c, -1);
    if (CDataTableView* view = View())
        view->Repaint();
    return 1;
}
