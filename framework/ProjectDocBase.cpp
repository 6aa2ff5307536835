#include "framework/ProjectDocBase.h"

#include "framework/ArchiveHelpers.h"
#include "framework/DocItem.h"
#include "framework/ProjectItemBase.h"
#include "platform/Archive.h"
#include "platform/CompoundFile.h"
#include "platform/Reporter.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"

#include <algorithm>
#include <cstdio>
#include <map>

IMPLEMENT_DYNAMIC(CProjectDocBase, CObject)
IMPLEMENT_DYNAMIC(CDocItem, CObject)

namespace {

constexpr std::size_t kItemBuffer = 64 << 10;

// One stored window: its item's ordinal and the frame's own record.
struct WindowRecord {
    int ordinal = 0;
    WINDOWPLACEMENT placement;
};

void SerializeFrameRecord(CArchive& ar, WINDOWPLACEMENT& placement)
{
    SerializeVersion(ar, 0);
    if (ar.IsStoring())
        ar << placement;
    else
        ar >> placement;
}

} // namespace

CProjectDocBase::CProjectDocBase() = default;

CProjectDocBase::~CProjectDocBase()
{
    // Actions may refer to items: drop them first.
    m_actions.RemoveAll();
    DeleteContents();
}

void CProjectDocBase::AddItem(CDocItem* item)
{
    if (!item || std::find(m_items.begin(), m_items.end(), item) != m_items.end())
        return;
    if (item->GetDocument() && item->GetDocument() != this)
        item->GetDocument()->RemoveItem(item);
    m_items.push_back(item);
    item->SetDocument(this);
}

void CProjectDocBase::RemoveItem(CDocItem* item)
{
    auto it = std::find(m_items.begin(), m_items.end(), item);
    if (it == m_items.end())
        return;
    m_items.erase(it);
    item->SetDocument(nullptr);
    if (auto* projectItem = dynamic_cast<CProjectItemBase*>(item)) {
        if (m_pItemBeingOpened == projectItem)
            m_pItemBeingOpened = nullptr;
        int row = m_list.FindItem(projectItem);
        if (row >= 0)
            m_list.DeleteRow(row);
    }
}

std::vector<CProjectItemBase*> CProjectDocBase::GetProjectItems() const
{
    std::vector<CProjectItemBase*> out;
    for (CDocItem* d : m_items)
        if (auto* item = dynamic_cast<CProjectItemBase*>(d))
            out.push_back(item);
    return out;
}

void CProjectDocBase::AddView(CDocView* view)
{
    if (std::find(m_views.begin(), m_views.end(), view) == m_views.end())
        m_views.push_back(view);
}

void CProjectDocBase::RemoveView(CDocView* view) { std::erase(m_views, view); }

void CProjectDocBase::UpdateAllViews(CDocView* sender, int hint, CObject* object)
{
    // A view may close (and leave the list) while it is told.
    std::vector<CDocView*> views = m_views;
    for (CDocView* v : views)
        if (v != sender && std::find(m_views.begin(), m_views.end(), v) != m_views.end())
            v->OnUpdate(sender, hint, object);
}

void CProjectDocBase::SetPathName(const std::string& path)
{
    m_strPathName = path;
    std::size_t slash = path.find_last_of('/');
    m_strTitle = slash == std::string::npos ? path : path.substr(slash + 1);
}

bool CProjectDocBase::OnNewDocument()
{
    DeleteContents();
    m_file.reset();
    m_strPathName.clear();
    m_pItemBeingOpened = nullptr;
    m_actions.RemoveAll();
    m_bNewWorkspace = true;
    m_bModified = false;
    m_summary = std::make_unique<CSummaryInfo>();
    m_summary->StartEditTimer();
    m_summary->StampCreated();
    std::string name, author;
    GetProductNames(name, author);
    m_summary->SetAppName(name);
    m_summary->SetAuthor(author);
    return true;
}

bool CProjectDocBase::OnOpenDocument(const std::string& path)
{
    m_bOpenReplacedContents = false;
    auto file = std::make_unique<CCompoundFile>();
    try {
        // A file that is not a workspace leaves the open workspace as it was.
        file->Open(path);
    } catch (const std::exception& e) {
        ReportException(e, false, path);
        return false;
    }
    m_actions.RemoveAll();
    DeleteContents();
    m_file = std::move(file);
    m_summary = std::make_unique<CSummaryInfo>();
    m_summary->StartEditTimer();
    try {
        std::unique_ptr<CStorageStream> stream = m_file->Root().OpenStream(kMainStream);
        if (!stream)
            ThrowArchiveError(CArchiveException::genericException, "The file has no workspace stream.");
        CArchive ar(stream.get(), CArchive::load, kItemBuffer, this);
        Serialize(ar);
        // A missing or damaged summary keeps the defaults: it never stops the load.
        m_summary->LoadFromStorage(m_file->Root());
    } catch (const std::exception& e) {
        // Whatever was read is gone with the failure; the document becomes a
        // new untitled workspace so that a later save cannot overwrite the file.
        OnNewDocument();
        m_bOpenReplacedContents = true;
        ReportException(e, false, path);
        return false;
    }
    m_pItemBeingOpened = nullptr;
    m_actions.RemoveAll();
    SetPathName(path);
    // A repaired workspace differs from its file: saving it keeps the repair,
    // and closing it asks first.
    SetModifiedFlag(!m_recoveredItems.empty());
    return true;
}

bool CProjectDocBase::OnSaveDocument(const std::string& path)
{
    if (!m_file)
        m_file = std::make_unique<CCompoundFile>();
    std::string name, author;
    GetProductNames(name, author);
    m_summary->StampSaved();
    m_summary->IncrementRevision();
    m_summary->SetLastAuthor(author);
    m_summary->AddEditTime();
    m_summary->StartEditTimer();
    try {
        m_file->PrepareSaveAs(path);
        {
            std::unique_ptr<CStorageStream> stream = m_file->Root().CreateStream(kMainStream);
            CArchive ar(stream.get(), CArchive::store, kItemBuffer, this);
            Serialize(ar);
            ar.Close();
        }
        if (!m_summary->SaveToStorage(m_file->Root()))
            ThrowArchiveError(CArchiveException::genericException, "The summary information could not be written.");
        m_file->SaveAs(path);
    } catch (const std::exception& e) {
        ReportException(e, true, path);
        return false;
    }
    SetPathName(path);
    m_bModified = false;
    return true;
}

void CProjectDocBase::ReportException(const std::exception& e, bool saving, const std::string& path)
{
    std::string text = saving ? "Failed to save the workspace \"" + path + "\".\n" + e.what()
                              : "Failed to open the workspace \"" + path + "\".\n" + e.what();
    ReportText(text, MB_OK | MB_ICONEXCLAMATION);
}

void CProjectDocBase::DeleteContents()
{
    m_list.DeleteAllRows();
    m_pendingStreams.clear();
    // Deleting an item takes it out of the list; work on a copy.
    std::vector<CDocItem*> items = m_items;
    for (CDocItem* item : items) {
        RemoveItem(item);
        delete item;
    }
    m_items.clear();
    m_nLastItemId = 0;
}

CStorage* CProjectDocBase::GetRootStorage() const { return m_file ? &m_file->Root() : nullptr; }

bool CProjectDocBase::IsWorkspaceItem(const CDocItem*) const { return true; }

std::string CProjectDocBase::ItemStreamName(int id)
{
    char name[32];
    std::snprintf(name, sizeof name, "Item_%X", unsigned(id));
    return name;
}

void CProjectDocBase::MarkItemStreamDeleted(const CProjectItemBase* item)
{
    m_pendingStreams.push_back(ItemStreamName(item->GetItemId()));
}

void CProjectDocBase::DestroyDeletedStreams()
{
    if (CStorage* root = GetRootStorage())
        for (const std::string& name : m_pendingStreams)
            root->DestroyElement(name);
    m_pendingStreams.clear();
}

int CProjectDocBase::GetItemOrdinal(const CProjectItemBase* item) const
{
    if (!item)
        return 0;
    int ordinal = 0;
    for (CDocItem* d : m_items) {
        if (auto* p = dynamic_cast<CProjectItemBase*>(d)) {
            ++ordinal;
            if (p == item)
                return ordinal;
        }
    }
    return 0;
}

void CProjectDocBase::UpdateFrameCounts()
{
    if (m_pHost)
        m_pHost->UpdateItemTitles(nullptr);
}

void CProjectDocBase::CloseAllItemWindows()
{
    if (m_pHost)
        m_pHost->CloseAllItemWindows();
}

void CProjectDocBase::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        std::vector<CWorkspaceHost::FrameState> frames;
        if (m_pHost)
            frames = m_pHost->GetItemFrames();
        SerializeItems(ar);
        SerializeVersion(ar, 0);
        ar << std::int32_t(m_nLastItemId) << std::int32_t(frames.size());
        if (!frames.empty())
            StoreWindowState(ar, frames);
        return;
    }
    m_nSkippedItems = 0;
    m_recoveredItems.clear();
    m_nLastItemId = 0;
    SerializeItems(ar);
    SerializeVersion(ar, 0);
    std::int32_t lastId = 0, frameCount = 0;
    ar >> lastId >> frameCount;
    // The next new item must never take the id of one that was read.
    int highest = m_nLastItemId;
    for (CProjectItemBase* item : GetProjectItems())
        highest = std::max(highest, item->GetItemId());
    m_nLastItemId = std::max<int>(lastId, highest);
    if (frameCount < 0)
        ThrowArchiveError();
    LoadWindowState(frameCount, ar);
    if (m_nSkippedItems > 0)
        ReportText(std::to_string(m_nSkippedItems)
                       + (m_nSkippedItems == 1 ? " item of this workspace is an object" : " items of this workspace are objects")
                       + " of another program, which cannot be shown here. The rest of the workspace was opened;"
                         " saving it leaves those objects out.",
                   MB_OK | MB_ICONINFORMATION);
    if (!m_recoveredItems.empty()) {
        std::string names;
        for (const std::string& name : m_recoveredItems)
            names += (names.empty() ? "\"" : ", \"") + name + "\"";
        ReportMessage(IDS_ITEMS_RECOVERED, {names}, MB_OK | MB_ICONINFORMATION);
    }
}

void CProjectDocBase::SerializeItems(CArchive& ar)
{
    if (ar.IsStoring()) {
        DestroyDeletedStreams();
        std::vector<CDocItem*> stored;
        for (CDocItem* item : m_items)
            if (!item->IsBlank() && IsWorkspaceItem(item))
                stored.push_back(item);
        ar << std::int32_t(stored.size());
        for (CDocItem* item : stored)
            StoreItem(ar, item);
        return;
    }
    std::int32_t count = 0;
    ar >> count;
    // Every entry takes at least its flag and one more word.
    if (count < 0)
        ThrowArchiveError();
    ar.CheckRemaining(std::uint64_t(count), 8);
    for (std::int32_t i = 0; i < count; ++i)
        LoadItem(ar);
}

void CProjectDocBase::StoreItem(CArchive& ar, CDocItem* docItem)
{
    auto* item = dynamic_cast<CProjectItemBase*>(docItem);
    if (!item) {
        ar << std::int32_t(0);
        ar.WriteObject(docItem);
        return;
    }
    ar << std::int32_t(1) << std::int32_t(item->GetItemId());
    CStorage* root = GetRootStorage();
    if (!root)
        ThrowArchiveError();
    std::unique_ptr<CStorageStream> stream = root->CreateStream(ItemStreamName(item->GetItemId()));
    {
        CArchive itemArchive(stream.get(), CArchive::store, kItemBuffer, this);
        itemArchive.WriteObject(item);
        itemArchive.Close();
    }
    item->SerializeListLayout(ar);
    item->ClearModified();
}

void CProjectDocBase::LoadItem(CArchive& ar)
{
    std::int32_t flag = 0;
    ar >> flag;
    if (flag == 0) {
        std::unique_ptr<CDocItem> object = ar.ReadOwned<CDocItem>();
        if (object)
            AddItem(object.release());
        return;
    }
    if (flag != 1)
        ThrowArchiveError();
    std::int32_t id = 0;
    ar >> id;
    CStorage* root = GetRootStorage();
    std::unique_ptr<CStorageStream> stream = root ? root->OpenStream(ItemStreamName(id)) : nullptr;
    if (!stream) {
        if (ReportMessage(IDS_ITEM_CORRUPTED, {}, MB_YESNO | MB_ICONQUESTION) != IDYES)
            ThrowArchiveError(CArchiveException::badSchema);
        CProjectItemBase::SkipListLayout(ar);
        // The stand-in keeps the entry's id, so no later item can take it.
        if (CProjectItemBase* blank = CreateDefaultItem()) {
            blank->SetItemId(id);
            m_recoveredItems.push_back(blank->GetName());
        }
        return;
    }
    if (stream->GetLength() == 0) {
        CProjectItemBase::SkipListLayout(ar);
        return;
    }
    std::unique_ptr<CObject> object;
    try {
        CArchive itemArchive(stream.get(), CArchive::load, kItemBuffer, this);
        object.reset(itemArchive.ReadObject(RUNTIME_CLASS(CProjectItemBase)));
    } catch (const CArchiveException& e) {
        // Objects of other programs (embedded or linked) have no class here: the
        // item is left out and the rest of the workspace loads.
        if (e.m_cause != CArchiveException::badClass)
            throw;
        ++m_nSkippedItems;
        m_nLastItemId = std::max<int>(m_nLastItemId, id);
        CProjectItemBase::SkipListLayout(ar);
        return;
    }
    auto* item = static_cast<CProjectItemBase*>(object.get());
    if (!item)
        ThrowArchiveError();
    if (item->GetDocument() != this)
        AddItem(item);
    object.release();
    item->OnLoaded();
    item->ClearModified();
    item->SerializeListLayout(ar);
}

void CProjectDocBase::StoreWindowState(CArchive& ar, const std::vector<CWorkspaceHost::FrameState>& frames)
{
    std::vector<std::int32_t> stacking(frames.size(), -1);
    for (std::size_t i = 0; i < frames.size(); ++i) {
        WINDOWPLACEMENT placement = frames[i].placement;
        ar << std::int32_t(GetItemOrdinal(frames[i].item));
        SerializeFrameRecord(ar, placement);
        int position = frames[i].stackPosition;
        if (position >= 0 && std::size_t(position) < frames.size())
            stacking[std::size_t(position)] = std::int32_t(i);
    }
    // A hole in the stacking order (two windows claiming one place) falls back to the record order.
    for (std::size_t i = 0; i < stacking.size(); ++i)
        if (stacking[i] < 0)
            stacking = [&] {
                std::vector<std::int32_t> order(frames.size());
                for (std::size_t k = 0; k < order.size(); ++k)
                    order[k] = std::int32_t(k);
                return order;
            }();
    ar.WriteCount(std::uint32_t(stacking.size()));
    for (std::int32_t position : stacking)
        ar << position;
}

void CProjectDocBase::LoadWindowState(int count, CArchive& ar)
{
    if (count == 0) {
        m_bNewWorkspace = true;
        return;
    }
    // Each record is at least its ordinal, a version word and a placement.
    ar.CheckRemaining(std::uint64_t(count), 4 + 4 + 44);
    std::vector<WindowRecord> records(static_cast<std::size_t>(count));
    for (WindowRecord& r : records) {
        std::int32_t ordinal = 0;
        ar >> ordinal;
        r.ordinal = ordinal;
        SerializeFrameRecord(ar, r.placement);
    }
    std::uint32_t stackCount = ar.ReadCount();
    ar.CheckRemaining(stackCount, 4);
    std::vector<std::int32_t> stacking(stackCount);
    for (std::int32_t& p : stacking)
        ar >> p;

    std::vector<CProjectItemBase*> items = GetProjectItems();
    std::vector<CWorkspaceHost::FrameState> bottomToTop;
    std::vector<bool> used(records.size(), false);
    for (std::int32_t position : stacking) {
        // Entries that do not name a record, or name one twice, are passed over.
        if (position < 0 || std::size_t(position) >= records.size() || used[std::size_t(position)])
            continue;
        used[std::size_t(position)] = true;
        const WindowRecord& r = records[std::size_t(position)];
        if (r.ordinal < 1 || std::size_t(r.ordinal) > items.size())
            continue;
        CWorkspaceHost::FrameState state;
        state.item = items[std::size_t(r.ordinal - 1)];
        state.placement = r.placement;
        state.stackPosition = int(bottomToTop.size());
        bottomToTop.push_back(state);
    }
    if (m_pHost && !bottomToTop.empty()) {
        m_pHost->RestoreItemFrames(bottomToTop);
        m_bNewWorkspace = false;
    } else {
        m_bNewWorkspace = bottomToTop.empty();
    }
}
