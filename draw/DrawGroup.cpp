#include "draw/DrawGroup.h"

#include "draw/DrawDC.h"
#include "draw/DrawData.h"
#include "draw/FormatMerge.h"
#include "framework/ArchiveHelpers.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"

#include <cmath>

IMPLEMENT_SERIAL(CDrawGroup, CDrawObj, 0)

namespace {
// The common answer of the members that have a setting: the first one's,
// or `mixed` when another differs; `none` when no member has it.
template <class T, class Has, class Get>
T CommonValue(const CDrawObjList& children, Has has, Get get, T mixed, T none)
{
    bool any = false;
    T value = none;
    for (CDrawObj* child : children) {
        if (!has(child))
            continue;
        const T v = get(child);
        if (!any) {
            value = v;
            any = true;
        } else if (v != value) {
            return mixed;
        }
    }
    return value;
}
} // namespace

CDrawGroup::CDrawGroup(const RECT& position, CDrawData* page) : CDrawObj(position, page)
{
    m_bLineOn = 0;
    m_bFillOn = 0;
    UpdateTransform(m_position, true);
}

CDrawGroup::~CDrawGroup()
{
    for (CDrawObj* child : m_children)
        child->Delete();
}

void CDrawGroup::Delete() { delete this; }

CDrawObjList CDrawGroup::ReleaseChildren()
{
    CDrawObjList children;
    children.swap(m_children);
    return children;
}

void CDrawGroup::Serialize(CArchive& ar)
{
    CDrawObj::Serialize(ar);
    SerializeVersion(ar, 0);
    CDrawData::SerializeObjectList(m_children, ar, m_pDocument);
    if (ar.IsLoading())
        UpdateTransform(m_position, true);
}

void CDrawGroup::AddChild(CDrawObj* obj)
{
    const RECT b = NormalizedRect(obj->GetBounds());
    m_position = m_children.empty() ? b : UnionRects(NormalizedRect(m_position), b);
    m_savedPosition = m_position;
    m_children.push_back(obj);
    UpdateTransform(m_position, true);
    SetModified();
}

bool CDrawGroup::RecalcFromChildren(bool redraw)
{
    if (m_children.empty())
        return false;
    RECT u = NormalizedRect(m_children.front()->GetBounds());
    for (CDrawObj* child : m_children)
        u = UnionRects(u, NormalizedRect(child->GetBounds()));
    if (u == m_position)
        return false;
    if (redraw)
        Invalidate();
    m_position = m_savedPosition = u;
    UpdateTransform(m_position, true);
    if (redraw)
        Invalidate();
    return true;
}

void CDrawGroup::CopyAttributes(CDrawGroup* target) const
{
    CDrawObj::CopyAttributes(target);
    for (CDrawObj* child : m_children) {
        if (!child->CanDuplicate())
            continue;
        // Clone puts the copy on the page; it belongs in the group instead.
        CDrawObj* copy = child->Clone(target->m_pDocument);
        if (!copy)
            continue;
        if (target->m_pDocument)
            target->m_pDocument->RemoveObject(copy);
        target->m_children.push_back(copy);
    }
}

void CDrawGroup::SetOwner(CDrawData* page)
{
    CDrawObj::SetOwner(page);
    for (CDrawObj* child : m_children)
        child->SetOwner(page);
}

void CDrawGroup::SetFillColor(COLORREF colour)
{
    for (CDrawObj* child : m_children)
        child->SetFillColor(colour);
}

void CDrawGroup::SetFillStyle(int on, bool redraw)
{
    for (CDrawObj* child : m_children)
        child->SetFillStyle(on, redraw);
}

void CDrawGroup::SetLineColor(COLORREF colour)
{
    for (CDrawObj* child : m_children)
        child->SetLineColor(colour);
}

void CDrawGroup::SetLineStyle(int style, int width, bool redraw)
{
    for (CDrawObj* child : m_children)
        child->SetLineStyle(style, width, redraw);
}

void CDrawGroup::SetLineVisible(int on, bool redraw)
{
    for (CDrawObj* child : m_children)
        child->SetLineVisible(on, redraw);
}

void CDrawGroup::SetTextColor(COLORREF colour, bool redraw)
{
    for (CDrawObj* child : m_children)
        child->SetTextColor(colour, redraw);
}

void CDrawGroup::SetArrowHeads(int first, int second, int size, int narrow, bool redraw)
{
    for (CDrawObj* child : m_children)
        child->SetArrowHeads(first, second, size, narrow, redraw);
}

void CDrawGroup::SetPolyClosed(int closed, bool redraw)
{
    for (CDrawObj* child : m_children)
        child->SetPolyClosed(closed, redraw);
}

COLORREF CDrawGroup::GetFillColor()
{
    return CommonValue<COLORREF>(
        m_children, [](CDrawObj* c) { return c->CanFill() == 1; }, [](CDrawObj* c) { return c->GetFillColor(); },
        kMixedColour, kMixedColour);
}

int CDrawGroup::GetFillStyle()
{
    return CommonValue<int>(
        m_children, [](CDrawObj* c) { return c->CanFill() == 1; }, [](CDrawObj* c) { return c->GetFillStyle(); },
        kNotApplicable, kNotApplicable);
}

COLORREF CDrawGroup::GetLineColor()
{
    return CommonValue<COLORREF>(
        m_children, [](CDrawObj* c) { return c->CanHaveLine() == 1; },
        [](CDrawObj* c) { return c->GetLineColor(); }, kMixedColour, kMixedColour);
}

void CDrawGroup::GetLineStyle(int& style, int& width)
{
    auto has = [](CDrawObj* c) { return c->CanHaveLine() == 1; };
    style = CommonValue<int>(
        m_children, has, [](CDrawObj* c) { int s = 0, w = 0; c->GetLineStyle(s, w); return s; }, -1, -1);
    width = CommonValue<int>(
        m_children, has, [](CDrawObj* c) { int s = 0, w = 0; c->GetLineStyle(s, w); return w; }, -1, -1);
}

int CDrawGroup::GetLineVisible()
{
    return CommonValue<int>(
        m_children, [](CDrawObj* c) { return c->CanHaveLine() == 1; },
        [](CDrawObj* c) { return c->GetLineVisible(); }, kNotApplicable, kNotApplicable);
}

bool CDrawGroup::GetTextColor(COLORREF& colour)
{
    bool any = false;
    for (CDrawObj* child : m_children) {
        COLORREF c = 0;
        if (!child->HasTextFormat() || !child->GetTextColor(c))
            continue;
        if (!any) {
            colour = c;
            any = true;
        } else if (c != colour) {
            colour = kMixedColour;
            return true;
        }
    }
    return any;
}

int CDrawGroup::CanFill()
{
    for (CDrawObj* child : m_children)
        if (child->CanFill() == 1)
            return 1;
    return 0;
}

int CDrawGroup::CanHaveLine()
{
    for (CDrawObj* child : m_children)
        if (child->CanHaveLine() == 1)
            return 1;
    return 0;
}

int CDrawGroup::HasTextFormat()
{
    for (CDrawObj* child : m_children)
        if (child->HasTextFormat() == 1)
            return 1;
    return 0;
}

int CDrawGroup::IsPolygon()
{
    for (CDrawObj* child : m_children)
        if (child->IsPolygon() == 1)
            return 1;
    return 0;
}

int CDrawGroup::GetArrowHeads(int& first, int& second, int& size, int& narrow)
{
    bool any = false;
    for (CDrawObj* child : m_children) {
        int f = 0, s = 0, z = 0, n = 0;
        if (!child->GetArrowHeads(f, s, z, n))
            continue;
        if (!any) {
            first = f;
            second = s;
            size = z;
            narrow = n;
            any = true;
            continue;
        }
        if (f != first)
            first = -1;
        if (s != second)
            second = -1;
        if (z != size)
            size = -1;
        if (n != narrow)
            narrow = -1;
    }
    return any ? 1 : 0;
}

int CDrawGroup::GetPolyClosed()
{
    if (m_children.empty())
        return kNotApplicable;
    const int first = m_children.front()->GetPolyClosed();
    for (CDrawObj* child : m_children)
        if (child->GetPolyClosed() != first)
            return kNotApplicable;
    return first;
}

int CDrawGroup::SetCharFormat(CDrawViewBase* view, const CHARFORMAT& format)
{
    int all = 1;
    for (CDrawObj* child : m_children)
        if (child->SetCharFormat(view, format) != 1)
            all = 0;
    RecalcFromChildren(true);
    return all;
}

int CDrawGroup::SetParaFormat(CDrawViewBase* view, const PARAFORMAT& format)
{
    int all = 1;
    for (CDrawObj* child : m_children)
        if (child->SetParaFormat(view, format) != 1)
            all = 0;
    RecalcFromChildren(true);
    return all;
}

const CHARFORMAT* CDrawGroup::GetCharFormat(CDrawViewBase* view)
{
    bool any = false;
    for (CDrawObj* child : m_children) {
        if (!child->HasTextFormat())
            continue;
        const CHARFORMAT* f = child->GetCharFormat(view);
        if (!f)
            continue;
        if (!any)
            m_charFormat = *f;
        else
            IntersectCharFormat(m_charFormat, *f);
        any = true;
    }
    return any ? &m_charFormat : nullptr;
}

const PARAFORMAT* CDrawGroup::GetParaFormat(CDrawViewBase* view)
{
    bool any = false;
    for (CDrawObj* child : m_children) {
        if (!child->HasTextFormat())
            continue;
        const PARAFORMAT* f = child->GetParaFormat(view);
        if (!f)
            continue;
        if (!any)
            m_paraFormat = *f;
        else
            IntersectParaFormat(m_paraFormat, *f);
        any = true;
    }
    return any ? &m_paraFormat : nullptr;
}

int CDrawGroup::CanDuplicate()
{
    for (CDrawObj* child : m_children)
        if (!child->CanDuplicate())
            return 0;
    return 1;
}

int CDrawGroup::CanCopyWith(const CDrawObjList& selection)
{
    for (CDrawObj* child : m_children)
        if (!child->CanCopyWith(selection))
            return 0;
    return 1;
}

void CDrawGroup::Draw(CDrawDC& dc, CDrawViewBase* view)
{
    for (CDrawObj* child : m_children)
        if (child->IsShown())
            child->Draw(dc, view);
}

void CDrawGroup::MoveTo(const RECT& position, CDrawViewBase* view)
{
    const RECT n = NormalizedRect(position), o = NormalizedRect(m_position);
    const int dx = n.left - o.left, dy = n.top - o.top;
    if (dx == 0 && dy == 0)
        return;
    for (CDrawObj* child : m_children)
        child->MoveTo(OffsetRect(child->GetPosition(), dx, dy), view);
    // A change of size is not the group's to make: only the offset counts.
    CDrawObj::MoveTo(OffsetRect(m_position, dx, dy), view);
}

bool CDrawGroup::HitTest(POINT point, CDrawViewBase* view)
{
    for (CDrawObj* child : m_children)
        if (child->HitTest(point, view))
            return true;
    return false;
}

void CDrawGroup::OnEditProperties(CDrawViewBase* view)
{
    EditProperties(view, LoadString(IDS_GROUP_PROPERTIES), 255);
}

CDrawObj* CDrawGroup::Clone(CDrawData* page)
{
    auto clone = std::make_unique<CDrawGroup>(m_position, page);
    CopyAttributes(clone.get());
    return AdoptClone(std::move(clone));
}

double CDrawGroup::GetAngle()
{
    if (m_children.empty())
        return -1.0;
    const double first = m_children.front()->GetAngle();
    for (CDrawObj* child : m_children)
        if (child->GetAngle() != first)
            return -1.0;
    return first;
}

int CDrawGroup::CanRotate()
{
    for (CDrawObj* child : m_children)
        if (!child->CanRotate())
            return 0;
    return 1;
}

void CDrawGroup::RotateMembers(int tenths, POINT c)
{
    for (CDrawObj* child : m_children) {
        // The centre of the member's frame swings about c.
        const POINT mc = RectCentre(child->GetPosition());
        const POINT v{mc.x - c.x, mc.y - c.y};
        const POINT turned = RotateVector(v, tenths);
        if (auto* group = dynamic_cast<CDrawGroup*>(child)) {
            group->RotateMembers(tenths, c);
            // The nested group's box follows its turned members.
            group->RecalcFromChildren(false);
            continue;
        }
        child->RotateBy(tenths / 10.0);
        const RECT moved = OffsetRect(child->GetPosition(), turned.x - v.x, turned.y - v.y);
        child->MoveTo(moved, nullptr);
    }
}

void CDrawGroup::RotateBy(double degrees)
{
    if (!CanRotate())
        return;
    const int tenths = int(std::trunc(degrees * 10.0));
    Invalidate();
    RotateMembers(tenths, RectCentre(m_position));
    RecalcFromChildren(true);
    SetModified();
}
