#include "draw/DrawObj.h"

#include "draw/DrawDC.h"
#include "draw/DrawData.h"
#include "draw/DrawViewBase.h"
#include "draw/PatternPen.h"
#include "framework/ArchiveHelpers.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"
#include "ui/PlaneVector.h"

#include <QBrush>
#include <QColor>
#include <QPainter>
#include <QPolygon>

#include <algorithm>
#include <cmath>
#include <cstdlib>

IMPLEMENT_SERIAL(CDrawObj, CObject, 0)

namespace {
QColor ToColour(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }

bool PointInPolygon(const POINT* pts, int n, POINT p)
{
    QPolygon polygon;
    polygon.reserve(n);
    for (int i = 0; i < n; ++i)
        polygon << QPoint(pts[i].x, pts[i].y);
    return polygon.containsPoint(QPoint(p.x, p.y), Qt::OddEvenFill);
}
} // namespace

bool CDrawViewBase::IsSelected(const CDrawObj* obj) const
{
    const auto& selection = GetSelection();
    return std::find(selection.begin(), selection.end(), obj) != selection.end();
}

SIZE CDrawViewBase::GetHandleSize() const
{
    const SIZE pixel = GetPixelSize();
    return {pixel.cx * kHandlePixels, pixel.cy * kHandlePixels};
}

CDrawObj::CDrawObj() = default;

CDrawObj::CDrawObj(const RECT& position, CDrawData* page)
    : m_position(position)
    , m_savedPosition(position)
    , m_pDocument(page)
{
    if (page) {
        m_bLineOn = page->GetDefaultLineOn();
        m_crLine = page->GetDefaultLineColor();
        m_bFillOn = page->GetDefaultFillOn();
        m_logBrush.lbColor = page->GetDefaultFillColor();
    }
    m_logBrush.lbStyle = BS_SOLID;
    m_logBrush.lbHatch = 0;
    UpdateTransform(m_position, true);
}

CDrawObj::~CDrawObj() = default;

void CDrawObj::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        SerializeVersion(ar, 0);
        ar << m_position;
        ar << std::int32_t(m_bLineOn) << std::int32_t(m_nPenStyle) << std::uint32_t(m_crLine)
           << std::int32_t(m_nLineWidth) << std::int32_t(m_bFillOn);
        ar << m_logBrush;
        ar << std::int32_t(m_nAngle) << std::int32_t(m_bShown);
        return;
    }
    SerializeVersion(ar, 0);
    std::int32_t lineOn = 0, penStyle = 0, width = 0, fillOn = 0, angle = 0, shown = 0;
    std::uint32_t colour = 0;
    ar >> m_position;
    ar >> lineOn >> penStyle >> colour >> width >> fillOn;
    ar >> m_logBrush;
    ar >> angle >> shown;
    m_bLineOn = lineOn;
    m_nPenStyle = penStyle;
    m_crLine = colour;
    m_nLineWidth = width;
    m_bFillOn = fillOn;
    // A stored angle outside a turn is brought back into it rather than trusted.
    m_nAngle = NormalizeTenths(angle);
    m_bShown = shown;
    m_pDocument = nullptr;
    m_savedPosition = m_position;
    m_nSavedAngle = m_nAngle;
    UpdateTransform(m_position, true);
}

// ---------------------------------------------------------------- ownership and hints

void CDrawObj::SetOwner(CDrawData* page) { m_pDocument = page; }

void CDrawObj::Invalidate()
{
    if (!m_pDocument)
        return;
    m_pDocument->SetHintObject(this);
    m_pDocument->BroadcastHint(HINT_UPDATE_DRAWOBJ);
}

void CDrawObj::SetModified(bool modified)
{
    if (m_bReportChanges && m_pDocument)
        m_pDocument->SetModified(modified);
}

void CDrawObj::AddToData(CDrawObj* obj)
{
    if (m_pDocument)
        m_pDocument->AddObject(obj);
}

void CDrawObj::RemoveFromData(CDrawObj* obj)
{
    if (m_pDocument)
        m_pDocument->RemoveObject(obj);
}

void CDrawObj::Remove()
{
    RemoveFromData(this);
    Delete();
}

void CDrawObj::RepaintInView(CDrawViewBase* view)
{
    if (view)
        view->InvalObj(this);
}

void CDrawObj::RepaintVia(CDrawViewBase* view)
{
    if (view)
        view->InvalObj(this);
    else
        Invalidate();
}

// ---------------------------------------------------------------- geometry

void CDrawObj::UpdateTransform(const RECT& rect, bool recalc)
{
    m_transform = RotationAbout(rect, m_nAngle);
    if (recalc)
        RecalcOutline(rect);
}

CTransform2D CDrawObj::GetInverseTransform() const { return RotationAbout(m_position, -m_nAngle); }

POINT CDrawObj::HandlePoint(int n, const RECT& r) const
{
    const POINT c = RectCentre(r);
    switch (n) {
    case 2: return {c.x, r.top};
    case 3: return {r.right, r.top};
    case 4: return {r.right, c.y};
    case 5: return {r.right, r.bottom};
    case 6: return {c.x, r.bottom};
    case 7: return {r.left, r.bottom};
    case 8: return {r.left, c.y};
    default: return {r.left, r.top};
    }
}

void CDrawObj::GrowForLine(int amount)
{
    m_rcBounds = InflatedRect(m_rcBounds, amount, amount);
    m_rcRepaint = InflatedRect(m_rcRepaint, amount, amount);
}

void CDrawObj::RecalcOutline(const RECT& rect)
{
    POINT corners[4];
    m_transform.MapRect(rect, corners);
    RECT b{corners[0].x, corners[0].y, corners[0].x, corners[0].y};
    for (const POINT& p : corners)
        b = UnionRects(b, RECT{p.x, p.y, p.x, p.y});
    m_rcBounds = b;
    const int handles = std::max(1, GetHandleCount());
    RECT h{};
    for (int n = 1; n <= handles; ++n) {
        const POINT p = GetHandle(n);
        h = n == 1 ? RECT{p.x, p.y, p.x, p.y} : UnionRects(h, RECT{p.x, p.y, p.x, p.y});
    }
    m_rcRepaint = h;
    int style = 0, width = 0;
    GetLineStyle(style, width);
    if (CanHaveLine() == 1 && style != PS_NULL)
        GrowForLine(width);
}

int CDrawObj::GetHandleCount() { return 8; }

POINT CDrawObj::GetHandle(int n)
{
    const RECT& r = m_savedPosition;
    return m_transform.MapPoint(HandlePoint(n, r));
}

int CDrawObj::GetHandleCursor(int n)
{
    const RECT& r = m_position;
    const bool flipped = std::int64_t(r.bottom - r.top) * (r.right - r.left) < 0;
    switch (n) {
    case 2:
    case 6: return CURSOR_SIZE_NS;
    case 4:
    case 8: return CURSOR_SIZE_WE;
    case 1:
    case 5: return flipped ? CURSOR_SIZE_NESW : CURSOR_SIZE_NWSE;
    case 3:
    case 7: return flipped ? CURSOR_SIZE_NWSE : CURSOR_SIZE_NESW;
    default: return CURSOR_ARROW;
    }
}

int CDrawObj::GetMoveCursor(int flags) { return (flags & MK_CONTROL) ? CURSOR_MOVE_COPY : CURSOR_MOVE; }

SIZE CDrawObj::GetHandleSize(CDrawViewBase* view) const
{
    if (!view)
        return {3 * 8, 3 * 8};
    const SIZE s = view->GetHandleSize();
    return {std::abs(s.cx), std::abs(s.cy)};
}

RECT CDrawObj::GetHandleRect(int n, CDrawViewBase* view)
{
    const SIZE h = GetHandleSize(view);
    const SIZE px = view ? view->GetPixelSize() : SIZE{8, 8};
    const POINT p = GetHandle(n);
    return {p.x - h.cx, p.y + h.cy, p.x + h.cx + std::abs(px.cx), p.y - h.cy - std::abs(px.cy)};
}

bool CDrawObj::IsInsideRect(const RECT& rect) const
{
    const RECT r = NormalizedRect(rect);
    return m_rcBounds.left >= r.left && m_rcBounds.right <= r.right && m_rcBounds.top >= r.top
        && m_rcBounds.bottom <= r.bottom;
}

// ---------------------------------------------------------------- styles

void CDrawObj::SetFillColor(COLORREF colour)
{
    m_logBrush.lbColor = colour;
    Invalidate();
    SetModified();
}

void CDrawObj::SetFillStyle(int on, bool redraw)
{
    if (on != m_bFillOn)
        m_bFillOn = on;
    if (redraw)
        Invalidate();
    SetModified();
}

COLORREF CDrawObj::GetFillColor() { return m_logBrush.lbColor; }
int CDrawObj::GetFillStyle() { return m_bFillOn; }

void CDrawObj::SetLineColor(COLORREF colour)
{
    m_crLine = colour;
    Invalidate();
    SetModified();
}

void CDrawObj::SetLineStyle(int style, int width, bool redraw)
{
    const int stored = m_bLineOn ? m_nPenStyle : PS_NULL;
    if ((style == -1 || style == stored) && (width == -1 || width == m_nLineWidth))
        return;
    if (redraw)
        Invalidate();
    if (style != -1) {
        m_nPenStyle = style;
        m_bLineOn = style != PS_NULL ? 1 : 0;
    }
    if (width != -1)
        m_nLineWidth = width;
    RecalcOutline(m_position);
    if (redraw)
        Invalidate();
    SetModified();
}

void CDrawObj::GetLineStyle(int& style, int& width)
{
    style = m_bLineOn ? m_nPenStyle : PS_NULL;
    width = m_nLineWidth;
}

void CDrawObj::SetLineVisible(int on, bool redraw)
{
    if (on == m_bLineOn)
        return;
    if (redraw)
        Invalidate();
    m_bLineOn = on;
    RecalcOutline(m_position);
    if (redraw)
        Invalidate();
    SetModified();
}

COLORREF CDrawObj::GetLineColor() { return m_crLine; }
int CDrawObj::GetLineVisible() { return m_bLineOn; }

void CDrawObj::CreatePen(CPatternPen& pen, QPainter* painter)
{
    int style = 0, width = 0;
    GetLineStyle(style, width);
    if (!GetLineVisible())
        style = PS_NULL;
    pen.Create(painter, style, width, GetLineColor());
}

void CDrawObj::SelectFillBrush(CDrawDC& dc) const
{
    if (!dc.painter)
        return;
    if (!m_bFillOn || m_logBrush.lbStyle == BS_NULL) {
        dc.painter->setBrush(Qt::NoBrush);
        return;
    }
    const QColor colour = ToColour(m_logBrush.lbColor);
    if (m_logBrush.lbStyle == BS_HATCHED) {
        static constexpr Qt::BrushStyle kHatches[] = {Qt::HorPattern, Qt::VerPattern, Qt::FDiagPattern,
                                                      Qt::BDiagPattern, Qt::CrossPattern, Qt::DiagCrossPattern};
        const LONG h = m_logBrush.lbHatch;
        dc.painter->setBrush(QBrush(colour, h >= 0 && h < 6 ? kHatches[h] : Qt::SolidPattern));
        return;
    }
    // Neighbours often share a fill: the painter keeps the brush it has.
    const QBrush& current = dc.painter->brush();
    if (current.style() != Qt::SolidPattern || current.color() != colour)
        dc.painter->setBrush(QBrush(colour));
}

// ---------------------------------------------------------------- handles and hits

void CDrawObj::DrawTracker(CDrawDC& dc, int state, CDrawViewBase* view)
{
    if ((state != 1 && state != 2) || !dc.painter)
        return;
    const bool resize = HasResizeHandles() != 0;
    const QColor fill = ToColour(resize ? kHighlightColour : kHighlightTextColour);
    const QColor edge = ToColour(resize ? kHighlightTextColour : kHighlightColour);
    QPainter& p = *dc.painter;
    p.save();
    QPen pen(edge, 0);
    p.setPen(pen);
    p.setBrush(fill);
    const int n = GetHandleCount();
    for (int i = 1; i <= n; ++i) {
        const RECT r = NormalizedRect(GetHandleRect(i, view));
        p.drawRect(QRectF(r.left, r.top, r.right - r.left, r.bottom - r.top));
    }
    p.restore();
}

int CDrawObj::HitTestHandles(POINT point, CDrawViewBase* view, bool selected)
{
    if (!selected)
        return HitTest(point, view) ? 1 : 0;
    if (!HasResizeHandles())
        return 0;
    for (int n = GetHandleCount(); n >= 1; --n) {
        const RECT r = GetHandleRect(n, view);
        // Right and bottom are exclusive, top inclusive (y grows upwards).
        if (point.x >= r.left && point.x < r.right && point.y > r.bottom && point.y <= r.top)
            return n;
    }
    return 0;
}

bool CDrawObj::HitTest(POINT point, CDrawViewBase* view)
{
    const SIZE h = GetHandleSize(view);
    const RECT grown = InflatedRect(m_rcBounds, h.cx, h.cy);
    if (point.x < grown.left || point.x > grown.right || point.y < grown.top || point.y > grown.bottom)
        return false;
    if (m_nAngle == 0) {
        const RECT r = InflatedRect(NormalizedRect(m_position), h.cx, h.cy);
        return point.x >= r.left && point.x <= r.right && point.y >= r.top && point.y <= r.bottom;
    }
    POINT corners[4];
    m_transform.MapRect(m_position, corners);
    return PointInPolygon(corners, 4, point);
}

// ---------------------------------------------------------------- moving and resizing

void CDrawObj::DrawOutline(CDrawDC& dc, CDrawViewBase* view, int solid)
{
    if (!dc.painter)
        return;
    std::vector<POINT> corners(4);
    m_transform.MapRect(m_savedPosition, corners.data());
    DrawMappedOutline(dc, corners, true);
}

void CDrawObj::SavePosition()
{
    m_savedPosition = m_position;
    m_nSavedAngle = m_nAngle;
}

void CDrawObj::OffsetBy(POINT offset)
{
    m_savedPosition = OffsetRect(m_position, offset.x, offset.y);
    UpdateTransform(m_savedPosition, false);
}

void CDrawObj::DrawDragFeedback(POINT offset, CDrawViewBase* view, bool start)
{
    if (start) {
        // The outline starts where the object stands, then follows the mouse.
        SavePosition();
        RepaintInView(view);
        OffsetBy(offset);
        if (view)
            view->ShowDragOutline(this, true, 0);
        return;
    }
    const RECT before = m_savedPosition;
    OffsetBy(offset);
    if (m_savedPosition == before)
        return;
    if (view)
        view->ShowDragOutline(this, true, 0);
}

void CDrawObj::DrawResizeFeedback(int handle, POINT offset, CDrawViewBase* view, bool start, bool newObject)
{
    if (start) {
        SavePosition();
        RepaintInView(view);
    }
    MoveHandleTo(handle, offset, view);
    if (view)
        view->ShowDragOutline(this, true, newObject ? 1 : 0);
}

void CDrawObj::EndDrag(CDrawViewBase* view, bool commit, bool newObject)
{
    if (view)
        view->ShowDragOutline(this, false, 0);
    if (!commit) {
        m_savedPosition = m_position;
        m_nSavedAngle = m_nAngle;
        UpdateTransform(m_position, true);
        RepaintInView(view);
        return;
    }
    const RECT target = m_savedPosition;
    // The working copy is put back first, so that MoveTo sees the change.
    m_savedPosition = m_position;
    UpdateTransform(m_position, false);
    MoveTo(target, view);
    m_savedPosition = m_position;
}

void CDrawObj::MoveHandleTo(int handle, POINT offset, CDrawViewBase* view)
{
    // The drag is measured in the object's own (unrotated) frame.
    const POINT d = RotateVector(offset, -m_nAngle);
    int dx = d.x, dy = d.y;
    const int keys = view ? view->GetKeyState() : 0;
    const bool shift = (keys & MK_SHIFT) != 0, ctrl = (keys & MK_CONTROL) != 0;
    RECT r = m_position;
    const RECT n = NormalizedRect(m_position);
    const int w = std::max(1, int(n.right - n.left)), h = std::max(1, int(n.bottom - n.top));
    const int k = MulDiv(dx, h, w);
    switch (handle) {
    case 1:
        if (shift)
            dy = -k;
        r.left += dx;
        r.top += dy;
        if (ctrl) {
            r.right -= dx;
            r.bottom -= dy;
        }
        break;
    case 2:
        r.top += dy;
        if (ctrl)
            r.bottom -= dy;
        break;
    case 3:
        if (shift)
            dy = k;
        r.top += dy;
        r.right += dx;
        if (ctrl) {
            r.left -= dx;
            r.bottom -= dy;
        }
        break;
    case 4:
        r.right += dx;
        if (ctrl)
            r.left -= dx;
        break;
    case 5:
        if (shift)
            dy = -k;
        r.right += dx;
        r.bottom += dy;
        if (ctrl) {
            r.left -= dx;
            r.top -= dy;
        }
        break;
    case 6:
        r.bottom += dy;
        if (ctrl)
            r.top -= dy;
        break;
    case 7:
        if (shift)
            dy = k;
        r.left += dx;
        r.bottom += dy;
        if (ctrl) {
            r.top -= dy;
            r.right -= dx;
        }
        break;
    case 8:
        r.left += dx;
        if (ctrl)
            r.right -= dx;
        break;
    default: break;
    }
    m_savedPosition = KeepInPlace(r);
    UpdateTransform(m_savedPosition, false);
}

RECT CDrawObj::KeepInPlace(const RECT& frame) const
{
    const POINT c0 = RectCentre(m_position), c1 = RectCentre(frame);
    const POINT shift{c1.x - c0.x, c1.y - c0.y};
    const POINT turned = RotateVector(shift, m_nAngle);
    return OffsetRect(frame, turned.x - shift.x, turned.y - shift.y);
}

void CDrawObj::MoveTo(const RECT& position, CDrawViewBase* view)
{
    if (position == m_position)
        return;
    RepaintVia(view);
    m_position = position;
    m_savedPosition = position;
    UpdateTransform(m_position, true);
    RepaintVia(view);
    SetModified();
}

void CDrawObj::AlignTo(const RECT& rect, int mode, CDrawViewBase* view)
{
    const RECT& b = m_rcBounds;
    int dx = 0, dy = 0;
    switch (mode) {
    case 0: dx = rect.left - b.left; break;
    case 1: dx = rect.right - b.right; break;
    // Normalised bounds keep the larger y in bottom: that is the upper edge on the page.
    case 2: dy = rect.bottom - b.bottom; break;
    case 3: dy = rect.top - b.top; break;
    case 4: dx = rect.left + (rect.right - rect.left) / 2 - (b.left + (b.right - b.left) / 2); break;
    case 5: dy = rect.top + (rect.bottom - rect.top) / 2 - (b.top + (b.bottom - b.top) / 2); break;
    default: break;
    }
    MoveTo(OffsetRect(m_position, dx, dy), view);
}

// ---------------------------------------------------------------- rotation and visibility

long long DegreesToTenths(double degrees)
{
    // Degrees times ten, truncated toward zero; a product within a hair of a
    // whole number (45.3 gives 452.99999...) counts as that number.
    const double t = degrees * 10.0;
    const double nearest = std::round(t);
    return (long long)(std::fabs(t - nearest) < 1e-6 ? nearest : std::trunc(t));
}

int NormalizeTenths(long long tenths)
{
    tenths %= 3600;
    if (tenths < 0)
        tenths += 3600;
    return int(tenths);
}

void CDrawObj::SetAngle(double degrees)
{
    if (!CanRotate())
        return;
    m_nAngle = NormalizeTenths(DegreesToTenths(degrees));
    m_nSavedAngle = m_nAngle;
    UpdateTransform(m_position, true);
}

void CDrawObj::RotateBy(double degrees)
{
    if (!CanRotate())
        return;
    SetAngle((m_nAngle + DegreesToTenths(degrees)) / 10.0);
}

void CDrawObj::SetDisplayOption(int shown)
{
    if (shown == m_bShown)
        return;
    if (m_pDocument) {
        m_pDocument->SetHintObject(this);
        m_pDocument->BroadcastHint(HINT_OBJECT_SHOWN);
    }
    m_bShown = shown;
    SetModified();
}

// ---------------------------------------------------------------- copies and properties

void CDrawObj::CopyAttributes(CDrawObj* target) const
{
    target->m_bLineOn = m_bLineOn;
    target->m_nPenStyle = m_nPenStyle;
    target->m_crLine = m_crLine;
    target->m_nLineWidth = m_nLineWidth;
    target->m_bFillOn = m_bFillOn;
    target->m_logBrush = m_logBrush;
    target->m_savedPosition = m_savedPosition;
    target->m_nSavedAngle = m_nSavedAngle;
    target->m_nAngle = m_nAngle;
    target->m_bShown = m_bShown;
    target->m_transform = m_transform;
    target->m_rcBounds = m_rcBounds;
    target->m_rcRepaint = m_rcRepaint;
}

CDrawObj* CDrawObj::AdoptClone(std::unique_ptr<CDrawObj> clone)
{
    CDrawObj* raw = clone.get();
    AddToData(raw);
    // The page owns it from here on (a page-less object's copy stays the caller's).
    return clone.release();
}

CDrawObj* CDrawObj::Clone(CDrawData* page)
{
    auto clone = std::make_unique<CDrawObj>(m_position, page);
    CopyAttributes(clone.get());
    return AdoptClone(std::move(clone));
}

void CDrawObj::BoundsFromOutline(std::vector<POINT>& points)
{
    if (points.empty())
        return;
    m_transform.MapPoints(points);
    RECT b{points[0].x, points[0].y, points[0].x, points[0].y};
    for (const POINT& p : points)
        b = UnionRects(b, RECT{p.x, p.y, p.x, p.y});
    int style = 0, width = 0;
    GetLineStyle(style, width);
    if (CanHaveLine() == 1 && style != PS_NULL)
        b = InflatedRect(b, width / 2, width / 2);
    m_rcBounds = b;
}

void CDrawObj::DrawMappedOutline(CDrawDC& dc, const std::vector<POINT>& points, bool closed)
{
    if (!dc.painter || points.empty())
        return;
    QPolygonF polygon;
    polygon.reserve(qsizetype(points.size()));
    for (const POINT& p : points)
        polygon << QPointF(p.x, p.y);
    if (closed)
        dc.painter->drawPolygon(polygon);
    else
        dc.painter->drawPolyline(polygon);
}

void CDrawObj::OnEditProperties(CDrawViewBase* view)
{
    EditProperties(view, LoadString(IDS_SHAPE_PROPERTIES), 255);
}

void CDrawObj::EditProperties(CDrawViewBase* view, const std::string& title, int mask)
{
    if (view)
        view->RunPropertySheet(title, mask);
}

// ---------------------------------------------------------------- free helpers

int PenStyleFromListIndex(int index)
{
    if (index == -1)
        return -1;
    if (index == 0)
        return PS_NULL;
    if (index >= 1 && index <= 5)
        return index - 1;
    return PS_SOLID;
}

int ListIndexFromPenStyle(int style)
{
    if (style == -1)
        return -1;
    if (style == PS_NULL)
        return 0;
    if (style >= 0 && style <= 4)
        return style + 1;
    return 1;
}

bool PointNearLine(int x1, int y1, int x2, int y2, int px, int py, int tolerance)
{
    const int half = std::max(1, tolerance / 2);
    const RECT box = InflatedRect(NormalizedRect(RECT{x1, y1, x2, y2}), half, half);
    if (px < box.left || px > box.right || py < box.top || py > box.bottom)
        return false;
    return DistanceFromLine(POINT{x1, y1}, POINT{x2, y2}, POINT{px, py}) <= half;
}

int FindObjectIndex(const CDrawObjList& list, const CDrawObj* obj)
{
    const auto it = std::find(list.begin(), list.end(), obj);
    return it == list.end() ? -1 : int(it - list.begin());
}

CDrawObj* GetObjectAtIndex(const CDrawObjList& list, int index)
{
    return index >= 0 && std::size_t(index) < list.size() ? list[std::size_t(index)] : nullptr;
}
