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
    const std::size_t n = std::size_t(last - first) + 1;
    std::vector<double> sums(n, 0.0);
    std::vector<std::uint32_t> counts(n, 0);
    for (int source : m_sources) {
        if (source > table.GetLastColumn())
            continue;
        if (const CColData* col = table.GetColumn(source))
            col->VisitNumbers(first, last, [&](int r, double v) {
                sums[std::size_t(r - first)] += v;
                ++counts[std::size_t(r - first)];
            });
    }
    table.DeleteCells(m_column, first, last);
    CColData* column = nullptr;
    for (std::size_t i = 0; i < n; ++i) {
        if (!counts[i])
            continue;
        const int row = first + int(i);
        const double mean = sums[i] / double(counts[i]);
        if (column) {
            column->SetNumber(row, mean);
        } else {
            table.SetNumber(row, m_column, mean); // makes the column's record if it had none
            column = table.GetColumn(m_column);
        }
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
