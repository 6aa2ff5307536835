#include "graphui/widgets/ChartWizard.h"

#include "data/MyData.h"
#include "draw/DrawDC.h"
#include "framework/UpdateNotification.h"
#include "graph/AxisScale.h"
#include "graph/BarFill.h"
#include "graph/DrawGraph.h"
#include "graph/GraphSources.h"
#include "graph/GraphText.h"
#include "graph/Legend.h"
#include "graph/ScaleText.h"
#include "graph/XYAxis.h"
#include "graph/XYDatasetChart.h"
#include "graphui/widgets/PageHelpers.h"
#include "platform/Reporter.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"
#include "ui/MeasurementUnit.h"
#include "ui/widgets/ColourCombo.h"
#include "ui/widgets/DataExchange.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>
#include <cmath>
#include <cstdio>

using namespace pages;

namespace {

constexpr int kSourcePage = 3579;
constexpr int kScalingPage = 3580;
constexpr int kTickPage = 3581;
constexpr int kBarStylePage = 3582;
constexpr int kAssocPage = 3586;

// A sample of a fill style as the bars paint it.
QIcon FillIcon(int style)
{
    QPixmap pixmap(24, 16);
    pixmap.fill(Qt::white);
    QPainter painter(&pixmap);
    SelectBarFill(painter, style, 0x000000, 0xFFFFFF, true);
    painter.setPen(Qt::black);
    painter.drawRect(0, 0, 23, 15);
    painter.end();
    return QIcon(pixmap);
}

// Pictures of the three bar types (bars, an area through the bar ends, none),
// drawn upright for columns or lying for bars.
QIcon BarTypeIcon(int type, bool columns)
{
    QPixmap pixmap(32, 20);
    pixmap.fill(Qt::white);
    QPainter painter(&pixmap);
    painter.setPen(Qt::black);
    painter.setBrush(QColor(0, 160, 0));
    const int heights[3] = {10, 16, 7};
    auto rect = [&](int i, int h) {
        return columns ? QRect(3 + i * 10, 18 - h, 7, h) : QRect(1, 2 + i * 6, h * 2 - 2, 5);
    };
    if (type == 0) {
        for (int i = 0; i < 3; ++i)
            painter.drawRect(rect(i, heights[i]));
    } else if (type == 1) {
        QPolygon area;
        for (int i = 0; i < 3; ++i)
            area << (columns ? QPoint(3 + i * 12, 18 - heights[i]) : QPoint(heights[i] * 2 - 1, 2 + i * 8));
        area << (columns ? QPoint(27, 18) : QPoint(1, 18)) << (columns ? QPoint(3, 18) : QPoint(1, 2));
        painter.drawPolygon(area);
    } else {
        painter.setBrush(Qt::black);
        for (int i = 0; i < 3; ++i) {
            const QRect r = rect(i, heights[i]);
            const QPoint end = columns ? QPoint(r.center().x(), r.top()) : QPoint(r.right(), r.center().y());
            painter.drawEllipse(end, 2, 2);
        }
    }
    painter.end();
    return QIcon(pixmap);
}


void CentreTitle(CXYAxis* axis, const std::string& text)
{
    CGraphText* title = axis ? axis->GetTitle() : nullptr;
    if (!title)
        return;
    title->ReplaceText(nullptr, text, false);
    PARAFORMAT centred{};
    centred.cbSize = sizeof centred;
    centred.dwMask = PFM_ALIGNMENT;
    centred.wAlignment = PFA_CENTER;
    title->SetParaFormat(nullptr, centred);
    title->Invalidate();
}

} // namespace

// ---------------------------------------------------------------- data source page

CChartDataSourcePage::CChartDataSourcePage(QWidget* parent)
    : CGraphWizardPage(kSourcePage, tr("Chart Wizard - Select Data Source"), parent)
{
    m_strLegend = LoadString(IDS_DATA_SET_NUMBER);
    QGridLayout* grid = Grid(this);
    m_source = new QComboBox(this);
    m_category = new QComboBox(this);
    m_upper = new QComboBox(this);
    m_errorCheck = new QCheckBox(tr("&Error column"), this);
    m_error = new QComboBox(this);
    m_lowerCheck = new QCheckBox(tr("&Lower data"), this);
    m_lower = new QComboBox(this);
    m_lowerError = new QComboBox(this);
    m_legend = new QLineEdit(this);
    AddRow(grid, tr("&Source"), m_source);
    m_categoryLabel = new QLabel(tr("&Category axis"), this);
    m_categoryLabel->setBuddy(m_category);
    grid->addWidget(m_categoryLabel, grid->rowCount(), 0);
    grid->addWidget(m_category, grid->rowCount() - 1, 1);
    AddRow(grid, tr("&Upper data"), m_upper);
    grid->addWidget(m_errorCheck, grid->rowCount(), 0);
    grid->addWidget(m_error, grid->rowCount() - 1, 1);
    grid->addWidget(m_lowerCheck, grid->rowCount(), 0);
    grid->addWidget(m_lower, grid->rowCount() - 1, 1);
    m_lowerErrorLabel = new QLabel(tr("Lo&wer error column"), this);
    m_lowerErrorLabel->setBuddy(m_lowerError);
    grid->addWidget(m_lowerErrorLabel, grid->rowCount(), 0);
    grid->addWidget(m_lowerError, grid->rowCount() - 1, 1);
    AddRow(grid, tr("&Legend text:"), m_legend);
    grid->setRowStretch(grid->rowCount(), 1);
    connect(m_source, &QComboBox::currentIndexChanged, this, [this] { OnSourceChanged(); });
    for (QCheckBox* b : {m_errorCheck, m_lowerCheck})
        connect(b, &QCheckBox::toggled, this, [this] {
            if (!m_bFilling)
                UpdateControls();
        });
}

void CChartDataSourcePage::SetAdding(bool adding)
{
    m_bAdding = adding;
    m_categoryLabel->setVisible(!adding);
    m_category->setVisible(!adding);
}

void CChartDataSourcePage::FillLists()
{
    m_bFilling = true;
    CGraphWizardSheet* sheet = GraphSheet();
    CWizardCatalog* catalog = sheet ? sheet->GetCatalog() : nullptr;
    SetItems(m_source, catalog ? catalog->GetItemNames(WizardKind::Table) : std::vector<std::string>{});
    m_source->setCurrentIndex(m_source->findText(Q(m_strSource), Qt::MatchFixedString));
    std::vector<std::string> columns;
    const bool table = catalog && !m_strSource.empty() && catalog->GetItemKind(m_strSource) == WizardKind::Table;
    if (table && sheet->GetSources())
        columns = ColumnNames(sheet->GetSources()->FindTable(m_strSource));
    for (auto [combo, index] : {std::pair{m_category, m_nCategoryColumn}, std::pair{m_upper, m_nUpperColumn},
                                std::pair{m_error, m_nErrorColumn}, std::pair{m_lower, m_nLowerColumn},
                                std::pair{m_lowerError, m_nLowerErrorColumn}}) {
        SetItems(combo, columns);
        SelectIndex(combo, index);
    }
    m_bFilling = false;
    UpdateControls();
}

void CChartDataSourcePage::UpdateControls()
{
    const bool error = m_errorCheck->isChecked();
    const bool lower = m_lowerCheck->isChecked();
    m_error->setEnabled(error);
    m_lower->setEnabled(lower);
    // The lower bars' errors come with both: error bars, and bars that start somewhere.
    m_lowerErrorLabel->setEnabled(error && lower);
    m_lowerError->setEnabled(error && lower);
}

void CChartDataSourcePage::OnSourceChanged()
{
    if (m_bFilling)
        return;
    const std::string name = m_source->currentText().toStdString();
    // Another table (or none) starts the columns afresh; the same one keeps them.
    if (name.empty() || !SameName(name, m_strSource)) {
        m_nCategoryColumn = m_nUpperColumn = m_nErrorColumn = m_nLowerColumn = m_nLowerErrorColumn = -1;
        m_strSource = name;
        FillLists();
        SetModified();
    }
}

void CChartDataSourcePage::DoDataExchange(CDataExchange* pDX)
{
    if (!pDX->m_bSaveAndValidate) {
        m_bFilling = true;
        m_errorCheck->setChecked(m_bError);
        m_lowerCheck->setChecked(m_bLower);
        m_bFilling = false;
        FillLists();
        m_legend->setText(Q(m_strLegend));
        return;
    }
    m_strSource = m_source->currentText().toStdString();
    if (!m_bAdding)
        m_nCategoryColumn = m_category->currentIndex();
    m_nUpperColumn = m_upper->currentIndex();
    m_nErrorColumn = m_error->currentIndex();
    m_nLowerColumn = m_lower->currentIndex();
    m_nLowerErrorColumn = m_lowerError->currentIndex();
    m_bError = m_errorCheck->isChecked();
    m_bLower = m_lowerCheck->isChecked();
    m_strLegend = m_legend->text().toStdString();
}

void CChartDataSourcePage::OnSetActive()
{
    if (Sheet())
        Sheet()->SetWizardButtons(PSWIZB_NEXT);
}

int CChartDataSourcePage::OnWizardNext()
{
    // The first missing choice is named, and its control takes the focus.
    struct Check {
        bool missing;
        UINT message;
        QWidget* control;
    };
    const Check checks[] = {
        {m_strSource.empty(), IDS_NO_DATA_SOURCE, m_source},
        {!m_bAdding && m_nCategoryColumn < 0, IDS_NO_CATEGORY_COLUMN, m_category},
        {m_nUpperColumn < 0, IDS_NO_CHART_DATA_COLUMN, m_upper},
        {m_bError && m_nErrorColumn < 0, IDS_NO_CHART_DATA_COLUMN, m_error},
        {m_bLower && m_nLowerColumn < 0, IDS_NO_CHART_DATA_COLUMN, m_lower},
        {m_bError && m_bLower && m_nLowerErrorColumn < 0, IDS_NO_CHART_DATA_COLUMN, m_lowerError},
    };
    for (const Check& c : checks)
        if (c.missing) {
            Refuse(c.message, c.control);
            return -1;
        }
    if (auto* sheet = dynamic_cast<CChartWizardSheet*>(Sheet()))
        sheet->m_scaling.m_bLoadTitles = 1;
    return 0;
}

void CChartDataSourcePage::OnNotify(const CUpdateNotification& notice)
{
    CGraphWizardSheet* sheet = GraphSheet();
    CGraphSources* sources = sheet ? sheet->GetSources() : nullptr;
    const bool isSource =
        sources && notice.item && !m_strSource.empty() && sources->FindGraphItem(m_strSource) == notice.item;
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
            m_nCategoryColumn = m_nUpperColumn = m_nErrorColumn = m_nLowerColumn = m_nLowerErrorColumn = -1;
        }
        break;
    case UN_COLUMNS_INSERTED:
    case UN_COLUMNS_DELETED:
        if (!isSource || !RenumberColumns(notice, {&m_nCategoryColumn, &m_nUpperColumn, &m_nErrorColumn,
                                                   &m_nLowerColumn, &m_nLowerErrorColumn}))
            return;
        break;
    default:
        return;
    }
    FillLists();
}

// ---------------------------------------------------------------- scaling page

CChartScalingPage::CChartScalingPage(QWidget* parent)
    : CGraphWizardPage(kScalingPage, tr("Chart Wizard - Set Initial Scaling"), parent)
{
    QGridLayout* grid = Grid(this);
    grid->addWidget(new QLabel("<b>" + tr("Data axis") + "</b>"), grid->rowCount(), 0);
    m_type = new QComboBox(this);
    m_type->addItems({tr("Linear"), tr("Logarithmic")});
    m_auto = new QRadioButton(tr("&Autoscale"), this);
    m_manual = new QRadioButton(tr("&Manual scaling:"), this);
    auto* group = new QButtonGroup(this);
    group->addButton(m_auto);
    group->addButton(m_manual);
    m_from = new QLineEdit(this);
    m_to = new QLineEdit(this);
    m_dataTitle = new QLineEdit(this);
    m_categoryTitle = new QLineEdit(this);
    AddRow(grid, tr("Type"), m_type);
    grid->addWidget(m_auto, grid->rowCount(), 0);
    grid->addWidget(m_manual, grid->rowCount(), 0);
    auto* range = new QHBoxLayout;
    range->addWidget(new QLabel(tr("From")));
    range->addWidget(m_from);
    range->addWidget(new QLabel(tr("To")));
    range->addWidget(m_to);
    grid->addLayout(range, grid->rowCount() - 1, 1);
    AddRow(grid, tr("Data axis text"), m_dataTitle);
    AddRow(grid, tr("Category axis text"), m_categoryTitle);
    grid->setRowStretch(grid->rowCount(), 1);
    connect(m_manual, &QRadioButton::toggled, this, [this] { UpdateControls(); });
    connect(m_auto, &QRadioButton::clicked, this, [this] {
        m_nScaling = 0;
        Recalculate();
    });
    connect(m_type, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_nType = std::max(index, 0);
        Recalculate();
    });
}

void CChartScalingPage::UpdateControls()
{
    m_from->setEnabled(m_manual->isChecked());
    m_to->setEnabled(m_manual->isChecked());
}

void CChartScalingPage::Recalculate()
{
    if (auto* sheet = dynamic_cast<CChartWizardSheet*>(Sheet())) {
        double xMin = 0.0, xMax = 0.0, yMin = 0.0, yMax = 0.0;
        const bool log = m_nType == 1;
        // The value axis is X on a bar chart and Y on a column chart.
        const bool horizontal = sheet->IsHorizontal();
        sheet->CalcAutoRange(horizontal && log, !horizontal && log, xMin, xMax, yMin, yMax);
        m_dAutoMin = horizontal ? xMin : yMin;
        m_dAutoMax = horizontal ? xMax : yMax;
    }
    if (!m_manual->isChecked()) {
        m_dFrom = m_dAutoMin;
        m_dTo = m_dAutoMax;
        m_from->setText(Q(FormatG15(m_dFrom)));
        m_to->setText(Q(FormatG15(m_dTo)));
    }
}

void CChartScalingPage::OnSetActive()
{
    Sheet()->SetWizardButtons(PSWIZB_BACK | PSWIZB_NEXT);
    if (m_bLoadTitles) {
        if (auto* sheet = GraphSheet())
            sheet->GetAxisTitles(m_strCategoryTitle, m_strDataTitle);
        m_bLoadTitles = 0;
        m_dataTitle->setText(Q(m_strDataTitle));
        m_categoryTitle->setText(Q(m_strCategoryTitle));
    }
    Recalculate();
}

void CChartScalingPage::DoDataExchange(CDataExchange* pDX)
{
    if (!pDX->m_bSaveAndValidate) {
        m_type->blockSignals(true);
        m_type->setCurrentIndex(m_nType);
        m_type->blockSignals(false);
        m_auto->setChecked(m_nScaling == 0);
        m_manual->setChecked(m_nScaling == 1);
        m_from->setText(Q(FormatG15(m_dFrom)));
        m_to->setText(Q(FormatG15(m_dTo)));
        m_dataTitle->setText(Q(m_strDataTitle));
        m_categoryTitle->setText(Q(m_strCategoryTitle));
        UpdateControls();
        return;
    }
    m_nType = std::max(m_type->currentIndex(), 0);
    m_nScaling = m_manual->isChecked() ? 1 : 0;
    m_strDataTitle = m_dataTitle->text().toStdString();
    m_strCategoryTitle = m_categoryTitle->text().toStdString();
    if (m_nScaling == 0) {
        m_dFrom = m_dAutoMin;
        m_dTo = m_dAutoMax;
        return;
    }
    for (auto [edit, value] : {std::pair{m_from, &m_dFrom}, std::pair{m_to, &m_dTo}}) {
        DDX_Double(pDX, edit, *value);
        if (!pDX->Failed() && m_nType == 1 && *value <= 0.0) {
            ReportMessage(IDS_LOG_SCALE_NOT_POSITIVE);
            pDX->Fail();
        }
    }
}

// ---------------------------------------------------------------- bar style page

CChartBarStylePage::CChartBarStylePage(bool columns, const QString& caption, QWidget* parent)
    : CGraphWizardPage(kBarStylePage, caption.isEmpty() ? tr("Chart Wizard - Select Bar Style") : caption, parent)
{
    m_crBack = m_crNegBack = SystemColour(QPalette::Base);
    m_crOutline = SystemColour(QPalette::WindowText);
    QGridLayout* grid = Grid(this);
    auto* fills = new QGroupBox(tr("Fill &style"), this);
    auto* fillGrid = new QGridLayout(fills);
    auto* group = m_fillGroup = new QButtonGroup(this);
    for (int i = 0; i < kBarFillStyles; ++i) {
        auto* b = new QRadioButton(fills);
        b->setIcon(FillIcon(i));
        b->setIconSize(QSize(24, 16));
        b->setToolTip(tr("Fill style %1").arg(i + 1));
        group->addButton(b, i);
        m_fills.push_back(b);
        fillGrid->addWidget(b, i / 8, i % 8);
        connect(b, &QRadioButton::clicked, this, [this] { SetModified(); });
    }
    grid->addWidget(fills, 0, 0, 1, 2);
    m_barType = new QComboBox(this);
    m_barType->setIconSize(QSize(32, 20));
    for (const char* name : {"Bars", "Area", "None"})
        m_barType->addItem(tr(name));
    AddRow(grid, tr("Bar &type"), m_barType);
    m_fore = new CColourCombo(this);
    m_fore->Init(ColourValue(m_crFore));
    AddRow(grid, tr("&Foreground"), m_fore);
    m_backCheck = new QCheckBox(tr("&Back"), this);
    m_back = new CColourCombo(this);
    m_back->Init(ColourValue(m_crBack));
    grid->addWidget(m_backCheck, grid->rowCount(), 0);
    grid->addWidget(m_back, grid->rowCount() - 1, 1);
    m_negativeCheck = new QCheckBox(tr("&Negative color"), this);
    grid->addWidget(m_negativeCheck, grid->rowCount(), 0, 1, 2);
    m_negFore = new CColourCombo(this);
    m_negFore->Init(ColourValue(m_crNegFore));
    m_negForeLabel = new QLabel(tr("Negative foreground"), this);
    m_negForeLabel->setBuddy(m_negFore);
    grid->addWidget(m_negForeLabel, grid->rowCount(), 0);
    grid->addWidget(m_negFore, grid->rowCount() - 1, 1);
    m_negBack = new CColourCombo(this);
    m_negBack->Init(ColourValue(m_crNegBack));
    m_negBackLabel = new QLabel(tr("Negative background"), this);
    m_negBackLabel->setBuddy(m_negBack);
    grid->addWidget(m_negBackLabel, grid->rowCount(), 0);
    grid->addWidget(m_negBack, grid->rowCount() - 1, 1);
    auto* outline = new QGroupBox(tr("Outline"), this);
    auto* outlineGrid = Grid(outline);
    m_outlineStyle = new QComboBox(outline);
    FillLineStyles(m_outlineStyle);
    m_outline = new CColourCombo(outline);
    m_outline->Init(ColourValue(m_crOutline));
    m_outlineWidth = new QLineEdit(outline);
    AddRow(outlineGrid, tr("Sty&le"), m_outlineStyle);
    AddRow(outlineGrid, tr("&Color"), m_outline);
    AddRow(outlineGrid, tr("&Width:"), m_outlineWidth);
    grid->addWidget(outline, grid->rowCount(), 0, 1, 2);
    grid->setRowStretch(grid->rowCount(), 1);
    SetOrientation(columns);
    for (QCheckBox* b : {m_backCheck, m_negativeCheck}) {
        connect(b, &QCheckBox::toggled, this, [this] { UpdateControls(); });
        connect(b, &QCheckBox::clicked, this, [this] { SetModified(); });
    }
    connect(m_barType, &QComboBox::currentIndexChanged, this, [this] {
        // Only separate bars can show negative values in other colours.
        if (m_barType->currentIndex() > 0)
            m_negativeCheck->setChecked(false);
        UpdateControls();
    });
    for (QComboBox* c : {m_barType, m_outlineStyle})
        connect(c, &QComboBox::activated, this, [this] { SetModified(); });
    for (CColourCombo* c : {m_fore, m_back, m_negFore, m_negBack, m_outline})
        connect(c, &CColourCombo::colourChanged, this, [this] { SetModified(); });
    connect(m_outlineWidth, &QLineEdit::textEdited, this, [this] { SetModified(); });
}

void CChartBarStylePage::SetOrientation(bool columns)
{
    m_bColumns = columns ? 1 : 0;
    for (int i = 0; i < m_barType->count(); ++i)
        m_barType->setItemIcon(i, BarTypeIcon(i, columns));
}

void CChartBarStylePage::UpdateControls()
{
    const bool bars = m_barType->currentIndex() <= 0;
    const bool negative = bars && m_negativeCheck->checkState() != Qt::Unchecked;
    const bool back = m_backCheck->checkState() != Qt::Unchecked;
    m_negativeCheck->setEnabled(bars);
    m_back->setEnabled(back);
    m_negForeLabel->setEnabled(negative);
    m_negFore->setEnabled(negative);
    m_negBackLabel->setEnabled(negative && back);
    m_negBack->setEnabled(negative && back);
}

void CChartBarStylePage::ExchangeIndex(CDataExchange* pDX, QComboBox* combo, int& value, Field field)
{
    if (!pDX->m_bSaveAndValidate) {
        DDX_CBIndex(pDX, combo, value);
        if (m_undetermined[field])
            combo->setCurrentIndex(-1);
        return;
    }
    if (m_undetermined[field] && combo->currentIndex() < 0)
        return;
    DDX_CBIndex(pDX, combo, value);
    m_undetermined.reset(field);
}

void CChartBarStylePage::ExchangeCheck(CDataExchange* pDX, QCheckBox* box, int& value, Field field)
{
    if (!pDX->m_bSaveAndValidate) {
        box->setTristate(m_undetermined[field]);
        if (m_undetermined[field])
            box->setCheckState(Qt::PartiallyChecked);
        else
            DDX_Check(pDX, box, value);
        return;
    }
    if (box->checkState() == Qt::PartiallyChecked)
        return;
    DDX_Check(pDX, box, value);
    m_undetermined.reset(field);
}

void CChartBarStylePage::ExchangeColour(CDataExchange* pDX, CColourCombo* combo, COLORREF& value, Field field)
{
    if (!pDX->m_bSaveAndValidate) {
        DDX_ColourCombo(pDX, combo, value);
        if (m_undetermined[field])
            combo->setCurrentIndex(-1);
        return;
    }
    if (m_undetermined[field] && combo->currentIndex() < 0)
        return;
    DDX_ColourCombo(pDX, combo, value);
    m_undetermined.reset(field);
}

void CChartBarStylePage::DoDataExchange(CDataExchange* pDX)
{
    const bool save = pDX->m_bSaveAndValidate;
    if (!save) {
        // An undetermined fill shows no style chosen.
        m_fillGroup->setExclusive(false);
        for (std::size_t i = 0; i < m_fills.size(); ++i)
            m_fills[i]->setChecked(!m_undetermined[F_FILL] && int(i) == m_nFillStyle);
        m_fillGroup->setExclusive(true);
    } else {
        for (std::size_t i = 0; i < m_fills.size(); ++i)
            if (m_fills[i]->isChecked()) {
                m_nFillStyle = int(i);
                m_undetermined.reset(F_FILL);
            }
    }
    ExchangeIndex(pDX, m_barType, m_nBarType, F_BAR_TYPE);
    ExchangeCheck(pDX, m_backCheck, m_bBack, F_BACK);
    ExchangeColour(pDX, m_back, m_crBack, F_BACK_COLOUR);
    ExchangeColour(pDX, m_fore, m_crFore, F_FORE);
    ExchangeCheck(pDX, m_negativeCheck, m_bNegative, F_NEGATIVE);
    ExchangeColour(pDX, m_negFore, m_crNegFore, F_NEG_FORE);
    ExchangeColour(pDX, m_negBack, m_crNegBack, F_NEG_BACK);
    ExchangeIndex(pDX, m_outlineStyle, m_nOutlineStyle, F_OUTLINE_STYLE);
    ExchangeColour(pDX, m_outline, m_crOutline, F_OUTLINE);
    const MeasurementUnit& unit = PointUnit();
    if (!save && m_undetermined[F_OUTLINE_WIDTH]) {
        m_outlineWidth->clear();
    } else if (!save || !m_undetermined[F_OUTLINE_WIDTH] || !m_outlineWidth->text().trimmed().isEmpty()) {
        DDX_Measurement(unit, pDX, m_outlineWidth, m_nOutlineWidth);
        DDV_Measurement(unit, pDX, m_nOutlineWidth, 1, 720);
        if (save && !pDX->Failed())
            m_undetermined.reset(F_OUTLINE_WIDTH);
    }
    // Only separate bars show negative values in their own colours.
    if (save && !m_undetermined[F_BAR_TYPE] && m_nBarType > 0) {
        m_bNegative = 0;
        m_undetermined.reset(F_NEGATIVE);
    }
    if (!save)
        UpdateControls();
}

void CChartBarStylePage::OnSetActive()
{
    if (Sheet())
        Sheet()->SetWizardButtons(PSWIZB_BACK | PSWIZB_NEXT);
}

// ---------------------------------------------------------------- value axis associations

CColumnAssocPage::CColumnAssocPage(CDrawGraph* graph, const QString& caption, QWidget* parent)
    : CGraphWizardPage(kAssocPage, caption.isEmpty() ? tr("Chart Wizard - Set Value Axis Associations") : caption,
                       parent)
    , m_pGraph(graph)
{
    QGridLayout* grid = Grid(this);
    m_list = new QListWidget(this);
    m_all = new QPushButton(tr("Select &All"), this);
    auto* label = new QLabel(tr("&Value axis"), this);
    label->setBuddy(m_list);
    grid->addWidget(label, 0, 0);
    grid->addWidget(m_list, 1, 0, 1, 2);
    grid->addWidget(m_all, 2, 0);
    connect(m_list, &QListWidget::itemChanged, this, [this] { SetModified(); });
    connect(m_all, &QPushButton::clicked, this, [this] { SelectAll(); });
}

bool CColumnAssocPage::ValueAxesAreX() const
{
    const CXYAxis* category = m_pGraph ? m_pGraph->GetCategoryAxis() : nullptr;
    return category && category->IsVertical();
}

void CColumnAssocPage::SelectAll()
{
    for (int i = 0; i < m_list->count(); ++i)
        m_list->item(i)->setCheckState(Qt::Checked);
    SetModified();
}

void CColumnAssocPage::DoDataExchange(CDataExchange* pDX)
{
    const bool x = ValueAxesAreX();
    if (!pDX->m_bSaveAndValidate) {
        m_list->blockSignals(true);
        m_list->clear();
        const int n = !m_pGraph ? 0 : x ? m_pGraph->GetXAxisCount() : m_pGraph->GetYAxisCount();
        for (int i = 0; i < n; ++i) {
            const CXYAxis* axis = x ? m_pGraph->GetXAxis(i) : m_pGraph->GetYAxis(i);
            char text[128];
            std::snprintf(text, sizeof text, LoadString(IDS_AXIS_SCALE_LINE).c_str(), i + 1, axis->m_dMin, axis->m_dMax);
            auto* item = new QListWidgetItem(QString::fromUtf8(text), m_list);
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            const bool on = std::find(m_axes.begin(), m_axes.end(), std::uint32_t(i)) != m_axes.end();
            item->setCheckState(on ? Qt::Checked : Qt::Unchecked);
        }
        m_list->blockSignals(false);
        return;
    }
    std::vector<std::uint32_t> read;
    for (int i = 0; i < m_list->count(); ++i)
        if (m_list->item(i)->checkState() == Qt::Checked)
            read.push_back(std::uint32_t(i));
    if (read.empty()) {
        ReportMessage(IDS_SELECT_ONE_AXIS);
        pDX->PrepareCtrl(m_list);
        pDX->Fail();
        return;
    }
    m_axes = read;
}

void CColumnAssocPage::OnSetActive()
{
    if (Sheet())
        Sheet()->SetWizardButtons(PSWIZB_BACK | PSWIZB_NEXT);
}

// ---------------------------------------------------------------- the sheets

COLORREF ChartSeriesColour(int n)
{
    static constexpr COLORREF kColours[10] = {0x00FF00, 0x0000FF, 0x00FFFF, 0xFF0000, 0xFFFF00,
                                              0xFF00FF, 0xFFFFFF, 0x000000, 0x808080, 0xC0C0C0};
    return kColours[(n % 10 + 10) % 10];
}

CChartWizardSheet::CChartWizardSheet(bool horizontal, CWizardCatalog* catalog, CGraphSources* sources,
                                     QWidget* parent)
    : CGraphWizardSheet(catalog, sources, parent)
    , m_ticks(kTickPage)
    , m_association(nullptr)
    , m_bars(!horizontal)
    , m_bHorizontal(horizontal)
{
    m_bNewGraph = 1;
    // Bars stand on their own: no symbols unless the user asks for them.
    m_points.m_nSymbol = 16;
    for (CWizardPage* p :
         std::initializer_list<CWizardPage*>{&m_source, &m_scaling, &m_ticks, &m_bars, &m_points, &m_join})
        AddPage(p);
    m_association.hide();
}

CChartWizardSheet::CChartWizardSheet(bool horizontal, CDrawGraph* graph, CWizardCatalog* catalog,
                                     CGraphSources* sources, QWidget* parent)
    : CGraphWizardSheet(catalog, sources, parent)
    , m_ticks(kTickPage)
    , m_association(graph)
    , m_bars(!horizontal)
    , m_bHorizontal(horizontal)
{
    m_bNewGraph = 0;
    m_points.m_nSymbol = 16;
    if (graph->GetCategorySource(m_strCategoryTable, m_nCategoryColumn)) {
        m_source.m_strSource = m_strCategoryTable;
        m_source.m_nCategoryColumn = m_nCategoryColumn;
    }
    m_source.m_strLegend = LoadString(IDS_DATA_SET_NUMBER);
    m_source.SetAdding(true);
    // Each further series takes the next of ten colours.
    m_bars.m_crFore = m_bars.m_crNegFore = ChartSeriesColour(graph->GetDatasetCount());
    for (CWizardPage* p :
         std::initializer_list<CWizardPage*>{&m_source, &m_association, &m_bars, &m_points, &m_join})
        AddPage(p);
    m_scaling.hide();
    m_ticks.hide();
}

void CChartWizardSheet::OnItemNotify(CUpdateNotification& notice)
{
    if (SourceNoticed(notice) && GetActivePage() != &m_source)
        SetActivePage(0);
    m_source.OnNotify(notice);
}

void CChartWizardSheet::CalcAutoRange(bool xLog, bool yLog, double& xMin, double& xMax, double& yMin, double& yMax)
{
    AxisScale::DefaultRange(xLog, xMin, xMax);
    AxisScale::DefaultRange(yLog, yMin, yMax);
    if (!m_pSources || GetSourceKind() != WizardKind::Table)
        return;
    const CMyData* table = m_pSources->FindTable(m_source.m_strSource);
    if (!table)
        return;
    const bool log = m_bHorizontal ? xLog : yLog;
    double lo = HUGE_VAL, hi = -HUGE_VAL;
    int count = 0;
    ColumnExtent(*table, m_source.m_nUpperColumn, m_source.m_bError ? m_source.m_nErrorColumn : -1, log, lo, hi,
                 count);
    if (m_source.m_bLower) {
        // Floating bars start at the lower column's values: they count too.
        int lowerCount = 0;
        const int lowerError = m_source.m_bError ? m_source.m_nLowerErrorColumn : -1;
        ColumnExtent(*table, m_source.m_nLowerColumn, lowerError, log, lo, hi, lowerCount);
    } else if (!log) {
        // Bars rise from zero, so the axis shows it.
        lo = std::min(lo, 0.0);
        hi = std::max(hi, 0.0);
    }
    if (count < 2 || !(lo <= hi))
        return;
    AxisScale::MakeNiceRange(log, lo, hi);
    (m_bHorizontal ? xMin : yMin) = lo;
    (m_bHorizontal ? xMax : yMax) = hi;
}

void CChartWizardSheet::GetAxisTitles(std::string& x, std::string& y)
{
    x = LoadString(IDS_X_AXIS);
    y = LoadString(IDS_Y_AXIS);
    if (!m_pSources || GetSourceKind() != WizardKind::Table)
        return;
    const CMyData* table = m_pSources->FindTable(m_source.m_strSource);
    if (table && m_source.m_nCategoryColumn >= 0)
        x = table->GetColumnName(m_source.m_nCategoryColumn);
    if (table && m_source.m_nUpperColumn >= 0)
        y = table->GetColumnName(m_source.m_nUpperColumn);
}

void CChartWizardSheet::FillDataset(CXYDatasetChart& d) const
{
    d.m_nSymbolShape = m_points.m_nSymbol;
    d.m_symbolBrush.lbColor = m_points.m_crFill;
    d.m_crSymbolOutline = m_points.m_crPen;
    d.m_bSymbolFill = m_points.m_bFill;
    d.m_bSymbolGap = m_points.m_bMask;
    d.m_bSymbolOutline = m_points.m_bPen;
    d.m_nSymbolSize = m_points.m_nSize;
    d.m_nSymbolOutlineWidth = m_points.m_nPenWidth;
    d.m_nJoinType = m_join.m_nJoinType;
    d.m_crJoin = m_join.m_crColour;
    d.m_nJoinWidth = m_join.m_nWidth;
    d.m_nJoinStyle = PenStyleFromListIndex(m_join.m_nLineStyle);
    d.m_crFore = m_bars.m_crFore;
    d.m_crBack = m_bars.m_crBack;
    d.m_crNegFore = m_bars.m_crNegFore;
    d.m_crNegBack = m_bars.m_crNegBack;
    d.m_nFillStyle = m_bars.m_nFillStyle;
    d.m_nBarType = m_bars.m_nBarType;
    d.m_bBackOn = m_bars.m_bBack;
    d.m_bNegative = m_bars.m_nBarType == 0 ? m_bars.m_bNegative : 0;
    if (!IsNewGraph())
        (m_bHorizontal ? d.m_xAxes : d.m_yAxes) = m_association.m_axes;
    d.m_crOutline = m_bars.m_crOutline;
    d.m_nOutlineWidth = m_bars.m_nOutlineWidth;
    d.m_nOutlineStyle = PenStyleFromListIndex(m_bars.m_nOutlineStyle);
}

void CChartWizardSheet::ApplyToGraph(CDrawGraph* graph, bool newGraph)
{
    if (!graph)
        return;
    CXYAxis* category = graph->GetCategoryAxis();
    CXYAxis* value = nullptr;
    if (graph->GetXAxisCount() > 0 && graph->GetYAxisCount() > 0)
        value = m_bHorizontal ? graph->GetXAxis(0) : graph->GetYAxis(0);
    if (newGraph && category && value) {
        ApplyTickStyle(graph, m_ticks.m_nTickStyle);
        if (m_scaling.m_nScaling == 1)
            value->m_bAutoMin = value->m_bAutoMax = 0;
        value->m_dMin = m_scaling.m_dFrom;
        value->m_dMax = m_scaling.m_dTo;
        value->m_bLog = m_scaling.m_nType == 1 ? 1 : 0;
        double origin = 0.0;
        AxisScale::ChooseTickSteps(value->m_bLog, value->m_dMin, value->m_dMax, value->m_dMajor, value->m_dMinor,
                                   origin);
        if (value->m_bAutoCross)
            value->m_dCross = origin;
        if (CXYScaleText* labels = value->GetTickLabels())
            labels->Reposition(true);
    }
    const std::string& source = m_source.m_strSource;
    CGraphSources* sources = graph->GetSources() ? graph->GetSources() : m_pSources;
    // A table that has gone by now builds nothing.
    if (source.empty() || !sources || !sources->FindTable(source))
        return;
    // A new chart reads its categories from the chosen column; a series added
    // to a chart keeps the chart's categories, whatever table its values
    // come from (unless the chart has none yet). The categories come first:
    // the series reads one value per category.
    if (category && (newGraph || category->m_category.tableName.empty() || category->m_category.column < 0))
        category->SetCategorySource(source, m_source.m_nCategoryColumn);
    CXYDatasetChart* d = NewDataset(graph);
    FillDataset(*d);
    const std::string number = std::to_string(graph->GetDatasetCount() + 1);
    const bool first = newGraph && graph->GetDatasetCount() == 0;
    graph->AddDataset(d, FormatMessageText(m_source.m_strLegend, {number}));
    if (first && category && value) {
        CentreTitle(category, m_scaling.m_strCategoryTitle);
        CentreTitle(value, m_scaling.m_strDataTitle);
    }
    graph->RecalcAxes();
}

namespace {

// A series of the source page's columns; error and lower columns only
// where the page asks for them.
template <class Series>
CXYDatasetChart* NewSeries(const CChartDataSourcePage& s, CDrawGraph* graph)
{
    return new Series(s.m_strSource, s.m_nUpperColumn, s.m_bError ? s.m_nErrorColumn : -1,
                      s.m_bLower ? s.m_nLowerColumn : -1, s.m_bError && s.m_bLower ? s.m_nLowerErrorColumn : -1,
                      graph);
}

} // namespace

CColChartWizardSheet::CColChartWizardSheet(CWizardCatalog* catalog, CGraphSources* sources, QWidget* parent)
    : CChartWizardSheet(false, catalog, sources, parent)
{
}

CColChartWizardSheet::CColChartWizardSheet(CDrawGraph* graph, CWizardCatalog* catalog, CGraphSources* sources,
                                           QWidget* parent)
    : CChartWizardSheet(false, graph, catalog, sources, parent)
{
}

CXYDatasetChart* CColChartWizardSheet::NewDataset(CDrawGraph* graph) const
{
    return NewSeries<CXYDatasetColChart>(m_source, graph);
}

CBarChartWizardSheet::CBarChartWizardSheet(CWizardCatalog* catalog, CGraphSources* sources, QWidget* parent)
    : CChartWizardSheet(true, catalog, sources, parent)
{
}

CBarChartWizardSheet::CBarChartWizardSheet(CDrawGraph* graph, CWizardCatalog* catalog, CGraphSources* sources,
                                           QWidget* parent)
    : CChartWizardSheet(true, graph, catalog, sources, parent)
{
}

CXYDatasetChart* CBarChartWizardSheet::NewDataset(CDrawGraph* graph) const
{
    return NewSeries<CXYDatasetBarChart>(m_source, graph);
}

// ---------------------------------------------------------------- entry points

std::unique_ptr<CChartWizardSheet> MakeChartWizard(int kind, CWizardCatalog* catalog, CGraphSources* sources,
                                                   QWidget* parent)
{
    if (kind == CHART_COLUMN)
        return std::make_unique<CColChartWizardSheet>(catalog, sources, parent);
    if (kind == CHART_BAR)
        return std::make_unique<CBarChartWizardSheet>(catalog, sources, parent);
    return nullptr;
}

CDrawGraph* BuildChart(CChartWizardSheet& wizard, CDrawData* page, const RECT& rect)
{
    CDrawGraph* graph = nullptr;
    if (wizard.IsHorizontal())
        graph = new CDrawBarGraph(rect, page);
    else
        graph = new CDrawColumnGraph(rect, page);
    wizard.ApplyToGraph(graph, true);
    graph->Invalidate();
    return graph;
}

CDrawGraph* RunChartWizard(int kind, CWizardCatalog* catalog, CGraphSources* sources, CDrawData* page,
                           const RECT& rect, QWidget* parent)
{
    std::unique_ptr<CChartWizardSheet> wizard = MakeChartWizard(kind, catalog, sources, parent);
    if (!wizard || wizard->Run() != ID_WIZFINISH)
        return nullptr;
    return BuildChart(*wizard, page, rect);
}
