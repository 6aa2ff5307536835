// Data table costs: heap bytes per numeric cell (the goal is at most 48),
// filling, formatting and the stored form's round trip.
#include "bench/BenchTable.h"
#include "data/DataFormat.h"
#include "data/MyData.h"
#include "platform/Archive.h"
#include "platform/File.h"

#include <benchmark/benchmark.h>

namespace {

using bench_table::HeapInUse;

// Cells filled the way a filter or a paste fills them: row by row across columns.
void BM_BytesPerNumericCell(benchmark::State& state)
{
    const int columns = int(state.range(0));
    const int rows = int(state.range(1));
    double bytes = 0;
    for (auto _ : state) {
        const std::size_t before = HeapInUse();
        auto table = std::make_unique<CMyData>();
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < columns; ++c)
                table->SetNumber(r + kFirstDataRow, c, r * 0.5 + c);
        const std::size_t after = HeapInUse();
        bytes = double(after - before) / (double(rows) * columns);
        benchmark::DoNotOptimize(table.get());
    }
    state.counters["bytes_per_cell"] = bytes;
}
BENCHMARK(BM_BytesPerNumericCell)->Args({1, 1000000})->Args({20, 50000})->Args({1000, 100})->Unit(benchmark::kMillisecond);

// A loaded table keeps the objects the archive built until CompactNumbers.
void BM_BytesPerLoadedCell(benchmark::State& state)
{
    const int rows = int(state.range(0));
    CMyData source;
    for (int r = 0; r < rows; ++r)
        source.SetNumber(r + kFirstDataRow, 0, r * 0.25);
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        source.Serialize(ar);
        ar.Close();
    }
    double loaded = 0, compacted = 0;
    for (auto _ : state) {
        file.SeekToBegin();
        const std::size_t before = HeapInUse();
        auto table = std::make_unique<CMyData>();
        {
            CArchive ar(&file, CArchive::load);
            table->Serialize(ar);
        }
        loaded = double(HeapInUse() - before) / rows;
        table->CompactNumbers();
        compacted = double(HeapInUse() - before) / rows;
        benchmark::DoNotOptimize(table.get());
    }
    state.counters["loaded_bytes_per_cell"] = loaded;
    state.counters["compacted_bytes_per_cell"] = compacted;
}
BENCHMARK(BM_BytesPerLoadedCell)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_FormatNumber(benchmark::State& state)
{
    CDataFormat format;
    format.m_thousands = 1;
    std::string out;
    double v = 1234.5678;
    for (auto _ : state) {
        format.FormatNumber(out, v);
        v += 0.001;
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_FormatNumber);

} // namespace

BENCHMARK_MAIN();
