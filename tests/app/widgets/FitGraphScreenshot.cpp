// Opens the sample workspace, adds a graph item showing the sample's rates
// with error bars and the fitted Michaelis-Menten curve, and below it the
// residuals of the fit, and saves a picture of the graph window:
//   fit_graph_screenshot Sample.mxf out.png
#include "app/MXDoc.h"
#include "app/MXGraph.h"
#include "app/MXGrid.h"
#include "app/MXResult.h"
#include "app/widgets/GraphProjectWnd.h"
#include "data/DataString.h"
#include "draw/DrawText.h"
#include "graph/DrawGraph.h"
#include "graph/GraphText.h"
#include "graph/XYAxis.h"
#include "graph/XYDatasetFit.h"
#include "graph/XYDatasetTable.h"

#include <QApplication>
#include <QPixmap>

#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 3)
        return 2;
    CMXDoc doc;
    if (!doc.OnOpenDocument(argv[1])) {
        std::fprintf(stderr, "cannot open %s\n", argv[1]);
        return 1;
    }
    auto* fit = dynamic_cast<CMXResult*>(doc.FindItem("Michaelis-Menten fit"));
    auto* rates = dynamic_cast<CMXGrid*>(doc.FindItem("Initial rates"));
    if (!fit || !rates)
        return 1;

    // The residuals of the fit, beside the rates they belong to.
    CMyData& table = rates->GetTable();
    table.SetCell(1, 2, new CDataString("Residual"));
    for (int row = 2; row <= table.GetLastRow(0); ++row)
        if (std::optional<double> r = fit->GetResidual(row, 0))
            table.SetNumber(row, 2, *r);

    auto* item = new CMXGraph(&doc);
    item->InitNewItem();
    item->SetName("Rates and fit", 0);
    CMXDrawData& page = item->GetPage();
    page.m_bGridLines = 0;
    page.m_bShowOutlines = 0;

    auto* title = new CDrawText({300, -100, 5000, -450}, &page);
    page.AddObject(title);
    title->ReplaceText(nullptr, "Initial rates with the fitted Michaelis-Menten curve", false);

    auto* graph = new CDrawXYGraph(RECT{800, -3500, 3600, -700}, &page);
    auto* points = new CXYDatasetTable("Initial rates", 0, 1, -1, graph);
    points->m_nYErrorMode = 2; // 5 % of each rate
    points->m_dYPropError = 5.0;
    points->m_symbolBrush.lbColor = 0xC06020;
    points->m_nSymbolSize = 7;
    graph->AddDataset(points, "Measured rate");
    auto* curve = new CXYDatasetFit("Michaelis-Menten fit", graph, 0);
    curve->m_nSymbolShape = 16;
    curve->m_crCurve = 0x2020C0;
    curve->m_nCurveWidth = 16;
    graph->AddDataset(curve, "Fitted curve");

    auto name = [](CXYAxis* axis, const std::string& text) { axis->GetTitle()->ReplaceText(nullptr, text, false); };
    name(graph->GetXAxis(0), "Substrate (ppm)");
    name(graph->GetYAxis(0), "Rate (counts/min\xC2\xB2)");

    auto* residuals = new CDrawXYGraph(RECT{800, -5500, 3600, -4400}, &page);
    auto* r = new CXYDatasetTable("Initial rates", 0, 2, -1, residuals);
    r->m_nSymbolShape = 1;
    r->m_nSymbolSize = 8;
    residuals->AddDataset(r, "Residual");
    name(residuals->GetXAxis(0), "Substrate (ppm)");
    name(residuals->GetYAxis(0), "Residual");

    CGraphView view(item);
    view.setWindowTitle("Rates and fit");
    view.resize(900, 1000);
    view.show();
    view.SetZoom(100);
    view.ScrollToViewPosition({5000 - 720 - 30, 5000 - 720 - 30}, false);
    app.processEvents();
    view.grab().save(argv[2]);
    return 0;
}
