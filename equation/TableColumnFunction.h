// The function equation of a Calculated column: the table model's column
// function (data/ColumnFunction.h) implemented by CFunctionEquation, reading
// the cells of the column's own data-table item.
//
// The equation library depends on the table model, never the other way: on
// load this library installs CreateTableColumnFunction as the table model's
// column-function factory (a static registration object), so any program
// that links the equation library computes Calculated columns.
#pragma once

#include "data/ColumnFunction.h"
#include "equation/FunctionEquation.h"
#include "equation/FunctionTable.h"

class CTableColumnFunction : public CColumnFunction, private IFunctionTable {
public:
    CTableColumnFunction();
    CTableColumnFunction(const CTableColumnFunction& other);
    CTableColumnFunction& operator=(const CTableColumnFunction&) = delete;

    std::unique_ptr<CColumnFunction> Clone() const override;
    bool SetText(const std::string& text) override;
    const std::string& GetText() const override { return m_equation.GetSource(); }
    bool IsValid() const override { return m_equation.IsValid(); }
    void ResetValues() override;
    void SetContext(CDataTableItem* item, int column1) override;
    void SetDataRow(int row1) override { m_equation.SetRow(row1); }
    Result Calculate(double& value, std::string& errorText) override;
    void Serialize(CArchive& ar) override;

    CFunctionEquation& GetEquation() { return m_equation; }

private:
    bool CellNumber(int column, int row, double& value) const override;
    bool AssociatedX(int column, double& value) const override;

    CFunctionEquation m_equation;
    CDataTableItem* m_pItem = nullptr;
};

// The factory that the table model calls for each new Calculated column.
std::unique_ptr<CColumnFunction> CreateTableColumnFunction();
