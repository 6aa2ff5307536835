#include "graphui/widgets/ChartPages.h"

#include "graph/DrawGraph.h"
#include "graph/GraphSources.h"
#include "graph/XYDatasetChart.h"
#include "graphui/widgets/PageHelpers.h"
#include "platform/Reporter.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"
#include "ui/widgets/DataExchange.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>

#include <array>

using namespace pages;

namespace {

bool IsBarSeries(const CXYDatasetChart* dataset) { return dynamic_cast<const CXYDatasetBarChart*>(dataset) != nullptr; }



} // namespace

// ---------------------------------------------------------------- bar style

namespace {

// The bar settings of a series in the page's order of fields (colours as numbers).
std::array<long long, CChartBarStylePage::F_COUNT> BarSettings(const CXYDatasetChart& d)
{
    using P = CChartBarStylePage;
    std::array<long long, P::F_COUNT> v{};
    v[P::F_FILL] = d.m_nFillStyle;
    v[P::F_BAR_TYPE] = d.m_nBarType;
    v[P::F_BACK] = d.m_bBackOn;
    v[P::F_BACK_COLOUR] = d.m_crBack;
    v[P::F_FORE] = d.m_crFore;
    v[P::F_NEGATIVE] = d.m_bNegative;
    v[P::F_NEG_FORE] = d.m_crNegFore;
    v[P::F_NEG_BACK] = d.m_crNegBack;
    v[P::F_OUTLINE_STYLE] = d.m_nOutlineStyle;
    v[P::F_OUTLINE] = d.m_crOutline;
    v[P::F_OUTLINE_WIDTH] = d.m_nOutlineWidth;
    return v;
}

} // namespace

CDataPointChartPage::CDataPointChartPage(CXYDatasetChart* dataset, QWidget* parent)
    : CDataPointChartPage(std::vector<CXYDatasetChart*>{dataset}, parent)
{
}

CDataPointChartPage::CDataPointChartPage(std::vector<CXYDatasetChart*> datasets, QWidget* parent)
    : CChartBarStylePage(!IsBarSeries(datasets.front()), QString::fromStdString(LoadString(IDS_PAGE_BAR_STYLE)),
                         parent)
    , m_datasets(std::move(datasets))
{
    const CXYDatasetChart& d = *m_datasets.front();
    m_nFillStyle = d.m_nFillStyle;
    m_nBarType = d.m_nBarType;
    m_bBack = d.m_bBackOn;
    m_bNegative = d.m_bNegative;
    m_nOutlineStyle = ListIndexFromPenStyle(d.m_nOutlineStyle);
    m_crFore = d.m_crFore;
    m_crBack = d.m_crBack;
    m_crNegFore = d.m_crNegFore;
    m_crNegBack = d.m_crNegBack;
    m_crOutline = d.m_crOutline;
    m_nOutlineWidth = d.m_nOutlineWidth;
    const auto first = BarSettings(d);
    for (const CXYDatasetChart* other : m_datasets) {
        const auto settings = BarSettings(*other);
        for (std::size_t f = 0; f < first.size(); ++f)
            if (settings[f] != first[f])
                m_undetermined.set(f);
    }
    UpdateData(false);
}

bool CDataPointChartPage::OnApply()
{
    // Each series keeps what the page leaves undetermined.
    auto set = [this](Field field, auto& target, auto value) {
        if (!m_undetermined[field])
            target = value;
    };
    for (CXYDatasetChart* series : m_datasets) {
        CXYDatasetChart& d = *series;
        set(F_FILL, d.m_nFillStyle, m_nFillStyle);
        set(F_BAR_TYPE, d.m_nBarType, m_nBarType);
        set(F_BACK, d.m_bBackOn, m_bBack);
        set(F_NEGATIVE, d.m_bNegative, m_bNegative);
        set(F_OUTLINE_STYLE, d.m_nOutlineStyle, PenStyleFromListIndex(m_nOutlineStyle));
        set(F_FORE, d.m_crFore, m_crFore);
        set(F_BACK_COLOUR, d.m_crBack, m_crBack);
        set(F_NEG_FORE, d.m_crNegFore, m_crNegFore);
        set(F_NEG_BACK, d.m_crNegBack, m_crNegBack);
        set(F_OUTLINE, d.m_crOutline, m_crOutline);
        set(F_OUTLINE_WIDTH, d.m_nOutlineWidth, m_nOutlineWidth);
        // Only separate bars show negative values in their own colours.
        if (d.m_nBarType != 0)
            d.m_bNegative = 0;
        d.Repaint();
        d.SetModified();
    }
    // Areas put their points on the categories, bars between them: the
    // category axis' limits follow the bar type.
    if (CDrawGraph* graph = m_datasets.front()->GetGraph()) {
        graph->RecalcAxes();
        graph->Invalidate();
    }
    return true;
}

// ---------------------------------------------------------------- data source

CChartEditDataSourcePage::CChartEditDataSourcePage(CXYDatasetChart* dataset, CWizardCatalog* catalog, QWidget* parent)
    : CWizardPage(3587, tr("Data Source"), parent), m_pDataset(dataset), m_pCatalog(catalog)
{
    m_strTable = dataset->m_strSource;
    m_nUpperColumn = dataset->m_nUpperColumn;
    m_nLowerColumn = dataset->m_nLowerColumn;
    m_bLower = m_nLowerColumn != -1;
    QGridLayout* grid = Grid(this);
    m_table = new QComboBox(this);
    m_upper = new QComboBox(this);
    m_lowerCheck = new QCheckBox(tr("&Lower data"), this);
    m_lower = new QComboBox(this);
    AddRow(grid, tr("&Data table"), m_table);
    AddRow(grid, tr("&Upper data"), m_upper);
    grid->addWidget(m_lowerCheck, grid->rowCount(), 0);
    grid->addWidget(m_lower, grid->rowCount() - 1, 1);
    auto* note = new QLabel(tr("Note that the data source for the category values is common for all data sets, and is "
                               "specified from the main chart Properties sheet, on the Categories page."),
                            this);
    note->setWordWrap(true);
    grid->addWidget(note, grid->rowCount(), 0, 1, 2);
    grid->setRowStretch(grid->rowCount(), 1);
    connect(m_table, &QComboBox::currentIndexChanged, this, [this] {
        if (m_bFilling)
            return;
        // Another table: its columns are other columns.
        m_strTable = m_table->currentText().toStdString();
        m_nUpperColumn = m_nLowerColumn = -1;
        FillColumns();
        SetModified();
    });
    connect(m_lowerCheck, &QCheckBox::toggled, this, [this](bool on) { m_lower->setEnabled(on); });
    connect(m_lowerCheck, &QCheckBox::clicked, this, [this] { SetModified(); });
    for (QComboBox* c : {m_upper, m_lower})
        connect(c, &QComboBox::activated, this, [this] { SetModified(); });
    UpdateData(false);
}

void CChartEditDataSourcePage::FillColumns()
{
    m_bFilling = true;
    SetItems(m_table, m_pCatalog ? m_pCatalog->GetItemNames(WizardKind::Table) : std::vector<std::string>{});
    m_table->setCurrentIndex(m_table->findText(Q(m_strTable), Qt::MatchFixedString));
    CDrawGraph* graph = m_pDataset->GetGraph();
    CGraphSources* sources = graph ? graph->GetSources() : nullptr;
    const std::vector<std::string> columns = ColumnNames(sources ? sources->FindTable(m_strTable) : nullptr);
    SetItems(m_upper, columns);
    SetItems(m_lower, columns);
    SelectIndex(m_upper, m_nUpperColumn);
    SelectIndex(m_lower, m_nLowerColumn);
    m_bFilling = false;
}

void CChartEditDataSourcePage::DoDataExchange(CDataExchange* pDX)
{
    if (!pDX->m_bSaveAndValidate) {
        FillColumns();
        m_lowerCheck->setChecked(m_bLower);
        m_lower->setEnabled(m_bLower);
        return;
    }
    m_strTable = m_table->currentText().toStdString();
    m_nUpperColumn = m_upper->currentIndex();
    m_nLowerColumn = m_lower->currentIndex();
    m_bLower = m_lowerCheck->isChecked();
    QWidget* refused = nullptr;
    UINT message = 0;
    if (m_strTable.empty())
        refused = m_table, message = IDS_NO_DATA_SOURCE;
    else if (m_nUpperColumn < 0)
        refused = m_upper, message = IDS_NO_CHART_DATA_COLUMN;
    else if (m_bLower && m_nLowerColumn < 0)
        refused = m_lower, message = IDS_NO_CHART_DATA_COLUMN;
    if (refused) {
        ReportMessage(message);
        pDX->PrepareCtrl(refused);
        pDX->Fail();
    }
}

bool CChartEditDataSourcePage::OnApply()
{
    CXYDatasetChart& d = *m_pDataset;
    d.m_nUpperColumn = m_nUpperColumn;
    d.m_nLowerColumn = m_bLower ? m_nLowerColumn : -1;
    d.m_strSource = m_strTable;
    d.m_bPointsValid = 0;
    CDrawGraph* graph = d.GetGraph();
    if (graph)
        graph->Invalidate();
    d.SetModified();
    d.Recalculate();
    if (graph)
        graph->OnDataChanged();
    return true;
}

// ---------------------------------------------------------------- error bars

CChartErrorsPage::CChartErrorsPage(CXYDatasetChart* dataset, CWizardCatalog* catalog, QWidget* parent)
    : CXYErrorsPage(dataset, catalog, false, parent)
{
    m_nTemplateId = 3588;
    // Bars have no diagonal error bars: both ends' bars are separate.
    HideWithLabel(this, m_xyType);
    // The page shows the bar ends' errors first, then the bar starts'.
    const QList<QGroupBox*> boxes = findChildren<QGroupBox*>(Qt::FindDirectChildrenOnly);
    auto* layout = qobject_cast<QBoxLayout*>(this->layout());
    if (boxes.size() == 2 && layout) {
        boxes[kLower]->setTitle(tr("Lower data error bars"));
        boxes[kUpper]->setTitle(tr("Upper data error bars"));
        layout->removeWidget(boxes[kUpper]);
        layout->insertWidget(layout->indexOf(boxes[kLower]), boxes[kUpper]);
    }
}

// ---------------------------------------------------------------- value axes

CColumnAssocProp::CColumnAssocProp(CXYDatasetChart* dataset, QWidget* parent)
    : CColumnAssocPage(dataset->GetGraph(), QString::fromStdString(LoadString(IDS_PAGE_AXIS_ASSOCIATION)), parent)
    , m_pDataset(dataset)
{
    m_axes = ValueAxesAreX() ? dataset->m_xAxes : dataset->m_yAxes;
    UpdateData(false);
    SetModified(false);
}

bool CColumnAssocProp::OnApply()
{
    (ValueAxesAreX() ? m_pDataset->m_xAxes : m_pDataset->m_yAxes) = m_axes;
    m_pDataset->SetModified();
    if (CDrawGraph* graph = m_pDataset->GetGraph()) {
        graph->RecalcAxes();
        graph->Invalidate();
        graph->SetModified();
    }
    return true;
}
