#include "data/SortChoice.h"

#include "data/DataColumnType.h"
#include "data/MyData.h"
#include "platform/StringIds.h"

#include <algorithm>

namespace {
// A selection of whole rows reaches the grid's last column; only columns
// that can exist in a table are looked at.
constexpr int kMaxColumnsLooked = 100000;
} // namespace

bool IsSortableColumn(const CMyData& table, int column)
{
    CDataColumnType* type = table.GetColumnType(column);
    return !type || type->IsEditable();
}

std::vector<int> SortColumnsFromSelection(const CMyData& table, const std::vector<RECT>& gridRanges, int fixedColumns)
{
    std::vector<int> columns;
    for (const RECT& r : gridRanges) {
        if (r.left < fixedColumns)
            continue;
        const int last = std::min<int>(r.right, r.left + kMaxColumnsLooked);
        for (int g = r.left; g <= last; ++g) {
            const int column = g - fixedColumns;
            if (IsSortableColumn(table, column) && std::find(columns.begin(), columns.end(), column) == columns.end())
                columns.push_back(column);
        }
    }
    return columns;
}

UINT CheckSortChoice(int indexColumn, const std::vector<int>& columns)
{
    if (indexColumn < 0)
        return IDS_NO_INDEX_COLUMN;
    if (columns.empty())
        return IDS_NO_COLUMNS_SELECTED;
    return 0;
}
