// Pasting a block of cells. The paste mode is the view's selection kind at
// the time: 1 a single cell, 2 a block, 4 and 5 whole columns, 7 and 8 whole
// rows. The questions are asked on the first execution only; Redo reuses the
// answers.
#pragma once

#include "data/CellSnapshot.h"
#include "data/DataAction.h"

#include <memory>
#include <set>

class CMyData;

class CDataActionPasteBase : public CDataAction {
    DECLARE_DYNAMIC(CDataActionPasteBase)
public:
    CDataActionPasteBase(UINT descriptionId, CDataTableItem* item);
    ~CDataActionPasteBase() override;

    int Do() override;
    int Redo() override;
    int Undo() override;

    // Whether a block (table rows and columns from 0) lies within a table;
    // else the user is told, and false.
    static bool BlockFitsTable(const RECT& block);

protected:
    // The table to paste and its block; null when there is nothing to paste.
    virtual std::unique_ptr<CMyData> ReadSource(RECT& block) = 0;

private:
    int Apply();
    // Trims a block that reaches beyond the table at the target once the user
    // agrees; false when the paste is to stop.
    bool FitBlockAtTarget();
    // Table columns of the block that hold a record.
    std::set<int> BlockColumns() const;
    void NotifyBlockColumns(std::set<int> columns);

    std::unique_ptr<CMyData> m_source;
    RECT m_block{0, 0, -1, -1};  // block of the source to paste
    int m_mode = 0;
    int m_column = 0, m_row = 0; // target of the block's top-left cell
    bool m_insert = false;        // columns or rows were inserted for the paste
    CCellSnapshot m_overwritten;
    // The type row above the block: a paste sets x-pair types there even when
    // the block starts lower down.
    CCellSnapshot m_typeRow;
    bool m_typeRowKept = false;
};

class CDataActionPaste : public CDataActionPasteBase {
    DECLARE_DYNAMIC(CDataActionPaste)
public:
    explicit CDataActionPaste(CDataTableItem* item);

protected:
    std::unique_ptr<CMyData> ReadSource(RECT& block) override;
};
