#include "framework/ItemListCtrl.h"

int CItemListCtrl::InsertRow(CProjectItemBase* item, std::string label, int image, UINT state)
{
    ItemListRow row;
    row.item = item;
    row.label = std::move(label);
    row.image = image;
    row.state = state & LVIS_STATEMASK;
    m_rows.push_back(std::move(row));
    Changed();
    return int(m_rows.size()) - 1;
}

void CItemListCtrl::DeleteRow(int row)
{
    if (row < 0 || row >= GetItemCount())
        return;
    m_rows.erase(m_rows.begin() + row);
    Changed();
}

void CItemListCtrl::DeleteAllRows()
{
    m_rows.clear();
    Changed();
}

void CItemListCtrl::MoveRow(int from, int to)
{
    if (from < 0 || from >= GetItemCount() || to < 0 || to >= GetItemCount() || from == to)
        return;
    ItemListRow moved = std::move(m_rows[std::size_t(from)]);
    m_rows.erase(m_rows.begin() + from);
    m_rows.insert(m_rows.begin() + to, std::move(moved));
    Changed();
}

CProjectItemBase* CItemListCtrl::GetItem(int row) const
{
    return row >= 0 && row < GetItemCount() ? m_rows[std::size_t(row)].item : nullptr;
}

int CItemListCtrl::FindItem(const CProjectItemBase* item) const
{
    for (int i = 0; i < GetItemCount(); ++i)
        if (m_rows[std::size_t(i)].item == item)
            return i;
    return -1;
}

int CItemListCtrl::FindItemByName(std::string_view name) const
{
    for (int i = 0; i < GetItemCount(); ++i)
        if (m_rows[std::size_t(i)].label == name)
            return i;
    return -1;
}

void CItemListCtrl::SetItemText(int row, int column, std::string text)
{
    if (row < 0 || row >= GetItemCount())
        return;
    ItemListRow& r = m_rows[std::size_t(row)];
    (column == 0 ? r.label : column == 1 ? r.typeText : r.timeText) = std::move(text);
    Changed();
}

const std::string& CItemListCtrl::GetItemText(int row, int column) const
{
    const ItemListRow& r = m_rows[std::size_t(row)];
    return column == 0 ? r.label : column == 1 ? r.typeText : r.timeText;
}

void CItemListCtrl::SetItemImage(int row, int image)
{
    if (row < 0 || row >= GetItemCount())
        return;
    m_rows[std::size_t(row)].image = image;
    Changed();
}

UINT CItemListCtrl::GetItemState(int row, UINT mask) const
{
    return row >= 0 && row < GetItemCount() ? m_rows[std::size_t(row)].state & mask : 0;
}

void CItemListCtrl::SetItemState(int row, UINT state, UINT mask)
{
    if (row < 0 || row >= GetItemCount())
        return;
    UINT& s = m_rows[std::size_t(row)].state;
    // One row holds the focus at a time.
    if ((mask & LVIS_FOCUSED) && (state & LVIS_FOCUSED))
        for (auto& other : m_rows)
            other.state &= ~UINT(LVIS_FOCUSED);
    s = (s & ~mask) | (state & mask & LVIS_STATEMASK);
    Changed();
}

int CItemListCtrl::GetSelected(int n) const
{
    for (int i = 0; i < GetItemCount(); ++i)
        if ((m_rows[std::size_t(i)].state & LVIS_SELECTED) && n-- == 0)
            return i;
    return -1;
}

int CItemListCtrl::GetSelectedCount() const
{
    int n = 0;
    for (const auto& r : m_rows)
        n += (r.state & LVIS_SELECTED) ? 1 : 0;
    return n;
}

int CItemListCtrl::GetFocused() const
{
    for (int i = 0; i < GetItemCount(); ++i)
        if (m_rows[std::size_t(i)].state & LVIS_FOCUSED)
            return i;
    return -1;
}

void CItemListCtrl::ClearSelection()
{
    for (auto& r : m_rows)
        r.state &= ~UINT(LVIS_SELECTED);
    Changed();
}

void CItemListCtrl::SelectOnly(int row)
{
    for (auto& r : m_rows)
        r.state &= ~UINT(LVIS_SELECTED | LVIS_FOCUSED);
    if (row >= 0 && row < GetItemCount())
        m_rows[std::size_t(row)].state |= LVIS_SELECTED | LVIS_FOCUSED;
    Changed();
}

POINT CItemListCtrl::GetItemPosition(int row) const
{
    return row >= 0 && row < GetItemCount() ? m_rows[std::size_t(row)].position : POINT{};
}

void CItemListCtrl::SetItemPosition(int row, int x, int y)
{
    if (row < 0 || row >= GetItemCount())
        return;
    if (m_viewMode != ListLargeIcons && m_viewMode != ListSmallIcons)
        return;
    m_rows[std::size_t(row)].position = POINT{x, y};
    Changed();
}

void CItemListCtrl::SetViewMode(int mode)
{
    m_viewMode = mode >= ListLargeIcons && mode <= ListDetails ? mode : ListLargeIcons;
    Changed();
}

void CItemListCtrl::SetAlignment(int alignment)
{
    m_alignment = alignment == 1 ? 1 : 3;
    Changed();
}

void CItemListCtrl::SetAutoArrange(bool on)
{
    m_autoArrange = on;
    Changed();
}

void CItemListCtrl::Changed()
{
    if (m_observer)
        m_observer->OnListChanged();
}
