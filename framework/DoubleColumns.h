// A table of doubles kept column by column, every column the same length.
#pragma once

#include <cstddef>
#include <vector>

class CDoubleColumns {
public:
    int GetColumnCount() const { return int(m_columns.size()); }
    // The length of the first column; 0 without columns.
    int GetRowCount() const { return m_columns.empty() ? 0 : int(m_columns.front().size()); }

    double GetAt(int column, int row) const { return m_columns[std::size_t(column)][std::size_t(row)]; }
    double* Column(int column) { return m_columns[std::size_t(column)].data(); }
    const double* Column(int column) const { return m_columns[std::size_t(column)].data(); }
    std::vector<double>& operator[](int column) { return m_columns[std::size_t(column)]; }
    const std::vector<double>& operator[](int column) const { return m_columns[std::size_t(column)]; }

    // Grows the column to row + 1 when needed and brings every column to the same length (new cells 0).
    void SetValue(int column, int row, double value);
    // Discards all columns and makes the given number of columns of the given length.
    void SetSize(int columns, int rows);
    // Sets every column's length (new cells 0; a length of 0 frees the storage).
    void SetRowCount(int rows);
    // Keeps the first columns; new columns take the current row count.
    void SetColumnCount(int columns);
    void RemoveAll() { m_columns.clear(); }

private:
    std::vector<std::vector<double>> m_columns;
};
