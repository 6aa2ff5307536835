#include "app/MXDoc.h"

#include "app/MXNotes.h"
#include "app/MXProjectItem.h"
#include "fitting/UpdateNotification.h"
#include "framework/ArchiveHelpers.h"
#include "platform/Reporter.h"
#include "platform/StringTable.h"

#include <algorithm>
#include <cstring>

IMPLEMENT_DYNAMIC(CMXDoc, CProjectDocBase)

namespace {
constexpr UINT IDS_NOT_A_WORKSPACE = 1208;
constexpr UINT IDS_WAIT_FOR_CALCULATION = 315;
constexpr UINT IDS_SAVE_ABORTED = 316;
} // namespace

std::string CMXDoc::s_author;

void CMXDoc::Serialize(CArchive& ar)
{
    m_bVersion3Equations = false;
    m_bConvertedData = false;
    if (ar.IsStoring()) {
        ar.Write(kMagic, sizeof kMagic);
        SerializeVersion(ar, 0);
        ar << m_strServedItem;
        CProjectDocBase::Serialize(ar);
        return;
    }
    char magic[6];
    if (ar.Read(magic, sizeof magic) != sizeof magic) {
        ReportMessage(IDS_NOT_A_WORKSPACE);
        ThrowArchiveError();
    }
    if (std::memcmp(magic, kMagic, sizeof magic) != 0) {
        // Older formats are read by their converters; until those exist, they
        // are refused like any other file that is not a workspace.
        ReportMessage(IDS_NOT_A_WORKSPACE);
        ThrowArchiveError();
    }
    SerializeVersion(ar, 0);
    ar >> m_strServedItem;
    CProjectDocBase::Serialize(ar);
}

std::vector<CMXProjectItem*> CMXDoc::ItemsInRowOrder() const
{
    std::vector<CMXProjectItem*> out;
    const CItemListCtrl& list = GetList();
    for (int row = 0; row < list.GetItemCount(); ++row)
        if (auto* item = dynamic_cast<CMXProjectItem*>(list.GetItem(row)))
            out.push_back(item);
    for (CDocItem* d : GetItems())
        if (auto* item = dynamic_cast<CMXProjectItem*>(d))
            if (std::find(out.begin(), out.end(), item) == out.end())
                out.push_back(item);
    return out;
}

CMXProjectItem* CMXDoc::FindItem(std::string_view name) const
{
    for (CMXProjectItem* item : ItemsInRowOrder())
        if (CompareNoCase(item->GetName(), name) == 0)
            return item;
    return nullptr;
}

int CMXDoc::GetItemNames(int kindMask, std::vector<std::string>& names) const
{
    names.clear();
    for (CMXProjectItem* item : ItemsInRowOrder())
        if (item->GetKindFlag() & kindMask)
            names.push_back(item->GetName());
    return int(names.size());
}

void CMXDoc::NotifyItems(CUpdateNotification& note, bool includeSubject)
{
    CMXProjectItem* subject = note.item;
    if (includeSubject && subject)
        subject->OnItemNotify(note);
    // An item may react by removing others: walk a snapshot and skip the departed.
    std::vector<CDocItem*> items = GetItems();
    for (CDocItem* d : items) {
        auto* item = dynamic_cast<CMXProjectItem*>(d);
        if (!item || item == subject)
            continue;
        const auto& now = GetItems();
        if (std::find(now.begin(), now.end(), d) == now.end())
            continue;
        item->OnItemNotify(note);
    }
}

bool CMXDoc::IsWorkspaceItem(const CDocItem* item) const
{
    return dynamic_cast<const CProjectItemBase*>(item) != nullptr;
}

CProjectItemBase* CMXDoc::CreateDefaultItem()
{
    auto* notes = new CMXNotes(this);
    notes->InitNewItem();
    return notes;
}

void CMXDoc::GetProductNames(std::string& name, std::string& author) const
{
    name = "Marlox";
    author = s_author;
}

bool CMXDoc::OnSaveDocument(const std::string& path)
{
    std::vector<CMXProjectItem*> running;
    for (CDocItem* d : GetItems())
        if (auto* item = dynamic_cast<CMXProjectItem*>(d); item && item->IsCalculating())
            running.push_back(item);
    if (!running.empty()) {
        if (ReportMessage(IDS_WAIT_FOR_CALCULATION, {}, MB_YESNO | MB_ICONQUESTION) != IDYES) {
            ReportMessage(IDS_SAVE_ABORTED);
            return false;
        }
        for (CMXProjectItem* item : running)
            item->WaitForCalculation();
    }
    if (!CProjectDocBase::OnSaveDocument(path))
        return false;
    CUpdateNotification note;
    note.kind = UN_WORKSPACE_SAVED;
    note.state = UN_STATE_OVER;
    NotifyItems(note, true);
    UpdateAllViews(nullptr, UPDATE_HINT_NOTIFICATION, &note);
    return true;
}
