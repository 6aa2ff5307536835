#include "graph/XYDatasetHisto.h"

#include "data/MyData.h"
#include "draw/DrawDC.h"
#include "draw/PatternPen.h"
#include "framework/ArchiveHelpers.h"
#include "framework/UpdateNotification.h"
#include "graph/BarFill.h"
#include "graph/DrawGraph.h"
#include "graph/GraphSources.h"
#include "graph/XYAxis.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

IMPLEMENT_SERIAL(CXYDatasetHisto, CXYDataset, 0)


CXYDatasetHisto::CXYDatasetHisto(const std::string& source, int column, int weightsOn, int weightsColumn,
                                 CDrawGraph* graph)
    : CXYDataset(graph)
    , m_nColumn(column)
    , m_bWeights(weightsOn)
    , m_nWeightsColumn(weightsColumn)
{
    m_strSource = source;
    m_crOutline = m_crJoin;
}

void CXYDatasetHisto::Serialize(CArchive& ar)
{
    CXYDataset::Serialize(ar);
    if (ar.IsStoring()) {
        SerializeVersion(ar, 0);
        ar << std::uint32_t(m_crOutline) << std::int32_t(m_nOutlineWidth) << std::int32_t(m_nOutlineStyle)
           << std::int32_t(m_nColumn) << std::int32_t(m_bWeights) << std::int32_t(m_nWeightsColumn)
           << std::int32_t(m_nBarType) << std::int32_t(m_bBackOn) << std::int32_t(m_bForeOn)
           << std::uint32_t(m_crFore) << std::uint32_t(m_crBack) << std::int32_t(m_nFillStyle) << m_dOrigin
           << m_dBinWidth;
        return;
    }
    SerializeVersion(ar, 0);
    std::uint32_t outline = 0, fore = 0, back = 0;
    std::int32_t v[9] = {};
    ar >> outline >> v[0] >> v[1] >> v[2] >> v[3] >> v[4] >> v[5] >> v[6] >> v[7] >> fore >> back >> v[8] >> m_dOrigin
        >> m_dBinWidth;
    m_crOutline = outline;
    m_nOutlineWidth = v[0];
    m_nOutlineStyle = v[1];
    m_nColumn = v[2];
    m_bWeights = v[3];
    m_nWeightsColumn = v[4];
    m_nBarType = v[5];
    m_bBackOn = v[6];
    m_bForeOn = v[7];
    m_crFore = fore;
    m_crBack = back;
    m_nFillStyle = std::clamp(int(v[8]), 0, 23);
}

// ---------------------------------------------------------------- binning

void CXYDatasetHisto::Recalculate()
{
    CXYDataset::Recalculate();
    m_bTooManyBins = false;
    CGraphSources* sources = GetSources();
    const CMyData* table = sources ? sources->FindTable(m_strSource) : nullptr;
    if (!table || m_nColumn < 0 || !(m_dBinWidth > 0.0) || !std::isfinite(m_dBinWidth) || !std::isfinite(m_dOrigin))
        return;
    int last = table->GetLastRow(m_nColumn);
    if (m_bWeights)
        last = std::min(last, m_nWeightsColumn >= 0 ? table->GetLastRow(m_nWeightsColumn) : -1);
    if (last < 2)
        return;
    std::vector<double> values, weights;
    values.reserve(std::size_t(last - 1));
    for (int r = 2; r <= last; ++r) {
        double v = 0.0, w = 0.0;
        if (!table->GetNumber(r, m_nColumn, v) || !std::isfinite(v))
            continue; // blanks and text do not count
        if (m_bWeights && !table->GetNumber(r, m_nWeightsColumn, w))
            w = 0.0; // a blank weight adds nothing
        values.push_back(v);
        weights.push_back(m_bWeights ? w : 1.0);
    }
    if (values.empty())
        return;
    // Blank cells never enter the sort: a comparison with them would not
    // order, so they are left out rather than sorted last by chance.
    std::vector<std::size_t> order(values.size());
    std::iota(order.begin(), order.end(), std::size_t(0));
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return values[a] < values[b]; });
    const double lowest = values[order.front()], highest = values[order.back()];
    const double firstIndex = std::floor((lowest - m_dOrigin) / m_dBinWidth);
    m_dFirstEdge = m_dOrigin + firstIndex * m_dBinWidth;
    // Guard the rounding of the first edge: it must not lie above the lowest value.
    if (m_dFirstEdge > lowest)
        m_dFirstEdge -= m_dBinWidth;
    const double span = (highest - m_dFirstEdge) / m_dBinWidth;
    if (!std::isfinite(span) || span >= double(kMaxBins)) {
        m_bTooManyBins = true;
        return;
    }
    std::size_t k = 0;
    double sum = 0.0;
    for (std::size_t i : order) {
        const double v = values[i];
        while (v >= UpperEdge(k) && k < kMaxBins) {
            m_x.push_back(LowerEdge(k));
            m_y.push_back(sum);
            sum = 0.0;
            ++k;
        }
        sum += weights[i];
    }
    if (sum > 0.0) {
        m_x.push_back(LowerEdge(k));
        m_y.push_back(sum);
    }
    m_bPointsValid = 1;
}

std::string CXYDatasetHisto::GetNotice() const { return m_bTooManyBins ? LoadString(IDS_GRAPH_TOO_MANY_BINS) : std::string(); }

bool CXYDatasetHisto::GetXRange(bool, double& min, double& max)
{
    if (GetPointCount() == 0)
        return false;
    min = m_x.front();
    max = m_x.back() + m_dBinWidth;
    return true;
}

bool CXYDatasetHisto::GetYRange(bool, double& min, double& max)
{
    if (GetPointCount() == 0)
        return false;
    min = *std::min_element(m_y.begin(), m_y.end());
    max = *std::max_element(m_y.begin(), m_y.end());
    return true;
}

// ---------------------------------------------------------------- drawing

void CXYDatasetHisto::SelectFill(CDrawDC& dc) const
{
    SelectBarFill(*dc.painter, m_nFillStyle, m_crFore, m_crBack, m_bBackOn != 0, m_bForeOn != 0);
}

void CXYDatasetHisto::DrawBars(CDrawDC& dc, CXYAxis& x, CXYAxis& y)
{
    QPainter& p = *dc.painter;
    p.save();
    SelectFill(dc);
    CPatternPen pen;
    pen.Create(dc.painter, m_nOutlineStyle & 0xF, m_nOutlineWidth, m_crOutline);
    const CAxisMapping mx = x.GetMapping(), my = y.GetMapping();
    const int base = my.Map(0.0);
    if (m_nBarType == 0) {
        for (std::size_t k = 0; k < m_x.size(); ++k) {
            const int left = mx.Map(m_x[k]), right = mx.Map(m_x[k] + m_dBinWidth), top = my.Map(m_y[k]);
            const POINT corners[4] = {{left, base}, {right, base}, {right, top}, {left, top}};
            pen.Polygon(corners, 4);
        }
    } else if (!m_x.empty()) {
        std::vector<POINT> outline;
        outline.reserve(2 * m_x.size() + 2);
        outline.push_back({mx.Map(m_x.front()), base});
        for (std::size_t k = 0; k < m_x.size(); ++k) {
            const int top = my.Map(m_y[k]);
            outline.push_back({mx.Map(m_x[k]), top});
            outline.push_back({mx.Map(m_x[k] + m_dBinWidth), top});
        }
        outline.push_back({mx.Map(m_x.back() + m_dBinWidth), base});
        pen.Polygon(outline.data(), int(outline.size()));
    }
    pen.Release();
    p.restore();
}

void CXYDatasetHisto::DrawPoints(CDrawDC&, CXYAxis&, CXYAxis&, int) { GetPointCount(); }

void CXYDatasetHisto::DrawCurve(CDrawDC& dc, CXYAxis& x, CXYAxis& y, int)
{
    if (GetPointCount() == 0 || !dc.painter)
        return;
    dc.painter->save();
    SetClipToAxes(dc, x, y);
    DrawBars(dc, x, y);
    dc.painter->restore();
}

void CXYDatasetHisto::DrawLegendSymbol(CDrawDC& dc, const RECT& rect)
{
    if (!dc.painter || !m_pGraph)
        return;
    const RECT frame = m_pGraph->GetFrame();
    const int w = (frame.right - frame.left) / 60, h = MulDiv(w, 3, 2);
    const int cx = (rect.left + rect.right) / 2, cy = (rect.top + rect.bottom) / 2;
    dc.painter->save();
    SelectFill(dc);
    CPatternPen pen;
    pen.Create(dc.painter, m_nOutlineStyle & 0xF, m_nOutlineWidth, m_crOutline);
    const POINT corners[4] = {{cx - w, cy - h}, {cx + w, cy - h}, {cx + w, cy + h}, {cx - w, cy + h}};
    pen.Polygon(corners, 4);
    pen.Release();
    dc.painter->restore();
}

CXYDataset* CXYDatasetHisto::Clone(CDrawGraph* graph) const
{
    auto* copy = new CXYDatasetHisto();
    CopyStyle(*copy);
    copy->SetGraph(graph);
    copy->m_crOutline = m_crOutline;
    copy->m_nOutlineWidth = m_nOutlineWidth;
    copy->m_nOutlineStyle = m_nOutlineStyle;
    copy->m_nColumn = m_nColumn;
    copy->m_bWeights = m_bWeights;
    copy->m_nWeightsColumn = m_nWeightsColumn;
    copy->m_nBarType = m_nBarType;
    copy->m_bBackOn = m_bBackOn;
    copy->m_bForeOn = m_bForeOn;
    copy->m_crFore = m_crFore;
    copy->m_crBack = m_crBack;
    copy->m_nFillStyle = m_nFillStyle;
    copy->m_dOrigin = m_dOrigin;
    copy->m_dBinWidth = m_dBinWidth;
    copy->m_dFirstEdge = m_dFirstEdge;
    return copy;
}

// ---------------------------------------------------------------- notices

std::vector<int*> CXYDatasetHisto::UsedColumns()
{
    std::vector<int*> used{&m_nColumn};
    if (m_bWeights)
        used.push_back(&m_nWeightsColumn);
    return used;
}

bool CXYDatasetHisto::Touches(int first, int last) const
{
    auto in = [&](int c) { return c != -1 && c >= first && c <= last; };
    return in(m_nColumn) || (m_bWeights && in(m_nWeightsColumn));
}

bool CXYDatasetHisto::IsAffectedBy(const CUpdateNotification& n) const
{
    CGraphSources* sources = GetSources();
    CMXProjectItem* item = nullptr;
    if (sources)
        sources->FindTable(m_strSource, &item);
    const bool mine = item && n.item == item;
    switch (n.kind) {
    case UN_CELLS_CHANGED:
        if (!mine || !n.columns)
            return false;
        for (const CColumnRef& ref : *n.columns)
            if (ref.item == item && (ref.column == -1 || Touches(ref.column, ref.column)))
                return true;
        return false;
    case UN_ITEM_REMOVING: return SameName(n.oldName, m_strSource);
    case UN_COLUMNS_INSERTED:
    case UN_COLUMNS_DELETED: return mine && Touches(n.first, std::numeric_limits<int>::max());
    case UN_ROWS_INSERTED:
    case UN_ROWS_DELETED: return mine;
    case UN_BLOCK_CHANGED:
    case UN_BLOCK_DELETED: return mine && Touches(n.left, n.right);
    default: return false;
    }
}

void CXYDatasetHisto::OnNotify(CUpdateNotification& n, bool& removed) { NotifyTableColumns(n, removed, UsedColumns()); }
