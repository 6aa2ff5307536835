// The structural edits of a table: inserting and deleting whole columns,
// whole rows and blocks of cells. The data view performs them (it keeps its
// per-column and per-row settings in step and knows its limits); an edit the
// view refuses fails and leaves nothing to undo.
#pragma once

#include "data/CellSnapshot.h"
#include "data/DataAction.h"

#include <vector>

class CDataActionInsertColumns : public CDataAction {
    DECLARE_DYNAMIC(CDataActionInsertColumns)
public:
    CDataActionInsertColumns(int first, int count, CDataTableItem* item);
    int Do() override;
    int Redo() override;
    int Undo() override;

private:
    int m_first, m_count;
};

class CDataActionInsertRows : public CDataAction {
    DECLARE_DYNAMIC(CDataActionInsertRows)
public:
    CDataActionInsertRows(int first, int count, CDataTableItem* item);
    int Do() override;
    int Redo() override;
    int Undo() override;

private:
    int m_first, m_count;
};

class CDataActionDeleteColumns : public CDataAction {
    DECLARE_DYNAMIC(CDataActionDeleteColumns)
public:
    CDataActionDeleteColumns(int first, int count, CDataTableItem* item);
    int Do() override;
    int Redo() override;
    int Undo() override;

private:
    int Apply();
    int m_first, m_count;
    std::vector<int> m_widths; // -1: the default width
    CCellSnapshot m_cells;     // rows 0 to each column's last row, formats included
};

class CDataActionDeleteRows : public CDataAction {
    DECLARE_DYNAMIC(CDataActionDeleteRows)
public:
    CDataActionDeleteRows(int first, int count, CDataTableItem* item);
    int Do() override;
    int Redo() override;
    int Undo() override;

private:
    int Apply();
    int m_first, m_count;
    std::vector<int> m_heights; // -1: the default height
    CCellSnapshot m_cells;
};

// Opens an empty block; cells below move down.
class CDataActionInsertCells : public CDataAction {
    DECLARE_DYNAMIC(CDataActionInsertCells)
public:
    CDataActionInsertCells(const RECT& block, CDataTableItem* item);
    int Do() override;
    int Redo() override;
    int Undo() override;

private:
    RECT m_block;
};

// Deletes the first selected block; cells below move up.
class CDataActionDeleteCellRange : public CDataAction {
    DECLARE_DYNAMIC(CDataActionDeleteCellRange)
public:
    explicit CDataActionDeleteCellRange(CDataTableItem* item);
    int Do() override;
    int Redo() override;
    int Undo() override;

private:
    RECT m_block{0, 0, -1, -1};
    CCellSnapshot m_cells;
};
