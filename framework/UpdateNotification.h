// The record that tells the workspace's items and views what happened to an
// item. The sender builds it on its own stack and hands it to every item and
// then, with hint UPDATE_HINT_NOTIFICATION, to every view; no receiver keeps it.
#pragma once

#include "platform/Object.h"

#include <string>
#include <vector>

class CMXProjectItem;

// The hint value with which a CUpdateNotification travels to the views.
constexpr int UPDATE_HINT_NOTIFICATION = 1000;

// What happened. The values are shared by every sender and receiver.
enum UpdateNotificationKind : int {
    UN_ITEM_RENAMED = 0,        // item, oldName, newName
    UN_CELLS_CHANGED = 1,       // item, columns: values in data rows
    UN_NAME_ROW_CHANGED = 2,    // item, columns: the column-name row (table row 1)
    UN_ITEM_REMOVING = 3,       // oldName: the item about to be removed
    UN_ITEMS_CHANGED = 4,       // state 1: items added, pasted, read or moved
    UN_COLUMNS_INSERTED = 5,    // item, first, count
    UN_COLUMNS_DELETED = 6,     // item, first, count
    UN_CALC_STATE = 7,          // item (the fit), state: UN_STATE_*
    UN_ITEM_CHANGED = 8,        // item, state 1
    UN_WORKSPACE_SAVED = 9,     // state 1
    UN_EQUATION_CHANGED = 10,   // item, state 1
    UN_TYPE_ROW_CHANGED = 11,   // item, columns: the column-type row (table row 0)
    UN_CALC_PROGRESS = 12,      // item (the fit), state 1
    UN_ROWS_INSERTED = 13,      // item, first, count
    UN_ROWS_DELETED = 14,       // item, first, count
    UN_BLOCK_CHANGED = 15,      // item, left, top, right, bottom
    UN_BLOCK_DELETED = 16,      // item, left, top, right, bottom
    UN_TRANSFORM_CHANGED = 17,  // item, state 1
};

// The states of a fit's calculation (kind UN_CALC_STATE).
enum UpdateNotificationState : int {
    UN_STATE_STARTED = 0,
    UN_STATE_OVER = 1,          // also: results reset, and the state of the other kinds that set one
    UN_STATE_NEW_RESULTS = 2,
};

// A changed column or cell of a data item, in table coordinates.
struct CColumnRef {
    CMXProjectItem* item = nullptr;
    int column = 0; // 0-based
    int row = -1;   // 0-based table row, or -1 for the whole column
};

class CUpdateNotification : public CObject {
    DECLARE_DYNAMIC(CUpdateNotification)
public:
    CUpdateNotification() = default;
    // Inserted or deleted rows or columns.
    CUpdateNotification(int kind, int first, int count, CMXProjectItem* item);
    // Changed cells of the listed columns.
    CUpdateNotification(int kind, std::vector<CColumnRef>* columns, CMXProjectItem* item);

    // A sender sets the kind and only the fields that kind uses. The rest start
    // out as -1 (no kind), null and 0 so that a stray read is harmless.
    int kind = -1;
    CMXProjectItem* item = nullptr; // not owned
    std::string oldName;
    std::string newName;
    int first = 0;
    int count = 0;
    int state = 0;
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    std::vector<CColumnRef>* columns = nullptr; // not owned
};
