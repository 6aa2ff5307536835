#include "draw/DrawData.h"

#include "draw/DrawDC.h"
#include "draw/DrawOleObj.h"
#include "draw/DrawTextBase.h"
#include "draw/DrawViewBase.h"
#include "draw/FormatMerge.h"
#include "framework/ArchiveHelpers.h"
#include "framework/ProjectDocBase.h"
#include "platform/Archive.h"

#include <algorithm>
#include <cstring>
#include <unordered_set>

IMPLEMENT_SERIAL(CDrawData, CObject, 1)

namespace {
CDrawData::PaperProvider& Provider()
{
    static CDrawData::PaperProvider provider;
    return provider;
}

// How deep the list being read lies in groups.
thread_local int t_listDepth = 0;

struct DepthGuard {
    DepthGuard() { ++t_listDepth; }
    ~DepthGuard() { --t_listDepth; }
};
} // namespace

CDrawData::CDrawData()
{
    m_cfDefault.cbSize = 60;
    m_pfDefault.cbSize = 156;
}

CDrawData::~CDrawData() { DeleteObjects(); }

void CDrawData::DeleteObjects()
{
    CDrawObjList objects;
    objects.swap(m_objects);
    for (CDrawObj* obj : objects)
        obj->Delete();
}

void CDrawData::SetDefaultPaperProvider(PaperProvider provider) { Provider() = std::move(provider); }

void CDrawData::InitPageSetup()
{
    m_nColourTarget = 0;
    m_pHintObject = nullptr;
    m_pHintList = nullptr;
    m_szServerExtent = {10160, 8890};
    m_ptExtentOrigin = {0, 0};
    m_pEditObj = nullptr;
    m_cfDefault = CHARFORMAT();
    m_cfDefault.cbSize = 60;
    m_cfDefault.dwMask = 0xFFFFFFFF;
    m_cfDefault.dwEffects = 0;
    m_cfDefault.yHeight = 240;
    m_cfDefault.yOffset = 0;
    m_cfDefault.crTextColor = kDrawWindowTextColour;
    m_cfDefault.bCharSet = 0;
    m_cfDefault.bPitchAndFamily = 0x22;
    std::strcpy(m_cfDefault.szFaceName, "Arial");
    m_pfDefault = PARAFORMAT();
    m_pfDefault.cbSize = 156;
    m_pfDefault.dwMask = 0xFFFFFFFF;
    m_pfDefault.wAlignment = 1;
    m_crDefaultLine = kWindowFrameColour;
    m_bDefaultLineOn = 1;
    m_crDefaultFill = 0xC0C0C0;
    m_bDefaultFillOn = 0;
    m_bShowOutlines = 1;
    m_bGridLines = 1;
    m_crPaper = kWindowColour;
    m_rcMargins = {720, 720, 720, 720};
    m_nOrientation = 1;
    m_ptViewPosition = {5000, 5000};
    SIZE paper{};
    short orientation = 1;
    if (Provider() && Provider()(paper, orientation) && (orientation == 1 || orientation == 2))
        m_nOrientation = orientation;
    RecalcPageSize();
}

// ---------------------------------------------------------------- the stored form

void CDrawData::SerializeObjectList(CDrawObjList& list, CArchive& ar, CDrawData* owner)
{
    if (ar.IsStoring()) {
        // Objects may add what they need stored beside them (a graph its parts).
        CDrawObjList stored(list);
        for (std::size_t i = 0; i < stored.size(); ++i)
            stored[i]->OnBeforeStore(stored);
        for (CDrawObj* obj : stored) {
            ar << std::int32_t(1);
            obj->SetStoreList(&stored);
            ar.WriteObject(obj);
            obj->SetStoreList(nullptr);
        }
        ar << std::int32_t(0);
        return;
    }
    // Objects of other programs are left out and counted; the outermost
    // reading says so once.
    COleObjectSkips skips;
    DepthGuard depth;
    if (t_listDepth > kMaxNesting)
        ThrowArchiveError(CArchiveException::genericException, "drawing groups nested too deeply");
    // The list is emptied before its objects go: a graph takes its parts
    // off the page as it is deleted, and a part that is no longer listed is
    // left to this loop.
    CDrawObjList old;
    old.swap(list);
    for (CDrawObj* obj : old)
        obj->Delete();
    try {
        for (;;) {
            std::int32_t flag = 0;
            ar >> flag;
            if (flag == 0)
                break;
            if (flag != 1)
                ThrowArchiveError(CArchiveException::genericException, "bad drawing list entry");
            bool isNew = false;
            // Only drawing classes are built; a second reference to an object
            // already read would give it two owners.
            CObject* object = ar.ReadObject(RUNTIME_CLASS(CDrawObj), isNew);
            if (!object)
                ThrowArchiveError(CArchiveException::genericException, "empty drawing list entry");
            if (!isNew)
                ThrowArchiveError(CArchiveException::genericException, "drawing object listed twice");
            auto* obj = static_cast<CDrawObj*>(object);
            if (obj->IsKindOf(RUNTIME_CLASS(CDrawOleObj))) {
                // Another program's object: it cannot live here.
                COleObjectSkips::Note();
                obj->Delete();
                continue;
            }
            obj->SetStoreList(&list);
            list.push_back(obj);
        }
    } catch (...) {
        for (CDrawObj* obj : list)
            obj->Delete();
        list.clear();
        throw;
    }
    for (CDrawObj* obj : list)
        obj->SetOwner(owner);
    for (CDrawObj* obj : list)
        obj->OnListLoaded(list);
    for (CDrawObj* obj : list)
        obj->SetStoreList(nullptr);
}

void CDrawData::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        SerializeVersion(ar, 0);
        SerializeObjectList(m_objects, ar, this);
        ar << std::uint32_t(m_crPaper);
        ArchiveStoreCharFormat(ar, m_cfDefault);
        ArchiveStoreParaFormat(ar, m_pfDefault);
        ar << std::uint32_t(m_crDefaultLine) << std::int32_t(m_bDefaultLineOn);
        ar << std::uint32_t(m_crDefaultFill) << std::int32_t(m_bDefaultFillOn);
        ar << std::int32_t(m_bShowOutlines);
        ar << m_rcMargins;
        ArchiveStorePair(ar, m_szServerExtent.cx, m_szServerExtent.cy);
        ArchiveStorePoint(ar, m_ptExtentOrigin);
        ArchiveStoreShortAsLong(ar, m_nOrientation);
        ar << std::int32_t(m_nColourTarget);
        ArchiveStorePoint(ar, m_ptViewPosition);
        ar << std::int32_t(m_bGridLines);
        return;
    }
    if (auto* doc = dynamic_cast<CProjectDocBase*>(ar.m_pDocument))
        m_pDocument = doc;
    // Left-out embedded objects are told of once the whole page is read.
    COleObjectSkips skips;
    SerializeVersion(ar, 0);
    m_pEditObj = nullptr;
    SerializeObjectList(m_objects, ar, this);
    std::uint32_t paper = 0, line = 0, fill = 0;
    std::int32_t lineOn = 0, fillOn = 0, outlines = 0, target = 0, grid = 0;
    ar >> paper;
    ArchiveLoadCharFormat(ar, m_cfDefault);
    ArchiveLoadParaFormat(ar, m_pfDefault);
    ar >> line >> lineOn >> fill >> fillOn >> outlines;
    ar >> m_rcMargins;
    ArchiveLoadPair(ar, m_szServerExtent.cx, m_szServerExtent.cy);
    ArchiveLoadPoint(ar, m_ptExtentOrigin);
    ArchiveLoadShortAsLong(ar, m_nOrientation);
    ar >> target;
    ArchiveLoadPoint(ar, m_ptViewPosition);
    ar >> grid;
    m_crPaper = paper;
    m_crDefaultLine = line;
    m_bDefaultLineOn = lineOn;
    m_crDefaultFill = fill;
    m_bDefaultFillOn = fillOn;
    m_bShowOutlines = outlines;
    m_nColourTarget = target >= 0 && target <= 2 ? target : 0;
    m_bGridLines = grid;
    // The paper is that of the printer in use now, not of the one it was saved with.
    RecalcPageSize();
}

// ---------------------------------------------------------------- changes and hints

void CDrawData::SetModified(bool modified)
{
    if (CProjectDocBase* doc = GetDocument())
        doc->SetModifiedFlag(modified);
    if (modified)
        UpdateServerExtent();
}

bool CDrawData::ComputeServedExtent(SIZE& extent, POINT& origin) const
{
    bool any = false;
    RECT u{};
    for (CDrawObj* obj : m_objects) {
        if (!obj->IsShown())
            continue;
        const RECT b = NormalizedRect(obj->GetBounds());
        // The union starts from the first shown object, not from an empty
        // rectangle at the page's origin.
        u = any ? UnionRects(u, b) : b;
        any = true;
    }
    if (!any)
        return false;
    u = InflatedRect(u, 10, 10);
    extent = {MulDiv(u.right - u.left, 2540, 720), MulDiv(u.bottom - u.top, 2540, 720)};
    // The extent's top edge is the upper edge on the page (the larger y).
    origin = {u.left, -u.bottom};
    return true;
}

void CDrawData::UpdateServerExtent()
{
    SIZE extent{};
    POINT origin{};
    if (ComputeServedExtent(extent, origin)) {
        m_szServerExtent = extent;
        m_ptExtentOrigin = origin;
    }
}

void CDrawData::BroadcastHint(int hint)
{
    if (CProjectDocBase* doc = GetDocument())
        doc->UpdateAllViews(nullptr, hint, this);
}

// ---------------------------------------------------------------- objects

void CDrawData::AddObject(CDrawObj* obj)
{
    if (!obj)
        return;
    m_objects.push_back(obj);
    SetModified(true);
}

void CDrawData::RemoveObject(CDrawObj* obj)
{
    const auto it = std::find(m_objects.begin(), m_objects.end(), obj);
    if (it != m_objects.end())
        m_objects.erase(it);
    if (m_pEditObj && static_cast<CDrawObj*>(m_pEditObj) == obj)
        m_pEditObj = nullptr;
    SetModified(true);
    m_pHintObject = obj;
    BroadcastHint(HINT_OBJECT_REMOVED);
    m_pHintObject = nullptr;
}

void CDrawData::MoveObjectTo(CDrawObj* obj, int index)
{
    const auto it = std::find(m_objects.begin(), m_objects.end(), obj);
    if (it == m_objects.end())
        return;
    m_objects.erase(it);
    index = std::clamp(index, 0, int(m_objects.size()));
    m_objects.insert(m_objects.begin() + index, obj);
}

CDrawObj* CDrawData::ObjectAt(POINT point, CDrawViewBase* view)
{
    for (auto it = m_objects.rbegin(); it != m_objects.rend(); ++it)
        if ((*it)->IsShown() && (*it)->HitTest(point, view))
            return *it;
    return nullptr;
}

void CDrawData::DrawObjects(CDrawDC& dc, CDrawViewBase* view)
{
    const bool clip = dc.HasClip();
    for (CDrawObj* obj : m_objects) {
        if (!obj->IsShown())
            continue;
        if (clip) {
            // Objects wholly outside the area being drawn are left out; the
            // repaint box holds arrow heads and handles too.
            const RECT box = UnionRects(obj->GetBounds(), NormalizedRect(obj->GetRepaintBox()));
            if (!RectsIntersect(box, dc.clip))
                continue;
        }
        obj->Draw(dc, view);
    }
    if (!view || !view->ShowsSelection() || dc.printing)
        return;
    const CDrawObjList& selection = view->GetSelection();
    if (selection.empty())
        return;
    const std::unordered_set<const CDrawObj*> selected(selection.begin(), selection.end());
    for (CDrawObj* obj : m_objects)
        if (selected.count(obj) && obj->IsShown())
            obj->DrawTracker(dc, 1, view);
}

// ---------------------------------------------------------------- paper

void CDrawData::SetOrientation(short orientation)
{
    m_nOrientation = orientation;
    RecalcPageSize();
}

void CDrawData::ClampMargins()
{
    RECT& m = m_rcMargins;
    m.left = std::max<LONG>(0, m.left);
    m.top = std::max<LONG>(0, m.top);
    m.right = std::max<LONG>(0, m.right);
    m.bottom = std::max<LONG>(0, m.bottom);
    if (std::int64_t(m.left) + m.right > m_nPageWidth)
        m.left = m.right = m_nPageWidth / 2;
    if (std::int64_t(m.top) + m.bottom > m_nPageHeight)
        m.top = m.bottom = m_nPageHeight / 2;
}

void CDrawData::SetMargins(const RECT& margins)
{
    m_rcMargins = margins;
    ClampMargins();
    BroadcastHint(HINT_UPDATE_WINDOW);
}

void CDrawData::RecalcPageSize(const SIZE* printerPaper)
{
    SIZE paper = kDefaultPaper;
    short ignored = 0;
    SIZE provided{};
    if (printerPaper)
        paper = *printerPaper;
    else if (Provider() && Provider()(provided, ignored) && provided.cx > 0 && provided.cy > 0)
        paper = provided;
    int width = paper.cx, height = paper.cy;
    if (m_nOrientation == 1) {
        width = std::min(paper.cx, paper.cy);
        height = std::max(paper.cx, paper.cy);
    } else if (m_nOrientation == 2) {
        width = std::max(paper.cx, paper.cy);
        height = std::min(paper.cx, paper.cy);
    }
    if (width == m_nPageWidth && height == m_nPageHeight)
        return;
    m_nPageWidth = width;
    m_nPageHeight = height;
    ClampMargins();
    BroadcastHint(HINT_PAGE_SIZE);
}

RECT CDrawData::GetPaperRect() const
{
    return {-m_rcMargins.left, m_rcMargins.top - m_nPageHeight, m_nPageWidth - m_rcMargins.left, m_rcMargins.top};
}

void CDrawData::SetExtentOrigin(int x, int y)
{
    if (m_ptExtentOrigin.x != x || m_ptExtentOrigin.y != y)
        m_ptExtentOrigin = {x, y};
}

// ---------------------------------------------------------------- defaults

void CDrawData::SetDefaultCharFormat(const CHARFORMAT& format)
{
    // The defaults stay wholly determined: only their values change.
    const DWORD mask = m_cfDefault.dwMask;
    MergeCharFormat(m_cfDefault, format);
    m_cfDefault.dwMask = mask;
    SetModified(true);
}

void CDrawData::SetDefaultParaFormat(const PARAFORMAT& format)
{
    const DWORD mask = m_pfDefault.dwMask;
    MergeParaFormat(m_pfDefault, format);
    m_pfDefault.dwMask = mask;
    SetModified(true);
}

void CDrawData::SetDefaultLineColor(COLORREF colour)
{
    m_crDefaultLine = colour;
    SetModified(true);
}

void CDrawData::SetDefaultLineOn(int on)
{
    m_bDefaultLineOn = on;
    SetModified(true);
}

void CDrawData::SetDefaultFillColor(COLORREF colour)
{
    m_crDefaultFill = colour;
    SetModified(true);
}

void CDrawData::SetDefaultFillOn(int on)
{
    m_bDefaultFillOn = on;
    SetModified(true);
}

void CDrawData::SetDefaultTextColor(COLORREF colour)
{
    m_cfDefault.crTextColor = colour;
    m_cfDefault.dwEffects &= ~DWORD(CFE_AUTOCOLOR);
    SetModified(true);
}
