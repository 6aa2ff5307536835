#include "draw/DrawLine.h"

#include "draw/DrawDC.h"
#include "draw/DrawData.h"
#include "draw/PatternPen.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"

#include <QPainter>

IMPLEMENT_SERIAL(CDrawLine, CDrawLineParent, 0)

CDrawLine::CDrawLine(const RECT& position, CDrawData* page) : CDrawLineParent(position, page)
{
    UpdateTransform(m_position, true);
}

POINT CDrawLine::GetHandle(int n)
{
    const RECT& r = m_position;
    return m_transform.MapPoint(n == 2 ? POINT{r.right, r.bottom} : POINT{r.left, r.top});
}

void CDrawLine::Draw(CDrawDC& dc, CDrawViewBase*)
{
    if (!dc.painter)
        return;
    POINT ends[2];
    m_transform.MapSegment(m_position, ends);
    CPatternPen pen;
    CreatePen(pen, dc.painter);
    // The dash phase starts at the end point.
    pen.MoveTo(ends[1].x, ends[1].y);
    pen.LineTo(ends[0].x, ends[0].y);
    pen.Release();
    DrawArrow(dc, m_nSecondArrow, ends[0].x, ends[0].y, ends[1].x, ends[1].y);
    DrawArrow(dc, m_nFirstArrow, ends[1].x, ends[1].y, ends[0].x, ends[0].y);
}

void CDrawLine::DrawOutline(CDrawDC& dc, CDrawViewBase*, int)
{
    if (!dc.painter)
        return;
    POINT ends[2];
    m_transform.MapSegment(m_savedPosition, ends);
    dc.painter->drawLine(QPointF(ends[0].x, ends[0].y), QPointF(ends[1].x, ends[1].y));
}

bool CDrawLine::HitTest(POINT point, CDrawViewBase* view)
{
    POINT ends[2];
    m_transform.MapSegment(m_position, ends);
    int style = 0, width = 0;
    GetLineStyle(style, width);
    const int tolerance = width + 2 * GetHandleSize(view).cx;
    return PointNearLine(ends[0].x, ends[0].y, ends[1].x, ends[1].y, point.x, point.y, tolerance);
}

void CDrawLine::MoveHandleTo(int handle, POINT offset, CDrawViewBase* view)
{
    // The end point is the frame's (right, bottom) corner: handle 5 of a box.
    CDrawLineParent::MoveHandleTo(handle == 2 ? 5 : 1, offset, view);
}

void CDrawLine::OnEditProperties(CDrawViewBase* view)
{
    EditProperties(view, LoadString(IDS_LINE_PROPERTIES), 255);
}

CDrawObj* CDrawLine::Clone(CDrawData* page)
{
    auto clone = std::make_unique<CDrawLine>(m_position, page);
    CopyAttributes(clone.get());
    return AdoptClone(std::move(clone));
}

void CDrawLine::RecalcOutline(const RECT& rect)
{
    CDrawLineParent::RecalcOutline(rect);
    GrowForArrows();
}
