#include "data/DataActionColChangeToFit.h"

#include "data/DataTableItem.h"
#include "data/MyData.h"
#include "platform/StringIds.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CDataActionColChangeToFit, CDataAction)

CDataActionColChangeToFit::CDataActionColChangeToFit(int allColumns, CDataTableItem* item)
    : CDataAction(IDS_TABLE_SIZE_COLUMN_TO_FIT, item), m_allColumns(allColumns)
{
}

void CDataActionColChangeToFit::Apply()
{
    CDataTableView* view = View();
    for (const auto& [column, width] : m_oldWidths)
        view->SizeColumnToFit(column, false);
    view->Repaint();
    SetModified();
}

int CDataActionColChangeToFit::Do()
{
    SaveViewState();
    CDataTableView* view = View();
    if (!view)
        return 0;
    const int last = Table().GetLastColumn();
    m_oldWidths.clear();
    auto keep = [&](int c) { m_oldWidths.emplace(c, view->IsDefaultColumnWidth(c) ? -1 : view->GetColumnWidth(c)); };
    if (m_allColumns) {
        for (int c = 0; c <= last; ++c)
            keep(c);
    } else {
        // A selection may reach far past the table: only columns that can hold text count.
        for (const RECT& r : view->GetSelectedRanges())
            for (int c = std::max<int>(r.left, 0); c <= std::min<int>(r.right, last); ++c)
                keep(c);
    }
    if (m_oldWidths.empty())
        return 0;
    Apply();
    return 1;
}

int CDataActionColChangeToFit::Redo()
{
    RestoreViewState();
    if (!View())
        return 0;
    Apply();
    return 1;
}

int CDataActionColChangeToFit::Undo()
{
    RestoreViewState();
    CDataTableView* view = View();
    if (!view)
        return 0;
    SetModified();
    for (const auto& [column, width] : m_oldWidths)
        view->SetColumnWidth(column, width);
    view->Repaint();
    return 1;
}
