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

std::size_t CDataCTypeMultiColumnBase::SliceRows() const
{
    constexpr std::size_t kSliceNumbers = 32768;
    return std::max<std::size_t>(64, kSliceNumbers / std::max<std::size_t>(1, m_sources.size()));
}

std::vector<const CColData*> CDataCTypeMultiColumnBase::SourceColumns(const CMyData& table) const
{
    std::vector<const CColData*> columns;
    for (int source : m_sources)
        if (const CColData* col = source <= table.GetLastColumn() ? table.GetColumn(source) : nullptr)
            columns.push_back(col);
    return columns;
}

void CDataCTypeMultiColumnBase::CollectSlice(const CMyData& table, int lo, int hi, std::vector<double>& numbers,
                                             std::vector<std::uint32_t>& counts) const
{
    const std::size_t n = std::size_t(hi - lo) + 1, stride = m_sources.size();
    numbers.resize(n * stride);
    counts.assign(n, 0);
    for (const CColData* col : SourceColumns(table))
        col->VisitNumbers(lo, hi, [&](int r, double v) {
            const std::size_t i = std::size_t(r - lo);
            numbers[i * stride + counts[i]++] = v;
        });
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
    const int last = LastRowOfSources(table);
    std::vector<double> numbers;
    if (row != -1) {
        ComputeRows(row, item, updateViews, last, [&](int r) {
            CollectRow(table, r, numbers);
            table.DeleteCell(r, m_column);
            double value = 0.0;
            if (valueOf(numbers, value))
                table.SetNumber(r, m_column, value);
        });
        return;
    }
    // The whole column: slice by slice, each written back as one run.
    const std::size_t stride = m_sources.size();
    const std::int64_t slice = std::int64_t(SliceRows());
    std::vector<double> sliceNumbers, values;
    std::vector<std::uint32_t> counts;
    std::vector<std::uint8_t> present;
    for (std::int64_t from = kFirstDataRow; from <= last; from += slice) {
        const int lo = int(from), hi = int(std::min<std::int64_t>(last, from + slice - 1));
        CollectSlice(table, lo, hi, sliceNumbers, counts);
        const std::size_t n = counts.size();
        values.assign(n, 0.0);
        present.assign(n, 0);
        for (std::size_t i = 0; i < n; ++i) {
            const double* x = sliceNumbers.data() + i * stride;
            numbers.assign(x, x + counts[i]);
            present[i] = valueOf(numbers, values[i]) ? 1 : 0;
        }
        table.SetNumberRun(m_column, lo, values, present);
    }
    FinishCompute(item, updateViews);
}
