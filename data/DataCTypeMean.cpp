#include "data/DataCTypeMean.h"

#include "data/MyData.h"

#include <algorithm>

IMPLEMENT_SERIAL(CDataCTypeMean, CDataCTypeMultiColumn, VERSIONABLE_SCHEMA | 0)

void CDataCTypeMean::ComputeValue(int row, CDataTableItem* item, BOOL updateViews)
{
    CMyData& table = item->GetTable();
    const int last = LastRowOfSources(table);
    int first = kFirstDataRow, end = last;
    if (row != -1) {
        first = std::max(row, kFirstDataRow);
        end = first <= last ? first : first - 1;
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
