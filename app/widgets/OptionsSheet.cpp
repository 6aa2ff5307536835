#include "app/widgets/OptionsSheet.h"

#include "app/Preferences.h"
#include "app/widgets/DataFilterDlg.h"
#include "app/widgets/DirectoryPage.h"
#include "app/widgets/LocaleFormatPage.h"
#include "app/widgets/OtherOptions.h"
#include "app/widgets/PreferencePage.h"
#include "app/widgets/UserInfo.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"
#include "ui/widgets/DialogButtons.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>

COptionsSheet::COptionsSheet(const QString& caption, QWidget* parent) : CHelpPropertySheet(caption, parent)
{
    // OK and Apply go through the pages' checks first: a refused value keeps
    // the sheet open on its page.
    disconnect(GetButtons(), &QDialogButtonBox::accepted, this, nullptr);
    disconnect(ApplyButton(), &QPushButton::clicked, this, nullptr);
    connect(GetButtons(), &QDialogButtonBox::accepted, this, &COptionsSheet::accept);
    connect(ApplyButton(), &QPushButton::clicked, this, [this] { Apply(); });
    ApplyButton()->setEnabled(false);
    connect(GetTabs(), &QTabWidget::currentChanged, this, &COptionsSheet::OnCurrentChanged);
}

void COptionsSheet::AddPage(CPreferencePage* page)
{
    page->SetSheet(this);
    m_pages.push_back(page);
    connect(page, &CPreferencePage::modifiedChanged, this, &COptionsSheet::UpdateApplyButton);
    CHelpPropertySheet::AddPage(page, page->Title());
    if (m_pages.size() == 1)
        page->EnsureInitialised();
}

void COptionsSheet::SetActivePage(int index) { CHelpPropertySheet::SetActivePage(index); }

CPreferencePage* COptionsSheet::ActivePage() const
{
    int i = GetActiveIndex();
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

QPushButton* COptionsSheet::OkButton() const { return GetButtons()->button(QDialogButtonBox::Ok); }
QPushButton* COptionsSheet::CancelButton() const { return GetButtons()->button(QDialogButtonBox::Cancel); }
QPushButton* COptionsSheet::ApplyButton() const { return GetButtons()->button(QDialogButtonBox::Apply); }

void COptionsSheet::SetCancelToClose() { ::SetCancelToClose(this); }

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
    emit applied();
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
    COptionsSheet sheet(QString::fromStdString(LoadString(IDS_OPTIONS)), parent);
    sheet.AddStandardPages(preferences, document);
    return sheet.exec() == QDialog::Accepted ? 1 : 0;
}
