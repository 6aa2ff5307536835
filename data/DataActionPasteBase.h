// Pasting a block of cells. The paste mode is the view's selection kind at
// the time: 1 a single cell, 2 a block, 4 and 5 whole columns, 7 and 8 whole
// rows. The questions are asked on the first execution only; Redo reuses the
// answers.
#pragma once

#include "data/CellSnapshot.h"
#include "data/DataAction.h"

#include <memory>

class CMyData;

class CDataActionPasteBase : public CDataAction {
    DECLARE_DYNAMIC(CDataActionPasteBase)
public:
    CDataActionPasteBase(UINT descriptionId, CDataTableItem* item);
    ~CDataActionPasteBase() override;

    int Do() override;
    int Redo() override;
    int Undo() override;

protected:
    // The table to paste and its block; null when there is nothing to paste.
    virtual std::unique_ptr<CMyData> ReadSource(RECT& block) = 0;

private:
    int Apply();

    std::unique_ptr<CMyData> m_source;
    RECT m_block{0, 0, -1, -1};  // block of the source to paste
    int m_mode = 0;
    int m_column = 0, m_row = 0; // target of the block's top-left cell
    bool m_insert = false;        // columns or rows were inserted for the paste
    CCellSnapshot m_overwritten;
};

class CDataActionPaste : public CDataActionPasteBase {
    DECLARE_DYNAMIC(CDataActionPaste)
public:
    explicit CDataActionPaste(CDataTableItem* item);

protected:
    std::unique_ptr<CMyData> ReadSource(RECT& block) override;
};
