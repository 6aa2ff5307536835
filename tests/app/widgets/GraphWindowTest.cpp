// The graph item's window: opened from Add > Graph, undone from the Edit
// menu, printed at the paper's corner, copied through the item's server
// item, and exported as SVG, PDF and PNG pictures that match the screen.
#include "app/MXDoc.h"
#include "app/MXGraph.h"
#include "app/SampleWorkspace.h"
#include "app/widgets/GraphProjectWnd.h"
#include "app/widgets/MXApp.h"
#include "app/widgets/MXMainWnd.h"
#include "draw/DrawEllipse.h"
#include "draw/DrawLine.h"
#include "draw/DrawRect.h"
#include "draw/DrawSrvrItem.h"
#include "draw/DrawText.h"
#include "draw/PageRender.h"
#include "draw/widgets/DrawCommands.h"
#include "draw/widgets/DrawTool.h"
#include "graph/DrawGraph.h"
#include "graph/GraphText.h"
#include "graph/XYAxis.h"
#include "graph/XYDatasetFit.h"
#include "graph/XYDatasetTable.h"
#include "framework/widgets/ProjectFrameBase.h"
#include "platform/Clipboard.h"
#include "platform/StringIds.h"
#include "platform/widgets/CommandIds.h"
#include "support/TestSupport.h"
#include "ui/MeasurementUnit.h"

#include <QApplication>
#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSvgRenderer>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <stdexcept>

namespace {

std::string TempPath(const std::string& name)
{
    auto dir = std::filesystem::temp_directory_path() / ("marlox-graph-window-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    return (dir / name).string();
}

// A graph item with a page of every kind of object, and its view.
struct GraphFixture {
    GraphFixture()
    {
        CShapeTool::ResetToSelect();
        EXPECT_TRUE(doc.OnNewDocument());
        graph = new CMXGraph(&doc);
        graph->InitNewItem();
        CMXDrawData& page = graph->GetPage();
        page.m_bGridLines = 0;
        page.m_bShowOutlines = 0;
        auto* rect = new CDrawRect({0, 0, 1440, -720}, &page);
        rect->SetFillStyle(1, false);
        rect->SetFillColor(0x40C0F0);
        page.AddObject(rect);
        page.AddObject(new CDrawEllipse({2000, -100, 3500, -1200}, &page));
        auto* line = new CDrawLine({0, -2000, 3000, -3000}, &page);
        line->SetArrowHeads(3, 0, 2, 0, false);
        page.AddObject(line);
        auto* text = new CDrawText({200, -3500, 4000, -4000}, &page);
        page.AddObject(text);
        text->ReplaceText(nullptr, "Absorbance at 340 nm", false);
        view = std::make_unique<CGraphView>(graph);
        view->resize(900, 700);
    }
    ~GraphFixture()
    {
        view.reset();
        doc.DeleteContents();
    }
    CCmdUI Query(UINT id)
    {
        CCmdUI ui(id);
        view->OnCmdMsg(id, &ui);
        return ui;
    }

    CMXDoc doc;
    CMXGraph* graph = nullptr;
    std::unique_ptr<CGraphView> view;
};

// Pixels alike within antialiasing: each pixel of a has a pixel of b at most
// one pixel away whose colour differs by at most tolerance (summed over the
// three channels).
double ShareAlike(const QImage& a, const QImage& b, QPoint offset, int tolerance)
{
    int alike = 0, total = 0;
    for (int y = 1; y + 1 < a.height(); ++y)
        for (int x = 1; x + 1 < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            int best = 1000;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    const QPoint q(x + offset.x() + dx, y + offset.y() + dy);
                    if (!b.rect().contains(q))
                        continue;
                    const QRgb r = b.pixel(q);
                    best = std::min(best, std::abs(qRed(p) - qRed(r)) + std::abs(qGreen(p) - qGreen(r))
                                              + std::abs(qBlue(p) - qBlue(r)));
                }
            alike += best <= tolerance;
            ++total;
        }
    return total ? double(alike) / total : 0.0;
}

} // namespace

TEST(GraphWindow, PngExportAtScreenResolutionMatchesTheScreen)
{
    GraphFixture f;
    f.view->SetZoom(100);
    // The paper's corner (-720, 720) a little inside the window.
    f.view->ScrollToViewPosition({5000 - 720 - 150, 5000 - 720 - 150}, false);
    const double dpi = f.view->logicalDpiX();
    const RECT paper = f.graph->GetPage().GetPaperRect();
    // The screen: the page as the view paints it, without handles.
    const QRect paperOnScreen = f.view->DocToClient(paper);
    QImage screen(paperOnScreen.right() + 20, paperOnScreen.bottom() + 20, QImage::Format_RGB32);
    {
        QPainter painter(&screen);
        f.view->PaintClientRect(painter, screen.rect(), false);
    }
    const std::string path = TempPath("page.png");
    ASSERT_TRUE(f.view->ExportTo(path, dpi));
    QImage exported(QString::fromStdString(path));
    ASSERT_FALSE(exported.isNull());
    exported = exported.convertToFormat(QImage::Format_RGB32);
    EXPECT_NEAR(exported.width(), paperOnScreen.width(), 1);
    EXPECT_NEAR(exported.height(), paperOnScreen.height(), 1);
    EXPECT_NEAR(exported.dotsPerMeterX() * 0.0254, dpi, 0.5);
    // Both ways: what the picture shows is on the screen, and the other way round.
    EXPECT_GT(ShareAlike(exported, screen, paperOnScreen.topLeft(), 90), 0.995);
    const QImage screenPaper = screen.copy(paperOnScreen);
    EXPECT_GT(ShareAlike(screenPaper, exported, QPoint(0, 0), 90), 0.995);
    // And the objects are there: the rectangle's fill at page (720, -360).
    const QPoint fill((720 + 720) * dpi / 720.0, (720 + 360) * dpi / 720.0);
    EXPECT_EQ(exported.pixel(fill), qRgb(0xF0, 0xC0, 0x40));
}

TEST(GraphWindow, SvgExportParsesAndPdfHasOnePageOfThePaper)
{
    GraphFixture f;
    const std::string svg = TempPath("page.svg"), pdf = TempPath("page.pdf");
    ASSERT_TRUE(f.view->ExportTo(svg, 96));
    ASSERT_TRUE(f.view->ExportTo(pdf, 96));
    QSvgRenderer renderer(QString::fromStdString(svg));
    ASSERT_TRUE(renderer.isValid());
    // 8.5 by 11 inches at 96 pixels an inch.
    EXPECT_NEAR(renderer.viewBoxF().width(), 816, 1);
    EXPECT_NEAR(renderer.viewBoxF().height(), 1056, 1);
    QFile file(QString::fromStdString(pdf));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString content = QString::fromLatin1(file.readAll());
    ASSERT_TRUE(content.startsWith("%PDF-"));
    EXPECT_EQ(content.count(QRegularExpression("/Type\\s*/Page[^s]")), 1);
    // The page is the paper: 612 by 792 points.
    const QRegularExpressionMatch box = QRegularExpression("/MediaBox\\s*\\[\\s*0\\s+0\\s+([0-9.]+)\\s+([0-9.]+)").match(content);
    ASSERT_TRUE(box.hasMatch());
    EXPECT_NEAR(box.captured(1).toDouble(), 612, 0.5);
    EXPECT_NEAR(box.captured(2).toDouble(), 792, 0.5);
}

// A graph of the sample's rates and their fitted curve goes into SVG and
// PDF as drawing: paths for the lines and symbols, the axis titles and
// tick labels as text, and no picture of pixels anywhere.
TEST(GraphWindow, ExportedGraphsAreVectorsWithTextAsText)
{
    const std::string sample = TempPath("sample.mxf");
    ASSERT_TRUE(WriteSampleWorkspace(sample));
    CMXDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(sample));
    auto* item = new CMXGraph(&doc);
    item->InitNewItem();
    CMXDrawData& page = item->GetPage();
    auto* graph = new CDrawXYGraph(RECT{800, -3500, 3600, -700}, &page);
    auto* points = new CXYDatasetTable("Initial rates", 0, 1, -1, graph);
    points->m_nJoinType = 1;
    graph->AddDataset(points, "Measured rate");
    graph->AddDataset(new CXYDatasetFit("Michaelis-Menten fit", graph, 0), "Fitted curve");
    graph->GetXAxis(0)->GetTitle()->ReplaceText(nullptr, "Substrate (ppm)", false);
    auto view = std::make_unique<CGraphView>(item);
    view->resize(900, 700);

    const std::string svg = TempPath("graph.svg"), pdf = TempPath("graph.pdf");
    ASSERT_TRUE(view->ExportTo(svg, 96));
    ASSERT_TRUE(view->ExportTo(pdf, 96));
    QFile svgFile(QString::fromStdString(svg));
    ASSERT_TRUE(svgFile.open(QIODevice::ReadOnly));
    const QString svgText = QString::fromUtf8(svgFile.readAll());
    EXPECT_FALSE(svgText.contains("<image"));
    EXPECT_GT(svgText.count(QRegularExpression("<(path|polyline|polygon|rect|ellipse|circle|line)\\b")), 10);
    EXPECT_TRUE(svgText.contains(QRegularExpression("<text[^>]*>[^<]*Substrate \\(ppm\\)")));
    QFile pdfFile(QString::fromStdString(pdf));
    ASSERT_TRUE(pdfFile.open(QIODevice::ReadOnly));
    const QString pdfText = QString::fromLatin1(pdfFile.readAll());
    EXPECT_FALSE(pdfText.contains(QRegularExpression("/Subtype\\s*/Image")));
    EXPECT_TRUE(pdfText.contains(QRegularExpression("/Type\\s*/Font")));
    view.reset();
    doc.DeleteContents();
}

TEST(GraphWindow, ExportAsksThroughItsSeamAndReportsAFailure)
{
    GraphFixture f;
    RecordingReporter reporter;
    const std::string path = TempPath("no-such-folder/graph.png");
    CGraphView::SetExportChooser([&](QWidget*, std::string& chosen, double& dpi) {
        chosen = path;
        dpi = 150;
        return true;
    });
    f.view->OnCmdMsg(ID_FILE_EXPORT_GRAPH, nullptr);
    CGraphView::SetExportChooser({});
    EXPECT_EQ(reporter.Ids(), (std::vector<UINT>{IDS_EXPORT_FAILED}));
}

TEST(GraphWindow, PrintingPutsThePageOriginAtTheMarginCorner)
{
    GraphFixture f;
    CMXDrawData& page = f.graph->GetPage();
    for (CDrawObj* obj : CDrawObjList(page.GetObjects()))
        obj->Remove();
    auto* mark = new CDrawRect({0, 0, 72, -72}, &page);
    mark->SetFillStyle(1, false);
    mark->SetFillColor(0x000000);
    mark->SetLineVisible(0, false);
    page.AddObject(mark);
    // Letter paper at 72 dots an inch; one-inch margins put page (0, 0) at (72, 72).
    const QPageLayout layout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0));
    QImage paper(612, 792, QImage::Format_RGB32);
    paper.fill(Qt::white);
    {
        QPainter painter(&paper);
        f.view->PaintPrintedPage(painter, layout, 72, 72);
    }
    EXPECT_EQ(qGray(paper.pixel(73, 73)), 0);
    EXPECT_EQ(qGray(paper.pixel(78, 78)), 0);
    EXPECT_EQ(qGray(paper.pixel(70, 73)), 255);
    EXPECT_EQ(qGray(paper.pixel(73, 70)), 255);
    EXPECT_EQ(qGray(paper.pixel(81, 81)), 255);
}

TEST(GraphWindow, CopyTextAndTheEmbeddingFlag)
{
    GraphFixture f;
    MemoryClipboard clipboard;
    const auto& objects = f.graph->GetPage().GetObjects();
    for (CDrawObj* obj : objects)
        f.view->Select(obj, true);
    EXPECT_EQ(f.Query(ID_EDIT_COPY).m_text.value_or(""), "&Copy All");
    f.view->Deselect(objects.front());
    EXPECT_EQ(f.Query(ID_EDIT_COPY).m_text.value_or(""), "&Copy");
    ASSERT_TRUE(f.view->CopySelection());
    EXPECT_TRUE(clipboard.HasFormat(kDrawingFormat));
    EXPECT_TRUE(clipboard.HasFormat(kSvgFormat));
    EXPECT_TRUE(f.graph->GetServerItem()->IsCopyEmbedded());
    EXPECT_EQ(f.doc.GetServedItemName(), "");
}

TEST(GraphWindow, ZoomScrollAndGridLinesAreKeptWithTheItem)
{
    GraphFixture f;
    f.graph->ClearModified();
    f.view->SetZoom(150);
    EXPECT_EQ(f.graph->GetZoom(), 150);
    EXPECT_TRUE(f.graph->IsModified());
    f.graph->ClearModified();
    f.view->OnCmdMsg(ID_VIEW_GRID_LINES, nullptr);
    EXPECT_TRUE(f.graph->IsModified());
    EXPECT_EQ(f.graph->GetPage().m_bGridLines, 1);
    f.graph->ClearModified();
    f.view->show();
    f.view->verticalScrollBar()->setValue(f.view->verticalScrollBar()->value() + 40);
    EXPECT_TRUE(f.graph->IsModified());
}

TEST(GraphWindow, TheGridStepIsACentimetreForMetricUsers)
{
    GraphFixture f;
    MeasurementUnit& unit = MeasurementUnit::Preference();
    const int before = unit.GetUnit();
    unit.SetUnit(MeasurementUnit::Centimeters);
    EXPECT_EQ(f.view->GetUnitsPerInch(), 283);
    unit.SetUnit(MeasurementUnit::Points);
    EXPECT_EQ(f.view->GetUnitsPerInch(), 720);
    unit.SetUnit(before);
}

TEST(GraphWindow, TheServedExtentFollowsASecondAfterAChange)
{
    GraphFixture f;
    CMXDrawData& page = f.graph->GetPage();
    const SIZE before = page.GetServerExtent();
    auto* far = new CDrawRect({0, 0, 5000, -5000}, &page);
    page.AddObject(far);
    EXPECT_TRUE(f.view->ExtentTimer().isActive());
    EXPECT_EQ(page.GetServerExtent(), before);
    f.view->OnExtentTimer();
    EXPECT_NE(page.GetServerExtent(), before);
    // A second run with none pending does no harm.
    f.view->OnExtentTimer();
}

TEST(GraphWindow, PageSetupReachesThePage)
{
    GraphFixture f;
    f.graph->m_rcMargins = {500, 1000, 500, 250};
    f.graph->m_nOrientation = 2;
    f.view->ApplyItemPageSetup();
    EXPECT_EQ(f.graph->GetPage().GetMargins(), (RECT{360, 720, 360, 180}));
    EXPECT_EQ(f.graph->GetPage().GetOrientation(), 2);
}

TEST(GraphWindow, HideNeedsObjectsThatCanHide)
{
    GraphFixture f;
    f.view->Select(f.graph->GetPage().GetObjects().front());
    EXPECT_FALSE(f.Query(ID_OBJECT_HIDE).m_enabled.value_or(true));
    // The graph tool does not depend on the selection.
    EXPECT_TRUE(f.Query(ID_DRAW_GRAPH).m_enabled.value_or(false));
}

TEST(GraphWindow, AddGraphOpensAWindowWhoseEditsUndo)
{
    auto app = std::make_unique<CMXApp>();
    ASSERT_TRUE(app->InitInstance({"marlox"}));
    {
        RecordingReporter reporter;
        CMXMainWnd* main = app->GetMainFrame();
        main->GetRouter().UpdateAll();
        ASSERT_TRUE(main->GetRouter().Query(ID_ADD_GRAPH).m_enabled.value_or(false));
        ASSERT_TRUE(main->GetRouter().Execute(ID_ADD_GRAPH));
        QApplication::processEvents();
        ASSERT_EQ(main->GetFrames().size(), 1u);
        auto* frame = dynamic_cast<CGraphProjectWnd*>(main->GetFrames().front());
        ASSERT_NE(frame, nullptr);
        CGraphView* view = frame->GetGraphView();
        ASSERT_NE(view, nullptr);
        CMXGraph* graph = view->GetGraph();
        ASSERT_NE(graph, nullptr);
        EXPECT_EQ(graph->GetName(), "Graph");
        // Draw a rectangle with the tool, then undo it from the Edit menu.
        main->GetRouter().Execute(ID_DRAW_RECT);
        QWidget* port = view->viewport();
        const QPoint a = view->DocToClient(POINT{100, -100}), b = view->DocToClient(POINT{1500, -1000});
        QTest::mousePress(port, Qt::LeftButton, {}, a);
        QMouseEvent move(QEvent::MouseMove, QPointF(b), port->mapToGlobal(QPointF(b)), Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(port, &move);
        QTest::mouseRelease(port, Qt::LeftButton, {}, b);
        ASSERT_EQ(graph->GetPage().GetObjects().size(), 1u);
        main->GetRouter().UpdateAll();
        ASSERT_TRUE(main->GetRouter().Query(ID_EDIT_UNDO).m_enabled.value_or(false));
        main->GetRouter().Execute(ID_EDIT_UNDO);
        EXPECT_TRUE(graph->GetPage().GetObjects().empty());
        if (auto* doc = dynamic_cast<CMXDoc*>(app->GetProjectDoc()))
            doc->SetModifiedFlag(false);
    }
    app->ExitInstance();
}

namespace {

// A graph part that can be hidden (as graph texts can).
class CHideableRect : public CDrawRect {
    DECLARE_SERIAL(CHideableRect)
public:
    CHideableRect() = default;
    CHideableRect(const RECT& r, CDrawData* page) : CDrawRect(r, page) {}
    int CanHide() override { return 1; }
};
IMPLEMENT_SERIAL(CHideableRect, CDrawRect, 0)

class FailingClipboard : public MemoryClipboard {
public:
    bool SetData(const ClipboardFormats&) override { throw std::runtime_error("the clipboard is gone"); }
};

} // namespace

TEST(GraphWindow, HidingEverySelectedObjectWorksOnACopyOfTheSelection)
{
    GraphFixture f;
    CMXDrawData& page = f.graph->GetPage();
    auto* a = new CHideableRect({0, -5000, 100, -5100}, &page);
    auto* b = new CHideableRect({200, -5000, 300, -5100}, &page);
    page.AddObject(a);
    page.AddObject(b);
    f.view->Select(a);
    f.view->Select(b, true);
    ASSERT_TRUE(f.Query(ID_OBJECT_HIDE).m_enabled.value_or(false));
    f.view->OnCmdMsg(ID_OBJECT_HIDE, nullptr);
    EXPECT_EQ(a->IsShown(), 0);
    EXPECT_EQ(b->IsShown(), 0);
    EXPECT_TRUE(f.view->GetSelection().empty());
}

TEST(GraphWindow, AFailedCopyStillPutsTheFlagAndTheServedNameBack)
{
    GraphFixture f;
    FailingClipboard clipboard;
    for (CDrawObj* obj : f.graph->GetPage().GetObjects())
        f.view->Select(obj, true);
    f.view->Deselect(f.graph->GetPage().GetObjects().front());
    EXPECT_THROW(f.view->CopySelection(), std::runtime_error);
    EXPECT_TRUE(f.graph->GetServerItem()->IsCopyEmbedded());
    EXPECT_EQ(f.doc.GetServedItemName(), "");
    // The page's served extent is the page's again.
    const SIZE extent = f.graph->GetPage().GetServerExtent();
    f.graph->GetPage().OnExtentTimer();
    EXPECT_EQ(f.graph->GetPage().GetServerExtent(), extent);
}
