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
    if (changedItem != ownItem || visited.count(m_column))
        return;
    visited[m_column] = 1;
    std::vector<CDataColumnRef> remembered;
    // The list grows while it is walked: index, not iterators.
    for (std::size_t i = 0; i < changes.size(); ++i) {
        CDataColumnRef ref = changes[i];
        CDataColumnRef mine{ownItem, m_column, ref.row};
        // A column that feeds itself through a damaged cycle would otherwise
        // add itself without end.
        if (std::find(changes.begin(), changes.end(), mine) != changes.end())
            continue;
        if (DependsOn(ref.item, ref.column, ownItem)) {
            remembered.push_back(mine);
            changes.push_back(mine);
        }
    }
    if (remembered.empty())
        return;
    CMyData& table = ownItem->GetTable();
    for (int source : m_sources)
        if (CDataColumnType* type = table.GetColumnType(source))
            type->PropagateChange(changedItem, ownItem, source, changes, visited);
    for (const CDataColumnRef& ref : remembered)
        ComputeValue(ref.row, ownItem, TRUE);
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
    if (ar.IsStoring()) {
        ar.WriteCount(std::uint32_t(m_sources.size()));
        for (int source : m_sources)
            ar << std::int32_t(source);
        return;
    }
    std::uint32_t count = ar.ReadCount();
    ar.CheckRemaining(count, 4);
    m_sources.resize(count);
    for (int& source : m_sources) {
        std::int32_t v = 0;
        ar >> v;
        source = v;
    }
}

int CDataCTypeMultiColumn::EditSettings(CDataTableItem* item)
{
    if (CColumnSettingsEditor* editor = GetColumnSettingsEditor())
        if (!editor->Edit(*this, item))
            return 0;
    ComputeValue(-1, item, TRUE);
    return 1;
}

void CDataCTypeMultiColumn::ComputeStatistic(int row, CDataTableItem* item, BOOL updateViews,
                                             const std::function<bool(const std::vector<double>&, double&)>& valueOf)
{
    CMyData& table = item->GetTable();
    const int last = LastRowOfSources(table);
    int first = kFirstDataRow, end = last;
    if (row != -1) {
        first = row;
        end = row >= kFirstDataRow && row <= last ? row : row - 1;
    }
    std::vector<double> numbers;
    for (int r = first; r <= end; ++r) {
        CollectRow(table, r, numbers);
        table.DeleteCell(r, m_column);
        double value = 0.0;
        if (valueOf(numbers, value))
            table.SetNumber(r, m_column, value);
    }
    if (updateViews) {
        if (row == -1)
            item->UpdateViews(kHintColumnsChanged, m_column + 1, m_column + 1);
        else if (first <= end)
            item->UpdateViews(kHintCellChanged, m_column + 1, row + 1);
    }
    NotifyDependents(item);
    item->SetModified();
}
