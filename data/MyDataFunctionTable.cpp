#include "data/MyDataFunctionTable.h"

#include "data/DataCTypeX2.h"
#include "data/MyData.h"

bool CMyDataFunctionTable::CellNumber(int column, int row, double& value) const
{
    return m_table.GetNumber(row, column, value);
}

bool CMyDataFunctionTable::AssociatedX(int column, double& value) const
{
    CDataColumnType* type = m_table.GetColumnType(column);
    if (!type || !type->IsKindOf(RUNTIME_CLASS(CDataCTypeX2)))
        return false;
    value = static_cast<CDataCTypeX2*>(type)->m_x[0];
    return true;
}
