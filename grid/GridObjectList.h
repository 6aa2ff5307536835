// The cell objects of the cells on screen, kept row by row in screen order.
// Rows are added at the bottom, inserted or removed at an index, so that a
// one-row scroll keeps every other row's objects.
#pragma once

#include "grid/GridCellObject.h"

#include <functional>
#include <memory>
#include <vector>

class CGridObjectList {
public:
    // Makes the object for (screen row, screen column); null is allowed.
    using Factory = std::function<CGridCellObject*(int screenRow, int screenColumn)>;

    explicit CGridObjectList(Factory factory = {}) : m_factory(std::move(factory)) {}
    void SetFactory(Factory factory) { m_factory = std::move(factory); }

    void SetColumnCount(int columns) { m_nColumns = columns; }
    int GetColumnCount() const { return m_nColumns; }
    int GetRowCount() const { return int(m_rows.size()); }

    void AddRow();
    // The new row's objects come before those of the row that held index.
    void InsertRow(int index);
    void RemoveRow(int index);
    void Rebuild(int rows, int columns);
    void Clear() { m_rows.clear(); }
    // Null when either index is -1 or out of the list.
    CGridCellObject* GetAt(int screenRow, int screenColumn) const;
    // Takes an object out of its place (which becomes empty), and puts one in.
    std::unique_ptr<CGridCellObject> Take(int screenRow, int screenColumn);
    void Put(int screenRow, int screenColumn, std::unique_ptr<CGridCellObject> object);

private:
    std::vector<std::unique_ptr<CGridCellObject>> MakeRow(int screenRow);

    Factory m_factory;
    int m_nColumns = 0;
    std::vector<std::vector<std::unique_ptr<CGridCellObject>>> m_rows;
};
