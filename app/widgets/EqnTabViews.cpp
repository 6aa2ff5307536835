#include "app/widgets/EqnTabViews.h"

#include "app/MXEquation.h"
#include "app/widgets/EqnTabForm.h"
#include "app/widgets/MXTabForm.h"
#include "equation/Equation.h"
#include "equation/widgets/SyntaxEdit.h"
#include "framework/UpdateNotification.h"
#include "grid/widgets/ParamEstGrid.h"
#include "grid/widgets/XGrid.h"
#include "platform/Reporter.h"
#include "ui/widgets/CommentRichEditCtrl.h"

#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Runs a command through a grid while the keyboard is in it.
bool GridCommand(CGridWindow* grid, UINT id, CCmdUI* ui)
{
    if (!grid || !(grid->hasFocus() || grid->isAncestorOf(QApplication::focusWidget())))
        return false;
    if (ui) {
        CGridCmdState state;
        if (!grid->OnUpdateCommand(int(id), state))
            return false;
        ui->Enable(state.enabled);
        if (state.hasText)
            ui->SetText(state.text);
        return true;
    }
    return grid->OnCommand(int(id));
}

QLabel* BuddyLabel(const QString& text, QWidget* buddy, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

QString ToQt(const std::string& text) { return QString::fromStdString(text); }

} // namespace

// ---------------------------------------------------------------- identifier edit

void CIdentifierEdit::keyPressEvent(QKeyEvent* event)
{
    const QString text = event->text();
    const bool character = !text.isEmpty() && text.at(0).isPrint() && !(event->modifiers() & Qt::ControlModifier);
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        editingFinished();
        event->accept();
        return;
    }
    if (character) {
        const QChar c = text.at(0);
        const bool allowed = c.unicode() < 0x80 && (c.isLetterOrNumber() || c == u'_');
        if (!allowed) {
            MessageBeep(0);
            event->accept();
            return;
        }
    }
    QLineEdit::keyPressEvent(event);
}

// ---------------------------------------------------------------- base of the tabs

CMXEquation* CEqnTabPage::GetEqnItem() const { return dynamic_cast<CMXEquation*>(GetItem()); }

CEquation* CEqnTabPage::GetEquation() const
{
    CMXEquation* item = GetEqnItem();
    return item ? &item->GetCompiledEquation() : nullptr;
}

void CEqnTabPage::Announce()
{
    if (auto* form = qobject_cast<CEqnTabForm*>(GetParentForm()))
        form->UpdateEquation();
}

void CEqnTabPage::InvalidateOnEdit()
{
    CMXEquation* item = GetEqnItem();
    CEquation* eq = GetEquation();
    if (!item || !eq)
        return;
    item->SetModified(true);
    const bool wasValid = eq->IsValid();
    eq->Invalidate();
    if (wasValid)
        Announce();
}

template <class Write>
void CEqnTabPage::StoreWithCheck(Write write)
{
    CMXEquation* item = GetEqnItem();
    CEquation* eq = GetEquation();
    if (!item || !eq)
        return;
    const bool wasValid = eq->IsValid();
    // Only a real change marks the workspace modified: looking at a tab does not.
    if (write(*eq))
        item->SetModified(true);
    if (wasValid && !eq->IsValid())
        Announce();
}

// ---------------------------------------------------------------- symbol grids

CEqnTabChildView::CEqnTabChildView(int templateId, CEquationBase::SymbolKind kind)
    : CEqnTabPage(templateId)
    , m_kind(kind)
{
    auto* placeholder = new QLabel(tr("Grid goes here"), this);
    SetControlId(placeholder, IDC_EQN_GRID_PLACEHOLDER);
    auto* remove = new QPushButton(tr("&Delete Row"), this);
    SetControlId(remove, IDC_EQN_DELETE_ROW);
    auto* insert = new QPushButton(tr("&Insert Row"), this);
    SetControlId(insert, IDC_EQN_INSERT_ROW);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(remove);
    buttons->addWidget(insert);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(placeholder, 1);
    layout->addLayout(buttons);
}

void CEqnTabChildView::OnInitialUpdate()
{
    CEquation* eq = GetEquation();
    if (!eq)
        return;
    m_grid = new CXGrid;
    m_grid->CreateInDialog(this, IDC_EQN_GRID_PLACEHOLDER, QRect());
    m_grid->Attach(nullptr, &eq->SymbolNames(m_kind), &eq->SymbolLabels(m_kind), true);
    m_grid->SetChangeHandler([this] { InvalidateOnEdit(); });
    m_grid->setFocus();
}

void CEqnTabChildView::SelectRow(int row)
{
    if (!m_grid)
        return;
    m_grid->setFocus();
    m_grid->SetCurrentCell(row, 1);
}

void CEqnTabChildView::OnUpdate(CDocView* sender, int hint, CObject* object)
{
    if (!IsFromForm(sender) || !m_grid || !GetEquation()) {
        CEqnTabPage::OnUpdate(sender, hint, object);
        return;
    }
    if ((hint == HINT_TAB_STORE || hint == HINT_TAB_HIDDEN) && IsThisPage(object)) {
        // A name being typed reaches the equation before it is read.
        m_grid->CommitCurrentCellEdit();
    } else if (hint == HINT_TAB_SHOWN && IsThisPage(object)) {
        m_grid->SetRowCount(int(GetEquation()->SymbolNames(m_kind).size()) + 2, true);
        m_grid->Refresh();
    }
}

bool CEqnTabChildView::OnPageCommand(UINT id, CCmdUI* ui) { return GridCommand(m_grid, id, ui); }

// ---------------------------------------------------------------- definition

CEqnDefView::CEqnDefView()
    : CEqnTabPage(3513)
    , m_yName(new CIdentifierEdit(this))
    , m_editor(new CEqnSyntaxEdit(this))
{
    SetControlId(m_yName, IDC_EQN_Y_NAME);
    m_editor->SetControlId(IDC_EQN_DEFINITION);
    auto* symbols = new QGroupBox(tr("Symbols"), this);
    SetControlId(symbols, 1571);
    auto* grid = new QGridLayout(symbols);
    const char* captions[3] = {"X variables", "Parameters", "Constants"};
    const int listIds[3] = {IDC_EQN_X_LIST, IDC_EQN_PARAMETER_LIST, IDC_EQN_CONSTANT_LIST};
    const int labelIds[3] = {1572, 1528, 1529};
    for (int i = 0; i < 3; ++i) {
        m_lists[i] = new QListWidget(symbols);
        SetControlId(m_lists[i], listIds[i]);
        QLabel* label = BuddyLabel(tr(captions[i]), m_lists[i], symbols);
        SetControlId(label, labelIds[i]);
        grid->addWidget(label, 0, i);
        grid->addWidget(m_lists[i], 1, i);
        connect(m_lists[i], &QListWidget::itemDoubleClicked, this,
                [this](QListWidgetItem* entry) { m_editor->InsertName(entry->text()); });
    }
    auto* form = new QFormLayout;
    form->addRow(BuddyLabel(tr("&Y name:"), m_yName, this), m_yName);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(BuddyLabel(tr("Equation &definition:"), m_editor, this));
    layout->addWidget(m_editor, 4);
    layout->addWidget(symbols, 1);

    connect(m_yName, &QLineEdit::textEdited, this, [this] { InvalidateOnEdit(); });
    connect(m_yName, &QLineEdit::editingFinished, this, [this] {
        Store();
        RefreshNameKeywords();
    });
    connect(m_editor, &CSyntaxEdit::textEdited, this, [this] { InvalidateOnEdit(); });
    m_editor->installEventFilter(this);
}

void CEqnDefView::OnInitialUpdate()
{
    CEquation* eq = GetEquation();
    if (!eq)
        return;
    m_strDefinition = eq->GetSource();
    m_strYName = eq->GetYName();
    FillControls();
    RefreshNameKeywords();
}

void CEqnDefView::FillControls()
{
    if (m_yName->text() != ToQt(m_strYName))
        m_yName->setText(ToQt(m_strYName));
    if (m_editor->GetSourceText() != m_strDefinition)
        m_editor->SetSourceText(m_strDefinition);
}

bool CEqnDefView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_editor && event->type() == QEvent::FocusOut)
        Store();
    return CEqnTabPage::eventFilter(watched, event);
}

void CEqnDefView::Store()
{
    m_strYName = m_yName->text().toStdString();
    m_strDefinition = m_editor->GetSourceText();
    StoreWithCheck([this](CEquation& eq) {
        const bool changed = eq.GetSource() != m_strDefinition || eq.GetYName() != m_strYName;
        eq.SetSource(m_strDefinition);
        eq.SetYName(m_strYName);
        return changed;
    });
}

void CEqnDefView::RefreshNameKeywords()
{
    CEquation* eq = GetEquation();
    if (!eq)
        return;
    std::string names = " " + eq->GetYName() + " ";
    for (auto kind : {CEquationBase::SymbolParameter, CEquationBase::SymbolConstant, CEquationBase::SymbolX})
        for (const std::string& name : eq->SymbolNames(kind))
            if (!name.empty())
                names += name + " ";
    m_editor->ClearNames();
    m_editor->AddNames(names);
    m_editor->ColourAll();
}

void CEqnDefView::OnUpdate(CDocView* sender, int hint, CObject* object)
{
    if (!IsFromForm(sender) || !GetEquation()) {
        CEqnTabPage::OnUpdate(sender, hint, object);
        return;
    }
    // What the page shows goes into the equation before anything reads it
    // and before the page leaves the screen; a page coming back shows the
    // equation as it is now (another window may have changed it).
    if ((hint == HINT_TAB_STORE || hint == HINT_TAB_HIDDEN) && IsThisPage(object)) {
        Store();
    } else if (hint == HINT_TAB_SHOWN && IsThisPage(object)) {
        CEquation* eq = GetEquation();
        m_strDefinition = eq->GetSource();
        m_strYName = eq->GetYName();
        FillControls();
        const CEquationBase::SymbolKind kinds[3] = {CEquationBase::SymbolX, CEquationBase::SymbolParameter,
                                                    CEquationBase::SymbolConstant};
        for (int i = 0; i < 3; ++i) {
            m_lists[i]->clear();
            for (const std::string& name : eq->SymbolNames(kinds[i]))
                m_lists[i]->addItem(ToQt(name));
        }
        RefreshNameKeywords();
    }
}

bool CEqnDefView::OnPageCommand(UINT id, CCmdUI* ui)
{
    if (m_editor->hasFocus())
        return m_editor->OnCmdMsg(id, ui);
    return false;
}

// ---------------------------------------------------------------- general

CEqnGeneralView::CEqnGeneralView() : CEqnTabPage(3511), m_editor(new CCommentRichEditCtrl(this))
{
    SetControlId(m_editor, IDC_EQN_DESCRIPTION);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(BuddyLabel(tr("&Description:"), m_editor, this));
    layout->addWidget(m_editor, 1);
    connect(m_editor, &CCommentRichEditCtrl::textModified, this, [this] { Store(); });
}

void CEqnGeneralView::OnDetach()
{
    Store();
    m_editor->DetachData();
}

void CEqnGeneralView::OnInitialUpdate()
{
    CMXEquation* item = GetEqnItem();
    if (!item)
        return;
    // New text starts in the item's normal text font.
    const CHARFORMAT format = CMXTabForm::DescriptionFormat(item->m_fonts[3].font, item->m_fonts[3].size);
    m_editor->AttachData(&item->GetCompiledEquation().GetFormattedSource(), &format);
}

void CEqnGeneralView::Store()
{
    CMXEquation* item = GetEqnItem();
    if (!item || !m_editor->document()->isModified())
        return;
    item->GetCompiledEquation().GetFormattedSource().SaveText();
    m_editor->document()->setModified(false);
    item->SetModified(true);
}

void CEqnGeneralView::OnUpdate(CDocView* sender, int hint, CObject* object)
{
    if (IsFromForm(sender) && (hint == HINT_TAB_STORE || hint == HINT_TAB_HIDDEN) && IsThisPage(object)) {
        Store();
        return;
    }
    CEqnTabPage::OnUpdate(sender, hint, object);
}

bool CEqnGeneralView::OnPageCommand(UINT id, CCmdUI* ui)
{
    if (m_editor->hasFocus())
        return m_editor->OnCmdMsg(id, ui);
    return false;
}

// ---------------------------------------------------------------- estimates

CEqnEstimates::CEqnEstimates()
    : CEqnTabPage(3514)
    , m_flag(new QCheckBox(tr("&Estimate from linear transform"), this))
    , m_x(new QLineEdit(this))
    , m_y(new QLineEdit(this))
{
    SetControlId(m_flag, IDC_EQN_ESTIMATE_FLAG);
    SetControlId(m_x, IDC_EQN_X_TRANSFORM);
    SetControlId(m_y, IDC_EQN_Y_TRANSFORM);
    auto* transforms = new QGroupBox(tr("Data transforms [= f( xdata, ydata )]"), this);
    SetControlId(transforms, 1201);
    auto* form = new QFormLayout(transforms);
    form->addRow(BuddyLabel(tr("&X data:"), m_x, transforms), m_x);
    form->addRow(BuddyLabel(tr("&Y data:"), m_y, transforms), m_y);
    auto* estimates = new QGroupBox(tr("Parameter estimates from transform [= f( intercept, gradient )]"), this);
    SetControlId(estimates, 1202);
    auto* placeholder = new QLabel(tr("Grid goes here"), estimates);
    SetControlId(placeholder, IDC_EQN_ESTIMATE_GRID);
    auto* inner = new QVBoxLayout(estimates);
    inner->addWidget(placeholder);
    m_transforms = transforms;
    m_estimates = estimates;
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_flag);
    layout->addWidget(transforms);
    layout->addWidget(estimates, 1);

    connect(m_flag, &QCheckBox::clicked, this, [this] { Store(); });
    for (QLineEdit* edit : {m_x, m_y}) {
        connect(edit, &QLineEdit::textEdited, this, [this] { InvalidateOnEdit(); });
        connect(edit, &QLineEdit::editingFinished, this, [this] { Store(); });
    }
}

void CEqnEstimates::OnInitialUpdate()
{
    CEquation* eq = GetEquation();
    if (!eq)
        return;
    m_flag->setChecked(eq->GetUseParameterDefinitions() != 0);
    m_x->setText(ToQt(eq->GetXTransform()));
    m_y->setText(ToQt(eq->GetYTransform()));
    m_grid = new CParamEstGrid;
    m_grid->Attach(eq, m_estimates, IDC_EQN_ESTIMATE_GRID);
    m_grid->SetChangeHandler([this](bool wasValid) {
        if (CMXEquation* item = GetEqnItem())
            item->SetModified(true);
        if (wasValid)
            Announce();
    });
    EnableControls();
}

void CEqnEstimates::EnableControls()
{
    const bool on = m_flag->isChecked();
    m_transforms->setEnabled(on);
    m_estimates->setEnabled(on);
}

void CEqnEstimates::Store()
{
    const std::string x = m_x->text().toStdString(), y = m_y->text().toStdString();
    const int flag = m_flag->isChecked() ? 1 : 0;
    StoreWithCheck([&](CEquation& eq) {
        const bool changed =
            eq.GetXTransform() != x || eq.GetYTransform() != y || eq.GetUseParameterDefinitions() != flag;
        eq.SetXTransform(x);
        eq.SetYTransform(y);
        eq.SetUseParameterDefinitions(flag);
        return changed;
    });
    EnableControls();
}

void CEqnEstimates::OnUpdate(CDocView* sender, int hint, CObject* object)
{
    if (!IsFromForm(sender) || !m_grid) {
        CEqnTabPage::OnUpdate(sender, hint, object);
        return;
    }
    if ((hint == HINT_TAB_STORE || hint == HINT_TAB_HIDDEN) && IsThisPage(object)) {
        m_grid->CommitCurrentCellEdit();
        Store();
        m_grid->UpdateRowCount();
    } else if (hint == HINT_TAB_SHOWN && IsThisPage(object)) {
        CEquation* eq = GetEquation();
        m_flag->setChecked(eq->GetUseParameterDefinitions() != 0);
        m_x->setText(ToQt(eq->GetXTransform()));
        m_y->setText(ToQt(eq->GetYTransform()));
        EnableControls();
        m_grid->UpdateRowCount();
    }
}

void CEqnEstimates::SelectTransformRange(bool y, int start, int end)
{
    QLineEdit* edit = y ? m_y : m_x;
    const std::string text = edit->text().toStdString();
    const int from = SourceOffsetToEditor(text, start), to = SourceOffsetToEditor(text, end);
    edit->setFocus();
    edit->setSelection(from, std::max(to - from, 0));
}

void CEqnEstimates::SelectDefinitionRow(int row)
{
    if (!m_grid)
        return;
    m_grid->setFocus();
    m_grid->SetCurrentCell(row, 2);
}

bool CEqnEstimates::OnPageCommand(UINT id, CCmdUI* ui) { return GridCommand(m_grid, id, ui); }

// ---------------------------------------------------------------- fonts

CEqnFontView::CEqnFontView()
    : CTabFontView(3517,
                   {tr("Main heading text"), tr("Subheading text"), tr("Variables heading text"), tr("Normal text"),
                    tr("Header/Footer text")},
                   3)
{
}

void CEqnFontView::SelectFontElement(int index) { SelectItemFont(dynamic_cast<CMXEquationBase*>(GetItem()), index, 4); }

// ---------------------------------------------------------------- indents

CEqnIndentView::CEqnIndentView()
    : CIndentView(3518, {IDC_EQN_INDENT1, IDC_EQN_INDENT2, IDC_EQN_INDENT3, IDC_EQN_INDENT4})
{
}

int* CEqnIndentView::GetIndents()
{
    auto* item = dynamic_cast<CMXEquationBase*>(GetItem());
    return item ? item->m_indents : nullptr;
}

void CEqnIndentView::GetBounds(int i, const int* v, int width, int& minimum, int& maximum) const
{
    // The third starts after the second and well after the first; the fourth lies between the first and third.
    switch (i) {
    case 0:
    case 1: minimum = 0, maximum = width - 100; break;
    case 2: minimum = std::max(v[1], v[0] + 200), maximum = width - 100; break;
    default: minimum = v[0] + 100, maximum = v[2] - 100; break;
    }
}
