#include "data/DataCTypeOneSource.h"

#include "data/DataString.h"
#include "data/MyData.h"
#include "framework/UpdateNotification.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CDataCTypeOneSource, CDataColumnType)

UINT CDataCTypeOneSource::SetSource(CDataTableItem* item, int source)
{
    if (UINT message = CheckSourceColumn(item, m_column, source))
        return message;
    m_source = source;
    return 0;
}

void CDataCTypeOneSource::ClearOwnRows(CDataTableItem* item)
{
    CMyData& table = item->GetTable();
    const int last = table.GetLastRow(m_column);
    if (last >= kFirstDataRow)
        table.DeleteCells(m_column, kFirstDataRow, last);
}

bool CDataCTypeOneSource::ClearOwnRowsForSource(CDataTableItem* item, BOOL updateViews)
{
    ClearOwnRows(item);
    if (m_source >= 0)
        return true;
    item->GetTable().SetCell(kFirstDataRow, m_column, new CDataString(LoadString(IDS_NONE_SELECTED)));
    FinishCompute(item, updateViews);
    return false;
}

bool CDataCTypeOneSource::IsSourceNameChange(CDataTableItem* item, CDataTableItem* subject,
                                             const CUpdateNotification& note) const
{
    if (note.kind != UN_NAME_ROW_CHANGED || !note.columns || subject != item)
        return false;
    for (const CColumnRef& ref : *note.columns)
        if (ref.column == m_source || ref.column == -1)
            return true;
    return false;
}

int CDataCTypeOneSource::DependsOn(CDataTableItem* item, int column, CDataTableItem* ownItem,
                                   std::set<int>& walked) const
{
    if (item != ownItem || m_source < 0)
        return 0;
    if (m_source == column)
        return 1;
    walked.insert(m_column);
    return SourceDependsOn(m_source, item, column, ownItem, walked);
}

void CDataCTypeOneSource::PropagateChange(CDataTableItem* changedItem, CDataTableItem* ownItem, int,
                                          std::vector<CDataColumnRef>& changes, std::map<int, int>& visited)
{
    if (changedItem != ownItem || visited.count(m_column))
        return;
    visited[m_column] = 1;
    std::vector<int> rows;
    const std::size_t n = changes.size();
    for (std::size_t i = 0; i < n; ++i) {
        const CDataColumnRef ref = changes[i];
        if (!DependsOn(ref.item, ref.column, ownItem))
            continue;
        const int row = RecomputesRows() ? ref.row : -1;
        const CDataColumnRef mine{ownItem, m_column, row};
        // A column that feeds itself through a damaged cycle would otherwise add itself without end.
        if (std::find(changes.begin(), changes.end(), mine) != changes.end())
            continue;
        changes.push_back(mine);
        rows.push_back(row);
        if (row == -1)
            break;
    }
    if (rows.empty())
        return;
    if (CDataColumnType* type = ownItem->GetTable().GetColumnType(m_source))
        type->PropagateChange(changedItem, ownItem, m_source, changes, visited);
    if (std::find(rows.begin(), rows.end(), -1) != rows.end())
        ComputeValue(-1, ownItem, TRUE);
    else
        for (int row : rows)
            ComputeValue(row, ownItem, TRUE);
}

void CDataCTypeOneSource::OnColumnsDeleted(CDataTableItem* item, CDataTableItem* ownItem, int first, int count)
{
    CDataColumnType::OnColumnsDeleted(item, ownItem, first, count);
    if (item != ownItem || m_source < 0)
        return;
    if (m_source >= first + count) {
        m_source -= count;
    } else if (m_source >= first) {
        m_source = -1;
        ComputeValue(-1, ownItem, FALSE);
    }
}

void CDataCTypeOneSource::OnColumnsInserted(CDataTableItem* item, CDataTableItem* ownItem, int first, int count)
{
    CDataColumnType::OnColumnsInserted(item, ownItem, first, count);
    if (item == ownItem && m_source >= first)
        m_source += count;
}
