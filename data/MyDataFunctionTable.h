// The data table as the equation of a calculated column reads it.
#pragma once

#include "equation/FunctionTable.h"

class CMyData;

class CMyDataFunctionTable : public IFunctionTable {
public:
    explicit CMyDataFunctionTable(const CMyData& table) : m_table(table) {}

    // A blank value reads as missing, as everywhere numbers are collected.
    bool CellNumber(int column, int row, double& value) const override;
    // x[2] of a column whose type carries associated x values.
    bool AssociatedX(int column, double& value) const override;

private:
    const CMyData& m_table;
};
