#include "framework/ProjectItemBase.h"

#include "framework/ArchiveHelpers.h"
#include "framework/DialogHelpers.h"
#include "framework/ItemListCtrl.h"
#include "framework/ProjectDocBase.h"
#include "platform/Clock.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"

#include <cstdio>
#include <cstring>

IMPLEMENT_SERIAL(CProjectItemBase, CDocItem, VERSIONABLE_SCHEMA | 0)

namespace {

std::string DefaultTimeFormatter(const SYSTEMTIME& t, bool longDate, bool seconds)
{
    static const char* const kMonths[] = {"January", "February", "March", "April", "May", "June", "July",
                                          "August", "September", "October", "November", "December"};
    char buf[96];
    if (longDate && t.wMonth >= 1 && t.wMonth <= 12)
        std::snprintf(buf, sizeof buf, "%u %s %04u", unsigned(t.wDay), kMonths[t.wMonth - 1], unsigned(t.wYear));
    else
        std::snprintf(buf, sizeof buf, "%04u-%02u-%02u", unsigned(t.wYear), unsigned(t.wMonth), unsigned(t.wDay));
    std::string out = buf;
    if (seconds)
        std::snprintf(buf, sizeof buf, " %02u:%02u:%02u", unsigned(t.wHour), unsigned(t.wMinute), unsigned(t.wSecond));
    else
        std::snprintf(buf, sizeof buf, " %02u:%02u", unsigned(t.wHour), unsigned(t.wMinute));
    return out + buf;
}

TimeFormatter g_timeFormatter = &DefaultTimeFormatter;

} // namespace

void SetTimeFormatter(TimeFormatter formatter) { g_timeFormatter = formatter ? formatter : &DefaultTimeFormatter; }

std::string FormatSystemTime(const SYSTEMTIME& time, bool longDate, bool seconds)
{
    return g_timeFormatter(time, longDate, seconds);
}

SIZE CProjectItemBase::s_workArea{1024, 768};

CProjectItemBase::CProjectItemBase() { InitDefaults(); }

CProjectItemBase::CProjectItemBase(CProjectDocBase* document)
{
    InitDefaults();
    m_timeModified = GetLocalSystemTime();
    if (document) {
        m_nItemId = document->NextItemId();
        m_nOrientation = document->GetDefaultOrientation();
        document->AddItem(this);
        if (CItemListCtrl* list = document->GetItemListCtrl())
            InsertInList(*list);
    }
}

CProjectItemBase::~CProjectItemBase()
{
    if (m_pDocument)
        m_pDocument->RemoveItem(this);
}

void CProjectItemBase::InitDefaults()
{
    m_strHeader = LoadString(IDS_DEFAULT_HEADER);
    m_strFooter = LoadString(IDS_DEFAULT_FOOTER);
    m_lfHeaderFooter.lfWeight = FW_NORMAL;
    std::strcpy(m_lfHeaderFooter.lfFaceName, "Times New Roman");
}

void CProjectItemBase::SetName(const std::string& name, int /*notify*/)
{
    m_strName = name;
    // The list's label always shows the name: rows are found by their labels.
    if (CItemListCtrl* list = GetList()) {
        int row = list->FindItem(this);
        if (row >= 0 && list->GetItemText(row, 0) != name)
            list->SetItemText(row, 0, name);
    }
    if (m_pDocument)
        m_pDocument->UpdateFrameCounts();
}

CProjectTemplateBase* CProjectItemBase::GetTemplate() const { return nullptr; }

bool CProjectItemBase::OpenWindow()
{
    CWorkspaceHost* host = m_pDocument ? m_pDocument->GetHost() : nullptr;
    if (!host)
        return false;
    if (host->HasItemWindow(this))
        return host->OpenItemWindow(this);
    SetRowState(true);
    m_pDocument->m_pItemBeingOpened = this;
    bool opened = host->OpenItemWindow(this);
    m_pDocument->m_pItemBeingOpened = nullptr;
    if (!opened) {
        SetRowState(false);
        return false;
    }
    // Opening a window changes the stored window layout.
    m_pDocument->SetModifiedFlag(true);
    return true;
}

void CProjectItemBase::CloseWindow()
{
    if (CWorkspaceHost* host = m_pDocument ? m_pDocument->GetHost() : nullptr)
        host->CloseItemWindows(this);
}

int CProjectItemBase::GetIconIndex() const
{
    return m_nIconSlot != -1 ? m_nIconSlot : GetLargeImageBase() + m_nIconOffset;
}

int CProjectItemBase::GetAltIconIndex() const
{
    return m_nIconSlot != -1 ? m_nIconSlot + 1 : GetSmallImageBase() + m_nIconOffset;
}

bool CProjectItemBase::GetFieldText(std::string& text, char)
{
    text = LoadString(IDS_BAD_COMMAND);
    return true;
}

std::string CProjectItemBase::FindFreeName(std::string_view pattern, std::string_view text, int* number) const
{
    for (int n = 1;; ++n) {
        std::string suffix;
        if (n > 1)
            suffix = " #" + std::to_string(n);
        std::string candidate = text.empty() ? FormatMessageText(pattern, {suffix})
                                             : FormatMessageText(pattern, {suffix, text});
        if (!FindByName(candidate)) {
            *number = n;
            return candidate;
        }
    }
}

int CProjectItemBase::MakeUniqueName(std::string_view pattern, std::string_view text)
{
    if (!m_pDocument)
        return -1;
    int number = 1;
    std::string name = FindFreeName(pattern, text, &number);
    SetName(name, 1);
    return number;
}

int CProjectItemBase::SetUniqueName(UINT patternStringId, std::string_view text)
{
    return MakeUniqueName(LoadString(patternStringId), text);
}

CProjectItemBase* CProjectItemBase::FindByName(std::string_view name) const
{
    if (!m_pDocument)
        return nullptr;
    for (CDocItem* d : m_pDocument->GetItems()) {
        auto* item = dynamic_cast<CProjectItemBase*>(d);
        if (item && item != this && CompareNoCase(item->m_strName, name) == 0)
            return item;
    }
    return nullptr;
}

void CProjectItemBase::MakeCopyName(bool another)
{
    if (!FindByName(m_strName))
        return;
    std::string pattern = LoadString(another ? IDS_ANOTHER_NAME : IDS_COPY_NAME);
    int number = 1;
    std::string name = FindFreeName(pattern, m_strName, &number);
    if (CItemListCtrl* list = GetList()) {
        int row = list->FindItem(this);
        if (row >= 0)
            list->SetItemText(row, 0, name);
    }
    SetName(name, 1);
}

void CProjectItemBase::SetModified(bool modified)
{
    if (modified) {
        SYSTEMTIME now = GetLocalSystemTime();
        bool newMinute = !SameMinute(now, m_timeModified);
        m_timeModified = now;
        if (newMinute) {
            if (CItemListCtrl* list = GetList()) {
                int row = list->FindItem(this);
                if (row >= 0)
                    list->SetItemText(row, 2, FormatTime());
            }
        }
    }
    // Only a raised flag reaches the document: clearing one item's flag must
    // not hide the changes of the others.
    if (m_pDocument && modified)
        m_pDocument->SetModifiedFlag(true);
    m_bModified = modified;
}

std::string CProjectItemBase::FormatTime() const { return FormatSystemTime(m_timeModified, false, false); }

std::string CProjectItemBase::FormatTimeLong() const { return FormatSystemTime(m_timeModified, true, false); }

CItemListCtrl* CProjectItemBase::GetList() const { return m_pDocument ? m_pDocument->GetItemListCtrl() : nullptr; }

void CProjectItemBase::InsertInList(CItemListCtrl& list)
{
    UINT state = m_bDimWhenClosed && !m_bWindowOpen ? UINT(LVIS_CUT) : 0u;
    int row = list.InsertRow(this, m_strName, GetIconIndex(), state);
    list.SetItemText(row, 1, m_strTypeText);
    list.SetItemText(row, 2, FormatTime());
    if (m_ptListPos.x != 0 || m_ptListPos.y != 0)
        list.SetItemPosition(row, m_ptListPos.x, m_ptListPos.y);
}

void CProjectItemBase::UpdateListText()
{
    CItemListCtrl* list = GetList();
    int row = list ? list->FindItem(this) : -1;
    if (row < 0)
        return;
    list->SetItemText(row, 0, m_strName);
    list->SetItemText(row, 1, m_strTypeText);
    list->SetItemImage(row, GetIconIndex());
}

int CProjectItemBase::GetListIndex() const
{
    CItemListCtrl* list = GetList();
    return list ? list->FindItem(this) : -1;
}

void CProjectItemBase::SelectInList()
{
    CItemListCtrl* list = GetList();
    int row = list ? list->FindItem(this) : -1;
    if (row >= 0)
        list->SelectOnly(row);
}

bool CProjectItemBase::IsSelectedInList() const
{
    CItemListCtrl* list = GetList();
    int row = list ? list->FindItem(this) : -1;
    return row >= 0 && (list->GetItemState(row, LVIS_SELECTED) != 0);
}

void CProjectItemBase::SaveListPosition()
{
    CItemListCtrl* list = GetList();
    int row = list ? list->FindItem(this) : -1;
    if (row >= 0 && (list->GetViewMode() == ListLargeIcons || list->GetViewMode() == ListSmallIcons))
        m_ptListPos = list->GetItemPosition(row);
}

void CProjectItemBase::SetRowState(bool open)
{
    m_bWindowOpen = open;
    CItemListCtrl* list = GetList();
    int row = list ? list->FindItem(this) : -1;
    if (row >= 0)
        list->SetItemState(row, !open && m_bDimWhenClosed ? UINT(LVIS_CUT) : 0u, LVIS_CUT);
}

void CProjectItemBase::OnFrameDestroyed()
{
    if (m_nOpenWindows <= 1)
        SetRowState(false);
}

void CProjectItemBase::Serialize(CArchive& ar)
{
    SerializeVersion(ar, 0);
    if (ar.IsStoring()) {
        ar << m_strName << m_timeModified << m_rcMargins;
        ar << std::int32_t(m_nOrientation) << std::int32_t(m_nFooterDistance) << std::int32_t(m_nHeaderDistance);
        ar << m_strHeader << m_strFooter << m_lfHeaderFooter << std::int32_t(m_nHeaderFooterSize);
        ar << std::int32_t(m_nKindValue) << std::int32_t(m_nItemId) << std::int32_t(m_nIconOffset);
        ar << m_strIconFile << std::int32_t(m_nIconSlot);
        if (m_nIconSlot != -1) {
            m_largeIcons.Write(ar);
            m_smallIcons.Write(ar);
        }
        return;
    }
    std::int32_t orientation, footer, header, size, kind, id, offset, slot;
    ar >> m_strName >> m_timeModified >> m_rcMargins;
    ar >> orientation >> footer >> header;
    ar >> m_strHeader >> m_strFooter >> m_lfHeaderFooter >> size;
    ar >> kind >> id >> offset;
    ar >> m_strIconFile >> slot;
    m_nOrientation = orientation;
    m_nFooterDistance = footer;
    m_nHeaderDistance = header;
    m_nHeaderFooterSize = size;
    m_nKindValue = kind;
    m_nItemId = id;
    m_nIconOffset = offset;
    m_nIconSlot = slot;
    if (slot != -1) {
        m_largeIcons.Read(ar);
        m_smallIcons.Read(ar);
    }
    // A loaded item joins the document it is read for.
    if (auto* document = dynamic_cast<CProjectDocBase*>(ar.m_pDocument)) {
        document->AddItem(this);
        if (CItemListCtrl* list = document->GetItemListCtrl())
            InsertInList(*list);
    }
}

void CProjectItemBase::SerializeListLayout(CArchive& ar)
{
    if (ar.IsStoring()) {
        SaveListPosition();
        SerializeVersion(ar, 0);
        ar << m_ptListPos << m_wpFrame << std::int32_t(s_workArea.cx) << std::int32_t(s_workArea.cy);
        return;
    }
    SerializeVersion(ar, 0);
    std::int32_t width = 0, height = 0;
    ar >> m_ptListPos >> m_wpFrame >> width >> height;
    // Keep the window on a smaller screen: shift it back inside the work area.
    if (width != s_workArea.cx || height != s_workArea.cy)
        MoveRectInside(m_wpFrame.rcNormalPosition, s_workArea.cx, s_workArea.cy);
    if (m_ptListPos.x != 0 || m_ptListPos.y != 0) {
        CItemListCtrl* list = GetList();
        int row = list ? list->FindItem(this) : -1;
        if (row >= 0)
            list->SetItemPosition(row, m_ptListPos.x, m_ptListPos.y);
    }
}

void CProjectItemBase::SkipListLayout(CArchive& ar)
{
    SerializeVersion(ar, 0);
    POINT p;
    WINDOWPLACEMENT w;
    std::int32_t width, height;
    ar >> p >> w >> width >> height;
}

int CProjectItemBase::CompareItems(const CProjectItemBase& a, const CProjectItemBase& b, int keys)
{
    auto bytes = [](const std::string& x, const std::string& y) {
        int c = std::strcmp(x.c_str(), y.c_str());
        return c < 0 ? -1 : c > 0 ? 1 : 0;
    };
    int byName = bytes(a.m_strName, b.m_strName);
    int byType = bytes(a.m_strTypeText, b.m_strTypeText);
    int byTime = CompareToSecond(a.m_timeModified, b.m_timeModified);
    int result;
    if (keys & 0x1)
        result = byName ? byName : byType ? byType : byTime;
    else if (keys & 0x2)
        result = byType ? byType : byName ? byName : byTime;
    else if (keys & 0x4)
        result = byTime ? byTime : byName ? byName : byType;
    else
        result = 0;
    return (keys & 0x8000) ? -result : result;
}
