#include "framework/DoubleColumns.h"

#include <algorithm>

void CDoubleColumns::SetValue(int column, int row, double value)
{
    if (column >= GetColumnCount())
        SetColumnCount(column + 1);
    std::size_t needed = std::size_t(row) + 1;
    if (m_columns[std::size_t(column)].size() < needed || int(needed) > GetRowCount())
        SetRowCount(std::max<int>(int(needed), GetRowCount()));
    m_columns[std::size_t(column)][std::size_t(row)] = value;
}

void CDoubleColumns::SetSize(int columns, int rows)
{
    m_columns.assign(std::size_t(std::max(columns, 0)), std::vector<double>(std::size_t(std::max(rows, 0)), 0.0));
}

void CDoubleColumns::SetRowCount(int rows)
{
    for (auto& column : m_columns) {
        if (rows <= 0) {
            std::vector<double>().swap(column);
        } else {
            column.resize(std::size_t(rows), 0.0);
        }
    }
}

void CDoubleColumns::SetColumnCount(int columns)
{
    int rows = GetRowCount();
    m_columns.resize(std::size_t(std::max(columns, 0)));
    for (auto& column : m_columns)
        column.resize(std::size_t(rows), 0.0);
}
