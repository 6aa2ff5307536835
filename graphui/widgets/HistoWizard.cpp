#include "graphui/widgets/HistoWizard.h"

#include "data/MyData.h"
#include "draw/DrawDC.h"
#include "framework/UpdateNotification.h"
#include "graph/AxisScale.h"
#include "graph/DrawGraph.h"
#include "graph/GraphSources.h"
#include "graph/GraphText.h"
#include "graph/Legend.h"
#include "graph/ScaleText.h"
#include "graph/XYAxis.h"
#include "graph/XYDatasetHisto.h"
#include "graphui/widgets/PageHelpers.h"
#include "platform/Reporter.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"
#include "ui/DoubleText.h"
#include "ui/MeasurementUnit.h"
#include "ui/widgets/ColourCombo.h"
#include "ui/widgets/DataExchange.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QRadioButton>

#include <cmath>
#include <map>

using namespace pages;

namespace {

constexpr int kSourcePage = 3589;
constexpr int kEditSourcePage = 3594;
constexpr int kBarStylePage = 3593;
constexpr int kHistoTickPage = 3590;
constexpr int kFillStyles = 24;

// A sample of a fill style, drawn by the histogram's own fill.
QIcon FillIcon(int style)
{
    QPixmap pixmap(24, 16);
    pixmap.fill(Qt::white);
    QPainter painter(&pixmap);
    CXYDatasetHisto sample;
    sample.m_nFillStyle = style;
    sample.m_crFore = 0x000000;
    sample.m_crBack = 0xFFFFFF;
    CDrawDC dc;
    dc.painter = &painter;
    sample.SelectFill(dc);
    painter.setPen(Qt::black);
    painter.drawRect(0, 0, 23, 15);
    painter.end();
    return QIcon(pixmap);
}

// The width must be a positive number; anything else is refused with the histogram's message.
void DDX_BinWidth(CDataExchange* pDX, QLineEdit* edit, double& value)
{
    if (pDX->Failed())
        return;
    pDX->PrepareCtrl(edit);
    if (!pDX->m_bSaveAndValidate) {
        edit->setText(Q(FormatG15(value)));
        return;
    }
    double read = 0.0;
    if (!ParseDoubleOrBlank(edit->text().toStdString(), read) || !(read > 0.0) || !std::isfinite(read)) {
        ReportMessage(IDS_HISTO_INCREMENT);
        pDX->Fail();
        return;
    }
    value = read;
}

} // namespace

// ---------------------------------------------------------------- bins

HistoBins CountHistoBins(const CMyData& table, int column, bool weights, int weightsColumn, double origin, double width)
{
    HistoBins bins;
    if (column < 0 || !(width > 0.0) || !std::isfinite(width) || !std::isfinite(origin) || (weights && weightsColumn < 0))
        return bins;
    int last = table.GetLastRow(column);
    if (weights)
        last = std::min(last, table.GetLastRow(weightsColumn));
    double lowest = HUGE_VAL, highest = -HUGE_VAL;
    std::vector<std::pair<double, double>> values;
    for (int r = 2; r <= last; ++r) {
        double v = 0.0, w = 1.0;
        if (!table.GetNumber(r, column, v) || !std::isfinite(v))
            continue;
        if (weights && !table.GetNumber(r, weightsColumn, w))
            w = 0.0;
        values.emplace_back(v, w);
        lowest = std::min(lowest, v);
        highest = std::max(highest, v);
    }
    if (values.empty())
        return bins;
    // The same grid as the dataset's: the first edge at or below the lowest value.
    double first = origin + std::floor((lowest - origin) / width) * width;
    if (first > lowest)
        first -= width;
    const double span = (highest - first) / width;
    if (!std::isfinite(span) || span >= double(CXYDatasetHisto::kMaxBins))
        return bins;
    std::map<long long, double> counts;
    for (const auto& [v, w] : values) {
        long long k = static_cast<long long>(std::floor((v - first) / width));
        // A value on an upper edge counts in the bin above it, as in the dataset.
        while (v >= first + double(k + 1) * width)
            ++k;
        counts[k] += w;
    }
    bins.firstEdge = first;
    bins.lastEdge = first + double(counts.rbegin()->first) * width;
    bins.largestCount = 0.0;
    bins.smallestPositiveCount = 0.0;
    for (const auto& [k, n] : counts) {
        bins.largestCount = std::max(bins.largestCount, n);
        if (n > 0.0 && (bins.smallestPositiveCount == 0.0 || n < bins.smallestPositiveCount))
            bins.smallestPositiveCount = n;
    }
    bins.valid = true;
    return bins;
}

// ---------------------------------------------------------------- data source page

CHistoDataSourcePage::CHistoDataSourcePage(QWidget* parent)
    : CHistoDataSourcePage(kSourcePage, tr("Histogram Wizard - Select Data Source"), true, parent)
{
}

CHistoDataSourcePage::CHistoDataSourcePage(int templateId, const QString& caption, bool legend, QWidget* parent)
    : CGraphWizardPage(templateId, caption, parent)
{
    m_strLegend = LoadString(IDS_DATA_SET_NUMBER);
    QGridLayout* grid = Grid(this);
    if (legend) {
        m_legend = new QLineEdit(this);
        AddRow(grid, tr("&Legend text:"), m_legend);
    }
    m_source = new QComboBox(this);
    m_values = new QComboBox(this);
    m_weightsCheck = new QCheckBox(tr("&Numbers column"), this);
    m_weights = new QComboBox(this);
    m_origin = new QLineEdit(this);
    m_width = new QLineEdit(this);
    AddRow(grid, tr("&Source"), m_source);
    AddRow(grid, tr("&Values column"), m_values);
    grid->addWidget(m_weightsCheck, grid->rowCount(), 0);
    grid->addWidget(m_weights, grid->rowCount() - 1, 1);
    AddRow(grid, tr("S&tart position:"), m_origin);
    AddRow(grid, tr("&Increment:"), m_width);
    grid->setRowStretch(grid->rowCount(), 1);
    connect(m_source, &QComboBox::currentIndexChanged, this, [this] { OnSourceChanged(); });
    connect(m_weightsCheck, &QCheckBox::toggled, this, [this] { UpdateControls(); });
}

CWizardCatalog* CHistoDataSourcePage::Catalog() const
{
    CGraphWizardSheet* sheet = GraphSheet();
    return sheet ? sheet->GetCatalog() : nullptr;
}

CGraphSources* CHistoDataSourcePage::Sources() const
{
    CGraphWizardSheet* sheet = GraphSheet();
    return sheet ? sheet->GetSources() : nullptr;
}

void CHistoDataSourcePage::FillLists()
{
    m_bFilling = true;
    CWizardCatalog* catalog = Catalog();
    SetItems(m_source, catalog ? catalog->GetItemNames(WizardKind::Table) : std::vector<std::string>{});
    m_source->setCurrentIndex(m_source->findText(Q(m_strSource), Qt::MatchFixedString));
    std::vector<std::string> columns;
    const bool table = catalog && !m_strSource.empty() && catalog->GetItemKind(m_strSource) == WizardKind::Table;
    if (table && Sources())
        columns = ColumnNames(Sources()->FindTable(m_strSource));
    for (auto [combo, index] : {std::pair{m_values, m_nColumn}, std::pair{m_weights, m_nWeightsColumn}}) {
        SetItems(combo, columns);
        combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
    }
    m_bFilling = false;
    UpdateControls();
}

void CHistoDataSourcePage::UpdateControls()
{
    m_weights->setEnabled(m_weightsCheck->isChecked());
}

void CHistoDataSourcePage::OnSourceChanged()
{
    if (m_bFilling)
        return;
    const std::string name = m_source->currentText().toStdString();
    // Another source (or none) starts the columns afresh; the same one keeps them.
    if (name.empty() || !SameName(name, m_strSource)) {
        m_nColumn = m_nWeightsColumn = -1;
        m_strSource = name;
        FillLists();
        SetModified();
    }
}

void CHistoDataSourcePage::DoDataExchange(CDataExchange* pDX)
{
    if (!pDX->m_bSaveAndValidate) {
        FillLists();
        if (m_legend)
            m_legend->setText(Q(m_strLegend));
        m_weightsCheck->setChecked(m_bWeights);
        m_origin->setText(Q(FormatG15(m_dOrigin)));
        m_width->setText(Q(FormatG15(m_dWidth)));
        UpdateControls();
        return;
    }
    m_strSource = m_source->currentText().toStdString();
    m_nColumn = m_values->currentIndex();
    m_nWeightsColumn = m_weights->currentIndex();
    m_bWeights = m_weightsCheck->isChecked();
    if (m_legend)
        m_strLegend = m_legend->text().toStdString();
    DDX_Double(pDX, m_origin, m_dOrigin);
    DDX_BinWidth(pDX, m_width, m_dWidth);
}

bool CHistoDataSourcePage::CheckChoices()
{
    if (m_strSource.empty())
        return Refuse(IDS_NO_DATA_SOURCE, m_source);
    if (m_nColumn < 0)
        return Refuse(IDS_HISTO_NO_VALUES_COLUMN, m_values);
    if (m_bWeights && m_nWeightsColumn < 0)
        return Refuse(IDS_HISTO_NO_NUMBERS_COLUMN, m_weights);
    return true;
}

void CHistoDataSourcePage::OnSetActive()
{
    if (Sheet())
        Sheet()->SetWizardButtons(PSWIZB_NEXT);
}

int CHistoDataSourcePage::OnWizardNext()
{
    if (!CheckChoices())
        return -1;
    if (auto* sheet = dynamic_cast<CHistoWizardSheet*>(Sheet()))
        sheet->m_scaling.m_bLoadTitles = 1;
    return 0;
}

void CHistoDataSourcePage::OnNotify(const CUpdateNotification& notice)
{
    CGraphSources* sources = Sources();
    const bool isSource = sources && notice.item && !m_strSource.empty() &&
                          sources->FindGraphItem(m_strSource) == notice.item;
    switch (notice.kind) {
    case UN_ITEM_RENAMED:
        if (!SameName(m_strSource, notice.oldName))
            return;
        m_strSource = notice.newName;
        break;
    case UN_NAME_ROW_CHANGED:
        if (!isSource)
            return;
        break;
    case UN_ITEM_REMOVING:
        if (SameName(m_strSource, notice.oldName)) {
            m_strSource.clear();
            m_nColumn = m_nWeightsColumn = -1;
        }
        break;
    case UN_COLUMNS_INSERTED:
    case UN_COLUMNS_DELETED:
        if (!isSource || !RenumberColumns(notice, {&m_nColumn, &m_nWeightsColumn}))
            return;
        break;
    default:
        return;
    }
    FillLists();
}

// ---------------------------------------------------------------- editing form

CHistoEditDataSourcePage::CHistoEditDataSourcePage(CXYDatasetHisto* dataset, CWizardCatalog* catalog, QWidget* parent)
    : CHistoDataSourcePage(kEditSourcePage, tr("Data Source"), false, parent), m_pDataset(dataset), m_pCatalog(catalog)
{
    m_strSource = dataset->m_strSource;
    m_nColumn = dataset->m_nColumn;
    m_bWeights = dataset->m_bWeights;
    m_nWeightsColumn = dataset->m_nWeightsColumn;
    m_dOrigin = dataset->m_dOrigin;
    m_dWidth = dataset->m_dBinWidth;
    UpdateData(false);
    for (QComboBox* c : {m_values, m_weights})
        connect(c, &QComboBox::activated, this, [this] { SetModified(); });
    for (QLineEdit* e : {m_origin, m_width})
        connect(e, &QLineEdit::textEdited, this, [this] { SetModified(); });
    connect(m_weightsCheck, &QCheckBox::clicked, this, [this] { SetModified(); });
}

CGraphSources* CHistoEditDataSourcePage::Sources() const
{
    CDrawGraph* graph = m_pDataset->GetGraph();
    return graph ? graph->GetSources() : nullptr;
}

void CHistoEditDataSourcePage::DoDataExchange(CDataExchange* pDX)
{
    CHistoDataSourcePage::DoDataExchange(pDX);
    if (pDX->m_bSaveAndValidate && !pDX->Failed() && !CheckChoices())
        pDX->Fail();
}

bool CHistoEditDataSourcePage::OnApply()
{
    CXYDatasetHisto& d = *m_pDataset;
    d.m_strSource = m_strSource;
    d.m_dBinWidth = m_dWidth;
    d.m_dOrigin = m_dOrigin;
    d.m_nWeightsColumn = m_nWeightsColumn;
    d.m_nColumn = m_nColumn;
    d.m_bWeights = m_bWeights;
    d.m_bPointsValid = 0;
    d.Repaint();
    d.SetModified();
    d.Recalculate();
    if (CDrawGraph* graph = d.GetGraph())
        graph->OnDataChanged();
    return true;
}

// ---------------------------------------------------------------- bar style page

CHistoBarStylePage::CHistoBarStylePage(const QString& caption, QWidget* parent)
    : CGraphWizardPage(kBarStylePage, caption.isEmpty() ? tr("Histogram Wizard - Select Bar Style") : caption, parent)
{
    m_crBack = SystemColour(QPalette::Base);
    m_crOutline = SystemColour(QPalette::WindowText);
    QGridLayout* grid = Grid(this);
    auto* fills = new QGroupBox(tr("Fill &style"), this);
    auto* fillGrid = new QGridLayout(fills);
    auto* group = new QButtonGroup(this);
    for (int i = 0; i < kFillStyles; ++i) {
        auto* b = new QRadioButton(fills);
        b->setIcon(FillIcon(i));
        b->setIconSize(QSize(24, 16));
        b->setToolTip(tr("Fill style %1").arg(i + 1));
        group->addButton(b, i);
        m_fills.push_back(b);
        fillGrid->addWidget(b, i / 6, i % 6);
        connect(b, &QRadioButton::clicked, this, [this] { SetModified(); });
    }
    grid->addWidget(fills, 0, 0, 1, 2);
    m_barType = new QComboBox(this);
    m_barType->addItems({tr("Separate bars"), tr("Stepped outline")});
    AddRow(grid, tr("Bar &type"), m_barType);
    m_foreCheck = new QCheckBox(tr("&Fore"), this);
    m_fore = new CColourCombo(this);
    m_fore->Init(ColourValue(m_crFore));
    grid->addWidget(m_foreCheck, grid->rowCount(), 0);
    grid->addWidget(m_fore, grid->rowCount() - 1, 1);
    m_backCheck = new QCheckBox(tr("&Back"), this);
    m_back = new CColourCombo(this);
    m_back->Init(ColourValue(m_crBack));
    grid->addWidget(m_backCheck, grid->rowCount(), 0);
    grid->addWidget(m_back, grid->rowCount() - 1, 1);
    auto* outline = new QGroupBox(tr("Outline"), this);
    auto* outlineGrid = Grid(outline);
    m_outlineWidth = new QLineEdit(outline);
    m_outlineStyle = new QComboBox(outline);
    FillLineStyles(m_outlineStyle);
    m_outline = new CColourCombo(outline);
    m_outline->Init(ColourValue(m_crOutline));
    AddRow(outlineGrid, tr("&Width:"), m_outlineWidth);
    AddRow(outlineGrid, tr("Sty&le"), m_outlineStyle);
    AddRow(outlineGrid, tr("&Color"), m_outline);
    grid->addWidget(outline, grid->rowCount(), 0, 1, 2);
    grid->setRowStretch(grid->rowCount(), 1);
    for (QCheckBox* b : {m_foreCheck, m_backCheck}) {
        connect(b, &QCheckBox::toggled, this, [this] { UpdateControls(); });
        connect(b, &QCheckBox::clicked, this, [this] { SetModified(); });
    }
    for (QComboBox* c : {m_barType, m_outlineStyle})
        connect(c, &QComboBox::activated, this, [this] { SetModified(); });
    for (CColourCombo* c : {m_fore, m_back, m_outline})
        connect(c, &CColourCombo::colourChanged, this, [this] { SetModified(); });
    connect(m_outlineWidth, &QLineEdit::textEdited, this, [this] { SetModified(); });
}

void CHistoBarStylePage::UpdateControls()
{
    const bool fore = m_foreCheck->isChecked();
    m_fore->setEnabled(fore);
    m_backCheck->setEnabled(fore);
    m_back->setEnabled(fore && m_backCheck->isChecked());
}

void CHistoBarStylePage::DoDataExchange(CDataExchange* pDX)
{
    if (!pDX->m_bSaveAndValidate) {
        if (m_nFillStyle >= 0 && m_nFillStyle < kFillStyles)
            m_fills[std::size_t(m_nFillStyle)]->setChecked(true);
    } else {
        for (std::size_t i = 0; i < m_fills.size(); ++i)
            if (m_fills[i]->isChecked())
                m_nFillStyle = int(i);
    }
    DDX_CBIndex(pDX, m_barType, m_nBarType);
    DDX_Check(pDX, m_foreCheck, m_bForeOn);
    DDX_ColourCombo(pDX, m_fore, m_crFore);
    DDX_Check(pDX, m_backCheck, m_bBackOn);
    DDX_ColourCombo(pDX, m_back, m_crBack);
    DDX_CBIndex(pDX, m_outlineStyle, m_nOutlineStyle);
    DDX_ColourCombo(pDX, m_outline, m_crOutline);
    const MeasurementUnit unit = PreferredUnit();
    DDX_Measurement(unit, pDX, m_outlineWidth, m_nOutlineWidth);
    DDV_Measurement(unit, pDX, m_nOutlineWidth, 1, 720);
    if (!pDX->m_bSaveAndValidate)
        UpdateControls();
}

void CHistoBarStylePage::OnSetActive()
{
    if (Sheet())
        Sheet()->SetWizardButtons(PSWIZB_BACK | PSWIZB_FINISH);
}

CDataPointHistoPage::CDataPointHistoPage(CXYDatasetHisto* dataset, QWidget* parent)
    : CHistoBarStylePage(QString::fromStdString(LoadString(IDS_PAGE_HISTO_BAR_STYLE)), parent), m_pDataset(dataset)
{
    m_nFillStyle = dataset->m_nFillStyle;
    m_nBarType = dataset->m_nBarType;
    m_bForeOn = dataset->m_bForeOn;
    m_crFore = dataset->m_crFore;
    m_bBackOn = dataset->m_bBackOn;
    m_crBack = dataset->m_crBack;
    m_nOutlineWidth = dataset->m_nOutlineWidth;
    m_nOutlineStyle = ListIndexFromPenStyle(dataset->m_nOutlineStyle);
    m_crOutline = dataset->m_crOutline;
    UpdateData(false);
}

bool CDataPointHistoPage::OnApply()
{
    CXYDatasetHisto& d = *m_pDataset;
    d.m_nFillStyle = m_nFillStyle;
    d.m_nBarType = m_nBarType;
    d.m_bForeOn = m_bForeOn;
    d.m_crFore = m_crFore;
    d.m_bBackOn = m_bBackOn;
    d.m_crBack = m_crBack;
    d.m_nOutlineWidth = m_nOutlineWidth;
    d.m_nOutlineStyle = PenStyleFromListIndex(m_nOutlineStyle);
    d.m_crOutline = m_crOutline;
    d.Repaint();
    d.SetModified();
    return true;
}

// ---------------------------------------------------------------- the sheet

CHistoWizardSheet::CHistoWizardSheet(CWizardCatalog* catalog, CGraphSources* sources, QWidget* parent)
    : CGraphWizardSheet(catalog, sources, parent), m_ticks(kHistoTickPage), m_association(nullptr)
{
    m_bNewGraph = 1;
    m_scaling.setWindowTitle(QString::fromStdString(LoadString(IDS_HISTO_SCALING_TITLE)));
    m_ticks.setWindowTitle(tr("Histogram Wizard - Select Tick Styles"));
    for (CWizardPage* p : std::initializer_list<CWizardPage*>{&m_source, &m_scaling, &m_ticks, &m_bars})
        AddPage(p);
    m_association.hide();
}

CHistoWizardSheet::CHistoWizardSheet(CDrawGraph* graph, CWizardCatalog* catalog, CGraphSources* sources,
                                     QWidget* parent)
    : CGraphWizardSheet(catalog, sources, parent), m_ticks(kHistoTickPage), m_association(graph)
{
    m_bNewGraph = 0;
    m_source.m_strLegend = LoadString(IDS_DATA_SET_NUMBER);
    for (CWizardPage* p : std::initializer_list<CWizardPage*>{&m_source, &m_association, &m_bars})
        AddPage(p);
    m_scaling.hide();
    m_ticks.hide();
}

void CHistoWizardSheet::OnItemNotify(CUpdateNotification& notice)
{
    if (SourceNoticed(notice) && GetActivePage() != &m_source)
        SetActivePage(0);
    m_source.OnNotify(notice);
}

void CHistoWizardSheet::CalcAutoRange(bool xLog, bool yLog, double& xMin, double& xMax, double& yMin, double& yMax)
{
    AxisScale::DefaultRange(xLog, xMin, xMax);
    AxisScale::DefaultRange(yLog, yMin, yMax);
    if (!m_pSources || GetSourceKind() != WizardKind::Table)
        return;
    const CMyData* table = m_pSources->FindTable(m_source.m_strSource);
    if (!table)
        return;
    const HistoBins bins = CountHistoBins(*table, m_source.m_nColumn, m_source.m_bWeights != 0,
                                          m_source.m_nWeightsColumn, m_source.m_dOrigin, m_source.m_dWidth);
    if (!bins.valid)
        return;
    double x0 = bins.firstEdge, x1 = bins.lastEdge + m_source.m_dWidth;
    double y0 = yLog ? bins.smallestPositiveCount : 0.0, y1 = bins.largestCount;
    if ((xLog && !(x0 > 0.0)) || (yLog && !(y0 > 0.0)) || !(y1 > 0.0))
        return;
    AxisScale::MakeNiceRange(xLog, x0, x1);
    AxisScale::MakeNiceRange(yLog, y0, y1);
    xMin = x0;
    xMax = x1;
    yMin = y0;
    yMax = y1;
}

void CHistoWizardSheet::GetAxisTitles(std::string& x, std::string& y)
{
    x = LoadString(IDS_X_AXIS);
    y = LoadString(IDS_HISTO_NUMBER);
    if (!m_pSources || GetSourceKind() != WizardKind::Table || m_source.m_nColumn < 0)
        return;
    if (const CMyData* table = m_pSources->FindTable(m_source.m_strSource))
        x = table->GetColumnName(m_source.m_nColumn);
}

void CHistoWizardSheet::ApplyToGraph(CDrawGraph* graph, bool newGraph)
{
    if (!graph)
        return;
    const bool axes = graph->GetXAxisCount() > 0 && graph->GetYAxisCount() > 0;
    if (newGraph && axes) {
        ApplyTickStyle(graph, m_ticks.m_nTickStyle);
        ApplyInitialScaling(graph, m_scaling);
    }
    const std::string& source = m_source.m_strSource;
    if (source.empty()) {
        if (graph->GetLegend())
            graph->GetLegend()->Show(false);
        return;
    }
    auto* d = new CXYDatasetHisto(source, m_source.m_nColumn, m_source.m_bWeights, m_source.m_nWeightsColumn, graph);
    if (!IsNewGraph()) {
        d->m_xAxes = m_association.m_xAxes;
        d->m_yAxes = m_association.m_yAxes;
    }
    d->m_crOutline = m_bars.m_crOutline;
    d->m_nOutlineWidth = m_bars.m_nOutlineWidth;
    d->m_nOutlineStyle = PenStyleFromListIndex(m_bars.m_nOutlineStyle);
    d->m_crFore = m_bars.m_crFore;
    d->m_crBack = m_bars.m_crBack;
    d->m_nFillStyle = m_bars.m_nFillStyle;
    d->m_nBarType = m_bars.m_nBarType;
    d->m_bBackOn = m_bars.m_bBackOn;
    d->m_bForeOn = m_bars.m_bForeOn;
    d->m_dOrigin = m_source.m_dOrigin;
    d->m_dBinWidth = m_source.m_dWidth;
    const std::string number = std::to_string(graph->GetDatasetCount() + 1);
    graph->AddDataset(d, FormatMessageText(m_source.m_strLegend, {number, "1"}));
    if (newGraph && axes)
        SetInitialTitles(graph, m_scaling);
    graph->RecalcAxes();
}
