#include "framework/widgets/NewTemplateSheet.h"

#include "framework/Profile.h"
#include "framework/TemplateFolder.h"
#include "framework/widgets/TemplateTab.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>

namespace {
constexpr const char* kSection = "Preferences";
constexpr const char* kDisplayEntry = "New Display";
}  // namespace

CNewTemplateSheet::CNewTemplateSheet(const std::string& userFolder, const std::string& groupFolder, QWidget* parent,
                                     UINT contextMenuId, UINT captionId)
    : CHelpPropertySheet(captionId, parent), m_userFolder(userFolder), m_groupFolder(groupFolder),
      m_contextMenuId(contextMenuId)
{
    m_display = GetProfileInt(kSection, kDisplayEntry, List);
    if (m_display < LargeIcons || m_display > Details)
        m_display = List;

    // A chooser applies nothing: OK takes the selected file, and there is no Apply.
    GetButtons()->button(QDialogButtonBox::Apply)->hide();
    disconnect(GetButtons(), &QDialogButtonBox::accepted, this, nullptr);
    connect(GetButtons(), &QDialogButtonBox::accepted, this, &CNewTemplateSheet::PressOk);

    m_titles.push_back(LoadString(IDS_GENERAL));
    for (std::string& name : CTemplateFolder::CollectTabFolders(userFolder, groupFolder))
        m_titles.push_back(std::move(name));
    for (std::size_t i = 0; i < m_titles.size(); ++i) {
        auto* page = new CTemplateTab(this, m_titles[i], i == 0);
        m_pages.push_back(page);
        AddPage(page, QString::fromStdString(m_titles[i]));
    }
    connect(GetTabs(), &QTabWidget::currentChanged, this, [this](int index) {
        if (index < 0)
            return;
        CTemplateTab* page = m_pages[std::size_t(index)];
        if (!page->IsInitialised())
            page->OnInitDialog();
        page->OnSetActive();
    });
    m_pages.front()->OnInitDialog();
    m_pages.front()->OnSetActive();
    resize(560, 400);
}

QPushButton* CNewTemplateSheet::OkButton() const { return GetButtons()->button(QDialogButtonBox::Ok); }

void CNewTemplateSheet::SetActivePage(int index) { CHelpPropertySheet::SetActivePage(index); }

void CNewTemplateSheet::SetDisplay(int display)
{
    m_display = display;
    if (int i = GetActiveIndex(); i >= 0)
        m_pages[std::size_t(i)]->SetDisplay(display);
}

void CNewTemplateSheet::PressOk()
{
    CTemplateTab* page = m_pages[std::size_t(GetActiveIndex())];
    const int row = page->SelectedRow();
    if (row < 0)
        return;
    m_chosenPath = page->Records()[std::size_t(row)].path;
    accept();
}

void CNewTemplateSheet::SaveDisplay() const { WriteProfileInt(kSection, kDisplayEntry, m_display); }

int CNewTemplateSheet::DoModal()
{
    const int result = exec();
    SaveDisplay();
    return result;
}
