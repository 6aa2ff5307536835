#include "app/widgets/TransTabForm.h"

#include "app/MXDoc.h"
#include "app/MXEquationBase.h"
#include "app/MXTransform.h"
#include "app/widgets/EqnTabForm.h"
#include "equation/EquationBase.h"
#include "equation/Transformation.h"
#include "equation/widgets/Geometry.h"
#include "equation/widgets/SyntaxEdit.h"
#include "framework/UpdateNotification.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"
#include "platform/widgets/CommandIds.h"
#include "ui/widgets/CommentRichEditCtrl.h"
#include "ui/widgets/RichTextDocument.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTextDocument>
#include <QVBoxLayout>


namespace {

const std::vector<UINT> kViewCommands = {ID_VIEW_GENERAL, ID_VIEW_DATA_TRANSFORMATION, ID_VIEW_CURVE_TRANSFORMATION,
                                         ID_VIEW_FONTS, ID_VIEW_INDENTS};
// Kind mask of the items a transformation may be associated with: equations and library equations.
constexpr int kEquationKinds = 8 | 128;

QString ToQt(const std::string& text) { return QString::fromStdString(text); }

QLabel* Label(const QString& text, int id, QWidget* buddy, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    SetControlId(label, id);
    if (buddy)
        label->setBuddy(buddy);
    return label;
}

std::string PrintedText(const std::string& source)
{
    std::string text;
    for (char c : source)
        if (c != '\r')
            text += c;
    return text;
}

} // namespace

// ---------------------------------------------------------------- form

CTransTabForm::CTransTabForm(CMXTransform* item, QWidget* parent) : CMXTabForm(3567, item, parent)
{
    setObjectName("CTransTabForm");
}

CMXTransform* CTransTabForm::GetTransItem() const { return dynamic_cast<CMXTransform*>(GetItem()); }

CTransformation* CTransTabForm::GetTransformation() const
{
    CMXTransform* item = GetTransItem();
    return item ? &item->GetTransformation() : nullptr;
}

CEquationBase* CTransTabForm::GetAssociatedEquation() const
{
    CMXTransform* item = GetTransItem();
    CMXProjectItem* source = item ? item->FindSourceItem() : nullptr;
    auto* equation = dynamic_cast<CMXEquationBase*>(source);
    return equation && (equation->GetKindFlag() & kEquationKinds) ? equation->GetEquation() : nullptr;
}

void CTransTabForm::OnInitialUpdate()
{
    if (m_bSetUp)
        return;
    m_bSetUp = true;
    AddTab<CGeometry<CTransGeneralView>>(3564, IDS_TRANSFORM_TAB_GENERAL);
    AddTab<CGeometry<CTransDataView>>(3565, IDS_TAB_DATA_POINTS);
    AddTab<CGeometry<CTransCurveView>>(3566, IDS_TAB_CURVE);
    AddTab<CGeometry<CTransFontView>>(3568, IDS_TRANSFORM_TAB_FONTS);
    AddTab<CGeometry<CTransIndentView>>(3569, IDS_TRANSFORM_TAB_INDENTS);
    CMXTransform* item = GetTransItem();
    DoInitialUpdate(!item || item->m_wpFrame.length == 0);
}

bool CTransTabForm::OnFormCommand(UINT id, CCmdUI* ui)
{
    if (OnViewTabCommand(*this, kViewCommands, id, ui))
        return true;
    CTransformation* t = GetTransformation();
    if (id == ID_EQUATION_COMPILE) {
        if (ui)
            ui->Enable(t && !t->IsCompiled());
        else if (t && !t->IsCompiled())
            Compile();
        return true;
    }
    if (id == ID_INDICATOR_ITEM_STATE) {
        if (ui) {
            ui->Enable(t != nullptr);
            ui->SetText(LoadString(t && t->IsCompiled() ? IDS_COMPILED : IDS_NOT_COMPILED));
        }
        return true;
    }
    return CMXTabForm::OnFormCommand(id, ui);
}

void CTransTabForm::OnUpdate(CDocView* sender, int hint, CObject* object)
{
    auto* note = dynamic_cast<CUpdateNotification*>(object);
    if (hint == UPDATE_HINT_NOTIFICATION && note
        && (note->kind == UN_WORKSPACE_SAVED || (note->kind == UN_ITEM_RENAMED && note->item == GetItem())))
        update();
}

void CTransTabForm::Uncompile()
{
    CTransformation* t = GetTransformation();
    if (!t || !t->IsCompiled())
        return;
    t->SetCompiled(false);
    UpdateTransformation();
}

bool CTransTabForm::Compile()
{
    CMXTransform* item = GetTransItem();
    CTransformation* t = GetTransformation();
    if (!item || !t)
        return false;
    NotifyItemChanged();
    item->SetModified(true);
    STransformCheck check;
    const bool changed = t->Compile(GetAssociatedEquation(), &check);
    if (!check.ok) {
        SelectTab(check.tab);
        auto* page = dynamic_cast<CTransPartView*>(GetTabView(check.tab));
        CSyntaxEdit* editor = nullptr;
        if (page && check.editor != STransformCheck::editorNone)
            editor = page->GetEditor(check.editor == STransformCheck::editorYData ? 1 : 0);
        if (editor) {
            editor->SelectSourceRange(check.start, check.end);
            editor->setFocus();
        }
    }
    if (changed)
        UpdateTransformation();
    return check.ok;
}

int CTransTabForm::PrintSection(CPrintContext& pc, bool draw, int section, bool firstOnPage)
{
    CMXTransform* item = GetTransItem();
    CTransformation* t = GetTransformation();
    if (!item || !t || section > 22)
        return PRINT_UNIT_END;
    const ItemFont& normal = item->m_fonts[2];
    const ItemFont& sub = item->m_fonts[1];
    const int in1 = item->m_indents[0], in2 = item->m_indents[1];
    auto line = [&](UINT label, const std::string& value) {
        return PrintLabelLine(pc, draw, firstOnPage, normal.font, normal.size, in1, in2, label, value);
    };
    auto heading = [&](const ItemFont& font, UINT text) {
        return PrintLabelLine(pc, draw, firstOnPage, font.font, font.size, 0, 0, 0, LoadString(text));
    };
    switch (section) {
    case 0: return heading(item->m_fonts[0], IDS_TRANSFORMATION_DEFINITION_TITLE);
    case 1:
    case 8:
    case 10:
    case 12:
    case 17:
    case 19: return PrintEmptyLine(pc, draw, firstOnPage, normal.font, normal.size);
    case 2: return line(IDS_PRINT_WORK_FILE, GetWorkFileTitle());
    case 3: return line(IDS_PRINT_LOCATION, GetWorkFileLocation());
    case 4: return line(IDS_PRINT_TRANSFORMATION_NAME, item->GetName());
    case 5: return line(IDS_PRINT_TRANSFORMATION_DEFINED, item->FormatTimeLong());
    case 6: return line(IDS_PRINT_ASSOCIATED_EQUATION, t->GetReferenceName());
    case 7: return line(IDS_PRINT_USER, GetUserName());
    case 9: {
        QTextDocument text;
        FillTextDocument(text, t->GetDescription().GetDocument());
        return PrintRichText(pc, text, draw, firstOnPage) ? PRINT_UNIT_FITS_BREAK : PRINT_UNIT_NO_ROOM;
    }
    case 11:
        if (!t->IsCompiled()) {
            const int code = heading(normal, IDS_TRANSFORMATION_NOT_COMPILED);
            return code == PRINT_UNIT_FITS ? PRINT_UNIT_END : code;
        }
        return heading(sub, IDS_PRINT_DATA_POINT_TRANSFORMATION);
    case 13: return line(IDS_PRINT_TRANSFORM_X_DATA, PrintedText(t->GetXDataDefinition()));
    case 14: return line(IDS_PRINT_X_AXIS_NAME, t->GetDefaultXName());
    case 15: return line(IDS_PRINT_TRANSFORM_Y_DATA, PrintedText(t->GetYDataDefinition()));
    case 16: {
        const int code = line(IDS_PRINT_Y_AXIS_NAME, t->GetDefaultYName());
        return code == PRINT_UNIT_FITS ? PRINT_UNIT_FITS_BREAK : code;
    }
    case 18: return heading(sub, IDS_PRINT_CURVE_TRANSFORMATION);
    case 20: return line(IDS_PRINT_CURVE_X_NAME, t->GetCurveXName());
    case 21: return line(IDS_PRINT_CURVE_Y_NAME, t->GetCurveYName());
    case 22: {
        const int code = line(IDS_PRINT_CURVE_DEFINITION, PrintedText(t->GetCurveDefinition()));
        return code == PRINT_UNIT_FITS ? PRINT_UNIT_END : code;
    }
    default: return PRINT_UNIT_FITS;
    }
}

CTransTabForm* CTransProjectWnd::GetForm() const { return qobject_cast<CTransTabForm*>(widget()); }

QWidget* CTransProjectWnd::CreateItemView()
{
    auto* form = new CTransTabForm(dynamic_cast<CMXTransform*>(m_pItem));
    form->OnInitialUpdate();
    return form;
}

// ---------------------------------------------------------------- pages

CMXTransform* CTransTabPage::GetTransItem() const { return dynamic_cast<CMXTransform*>(GetItem()); }

CTransformation* CTransTabPage::GetTransformation() const
{
    CMXTransform* item = GetTransItem();
    return item ? &item->GetTransformation() : nullptr;
}

CTransTabForm* CTransTabPage::GetTransForm() const { return qobject_cast<CTransTabForm*>(GetParentForm()); }

// ---------------------------------------------------------------- general

CTransGeneralView::CTransGeneralView()
    : CTransTabPage(3564)
    , m_equations(new QComboBox(this))
    , m_editor(new CCommentRichEditCtrl(this))
{
    SetControlId(m_equations, IDC_TRANS_EQUATION);
    SetControlId(m_editor, IDC_TRANS_DESCRIPTION);
    auto* form = new QFormLayout;
    form->addRow(Label(tr("Associated &equation:"), 0, m_equations, this), m_equations);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(Label(tr("&Description:"), 0, m_editor, this));
    layout->addWidget(m_editor, 1);
    connect(m_equations, qOverload<int>(&QComboBox::activated), this, [this] { OnEquationChosen(); });
    connect(m_editor, &CCommentRichEditCtrl::textModified, this, [this] { Store(); });
}

void CTransGeneralView::FillEquations()
{
    std::vector<std::string> names;
    if (auto* doc = dynamic_cast<CMXDoc*>(GetDocument()))
        doc->GetItemNames(kEquationKinds, names);
    m_equations->clear();
    for (const std::string& name : names)
        m_equations->addItem(ToQt(name));
    // The selection goes back into the list.
    m_equations->setCurrentIndex(m_equations->findText(ToQt(m_strSelection)));
}

void CTransGeneralView::OnInitialUpdate()
{
    CTransformation* t = GetTransformation();
    CMXTransform* item = GetTransItem();
    if (!t || !item)
        return;
    m_strSelection = t->GetReferenceName();
    FillEquations();
    const CHARFORMAT format = CMXTabForm::DescriptionFormat(item->m_fonts[2].font, item->m_fonts[2].size);
    m_editor->AttachData(&t->GetDescription(), &format);
}

void CTransGeneralView::OnEquationChosen()
{
    CTransformation* t = GetTransformation();
    CMXTransform* item = GetTransItem();
    if (!t || !item)
        return;
    m_strSelection = m_equations->currentText().toStdString();
    if (m_strSelection == t->GetReferenceName())
        return;
    item->SetModified(true);
    t->SetReferenceName(m_strSelection);
    if (CTransTabForm* form = GetTransForm())
        form->Uncompile();
}

void CTransGeneralView::Store()
{
    CMXTransform* item = GetTransItem();
    CTransformation* t = GetTransformation();
    if (!item || !t || !m_editor->document()->isModified())
        return;
    t->GetDescription().SaveText();
    m_editor->document()->setModified(false);
    item->SetModified(true);
}

void CTransGeneralView::OnDetach()
{
    Store();
    m_editor->DetachData();
}

void CTransGeneralView::OnUpdate(CDocView* sender, int hint, CObject* object)
{
    if (IsFromForm(sender) && (hint == HINT_TAB_STORE || hint == HINT_TAB_HIDDEN) && IsThisPage(object)) {
        Store();
        return;
    }
    auto* note = dynamic_cast<CUpdateNotification*>(object);
    if (hint != UPDATE_HINT_NOTIFICATION || !note) {
        CTransTabPage::OnUpdate(sender, hint, object);
        return;
    }
    if (note->kind == UN_ITEM_RENAMED && m_strSelection == note->oldName)
        m_strSelection = note->newName;
    if (note->kind == UN_ITEM_RENAMED || note->kind == UN_ITEM_REMOVING || note->kind == UN_ITEMS_CHANGED)
        FillEquations();
}

bool CTransGeneralView::OnPageCommand(UINT id, CCmdUI* ui)
{
    if (m_editor->hasFocus())
        return m_editor->OnCmdMsg(id, ui);
    return false;
}

// ---------------------------------------------------------------- data points and curve

CTransPartView::CTransPartView(bool curve)
    : CTransTabPage(curve ? 3566 : 3565)
    , m_bCurve(curve)
    , m_flag(new QCheckBox(curve ? tr("Transform &curve") : tr("Transform &data points"), this))
    , m_first(new QLineEdit(this))
    , m_second(new QLineEdit(this))
    , m_parameters(new QListWidget(this))
    , m_constants(new QListWidget(this))
{
    SetControlId(m_flag, curve ? IDC_TRANS_CURVE_FLAG : IDC_TRANS_DATA_FLAG);
    SetControlId(m_first, IDC_TRANS_FIRST_NAME);
    SetControlId(m_second, IDC_TRANS_SECOND_NAME);
    SetControlId(m_parameters, IDC_TRANS_PARAMETER_LIST);
    SetControlId(m_constants, IDC_TRANS_CONSTANT_LIST);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_flag);
    auto* definitions = new QGridLayout;
    if (curve) {
        auto* editor = new CTransCurveSyntaxEdit(this);
        editor->SetControlId(IDC_TRANS_CURVE);
        m_editors = {editor};
        QLabel* x = Label(tr("&X name:"), 1531, m_first, this);
        QLabel* y = Label(tr("&Y name:"), 1532, m_second, this);
        QLabel* d = Label(tr("De&finition:"), 1533, editor, this);
        definitions->addWidget(x, 0, 0);
        definitions->addWidget(m_first, 0, 1);
        definitions->addWidget(y, 1, 0);
        definitions->addWidget(m_second, 1, 1);
        definitions->addWidget(d, 2, 0, Qt::AlignTop);
        definitions->addWidget(editor, 2, 1);
        m_partControls = {x, m_first, y, m_second, d, editor};
    } else {
        auto* xData = new CTransDataSyntaxEdit(this);
        xData->SetControlId(IDC_TRANS_X_DATA);
        auto* yData = new CTransDataSyntaxEdit(this);
        yData->SetControlId(IDC_TRANS_Y_DATA);
        m_editors = {xData, yData};
        QLabel* x = Label(tr("&X data:"), 1525, xData, this);
        QLabel* y = Label(tr("&Y data:"), 1526, yData, this);
        definitions->addWidget(x, 0, 0, Qt::AlignTop);
        definitions->addWidget(xData, 0, 1);
        definitions->addWidget(y, 1, 0, Qt::AlignTop);
        definitions->addWidget(yData, 1, 1);
        definitions->addWidget(Label(tr("Default &X name for graph:"), 0, m_first, this), 2, 0);
        definitions->addWidget(m_first, 2, 1);
        definitions->addWidget(Label(tr("Default &Y name for graph:"), 0, m_second, this), 3, 0);
        definitions->addWidget(m_second, 3, 1);
        m_partControls = {x, xData, y, yData};
    }
    layout->addLayout(definitions, 3);
    auto* symbols = new QGroupBox(tr("Symbols"), this);
    SetControlId(symbols, 1527);
    auto* lists = new QGridLayout(symbols);
    QLabel* p = Label(tr("Parameters"), 1528, m_parameters, symbols);
    QLabel* c = Label(tr("Constants"), 1529, m_constants, symbols);
    lists->addWidget(p, 0, 0);
    lists->addWidget(c, 0, 1);
    lists->addWidget(m_parameters, 1, 0);
    lists->addWidget(m_constants, 1, 1);
    layout->addWidget(symbols, 1);
    m_partControls.insert(m_partControls.end(), {symbols, p, m_parameters, c, m_constants});

    connect(m_flag, &QCheckBox::clicked, this, [this] { OnFlagClicked(); });
    for (CSyntaxEdit* editor : m_editors) {
        editor->setMinimumHeight(48);
        editor->installEventFilter(this);
        connect(editor, &CSyntaxEdit::textEdited, this, &CTransPartView::OnDefinitionEdited);
    }
    for (QLineEdit* edit : {m_first, m_second}) {
        connect(edit, &QLineEdit::editingFinished, this, [this] { Store(); });
        // The curve's names are part of its definition; the graph names of
        // the data points are not.
        if (curve)
            connect(edit, &QLineEdit::textEdited, this, &CTransPartView::OnDefinitionEdited);
    }
    if (curve)
        for (QListWidget* list : {m_parameters, m_constants})
            connect(list, &QListWidget::itemDoubleClicked, this,
                    [this](QListWidgetItem* entry) { m_editors.front()->InsertName(entry->text()); });
}

void CTransPartView::FillControls()
{
    CTransformation* t = GetTransformation();
    if (!t)
        return;
    m_flag->setChecked(m_bCurve ? t->GetTransformCurve() : t->GetTransformData());
    const std::string first = m_bCurve ? t->GetCurveXName() : t->GetDefaultXName();
    const std::string second = m_bCurve ? t->GetCurveYName() : t->GetDefaultYName();
    m_first->setText(ToQt(first));
    m_second->setText(ToQt(second));
    if (m_bCurve) {
        m_editors[0]->SetSourceText(t->GetCurveDefinition());
    } else {
        m_editors[0]->SetSourceText(t->GetXDataDefinition());
        m_editors[1]->SetSourceText(t->GetYDataDefinition());
    }
    EnableControls();
}

void CTransPartView::OnInitialUpdate()
{
    FillControls();
    RefillSymbols();
}

void CTransPartView::EnableControls()
{
    for (QWidget* w : m_partControls)
        w->setEnabled(m_flag->isChecked());
}

void CTransPartView::RebuildKeywords()
{
    CTransTabForm* form = GetTransForm();
    CMXTransform* item = GetTransItem();
    if (!form || !item || !item->FindSourceItem())
        return;
    std::string words = " " + m_first->text().toStdString() + " " + m_second->text().toStdString() + " ";
    if (CEquationBase* eq = form->GetAssociatedEquation()) {
        for (int i = 0; i < eq->GetParameterCount(); ++i)
            words += eq->SymbolNames(CEquationBase::SymbolParameter)[std::size_t(i)] + " ";
        for (int i = 0; i < eq->GetConstantCount(); ++i)
            words += eq->SymbolNames(CEquationBase::SymbolConstant)[std::size_t(i)] + " ";
    }
    for (CSyntaxEdit* editor : m_editors) {
        editor->ClearNames();
        editor->AddNames(words);
        editor->ColourAll();
    }
}

void CTransPartView::RefillSymbols()
{
    m_parameters->clear();
    m_constants->clear();
    CTransTabForm* form = GetTransForm();
    CEquationBase* eq = form ? form->GetAssociatedEquation() : nullptr;
    if (eq && eq->IsValid()) {
        for (const std::string& name : eq->SymbolNames(CEquationBase::SymbolParameter))
            m_parameters->addItem(ToQt(name));
        for (const std::string& name : eq->SymbolNames(CEquationBase::SymbolConstant))
            m_constants->addItem(ToQt(name));
    }
    RebuildKeywords();
}

void CTransPartView::Store()
{
    CMXTransform* item = GetTransItem();
    CTransformation* t = GetTransformation();
    if (!item || !t)
        return;
    const bool wasCompiled = t->IsCompiled();
    // What the tab writes, before and after: only a real change marks the item modified.
    auto snapshot = [t] {
        return std::vector<std::string>{t->GetCurveXName(),       t->GetCurveYName(),
                                        t->GetCurveDefinition(),  t->GetXDataDefinition(),
                                        t->GetYDataDefinition(),  t->GetDefaultXName(),
                                        t->GetDefaultYName(),     std::to_string(t->GetTransformCurve()),
                                        std::to_string(t->GetTransformData())};
    };
    const std::vector<std::string> before = snapshot();
    const std::string first = m_first->text().toStdString(), second = m_second->text().toStdString();
    if (m_bCurve) {
        t->SetCurveXName(first);
        t->SetCurveYName(second);
        t->SetCurveDefinition(m_editors[0]->GetSourceText());
        t->SetTransformCurve(m_flag->isChecked());
    } else {
        t->SetXDataDefinition(m_editors[0]->GetSourceText());
        t->SetYDataDefinition(m_editors[1]->GetSourceText());
        t->SetDefaultXName(first);
        t->SetDefaultYName(second);
        t->SetTransformData(m_flag->isChecked());
    }
    const bool changed = snapshot() != before;
    if (changed)
        item->SetModified(true);
    if (wasCompiled && !t->IsCompiled())
        if (CTransTabForm* form = GetTransForm())
            form->UpdateTransformation();
    RebuildKeywords();
}

void CTransPartView::OnDefinitionEdited()
{
    if (CTransTabForm* form = GetTransForm())
        form->Uncompile();
}

void CTransPartView::OnFlagClicked()
{
    if (CTransTabForm* form = GetTransForm())
        form->Uncompile();
    Store();
    EnableControls();
}

bool CTransPartView::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut)
        for (CSyntaxEdit* editor : m_editors)
            if (watched == editor)
                Store();
    return CTransTabPage::eventFilter(watched, event);
}

void CTransPartView::OnUpdate(CDocView* sender, int hint, CObject* object)
{
    if (IsFromForm(sender) && IsThisPage(object)) {
        if (hint == HINT_TAB_STORE || hint == HINT_TAB_HIDDEN) {
            Store();
        } else if (hint == HINT_TAB_SHOWN) {
            FillControls();
            RefillSymbols();
        }
        return;
    }
    auto* note = dynamic_cast<CUpdateNotification*>(object);
    CTransformation* t = GetTransformation();
    if (hint != UPDATE_HINT_NOTIFICATION || !note || !t) {
        CTransTabPage::OnUpdate(sender, hint, object);
        return;
    }
    if (note->kind == UN_ITEM_REMOVING && note->oldName == t->GetReferenceName()) {
        m_parameters->clear();
        m_constants->clear();
    } else if (note->kind == UN_EQUATION_CHANGED && GetTransItem() && note->item == GetTransItem()->FindSourceItem()) {
        RefillSymbols();
    }
}

bool CTransPartView::OnPageCommand(UINT id, CCmdUI* ui)
{
    // The editor with the focus first; the first editor when the focus is elsewhere.
    for (CSyntaxEdit* editor : m_editors)
        if (editor->hasFocus())
            return editor->OnCmdMsg(id, ui);
    if (!isAncestorOf(QApplication::focusWidget()))
        return m_editors.front()->OnCmdMsg(id, ui);
    return false;
}

// ---------------------------------------------------------------- fonts and indents

CTransFontView::CTransFontView()
    : CTabFontView(3568, {tr("Main heading text"), tr("Subheading text"), tr("Normal text"), tr("Header/Footer text")}, 2)
{
}

void CTransFontView::SelectFontElement(int index) { SelectItemFont(dynamic_cast<CMXTransform*>(GetItem()), index, 3); }

CTransIndentView::CTransIndentView() : CIndentView(3569, {IDC_TRANS_INDENT1, IDC_TRANS_INDENT2}) {}

int* CTransIndentView::GetIndents()
{
    auto* item = dynamic_cast<CMXTransform*>(GetItem());
    return item ? item->m_indents : nullptr;
}

void CTransIndentView::GetBounds(int, const int*, int width, int& minimum, int& maximum) const
{
    minimum = 0;
    maximum = width - 100;
}
