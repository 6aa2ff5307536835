// A document template of the workspace framework: it pairs the one workspace
// document class with an item kind's frame. The workspace template holds the
// one open workspace and opens, creates and closes it; the others only make
// item frames for the workspace that is open.
#pragma once

#include "platform/Types.h"

#include <functional>
#include <memory>
#include <string>

class CProjectDocBase;
class CProjectFrameBase;

class CProjectTemplateBase {
public:
    using DocumentFactory = std::function<std::unique_ptr<CProjectDocBase>()>;
    using FrameFactory = std::function<CProjectFrameBase*()>;
    // Fields of the newline-separated document strings.
    enum DocString { windowTitle, docName, fileNewName, filterName, filterExt, regFileTypeId, regFileTypeName };

    CProjectTemplateBase(UINT resourceId, std::string docStrings, DocumentFactory documents, FrameFactory frames);
    virtual ~CProjectTemplateBase();

    UINT GetResourceID() const { return m_nResourceId; }
    std::string GetDocString(DocString index) const;
    void SetDocStrings(std::string text) { m_docStrings = std::move(text); }

    // The document the template holds, or null.
    CProjectDocBase* GetDocument() const { return m_pDocument.get(); }

    // Opens a workspace file, or a new workspace without a path; refreshes the
    // windows on success. Returns the document or null.
    virtual CProjectDocBase* OpenDocumentFile(const char* path, bool makeVisible = true);
    // The one-document opening: reuses the held document after asking to save it.
    virtual CProjectDocBase* OpenSingleDocument(const char* path, bool makeVisible);
    void SetUntitledTitle(CProjectDocBase* document) const;
    // Closes the held document without asking (the question comes before).
    void CloseAllDocuments(bool endSession = false);

    // A new item frame on the document, showing the other frame's item when
    // one is given (another window on it), else the document's item being opened.
    CProjectFrameBase* CreateNewFrame(CProjectDocBase* document, CProjectFrameBase* other);

    // Told after a document was opened or made new; the program refreshes its windows.
    std::function<void(CProjectDocBase*)> m_onOpened;

private:
    UINT m_nResourceId;
    std::string m_docStrings;
    DocumentFactory m_documents;
    FrameFactory m_frames;
    std::unique_ptr<CProjectDocBase> m_pDocument;
};
