#include "data/DataActionSort.h"

#include "data/DataTableItem.h"
#include "data/MyData.h"
#include "framework/ArchiveHelpers.h"
#include "platform/StringIds.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <memory>
#include <span>

IMPLEMENT_DYNAMIC(CDataActionSort, CDataAction)

namespace {

// The blank-aware order as unsigned keys: numbers by value (both zeros
// alike), then text, empty rows, blanks and NaN all alike after them.
constexpr std::uint64_t kLastKey = ~std::uint64_t(0);

std::uint64_t SortKey(double v)
{
    if (IsBlank(v) || std::isnan(v))
        return kLastKey;
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(v == 0.0 ? 0.0 : v);
    return bits >> 63 ? ~bits : bits | (std::uint64_t(1) << 63);
}

// A number that SortKey maps to key (the blank for the last key).
double KeyValue(std::uint64_t key)
{
    if (key == kLastKey)
        return BlankValue();
    return std::bit_cast<double>(key >> 63 ? key & ~(std::uint64_t(1) << 63) : ~key);
}

struct Item {
    std::uint64_t key;
    std::int32_t index;
};

// Sorts items by key with an in-place most-significant-digit radix sort
// (the "American flag" sort of McIlroy, Bostic and McIlroy, "Engineering
// radix sort", Computing Systems 6, 1993): each digit of up to 11 bits is
// taken from the highest bit where the keys still differ, the items move
// to their buckets by cycles of swaps, and buckets of a few items go to a
// comparison sort. No second array is needed: a large sort touches no more
// memory than its keys.
void FlagSort(Item* items, std::size_t n)
{
    constexpr std::size_t kSmall = 64;
    auto byKey = [](const Item& a, const Item& b) { return a.key < b.key; };
    if (n <= kSmall) {
        std::sort(items, items + n, byKey);
        return;
    }
    std::uint64_t differ = 0;
    for (std::size_t i = 1; i < n; ++i)
        differ |= items[i].key ^ items[0].key;
    if (!differ)
        return; // all keys equal: nothing to order
    const int high = 63 - std::countl_zero(differ);
    const int low = std::max(0, high - 10);
    const std::size_t buckets = std::size_t(1) << (high - low + 1);
    auto digit = [&](const Item& item) { return std::size_t(item.key >> low) & (buckets - 1); };
    std::size_t heads[2048], ends[2048];
    std::fill(ends, ends + buckets, 0);
    for (std::size_t i = 0; i < n; ++i)
        ++ends[digit(items[i])];
    std::size_t sum = 0;
    for (std::size_t b = 0; b < buckets; ++b) {
        heads[b] = sum;
        sum += ends[b];
        ends[b] = sum;
    }
    for (std::size_t b = 0; b < buckets; ++b) {
        while (heads[b] < ends[b]) {
            Item item = items[heads[b]];
            std::size_t d = digit(item);
            while (d != b) {
                std::swap(item, items[heads[d]++]);
                d = digit(item);
            }
            items[heads[b]++] = item;
        }
    }
    std::size_t from = 0;
    for (std::size_t b = 0; b < buckets; ++b) {
        FlagSort(items + from, ends[b] - from);
        from = ends[b];
    }
}

// Orders the items' indices by key; false when two keys are equal. Without
// equal keys every sort gives the one order, so the answer is that of the
// heap sort, only sooner.
bool RadixOrderDistinct(std::span<Item> items, int* order)
{
    FlagSort(items.data(), items.size());
    for (std::size_t i = 1; i < items.size(); ++i)
        if (items[i].key == items[i - 1].key)
            return false;
    for (std::size_t i = 0; i < items.size(); ++i)
        order[i] = items[i].index;
    return true;
}

} // namespace

std::vector<int> ComputeSortOrder(const CMyData& table, int keyColumn, int last)
{
    const int n = last - kFirstDataRow + 1;
    if (n < 1)
        return {};
    // Text, empty positions, blanks and NaN all sort as blanks.
    const std::size_t count = static_cast<std::size_t>(n);
    const auto keyed = std::make_unique_for_overwrite<Item[]>(count);
    for (std::size_t i = 0; i < count; ++i)
        keyed[i] = {kLastKey, std::int32_t(i)};
    if (const CColData* col = keyColumn <= table.GetLastColumn() ? table.GetColumn(keyColumn) : nullptr)
        col->VisitNumbers(kFirstDataRow, last,
                          [&](int row, double v) { keyed[std::size_t(row - kFirstDataRow)].key = SortKey(v); });
    std::vector<int> order(count);
    // Large columns of distinct numbers (the usual measurements) take the
    // radix road; equal keys keep the heap sort, whose order among them is
    // the one the program has always given.
    constexpr int kRadixFrom = 4096;
    if (n >= kRadixFrom && RadixOrderDistinct({keyed.get(), count}, order.data()))
        return order;
    std::vector<double> values(count);
    for (std::size_t i = 0; i < count; ++i)
        values[std::size_t(keyed[i].index)] = KeyValue(keyed[i].key);
    SortIndexByValueBlanksLast(order.data(), values.data(), n);
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
