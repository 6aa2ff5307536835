#include "draw/DrawPoly.h"

#include "draw/DrawDC.h"
#include "draw/DrawData.h"
#include "draw/DrawViewBase.h"
#include "draw/PatternPen.h"
#include "framework/ArchiveHelpers.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"

#include <QPainter>
#include <QPolygon>

#include <algorithm>

IMPLEMENT_SERIAL(CDrawPoly, CDrawLineParent, 0)

CDrawPoly::CDrawPoly(const RECT& position, CDrawData* page) : CDrawLineParent(position, page)
{
    UpdateTransform(m_position, true);
}

void CDrawPoly::Serialize(CArchive& ar)
{
    CDrawLineParent::Serialize(ar);
    SerializeVersion(ar, 0);
    if (ar.IsStoring()) {
        ar.WriteCount(std::uint32_t(m_points.size()));
        for (const POINT& p : m_points)
            ar << std::int32_t(p.x) << std::int32_t(p.y);
        ar << std::int32_t(m_bClosed);
        return;
    }
    const std::uint32_t count = ar.ReadCount();
    // Every vertex takes eight bytes: a count beyond what is there is damage.
    ar.CheckRemaining(count, 8);
    std::vector<POINT> points(count);
    for (POINT& p : points) {
        std::int32_t x = 0, y = 0;
        ar >> x >> y;
        p = {x, y};
    }
    std::int32_t closed = 0;
    ar >> closed;
    m_points = std::move(points);
    m_savedPoints = m_points;
    m_bClosed = closed;
    UpdateTransform(m_position, true);
}

void CDrawPoly::SetPoints(std::vector<POINT> points)
{
    m_points = std::move(points);
    m_savedPoints = m_points;
    if (!RecalcBounds())
        UpdateTransform(m_position, true);
}

POINT CDrawPoly::GetHandle(int n)
{
    if (n < 1 || std::size_t(n) > m_points.size())
        return CDrawLineParent::GetHandle(1);
    return m_transform.MapPoint(m_points[std::size_t(n) - 1]);
}

int CDrawPoly::GetHandleCursor(int n)
{
    if (n == -1)
        return CURSOR_VERTEX_DELETE;
    if (n == -2)
        return CURSOR_VERTEX_INSERT;
    return CURSOR_CROSS;
}

void CDrawPoly::SetPolyClosed(int closed, bool redraw)
{
    if (closed == m_bClosed)
        return;
    m_bClosed = closed;
    if (redraw)
        Invalidate();
    SetModified();
}

void CDrawPoly::Draw(CDrawDC& dc, CDrawViewBase*)
{
    if (m_points.size() < 2 || !dc.painter)
        return;
    std::vector<POINT> mapped = m_points;
    m_transform.MapPoints(mapped);
    const int n = int(mapped.size());
    QPainter& p = *dc.painter;
    p.save();
    if (m_bFillOn) {
        SelectFillBrush(dc);
        CPatternPen fill;
        fill.Create(&p, PS_NULL, 0, 0);
        fill.Polygon(mapped.data(), n);
        fill.Release();
    }
    if (GetLineVisible()) {
        p.setBrush(Qt::NoBrush);
        CPatternPen pen;
        CreatePen(pen, &p);
        if (m_bClosed == 1)
            pen.Polygon(mapped.data(), n);
        else
            pen.Polyline(mapped.data(), n);
        pen.Release();
    }
    p.restore();
    DrawArrow(dc, m_nSecondArrow, mapped[std::size_t(n) - 1].x, mapped[std::size_t(n) - 1].y,
              mapped[std::size_t(n) - 2].x, mapped[std::size_t(n) - 2].y);
    DrawArrow(dc, m_nFirstArrow, mapped[0].x, mapped[0].y, mapped[1].x, mapped[1].y);
}

void CDrawPoly::MoveTo(const RECT& position, CDrawViewBase* view)
{
    if (position == m_position)
        return;
    RepaintVia(view);
    // The vertices follow the frame: moved with it, and stretched when its
    // size changes (a frame of no width or height can only move them).
    const RECT& o = m_position;
    const std::int64_t ow = o.right - o.left, oh = o.bottom - o.top;
    const std::int64_t nw = position.right - position.left, nh = position.bottom - position.top;
    for (POINT& p : m_points) {
        p.x = ow != 0 ? LONG(position.left + (p.x - o.left) * nw / ow) : p.x + (position.left - o.left);
        p.y = oh != 0 ? LONG(position.top + (p.y - o.top) * nh / oh) : p.y + (position.top - o.top);
    }
    m_savedPoints = m_points;
    m_position = position;
    m_savedPosition = position;
    UpdateTransform(m_position, true);
    RepaintVia(view);
    SetModified();
}

void CDrawPoly::DrawOutline(CDrawDC& dc, CDrawViewBase*, int)
{
    std::vector<POINT> mapped = m_savedPoints;
    m_transform.MapPoints(mapped);
    DrawMappedOutline(dc, mapped, m_bClosed == 1);
}

void CDrawPoly::SavePosition()
{
    CDrawLineParent::SavePosition();
    m_savedPoints = m_points;
    m_bVertexDrag = false;
}

void CDrawPoly::OffsetBy(POINT offset)
{
    m_savedPoints = m_points;
    for (POINT& p : m_savedPoints) {
        p.x += offset.x;
        p.y += offset.y;
    }
    CDrawLineParent::OffsetBy(offset);
}

void CDrawPoly::EndDrag(CDrawViewBase* view, bool commit, bool newObject)
{
    if (!m_bVertexDrag) {
        CDrawLineParent::EndDrag(view, commit, newObject);
        m_savedPoints = m_points;
        return;
    }
    m_bVertexDrag = false;
    if (view)
        view->ShowDragOutline(this, false, 0);
    if (commit) {
        RepaintVia(view);
        m_points = m_savedPoints;
        m_savedPosition = m_position;
        if (!RecalcBounds())
            UpdateTransform(m_position, true);
        RepaintVia(view);
        SetModified();
    } else {
        m_savedPoints = m_points;
        m_savedPosition = m_position;
        UpdateTransform(m_position, true);
        RepaintInView(view);
    }
}

int CDrawPoly::Tolerance(CDrawViewBase* view)
{
    int style = 0, width = 0;
    GetLineStyle(style, width);
    return width + 2 * GetHandleSize(view).cx;
}

int CDrawPoly::HitTestHandles(POINT point, CDrawViewBase* view, bool selected)
{
    const int h = CDrawLineParent::HitTestHandles(point, view, selected);
    if (!selected || !view || !(view->GetKeyState() & MK_CONTROL))
        return h;
    if (h > 0)
        return -1;
    return FindSegmentAt(point.x, point.y, view) >= 0 ? -2 : 0;
}

int CDrawPoly::FindSegmentAt(int x, int y, CDrawViewBase* view)
{
    const POINT p = GetInverseTransform().MapPoint(POINT{x, y});
    const int tolerance = Tolerance(view);
    const int n = int(m_points.size());
    for (int i = 1; i < n; ++i) {
        const POINT& a = m_points[std::size_t(i) - 1];
        const POINT& b = m_points[std::size_t(i)];
        if (PointNearLine(a.x, a.y, b.x, b.y, p.x, p.y, tolerance))
            return i - 1;
    }
    if (m_bClosed && n > 1) {
        const POINT& a = m_points.back();
        const POINT& b = m_points.front();
        if (PointNearLine(a.x, a.y, b.x, b.y, p.x, p.y, tolerance))
            return n - 1;
    }
    return -1;
}

bool CDrawPoly::HitTest(POINT point, CDrawViewBase* view)
{
    if (!CDrawObj::HitTest(point, view) || m_points.empty())
        return false;
    if (FindSegmentAt(point.x, point.y, view) >= 0)
        return true;
    const POINT p = GetInverseTransform().MapPoint(point);
    QPolygon polygon;
    for (const POINT& v : m_points)
        polygon << QPoint(v.x, v.y);
    return polygon.containsPoint(QPoint(p.x, p.y), Qt::OddEvenFill);
}

void CDrawPoly::MoveHandleTo(int handle, POINT offset, CDrawViewBase* view)
{
    if (handle < 1 || std::size_t(handle) > m_points.size())
        return;
    m_bVertexDrag = true;
    if (m_savedPoints.size() != m_points.size())
        m_savedPoints = m_points;
    const POINT d = RotateVector(offset, -m_nAngle);
    const POINT& v = m_points[std::size_t(handle) - 1];
    m_savedPoints[std::size_t(handle) - 1] = {v.x + d.x, v.y + d.y};
}

void CDrawPoly::DeleteVertex(POINT point, CDrawViewBase* view)
{
    const int h = CDrawLineParent::HitTestHandles(point, view, true);
    if (h < 1 || std::size_t(h) > m_points.size())
        return;
    if (m_points.size() <= 3) {
        // Too few vertices left for a shape: the polygon goes, and nothing
        // of it may be touched after it is deleted.
        Remove();
        return;
    }
    RepaintVia(view);
    m_points.erase(m_points.begin() + (h - 1));
    m_savedPoints = m_points;
    if (!RecalcBounds())
        UpdateTransform(m_position, true);
    RepaintVia(view);
    SetModified();
}

void CDrawPoly::InsertVertex(POINT point, CDrawViewBase* view)
{
    const int i = FindSegmentAt(point.x, point.y, view);
    if (i < 0)
        return;
    RepaintVia(view);
    const POINT p = GetInverseTransform().MapPoint(point);
    m_points.insert(m_points.begin() + (i + 1), p);
    m_savedPoints = m_points;
    if (!RecalcBounds())
        UpdateTransform(m_position, true);
    RepaintVia(view);
    SetModified();
}

void CDrawPoly::AddPoint(POINT point, CDrawViewBase* view)
{
    if (!m_savedPoints.empty() && m_savedPoints.back() == point)
        return;
    m_savedPoints.push_back(point);
    m_points.push_back(point);
    if (view)
        view->ShowDragOutline(this, true, 1);
}

void CDrawPoly::DropLastPoint()
{
    if (m_points.empty())
        return;
    m_points.pop_back();
    m_savedPoints = m_points;
}

bool CDrawPoly::RecalcBounds()
{
    if (m_points.empty())
        return false;
    RECT box{m_points[0].x, m_points[0].y, m_points[0].x, m_points[0].y};
    for (const POINT& p : m_points)
        box = UnionRects(box, RECT{p.x, p.y, p.x, p.y});
    if (box == m_position)
        return false;
    // A rotated polygon stays where it is on the page.
    const RECT placed = KeepInPlace(box);
    const int dx = placed.left - box.left, dy = placed.top - box.top;
    box = placed;
    for (POINT& p : m_points) {
        p.x += dx;
        p.y += dy;
    }
    m_savedPoints = m_points;
    m_position = m_savedPosition = box;
    UpdateTransform(m_position, true);
    return true;
}

void CDrawPoly::OnEditProperties(CDrawViewBase* view)
{
    EditProperties(view, LoadString(IDS_POLYGON_PROPERTIES), 255);
}

CDrawObj* CDrawPoly::Clone(CDrawData* page)
{
    auto clone = std::make_unique<CDrawPoly>(m_position, page);
    CopyAttributes(clone.get());
    clone->m_points = m_points;
    clone->m_savedPoints = m_savedPoints;
    clone->m_bClosed = m_bClosed;
    return AdoptClone(std::move(clone));
}

void CDrawPoly::RecalcOutline(const RECT& rect)
{
    CDrawLineParent::RecalcOutline(rect);
    if (!m_points.empty())
        m_rcBounds = NormalizedRect(m_rcRepaint);
    GrowForArrows();
}
