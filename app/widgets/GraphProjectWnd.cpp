#include "app/widgets/GraphProjectWnd.h"

#include "app/MXDoc.h"
#include "app/MXGraph.h"
#include "draw/DrawData.h"
#include "draw/PageRender.h"
#include "draw/widgets/DrawCommands.h"
#include "draw/widgets/DrawTool.h"
#include "framework/UpdateNotification.h"
#include "framework/widgets/HeaderFooterPainter.h"
#include "framework/widgets/HeaderFooterSetupDialog.h"
#include "graphui/widgets/DrawStylePages.h"
#include "platform/Reporter.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"
#include "platform/widgets/CommandIds.h"
#include "ui/MeasurementUnit.h"
#include "framework/widgets/HelpPropertySheet.h"

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
    case ID_DRAW_GRAPH: {
        // Graphs come with the graph model; until then the tool has nothing to place.
        CShapeDragTool* tool = GetDragTool(SHAPE_GRAPH);
        if (ui) {
            ui->Enable(false);
            ui->SetRadio(CShapeTool::GetCurrentShape() == SHAPE_GRAPH);
            return true;
        }
        if (tool)
            CShapeTool::SetCurrentShape(SHAPE_GRAPH, this);
        return true;
    }
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
