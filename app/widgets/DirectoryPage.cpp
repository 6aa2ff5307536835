#include "app/widgets/DirectoryPage.h"

#include "platform/Reporter.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"
#include "ui/widgets/DataExchange.h"
#include "platform/widgets/FileChooser.h"
#include "app/widgets/OptionsSheet.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QToolButton>

namespace {

struct FieldInfo {
    const char* label;
    UINT browseTitle;
    CPreferences::Directory directory;
};

const FieldInfo kFields[CDirectoryPage::FieldCount] = {
    {"&Group template directory:", IDS_SELECT_GROUP_TEMPLATE_DIR, CPreferences::GroupTemplateDir},
    {"&User template directory:", IDS_SELECT_USER_TEMPLATE_DIR, CPreferences::UserTemplateDir},
    {"Group &item store directory:", IDS_SELECT_GROUP_ITEM_DIR, CPreferences::GroupItemDir},
    {"User item &store directory:", IDS_SELECT_USER_ITEM_DIR, CPreferences::UserItemDir},
    {"&Data directory:", IDS_SELECT_DATA_DIR, CPreferences::DataDir},
    {"User &hard-coded equation directory:", IDS_SELECT_USER_HARD_EQUATION_DIR, CPreferences::UserDllEquationDir},
    {"Group hard-coded &equation directory:", IDS_SELECT_GROUP_HARD_EQUATION_DIR, CPreferences::GroupDllEquationDir},
};

}  // namespace

CDirectoryPage::CDirectoryPage(CPreferences& preferences, QWidget* parent)
    : CPreferencePage(tr("Directories"), parent), m_preferences(preferences)
{
    auto* grid = new QGridLayout(this);
    for (int i = 0; i < FieldCount; ++i) {
        // The data directory field starts from the preference, not from where
        // the last file dialog went.
        m_fields[i] = preferences.GetDirectory(kFields[i].directory);
        auto* label = new QLabel(tr(kFields[i].label), this);
        m_edits[i] = new QLineEdit(this);
        label->setBuddy(m_edits[i]);
        m_browse[i] = new QToolButton(this);
        m_browse[i]->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
        m_browse[i]->setToolTip(QString::fromStdString(LoadString(kFields[i].browseTitle)));
        grid->addWidget(label, 2 * i, 0, 1, 2);
        grid->addWidget(m_edits[i], 2 * i + 1, 0);
        grid->addWidget(m_browse[i], 2 * i + 1, 1);
        connect(m_edits[i], &QLineEdit::textEdited, this, [this] { SetModified(); });
        connect(m_browse[i], &QToolButton::clicked, this, [this, i] { Browse(Field(i)); });
    }
    grid->setRowStretch(2 * FieldCount, 1);
}

void CDirectoryPage::DoDataExchange(CDataExchange* pDX)
{
    for (int i = 0; i < FieldCount; ++i) {
        DDX_Text(pDX, m_edits[i], m_fields[i]);
        // A folder typed in must be there: later saves and searches would fail on it.
        if (pDX->m_bSaveAndValidate && !pDX->Failed() && !m_fields[i].empty() && !IsExistingDirectory(m_fields[i])) {
            ReportMessage(IDS_FOLDER_MISSING, {m_fields[i]}, MB_OK | MB_ICONEXCLAMATION);
            pDX->PrepareCtrl(m_edits[i]);
            pDX->Fail();
        }
    }
}

void CDirectoryPage::OnInitDialog()
{
    for (std::string& field : m_fields)
        if (!IsExistingDirectory(field))
            field.clear();
    CPreferencePage::OnInitDialog();
}

bool CDirectoryPage::BrowseForFolder(const QString& title, std::string& path)
{
    FileRequest request;
    request.mode = FileRequest::Folder;
    request.title = title.toStdString();
    request.folder = path;
    request.name = path;
    // Folders on removable media are no place for templates and stored items.
    request.canChoose = [](const std::string& folder) { return !IsRemovableDirectory(folder); };
    std::optional<FileAnswer> answer = ChooseFile(this, request);
    if (!answer || answer->path.empty() || IsRemovableDirectory(answer->path))
        return false;
    path = answer->path;
    return true;
}

void CDirectoryPage::Browse(Field field)
{
    // Typed text counts as the starting point.
    UpdateData(true);
    std::string path = m_fields[field];
    if (!BrowseForFolder(QString::fromStdString(LoadString(kFields[field].browseTitle)), path))
        return;
    m_fields[field] = path;
    UpdateData(false);
    SetModified();
}

bool CDirectoryPage::OnApply()
{
    for (int i = 0; i < FieldCount; ++i)
        m_preferences.SetDirectory(kFields[i].directory, m_fields[i]);
    m_preferences.SetDirectory(CPreferences::CurrentDataDir, m_fields[Data]);
    if (Sheet())
        Sheet()->SetCancelToClose();
    return CPreferencePage::OnApply();
}
