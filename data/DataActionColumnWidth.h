// The column-width and row-height dialogs applied to the selected columns or rows.
#pragma once

#include "data/DataAction.h"

#include <map>

class CDataActionColumnWidth : public CDataAction {
    DECLARE_DYNAMIC(CDataActionColumnWidth)
public:
    // rows false: columns (Column Width); true: rows (Row Height).
    CDataActionColumnWidth(CDataTableItem* item, bool rows = false);

    int Do() override;
    int Redo() override;
    int Undo() override;

private:
    void Apply();

    bool m_rows;
    int m_size = -1;
    bool m_default = false;
    std::map<int, int> m_old; // column or row -> old size, -1 the default
};

class CDataActionRowHeight : public CDataActionColumnWidth {
    DECLARE_DYNAMIC(CDataActionRowHeight)
public:
    explicit CDataActionRowHeight(CDataTableItem* item) : CDataActionColumnWidth(item, true) {}
};
