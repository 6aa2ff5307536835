// Cost of painting a full 1920 x 1080 grid window: a grid control of
// 1,000,000 rows x 20 columns is scrolled page by page and every page is
// painted into an offscreen image with the Qt painter. A page should take well
// under 16 ms wherever it is and whatever the row count, so the 100-row grid
// and the positions near the end are measured too. "per_cell" is the time per
// painted cell.
#include "grid/EditCell.h"
#include "grid/HeaderCell.h"
#include "grid/widgets/GridCtrl.h"
#include "grid/widgets/GridPainterQt.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <charconv>
#include <memory>

namespace {

class NumberGrid : public CGridCtrl {
public:
    NumberGrid(int rows, int columns)
    {
        m_data.m_nRowCount = rows + 1;
        m_data.m_nColumnCount = columns + 1;
        m_data.m_nHeaderRows = m_data.m_nFrozenRows = m_data.m_nHeaderColumns = 1;
        m_data.m_pDefaultCellClass = RUNTIME_CLASS(CEditCell);
        m_data.m_rowClasses[0].pClass = RUNTIME_CLASS(CHeaderCell);
        m_data.m_columnClasses[0].pClass = RUNTIME_CLASS(CHeaderCell);
        m_data.m_priorityRowClasses[0].pClass = RUNTIME_CLASS(CHeaderCell);
        m_data.m_nCurrentRow = m_data.m_nCurrentColumn = 1;
    }
    void GetCellValueText(int row, int column, std::string& text) override
    {
        // A number of the size data tables hold: 0.001 x (row x 20 + column).
        char buffer[32];
        const double value = (double(row) * 20 + column) * 0.001;
        auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 8);
        text.assign(buffer, result.ptr);
    }
};

std::unique_ptr<NumberGrid> MakeGrid(int rows)
{
    auto grid = std::make_unique<NumberGrid>(rows, 20);
    grid->setFrameShape(QFrame::NoFrame);
    grid->show();
    // The viewport is the painted area: 1920 x 1080 pixels.
    const QSize bars(grid->width() - grid->viewport()->width(), grid->height() - grid->viewport()->height());
    grid->resize(QSize(1920, 1080) + bars);
    QApplication::processEvents();
    return grid;
}

void Paint(NumberGrid& grid, QImage& image)
{
    QPainter painter(&image);
    CGridPainterQt gridPainter(painter, image.rect());
    grid.OnDraw(gridPainter);
}

// One iteration: Page Down (the layout and the new cell objects), then a full repaint.
void ScrollAndPaint(benchmark::State& state, int rows, int startRow)
{
    auto grid = MakeGrid(rows);
    QImage image(grid->viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    grid->OnVScroll(SB_THUMBPOSITION, startRow);
    const int cells = grid->GetVisibleRowCount() * grid->GetVisibleColumnCount();
    for (auto _ : state) {
        const int top = grid->GetTopRow();
        grid->OnVScroll(SB_PAGEDOWN, 0);
        if (grid->GetTopRow() == top)
            grid->OnVScroll(SB_THUMBPOSITION, 1); // at the end: round again
        Paint(*grid, image);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["cells"] = cells;
    state.counters["per_cell"] =
        benchmark::Counter(cells, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void PaintOnly(benchmark::State& state, int rows, int startRow)
{
    auto grid = MakeGrid(rows);
    QImage image(grid->viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    grid->OnVScroll(SB_THUMBPOSITION, startRow);
    const int cells = grid->GetVisibleRowCount() * grid->GetVisibleColumnCount();
    for (auto _ : state) {
        Paint(*grid, image);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["cells"] = cells;
    state.counters["per_cell"] =
        benchmark::Counter(cells, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_PageDownAndPaint_1M_FromTop(benchmark::State& state) { ScrollAndPaint(state, 1000000, 1); }
void BM_PageDownAndPaint_1M_NearEnd(benchmark::State& state) { ScrollAndPaint(state, 1000000, 999000); }
void BM_PageDownAndPaint_100(benchmark::State& state) { ScrollAndPaint(state, 100, 1); }
void BM_Repaint_1M_Middle(benchmark::State& state) { PaintOnly(state, 1000000, 500000); }
void BM_Repaint_100(benchmark::State& state) { PaintOnly(state, 100, 1); }

BENCHMARK(BM_PageDownAndPaint_1M_FromTop)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PageDownAndPaint_1M_NearEnd)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PageDownAndPaint_100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Repaint_1M_Middle)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Repaint_100)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
