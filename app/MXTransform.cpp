#include "app/MXTransform.h"

#include "app/MXDoc.h"
#include "framework/UpdateNotification.h"
#include "framework/ArchiveHelpers.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"

IMPLEMENT_SERIAL(CMXTransform, CMXProjectItem, VERSIONABLE_SCHEMA | 0)

CMXTransform::CMXTransform()
{
    m_strTypeText = LoadString(GetTypeTextID());
    InitFonts();
}

CMXTransform::CMXTransform(CProjectDocBase* document)
    : CMXProjectItem(document)
{
    m_strTypeText = LoadString(GetTypeTextID());
    InitFonts();
}

void CMXTransform::InitFonts()
{
    m_fonts[0] = MakeItemFont("Arial", FW_BOLD, false, 0x22, 140);
    m_fonts[1] = MakeItemFont("Arial", FW_BOLD, true, 0x22, 120);
    m_fonts[2] = MakeItemFont("Times New Roman", 0, false, 0x12, 100);
}

void CMXTransform::GetTypeName(std::string& out) const { out = LoadString(IDS_TRANSFORMATION_TYPE_NAME); }

CMXProjectItem* CMXTransform::FindSourceItem() const
{
    CMXDoc* doc = GetMXDoc();
    return doc ? doc->FindItem(m_transformation.GetReferenceName()) : nullptr;
}

bool CMXTransform::SetTransformName(const std::string& name)
{
    MakeUniqueName(name + "%1");
    UpdateListText();
    return true;
}

void CMXTransform::OnItemNotify(CUpdateNotification& note)
{
    const std::string& source = m_transformation.GetReferenceName();
    switch (note.kind) {
    case UN_ITEM_RENAMED:
        if (!source.empty() && source == note.oldName)
            m_transformation.SetReferenceName(note.newName);
        break;
    case UN_ITEM_REMOVING:
        if (!source.empty() && source == note.oldName) {
            SetModified(true);
            m_transformation.SetCompiled(false);
            m_transformation.SetReferenceName({});
        }
        break;
    case UN_EQUATION_CHANGED:
        if (note.item && note.item == FindSourceItem())
            m_transformation.SetCompiled(false);
        break;
    default:
        break;
    }
}

std::vector<BYTE> CMXTransform::SaveLinks() const
{
    const std::string& name = m_transformation.GetReferenceName();
    return std::vector<BYTE>(name.begin(), name.end());
}

void CMXTransform::RestoreLinks(const std::vector<BYTE>& links)
{
    if (m_transformation.GetReferenceName().empty() && !links.empty())
        m_transformation.SetReferenceName(std::string(links.begin(), links.end()));
}

void CMXTransform::Serialize(CArchive& ar)
{
    SerializeVersion(ar, 0);
    CMXProjectItem::Serialize(ar);
    m_transformation.Serialize(ar);
    for (ItemFont& f : m_fonts)
        SerializeItemFont(ar, f);
    for (int& indent : m_indents) {
        if (ar.IsStoring()) {
            ar << std::int32_t(indent);
        } else {
            std::int32_t v = 0;
            ar >> v;
            indent = v;
        }
    }
}
