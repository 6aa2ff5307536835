#include "framework/Action.h"

#include "platform/Archive.h"
#include "platform/StringTable.h"

IMPLEMENT_DYNAMIC(CAction, CObject)

CAction::CAction(UINT descriptionId)
    : m_description(LoadString(descriptionId))
{
}

CAction::CAction(std::string description)
    : m_description(std::move(description))
{
}

void CAction::Serialize(CArchive& ar)
{
    if (ar.IsStoring())
        ar << m_description;
    else
        ar >> m_description;
}
