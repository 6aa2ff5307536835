#include "app/MXGraph.h"

#include "draw/DrawOleObj.h"
#include "framework/UpdateNotification.h"
#include "framework/ArchiveHelpers.h"
#include "framework/ProjectDocBase.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"

IMPLEMENT_SERIAL(CMXDrawData, CDrawData, 1)
IMPLEMENT_SERIAL(CMXGraph, CMXProjectItem, VERSIONABLE_SCHEMA | 0)

namespace {
}

// ---------------------------------------------------------------- the page

void CMXDrawData::SetModified(bool modified)
{
    CDrawData::SetModified(modified);
    if (m_pOwner)
        m_pOwner->SetModified(modified);
}

CProjectDocBase* CMXDrawData::GetDocument() const
{
    if (m_pOwner && m_pOwner->GetDocument())
        return m_pOwner->GetDocument();
    return CDrawData::GetDocument();
}

void CMXDrawData::UpdateServerExtent()
{
    // Editing changes the page many times in a row: while a window shows
    // it, the extent waits for the window's one-second timer.
    if (m_startExtentTimer)
        m_startExtentTimer();
    else
        CDrawData::UpdateServerExtent();
}

// ---------------------------------------------------------------- the server item

std::function<CDrawViewBase*(CMXGraph*)> CGraphServerItem::s_findView;

CGraphServerItem::CGraphServerItem(CProjectDocBase* document, CMXGraph* graph, CDrawData* page, std::string name)
    : CDrawSrvrItem(document, page)
    , m_pGraph(graph)
    , m_strName(std::move(name))
{
}

CDrawViewBase* CGraphServerItem::GetActiveDrawView() { return s_findView ? s_findView(m_pGraph) : nullptr; }

// ---------------------------------------------------------------- the item

CMXGraph::CMXGraph()
{
    m_strTypeText = LoadString(GetTypeTextID());
    m_page.SetOwner(this);
}

CMXGraph::CMXGraph(CProjectDocBase* document)
    : CMXProjectItem(document)
{
    m_strTypeText = LoadString(GetTypeTextID());
    m_page.SetDocument(document);
    m_page.InitPageSetup();
    m_page.SetOwner(this);
    // A graph prints no footer unless the user gives it one.
    m_strFooter.clear();
    m_nZoom = 100;
    MakeServerItem();
}

CMXGraph::~CMXGraph()
{
    m_pServerItem.reset();
    // The page goes with the item; its objects must not report to it.
    m_page.SetOwner(nullptr);
}

void CMXGraph::GetTypeName(std::string& out) const { out = LoadString(IDS_GRAPH_TYPE_NAME); }

void CMXGraph::MakeServerItem()
{
    m_pServerItem = std::make_unique<CGraphServerItem>(GetDocument(), this, &m_page, GetName());
}

void CMXGraph::SetName(const std::string& name, int notify)
{
    CMXProjectItem::SetName(name, notify);
    // The page answers other programs under the new name.
    MakeServerItem();
}

void CMXGraph::ApplyPageSetupToPage()
{
    const RECT& m = m_rcMargins;
    m_page.SetOrientation(short(m_nOrientation));
    m_page.SetMargins({MulDiv(m.left, kUnitsPerInch, 1000), MulDiv(m.top, kUnitsPerInch, 1000),
                       MulDiv(m.right, kUnitsPerInch, 1000), MulDiv(m.bottom, kUnitsPerInch, 1000)});
    m_page.SetModified(true);
}

void CMXGraph::OnItemNotify(CUpdateNotification& note)
{
    // A copy: an object may take itself off the page while it is told.
    const CDrawObjList objects = m_page.GetObjects();
    for (CDrawObj* obj : objects)
        if (FindObjectIndex(m_page.GetObjects(), obj) >= 0)
            obj->OnDocumentChange(note);
}

void CMXGraph::Serialize(CArchive& ar)
{
    SerializeVersion(ar, 0);
    CMXProjectItem::Serialize(ar);
    if (ar.IsStoring()) {
        m_page.Serialize(ar);
        ar << std::int32_t(m_nZoom);
        return;
    }
    m_page.SetOwner(this);
    m_page.Serialize(ar);
    std::int32_t zoom = 100;
    ar >> zoom;
    // A zoom outside what views can show is damage: the page shows at 100 %.
    m_nZoom = zoom >= 5 && zoom <= 600 ? zoom : 100;
    MakeServerItem();
}
