// A grid as the view of a document: it shows grid data that its owner holds
// (a data table's grid settings), so that several views and the panes of a
// splitter show one grid. Grid events go to every view on the same grid data
// and to nothing else; the owner may relay them further to its other views.
// It prints the grid page by page, the heading rows and columns on every page.
//
// Hosting it in an item frame:
//   auto* view = new CGridView(frame);        // or a subclass with its cells
//   view->SetGridData(&item->GetGridData());  // before it is shown
//   view->SetDocumentNotifier(...);           // optional: relay grid events as hints
//   frame->setCentralWidget(view);            // shown: the initial update runs
//   view->OnUpdate(nullptr, hint, object);    // document changes (CDocView)
//   view->Print(printer) / PrintPreview() / ChooseZoom()
#pragma once

#include "framework/WorkspaceHost.h"
#include "grid/widgets/GridWindow.h"

#include <functional>
#include <vector>

class QPaintDevice;
class QPainter;
class QPrinter;

// The cells one printed page holds (inclusive; lastRow < firstRow: headings only).
struct CGridPageRange {
    int firstRow = 0;
    int lastRow = -1;
    int firstColumn = 0;
    int lastColumn = -1;
    friend bool operator==(const CGridPageRange&, const CGridPageRange&) = default;
};

class CGridView : public CGridWindow, public CDocView {
    Q_OBJECT
public:
    explicit CGridView(QWidget* parent = nullptr);
    ~CGridView() override;

    // ---- Document view ----
    void OnInitialUpdate();
    bool HadInitialUpdate() const { return m_bInitialUpdate; }
    // Updates from a grid view on the same grid data (or from no sender) reach
    // the engine; any other sender is ignored.
    void OnUpdate(CDocView* sender, int hint, CObject* object) override;
    // Called once per grid event after the views on the grid data have it.
    using DocumentNotifier = std::function<void(CGridView& sender, int code, const void* data)>;
    void SetDocumentNotifier(DocumentNotifier notifier) { m_notifier = std::move(notifier); }
    void BroadcastGridEvent(CGridEngine& sender, int code, const void* data) override;
    // The live views that show this grid data.
    static std::vector<CGridView*> ViewsOf(const CGridData* data);

    // ---- Splitter panes ----
    // This view becomes pane (row, column) of a splitter of at most 2 x 2
    // panes: frozen rows show only in the top row of panes, heading columns
    // only in the left column. Scrolling couples panes of one row (vertical)
    // and of one column (horizontal).
    void SetupPane(int paneRow, int paneColumn);
    void SetPaneNeighbours(CGridView* sameRow, CGridView* sameColumn);
    bool IsSplitterPane() const override { return m_bPane; }
    void SetLeftColumn(int column) override;
    void SetTopRow(int row) override;

    // ---- Zoom ----
    // Asks for a zoom percentage (5 to 600) and applies it; false when cancelled.
    bool ChooseZoom();

    // ---- Printing ----
    // Lays the grid out for pages of pageSize device pixels of the device and
    // cuts it into pages: bands of columns across, bands of rows down, the
    // heading rows and columns repeated; a row or column larger than a page
    // gets a page of its own and is printed clipped. Pages run down first.
    int BeginPrinting(QPaintDevice& device, const QSize& pageSize);
    const std::vector<CGridPageRange>& GetPages() const { return m_pages; }
    // Paints page index (0-based) with its top left at the painter's origin.
    void PrintPage(QPainter& painter, int index);
    void EndPrinting();
    bool IsPrinting() const { return m_pPrintDevice != nullptr; }
    // Prints the printer's page range (all pages when none is chosen).
    void Print(QPrinter& printer);
    // A preview of the printer's pages (a default printer when none is given).
    void PrintPreview(QPrinter* printer = nullptr);

protected:
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void OnContextMenu(const QPoint& position) override {}

private:
    class PrintHost;
    void CouplePanes(bool vertical, int position);

    bool m_bInitialUpdate = false;
    bool m_bPane = false;
    CGridView* m_pSameRow = nullptr;
    CGridView* m_pSameColumn = nullptr;
    bool m_bCoupling = false;
    DocumentNotifier m_notifier;

    std::vector<CGridPageRange> m_pages;
    QPaintDevice* m_pPrintDevice = nullptr;
    std::unique_ptr<PrintHost> m_pPrintHost;
    QSize m_pageSize;
    int m_savedTop = 1, m_savedLeft = 1;
    COLORREF m_savedShadow = 0;
};
