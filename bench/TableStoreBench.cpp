// The column store of a data table of 1,000,000 rows x 4 numeric columns
// against the same numbers in plain std::vector<double>, each measured with
// its peer in the same run: heap bytes per numeric cell, a sort of all rows
// by one column against std::sort of (key, row) pairs, and a Mean column's
// recompute after that sort against the same means over plain arrays.
// Each benchmark reports its ratio to the peer as the counter "ratio".
#include "bench/BenchTable.h"
#include "data/DataActionSort.h"
#include "data/DataCTypeMean.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <numeric>
#include <utility>
#include <vector>

namespace {

using namespace bench_table;

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

// Heap bytes per numeric cell of a filled table and of plain vectors.
void BM_MemoryPerCell(benchmark::State& state)
{
    double table = 0, plain = 0;
    for (auto _ : state) {
        std::size_t before = HeapInUse();
        {
            auto columns = PlainColumns();
            plain = double(HeapInUse() - before) / (double(kRows) * kColumns);
            benchmark::DoNotOptimize(columns.data());
        }
        before = HeapInUse();
        CMXDoc doc;
        FillTable(doc);
        table = double(HeapInUse() - before) / (double(kRows) * kColumns);
    }
    state.counters["bytes_per_cell"] = table;
    state.counters["plain_bytes_per_cell"] = plain;
    state.counters["ratio"] = table / plain;
}

// Sorting all four columns by one of them (the action a user runs) against
// std::sort of (key, row) pairs of the same key column. The key alternates
// between two columns so that every sort really reorders the rows.
void BM_SortVsPairs(benchmark::State& state)
{
    CMXDoc doc;
    CMXGrid* grid = FillTable(doc);
    auto columns = PlainColumns();
    double sort = 0, pairs = 0;
    int key = 0;
    for (auto _ : state) {
        using clock = std::chrono::steady_clock;
        auto t0 = clock::now();
        std::vector<std::pair<double, int>> keyed(kRows);
        for (int r = 0; r < kRows; ++r)
            keyed[std::size_t(r)] = {columns[std::size_t(key)][std::size_t(r)], r};
        std::sort(keyed.begin(), keyed.end());
        benchmark::DoNotOptimize(keyed.data());
        auto t1 = clock::now();
        CDataActionSort action({0, 1, 2, 3}, key, FALSE, grid);
        if (!action.Do())
            state.SkipWithError("sort failed");
        auto t2 = clock::now();
        pairs += Seconds(t1 - t0);
        sort += Seconds(t2 - t1);
        // The plain columns follow the table's order, as the next key's peer.
        for (auto& column : columns) {
            std::vector<double> moved(kRows);
            for (int r = 0; r < kRows; ++r)
                moved[std::size_t(r)] = column[std::size_t(keyed[std::size_t(r)].second)];
            column.swap(moved);
        }
        key = 1 - key;
    }
    const double n = double(state.iterations());
    state.counters["sort_s"] = sort / n;
    state.counters["pairs_s"] = pairs / n;
    state.counters["ratio"] = sort / pairs;
}

// A Mean column over the four columns recomputed after a sort, against the
// row means of four plain arrays sorted the same way.
void BM_MeanAfterSortVsPlain(benchmark::State& state)
{
    CMXDoc doc;
    CMXGrid* grid = FillTable(doc);
    CDataActionSort action({0, 1, 2, 3}, 0, FALSE, grid);
    if (!action.Do())
        state.SkipWithError("sort failed");
    auto* mean = new CDataCTypeMean(kColumns);
    grid->GetTable().SetCell(0, kColumns, mean);
    mean->SetSourceColumns(grid, {0, 1, 2, 3});
    auto columns = PlainColumns();
    {
        std::vector<int> order(kRows);
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return columns[0][std::size_t(a)] < columns[0][std::size_t(b)]; });
        for (auto& column : columns) {
            std::vector<double> moved(kRows);
            for (int r = 0; r < kRows; ++r)
                moved[std::size_t(r)] = column[std::size_t(order[std::size_t(r)])];
            column.swap(moved);
        }
    }
    double table = 0, plain = 0;
    for (auto _ : state) {
        using clock = std::chrono::steady_clock;
        auto t0 = clock::now();
        std::vector<double> means(kRows);
        for (std::size_t r = 0; r < std::size_t(kRows); ++r) {
            double sum = 0.0;
            for (const auto& column : columns)
                sum += column[r];
            means[r] = sum / double(kColumns);
        }
        benchmark::DoNotOptimize(means.data());
        auto t1 = clock::now();
        mean->ComputeValue(-1, grid, FALSE);
        auto t2 = clock::now();
        plain += Seconds(t1 - t0);
        table += Seconds(t2 - t1);
    }
    const double n = double(state.iterations());
    state.counters["mean_s"] = table / n;
    state.counters["plain_s"] = plain / n;
    state.counters["ratio"] = table / plain;
}

} // namespace

BENCHMARK(BM_MemoryPerCell)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_SortVsPairs)->Unit(benchmark::kMillisecond)->Iterations(6);
BENCHMARK(BM_MeanAfterSortVsPlain)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK_MAIN();
