#include "app/MXProjectItem.h"

#include "app/MXDoc.h"
#include "framework/UpdateNotification.h"
#include "framework/ArchiveHelpers.h"
#include "platform/File.h"
#include "platform/StringTable.h"

IMPLEMENT_SERIAL(CMXProjectItem, CProjectItemBase, VERSIONABLE_SCHEMA | 0)

CMXDoc* CMXProjectItem::GetMXDoc() const { return dynamic_cast<CMXDoc*>(GetDocument()); }

void CMXProjectItem::SetName(const std::string& name, int notify)
{
    if (name == m_strName)
        return;
    std::string oldName = m_strName;
    CProjectItemBase::SetName(name, notify);
    if (!notify)
        return;
    if (CMXDoc* doc = GetMXDoc()) {
        CUpdateNotification note;
        note.kind = UN_ITEM_RENAMED;
        note.item = this;
        note.oldName = oldName;
        note.newName = name;
        doc->NotifyItems(note, true);
        // Then the windows: a running graph wizard follows its source's name.
        doc->UpdateAllViews(nullptr, UPDATE_HINT_NOTIFICATION, &note);
    }
}

void CMXProjectItem::NotifyChanged()
{
    CMXDoc* doc = GetMXDoc();
    if (!doc)
        return;
    CUpdateNotification note;
    note.kind = UN_ITEM_CHANGED;
    note.item = this;
    note.state = UN_STATE_OVER;
    doc->NotifyItems(note, true);
    doc->UpdateAllViews(nullptr, UPDATE_HINT_NOTIFICATION, &note);
}

int CMXProjectItem::GetFieldText(std::string& text, std::string_view, std::string_view)
{
    return CProjectItemBase::GetFieldText(text, '\0') ? 1 : 0;
}

void CMXProjectItem::InitNewItem()
{
    if (UINT id = GetTypeTextID())
        m_strTypeText = LoadString(id);
    if (UINT pattern = GetNamePatternID())
        SetUniqueName(pattern);
    UpdateListText();
}

void CMXProjectItem::Serialize(CArchive& ar)
{
    SerializeVersion(ar, 0);
    // The list row that the base inserts on load shows the kind's type text.
    if (ar.IsLoading() && GetTypeTextID())
        m_strTypeText = LoadString(GetTypeTextID());
    CProjectItemBase::Serialize(ar);
}

void CMXProjectItem::SaveToFile(const std::string& path)
{
    CDiskFile file(path, CDiskFile::modeCreate | CDiskFile::modeWrite);
    CArchive ar(&file, CArchive::store, 4096);
    ar.Write(kStoredItemMagic, sizeof kStoredItemMagic);
    SerializeVersion(ar, 0);
    ar << std::int32_t(GetStoreIconIndex());
    ar.WriteObject(this);
    ar.Close();
    file.Close();
}
