#include "data/DataActionColumnLock.h"

#include "data/DataColumnType.h"
#include "data/DataTableItem.h"
#include "data/MyData.h"
#include "platform/StringIds.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CDataActionColumnLock, CDataAction)

CDataActionColumnLock::CDataActionColumnLock(BOOL lock, CDataTableItem* item)
    : CDataAction(IDS_TABLE_LOCK_COLUMN, item), m_lock(lock)
{
}

void CDataActionColumnLock::Apply()
{
    CMyData& table = Table();
    for (int column : m_typesAdded)
        if (!table.GetColumnType(column))
            table.SetCell(0, column, CreateColumnType(kTypeNone, column));
    for (const auto& [column, locked] : m_oldLocked)
        if (CDataColumnType* type = table.GetColumnType(column))
            type->SetLocked(m_item, m_lock);
}

int CDataActionColumnLock::Do()
{
    SaveViewState();
    CDataTableView* view = View();
    if (!view)
        return 0;
    CMyData& table = Table();
    m_oldLocked.clear();
    m_typesAdded.clear();
    for (const RECT& r : view->GetSelectedRanges()) {
        const int right = std::min<int>(r.right, table.GetLastColumn() + 1);
        for (int column = std::max<int>(r.left, 0); column <= right; ++column) {
            if (m_oldLocked.count(column))
                continue;
            CDataColumnType* type = table.GetColumnType(column);
            if (!type)
                m_typesAdded.push_back(column);
            m_oldLocked[column] = type ? type->IsLocked() : 0;
        }
    }
    if (m_oldLocked.empty())
        return 0;
    Apply();
    return 1;
}

int CDataActionColumnLock::Redo()
{
    RestoreViewState();
    Apply();
    return 1;
}

int CDataActionColumnLock::Undo()
{
    RestoreViewState();
    SetModified();
    CMyData& table = Table();
    for (const auto& [column, locked] : m_oldLocked)
        if (CDataColumnType* type = table.GetColumnType(column))
            type->SetLocked(m_item, locked);
    // Types that only the lock brought are taken away again, so the table
    // does not keep columns it never had.
    for (int column : m_typesAdded) {
        CDataColumnType* type = table.GetColumnType(column);
        if (type && type->GetTypeNumber() == kTypeNone)
            table.DeleteCell(0, column);
    }
    return 1;
}
