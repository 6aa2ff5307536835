#include "app/widgets/HardEqnTabForm.h"

#include "app/MXHardEquation.h"
#include "app/Preferences.h"
#include "app/widgets/EqnTabForm.h"
#include "app/widgets/EqnTabViews.h"
#include "equation/HardEquation.h"
#include "equation/widgets/Geometry.h"
#include "framework/UpdateNotification.h"
#include "grid/widgets/XGrid.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"
#include "platform/widgets/CommandIds.h"
#include "platform/widgets/FileChooser.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace {

const std::vector<UINT> kViewCommands = {ID_VIEW_GENERAL,   ID_VIEW_X_VARIABLES, ID_VIEW_PARAMETERS,
                                         ID_VIEW_CONSTANTS, ID_VIEW_FONTS,       ID_VIEW_INDENTS};

std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

} // namespace

// ---------------------------------------------------------------- form

CHardEqnTabForm::CHardEqnTabForm(CMXHardEquation* item, QWidget* parent) : CMXTabForm(3510, item, parent)
{
    setObjectName("CHardEqnTabForm");
}

CMXHardEquation* CHardEqnTabForm::GetHardItem() const { return dynamic_cast<CMXHardEquation*>(GetItem()); }

CHardEquation* CHardEqnTabForm::GetEquation() const
{
    CMXHardEquation* item = GetHardItem();
    return item ? &item->GetHardEquation() : nullptr;
}

void CHardEqnTabForm::OnInitialUpdate()
{
    if (m_bSetUp)
        return;
    m_bSetUp = true;
    AddTab<CGeometry<CHardEqnGeneralView>>(3597, IDS_TAB_LIBRARY_GENERAL);
    AddTab<CGeometry<CHardEqnXView>>(3598, IDS_TAB_X_VARIABLES);
    AddTab<CGeometry<CHardEqnParamView>>(3600, IDS_TAB_PARAMETERS);
    AddTab<CGeometry<CHardEqnConstView>>(3599, IDS_TAB_CONSTANTS);
    AddTab<CGeometry<CEqnFontView>>(3517, IDS_TAB_FONTS);
    AddTab<CGeometry<CEqnIndentView>>(3518, IDS_TAB_INDENTS);
    CMXHardEquation* item = GetHardItem();
    DoInitialUpdate(!item || item->m_wpFrame.length == 0);
}

bool CHardEqnTabForm::OnFormCommand(UINT id, CCmdUI* ui)
{
    if (OnViewTabCommand(*this, kViewCommands, id, ui))
        return true;
    return CMXTabForm::OnFormCommand(id, ui);
}

void CHardEqnTabForm::OnUpdate(CDocView* sender, int hint, CObject* object)
{
    auto* note = dynamic_cast<CUpdateNotification*>(object);
    if (hint == UPDATE_HINT_NOTIFICATION && note
        && (note->kind == UN_WORKSPACE_SAVED || (note->kind == UN_ITEM_RENAMED && note->item == GetItem())))
        update();
}

int CHardEqnTabForm::PrintSection(CPrintContext& pc, bool draw, int section, bool firstOnPage)
{
    CMXHardEquation* item = GetHardItem();
    CHardEquation* eq = GetEquation();
    if (!item || !eq || section > 17)
        return PRINT_UNIT_END;
    const ItemFont& normal = item->m_fonts[3];
    const int in1 = item->m_indents[0], in2 = item->m_indents[1];
    auto line = [&](UINT label, const std::string& value) {
        return PrintLabelLine(pc, draw, firstOnPage, normal.font, normal.size, in1, in2, label, value);
    };
    auto empty = [&] { return PrintEmptyLine(pc, draw, firstOnPage, normal.font, normal.size); };
    auto table = [&](UINT heading, CEquationBase::SymbolKind kind) {
        return PrintSymbolTable(*this, pc, draw, firstOnPage, *item, heading, eq->SymbolNames(kind),
                                eq->SymbolLabels(kind));
    };
    switch (section) {
    case 0:
        return PrintLabelLine(pc, draw, firstOnPage, item->m_fonts[0].font, item->m_fonts[0].size, 0, 0, 0,
                              LoadString(IDS_HARD_EQUATION_DEFINITION_TITLE));
    case 1:
    case 8:
    case 12:
    case 14: return empty();
    case 2: return line(IDS_PRINT_WORK_FILE, GetWorkFileTitle());
    case 3: return line(IDS_PRINT_LOCATION, GetWorkFileLocation());
    case 4: return line(IDS_PRINT_EQUATION_LIBRARY_FILE, eq->GetLibraryPath());
    case 5: return line(IDS_PRINT_EQUATION_NAME, item->GetName());
    case 6: return line(IDS_PRINT_EQUATION_DEFINED, item->FormatTimeLong());
    case 7: return line(IDS_PRINT_USER, GetUserName());
    case 9: return line(IDS_PRINT_EQUATION_DESCRIPTION, eq->GetDescription());
    case 10: return eq->GetModeFlag() ? empty() : PRINT_UNIT_FITS;
    case 11: return eq->GetModeFlag() ? line(0, LoadString(IDS_PLOTTING_ONLY)) : PRINT_UNIT_FITS;
    case 13:
        if (!eq->IsValid()) {
            const int code = PrintLabelLine(pc, draw, firstOnPage, normal.font, normal.size, 0, 0, 0,
                                            LoadString(IDS_EQUATION_NOT_COMPILED));
            return code == PRINT_UNIT_FITS ? PRINT_UNIT_END : code;
        }
        return table(IDS_PRINT_X_VARIABLES, CEquationBase::SymbolX);
    case 15: return table(IDS_PRINT_PARAMETERS, CEquationBase::SymbolParameter);
    case 16: return eq->GetConstantCount() > 0 ? empty() : PRINT_UNIT_FITS;
    case 17: {
        if (eq->GetConstantCount() == 0)
            return PRINT_UNIT_END;
        const int code = table(IDS_PRINT_CONSTANTS, CEquationBase::SymbolConstant);
        return code == PRINT_UNIT_FITS ? PRINT_UNIT_END : code;
    }
    default: return PRINT_UNIT_FITS;
    }
}

CHardEqnTabForm* CHardEqnProjectWnd::GetForm() const { return qobject_cast<CHardEqnTabForm*>(widget()); }

QWidget* CHardEqnProjectWnd::CreateItemView()
{
    auto* form = new CHardEqnTabForm(dynamic_cast<CMXHardEquation*>(m_pItem));
    form->OnInitialUpdate();
    return form;
}

// ---------------------------------------------------------------- general

CHardEqnGeneralView::CHardEqnGeneralView()
    : CTabFormChildView(3597)
    , m_description(new QLineEdit(this))
    , m_path(new QLineEdit(this))
    , m_estimates(new QCheckBox(tr("Equation generates &automatic initial estimates"), this))
    , m_browse(new QPushButton(this))
{
    SetControlId(m_description, IDC_HARD_DESCRIPTION);
    SetControlId(m_path, IDC_HARD_PATH);
    SetControlId(m_estimates, IDC_HARD_ESTIMATES);
    SetControlId(m_browse, IDC_HARD_BROWSE);
    // The library says both; the tab only shows them.
    m_description->setReadOnly(true);
    m_estimates->setEnabled(false);
    m_estimates->setToolTip(tr("The equation library says whether it gives initial estimates"));
    m_browse->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    m_browse->setToolTip(tr("Choose the equation library file"));
    auto* descriptionLabel = new QLabel(tr("Equation &description:"), this);
    descriptionLabel->setBuddy(m_description);
    auto* pathLabel = new QLabel(tr("Location of equation library:"), this);
    pathLabel->setBuddy(m_path);
    auto* pathRow = new QHBoxLayout;
    pathRow->addWidget(m_path, 1);
    pathRow->addWidget(m_browse);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(descriptionLabel);
    layout->addWidget(m_description);
    layout->addWidget(pathLabel);
    layout->addLayout(pathRow);
    layout->addWidget(m_estimates);
    layout->addStretch(1);

    connect(m_browse, &QPushButton::clicked, this, [this] { Browse(); });
    // The library loads when its path is confirmed or left, not at every keystroke.
    connect(m_path, &QLineEdit::returnPressed, this, [this] { ApplyPath(); });
    connect(m_path, &QLineEdit::editingFinished, this, [this] {
        auto* item = dynamic_cast<CMXHardEquation*>(GetItem());
        if (item && m_path->text().toStdString() != item->GetHardEquation().GetLibraryPath())
            ApplyPath();
    });
}

void CHardEqnGeneralView::OnInitialUpdate() { ShowEquation(); }

void CHardEqnGeneralView::ShowEquation()
{
    auto* item = dynamic_cast<CMXHardEquation*>(GetItem());
    if (!item)
        return;
    CHardEquation& eq = item->GetHardEquation();
    m_path->setText(QString::fromStdString(eq.GetLibraryPath()));
    m_description->setText(QString::fromStdString(eq.GetDescription()));
    m_description->setCursorPosition(0);
    m_estimates->setChecked(eq.GetUseParameterDefinitions() != 0);
}

void CHardEqnGeneralView::Browse()
{
    auto* item = dynamic_cast<CMXHardEquation*>(GetItem());
    if (!item)
        return;
    const std::string current = item->GetHardEquation().GetLibraryPath();
    const std::string folder = current.empty()
        ? CPreferences::Current().GetDirectory(CPreferences::UserDllEquationDir)
        : FolderOf(current);
    FileRequest request;
    request.mode = FileRequest::OpenFile;
    request.folder = folder;
    request.filters = FilterTextsFromBars(LoadString(IDS_EQUATION_LIBRARY_FILTER));
    request.defaultExtension = "mxl";
    const std::optional<FileAnswer> chosen = ChooseFile(this, request);
    if (!chosen || chosen->path.empty())
        return;
    m_path->setText(QString::fromStdString(chosen->path));
    ApplyPath();
}

void CHardEqnGeneralView::ApplyPath()
{
    auto* item = dynamic_cast<CMXHardEquation*>(GetItem());
    auto* form = qobject_cast<CHardEqnTabForm*>(GetParentForm());
    if (!item || !form)
        return;
    item->SetModified(true);
    // The user chose this library here: it loads without a question.
    item->GetHardEquation().Load(m_path->text().toStdString());
    ShowEquation();
    form->UpdateEquation();
}

void CHardEqnGeneralView::OnUpdate(CDocView* sender, int hint, CObject* object)
{
    if (IsFromForm(sender) && hint == HINT_TAB_SHOWN && IsThisPage(object))
        ShowEquation();
    else
        CTabFormChildView::OnUpdate(sender, hint, object);
}

// ---------------------------------------------------------------- names

CHardEqnNameView::CHardEqnNameView(int templateId, CEquationBase::SymbolKind kind)
    : CTabFormChildView(templateId)
    , m_kind(kind)
{
    auto* placeholder = new QLabel(tr("Grid goes here"), this);
    SetControlId(placeholder, IDC_EQN_GRID_PLACEHOLDER);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(placeholder, 1);
}

void CHardEqnNameView::OnInitialUpdate()
{
    auto* item = dynamic_cast<CMXHardEquation*>(GetItem());
    if (!item)
        return;
    CHardEquation& eq = item->GetHardEquation();
    m_grid = new CXGrid;
    m_grid->CreateInDialog(this, IDC_EQN_GRID_PLACEHOLDER, QRect());
    m_grid->Attach(nullptr, &eq.SymbolNames(m_kind), &eq.SymbolLabels(m_kind), false);
    // The library gives the names: they are shown, not edited.
    m_grid->setEnabled(false);
}

void CHardEqnNameView::OnUpdate(CDocView* sender, int hint, CObject* object)
{
    auto* item = dynamic_cast<CMXHardEquation*>(GetItem());
    if (IsFromForm(sender) && (hint == HINT_TAB_SHOWN || hint == HINT_TAB_STORE) && m_grid && item) {
        m_grid->SetRowCount(int(item->GetHardEquation().SymbolNames(m_kind).size()) + 2, true);
        m_grid->Refresh();
        m_grid->viewport()->update();
        return;
    }
    CTabFormChildView::OnUpdate(sender, hint, object);
}
