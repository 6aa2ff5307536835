// Saving and reopening a workspace of 1,000 notepads, against writing and
// reading the same item bytes as 1,000 plain files.
#include "app/MXDoc.h"
#include "app/MXNotes.h"
#include "platform/Archive.h"
#include "platform/File.h"
#include "ui/RtfDocument.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <vector>

namespace {

constexpr int kItems = 1000;

std::filesystem::path BenchDir()
{
    auto dir = std::filesystem::temp_directory_path() / "marlox-workspace-bench";
    std::filesystem::create_directories(dir);
    return dir;
}

void Fill(CMXDoc& doc)
{
    for (int i = 0; i < kItems; ++i) {
        auto* notes = new CMXNotes(&doc);
        notes->SetName("Notes " + std::to_string(i), 0);
        CRtfDocument text;
        CHARFORMAT format = CRichData::DefaultCharFormat();
        text.AppendText("Observation " + std::to_string(i) + ": the rate rose with the substrate concentration.",
                        format);
        text.EndDocument(CRtfDocument::PlainParaFormat(), format);
        notes->GetRichData().SetDocument(text);
    }
}

void BM_WorkspaceSaveAndOpen(benchmark::State& state)
{
    CMXDoc doc;
    Fill(doc);
    std::string path = (BenchDir() / "bench.mxf").string();
    for (auto _ : state) {
        if (!doc.OnSaveDocument(path))
            state.SkipWithError("save failed");
        CMXDoc back;
        if (!back.OnOpenDocument(path) || back.GetProjectItems().size() != std::size_t(kItems))
            state.SkipWithError("open failed");
    }
    state.counters["items"] = kItems;
}

void BM_PlainFilesSameBytes(benchmark::State& state)
{
    CMXDoc doc;
    Fill(doc);
    // The bytes each item stream holds.
    std::vector<std::vector<BYTE>> items;
    for (CProjectItemBase* item : doc.GetProjectItems()) {
        CMemFile file;
        CArchive ar(&file, CArchive::store, 4096, &doc);
        ar.WriteObject(item);
        ar.Close();
        items.push_back(file.Detach());
    }
    auto dir = BenchDir() / "plain";
    std::filesystem::create_directories(dir);
    for (auto _ : state) {
        for (std::size_t i = 0; i < items.size(); ++i) {
            CDiskFile out((dir / std::to_string(i)).string(), CDiskFile::modeCreate | CDiskFile::modeWrite);
            out.Write(items[i].data(), items[i].size());
        }
        std::vector<BYTE> buffer;
        for (std::size_t i = 0; i < items.size(); ++i) {
            CDiskFile in((dir / std::to_string(i)).string(), CDiskFile::modeRead);
            buffer.resize(in.GetLength());
            in.Read(buffer.data(), buffer.size());
            benchmark::DoNotOptimize(buffer.data());
        }
    }
    state.counters["items"] = kItems;
}

// The same bytes as one plain file written and read back.
void BM_OnePlainFileSameBytes(benchmark::State& state)
{
    CMXDoc doc;
    Fill(doc);
    CMemFile all;
    {
        CArchive ar(&all, CArchive::store, 4096, &doc);
        for (CProjectItemBase* item : doc.GetProjectItems())
            ar.WriteObject(item);
        ar.Close();
    }
    std::string path = (BenchDir() / "one.bin").string();
    std::vector<BYTE> buffer;
    for (auto _ : state) {
        {
            CDiskFile out(path, CDiskFile::modeCreate | CDiskFile::modeWrite);
            out.Write(all.Data().data(), all.Data().size());
            out.Flush();
        }
        CDiskFile in(path, CDiskFile::modeRead);
        buffer.resize(in.GetLength());
        in.Read(buffer.data(), buffer.size());
        benchmark::DoNotOptimize(buffer.data());
    }
    state.counters["items"] = kItems;
}

} // namespace

BENCHMARK(BM_OnePlainFileSameBytes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WorkspaceSaveAndOpen)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainFilesSameBytes)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
