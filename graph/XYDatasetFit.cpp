#include "graph/XYDatasetFit.h"

#include "data/MyData.h"
#include "draw/DrawDC.h"
#include "draw/PatternPen.h"
#include "equation/EquationBase.h"
#include "equation/EquationTransCurve.h"
#include "equation/EquationTransform.h"
#include "equation/MyError.h"
#include "equation/ParseErr.h"
#include "equation/Transformation.h"
#include "framework/ArchiveHelpers.h"
#include "framework/UpdateNotification.h"
#include "graph/DrawGraph.h"
#include "graph/GraphSources.h"
#include "graph/XYAxis.h"
#include "graph/XYDatasetTable.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

IMPLEMENT_SERIAL(CXYDatasetFit, CXYDataset, 0)
IMPLEMENT_SERIAL(CXYDatasetCurve, CXYDatasetFit, 0)

namespace {

constexpr int kSegments[3] = {10, 100, 500};

// A stored parameter or constant list longer than this is damage.
constexpr std::uint32_t kMaxValues = 10000;

void StoreDoubles(CArchive& ar, const std::vector<double>& values)
{
    ar.WriteCount(std::uint32_t(values.size()));
    for (double v : values)
        ar << v;
}

void LoadDoubles(CArchive& ar, std::vector<double>& values)
{
    const std::uint32_t n = ar.ReadCount();
    if (n > kMaxValues)
        ThrowArchiveError(CArchiveException::badIndex, "a curve holds too many values");
    values.assign(n, 0.0);
    for (double& v : values)
        ar >> v;
}

// Draws a polyline of samples, stopping at the first that fails.
template <class F>
void DrawSamples(CPatternPen& pen, const CXYAxis& xa, const CXYAxis& ya, const std::vector<double>& xs, F calc)
{
    bool first = true;
    for (double x : xs) {
        double y = 0.0;
        if (!calc(x, y) || !std::isfinite(y))
            break;
        const int px = xa.ValueToDevice(x), py = ya.ValueToDevice(y);
        if (first)
            pen.MoveTo(px, py);
        else
            pen.LineTo(px, py);
        first = false;
    }
}

} // namespace

// ---------------------------------------------------------------- fit dataset

CXYDatasetFit::CXYDatasetFit(const std::string& fitName, CDrawGraph* graph, int fit)
    : CXYDataset(graph)
    , m_strFit(fitName)
    , m_crCurve(m_crJoin)
    , m_nFit(fit)
{
}

void CXYDatasetFit::Serialize(CArchive& ar)
{
    CXYDataset::Serialize(ar);
    if (ar.IsStoring()) {
        SerializeVersion(ar, 0);
        ar << m_strFit << std::uint32_t(m_crCurve) << std::int32_t(m_nCurveWidth) << std::int32_t(m_nCurveStyle)
           << std::int32_t(m_nResolution) << std::int32_t(m_bFromAxisStart) << std::int32_t(m_bToAxisEnd) << m_dStartX
           << m_dEndX << std::int32_t(m_nFit);
        return;
    }
    SerializeVersion(ar, 0);
    std::uint32_t colour = 0;
    std::int32_t width = 0, style = 0, resolution = 0, fromStart = 0, toEnd = 0, fit = 0;
    ar >> m_strFit >> colour >> width >> style >> resolution >> fromStart >> toEnd >> m_dStartX >> m_dEndX >> fit;
    m_crCurve = colour;
    m_nCurveWidth = width;
    m_nCurveStyle = style;
    m_nResolution = std::clamp(int(resolution), 0, 2);
    m_bFromAxisStart = fromStart;
    m_bToAxisEnd = toEnd;
    m_nFit = fit;
}

CGraphFitSource* CXYDatasetFit::GetFit() const
{
    CGraphSources* sources = GetSources();
    return sources ? sources->FindFit(m_strFit) : nullptr;
}

void CXYDatasetFit::Recalculate()
{
    CXYDataset::Recalculate();
    CGraphFitSource* fit = GetFit();
    const CMyData* data = fit ? fit->GetDataTable() : nullptr;
    int x = -1, y = -1;
    if (!data || m_nFit < 0 || m_nFit >= fit->GetFitCount() || !fit->GetFitColumns(m_nFit, x, y))
        return;
    const bool explicitErrors = m_nYErrorMode >= 3 || m_nXErrorMode >= 3;
    const CMyData* errors = nullptr;
    if (explicitErrors) {
        CGraphSources* sources = GetSources();
        errors = sources ? sources->FindTable(m_strSource) : nullptr;
        if (!errors)
            return;
    }
    // The points go through the transformation when it transforms points
    // and the fit has an equation for its expressions to use.
    std::unique_ptr<CEquationTransform> transform;
    std::string equationName;
    const CTransformation* t = CompiledTransform(*this);
    const CEquationBase* fitted = t && t->GetTransformData() ? fit->GetFitEquation(m_nFit, equationName) : nullptr;
    if (fitted)
        transform = MakePointTransform(*t, *fitted, *GetSources(), *data, y);
    GatherTablePoints(*this, *data, x, errors ? errors : data, y, transform.get());
    m_bPointsValid = 1;
}

UINT CXYDatasetFit::CurveRefusal() const
{
    CGraphFitSource* fit = GetFit();
    if (!fit)
        return IDS_GRAPH_FIT_MISSING;
    if (m_nFit < 0 || m_nFit >= fit->GetFitCount())
        return IDS_GRAPH_FIT_NO_RECORD;
    if (fit->IsCalculating())
        return IDS_GRAPH_FIT_CALCULATING;
    switch (fit->GetFitStatus(m_nFit)) {
    case 1: return 0;
    case 2: return IDS_GRAPH_FIT_FAILED;
    default: return IDS_GRAPH_FIT_NOT_FITTED;
    }
}

std::string CXYDatasetFit::GetNotice() const
{
    const UINT id = CurveRefusal();
    return id ? LoadString(id) : std::string();
}

std::vector<double> CXYDatasetFit::CurveSamples(const CXYAxis& x) const
{
    double lo = x.m_dMin, hi = x.m_dMax;
    if (!m_bFromAxisStart && m_dStartX > lo)
        lo = m_dStartX;
    if (!m_bToAxisEnd && m_dEndX < hi)
        hi = m_dEndX;
    if (hi <= lo)
        hi = lo + 1.0;
    const int n = kSegments[std::clamp(m_nResolution, 0, 2)];
    std::vector<double> xs;
    xs.reserve(std::size_t(n + 1));
    const bool log = x.m_bLog && lo > 0.0 && hi > 0.0;
    for (int i = 0; i <= n; ++i)
        xs.push_back(log ? std::exp(std::log(lo) + (std::log(hi) - std::log(lo)) * i / n) : lo + (hi - lo) * i / n);
    return xs;
}

std::vector<QPointF> CXYDatasetFit::CurveValues(const CXYAxis& xa) const
{
    std::vector<QPointF> out;
    CGraphFitSource* fit = GetFit();
    if (!fit || CurveRefusal() != 0)
        return out;
    CGraphSources* sources = GetSources();
    std::vector<double> associated;
    bool haveAssociated = false;
    int xc = -1, yc = -1;
    if (sources && fit->GetDataTable() && fit->GetFitColumns(m_nFit, xc, yc))
        haveAssociated = sources->GetAssociatedX(*fit->GetDataTable(), yc, associated) && !associated.empty();
    const CEquationBase* associatedEquation = nullptr;
    const CTransformation* t = CompiledTransform(*this, &associatedEquation);
    if (t && !t->GetTransformCurve())
        t = nullptr;
    // Without a curve transformation the fit's kind decides: associated x
    // kinds need their values, and one x for many y has no curve.
    const int kind = fit->GetFitKind();
    if (!t && !(kind < 3 || kind > 5 || ((kind == 3 || kind == 4) && haveAssociated)))
        return out;

    // The transformation's curve is used when it belongs to the very
    // equation the fit fitted; otherwise the fit's own curve is drawn.
    std::unique_ptr<CEquationTransCurve> curve;
    std::string fittedName;
    const CEquationBase* fitted = t ? fit->GetFitEquation(m_nFit, fittedName) : nullptr;
    if (fitted && associatedEquation && associatedEquation->IsValid() && t->GetReferenceName() == fittedName) {
        curve = std::make_unique<CEquationTransCurve>();
        try {
            t->PrepareCurve(*fitted, *curve);
        } catch (const CParseErr&) {
            curve.reset();
        } catch (const CMyError&) {
            curve.reset();
        }
    }
    if (curve) {
        CMyVector& params = curve->GetParameterValues();
        for (int p = 0; p < curve->GetParameterCount() && p < params.GetSize(); ++p) {
            std::string name;
            double value = 0.0, error = 0.0;
            if (!fit->GetParameter(m_nFit, p, name, value, error))
                return out;
            params[p] = value;
        }
        CMyVector& extra = curve->GetExtraXValues();
        extra.SetSize(4);
        for (int i = 0; i < 4; ++i)
            extra.SetAt(i, std::size_t(i) < associated.size() ? associated[std::size_t(i)] : 0.0);
    }
    for (double x : CurveSamples(xa)) {
        double y = 0.0;
        if (curve) {
            CMyVector& xs = curve->GetXValues();
            for (int i = 0; i < xs.GetSize(); ++i)
                xs[i] = i == 0 ? x : (std::size_t(i - 1) < associated.size() ? associated[std::size_t(i - 1)] : 1.0);
            try {
                y = curve->Calculate();
            } catch (const CMyError&) {
                break; // a math error ends the curve here
            }
        } else if (!fit->CalcY(x, m_nFit, haveAssociated ? &associated : nullptr, y))
            break;
        if (!std::isfinite(y))
            break;
        out.emplace_back(x, y);
    }
    return out;
}

void CXYDatasetFit::DrawCurve(CDrawDC& dc, CXYAxis& xa, CXYAxis& ya, int)
{
    if (GetPointCount() == 0 || !dc.painter)
        return;
    if (m_nCurveStyle == 5 || CurveRefusal() != 0) {
        DrawLines(dc, xa, ya);
        return;
    }
    const std::vector<QPointF> samples = CurveValues(xa);
    if (!samples.empty()) {
        dc.painter->save();
        SetClipToAxes(dc, xa, ya);
        ExcludeSymbolAreas(dc, xa, ya);
        CPatternPen pen;
        pen.Create(dc.painter, m_nCurveStyle, m_nCurveWidth, m_crCurve);
        pen.MoveTo(xa.ValueToDevice(samples[0].x()), ya.ValueToDevice(samples[0].y()));
        for (std::size_t i = 1; i < samples.size(); ++i)
            pen.LineTo(xa.ValueToDevice(samples[i].x()), ya.ValueToDevice(samples[i].y()));
        pen.Release();
        dc.painter->restore();
    }
    DrawLines(dc, xa, ya);
}

void CXYDatasetFit::DrawCurvePen(CDrawDC& dc, const RECT& rect)
{
    if (!dc.painter || m_nCurveStyle == 5)
        return;
    CPatternPen pen;
    pen.Create(dc.painter, m_nCurveStyle, m_nCurveWidth, m_crCurve);
    const int mid = (rect.top + rect.bottom) / 2;
    pen.MoveTo(rect.left, mid);
    pen.LineTo(rect.right, mid);
    pen.Release();
}

void CXYDatasetFit::DrawLegendSymbol(CDrawDC& dc, const RECT& rect)
{
    // No curve is drawn for a fit that has none: its sample shows no line either.
    if (CurveRefusal() == 0)
        DrawCurvePen(dc, rect);
    CXYDataset::DrawLegendSymbol(dc, rect);
}

void CXYDatasetFit::CopyFit(CXYDatasetFit& o) const
{
    CopyStyle(o);
    o.m_strFit = m_strFit;
    o.m_crCurve = m_crCurve;
    o.m_nCurveWidth = m_nCurveWidth;
    o.m_nCurveStyle = m_nCurveStyle;
    o.m_nResolution = m_nResolution;
    o.m_bFromAxisStart = m_bFromAxisStart;
    o.m_bToAxisEnd = m_bToAxisEnd;
    o.m_dStartX = m_dStartX;
    o.m_dEndX = m_dEndX;
    o.m_nFit = m_nFit;
}

CXYDataset* CXYDatasetFit::Clone(CDrawGraph* graph) const
{
    auto* copy = new CXYDatasetFit();
    CopyFit(*copy);
    copy->SetGraph(graph);
    return copy;
}

std::string CXYDatasetFit::GetXName() const
{
    if (const CTransformation* t = CompiledTransform(*this))
        return t->GetDefaultXName();
    CGraphFitSource* fit = GetFit();
    int x = -1, y = -1;
    if (!fit || !fit->GetDataTable() || !fit->GetFitColumns(m_nFit, x, y))
        return {};
    return fit->GetDataTable()->GetColumnName(x);
}

std::string CXYDatasetFit::GetYName() const
{
    if (const CTransformation* t = CompiledTransform(*this))
        return t->GetDefaultYName();
    CGraphFitSource* fit = GetFit();
    int x = -1, y = -1;
    if (!fit || !fit->GetDataTable() || !fit->GetFitColumns(m_nFit, x, y))
        return {};
    return fit->GetDataTable()->GetColumnName(y);
}

namespace {

bool NamesErrorColumn(const CXYDataset& d, const CUpdateNotification& n, CMXProjectItem* table)
{
    if (!table || !n.columns)
        return false;
    std::vector<int> used;
    if (d.m_nYErrorMode >= 3)
        used.push_back(d.m_nYPlusColumn);
    if (d.m_nYErrorMode == 4)
        used.push_back(d.m_nYMinusColumn);
    if (d.m_nXErrorMode >= 3)
        used.push_back(d.m_nXPlusColumn);
    if (d.m_nXErrorMode == 4)
        used.push_back(d.m_nXMinusColumn);
    for (const CColumnRef& ref : *n.columns)
        if (ref.item == table && std::find(used.begin(), used.end(), ref.column) != used.end())
            return true;
    return false;
}

} // namespace

bool CXYDatasetFit::IsAffectedBy(const CUpdateNotification& n) const
{
    CGraphSources* sources = GetSources();
    switch (n.kind) {
    case UN_CELLS_CHANGED: {
        CMXProjectItem* table = nullptr;
        if (sources)
            sources->FindTable(m_strSource, &table);
        // The fit's own data reach the graph through its recalculation (kind 7).
        return NamesErrorColumn(*this, n, table);
    }
    case UN_ITEM_REMOVING:
        return SameName(n.oldName, m_strFit) || (m_bTransform && SameName(n.oldName, m_strTransform));
    case UN_CALC_STATE: return sources && n.item && n.item == sources->FindGraphItem(m_strFit);
    case UN_TRANSFORM_CHANGED:
        return m_bTransform && sources && n.item && n.item == sources->FindGraphItem(m_strTransform);
    default: return false;
    }
}

void CXYDatasetFit::OnNotify(CUpdateNotification& n, bool& removed)
{
    switch (n.kind) {
    case UN_ITEM_RENAMED: FollowRename(n, m_strFit); break;
    case UN_ITEM_REMOVING:
        if (SameName(n.oldName, m_strFit) || (m_bTransform && SameName(n.oldName, m_strTransform)))
            AskRemoval(removed);
        break;
    case UN_CELLS_CHANGED:
    case UN_CALC_STATE:
    case UN_TRANSFORM_CHANGED:
        if (IsAffectedBy(n)) {
            Recalculate();
            Repaint();
            SetModified();
        }
        break;
    default: break;
    }
}

// ---------------------------------------------------------------- equation curve

CXYDatasetCurve::CXYDatasetCurve(const std::string& equation, CDrawGraph* graph) : CXYDatasetFit(equation, graph, 0) {}

void CXYDatasetCurve::Serialize(CArchive& ar)
{
    CXYDatasetFit::Serialize(ar);
    if (ar.IsStoring()) {
        SerializeVersion(ar, 1);
        StoreDoubles(ar, m_params);
        StoreDoubles(ar, m_consts);
        ar << std::int32_t(m_bParamsFromTable) << m_strParamTable << std::int32_t(m_nParamColumn)
           << std::int32_t(m_bConstsFromTable) << m_strConstTable << std::int32_t(m_nConstColumn);
        return;
    }
    const int version = SerializeVersion(ar, 1);
    LoadDoubles(ar, m_params);
    LoadDoubles(ar, m_consts);
    m_nFit = 0;
    if (version < 1) {
        m_bParamsFromTable = m_bConstsFromTable = 0;
        m_strParamTable.clear();
        m_strConstTable.clear();
        m_nParamColumn = m_nConstColumn = -1;
        return;
    }
    std::int32_t pt = 0, pc = -1, ct = 0, cc = -1;
    ar >> pt >> m_strParamTable >> pc >> ct >> m_strConstTable >> cc;
    m_bParamsFromTable = pt;
    m_nParamColumn = pc;
    m_bConstsFromTable = ct;
    m_nConstColumn = cc;
}

void CXYDatasetCurve::Recalculate()
{
    CXYDataset::Recalculate();
    CGraphSources* sources = GetSources();
    if (!sources)
        return;
    auto collect = [&](int fromTable, const std::string& name, int column, std::vector<double>& out) {
        if (!fromTable || column < 0)
            return;
        // A table that is missing leaves the values as they are.
        const CMyData* table = sources->FindTable(name);
        if (!table)
            return;
        out.clear();
        const int last = std::min(table->GetLastRow(column), 2 + int(kMaxValues));
        for (int r = 2; r <= last; ++r) {
            double v = 0.0;
            out.push_back(table->GetNumber(r, column, v) ? v : BlankValue());
        }
    };
    collect(m_bParamsFromTable, m_strParamTable, m_nParamColumn, m_params);
    collect(m_bConstsFromTable, m_strConstTable, m_nConstColumn, m_consts);
}

bool CXYDatasetCurve::IsReady() const
{
    CGraphSources* sources = GetSources();
    const CEquationBase* eq = sources ? sources->FindEquation(m_strFit) : nullptr;
    if (!eq || !eq->IsValid())
        return false;
    auto enough = [](const std::vector<double>& values, int needed) {
        if (int(values.size()) < needed)
            return false;
        for (int i = 0; i < needed; ++i)
            if (IsBlank(values[std::size_t(i)]) || !std::isfinite(values[std::size_t(i)]))
                return false;
        return true;
    };
    return enough(m_params, eq->GetParameterCount()) && enough(m_consts, eq->GetConstantCount());
}

std::string CXYDatasetCurve::GetNotice() const
{
    return IsReady() ? std::string() : LoadString(IDS_GRAPH_CURVE_NOT_READY);
}

void CXYDatasetCurve::DrawCurve(CDrawDC& dc, CXYAxis& xa, CXYAxis& ya, int)
{
    if (m_nCurveStyle == 5 || !dc.painter)
        return;
    if (!m_bPointsValid)
        Recalculate();
    if (!IsReady())
        return;
    const CEquationBase* source = GetSources()->FindEquation(m_strFit);
    // A copy: drawing leaves the item's own equation untouched.
    std::unique_ptr<CEquationBase> eq = source->Clone();
    if (!eq)
        return;
    eq->ResizeValues();
    if (eq->GetParameterValues().GetSize() < eq->GetParameterCount()
        || eq->GetConstantValues().GetSize() < eq->GetConstantCount())
        return;
    for (int i = 0; i < eq->GetParameterCount(); ++i)
        eq->GetParameterValues()[i] = m_params[std::size_t(i)];
    for (int i = 0; i < eq->GetConstantCount(); ++i)
        eq->GetConstantValues()[i] = m_consts[std::size_t(i)];
    dc.painter->save();
    SetClipToAxes(dc, xa, ya);
    CPatternPen pen;
    pen.Create(dc.painter, m_nCurveStyle, m_nCurveWidth, m_crCurve);
    DrawSamples(pen, xa, ya, CurveSamples(xa), [&](double x, double& y) {
        if (eq->GetXValues().GetSize() == 0)
            return false;
        eq->GetXValues()[0] = x;
        try {
            y = eq->Calculate();
        } catch (...) {
            // A math error ends the curve at this sample.
            return false;
        }
        return true;
    });
    pen.Release();
    dc.painter->restore();
}

void CXYDatasetCurve::DrawLegendSymbol(CDrawDC& dc, const RECT& rect) { DrawCurvePen(dc, rect); }

CXYDataset* CXYDatasetCurve::Clone(CDrawGraph* graph) const
{
    auto* copy = new CXYDatasetCurve();
    CopyFit(*copy);
    copy->SetGraph(graph);
    copy->m_params = m_params;
    copy->m_consts = m_consts;
    copy->m_bParamsFromTable = m_bParamsFromTable;
    copy->m_strParamTable = m_strParamTable;
    copy->m_nParamColumn = m_nParamColumn;
    copy->m_bConstsFromTable = m_bConstsFromTable;
    copy->m_strConstTable = m_strConstTable;
    copy->m_nConstColumn = m_nConstColumn;
    return copy;
}

std::string CXYDatasetCurve::GetXName() const { return LoadString(IDS_X_AXIS); }
std::string CXYDatasetCurve::GetYName() const { return LoadString(IDS_Y_AXIS); }

bool CXYDatasetCurve::UsesColumns(const std::vector<CColumnRef>& refs, const CMXProjectItem* item) const
{
    CGraphSources* sources = GetSources();
    if (!sources || !item)
        return false;
    CMXProjectItem* params = nullptr;
    CMXProjectItem* consts = nullptr;
    sources->FindTable(m_strParamTable, &params);
    sources->FindTable(m_strConstTable, &consts);
    for (const CColumnRef& ref : refs) {
        if (m_bParamsFromTable && m_nParamColumn != -1 && ref.item == params && item == params
            && (ref.column == -1 || ref.column == m_nParamColumn))
            return true;
        if (m_bConstsFromTable && m_nConstColumn != -1 && ref.item == consts && item == consts
            && (ref.column == -1 || ref.column == m_nConstColumn))
            return true;
    }
    return false;
}

bool CXYDatasetCurve::IsAffectedBy(const CUpdateNotification& n) const
{
    CGraphSources* sources = GetSources();
    if (!sources)
        return false;
    switch (n.kind) {
    case UN_CELLS_CHANGED: return n.columns && UsesColumns(*n.columns, n.item);
    case UN_ITEM_REMOVING:
        return SameName(n.oldName, m_strFit) || (m_bParamsFromTable && SameName(n.oldName, m_strParamTable))
            || (m_bConstsFromTable && SameName(n.oldName, m_strConstTable));
    case UN_EQUATION_CHANGED: return n.item && n.item == sources->FindGraphItem(m_strFit);
    default: return false;
    }
}

void CXYDatasetCurve::OnNotify(CUpdateNotification& n, bool& removed)
{
    CGraphSources* sources = GetSources();
    auto rebuild = [&] {
        Recalculate();
        Repaint();
        SetModified();
    };
    switch (n.kind) {
    case UN_ITEM_RENAMED:
        for (std::string* name : {&m_strFit, &m_strParamTable, &m_strConstTable})
            if (!name->empty() && SameName(n.oldName, *name)) {
                *name = n.newName;
                SetModified();
            }
        break;
    case UN_ITEM_REMOVING: {
        bool remove = SameName(n.oldName, m_strFit);
        if (!m_strParamTable.empty() && SameName(n.oldName, m_strParamTable)) {
            m_strParamTable.clear();
            remove = remove || m_bParamsFromTable;
        }
        if (!m_strConstTable.empty() && SameName(n.oldName, m_strConstTable)) {
            m_strConstTable.clear();
            remove = remove || m_bConstsFromTable;
        }
        if (remove)
            AskRemoval(removed);
        break;
    }
    case UN_COLUMNS_INSERTED:
    case UN_COLUMNS_DELETED: {
        if (!sources)
            break;
        bool changed = false, deleted = false;
        auto shift = [&](int fromTable, const std::string& name, int& column) {
            CMXProjectItem* item = nullptr;
            sources->FindTable(name, &item);
            if (!fromTable || !item || n.item != item || column == -1)
                return;
            if (n.kind == UN_COLUMNS_INSERTED) {
                if (column >= n.first) {
                    column += n.count;
                    changed = true;
                }
            } else if (column >= n.first && column < n.first + n.count) {
                column = -1;
                changed = deleted = true;
            } else if (column >= n.first + n.count) {
                column -= n.count;
                changed = true;
            }
        };
        shift(m_bParamsFromTable, m_strParamTable, m_nParamColumn);
        shift(m_bConstsFromTable, m_strConstTable, m_nConstColumn);
        if (deleted) {
            Recalculate();
            Repaint();
        }
        if (changed)
            SetModified();
        break;
    }
    case UN_CELLS_CHANGED:
    case UN_EQUATION_CHANGED:
        if (IsAffectedBy(n))
            rebuild();
        break;
    default: break;
    }
}
