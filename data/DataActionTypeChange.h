// Choosing a column's type (or editing its settings again): the new type's
// settings are asked for, it computes the column, and undo puts back the old
// type with the cells the new one overwrote.
#pragma once

#include "data/CellSnapshot.h"
#include "data/DataAction.h"

#include <memory>
#include <string>

class CDataColumnType;

class CDataActionTypeChange : public CDataAction {
    DECLARE_DYNAMIC(CDataActionTypeChange)
public:
    // The new type number as text ("%d"; an empty text is 0).
    CDataActionTypeChange(int column, const std::string& typeText, CDataTableItem* item);
    // Keeps the current type and edits its settings.
    CDataActionTypeChange(int column, CDataTableItem* item);
    ~CDataActionTypeChange() override;

    int Do() override;
    int Redo() override;
    int Undo() override;

private:
    void SetType(CDataColumnType* type, bool store);
    void PutBackCells(const CCellSnapshot& cells);

    int m_column;
    int m_newType;
    std::unique_ptr<CDataColumnType> m_oldType;
    std::unique_ptr<CDataColumnType> m_newTypeClone;
    CCellSnapshot m_oldCells; // rows 2 to the column's last row before the change
};
