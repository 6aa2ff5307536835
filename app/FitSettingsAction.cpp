#include "app/FitSettingsAction.h"

#include "app/MXResult.h"
#include "app/MXDoc.h"

IMPLEMENT_DYNAMIC(CFitSettingsAction, CAction)

CFitSettingsAction::CFitSettingsAction(CMXResult* item, UINT descriptionId, std::vector<BYTE> before,
                                       bool discardResults)
    : CAction(descriptionId), m_pItem(item), m_before(std::move(before)), m_bDiscard(discardResults)
{
}

int CFitSettingsAction::Do()
{
    if (!m_pItem)
        return 0;
    m_after = m_pItem->SaveSettings();
    return m_after != m_before ? 1 : 0;
}

int CFitSettingsAction::Redo() { return Apply(m_after); }

int CFitSettingsAction::Undo() { return Apply(m_before); }

int CFitSettingsAction::Apply(const std::vector<BYTE>& settings)
{
    if (!m_pItem)
        return 0;
    m_pItem->RestoreSettings(settings);
    if (m_bDiscard)
        m_pItem->ClearResults();
    m_pItem->SetModified(true);
    if (CMXDoc* doc = m_pItem->GetMXDoc())
        doc->UpdateAllViews(nullptr, HINT_FIT_SETTINGS_RESTORED, m_pItem);
    return 1;
}
