#include "graphui/widgets/XYWizard.h"

#include "graphui/widgets/PageHelpers.h"

#include "data/MyData.h"
#include "equation/EquationBase.h"
#include "framework/UpdateNotification.h"
#include "graph/AxisScale.h"
#include "graph/DrawGraph.h"
#include "graph/GraphSources.h"
#include "graph/GraphText.h"
#include "graph/Legend.h"
#include "graph/ScaleText.h"
#include "graph/XYAxis.h"
#include "graph/XYDatasetFit.h"
#include "graph/XYDatasetTable.h"
#include "platform/Reporter.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"
#include "ui/DoubleText.h"
#include "ui/MeasurementUnit.h"
#include "ui/widgets/ColourCombo.h"
#include "ui/widgets/DataExchange.h"
#include "ui/widgets/DialogButtons.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr int kDataPage = 435;
constexpr int kScalingPage = 436;
constexpr int kTickPage = 438;
constexpr int kPointPage = 3550;
constexpr int kJoinPage = 3551;
constexpr int kCurvePage = 3552;
constexpr int kParamsPage = 3557;
constexpr int kConstsPage = 3558;
constexpr int kAssociationPage = 3576;

// The parameter (or constant) names of the equation item called name; none
// when there is no such equation.
std::vector<std::string> EquationNames(const CGraphSources* sources, std::string_view name, bool constants)
{
    std::vector<std::string> names;
    if (const CEquationBase* eq = sources ? sources->FindEquation(name) : nullptr) {
        const int n = constants ? eq->GetConstantCount() : eq->GetParameterCount();
        for (int i = 0; i < n; ++i)
            names.push_back(constants ? eq->GetConstantName(i) : eq->GetParameterName(i));
    }
    return names;
}

} // namespace

using namespace pages;

// ---------------------------------------------------------------- shared

CGraphWizardSheet* CGraphWizardPage::GraphSheet() const
{
    return dynamic_cast<CGraphWizardSheet*>(Sheet());
}

int CGraphWizardPage::SourceKind() const
{
    CGraphWizardSheet* sheet = GraphSheet();
    return sheet ? sheet->GetSourceKind() : 0;
}

bool ApplyPropertyPage(CWizardPage& page)
{
    if (!page.UpdateData(true) || !page.OnApply())
        return false;
    page.SetModified(false);
    if (QWidget* top = page.window(); top && top != &page)
        SetCancelToClose(top);
    return true;
}

// ---------------------------------------------------------------- data page

CXYDataPage::CXYDataPage(QWidget* parent) : CGraphWizardPage(kDataPage, tr("XY Graph Wizard - Select Data Source"), parent)
{
    m_strLegend = LoadString(IDS_DATA_SET_NUMBER);
    QGridLayout* grid = Grid(this);
    m_source = new QComboBox(this);
    m_x = new QComboBox(this);
    m_y = new QComboBox(this);
    m_errorCheck = new QCheckBox(tr("&Error column"), this);
    m_error = new QComboBox(this);
    m_legend = new QLineEdit(this);
    m_transformCheck = new QCheckBox(tr("&Transform as"), this);
    m_transform = new QComboBox(this);
    m_allFits = new QRadioButton(tr("&All fits"), this);
    m_someFits = new QRadioButton(tr("&Fits:"), this);
    m_first = new QLineEdit(this);
    m_last = new QLineEdit(this);
    AddRow(grid, tr("&Source"), m_source);
    AddRow(grid, tr("&X data column"), m_x);
    AddRow(grid, tr("&Y data column"), m_y);
    grid->addWidget(m_errorCheck, grid->rowCount(), 0);
    grid->addWidget(m_error, grid->rowCount() - 1, 1);
    AddRow(grid, tr("&Legend text:"), m_legend);
    grid->addWidget(m_transformCheck, grid->rowCount(), 0);
    grid->addWidget(m_transform, grid->rowCount() - 1, 1);
    grid->addWidget(m_allFits, grid->rowCount(), 0);
    grid->addWidget(m_someFits, grid->rowCount(), 0);
    auto* range = new QHBoxLayout;
    range->addWidget(m_first);
    range->addWidget(new QLabel(tr("to")));
    range->addWidget(m_last);
    grid->addLayout(range, grid->rowCount() - 1, 1);
    grid->setRowStretch(grid->rowCount(), 1);
    connect(m_source, &QComboBox::currentIndexChanged, this, [this] { OnSourceChanged(); });
    for (QAbstractButton* b : std::initializer_list<QAbstractButton*>{m_errorCheck, m_transformCheck, m_allFits, m_someFits})
        connect(b, &QAbstractButton::toggled, this, [this] {
            if (!m_bFilling)
                UpdateControls();
        });
}

void CXYDataPage::FillLists()
{
    m_bFilling = true;
    CGraphWizardSheet* sheet = GraphSheet();
    CWizardCatalog* catalog = sheet ? sheet->GetCatalog() : nullptr;
    SetItems(m_source, catalog ? catalog->GetItemNames(WizardKind::SourceMask) : std::vector<std::string>{});
    SetItems(m_transform, catalog ? catalog->GetItemNames(WizardKind::Transform) : std::vector<std::string>{});
    m_source->setCurrentIndex(m_source->findText(Q(m_strSource), Qt::MatchFixedString));
    m_transform->setCurrentIndex(m_transform->findText(Q(m_strTransform), Qt::MatchFixedString));
    std::vector<std::string> columns;
    if (SourceKind() == WizardKind::Table && sheet && sheet->GetSources())
        columns = ColumnNames(sheet->GetSources()->FindTable(m_strSource));
    for (auto [combo, index] : {std::pair{m_x, m_nXColumn}, std::pair{m_y, m_nYColumn}, std::pair{m_error, m_nErrorColumn}}) {
        SetItems(combo, columns);
        combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
    }
    m_bFilling = false;
    UpdateControls();
}

void CXYDataPage::UpdateControls()
{
    const int kind = m_strSource.empty() ? 0 : SourceKind();
    const bool table = kind == WizardKind::Table;
    m_x->setEnabled(table);
    m_y->setEnabled(table);
    m_errorCheck->setEnabled(table);
    m_error->setEnabled(table && m_errorCheck->isChecked());
    const bool fit = IsFit(kind);
    m_allFits->setEnabled(fit);
    m_someFits->setEnabled(fit);
    m_first->setEnabled(fit && m_someFits->isChecked());
    m_last->setEnabled(fit && m_someFits->isChecked());
    // Equations and linear fits take no transformation.
    const bool transform = table || kind == WizardKind::NonlinearFit;
    if (!transform && m_transformCheck->isChecked()) {
        m_bFilling = true;
        m_transformCheck->setChecked(false);
        m_bFilling = false;
    }
    m_transformCheck->setEnabled(transform);
    m_transform->setEnabled(transform && m_transformCheck->isChecked());
}

void CXYDataPage::OnSourceChanged()
{
    if (m_bFilling)
        return;
    const std::string name = m_source->currentText().toStdString();
    if (name.empty() || !SameName(name, m_strSource)) {
        m_nXColumn = m_nYColumn = m_nErrorColumn = -1;
        m_strSource = name;
        FillLists();
    }
}

void CXYDataPage::DoDataExchange(CDataExchange* pDX)
{
    if (!pDX->m_bSaveAndValidate) {
        FillLists();
        m_bFilling = true;
        m_errorCheck->setChecked(m_bError);
        m_legend->setText(Q(m_strLegend));
        m_transformCheck->setChecked(m_bTransform);
        m_allFits->setChecked(m_nFitsChoice == 0);
        m_someFits->setChecked(m_nFitsChoice == 1);
        m_first->setText(QString::number(m_nFirstFit));
        m_last->setText(QString::number(m_nLastFit));
        m_bFilling = false;
        UpdateControls();
        return;
    }
    m_strSource = m_source->currentText().toStdString();
    m_nXColumn = m_x->currentIndex();
    m_nYColumn = m_y->currentIndex();
    m_nErrorColumn = m_error->currentIndex();
    m_bError = m_errorCheck->isChecked();
    m_strLegend = m_legend->text().toStdString();
    m_bTransform = m_transformCheck->isChecked();
    m_strTransform = m_transform->currentText().toStdString();
    m_nFitsChoice = m_someFits->isChecked() ? 1 : 0;
    if (m_first->isEnabled()) {
        DDX_Int(pDX, m_first, m_nFirstFit);
        DDV_MinMaxInt(pDX, m_nFirstFit, 1, 1000);
        DDX_Int(pDX, m_last, m_nLastFit);
        DDV_MinMaxInt(pDX, m_nLastFit, m_nFirstFit, 1000);
    }
}

void CXYDataPage::OnSetActive()
{
    Sheet()->SetWizardButtons(PSWIZB_NEXT);
}

bool CXYDataPage::OnKillActive()
{
    if (!UpdateData(true))
        return false;
    if (auto* sheet = dynamic_cast<CXYWizardSheet*>(Sheet()))
        sheet->m_scaling.m_bLoadTitles = 1;
    return true;
}

int CXYDataPage::OnWizardNext()
{
    CGraphWizardSheet* sheet = GraphSheet();
    if (m_strSource.empty()) {
        if (!sheet->IsNewGraph()) {
            Refuse(IDS_NO_DATA_SOURCE, m_source);
            return -1;
        }
        if (ReportMessage(IDS_ASK_BLANK_GRAPH, {}, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES) {
            m_source->setFocus();
            return -1;
        }
        return 0;
    }
    const int kind = SourceKind();
    if (kind == WizardKind::Table) {
        if (m_nXColumn < 0)
            return Refuse(IDS_SELECT_DATA_COLUMN, m_x), -1;
        if (m_nYColumn < 0)
            return Refuse(IDS_SELECT_DATA_COLUMN, m_y), -1;
        if (m_bError && m_nErrorColumn < 0)
            return Refuse(IDS_SELECT_DATA_COLUMN, m_error), -1;
    }
    if ((kind == WizardKind::Table || kind == WizardKind::NonlinearFit) && m_bTransform) {
        if (m_strTransform.empty())
            return Refuse(IDS_SELECT_TRANSFORMATION, m_transform), -1;
    }
    // An equation curve has no axis page of its own when added: its values come next.
    if (!sheet->IsNewGraph() || !IsEquation(kind))
        return 0;
    return 0;
}

void CXYDataPage::OnNotify(const CUpdateNotification& notice)
{
    CGraphWizardSheet* sheet = GraphSheet();
    CGraphSources* sources = sheet ? sheet->GetSources() : nullptr;
    const bool isSource = sources && notice.item && sources->FindGraphItem(m_strSource) == notice.item;
    switch (notice.kind) {
    case UN_ITEM_RENAMED:
        if (SameName(m_strSource, notice.oldName))
            m_strSource = notice.newName;
        if (SameName(m_strTransform, notice.oldName))
            m_strTransform = notice.newName;
        break;
    case UN_NAME_ROW_CHANGED:
        if (!isSource)
            return;
        break;
    case UN_ITEM_REMOVING:
        if (SameName(m_strSource, notice.oldName)) {
            m_strSource.clear();
            m_nXColumn = m_nYColumn = m_nErrorColumn = -1;
        }
        if (SameName(m_strTransform, notice.oldName))
            m_strTransform.clear();
        break;
    case UN_COLUMNS_INSERTED:
    case UN_COLUMNS_DELETED:
        if (!isSource || !RenumberColumns(notice, {&m_nXColumn, &m_nYColumn, &m_nErrorColumn}))
            return;
        break;
    default:
        return;
    }
    FillLists();
}

// ---------------------------------------------------------------- scaling page

CXYScalingPage::CXYScalingPage(int templateId, QWidget* parent)
    : CGraphWizardPage(templateId, tr("XY Graph Wizard - Set Initial Scaling"), parent)
{
    QGridLayout* grid = Grid(this);
    for (int a = 0; a < 2; ++a) {
        const QString axis = a == 0 ? tr("X axis") : tr("Y axis");
        grid->addWidget(new QLabel("<b>" + axis + "</b>"), grid->rowCount(), 0);
        m_type[a] = new QComboBox(this);
        m_type[a]->addItems({tr("Linear"), tr("Logarithmic")});
        m_auto[a] = new QRadioButton(tr("&Autoscale"), this);
        m_manual[a] = new QRadioButton(tr("&Manual scaling:"), this);
        auto* group = new QButtonGroup(this);
        group->addButton(m_auto[a]);
        group->addButton(m_manual[a]);
        m_from[a] = new QLineEdit(this);
        m_to[a] = new QLineEdit(this);
        m_title[a] = new QLineEdit(this);
        AddRow(grid, tr("Type"), m_type[a]);
        grid->addWidget(m_auto[a], grid->rowCount(), 0);
        grid->addWidget(m_manual[a], grid->rowCount(), 0);
        auto* range = new QHBoxLayout;
        range->addWidget(new QLabel(tr("From")));
        range->addWidget(m_from[a]);
        range->addWidget(new QLabel(tr("To")));
        range->addWidget(m_to[a]);
        grid->addLayout(range, grid->rowCount() - 1, 1);
        AddRow(grid, tr("Axis text"), m_title[a]);
        connect(m_manual[a], &QRadioButton::toggled, this, [this] { UpdateControls(); });
        connect(m_type[a], &QComboBox::currentIndexChanged, this, [this, a](int index) {
            m_nType[a] = std::max(index, 0);
            Recalculate();
        });
    }
    grid->setRowStretch(grid->rowCount(), 1);
}

void CXYScalingPage::UpdateControls()
{
    for (int a = 0; a < 2; ++a) {
        m_from[a]->setEnabled(m_manual[a]->isChecked());
        m_to[a]->setEnabled(m_manual[a]->isChecked());
    }
}

void CXYScalingPage::Recalculate()
{
    if (auto* sheet = GraphSheet())
        sheet->CalcAutoRange(m_nType[0] == 1, m_nType[1] == 1, m_dAutoMin[0], m_dAutoMax[0], m_dAutoMin[1], m_dAutoMax[1]);
    for (int a = 0; a < 2; ++a)
        if (m_nScaling[a] == 0 && !m_manual[a]->isChecked()) {
            m_dFrom[a] = m_dAutoMin[a];
            m_dTo[a] = m_dAutoMax[a];
            m_from[a]->setText(Q(FormatG15(m_dFrom[a])));
            m_to[a]->setText(Q(FormatG15(m_dTo[a])));
        }
}

void CXYScalingPage::OnSetActive()
{
    Sheet()->SetWizardButtons(PSWIZB_BACK | PSWIZB_NEXT);
    if (m_bLoadTitles) {
        if (auto* sheet = GraphSheet())
            sheet->GetAxisTitles(m_strTitle[0], m_strTitle[1]);
        m_bLoadTitles = 0;
        for (int a = 0; a < 2; ++a)
            m_title[a]->setText(Q(m_strTitle[a]));
    }
    Recalculate();
}

void CXYScalingPage::DoDataExchange(CDataExchange* pDX)
{
    for (int a = 0; a < 2; ++a) {
        if (!pDX->m_bSaveAndValidate) {
            m_type[a]->blockSignals(true);
            m_type[a]->setCurrentIndex(m_nType[a]);
            m_type[a]->blockSignals(false);
            m_auto[a]->setChecked(m_nScaling[a] == 0);
            m_manual[a]->setChecked(m_nScaling[a] == 1);
            m_from[a]->setText(Q(FormatG15(m_dFrom[a])));
            m_to[a]->setText(Q(FormatG15(m_dTo[a])));
            m_title[a]->setText(Q(m_strTitle[a]));
            continue;
        }
        m_nType[a] = std::max(m_type[a]->currentIndex(), 0);
        m_nScaling[a] = m_manual[a]->isChecked() ? 1 : 0;
        m_strTitle[a] = m_title[a]->text().toStdString();
        if (m_nScaling[a] == 0) {
            m_dFrom[a] = m_dAutoMin[a];
            m_dTo[a] = m_dAutoMax[a];
            continue;
        }
        DDX_Double(pDX, m_from[a], m_dFrom[a]);
        if (!pDX->Failed() && m_nType[a] == 1 && m_dFrom[a] <= 0.0) {
            ReportMessage(IDS_LOG_SCALE_NOT_POSITIVE);
            pDX->Fail();
        }
        DDX_Double(pDX, m_to[a], m_dTo[a]);
        if (!pDX->Failed() && m_nType[a] == 1 && m_dTo[a] <= 0.0) {
            ReportMessage(IDS_LOG_SCALE_NOT_POSITIVE);
            pDX->Fail();
        }
    }
    if (!pDX->m_bSaveAndValidate)
        UpdateControls();
}

// ---------------------------------------------------------------- tick page

CXYTickPage::CXYTickPage(int templateId, QWidget* parent)
    : CGraphWizardPage(templateId, templateId == 438 ? tr("XY Graph Wizard - Select Tick Styles")
                                                     : tr("Chart Wizard - Select Tick Styles"),
                       parent)
{
    auto* grid = new QGridLayout(this);
    auto* group = new QButtonGroup(this);
    static const char* const kNames[10] = {"Default",         "Box off",          "Box off, Y grid",
                                           "Box off, XY grid", "Open frame",       "All outside",
                                           "Outside",          "Outside, Y grid",  "Outside, XY grid",
                                           "Outside, open frame"};
    for (int i = 0; i < 10; ++i) {
        auto* b = new QRadioButton(tr(kNames[i]), this);
        group->addButton(b, i);
        m_styles.push_back(b);
        grid->addWidget(b, i / 2, i % 2);
    }
    grid->setRowStretch(5, 1);
}

void CXYTickPage::DoDataExchange(CDataExchange* pDX)
{
    if (!pDX->m_bSaveAndValidate) {
        if (m_nTickStyle >= 0 && m_nTickStyle < int(m_styles.size()))
            m_styles[std::size_t(m_nTickStyle)]->setChecked(true);
        return;
    }
    for (std::size_t i = 0; i < m_styles.size(); ++i)
        if (m_styles[i]->isChecked())
            m_nTickStyle = int(i);
}

void CXYTickPage::OnSetActive()
{
    auto* sheet = GraphSheet();
    const bool source = sheet && !sheet->GetSourceName().empty();
    // A blank graph ends here; a chart always goes on to its bars.
    if (GetTemplateId() != 438)
        Sheet()->SetWizardButtons(PSWIZB_BACK | PSWIZB_NEXT);
    else
        Sheet()->SetWizardButtons(PSWIZB_BACK | (source ? PSWIZB_NEXT : PSWIZB_FINISH));
}

int CXYTickPage::OnWizardNext()
{
    if (GetTemplateId() == 438 && IsEquation(SourceKind()))
        return kParamsPage;
    return 0;
}

// ---------------------------------------------------------------- point page

CXYPointPage::CXYPointPage(const QString& caption, QWidget* parent)
    : CGraphWizardPage(kPointPage, caption.isEmpty() ? tr("XY Graph Wizard - Select Data Point Style") : caption, parent)
{
    QGridLayout* grid = Grid(this);
    m_symbol = new QComboBox(this);
    static const char* const kSymbols[17] = {"Square",        "Circle",         "Triangle up",   "Triangle down",
                                             "Diamond",       "Cross",          "Plus",          "Star",
                                             "Triangle left", "Triangle right", "Hexagon",       "Bar vertical",
                                             "Bar horizontal", "Square cross",  "Circle cross",  "Circle plus",
                                             "None"};
    for (const char* s : kSymbols)
        m_symbol->addItem(tr(s));
    m_fill = new QCheckBox(tr("&Fill"), this);
    m_fillColour = new CColourCombo(this);
    m_pen = new QCheckBox(tr("&Pen:"), this);
    m_penColour = new CColourCombo(this);
    m_width = new QLineEdit(this);
    m_mask = new QCheckBox(tr("&Mask curves"), this);
    m_size = new QComboBox(this);
    for (const char* s : {"Dot (width / 1500)", "Dot (width / 900)", "Dot (width / 600)", "Dot (width / 300)",
                          "Dot (width / 150)", "Tiny", "Micro", "Small", "Small-medium", "Medium", "Medium-large",
                          "Large", "Extra large"})
        m_size->addItem(tr(s));
    AddRow(grid, tr("Symbol"), m_symbol);
    grid->addWidget(m_fill, grid->rowCount(), 0);
    grid->addWidget(m_fillColour, grid->rowCount() - 1, 1);
    grid->addWidget(m_pen, grid->rowCount(), 0);
    grid->addWidget(m_penColour, grid->rowCount() - 1, 1);
    AddRow(grid, tr("Pen width:"), m_width);
    AddRow(grid, tr("Size"), m_size);
    grid->addWidget(m_mask, grid->rowCount(), 0, 1, 2);
    grid->setRowStretch(grid->rowCount(), 1);
    m_fillColour->Init(ColourValue(m_crFill));
    m_penColour->Init(ColourValue(m_crPen));
    connect(m_fill, &QCheckBox::toggled, this, [this] { UpdateControls(); });
    connect(m_pen, &QCheckBox::toggled, this, [this] { UpdateControls(); });
    for (QCheckBox* b : {m_fill, m_pen, m_mask})
        connect(b, &QCheckBox::clicked, this, [this] { SetModified(); });
    for (QComboBox* c : {m_symbol, m_size})
        connect(c, &QComboBox::activated, this, [this] { SetModified(); });
    for (CColourCombo* c : {m_fillColour, m_penColour})
        connect(c, &CColourCombo::colourChanged, this, [this] { SetModified(); });
    connect(m_width, &QLineEdit::textEdited, this, [this] { SetModified(); });
}

void CXYPointPage::PresetFor(int count)
{
    m_nSymbol = (count / 2) % 6;
    m_crFill = count % 2 == 0 ? 0xFFFFFF : 0x000000;
}

void CXYPointPage::UpdateControls()
{
    m_fillColour->setEnabled(m_fill->isChecked());
    m_penColour->setEnabled(m_pen->isChecked());
    m_width->setEnabled(m_pen->isChecked());
}

void CXYPointPage::DoDataExchange(CDataExchange* pDX)
{
    DDX_CBIndex(pDX, m_symbol, m_nSymbol);
    DDX_ColourCombo(pDX, m_fillColour, m_crFill);
    DDX_ColourCombo(pDX, m_penColour, m_crPen);
    DDX_Check(pDX, m_fill, m_bFill);
    DDX_Check(pDX, m_mask, m_bMask);
    DDX_Check(pDX, m_pen, m_bPen);
    DDX_CBIndex(pDX, m_size, m_nSize);
    if (!pDX->m_bSaveAndValidate || m_width->isEnabled()) {
        DDX_Measurement(PointUnit(), pDX, m_width, m_nPenWidth);
        DDV_Measurement(PointUnit(), pDX, m_nPenWidth, 1, 720);
    }
    if (!pDX->m_bSaveAndValidate)
        UpdateControls();
}

void CXYPointPage::OnSetActive()
{
    if (Sheet())
        Sheet()->SetWizardButtons(PSWIZB_BACK | PSWIZB_NEXT);
}

// ---------------------------------------------------------------- join page

CJoinPointPage::CJoinPointPage(const QString& caption, QWidget* parent)
    : CGraphWizardPage(kJoinPage, caption.isEmpty() ? tr("XY Graph Wizard - Select Join Style") : caption, parent)
{
    QGridLayout* grid = Grid(this);
    m_type = new QComboBox(this);
    for (const char* s : {"None", "Line", "Bezier Curve (slight)", "Bezier Curve (medium)", "Bezier Curve (strong)",
                          "Spline Curve (Order 3)", "Spline Curve (Order 4)", "Spline Curve (Order 5)",
                          "Spline Curve (Order 6)"})
        m_type->addItem(tr(s));
    m_style = new QComboBox(this);
    FillLineStyles(m_style);
    m_colour = new CColourCombo(this);
    m_colour->Init(ColourValue(m_crColour));
    m_width = new QLineEdit(this);
    AddRow(grid, tr("Join type"), m_type);
    AddRow(grid, tr("Style"), m_style);
    AddRow(grid, tr("Color"), m_colour);
    AddRow(grid, tr("Width:"), m_width);
    grid->setRowStretch(grid->rowCount(), 1);
    connect(m_type, &QComboBox::currentIndexChanged, this, [this] { UpdateControls(); });
    for (QComboBox* c : {m_type, m_style})
        connect(c, &QComboBox::activated, this, [this] { SetModified(); });
    connect(m_colour, &CColourCombo::colourChanged, this, [this] { SetModified(); });
    connect(m_width, &QLineEdit::textEdited, this, [this] { SetModified(); });
}

void CJoinPointPage::UpdateControls()
{
    const bool on = m_type->currentIndex() > 0;
    m_style->setEnabled(on);
    m_colour->setEnabled(on);
    m_width->setEnabled(on);
}

void CJoinPointPage::DoDataExchange(CDataExchange* pDX)
{
    DDX_CBIndex(pDX, m_type, m_nJoinType);
    DDX_CBIndex(pDX, m_style, m_nLineStyle);
    DDX_ColourCombo(pDX, m_colour, m_crColour);
    if (!pDX->m_bSaveAndValidate || m_width->isEnabled()) {
        DDX_Measurement(PointUnit(), pDX, m_width, m_nWidth);
        DDV_Measurement(PointUnit(), pDX, m_nWidth, 1, 720);
    }
    if (!pDX->m_bSaveAndValidate)
        UpdateControls();
}

void CJoinPointPage::OnSetActive()
{
    if (Sheet())
        Sheet()->SetWizardButtons(PSWIZB_BACK | (IsFit(SourceKind()) ? PSWIZB_NEXT : PSWIZB_FINISH));
}

// ---------------------------------------------------------------- curve style page

CCurveStylePage::CCurveStylePage(const QString& caption, QWidget* parent)
    : CGraphWizardPage(kCurvePage, caption.isEmpty() ? tr("XY Graph Wizard - Select Fitting Curve Style") : caption,
                       parent)
{
    QGridLayout* grid = Grid(this);
    m_width = new QLineEdit(this);
    m_style = new QComboBox(this);
    FillLineStyles(m_style);
    m_colour = new CColourCombo(this);
    m_colour->Init(ColourValue(m_crColour));
    m_autoStart = new QCheckBox(tr("&Start:"), this);
    m_start = new QLineEdit(this);
    m_autoEnd = new QCheckBox(tr("En&d:"), this);
    m_end = new QLineEdit(this);
    m_resolution = new QComboBox(this);
    m_resolution->addItems({tr("Low"), tr("Medium"), tr("High")});
    AddRow(grid, tr("&Width:"), m_width);
    AddRow(grid, tr("Styl&e"), m_style);
    AddRow(grid, tr("&Color"), m_colour);
    grid->addWidget(m_autoStart, grid->rowCount(), 0);
    grid->addWidget(m_start, grid->rowCount() - 1, 1);
    grid->addWidget(m_autoEnd, grid->rowCount(), 0);
    grid->addWidget(m_end, grid->rowCount() - 1, 1);
    AddRow(grid, tr("&Resolution"), m_resolution);
    grid->setRowStretch(grid->rowCount(), 1);
    for (auto [box, edit, automatic] : {std::tuple{m_autoStart, m_start, &m_dAxisMin}, std::tuple{m_autoEnd, m_end, &m_dAxisMax}})
        connect(box, &QCheckBox::clicked, this, [this, box = box, edit = edit, automatic = automatic] {
            if (box->isChecked())
                edit->setText(Q(FormatG15(*automatic)));
            UpdateControls();
            SetModified();
        });
    for (QComboBox* c : {m_style, m_resolution})
        connect(c, &QComboBox::activated, this, [this] { SetModified(); });
    connect(m_colour, &CColourCombo::colourChanged, this, [this] { SetModified(); });
    for (QLineEdit* e : {m_width, m_start, m_end})
        connect(e, &QLineEdit::textEdited, this, [this] { SetModified(); });
}

void CCurveStylePage::UpdateControls()
{
    m_start->setEnabled(!m_autoStart->isChecked());
    m_end->setEnabled(!m_autoEnd->isChecked());
}

void CCurveStylePage::DoDataExchange(CDataExchange* pDX)
{
    DDX_ColourCombo(pDX, m_colour, m_crColour);
    DDX_CBIndex(pDX, m_style, m_nLineStyle);
    DDX_CBIndex(pDX, m_resolution, m_nResolution);
    DDX_Check(pDX, m_autoStart, m_bAutoStart);
    DDX_Check(pDX, m_autoEnd, m_bAutoEnd);
    DDX_Measurement(PointUnit(), pDX, m_width, m_nWidth);
    DDV_Measurement(PointUnit(), pDX, m_nWidth, 1, 720);
    if (!pDX->m_bSaveAndValidate) {
        m_start->setText(Q(FormatG15(m_bAutoStart ? m_dAxisMin : m_dStart)));
        m_end->setText(Q(FormatG15(m_bAutoEnd ? m_dAxisMax : m_dEnd)));
        UpdateControls();
        return;
    }
    if (m_bAutoStart) {
        m_dStart = m_dAxisMin;
    } else {
        DDX_Double(pDX, m_start, m_dStart);
        if (!pDX->Failed() && (m_dStart < m_dAxisMin || m_dStart > m_dAxisMax)) {
            ReportMessage(IDS_ENTER_NUMBER_RANGE, {FormatG15(m_dAxisMin), FormatG15(m_dAxisMax)});
            pDX->Fail();
        }
    }
    if (m_bAutoEnd) {
        m_dEnd = m_dAxisMax;
    } else {
        DDX_Double(pDX, m_end, m_dEnd);
        if (!pDX->Failed() && (m_dEnd < m_dStart || m_dEnd > m_dAxisMax)) {
            ReportMessage(IDS_ENTER_NUMBER_RANGE, {FormatG15(m_dStart), FormatG15(m_dAxisMax)});
            pDX->Fail();
        }
    }
}

void CCurveStylePage::OnSetActive()
{
    if (auto* sheet = dynamic_cast<CXYWizardSheet*>(Sheet())) {
        sheet->SetWizardButtons(PSWIZB_BACK | PSWIZB_FINISH);
        m_dAxisMin = sheet->m_scaling.m_dFrom[0];
        m_dAxisMax = sheet->m_scaling.m_dTo[0];
        if (m_bAutoStart)
            m_dStart = m_dAxisMin;
        if (m_bAutoEnd)
            m_dEnd = m_dAxisMax;
        UpdateData(false);
    }
}

// ---------------------------------------------------------------- parameter and constant pages

CCurveParams::CCurveParams(bool constants, const QString& caption, QWidget* parent)
    : CGraphWizardPage(constants ? kConstsPage : kParamsPage,
                       !caption.isEmpty() ? caption
                       : constants        ? tr("XY Graph Wizard - Enter Curve Constants")
                                          : tr("XY Graph Wizard - Enter Curve Parameters"),
                       parent)
    , m_bConstants(constants)
{
    QGridLayout* grid = Grid(this);
    m_fromTable = new QRadioButton(tr("&Read from table"), this);
    m_direct = new QRadioButton(tr("&Direct entry"), this);
    m_table = new QComboBox(this);
    m_column = new QComboBox(this);
    m_grid = new QTableWidget(0, 2, this);
    m_grid->setHorizontalHeaderLabels({constants ? tr("Constant") : tr("Parameter"), tr("Value")});
    m_grid->horizontalHeader()->setStretchLastSection(true);
    grid->addWidget(m_fromTable, 0, 0);
    AddRow(grid, tr("Data table"), m_table);
    AddRow(grid, tr("&Column"), m_column);
    grid->addWidget(m_direct, grid->rowCount(), 0);
    grid->addWidget(m_grid, grid->rowCount(), 0, 1, 2);
    connect(m_fromTable, &QRadioButton::toggled, this, [this](bool on) {
        UpdateControls();
        if (m_bFilling)
            return;
        // Kept at once: reading a column shows the members again.
        m_nSource = on ? 0 : 1;
        SetModified();
    });
    connect(m_table, &QComboBox::currentIndexChanged, this, [this] {
        if (m_bFilling)
            return;
        m_strTable = m_table->currentText().toStdString();
        m_nColumn = -1;
        FillColumns();
        SetModified();
    });
    connect(m_column, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (m_bFilling)
            return;
        m_nColumn = index;
        ReadColumn();
        SetModified();
    });
    connect(m_grid, &QTableWidget::itemChanged, this, [this] {
        if (!m_bFilling)
            SetModified();
    });
}

void CCurveParams::LoadNames(const std::vector<std::string>& names)
{
    m_names = names;
    if (m_values.size() < names.size())
        m_values.resize(names.size(), std::numeric_limits<double>::quiet_NaN());
}

CWizardCatalog* CCurveParams::Catalog() const
{
    auto* sheet = GraphSheet();
    return sheet ? sheet->GetCatalog() : nullptr;
}

CGraphSources* CCurveParams::Sources() const
{
    auto* sheet = GraphSheet();
    return sheet ? sheet->GetSources() : nullptr;
}

void CCurveParams::ReadColumn()
{
    const CMyData* table = Sources() ? Sources()->FindTable(m_strTable) : nullptr;
    if (!table || m_nColumn < 0)
        return;
    for (std::size_t i = 0; i < m_names.size(); ++i) {
        double v = std::numeric_limits<double>::quiet_NaN();
        if (!table->GetNumber(int(i) + 2, m_nColumn, v))
            v = std::numeric_limits<double>::quiet_NaN();
        m_values[i] = v;
    }
    UpdateData(false);
}

void CCurveParams::FillTables()
{
    m_bFilling = true;
    SetItems(m_table, Catalog() ? Catalog()->GetItemNames(WizardKind::Table) : std::vector<std::string>{});
    m_table->setCurrentIndex(m_table->findText(Q(m_strTable), Qt::MatchFixedString));
    m_bFilling = false;
    FillColumns();
}

void CCurveParams::FillColumns()
{
    m_bFilling = true;
    SetItems(m_column, ColumnNames(Sources() ? Sources()->FindTable(m_strTable) : nullptr));
    m_column->setCurrentIndex(m_nColumn < m_column->count() ? m_nColumn : -1);
    m_bFilling = false;
}

void CCurveParams::UpdateControls()
{
    const bool table = m_fromTable->isChecked();
    m_table->setEnabled(table);
    m_column->setEnabled(table);
    m_grid->setEnabled(!table);
}

void CCurveParams::DoDataExchange(CDataExchange* pDX)
{
    if (!pDX->m_bSaveAndValidate) {
        FillTables();
        m_bFilling = true;
        m_fromTable->setChecked(m_nSource == 0);
        m_direct->setChecked(m_nSource == 1);
        m_grid->setRowCount(int(m_names.size()));
        for (std::size_t i = 0; i < m_names.size(); ++i) {
            auto* name = new QTableWidgetItem(Q(m_names[i]));
            name->setFlags(name->flags() & ~Qt::ItemIsEditable);
            m_grid->setItem(int(i), 0, name);
            const double v = i < m_values.size() ? m_values[i] : std::numeric_limits<double>::quiet_NaN();
            m_grid->setItem(int(i), 1, new QTableWidgetItem(std::isnan(v) ? QString() : Q(FormatG15(v))));
        }
        m_bFilling = false;
        UpdateControls();
        return;
    }
    ReadSourceChoice();
    if (m_nSource == 0)
        return;
    m_values.resize(m_names.size());
    for (std::size_t i = 0; i < m_names.size(); ++i) {
        double v = 0.0;
        if (!CellValue(i, v)) {
            ReportMessage(IDS_NUMERIC_ENTRIES_INVALID);
            pDX->PrepareCtrl(m_grid);
            pDX->Fail();
            return;
        }
        m_values[i] = v;
    }
}

void CCurveParams::ReadSourceChoice()
{
    m_nSource = m_fromTable->isChecked() ? 0 : 1;
    m_strTable = m_table->currentText().toStdString();
    m_nColumn = m_column->currentIndex();
}

bool CCurveParams::CellValue(std::size_t i, double& v) const
{
    const QTableWidgetItem* cell = m_grid->item(int(i), 1);
    const std::string text = cell ? cell->text().trimmed().toStdString() : std::string();
    return !text.empty() && ParseDoubleOrBlank(text, v) && std::isfinite(v);
}

void CCurveParams::OnSetActive()
{
    auto* sheet = GraphSheet();
    if (!sheet)
        return;
    sheet->SetWizardButtons(PSWIZB_BACK | PSWIZB_NEXT);
    LoadNames(EquationNames(sheet->GetSources(), sheet->GetSourceName(), m_bConstants));
    UpdateData(false);
}

int CCurveParams::OnWizardNext()
{
    if (m_bConstants)
        return kCurvePage;
    auto* sheet = GraphSheet();
    const CEquationBase* eq = sheet && sheet->GetSources() ? sheet->GetSources()->FindEquation(sheet->GetSourceName()) : nullptr;
    return eq && eq->GetConstantCount() > 0 ? kConstsPage : kCurvePage;
}

// ---------------------------------------------------------------- axis association page

CAxisAssociationPage::CAxisAssociationPage(CDrawGraph* graph, const QString& caption, QWidget* parent)
    : CGraphWizardPage(kAssociationPage, caption.isEmpty() ? tr("XY Graph Wizard - Set Axis Associations") : caption,
                       parent)
    , m_pGraph(graph)
{
    QGridLayout* grid = Grid(this);
    m_xList = new QListWidget(this);
    m_yList = new QListWidget(this);
    grid->addWidget(new QLabel(tr("&X axis")), 0, 0);
    grid->addWidget(new QLabel(tr("&Y axis")), 0, 1);
    grid->addWidget(m_xList, 1, 0);
    grid->addWidget(m_yList, 1, 1);
    m_selectAllX = new QPushButton(tr("&Select All X"), this);
    m_selectAllY = new QPushButton(tr("Select &All Y"), this);
    grid->addWidget(m_selectAllX, 2, 0);
    grid->addWidget(m_selectAllY, 2, 1);
    for (QListWidget* list : {m_xList, m_yList})
        connect(list, &QListWidget::itemChanged, this, [this] { SetModified(); });
    connect(m_selectAllX, &QPushButton::clicked, this, [this] { SelectAll(false); });
    connect(m_selectAllY, &QPushButton::clicked, this, [this] { SelectAll(true); });
}

void CAxisAssociationPage::SelectAll(bool vertical)
{
    QListWidget* list = vertical ? m_yList : m_xList;
    for (int i = 0; i < list->count(); ++i)
        list->item(i)->setCheckState(Qt::Checked);
    SetModified();
}

void CAxisAssociationPage::DoDataExchange(CDataExchange* pDX)
{
    for (int a = 0; a < 2; ++a) {
        QListWidget* list = a == 0 ? m_xList : m_yList;
        std::vector<std::uint32_t>& chosen = a == 0 ? m_xAxes : m_yAxes;
        if (!pDX->m_bSaveAndValidate) {
            list->clear();
            const int n = !m_pGraph ? 0 : a == 0 ? m_pGraph->GetXAxisCount() : m_pGraph->GetYAxisCount();
            for (int i = 0; i < n; ++i) {
                const CXYAxis* axis = a == 0 ? m_pGraph->GetXAxis(i) : m_pGraph->GetYAxis(i);
                char text[128];
                std::snprintf(text, sizeof text, LoadString(IDS_AXIS_SCALE_LINE).c_str(), i + 1, axis->m_dMin, axis->m_dMax);
                auto* item = new QListWidgetItem(QString::fromUtf8(text), list);
                item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
                const bool on = std::find(chosen.begin(), chosen.end(), std::uint32_t(i)) != chosen.end();
                item->setCheckState(on ? Qt::Checked : Qt::Unchecked);
            }
            continue;
        }
        std::vector<std::uint32_t> read;
        for (int i = 0; i < list->count(); ++i)
            if (list->item(i)->checkState() == Qt::Checked)
                read.push_back(std::uint32_t(i));
        if (read.empty()) {
            ReportMessage(IDS_SELECT_ONE_AXIS);
            pDX->PrepareCtrl(list);
            pDX->Fail();
            return;
        }
        chosen = read;
    }
}

void CAxisAssociationPage::OnSetActive()
{
    if (Sheet())
        Sheet()->SetWizardButtons(PSWIZB_BACK | PSWIZB_NEXT);
}

int CAxisAssociationPage::OnWizardNext()
{
    return IsEquation(SourceKind()) ? kParamsPage : 0;
}

// ---------------------------------------------------------------- the sheet

CXYWizardSheet::CXYWizardSheet(CWizardCatalog* catalog, CGraphSources* sources, QWidget* parent)
    : CGraphWizardSheet(catalog, sources, parent), m_association(nullptr), m_consts(true)
{
    m_bNewGraph = 1;
    for (CWizardPage* p : std::initializer_list<CWizardPage*>{&m_data, &m_scaling, &m_ticks, &m_points, &m_join, &m_curve,
                                                              &m_params, &m_consts})
        AddPage(p);
    m_association.hide();
}

CXYWizardSheet::CXYWizardSheet(CDrawGraph* graph, CWizardCatalog* catalog, CGraphSources* sources, QWidget* parent)
    : CGraphWizardSheet(catalog, sources, parent), m_association(graph), m_consts(true)
{
    m_bNewGraph = 0;
    for (CWizardPage* p : std::initializer_list<CWizardPage*>{&m_data, &m_association, &m_points, &m_join, &m_curve,
                                                              &m_params, &m_consts})
        AddPage(p);
    m_scaling.hide();
    m_ticks.hide();
    m_scaling.SetSheet(this);
    m_scaling.m_dFrom[0] = graph->GetMinimumX();
    m_scaling.m_dTo[0] = graph->GetMaximumX();
    m_data.m_strLegend = LoadString(IDS_DATA_SET_NUMBER);
    m_points.PresetFor(graph->CountFlaggedDatasets());
}

void CXYWizardSheet::OnItemNotify(CUpdateNotification& notice)
{
    const std::string& source = m_data.m_strSource;
    bool acts = SourceNoticed(notice);
    // An equation's own change, and the transformation's, count too.
    if (notice.kind == UN_EQUATION_CHANGED)
        acts = !source.empty() && m_pSources && notice.item && notice.item == m_pSources->FindGraphItem(source);
    const bool transform = m_data.m_bTransform && !m_data.m_strTransform.empty();
    if (transform && notice.kind == UN_ITEM_REMOVING && SameName(notice.oldName, m_data.m_strTransform))
        acts = true;
    if (transform && notice.kind == UN_TRANSFORM_CHANGED && notice.item && m_pSources &&
        notice.item == m_pSources->FindGraphItem(m_data.m_strTransform))
        acts = true;
    if (acts && GetActivePage() != &m_data)
        SetActivePage(0);
    m_data.OnNotify(notice);
}

void CXYWizardSheet::CalcAutoRange(bool xLog, bool yLog, double& xMin, double& xMax, double& yMin, double& yMax)
{
    AxisScale::DefaultRange(xLog, xMin, xMax);
    AxisScale::DefaultRange(yLog, yMin, yMax);
    const int kind = GetSourceKind();
    if (!m_pSources || kind == 0 || IsEquation(kind))
        return;
    const CMyData* table = nullptr;
    int xColumn = -1, yColumn = -1, error = -1;
    if (kind == WizardKind::Table) {
        table = m_pSources->FindTable(m_data.m_strSource);
        xColumn = m_data.m_nXColumn;
        yColumn = m_data.m_nYColumn;
        error = m_data.m_bError ? m_data.m_nErrorColumn : -1;
    } else if (IsFit(kind)) {
        CGraphFitSource* fit = m_pSources->FindFit(m_data.m_strSource);
        const int index = m_data.m_nFitsChoice == 1 ? m_data.m_nFirstFit - 1 : 0;
        if (!fit || !fit->GetFitColumns(index, xColumn, yColumn))
            return;
        table = fit->GetDataTable();
    }
    if (!table)
        return;
    double x0 = HUGE_VAL, x1 = -HUGE_VAL, y0 = HUGE_VAL, y1 = -HUGE_VAL;
    int nx = 0, ny = 0;
    ColumnExtent(*table, xColumn, -1, xLog, x0, x1, nx);
    ColumnExtent(*table, yColumn, error, yLog, y0, y1, ny);
    if (nx < 2 || ny < 2 || !(x0 <= x1) || !(y0 <= y1))
        return;
    AxisScale::MakeNiceRange(xLog, x0, x1);
    AxisScale::MakeNiceRange(yLog, y0, y1);
    xMin = x0;
    xMax = x1;
    yMin = y0;
    yMax = y1;
}

void CXYWizardSheet::GetAxisTitles(std::string& x, std::string& y)
{
    x = LoadString(IDS_X_AXIS);
    y = LoadString(IDS_Y_AXIS);
    const int kind = GetSourceKind();
    if (!m_pSources)
        return;
    if (kind == WizardKind::Table) {
        const CMyData* table = m_pSources->FindTable(m_data.m_strSource);
        if (table && m_data.m_nXColumn >= 0)
            x = table->GetColumnName(m_data.m_nXColumn);
        if (table && m_data.m_nYColumn >= 0)
            y = table->GetColumnName(m_data.m_nYColumn);
    } else if (IsFit(kind)) {
        CGraphFitSource* fit = m_pSources->FindFit(m_data.m_strSource);
        int xc = -1, yc = -1;
        if (fit && fit->GetDataTable() && fit->GetFitColumns(0, xc, yc)) {
            x = fit->GetDataTable()->GetColumnName(xc);
            y = fit->GetDataTable()->GetColumnName(yc);
        }
    }
}

void CXYWizardSheet::FillDataset(CXYDataset& d, int kind)
{
    d.m_nSymbolShape = m_points.m_nSymbol;
    d.m_symbolBrush.lbColor = m_points.m_crFill;
    d.m_crSymbolOutline = m_points.m_crPen;
    d.m_bSymbolFill = m_points.m_bFill;
    d.m_bSymbolGap = m_points.m_bMask;
    d.m_bSymbolOutline = m_points.m_bPen;
    d.m_nSymbolSize = m_points.m_nSize;
    d.m_nSymbolOutlineWidth = m_points.m_nPenWidth;
    d.m_bTransform = m_data.m_bTransform;
    d.m_strTransform = m_data.m_bTransform ? m_data.m_strTransform : std::string();
    if (!IsNewGraph()) {
        d.m_xAxes = m_association.m_xAxes;
        d.m_yAxes = m_association.m_yAxes;
    }
    if (kind == WizardKind::Table || IsFit(kind)) {
        d.m_nJoinType = m_join.m_nJoinType;
        d.m_crJoin = m_join.m_crColour;
        d.m_nJoinWidth = m_join.m_nWidth;
        d.m_nJoinStyle = PenStyleFromListIndex(m_join.m_nLineStyle);
    }
    if (auto* fit = dynamic_cast<CXYDatasetFit*>(&d)) {
        fit->m_crCurve = m_curve.m_crColour;
        fit->m_nCurveWidth = m_curve.m_nWidth;
        fit->m_nCurveStyle = PenStyleFromListIndex(m_curve.m_nLineStyle);
        fit->m_nResolution = m_curve.m_nResolution;
        fit->m_bFromAxisStart = m_curve.m_bAutoStart;
        fit->m_bToAxisEnd = m_curve.m_bAutoEnd;
        fit->m_dStartX = m_curve.m_dStart;
        fit->m_dEndX = m_curve.m_dEnd;
    }
    if (auto* curve = dynamic_cast<CXYDatasetCurve*>(&d)) {
        curve->m_params = m_params.m_values;
        curve->m_bParamsFromTable = m_params.m_nSource == 0;
        curve->m_strParamTable = m_params.m_strTable;
        curve->m_nParamColumn = m_params.m_nColumn;
        curve->m_consts = m_consts.m_values;
        curve->m_bConstsFromTable = m_consts.m_nSource == 0;
        curve->m_strConstTable = m_consts.m_strTable;
        curve->m_nConstColumn = m_consts.m_nColumn;
    }
}

void ApplyInitialScaling(CDrawGraph* graph, const CXYScalingPage& scaling)
{
    for (int a = 0; a < 2; ++a) {
        CXYAxis* axis = a == 0 ? graph->GetXAxis(0) : graph->GetYAxis(0);
        if (scaling.m_nScaling[a] == 1)
            axis->m_bAutoMin = axis->m_bAutoMax = 0;
        axis->m_dMin = scaling.m_dFrom[a];
        axis->m_dMax = scaling.m_dTo[a];
        axis->m_bLog = scaling.m_nType[a] == 1 ? 1 : 0;
        double origin = 0.0;
        AxisScale::ChooseTickSteps(axis->m_bLog, axis->m_dMin, axis->m_dMax, axis->m_dMajor, axis->m_dMinor, origin);
        if (axis->m_bAutoCross)
            axis->m_dCross = origin;
        if (CXYScaleText* labels = axis->GetTickLabels())
            labels->Reposition(true);
    }
}

void SetInitialTitles(CDrawGraph* graph, const CXYScalingPage& scaling)
{
    for (int a = 0; a < 2; ++a) {
        CXYAxis* axis = a == 0 ? graph->GetXAxis(0) : graph->GetYAxis(0);
        CGraphText* title = axis->GetTitle();
        if (!title)
            continue;
        title->ReplaceText(nullptr, scaling.m_strTitle[a], false);
        PARAFORMAT centred{};
        centred.cbSize = sizeof centred;
        centred.dwMask = PFM_ALIGNMENT;
        centred.wAlignment = PFA_CENTER;
        title->SetParaFormat(nullptr, centred);
        title->Invalidate();
    }
}

void CXYWizardSheet::ApplyToGraph(CDrawGraph* graph, bool newGraph)
{
    if (!graph)
        return;
    if (newGraph && graph->GetXAxisCount() > 0 && graph->GetYAxisCount() > 0) {
        ApplyTickStyle(graph, m_ticks.m_nTickStyle);
        ApplyInitialScaling(graph, m_scaling);
    }
    const std::string& source = m_data.m_strSource;
    if (source.empty()) {
        if (graph->GetLegend())
            graph->GetLegend()->Show(false);
        return;
    }
    CGraphSources* sources = graph->GetSources() ? graph->GetSources() : m_pSources;
    const int kind = m_pCatalog ? m_pCatalog->GetItemKind(source) : 0;
    // A source that has gone by now builds nothing.
    if (!sources || !sources->FindGraphItem(source))
        return;
    auto legendFor = [&](int fitNumber) {
        const std::string number = std::to_string(graph->GetDatasetCount() + 1);
        const std::string fit = std::to_string(fitNumber);
        return FormatMessageText(m_data.m_strLegend, {number, fit});
    };
    bool first = newGraph;
    auto add = [&](CXYDataset* dataset, const std::string& legend) {
        FillDataset(*dataset, kind);
        graph->AddDataset(dataset, legend);
        if (first)
            SetInitialTitles(graph, m_scaling);
        first = false;
    };
    if (kind == WizardKind::Table) {
        const int error = m_data.m_bError ? m_data.m_nErrorColumn : -1;
        auto* d = new CXYDatasetTable(source, m_data.m_nXColumn, m_data.m_nYColumn, error, graph);
        add(d, legendFor(1));
    } else if (IsEquation(kind)) {
        add(new CXYDatasetCurve(source, graph), legendFor(1));
    } else if (IsFit(kind)) {
        CGraphFitSource* fit = sources->FindFit(source);
        const int count = fit ? std::min(fit->GetFitCount(), 100000) : 0;
        int begin = 0, end = count;
        if (m_data.m_nFitsChoice == 1) {
            begin = m_data.m_nFirstFit - 1;
            end = std::max(std::min(count, m_data.m_nLastFit), m_data.m_nFirstFit);
        }
        for (int i = begin; i < end; ++i) {
            add(new CXYDatasetFit(source, graph, i), legendFor(i + 1));
            // Each further fit takes the next symbol, first hollow, then filled.
            if (m_points.m_nSymbol != 16)
                m_points.PresetFor(graph->CountFlaggedDatasets());
        }
    }
    graph->RecalcAxes();
}

// ---------------------------------------------------------------- property forms

CAxisAssociationProp::CAxisAssociationProp(CXYDataset* dataset, QWidget* parent)
    : CAxisAssociationPage(dataset->GetGraph(), QString::fromStdString(LoadString(IDS_PAGE_AXIS_ASSOCIATION)), parent)
    , m_pDataset(dataset)
{
    m_xAxes = dataset->m_xAxes;
    m_yAxes = dataset->m_yAxes;
    UpdateData(false);
    // Loading the lists is no change of the user's.
    SetModified(false);
}

CCurveParamsProp::CCurveParamsProp(CXYDatasetCurve* dataset, CWizardCatalog* catalog, bool constants,
                                   QWidget* parent)
    : CCurveParams(constants,
                   QString::fromStdString(LoadString(constants ? IDS_PAGE_CURVE_CONSTANTS : IDS_PAGE_CURVE_PARAMETERS)),
                   parent)
    , m_pDataset(dataset)
    , m_pCatalog(catalog)
{
    // Values not given yet (blank) show empty.
    m_values = constants ? dataset->m_consts : dataset->m_params;
    m_nSource = (constants ? dataset->m_bConstsFromTable : dataset->m_bParamsFromTable) ? 0 : 1;
    m_strTable = constants ? dataset->m_strConstTable : dataset->m_strParamTable;
    m_nColumn = constants ? dataset->m_nConstColumn : dataset->m_nParamColumn;
    LoadNames(EquationNames(Sources(), dataset->m_strFit, constants));
    UpdateData(false);
}

void CCurveParamsProp::ShowEquation(const std::string& name)
{
    // What the page shows now, without the checks of Apply: a cell that is
    // not a number counts as blank.
    ReadSourceChoice();
    std::vector<double> shown(m_names.size(), std::numeric_limits<double>::quiet_NaN());
    for (std::size_t i = 0; i < m_names.size(); ++i) {
        double v = 0.0;
        if (CellValue(i, v))
            shown[i] = v;
    }
    std::vector<std::string> names = EquationNames(Sources(), name, m_bConstants);
    std::vector<double> values(names.size(), std::numeric_limits<double>::quiet_NaN());
    for (std::size_t i = 0; i < names.size(); ++i) {
        const auto same = std::find(m_names.begin(), m_names.end(), names[i]);
        if (same != m_names.end())
            values[i] = shown[std::size_t(same - m_names.begin())];
    }
    m_values = std::move(values);
    LoadNames(names);
    UpdateData(false);
    // Values read from a table come afresh for the new names.
    if (m_nSource == 0)
        ReadColumn();
}

CGraphSources* CCurveParamsProp::Sources() const { return m_pDataset->GetSources(); }

bool CCurveParamsProp::OnApply()
{
    CXYDatasetCurve& d = *m_pDataset;
    // Without its equation the page listed no names: the values stay as they are.
    std::vector<double> values = m_names.empty() ? (m_bConstants ? d.m_consts : d.m_params) : m_values;
    const int fromTable = m_nSource == 0 ? 1 : 0;
    if (m_bConstants) {
        d.m_consts = std::move(values);
        d.m_bConstsFromTable = fromTable;
        d.m_strConstTable = m_strTable;
        d.m_nConstColumn = m_nColumn;
    } else {
        d.m_params = std::move(values);
        d.m_bParamsFromTable = fromTable;
        d.m_strParamTable = m_strTable;
        d.m_nParamColumn = m_nColumn;
    }
    // Values read from a table come afresh from its column.
    d.Recalculate();
    d.Repaint();
    d.SetModified();
    return true;
}

bool CAxisAssociationProp::OnApply()
{
    m_pDataset->m_xAxes = m_xAxes;
    m_pDataset->m_yAxes = m_yAxes;
    if (CDrawGraph* graph = m_pDataset->GetGraph()) {
        graph->RecalcAxes();
        graph->SetModified();
    }
    return true;
}

CDataPointPage::CDataPointPage(CXYDataset* dataset, QWidget* parent)
    : CXYPointPage(QString::fromStdString(LoadString(IDS_PAGE_DATA_POINTS)), parent), m_pDataset(dataset)
{
    m_nSymbol = dataset->m_nSymbolShape;
    m_bFill = dataset->m_bSymbolFill;
    m_bPen = dataset->m_bSymbolOutline;
    m_nSize = dataset->m_nSymbolSize;
    m_crFill = dataset->m_symbolBrush.lbColor;
    m_crPen = dataset->m_crSymbolOutline;
    m_bMask = dataset->m_bSymbolGap;
    m_nPenWidth = dataset->m_nSymbolOutlineWidth;
    UpdateData(false);
}

bool CDataPointPage::OnApply()
{
    CXYDataset& d = *m_pDataset;
    d.m_nSymbolShape = m_nSymbol;
    d.m_bSymbolFill = m_bFill;
    d.m_bSymbolOutline = m_bPen;
    d.m_nSymbolSize = m_nSize;
    d.m_symbolBrush.lbColor = m_crFill;
    d.m_crSymbolOutline = m_crPen;
    d.m_bSymbolGap = m_bMask;
    d.m_nSymbolOutlineWidth = m_nPenWidth;
    d.Repaint();
    d.SetModified();
    return true;
}

CJoinPointPropPage::CJoinPointPropPage(CXYDataset* dataset, QWidget* parent)
    : CJoinPointPage(QString::fromStdString(LoadString(IDS_PAGE_JOIN_POINTS)), parent), m_pDataset(dataset)
{
    m_nJoinType = dataset->m_nJoinType;
    m_nLineStyle = ListIndexFromPenStyle(dataset->m_nJoinStyle);
    m_nWidth = dataset->m_nJoinWidth;
    m_crColour = dataset->m_crJoin;
    UpdateData(false);
}

bool CJoinPointPropPage::OnApply()
{
    CXYDataset& d = *m_pDataset;
    d.m_nJoinType = m_nJoinType;
    d.m_nJoinStyle = PenStyleFromListIndex(m_nLineStyle);
    d.m_nJoinWidth = m_nWidth;
    d.m_crJoin = m_crColour;
    d.Repaint();
    d.SetModified();
    return true;
}

CCurveStylePropPage::CCurveStylePropPage(CXYDatasetFit* dataset, QWidget* parent)
    : CCurveStylePage(QString::fromStdString(LoadString(IDS_PAGE_FITTED_CURVE)), parent), m_pDataset(dataset)
{
    m_nLineStyle = ListIndexFromPenStyle(dataset->m_nCurveStyle);
    m_nWidth = dataset->m_nCurveWidth;
    m_crColour = dataset->m_crCurve;
    m_nResolution = dataset->m_nResolution;
    m_bAutoStart = dataset->m_bFromAxisStart;
    m_bAutoEnd = dataset->m_bToAxisEnd;
    m_dStart = dataset->m_dStartX;
    m_dEnd = dataset->m_dEndX;
    if (CDrawGraph* graph = dataset->GetGraph()) {
        m_dAxisMin = graph->GetMinimumX();
        m_dAxisMax = graph->GetMaximumX();
    }
    if (m_bAutoStart)
        m_dStart = m_dAxisMin;
    if (m_bAutoEnd)
        m_dEnd = m_dAxisMax;
    UpdateData(false);
}

bool CCurveStylePropPage::OnApply()
{
    CXYDatasetFit& d = *m_pDataset;
    d.m_nCurveStyle = PenStyleFromListIndex(m_nLineStyle);
    d.m_nCurveWidth = m_nWidth;
    d.m_crCurve = m_crColour;
    d.m_nResolution = m_nResolution;
    d.m_bFromAxisStart = m_bAutoStart;
    d.m_bToAxisEnd = m_bAutoEnd;
    d.m_dStartX = m_dStart;
    d.m_dEndX = m_dEnd;
    d.Repaint();
    d.SetModified();
    return true;
}
