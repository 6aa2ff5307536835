// What the sort dialog decides before it builds the sort action: which
// columns a selection preselects, which columns may take part, and whether
// the user's choice can be sorted.
#pragma once

#include "platform/Types.h"

#include <vector>

class CMyData;

// Whether a column may be sorted or be the index: it holds entered values
// (no type, or a type whose cells the user types).
bool IsSortableColumn(const CMyData& table, int column);

// The columns of the selected grid ranges, in selection order and each once;
// grid column c is table column c - fixedColumns. A range that begins in a
// fixed heading column adds nothing, and columns that are computed are skipped.
std::vector<int> SortColumnsFromSelection(const CMyData& table, const std::vector<RECT>& gridRanges,
                                          int fixedColumns = 1);

// 0 when the choice can be sorted; else the message: 499 no index column,
// 500 no columns to sort.
UINT CheckSortChoice(int indexColumn, const std::vector<int>& columns);
