#include "app/widgets/FitTabViews.h"

#include "app/FitSettingsAction.h"
#include "app/MXDoc.h"
#include "app/MXEquationBase.h"
#include "app/MXGrid.h"
#include "app/MXLinear.h"
#include "app/MXNonLinear.h"
#include "app/MXResult.h"
#include "app/widgets/FitGrids.h"
#include "app/widgets/FitTabForm.h"
#include "app/widgets/InteractiveEstimate.h"
#include "equation/EquationBase.h"
#include "fitting/LinearFit.h"
#include "fitting/NonlinearFit.h"
#include "framework/UpdateNotification.h"
#include "platform/Reporter.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace {

// Kinds of items a non-linear fit may fit: equations and library equations.
constexpr int kEquationKinds = 8 | 128;
// Kind of data tables.
constexpr int kTableKind = 1;

QString ToQt(const std::string& text) { return QString::fromStdString(text); }

QLabel* Label(const QString& text, int id, QWidget* buddy, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    if (id)
        SetControlId(label, id);
    if (buddy)
        label->setBuddy(buddy);
    return label;
}

template <class W>
W* Control(W* widget, int id)
{
    SetControlId(widget, id);
    return widget;
}

std::string General(double value, int digits)
{
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, digits);
    return std::string(buffer, result.ptr);
}

// Shows a combo's entry without telling its handlers.
void SetIndex(QComboBox* combo, int index)
{
    const QSignalBlocker block(combo);
    combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
}

} // namespace

// ---------------------------------------------------------------- common

CMXResult* CFitTabPage::GetResultItem() const { return dynamic_cast<CMXResult*>(GetItem()); }

CResultTabForm* CFitTabPage::GetResultForm() const { return qobject_cast<CResultTabForm*>(GetParentForm()); }

bool CFitTabPage::ShowsEquationAnew(CDocView* sender, int hint, CObject* object) const
{
    if (IsFromForm(sender) && IsThisPage(object))
        return hint == HINT_TAB_SHOWN;
    auto* note = dynamic_cast<CUpdateNotification*>(object);
    return hint == UPDATE_HINT_NOTIFICATION && note
        && (note->kind == UN_EQUATION_CHANGED || note->kind == UN_ITEM_REMOVING || note->kind == UN_ITEMS_CHANGED);
}

void CFitTabPage::DiscardResults()
{
    if (CMXResult* item = GetResultItem())
        item->ClearResults();
}

void CFitTabPage::RecordChange(UINT descriptionId, const std::function<bool()>& change, bool discard)
{
    CMXResult* item = GetResultItem();
    if (!item)
        return;
    std::vector<BYTE> before = item->SaveSettings();
    if (change())
        RecordChange(descriptionId, std::move(before), discard);
}

void CFitTabPage::RecordChange(UINT descriptionId, std::vector<BYTE> before, bool discard)
{
    // The action finds the change made; one that changed nothing is not kept.
    if (CMXResult* item = GetResultItem())
        item->GetActionList().Add(new CFitSettingsAction(item, descriptionId, std::move(before), discard));
}

bool CFitTabPage::IsSettingsRestored(int hint, CObject* object) const
{
    return hint == HINT_FIT_SETTINGS_RESTORED && object && object == static_cast<const CObject*>(GetItem());
}

// ---------------------------------------------------------------- settings

CResultSettingsView::CResultSettingsView(int templateId)
    : CFitTabPage(templateId)
    , m_equation(Control(new QComboBox(this), IDC_FIT_EQUATION))
    , m_weighting(Control(new QComboBox(this), IDC_FIT_WEIGHTING))
    , m_table(Control(new QComboBox(this), IDC_FIT_TABLE))
    , m_x(Control(new QComboBox(this), IDC_FIT_X_COLUMN))
    , m_y(Control(new QComboBox(this), IDC_FIT_Y_COLUMN))
    , m_error(Control(new QComboBox(this), IDC_FIT_ERROR_COLUMN))
    , m_layoutCombo(Control(new QComboBox(this), IDC_FIT_LAYOUT))
    , m_limit(Control(new QCheckBox(tr("&Limit x range:"), this), IDC_FIT_LIMIT))
    , m_lower(Control(new QLineEdit(this), IDC_FIT_LOWER))
    , m_upper(Control(new QLineEdit(this), IDC_FIT_UPPER))
    , m_to(Label(tr("to"), IDC_FIT_TO, nullptr, this))
    , m_xLabel(Label(tr("&X data column"), IDC_FIT_X_LABEL, m_x, this))
    , m_yLabel(Label(tr("&Y data column"), IDC_FIT_Y_LABEL, m_y, this))
    , m_errorLabel(Label(tr("Err&or column"), IDC_FIT_ERROR_LABEL, m_error, this))
    , m_equationLabel(Label(tr("&Equation"), 0, m_equation, this))
    , m_extra(new QWidget(this))
{
    for (UINT id : {IDS_WEIGHTING_SIMPLE, IDS_WEIGHTING_STATISTICAL, IDS_WEIGHTING_PROPORTIONAL, IDS_WEIGHTING_EXPLICIT})
        m_weighting->addItem(ToQt(LoadString(id)));
    auto* grid = new QGridLayout(this);
    int row = 0;
    grid->addWidget(m_equationLabel, row, 0);
    grid->addWidget(m_equation, row, 1);
    grid->addWidget(m_extra, row++, 2, 1, 3);
    grid->addWidget(Label(tr("&Data table"), 0, m_table, this), row, 0);
    grid->addWidget(m_table, row++, 1);
    grid->addWidget(m_xLabel, row, 0);
    grid->addWidget(m_x, row++, 1);
    grid->addWidget(m_yLabel, row, 0);
    grid->addWidget(m_y, row++, 1);
    grid->addWidget(Label(tr("&Weighting"), 0, m_weighting, this), row, 0);
    grid->addWidget(m_weighting, row++, 1);
    grid->addWidget(m_errorLabel, row, 0);
    grid->addWidget(m_error, row++, 1);
    auto* range = new QHBoxLayout;
    range->addWidget(m_lower);
    range->addWidget(m_to);
    range->addWidget(m_upper);
    grid->addWidget(m_limit, row, 0);
    grid->addLayout(range, row++, 1);
    grid->addWidget(Label(tr("Data l&ayout"), 0, m_layoutCombo, this), row, 0);
    grid->addWidget(m_layoutCombo, row++, 1);
    grid->setRowStretch(row, 1);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 1);

    for (QComboBox* combo : {m_equation, m_weighting, m_table, m_x, m_y, m_error, m_layoutCombo})
        connect(combo, qOverload<int>(&QComboBox::activated), this, [this] { OnControlChanged(); });
    connect(m_limit, &QCheckBox::clicked, this, [this] { OnControlChanged(); });
    for (QLineEdit* edit : {m_lower, m_upper})
        connect(edit, &QLineEdit::editingFinished, this, [this] { OnControlChanged(); });
}

IntDoubleRecord CResultSettingsView::ParseLimit(const std::string& input)
{
    IntDoubleRecord limit;
    std::string_view text(input.data(), std::min<std::size_t>(input.size(), 31));
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    double value = 0.0;
    auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || ptr == text.data() || !std::isfinite(value))
        return limit;
    for (const char* p = ptr; p < text.data() + text.size(); ++p)
        if (*p != ' ' && *p != '\t')
            return limit;
    limit.n = 1;
    limit.value = value;
    return limit;
}

std::string CResultSettingsView::FormatLimit(const IntDoubleRecord& limit)
{
    return limit.n ? General(limit.value, 15) : std::string();
}

void CResultSettingsView::FillTables()
{
    std::vector<std::string> names;
    if (auto* doc = dynamic_cast<CMXDoc*>(GetDocument()))
        doc->GetItemNames(kTableKind, names);
    const QSignalBlocker block(m_table);
    m_table->clear();
    for (const std::string& name : names)
        m_table->addItem(ToQt(name));
    m_table->setCurrentIndex(m_table->findText(ToQt(m_strTable), Qt::MatchFixedString));
}

void CResultSettingsView::FillColumns()
{
    CMXGrid* data = nullptr;
    if (auto* doc = dynamic_cast<CMXDoc*>(GetDocument()); doc && !m_strTable.empty())
        data = dynamic_cast<CMXGrid*>(doc->FindItem(m_strTable));
    if (!data)
        m_nX = m_nY = m_nError = -1;
    for (QComboBox* combo : {m_x, m_y, m_error}) {
        const QSignalBlocker block(combo);
        combo->clear();
        if (data)
            for (int c = 0; c <= data->GetTable().GetLastColumn(); ++c)
                combo->addItem(ToQt(data->GetTable().GetColumnName(c)));
    }
    SetIndex(m_x, m_nX);
    SetIndex(m_y, m_nY);
    SetIndex(m_error, m_nError);
}

void CResultSettingsView::FillLayouts()
{
    static const UINT kTexts[6] = {0, IDS_LAYOUT_MANY_Y, IDS_LAYOUT_PAIRS, IDS_LAYOUT_MANY_Y, IDS_LAYOUT_PAIRS, 0};
    const QSignalBlocker block(m_layoutCombo);
    m_layoutCombo->clear();
    for (int layout : GetLayoutChoices())
        m_layoutCombo->addItem(kTexts[layout] ? ToQt(LoadString(kTexts[layout])) : tr("One data set"));
}

void CResultSettingsView::ShowValues()
{
    m_bLoading = true;
    FillEquationCombo();
    SetIndex(m_weighting, m_nWeighting);
    FillTables();
    FillColumns();
    FillLayouts();
    const std::vector<int> choices = GetLayoutChoices();
    const auto at = std::find(choices.begin(), choices.end(), m_nLayout);
    SetIndex(m_layoutCombo, at == choices.end() ? 0 : int(at - choices.begin()));
    m_limit->setChecked(m_bLimit);
    m_lower->setText(ToQt(FormatLimit(m_lower_)));
    m_upper->setText(ToQt(FormatLimit(m_upper_)));
    m_bLoading = false;
    EnableControls();
}

void CResultSettingsView::ReadValues()
{
    m_nWeighting = std::max(0, m_weighting->currentIndex());
    const std::string table = m_table->currentText().toStdString();
    if (table != m_strTable) {
        // Another table: its columns are other columns.
        m_strTable = table;
        m_nX = m_nY = m_nError = -1;
        FillColumns();
    } else {
        m_nX = m_x->currentIndex();
        m_nY = m_y->currentIndex();
        m_nError = m_error->currentIndex();
    }
    if (m_nWeighting != kWeightErrors)
        m_nError = -1;
    m_bLimit = m_limit->isChecked();
    m_lower_ = ParseLimit(m_lower->text().toStdString());
    m_upper_ = ParseLimit(m_upper->text().toStdString());
    // A text that is no number is cleared and leaves the limit unset.
    if (!m_lower_.n)
        m_lower->clear();
    if (!m_upper_.n)
        m_upper->clear();
    const std::vector<int> choices = GetLayoutChoices();
    const int entry = m_layoutCombo->currentIndex();
    m_nLayout = entry >= 0 && entry < int(choices.size()) ? choices[std::size_t(entry)] : choices.front();
}

void CResultSettingsView::OnInitialUpdate()
{
    LoadFromItem();
    ShowValues();
}

void CResultSettingsView::LoadFromItem()
{
    CMXResult* item = GetResultItem();
    if (!item)
        return;
    m_nWeighting = item->m_nWeighting;
    m_strTable = item->GetSourceName();
    m_nX = item->m_nXColumn;
    m_nY = item->m_nYColumn;
    m_nError = item->m_nWeighting == kWeightErrors ? item->m_nErrColumn : -1;
    m_bLimit = item->m_nRangeTest != 0;
    m_lower_ = item->m_lower;
    m_upper_ = item->m_upper;
    m_nLayout = item->m_nXKind;
    UpdateLabels();
}

void CResultSettingsView::SaveToItem()
{
    CMXResult* item = GetResultItem();
    if (!item)
        return;
    item->SetSourceName(m_strTable);
    item->m_nWeighting = m_nWeighting;
    item->m_nXColumn = m_nX;
    item->m_nYColumn = m_nY;
    item->m_nErrColumn = m_nError;
    item->m_nRangeTest = m_bLimit ? 1 : 0;
    item->m_lower = m_lower_;
    item->m_upper = m_upper_;
    item->m_nXKind = m_nLayout;
    item->SetModified(true);
}

void CResultSettingsView::UpdateLabels()
{
    const bool single = m_nLayout == 0 || m_nLayout == 5;
    m_errorLabel->setText(single ? tr("E&rror column") : tr("Last E&rror column"));
    m_yLabel->setText(single ? tr("&Y data column") : tr("Last &Y data column"));
    m_xLabel->setText(m_nLayout == 2 || m_nLayout == 4 ? tr("First &X data column") : tr("&X data column"));
    CMXResult* item = GetResultItem();
    m_nError = m_nWeighting == kWeightErrors && item ? item->m_nErrColumn : -1;
}

void CResultSettingsView::CheckChanged(bool& changed, bool& labels)
{
    CMXResult* item = GetResultItem();
    if (!item)
        return;
    const bool explicitWeights = m_nWeighting == kWeightErrors;
    if (m_strTable != item->GetSourceName() || m_nX != item->m_nXColumn || m_bLimit != (item->m_nRangeTest != 0)
        || !(m_lower_ == item->m_lower) || !(m_upper_ == item->m_upper))
        changed = true;
    if (m_nWeighting != item->m_nWeighting || m_nY != item->m_nYColumn || m_nLayout != item->m_nXKind
        || (explicitWeights && m_nError != item->m_nErrColumn))
        changed = labels = true;
}

void CResultSettingsView::EnableControls()
{
    const bool manyX = m_nLayout == 5;
    if (manyX) {
        // Without an x column there is no x range to limit.
        m_limit->setChecked(false);
        m_bLimit = false;
    }
    m_limit->setEnabled(!manyX);
    for (QWidget* w : {static_cast<QWidget*>(m_lower), static_cast<QWidget*>(m_upper), static_cast<QWidget*>(m_to)})
        w->setEnabled(m_bLimit && !manyX);
    m_xLabel->setEnabled(!manyX);
    m_x->setEnabled(!manyX);
    const bool error = m_nWeighting == kWeightErrors && (m_nLayout == 0 || m_nLayout == 5);
    m_error->setEnabled(error);
    m_errorLabel->setEnabled(error);
}

void CResultSettingsView::OnControlChanged()
{
    if (m_bLoading || !GetResultItem())
        return;
    ReadValues();
    RecordChange(IDS_FIT_TAB_SETTINGS, [this] {
        bool changed = false, labels = false;
        CheckChanged(changed, labels);
        if (changed) {
            SaveToItem();
            if (labels) {
                UpdateLabels();
                ShowValues();
            }
            DiscardResults();
        }
        return changed;
    });
    EnableControls();
}

void CResultSettingsView::OnUpdate(CDocView* sender, int hint, CObject* object)
{
    if (IsSettingsRestored(hint, object)) {
        LoadFromItem();
        ShowValues();
        return;
    }
    if (IsFromForm(sender) && IsThisPage(object)) {
        if (hint == HINT_TAB_SHOWN) {
            LoadFromItem();
            ShowValues();
        } else if (hint == HINT_TAB_STORE || hint == HINT_TAB_HIDDEN) {
            // A limit typed but not yet left is taken too.
            if (m_lower->hasFocus() || m_upper->hasFocus())
                OnControlChanged();
        }
        return;
    }
    auto* note = dynamic_cast<CUpdateNotification*>(object);
    CMXResult* item = GetResultItem();
    if (hint != UPDATE_HINT_NOTIFICATION || !note || !item)
        return;
    const bool ourTable = note->item && note->item->GetName() == m_strTable;
    switch (note->kind) {
    case UN_ITEM_RENAMED:
    case UN_ITEM_REMOVING:
        m_strTable = item->GetSourceName();
        FillTables();
        if (note->kind == UN_ITEM_REMOVING)
            FillColumns();
        break;
    case UN_ITEMS_CHANGED: FillTables(); break;
    case UN_CELLS_CHANGED:
    case UN_ROWS_INSERTED:
    case UN_ROWS_DELETED:
    case UN_BLOCK_CHANGED:
    case UN_BLOCK_DELETED:
        if (ourTable)
            if (auto* data = dynamic_cast<CMXGrid*>(note->item); data && data->GetTable().GetLastColumn() >= m_y->count())
                FillColumns();
        break;
    case UN_NAME_ROW_CHANGED:
        if (ourTable)
            FillColumns();
        break;
    case UN_COLUMNS_INSERTED:
    case UN_COLUMNS_DELETED:
        if (ourTable) {
            // The item has moved its columns already.
            m_nX = item->m_nXColumn;
            m_nY = item->m_nYColumn;
            m_nError = item->m_nWeighting == kWeightErrors ? item->m_nErrColumn : -1;
            FillColumns();
        }
        break;
    default: break;
    }
}

// ---------------------------------------------------------------- linear settings

CLinearFitView::CLinearFitView() : CResultSettingsView(3504) { setObjectName("CLinearFitView"); }

void CLinearFitView::FillEquationCombo()
{
    if (m_equation->count() == 0)
        for (int order = 1; order <= CMXLinear::kMaxOrder; ++order)
            m_equation->addItem(ToQt(LoadString(IDS_POLYNOMIAL_ORDER_1 + UINT(order - 1))));
    if (auto* item = dynamic_cast<CMXLinear*>(GetResultItem()))
        SetIndex(m_equation, item->GetOrder() - 1);
}

void CLinearFitView::LoadFromItem() { CResultSettingsView::LoadFromItem(); }

void CLinearFitView::SaveToItem()
{
    CResultSettingsView::SaveToItem();
    if (auto* item = dynamic_cast<CMXLinear*>(GetResultItem()))
        item->SetOrder(std::max(0, m_equation->currentIndex()) + 1);
}

void CLinearFitView::CheckChanged(bool& changed, bool& labels)
{
    CResultSettingsView::CheckChanged(changed, labels);
    if (auto* item = dynamic_cast<CMXLinear*>(GetResultItem()))
        if (m_equation->currentIndex() >= 0 && m_equation->currentIndex() + 1 != item->GetOrder())
            changed = true;
}

// ---------------------------------------------------------------- non-linear settings

CNonlinFitView::CNonlinFitView()
    : CResultSettingsView(3508)
    , m_robust(Control(new QCheckBox(tr("&Robust"), m_extra), IDC_FIT_ROBUST))
    , m_xName(Label({}, IDC_FIT_X_NAME, nullptr, this))
    , m_yName(Label({}, IDC_FIT_Y_NAME, nullptr, this))
{
    setObjectName("CNonlinFitView");
    auto* extra = new QHBoxLayout(m_extra);
    extra->setContentsMargins(0, 0, 0, 0);
    extra->addWidget(m_robust);
    extra->addStretch();
    auto* grid = qobject_cast<QGridLayout*>(layout());
    grid->addWidget(m_xName, 2, 2);
    grid->addWidget(m_yName, 3, 2);
    connect(m_robust, &QCheckBox::clicked, this, [this] { OnControlChanged(); });
}

int CNonlinFitView::XCount() const
{
    auto* item = dynamic_cast<CMXNonLinear*>(GetResultItem());
    const CEquationBase* eq = item ? item->FindEquation(m_strEquation) : nullptr;
    return eq && eq->IsValid() ? eq->GetXCount() : 0;
}

std::vector<int> CNonlinFitView::GetLayoutChoices() const
{
    const int m = XCount();
    if (m > 5)
        return {5};
    if (m >= 2)
        return {3, 4, 5};
    return {0, 1, 2};
}

void CNonlinFitView::AdjustLayout()
{
    const int m = XCount();
    if (m <= 1 && m_nLayout >= 3)
        m_nLayout = 0;
    else if (m >= 2 && m <= 5 && m_nLayout != 3 && m_nLayout != 4)
        m_nLayout = 5;
    else if (m > 5)
        m_nLayout = 5;
}

void CNonlinFitView::FillEquationCombo()
{
    auto* item = dynamic_cast<CMXNonLinear*>(GetResultItem());
    auto* doc = dynamic_cast<CMXDoc*>(GetDocument());
    std::vector<std::string> names;
    if (doc)
        doc->GetItemNames(kEquationKinds, names);
    const QSignalBlocker block(m_equation);
    m_equation->clear();
    for (const std::string& name : names)
        m_equation->addItem(ToQt(name));
    const int at = m_equation->findText(ToQt(m_strEquation), Qt::MatchFixedString);
    if (at < 0)
        m_strEquation.clear();
    m_equation->setCurrentIndex(at);
    // The names of the equation's variables stand next to their columns.
    const CEquationBase* eq = item ? item->FindEquation(m_strEquation) : nullptr;
    m_xName->setText(eq && eq->IsValid() && eq->GetXCount() > 0 ? ToQt(eq->GetXName(0)) : QString());
    m_yName->setText(eq && eq->IsValid() ? ToQt(eq->GetYName()) : QString());
    m_robust->setChecked(m_bRobust);
}

void CNonlinFitView::LoadFromItem()
{
    if (auto* item = dynamic_cast<CMXNonLinear*>(GetResultItem())) {
        m_strEquation = item->GetEquationName();
        m_bRobust = item->GetRobust();
    }
    CResultSettingsView::LoadFromItem();
}

void CNonlinFitView::SaveToItem()
{
    CResultSettingsView::SaveToItem();
    if (auto* item = dynamic_cast<CMXNonLinear*>(GetResultItem())) {
        item->SetEquationName(m_strEquation);
        item->SetRobust(m_bRobust);
    }
}

void CNonlinFitView::UpdateLabels() { CResultSettingsView::UpdateLabels(); }

void CNonlinFitView::CheckChanged(bool& changed, bool& labels)
{
    auto* item = dynamic_cast<CMXNonLinear*>(GetResultItem());
    if (!item)
        return;
    const std::string equation = m_equation->currentIndex() >= 0 ? m_equation->currentText().toStdString() : m_strEquation;
    if (equation != m_strEquation) {
        // Another equation: the layout follows its number of x variables.
        m_strEquation = equation;
        AdjustLayout();
    }
    m_bRobust = m_robust->isChecked();
    CResultSettingsView::CheckChanged(changed, labels);
    if (m_strEquation != item->GetEquationName())
        changed = labels = true;
    if (m_bRobust != item->GetRobust())
        changed = true;
}

void CNonlinFitView::OnUpdate(CDocView* sender, int hint, CObject* object)
{
    CResultSettingsView::OnUpdate(sender, hint, object);
    auto* note = dynamic_cast<CUpdateNotification*>(object);
    auto* item = dynamic_cast<CMXNonLinear*>(GetResultItem());
    if (hint != UPDATE_HINT_NOTIFICATION || !note || !item || IsFromForm(sender))
        return;
    switch (note->kind) {
    case UN_ITEM_RENAMED:
        if (note->oldName == m_strEquation)
            m_strEquation = note->newName;
        FillEquationCombo();
        break;
    case UN_ITEM_REMOVING:
    case UN_ITEMS_CHANGED: FillEquationCombo(); break;
    case UN_EQUATION_CHANGED:
        if (note->item && note->item->GetName() == m_strEquation) {
            const int before = m_nLayout;
            AdjustLayout();
            if (before != m_nLayout)
                item->m_nXKind = m_nLayout;
            UpdateLabels();
            ShowValues();
        }
        break;
    default: break;
    }
}

// ---------------------------------------------------------------- results

CFitResView::CFitResView(int templateId, const QString& chiLabel)
    : CFitTabPage(templateId)
    , m_caption(Label({}, IDC_FIT_RESULT_CAPTION, nullptr, this))
    , m_xName(Label({}, IDC_FIT_X_LABEL, nullptr, this))
    , m_yName(Label({}, IDC_FIT_Y_LABEL, nullptr, this))
    , m_errorName(Label({}, IDC_FIT_ERROR_NAME, nullptr, this))
    , m_errorLabel(Label(tr("Err column"), 0, nullptr, this))
    , m_points(Control(new QLineEdit(this), IDC_FIT_POINTS))
    , m_chi(Control(new QLineEdit(this), IDC_FIT_CHI_SQUARE))
    , m_status(Label({}, IDC_FIT_STATUS, nullptr, this))
    , m_grid(new CResultGrid(this))
    , m_extra(new QWidget(this))
{
    m_points->setReadOnly(true);
    m_chi->setReadOnly(true);
    m_status->setWordWrap(true);
    SetControlId(m_grid, IDC_FIT_RESULT_GRID);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_caption);
    auto* names = new QGridLayout;
    names->addWidget(new QLabel(tr("X column"), this), 0, 0);
    names->addWidget(m_xName, 0, 1);
    names->addWidget(new QLabel(tr("Y column"), this), 1, 0);
    names->addWidget(m_yName, 1, 1);
    names->addWidget(m_errorLabel, 2, 0);
    names->addWidget(m_errorName, 2, 1);
    names->addWidget(Label(tr("Number of data points:"), 0, m_points, this), 0, 2);
    names->addWidget(m_points, 0, 3);
    names->addWidget(Label(chiLabel, 0, m_chi, this), 1, 2);
    names->addWidget(m_chi, 1, 3);
    names->addWidget(m_extra, 2, 2, 1, 2);
    names->setColumnStretch(1, 1);
    layout->addLayout(names);
    layout->addWidget(m_status);
    layout->addWidget(new QLabel(tr("Results"), this));
    layout->addWidget(m_grid, 1);
    auto* buttons = new QHBoxLayout;
    const Qt::ArrowType arrows[4] = {Qt::UpArrow, Qt::LeftArrow, Qt::RightArrow, Qt::DownArrow};
    const QString tips[4] = {tr("First result"), tr("Previous result"), tr("Next result"), tr("Last result")};
    for (int i = 0; i < 4; ++i) {
        m_nav[i] = Control(new QToolButton(this), IDC_FIT_FIRST + i);
        m_nav[i]->setArrowType(arrows[i]);
        m_nav[i]->setToolTip(tips[i]);
        buttons->addWidget(m_nav[i]);
        connect(m_nav[i], &QToolButton::clicked, this, [this, i] {
            CMXResult* item = GetResultItem();
            const int last = item ? std::max(0, item->GetSetCount() - 1) : 0;
            const int target[4] = {0, m_nSet - 1, m_nSet + 1, last};
            SetCurrentSet(target[i]);
        });
    }
    buttons->addStretch();
    layout->addLayout(buttons);
}

void CFitResView::OnInitialUpdate()
{
    m_grid->CreateInDialog(this, IDC_FIT_RESULT_GRID, QRect());
    Refresh();
}

void CFitResView::SetCurrentSet(int set)
{
    CMXResult* item = GetResultItem();
    const int count = item ? item->GetSetCount() : 0;
    m_nSet = std::clamp(set, 0, std::max(0, count - 1));
    Refresh();
}

void CFitResView::Refresh()
{
    CMXResult* item = GetResultItem();
    m_caption->clear();
    m_xName->clear();
    m_yName->clear();
    m_errorName->clear();
    m_status->clear();
    if (!item)
        return;
    const int count = item->GetSetCount();
    m_nSet = std::clamp(m_nSet, 0, std::max(0, count - 1));
    const bool explicitWeights = item->GetWeighting() == kWeightErrors;
    if (CMXGrid* data = item->FindDataItem(); data && count > 0) {
        auto name = [&](int c) { return c >= 0 ? ToQt(data->GetTable().GetColumnName(c)) : QString(); };
        m_xName->setText(name(item->GetSetXColumn(m_nSet)));
        m_yName->setText(name(item->GetSetYColumn(m_nSet)));
        if (explicitWeights)
            m_errorName->setText(name(item->GetSetErrorColumn(m_nSet)));
    }
    if (count > 1)
        m_caption->setText(ToQt(FormatString(IDS_RESULT_N_OF_M, {std::to_string(m_nSet + 1), std::to_string(count)})));
    m_errorLabel->setEnabled(explicitWeights);
    m_grid->SetFormat(item->GetNumberFormat());
    const bool fitted = ShowResults();
    if (!fitted) {
        m_points->clear();
        m_chi->clear();
        m_grid->Clear();
    }
    EnableControls(fitted);
}

void CFitResView::FillGrid(CMXResult& item, int set)
{
    m_grid->Clear();
    for (int p = 0; p < item.GetParameterCount(); ++p) {
        double value = 0.0, error = 0.0;
        std::string name;
        item.GetParameterName(p, name);
        if (item.GetParameter(set, p, value, error))
            m_grid->SetResult(p, name, value, error);
    }
}

void CFitResView::EnableControls(bool fitted)
{
    CMXResult* item = GetResultItem();
    const int count = item ? item->GetSetCount() : 0;
    m_grid->setEnabled(fitted);
    m_points->setEnabled(fitted);
    m_chi->setEnabled(fitted);
    m_nav[0]->setEnabled(count > 0 && m_nSet > 0);
    m_nav[1]->setEnabled(count > 0 && m_nSet > 0);
    m_nav[2]->setEnabled(m_nSet < count - 1);
    m_nav[3]->setEnabled(m_nSet < count - 1);
}

void CFitResView::OnUpdate(CDocView* sender, int hint, CObject* object)
{
    if (IsFromForm(sender) && IsThisPage(object)) {
        if (hint == HINT_TAB_SHOWN)
            Refresh();
        return;
    }
    auto* note = dynamic_cast<CUpdateNotification*>(object);
    CMXResult* item = GetResultItem();
    if (hint != UPDATE_HINT_NOTIFICATION || !note || !item)
        return;
    if ((note->kind == UN_NAME_ROW_CHANGED && note->item && note->item->GetName() == item->GetSourceName())
        || (note->kind == UN_CALC_STATE && note->item == item))
        Refresh();
}

CLinearFitResView::CLinearFitResView()
    : CFitResView(3505, tr("Chi\u00B2 value:"))
    , m_correlationLabel(Label(tr("Correlation coefficient:"), IDC_FIT_CORRELATION_LABEL, nullptr, m_extra))
    , m_correlation(Control(new QLineEdit(m_extra), IDC_FIT_CORRELATION))
{
    setObjectName("CLinearFitResView");
    m_correlation->setReadOnly(true);
    auto* row = new QHBoxLayout(m_extra);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(m_correlationLabel);
    row->addWidget(m_correlation);
}

bool CLinearFitResView::ShowResults()
{
    auto* item = dynamic_cast<CMXLinear*>(GetResultItem());
    const int set = GetCurrentSet();
    auto* fit = item ? dynamic_cast<CLinearFit*>(item->GetFit(set)) : nullptr;
    const bool fitted = fit && item->GetSetStatus(set) == CMXResult::kSetFitted && fit->IsFitted();
    const bool line = item && item->GetOrder() == 1;
    m_correlationLabel->setVisible(line);
    m_correlation->setVisible(line);
    m_correlationLabel->setEnabled(fitted);
    m_correlation->setEnabled(fitted);
    if (!fitted) {
        m_correlation->clear();
        return false;
    }
    const CDataFormat& format = item->GetNumberFormat();
    m_chi->setText(ToQt(format.FormatNumber(fit->GetChiSq())));
    m_correlation->setText(ToQt(format.FormatNumber(fit->GetCorrelation())));
    m_points->setText(QString::number(fit->GetPointCount()));
    FillGrid(*item, set);
    return true;
}

CNonlinFitResView::CNonlinFitResView() : CFitResView(3525, tr("Reduced chi\u00B2 value:"))
{
    setObjectName("CNonlinFitResView");
}

bool CNonlinFitResView::ShowResults()
{
    auto* item = dynamic_cast<CMXNonLinear*>(GetResultItem());
    const int set = GetCurrentSet();
    CNonlinearFit* fit = item ? item->GetNonlinearFit(set) : nullptr;
    if (!fit || !fit->GetEquation()->IsValid())
        return false;
    const CDataFormat& format = item->GetNumberFormat();
    m_chi->setText(ToQt(format.FormatNumber(fit->GetReducedChiSq())));
    m_points->setText(QString::number(fit->GetPointCount()));
    // A fit that ran out of iterations before settling must not read as converged.
    if (fit->IsIterationLimitReached())
        m_status->setText(ToQt(FormatString(IDS_FIT_STOPPED_AT_LIMIT, {General(fit->GetLastRelativeChange(), 3)})));
    else
        m_status->setText(ToQt(LoadString(IDS_RESULT_CONVERGED)));
    FillGrid(*item, set);
    return true;
}

// ---------------------------------------------------------------- number format

CLinearFitFormatView::CLinearFitFormatView()
    : CFitTabPage(3509)
    , m_decimals(Control(new QSpinBox(this), IDC_FIT_DECIMALS))
    , m_maxDigits(Control(new QSpinBox(this), IDC_FIT_MAX_DIGITS))
    , m_zeros(Control(new QComboBox(this), IDC_FIT_ZEROS))
    , m_scientific(Control(new QCheckBox(tr("&Scientific format"), this), IDC_FIT_SCIENTIFIC))
    , m_thousands(Control(new QCheckBox(tr("&Thousands separator"), this), IDC_FIT_THOUSANDS))
    , m_small(Control(new QCheckBox(tr("Use scientific format for small &values"), this), IDC_FIT_SMALL_VALUES))
{
    setObjectName("CLinearFitFormatView");
    m_decimals->setRange(0, 15);
    m_maxDigits->setRange(7, 30);
    m_zeros->addItems({tr("Show 0's"), tr("Omit 0's"), tr("Replace with spaces")});
    auto* form = new QFormLayout;
    form->addRow(Label(tr("&Decimal places:"), 0, m_decimals, this), m_decimals);
    form->addRow(Label(tr("&Max digits:"), 0, m_maxDigits, this), m_maxDigits);
    form->addRow(Label(tr("Trailing &zeros in fraction"), 0, m_zeros, this), m_zeros);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_scientific);
    layout->addWidget(m_thousands);
    layout->addWidget(m_small);
    layout->addStretch();
    connect(m_decimals, &QSpinBox::editingFinished, this, [this] { Store(); });
    connect(m_maxDigits, &QSpinBox::editingFinished, this, [this] { Store(); });
    connect(m_decimals, qOverload<int>(&QSpinBox::valueChanged), this, [this] { Store(); });
    connect(m_maxDigits, qOverload<int>(&QSpinBox::valueChanged), this, [this] { Store(); });
    connect(m_zeros, qOverload<int>(&QComboBox::activated), this, [this] { Store(); });
    for (QCheckBox* box : {m_scientific, m_thousands, m_small})
        connect(box, &QCheckBox::clicked, this, [this] { Store(); });
}

void CLinearFitFormatView::OnInitialUpdate() { Show(); }

void CLinearFitFormatView::Show()
{
    CMXResult* item = GetResultItem();
    if (!item)
        return;
    m_bShowing = true;
    const CDataFormat& f = item->GetNumberFormat();
    m_decimals->setValue(std::clamp(f.m_decimals, 0, 15));
    m_maxDigits->setMinimum(std::max(7, m_decimals->value() + 1));
    m_maxDigits->setValue(std::clamp(f.m_maxDigits, 7, 30));
    m_zeros->setCurrentIndex(std::clamp(f.m_trailingZeros, 0, 2));
    auto tri = [](QCheckBox* box, int value) {
        box->setTristate(value == CDataFormat::kUnsetFlag);
        box->setCheckState(value == CDataFormat::kUnsetFlag ? Qt::PartiallyChecked : value ? Qt::Checked : Qt::Unchecked);
    };
    tri(m_scientific, f.m_scientific);
    tri(m_thousands, f.m_thousands);
    m_small->setChecked(f.m_scientificForSmall != 0);
    m_bShowing = false;
    EnableControls();
}

void CLinearFitFormatView::EnableControls() { m_small->setEnabled(m_scientific->checkState() != Qt::Checked); }

void CLinearFitFormatView::Store()
{
    CMXResult* item = GetResultItem();
    if (!item || m_bShowing)
        return;
    // Max digits never falls below 7 or below the decimals plus one.
    m_maxDigits->setMinimum(std::max(7, m_decimals->value() + 1));
    CDataFormat& f = item->NumberFormat();
    const CDataFormat before = f;
    f.m_decimals = m_decimals->value();
    f.m_maxDigits = m_maxDigits->value();
    f.m_trailingZeros = std::max(0, m_zeros->currentIndex());
    auto tri = [](QCheckBox* box) {
        return box->checkState() == Qt::PartiallyChecked ? int(CDataFormat::kUnsetFlag) : box->checkState() == Qt::Checked ? 1 : 0;
    };
    f.m_scientific = tri(m_scientific);
    f.m_thousands = tri(m_thousands);
    f.m_scientificForSmall = m_small->isChecked() ? 1 : 0;
    EnableControls();
    if (f == before)
        return;
    item->SetModified(true);
    // The results are shown in the new format.
    if (CResultTabForm* form = GetResultForm())
        if (auto* results = dynamic_cast<CFitResView*>(form->GetTabView(form->GetResultsTab())))
            results->Refresh();
}

void CLinearFitFormatView::OnUpdate(CDocView* sender, int hint, CObject* object)
{
    if (IsFromForm(sender) && IsThisPage(object) && hint == HINT_TAB_SHOWN)
        Show();
}

// ---------------------------------------------------------------- fonts and indents

CLinearFitFontView::CLinearFitFontView()
    : CTabFontView(3506,
                   {tr("Main heading text"), tr("Subheading text"), tr("Results heading text"), tr("Normal text"),
                    tr("Header/Footer text")},
                   3)
{
}

void CLinearFitFontView::SelectFontElement(int index) { SelectItemFont(dynamic_cast<CMXResult*>(GetItem()), index, 4); }

CLinearFitIndentView::CLinearFitIndentView() : CIndentView(3507, {1175, 1177, 1179, 1176, 1178}) {}

int* CLinearFitIndentView::GetIndents()
{
    auto* item = dynamic_cast<CMXResult*>(GetItem());
    return item ? item->m_layout : nullptr;
}

void CLinearFitIndentView::GetBounds(int i, const int* v, int width, int& minimum, int& maximum) const
{
    switch (i) {
    case 2: minimum = std::max(v[0], v[1]), maximum = width - 100; break;
    case 4: minimum = v[3] + 100, maximum = width; break;
    default: minimum = 0, maximum = width - 100; break;
    }
}

// ---------------------------------------------------------------- fitting criteria

CNonlinFitCriteriaView::CNonlinFitCriteriaView()
    : CFitTabPage(3526)
    , m_criterion(Control(new QCheckBox(tr("% &Chi\u00B2 change:"), this), IDC_FIT_CRITERION))
    , m_percent(Control(new QLineEdit(this), IDC_FIT_PERCENT))
    , m_minimumLabel(nullptr)
    , m_minimum(Control(new QSpinBox(this), IDC_FIT_MIN_ITERATIONS))
    , m_maximum(Control(new QSpinBox(this), IDC_FIT_MAX_ITERATIONS))
{
    setObjectName("CNonlinFitCriteriaView");
    m_minimum->setRange(1, 20);
    m_maximum->setRange(1, 100);
    m_minimumLabel = Label(tr("Mi&nimum iterations:"), IDC_FIT_MIN_LABEL, m_minimum, this);
    auto* grid = new QGridLayout;
    grid->addWidget(m_criterion, 0, 0);
    grid->addWidget(m_percent, 0, 1);
    grid->addWidget(m_minimumLabel, 1, 0);
    grid->addWidget(m_minimum, 1, 1);
    grid->addWidget(Label(tr("Ma&ximum iterations:"), 0, m_maximum, this), 2, 0);
    grid->addWidget(m_maximum, 2, 1);
    auto* store = Control(new QPushButton(tr("&Store settings as defaults"), this), IDC_FIT_STORE_DEFAULTS);
    auto* restore = Control(new QPushButton(tr("&Restore Marlox defaults"), this), IDC_FIT_RESTORE_DEFAULTS);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(store);
    buttons->addWidget(restore);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    layout->addStretch();
    connect(m_criterion, &QCheckBox::clicked, this, [this] { Store(); });
    connect(m_percent, &QLineEdit::editingFinished, this, [this] { Store(); });
    connect(m_minimum, qOverload<int>(&QSpinBox::valueChanged), this, [this] { Store(); });
    connect(m_maximum, qOverload<int>(&QSpinBox::valueChanged), this, [this] { Store(); });
    connect(store, &QPushButton::clicked, this, [this] { StoreDefaults(); });
    connect(restore, &QPushButton::clicked, this, [this] { RestoreDefaults(); });
}

void CNonlinFitCriteriaView::OnInitialUpdate() { Show(); }

void CNonlinFitCriteriaView::Show()
{
    auto* item = dynamic_cast<CMXNonLinear*>(GetResultItem());
    if (!item)
        return;
    m_bShowing = true;
    m_criterion->setChecked(item->m_nChiSqChange != 0);
    m_percent->setText(ToQt(General(item->m_dChiSqChangePercent, 6)));
    m_minimum->setValue(std::clamp(item->m_nMinIterations, 1, 20));
    EnableControls();
    m_maximum->setValue(std::clamp(item->m_nMaxIterations, m_maximum->minimum(), 100));
    m_bShowing = false;
}

void CNonlinFitCriteriaView::EnableControls()
{
    const bool on = m_criterion->isChecked();
    m_percent->setEnabled(on);
    m_minimumLabel->setEnabled(on);
    m_minimum->setEnabled(on);
    // With the criterion the maximum never falls below the minimum or 5; without it, 1 will do.
    const QSignalBlocker block(m_maximum);
    m_maximum->setMinimum(on ? std::max(5, m_minimum->value()) : 1);
}

void CNonlinFitCriteriaView::Store()
{
    auto* item = dynamic_cast<CMXNonLinear*>(GetResultItem());
    if (!item || m_bShowing)
        return;
    EnableControls();
    const int on = m_criterion->isChecked() ? 1 : 0;
    double percent = item->m_dChiSqChangePercent;
    const std::string text = m_percent->text().trimmed().toStdString();
    double value = 0.0;
    auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec == std::errc() && ptr == text.data() + text.size() && std::isfinite(value))
        percent = std::clamp(value, 0.001, 20.0);
    m_percent->setText(ToQt(General(percent, 6)));
    const int minimum = m_minimum->value(), maximum = m_maximum->value();
    if (on == item->m_nChiSqChange && percent == item->m_dChiSqChangePercent && minimum == item->m_nMinIterations
        && maximum == item->m_nMaxIterations)
        return;
    RecordChange(IDS_FIT_TAB_CRITERIA, [&] {
        item->m_nChiSqChange = on;
        item->m_dChiSqChangePercent = percent;
        item->m_nMinIterations = minimum;
        item->m_nMaxIterations = maximum;
        item->SetModified(true);
        DiscardResults();
        return true;
    });
}

void CNonlinFitCriteriaView::StoreDefaults()
{
    auto* item = dynamic_cast<CMXNonLinear*>(GetResultItem());
    if (!item)
        return;
    Store();
    if (ReportMessage(IDS_STORE_CRITERIA_QUESTION, {}, MB_YESNO | MB_ICONQUESTION) == IDYES)
        item->SaveCriteria();
}

void CNonlinFitCriteriaView::RestoreDefaults()
{
    auto* item = dynamic_cast<CMXNonLinear*>(GetResultItem());
    if (!item)
        return;
    // The results stay: they were found with the criteria they were found with.
    RecordChange(
        IDS_FIT_TAB_CRITERIA,
        [item] {
            item->SetDefaultCriteria();
            item->SetModified(true);
            return true;
        },
        false);
    Show();
}

void CNonlinFitCriteriaView::OnUpdate(CDocView* sender, int hint, CObject* object)
{
    if (IsSettingsRestored(hint, object))
        Show();
    else if (IsFromForm(sender) && IsThisPage(object)) {
        if (hint == HINT_TAB_SHOWN)
            Show();
        else if (hint == HINT_TAB_STORE || hint == HINT_TAB_HIDDEN)
            Store();
    }
}

// ---------------------------------------------------------------- constants

CNonlinFitConstView::CNonlinFitConstView() : CFitTabPage(3528), m_grid(new CConstGrid(this))
{
    setObjectName("CNonlinFitConstView");
    SetControlId(m_grid, IDC_FIT_CONSTANT_GRID);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Constants of the equation for this fit"), this));
    layout->addWidget(m_grid, 1);
}

void CNonlinFitConstView::OnInitialUpdate()
{
    m_grid->Attach(this, this, IDC_FIT_CONSTANT_GRID);
    Refresh();
}

const CEquationBase* CNonlinFitConstView::GetEquation() const
{
    auto* item = dynamic_cast<CMXNonLinear*>(GetResultItem());
    CEquationBase* eq = item ? item->GetEquation() : nullptr;
    return eq && eq->IsValid() ? eq : nullptr;
}

double CNonlinFitConstView::GetConstant(int index) const
{
    auto* item = dynamic_cast<CMXNonLinear*>(GetResultItem());
    return item ? item->GetConstantValue(index) : 0.0;
}

void CNonlinFitConstView::SetConstant(int index, double value)
{
    if (auto* item = dynamic_cast<CMXNonLinear*>(GetResultItem()))
        RecordChange(IDS_TAB_CONSTANTS, [&] {
            item->SetConstantValue(index, value);
            item->SetModified(true);
            return true;
        });
}

void CNonlinFitConstView::OnConstantsChanged()
{
    CMXResult* item = GetResultItem();
    if (item && (item->GetSetCount() > 0 || item->IsCalculating()))
        DiscardResults();
}

void CNonlinFitConstView::Refresh()
{
    const CEquationBase* eq = GetEquation();
    m_grid->Refresh();
    m_grid->setEnabled(eq && eq->GetConstantCount() > 0);
}

void CNonlinFitConstView::OnUpdate(CDocView* sender, int hint, CObject* object)
{
    if (ShowsEquationAnew(sender, hint, object) || IsSettingsRestored(hint, object))
        Refresh();
}

// ---------------------------------------------------------------- estimate ranges

namespace {
CNonlinFitEstimateView::EstimatorRunner& EstimatorRunnerSlot()
{
    static CNonlinFitEstimateView::EstimatorRunner runner;
    return runner;
}
} // namespace

void CNonlinFitEstimateView::SetEstimatorRunner(EstimatorRunner runner) { EstimatorRunnerSlot() = std::move(runner); }

CNonlinFitEstimateView::CNonlinFitEstimateView()
    : CFitTabPage(3527)
    , m_grid(new CEstimatrixGrid(this))
    , m_fromMatrix(Control(new QCheckBox(tr("&Estimates from matrix"), this), IDC_FIT_FROM_MATRIX))
    , m_estimator(Control(new QPushButton(tr("Interactive Estimator..."), this), IDC_FIT_ESTIMATOR))
{
    setObjectName("CNonlinFitEstimateView");
    SetControlId(m_grid, IDC_FIT_ESTIMATE_GRID);
    auto* top = new QHBoxLayout;
    top->addWidget(m_fromMatrix);
    top->addStretch(1);
    top->addWidget(m_estimator);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_grid, 1);
    connect(m_estimator, &QPushButton::clicked, this, [this] { RunEstimator(); });
    connect(m_fromMatrix, &QCheckBox::clicked, this, [this](bool on) {
        auto* item = dynamic_cast<CMXNonLinear*>(GetResultItem());
        if (!item || item->GetEstimatesFromMatrix() == on)
            return;
        RecordChange(IDS_FIT_TAB_ESTIMATRIX, [&] {
            item->SetEstimatesFromMatrix(on);
            item->SetModified(true);
            DiscardResults();
            return true;
        });
        EnableControls();
    });
    m_grid->SetBeforeChangeHandler([this] {
        if (CMXResult* item = GetResultItem())
            m_before = item->SaveSettings();
    });
    m_grid->SetChangeHandler([this] {
        if (CMXResult* item = GetResultItem()) {
            item->SetModified(true);
            // Other starting values may find another minimum.
            DiscardResults();
            RecordChange(IDS_FIT_TAB_ESTIMATRIX, std::move(m_before));
            m_before.clear();
        }
    });
}

void CNonlinFitEstimateView::OnInitialUpdate()
{
    m_grid->CreateFor(dynamic_cast<CMXNonLinear*>(GetResultItem()), this, IDC_FIT_ESTIMATE_GRID);
    Refresh();
}

void CNonlinFitEstimateView::EnableControls()
{
    auto* item = dynamic_cast<CMXNonLinear*>(GetResultItem());
    CEquationBase* eq = item ? item->GetEquation() : nullptr;
    const bool own = eq && eq->IsValid() && eq->GetUseParameterDefinitions() != 0;
    m_fromMatrix->setEnabled(own);
    m_fromMatrix->setChecked(item && item->GetEstimatesFromMatrix());
    const bool grid = !own || m_fromMatrix->isChecked();
    m_grid->setEnabled(grid);
    // The estimator draws y over one x, and needs a parameter to move.
    const bool plottable = eq && eq->IsValid() && eq->GetParameterCount() > 0 && eq->GetXCount() == 1;
    m_estimator->setEnabled(grid && plottable);
    m_estimator->setToolTip(m_estimator->isEnabled() ? QString()
                            : !grid ? tr("The starting values come from the equation; check Estimates from matrix")
                                    : tr("Needs a compiled equation of one x variable with parameters"));
}

void CNonlinFitEstimateView::RunEstimator()
{
    auto* item = dynamic_cast<CMXNonLinear*>(GetResultItem());
    if (!item || !m_estimator->isEnabled())
        return;
    CInteractiveEstimate dialog(item, this);
    // The starting values so far: an explicit estimate, else the start of the range.
    for (std::size_t p = 0; p < dialog.m_estimates.size(); ++p) {
        const double explicitValue = item->GetParamEstimate(int(p));
        if (!IsBlank(explicitValue))
            dialog.m_estimates[p] = explicitValue;
        else if (item->GetRangeSteps(int(p)) > 0)
            dialog.m_estimates[p] = item->GetRangeFrom(int(p));
    }
    m_openEstimator = &dialog;
    const int result = EstimatorRunnerSlot() ? EstimatorRunnerSlot()(dialog) : dialog.exec();
    m_openEstimator = nullptr;
    if (result != QDialog::Accepted)
        return;
    RecordChange(IDS_FIT_TAB_ESTIMATRIX, [&] {
        bool changed = false;
        for (std::size_t i = 0; i < dialog.m_estimates.size(); ++i) {
            const int p = int(i);
            const double value = dialog.m_estimates[i];
            if (IsBlank(value))
                continue;
            // A start alone: one value, tried as it stands.
            if (item->GetRangeSteps(p) == 1 && item->GetRangeFrom(p) == value && item->GetRangeTo(p) == value
                && IsBlank(item->GetParamEstimate(p)))
                continue;
            item->SetRangeFrom(p, value);
            item->SetRangeTo(p, value);
            item->SetRangeSteps(p, 1);
            item->SetParamEstimate(p, BlankValue());
            changed = true;
        }
        if (changed) {
            item->SetModified(true);
            DiscardResults();
        }
        return changed;
    });
    Refresh();
}

void CNonlinFitEstimateView::Refresh()
{
    m_grid->Refresh();
    EnableControls();
}

void CNonlinFitEstimateView::OnUpdate(CDocView* sender, int hint, CObject* object)
{
    // A change of the fit's table takes the estimator's points away: it closes as cancelled.
    if (auto* note = dynamic_cast<CUpdateNotification*>(object); m_openEstimator && note
        && hint == UPDATE_HINT_NOTIFICATION && note->item && GetResultItem()
        && note->item->GetName() == GetResultItem()->GetSourceName()) {
        switch (note->kind) {
        case UN_CELLS_CHANGED:
        case UN_NAME_ROW_CHANGED:
        case UN_COLUMNS_INSERTED:
        case UN_COLUMNS_DELETED:
        case UN_ROWS_INSERTED:
        case UN_ROWS_DELETED:
        case UN_BLOCK_CHANGED:
        case UN_BLOCK_DELETED: m_openEstimator->reject(); break;
        default: break;
        }
    }
    if (ShowsEquationAnew(sender, hint, object) || IsSettingsRestored(hint, object))
        Refresh();
}
