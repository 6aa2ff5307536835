// Shows a histogram of 400 simulated measurements (two overlapping normal
// populations) in a graph window and saves a picture of it:
//   histogram_screenshot out.png
#include "app/MXDoc.h"
#include "app/MXGraph.h"
#include "app/MXGrid.h"
#include "app/widgets/GraphProjectWnd.h"
#include "data/DataString.h"
#include "draw/DrawText.h"
#include "graph/DrawGraph.h"
#include "graph/GraphText.h"
#include "graph/XYAxis.h"
#include "graph/XYDatasetHisto.h"

#include <QApplication>
#include <QPixmap>

#include <cmath>
#include <cstdint>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 2)
        return 2;
    CMXDoc doc;
    doc.OnNewDocument();
    auto* data = new CMXGrid(&doc);
    data->InitNewItem();
    data->SetName("Cell sizes", 0);
    CMyData& t = data->GetTable();
    t.SetCell(1, 0, new CDataString("Diameter (um)"));
    // A fixed generator, so that the picture is the same at every run.
    std::uint64_t state = 12345;
    auto uniform = [&] {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return (double((state >> 11) & ((1ULL << 53) - 1)) + 0.5) / double(1ULL << 53);
    };
    for (int i = 0; i < 400; ++i) {
        const double z = std::sqrt(-2.0 * std::log(uniform())) * std::cos(6.283185307179586 * uniform());
        t.SetNumber(i + 2, 0, i % 3 == 0 ? 14.0 + 1.5 * z : 9.0 + 1.2 * z);
    }

    auto* item = new CMXGraph(&doc);
    item->InitNewItem();
    item->SetName("Size distribution", 0);
    CMXDrawData& page = item->GetPage();
    page.m_bGridLines = 0;
    page.m_bShowOutlines = 0;
    auto* title = new CDrawText({300, -100, 5000, -450}, &page);
    page.AddObject(title);
    title->ReplaceText(nullptr, "Cell diameters, 400 cells, bins of 0.5 um", false);

    auto* graph = new CDrawHistoGraph(RECT{800, -3800, 3800, -800}, &page);
    auto* h = new CXYDatasetHisto("Cell sizes", 0, 0, -1, graph);
    h->m_dBinWidth = 0.5;
    h->m_crFore = 0xD0A060;
    graph->AddDataset(h, "Cells");
    graph->GetXAxis(0)->GetTitle()->ReplaceText(nullptr, "Diameter (um)", false);
    graph->GetYAxis(0)->GetTitle()->ReplaceText(nullptr, "Count", false);

    CGraphView view(item);
    view.setWindowTitle("Size distribution");
    view.resize(900, 700);
    view.show();
    view.SetZoom(100);
    view.ScrollToViewPosition({5000 - 720 - 30, 5000 - 720 - 30}, false);
    app.processEvents();
    view.grab().save(argv[1]);
    return 0;
}
