#include "graphui/widgets/CategoryPages.h"

#include "graph/DrawGraph.h"
#include "graph/GraphSources.h"
#include "graph/ScaleText.h"
#include "graph/XYAxis.h"
#include "graphui/widgets/PageHelpers.h"
#include "graphui/widgets/XYScaleFormat.h"
#include "platform/Reporter.h"
#include "platform/StringIds.h"
#include "ui/widgets/ColourCombo.h"
#include "ui/widgets/DataExchange.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include <algorithm>
#include <cmath>

using namespace pages;

namespace {

constexpr int kMaxInterval = 1000000;
// Separate series sit side by side with a gap; summed ones cover each other.
constexpr double kSeparateOverlap = -25.0;
constexpr double kSummedOverlap = 100.0;

std::string PercentText(double value) { return FormatG15(value) + "%"; }

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}


} // namespace

void DDX_PercentValue(CDataExchange* pDX, QLineEdit* edit, double& value, int minimum, int maximum)
{
    if (pDX->Failed())
        return;
    pDX->PrepareCtrl(edit);
    if (!pDX->m_bSaveAndValidate) {
        edit->setText(Q(PercentText(value)));
        return;
    }
    if (!edit->isEnabled())
        return;
    const std::string text = edit->text().toStdString();
    int whole = 0;
    if (ParsePercent(text, whole))
        value = whole;
    else if (Trimmed(text) != PercentText(value)) {
        // A fraction the page showed may stay as it is; a typed one may not.
        ReportMessage(IDS_INVALID_PERCENT);
        pDX->Fail();
        return;
    }
    if (!(value >= minimum && value <= maximum)) {
        ReportMessage(IDS_ENTER_INTEGER_RANGE, {std::to_string(minimum), std::to_string(maximum)},
                      MB_OK | MB_ICONEXCLAMATION);
        pDX->Fail();
    }
}

// ---------------------------------------------------------------- categories

CCategoryAxisPage::CCategoryAxisPage(CDrawGraph* graph, CXYAxis* axis, CWizardCatalog* catalog, QWidget* parent)
    : CWizardPage(3584, tr("Categories"), parent), m_pGraph(graph), m_pAxis(axis), m_pCatalog(catalog)
{
    const CCategoryAxisData& c = axis->m_category;
    m_strTable = c.tableName;
    m_nColumn = c.column;
    m_nCrossing = c.crossingCategory;
    m_bBetween = c.ticksBetween;
    m_nGrouping = c.grouping;
    m_bPercentages = c.percentages;
    m_bDrawValueAxis = axis->m_bCrossLine;
    m_nLabelInterval = c.labelInterval;
    m_nLabelStart = c.labelStart;
    m_nTickInterval = c.tickInterval;
    m_dOverlap = c.overlap;
    m_dGap = c.gap;

    QGridLayout* grid = Grid(this);
    m_table = new QComboBox(this);
    m_column = new QComboBox(this);
    AddRow(grid, tr("&Source"), m_table);
    AddRow(grid, tr("&Column"), m_column);
    m_drawValueAxis = new QCheckBox(tr("&Draw value axis and ticks"), this);
    grid->addWidget(m_drawValueAxis, grid->rowCount(), 0, 1, 2);
    m_crossing = new QLineEdit(this);
    m_crossingLabel = new QLabel(tr("Value axis &position:"), this);
    m_crossingLabel->setBuddy(m_crossing);
    grid->addWidget(m_crossingLabel, grid->rowCount(), 0);
    grid->addWidget(m_crossing, grid->rowCount() - 1, 1);
    m_between = new QCheckBox(tr("Axis && ticks &between categories"), this);
    grid->addWidget(m_between, grid->rowCount(), 0, 1, 2);
    m_grouping = new QComboBox(this);
    m_grouping->addItems({tr("Separate"), tr("Summed")});
    AddRow(grid, tr("D&ata grouping"), m_grouping);
    m_percentages = new QCheckBox(tr("Scale values as &percentages"), this);
    grid->addWidget(m_percentages, grid->rowCount(), 0, 1, 2);
    m_labelInterval = new QLineEdit(this);
    m_labelStart = new QLineEdit(this);
    m_tickInterval = new QLineEdit(this);
    m_overlap = new QLineEdit(this);
    m_gap = new QLineEdit(this);
    AddRow(grid, tr("Label &interval:"), m_labelInterval);
    AddRow(grid, tr("Label sta&rt:"), m_labelStart);
    AddRow(grid, tr("&Tick interval:"), m_tickInterval);
    AddRow(grid, tr("Category &overlap:"), m_overlap);
    AddRow(grid, tr("C&luster spacing:"), m_gap);
    grid->setRowStretch(grid->rowCount(), 1);

    connect(m_table, &QComboBox::currentIndexChanged, this, [this] {
        if (m_bFilling)
            return;
        // Another table: its columns are other columns.
        m_strTable = m_table->currentText().toStdString();
        m_nColumn = -1;
        FillColumns();
        SetModified();
    });
    connect(m_drawValueAxis, &QCheckBox::toggled, this, [this] { UpdateControls(); });
    connect(m_grouping, &QComboBox::activated, this, [this](int index) {
        // Summed series stand on each other in one bar; separate ones side by side.
        m_dOverlap = index == 1 ? kSummedOverlap : kSeparateOverlap;
        m_overlap->setText(Q(PercentText(m_dOverlap)));
        SetModified();
    });
    for (QCheckBox* b : {m_drawValueAxis, m_between, m_percentages})
        connect(b, &QCheckBox::clicked, this, [this] { SetModified(); });
    connect(m_column, &QComboBox::activated, this, [this] { SetModified(); });
    for (QLineEdit* e : {m_crossing, m_labelInterval, m_labelStart, m_tickInterval, m_overlap, m_gap})
        connect(e, &QLineEdit::textEdited, this, [this] { SetModified(); });
    UpdateData(false);
}

void CCategoryAxisPage::FillColumns()
{
    m_bFilling = true;
    SetItems(m_table, m_pCatalog ? m_pCatalog->GetItemNames(WizardKind::Table) : std::vector<std::string>{});
    m_table->setCurrentIndex(m_table->findText(Q(m_strTable), Qt::MatchFixedString));
    CGraphSources* sources = m_pGraph ? m_pGraph->GetSources() : nullptr;
    SetItems(m_column, ColumnNames(sources ? sources->FindTable(m_strTable) : nullptr));
    m_column->setCurrentIndex(m_nColumn >= 0 && m_nColumn < m_column->count() ? m_nColumn : -1);
    m_bFilling = false;
}

void CCategoryAxisPage::UpdateControls()
{
    const bool on = m_drawValueAxis->isChecked();
    m_crossingLabel->setEnabled(on);
    m_crossing->setEnabled(on);
}

void CCategoryAxisPage::DoDataExchange(CDataExchange* pDX)
{
    if (!pDX->m_bSaveAndValidate) {
        FillColumns();
    } else {
        m_strTable = m_table->currentText().toStdString();
        m_nColumn = m_column->currentIndex();
        if (m_nColumn < 0) {
            ReportMessage(IDS_SELECT_CATEGORY_COLUMN);
            pDX->PrepareCtrl(m_column);
            pDX->Fail();
            return;
        }
    }
    DDX_Check(pDX, m_drawValueAxis, m_bDrawValueAxis);
    if (!pDX->m_bSaveAndValidate || m_crossing->isEnabled()) {
        DDX_Int(pDX, m_crossing, m_nCrossing);
        DDV_MinMaxInt(pDX, m_nCrossing, 1, kMaxInterval);
    }
    DDX_Check(pDX, m_between, m_bBetween);
    DDX_CBIndex(pDX, m_grouping, m_nGrouping);
    DDX_Check(pDX, m_percentages, m_bPercentages);
    for (auto [edit, value] : {std::pair{m_labelInterval, &m_nLabelInterval}, std::pair{m_labelStart, &m_nLabelStart},
                               std::pair{m_tickInterval, &m_nTickInterval}}) {
        DDX_Int(pDX, edit, *value);
        DDV_MinMaxInt(pDX, *value, 1, kMaxInterval);
    }
    DDX_PercentValue(pDX, m_overlap, m_dOverlap, -100, 100);
    DDX_PercentValue(pDX, m_gap, m_dGap, 0, 200);
    if (!pDX->m_bSaveAndValidate)
        UpdateControls();
}

bool CCategoryAxisPage::OnApply()
{
    CXYAxis& a = *m_pAxis;
    CCategoryAxisData& c = a.m_category;
    c.crossingCategory = m_nCrossing;
    c.ticksBetween = m_bBetween;
    c.grouping = std::max(m_nGrouping, 0);
    c.percentages = m_bPercentages;
    c.labelInterval = m_nLabelInterval;
    c.labelStart = m_nLabelStart;
    c.tickInterval = m_nTickInterval;
    c.overlap = m_dOverlap;
    c.gap = m_dGap;
    a.m_bCrossLine = m_bDrawValueAxis;
    // Reads the names again and sets the range, crossing and tick steps from them.
    a.SetCategorySource(m_strTable, m_nColumn);
    if (m_pGraph) {
        m_pGraph->RecalcAxes();
        m_pGraph->Invalidate();
        m_pGraph->SetModified();
    }
    return true;
}

// ---------------------------------------------------------------- category labels

CCategoryFormat::CCategoryFormat(CXYScaleText* labels, QWidget* parent)
    : CWizardPage(3585, tr("Category Text"), parent), m_pLabels(labels)
{
    if (const PARAFORMAT* format = labels->GetParaFormat(nullptr))
        m_nAlignment = AlignmentListIndex(format->wAlignment);
    m_nOrientation = OrientationListIndex(labels->GetTextOrientation());
    QGridLayout* grid = Grid(this);
    m_alignment = new QComboBox(this);
    m_alignment->addItems({tr("Left"), tr("Center"), tr("Right")});
    m_orientation = new QComboBox(this);
    FillOrientations(m_orientation);
    AddRow(grid, tr("&Alignment"), m_alignment);
    AddRow(grid, tr("&Orientation"), m_orientation);
    grid->setRowStretch(grid->rowCount(), 1);
    for (QComboBox* c : {m_alignment, m_orientation})
        connect(c, &QComboBox::activated, this, [this] { SetModified(); });
    UpdateData(false);
}

void CCategoryFormat::DoDataExchange(CDataExchange* pDX)
{
    DDX_CBIndex(pDX, m_alignment, m_nAlignment);
    DDX_CBIndex(pDX, m_orientation, m_nOrientation);
}

bool CCategoryFormat::OnApply()
{
    StoreLabelLayout(m_pLabels, m_nAlignment, m_nOrientation);
    return true;
}

// ---------------------------------------------------------------- category ticks

CCategoryTicksPage::CCategoryTicksPage(CXYAxis* axis, QWidget* parent)
    : CAxisTicksPage({axis}, axis->IsVertical(), parent)
{
    m_nTemplateId = 3583;
    setWindowTitle(tr("Category Ticks"));
    // One axis: nothing to choose. Categories have no minor steps, so one grid.
    HideWithLabel(this, m_selector);
    for (QWidget* w : std::initializer_list<QWidget*>{m_minorWidth, m_minorStyle, m_minorColour})
        HideWithLabel(this, w);
}
