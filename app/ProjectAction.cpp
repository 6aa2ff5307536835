#include "app/ProjectAction.h"

#include "app/MXDoc.h"
#include "app/MXProjectItem.h"
#include "framework/UpdateNotification.h"
#include "framework/ArchiveHelpers.h"
#include "framework/ItemListCtrl.h"
#include "framework/ProjectServerItem.h"
#include "platform/Archive.h"
#include "platform/Clock.h"
#include "platform/StringIds.h"

#include <algorithm>
#include <map>

IMPLEMENT_DYNAMIC(CProjectAction, CAction)
IMPLEMENT_DYNAMIC(CProjectItemRename, CProjectAction)
IMPLEMENT_DYNAMIC(CProjectItemDelete, CProjectAction)
IMPLEMENT_DYNAMIC(CProjectItemDeleteItem, CProjectItemDelete)
IMPLEMENT_DYNAMIC(CProjectItemCut, CProjectItemDelete)
IMPLEMENT_DYNAMIC(CProjectItemMove, CProjectAction)
IMPLEMENT_DYNAMIC(CProjectItemPaste, CProjectAction)
IMPLEMENT_DYNAMIC(CProjectItemAdd, CProjectAction)

namespace {

// Tells every item and view that the named item is about to go.
void NotifyRemoving(CMXDoc* doc, const std::string& name)
{
    CUpdateNotification note;
    note.kind = UN_ITEM_REMOVING;
    note.oldName = name;
    note.state = 0;
    doc->NotifyItems(note, true);
    doc->UpdateAllViews(nullptr, UPDATE_HINT_NOTIFICATION, &note);
}

void NotifyItemsChanged(CMXDoc* doc)
{
    CUpdateNotification note;
    note.kind = UN_ITEMS_CHANGED;
    note.state = UN_STATE_OVER;
    doc->NotifyItems(note, true);
    doc->UpdateAllViews(nullptr, UPDATE_HINT_NOTIFICATION, &note);
}

// Takes an item out of the workspace and deletes it, closing its windows first.
void RemoveAndDelete(CMXDoc* doc, CProjectItemBase* item)
{
    item->CloseWindow();
    doc->MarkItemStreamDeleted(item);
    doc->RemoveItem(item);
    delete item;
}

} // namespace

CProjectAction::CProjectAction(CMXDoc* document, UINT textId)
    : CAction(textId)
    , m_pDocument(document)
{
}

CProjectAction::CProjectAction(CMXDoc* document, std::string text)
    : CAction(std::move(text))
    , m_pDocument(document)
{
}

int CProjectAction::Do()
{
    CaptureState();
    return 1;
}

int CProjectAction::Redo()
{
    RestoreState();
    return 1;
}

int CProjectAction::Undo()
{
    RestoreState();
    return 1;
}

void CProjectAction::CaptureState()
{
    CItemListCtrl* list = m_pDocument->GetItemListCtrl();
    m_viewMode = list->GetViewMode();
    m_alignment = list->GetAlignment();
    m_autoArrange = list->GetAutoArrange();
    m_rows.clear();
    for (int row = 0; row < list->GetItemCount(); ++row)
        m_rows.push_back({list->GetItemState(row), list->GetItemPosition(row), list->GetItemText(row, 0)});
}

void CProjectAction::RestoreState()
{
    CItemListCtrl* list = m_pDocument->GetItemListCtrl();
    list->SetViewMode(m_viewMode);
    list->SetAlignment(m_alignment);
    list->SetAutoArrange(m_autoArrange);
    for (const RowState& r : m_rows) {
        int row = list->FindItemByName(r.name);
        if (row < 0)
            continue;
        list->SetItemState(row, r.state, LVIS_STATEMASK);
        list->SetItemPosition(row, r.position.x, r.position.y);
    }
}

// ---------------------------------------------------------------------------

CProjectItemRename::CProjectItemRename(CMXDoc* document, CProjectItemBase* item, std::string newName)
    : CProjectAction(document, IDS_RENAME)
    , m_oldName(item->GetName())
    , m_newName(std::move(newName))
    , m_pItem(item)
{
}

int CProjectItemRename::Do()
{
    CaptureState();
    m_pItem->SetName(m_newName, 1);
    m_pItem->UpdateListText();
    m_pItem->SetModified(true);
    return 1;
}

int CProjectItemRename::RenameRow(const std::string& from, const std::string& to)
{
    CItemListCtrl* list = m_pDocument->GetItemListCtrl();
    int row = list->FindItemByName(from);
    CProjectItemBase* item = row >= 0 ? list->GetItem(row) : nullptr;
    if (!item)
        return 0;
    item->SetName(to, 1);
    item->UpdateListText();
    m_pDocument->SetModifiedFlag(true);
    return 1;
}

int CProjectItemRename::Redo()
{
    RestoreState();
    return RenameRow(m_oldName, m_newName);
}

int CProjectItemRename::Undo()
{
    if (!RenameRow(m_newName, m_oldName))
        return 0;
    RestoreState();
    return 1;
}

// ---------------------------------------------------------------------------

CProjectItemDelete::CProjectItemDelete(CMXDoc* document, UINT textId)
    : CProjectAction(document, textId)
{
}

bool CProjectItemDelete::StoreSelectedItems()
{
    CItemListCtrl* list = m_pDocument->GetItemListCtrl();
    CWorkspaceHost* host = m_pDocument->GetHost();
    m_store.SetLength(0);
    m_store.SeekToBegin();
    CArchive ar(&m_store, CArchive::store, 4096, m_pDocument);
    int count = list->GetSelectedCount();
    ar << std::int32_t(count);
    for (int n = 0; n < count; ++n) {
        int row = list->GetSelected(n);
        CProjectItemBase* item = list->GetItem(row);
        if (!item)
            return false;
        bool open = host && host->HasItemWindow(item);
        ar << list->GetItemPosition(row);
        ar.WriteObject(item);
        ar << item->m_wpFrame << std::int32_t(open ? 1 : 0);
    }
    ar.Close();
    return true;
}

bool CProjectItemDelete::DeleteSelectedItems()
{
    CItemListCtrl* list = m_pDocument->GetItemListCtrl();
    int count = list->GetSelectedCount();
    for (int n = 0; n < count; ++n) {
        int row = list->GetSelected(0);
        CProjectItemBase* item = list->GetItem(row);
        if (!item)
            return false;
        NotifyRemoving(m_pDocument, item->GetName());
        RemoveAndDelete(m_pDocument, item);
    }
    m_pDocument->SetModifiedFlag(true);
    return true;
}

int CProjectItemDelete::Do()
{
    CaptureState();
    if (m_pDocument->GetItemListCtrl()->GetSelectedCount() == 0)
        return 0;
    SaveLinks();
    if (!StoreSelectedItems() || !BeforeDelete())
        return 0;
    return DeleteSelectedItems() ? 1 : 0;
}

int CProjectItemDelete::Redo()
{
    RestoreState();
    SaveLinks();
    if (!StoreSelectedItems() || !BeforeDelete())
        return 0;
    return DeleteSelectedItems() ? 1 : 0;
}

void CProjectItemDelete::SaveLinks()
{
    m_links.clear();
    for (CDocItem* d : m_pDocument->GetItems())
        if (auto* item = dynamic_cast<CMXProjectItem*>(d))
            m_links.emplace_back(item->GetName(), item->SaveLinks());
}

void CProjectItemDelete::ReadItemsBack()
{
    CItemListCtrl* list = m_pDocument->GetItemListCtrl();
    list->ClearSelection();
    bool autoArrange = list->GetAutoArrange();
    list->SetAutoArrange(false);
    std::vector<CProjectItemBase*> reopen;
    std::vector<CProjectItemBase*> reread;
    try {
        m_store.SeekToBegin();
        CArchive ar(&m_store, CArchive::load, 4096, m_pDocument);
        std::int32_t count = 0;
        ar >> count;
        for (std::int32_t i = 0; i < count; ++i) {
            POINT position;
            ar >> position;
            std::unique_ptr<CProjectItemBase> item(ar.ReadOwned<CProjectItemBase>());
            if (!item)
                break;
            CProjectItemBase* back = item.release();
            reread.push_back(back);
            if (back->GetDocument() != m_pDocument)
                m_pDocument->AddItem(back);
            if (list->FindItem(back) < 0)
                back->InsertInList(*list);
            ar >> back->m_wpFrame;
            int row = list->FindItem(back);
            list->SetItemPosition(row, position.x, position.y);
            back->SetListPosition(position);
            list->SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
            std::int32_t open = 0;
            ar >> open;
            if (open == 1)
                reopen.push_back(back);
        }
    } catch (const CException&) {
        // What was read stays.
    }
    for (CProjectItemBase* item : reread)
        item->OnLoaded();
    // The items that referred to the deleted ones get their links back.
    for (const auto& [name, links] : m_links)
        if (CMXProjectItem* item = m_pDocument->FindItem(name))
            item->RestoreLinks(links);
    for (CProjectItemBase* item : reopen)
        item->OpenWindow();
    list->SetAutoArrange(autoArrange);
    RestoreState();
}

int CProjectItemDelete::Undo()
{
    ReadItemsBack();
    NotifyItemsChanged(m_pDocument);
    return 1;
}

CProjectItemDeleteItem::CProjectItemDeleteItem(CMXDoc* document)
    : CProjectItemDelete(document, IDS_DELETE)
{
}

CProjectItemCut::CProjectItemCut(CMXDoc* document)
    : CProjectItemDelete(document, IDS_CUT)
{
}

bool CProjectItemCut::BeforeDelete() { return CopySelectedItems(m_pDocument); }

bool CopySelectedItems(CMXDoc* document)
{
    CItemListCtrl* list = document->GetItemListCtrl();
    CProjectServerItem server(document);
    int focused = list->GetFocused();
    int index = 0;
    for (int row = 0; row < list->GetItemCount(); ++row) {
        if (!(list->GetItemState(row) & LVIS_SELECTED))
            continue;
        POINT p = list->GetItemPosition(row);
        server.AddItem(list->GetItem(row), p.x, p.y);
        if (row == focused)
            server.SetFocusedIndex(index);
        ++index;
    }
    if (index == 0)
        return false;
    return server.CopyToClipboard();
}

// ---------------------------------------------------------------------------

CProjectItemMove::CProjectItemMove(CMXDoc* document, POINT target)
    : CProjectAction(document, IDS_MOVE)
    , m_target(target)
{
}

void CProjectItemMove::PlaceSelected(POINT target)
{
    CItemListCtrl* list = m_pDocument->GetItemListCtrl();
    bool first = true;
    POINT origin;
    for (int row = 0; row < list->GetItemCount(); ++row) {
        if (!(list->GetItemState(row) & LVIS_SELECTED))
            continue;
        POINT p = list->GetItemPosition(row);
        if (first) {
            origin = p;
            first = false;
        }
        int x = p.x - origin.x + target.x;
        int y = p.y - origin.y + target.y;
        list->SetItemPosition(row, x, y);
        if (CProjectItemBase* item = list->GetItem(row))
            item->SaveListPosition();
    }
    m_pDocument->SetModifiedFlag(true);
}

int CProjectItemMove::Do()
{
    CaptureState();
    PlaceSelected(m_target);
    return 1;
}

int CProjectItemMove::Redo()
{
    RestoreState();
    PlaceSelected(m_target);
    return 1;
}

int CProjectItemMove::Undo()
{
    PlaceSelected(POINT{0, 0});
    RestoreState();
    return 1;
}

// ---------------------------------------------------------------------------

CProjectItemPaste::CProjectItemPaste(CMXDoc* document, std::vector<BYTE> data, const POINT* dropPoint)
    : CProjectAction(document, dropPoint ? IDS_DROP : IDS_PASTE)
    , m_data(std::move(data))
    , m_hasDrop(dropPoint != nullptr)
{
    if (dropPoint)
        m_drop = *dropPoint;
}

int CProjectItemPaste::Do()
{
    CaptureState();
    if (m_data.empty())
        return 0;
    CProjectServerItem::Contents contents;
    try {
        contents = CProjectServerItem::ReadWorkspaceData(m_data, m_pDocument);
    } catch (const CException&) {
        return 0;
    }
    if (contents.items.empty())
        return 0;
    CItemListCtrl* list = m_pDocument->GetItemListCtrl();
    list->ClearSelection();
    SYSTEMTIME now = GetLocalSystemTime();
    m_pasted.clear();
    for (std::size_t i = 0; i < contents.items.size(); ++i) {
        CProjectItemBase* item = contents.items[i].release();
        item->OnLoaded();
        m_pDocument->AddItem(item);
        item->SetItemId(m_pDocument->NextItemId());
        item->SetModifiedTime(now);
        item->InsertInList(*list);
        // A pasted item never takes the name of one that is there already.
        item->MakeCopyName(false);
        int row = list->FindItem(item);
        if (m_hasDrop) {
            POINT p = contents.positions[i];
            POINT first = contents.positions[0];
            list->SetItemPosition(row, p.x - first.x + m_drop.x, p.y - first.y + m_drop.y);
            item->SaveListPosition();
        }
        UINT state = LVIS_SELECTED | (int(i) == contents.focused ? UINT(LVIS_FOCUSED) : 0u);
        list->SetItemState(row, state, LVIS_SELECTED | LVIS_FOCUSED);
        m_pasted.push_back({item->GetName(), now});
    }
    m_pDocument->SetModifiedFlag(true);
    NotifyItemsChanged(m_pDocument);
    return 1;
}

int CProjectItemPaste::CanUndo()
{
    CItemListCtrl* list = m_pDocument->GetItemListCtrl();
    for (const Pasted& p : m_pasted) {
        int row = list->FindItemByName(p.name);
        CProjectItemBase* item = row >= 0 ? list->GetItem(row) : nullptr;
        if (!item || CompareToSecond(item->GetModifiedTime(), p.time) != 0
            || item->GetModifiedTime().wMilliseconds != p.time.wMilliseconds)
            return 0;
    }
    return 1;
}

int CProjectItemPaste::Undo()
{
    if (!CanUndo())
        return 0;
    CItemListCtrl* list = m_pDocument->GetItemListCtrl();
    for (const Pasted& p : m_pasted) {
        int row = list->FindItemByName(p.name);
        CProjectItemBase* item = row >= 0 ? list->GetItem(row) : nullptr;
        if (!item)
            return 0;
        NotifyRemoving(m_pDocument, p.name);
        RemoveAndDelete(m_pDocument, item);
    }
    RestoreState();
    return 1;
}

// ---------------------------------------------------------------------------

CProjectItemAdd::CProjectItemAdd(CMXDoc* document, UINT textId)
    : CProjectAction(document, textId)
{
}

int CProjectItemAdd::Add(bool openWindow)
{
    CMXProjectItem* item = CreateItem(m_pDocument);
    m_pAdded = item;
    if (!item)
        return 0;
    item->SetModified(true);
    m_time = item->GetModifiedTime();
    m_name = item->GetName();
    CUpdateNotification note;
    note.kind = UN_ITEMS_CHANGED;
    note.state = UN_STATE_OVER;
    m_pDocument->UpdateAllViews(nullptr, UPDATE_HINT_NOTIFICATION, &note);
    if (openWindow)
        item->OpenWindow();
    return 1;
}

int CProjectItemAdd::Do()
{
    CaptureState();
    return Add(true);
}

int CProjectItemAdd::Redo()
{
    RestoreState();
    return Add(false);
}

CMXProjectItem* CProjectItemAdd::FindAdded() const
{
    CItemListCtrl* list = m_pDocument->GetItemListCtrl();
    int row = list->FindItemByName(m_name);
    return row >= 0 ? dynamic_cast<CMXProjectItem*>(list->GetItem(row)) : nullptr;
}

int CProjectItemAdd::CanUndo()
{
    // An item changed since it was added is never removed by undo: its edits would be lost.
    CMXProjectItem* item = FindAdded();
    if (!item)
        return 0;
    const SYSTEMTIME& t = item->GetModifiedTime();
    return CompareToSecond(t, m_time) == 0 && t.wMilliseconds == m_time.wMilliseconds;
}

int CProjectItemAdd::Undo()
{
    CMXProjectItem* item = FindAdded();
    if (!item)
        return 0;
    NotifyRemoving(m_pDocument, m_name);
    RemoveAndDelete(m_pDocument, item);
    m_pAdded = nullptr;
    m_pDocument->SetModifiedFlag(true);
    RestoreState();
    return 1;
}
