// Clones of table cells at their positions, with the number formats of their
// columns, so that an undo puts back exactly what an edit took away (a
// column emptied by an edit loses its record and with it its format).
#pragma once

#include "data/Data.h"
#include "data/DataFormat.h"

#include <map>
#include <memory>
#include <vector>

class CMyData;

class CCellSnapshot {
public:
    // Keeps every association of rows first..last of column (and its format).
    void CaptureRows(const CMyData& table, int column, int firstRow, int lastRow);
    void CaptureCell(const CMyData& table, int row, int column);
    // Stores a clone of every kept cell at its position and puts the formats back.
    void Restore(CMyData& table) const;
    void Clear();
    bool Empty() const { return m_cells.empty(); }

private:
    void KeepFormat(const CMyData& table, int column);
    struct Cell {
        int row;
        int column;
        bool isNumber;                // a plain number, kept as its value
        double number;
        std::unique_ptr<CData> clone; // else a copy; null for an association without a cell
    };
    std::vector<Cell> m_cells;
    std::map<int, CDataFormat> m_formats; // columns that had a record
};
