#include "draw/DrawRoundRect.h"

#include "draw/DrawDC.h"
#include "draw/DrawData.h"
#include "draw/ShapeOutlines.h"
#include "framework/ArchiveHelpers.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>

IMPLEMENT_SERIAL(CDrawRoundRect, CDrawRect, 0)

CDrawRoundRect::CDrawRoundRect(const RECT& position, CDrawData* page) : CDrawRect(position, page)
{
    UpdateTransform(m_position, true);
}

void CDrawRoundRect::Serialize(CArchive& ar)
{
    CDrawRect::Serialize(ar);
    SerializeVersion(ar, 0);
    if (ar.IsStoring()) {
        ar << std::int32_t(m_roundness.cx) << std::int32_t(m_roundness.cy);
        return;
    }
    std::int32_t cx = 0, cy = 0;
    ar >> cx >> cy;
    m_roundness = m_savedRoundness = {cx, cy};
    UpdateTransform(m_position, true);
}

void CDrawRoundRect::Draw(CDrawDC& dc, CDrawViewBase*)
{
    std::vector<POINT> points;
    if (dc.printing) {
        BuildRoundRectPoints(m_position, points, m_roundness.cx, m_roundness.cy, true);
    } else {
        const double radius = std::max(m_roundness.cx, m_roundness.cy) / 2.0 / std::max(1e-6, dc.pixelX);
        BuildRoundRectPoints(m_position, points, m_roundness.cx, m_roundness.cy, QuadrantPointsFor(radius));
    }
    DrawPolygon(dc, points);
}

POINT CDrawRoundRect::GetHandle(int n)
{
    if (n != 9)
        return CDrawRect::GetHandle(n);
    const RECT r = NormalizedRect(m_position);
    const POINT c = RectCentre(r);
    const LONG x = std::max<LONG>(r.right - m_roundness.cx / 2, c.x);
    const LONG y = std::max<LONG>(r.bottom - m_roundness.cy / 2, c.y);
    return m_transform.MapPoint(POINT{x, y});
}

int CDrawRoundRect::GetHandleCursor(int n) { return n == 9 ? CURSOR_CROSS : CDrawRect::GetHandleCursor(n); }

void CDrawRoundRect::SavePosition()
{
    CDrawRect::SavePosition();
    m_savedRoundness = m_roundness;
}

void CDrawRoundRect::MoveHandleTo(int handle, POINT offset, CDrawViewBase* view)
{
    if (handle != 9) {
        CDrawRect::MoveHandleTo(handle, offset, view);
        return;
    }
    const POINT d = RotateVector(offset, -m_nAngle);
    const RECT s = NormalizedRect(m_savedPosition);
    m_savedRoundness.cx = std::clamp<LONG>(m_roundness.cx - 2 * d.x, 0, std::max<LONG>(0, s.right - s.left - 1));
    m_savedRoundness.cy = std::clamp<LONG>(m_roundness.cy - 2 * d.y, 0, std::max<LONG>(0, s.bottom - s.top - 1));
}

void CDrawRoundRect::EndDrag(CDrawViewBase* view, bool commit, bool newObject)
{
    if (commit && m_savedRoundness != m_roundness) {
        RepaintVia(view);
        m_roundness = m_savedRoundness;
        RepaintVia(view);
        SetModified();
    }
    if (!commit)
        m_savedRoundness = m_roundness;
    CDrawRect::EndDrag(view, commit, newObject);
    if (commit) {
        const RECT r = NormalizedRect(m_position);
        m_roundness.cx = std::clamp<LONG>(m_roundness.cx, 0, std::max<LONG>(0, r.right - r.left - 1));
        m_roundness.cy = std::clamp<LONG>(m_roundness.cy, 0, std::max<LONG>(0, r.bottom - r.top - 1));
        m_savedRoundness = m_roundness;
    }
}

void CDrawRoundRect::DrawOutline(CDrawDC& dc, CDrawViewBase*, int)
{
    if (!dc.painter)
        return;
    std::vector<POINT> points;
    BuildRoundRectPoints(m_savedPosition, points, m_savedRoundness.cx, m_savedRoundness.cy, false);
    m_transform.MapPoints(points);
    DrawMappedOutline(dc, points, true);
}

bool CDrawRoundRect::HitTest(POINT point, CDrawViewBase* view)
{
    if (!CDrawObj::HitTest(point, view))
        return false;
    const POINT p = GetInverseTransform().MapPoint(point);
    const SIZE h = GetHandleSize(view);
    const RECT r = InflatedRect(NormalizedRect(m_position), h.cx, h.cy);
    QPainterPath path;
    path.addRoundedRect(QRectF(r.left, r.top, r.right - r.left, r.bottom - r.top), m_roundness.cx / 2.0,
                        m_roundness.cy / 2.0);
    return path.contains(QPointF(p.x, p.y));
}

void CDrawRoundRect::OnEditProperties(CDrawViewBase* view)
{
    EditProperties(view, LoadString(IDS_ROUNDRECT_PROPERTIES), 255);
}

CDrawObj* CDrawRoundRect::Clone(CDrawData* page)
{
    auto clone = std::make_unique<CDrawRoundRect>(m_position, page);
    CopyAttributes(clone.get());
    clone->m_roundness = m_roundness;
    clone->m_savedRoundness = m_savedRoundness;
    return AdoptClone(std::move(clone));
}

void CDrawRoundRect::RecalcOutline(const RECT& rect)
{
    CDrawObj::RecalcOutline(rect);
    std::vector<POINT> points;
    BuildRoundRectPoints(rect, points, m_roundness.cx, m_roundness.cy, false);
    BoundsFromOutline(points);
}
