#include "data/DataActionSort.h"

#include "data/DataTableItem.h"
#include "data/MyData.h"
#include "framework/ArchiveHelpers.h"
#include "platform/StringIds.h"

#include <algorithm>
#include <cstdint>
#include <memory>

IMPLEMENT_DYNAMIC(CDataActionSort, CDataAction)

std::vector<int> ComputeSortOrder(const CMyData& table, int keyColumn, int last)
{
    const int n = last - kFirstDataRow + 1;
    if (n < 1)
        return {};
    // Text, empty positions, blanks and NaN all sort as blanks.
    const std::size_t count = static_cast<std::size_t>(n);
    const auto keyed = std::make_unique_for_overwrite<SSortItem[]>(count);
    const std::uint64_t blank = BlanksLastKey(BlankValue());
    for (std::size_t i = 0; i < count; ++i)
        keyed[i] = {blank, std::int32_t(i)};
    if (const CColData* col = keyColumn <= table.GetLastColumn() ? table.GetColumn(keyColumn) : nullptr)
        col->VisitNumbers(kFirstDataRow, last,
                          [&](int row, double v) { keyed[std::size_t(row - kFirstDataRow)].key = BlanksLastKey(v); });
    std::vector<int> order(count);
    SortIndexByKeys({keyed.get(), count}, order.data());
    return order;
}

CDataActionSort::CDataActionSort(const std::vector<int>& columns, int keyColumn, BOOL descending, CDataTableItem* item)
    : CDataAction(IDS_TABLE_SORT_COLUMNS, item), m_columns(columns), m_keyColumn(keyColumn), m_descending(descending)
{
    // The key column moves with the rows it orders, whether or not it was listed.
    if (std::find(m_columns.begin(), m_columns.end(), keyColumn) == m_columns.end())
        m_columns.push_back(keyColumn);
    std::sort(m_columns.begin(), m_columns.end());
    m_columns.erase(std::unique(m_columns.begin(), m_columns.end()), m_columns.end());
}

int CDataActionSort::Do()
{
    SaveViewState();
    CMyData& table = Table();
    m_last = -1;
    for (int c : m_columns)
        m_last = std::max(m_last, table.GetLastRow(c));
    if (m_last < kFirstDataRow || m_keyColumn < 0 || table.GetLastRow(m_keyColumn) < kFirstDataRow)
        return 0;
    std::vector<int> order = ComputeSortOrder(table, m_keyColumn, m_last);
    const int n = int(order.size());
    m_newRows.assign(std::size_t(n), 0);
    for (int k = 0; k < n; ++k)
        m_newRows[std::size_t(order[std::size_t(k)])] = m_descending ? m_last - k : k + kFirstDataRow;
    for (int c : m_columns)
        if (CColData* col = table.GetColumn(c))
            col->PermuteRows(kFirstDataRow, m_newRows);
    SetModified();
    if (CDataTableView* view = View()) {
        view->SelectColumns(m_columns);
        view->Repaint();
    }
    for (int c : m_columns)
        m_item->NotifyColumnChanged(c, -1);
    return 1;
}

int CDataActionSort::Redo()
{
    RestoreViewState();
    return Do();
}

int CDataActionSort::Undo()
{
    RestoreViewState();
    CMyData& table = Table();
    // The inverse of the order applied: each new row goes back to its old place.
    std::vector<int> back(m_newRows.size());
    for (std::size_t i = 0; i < m_newRows.size(); ++i)
        back[std::size_t(m_newRows[i] - kFirstDataRow)] = int(i) + kFirstDataRow;
    for (int c : m_columns)
        if (CColData* col = table.GetColumn(c))
            col->PermuteRows(kFirstDataRow, back);
    SetModified();
    if (CDataTableView* view = View())
        view->Repaint();
    for (int c : m_columns)
        m_item->NotifyColumnChanged(c, -1);
    return 1;
}
