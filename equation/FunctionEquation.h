// The equation with which a data table computes a column from other cells,
// run once per cell. Besides the language it knows the current cell (COLUMN
// and ROW), reads any cell of the table (DATA(x, y) and VALIDDATA(x, y), x
// the column and y the data row, both counted from 1) and can make the
// current cell blank (SETBLANK, which throws CBlankError).
#pragma once

#include "equation/Equation.h"

class IFunctionTable;

class CFunctionEquation : public CEquation {
    DECLARE_SERIAL(CFunctionEquation)
public:
    CFunctionEquation();

    // Copies the whole definition, the current cell and the table from
    // other, then compiles (a compile error leaves it invalid).
    void Assign(const CFunctionEquation& other);
    // A function equation, so that the copy still knows the table names.
    std::unique_ptr<CEquationBase> Clone() const override;

    // The caller sets the cell and the table before each Calculate.
    void SetRow(int row) { m_row = row; }
    void SetColumn(int column) { m_column = column; }
    void SetTable(const IFunctionTable* table) { m_pTable = table; }
    int GetRow() const { return m_row; }
    int GetColumn() const { return m_column; }
    const IFunctionTable* GetTable() const { return m_pTable; }

    // What DATA and VALIDDATA read at column x and data row y (both from 1):
    // true and the number when the cell holds one. Arguments are clamped
    // before they are truncated toward zero; a NaN names no cell, and a cell
    // holding a NaN or the blank value holds no number.
    bool ReadCell(double x, double y, double& value) const;

protected:
    std::optional<CEqnToken> CreateVariable(std::string_view name) override;
    double* RunHook(int code, double* sp) override;

private:
    int m_row = 1;
    int m_column = 1;
    const IFunctionTable* m_pTable = nullptr;
};
