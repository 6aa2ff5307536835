#include "app/widgets/GraphPropertySheet.h"

#include "app/MXDoc.h"
#include "app/widgets/EqnSourcePage.h"
#include "app/widgets/FitSourcePages.h"
#include "draw/DrawData.h"
#include "draw/widgets/DrawView.h"
#include "graph/CatText.h"
#include "graph/DrawGraph.h"
#include "graph/DrawResults.h"
#include "graph/Legend.h"
#include "graph/XYAxis.h"
#include "graph/XYDatasetChart.h"
#include "graph/XYDatasetFit.h"
#include "graph/XYDatasetHisto.h"
#include "graph/XYDatasetTable.h"
#include "graphui/widgets/AxisPages.h"
#include "graphui/widgets/CategoryPages.h"
#include "graphui/widgets/ChartPages.h"
#include "graphui/widgets/DatasetPages.h"
#include "graphui/widgets/DrawStylePages.h"
#include "graphui/widgets/HistoWizard.h"
#include "graphui/widgets/XYScaleFormat.h"
#include "graphui/widgets/XYWizard.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"
#include "ui/widgets/DialogButtons.h"

#include <QTabWidget>

namespace {

// Style pages of a dataset's sheet: Polygon, Arrows, Font, Paragraph and
// Location, where they apply to the legend sample.
constexpr int kDatasetStyleMask = STYLE_POLYGON | STYLE_ARROWS | STYLE_FONT | STYLE_PARAGRAPH | STYLE_LOCATION;
// Every style page but Rotation.
constexpr int kBoxStyleMask = 255 & ~STYLE_ROTATION;

CMXDoc* DocumentOf(const CDrawObj* obj)
{
    CDrawData* page = obj ? obj->GetPage() : nullptr;
    return page ? dynamic_cast<CMXDoc*>(page->GetDocument()) : nullptr;
}

QString Caption(UINT id) { return QString::fromStdString(LoadString(id)); }

// The equation page's view of an equation curve.
class CurveOfDataset : public CEquationCurve {
public:
    CurveOfDataset(CXYDatasetCurve* curve, CMXDoc* document) : m_pCurve(curve), m_pDocument(document) {}
    CMXDoc* GetDocument() const override { return m_pDocument; }
    std::string GetEquationItemName() const override { return m_pCurve->m_strFit; }
    void SetEquationItemName(const std::string& name) override
    {
        m_pCurve->m_strFit = name;
        m_pCurve->SetModified();
    }
    void Refresh() override { m_pCurve->Recalculate(); }
    void OnGraphDataChanged() override
    {
        if (CDrawGraph* graph = m_pCurve->GetGraph())
            graph->OnDataChanged();
    }

private:
    CXYDatasetCurve* m_pCurve;
    CMXDoc* m_pDocument;
};

// The source page's view of a results listing.
class ListingOfObject : public CResultsListingTarget {
public:
    explicit ListingOfObject(CDrawResults* listing) : m_pListing(listing) {}
    std::string GetResultsName() const override { return m_pListing->GetItemName(); }
    int GetResultsFit() const override { return m_pListing->GetFitNumber(); }
    void SetResults(const std::string& name, int fit) override { m_pListing->SetResults(name, fit); }
    void Rebuild() override
    {
        m_pListing->RecalcSize();
        m_pListing->Invalidate();
    }

private:
    CDrawResults* m_pListing;
};

} // namespace

CGraphPropertySheet::CGraphPropertySheet(const QString& caption, CMXDoc* document, QWidget* parent)
    : CHelpPropertySheet(caption, parent), m_pDocument(document), m_catalog(document)
{
    connect(this, &CHelpPropertySheet::applied, this, [this] { m_bRefused = !ApplyPages(); });
}

CGraphPropertySheet::~CGraphPropertySheet() = default;

void CGraphPropertySheet::AddSheetPage(QWidget* page, const QString& title, std::function<bool()> apply)
{
    CHelpPropertySheet::AddPage(page, title);
    m_entries.push_back({page, std::move(apply)});
}

void CGraphPropertySheet::AddWizardPage(CWizardPage* page)
{
    AddSheetPage(page, page->windowTitle(), [page] {
        // Untouched pages write back too: their element ends as it was.
        if (!page->UpdateData(true) || !page->OnApply())
            return false;
        page->SetModified(false);
        return true;
    });
}

bool CGraphPropertySheet::ApplyPages()
{
    for (const Entry& e : m_entries)
        if (!e.apply()) {
            GetTabs()->setCurrentWidget(e.page);
            return false;
        }
    // After an apply the sheet's Cancel can no longer take anything back.
    SetCancelToClose(this);
    return true;
}

void CGraphPropertySheet::accept()
{
    // OK applies first; a page that refused its values keeps the sheet open.
    if (m_bRefused) {
        m_bRefused = false;
        return;
    }
    CHelpPropertySheet::accept();
}

std::unique_ptr<CGraphPropertySheet> CGraphPropertySheet::ForGraph(CDrawView* view, CDrawGraph* graph, int side)
{
    UINT caption = 0;
    if (dynamic_cast<CDrawXYGraph*>(graph))
        caption = IDS_XY_GRAPH_PROPERTIES;
    else if (dynamic_cast<CDrawHistoGraph*>(graph))
        caption = IDS_HISTO_GRAPH_PROPERTIES;
    else if (dynamic_cast<CDrawColumnGraph*>(graph))
        caption = IDS_COLUMN_GRAPH_PROPERTIES;
    else if (dynamic_cast<CDrawBarGraph*>(graph))
        caption = IDS_BAR_GRAPH_PROPERTIES;
    if (!caption || graph->GetXAxisCount() == 0 || graph->GetYAxisCount() == 0)
        return nullptr;
    auto sheet = std::make_unique<CGraphPropertySheet>(Caption(caption), DocumentOf(graph), view);
    sheet->AddWizardPage(new CGraphFramePage(graph));
    AddDrawStylePages(sheet.get(), view, STYLE_FILL | STYLE_LINE);
    std::vector<CXYAxis*> xs, ys;
    for (int i = 0; i < graph->GetXAxisCount(); ++i)
        xs.push_back(graph->GetXAxis(i));
    for (int i = 0; i < graph->GetYAxisCount(); ++i)
        ys.push_back(graph->GetYAxis(i));
    // The pages of one direction: the category pages of its first axis when
    // it runs the categories, else ticks and scale of all its axes. The page
    // returned is the one a click on that side opens.
    CXYAxis* categories = graph->GetCategoryAxis();
    auto addAxisPages = [&](const std::vector<CXYAxis*>& axes, bool vertical) {
        if (categories && categories == axes.front()) {
            sheet->AddWizardPage(new CCategoryTicksPage(categories));
            sheet->AddWizardPage(new CCategoryAxisPage(graph, categories, sheet->GetCatalog()));
        } else {
            sheet->AddWizardPage(new CAxisTicksPage(axes, vertical));
            sheet->AddWizardPage(new CAxisScalePage(axes, vertical));
        }
        return sheet->GetPageCount() - 1;
    };
    const int xPage = addAxisPages(xs, false);
    const int yPage = addAxisPages(ys, true);
    AddDrawStylePages(sheet.get(), view, STYLE_LOCATION);
    if (side == 1)
        sheet->SetActivePage(xPage);
    else if (side == 2)
        sheet->SetActivePage(yPage);
    return sheet;
}

std::unique_ptr<CGraphPropertySheet> CGraphPropertySheet::ForDataset(CDrawView* view, CDataPointBox* sample)
{
    CXYDataset* dataset = sample ? sample->GetDataset() : nullptr;
    if (!dataset || !dataset->GetGraph())
        return nullptr;
    CMXDoc* doc = DocumentOf(sample);
    std::unique_ptr<CGraphPropertySheet> sheet;
    auto make = [&](UINT caption) { sheet = std::make_unique<CGraphPropertySheet>(Caption(caption), doc, view); };
    if (auto* histo = dynamic_cast<CXYDatasetHisto*>(dataset)) {
        make(IDS_HISTO_DATA_PROPERTIES);
        sheet->AddWizardPage(new CDataPointHistoPage(histo));
        sheet->AddWizardPage(new CHistoEditDataSourcePage(histo, sheet->GetCatalog()));
    } else if (auto* curve = dynamic_cast<CXYDatasetCurve*>(dataset)) {
        make(IDS_CURVE_PROPERTIES);
        sheet->AddWizardPage(new CCurveStylePropPage(curve));
        auto adapter = std::make_shared<CurveOfDataset>(curve, doc);
        sheet->m_keep.push_back(adapter);
        auto* page = new CEqnSourcePage(adapter.get());
        page->OnInitDialog();
        sheet->AddSheetPage(page, page->Title(), [page] { return page->OnApply(); });
        auto* params = new CCurveParamsProp(curve, sheet->GetCatalog());
        auto* constants = new CCurveConstProp(curve, sheet->GetCatalog());
        sheet->AddWizardPage(params);
        sheet->AddWizardPage(constants);
        // Another equation: its parameters and constants are what the next
        // pages list and what Apply gives the curve.
        QObject::connect(page, &CEqnSourcePage::modified, params, [page, params, constants] {
            params->ShowEquation(page->GetChosenName());
            constants->ShowEquation(page->GetChosenName());
        });
    } else if (auto* fit = dynamic_cast<CXYDatasetFit*>(dataset)) {
        make(IDS_FITTED_DATA_PROPERTIES);
        sheet->AddWizardPage(new CDataPointPage(fit));
        sheet->AddWizardPage(new CJoinPointPropPage(fit));
        sheet->AddWizardPage(new CCurveStylePropPage(fit));
        auto* source = new CFitSourcePage(fit, doc);
        source->OnInitDialog();
        sheet->AddSheetPage(source, source->Title(), [source] {
            if (!source->UpdateData(true) || !source->OnApply())
                return false;
            source->SetModified(false);
            return true;
        });
        sheet->AddWizardPage(new CXYErrorsPage(fit, sheet->GetCatalog(), true));
    } else if (auto* table = dynamic_cast<CXYDatasetTable*>(dataset)) {
        make(IDS_DATA_PROPERTIES);
        sheet->AddWizardPage(new CDataPointPage(table));
        sheet->AddWizardPage(new CJoinPointPropPage(table));
        sheet->AddWizardPage(new CDataSourcePage(table, sheet->GetCatalog()));
        sheet->AddWizardPage(new CXYErrorsPage(table, sheet->GetCatalog(), false));
    } else if (auto* series = dynamic_cast<CXYDatasetChart*>(dataset)) {
        const bool bars = dynamic_cast<CDrawBarGraph*>(dataset->GetGraph()) != nullptr;
        make(bars ? IDS_BAR_DATA_PROPERTIES : IDS_COLUMN_DATA_PROPERTIES);
        sheet->AddWizardPage(new CDataPointChartPage(series));
        sheet->AddWizardPage(new CDataPointPage(series));
        sheet->AddWizardPage(new CJoinPointPropPage(series));
        sheet->AddWizardPage(new CChartEditDataSourcePage(series, sheet->GetCatalog()));
        sheet->AddWizardPage(new CChartErrorsPage(series, sheet->GetCatalog()));
        sheet->AddWizardPage(new CColumnAssocProp(series));
        AddDrawStylePages(sheet.get(), view, kDatasetStyleMask);
        return sheet;
    } else {
        return nullptr;
    }
    sheet->AddWizardPage(new CAxisAssociationProp(dataset));
    AddDrawStylePages(sheet.get(), view, kDatasetStyleMask);
    return sheet;
}

std::unique_ptr<CGraphPropertySheet> CGraphPropertySheet::ForScaleText(CDrawView* view, CXYScaleText* labels)
{
    if (!labels)
        return nullptr;
    // Category names are no numbers: their block keeps only its layout.
    const bool names = dynamic_cast<CXCatText*>(labels) || dynamic_cast<CYCatText*>(labels);
    auto sheet = std::make_unique<CGraphPropertySheet>(
        Caption(names ? IDS_CATEGORY_SCALE_PROPERTIES : IDS_AXIS_SCALE_PROPERTIES), DocumentOf(labels), view);
    if (names)
        sheet->AddWizardPage(new CCategoryFormat(labels));
    else
        sheet->AddWizardPage(new CXYScaleFormat(labels));
    AddDrawStylePages(sheet.get(), view, STYLE_FONT | STYLE_LOCATION);
    return sheet;
}

std::unique_ptr<CGraphPropertySheet> CGraphPropertySheet::ForLegend(CDrawView* view, CLegendBox* box)
{
    CLegend* legend = box ? box->GetLegend() : nullptr;
    if (!legend)
        return nullptr;
    auto sheet = std::make_unique<CGraphPropertySheet>(Caption(IDS_LEGEND_BOX_PROPERTIES), DocumentOf(box), view);
    sheet->AddWizardPage(new CLegendOrderPage(legend));
    AddDrawStylePages(sheet.get(), view, kBoxStyleMask);
    return sheet;
}

std::unique_ptr<CGraphPropertySheet> CGraphPropertySheet::ForResults(CDrawView* view, CDrawResults* listing)
{
    CMXDoc* doc = DocumentOf(listing);
    if (!listing || !doc)
        return nullptr;
    auto sheet = std::make_unique<CGraphPropertySheet>(Caption(IDS_RESULTS_PROPERTIES), doc, view);
    auto target = std::make_shared<ListingOfObject>(listing);
    sheet->m_keep.push_back(target);
    auto* page = new CResultsListingPage(target.get(), doc);
    // Without a fit item the page has said so: the sheet ends as cancelled.
    if (!page->OnInitDialog()) {
        delete page;
        return nullptr;
    }
    sheet->AddSheetPage(page, page->Title(), [page] {
        if (!page->UpdateData(true) || !page->OnApply())
            return false;
        page->SetModified(false);
        return true;
    });
    AddDrawStylePages(sheet.get(), view, kBoxStyleMask);
    return sheet;
}
