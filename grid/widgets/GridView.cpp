#include "grid/widgets/GridView.h"

#include "grid/widgets/GridPainterQt.h"
#include "grid/widgets/MagnificationDlg.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPaintDevice>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include <algorithm>

namespace {

std::vector<CGridView*>& LiveViews()
{
    static std::vector<CGridView*> views;
    return views;
}

} // namespace

// What the engine sees while it lays out and paints printer pages: a page of
// the printer's size and resolution, and nothing to scroll or invalidate.
class CGridView::PrintHost : public CGridHost {
public:
    PrintHost(CGridView& view, QPaintDevice& device, QSize page)
        : m_view(view), m_device(device), m_page(page), m_client(page)
    {
    }
    // The part of the page the layout may fill.
    void SetClient(QSize client) { m_client = client; }
    bool HasWindow() const override { return false; }
    bool IsWindowVisible() const override { return false; }
    bool IsWindowEnabled() const override { return true; }
    void GetClientRect(RECT& rect) const override { rect = RECT{0, 0, m_client.width(), m_client.height()}; }
    CGridMetrics GetMetrics() const override
    {
        CGridMetrics m;
        m.logPixelsX = m_device.logicalDpiX();
        m.logPixelsY = m_device.logicalDpiY();
        m.screenWidth = m_page.width();
        m.screenHeight = m_page.height();
        return m;
    }
    SIZE MeasureText(const LOGFONT& font, std::string_view text) const override
    {
        const QFontMetrics metrics(FontFromLogFont(font), &m_device);
        return SIZE{metrics.horizontalAdvance(QString::fromUtf8(text.data(), qsizetype(text.size()))), metrics.height()};
    }
    void Invalidate(bool) override {}
    void InvalidateRect(const RECT&, bool) override {}
    void UpdateWindow() override {}
    void ScrollWindow(int, int, const RECT&) override {}
    void SetScrollRange(int, int, int) override {}
    void SetScrollPos(int, int) override {}
    int GetScrollPos(int) const override { return 0; }
    void ShowScrollBar(int, bool, bool) override {}
    void SetCapture() override {}
    void ReleaseCapture() override {}
    void SetTimer(UINT, UINT) override {}
    void KillTimer(UINT) override {}
    POINT GetCursorPos() const override { return POINT{}; }
    void PostMouseMove(UINT, POINT) override {}
    UINT GetKeyModifiers() const override { return 0; }
    void SetCursor(int) override {}
    bool OpenClipboard() override { return false; }
    bool EmptyClipboard() override { return false; }
    void SetClipboardText(const std::string&) override {}
    bool GetClipboardText(std::string&) override { return false; }
    bool CloseClipboard() override { return false; }
    bool ClipboardHasText() const override { return false; }
    // Events raised while a page is laid out concern the page only.
    void BroadcastGridEvent(CGridEngine& sender, int code, const void* data) override
    {
        m_view.OnGridEvent(&sender, code, data);
    }

private:
    CGridView& m_view;
    QPaintDevice& m_device;
    QSize m_page;
    QSize m_client;
};

CGridView::CGridView(QWidget* parent) : CGridWindow(parent)
{
    LiveViews().push_back(this);
}

CGridView::~CGridView()
{
    if (IsPrinting())
        EndPrinting();
    auto& views = LiveViews();
    views.erase(std::remove(views.begin(), views.end(), this), views.end());
    for (CGridView* view : views) {
        if (view->m_pSameRow == this)
            view->m_pSameRow = nullptr;
        if (view->m_pSameColumn == this)
            view->m_pSameColumn = nullptr;
    }
    m_cells.Clear();
}

std::vector<CGridView*> CGridView::ViewsOf(const CGridData* data)
{
    std::vector<CGridView*> result;
    for (CGridView* view : LiveViews())
        if (data && view->GetGridData() == data)
            result.push_back(view);
    return result;
}

// ---------------------------------------------------------------- document view

void CGridView::OnInitialUpdate()
{
    if (!GetGridData())
        return;
    m_bInitialUpdate = true;
    if (!IsInitialised())
        InitGrid();
    else
        SetupFonts();
    SetCursor(GRID_HIT_NONE);
    CGridData& d = *GetGridData();
    if (m_bPane) {
        if (!d.m_bFirstView) {
            Update(GRID_UPDATE_ALL, 0);
            SetCurrentCell(d.m_nCurrentRow, d.m_nCurrentColumn, 0, 2, 2);
            d.m_bFirstView = 1;
        } else {
            Update(GRID_UPDATE_ALL, 0);
            OnVScroll(SB_THUMBPOSITION, GetTopRow());
            OnHScroll(SB_THUMBPOSITION, GetLeftColumn());
        }
    } else {
        Update(GRID_UPDATE_ALL, 0);
        const int row = d.m_nCurrentRow, column = d.m_nCurrentColumn;
        d.m_nCurrentRow = d.m_nCurrentColumn = -1;
        SetCurrentCell(row, column, 0, 1, 1);
    }
}

void CGridView::showEvent(QShowEvent* event)
{
    CGridWindow::showEvent(event);
    if (!m_bInitialUpdate)
        OnInitialUpdate();
}

void CGridView::OnUpdate(CDocView* sender, int hint, CObject* object)
{
    if (!GetGridData() || IsPrinting())
        return;
    if (sender) {
        auto* view = dynamic_cast<CGridView*>(sender);
        if (!view || view->GetGridData() != GetGridData())
            return;
        OnGridEvent(view, hint, object);
        return;
    }
    // A change of the document itself: lay out and repaint.
    if (IsInitialised()) {
        Update(GRID_UPDATE_ALL, 0);
        viewport()->update();
    }
}

void CGridView::BroadcastGridEvent(CGridEngine& sender, int code, const void* data)
{
    CGridData* gridData = sender.GetGridData();
    for (CGridView* view : ViewsOf(gridData)) {
        if (view->IsPrinting() && view != &sender)
            continue;
        view->OnGridEvent(&sender, code, data);
    }
    if (m_notifier)
        m_notifier(*this, code, data);
}

void CGridView::mousePressEvent(QMouseEvent* event)
{
    // A right click activates the view's frame as a left click does.
    if (event->button() == Qt::RightButton)
        setFocus(Qt::MouseFocusReason);
    CGridWindow::mousePressEvent(event);
}

// ---------------------------------------------------------------- panes

void CGridView::SetupPane(int paneRow, int paneColumn)
{
    paneRow = std::clamp(paneRow, 0, 1);
    paneColumn = std::clamp(paneColumn, 0, 1);
    m_bPane = true;
    SetPane(paneRow * 2 + paneColumn);
    if (CGridData* d = GetGridData()) {
        for (int row = 0; row < d->m_nFrozenRows; ++row)
            ShowRow(row, paneRow == 0, false);
        for (int column = 0; column < d->m_nHeaderColumns; ++column)
            ShowColumn(column, paneColumn == 0, false);
    }
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    RECT client;
    GetClientRect(client);
    if (IsInitialised())
        OnGridEvent(this, GRID_EVENT_REDRAW_RECT, &client);
}

void CGridView::SetPaneNeighbours(CGridView* sameRow, CGridView* sameColumn)
{
    m_pSameRow = sameRow;
    m_pSameColumn = sameColumn;
}

void CGridView::SetLeftColumn(int column)
{
    CGridWindow::SetLeftColumn(column);
    CouplePanes(false, column);
}

void CGridView::SetTopRow(int row)
{
    CGridWindow::SetTopRow(row);
    CouplePanes(true, row);
}

void CGridView::CouplePanes(bool vertical, int position)
{
    if (m_bCoupling || IsPrinting())
        return;
    CGridView* other = vertical ? m_pSameRow : m_pSameColumn;
    if (!other || other->m_bCoupling || !other->IsInitialised())
        return;
    m_bCoupling = true;
    other->m_bCoupling = true;
    if (vertical)
        other->OnVScroll(SB_THUMBPOSITION, position);
    else
        other->OnHScroll(SB_THUMBPOSITION, position);
    other->m_bCoupling = false;
    m_bCoupling = false;
}

// ---------------------------------------------------------------- zoom

bool CGridView::ChooseZoom()
{
    if (!GetGridData())
        return false;
    CMagnificationDlg dialog(this, CMagnificationDlg::kGridTemplate);
    dialog.m_nPercent = GetGridData()->GetEffectiveZoom();
    if (dialog.exec() != QDialog::Accepted)
        return false;
    SetZoom(dialog.m_nPercent);
    return true;
}

// ---------------------------------------------------------------- printing

int CGridView::BeginPrinting(QPaintDevice& device, const QSize& pageSize)
{
    if (!GetGridData())
        return 0;
    if (IsPrinting())
        EndPrinting();
    CommitCurrentCellEdit();
    CGridData& d = *GetGridData();
    m_savedTop = GetTopRow();
    m_savedLeft = GetLeftColumn();
    m_savedShadow = d.m_crShadow;
    m_pPrintDevice = &device;
    m_pageSize = pageSize;
    m_pPrintHost = std::make_unique<PrintHost>(*this, device, pageSize);
    d.m_bZoomSuspended = 1;
    d.m_crShadow = RGB(0, 0, 0); // grid lines print solid black
    SetHost(m_pPrintHost.get());
    SetupFonts();
    m_pages.clear();

    // Sizes in the engine's logical units (six per device pixel of the printer).
    const std::int64_t pageWidth = std::int64_t(pageSize.width()) * kLogicalPerPixel;
    const std::int64_t pageHeight = std::int64_t(pageSize.height()) * kLogicalPerPixel;
    const int headerColumns = std::min(d.m_nHeaderColumns, d.m_nColumnCount);
    const int frozenRows = std::min(d.m_nFrozenRows, d.m_nRowCount);
    std::int64_t headerWidth = 0, headerHeight = 0;
    for (int c = 0; c < headerColumns; ++c)
        headerWidth += IsColumnHidden(c) ? 0 : GetColumnWidth(c, true);
    for (int r = 0; r < frozenRows; ++r)
        headerHeight += IsRowHidden(r) ? 0 : std::abs(std::int64_t(GetRowHeight(r, true)));
    const std::int64_t roomX = pageWidth - headerWidth, roomY = pageHeight - headerHeight;
    const int lastColumn = std::min(GetLastColumn(0), d.m_nColumnCount - 1);

    auto columnWidth = [&](int c) -> std::int64_t { return IsColumnHidden(c) ? 0 : GetColumnWidth(c, true); };
    auto rowHeight = [&](int r) -> std::int64_t { return IsRowHidden(r) ? 0 : std::abs(std::int64_t(GetRowHeight(r, true))); };

    for (int c = headerColumns; c <= lastColumn;) {
        // A band always takes one column, even one wider than the page.
        const int bandFirst = c;
        std::int64_t used = columnWidth(c++);
        while (c <= lastColumn && used + columnWidth(c) <= roomX)
            used += columnWidth(c++);
        const int bandLast = c - 1;
        int lastRow = frozenRows - 1;
        for (int k = bandFirst; k <= bandLast; ++k)
            lastRow = std::max(lastRow, std::min(GetLastRow(k), d.m_nRowCount - 1));
        if (lastRow < frozenRows) {
            m_pages.push_back(CGridPageRange{frozenRows, frozenRows - 1, bandFirst, bandLast});
            continue;
        }
        for (int r = frozenRows; r <= lastRow;) {
            // Likewise a row taller than the page is printed, clipped, on a page of its own.
            const int first = r;
            std::int64_t height = rowHeight(r++);
            while (r <= lastRow && height + rowHeight(r) <= roomY)
                height += rowHeight(r++);
            m_pages.push_back(CGridPageRange{first, r - 1, bandFirst, bandLast});
        }
    }
    if (m_pages.empty())
        m_pages.push_back(CGridPageRange{frozenRows, frozenRows - 1, headerColumns, headerColumns - 1});
    return int(m_pages.size());
}

void CGridView::PrintPage(QPainter& painter, int index)
{
    if (!IsPrinting() || index < 0 || index >= int(m_pages.size()))
        return;
    const CGridPageRange& page = m_pages[std::size_t(index)];
    CGridData& d = *GetGridData();
    CGridEngine::SetTopRow(std::max(page.firstRow, d.m_nFrozenRows));
    CGridEngine::SetLeftColumn(std::max(page.firstColumn, d.m_nHeaderColumns));
    m_pPrintHost->SetClient(m_pageSize);
    Update(GRID_UPDATE_ALL, 0);

    // The page shows its own cells and the headings, nothing of the next page.
    int right = m_pageSize.width(), bottom = m_pageSize.height();
    const int anyRow = d.m_nFrozenRows > 0 ? 0 : page.firstRow;
    const int anyColumn = d.m_nHeaderColumns > 0 ? 0 : page.firstColumn;
    const int edgeColumn = page.lastColumn >= page.firstColumn ? page.lastColumn : d.m_nHeaderColumns - 1;
    const int edgeRow = page.lastRow >= page.firstRow ? page.lastRow : d.m_nFrozenRows - 1;
    RECT cell;
    if (GetCellRect(anyRow, edgeColumn, cell))
        right = std::min<int>(right, cell.right);
    if (GetCellRect(edgeRow, anyColumn, cell))
        bottom = std::min<int>(bottom, cell.bottom);
    const QRect clip(0, 0, std::max(0, right), std::max(0, bottom));
    // Laid out again on the page's own cells, so that nothing of the next page is drawn.
    m_pPrintHost->SetClient(clip.size());
    Update(GRID_UPDATE_ALL, 0);
    painter.save();
    painter.setClipRect(clip);
    CGridPainterQt gridPainter(painter, clip, true);
    OnDraw(gridPainter);
    painter.restore();
}

void CGridView::EndPrinting()
{
    if (!IsPrinting())
        return;
    CGridData& d = *GetGridData();
    m_pages.clear();
    d.m_bZoomSuspended = 0;
    d.m_crShadow = m_savedShadow;
    CGridEngine::SetTopRow(m_savedTop);
    CGridEngine::SetLeftColumn(m_savedLeft);
    SetHost(this);
    m_pPrintHost.reset();
    m_pPrintDevice = nullptr;
    SetupFonts();
    Update(GRID_UPDATE_ALL, 0);
    UpdateScrollPositions();
    viewport()->update();
}

void CGridView::Print(QPrinter& printer)
{
    QPainter painter;
    if (!painter.begin(&printer))
        return;
    const QRect paintRect = printer.pageLayout().paintRectPixels(printer.resolution());
    const int count = BeginPrinting(printer, paintRect.size());
    int from = printer.fromPage(), to = printer.toPage();
    if (from <= 0) {
        from = 1;
        to = count;
    }
    to = std::min(to, count);
    for (int page = from; page <= to; ++page) {
        if (page > from)
            printer.newPage();
        PrintPage(painter, page - 1);
    }
    EndPrinting();
    painter.end();
}

void CGridView::PrintPreview(QPrinter* printer)
{
    QPrinter defaultPrinter(QPrinter::HighResolution);
    QPrintPreviewDialog dialog(printer ? printer : &defaultPrinter, this);
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* target) { Print(*target); });
    dialog.exec();
}
