// Shows a graph window whose page holds every kind of drawing object and
// saves a picture of it:   graph_screenshot out.png
#include "app/MXDoc.h"
#include "app/MXGraph.h"
#include "app/widgets/GraphProjectWnd.h"
#include "draw/DrawEllipse.h"
#include "draw/DrawGroup.h"
#include "draw/DrawLine.h"
#include "draw/DrawPoly.h"
#include "draw/DrawRect.h"
#include "draw/DrawRoundRect.h"
#include "draw/DrawText.h"

#include <QApplication>
#include <QPixmap>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 2)
        return 2;
    CMXDoc doc;
    doc.OnNewDocument();
    auto* graph = new CMXGraph(&doc);
    graph->InitNewItem();
    CMXDrawData& page = graph->GetPage();

    auto* title = new CDrawText({300, -100, 4800, -500}, &page);
    page.AddObject(title);
    title->ReplaceText(nullptr, "Every kind of drawing object", false);
    CHARFORMAT big;
    big.dwMask = CFM_BOLD | CFM_SIZE;
    big.dwEffects = CFE_BOLD;
    big.yHeight = 360;
    title->SetCharFormat(nullptr, big);

    auto* rect = new CDrawRect({300, -800, 1500, -1700}, &page);
    rect->SetFillStyle(1, false);
    rect->SetFillColor(0xF0C040);
    page.AddObject(rect);
    auto* round = new CDrawRoundRect({1900, -800, 3100, -1700}, &page);
    round->SetFillStyle(1, false);
    round->SetFillColor(0x90E090);
    round->SetLineStyle(1, 16, false);
    page.AddObject(round);
    auto* ellipse = new CDrawEllipse({3500, -800, 4900, -1700}, &page);
    ellipse->SetFillStyle(1, false);
    ellipse->SetFillColor(0xE0A0C0);
    ellipse->SetAngle(20);
    page.AddObject(ellipse);

    auto* line = new CDrawLine({300, -2100, 2300, -2900}, &page);
    line->SetArrowHeads(3, 7, 2, 0, false);
    line->SetLineStyle(0, 16, false);
    page.AddObject(line);
    auto* dashed = new CDrawLine({300, -3100, 2300, -3100}, &page);
    dashed->SetLineStyle(3, 12, false);
    dashed->SetArrowHeads(1, 2, 1, 0, false);
    page.AddObject(dashed);

    auto* poly = new CDrawPoly({0, 0, 0, 0}, &page);
    poly->SetPoints({{2800, -2100}, {3600, -2300}, {4700, -2100}, {4300, -3000}, {3200, -3200}});
    poly->SetPolyClosed(1, false);
    poly->SetFillStyle(1, false);
    poly->SetFillColor(0xFFE0B0);
    page.AddObject(poly);

    auto* group = new CDrawGroup({0, 0, 0, 0}, &page);
    auto* a = new CDrawEllipse({400, -3600, 1000, -4200}, &page);
    a->SetFillStyle(1, false);
    a->SetFillColor(0x4040FF);
    auto* b = new CDrawRect({900, -3800, 1700, -4400}, &page);
    b->SetFillStyle(1, false);
    b->SetFillColor(0xFF8040);
    group->AddChild(a);
    group->AddChild(b);
    page.AddObject(group);

    auto* turned = new CDrawText({2400, -3700, 4400, -4100}, &page);
    page.AddObject(turned);
    turned->ReplaceText(nullptr, "Rotated rich text", false);
    turned->SetTextOrientation(15);

    CGraphView view(graph);
    view.setWindowTitle("Graph");
    view.resize(840, 760);
    view.show();
    view.SetZoom(100);
    view.ScrollToViewPosition({5000 - 720 - 30, 5000 - 720 - 30}, false);
    view.Select(round);
    app.processEvents();
    view.grab().save(argv[1]);
    return 0;
}
