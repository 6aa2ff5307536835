// What the table's undo actions need of the data view that shows the table:
// its selection and scroll state, its structural edits (which also move its
// per-column and per-row settings), widths, heights and the current cell.
// The grid's data view implements it; tests use a fake.
#pragma once

#include "platform/Types.h"

#include <memory>
#include <vector>

class CMyData;

// The view state an action saves when it is done and puts back on undo and
// redo: selected blocks, a second list kept with them, the current cell, two
// further rectangles of the selection state and the grid's row and column counts.
struct CDataViewState {
    std::vector<RECT> selection;
    std::vector<RECT> extra;
    POINT current{0, 0};
    RECT anchor{0, 0, 0, 0};
    RECT last{0, 0, 0, 0};
    int rows = 0;
    int columns = 0;
};

// The look of a table that its preferences set: two values of the grid
// format, the item's four text colours, the font and one more grid value.
struct CDataGridPrefs {
    int first = 0;
    int second = 0;
    COLORREF colours[4] = {0, 0, 0, 0};
    LOGFONT font{};
    int last = 0;
};

class CDataTableView {
public:
    virtual ~CDataTableView() = default;

    virtual CDataViewState GetViewState() const = 0;
    // Puts the state back, sets the grid's counts and repaints.
    virtual void SetViewState(const CDataViewState& state) = 0;
    // Makes the grid at least 20 rows by 10 columns and as large as the table.
    virtual void EnsureGridSize() = 0;
    // The selection classification of the view (1 a single cell, 2 a block,
    // 4 and 5 columns, 7 and 8 rows, ...).
    virtual int GetSelectionKind() const = 0;
    // The selected blocks in table coordinates: left column, top row, right
    // column, bottom row, inclusive.
    virtual std::vector<RECT> GetSelectedRanges() const = 0;

    // Structural edits of table and view together; false when the view refuses
    // (limits, after telling the user).
    virtual bool InsertColumns(int first, int count, bool refresh) = 0;
    virtual bool DeleteColumns(int first, int count, bool refresh) = 0;
    virtual bool InsertRows(int first, int count, bool refresh) = 0;
    virtual bool DeleteRows(int first, int count, bool refresh) = 0;
    // Blocks in table coordinates; cells below move up or down.
    virtual bool InsertCells(const RECT& block) = 0;
    virtual bool DeleteCells(const RECT& block) = 0;

    // Widths and heights in logical units; -1 sets the default of the moment.
    virtual int GetColumnWidth(int column) const = 0;
    virtual bool IsDefaultColumnWidth(int column) const = 0;
    virtual void SetColumnWidth(int column, int width) = 0;
    virtual int GetRowHeight(int row) const = 0;
    virtual bool IsDefaultRowHeight(int row) const = 0;
    virtual void SetRowHeight(int row, int height) = 0;
    virtual void SizeColumnToFit(int column, bool refresh) = 0;
    // The column-width (or row-height) dialog: offers width (-1 when the
    // selected columns differ) and returns false on Cancel; on OK width is the
    // chosen one and useDefault tells whether the default was chosen.
    virtual bool AskColumnWidth(int& width, bool& useDefault) = 0;
    virtual bool AskRowHeight(int& height, bool& useDefault) = 0;

    virtual void SetCurrentCell(int column, int row) = 0;
    // Selects whole columns, the first clearing the old selection.
    virtual void SelectColumns(const std::vector<int>& columns) = 0;
    // Copies the selection to the clipboard as text; false when that failed.
    virtual bool CopyToClipboard() = 0;
    // The table on the clipboard and the block of it to paste (table
    // coordinates); null when there is none or the clipboard cannot be opened.
    virtual std::unique_ptr<CMyData> ReadClipboardTable(RECT& block) = 0;
    // Asks whether pasted columns (or rows) go in as new ones: 0 cancel,
    // 1 insert, 2 overwrite the selected ones.
    virtual int AskPasteInsert(bool columns) = 0;
    // Writes block of source into the view's table with its top-left cell at
    // (column, row); the source stays the caller's.
    virtual void FillFromSource(const CMyData& source, const RECT& block, int column, int row) = 0;
    // Reads and writes the preferences of the item and its grid; writing
    // rebuilds the grid's fonts and repaints.
    virtual CDataGridPrefs GetGridPrefs() const = 0;
    virtual void SetGridPrefs(const CDataGridPrefs& prefs) = 0;
    virtual void RedrawCell(int column, int row) = 0;
    virtual void Repaint() = 0;
};
