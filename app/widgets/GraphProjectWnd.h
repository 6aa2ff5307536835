// The window of a graph item: its frame and the view that shows, edits,
// prints and exports the item's page. The view keeps the zoom, the scroll
// position and the grid lines in the item, copies through the item's server
// item, and brings the served extent up to date a second after changes.
#pragma once

#include "app/widgets/MXProjectWnd.h"
#include "draw/widgets/DrawView.h"

#include <QTimer>

#include <functional>
#include <string>

class CDrawGraph;
class CGraphWizardSheet;
class CMXDoc;
class CMXGraph;
class CHelpPropertySheet;
class QDialog;
class QPageLayout;
class QPagedPaintDevice;
class QPainter;

class CGraphView : public CDrawView {
    Q_OBJECT
public:
    explicit CGraphView(CMXGraph* graph, QWidget* parent = nullptr);
    ~CGraphView() override;

    CDrawData* GetDrawData() const override;
    int GetZoomUnits() const override;
    void SetZoomUnits(int percent) override;
    int GetUnitsPerInch() const override;
    CActionList* GetActionList() const override;
    CMXGraph* GetGraph() const { return m_pGraph; }
    // The item goes away or the window closes: the view lets go of it.
    void Detach();

    bool OnCmdMsg(UINT id, CCmdUI* ui) override;
    void OnUpdate(CDocView* sender, int hint, CObject* object) override;
    bool CopySelection() override;
    void RunPropertySheet(const std::string& title, int mask) override;
    // The sheet of style pages for the selection (the caller runs it).
    CHelpPropertySheet* BuildPropertySheet(const std::string& title, int mask);

    // Prints the page with the item's header, footer and paper; the number of pages.
    int PrintTo(QPagedPaintDevice& device);
    // One printed page on a painter at the paper's corner, at the device's resolution.
    void PaintPrintedPage(QPainter& painter, const QPageLayout& layout, double dpiX, double dpiY);
    // The item's page setup carried to the page (margins, orientation).
    void ApplyItemPageSetup();
    // File > Export to a path (SVG, PDF or PNG by its ending); false with a message on failure.
    bool ExportTo(const std::string& path, double dpi);

    // Export asks for its file through this seam (tests answer it): a path
    // whose ending names the format, and the resolution of a PNG picture.
    using ExportChooser = std::function<bool(QWidget* parent, std::string& path, double& dpi)>;
    static void SetExportChooser(ExportChooser chooser);

    // ---- graphs
    // Where the New Graph command puts its graph: 3.5 by 2.7 inches, an inch
    // and a fifth from the page's left edge (page units, y upwards).
    static constexpr RECT kNewGraphRect{864, -360, 3384, -2304};
    // The gallery and the chosen wizard; the graph that the wizard finishes
    // with goes at rect as one undo step. Cancel anywhere builds nothing.
    void NewGraph(const RECT& rect);
    // The same once the event that asks for it is over (the graph tool asks
    // from its mouse handler, which must not run a dialog).
    void PostNewGraph(const RECT& rect);
    // Add Data and Axis Manager for a graph of the page.
    void AddData(CDrawGraph* graph);
    void RunAxisManager(CDrawGraph* graph);
    // Draw > Results Listing: a listing of the chosen fit at the default place.
    void InsertResultsListing();
    bool OpenObjectSheet(CDrawObj* obj, const QPoint* at) override;
    // The one selected object when it is a graph, else null.
    CDrawGraph* GetSelectedGraph() const;
    // The wizard running from this view (workspace notices reach it), or null.
    CGraphWizardSheet* GetRunningWizard() const { return m_pWizard; }
    CMXDoc* GetDocument() const;

    // The graph commands' dialogs (the gallery, the wizards, the axis
    // manager, the property sheets) run through this seam, which tests
    // answer; it returns what the dialog's own run would. A wizard has been
    // shown on its first page when the seam gets it.
    using DialogRunner = std::function<int(QDialog& dialog)>;
    static void SetDialogRunner(DialogRunner runner);
    int RunDialog(QDialog& dialog);

    // The timer that brings the served extent up to date (one second after a change).
    QTimer& ExtentTimer() { return m_extentTimer; }
    // The timer ran out: the served extent is computed.
    void OnExtentTimer();

protected:
    void scrollContentsBy(int dx, int dy) override;
    // A graph's menu offers Add Data, Axis Manager and Show Legend.
    void AddObjectCommands(QMenu* menu) override;

private:
    void Print();
    void PrintPreview();
    void Export();

    CMXGraph* m_pGraph;
    CGraphWizardSheet* m_pWizard = nullptr;
    QTimer m_extentTimer;
    bool m_bRestoring = false;
};

class CGraphProjectWnd : public CMXProjectWnd {
    Q_OBJECT
public:
    explicit CGraphProjectWnd(QWidget* parent = nullptr) : CMXProjectWnd(parent) {}
    CGraphView* GetGraphView() const;

protected:
    QWidget* CreateItemView() override;
    void OnDetach() override;
};

// Makes pages take the paper of the default printer.
void InstallPrinterPaperProvider();
