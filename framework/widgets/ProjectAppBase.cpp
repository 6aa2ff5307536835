#include "framework/widgets/ProjectAppBase.h"

#include "framework/Profile.h"
#include "framework/ProjectDocBase.h"
#include "platform/StringIds.h"
#include "platform/widgets/CommandIds.h"
#include "framework/widgets/ListViewBar.h"
#include "framework/widgets/ProjectFrameMDIMain.h"
#include "framework/widgets/ProjectTemplateBase.h"
#include "platform/Reporter.h"
#include "platform/StringTable.h"
#include "platform/widgets/FileChooser.h"

#include <QLocale>

namespace {
CProjectAppBase* s_app = nullptr;
}

CProjectAppBase::CProjectAppBase()
{
    s_app = this;
    m_nMeasurement = QLocale::system().measurementSystem() == QLocale::MetricSystem ? 1 : 0;
}

CProjectAppBase::~CProjectAppBase()
{
    if (s_app == this)
        s_app = nullptr;
}

CProjectAppBase* CProjectAppBase::GetProjectApp() { return s_app; }

CProjectDocBase* CProjectAppBase::GetProjectDoc() const
{
    return m_pWorkspaceTemplate ? m_pWorkspaceTemplate->GetDocument() : nullptr;
}

CProjectDocBase* GetProjectDoc()
{
    CProjectAppBase* app = CProjectAppBase::GetProjectApp();
    return app ? app->GetProjectDoc() : nullptr;
}

void CProjectAppBase::LoadSettings()
{
    m_nMeasurement = GetProfileInt("Preferences", "Measurement", m_nMeasurement);
}

void CProjectAppBase::UpdateMainIcons()
{
    if (!GetProjectDoc() || !m_pMainWnd)
        return;
    m_pMainWnd->UpdateMainIcon();
}

void CProjectAppBase::MakeUntitled(CProjectDocBase* document)
{
    if (!document)
        return;
    if (m_pWorkspaceTemplate)
        document->SetTitle(m_pWorkspaceTemplate->GetDocString(CProjectTemplateBase::docName));
    document->SetPathName("");
    if (m_pWorkspaceTemplate)
        document->SetTitle(m_pWorkspaceTemplate->GetDocString(CProjectTemplateBase::docName));
    UpdateMainIcons();
    document->SetModifiedFlag(false);
}

bool CProjectAppBase::SaveModified(CProjectDocBase* document)
{
    if (!document || !document->IsModified())
        return true;
    int answer = ReportMessage(IDS_ASK_TO_SAVE, {document->GetTitle()}, MB_YESNOCANCEL | MB_ICONEXCLAMATION);
    if (answer == IDCANCEL)
        return false;
    if (answer == IDNO)
        return true;
    return DoSave(document, document->GetPathName().empty());
}

bool CProjectAppBase::DoSave(CProjectDocBase* document, bool askPath)
{
    std::string path = document->GetPathName();
    if (askPath || path.empty()) {
        path = PromptSavePath(document);
        if (path.empty())
            return false;
    }
    bool saved = document->OnSaveDocument(path);
    if (saved && m_pMainWnd)
        m_pMainWnd->OnUpdateFrameTitle();
    return saved;
}

std::string CProjectAppBase::PromptSavePath(CProjectDocBase* document)
{
    std::string ext = m_pWorkspaceTemplate ? m_pWorkspaceTemplate->GetDocString(CProjectTemplateBase::filterExt) : "";
    std::string filter = m_pWorkspaceTemplate ? m_pWorkspaceTemplate->GetDocString(CProjectTemplateBase::filterName) : "";
    const std::string lower = QString::fromStdString(ext).toLower().toStdString();
    FileRequest request;
    request.mode = FileRequest::SaveFile;
    request.name = document->GetTitle();
    request.filters = {filter + " (*" + ext + " *" + lower + ")"};
    std::optional<FileAnswer> answer = ChooseFile(m_pMainWnd, request);
    if (!answer || answer->path.empty())
        return {};
    return WithDefaultExtension(answer->path, lower.empty() ? lower : lower.substr(1));
}

bool CProjectAppBase::OnCmdMsg(UINT id, CCmdUI* ui)
{
    CListViewBar* bar = m_pListViewBar;
    switch (id) {
    case ID_FILE_NEW:
        if (ui) {
            ui->Enable();
        } else if (m_pWorkspaceTemplate) {
            m_pWorkspaceTemplate->OpenDocumentFile(nullptr, true);
            UpdateMainIcons();
        }
        return true;
    case ID_BAR_HIDDEN:
    case ID_BAR_NORMAL:
    case ID_BAR_WIDE: {
        int mode = int(id - ID_BAR_HIDDEN);
        if (ui) {
            ui->Enable(bar != nullptr);
            ui->SetRadio(bar && bar->GetWidthMode() == mode);
        } else if (bar) {
            bar->SetWidthMode(mode);
        }
        return true;
    }
    case ID_BAR_LARGE_ICONS:
    case ID_BAR_SMALL_ICONS: {
        int style = int(id - ID_BAR_LARGE_ICONS);
        if (ui) {
            ui->Enable(bar != nullptr);
            ui->SetRadio(bar && bar->GetIconStyle() == style);
        } else if (bar) {
            bar->SetIconStyle(style);
        }
        return true;
    }
    case ID_EDIT_UNDO:
    case ID_EDIT_REDO:
        // Nobody before the application claimed them: disabled, with the plain texts.
        if (ui) {
            ui->Enable(false);
            ui->SetText(id == ID_EDIT_UNDO ? "&Undo\tCtrl+Z" : "&Redo\tCtrl+Y");
        }
        return ui != nullptr;
    }
    return false;
}
