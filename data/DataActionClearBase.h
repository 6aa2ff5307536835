// Emptying the selected cells (Clear), or copying them to the clipboard
// first (Cut). Undo puts the cells back with their columns' formats.
#pragma once

#include "data/CellSnapshot.h"
#include "data/DataAction.h"

#include <vector>

class CDataActionClearBase : public CDataAction {
    DECLARE_DYNAMIC(CDataActionClearBase)
public:
    CDataActionClearBase(UINT descriptionId, CDataTableItem* item) : CDataAction(descriptionId, item) {}

    int Undo() override;

protected:
    // Keeps the selected positions and their cells.
    bool Capture();
    void Apply();

    std::vector<POINT> m_positions; // x column, y row
    CCellSnapshot m_cells;
};

class CDataActionClearCells : public CDataActionClearBase {
    DECLARE_DYNAMIC(CDataActionClearCells)
public:
    explicit CDataActionClearCells(CDataTableItem* item);
    int Do() override;
    int Redo() override;
};

class CDataActionCutCells : public CDataActionClearBase {
    DECLARE_DYNAMIC(CDataActionCutCells)
public:
    explicit CDataActionCutCells(CDataTableItem* item);
    int Do() override;
    int Redo() override;
};
