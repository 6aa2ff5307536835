// Sorting rows of chosen columns by the numbers of a key column. Cells that
// hold no number (text, blanks, NaN) sort after every number in ascending
// order and before them in descending order. The key column is always
// reordered with the others.
#pragma once

#include "data/DataAction.h"

#include <vector>

class CMyData;

// The row order of rows 2..last by the key column: element k is the offset
// (from row 2) of the row that goes to place k in ascending order.
std::vector<int> ComputeSortOrder(const CMyData& table, int keyColumn, int last);

class CDataActionSort : public CDataAction {
    DECLARE_DYNAMIC(CDataActionSort)
public:
    CDataActionSort(const std::vector<int>& columns, int keyColumn, BOOL descending, CDataTableItem* item);

    int Do() override;
    int Redo() override;
    int Undo() override;

private:
    std::vector<int> m_columns; // the listed columns and the key column, each once
    int m_keyColumn;
    BOOL m_descending;
    int m_last = -1;
    std::vector<int> m_newRows; // new row of each row 2..last
};
