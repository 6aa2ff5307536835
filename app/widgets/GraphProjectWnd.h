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

class CMXGraph;
class CHelpPropertySheet;
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

    // The timer that brings the served extent up to date (one second after a change).
    QTimer& ExtentTimer() { return m_extentTimer; }
    // The timer ran out: the served extent is computed.
    void OnExtentTimer();

protected:
    void scrollContentsBy(int dx, int dy) override;

private:
    void Print();
    void PrintPreview();
    void Export();

    CMXGraph* m_pGraph;
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
