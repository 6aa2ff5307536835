// Repainting an XY graph whose table dataset holds 1,000,000 points joined
// by a line, at 100 % on a 96 dpi screen (a 7 x 5 inch frame, 672 x 480
// pixels): the goal is at most 16 ms, one frame at 60 Hz. The long line is
// drawn reduced to the first, lowest, highest and last point of each pixel
// column; beside it the same graph is drawn with every segment (the full
// drawing), and the pixels in which the two pictures differ are counted:
// the rasteriser's dropout rules for runs of sub-pixel segments make a few
// pixels at the ends of columns differ.
#include "data/MyData.h"
#include "draw/DrawDC.h"
#include "draw/DrawData.h"
#include "framework/ProjectDocBase.h"
#include "graph/DrawGraph.h"
#include "graph/GraphSources.h"
#include "graph/XYDatasetTable.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

namespace {

class BenchWorkspace : public CProjectDocBase, public CGraphSources {
public:
    CMXProjectItem* FindGraphItem(std::string_view) const override { return nullptr; }
    const CMyData* FindTable(std::string_view, CMXProjectItem** item) const override
    {
        if (item)
            *item = nullptr;
        return &table;
    }
    CGraphFitSource* FindFit(std::string_view) const override { return nullptr; }
    const CEquationBase* FindEquation(std::string_view) const override { return nullptr; }
    bool GetAssociatedX(const CMyData&, int, std::vector<double>&) const override { return false; }
    CMyData table;
};

struct Scene {
    Scene()
    {
        page.SetDocument(&doc);
        page.InitPageSetup();
        // A noisy signal: a slow sine with a fast wobble on it.
        for (int i = 0; i < kPoints; ++i) {
            const double x = i * 0.001;
            doc.table.SetNumber(i + 2, 0, x);
            doc.table.SetNumber(i + 2, 1, std::sin(x * 0.01) + 0.1 * std::sin(x * 37.0));
        }
        graph = new CDrawXYGraph(RECT{0, 0, 5040, 3600}, &page);
        auto* d = new CXYDatasetTable("Data", 0, 1, -1, graph);
        d->m_nJoinType = 1;
        d->m_nSymbolShape = 16;
        graph->AddDataset(d, "signal");
        d->GetPointCount();
    }
    // Draws the graph as the view does at 100 %: 7.5 page units a pixel.
    void Paint(QImage& image, bool full)
    {
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.scale(1.0 / 7.5, -1.0 / 7.5);
        painter.translate(600, -4200);
        CDrawDC dc;
        dc.painter = &painter;
        dc.pixelX = dc.pixelY = 7.5;
        dc.reduceLongLines = !full;
        graph->Draw(dc, nullptr);
    }
    static constexpr int kPoints = 1'000'000;
    BenchWorkspace doc;
    CDrawData page;
    CDrawXYGraph* graph = nullptr;
};

Scene& TheScene()
{
    static Scene scene;
    return scene;
}

void BM_RepaintMillionPointLine(benchmark::State& state)
{
    Scene& s = TheScene();
    QImage image(760, 600, QImage::Format_RGB32);
    for (auto _ : state)
        s.Paint(image, false);
    state.counters["points"] = double(Scene::kPoints);
}
BENCHMARK(BM_RepaintMillionPointLine)->Unit(benchmark::kMillisecond);

void BM_FullDrawingOfTheSameLine(benchmark::State& state)
{
    Scene& s = TheScene();
    QImage image(760, 600, QImage::Format_RGB32);
    for (auto _ : state)
        s.Paint(image, true);
    QImage reduced(760, 600, QImage::Format_RGB32);
    s.Paint(reduced, false);
    // The reduced line should draw the very pixels of the full one.
    int differing = 0, drawn = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            differing += image.pixel(x, y) != reduced.pixel(x, y);
            drawn += image.pixel(x, y) != qRgb(255, 255, 255);
        }
    state.counters["differing_pixels"] = differing;
    state.counters["drawn_pixels"] = drawn;
}
BENCHMARK(BM_FullDrawingOfTheSameLine)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
