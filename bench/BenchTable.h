// The table the data benchmarks share: 1,000,000 rows x 4 numeric columns of
// fixed pseudo-random values, as a workspace item and as plain vectors.
#pragma once

#include "app/MXDoc.h"
#include "app/MXGrid.h"
#include "data/BlockArena.h"

#include <malloc.h>

#include <cstdint>
#include <vector>

namespace bench_table {

constexpr int kRows = 1000000;
constexpr int kColumns = 4;

inline double Value(int row, int column)
{
    return double((std::int64_t(row) * 7919 + column * 104729) % 1000003) * 0.001;
}

// Fills a new workspace with the benchmark's table.
inline CMXGrid* FillTable(CMXDoc& doc)
{
    auto* grid = new CMXGrid(&doc);
    grid->InitNewItem();
    CMyData& table = grid->GetTable();
    for (int c = 0; c < kColumns; ++c)
        for (int r = 0; r < kRows; ++r)
            table.SetNumber(r + kFirstDataRow, c, Value(r, c));
    return grid;
}

// Bytes the process holds for its objects: the heap's blocks in use and the
// number pages' arena's blocks in use.
inline std::size_t HeapInUse()
{
    struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd + NumberPageArena().BytesInUse();
}

inline std::vector<std::vector<double>> PlainColumns()
{
    std::vector<std::vector<double>> columns(kColumns, std::vector<double>(kRows));
    for (int c = 0; c < kColumns; ++c)
        for (int r = 0; r < kRows; ++r)
            columns[std::size_t(c)][std::size_t(r)] = Value(r, c);
    return columns;
}

} // namespace bench_table
