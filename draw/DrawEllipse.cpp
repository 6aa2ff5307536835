#include "draw/DrawEllipse.h"

#include "draw/DrawDC.h"
#include "draw/DrawData.h"
#include "draw/ShapeOutlines.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"

#include <QPainter>

#include <algorithm>

IMPLEMENT_SERIAL(CDrawEllipse, CDrawRect, 0)

CDrawEllipse::CDrawEllipse(const RECT& position, CDrawData* page) : CDrawRect(position, page)
{
    UpdateTransform(m_position, true);
}

void CDrawEllipse::Draw(CDrawDC& dc, CDrawViewBase*)
{
    std::vector<POINT> points;
    if (dc.printing) {
        BuildEllipsePoints(m_position, points, true);
    } else {
        const RECT n = NormalizedRect(m_position);
        const double radius = std::max(n.right - n.left, n.bottom - n.top) / 2.0 / std::max(1e-6, dc.pixelX);
        BuildEllipsePoints(m_position, points, QuadrantPointsFor(radius));
    }
    DrawPolygon(dc, points);
}

void CDrawEllipse::DrawOutline(CDrawDC& dc, CDrawViewBase*, int)
{
    if (!dc.painter)
        return;
    std::vector<POINT> points;
    BuildEllipsePoints(m_savedPosition, points, false);
    m_transform.MapPoints(points);
    DrawMappedOutline(dc, points, true);
}

bool CDrawEllipse::HitTest(POINT point, CDrawViewBase* view)
{
    if (!CDrawObj::HitTest(point, view))
        return false;
    const POINT p = GetInverseTransform().MapPoint(point);
    const SIZE h = GetHandleSize(view);
    const RECT r = InflatedRect(NormalizedRect(m_position), h.cx, h.cy);
    const double a = (r.right - r.left) / 2.0, b = (r.bottom - r.top) / 2.0;
    if (a <= 0.0 || b <= 0.0)
        return false;
    const double x = (p.x - (r.left + a)) / a, y = (p.y - (r.top + b)) / b;
    return x * x + y * y <= 1.0;
}

void CDrawEllipse::OnEditProperties(CDrawViewBase* view)
{
    EditProperties(view, LoadString(IDS_ELLIPSE_PROPERTIES), 255);
}

CDrawObj* CDrawEllipse::Clone(CDrawData* page)
{
    auto clone = std::make_unique<CDrawEllipse>(m_position, page);
    CopyAttributes(clone.get());
    return AdoptClone(std::move(clone));
}

void CDrawEllipse::RecalcOutline(const RECT& rect)
{
    CDrawObj::RecalcOutline(rect);
    std::vector<POINT> points;
    BuildEllipsePoints(rect, points, false);
    BoundsFromOutline(points);
}
