#include "app/widgets/GraphProjectWnd.h"

#include "app/MXDoc.h"
#include "app/MXGraph.h"
#include "app/widgets/FitSourcePages.h"
#include "app/widgets/GraphPropertySheet.h"
#include "app/widgets/MXWizardCatalog.h"
#include "draw/DrawData.h"
#include "draw/PageRender.h"
#include "draw/widgets/DrawCommands.h"
#include "draw/widgets/DrawTool.h"
#include "framework/UpdateNotification.h"
#include "framework/widgets/HeaderFooterPainter.h"
#include "framework/widgets/HeaderFooterSetupDialog.h"
#include "graph/DrawGraph.h"
#include "graph/DrawResults.h"
#include "graph/Legend.h"
#include "graph/ScaleText.h"
#include "graphui/widgets/AxisManager.h"
#include "graphui/widgets/ChartWizard.h"
#include "graphui/widgets/DrawStylePages.h"
#include "graphui/widgets/HistoWizard.h"
#include "graphui/widgets/XYWizard.h"
#include "platform/Reporter.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"
#include "platform/widgets/CommandIds.h"
#include "ui/MeasurementUnit.h"
#include "framework/widgets/HelpPropertySheet.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScrollBar>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

std::vector<CGraphView*>& LiveViews()
{
    static std::vector<CGraphView*> views;
    return views;
}

CGraphView::ExportChooser& ExportSeam()
{
    static CGraphView::ExportChooser chooser;
    return chooser;
}

CGraphView::DialogRunner& DialogSeam()
{
    static CGraphView::DialogRunner runner;
    return runner;
}

// The graph tool marks out a place with a bare graph while the mouse is
// dragged; the new-graph road takes over when the mouse is let go.
void InstallGraphTool()
{
    CShapeDragTool* tool = GetDragTool(SHAPE_GRAPH);
    if (!tool)
        return;
    tool->SetFactory([](const RECT& rect, CDrawData* page, CDrawView*) -> CDrawObj* { return new CDrawGraph(rect, page); });
    tool->SetPlaced([](CDrawView* view, const RECT& rect) {
        if (auto* graphView = qobject_cast<CGraphView*>(view))
            graphView->PostNewGraph(rect);
    });
}

// Whether the graph has a wizard that adds data to it.
bool HasWizard(const CDrawGraph* graph)
{
    return dynamic_cast<const CDrawXYGraph*>(graph) || dynamic_cast<const CDrawHistoGraph*>(graph)
        || dynamic_cast<const CDrawColumnGraph*>(graph) || dynamic_cast<const CDrawBarGraph*>(graph);
}

// Sets the server item's copy flag for one copy and puts it back however the copy ends.
class CopyFlag {
public:
    CopyFlag(CGraphServerItem* item, bool embed) : m_item(item)
    {
        if (m_item)
            m_item->m_bCopyEmbedded = embed;
    }
    ~CopyFlag()
    {
        if (m_item)
            m_item->m_bCopyEmbedded = true;
    }

private:
    CGraphServerItem* m_item;
};

// The name of the served graph, cleared however the copy ends.
class ServedName {
public:
    ServedName(CMXDoc* doc, const std::string& name) : m_doc(doc)
    {
        if (m_doc)
            m_doc->SetServedItemName(name.c_str());
    }
    ~ServedName()
    {
        if (m_doc)
            m_doc->SetServedItemName(nullptr);
    }

private:
    CMXDoc* m_doc;
};

} // namespace

void InstallPrinterPaperProvider()
{
    CDrawData::SetDefaultPaperProvider([](SIZE& paper, short& orientation) {
        const QPrinterInfo printer = QPrinterInfo::defaultPrinter();
        if (printer.isNull())
            return false;
        const QSizeF inches = printer.defaultPageSize().size(QPageSize::Inch);
        if (inches.width() <= 0 || inches.height() <= 0)
            return false;
        paper = {LONG(std::lround(inches.width() * kUnitsPerInch)), LONG(std::lround(inches.height() * kUnitsPerInch))};
        orientation = 1;
        return true;
    });
}

// ---------------------------------------------------------------- the view

CGraphView::CGraphView(CMXGraph* graph, QWidget* parent) : CDrawView(parent), m_pGraph(graph)
{
    // A graph's server item renders for the window that shows the graph
    // (the one with the focus when there are several).
    if (!CGraphServerItem::s_findView)
        CGraphServerItem::s_findView = [](CMXGraph* shown) -> CDrawViewBase* {
            CGraphView* found = nullptr;
            for (CGraphView* view : LiveViews())
                if (view->GetGraph() == shown && (!found || view->hasFocus()))
                    found = view;
            return found;
        };
    setObjectName("GraphView");
    InstallGraphTool();
    LiveViews().push_back(this);
    m_extentTimer.setSingleShot(true);
    m_extentTimer.setInterval(1000);
    connect(&m_extentTimer, &QTimer::timeout, this, &CGraphView::OnExtentTimer);
    if (!m_pGraph)
        return;
    if (CProjectDocBase* doc = m_pGraph->GetDocument())
        doc->AddView(this);
    m_pGraph->GetPage().SetExtentTimer([this] { m_extentTimer.start(); });
    m_bRestoring = true;
    UpdateScrollSizes();
    ScrollToViewPosition(m_pGraph->GetPage().m_ptViewPosition, true);
    m_bRestoring = false;
}

void CGraphView::OnExtentTimer()
{
    m_extentTimer.stop();
    if (m_pGraph)
        m_pGraph->GetPage().OnExtentTimer();
}

CGraphView::~CGraphView()
{
    Detach();
    auto& views = LiveViews();
    views.erase(std::remove(views.begin(), views.end(), this), views.end());
}

void CGraphView::Detach()
{
    if (!m_pGraph)
        return;
    EndTextEditing();
    m_extentTimer.stop();
    m_pGraph->GetPage().SetExtentTimer({});
    if (CProjectDocBase* doc = m_pGraph->GetDocument())
        doc->RemoveView(this);
    ClearSelection();
    m_pGraph = nullptr;
}

CDrawData* CGraphView::GetDrawData() const { return m_pGraph ? &m_pGraph->GetPage() : nullptr; }

int CGraphView::GetZoomUnits() const { return m_pGraph ? m_pGraph->GetZoom() : 100; }

void CGraphView::SetZoomUnits(int percent)
{
    if (!m_pGraph)
        return;
    m_pGraph->SetZoom(percent);
    m_pGraph->SetModified(true);
}

int CGraphView::GetUnitsPerInch() const
{
    // A metric user's grid is a centimetre: 283 page units.
    const int unit = MeasurementUnit::Preference().GetUnit();
    return unit == MeasurementUnit::Centimeters || unit == MeasurementUnit::Millimeters ? 283 : kUnitsPerInch;
}

CActionList* CGraphView::GetActionList() const { return m_pGraph ? &m_pGraph->GetActionList() : nullptr; }

void CGraphView::scrollContentsBy(int dx, int dy)
{
    CDrawView::scrollContentsBy(dx, dy);
    if (!m_pGraph || m_bRestoring)
        return;
    // The scroll position is kept with the page (in page units) and reopens there.
    CMXDrawData& page = m_pGraph->GetPage();
    const POINT position{LONG(std::lround(horizontalScrollBar()->value() / ScaleX())),
                         LONG(std::lround(verticalScrollBar()->value() / ScaleY()))};
    if (position.x != page.m_ptViewPosition.x || position.y != page.m_ptViewPosition.y) {
        page.m_ptViewPosition = position;
        m_pGraph->SetModified(true);
    }
}

void CGraphView::OnUpdate(CDocView* sender, int hint, CObject* object)
{
    // A running wizard hears of the items it lists first.
    if (m_pWizard && hint == UPDATE_HINT_NOTIFICATION)
        if (auto* notice = dynamic_cast<CUpdateNotification*>(object))
            m_pWizard->OnItemNotify(*notice);
    // Workspace notices reach the page's objects through the item; the view
    // does not repaint for them.
    if (hint == UPDATE_HINT_NOTIFICATION)
        return;
    CDrawView::OnUpdate(sender, hint, object);
}

bool CGraphView::CopySelection()
{
    if (!m_pGraph || !CanCopySelection())
        return false;
    ServedName served(dynamic_cast<CMXDoc*>(m_pGraph->GetDocument()), m_pGraph->GetName());
    const bool embed = int(GetSelection().size()) == CountShownObjects();
    CGraphServerItem* item = m_pGraph->GetServerItem();
    CopyFlag flag(item, embed);
    if (!item)
        return false;
    return GetClipboard().SetData(item->OnGetClipboardData());
}

CHelpPropertySheet* CGraphView::BuildPropertySheet(const std::string& title, int mask)
{
    return BuildDrawStyleSheet(this, title, mask);
}

void CGraphView::RunPropertySheet(const std::string& title, int mask)
{
    std::unique_ptr<CHelpPropertySheet> sheet(BuildPropertySheet(title, mask));
    if (sheet && sheet->GetPageCount() > 0)
        sheet->exec();
}

// ---------------------------------------------------------------- graphs

void CGraphView::SetDialogRunner(DialogRunner runner) { DialogSeam() = std::move(runner); }

int CGraphView::RunDialog(QDialog& dialog)
{
    auto* wizard = dynamic_cast<CWizardSheet*>(&dialog);
    if (!DialogSeam())
        return wizard ? wizard->Run() : dialog.exec();
    if (wizard)
        wizard->Start();
    return DialogSeam()(dialog);
}

CMXDoc* CGraphView::GetDocument() const
{
    return m_pGraph ? dynamic_cast<CMXDoc*>(m_pGraph->GetDocument()) : nullptr;
}

CDrawGraph* CGraphView::GetSelectedGraph() const
{
    const auto& selection = GetSelection();
    return selection.size() == 1 ? dynamic_cast<CDrawGraph*>(selection.front()) : nullptr;
}

void CGraphView::AddObjectCommands(QMenu* menu)
{
    if (!GetSelectedGraph())
        return;
    AddMenuCommand(menu, ID_GRAPH_ADD_DATA, tr("&Add Data..."));
    AddMenuCommand(menu, ID_GRAPH_AXIS_MANAGER, tr("A&xis Manager..."));
    AddMenuCommand(menu, ID_GRAPH_SHOW_LEGEND, tr("Show &Legend"));
}

void CGraphView::PostNewGraph(const RECT& rect)
{
    QTimer::singleShot(0, this, [this, rect] { NewGraph(rect); });
}

void CGraphView::NewGraph(const RECT& rect)
{
    CMXDoc* doc = GetDocument();
    if (!GetDrawData() || !doc || m_pWizard)
        return;
    EndTextEditing();
    CSelectGraphTypeDlg gallery(this);
    if (RunDialog(gallery) != QDialog::Accepted)
        return;
    const int kind = gallery.GetChoice();
    CMXWizardCatalog catalog(doc);
    std::unique_ptr<CGraphWizardSheet> sheet;
    if (kind == 0)
        sheet = std::make_unique<CXYWizardSheet>(&catalog, doc, this);
    else if (kind == 3)
        sheet = std::make_unique<CHistoWizardSheet>(&catalog, doc, this);
    else
        sheet = MakeChartWizard(kind, &catalog, doc, this);
    if (!sheet)
        return;
    m_pWizard = sheet.get();
    const int result = RunDialog(*sheet);
    m_pWizard = nullptr;
    // The item may have gone while the wizard ran.
    CDrawData* page = GetDrawData();
    if (result != ID_WIZFINISH || !page)
        return;
    BeginUndoStep();
    CDrawGraph* graph = nullptr;
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        if (kind == 0)
            graph = new CDrawXYGraph(rect, page);
        else if (kind == 3)
            graph = new CDrawHistoGraph(rect, page);
        else
            graph = BuildChart(static_cast<CChartWizardSheet&>(*sheet), page, rect);
        if (kind == 0 || kind == 3)
            sheet->ApplyToGraph(graph, true);
        QApplication::restoreOverrideCursor();
    }
    Select(graph, false);
    graph->Invalidate();
    EndUndoStep(IDS_UNDO_NEW_GRAPH);
}

void CGraphView::AddData(CDrawGraph* graph)
{
    CMXDoc* doc = GetDocument();
    if (!graph || !doc || m_pWizard || !HasWizard(graph))
        return;
    CMXWizardCatalog catalog(doc);
    std::unique_ptr<CGraphWizardSheet> sheet;
    if (dynamic_cast<CDrawXYGraph*>(graph))
        sheet = std::make_unique<CXYWizardSheet>(graph, &catalog, doc, this);
    else if (dynamic_cast<CDrawHistoGraph*>(graph))
        sheet = std::make_unique<CHistoWizardSheet>(graph, &catalog, doc, this);
    else if (dynamic_cast<CDrawBarGraph*>(graph))
        sheet = std::make_unique<CBarChartWizardSheet>(graph, &catalog, doc, this);
    else
        sheet = std::make_unique<CColChartWizardSheet>(graph, &catalog, doc, this);
    m_pWizard = sheet.get();
    const int result = RunDialog(*sheet);
    m_pWizard = nullptr;
    if (result != ID_WIZFINISH || !GetDrawData() || GetDrawData()->GetObjectIndex(graph) < 0)
        return;
    Edit(IDS_UNDO_ADD_DATA, [&] {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        sheet->ApplyToGraph(graph, false);
        QApplication::restoreOverrideCursor();
        graph->Invalidate();
    });
}

void CGraphView::RunAxisManager(CDrawGraph* graph)
{
    if (!graph || !GetDrawData())
        return;
    // Column and bar charts are offered only the Y axis options.
    const bool xy = dynamic_cast<CDrawXYGraph*>(graph) || dynamic_cast<CDrawHistoGraph*>(graph);
    CAxisManagerSheet sheet(graph, this, xy, true);
    if (RunDialog(sheet) != ID_WIZFINISH || GetDrawData()->GetObjectIndex(graph) < 0)
        return;
    Edit(IDS_UNDO_AXIS_MANAGER, [&] {
        sheet.ApplyChoice();
        graph->Invalidate();
    });
}

bool CGraphView::OpenObjectSheet(CDrawObj* obj, const QPoint* clicked)
{
    std::unique_ptr<CGraphPropertySheet> sheet;
    if (auto* graph = dynamic_cast<CDrawGraph*>(obj)) {
        int side = 0;
        if (clicked) {
            // Near the top or bottom edge of the frame lie the X axes, near
            // the left or right edge the Y axes.
            const POINT at = ClientToDoc(*clicked);
            const RECT frame = graph->GetFrame();
            const SIZE handle = graph->GetHandleSize(this);
            int style = 0, width = 0;
            graph->GetLineStyle(style, width);
            const int tolerance = std::max(width, 0) + 4 * std::max<int>(handle.cx, handle.cy);
            auto near = [tolerance](LONG a, LONG b) { return std::abs(a - b) <= tolerance; };
            const bool inX = at.x >= frame.left - tolerance && at.x <= frame.right + tolerance;
            const bool inY = at.y >= frame.top - tolerance && at.y <= frame.bottom + tolerance;
            if (inX && (near(at.y, frame.top) || near(at.y, frame.bottom)))
                side = 1;
            else if (inY && (near(at.x, frame.left) || near(at.x, frame.right)))
                side = 2;
        }
        sheet = CGraphPropertySheet::ForGraph(this, graph, side);
    } else if (auto* sample = dynamic_cast<CDataPointBox*>(obj)) {
        sheet = CGraphPropertySheet::ForDataset(this, sample);
    } else if (auto* labels = dynamic_cast<CXYScaleText*>(obj)) {
        sheet = CGraphPropertySheet::ForScaleText(this, labels);
    } else if (auto* box = dynamic_cast<CLegendBox*>(obj)) {
        sheet = CGraphPropertySheet::ForLegend(this, box);
    } else if (auto* listing = dynamic_cast<CDrawResults*>(obj)) {
        sheet = CGraphPropertySheet::ForResults(this, listing);
        // Without a fit item the page has said so and nothing opens.
        if (!sheet)
            return true;
    }
    if (!sheet)
        return false;
    Edit(IDS_UNDO_PROPERTIES, [&] { RunDialog(*sheet); });
    return true;
}

void CGraphView::InsertResultsListing()
{
    CMXDoc* doc = GetDocument();
    CDrawData* page = GetDrawData();
    if (!doc || !page)
        return;
    CResultsListingDlg dialog(doc, this);
    if (!dialog.OnInitDialog() || RunDialog(dialog) != QDialog::Accepted || !GetDrawData())
        return;
    Edit(IDS_UNDO_RESULTS_LISTING, [&] {
        // Where a new object goes: the view's top left corner, an inch in.
        const POINT corner = ClientToDoc(QPoint(0, 0));
        const RECT at{corner.x + kUnitsPerInch, corner.y - kUnitsPerInch, corner.x + kUnitsPerInch,
                      corner.y - kUnitsPerInch};
        auto* listing = new CDrawResults(dialog.m_strName, at, page, dialog.m_nFitNumber - 1);
        page->AddObject(listing);
        listing->RecalcSize();
        Select(listing, false);
        listing->Invalidate();
    });
}

void CGraphView::ApplyItemPageSetup()
{
    if (m_pGraph)
        m_pGraph->ApplyPageSetupToPage();
}

void CGraphView::PaintPrintedPage(QPainter& painter, const QPageLayout& layout, double dpiX, double dpiY)
{
    if (!m_pGraph)
        return;
    CMXDrawData& page = m_pGraph->GetPage();
    painter.save();
    painter.scale(dpiX / 1000.0, dpiY / 1000.0);
    PrintHeaderFooter(painter, *m_pGraph, PaperSizeThousandths(layout), 1, 1);
    painter.restore();
    // The paper's corner is page point (-left margin, top margin) at every
    // printing: 720 page units to the printer's inch.
    const RECT paperRect = page.GetPaperRect();
    DrawPageArea(painter, page, paperRect, (paperRect.right - paperRect.left) * dpiX / kUnitsPerInch,
                 (paperRect.bottom - paperRect.top) * dpiY / kUnitsPerInch, {}, false);
}

int CGraphView::PrintTo(QPagedPaintDevice& device)
{
    if (!m_pGraph)
        return 0;
    EndTextEditing();
    CMXDrawData& page = m_pGraph->GetPage();
    device.setPageMargins(QMarginsF(0, 0, 0, 0));
    device.setPageOrientation(m_pGraph->m_nOrientation == 2 ? QPageLayout::Landscape : QPageLayout::Portrait);
    const QPageLayout layout = device.pageLayout();
    // The page takes the paper of the printer it goes to, and gets its own back afterwards.
    const QSizeF inches = layout.fullRect(QPageLayout::Inch).size();
    const SIZE paper{LONG(std::lround(inches.width() * kUnitsPerInch)), LONG(std::lround(inches.height() * kUnitsPerInch))};
    page.RecalcPageSize(&paper);
    QPainter painter(&device);
    if (painter.isActive()) {
        PaintPrintedPage(painter, layout, device.logicalDpiX(), device.logicalDpiY());
        painter.end();
    }
    page.RecalcPageSize();
    return 1;
}

void CGraphView::Print()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(m_pGraph && m_pGraph->m_nOrientation == 2 ? QPageLayout::Landscape
                                                                        : QPageLayout::Portrait);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted)
        PrintTo(printer);
}

void CGraphView::PrintPreview()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(m_pGraph && m_pGraph->m_nOrientation == 2 ? QPageLayout::Landscape
                                                                        : QPageLayout::Portrait);
    QPrintPreviewDialog dialog(&printer, this);
    dialog.setObjectName("PrintPreview");
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* device) { PrintTo(*device); });
    dialog.exec();
}

void CGraphView::SetExportChooser(ExportChooser chooser) { ExportSeam() = std::move(chooser); }

bool CGraphView::ExportTo(const std::string& path, double dpi)
{
    if (!m_pGraph)
        return false;
    EndTextEditing();
    if (ExportPage(m_pGraph->GetPage(), path, "png", dpi))
        return true;
    ReportMessage(IDS_EXPORT_FAILED, {path});
    return false;
}

void CGraphView::Export()
{
    std::string path;
    double dpi = logicalDpiX();
    bool chosen = false;
    if (ExportSeam()) {
        chosen = ExportSeam()(this, path, dpi);
    } else {
        QString filter = QString::fromStdString(LoadString(IDS_EXPORT_FILTER)).replace('|', ";;");
        QString selected;
        const QString name = QFileDialog::getSaveFileName(this, QString::fromStdString(LoadString(IDS_EXPORT_GRAPH)),
                                                          QString::fromStdString(m_pGraph ? m_pGraph->GetName() : ""),
                                                          filter, &selected);
        if (!name.isEmpty()) {
            QString file = name;
            if (!file.contains('.'))
                file += selected.contains("svg") ? ".svg" : selected.contains("pdf") ? ".pdf" : ".png";
            path = file.toStdString();
            chosen = true;
            if (file.endsWith(".png", Qt::CaseInsensitive)) {
                bool ok = false;
                const int value = QInputDialog::getInt(this, QString::fromStdString(LoadString(IDS_EXPORT_GRAPH)),
                                                       QString::fromStdString(LoadString(IDS_EXPORT_RESOLUTION)),
                                                       int(dpi), 24, 2400, 1, &ok);
                chosen = ok;
                dpi = value;
            }
        }
    }
    if (chosen && !path.empty())
        ExportTo(path, dpi);
}

bool CGraphView::OnCmdMsg(UINT id, CCmdUI* ui)
{
    CDrawData* page = GetDrawData();
    // The editor of a text being edited answers first.
    if (page && page->m_pEditObj && GetTextEditor())
        return CDrawView::OnCmdMsg(id, ui);
    auto enable = [&](bool on) {
        if (ui)
            ui->Enable(on);
        return true;
    };
    const auto& selection = GetSelection();
    switch (id) {
    case ID_FILE_PRINT:
    case ID_FILE_PRINT_PREVIEW:
        if (ui)
            return enable(m_pGraph != nullptr);
        if (id == ID_FILE_PRINT)
            Print();
        else
            PrintPreview();
        return true;
    case ID_FILE_EXPORT_GRAPH:
        if (ui)
            return enable(m_pGraph != nullptr);
        Export();
        return true;
    case ID_FILE_PAGE_SETUP:
        if (ui)
            return enable(m_pGraph != nullptr);
        if (m_pGraph && OnFilePageSetup(*m_pGraph, this))
            Edit(IDS_UNDO_PAGE_SETUP, [this] { ApplyItemPageSetup(); });
        return true;
    case ID_EDIT_COPY:
        if (ui) {
            ui->Enable(CanCopySelection());
            ui->SetText(LoadString(int(selection.size()) == CountShownObjects() ? IDS_COPY_ALL : IDS_COPY));
            return true;
        }
        CopySelection();
        return true;
    case ID_VIEW_GRID_LINES:
        if (!ui && m_pGraph)
            m_pGraph->SetModified(true);
        return CDrawView::OnCmdMsg(id, ui);
    case ID_DRAW_GRAPH:
        if (ui) {
            ui->Enable(m_pGraph != nullptr);
            ui->SetRadio(CShapeTool::GetCurrentShape() == SHAPE_GRAPH);
            return true;
        }
        if (GetDragTool(SHAPE_GRAPH))
            CShapeTool::SetCurrentShape(SHAPE_GRAPH, this);
        return true;
    case ID_GRAPH_NEW:
        if (ui)
            return enable(m_pGraph != nullptr);
        NewGraph(kNewGraphRect);
        return true;
    case ID_GRAPH_ADD_DATA: {
        CDrawGraph* graph = GetSelectedGraph();
        if (ui) {
            ui->Enable(graph && HasWizard(graph));
            ui->SetReason(LoadString(IDS_REASON_SELECT_GRAPH));
            return true;
        }
        AddData(graph);
        return true;
    }
    case ID_GRAPH_AXIS_MANAGER: {
        CDrawGraph* graph = GetSelectedGraph();
        if (ui) {
            ui->Enable(graph != nullptr);
            ui->SetReason(LoadString(IDS_REASON_SELECT_GRAPH));
            return true;
        }
        RunAxisManager(graph);
        return true;
    }
    case ID_GRAPH_SHOW_LEGEND: {
        CDrawGraph* graph = GetSelectedGraph();
        CLegend* legend = graph ? graph->GetLegend() : nullptr;
        if (ui) {
            ui->Enable(legend != nullptr);
            ui->SetCheck(legend && legend->IsShown());
            ui->SetReason(LoadString(graph ? IDS_REASON_GRAPH_NO_LEGEND : IDS_REASON_SELECT_GRAPH));
            return true;
        }
        if (legend)
            Edit(IDS_UNDO_SHOW_LEGEND, [&] { legend->Show(!legend->IsShown()); });
        return true;
    }
    case ID_DRAW_RESULTS_LISTING:
        if (ui)
            return enable(m_pGraph != nullptr);
        InsertResultsListing();
        return true;
    case ID_OBJECT_HIDE: {
        bool can = !selection.empty();
        for (CDrawObj* obj : selection)
            can = can && obj->CanHide();
        if (ui)
            return enable(can);
        if (can)
            Edit(IDS_UNDO_HIDE, [&] {
                // Hiding drops each object from the selection: go over a copy.
                for (CDrawObj* obj : std::vector<CDrawObj*>(selection))
                    obj->SetDisplayOption(0);
            });
        return true;
    }
    case ID_OBJECT_GROUP: {
        if (ui) {
            bool graph = false;
            for (CDrawObj* obj : selection)
                graph = graph || obj->IsKind(1);
            ui->Enable(selection.size() > 1 && !graph);
            ui->SetReason(LoadString(selection.size() > 1 ? IDS_REASON_GRAPH_IN_GROUP : IDS_REASON_SELECT_TWO));
            return true;
        }
        return CDrawView::OnCmdMsg(id, ui);
    }
    case ID_FORMAT_SET_FACE:
    case ID_FORMAT_SET_SIZE:
        return enable(true);
    default:
        return CDrawView::OnCmdMsg(id, ui);
    }
}

// ---------------------------------------------------------------- the frame

CGraphView* CGraphProjectWnd::GetGraphView() const { return qobject_cast<CGraphView*>(widget()); }

QWidget* CGraphProjectWnd::CreateItemView() { return new CGraphView(dynamic_cast<CMXGraph*>(m_pItem)); }

void CGraphProjectWnd::OnDetach()
{
    if (CGraphView* view = GetGraphView())
        view->Detach();
}
