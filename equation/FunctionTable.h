// What an equation that computes a table column needs of the table: the
// Calculated column's function (TableColumnFunction.h) implements this over
// its data-table item, and tests over a few cells of their own. Coordinates
// are the table's own: column from 0, row 0 the column type, row 1 its name,
// data from row 2.
//
// CFunctionEquation (the names COLUMN, ROW, DATA(x, y), VALIDDATA(x, y)
// and SETBLANK, built on CreateVariable and RunHook) reads
// DATA(x, y) as CellNumber(trunc(x) - 1, trunc(y) + 1), and a row argument
// of -1 as the column's associated x values.
#pragma once

class IFunctionTable {
public:
    virtual ~IFunctionTable() = default;
    // The number in that cell; false when the cell is missing or holds no number.
    virtual bool CellNumber(int column, int row, double& value) const = 0;
    // The first associated x value of a column that carries them; false when it has none.
    virtual bool AssociatedX(int column, double& value) const = 0;
};
