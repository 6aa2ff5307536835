#include "graph/XYDatasetChart.h"

#include "data/MyData.h"
#include "draw/DrawDC.h"
#include "draw/PatternPen.h"
#include "framework/ArchiveHelpers.h"
#include "framework/UpdateNotification.h"
#include "graph/BarFill.h"
#include "graph/DrawGraph.h"
#include "graph/GraphSources.h"
#include "graph/XYAxis.h"

#include <QPainter>
#include <QRegion>

#include <algorithm>
#include <cmath>
#include <limits>

IMPLEMENT_SERIAL(CXYDatasetChart, CXYDataset, 0)
IMPLEMENT_SERIAL(CXYDatasetColChart, CXYDatasetChart, 0)
IMPLEMENT_SERIAL(CXYDatasetBarChart, CXYDatasetChart, 0)

namespace {

// The settings of a graph without a category axis.
const CCategoryAxisData kDefaultSettings{};

double Entry(const std::vector<double>& v, std::size_t i) { return i < v.size() ? v[i] : BlankValue(); }

} // namespace

// ---------------------------------------------------------------- layout

CBarLayout CBarLayout::Make(const CCategoryAxisData& c, double minimum, int n)
{
    // Settings beyond what the pages accept (a damaged file) would give bars
    // of no, negative or endless width: they are taken as the nearest limit.
    const double overlap = std::isfinite(c.overlap) ? std::clamp(c.overlap, -100.0, 100.0) : -25.0;
    const double gap = std::isfinite(c.gap) ? std::clamp(c.gap, 0.0, 200.0) : 50.0;
    n = std::max(n, 1);
    CBarLayout l;
    l.minimum = std::isfinite(minimum) ? minimum : 0.0;
    l.g = gap * 0.0025;
    l.w = (1.0 - 2.0 * l.g) / (n - (n - 1) * overlap * 0.01);
    l.step = -l.w * overlap * 0.01;
    return l;
}

// ---------------------------------------------------------------- construction and stored form

CXYDatasetChart::CXYDatasetChart(const std::string& source, int upper, int upperError, int lower, int lowerError,
                                 CDrawGraph* graph)
    : CXYDataset(graph)
    , m_nUpperColumn(upper)
    , m_nLowerColumn(lower)
{
    m_strSource = source;
    m_nYPlusColumn = m_nYMinusColumn = upperError;
    m_nXPlusColumn = m_nXMinusColumn = lowerError;
    if (lowerError != -1)
        m_nXErrorMode = 3;
    if (upperError != -1)
        m_nYErrorMode = 3;
    m_crOutline = m_crJoin; // the page's line colour
}

void CXYDatasetChart::Serialize(CArchive& ar)
{
    CXYDataset::Serialize(ar);
    if (ar.IsStoring()) {
        SerializeVersion(ar, 0);
        ar << std::int32_t(m_nUpperColumn) << std::int32_t(m_nLowerColumn) << std::int32_t(m_nBarType)
           << std::int32_t(m_bBackOn) << std::int32_t(m_bNegative) << std::uint32_t(m_crFore)
           << std::uint32_t(m_crBack) << std::uint32_t(m_crNegFore) << std::uint32_t(m_crNegBack)
           << std::int32_t(m_nFillStyle) << std::uint32_t(m_crOutline) << std::int32_t(m_nOutlineWidth)
           << std::int32_t(m_nOutlineStyle);
        return;
    }
    SerializeVersion(ar, 0);
    std::int32_t v[8] = {};
    std::uint32_t c[5] = {};
    ar >> v[0] >> v[1] >> v[2] >> v[3] >> v[4] >> c[0] >> c[1] >> c[2] >> c[3] >> v[5] >> c[4] >> v[6] >> v[7];
    m_nUpperColumn = v[0];
    m_nLowerColumn = v[1];
    m_nBarType = v[2];
    m_bBackOn = v[3];
    m_bNegative = v[4];
    m_crFore = c[0];
    m_crBack = c[1];
    m_crNegFore = c[2];
    m_crNegBack = c[3];
    m_nFillStyle = v[5];
    m_crOutline = c[4];
    m_nOutlineWidth = v[6];
    m_nOutlineStyle = v[7];
    m_bPointsValid = 0;
}

void CXYDatasetChart::CopyTo(CXYDatasetChart& t) const
{
    CopyStyle(t);
    t.m_nUpperColumn = m_nUpperColumn;
    t.m_nLowerColumn = m_nLowerColumn;
    t.m_nBarType = m_nBarType;
    t.m_bBackOn = m_bBackOn;
    t.m_bNegative = m_bNegative;
    t.m_crFore = m_crFore;
    t.m_crBack = m_crBack;
    t.m_crNegFore = m_crNegFore;
    t.m_crNegBack = m_crNegBack;
    t.m_nFillStyle = m_nFillStyle;
    t.m_crOutline = m_crOutline;
    t.m_nOutlineWidth = m_nOutlineWidth;
    t.m_nOutlineStyle = m_nOutlineStyle;
}

CXYDataset* CXYDatasetColChart::Clone(CDrawGraph* graph) const
{
    auto* copy = new CXYDatasetColChart();
    copy->SetGraph(graph);
    CopyTo(*copy);
    return copy;
}

CXYDataset* CXYDatasetBarChart::Clone(CDrawGraph* graph) const
{
    auto* copy = new CXYDatasetBarChart();
    copy->SetGraph(graph);
    CopyTo(*copy);
    return copy;
}

// ---------------------------------------------------------------- values per category

int CXYDatasetChart::GetCategoryCount() const { return m_pGraph ? m_pGraph->GetCategoryCount() : 0; }

bool CXYDatasetChart::EnsurePoints()
{
    if (!m_bPointsValid)
        Recalculate();
    return !m_y.empty();
}

void CXYDatasetChart::Recalculate()
{
    CXYDataset::Recalculate();
    CGraphSources* sources = GetSources();
    const CMyData* table = sources ? sources->FindTable(m_strSource) : nullptr;
    const int n = GetCategoryCount();
    // Without its table the series has no values: nothing is drawn and the
    // ranges report no data.
    if (!table || n <= 0)
        return;
    const std::size_t count = std::size_t(n);
    const bool lower = m_nLowerColumn != -1;
    m_y.assign(count, BlankValue());
    if (lower)
        m_x.assign(count, BlankValue());
    if (m_nYErrorMode == 3 || m_nYErrorMode == 4)
        m_yPlus.assign(count, BlankValue());
    if (m_nYErrorMode == 4)
        m_yMinus.assign(count, BlankValue());
    if (lower && (m_nXErrorMode == 3 || m_nXErrorMode == 4))
        m_xPlus.assign(count, BlankValue());
    if (lower && m_nXErrorMode == 4)
        m_xMinus.assign(count, BlankValue());

    auto number = [&](int row, int column, double& v) {
        return column >= 0 && table->GetNumber(row, column, v) && std::isfinite(v);
    };
    // A value counts only with the error cells its mode needs.
    auto read = [&](int row, int column, int mode, int plusColumn, int minusColumn, double& value, double& plus,
                    double& minus) {
        if (!number(row, column, value))
            return false;
        if (mode == 4)
            return number(row, plusColumn, plus) && number(row, minusColumn, minus);
        if (mode == 3)
            return number(row, plusColumn, plus);
        return true;
    };
    for (std::size_t i = 0; i < count; ++i) {
        const int row = int(i) + 2;
        double v = 0.0, plus = 0.0, minus = 0.0;
        if (read(row, m_nUpperColumn, m_nYErrorMode, m_nYPlusColumn, m_nYMinusColumn, v, plus, minus)) {
            m_y[i] = v;
            if (!m_yPlus.empty())
                m_yPlus[i] = plus;
            if (!m_yMinus.empty())
                m_yMinus[i] = minus;
        }
        if (lower && read(row, m_nLowerColumn, m_nXErrorMode, m_nXPlusColumn, m_nXMinusColumn, v, plus, minus)) {
            m_x[i] = v;
            if (!m_xPlus.empty())
                m_xPlus[i] = plus;
            if (!m_xMinus.empty())
                m_xMinus[i] = minus;
        }
    }
}

namespace {

// The value of a series in category i when it counts in totals and stacks:
// neither the value nor (with a column of bar starts) the start is blank.
bool CountedValue(CXYDatasetChart* d, int i, double& value)
{
    if (!d->m_bPointsValid)
        d->Recalculate();
    const std::size_t at = std::size_t(i);
    if (i < 0 || IsBlank(Entry(d->m_y, at)))
        return false;
    if (d->m_nLowerColumn != -1 && IsBlank(Entry(d->m_x, at)))
        return false;
    value = d->m_y[at];
    return true;
}

} // namespace

double CXYDatasetChart::GetCategoryTotal(int i)
{
    double total = 0.0;
    if (!m_pGraph)
        return total;
    for (int n = 0; n < m_pGraph->GetDatasetCount(); ++n) {
        auto* d = dynamic_cast<CXYDatasetChart*>(m_pGraph->GetDataset(n));
        double v = 0.0;
        if (d && CountedValue(d, i, v))
            total += v;
    }
    return total;
}

double CXYDatasetChart::GetStackBase(int k, int i)
{
    double base = 0.0;
    if (!m_pGraph)
        return base;
    for (int n = 0; n < k; ++n) {
        auto* d = dynamic_cast<CXYDatasetChart*>(m_pGraph->GetLegendEntryDataset(n));
        double v = 0.0;
        if (d && CountedValue(d, i, v))
            base += v;
    }
    return base;
}

int CXYDatasetChart::GetLegendIndex() const
{
    if (!m_pGraph)
        return -1;
    for (int n = 0; n < m_pGraph->GetDatasetCount(); ++n)
        if (m_pGraph->GetLegendEntryDataset(n) == this)
            return n;
    return -1;
}

bool CXYDatasetChart::BarEnds(int k, int i, const CCategoryAxisData& c, double& upper, double& lower)
{
    double value = 0.0;
    if (!CountedValue(this, i, value))
        return false;
    const double base = c.grouping == 1 ? GetStackBase(k, i) : 0.0;
    upper = value + base;
    lower = m_nLowerColumn != -1 ? m_x[std::size_t(i)] + base : base;
    if (c.percentages) {
        const double total = GetCategoryTotal(i);
        if (total == 0.0)
            return false;
        upper = upper * 100.0 / total;
        lower = lower * 100.0 / total;
    }
    return true;
}

// ---------------------------------------------------------------- layout on the page

const CCategoryAxisData& CXYDatasetChart::Settings(CXYAxis& x, CXYAxis& y) const
{
    return CategoryAxis(x, y).m_category;
}

CBarLayout CXYDatasetChart::LayoutFor(CXYAxis& x, CXYAxis& y) const
{
    CXYAxis& category = CategoryAxis(x, y);
    int n = 1;
    if (m_pGraph)
        n = Horizontal() ? m_pGraph->CountDatasetsOnYAxis(m_pGraph->IndexOfYAxis(&category))
                         : m_pGraph->CountDatasetsOnXAxis(m_pGraph->IndexOfXAxis(&category));
    return CBarLayout::Make(category.m_category, category.m_dMin, n);
}

std::vector<CXYDatasetChart::CBarPlace> CXYDatasetChart::DrawnBars(CXYAxis& x, CXYAxis& y, int k, CBarLayout& layout)
{
    std::vector<CBarPlace> bars;
    EnsurePoints();
    const CCategoryAxisData& c = Settings(x, y);
    layout = LayoutFor(x, y);
    for (int i = 0; i < int(m_y.size()); ++i) {
        double upper = 0.0, lower = 0.0;
        if (BarEnds(k, i, c, upper, lower))
            bars.push_back(CBarPlace{i, layout.Start(k, i), upper, lower});
    }
    return bars;
}

std::vector<RECT> CXYDatasetChart::BarRects(CXYAxis& x, CXYAxis& y, int k)
{
    std::vector<RECT> rects;
    CBarLayout layout;
    const std::vector<CBarPlace> bars = DrawnBars(x, y, k, layout);
    const CAxisMapping cm = CategoryAxis(x, y).GetMapping(), vm = ValueAxis(x, y).GetMapping();
    for (const CBarPlace& bar : bars) {
        const POINT a = At(cm.Map(bar.start), vm.Map(bar.lower));
        const POINT b = At(cm.Map(bar.start + layout.w), vm.Map(bar.upper));
        rects.push_back(RECT{a.x, a.y, b.x, b.y});
    }
    return rects;
}

void CXYDatasetChart::BarEndsOnPage(std::vector<POINT>& upperPoints, std::vector<POINT>& lowerPoints, CXYAxis& x,
                                    CXYAxis& y, int k)
{
    CBarLayout layout;
    const std::vector<CBarPlace> bars = DrawnBars(x, y, k, layout);
    const CAxisMapping cm = CategoryAxis(x, y).GetMapping(), vm = ValueAxis(x, y).GetMapping();
    // Areas alone on their categories put their points on the categories themselves.
    const bool onCategories = CategoryAxis(x, y).IsAllAreas() && !Settings(x, y).ticksBetween;
    for (const CBarPlace& bar : bars) {
        const double at = onCategories ? layout.minimum + bar.category + k * (layout.w + layout.step)
                                       : bar.start + layout.w / 2.0;
        const int category = cm.Map(at);
        upperPoints.push_back(At(category, vm.Map(bar.upper)));
        lowerPoints.push_back(At(category, vm.Map(bar.lower)));
    }
}

// ---------------------------------------------------------------- drawing

void CXYDatasetChart::SelectBarBrush(CDrawDC& dc, bool positive) const
{
    SelectBarFill(*dc.painter, m_nFillStyle, positive ? m_crFore : m_crNegFore, positive ? m_crBack : m_crNegBack,
                  m_bBackOn != 0);
}

void CXYDatasetChart::DrawBarsOnPage(CDrawDC& dc, CXYAxis& x, CXYAxis& y, int k)
{
    if (!dc.painter || !EnsurePoints())
        return;
    QPainter& p = *dc.painter;
    p.save();
    SelectBarBrush(dc, true);
    CPatternPen pen;
    pen.Create(dc.painter, m_nOutlineStyle & 0xF, m_nOutlineWidth, m_crOutline);
    if (m_nBarType == 0) {
        const int zero = ValueAxis(x, y).GetMapping().Map(0.0);
        auto box = [&](const RECT& r, int v1, int v2) {
            const POINT a = Horizontal() ? POINT{v1, r.top} : POINT{r.left, v1};
            const POINT b = Horizontal() ? POINT{v2, r.bottom} : POINT{r.right, v2};
            pen.Rectangle(a.x, a.y, b.x, b.y);
        };
        auto negative = [&](const RECT& r, int v1, int v2) {
            p.save();
            SelectBarBrush(dc, false);
            box(r, v1, v2);
            p.restore();
        };
        for (const RECT& r : BarRects(x, y, k)) {
            if (!m_bNegative) {
                pen.Rectangle(r);
                continue;
            }
            // The value coordinates of the two ends; the part on the low
            // side of the zero line takes the negative colours.
            const int vl = Horizontal() ? r.left : r.top, vu = Horizontal() ? r.right : r.bottom;
            const int lo = std::min(vl, vu), hi = std::max(vl, vu);
            if (hi <= zero)
                negative(r, lo, hi);
            else if (lo >= zero)
                box(r, lo, hi);
            else {
                box(r, zero, hi);
                negative(r, lo, zero);
            }
        }
    } else if (m_nBarType == 1) {
        std::vector<POINT> upper, lower;
        GetBarEnds(upper, lower, x, y, k);
        if (upper.size() > 1) {
            std::vector<POINT> band(upper);
            band.insert(band.end(), lower.rbegin(), lower.rend());
            pen.Polygon(band.data(), int(band.size()));
        }
    }
    pen.Release();
    p.restore();
}

void CXYDatasetChart::DrawCurve(CDrawDC& dc, CXYAxis& x, CXYAxis& y, int ordinal)
{
    EnsurePoints();
    if (!dc.painter)
        return;
    dc.painter->save();
    SetClipToAxes(dc, x, y);
    DrawBars(dc, x, y, ordinal);
    DrawJoinLine(dc, x, y);
    dc.painter->restore();
}

void CXYDatasetChart::DrawJoinLine(CDrawDC& dc, CXYAxis& x, CXYAxis& y)
{
    if (m_nJoinType <= 0 || m_nJoinType > 8 || m_nJoinStyle == 5 || !dc.painter || !EnsurePoints()
        || m_y.size() < 2)
        return;
    QPainter& p = *dc.painter;
    p.save();
    std::vector<POINT> upper, lower;
    GetBarEnds(upper, lower, x, y, GetLegendIndex());
    const bool withLower = m_nLowerColumn != -1;
    if (m_bSymbolGap) {
        // The line stops short of the symbols at the bar ends.
        const int g = (3 * SymbolHalfSize()) / 2;
        if (g > 0) {
            QRegion keep(p.clipRegion());
            if (keep.isEmpty())
                keep = QRegion(-32768, -32768, 65536, 65536);
            for (const auto* points : {&upper, &lower}) {
                if (points == &lower && !withLower)
                    break;
                for (const POINT& pt : *points)
                    keep -= QRegion(pt.x - g, pt.y - g, 2 * g, 2 * g);
            }
            p.setClipRegion(keep);
        }
    }
    CPatternPen pen;
    pen.Create(dc.painter, m_nJoinStyle, m_nJoinWidth, m_crJoin);
    auto join = [&](const std::vector<POINT>& points) {
        int type = m_nJoinType;
        if (type >= 2 && type <= 4) {
            static const int divisors[] = {8, 6, 4};
            const std::vector<POINT> list = BezierList(points, divisors[type - 2]);
            if (!list.empty())
                pen.PolyBezier(list.data(), int(list.size()), 3);
        } else if (type >= 5) {
            const std::vector<POINT> samples = BSplineSamples(points, type - 2);
            // Too few points to steer a spline of that order: straight joins instead.
            if (samples.empty())
                type = 1;
            else
                pen.Polyline(samples.data(), int(samples.size()));
        }
        if (type == 1 && points.size() > 1)
            pen.Polyline(points.data(), int(points.size()));
    };
    join(upper);
    if (withLower)
        join(lower);
    pen.Release();
    p.restore();
}

void CXYDatasetChart::DrawChartErrorBars(CDrawDC& dc, CXYAxis& x, CXYAxis& y, int k)
{
    const bool withLower = m_nLowerColumn != -1;
    if (m_nYErrorMode == 0 && (!withLower || m_nXErrorMode == 0))
        return;
    const CCategoryAxisData& c = Settings(x, y);
    const CBarLayout layout = LayoutFor(x, y);
    const CAxisMapping cm = CategoryAxis(x, y).GetMapping(), vm = ValueAxis(x, y).GetMapping();
    const int s = SymbolHalfSize();
    const bool caps = m_nErrorCaps == 1;
    CPatternPen pen;
    pen.Create(dc.painter, 0, m_nErrorWidth, m_crError);
    int centre = 0;
    auto bar = [&](double plusEnd, double minusEnd, bool plusCap, bool minusCap) {
        if (!std::isfinite(plusEnd) || !std::isfinite(minusEnd))
            return;
        const int a = vm.Map(plusEnd), b = vm.Map(minusEnd);
        const POINT from = At(centre, a), to = At(centre, b);
        pen.MoveTo(from.x, from.y);
        pen.LineTo(to.x, to.y);
        for (const auto& [end, cap] : {std::pair{a, plusCap}, std::pair{b, minusCap}}) {
            if (!caps || !cap)
                continue;
            const POINT c1 = At(centre - s, end), c2 = At(centre + s, end);
            pen.MoveTo(c1.x, c1.y);
            pen.LineTo(c2.x, c2.y);
        }
    };
    // One end's error bar; mode 3 has only the part away from the bar.
    auto ends = [&](double v, int mode, double amount, double percent, double plus, double minus, bool upperEnd) {
        switch (mode) {
        case 1: bar(v + amount, v - amount, true, true); break;
        case 2: bar(v * (1.0 + percent * 0.01), v - v * percent * 0.01, true, true); break;
        case 3:
            if (upperEnd)
                bar(v + plus, v, true, false);
            else
                bar(v, v - plus, false, true);
            break;
        case 4: bar(v + plus, v - minus, true, true); break;
        default: break;
        }
    };
    for (int i = 0; i < int(m_y.size()); ++i) {
        const std::size_t at = std::size_t(i);
        if (IsBlank(m_y[at]))
            continue;
        const double base = c.grouping == 1 ? GetStackBase(k, i) : 0.0;
        double scale = 1.0;
        if (c.percentages) {
            const double total = GetCategoryTotal(i);
            if (total == 0.0)
                continue;
            scale = 100.0 / total;
        }
        centre = cm.Map(layout.Centre(k, i));
        // The upper end's bars stand even where the start of the bar is missing.
        ends((m_y[at] + base) * scale, m_nYErrorMode, m_dYAbsError, m_dYPropError, Entry(m_yPlus, at), Entry(m_yMinus, at),
             true);
        if (withLower && !IsBlank(Entry(m_x, at)))
            ends((m_x[at] + base) * scale, m_nXErrorMode, m_dXAbsError, m_dXPropError, Entry(m_xPlus, at),
                 Entry(m_xMinus, at), false);
    }
    pen.Release();
}

void CXYDatasetChart::DrawChartPoints(CDrawDC& dc, CXYAxis& x, CXYAxis& y, int k)
{
    if (!EnsurePoints() || !dc.painter)
        return;
    QPainter& p = *dc.painter;
    p.save();
    SetClipToAxes(dc, x, y);
    DrawChartErrorBars(dc, x, y, k);
    if (m_nSymbolShape != 16) {
        CPatternPen unused;
        SelectSymbolTools(dc, unused);
        unused.Release();
        const int r = SymbolHalfSize();
        CBarLayout layout;
        const std::vector<CBarPlace> bars = DrawnBars(x, y, k, layout);
        const CAxisMapping cm = CategoryAxis(x, y).GetMapping(), vm = ValueAxis(x, y).GetMapping();
        for (const CBarPlace& bar : bars) {
            const int centre = cm.Map(bar.start + layout.w / 2.0);
            if (m_nLowerColumn != -1) {
                const POINT pt = At(centre, vm.Map(bar.lower));
                DrawSymbol(dc, pt.x, pt.y, r);
            }
            const POINT pt = At(centre, vm.Map(bar.upper));
            DrawSymbol(dc, pt.x, pt.y, r);
        }
    }
    p.restore();
}

void CXYDatasetChart::DrawLegendSymbol(CDrawDC& dc, const RECT& rect)
{
    if (!dc.painter || !m_pGraph)
        return;
    QPainter& p = *dc.painter;
    const RECT frame = m_pGraph->GetFrame();
    const int u = (frame.right - frame.left) / 60;
    const int hw = 2 * u;
    int hh = int(std::lround(u * 1.5));
    const int cx = (rect.left + rect.right) / 2;
    int cy = (rect.top + rect.bottom) / 2;
    p.save();
    SelectBarBrush(dc, true);
    CPatternPen pen;
    pen.Create(dc.painter, m_nOutlineStyle & 0xF, m_nOutlineWidth, m_crOutline);
    if (m_nBarType == 0 || m_nBarType == 1) {
        // With a symbol the box is half as tall and hangs under it.
        if (m_nSymbolShape != 16) {
            hh /= 2;
            cy -= hh;
        }
        if (!m_bNegative)
            pen.Rectangle(cx - hw, cy - hh, cx + hw, cy + hh);
        else {
            pen.Rectangle(cx - hw, cy, cx + hw, cy + hh);
            p.save();
            SelectBarBrush(dc, false);
            pen.Rectangle(cx - hw, cy - hh, cx + hw, cy);
            p.restore();
        }
    }
    pen.Release();
    p.setBrush(Qt::NoBrush);
    if (m_nJoinType != 0 && m_nJoinStyle != 5) {
        CPatternPen join;
        join.Create(dc.painter, m_nJoinStyle, m_nJoinWidth, m_crJoin);
        const int middle = (rect.top + rect.bottom) / 2;
        join.MoveTo(rect.left, middle);
        join.LineTo(rect.right, middle);
        join.Release();
    }
    p.restore();
    CXYDataset::DrawLegendSymbol(dc, rect);
}

// ---------------------------------------------------------------- value range

bool CXYDatasetChart::ValueRange(bool positiveOnly, double& min, double& max)
{
    if (!EnsurePoints())
        return false;
    CXYAxis* axis = m_pGraph ? m_pGraph->GetCategoryAxis() : nullptr;
    const CCategoryAxisData& c = axis ? axis->m_category : kDefaultSettings;
    const int k = GetLegendIndex();
    const bool withLower = m_nLowerColumn != -1;
    const int n = int(m_y.size());
    std::vector<double> bases(m_y.size(), 0.0);
    // The lowest bar top stands in for the start of bars without a start column.
    double lowest = 0.0;
    bool anyValue = false;
    for (int i = 0; i < n; ++i) {
        if (IsBlank(m_y[std::size_t(i)]))
            continue;
        bases[std::size_t(i)] = c.grouping == 1 ? GetStackBase(k, i) : 0.0;
        const double top = m_y[std::size_t(i)] + bases[std::size_t(i)];
        lowest = anyValue ? std::min(lowest, top) : top;
        anyValue = true;
    }
    bool found = false;
    for (int i = 0; i < n; ++i) {
        const std::size_t at = std::size_t(i);
        if (IsBlank(m_y[at]))
            continue;
        double high = m_y[at] + bases[at];
        double low = lowest;
        if (withLower) {
            if (IsBlank(Entry(m_x, at)))
                continue;
            low = m_x[at];
        }
        const double d = high - low;
        double up = 0.0, down = 0.0;
        switch (m_nYErrorMode) {
        case 1:
            up = m_dYAbsError;
            down = withLower ? m_dYAbsError : (m_dYAbsError - d >= 0.0 ? m_dYAbsError - d : 0.0);
            break;
        case 2: {
            up = std::fabs(high * m_dYPropError * 0.01);
            const double r = std::fabs(low * m_dYPropError * 0.01);
            down = withLower ? r : (r - d >= 0.0 ? r - d : 0.0);
            break;
        }
        case 3: {
            const double plus = Entry(m_yPlus, at);
            if (IsBlank(plus))
                continue;
            up = plus;
            down = withLower ? plus : 0.0;
            break;
        }
        case 4: {
            const double plus = Entry(m_yPlus, at), minus = Entry(m_yMinus, at);
            if (IsBlank(plus) || IsBlank(minus))
                continue;
            up = plus;
            down = withLower ? minus : (minus - d >= 0.0 ? minus - d : 0.0);
            break;
        }
        default: break;
        }
        if (withLower) {
            switch (m_nXErrorMode) {
            case 1:
                down = std::max(down, m_dXAbsError);
                up = std::max(up, m_dXAbsError - d);
                break;
            case 2: {
                const double r = std::fabs(low * m_dXPropError * 0.01);
                down = std::max(down, r);
                up = std::max(up, r - d);
                break;
            }
            case 3:
                if (IsBlank(Entry(m_xPlus, at)))
                    continue;
                down = std::max(down, m_xPlus[at]);
                break;
            case 4:
                if (IsBlank(Entry(m_xPlus, at)) || IsBlank(Entry(m_xMinus, at)))
                    continue;
                down = std::max(down, m_xPlus[at]);
                break;
            default: break;
            }
        }
        if (up > 0.0)
            high += up;
        if (down > 0.0)
            low -= down;
        if (positiveOnly && !(low > 0.0 && high > 0.0))
            continue;
        if (c.percentages) {
            const double total = GetCategoryTotal(i);
            if (total == 0.0)
                continue;
            high = high * 100.0 / total;
            low = low * 100.0 / total;
        }
        if (!std::isfinite(low) || !std::isfinite(high))
            continue;
        if (!found) {
            min = low;
            max = high;
            found = true;
        } else {
            min = std::min(min, low);
            max = std::max(max, high);
        }
    }
    return found;
}

// ---------------------------------------------------------------- notices

std::vector<int*> CXYDatasetChart::ColumnRefs()
{
    std::vector<int*> refs{&m_nUpperColumn, &m_nLowerColumn};
    if (m_nYErrorMode == 3 || m_nYErrorMode == 4)
        refs.push_back(&m_nYPlusColumn);
    if (m_nYErrorMode == 4)
        refs.push_back(&m_nYMinusColumn);
    if (m_nXErrorMode == 3 || m_nXErrorMode == 4)
        refs.push_back(&m_nXPlusColumn);
    if (m_nXErrorMode == 4)
        refs.push_back(&m_nXMinusColumn);
    return refs;
}

namespace {

// Whether the series reads column c (-1 is never a column of it).
bool Reads(const CXYDatasetChart& d, int c)
{
    if (c < 0)
        return false;
    if (c == d.m_nUpperColumn || c == d.m_nLowerColumn)
        return true;
    if ((d.m_nYErrorMode == 3 || d.m_nYErrorMode == 4) && c == d.m_nYPlusColumn)
        return true;
    if (d.m_nYErrorMode == 4 && c == d.m_nYMinusColumn)
        return true;
    if ((d.m_nXErrorMode == 3 || d.m_nXErrorMode == 4) && c == d.m_nXPlusColumn)
        return true;
    return d.m_nXErrorMode == 4 && c == d.m_nXMinusColumn;
}

// Whether the series reads a column of the block first to last.
bool ReadsRange(const CXYDatasetChart& d, int first, int last)
{
    const int columns[] = {d.m_nUpperColumn, d.m_nLowerColumn, d.m_nYPlusColumn,
                           d.m_nYMinusColumn, d.m_nXPlusColumn, d.m_nXMinusColumn};
    for (int c : columns)
        if (c >= first && c <= last && Reads(d, c))
            return true;
    return false;
}

} // namespace

bool CXYDatasetChart::UsesChangedColumns(const std::vector<CColumnRef>& list) const
{
    CGraphSources* sources = GetSources();
    CMXProjectItem* item = nullptr;
    if (!sources || !sources->FindTable(m_strSource, &item) || !item)
        return false;
    for (const CColumnRef& ref : list)
        if (ref.item == item && (ref.column == -1 || Reads(*this, ref.column)))
            return true;
    return false;
}

bool CXYDatasetChart::IsAffectedBy(const CUpdateNotification& n) const
{
    CGraphSources* sources = GetSources();
    CMXProjectItem* item = nullptr;
    if (sources)
        sources->FindTable(m_strSource, &item);
    const bool mine = item && n.item == item;
    switch (n.kind) {
    case UN_CELLS_CHANGED: return mine && n.columns && UsesChangedColumns(*n.columns);
    case UN_ITEM_REMOVING:
        return SameName(n.oldName, m_strSource) || (m_bTransform && SameName(n.oldName, m_strTransform));
    case UN_COLUMNS_INSERTED:
    case UN_COLUMNS_DELETED:
        // A column that moves or goes changes what the series shows; a
        // deleted one empties it, so the axes must scale again too.
        return mine && ReadsRange(*this, n.first, std::numeric_limits<int>::max());
    case UN_ROWS_INSERTED:
    case UN_ROWS_DELETED: return mine;
    case UN_BLOCK_CHANGED:
    case UN_BLOCK_DELETED: return mine && ReadsRange(*this, n.left, n.right);
    default: return false;
    }
}

void CXYDatasetChart::OnNotify(CUpdateNotification& n, bool& removed) { NotifyTableColumns(n, removed, ColumnRefs()); }
