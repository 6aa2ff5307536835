// Repainting a graph page of 10,000 drawing objects in the drawing view at
// 100 %: the whole paper (816 x 1056 pixels on a 96 dpi screen) should take
// at most 16 ms, one frame at 60 Hz. After one object moves, the view
// repaints only the areas the object left and took: the same work for that
// area alone is measured beside the full repaint, with the share of the
// page it covers.
#include "draw/DrawData.h"
#include "draw/DrawEllipse.h"
#include "draw/DrawLine.h"
#include "draw/DrawRect.h"
#include "draw/DrawRoundRect.h"
#include "draw/DrawText.h"
#include "draw/widgets/DrawView.h"
#include "framework/ProjectDocBase.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

class BenchView : public CDrawView {
public:
    explicit BenchView(CDrawData* page) : m_page(page) {}
    CDrawData* GetDrawData() const override { return m_page; }
    // The areas the view asks to repaint, as the window system would collect them.
    void InvalObj(CDrawObj* obj) override
    {
        CDrawView::InvalObj(obj);
        const RECT box = UnionRects(NormalizedRect(obj->GetBounds()), NormalizedRect(obj->GetRepaintBox()));
        dirty |= DocToClient(box).adjusted(-6, -7, 7, 6);
    }
    QRect dirty;

private:
    CDrawData* m_page;
};

// 10,000 objects on a 100 x 100 grid over the area inside the margins
// (7.5 x 9.5 inches): rectangles, filled rectangles, ellipses, rounded
// rectangles and lines with arrow heads, and a text in every 100th place.
struct Scene {
    Scene()
    {
        page.SetDocument(&doc);
        page.InitPageSetup();
        page.m_bGridLines = 0;
        const int stepX = 5400 / 100, stepY = 6840 / 100;
        for (int i = 0; i < 100; ++i)
            for (int j = 0; j < 100; ++j) {
                const RECT r{i * stepX, -j * stepY, i * stepX + stepX - 10, -j * stepY - stepY + 10};
                CDrawObj* obj = nullptr;
                switch ((i + j) % 5) {
                case 0: obj = new CDrawRect(r, &page); break;
                case 1:
                    obj = new CDrawRect(r, &page);
                    obj->SetFillStyle(1, false);
                    obj->SetFillColor(0x80C0FF);
                    break;
                case 2: obj = new CDrawEllipse(r, &page); break;
                case 3: obj = new CDrawRoundRect(r, &page); break;
                default: {
                    auto* line = new CDrawLine(r, &page);
                    line->SetArrowHeads(3, 0, 0, 1, false);
                    obj = line;
                    break;
                }
                }
                if ((i * 100 + j) % 100 == 99) {
                    delete obj;
                    auto* text = new CDrawText(r, &page);
                    text->ReplaceText(nullptr, "Abs", false);
                    obj = text;
                }
                page.AddObject(obj);
            }
        view = std::make_unique<BenchView>(&page);
        doc.AddView(view.get());
        view->resize(1000, 1200);
        view->SetZoom(100);
        view->ScrollToViewPosition({5000 - 720 - 50, 5000 - 720 - 50}, false);
        paper = view->DocToClient(page.GetPaperRect());
        image = QImage(paper.right() + 10, paper.bottom() + 10, QImage::Format_ARGB32_Premultiplied);
        // The first painting lays the texts out; what is measured is repainting.
        Paint(paper);
    }
    void Paint(const QRect& area)
    {
        QPainter painter(&image);
        view->PaintClientRect(painter, area, true);
    }

    CProjectDocBase doc;
    CDrawData page;
    std::unique_ptr<BenchView> view;
    QRect paper;
    QImage image;
};

Scene& TheScene()
{
    static Scene scene;
    return scene;
}

void BM_RepaintWholePage(benchmark::State& state)
{
    Scene& s = TheScene();
    for (auto _ : state)
        s.Paint(s.paper);
    state.counters["objects"] = double(s.page.GetObjects().size());
    state.counters["pixels"] = double(s.paper.width()) * s.paper.height();
}
BENCHMARK(BM_RepaintWholePage)->Unit(benchmark::kMillisecond);

void BM_RepaintAfterMovingOneObject(benchmark::State& state)
{
    Scene& s = TheScene();
    CDrawObj* obj = s.page.GetObjects()[5050];
    const RECT home = obj->GetPosition();
    int step = 0;
    double share = 0;
    for (auto _ : state) {
        state.PauseTiming();
        s.view->dirty = QRect();
        const int dx = (step++ % 2) ? -300 : 300;
        obj->MoveTo(OffsetRect(obj->GetPosition(), dx, dx), nullptr);
        const QRect dirty = s.view->dirty;
        share = double(dirty.width()) * dirty.height() / (double(s.paper.width()) * s.paper.height());
        state.ResumeTiming();
        s.Paint(dirty);
    }
    obj->MoveTo(home, nullptr);
    state.counters["area_share"] = share;
}
BENCHMARK(BM_RepaintAfterMovingOneObject)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
