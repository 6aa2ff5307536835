// What the table model needs of the workspace item that owns a data table:
// the table, the modified flag, the item's views and the workspace's
// notification of changed columns. The data-table item of the workspace
// derives from it; tests use a small fake.
#pragma once

#include "platform/Types.h"

#include <vector>

class CMyData;
class CDataTableItem;
class CDataTableView;
class CActionList;

// One changed column of an item: row -1 means the whole column.
struct CDataColumnRef {
    CDataTableItem* item = nullptr;
    int column = -1;
    int row = -1;
    friend bool operator==(const CDataColumnRef&, const CDataColumnRef&) = default;
};

// View hints sent to the item's views.
enum : int {
    kHintCellChanged = 108,    // (column + 1, row + 1)
    kHintColumnsChanged = 113, // (first column + 1, last column + 1)
};

class CDataTableItem {
public:
    virtual ~CDataTableItem() = default;

    virtual CMyData& GetTable() = 0;
    virtual void SetModified(bool modified = true) = 0;
    // Sends a view hint with its two-value record to the item's views.
    virtual void UpdateViews(int hint, int first, int second) {}
    // Hands a "columns changed" notice to every item of the workspace, each of
    // which runs ReceiveColumnChanges; without a workspace, to this item alone.
    virtual void BroadcastColumnChanges(const std::vector<CDataColumnRef>& changes);

    // The item's active data view, which the undo actions work through; null
    // when the item has no open view.
    virtual CDataTableView* GetActiveView() { return nullptr; }
    // The item's own list of undoable edits.
    virtual CActionList* GetActionList() { return nullptr; }

    // Tells every column type of the table that columns were inserted or
    // deleted, so that they follow their own column and their sources.
    void ColumnsInserted(int first, int count);
    void ColumnsDeleted(int first, int count);

    // Builds the notice for one column (row -1: all of it) and broadcasts it.
    void NotifyColumnChanged(int column, int row = -1);

    // Recomputes this item's columns that depend on the changed ones. While a
    // pass runs, notices that its own recomputations send are held back and
    // run afterwards only when the pass did not already cover them, so the
    // walk neither recurses without end nor repeats itself.
    void ReceiveColumnChanges(CDataTableItem* changedItem, const std::vector<CDataColumnRef>& changes);

private:
    bool m_inPass = false;
    std::vector<std::pair<CDataTableItem*, std::vector<CDataColumnRef>>> m_held;
};
