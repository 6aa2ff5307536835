// Shows a column chart of enzyme activity under four treatments at three
// times (means with standard deviations as error bars) in a graph window and
// saves a picture of it:
//   column_chart_screenshot out.png
#include "app/MXDoc.h"
#include "app/MXGraph.h"
#include "app/MXGrid.h"
#include "app/widgets/GraphProjectWnd.h"
#include "data/DataString.h"
#include "draw/DrawText.h"
#include "graph/DrawGraph.h"
#include "graph/GraphText.h"
#include "graph/XYAxis.h"
#include "graph/XYDatasetChart.h"

#include <QApplication>
#include <QPixmap>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 2)
        return 2;
    CMXDoc doc;
    doc.OnNewDocument();
    auto* data = new CMXGrid(&doc);
    data->InitNewItem();
    data->SetName("Activity", 0);
    CMyData& t = data->GetTable();
    const char* names[] = {"Treatment", "1 h", "4 h", "24 h", "SD 1 h", "SD 4 h", "SD 24 h"};
    for (int c = 0; c < 7; ++c)
        t.SetCell(1, c, new CDataString(names[c]));
    const char* treatments[] = {"Control", "Inhibitor A", "Inhibitor B", "Inhibitor C"};
    const double means[4][3] = {{12.1, 12.4, 12.0}, {9.8, 7.2, 4.1}, {11.5, 10.2, 8.9}, {10.9, 6.3, 2.2}};
    const double sds[4][3] = {{0.8, 0.9, 1.1}, {0.7, 0.6, 0.5}, {0.9, 0.8, 0.7}, {1.0, 0.5, 0.3}};
    for (int r = 0; r < 4; ++r) {
        t.SetCell(r + 2, 0, new CDataString(treatments[r]));
        for (int c = 0; c < 3; ++c) {
            t.SetNumber(r + 2, c + 1, means[r][c]);
            t.SetNumber(r + 2, c + 4, sds[r][c]);
        }
    }

    auto* item = new CMXGraph(&doc);
    item->InitNewItem();
    item->SetName("Activity by treatment", 0);
    CMXDrawData& page = item->GetPage();
    page.m_bGridLines = 0;
    page.m_bShowOutlines = 0;
    auto* title = new CDrawText({300, -100, 5000, -450}, &page);
    page.AddObject(title);
    title->ReplaceText(nullptr, "Enzyme activity after 1, 4 and 24 hours (mean and SD, n = 4)", false);

    auto* graph = new CDrawColumnGraph(RECT{800, -3800, 3500, -800}, &page);
    graph->GetCategoryAxis()->SetCategorySource("Activity", 0);
    const COLORREF fills[3] = {0xE0C090, 0xB07030, 0x603010};
    const char* entries[3] = {"1 hour", "4 hours", "24 hours"};
    for (int s = 0; s < 3; ++s) {
        auto* series = new CXYDatasetColChart("Activity", s + 1, s + 4, -1, -1, graph);
        series->m_crFore = fills[s];
        series->m_nSymbolShape = 16;
        series->m_nErrorCaps = 1;
        if (s == 2) {
            series->m_nFillStyle = 5; // diagonal cross-hatch
            series->m_crBack = 0xF0E0D0;
        }
        graph->AddDataset(series, entries[s]);
    }
    graph->GetXAxis(0)->GetTitle()->ReplaceText(nullptr, "Treatment", false);
    graph->GetYAxis(0)->GetTitle()->ReplaceText(nullptr, "Activity (U/mg)", false);
    graph->GetYAxis(0)->m_nMajorGridStyle = 2;
    graph->GetYAxis(0)->m_crMajorGrid = 0xC0C0C0;

    CGraphView view(item);
    view.setWindowTitle("Activity by treatment");
    view.resize(900, 700);
    view.show();
    view.SetZoom(100);
    view.ScrollToViewPosition({5000 - 720 - 30, 5000 - 720 - 30}, false);
    app.processEvents();
    view.grab().save(argv[1]);
    return 0;
}
