// Throughput of the archive's double transfers against a plain memory copy of
// the same bytes (the floor any archive can reach).
#include "framework/ArchiveHelpers.h"
#include "platform/File.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

std::vector<double> MakeValues(std::size_t n)
{
    std::vector<double> v(n);
    for (std::size_t i = 0; i < n; ++i)
        v[i] = double(i) * 0.5;
    return v;
}

void BM_ArchiveStoreLoadDoubles(benchmark::State& state)
{
    std::vector<double> values = MakeValues(std::size_t(state.range(0)));
    std::vector<double> back(values.size());
    for (auto _ : state) {
        CMemFile file;
        {
            CArchive ar(&file, CArchive::store);
            ArchiveStoreDoubles(ar, values.data(), int(values.size()));
            ar.Close();
        }
        file.SeekToBegin();
        CArchive ar(&file, CArchive::load);
        ArchiveLoadDoubles(ar, back.data(), int(back.size()));
        benchmark::DoNotOptimize(back.data());
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t(values.size() * sizeof(double)) * 2);
}

void BM_PlainCopyDoubles(benchmark::State& state)
{
    std::vector<double> values = MakeValues(std::size_t(state.range(0)));
    std::vector<double> back(values.size());
    for (auto _ : state) {
        std::vector<unsigned char> bytes(values.size() * sizeof(double));
        std::memcpy(bytes.data(), values.data(), bytes.size());
        std::memcpy(back.data(), bytes.data(), bytes.size());
        benchmark::DoNotOptimize(back.data());
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t(values.size() * sizeof(double)) * 2);
}

} // namespace

BENCHMARK(BM_ArchiveStoreLoadDoubles)->Arg(1 << 20);
BENCHMARK(BM_PlainCopyDoubles)->Arg(1 << 20);
BENCHMARK_MAIN();
