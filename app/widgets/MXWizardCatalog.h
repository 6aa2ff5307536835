// What the graph wizards and pages list of an open workspace: its items by
// kind, the kind of a named item and the equation behind a transformation.
#pragma once

#include "graphui/widgets/GraphWizard.h"

class CMXDoc;

class CMXWizardCatalog : public CWizardCatalog {
public:
    explicit CMXWizardCatalog(CMXDoc* document) : m_pDocument(document) {}

    std::vector<std::string> GetItemNames(int kindMask) const override;
    int GetItemKind(std::string_view name) const override;
    std::string GetTransformSource(std::string_view name) const override;
    CMXDoc* GetDocument() const { return m_pDocument; }

private:
    CMXDoc* m_pDocument;
};
