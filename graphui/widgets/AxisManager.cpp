#include "graphui/widgets/AxisManager.h"

#include "graph/DrawGraph.h"
#include "graph/GraphText.h"
#include "graph/ScaleText.h"
#include "graph/XYAxis.h"
#include "graph/XYDataset.h"
#include "graphui/widgets/PageHelpers.h"
#include "platform/Reporter.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"
#include "ui/MeasurementUnit.h"
#include "ui/widgets/DataExchange.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cstdio>

using namespace pages;

namespace {

constexpr int kMainPage = 3571;
constexpr int kAddXPage = 3572;
constexpr int kSplitPage = 3574;
constexpr int kAddYPage = 3575;
constexpr int kRemoveXPage = 3577;
constexpr int kRemoveYPage = 3578;

// Tick placements (0 inside, 1 outside, 3 off) of a new axis' two sides by
// initial tick style: X (upper, lower), Y (left, right).
constexpr int kInside = 0, kOutside = 1, kOff = 3;
constexpr int kXTicks[6][2] = {{kInside, kInside}, {kOff, kInside}, {kInside, kOff},
                               {kOutside, kOutside}, {kOff, kOutside}, {kOutside, kOff}};
constexpr int kYTicks[6][2] = {{kInside, kInside}, {kInside, kOff}, {kOff, kInside},
                               {kOutside, kOutside}, {kOutside, kOff}, {kOff, kOutside}};

std::vector<CXYAxis*> AxesOf(CDrawGraph* graph, bool vertical)
{
    std::vector<CXYAxis*> axes;
    const int n = vertical ? graph->GetYAxisCount() : graph->GetXAxisCount();
    for (int i = 0; i < n; ++i)
        axes.push_back(vertical ? graph->GetYAxis(i) : graph->GetXAxis(i));
    return axes;
}

template <typename... Args>
QString Printf(UINT id, Args... args)
{
    char text[256];
    std::snprintf(text, sizeof text, LoadString(id).c_str(), args...);
    return QString::fromUtf8(text);
}

QButtonGroup* RadioGroup(QWidget* page, QGridLayout* grid, const QStringList& labels, QRadioButton** buttons)
{
    auto* group = new QButtonGroup(page);
    for (int i = 0; i < labels.size(); ++i) {
        buttons[i] = new QRadioButton(labels[i], page);
        group->addButton(buttons[i], i);
        grid->addWidget(buttons[i], grid->rowCount(), 0, 1, 2);
    }
    return group;
}

void ExchangeRadios(CDataExchange* pDX, QRadioButton* const* buttons, int count, int& value)
{
    if (!pDX->m_bSaveAndValidate) {
        for (int i = 0; i < count; ++i)
            buttons[i]->setChecked(i == value);
        return;
    }
    value = -1;
    for (int i = 0; i < count; ++i)
        if (buttons[i]->isChecked())
            value = i;
}

} // namespace

// ---------------------------------------------------------------- main page

CAxisManagerMainPage::CAxisManagerMainPage(CDrawGraph* graph, bool xAllowed, bool yAllowed, QWidget* parent)
    : CWizardPage(kMainPage, tr("Axis Manager - Choose An Option"), parent), m_pGraph(graph)
{
    QGridLayout* grid = Grid(this);
    RadioGroup(this, grid,
               {tr("Add a &new x axis"), tr("Add a n&ew y axis"), tr("Split an e&xisting x axis"),
                tr("Split an ex&isting y axis"), tr("&Remove x axis"), tr("Re&move y axis")},
               m_options);
    grid->setRowStretch(grid->rowCount(), 1);
    for (int i : {0, 2, 4})
        m_options[i]->setEnabled(xAllowed);
    for (int i : {1, 3, 5})
        m_options[i]->setEnabled(yAllowed);
    // A graph keeps at least one axis of each direction.
    if (graph->GetXAxisCount() < 2)
        m_options[4]->setEnabled(false);
    if (graph->GetYAxisCount() < 2)
        m_options[5]->setEnabled(false);
}

void CAxisManagerMainPage::DoDataExchange(CDataExchange* pDX) { ExchangeRadios(pDX, m_options, 6, m_nOption); }

void CAxisManagerMainPage::OnSetActive() { Sheet()->SetWizardButtons(PSWIZB_NEXT); }

int CAxisManagerMainPage::OnWizardNext()
{
    auto* sheet = dynamic_cast<CAxisManagerSheet*>(Sheet());
    switch (m_nOption) {
    case 0: return kAddXPage;
    case 1: return kAddYPage;
    case 2:
    case 3:
        if (sheet)
            sheet->m_split.SetAxes(m_nOption == 3);
        return kSplitPage;
    case 4: return kRemoveXPage;
    case 5: return kRemoveYPage;
    default:
        Refuse(IDS_SELECT_AN_OPTION, m_options[0]);
        return -1;
    }
}

// ---------------------------------------------------------------- add an axis

CAxisManagerAddAxis::CAxisManagerAddAxis(bool vertical, QWidget* parent)
    : CWizardPage(vertical ? kAddYPage : kAddXPage,
                  vertical ? tr("Axis Manager - Add y Axis") : tr("Axis Manager - Add x Axis"), parent)
    , m_bVertical(vertical)
{
    QGridLayout* grid = Grid(this);
    grid->addWidget(new QLabel(tr("&Initial tick style"), this), 0, 0, 1, 2);
    const QStringList styles = vertical ? QStringList{tr("Both inside"), tr("Left inside"), tr("Right inside"),
                                                      tr("Both outside"), tr("Left outside"), tr("Right outside")}
                                        : QStringList{tr("Both inside"), tr("Lower inside"), tr("Upper inside"),
                                                      tr("Both outside"), tr("Lower outside"), tr("Upper outside")};
    RadioGroup(this, grid, styles, m_styles);
    grid->addWidget(new QLabel(tr("&Text location"), this), grid->rowCount(), 0, 1, 2);
    RadioGroup(this, grid,
               vertical ? QStringList{tr("Left of the frame"), tr("Right of the frame")}
                        : QStringList{tr("Below the frame"), tr("Above the frame")},
               m_locations);
    m_offset = new QLineEdit(this);
    AddRow(grid, tr("&Offset:"), m_offset);
    grid->setRowStretch(grid->rowCount(), 1);
}

void CAxisManagerAddAxis::DoDataExchange(CDataExchange* pDX)
{
    ExchangeRadios(pDX, m_styles, 6, m_nTickStyle);
    ExchangeRadios(pDX, m_locations, 2, m_nTextLocation);
    const MeasurementUnit unit = PreferredUnit();
    DDX_Measurement(unit, pDX, m_offset, m_nOffset);
    DDV_Measurement(unit, pDX, m_nOffset, 0, 2880);
}

void CAxisManagerAddAxis::OnSetActive() { Sheet()->SetWizardButtons(PSWIZB_BACK | PSWIZB_FINISH); }

int CAxisManagerAddAxis::OnWizardBack() { return kMainPage; }

CXYAxis* CAxisManagerAddAxis::CreateAxis(CDrawGraph* graph)
{
    const int count = m_bVertical ? graph->GetYAxisCount() : graph->GetXAxisCount();
    // The new axis starts over the range of the first axis of its direction.
    const CXYAxis* first = count > 0 ? (m_bVertical ? graph->GetYAxis(0) : graph->GetXAxis(0)) : nullptr;
    graph->AddAxes(m_bVertical ? 0 : 1, m_bVertical ? 1 : 0);
    CXYAxis* axis = m_bVertical ? graph->GetYAxis(count) : graph->GetXAxis(count);
    axis->CreateLabels(count + 1, m_nTextLocation == 1);
    if (first) {
        axis->m_dMin = first->m_dMin;
        axis->m_dMax = first->m_dMax;
    }
    const int style = std::clamp(m_nTickStyle, 0, 5);
    const int(*table)[2] = m_bVertical ? kYTicks : kXTicks;
    axis->m_nTickStyle1 = table[style][0];
    axis->m_nTickStyle2 = table[style][1];
    axis->m_nOffset = m_nOffset;
    axis->Rescale();
    if (CXYScaleText* labels = axis->GetTickLabels())
        labels->Reposition(true);
    graph->RecalcOutline(graph->GetPosition());
    graph->Invalidate();
    graph->SetModified();
    return axis;
}

// ---------------------------------------------------------------- split an axis

CAxisSplitPage::CAxisSplitPage(CDrawGraph* graph, QWidget* parent)
    : CWizardPage(kSplitPage, tr("Axis Manager - Split Settings"), parent), m_pGraph(graph)
{
    QGridLayout* grid = Grid(this);
    m_axisList = new QComboBox(this);
    AddRow(grid, tr("&Axis to split"), m_axisList);
    m_position = new QSlider(Qt::Horizontal, this);
    m_position->setRange(0, 100);
    m_position->setTickInterval(10);
    m_position->setTickPosition(QSlider::TicksBelow);
    m_positionText = new QLabel(this);
    AddRow(grid, tr("Split position"), m_position);
    AddRow(grid, QString(), m_positionText);
    m_value = new QLineEdit(this);
    AddRow(grid, tr("Split &value:"), m_value);
    m_range = new QLabel(this);
    AddRow(grid, QString(), m_range);
    grid->setRowStretch(grid->rowCount(), 1);
    connect(m_axisList, &QComboBox::activated, this, [this](int index) {
        m_nAxis = index;
        // The split value starts in the middle of the chosen axis.
        if (CXYAxis* axis = Chosen()) {
            m_dValue = axis->m_dMin + (axis->m_dMax - axis->m_dMin) * 0.5;
            m_value->setText(Q(FormatG15(m_dValue)));
        }
        ShowRange();
    });
    connect(m_position, &QSlider::valueChanged, this, [this](int value) {
        m_nPosition = value;
        m_positionText->setText(QString::asprintf("%d%%", value));
    });
}

void CAxisSplitPage::SetAxes(bool vertical)
{
    if (vertical != m_bVertical)
        m_nAxis = -1;
    m_bVertical = vertical;
}

CXYAxis* CAxisSplitPage::Chosen() const
{
    const std::vector<CXYAxis*> axes = AxesOf(m_pGraph, m_bVertical);
    return m_nAxis >= 0 && m_nAxis < int(axes.size()) ? axes[std::size_t(m_nAxis)] : nullptr;
}

void CAxisSplitPage::ShowRange()
{
    const CXYAxis* axis = Chosen();
    m_range->setText(axis ? Printf(IDS_SPLIT_RANGE_HINT, axis->m_dMin, axis->m_dMax) : QString());
}

void CAxisSplitPage::DoDataExchange(CDataExchange* pDX)
{
    if (!pDX->m_bSaveAndValidate) {
        m_axisList->clear();
        int number = 1;
        for (const CXYAxis* axis : AxesOf(m_pGraph, m_bVertical))
            m_axisList->addItem(Printf(IDS_SPLIT_AXIS_LINE, number++, axis->m_dMin, axis->m_dMax));
        m_axisList->setCurrentIndex(m_nAxis);
        m_position->setValue(m_nPosition);
        m_positionText->setText(QString::asprintf("%d%%", m_nPosition));
        m_value->setText(Q(FormatG15(m_dValue)));
        ShowRange();
        return;
    }
    m_nAxis = m_axisList->currentIndex();
    m_nPosition = m_position->value();
    const CXYAxis* axis = Chosen();
    if (!axis) {
        Refuse(IDS_SELECT_AXIS_TO_SPLIT, m_axisList);
        pDX->Fail();
        return;
    }
    DDX_Double(pDX, m_value, m_dValue);
    if (!pDX->Failed() && !(m_dValue >= axis->m_dMin && m_dValue <= axis->m_dMax)) {
        ReportMessage(IDS_ENTER_NUMBER_RANGE, {FormatG15(axis->m_dMin), FormatG15(axis->m_dMax)});
        pDX->PrepareCtrl(m_value);
        pDX->Fail();
    }
}

void CAxisSplitPage::OnSetActive()
{
    Sheet()->SetWizardButtons(PSWIZB_BACK | PSWIZB_FINISH);
}

int CAxisSplitPage::OnWizardBack() { return kMainPage; }

void CAxisSplitPage::Split()
{
    CXYAxis* a = Chosen();
    if (!a)
        return;
    const int oldIndex = m_nAxis;
    const int newIndex = m_bVertical ? m_pGraph->GetYAxisCount() : m_pGraph->GetXAxisCount();
    m_pGraph->AddAxes(m_bVertical ? 0 : 1, m_bVertical ? 1 : 0);
    CXYAxis* n = m_bVertical ? m_pGraph->GetYAxis(newIndex) : m_pGraph->GetXAxis(newIndex);
    n->CreateLabels(newIndex + 1, false);
    a->CopySettings(*n);
    const int p = std::clamp(m_nPosition, 0, 100);
    // The new axis takes the stretch after the split, the old one the stretch before,
    // each a step away from the split when there is room, so the break shows.
    const int s = n->m_nStart, e = n->m_nEnd;
    n->m_nStart = s + (e - s) * p / 100;
    if (e - n->m_nStart > 1)
        n->m_nStart += 1;
    const int added = (a->m_nEnd - a->m_nStart) * p / 100;
    a->m_nEnd = a->m_nStart + added;
    if (added > 1)
        a->m_nEnd -= 1;
    a->m_nBreakPlacement = n->m_nBreakPlacement = 3;
    n->m_dMin = m_dValue + 0.02 * (n->m_dMax - n->m_dMin);
    n->m_bAutoMin = 0;
    n->m_bCrossLine = 0;
    a->m_dMax = m_dValue;
    a->m_bAutoMax = 0;
    // The frame side along the split axis would run on through the break: it
    // goes (the lower side of the picture for an X axis, the left for a Y axis).
    if (m_bVertical)
        m_pGraph->m_bLeftEdge = 0;
    else
        m_pGraph->m_bTopEdge = 0;
    for (CXYAxis* axis : {a, n}) {
        if (CGraphText* title = axis->GetTitle())
            title->Invalidate();
        if (CXYScaleText* labels = axis->GetTickLabels())
            labels->Invalidate();
    }
    if (CGraphText* title = n->GetTitle())
        title->SetDisplayOption(0);
    for (int i = 0; i < m_pGraph->GetDatasetCount(); ++i) {
        CXYDataset* d = m_pGraph->GetDataset(i);
        if (m_bVertical && d->FindYAxis(oldIndex))
            d->AddYAxis(newIndex);
        if (!m_bVertical && d->FindXAxis(oldIndex))
            d->AddXAxis(newIndex);
    }
    m_pGraph->RecalcAxes();
    m_pGraph->SetModified();
}

// ---------------------------------------------------------------- remove an axis

CAxisRemovePage::CAxisRemovePage(CDrawGraph* graph, bool vertical, QWidget* parent)
    : CWizardPage(vertical ? kRemoveYPage : kRemoveXPage,
                  vertical ? tr("Axis Manager - Remove y Axis") : tr("Axis Manager - Remove x Axis"), parent)
    , m_pGraph(graph)
    , m_bVertical(vertical)
{
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("&Axis to remove"), this));
    m_list = new QTableWidget(this);
    m_list->setColumnCount(4);
    m_list->setHorizontalHeaderLabels({Q(LoadString(IDS_AXIS_LIST_NUMBER)), Q(LoadString(IDS_AXIS_LIST_START)),
                                       Q(LoadString(IDS_AXIS_LIST_FINISH)), Q(LoadString(IDS_AXIS_LIST_DATASETS))});
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->verticalHeader()->hide();
    m_list->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(m_list, 1);
    auto* note = new QLabel(tr("Any data or curves associated with a deleted axis will become reassociated with the "
                               "default (first) axis. Double-click on the data symbol to modify the associations."),
                            this);
    note->setWordWrap(true);
    layout->addWidget(note);
    FillList();
}

void CAxisRemovePage::FillList()
{
    const std::vector<CXYAxis*> axes = AxesOf(m_pGraph, m_bVertical);
    m_list->setRowCount(int(axes.size()));
    for (int i = 0; i < int(axes.size()); ++i) {
        const int used = m_bVertical ? m_pGraph->CountDatasetsOnYAxis(i) : m_pGraph->CountDatasetsOnXAxis(i);
        const QString cells[4] = {QString::number(i + 1), Q(FormatG15(axes[std::size_t(i)]->m_dMin)),
                                  Q(FormatG15(axes[std::size_t(i)]->m_dMax)), QString::number(used)};
        const Qt::Alignment align[4] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignHCenter, Qt::AlignRight};
        for (int c = 0; c < 4; ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            item->setTextAlignment(align[c] | Qt::AlignVCenter);
            m_list->setItem(i, c, item);
        }
    }
}

void CAxisRemovePage::DoDataExchange(CDataExchange* pDX)
{
    if (!pDX->m_bSaveAndValidate)
        return;
    const QList<QModelIndex> rows = m_list->selectionModel()->selectedRows();
    if (rows.size() != 1) {
        Refuse(IDS_SELECT_AXIS_TO_REMOVE, m_list);
        pDX->Fail();
        return;
    }
    m_nRow = rows.front().row();
}

void CAxisRemovePage::OnSetActive()
{
    Sheet()->SetWizardButtons(PSWIZB_BACK | PSWIZB_FINISH);
}

int CAxisRemovePage::OnWizardBack() { return kMainPage; }

// ---------------------------------------------------------------- the sheet

CAxisManagerSheet::CAxisManagerSheet(CDrawGraph* graph, QWidget* parent, bool xAllowed, bool yAllowed, int startPage)
    : CWizardSheet(parent)
    , m_main(graph, xAllowed, yAllowed)
    , m_addX(false)
    , m_addY(true)
    , m_split(graph)
    , m_removeX(graph, false)
    , m_removeY(graph, true)
    , m_pGraph(graph)
{
    for (CWizardPage* p : std::initializer_list<CWizardPage*>{&m_main, &m_addX, &m_addY, &m_split, &m_removeX,
                                                              &m_removeY})
        AddPage(p);
    if (startPage > 0 && startPage < GetPageCount())
        m_main.m_nOption = startPage - 1;
}

void CAxisManagerSheet::ApplyChoice()
{
    switch (m_main.m_nOption) {
    case 0: m_addX.CreateAxis(m_pGraph); break;
    case 1: m_addY.CreateAxis(m_pGraph); break;
    case 2:
    case 3: m_split.Split(); break;
    case 4:
        if (m_removeX.m_nRow >= 0)
            m_pGraph->RemoveXAxis(m_removeX.m_nRow);
        break;
    case 5:
        if (m_removeY.m_nRow >= 0)
            m_pGraph->RemoveYAxis(m_removeY.m_nRow);
        break;
    default:
        break;
    }
}
