#include "draw/DrawRect.h"

#include "draw/DrawDC.h"
#include "draw/DrawData.h"
#include "draw/PatternPen.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"

#include <QBrush>
#include <QPainter>

IMPLEMENT_SERIAL(CDrawRect, CDrawObj, 0)

CDrawRect::CDrawRect(const RECT& position, CDrawData* page) : CDrawObj(position, page) {}

void CDrawRect::DrawPolygon(CDrawDC& dc, std::vector<POINT>& points)
{
    if (!dc.painter)
        return;
    m_transform.MapPoints(points);
    // Only the brush is changed here (the pen puts its own back): a page
    // draws thousands of these, and saving the whole painter each time costs.
    const QBrush brush = dc.painter->brush();
    SelectFillBrush(dc);
    CPatternPen pen;
    CreatePen(pen, dc.painter);
    pen.Polygon(points.data(), int(points.size()));
    pen.Release();
    dc.painter->setBrush(brush);
}

void CDrawRect::Draw(CDrawDC& dc, CDrawViewBase*)
{
    const RECT& r = m_position;
    std::vector<POINT> corners = {{r.left, r.top}, {r.right, r.top}, {r.right, r.bottom}, {r.left, r.bottom}};
    DrawPolygon(dc, corners);
}

void CDrawRect::OnEditProperties(CDrawViewBase* view)
{
    EditProperties(view, LoadString(IDS_RECTANGLE_PROPERTIES), 255);
}

CDrawObj* CDrawRect::Clone(CDrawData* page)
{
    auto clone = std::make_unique<CDrawRect>(m_position, page);
    CopyAttributes(clone.get());
    return AdoptClone(std::move(clone));
}
