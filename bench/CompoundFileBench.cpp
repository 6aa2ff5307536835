// Saving and reading back a workspace-sized compound file (1,000 streams of
// 64 KiB and one of 100 MiB) against writing and reading the same bytes as
// one plain file. Both sides force the data to the disk before they count as
// written, as a save must. Files go to MARLOX_BENCH_DIR or the temporary folder.
#include "platform/CompoundFile.h"
#include "platform/File.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr std::size_t kSmallStreams = 1000;
constexpr std::size_t kSmallBytes = 64 << 10;
constexpr std::size_t kLargeBytes = 100 << 20;

struct Payload {
    std::vector<std::vector<BYTE>> streams; // the small ones, then the large one
    std::size_t total = 0;
};

const Payload& GetPayload()
{
    static const Payload payload = [] {
        Payload p;
        std::uint32_t x = 1;
        auto fill = [&](std::size_t n) {
            std::vector<BYTE> b(n);
            for (BYTE& c : b) {
                x = x * 1664525u + 1013904223u;
                c = BYTE(x >> 24);
            }
            p.total += n;
            return b;
        };
        for (std::size_t i = 0; i < kSmallStreams; ++i)
            p.streams.push_back(fill(kSmallBytes));
        p.streams.push_back(fill(kLargeBytes));
        return p;
    }();
    return payload;
}

std::string BenchPath(const char* name)
{
    const char* dir = std::getenv("MARLOX_BENCH_DIR");
    std::filesystem::path base = dir ? std::filesystem::path(dir) : std::filesystem::temp_directory_path();
    return (base / (std::string(name) + "-" + std::to_string(::getpid()))).string();
}

std::string StreamName(std::size_t i) { return i < kSmallStreams ? "Item_" + std::to_string(i + 1) : "Large"; }

void WriteCompound(const std::string& path)
{
    const Payload& p = GetPayload();
    // As a document saves: the path is known before its items are written.
    CCompoundFile file;
    file.SetPath(path);
    for (std::size_t i = 0; i < p.streams.size(); ++i) {
        auto s = file.Root().CreateStream(StreamName(i));
        s->Write(p.streams[i].data(), p.streams[i].size());
    }
    file.Save();
}

void ReadCompound(const std::string& path, std::vector<std::vector<BYTE>>& out)
{
    CCompoundFile file(path);
    for (std::size_t i = 0; i < out.size(); ++i) {
        auto s = file.Root().OpenStream(StreamName(i));
        if (!s || s->Read(out[i].data(), out[i].size()) != out[i].size())
            std::abort();
    }
}

void WritePlain(const std::string& path)
{
    const Payload& p = GetPayload();
    CDiskFile file(path, CDiskFile::modeCreate | CDiskFile::modeWrite);
    for (const auto& s : p.streams)
        file.Write(s.data(), s.size());
    file.Flush();
    file.Close();
}

// The same bytes saved the safe way (a new file beside the target, forced to
// the disk and renamed over it), which the compound file's save also does:
// the difference to this one is the cost of the format itself.
void WritePlainAtomic(const std::string& path)
{
    const Payload& p = GetPayload();
    std::string temp = path + ".tmp";
    CDiskFile file(temp, CDiskFile::modeCreate | CDiskFile::modeWrite);
    for (const auto& s : p.streams)
        file.Write(s.data(), s.size());
    file.Flush();
    file.Close();
    std::filesystem::rename(temp, path);
}

void ReadPlain(const std::string& path, std::vector<std::vector<BYTE>>& out)
{
    CDiskFile file(path, CDiskFile::modeRead);
    for (auto& s : out) {
        if (file.Read(s.data(), s.size()) != s.size())
            std::abort();
    }
}

std::vector<std::vector<BYTE>> Buffers()
{
    std::vector<std::vector<BYTE>> out;
    for (const auto& s : GetPayload().streams)
        out.emplace_back(s.size());
    return out;
}

void BM_CompoundFileWrite(benchmark::State& state)
{
    std::string path = BenchPath("cfb-write");
    for (auto _ : state)
        WriteCompound(path);
    std::filesystem::remove(path);
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(GetPayload().total));
}

void BM_PlainFileWrite(benchmark::State& state)
{
    std::string path = BenchPath("plain-write");
    for (auto _ : state)
        WritePlain(path);
    std::filesystem::remove(path);
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(GetPayload().total));
}

void BM_PlainFileAtomicWrite(benchmark::State& state)
{
    std::string path = BenchPath("plain-atomic-write");
    for (auto _ : state)
        WritePlainAtomic(path);
    std::filesystem::remove(path);
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(GetPayload().total));
}

void BM_CompoundFileRead(benchmark::State& state)
{
    std::string path = BenchPath("cfb-read");
    WriteCompound(path);
    auto out = Buffers();
    for (auto _ : state) {
        ReadCompound(path, out);
        benchmark::DoNotOptimize(out.back().data());
    }
    if (out != GetPayload().streams)
        state.SkipWithError("the compound file read back differs");
    std::filesystem::remove(path);
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(GetPayload().total));
}

void BM_PlainFileRead(benchmark::State& state)
{
    std::string path = BenchPath("plain-read");
    WritePlain(path);
    auto out = Buffers();
    for (auto _ : state) {
        ReadPlain(path, out);
        benchmark::DoNotOptimize(out.back().data());
    }
    std::filesystem::remove(path);
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(GetPayload().total));
}

void BM_CompoundFileWriteRead(benchmark::State& state)
{
    std::string path = BenchPath("cfb-both");
    auto out = Buffers();
    for (auto _ : state) {
        WriteCompound(path);
        ReadCompound(path, out);
        benchmark::DoNotOptimize(out.back().data());
    }
    std::filesystem::remove(path);
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(GetPayload().total) * 2);
}

void BM_PlainFileWriteRead(benchmark::State& state)
{
    std::string path = BenchPath("plain-both");
    auto out = Buffers();
    for (auto _ : state) {
        WritePlain(path);
        ReadPlain(path, out);
        benchmark::DoNotOptimize(out.back().data());
    }
    std::filesystem::remove(path);
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(GetPayload().total) * 2);
}

} // namespace

BENCHMARK(BM_CompoundFileWrite)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_PlainFileWrite)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_PlainFileAtomicWrite)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_CompoundFileRead)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_PlainFileRead)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_CompoundFileWriteRead)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_PlainFileWriteRead)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

BENCHMARK_MAIN();
