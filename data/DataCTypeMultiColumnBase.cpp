#include "data/DataCTypeMultiColumnBase.h"

#include "data/MyData.h"
#include "framework/ArchiveHelpers.h"

#include <algorithm>

IMPLEMENT_SERIAL(CDataCTypeMultiColumnBase, CDataColumnType, VERSIONABLE_SCHEMA | 0)
IMPLEMENT_SERIAL(CDataCTypeMultiColumn, CDataCTypeMultiColumnBase, VERSIONABLE_SCHEMA | 0)

int CDataCTypeMultiColumnBase::DependsOn(CDataTableItem* item, int column, CDataTableItem* ownItem,
                                         std::set<int>& walked) const
{
    if (item != ownItem || m_sources.empty())
        return 0;
    if (std::find(m_sources.begin(), m_sources.end(), column) != m_sources.end())
        return 1;
    walked.insert(m_column);
    for (int source : m_sources)
        if (SourceDependsOn(source, item, column, ownItem, walked))
            return 1;
    return 0;
}

void CDataCTypeMultiColumnBase::PropagateChange(CDataTableItem* changedItem, CDataTableItem* ownItem, int,
                                                std::vector<CDataColumnRef>& changes, std::map<int, int>& visited)
{
    PropagateThroughSources(changedItem, ownItem, m_sources, changes, visited);
}

void CDataCTypeMultiColumnBase::OnColumnsDeleted(CDataTableItem* item, CDataTableItem* ownItem, int first, int count)
{
    CDataColumnType::OnColumnsDeleted(item, ownItem, first, count);
    if (item != ownItem)
        return;
    bool removed = false;
    std::vector<int> kept;
    for (int source : m_sources) {
        if (source >= first + count)
            kept.push_back(source - count);
        else if (source >= first)
            removed = true;
        else
            kept.push_back(source);
    }
    m_sources = std::move(kept);
    if (removed)
        ComputeValue(-1, ownItem, FALSE);
}

void CDataCTypeMultiColumnBase::OnColumnsInserted(CDataTableItem* item, CDataTableItem* ownItem, int first, int count)
{
    CDataColumnType::OnColumnsInserted(item, ownItem, first, count);
    if (item != ownItem)
        return;
    for (int& source : m_sources)
        if (source >= first)
            source += count;
}

UINT CDataCTypeMultiColumnBase::SetSourceColumns(CDataTableItem* item, const std::vector<int>& sources)
{
    for (int source : sources)
        if (UINT message = CheckSourceColumn(item, m_column, source))
            return message;
    m_sources = sources;
    return 0;
}

int CDataCTypeMultiColumnBase::LastRowOfSources(const CMyData& table) const
{
    int last = table.GetLastRow(m_column);
    for (int source : m_sources)
        last = std::max(last, table.GetLastRow(source));
    return last;
}

void CDataCTypeMultiColumnBase::CollectRow(const CMyData& table, int row, std::vector<double>& numbers) const
{
    numbers.clear();
    for (int source : m_sources) {
        double v = 0.0;
        if (table.GetNumber(row, source, v))
            numbers.push_back(v);
    }
}

void CDataCTypeMultiColumnBase::Serialize(CArchive& ar)
{
    CDataColumnType::Serialize(ar);
    SerializeVersion(ar, 0);
    if (ar.IsStoring())
        ArchiveStoreInts(ar, m_sources);
    else
        ArchiveLoadInts(ar, m_sources);
}

int CDataCTypeMultiColumn::EditSettings(CDataTableItem* item) { return EditThenRecompute(item); }

void CDataCTypeMultiColumn::ComputeStatistic(int row, CDataTableItem* item, BOOL updateViews,
                                             const std::function<bool(const std::vector<double>&, double&)>& valueOf)
{
    CMyData& table = item->GetTable();
    std::vector<double> numbers;
    ComputeRows(row, item, updateViews, LastRowOfSources(table), [&](int r) {
        CollectRow(table, r, numbers);
        table.DeleteCell(r, m_column);
        double value = 0.0;
        if (valueOf(numbers, value))
            table.SetNumber(r, m_column, value);
    });
}
