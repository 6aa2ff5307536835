#include "graphui/widgets/AxisPages.h"

#include "graph/AxisScale.h"
#include "graph/DrawGraph.h"
#include "graph/ScaleText.h"
#include "graph/XYAxis.h"
#include "platform/Reporter.h"
#include "platform/StringIds.h"
#include "ui/MeasurementUnit.h"
#include "ui/widgets/ColourCombo.h"
#include "ui/widgets/DataExchange.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include <cstdio>

namespace {

const MeasurementUnit& WidthUnit()
{
    static const MeasurementUnit unit(2, 720);
    return unit;
}


void AddRow(QGridLayout* grid, const QString& label, QWidget* control, int column = 0)
{
    const int row = column == 0 ? grid->rowCount() : grid->rowCount() - 1;
    auto* text = new QLabel(label);
    text->setBuddy(control);
    grid->addWidget(text, row, column);
    grid->addWidget(control, row, column + 1);
}

void FillGridStyles(QComboBox* combo)
{
    for (const char* s : {"None", "Solid", "Dash", "Dot", "Dash Dot", "Dash Dot Dot"})
        combo->addItem(QObject::tr(s));
}

} // namespace

int GridListIndexFromStyle(int style) { return style < 0 || style > 5 ? 0 : (style + 1) % 6; }
int GridStyleFromListIndex(int index) { return index < 0 || index > 5 ? 5 : (index + 5) % 6; }

// ---------------------------------------------------------------- the axis selector

CAxisPage::CAxisPage(std::vector<CXYAxis*> axes, bool vertical, int templateId, const QString& caption, QWidget* parent)
    : CWizardPage(templateId, caption, parent), m_axes(std::move(axes)), m_bVertical(vertical)
{
    m_selector = new QComboBox(this);
    for (std::size_t i = 0; i < m_axes.size(); ++i)
        m_selector->addItem(QString::number(i + 1));
    connect(m_selector, &QComboBox::activated, this, [this](int index) { SelectAxis(index); });
}

CXYAxis* CAxisPage::Axis() const
{
    return m_nAxis >= 0 && m_nAxis < int(m_axes.size()) ? m_axes[std::size_t(m_nAxis)] : nullptr;
}

bool CAxisPage::SelectAxis(int index)
{
    if (index < 0 || index >= int(m_axes.size()))
        return false;
    if (index == m_nAxis)
        return true;
    if (!UpdateData(true) || !OnApply()) {
        m_selector->setCurrentIndex(m_nAxis);
        return false;
    }
    SetModified(false);
    m_nAxis = index;
    Load(*m_axes[std::size_t(index)]);
    UpdateData(false);
    m_selector->setCurrentIndex(index);
    return true;
}

void CAxisPage::Refresh(CXYAxis& axis)
{
    CDrawGraph* graph = axis.GetGraph();
    if (CXYScaleText* labels = axis.GetTickLabels())
        labels->Reposition(true);
    if (graph) {
        graph->Invalidate();
        graph->RecalcAxes();
        graph->Invalidate();
        graph->SetModified();
    }
}

// ---------------------------------------------------------------- scale page

CAxisScalePage::CAxisScalePage(std::vector<CXYAxis*> axes, bool vertical, QWidget* parent)
    : CAxisPage(std::move(axes), vertical, vertical ? 3547 : 3542, vertical ? tr("Y Scale") : tr("X Scale"), parent)
{
    auto* grid = new QGridLayout(this);
    AddRow(grid, vertical ? tr("Y &axis #") : tr("X &axis #"), m_selector);
    m_type = new QComboBox(this);
    m_type->addItems({tr("Linear"), tr("Logarithmic")});
    AddRow(grid, tr("Type"), m_type);
    grid->addWidget(new QLabel(tr("Scale (check box for autoscale)")), grid->rowCount(), 0, 1, 2);
    const QString labels[5] = {tr("&Start:"), tr("&Finish:"), tr("&Major increment:"), tr("Min&or increment:"),
                               vertical ? tr("X &axis position:") : tr("Y &axis position:")};
    for (int i = 0; i < 5; ++i) {
        m_autos[i] = new QCheckBox(labels[i], this);
        m_edits[i] = new QLineEdit(this);
        const int row = grid->rowCount();
        grid->addWidget(m_autos[i], row, 0);
        grid->addWidget(m_edits[i], row, 1);
        connect(m_autos[i], &QCheckBox::clicked, this, [this] {
            SetModified();
            Reread();
        });
        connect(m_edits[i], &QLineEdit::editingFinished, this, [this] { Reread(); });
        connect(m_edits[i], &QLineEdit::textEdited, this, [this] { SetModified(); });
    }
    m_crossLine = new QCheckBox(vertical ? tr("&Draw X axis and ticks") : tr("&Draw Y axis and ticks"), this);
    grid->addWidget(m_crossLine, grid->rowCount(), 0, 1, 2);
    m_entire = new QCheckBox(tr("&Entire graph size"), this);
    grid->addWidget(m_entire, grid->rowCount(), 0, 1, 2);
    m_extentStart = new QLineEdit(this);
    m_extentEnd = new QLineEdit(this);
    AddRow(grid, tr("S&tart:"), m_extentStart);
    AddRow(grid, tr("E&nd:"), m_extentEnd);
    m_break = new QComboBox(this);
    // The sides are named as they are seen: an X axis' first side is its lower one.
    if (vertical)
        m_break->addItems({tr("Left"), tr("Right"), tr("Axis"), tr("All"), tr("None")});
    else
        m_break->addItems({tr("Top"), tr("Bottom"), tr("Axis"), tr("All"), tr("None")});
    AddRow(grid, tr("Break symbol"), m_break);
    grid->setRowStretch(grid->rowCount(), 1);
    connect(m_crossLine, &QCheckBox::clicked, this, [this] {
        SetModified();
        UpdateControls();
    });
    connect(m_entire, &QCheckBox::clicked, this, [this] {
        SetModified();
        if (m_entire->isChecked()) {
            m_extentStart->setText("0%");
            m_extentEnd->setText("100%");
            m_break->setCurrentIndex(4);
        }
        UpdateControls();
    });
    connect(m_type, &QComboBox::activated, this, [this](int index) {
        SetModified();
        m_bRereading = true;
        UpdateData(true);
        m_bRereading = false;
        m_nType = index;
        // A logarithmic scale cannot start at zero or below: such a manual value turns automatic.
        if (m_nType == 1) {
            if (!m_bAutoStart && m_dStart <= 0.0)
                m_bAutoStart = 1;
            if (!m_bAutoFinish && m_dFinish <= 0.0)
                m_bAutoFinish = 1;
            if (!m_bAutoCross && m_dCross <= 0.0)
                m_bAutoCross = 1;
        }
        Recalculate();
        UpdateData(false);
    });
    connect(m_break, &QComboBox::activated, this, [this] { SetModified(); });
    for (QLineEdit* e : {m_extentStart, m_extentEnd})
        connect(e, &QLineEdit::textEdited, this, [this] { SetModified(); });
    if (Axis())
        Load(*Axis());
    UpdateData(false);
}

int CAxisScalePage::BreakIndexFromPlacement(int placement) const
{
    if (placement < 0 || placement > 4)
        return 4;
    // An X axis' first edge is the frame's lower side, which the list names "Bottom".
    if (!m_bVertical && placement <= 1)
        return 1 - placement;
    return placement;
}

int CAxisScalePage::PlacementFromBreakIndex(int index) const
{
    return BreakIndexFromPlacement(index);
}

void CAxisScalePage::Load(const CXYAxis& a)
{
    m_nType = a.m_bLog ? 1 : 0;
    m_dStart = a.m_dMin;
    m_bAutoStart = a.m_bAutoMin;
    m_dFinish = a.m_dMax;
    m_bAutoFinish = a.m_bAutoMax;
    m_dMajor = a.m_dMajor;
    m_bAutoMajor = a.m_bAutoMajor;
    m_dMinor = a.m_dMinor;
    m_bAutoMinor = a.m_bAutoMinor;
    m_dCross = a.m_dCross;
    m_bAutoCross = a.m_bAutoCross;
    m_bCrossLine = a.m_bCrossLine;
    m_nExtentStart = a.m_nStart;
    m_nExtentEnd = a.m_nEnd;
    m_bEntire = a.m_nStart == 0 && a.m_nEnd == 100;
    m_nBreak = BreakIndexFromPlacement(a.m_nBreakPlacement);
}

void CAxisScalePage::Recalculate()
{
    CXYAxis* axis = Axis();
    if (!axis)
        return;
    double min = 0.0, max = 0.0;
    axis->Autoscale(m_nType == 1, min, max);
    if (m_bAutoFinish)
        m_dFinish = max;
    if (m_bAutoStart)
        m_dStart = min;
    if (!(m_dFinish > m_dStart))
        m_dFinish = m_dStart + 1.0;
    double major = 0.0, minor = 0.0, origin = 0.0;
    AxisScale::ChooseTickSteps(m_nType == 1, m_dStart, m_dFinish, major, minor, origin);
    if (m_bAutoCross)
        m_dCross = origin;
    if (m_bAutoMajor)
        m_dMajor = major;
    if (m_bAutoMinor)
        m_dMinor = minor;
}

void CAxisScalePage::Reread()
{
    if (m_bRereading)
        return;
    m_bRereading = true;
    UpdateData(true);
    Recalculate();
    UpdateData(false);
    m_bRereading = false;
}

void CAxisScalePage::UpdateControls()
{
    for (int i = 0; i < 4; ++i)
        m_edits[i]->setEnabled(!m_autos[i]->isChecked());
    m_edits[4]->setEnabled(m_crossLine->isChecked() && !m_autos[4]->isChecked());
    m_autos[4]->setEnabled(m_crossLine->isChecked());
    const bool free = !m_entire->isChecked();
    for (QWidget* w : std::initializer_list<QWidget*>{m_extentStart, m_extentEnd, m_break})
        w->setEnabled(free);
}

void CAxisScalePage::DoDataExchange(CDataExchange* pDX)
{
    DDX_CBIndex(pDX, m_type, m_nType);
    double* values[5] = {&m_dStart, &m_dFinish, &m_dMajor, &m_dMinor, &m_dCross};
    int* autos[5] = {&m_bAutoStart, &m_bAutoFinish, &m_bAutoMajor, &m_bAutoMinor, &m_bAutoCross};
    DDX_Check(pDX, m_crossLine, m_bCrossLine);
    DDX_Check(pDX, m_entire, m_bEntire);
    for (int i = 0; i < 5; ++i) {
        DDX_Check(pDX, m_autos[i], *autos[i]);
        if (!pDX->m_bSaveAndValidate)
            m_edits[i]->setText(QString::fromStdString(FormatG15(*values[i])));
        else if (!*autos[i] && m_edits[i]->isEnabled()) {
            // While re-reading, text that is no number keeps the value it had.
            if (m_bRereading) {
                bool ok = false;
                const double v = m_edits[i]->text().trimmed().toDouble(&ok);
                if (ok)
                    *values[i] = v;
            } else {
                DDX_Double(pDX, m_edits[i], *values[i]);
            }
        }
    }
    if (m_bRereading && pDX->m_bSaveAndValidate)
        return;
    DDX_Percent(pDX, m_extentStart, m_nExtentStart);
    DDV_Percent(pDX, m_nExtentStart, 0, 100);
    DDX_Percent(pDX, m_extentEnd, m_nExtentEnd);
    DDV_Percent(pDX, m_nExtentEnd, 0, 100);
    DDX_CBIndex(pDX, m_break, m_nBreak);
    if (!pDX->m_bSaveAndValidate) {
        UpdateControls();
        return;
    }
    if (pDX->Failed())
        return;
    if (m_bEntire) {
        m_nExtentStart = 0;
        m_nExtentEnd = 100;
        m_nBreak = 4;
    }
    auto refuse = [&](UINT id, QWidget* w) {
        ReportMessage(id);
        pDX->PrepareCtrl(w);
        pDX->Fail();
    };
    if (m_nType == 1 && m_dStart <= 0.0)
        refuse(IDS_LOG_SCALE_NOT_POSITIVE, m_edits[0]);
    else if (!(m_dFinish > m_dStart))
        refuse(IDS_SCALE_FINISH_NOT_ABOVE_START, m_edits[1]);
    else if (!(m_dMajor > 0.0))
        refuse(IDS_TICK_INCREMENT_NOT_POSITIVE, m_edits[2]);
    else if (!(m_dMinor > 0.0))
        refuse(IDS_TICK_INCREMENT_NOT_POSITIVE, m_edits[3]);
}

bool CAxisScalePage::OnApply()
{
    CXYAxis* axis = Axis();
    if (!axis)
        return true;
    Recalculate();
    CXYAxis& a = *axis;
    a.m_bLog = m_nType == 1;
    a.m_dMin = m_dStart;
    a.m_bAutoMin = m_bAutoStart;
    a.m_dMax = m_dFinish;
    a.m_bAutoMax = m_bAutoFinish;
    a.m_dMajor = m_dMajor;
    a.m_bAutoMajor = m_bAutoMajor;
    a.m_dMinor = m_dMinor;
    a.m_bAutoMinor = m_bAutoMinor;
    a.m_dCross = m_dCross;
    a.m_bAutoCross = m_bAutoCross;
    a.m_bCrossLine = m_bCrossLine;
    a.m_nStart = m_nExtentStart;
    a.m_nEnd = m_nExtentEnd;
    a.m_nBreakPlacement = PlacementFromBreakIndex(m_nBreak);
    Refresh(a);
    return true;
}

// ---------------------------------------------------------------- ticks page

CAxisTicksPage::CAxisTicksPage(std::vector<CXYAxis*> axes, bool vertical, QWidget* parent)
    : CAxisPage(std::move(axes), vertical, vertical ? 3548 : 3541, vertical ? tr("Y Ticks") : tr("X Ticks"), parent)
{
    auto* grid = new QGridLayout(this);
    AddRow(grid, vertical ? tr("Y &axis #") : tr("X &axis #"), m_selector);
    auto placements = [this] {
        auto* c = new QComboBox(this);
        c->addItems({tr("Inside"), tr("Outside"), tr("Both"), tr("Off")});
        connect(c, &QComboBox::activated, this, [this] { SetModified(); });
        return c;
    };
    m_firstTicks = placements();
    m_secondTicks = placements();
    m_crossTicks = placements();
    AddRow(grid, vertical ? tr("Le&ft") : tr("&Upper"), m_firstTicks);
    AddRow(grid, vertical ? tr("Righ&t") : tr("L&ower"), m_secondTicks);
    AddRow(grid, vertical ? tr("&Y axis") : tr("&X axis"), m_crossTicks);
    m_size = new QComboBox(this);
    m_size->addItems({tr("Small"), tr("Medium"), tr("Large"), tr("Specific:")});
    m_specific = new QLineEdit(this);
    AddRow(grid, tr("Si&ze"), m_size);
    grid->addWidget(m_specific, grid->rowCount() - 1, 2);
    m_offset = new QLineEdit(this);
    AddRow(grid, tr("&Distance from frame:"), m_offset);
    m_tickWidth = new QLineEdit(this);
    m_tickColour = new CColourCombo(this);
    AddRow(grid, tr("Tick width:"), m_tickWidth);
    AddRow(grid, tr("Color"), m_tickColour, 2);
    m_majorWidth = new QLineEdit(this);
    m_majorStyle = new QComboBox(this);
    FillGridStyles(m_majorStyle);
    m_majorColour = new CColourCombo(this);
    AddRow(grid, tr("Major grid width:"), m_majorWidth);
    AddRow(grid, tr("Style"), m_majorStyle, 2);
    AddRow(grid, tr("Color"), m_majorColour, 4);
    m_minorWidth = new QLineEdit(this);
    m_minorStyle = new QComboBox(this);
    FillGridStyles(m_minorStyle);
    m_minorColour = new CColourCombo(this);
    AddRow(grid, tr("Minor grid width:"), m_minorWidth);
    AddRow(grid, tr("Style"), m_minorStyle, 2);
    AddRow(grid, tr("Color"), m_minorColour, 4);
    grid->setRowStretch(grid->rowCount(), 1);
    for (CColourCombo* c : {m_tickColour, m_majorColour, m_minorColour}) {
        c->Init(ColourValue(0));
        connect(c, &CColourCombo::colourChanged, this, [this] { SetModified(); });
    }
    for (QComboBox* c : {m_majorStyle, m_minorStyle})
        connect(c, &QComboBox::activated, this, [this] { SetModified(); });
    connect(m_size, &QComboBox::currentIndexChanged, this, [this](int index) { m_specific->setEnabled(index == 3); });
    connect(m_size, &QComboBox::activated, this, [this] { SetModified(); });
    for (QLineEdit* e : {m_specific, m_offset, m_tickWidth, m_majorWidth, m_minorWidth})
        connect(e, &QLineEdit::textEdited, this, [this] { SetModified(); });
    if (Axis())
        Load(*Axis());
    UpdateData(false);
}

void CAxisTicksPage::Load(const CXYAxis& a)
{
    m_nFirstTicks = a.m_nTickStyle1;
    m_nSecondTicks = a.m_nTickStyle2;
    m_nCrossTicks = a.m_nCrossTickStyle;
    m_nSizeKind = a.m_nTickLengthKind;
    // The specific length is kept by the axis, so that it comes back on reopening.
    m_nSpecificSize = a.m_nCustomTickLength;
    m_nOffset = a.m_nOffset;
    m_nTickWidth = a.m_nLineWidth;
    m_crTicks = a.m_crLine;
    m_nMajorWidth = a.m_nMajorGridWidth;
    m_nMajorStyle = GridListIndexFromStyle(a.m_nMajorGridStyle);
    m_crMajor = a.m_crMajorGrid;
    m_nMinorWidth = a.m_nMinorGridWidth;
    m_nMinorStyle = GridListIndexFromStyle(a.m_nMinorGridStyle);
    m_crMinor = a.m_crMinorGrid;
}

void CAxisTicksPage::DoDataExchange(CDataExchange* pDX)
{
    const MeasurementUnit distance(MeasurementUnit::LocaleUnit(), 720);
    DDX_CBIndex(pDX, m_firstTicks, m_nFirstTicks);
    DDX_CBIndex(pDX, m_secondTicks, m_nSecondTicks);
    DDX_CBIndex(pDX, m_crossTicks, m_nCrossTicks);
    DDX_CBIndex(pDX, m_size, m_nSizeKind);
    if (!pDX->m_bSaveAndValidate || m_nSizeKind == 3) {
        DDX_Measurement(distance, pDX, m_specific, m_nSpecificSize);
        DDV_Measurement(distance, pDX, m_nSpecificSize, 0, 2880);
    }
    DDX_Measurement(distance, pDX, m_offset, m_nOffset);
    DDV_Measurement(distance, pDX, m_nOffset, 0, 2880);
    for (auto [edit, value] : {std::pair{m_tickWidth, &m_nTickWidth}, std::pair{m_majorWidth, &m_nMajorWidth},
                               std::pair{m_minorWidth, &m_nMinorWidth}}) {
        DDX_Measurement(WidthUnit(), pDX, edit, *value);
        DDV_Measurement(WidthUnit(), pDX, *value, 1, 720);
    }
    DDX_ColourCombo(pDX, m_tickColour, m_crTicks);
    DDX_CBIndex(pDX, m_majorStyle, m_nMajorStyle);
    DDX_ColourCombo(pDX, m_majorColour, m_crMajor);
    DDX_CBIndex(pDX, m_minorStyle, m_nMinorStyle);
    DDX_ColourCombo(pDX, m_minorColour, m_crMinor);
    if (!pDX->m_bSaveAndValidate)
        m_specific->setEnabled(m_nSizeKind == 3);
}

bool CAxisTicksPage::OnApply()
{
    CXYAxis* axis = Axis();
    if (!axis)
        return true;
    CXYAxis& a = *axis;
    a.m_nTickStyle1 = m_nFirstTicks;
    a.m_nTickStyle2 = m_nSecondTicks;
    a.m_nCrossTickStyle = m_nCrossTicks;
    a.m_nTickLengthKind = m_nSizeKind;
    a.m_nCustomTickLength = m_nSpecificSize;
    a.m_nOffset = m_nOffset;
    a.m_nLineWidth = m_nTickWidth;
    a.m_crLine = m_crTicks;
    a.m_nMajorGridWidth = m_nMajorWidth;
    a.m_nMajorGridStyle = GridStyleFromListIndex(m_nMajorStyle);
    a.m_crMajorGrid = m_crMajor;
    a.m_nMinorGridWidth = m_nMinorWidth;
    a.m_nMinorGridStyle = GridStyleFromListIndex(m_nMinorStyle);
    a.m_crMinorGrid = m_crMinor;
    Refresh(a);
    return true;
}

// ---------------------------------------------------------------- frame page

CGraphFramePage::CGraphFramePage(CDrawGraph* graph, QWidget* parent)
    : CWizardPage(3543, tr("General"), parent), m_pGraph(graph)
{
    auto* grid = new QGridLayout(this);
    const QString names[4] = {tr("&Top"), tr("&Bottom"), tr("L&eft"), tr("Rig&ht")};
    for (int i = 0; i < 4; ++i) {
        m_sides[i] = new QCheckBox(names[i], this);
        grid->addWidget(m_sides[i], i / 2, i % 2);
        m_bSides[i] = *Flags(i);
        connect(m_sides[i], &QCheckBox::clicked, this, [this] { SetModified(); });
    }
    m_over = new QCheckBox(tr("&Draw frame and axes over data points"), this);
    grid->addWidget(m_over, 2, 0, 1, 2);
    grid->setRowStretch(3, 1);
    connect(m_over, &QCheckBox::clicked, this, [this] { SetModified(); });
    m_bOver = graph->m_bBehind;
    UpdateData(false);
}

int* CGraphFramePage::Flags(int side) const
{
    // The graph names its sides by the frame rectangle, whose top has the
    // smaller y: on the page, with y growing upwards, that side is the lower one.
    switch (side) {
    case 0: return &m_pGraph->m_bBottomEdge;
    case 1: return &m_pGraph->m_bTopEdge;
    case 2: return &m_pGraph->m_bLeftEdge;
    default: return &m_pGraph->m_bRightEdge;
    }
}

void CGraphFramePage::DoDataExchange(CDataExchange* pDX)
{
    for (int i = 0; i < 4; ++i)
        DDX_Check(pDX, m_sides[i], m_bSides[i]);
    DDX_Check(pDX, m_over, m_bOver);
}

bool CGraphFramePage::OnApply()
{
    for (int i = 0; i < 4; ++i)
        *Flags(i) = m_bSides[i];
    m_pGraph->m_bBehind = m_bOver;
    m_pGraph->Invalidate();
    m_pGraph->SetModified();
    return true;
}
