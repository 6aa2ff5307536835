#include "data/DataActionClearBase.h"

#include "data/DataTableItem.h"
#include "data/MyData.h"
#include "platform/StringIds.h"

#include <algorithm>
#include <set>

IMPLEMENT_DYNAMIC(CDataActionClearBase, CDataAction)
IMPLEMENT_DYNAMIC(CDataActionClearCells, CDataActionClearBase)
IMPLEMENT_DYNAMIC(CDataActionCutCells, CDataActionClearBase)

bool CDataActionClearBase::Capture()
{
    CDataTableView* view = View();
    if (!view)
        return false;
    CMyData& table = Table();
    m_positions.clear();
    m_cells.Clear();
    std::set<std::pair<int, int>> seen;
    for (const RECT& r : view->GetSelectedRanges()) {
        // Only positions that hold something matter; a selected block may
        // reach far beyond the table.
        const int right = std::min<int>(r.right, table.GetLastColumn());
        for (int column = std::max<int>(r.left, 0); column <= right; ++column) {
            CColData* col = table.GetColumn(column);
            if (!col)
                continue;
            for (int row : col->GetRows())
                if (row >= r.top && row <= r.bottom && seen.insert({column, row}).second) {
                    m_positions.push_back(POINT{column, row});
                    m_cells.CaptureCell(table, row, column);
                }
        }
    }
    return true;
}

void CDataActionClearBase::Apply()
{
    CMyData& table = Table();
    CDataTableView* view = View();
    std::set<int> columns;
    for (const POINT& p : m_positions) {
        table.DeleteCell(p.y, p.x);
        columns.insert(p.x);
        if (view)
            view->RedrawCell(p.x, p.y);
    }
    SetModified();
    EnsureGridSize();
    for (int column : columns)
        m_item->NotifyColumnChanged(column, -1);
}

int CDataActionClearBase::Undo()
{
    RestoreViewState();
    m_cells.Restore(Table());
    std::set<int> columns;
    if (CDataTableView* view = View())
        for (const POINT& p : m_positions)
            view->RedrawCell(p.x, p.y);
    for (const POINT& p : m_positions)
        columns.insert(p.x);
    SetModified();
    for (int column : columns)
        m_item->NotifyColumnChanged(column, -1);
    return 1;
}

CDataActionClearCells::CDataActionClearCells(CDataTableItem* item) : CDataActionClearBase(IDS_TABLE_CLEAR, item) {}

int CDataActionClearCells::Do()
{
    SaveViewState();
    if (!Capture())
        return 0;
    Apply();
    return 1;
}

int CDataActionClearCells::Redo()
{
    RestoreViewState();
    Apply();
    return 1;
}

CDataActionCutCells::CDataActionCutCells(CDataTableItem* item) : CDataActionClearBase(IDS_TABLE_CUT, item) {}

int CDataActionCutCells::Do()
{
    SaveViewState();
    CDataTableView* view = View();
    if (!view || !view->CopyToClipboard())
        return 0;
    if (!Capture())
        return 0;
    Apply();
    return 1;
}

int CDataActionCutCells::Redo()
{
    RestoreViewState();
    CDataTableView* view = View();
    if (!view || !view->CopyToClipboard())
        return 0;
    Apply();
    return 1;
}
