// A data table of 1,000,000 rows x 4 columns: fill, save, reopen, sort and
// recompute a Mean column, against the same numbers in plain vectors written
// and read with plain file I/O. Reports time and heap bytes per numeric cell.
// BM_TableSave and BM_TableOpen time saving and opening alone (for profiling);
// BM_TableSaveOpenVsPlain times both against plain I/O in the same iterations
// and reports their ratio.
#include "bench/BenchTable.h"
#include "data/DataActionSort.h"
#include "data/DataCTypeMean.h"
#include "platform/File.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <vector>

namespace {

using namespace bench_table;

std::string BenchPath(const char* name)
{
    auto dir = std::filesystem::temp_directory_path() / "marlox-table-bench";
    std::filesystem::create_directories(dir);
    return (dir / name).string();
}

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

void BM_TableFillSaveOpenSortMean(benchmark::State& state)
{
    std::string path = BenchPath("table.mxf");
    double fill = 0, save = 0, open = 0, sort = 0, mean = 0, bytesPerCell = 0;
    for (auto _ : state) {
        using clock = std::chrono::steady_clock;
        {
            std::size_t before = HeapInUse();
            auto t0 = clock::now();
            CMXDoc doc;
            auto* grid = new CMXGrid(&doc);
            grid->InitNewItem();
            CMyData& table = grid->GetTable();
            for (int c = 0; c < kColumns; ++c)
                for (int r = 0; r < kRows; ++r)
                    table.SetNumber(r + 2, c, Value(r, c));
            auto t1 = clock::now();
            bytesPerCell = double(HeapInUse() - before) / (double(kRows) * kColumns);
            if (!doc.OnSaveDocument(path))
                state.SkipWithError("save failed");
            auto t2 = clock::now();
            fill += Seconds(t1 - t0);
            save += Seconds(t2 - t1);
        }
        auto t2 = clock::now();
        CMXDoc doc;
        if (!doc.OnOpenDocument(path))
            state.SkipWithError("open failed");
        auto* grid = static_cast<CMXGrid*>(doc.GetProjectItems().front());
        auto t3 = clock::now();
        CDataActionSort action({0, 1, 2, 3}, 0, FALSE, grid);
        if (!action.Do())
            state.SkipWithError("sort failed");
        auto t4 = clock::now();
        auto* meanType = new CDataCTypeMean(kColumns);
        grid->GetTable().SetCell(0, kColumns, meanType);
        meanType->SetSourceColumns(grid, {0, 1, 2, 3});
        meanType->ComputeValue(-1, grid, FALSE);
        auto t5 = clock::now();
        open += Seconds(t3 - t2);
        sort += Seconds(t4 - t3);
        mean += Seconds(t5 - t4);
    }
    double n = double(state.iterations());
    state.counters["fill_s"] = fill / n;
    state.counters["save_s"] = save / n;
    state.counters["open_s"] = open / n;
    state.counters["sort_s"] = sort / n;
    state.counters["mean_s"] = mean / n;
    state.counters["bytes_per_cell"] = bytesPerCell;
}

void BM_PlainVectorsFileIO(benchmark::State& state)
{
    std::string path = BenchPath("plain.bin");
    std::vector<std::vector<double>> columns(kColumns, std::vector<double>(kRows));
    for (int c = 0; c < kColumns; ++c)
        for (int r = 0; r < kRows; ++r)
            columns[std::size_t(c)][std::size_t(r)] = Value(r, c);
    double save = 0, open = 0;
    for (auto _ : state) {
        using clock = std::chrono::steady_clock;
        auto t0 = clock::now();
        {
            CDiskFile out(path, CDiskFile::modeCreate | CDiskFile::modeWrite);
            for (const auto& column : columns)
                out.Write(column.data(), column.size() * sizeof(double));
            out.Flush();
        }
        auto t1 = clock::now();
        std::vector<std::vector<double>> back(kColumns, std::vector<double>(kRows));
        CDiskFile in(path, CDiskFile::modeRead);
        for (auto& column : back)
            in.Read(column.data(), column.size() * sizeof(double));
        benchmark::DoNotOptimize(back.data());
        auto t2 = clock::now();
        save += Seconds(t1 - t0);
        open += Seconds(t2 - t1);
    }
    double n = double(state.iterations());
    state.counters["save_s"] = save / n;
    state.counters["open_s"] = open / n;
    state.counters["bytes_per_cell"] = double(sizeof(double));
}

struct PlainTimes {
    double save = 0, open = 0;
};

// The same numbers written with plain file I/O (fsync included) and read back.
PlainTimes PlainSaveOpen(const std::vector<std::vector<double>>& columns, const std::string& path)
{
    using clock = std::chrono::steady_clock;
    auto t0 = clock::now();
    {
        CDiskFile out(path, CDiskFile::modeCreate | CDiskFile::modeWrite);
        for (const auto& column : columns)
            out.Write(column.data(), column.size() * sizeof(double));
        out.Flush();
    }
    auto t1 = clock::now();
    std::vector<std::vector<double>> back(kColumns, std::vector<double>(kRows));
    {
        CDiskFile in(path, CDiskFile::modeRead);
        for (auto& column : back)
            in.Read(column.data(), column.size() * sizeof(double));
    }
    benchmark::DoNotOptimize(back.data());
    auto t2 = clock::now();
    return {Seconds(t1 - t0), Seconds(t2 - t1)};
}

// Saving only: the filled workspace is saved again and again (each save
// writes every stream anew, as the first save of a new workspace does).
void BM_TableSave(benchmark::State& state)
{
    std::string path = BenchPath("table-save.mxf");
    for (auto _ : state) {
        state.PauseTiming();
        auto doc = std::make_unique<CMXDoc>();
        FillTable(*doc);
        state.ResumeTiming();
        if (!doc->OnSaveDocument(path))
            state.SkipWithError("save failed");
        state.PauseTiming();
        doc.reset();
        state.ResumeTiming();
    }
}

// Opening only: reads the workspace saved once before the loop.
void BM_TableOpen(benchmark::State& state)
{
    std::string path = BenchPath("table-open.mxf");
    {
        CMXDoc doc;
        FillTable(doc);
        if (!doc.OnSaveDocument(path))
            state.SkipWithError("save failed");
    }
    for (auto _ : state) {
        auto doc = std::make_unique<CMXDoc>();
        if (!doc->OnOpenDocument(path))
            state.SkipWithError("open failed");
        state.PauseTiming();
        doc.reset();
        state.ResumeTiming();
    }
}

// Save and reopen of the workspace against plain file I/O of the same
// numbers, measured side by side in each iteration; ratio is the goal's figure.
void BM_TableSaveOpenVsPlain(benchmark::State& state)
{
    std::string path = BenchPath("table-ratio.mxf");
    std::string plainPath = BenchPath("plain-ratio.bin");
    std::vector<std::vector<double>> columns(kColumns, std::vector<double>(kRows));
    for (int c = 0; c < kColumns; ++c)
        for (int r = 0; r < kRows; ++r)
            columns[std::size_t(c)][std::size_t(r)] = Value(r, c);
    double save = 0, open = 0, plainSave = 0, plainOpen = 0;
    for (auto _ : state) {
        using clock = std::chrono::steady_clock;
        PlainTimes plain = PlainSaveOpen(columns, plainPath);
        plainSave += plain.save;
        plainOpen += plain.open;
        {
            CMXDoc doc;
            FillTable(doc);
            auto t0 = clock::now();
            if (!doc.OnSaveDocument(path))
                state.SkipWithError("save failed");
            save += Seconds(clock::now() - t0);
        }
        {
            auto t0 = clock::now();
            CMXDoc doc;
            if (!doc.OnOpenDocument(path))
                state.SkipWithError("open failed");
            open += Seconds(clock::now() - t0);
        }
    }
    double n = double(state.iterations());
    state.counters["save_s"] = save / n;
    state.counters["open_s"] = open / n;
    state.counters["plain_save_s"] = plainSave / n;
    state.counters["plain_open_s"] = plainOpen / n;
    state.counters["ratio"] = (save + open) / (plainSave + plainOpen);
}

} // namespace

BENCHMARK(BM_PlainVectorsFileIO)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_TableFillSaveOpenSortMean)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_TableSave)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_TableOpen)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_TableSaveOpenVsPlain)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK_MAIN();
