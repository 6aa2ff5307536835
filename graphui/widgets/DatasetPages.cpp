#include "graphui/widgets/DatasetPages.h"

#include "graph/DrawGraph.h"
#include "graph/GraphSources.h"
#include "graph/GraphText.h"
#include "graph/Legend.h"
#include "graph/XYDataset.h"
#include "graph/XYDatasetTable.h"
#include "graphui/widgets/PageHelpers.h"
#include "platform/Reporter.h"
#include "platform/StringIds.h"
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
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>
#include <numeric>

using namespace pages;

namespace {

constexpr int kExplicit = 3;

CGraphSources* SourcesOf(const CXYDataset* dataset)
{
    CDrawGraph* graph = dataset->GetGraph();
    return graph ? graph->GetSources() : nullptr;
}

void Select(QComboBox* combo, int index) { combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1); }

} // namespace

// ---------------------------------------------------------------- error bars

CXYErrorsPage::CXYErrorsPage(CXYDataset* dataset, CWizardCatalog* catalog, bool allowTable, QWidget* parent)
    : CWizardPage(3561, tr("Error Bars"), parent), m_pDataset(dataset), m_pCatalog(catalog), m_bAllowTable(allowTable)
{
    const CXYDataset& d = *dataset;
    // The dataset keeps one mode per axis: explicit with one column (3) or with two (4).
    const int modes[2] = {d.m_nXErrorMode, d.m_nYErrorMode};
    const double absolute[2] = {d.m_dXAbsError, d.m_dYAbsError};
    const double proportional[2] = {d.m_dXPropError, d.m_dYPropError};
    const int plus[2] = {d.m_nXPlusColumn, d.m_nYPlusColumn};
    const int minus[2] = {d.m_nXMinusColumn, d.m_nYMinusColumn};
    for (int a = 0; a < 2; ++a) {
        Axis& x = m_axes[a];
        x.mode = modes[a] >= kExplicit ? kExplicit : std::max(modes[a], 0);
        x.bMinus = modes[a] == 4;
        x.absolute = absolute[a];
        x.proportional = proportional[a];
        x.plus = plus[a];
        x.minus = modes[a] == 3 ? plus[a] : minus[a];
    }
    m_nStyle = d.m_nErrorCaps == 1 ? 0 : 1;
    m_nXYType = d.m_nXYErrorStyle;
    m_strTable = d.m_strSource;
    m_crColour = d.m_crError;
    m_nWidth = d.m_nErrorWidth;

    auto* layout = new QVBoxLayout(this);
    auto* top = new QGridLayout;
    m_style = new QComboBox(this);
    m_style->addItems({tr("Capped"), tr("Plain")});
    m_xyType = new QComboBox(this);
    m_xyType->addItems({tr("Separate bars"), tr("Rising diagonal"), tr("Falling diagonal")});
    m_table = new QComboBox(this);
    AddRow(top, tr("&Style"), m_style);
    AddRow(top, tr("XY &type"), m_xyType);
    AddRow(top, tr("Source &data"), m_table);
    layout->addLayout(top);
    const QString names[2] = {tr("X error bars"), tr("Y error bars")};
    for (int a = 0; a < 2; ++a) {
        Axis& x = m_axes[a];
        auto* box = new QGroupBox(names[a], this);
        auto* grid = new QGridLayout(box);
        auto* group = new QButtonGroup(box);
        const QString labels[4] = {tr("&None"), tr("&Absolute:"), tr("&Proportional:"), tr("&Explicit")};
        for (int m = 0; m < 4; ++m) {
            x.modes[m] = new QRadioButton(labels[m], box);
            group->addButton(x.modes[m], m);
            grid->addWidget(x.modes[m], m, 0);
        }
        x.absoluteEdit = new QLineEdit(box);
        x.proportionalEdit = new QLineEdit(box);
        x.percent = new QLabel("%", box);
        x.plusCombo = new QComboBox(box);
        x.minusCheck = new QCheckBox("-", box);
        x.minusCombo = new QComboBox(box);
        grid->addWidget(x.absoluteEdit, 1, 1);
        grid->addWidget(x.proportionalEdit, 2, 1);
        grid->addWidget(x.percent, 2, 2);
        grid->addWidget(new QLabel("+", box), 3, 2);
        grid->addWidget(x.plusCombo, 3, 1);
        grid->addWidget(x.minusCheck, 4, 2);
        grid->addWidget(x.minusCombo, 4, 1);
        layout->addWidget(box);
        connect(group, &QButtonGroup::idClicked, this, [this, a] {
            SetModified();
            MirrorMinus(a);
        });
        connect(x.minusCheck, &QCheckBox::clicked, this, [this, a] {
            SetModified();
            MirrorMinus(a);
        });
        connect(x.plusCombo, &QComboBox::activated, this, [this, a] {
            SetModified();
            MirrorMinus(a);
        });
        connect(x.minusCombo, &QComboBox::activated, this, [this] { SetModified(); });
        for (QLineEdit* e : {x.absoluteEdit, x.proportionalEdit})
            connect(e, &QLineEdit::textEdited, this, [this] { SetModified(); });
    }
    auto* bottom = new QGridLayout;
    m_colour = new CColourCombo(this);
    m_colour->Init(ColourValue(m_crColour));
    m_width = new QLineEdit(this);
    AddRow(bottom, tr("&Color"), m_colour);
    AddRow(bottom, tr("Line &width:"), m_width);
    layout->addLayout(bottom);
    layout->addStretch(1);
    for (QComboBox* c : {m_style, m_xyType})
        connect(c, &QComboBox::activated, this, [this] { SetModified(); });
    connect(m_colour, &CColourCombo::colourChanged, this, [this] { SetModified(); });
    connect(m_width, &QLineEdit::textEdited, this, [this] { SetModified(); });
    connect(m_table, &QComboBox::currentIndexChanged, this, [this] {
        if (m_bFilling)
            return;
        // Another table: its columns are other columns.
        m_strTable = m_table->currentText().toStdString();
        for (Axis& x : m_axes)
            x.plus = x.minus = -1;
        FillColumns();
        SetModified();
    });
    UpdateData(false);
}

void CXYErrorsPage::FillColumns()
{
    m_bFilling = true;
    SetItems(m_table, m_pCatalog ? m_pCatalog->GetItemNames(WizardKind::Table) : std::vector<std::string>{});
    m_table->setCurrentIndex(m_table->findText(Q(m_strTable), Qt::MatchFixedString));
    CGraphSources* sources = SourcesOf(m_pDataset);
    const std::vector<std::string> columns = ColumnNames(sources ? sources->FindTable(m_strTable) : nullptr);
    for (Axis& x : m_axes) {
        SetItems(x.plusCombo, columns);
        SetItems(x.minusCombo, columns);
        Select(x.plusCombo, x.plus);
        Select(x.minusCombo, x.minus);
    }
    m_bFilling = false;
}

void CXYErrorsPage::ReadModes()
{
    for (Axis& x : m_axes) {
        for (int m = 0; m < 4; ++m)
            if (x.modes[m]->isChecked())
                x.mode = m;
        x.bMinus = x.minusCheck->isChecked();
    }
}

void CXYErrorsPage::MirrorMinus(int axis)
{
    Axis& x = m_axes[axis];
    if (!x.minusCheck->isChecked())
        x.minusCombo->setCurrentIndex(x.plusCombo->currentIndex());
    UpdateControls();
}

void CXYErrorsPage::UpdateControls()
{
    ReadModes();
    const bool any = m_axes[0].mode != 0 || m_axes[1].mode != 0;
    m_style->setEnabled(any);
    m_xyType->setEnabled(m_axes[0].mode != 0 && m_axes[1].mode != 0);
    m_table->setEnabled(m_bAllowTable && (m_axes[0].mode == kExplicit || m_axes[1].mode == kExplicit));
    for (Axis& x : m_axes) {
        x.absoluteEdit->setEnabled(x.mode == 1);
        x.proportionalEdit->setEnabled(x.mode == 2);
        x.percent->setEnabled(x.mode == 2);
        x.plusCombo->setEnabled(x.mode == kExplicit);
        x.minusCheck->setEnabled(x.mode == kExplicit);
        x.minusCombo->setEnabled(x.mode == kExplicit && x.bMinus);
    }
}

void CXYErrorsPage::DoDataExchange(CDataExchange* pDX)
{
    if (!pDX->m_bSaveAndValidate) {
        FillColumns();
        for (Axis& x : m_axes) {
            x.modes[std::clamp(x.mode, 0, 3)]->setChecked(true);
            x.minusCheck->setChecked(x.bMinus);
        }
    } else {
        ReadModes();
        for (Axis& x : m_axes) {
            x.plus = x.plusCombo->currentIndex();
            x.minus = x.minusCombo->currentIndex();
        }
        m_strTable = m_table->currentText().toStdString();
    }
    DDX_CBIndex(pDX, m_style, m_nStyle);
    DDX_CBIndex(pDX, m_xyType, m_nXYType);
    for (Axis& x : m_axes) {
        if (!pDX->m_bSaveAndValidate || x.mode == 1)
            DDX_Double(pDX, x.absoluteEdit, x.absolute);
        if (!pDX->m_bSaveAndValidate || x.mode == 2)
            DDX_Double(pDX, x.proportionalEdit, x.proportional);
    }
    DDX_ColourCombo(pDX, m_colour, m_crColour);
    DDX_Measurement(PointUnit(), pDX, m_width, m_nWidth);
    DDV_Measurement(PointUnit(), pDX, m_nWidth, 1, 720);
    if (!pDX->m_bSaveAndValidate)
        UpdateControls();
}

bool CXYErrorsPage::Check()
{
    for (Axis& x : m_axes) {
        if (x.mode != kExplicit)
            continue;
        if (m_strTable.empty())
            return Refuse(IDS_NO_ERROR_TABLE, m_table);
        if (x.plus < 0)
            return Refuse(IDS_NO_ERROR_VALUES_COLUMN, x.plusCombo);
        if (x.bMinus && x.minus < 0)
            return Refuse(IDS_NO_ERROR_VALUES_COLUMN, x.minusCombo);
    }
    return true;
}

bool CXYErrorsPage::OnApply()
{
    if (!Check())
        return false;
    CXYDataset& d = *m_pDataset;
    int* plus[2] = {&d.m_nXPlusColumn, &d.m_nYPlusColumn};
    int* minus[2] = {&d.m_nXMinusColumn, &d.m_nYMinusColumn};
    int* modes[2] = {&d.m_nXErrorMode, &d.m_nYErrorMode};
    double* absolute[2] = {&d.m_dXAbsError, &d.m_dYAbsError};
    double* proportional[2] = {&d.m_dXPropError, &d.m_dYPropError};
    for (int a = 0; a < 2; ++a) {
        const Axis& x = m_axes[a];
        *plus[a] = x.plus;
        *minus[a] = x.bMinus ? x.minus : x.plus;
        *modes[a] = x.mode == kExplicit ? (x.bMinus ? 4 : 3) : x.mode;
        *absolute[a] = x.absolute;
        *proportional[a] = x.proportional;
    }
    d.m_nErrorCaps = m_nStyle == 0 ? 1 : 0;
    d.m_nXYErrorStyle = std::max(m_nXYType, 0);
    if (m_bAllowTable)
        d.m_strSource = m_strTable;
    d.m_crError = m_crColour;
    d.m_nErrorWidth = m_nWidth;
    d.m_bPointsValid = 0;
    d.SetModified();
    if (CDrawGraph* graph = d.GetGraph())
        graph->OnDataChanged();
    return true;
}

// ---------------------------------------------------------------- data source

CDataSourcePage::CDataSourcePage(CXYDatasetTable* dataset, CWizardCatalog* catalog, QWidget* parent)
    : CWizardPage(3555, tr("Data Source"), parent), m_pDataset(dataset), m_pCatalog(catalog)
{
    m_strTable = dataset->m_strSource;
    m_nXColumn = dataset->m_nXColumn;
    m_nYColumn = dataset->m_nYColumn;
    m_bTransform = dataset->m_bTransform;
    m_strTransform = dataset->m_strTransform;
    QGridLayout* grid = Grid(this);
    m_table = new QComboBox(this);
    m_x = new QComboBox(this);
    m_y = new QComboBox(this);
    m_transformCheck = new QCheckBox(tr("&Transform as"), this);
    m_transform = new QComboBox(this);
    AddRow(grid, tr("&Data table"), m_table);
    AddRow(grid, tr("&X column"), m_x);
    AddRow(grid, tr("&Y column"), m_y);
    grid->addWidget(m_transformCheck, grid->rowCount(), 0);
    grid->addWidget(m_transform, grid->rowCount() - 1, 1);
    grid->setRowStretch(grid->rowCount(), 1);
    connect(m_table, &QComboBox::currentIndexChanged, this, [this] {
        if (m_bFilling)
            return;
        m_strTable = m_table->currentText().toStdString();
        FillColumns();
        SetModified();
    });
    for (QComboBox* c : {m_x, m_y, m_transform})
        connect(c, &QComboBox::activated, this, [this] { SetModified(); });
    connect(m_transformCheck, &QCheckBox::toggled, this, [this](bool on) {
        m_transform->setEnabled(on);
        SetModified();
    });
    UpdateData(false);
    SetModified(false);
}

void CDataSourcePage::FillColumns()
{
    m_bFilling = true;
    CGraphSources* sources = SourcesOf(m_pDataset);
    const std::vector<std::string> columns = ColumnNames(sources ? sources->FindTable(m_strTable) : nullptr);
    SetItems(m_x, columns);
    SetItems(m_y, columns);
    Select(m_x, m_nXColumn);
    Select(m_y, m_nYColumn);
    m_bFilling = false;
}

void CDataSourcePage::DoDataExchange(CDataExchange* pDX)
{
    if (!pDX->m_bSaveAndValidate) {
        m_bFilling = true;
        SetItems(m_table, m_pCatalog ? m_pCatalog->GetItemNames(WizardKind::Table) : std::vector<std::string>{});
        SetItems(m_transform, m_pCatalog ? m_pCatalog->GetItemNames(WizardKind::Transform) : std::vector<std::string>{});
        m_table->setCurrentIndex(m_table->findText(Q(m_strTable), Qt::MatchFixedString));
        m_transform->setCurrentIndex(m_transform->findText(Q(m_strTransform), Qt::MatchFixedString));
        m_bFilling = false;
        FillColumns();
        m_transformCheck->setChecked(m_bTransform);
        m_transform->setEnabled(m_bTransform);
        return;
    }
    m_strTable = m_table->currentText().toStdString();
    m_nXColumn = m_x->currentIndex();
    m_nYColumn = m_y->currentIndex();
    m_bTransform = m_transformCheck->isChecked();
    m_strTransform = m_transform->currentText().toStdString();
    if (m_nXColumn < 0 && !Refuse(IDS_SELECT_DATA_COLUMN, m_x))
        return pDX->Fail();
    if (m_nYColumn < 0 && !Refuse(IDS_SELECT_DATA_COLUMN, m_y))
        return pDX->Fail();
    if (m_bTransform && m_strTransform.empty() && !Refuse(IDS_SELECT_TRANSFORMATION, m_transform))
        return pDX->Fail();
}

bool CDataSourcePage::OnApply()
{
    // Only a data table can be plotted: another name stores nothing.
    if (!m_pCatalog || m_pCatalog->GetItemKind(m_strTable) != WizardKind::Table)
        return true;
    CXYDatasetTable& d = *m_pDataset;
    d.m_strSource = m_strTable;
    d.m_nXColumn = m_nXColumn;
    d.m_nYColumn = m_nYColumn;
    d.m_bTransform = m_bTransform;
    d.m_strTransform = m_bTransform ? m_strTransform : std::string();
    d.m_bPointsValid = 0;
    d.SetModified();
    if (CDrawGraph* graph = d.GetGraph())
        graph->OnDataChanged();
    return true;
}

// ---------------------------------------------------------------- legend order

CLegendOrderPage::CLegendOrderPage(CLegend* legend, QWidget* parent)
    : CWizardPage(3554, tr("Legend"), parent), m_pLegend(legend)
{
    m_nColumns = legend->m_nColumns;
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(tr("&Order"), this), 0, 0);
    m_list = new QListWidget(this);
    grid->addWidget(m_list, 1, 0, 3, 1);
    m_up = new QPushButton(tr("Move &Up"), this);
    m_down = new QPushButton(tr("Move &Down"), this);
    grid->addWidget(m_up, 1, 1);
    grid->addWidget(m_down, 2, 1);
    auto* row = new QHBoxLayout;
    m_columns = new QLineEdit(this);
    row->addWidget(new QLabel(tr("&Number of columns:"), this));
    row->addWidget(m_columns);
    grid->addLayout(row, 4, 0, 1, 2);
    for (int n = 0; n < legend->GetEntryCount(); ++n) {
        m_order.push_back(n);
        m_list->addItem(Q(legend->GetText(n)->GetText()));
    }
    connect(m_up, &QPushButton::clicked, this, [this] { MoveUp(); });
    connect(m_down, &QPushButton::clicked, this, [this] { MoveDown(); });
    connect(m_list, &QListWidget::currentRowChanged, this, [this] { UpdateButtons(); });
    connect(m_columns, &QLineEdit::textEdited, this, [this] { SetModified(); });
    if (m_list->count() > 0)
        m_list->setCurrentRow(0);
    UpdateData(false);
    UpdateButtons();
}

void CLegendOrderPage::UpdateButtons()
{
    const int row = m_list->currentRow();
    m_up->setEnabled(row > 0);
    m_down->setEnabled(row >= 0 && row + 1 < m_list->count());
}

void CLegendOrderPage::Move(int step)
{
    const int row = m_list->currentRow();
    const int other = row + step;
    if (row < 0 || other < 0 || other >= m_list->count())
        return;
    std::swap(m_order[std::size_t(row)], m_order[std::size_t(other)]);
    QListWidgetItem* item = m_list->takeItem(row);
    m_list->insertItem(other, item);
    m_list->setCurrentRow(other);
    SetModified();
}

void CLegendOrderPage::DoDataExchange(CDataExchange* pDX)
{
    DDX_Int(pDX, m_columns, m_nColumns);
    DDV_MinMaxInt(pDX, m_nColumns, 1, 1000);
}

bool CLegendOrderPage::OnApply()
{
    // The legend may have changed under the page (a dataset removed): then the old order no longer fits.
    if (!m_pLegend->Reorder(m_order))
        return false;
    // The page now shows the legend as it is.
    std::iota(m_order.begin(), m_order.end(), 0);
    m_pLegend->m_nColumns = m_nColumns;
    m_pLegend->Relayout();
    if (CDrawGraph* graph = m_pLegend->GetGraph()) {
        graph->Invalidate();
        graph->SetModified();
    }
    return true;
}
