#include "draw/DrawLineParent.h"

#include "draw/DrawDC.h"
#include "draw/PatternPen.h"
#include "framework/ArchiveHelpers.h"

#include <QBrush>
#include <QColor>
#include <QPainter>

#include <algorithm>
#include <cmath>

IMPLEMENT_SERIAL(CDrawLineParent, CDrawObj, 0)

namespace {
constexpr double kPi = 3.1415926535;
}

CDrawLineParent::CDrawLineParent(const RECT& position, CDrawData* page) : CDrawObj(position, page) {}

void CDrawLineParent::Serialize(CArchive& ar)
{
    CDrawObj::Serialize(ar);
    SerializeVersion(ar, 0);
    if (ar.IsStoring()) {
        ar << std::int32_t(m_nFirstArrow) << std::int32_t(m_nSecondArrow) << std::int32_t(m_nArrowSize)
           << std::int32_t(m_nNarrow);
        return;
    }
    std::int32_t first = 0, second = 0, size = 0, narrow = 0;
    ar >> first >> second >> size >> narrow;
    m_nFirstArrow = first;
    m_nSecondArrow = second;
    // A head larger than the page is damage, not a drawing.
    m_nArrowSize = size < 0 || size > 1000 ? 1 : size;
    m_nNarrow = narrow;
}

int CDrawLineParent::GetArrowHeads(int& first, int& second, int& size, int& narrow)
{
    first = m_nFirstArrow;
    second = m_nSecondArrow;
    size = m_nArrowSize;
    narrow = m_nNarrow;
    return 1;
}

void CDrawLineParent::SetArrowHeads(int first, int second, int size, int narrow, bool redraw)
{
    if (redraw)
        Invalidate();
    if (first != -1)
        m_nFirstArrow = first;
    if (second != -1)
        m_nSecondArrow = second;
    if (size != -1)
        m_nArrowSize = std::clamp(size, 0, 1000);
    if (narrow != -1)
        m_nNarrow = narrow;
    RecalcOutline(m_position);
    if (redraw)
        Invalidate();
    SetModified();
}

void CDrawLineParent::CopyAttributes(CDrawLineParent* target) const
{
    CDrawObj::CopyAttributes(target);
    target->m_nFirstArrow = m_nFirstArrow;
    target->m_nSecondArrow = m_nSecondArrow;
    target->m_nArrowSize = m_nArrowSize;
    target->m_nNarrow = m_nNarrow;
}

void CDrawLineParent::GetArrowSize(int& length, int& halfWidth) const
{
    length = (m_nArrowSize + 1) * 50;
    halfWidth = (m_nArrowSize + 1) * 20;
    if (m_nNarrow > 0)
        halfWidth /= 2;
}

void CDrawLineParent::GrowForArrows()
{
    if (m_nFirstArrow == 0 && m_nSecondArrow == 0)
        return;
    int length = 0, half = 0;
    GetArrowSize(length, half);
    m_rcRepaint = InflatedRect(NormalizedRect(m_rcRepaint), half, half);
}

void CDrawLineParent::ArrowPoints(int kind, POINT tip, POINT other, std::vector<POINT>& head, std::vector<POINT>& bar)
{
    head.clear();
    bar.clear();
    if (kind <= 0)
        return;
    const double d = std::hypot(double(other.x - tip.x), double(other.y - tip.y));
    if (d == 0.0)
        return;
    int L = 0, W = 0;
    GetArrowSize(L, W);
    int style = 0, width = 0;
    GetLineStyle(style, width);
    const int w2 = width / 2;
    switch (kind % 4) {
    case 1: head = {{-L, W}, {w2, 0}, {-L, -W}}; break;
    case 2: head = {{-L / 2, 0}, {-L, W}, {w2, 0}, {-L, -W}}; break;
    case 3: head = {{-L, W}, {w2, 0}, {-L, -W}}; break;
    default: break;
    }
    if (kind >= 4 && GetLineVisible() && style != PS_NULL)
        bar = {{w2, W}, {w2, -W}};
    double phi = std::acos(std::clamp((other.x - tip.x) / d, -1.0, 1.0));
    if (other.y > tip.y)
        phi = -phi;
    CTransform2D t;
    t.Rotate(1800 - int(std::trunc(phi / kPi * 180.0 * 10.0)));
    t.Translate(tip.x, tip.y);
    t.MapPoints(head);
    t.MapPoints(bar);
}

void CDrawLineParent::DrawArrow(CDrawDC& dc, int kind, int tipX, int tipY, int otherX, int otherY)
{
    std::vector<POINT> head, bar;
    ArrowPoints(kind, {tipX, tipY}, {otherX, otherY}, head, bar);
    if ((head.empty() && bar.empty()) || !dc.painter)
        return;
    int style = 0, width = 0;
    GetLineStyle(style, width);
    const COLORREF colour = GetLineColor();
    QPainter& p = *dc.painter;
    p.save();
    p.setBrush(QBrush(QColor(GetRValue(colour), GetGValue(colour), GetBValue(colour))));
    CPatternPen pen;
    pen.Create(&p, PS_SOLID, width, colour);
    if (!head.empty()) {
        if (kind % 4 == 1)
            pen.Polyline(head.data(), int(head.size()));
        else
            pen.Polygon(head.data(), int(head.size()));
    }
    if (!bar.empty())
        pen.Polyline(bar.data(), int(bar.size()));
    pen.Release();
    p.restore();
}
