// Typing into a cell: the new text becomes a cell through the column's type;
// an empty text deletes the cell.
#pragma once

#include "data/CellSnapshot.h"
#include "data/DataAction.h"

#include <string>

class CDataActionCellChange : public CDataAction {
    DECLARE_DYNAMIC(CDataActionCellChange)
public:
    CDataActionCellChange(int row, int column, std::string text, CDataTableItem* item);

    int Do() override;
    int Redo() override;
    int Undo() override;

private:
    int Apply();
    void NotifyChange();

    int m_row;
    int m_column;
    std::string m_text;
    CCellSnapshot m_old;
};
