#include "app/widgets/MXWizardCatalog.h"

#include "app/MXDoc.h"
#include "app/MXProjectItem.h"
#include "app/MXTransform.h"

// The wizards' kinds are the workspace's item kind flags by value.
static_assert(int(WizardKind::Table) == int(KIND_DATA) && int(WizardKind::Equation) == int(KIND_EQUATION) &&
              int(WizardKind::LinearFit) == int(KIND_LINEAR) && int(WizardKind::NonlinearFit) == int(KIND_NONLINEAR) &&
              int(WizardKind::Transform) == int(KIND_TRANSFORM) &&
              int(WizardKind::DllEquation) == int(KIND_HARD_EQUATION));

std::vector<std::string> CMXWizardCatalog::GetItemNames(int kindMask) const
{
    std::vector<std::string> names;
    if (m_pDocument)
        m_pDocument->GetItemNames(kindMask, names);
    return names;
}

int CMXWizardCatalog::GetItemKind(std::string_view name) const
{
    if (!m_pDocument || name.empty())
        return 0;
    const CMXProjectItem* item = m_pDocument->FindItem(name);
    return item ? item->GetKindFlag() : 0;
}

std::string CMXWizardCatalog::GetTransformSource(std::string_view name) const
{
    if (!m_pDocument || name.empty())
        return {};
    auto* transform = dynamic_cast<CMXTransform*>(m_pDocument->FindItem(name));
    const CMXProjectItem* source = transform ? transform->FindSourceItem() : nullptr;
    return source ? source->GetName() : std::string();
}
