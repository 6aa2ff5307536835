#include "app/MXNotes.h"

#include "framework/ArchiveHelpers.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"

IMPLEMENT_SERIAL(CMXNotes, CMXProjectItem, VERSIONABLE_SCHEMA | 0)

CMXNotes::CMXNotes() { m_strTypeText = LoadString(GetTypeTextID()); }

CMXNotes::CMXNotes(CProjectDocBase* document)
    : CMXProjectItem(document)
{
    m_strTypeText = LoadString(GetTypeTextID());
}

void CMXNotes::GetTypeName(std::string& out) const { out = LoadString(IDS_NOTES_TYPE_NAME); }

void CMXNotes::Serialize(CArchive& ar)
{
    SerializeVersion(ar, 0);
    CMXProjectItem::Serialize(ar);
    m_richData.Serialize(ar);
}
