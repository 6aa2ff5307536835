// A member of a document's item list. Workspace items derive from it, and so
// do the few objects that a document keeps but does not show as items.
#pragma once

#include "platform/Object.h"

class CProjectDocBase;

class CDocItem : public CObject {
    DECLARE_DYNAMIC(CDocItem)
public:
    CProjectDocBase* GetDocument() const { return m_pDocument; }
    // Set by the document when it adds or removes the item.
    void SetDocument(CProjectDocBase* document) { m_pDocument = document; }
    // Items that are blank are neither stored nor counted.
    virtual bool IsBlank() const { return false; }

protected:
    CDocItem() = default;
    CProjectDocBase* m_pDocument = nullptr;
};
