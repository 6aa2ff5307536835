// The data-table window's heavy edits: 100,000 rows x 10 columns of text
// pasted from the clipboard into a table (then undone and redone), and a
// sort of 1,000,000 rows. Runs offscreen; reports peak memory (VmHWM).
#include "app/MXDoc.h"
#include "app/MXGrid.h"
#include "app/widgets/DataView.h"
#include "data/DataActionSort.h"
#include "platform/Clipboard.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <charconv>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

double PeakMegabytes()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::strtod(line.c_str() + 6, nullptr) / 1024.0;
    return 0;
}

std::string MakeText(int rows, int columns)
{
    std::string text;
    text.reserve(std::size_t(rows) * columns * 9);
    char buf[32];
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            if (c)
                text += '\t';
            auto [end, ec] = std::to_chars(buf, buf + sizeof buf, r * 0.25 + c);
            text.append(buf, end);
        }
        text += "\r\n";
    }
    return text;
}

void BM_PasteUndoRedo(benchmark::State& state)
{
    const int rows = int(state.range(0)), columns = 10;
    const std::string text = MakeText(rows, columns);
    GetClipboard().SetData({{"text/plain", std::vector<BYTE>(text.begin(), text.end())}});
    double paste = 0, undo = 0, redo = 0;
    for (auto _ : state) {
        CMXDoc doc;
        doc.OnNewDocument();
        auto* item = new CMXGrid(&doc);
        item->InitNewItem();
        CDataView view(item);
        view.resize(800, 600);
        view.show();
        view.GetGridData()->m_ranges.assign(1, CGridRange{1, 3, 1, 3});
        view.GetGridData()->m_nCurrentColumn = 1;
        view.GetGridData()->m_nCurrentRow = 3;
        auto t0 = std::chrono::steady_clock::now();
        view.HandlePaste();
        auto t1 = std::chrono::steady_clock::now();
        item->GetActionList()->Undo();
        auto t2 = std::chrono::steady_clock::now();
        item->GetActionList()->Redo();
        auto t3 = std::chrono::steady_clock::now();
        if (item->GetTable().GetLastRow(-1) != rows + 1)
            state.SkipWithError("the paste did not fill the table");
        paste = std::chrono::duration<double>(t1 - t0).count();
        undo = std::chrono::duration<double>(t2 - t1).count();
        redo = std::chrono::duration<double>(t3 - t2).count();
        view.Detach();
    }
    state.counters["paste_s"] = paste;
    state.counters["undo_s"] = undo;
    state.counters["redo_s"] = redo;
    state.counters["peak_MB"] = PeakMegabytes();
}
BENCHMARK(BM_PasteUndoRedo)->Arg(100000)->Iterations(1)->Unit(benchmark::kSecond);

void BM_SortMillionRows(benchmark::State& state)
{
    const int rows = int(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        CMXDoc doc;
        doc.OnNewDocument();
        auto* item = new CMXGrid(&doc);
        item->InitNewItem();
        CMyData& table = item->GetTable();
        // A key that is not in order (a fixed multiplicative scramble) and a carried column.
        for (int r = 0; r < rows; ++r) {
            table.SetNumber(r + 2, 0, double((std::int64_t(r) * 7919) % rows));
            table.SetNumber(r + 2, 1, double(r));
        }
        CDataView view(item); // never shown: nothing is laid out until it is
        state.ResumeTiming();
        item->GetActionList()->Add(new CDataActionSort({0, 1}, 0, FALSE, item));
        state.PauseTiming();
        double first = 0, last = 0;
        table.GetNumber(2, 0, first);
        table.GetNumber(rows + 1, 0, last);
        if (first != 0 || last != rows - 1)
            state.SkipWithError("the table is not sorted");
        view.Detach();
        state.ResumeTiming();
    }
    state.counters["peak_MB"] = PeakMegabytes();
}
BENCHMARK(BM_SortMillionRows)->Arg(1000000)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
