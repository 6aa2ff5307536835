#include "graph/XYDataset.h"

#include "draw/DrawDC.h"
#include "draw/DrawData.h"
#include "draw/PatternPen.h"
#include "framework/ArchiveHelpers.h"
#include "framework/UpdateNotification.h"
#include "graph/DrawGraph.h"
#include "graph/GraphSources.h"
#include "graph/XYAxis.h"

#include <QPaintEngine>
#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <optional>

IMPLEMENT_SERIAL(CXYDataset, CObject, 0)

namespace {

QColor ToColour(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }

bool IsMark(const POINT& p)
{
    return p.x == CXYAxis::kLowMark || p.x == CXYAxis::kHighMark || p.y == CXYAxis::kLowMark
        || p.y == CXYAxis::kHighMark;
}

// A stored axis list longer than this is damage.
constexpr std::uint32_t kMaxAxisList = 1000;

void StoreAxisList(CArchive& ar, const std::vector<std::uint32_t>& list)
{
    ar.WriteCount(std::uint32_t(list.size()));
    for (std::uint32_t v : list)
        ar << v;
}

void LoadAxisList(CArchive& ar, std::vector<std::uint32_t>& list)
{
    const std::uint32_t n = ar.ReadCount();
    if (n > kMaxAxisList)
        ThrowArchiveError(CArchiveException::badIndex, "a dataset lists too many axes");
    list.assign(n, 0);
    for (std::uint32_t& v : list)
        ar >> v;
}

} // namespace

CXYDataset::CXYDataset(CDrawGraph* graph) : m_pGraph(graph)
{
    const CDrawData* page = graph ? graph->GetPage() : nullptr;
    const COLORREF line = page ? page->GetDefaultLineColor() : 0;
    m_crError = m_crSymbolOutline = m_crJoin = line;
    m_symbolBrush = LOGBRUSH{BS_SOLID, page ? page->GetDefaultFillColor() : 0xC0C0C0, 0};
    if (graph) {
        for (int i = 0; i < graph->GetXAxisCount(); ++i)
            m_xAxes.push_back(std::uint32_t(i));
        for (int i = 0; i < graph->GetYAxisCount(); ++i)
            m_yAxes.push_back(std::uint32_t(i));
    }
}

CGraphSources* CXYDataset::GetSources() const { return m_pGraph ? m_pGraph->GetSources() : nullptr; }

void CXYDataset::SetModified()
{
    if (m_pGraph)
        m_pGraph->SetModified();
}

void CXYDataset::Repaint()
{
    if (m_pGraph)
        m_pGraph->Invalidate();
}

void CXYDataset::FollowRename(const CUpdateNotification& n, std::string& name)
{
    if (SameName(n.oldName, name)) {
        name = n.newName;
        SetModified();
    }
    if (m_bTransform && SameName(n.oldName, m_strTransform)) {
        m_strTransform = n.newName;
        SetModified();
    }
}

void CXYDataset::FollowColumnShift(const std::vector<int*>& refs, const CUpdateNotification& n)
{
    bool changed = false, deleted = false;
    for (int* c : refs) {
        if (*c == -1 || *c < n.first)
            continue;
        if (n.kind == UN_COLUMNS_INSERTED)
            *c += n.count;
        else if (*c < n.first + n.count) {
            *c = -1;
            deleted = true;
        } else
            *c -= n.count;
        changed = true;
    }
    if (deleted) {
        Recalculate();
        Repaint();
    }
    if (changed)
        SetModified();
}

void CXYDataset::NotifyTableColumns(CUpdateNotification& n, bool& removed, const std::vector<int*>& refs)
{
    switch (n.kind) {
    case UN_ITEM_RENAMED: FollowRename(n, m_strSource); return;
    case UN_ITEM_REMOVING:
        if (SameName(n.oldName, m_strSource))
            AskRemoval(removed);
        return;
    case UN_COLUMNS_INSERTED:
    case UN_COLUMNS_DELETED:
        if (IsAffectedBy(n))
            FollowColumnShift(refs, n);
        return;
    default:
        if (IsAffectedBy(n)) {
            Recalculate();
            Repaint();
            SetModified();
        }
        return;
    }
}

void CXYDataset::AskRemoval(bool& removed)
{
    removed = true;
    if (m_pGraph)
        m_pGraph->RequestRemoval(this);
}

// ---------------------------------------------------------------- stored form

void CXYDataset::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        SerializeVersion(ar, 1);
        StoreAxisList(ar, m_xAxes);
        StoreAxisList(ar, m_yAxes);
        ar << std::int32_t(m_nYErrorMode) << std::int32_t(m_nXErrorMode);
        ar << std::int32_t(m_bSymbolOutline) << std::uint32_t(m_crSymbolOutline) << std::int32_t(m_nSymbolOutlineWidth)
           << std::int32_t(m_bSymbolFill);
        ArchiveStoreTriple(ar, m_symbolBrush);
        ar << std::int32_t(m_nSymbolShape) << std::int32_t(m_nSymbolSize) << std::int32_t(m_bSymbolGap)
           << std::int32_t(m_bTransform);
        ar << m_strTransform;
        ar << m_dXAbsError << m_dXPropError << m_dYAbsError << m_dYPropError;
        ar << m_strSource;
        ar << std::int32_t(m_nXMinusColumn) << std::int32_t(m_nXPlusColumn) << std::int32_t(m_nYMinusColumn)
           << std::int32_t(m_nYPlusColumn) << std::int32_t(m_nErrorCaps) << std::int32_t(m_nXYErrorStyle)
           << std::int32_t(m_nErrorWidth) << std::uint32_t(m_crError);
        ar << std::int32_t(m_nJoinType) << std::uint32_t(m_crJoin) << std::int32_t(m_nJoinWidth)
           << std::int32_t(m_nJoinStyle);
        return;
    }
    const int version = SerializeVersion(ar, 1);
    LoadAxisList(ar, m_xAxes);
    LoadAxisList(ar, m_yAxes);
    std::int32_t v[24] = {};
    std::uint32_t c[4] = {};
    ar >> v[0] >> v[1];
    ar >> v[2] >> c[0] >> v[3] >> v[4];
    ArchiveLoadTriple(ar, m_symbolBrush);
    ar >> v[5] >> v[6] >> v[7] >> v[8];
    ar >> m_strTransform;
    ar >> m_dXAbsError >> m_dXPropError >> m_dYAbsError >> m_dYPropError;
    ar >> m_strSource;
    ar >> v[9] >> v[10] >> v[11] >> v[12] >> v[13] >> v[14] >> v[15] >> c[1];
    ar >> v[16] >> c[2] >> v[17] >> v[18];
    m_nYErrorMode = v[0];
    m_nXErrorMode = v[1];
    m_bSymbolOutline = v[2];
    m_crSymbolOutline = c[0];
    m_nSymbolOutlineWidth = v[3];
    m_bSymbolFill = v[4];
    m_nSymbolShape = v[5];
    // Older records counted sizes from the 1/3 entry.
    const int size = version == 0 ? v[6] + 5 : v[6];
    m_nSymbolSize = std::clamp(size, 0, kSymbolSizeCount - 1);
    m_bSymbolGap = v[7];
    m_bTransform = v[8];
    m_nXMinusColumn = v[9];
    m_nXPlusColumn = v[10];
    m_nYMinusColumn = v[11];
    m_nYPlusColumn = v[12];
    m_nErrorCaps = v[13];
    m_nXYErrorStyle = v[14];
    m_nErrorWidth = v[15];
    m_crError = c[1];
    m_nJoinType = v[16];
    m_crJoin = c[2];
    m_nJoinWidth = v[17];
    m_nJoinStyle = v[18];
    m_bPointsValid = 0;
    m_pGraph = nullptr;
}

void CXYDataset::CopyStyle(CXYDataset& o) const
{
    o.m_nYErrorMode = m_nYErrorMode;
    o.m_nXErrorMode = m_nXErrorMode;
    o.m_dXAbsError = m_dXAbsError;
    o.m_dXPropError = m_dXPropError;
    o.m_dYAbsError = m_dYAbsError;
    o.m_dYPropError = m_dYPropError;
    o.m_strSource = m_strSource;
    o.m_nXMinusColumn = m_nXMinusColumn;
    o.m_nXPlusColumn = m_nXPlusColumn;
    o.m_nYMinusColumn = m_nYMinusColumn;
    o.m_nYPlusColumn = m_nYPlusColumn;
    o.m_nErrorCaps = m_nErrorCaps;
    o.m_nXYErrorStyle = m_nXYErrorStyle;
    o.m_nErrorWidth = m_nErrorWidth;
    o.m_crError = m_crError;
    o.m_bSymbolOutline = m_bSymbolOutline;
    o.m_crSymbolOutline = m_crSymbolOutline;
    o.m_nSymbolOutlineWidth = m_nSymbolOutlineWidth;
    o.m_bSymbolFill = m_bSymbolFill;
    o.m_symbolBrush = m_symbolBrush;
    o.m_nSymbolShape = m_nSymbolShape;
    o.m_nSymbolSize = m_nSymbolSize;
    o.m_bSymbolGap = m_bSymbolGap;
    o.m_bTransform = m_bTransform;
    o.m_strTransform = m_strTransform;
    o.m_xAxes = m_xAxes;
    o.m_yAxes = m_yAxes;
    o.m_nJoinType = m_nJoinType;
    o.m_crJoin = m_crJoin;
    o.m_nJoinWidth = m_nJoinWidth;
    o.m_nJoinStyle = m_nJoinStyle;
    o.m_bPointsValid = m_bPointsValid;
    o.m_x = m_x;
    o.m_y = m_y;
    o.m_yPlus = m_yPlus;
    o.m_yMinus = m_yMinus;
    o.m_xPlus = m_xPlus;
    o.m_xMinus = m_xMinus;
}

// ---------------------------------------------------------------- points and ranges

void CXYDataset::ClearPoints()
{
    for (auto* a : {&m_x, &m_y, &m_yPlus, &m_yMinus, &m_xPlus, &m_xMinus})
        a->clear();
    m_bPointsValid = 1;
}

void CXYDataset::Recalculate() { ClearPoints(); }

int CXYDataset::GetPointCount()
{
    if (!m_bPointsValid)
        Recalculate();
    return int(m_x.size());
}

namespace {

bool ErrorRange(const std::vector<double>& v, const std::vector<double>& plus, const std::vector<double>& minus,
                int mode, double abs, double prop, bool positiveOnly, double& min, double& max)
{
    bool any = false;
    for (std::size_t i = 0; i < v.size(); ++i) {
        const double x = v[i];
        if (positiveOnly && !(x > 0.0))
            continue;
        double lo = x, hi = x;
        switch (mode) {
        case 1: lo = x - abs; hi = x + abs; break;
        case 2: lo = x - std::fabs(x * prop * 0.01); hi = x + std::fabs(x * prop * 0.01); break;
        case 3:
            if (i < plus.size()) {
                lo = x - plus[i];
                hi = x + plus[i];
            }
            break;
        case 4:
            if (i < plus.size() && i < minus.size()) {
                lo = x - minus[i];
                hi = x + plus[i];
            }
            break;
        default: break;
        }
        if (!std::isfinite(lo) || !std::isfinite(hi))
            continue;
        if (!any) {
            min = lo;
            max = hi;
            any = true;
        } else {
            min = std::min(min, lo);
            max = std::max(max, hi);
        }
    }
    return any;
}

} // namespace

bool CXYDataset::GetXRange(bool positiveOnly, double& min, double& max)
{
    GetPointCount();
    return ErrorRange(m_x, m_xPlus, m_xMinus, m_nXErrorMode, m_dXAbsError, m_dXPropError, positiveOnly, min, max);
}

bool CXYDataset::GetYRange(bool positiveOnly, double& min, double& max)
{
    GetPointCount();
    return ErrorRange(m_y, m_yPlus, m_yMinus, m_nYErrorMode, m_dYAbsError, m_dYPropError, positiveOnly, min, max);
}

// ---------------------------------------------------------------- axes

bool CXYDataset::FindXAxis(int index) const
{
    return index >= 0 && std::find(m_xAxes.begin(), m_xAxes.end(), std::uint32_t(index)) != m_xAxes.end();
}

bool CXYDataset::FindYAxis(int index) const
{
    return index >= 0 && std::find(m_yAxes.begin(), m_yAxes.end(), std::uint32_t(index)) != m_yAxes.end();
}

void CXYDataset::AddXAxis(int index)
{
    if (index >= 0 && !FindXAxis(index))
        m_xAxes.push_back(std::uint32_t(index));
}

void CXYDataset::AddYAxis(int index)
{
    if (index >= 0 && !FindYAxis(index))
        m_yAxes.push_back(std::uint32_t(index));
}

namespace {

void AxisDeleted(std::vector<std::uint32_t>& list, int d)
{
    const std::uint32_t fallback = d == 0 ? 1 : 0;
    const bool fallbackListed = std::find(list.begin(), list.end(), fallback) != list.end();
    std::vector<std::uint32_t> out;
    for (std::uint32_t e : list) {
        if (e > std::uint32_t(d))
            out.push_back(e - 1);
        else if (e == std::uint32_t(d)) {
            if (!fallbackListed)
                out.push_back(0);
        } else
            out.push_back(e);
    }
    // Renumbering can make two entries equal (the fallback was 1 and became 0).
    std::vector<std::uint32_t> unique;
    for (std::uint32_t e : out)
        if (std::find(unique.begin(), unique.end(), e) == unique.end())
            unique.push_back(e);
    list = std::move(unique);
}

} // namespace

void CXYDataset::OnXAxisDeleted(int index) { AxisDeleted(m_xAxes, index); }
void CXYDataset::OnYAxisDeleted(int index) { AxisDeleted(m_yAxes, index); }

// ---------------------------------------------------------------- symbols

int CXYDataset::ScaleSymbolSize(int base) const
{
    const int i = std::clamp(m_nSymbolSize, 0, kSymbolSizeCount - 1);
    return MulDiv(base, kSymbolSizes[i][0], kSymbolSizes[i][1]);
}

int CXYDataset::SymbolHalfSize() const
{
    const RECT frame = m_pGraph ? m_pGraph->GetFrame() : RECT{0, 0, 0, 0};
    return ScaleSymbolSize((frame.right - frame.left) / 60);
}

void CXYDataset::GetSymbolOutline(int& style, int& width) const
{
    style = m_bSymbolOutline ? 0 : 5;
    width = m_nSymbolOutlineWidth;
}

void CXYDataset::SetSymbolOutline(int style, int width)
{
    if (style != -1)
        m_bSymbolOutline = style != 5 ? 1 : 0;
    if (width != -1)
        m_nSymbolOutlineWidth = width;
}

void CXYDataset::SelectSymbolTools(CDrawDC& dc, CPatternPen& pen) const
{
    QPainter& p = *dc.painter;
    if (m_bSymbolFill) {
        QBrush brush(ToColour(m_symbolBrush.lbColor));
        if (m_symbolBrush.lbStyle == BS_NULL)
            brush = Qt::NoBrush;
        else if (m_symbolBrush.lbStyle == BS_HATCHED) {
            static const Qt::BrushStyle hatches[] = {Qt::HorPattern, Qt::VerPattern, Qt::FDiagPattern,
                                                     Qt::BDiagPattern, Qt::CrossPattern, Qt::DiagCrossPattern};
            brush.setStyle(hatches[std::clamp(int(m_symbolBrush.lbHatch), 0, 5)]);
        }
        p.setBrush(brush);
    } else
        p.setBrush(Qt::NoBrush);
    pen.Create(dc.painter, m_bSymbolOutline ? 0 : 5, m_nSymbolOutlineWidth, m_crSymbolOutline);
}

void CXYDataset::DrawSymbol(CDrawDC& dc, int x, int y, int r) const
{
    if (!dc.painter || m_nSymbolShape < 0 || m_nSymbolShape > 15)
        return;
    QPainter& p = *dc.painter;
    const QPen outline = m_bSymbolOutline ? QPen(ToColour(m_crSymbolOutline), m_nSymbolOutlineWidth) : QPen(Qt::NoPen);
    const int h = MulDiv(r, 866, 1000), r2 = r / 2, r3 = r / 3, r4 = r / 4, r5 = r / 5;
    auto tx = [&](int v) { return x + MulDiv(v, r, 166); };
    auto ty = [&](int v) { return y + MulDiv(v, r, 166); };
    auto polygon = [&](std::initializer_list<QPointF> points) {
        p.setPen(outline);
        p.drawPolygon(QPolygonF(QList<QPointF>(points)));
    };
    auto line = [&](int x1, int y1, int x2, int y2) {
        p.setPen(outline);
        p.drawLine(QPointF(x1, y1), QPointF(x2, y2));
    };
    auto face = [&] {
        p.setPen(outline);
        p.drawEllipse(QRectF(x - r, y - r, 2 * r, 2 * r));
        const QBrush old = p.brush();
        p.setBrush(ToColour(m_crSymbolOutline));
        p.drawEllipse(QRectF(QPointF(x - r2, y + r2), QPointF(x - r5, y + r5)).normalized());
        p.drawEllipse(QRectF(QPointF(x + r5, y + r2), QPointF(x + r2, y + r5)).normalized());
        p.setBrush(old);
    };
    switch (m_nSymbolShape) {
    case 0: p.setPen(outline); p.drawEllipse(QRectF(x - r, y - r, 2 * r, 2 * r)); break;
    case 1: polygon({QPointF(x - r, y - r), QPointF(x + r, y - r), QPointF(x + r, y + r), QPointF(x - r, y + r)}); break;
    case 2: polygon({QPointF(tx(0), ty(208)), QPointF(tx(180), ty(-104)), QPointF(tx(-180), ty(-104))}); break;
    case 3: polygon({QPointF(tx(-180), ty(104)), QPointF(tx(180), ty(104)), QPointF(tx(0), ty(-208))}); break;
    case 4: polygon({QPointF(x - r, y), QPointF(x, y + r), QPointF(x + r, y), QPointF(x, y - r)}); break;
    case 5:
        polygon({QPointF(x, y - r), QPointF(x + h, y - r2), QPointF(x + h, y + r2), QPointF(x, y + r),
                 QPointF(x - h, y + r2), QPointF(x - h, y - r2)});
        break;
    case 6: line(x, y - r, x, y + r); line(x - r, y, x + r, y); break;
    case 7: line(x - r, y - r, x + r, y + r); line(x - r, y + r, x + r, y - r); break;
    case 8: line(x, y - r, x, y + r); line(x + h, y - r2, x - h, y + r2); line(x + h, y + r2, x - h, y - r2); break;
    case 9:
        polygon({QPointF(tx(0), ty(208)), QPointF(tx(61), ty(84)), QPointF(tx(198), ty(64)), QPointF(tx(99), ty(-32)),
                 QPointF(tx(122), ty(-169)), QPointF(tx(0), ty(-104)), QPointF(tx(-122), ty(-169)),
                 QPointF(tx(-99), ty(-32)), QPointF(tx(-198), ty(64)), QPointF(tx(-61), ty(84))});
        break;
    case 10:
        line(x, y - r, x, y - r2); line(x, y + r2, x, y + r); line(x - r, y, x - r2, y); line(x + r2, y, x + r, y);
        break;
    case 11:
        line(x - r, y - r, x - r2, y - r2); line(x + r2, y + r2, x + r, y + r);
        line(x - r, y + r, x - r2, y + r2); line(x + r2, y - r2, x + r, y - r);
        break;
    case 12: polygon({QPointF(x - r2, y), QPointF(x, y + r2), QPointF(x + r2, y), QPointF(x, y - r2)}); break;
    case 13:
        polygon({QPointF(x - r2, y - r2), QPointF(x + r2, y - r2), QPointF(x + r2, y + r2), QPointF(x - r2, y + r2)});
        break;
    case 14:
    case 15: {
        face();
        // The mouth: the lower half of a small ellipse smiles, the upper half of a lower one frowns.
        p.setPen(outline);
        if (m_nSymbolShape == 14)
            p.drawArc(QRectF(QPointF(x - r2, y), QPointF(x + r2, y - r2)).normalized(), 180 * 16, 180 * 16);
        else
            p.drawArc(QRectF(QPointF(x - r2, y - r5), QPointF(x + r2, y - r2 - r5)).normalized(), 0, 180 * 16);
        (void)r3;
        (void)r4;
        break;
    }
    default: break;
    }
}

bool CXYDataset::Inside(std::size_t i, const CXYAxis& x, const CXYAxis& y) const
{
    return i < m_x.size() && i < m_y.size() && x.Contains(m_x[i]) && y.Contains(m_y[i]);
}

void CXYDataset::DrawPoints(CDrawDC& dc, CXYAxis& x, CXYAxis& y, int)
{
    if (!m_bPointsValid)
        Recalculate();
    if (!dc.painter)
        return;
    DrawErrorBars(dc, x, y);
    if (m_nSymbolShape == 16)
        return;
    QPainter& p = *dc.painter;
    p.save();
    CPatternPen unused;
    SelectSymbolTools(dc, unused);
    unused.Release();
    const int r = SymbolHalfSize();
    for (std::size_t i = 0; i < m_x.size(); ++i)
        if (Inside(i, x, y))
            DrawSymbol(dc, x.ValueToDevice(m_x[i]), y.ValueToDevice(m_y[i]), r);
    p.restore();
}

void CXYDataset::DrawLegendSymbol(CDrawDC& dc, const RECT& rect)
{
    if (!dc.painter || m_nSymbolShape == 16)
        return;
    QPainter& p = *dc.painter;
    p.save();
    CPatternPen unused;
    SelectSymbolTools(dc, unused);
    unused.Release();
    DrawSymbol(dc, (rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2, SymbolHalfSize());
    p.restore();
}

// ---------------------------------------------------------------- error bars

void CXYDataset::SetClipToAxes(CDrawDC& dc, CXYAxis& x, CXYAxis& y) const
{
    if (!dc.painter)
        return;
    const int x1 = x.ValueToDevice(x.m_dMin), x2 = x.ValueToDevice(x.m_dMax);
    const int y1 = y.ValueToDevice(y.m_dMin), y2 = y.ValueToDevice(y.m_dMax);
    dc.painter->setClipRect(QRectF(QPointF(x1, y1), QPointF(x2, y2)).normalized(), Qt::IntersectClip);
}

void CXYDataset::DrawErrorBars(CDrawDC& dc, CXYAxis& x, CXYAxis& y)
{
    if ((m_nXErrorMode == 0 && m_nYErrorMode == 0) || !dc.painter)
        return;
    dc.painter->save();
    SetClipToAxes(dc, x, y);
    CPatternPen pen;
    pen.Create(dc.painter, 0, m_nErrorWidth, m_crError);
    const int r = SymbolHalfSize();
    for (std::size_t i = 0; i < m_x.size(); ++i)
        DrawPointErrorBars(pen, i, x, y, r);
    pen.Release();
    dc.painter->restore();
}

void CXYDataset::DrawPointErrorBars(CPatternPen& pen, std::size_t i, CXYAxis& xa, CXYAxis& ya, int r)
{
    if (!Inside(i, xa, ya))
        return;
    const double x = m_x[i], y = m_y[i];
    const int px = xa.ValueToDevice(x), py = ya.ValueToDevice(y);
    auto ends = [&](int mode, double v, double abs, double prop, const std::vector<double>& plus,
                    const std::vector<double>& minus, const CXYAxis& axis, int at, int& upper, int& lower) {
        upper = lower = at;
        switch (mode) {
        case 1: upper = axis.ValueToDevice(v + abs); lower = axis.ValueToDevice(v - abs); break;
        case 2: upper = axis.ValueToDevice(v * (1.0 + prop * 0.01)); lower = axis.ValueToDevice(v - v * prop * 0.01); break;
        case 3:
            if (i < plus.size())
                upper = axis.ValueToDevice(v + plus[i]);
            break;
        case 4:
            if (i < plus.size() && i < minus.size()) {
                upper = axis.ValueToDevice(v + plus[i]);
                lower = axis.ValueToDevice(v - minus[i]);
            }
            break;
        default: break;
        }
    };
    int upper = py, lower = py, right = px, left = px;
    ends(m_nYErrorMode, y, m_dYAbsError, m_dYPropError, m_yPlus, m_yMinus, ya, py, upper, lower);
    ends(m_nXErrorMode, x, m_dXAbsError, m_dXPropError, m_xPlus, m_xMinus, xa, px, right, left);
    const bool caps = m_nErrorCaps == 1;
    if (m_nYErrorMode && (m_nXErrorMode == 0 || m_nXYErrorStyle == 0)) {
        pen.MoveTo(px, upper);
        pen.LineTo(px, lower);
        if (caps) {
            pen.MoveTo(px - r, upper);
            pen.LineTo(px + r, upper);
            if (m_nYErrorMode != 3) {
                pen.MoveTo(px - r, lower);
                pen.LineTo(px + r, lower);
            }
        }
    }
    if (m_nXErrorMode && (m_nYErrorMode == 0 || m_nXYErrorStyle == 0)) {
        pen.MoveTo(left, py);
        pen.LineTo(right, py);
        if (caps) {
            pen.MoveTo(right, py - r);
            pen.LineTo(right, py + r);
            if (m_nXErrorMode != 3) {
                pen.MoveTo(left, py - r);
                pen.LineTo(left, py + r);
            }
        }
    }
    if (m_nXErrorMode && m_nYErrorMode && (m_nXYErrorStyle == 1 || m_nXYErrorStyle == 2)) {
        const POINT a = m_nXYErrorStyle == 1 ? POINT{left, lower} : POINT{left, upper};
        const POINT b = m_nXYErrorStyle == 1 ? POINT{right, upper} : POINT{right, lower};
        pen.MoveTo(a.x, a.y);
        pen.LineTo(b.x, b.y);
        if (caps) {
            for (const POINT& e : {a, b}) {
                if (e.x == px && e.y == py)
                    continue;
                const double t = std::atan2(double(e.y - py), double(e.x - px));
                const int s = int(std::sin(t) * r), c = int(std::cos(t) * r);
                pen.MoveTo(e.x + s, e.y - c);
                pen.LineTo(e.x - s, e.y + c);
            }
        }
    }
}

// ---------------------------------------------------------------- join lines

void CXYDataset::DevicePoints(CXYAxis& x, CXYAxis& y, std::vector<POINT>& out)
{
    out.resize(std::min(m_x.size(), m_y.size()));
    const CAxisMapping mx = x.GetMapping(), my = y.GetMapping();
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = POINT{mx.Map(m_x[i]), my.Map(m_y[i])};
}

void CXYDataset::ExcludeSymbolAreas(CDrawDC& dc, CXYAxis& x, CXYAxis& y)
{
    if (!m_bSymbolGap || !dc.painter)
        return;
    const int g = (3 * SymbolHalfSize()) / 2;
    if (g <= 0)
        return;
    QRegion keep(dc.painter->clipRegion());
    if (keep.isEmpty())
        keep = QRegion(-32768, -32768, 65536, 65536);
    std::vector<POINT> points;
    DevicePoints(x, y, points);
    for (const POINT& pt : points)
        keep -= QRegion(pt.x - g, pt.y - g, 2 * g, 2 * g);
    dc.painter->setClipRegion(keep);
}

bool CXYDataset::BezierControlPoints(POINT previous, POINT next, POINT point, POINT& before, POINT& after, int divisor)
{
    const double dx = double(next.x) - previous.x, dy = double(next.y) - previous.y;
    const double d = std::hypot(dx, dy);
    if (d == 0.0 || divisor <= 0) {
        before = after = point;
        return false;
    }
    // The tangent is the chord of the neighbours as a vector, so that it
    // keeps its direction whichever way the points run.
    const double ax = dx / divisor, ay = dy / divisor;
    before = POINT{LONG(std::trunc(point.x - ax)), LONG(std::trunc(point.y - ay))};
    after = POINT{LONG(std::trunc(point.x + ax)), LONG(std::trunc(point.y + ay))};
    return true;
}

std::vector<POINT> CXYDataset::BezierList(const std::vector<POINT>& p, int k)
{
    const std::size_t m = p.size();
    if (m < 2)
        return {};
    std::vector<POINT> list(3 * m - 2, POINT{0, 0});
    for (std::size_t i = 0; i < m; ++i)
        list[3 * i] = p[i];
    if (m == 2) {
        // No interior point: the arms lie on the segment, a straight line.
        list[1] = p[0];
        list[2] = p[1];
        return list;
    }
    for (std::size_t i = 1; i + 1 < m; ++i)
        BezierControlPoints(p[i - 1], p[i + 1], p[i], list[3 * i - 1], list[3 * i + 1], k);
    const int half = std::max(1, k / 2);
    list[1] = POINT{p[0].x + (list[2].x - p[0].x) / half, p[0].y + (list[2].y - p[0].y) / half};
    const std::size_t last = 3 * m - 4;
    list[last] = POINT{p[m - 1].x - (p[m - 1].x - list[3 * m - 5].x) / half,
                       p[m - 1].y - (p[m - 1].y - list[3 * m - 5].y) / half};
    return list;
}

namespace {

// Knot j of the clamped uniform knot vector of a spline of order q over m control points.
double Knot(int j, int q, int m)
{
    if (j < q)
        return 0.0;
    if (j <= m - 1)
        return double(j - q + 1);
    return double(m - q + 1);
}

// Cox-de Boor: basis i of order k on the knots of the order-q spline.
double Basis(int i, int k, int q, double t, int m)
{
    if (k <= 1)
        return Knot(i, q, m) <= t && t < Knot(i + 1, q, m) ? 1.0 : 0.0;
    double sum = 0.0;
    const double d1 = Knot(i + k - 1, q, m) - Knot(i, q, m);
    if (d1 != 0.0)
        sum += (t - Knot(i, q, m)) / d1 * Basis(i, k - 1, q, t, m);
    const double d2 = Knot(i + k, q, m) - Knot(i + 1, q, m);
    if (d2 != 0.0)
        sum += (Knot(i + k, q, m) - t) / d2 * Basis(i + 1, k - 1, q, t, m);
    return sum;
}

} // namespace

double CXYDataset::BSplineBasis(int i, int order, double t, int m) { return Basis(i, order, order, t, m); }

std::vector<POINT> CXYDataset::BSplineSamples(const std::vector<POINT>& points, int q)
{
    const int m = int(points.size());
    if (q < 2 || m < 2 * q)
        return {};
    std::vector<POINT> samples;
    samples.reserve(201);
    for (int i = 0; i <= 200; ++i) {
        double t = i * (m - q + 1) * 0.005;
        if (i == 200)
            t -= 0.000001;
        const int s = int(std::trunc(t));
        const int from = std::max(s - q / 2 - 1, 0), to = std::min(s + q / 2 + 2, m - 1);
        double x = 0.0, y = 0.0;
        for (int j = from; j <= to; ++j) {
            const double b = BSplineBasis(j, q, t, m);
            x += b * points[std::size_t(j)].x;
            y += b * points[std::size_t(j)].y;
        }
        samples.push_back(POINT{LONG(std::trunc(x)), LONG(std::trunc(y))});
    }
    return samples;
}

namespace {

// Reduces a polyline as it streams past: of each run of points in one
// device pixel column only the first, lowest, highest and last are passed
// on, in the order the line visits them. A hairline through them spans in
// each column the same rows as the whole run. The lowest and highest are
// kept without branches: on noisy data a branch on every comparison
// mispredicts half the time, and the comparisons are the whole work per point.
template <class T>
class PixelColumnReducer {
public:
    explicit PixelColumnReducer(std::vector<QPointF>& out) : m_out(out) {}
    void Add(double column, T x, T y)
    {
        if (m_count > 0 && column == m_column) {
            // Selects rather than branches (conditional moves for whole numbers).
            const bool lower = y < m_lowY, higher = y > m_highY;
            m_lowY = lower ? y : m_lowY;
            m_lowX = lower ? x : m_lowX;
            m_lowAt = lower ? m_count : m_lowAt;
            m_highY = higher ? y : m_highY;
            m_highX = higher ? x : m_highX;
            m_highAt = higher ? m_count : m_highAt;
            m_lastX = x;
            m_lastY = y;
            ++m_count;
            return;
        }
        Flush();
        m_column = column;
        m_firstX = m_lowX = m_highX = m_lastX = x;
        m_firstY = m_lowY = m_highY = m_lastY = y;
        m_lowAt = m_highAt = 0;
        m_count = 1;
    }
    void Flush()
    {
        if (m_count == 0)
            return;
        const long long lastAt = m_count - 1;
        m_out.emplace_back(m_firstX, m_firstY);
        const bool lowFirst = m_lowAt <= m_highAt;
        const long long aAt = lowFirst ? m_lowAt : m_highAt, bAt = lowFirst ? m_highAt : m_lowAt;
        if (aAt != 0)
            m_out.emplace_back(lowFirst ? m_lowX : m_highX, lowFirst ? m_lowY : m_highY);
        if (bAt != aAt && bAt != 0)
            m_out.emplace_back(lowFirst ? m_highX : m_lowX, lowFirst ? m_highY : m_lowY);
        if (lastAt != bAt && lastAt != aAt && lastAt != 0)
            m_out.emplace_back(m_lastX, m_lastY);
        m_count = 0;
    }

private:
    std::vector<QPointF>& m_out;
    double m_column = 0.0;
    T m_firstX{}, m_firstY{}, m_lowX{}, m_lowY{}, m_highX{}, m_highY{}, m_lastX{}, m_lastY{};
    // Places in the column's run of the lowest and highest point, and the run's length.
    long long m_lowAt = 0, m_highAt = 0, m_count = 0;
};

// A polyline's pixels on a raster device, lit from its vertices' device
// positions alone. The painter's own hairline omits or adds a pixel at a
// join by the directions of the segments around it, so a line reduced per
// pixel column could differ from the whole line by such pixels. Here a
// segment with both ends in one pixel column lights the rows between its
// ends' rows, both included, so that a column lights the same rows
// whichever of its points the line visits between its first and last, as
// long as it visits the lowest and the highest; a segment across columns
// lights one pixel per column (shallow) or per row (steep), the one its
// line passes at that column's or row's centre.
class PixelPolyline {
public:
    PixelPolyline(int width, int height) : m_width(width), m_height(height) {}

    void MoveTo(QPointF p)
    {
        m_at = p;
        Span(Cell(p.x()), Cell(p.y()), Cell(p.y()));
    }
    void LineTo(QPointF p)
    {
        const QPointF a = m_at;
        m_at = p;
        const int ca = Cell(a.x()), cb = Cell(p.x()), ra = Cell(a.y()), rb = Cell(p.y());
        if (ca == cb) {
            Span(ca, std::min(ra, rb), std::max(ra, rb));
            return;
        }
        const double dx = p.x() - a.x(), dy = p.y() - a.y();
        const bool steep = std::fabs(dy) > std::fabs(dx);
        // Along the longer axis, cell by cell, on the device and one either side.
        const int from = steep ? ra : ca, to = steep ? rb : cb, size = steep ? m_height : m_width;
        const int lo = std::max(std::min(from, to), -1), hi = std::min(std::max(from, to), size);
        const double a0 = steep ? a.y() : a.x(), a1 = steep ? p.y() : p.x();
        const double b0 = steep ? a.x() : a.y(), slope = steep ? dx / dy : dy / dx;
        for (int k = lo; k <= hi; ++k) {
            const double at = std::clamp(k + 0.5, std::min(a0, a1), std::max(a0, a1));
            const int other = Cell(b0 + (at - a0) * slope);
            if (steep)
                Span(other, k, k);
            else
                Span(k, other, other);
        }
    }
    void Paint(QPainter& painter, const QColor& colour)
    {
        Emit();
        if (m_rects.empty())
            return;
        painter.save();
        painter.resetTransform();
        for (const QRect& r : m_rects)
            painter.fillRect(r, colour);
        painter.restore();
    }

private:
    // The pixel of a device coordinate; the callers keep coordinates
    // within int range.
    static int Cell(double v) { return int(std::floor(v)); }
    // Joins a run of rows to the one before when both lie in one column
    // and touch, so that a long line emits few rectangles.
    void Span(int column, int top, int bottom)
    {
        if (m_open && column == m_column && top <= m_bottom + 1 && bottom >= m_top - 1) {
            m_top = std::min(m_top, top);
            m_bottom = std::max(m_bottom, bottom);
            return;
        }
        Emit();
        m_open = true;
        m_column = column;
        m_top = top;
        m_bottom = bottom;
    }
    void Emit()
    {
        if (!m_open)
            return;
        m_open = false;
        if (m_column < 0 || m_column >= m_width)
            return;
        const int top = std::max(m_top, 0), bottom = std::min(m_bottom, m_height - 1);
        if (top <= bottom)
            m_rects.emplace_back(m_column, top, 1, bottom - top + 1);
    }

    int m_width, m_height;
    QPointF m_at;
    bool m_open = false;
    int m_column = 0, m_top = 0, m_bottom = 0;
    std::vector<QRect> m_rects;
};

} // namespace

std::vector<QPointF> CXYDataset::ReduceForPixels(const std::vector<QPointF>& points, double pixel)
{
    if (!(pixel > 0.0))
        return points;
    std::vector<QPointF> out;
    PixelColumnReducer<double> reducer(out);
    for (const QPointF& p : points)
        reducer.Add(std::floor(p.x() / pixel), p.x(), p.y());
    reducer.Flush();
    return out;
}

void CXYDataset::DrawLines(CDrawDC& dc, CXYAxis& x, CXYAxis& y)
{
    if (m_nJoinType <= 0 || m_nJoinType > 8 || !dc.painter || m_nJoinStyle == 5)
        return;
    if (!m_bPointsValid)
        Recalculate();
    const std::size_t n = std::min(m_x.size(), m_y.size());
    if (n < 2)
        return;

    dc.painter->save();
    SetClipToAxes(dc, x, y);
    ExcludeSymbolAreas(dc, x, y);
    CPatternPen pen;
    pen.Create(dc.painter, m_nJoinStyle, m_nJoinWidth, m_crJoin);

    int type = m_nJoinType;
    std::vector<POINT> curve;
    std::vector<POINT> good;
    if (type >= 2) {
        std::vector<POINT> device;
        DevicePoints(x, y, device);
        for (const POINT& pt : device)
            if (!IsMark(pt))
                good.push_back(pt);
    }
    if (type >= 2 && type <= 4) {
        static const int divisors[] = {8, 6, 4};
        curve = BezierList(good, divisors[type - 2]);
        if (!curve.empty())
            pen.PolyBezier(curve.data(), int(curve.size()), 3);
    } else if (type >= 5) {
        curve = BSplineSamples(good, type - 2);
        // Too few points to steer a spline of that order: straight joins instead.
        if (curve.empty())
            type = 1;
        else
            pen.Polyline(curve.data(), int(curve.size()));
    }
    if (type == 1)
        DrawStraightJoins(dc, pen, x, y, n);
    pen.Release();
    dc.painter->restore();
}

void CXYDataset::DrawStraightJoins(CDrawDC& dc, CPatternPen& pen, CXYAxis& x, CXYAxis& y, std::size_t n)
{
    // A solid hairline of many more points than pixel columns is drawn
    // reduced per device pixel column of the painter: the columns are those
    // of the device (a view scrolled by a fraction of a page unit's pixel
    // moves them against the page), so that each keeps at most four points.
    // On a raster device the line's pixels are lit here (PixelPolyline),
    // which makes the reduced line light the very pixels of the whole one.
    QPainter& painter = *dc.painter;
    const QTransform& t = painter.worldTransform();
    const double sx = t.m11(), ox = t.dx(), sy = t.m22(), oy = t.dy();
    const bool hairline = dc.pixelX > 0.0 && m_nJoinStyle == 0 && t.type() <= QTransform::TxScale
        && CPatternPen::IsHairline(painter, m_nJoinWidth);
    const double columns = std::fabs(sx * (x.ValueToDevice(x.m_dMax) - x.ValueToDevice(x.m_dMin)));
    const bool reduce = hairline && dc.reduceLongLines && double(n) > 4.0 * columns;
    // Not on a high-density screen, whose pixels are smaller than the
    // painter's units.
    const bool ownPixels = hairline && !painter.testRenderHint(QPainter::Antialiasing) && painter.paintEngine()
        && painter.paintEngine()->type() == QPaintEngine::Raster && painter.device()
        && painter.device()->devicePixelRatio() == 1.0;
    std::optional<PixelPolyline> pixels;
    if (ownPixels)
        pixels.emplace(painter.device()->width(), painter.device()->height());
    std::vector<QPointF> run;
    run.reserve(reduce ? std::size_t(4.0 * columns + 8) : n);
    PixelColumnReducer<int> reducer(run);
    auto flush = [&] {
        reducer.Flush();
        if (run.size() >= 2 && pixels) {
            // Page points lie within 16 bits; the bound keeps device
            // pixels within int range whatever the view's scroll.
            constexpr double kFar = double(1 << 28);
            auto toPixel = [&](const QPointF& p) {
                return QPointF(std::clamp(sx * p.x() + ox, -kFar, kFar), std::clamp(sy * p.y() + oy, -kFar, kFar));
            };
            pixels->MoveTo(toPixel(run[0]));
            for (std::size_t k = 1; k < run.size(); ++k)
                pixels->LineTo(toPixel(run[k]));
        } else if (run.size() >= 2) {
            pen.MoveTo(run[0].x(), run[0].y());
            for (std::size_t k = 1; k < run.size(); ++k)
                pen.LineTo(run[k].x(), run[k].y());
        }
        run.clear();
    };
    const CAxisMapping mx = x.GetMapping(), my = y.GetMapping();
    const double* xs = m_x.data();
    const double* ys = m_y.data();
    int lastX = CAxisMapping::kLow;
    double column = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        const int px = mx.Map(xs[i]), py = my.Map(ys[i]);
        if (IsMark(POINT{px, py})) {
            flush();
            continue;
        }
        if (!reduce) {
            run.emplace_back(px, py);
            continue;
        }
        // Many points share a page x: its column is worked out once.
        if (px != lastX) {
            lastX = px;
            column = std::floor(sx * px + ox);
        }
        reducer.Add(column, px, py);
    }
    flush();
    if (pixels)
        pixels->Paint(painter, painter.pen().color());
}
