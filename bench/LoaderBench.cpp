// Loaders given inputs that once made them slow: an equation with tens of
// thousands of local variables (compiled as a workspace opens), a settings
// file of a megabyte read value by value at start-up, and a note of eight
// megabytes of paragraph marks read and shown.
//   bench_loaders   (QT_QPA_PLATFORM=offscreen is set when unset)
#include "equation/Equation.h"
#include "platform/SettingsStore.h"
#include "ui/widgets/TextDocumentEditor.h"
#include "ui/RichData.h"
#include "ui/RtfReader.h"
#include "ui/widgets/CommentRichEditCtrl.h"

#include <QApplication>
#include <QAbstractTextDocumentLayout>
#include <QTextDocument>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

void BM_CompileLocals(benchmark::State& state)
{
    const int n = int(state.range(0));
    std::string source;
    for (int i = 0; i < n; ++i)
        source += "v" + std::to_string(i) + " = " + std::to_string(i) + "\r\n";
    source += "y = v1\r\n";
    for (auto _ : state) {
        CEquation eq;
        eq.SetYName("y");
        eq.SetModeFlag(1);
        eq.SetSource(source);
        eq.Compile();
        benchmark::DoNotOptimize(eq.GetLocalNames().data());
    }
    state.counters["locals"] = n;
}

// A settings file of about a megabyte, as the slow start-up had.
std::string BigSettingsFile()
{
    static const std::string path = [] {
        std::string p = (std::filesystem::temp_directory_path() / ("marlox-bench-settings-" +
                                                                   std::to_string(::getpid()) + ".conf")).string();
        std::ofstream out(p);
        out << "[Software\\Brackmoor\\Marlox\\Big]\n";
        for (int i = 0; i < 40000; ++i)
            out << "\"Value" << i << "\" = string \"some text to fill the line\"\n";
        return p;
    }();
    return path;
}

// The start-up's reads through one store: the file is parsed once.
void BM_SettingsReadsThroughOneStore(benchmark::State& state)
{
    const std::string path = BigSettingsFile();
    const int reads = int(state.range(0));
    for (auto _ : state) {
        CSettingsStore store(path);
        CSettingsStore::Value v;
        for (int i = 0; i < reads; ++i)
            benchmark::DoNotOptimize(store.GetValue("Software\\Brackmoor\\Marlox\\Big", "Value" + std::to_string(i), v));
    }
    state.counters["reads"] = reads;
}

// The peer: every read parses the file again, as each read did before.
void BM_SettingsReadsParsingEachTime(benchmark::State& state)
{
    const std::string path = BigSettingsFile();
    const int reads = int(state.range(0));
    for (auto _ : state) {
        CSettingsStore::Value v;
        for (int i = 0; i < reads; ++i) {
            CSettingsStore store(path);
            benchmark::DoNotOptimize(store.GetValue("Software\\Brackmoor\\Marlox\\Big", "Value" + std::to_string(i), v));
        }
    }
    state.counters["reads"] = reads;
}

std::string LargeNote()
{
    std::string rtf = "{\\rtf1\\ansi ";
    while (rtf.size() < (8u << 20))
        rtf += "\\par\r\n";
    return rtf + "}";
}

void BM_LargeNoteRead(benchmark::State& state)
{
    const std::string rtf = LargeNote();
    for (auto _ : state) {
        CRtfDocument doc;
        CRtfReader::Read(rtf, doc);
        benchmark::DoNotOptimize(doc.paragraphs.data());
        state.counters["paragraphs"] = double(doc.paragraphs.size());
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(rtf.size()));
}

// What the notepad does when it opens: the stored text read into the
// window's document and laid out.
void BM_LargeNoteShown(benchmark::State& state)
{
    CRichData data;
    data.SetRtf(LargeNote());
    for (auto _ : state) {
        auto document = std::make_unique<QTextDocument>();
        AttachTextDocument(data, document.get());
        benchmark::DoNotOptimize(document->documentLayout()->documentSize());
        // Closing the note is not showing it.
        state.PauseTiming();
        data.Detach();
        document.reset();
        state.ResumeTiming();
    }
}

// The same in the notepad's own editor, shown on a screen.
void BM_LargeNoteShownInTheNotepad(benchmark::State& state)
{
    CRichData data;
    data.SetRtf(LargeNote());
    for (auto _ : state) {
        auto editor = std::make_unique<CCommentRichEditCtrl>();
        editor->resize(800, 600);
        editor->AttachData(&data);
        editor->show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(editor->document()->documentLayout()->documentSize());
        state.PauseTiming();
        editor->DetachData();
        editor.reset();
        state.ResumeTiming();
    }
}

} // namespace

BENCHMARK(BM_CompileLocals)->Arg(20000)->Arg(50000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SettingsReadsThroughOneStore)->Arg(500)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SettingsReadsParsingEachTime)->Arg(500)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_LargeNoteRead)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_LargeNoteShown)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_LargeNoteShownInTheNotepad)->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove(BigSettingsFile());
    return 0;
}
