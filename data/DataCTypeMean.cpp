#include "data/DataCTypeMean.h"

#include "data/MyData.h"

#include <algorithm>
#include <cstdint>
#include <vector>

IMPLEMENT_SERIAL(CDataCTypeMean, CDataCTypeMultiColumn, VERSIONABLE_SCHEMA | 0)

void CDataCTypeMean::ComputeColumn(CMyData& table, int first, int last)
{
    // The whole column at once: each source's numbers are walked block by
    // block into running sums, taken in the order of the sources as the
    // row-by-row mean takes them, so that every mean is the same to the bit.
    // The rows go in slices small enough for the sums to stay in the cache,
    // each slice written back as one run.
    const std::vector<const CColData*> sources = SourceColumns(table);
    const std::int64_t slice = std::int64_t(SliceRows());
    std::vector<double> sums;
    std::vector<std::uint32_t> counts;
    std::vector<std::uint8_t> present;
    for (std::int64_t from = first; from <= last; from += slice) {
        const int lo = int(from), hi = int(std::min<std::int64_t>(last, from + slice - 1));
        const std::size_t n = std::size_t(hi - lo) + 1;
        sums.assign(n, 0.0);
        counts.assign(n, 0);
        for (const CColData* col : sources)
            col->VisitNumbers(lo, hi, [&](int r, double v) {
                sums[std::size_t(r - lo)] += v;
                ++counts[std::size_t(r - lo)];
            });
        // The means go over the sums; a row without numbers stays empty.
        present.resize(n);
        for (std::size_t i = 0; i < n; ++i) {
            present[i] = counts[i] != 0;
            if (counts[i])
                sums[i] /= double(counts[i]);
        }
        table.SetNumberRun(m_column, lo, sums, present);
    }
}

void CDataCTypeMean::ComputeValue(int row, CDataTableItem* item, BOOL updateViews)
{
    CMyData& table = item->GetTable();
    const int last = LastRowOfSources(table);
    int first = kFirstDataRow, end = last;
    if (row != -1) {
        first = std::max(row, kFirstDataRow);
        end = first <= last ? first : first - 1;
    }
    if (row == -1 && first <= end) {
        ComputeColumn(table, first, end);
        if (updateViews)
            item->UpdateViews(kHintColumnsChanged, m_column + 1, m_column + 1);
        NotifyDependents(item);
        item->SetModified();
        return;
    }
    std::vector<double> numbers;
    for (int r = first; r <= end; ++r) {
        CollectRow(table, r, numbers);
        table.DeleteCell(r, m_column);
        if (!numbers.empty()) {
            double sum = 0.0;
            for (double x : numbers)
                sum += x;
            table.SetNumber(r, m_column, sum / double(numbers.size()));
        }
        if (row != -1 && updateViews)
            item->UpdateViews(kHintCellChanged, m_column + 1, r + 1);
    }
    if (row == -1 && updateViews)
        item->UpdateViews(kHintColumnsChanged, m_column + 1, m_column + 1);
    NotifyDependents(item);
    item->SetModified();
}
