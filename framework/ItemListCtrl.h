// The workspace list: one row per item with its label, type and date texts,
// icon, state bits and icon position, plus the list's view settings. It is a
// plain model: the list bar draws it and edits it, the document and the
// undoable workspace actions read and change it without a window.
#pragma once

#include "platform/Types.h"

#include <string>
#include <string_view>
#include <vector>

class CProjectItemBase;

// Row state bits, with the values list controls have always used.
enum : UINT {
    LVIS_FOCUSED = 0x0001,
    LVIS_SELECTED = 0x0002,
    LVIS_CUT = 0x0004,
    LVIS_DROPHILITED = 0x0008,
    LVIS_STATEMASK = 0x000F,
};

enum ListViewMode : int { ListLargeIcons = 0, ListSmallIcons = 1, ListList = 2, ListDetails = 3 };

struct ItemListRow {
    CProjectItemBase* item = nullptr;
    std::string label;    // column 0: the item's name
    std::string typeText; // column 1
    std::string timeText; // column 2
    int image = 0;
    UINT state = 0;
    POINT position;
};

// Told when rows or settings change, so that a window can follow.
class CItemListObserver {
public:
    virtual ~CItemListObserver() = default;
    virtual void OnListChanged() = 0;
};

class CItemListCtrl {
public:
    int GetItemCount() const { return int(m_rows.size()); }
    const ItemListRow& Row(int row) const { return m_rows[std::size_t(row)]; }

    // Appends a row for the item; returns its index.
    int InsertRow(CProjectItemBase* item, std::string label, int image, UINT state = 0);
    void DeleteRow(int row);
    void DeleteAllRows();
    // Moves a row to another index (the rest keep their order).
    void MoveRow(int from, int to);

    CProjectItemBase* GetItem(int row) const;
    // Row whose data is the item, from the top; -1 when none.
    int FindItem(const CProjectItemBase* item) const;
    // Row whose label equals the name exactly, from the top; -1 when none.
    int FindItemByName(std::string_view name) const;

    void SetItemText(int row, int column, std::string text);
    const std::string& GetItemText(int row, int column) const;
    void SetItemImage(int row, int image);
    UINT GetItemState(int row, UINT mask = LVIS_STATEMASK) const;
    void SetItemState(int row, UINT state, UINT mask);

    // Row of the n-th selected row (n from 0), -1 when none.
    int GetSelected(int n) const;
    int GetSelectedCount() const;
    int GetFocused() const;
    void ClearSelection();
    // Makes the row the only selected and focused one.
    void SelectOnly(int row);

    POINT GetItemPosition(int row) const;
    // Places an icon; does nothing outside the two icon views.
    void SetItemPosition(int row, int x, int y);

    int GetViewMode() const { return m_viewMode; }
    // An unknown mode sets large icons.
    void SetViewMode(int mode);
    int GetAlignment() const { return m_alignment; }
    // 1 aligns to the left; any other value to the top (3).
    void SetAlignment(int alignment);
    bool GetAutoArrange() const { return m_autoArrange; }
    void SetAutoArrange(bool on);

    void SetObserver(CItemListObserver* observer) { m_observer = observer; }

private:
    void Changed();
    std::vector<ItemListRow> m_rows;
    int m_viewMode = ListLargeIcons;
    int m_alignment = 3;
    bool m_autoArrange = true;
    CItemListObserver* m_observer = nullptr;
};
