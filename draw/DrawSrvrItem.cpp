#include "draw/DrawSrvrItem.h"

#include "draw/DrawData.h"
#include "draw/DrawViewBase.h"
#include "draw/PageRender.h"
#include "framework/ProjectDocBase.h"
#include "platform/Archive.h"
#include "platform/File.h"

#include <algorithm>

namespace {
std::vector<BYTE> ToBytes(const QByteArray& a) { return std::vector<BYTE>(a.begin(), a.end()); }

// Puts the page's served extent and the selection-only flag back however the copy ends.
class ExtentRestorer {
public:
    ExtentRestorer(CDrawData& page, bool& selectionOnly)
        : m_page(page), m_flag(selectionOnly), m_extent(page.GetServerExtent()), m_origin(page.GetExtentOrigin())
    {
    }
    ~ExtentRestorer()
    {
        m_page.SetServerExtent(m_extent, m_origin);
        m_flag = false;
    }

private:
    CDrawData& m_page;
    bool& m_flag;
    SIZE m_extent;
    POINT m_origin;
};
} // namespace

CDrawSrvrItem::CDrawSrvrItem(CProjectDocBase* document, CDrawData* page) : m_pDocumentBase(document), m_pPage(page) {}

RECT CDrawSrvrItem::ServedArea() const
{
    const SIZE e = m_pPage->GetServerExtent();
    const POINT o = m_pPage->GetExtentOrigin();
    const int w = MulDiv(e.cx, kUnitsPerInch, 2540), h = MulDiv(e.cy, kUnitsPerInch, 2540);
    // The stored origin keeps the upper edge negated.
    return {o.x, -o.y - h, o.x + w, -o.y};
}

std::vector<BYTE> CDrawSrvrItem::StoreObjectList(const CDrawObjList& objects, CDrawData* page)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        CDrawObjList list(objects);
        CDrawData::SerializeObjectList(list, ar, page);
        ar.Close();
    }
    return file.Detach();
}

CDrawObjList CDrawSrvrItem::LoadObjectList(const std::vector<BYTE>& bytes, CDrawData* owner, CProjectDocBase* document)
{
    CMemFile file(bytes);
    CArchive ar(&file, CArchive::load, 4096, document);
    CDrawObjList list;
    CDrawData::SerializeObjectList(list, ar, owner);
    return list;
}

void CDrawSrvrItem::AddDrawingData(ClipboardFormats& formats)
{
    CDrawViewBase* view = GetActiveDrawView();
    if (!view)
        return;
    CDrawObjList selected;
    for (CDrawObj* obj : m_pPage->GetObjects())
        if (obj->IsShown() && view->IsSelected(obj))
            selected.push_back(obj);
    formats[kDrawingFormat] = StoreObjectList(selected, m_pPage);
}

ClipboardFormats CDrawSrvrItem::OnGetClipboardData()
{
    ClipboardFormats formats;
    CDrawViewBase* view = GetActiveDrawView();
    if (!view)
        return formats;
    bool any = false;
    RECT r{};
    for (CDrawObj* obj : view->GetSelection()) {
        const RECT b = NormalizedRect(obj->GetBounds());
        r = any ? UnionRects(r, b) : b;
        any = true;
    }
    if (!any)
        return formats;
    r = InflatedRect(r, 10, 10);
    ExtentRestorer restore(*m_pPage, m_bSelectionOnly);
    m_pPage->SetServerExtent({MulDiv(r.right - r.left, 2540, 720), MulDiv(r.bottom - r.top, 2540, 720)},
                             {r.left, -r.bottom});
    m_bSelectionOnly = true;
    AddDrawingData(formats);
    // The pictures show the selection within its extent. (An embedding of
    // the whole page, which a copy of everything shown would also carry,
    // has no form here: other programs take the pictures.)
    const RECT area = ServedArea();
    const DrawObjFilter filter = [view](CDrawObj* obj) { return view->IsSelected(obj); };
    formats[kSvgFormat] = ToBytes(PageAreaToSvg(*m_pPage, area, filter));
    formats[kPdfFormat] = ToBytes(PageAreaToPdf(*m_pPage, area, filter));
    formats[kPngFormat] = ToBytes(PageAreaToPng(*m_pPage, area, kPictureDpi, filter));
    return formats;
}
