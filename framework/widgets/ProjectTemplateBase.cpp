#include "framework/widgets/ProjectTemplateBase.h"

#include "framework/ProjectDocBase.h"
#include "framework/widgets/ProjectAppBase.h"
#include "framework/widgets/ProjectFrameBase.h"
#include "platform/Reporter.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"

#include <QApplication>
#include <QGuiApplication>

namespace {

// Shows the wait cursor while a file is read.
struct WaitCursor {
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
};

} // namespace

CProjectTemplateBase::CProjectTemplateBase(UINT resourceId, std::string docStrings, DocumentFactory documents,
                                           FrameFactory frames)
    : m_nResourceId(resourceId)
    , m_docStrings(std::move(docStrings))
    , m_documents(std::move(documents))
    , m_frames(std::move(frames))
{
}

CProjectTemplateBase::~CProjectTemplateBase() = default;

std::string CProjectTemplateBase::GetDocString(DocString index) const
{
    std::size_t start = 0;
    for (int i = 0; i < int(index); ++i) {
        start = m_docStrings.find('\n', start);
        if (start == std::string::npos)
            return {};
        ++start;
    }
    std::size_t end = m_docStrings.find('\n', start);
    return m_docStrings.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

void CProjectTemplateBase::SetUntitledTitle(CProjectDocBase* document) const
{
    std::string name = GetDocString(docName);
    document->SetTitle(name.empty() ? LoadString(IDS_UNTITLED) : name);
}

CProjectDocBase* CProjectTemplateBase::OpenDocumentFile(const char* path, bool makeVisible)
{
    CProjectDocBase* document = OpenSingleDocument(path, makeVisible);
    if (document) {
        document->UpdateFrameCounts();
        if (m_onOpened)
            m_onOpened(document);
    }
    return document;
}

CProjectDocBase* CProjectTemplateBase::OpenSingleDocument(const char* path, bool /*makeVisible*/)
{
    bool createdHere = false;
    CProjectDocBase* document = m_pDocument.get();
    if (document) {
        CProjectAppBase* app = CProjectAppBase::GetProjectApp();
        if (app && !app->SaveModified(document))
            return nullptr;
    } else {
        if (m_documents)
            m_pDocument = m_documents();
        document = m_pDocument.get();
        if (!document) {
            ReportMessage(IDS_FAILED_TO_CREATE_DOC, {}, MB_OK | MB_ICONEXCLAMATION);
            return nullptr;
        }
        createdHere = true;
    }

    // Reading or clearing the workspace deletes its items: their windows go first.
    document->CloseAllItemWindows();

    if (!path || !*path) {
        SetUntitledTitle(document);
        if (!document->OnNewDocument()) {
            if (createdHere)
                m_pDocument.reset();
            return nullptr;
        }
        return document;
    }

    WaitCursor wait;
    const bool wasModified = document->IsModified();
    document->SetModifiedFlag(false);
    if (!document->OnOpenDocument(path)) {
        if (createdHere) {
            m_pDocument.reset();
        } else if (document->OpenReplacedContents()) {
            // What was read is gone and so is the old workspace: the title says it is a new one.
            SetUntitledTitle(document);
        } else if (!document->IsModified()) {
            document->SetModifiedFlag(wasModified);
        } else {
            // The old contents are partly gone: start afresh rather than show a half-read workspace.
            SetUntitledTitle(document);
            document->OnNewDocument();
        }
        return nullptr;
    }
    document->SetPathName(path);
    return document;
}

void CProjectTemplateBase::CloseAllDocuments(bool)
{
    if (!m_pDocument)
        return;
    m_pDocument->CloseAllItemWindows();
    m_pDocument->DeleteContents();
    m_pDocument.reset();
}

CProjectFrameBase* CProjectTemplateBase::CreateNewFrame(CProjectDocBase* document, CProjectFrameBase* other)
{
    if (!m_frames || !document)
        return nullptr;
    CProjectFrameBase* frame = m_frames();
    if (!frame)
        return nullptr;
    frame->CreateClient(document, other);
    return frame;
}
