// A catalog of the test workspace for the wizards: tables are kind 1, fits
// kind 32 (or 16 when named so), equations kind 8.
#pragma once

#include "graph/GraphTestSupport.h"
#include "graphui/widgets/GraphWizard.h"

class TestCatalog : public CWizardCatalog {
public:
    explicit TestCatalog(TestWorkspace& doc) : m_doc(doc) {}
    std::vector<std::string> GetItemNames(int mask) const override
    {
        std::vector<std::string> names;
        for (const auto& e : m_doc.entries)
            if (KindOf(*e) & mask)
                names.push_back(e->name);
        return names;
    }
    int GetItemKind(std::string_view name) const override
    {
        for (const auto& e : m_doc.entries)
            if (SameName(e->name, name))
                return KindOf(*e);
        return 0;
    }

private:
    static int KindOf(const TestWorkspace::Entry& e)
    {
        if (e.table)
            return WizardKind::Table;
        if (e.fit)
            return e.name.rfind("Linear", 0) == 0 ? WizardKind::LinearFit : WizardKind::NonlinearFit;
        if (e.equation)
            return WizardKind::Equation;
        return 0;
    }
    TestWorkspace& m_doc;
};
