// Cost of laying a grid out and of scrolling it, for grids of very different
// sizes: only the laid-out rows and columns should count, so the times for
// 100 and 1,000,000 rows should agree; a one-row scroll, which keeps the
// cell objects of the rows that stay, should cost far less than a re-layout.
#include "grid/GridEngine.h"

#include <benchmark/benchmark.h>

namespace {

class BenchHost : public CGridHost {
public:
    bool HasWindow() const override { return true; }
    bool IsWindowVisible() const override { return true; }
    bool IsWindowEnabled() const override { return true; }
    void GetClientRect(RECT& r) const override { r = RECT{0, 0, 1600, 1000}; }
    CGridMetrics GetMetrics() const override { return {}; }
    SIZE MeasureText(const LOGFONT& f, std::string_view t) const override
    {
        return SIZE{int(t.size()) * 7, 16};
    }
    void Invalidate(bool) override {}
    void InvalidateRect(const RECT&, bool) override {}
    void UpdateWindow() override {}
    void ScrollWindow(int, int, const RECT&) override {}
    void SetScrollRange(int, int, int) override {}
    void SetScrollPos(int, int) override {}
    int GetScrollPos(int) const override { return 0; }
    void ShowScrollBar(int, bool, bool) override {}
    void SetCapture() override {}
    void ReleaseCapture() override {}
    void SetTimer(UINT, UINT) override {}
    void KillTimer(UINT) override {}
    POINT GetCursorPos() const override { return {}; }
    void PostMouseMove(UINT, POINT) override {}
    UINT GetKeyModifiers() const override { return 0; }
    void SetCursor(int) override {}
    bool OpenClipboard() override { return true; }
    bool EmptyClipboard() override { return true; }
    void SetClipboardText(const std::string&) override {}
    bool GetClipboardText(std::string&) override { return false; }
    bool CloseClipboard() override { return true; }
    bool ClipboardHasText() const override { return false; }
    void BroadcastGridEvent(CGridEngine& sender, int code, const void* data) override
    {
        sender.OnGridEvent(&sender, code, data);
    }
};

struct BenchGrid {
    explicit BenchGrid(int rows)
    {
        data.m_nRowCount = rows;
        data.m_nColumnCount = 200;
        data.m_pDefaultCellClass = RUNTIME_CLASS(CGridCellObject);
        engine.SetGridData(&data);
        engine.SetHost(&host);
        engine.InitGrid();
    }
    CGridData data;
    BenchHost host;
    CGridEngine engine;
};

void BM_GridRelayout(benchmark::State& state)
{
    BenchGrid grid(int(state.range(0)));
    for (auto _ : state)
        grid.engine.Update(GRID_UPDATE_ALL, 0);
    state.counters["cells"] = double(grid.engine.GetVisibleRowCount() * grid.engine.GetVisibleColumnCount());
}
BENCHMARK(BM_GridRelayout)->Arg(100)->Arg(1000000);

void BM_GridLineScroll(benchmark::State& state)
{
    BenchGrid grid(int(state.range(0)));
    grid.engine.OnVScroll(SB_THUMBPOSITION, 50);
    bool down = true;
    for (auto _ : state) {
        grid.engine.OnVScroll(down ? SB_LINEDOWN : SB_LINEUP, 0);
        down = !down;
    }
}
BENCHMARK(BM_GridLineScroll)->Arg(100)->Arg(1000000);

} // namespace

BENCHMARK_MAIN();
