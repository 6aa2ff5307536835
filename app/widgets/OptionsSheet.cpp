#include "app/widgets/OptionsSheet.h"

#include "app/Preferences.h"
#include "app/widgets/DataFilterDlg.h"
#include "app/widgets/DirectoryPage.h"
#include "app/widgets/LocaleFormatPage.h"
#include "app/widgets/OtherOptions.h"
#include "app/widgets/PreferencePage.h"
#include "app/widgets/UserInfo.h"
#include "platform/StringTable.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {
constexpr UINT kOptionsCaption = 186;
}

COptionsSheet::COptionsSheet(const QString& caption, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(caption);
    m_tabs = new QTabWidget(this);
    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Apply, this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addWidget(m_buttons);
    ApplyButton()->setEnabled(false);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &COptionsSheet::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &COptionsSheet::reject);
    connect(ApplyButton(), &QPushButton::clicked, this, [this] { Apply(); });
    connect(m_tabs, &QTabWidget::currentChanged, this, &COptionsSheet::OnCurrentChanged);
}

void COptionsSheet::AddPage(CPreferencePage* page)
{
    page->SetSheet(this);
    m_pages.push_back(page);
    connect(page, &CPreferencePage::modifiedChanged, this, &COptionsSheet::UpdateApplyButton);
    m_tabs->addTab(page, page->Title());
    if (m_pages.size() == 1)
        page->EnsureInitialised();
}

void COptionsSheet::SetActivePage(int index) { m_tabs->setCurrentIndex(index); }

CPreferencePage* COptionsSheet::ActivePage() const
{
    int i = m_tabs->currentIndex();
    return i >= 0 ? m_pages[std::size_t(i)] : nullptr;
}

void COptionsSheet::OnCurrentChanged(int index)
{
    if (index < 0 || std::size_t(index) >= m_pages.size())
        return;
    CPreferencePage* page = m_pages[std::size_t(index)];
    page->EnsureInitialised();
    page->OnSetActive();
}

void COptionsSheet::UpdateApplyButton()
{
    bool any = false;
    for (CPreferencePage* page : m_pages)
        any = any || page->IsModified();
    ApplyButton()->setEnabled(any);
}

QPushButton* COptionsSheet::OkButton() const { return m_buttons->button(QDialogButtonBox::Ok); }
QPushButton* COptionsSheet::CancelButton() const { return m_buttons->button(QDialogButtonBox::Cancel); }
QPushButton* COptionsSheet::ApplyButton() const { return m_buttons->button(QDialogButtonBox::Apply); }

void COptionsSheet::SetCancelToClose() { CancelButton()->setText(tr("Close")); }

bool COptionsSheet::Apply()
{
    // Every page that was opened is checked first, so that a bad value on one
    // page leaves the program untouched by the others.
    for (std::size_t i = 0; i < m_pages.size(); ++i) {
        CPreferencePage* page = m_pages[i];
        if (page->IsInitialised() && !page->UpdateData(true)) {
            SetActivePage(int(i));
            return false;
        }
    }
    for (CPreferencePage* page : m_pages)
        if (page->IsInitialised())
            page->OnApply();
    UpdateApplyButton();
    return true;
}

void COptionsSheet::accept()
{
    if (Apply())
        QDialog::accept();
}

void COptionsSheet::AddStandardPages(CPreferences& preferences, CProjectDocBase* document)
{
    AddPage(new CDirectoryPage(preferences));
    AddPage(new CDataFilterDlg(preferences));
    AddPage(new CLocaleFormatPage(document));
    AddPage(new CUserInfo(preferences));
    AddPage(new COtherOptions(preferences));
}

int ShowOptionsSheet(QWidget* parent, CPreferences& preferences, CProjectDocBase* document)
{
    COptionsSheet sheet(QString::fromStdString(LoadString(kOptionsCaption)), parent);
    sheet.AddStandardPages(preferences, document);
    return sheet.exec() == QDialog::Accepted ? 1 : 0;
}
