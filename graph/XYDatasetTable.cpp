#include "graph/XYDatasetTable.h"

#include "data/MyData.h"
#include "draw/DrawDC.h"
#include "draw/PatternPen.h"
#include "framework/ArchiveHelpers.h"
#include "framework/UpdateNotification.h"
#include "graph/DrawGraph.h"
#include "equation/EquationTransform.h"
#include "equation/MyError.h"
#include "equation/ParseErr.h"
#include "equation/Transformation.h"
#include "graph/GraphSources.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

IMPLEMENT_SERIAL(CXYDatasetTable, CXYDataset, 0)

CXYDatasetTable::CXYDatasetTable(const std::string& table, int xColumn, int yColumn, int errorColumn, CDrawGraph* graph)
    : CXYDataset(graph)
    , m_nXColumn(xColumn)
    , m_nYColumn(yColumn)
{
    m_strSource = table;
    m_nYPlusColumn = m_nYMinusColumn = errorColumn;
    if (errorColumn != -1)
        m_nYErrorMode = 4;
}

void CXYDatasetTable::Serialize(CArchive& ar)
{
    CXYDataset::Serialize(ar);
    if (ar.IsStoring()) {
        SerializeVersion(ar, 0);
        ar << std::int32_t(m_nXColumn) << std::int32_t(m_nYColumn);
        return;
    }
    SerializeVersion(ar, 0);
    std::int32_t x = -1, y = -1;
    ar >> x >> y;
    m_nXColumn = x;
    m_nYColumn = y;
}

const CMyData* CXYDatasetTable::FindTable(CMXProjectItem** item) const
{
    CGraphSources* sources = GetSources();
    return sources ? sources->FindTable(m_strSource, item) : nullptr;
}

void GatherTablePoints(CXYDataset& d, const CMyData& table, int xColumn, const CMyData* errors, int yColumn,
                       CEquationTransform* transform)
{
    const bool yPlus = d.m_nYErrorMode == 3 || d.m_nYErrorMode == 4, yMinus = d.m_nYErrorMode == 4;
    const bool xPlus = d.m_nXErrorMode == 3 || d.m_nXErrorMode == 4, xMinus = d.m_nXErrorMode == 4;
    if (xColumn < 0 || yColumn < 0 || ((yPlus || xPlus) && !errors))
        return;
    int n = std::max(table.GetLastRow(xColumn), table.GetLastRow(yColumn));
    auto widen = [&](bool used, int column) {
        if (used && column >= 0)
            n = std::max(n, errors->GetLastRow(column));
    };
    widen(yPlus, d.m_nYPlusColumn);
    widen(yMinus, d.m_nYMinusColumn);
    widen(xPlus, d.m_nXPlusColumn);
    widen(xMinus, d.m_nXMinusColumn);
    if (n < 2)
        return;
    const std::size_t rows = std::size_t(n - 1);
    d.m_x.reserve(rows);
    d.m_y.reserve(rows);
    for (int r = 2; r <= n; ++r) {
        double x = 0.0, y = 0.0, yp = 0.0, ym = 0.0, xp = 0.0, xm = 0.0;
        if (!table.GetNumber(r, xColumn, x) || !table.GetNumber(r, yColumn, y))
            continue;
        if (yPlus && !errors->GetNumber(r, d.m_nYPlusColumn, yp))
            continue;
        if (yMinus && !errors->GetNumber(r, d.m_nYMinusColumn, ym))
            continue;
        if (xPlus && !errors->GetNumber(r, d.m_nXPlusColumn, xp))
            continue;
        if (xMinus && !errors->GetNumber(r, d.m_nXMinusColumn, xm))
            continue;
        if (transform) {
            // A row the transformation fails on keeps its own x and y.
            transform->SetPoint(x, y);
            try {
                const double tx = transform->EvaluateX();
                const double ty = transform->EvaluateY();
                if (std::isfinite(tx) && std::isfinite(ty)) {
                    x = tx;
                    y = ty;
                }
            } catch (const CMyError&) {
            }
        }
        d.m_x.push_back(x);
        d.m_y.push_back(y);
        if (yPlus)
            d.m_yPlus.push_back(yp);
        if (yMinus)
            d.m_yMinus.push_back(ym);
        if (xPlus)
            d.m_xPlus.push_back(xp);
        if (xMinus)
            d.m_xMinus.push_back(xm);
    }
}

std::unique_ptr<CEquationTransform> MakePointTransform(const CTransformation& t, const CEquationBase& equation,
                                                       const CGraphSources& sources, const CMyData& table, int yColumn)
{
    auto transform = std::make_unique<CEquationTransform>();
    try {
        t.PrepareDataTransform(equation, *transform);
    } catch (const CParseErr&) {
        return nullptr;
    } catch (const CMyError&) {
        return nullptr;
    }
    // XDATA2 to XDATA5: the associated x values of the y column, 0 where
    // there are none (the program reads all four).
    CMyVector& extra = transform->GetExtraXValues();
    extra.SetSize(4);
    std::vector<double> associated;
    if (!sources.GetAssociatedX(table, yColumn, associated))
        associated.clear();
    for (int i = 0; i < 4; ++i)
        extra.SetAt(i, std::size_t(i) < associated.size() ? associated[std::size_t(i)] : 0.0);
    return transform;
}

const CTransformation* CompiledTransform(const CXYDataset& dataset, const CEquationBase** equation)
{
    CGraphSources* sources = dataset.GetSources();
    if (equation)
        *equation = nullptr;
    if (!dataset.m_bTransform || !sources)
        return nullptr;
    const CTransformation* t = sources->FindTransformation(dataset.m_strTransform, equation);
    return t && t->IsCompiled() ? t : nullptr;
}

std::unique_ptr<CEquationTransform> CXYDatasetTable::PrepareTransform(const CMyData& table) const
{
    const CEquationBase* equation = nullptr;
    const CTransformation* t = CompiledTransform(*this, &equation);
    if (!t || !t->GetTransformData() || !equation)
        return nullptr;
    return MakePointTransform(*t, *equation, *GetSources(), table, m_nYColumn);
}

bool CXYDatasetTable::TransformCaptions(std::string& x, std::string& y) const
{
    const CTransformation* t = CompiledTransform(*this);
    if (!t)
        return false;
    x = t->GetDefaultXName();
    y = t->GetDefaultYName();
    return true;
}

void CXYDatasetTable::Recalculate()
{
    CXYDataset::Recalculate();
    if (const CMyData* table = FindTable()) {
        const std::unique_ptr<CEquationTransform> transform = PrepareTransform(*table);
        GatherTablePoints(*this, *table, m_nXColumn, table, m_nYColumn, transform.get());
    }
    m_bPointsValid = 1;
}

void CXYDatasetTable::DrawCurve(CDrawDC& dc, CXYAxis& x, CXYAxis& y, int)
{
    if (!m_bPointsValid)
        Recalculate();
    DrawLines(dc, x, y);
}

void CXYDatasetTable::DrawLegendSymbol(CDrawDC& dc, const RECT& rect)
{
    if (m_nJoinType != 0 && dc.painter) {
        CPatternPen pen;
        pen.Create(dc.painter, m_nJoinStyle, m_nJoinWidth, m_crJoin);
        const int mid = (rect.top + rect.bottom) / 2;
        pen.MoveTo(rect.left, mid);
        pen.LineTo(rect.right, mid);
        pen.Release();
    }
    CXYDataset::DrawLegendSymbol(dc, rect);
}

CXYDataset* CXYDatasetTable::Clone(CDrawGraph* graph) const
{
    auto* copy = new CXYDatasetTable();
    CopyStyle(*copy);
    copy->SetGraph(graph);
    copy->m_nXColumn = m_nXColumn;
    copy->m_nYColumn = m_nYColumn;
    return copy;
}

std::string CXYDatasetTable::GetXName() const
{
    std::string x, y;
    if (TransformCaptions(x, y))
        return x;
    const CMyData* table = FindTable();
    return table && m_nXColumn >= 0 ? table->GetColumnName(m_nXColumn) : std::string();
}

std::string CXYDatasetTable::GetYName() const
{
    std::string x, y;
    if (TransformCaptions(x, y))
        return y;
    const CMyData* table = FindTable();
    return table && m_nYColumn >= 0 ? table->GetColumnName(m_nYColumn) : std::string();
}

std::vector<int*> CXYDatasetTable::UsedColumns()
{
    std::vector<int*> used{&m_nXColumn, &m_nYColumn};
    if (m_nYErrorMode == 3 || m_nYErrorMode == 4)
        used.push_back(&m_nYPlusColumn);
    if (m_nYErrorMode == 4)
        used.push_back(&m_nYMinusColumn);
    if (m_nXErrorMode == 3 || m_nXErrorMode == 4)
        used.push_back(&m_nXPlusColumn);
    if (m_nXErrorMode == 4)
        used.push_back(&m_nXMinusColumn);
    return used;
}

std::vector<int> CXYDatasetTable::UsedColumnValues() const
{
    std::vector<int> out;
    for (int* c : const_cast<CXYDatasetTable*>(this)->UsedColumns())
        out.push_back(*c);
    return out;
}

bool CXYDatasetTable::UsesColumns(const std::vector<CColumnRef>& refs, const CMXProjectItem* table) const
{
    if (!table)
        return false;
    const std::vector<int> used = UsedColumnValues();
    for (const CColumnRef& ref : refs) {
        if (ref.item != table)
            continue;
        if (ref.column == -1 || std::find(used.begin(), used.end(), ref.column) != used.end())
            return true;
    }
    return false;
}

namespace {

std::vector<CColumnRef> BlockRefs(const CUpdateNotification& n, CMXProjectItem* item)
{
    std::vector<CColumnRef> refs;
    // A block names its columns; more than a table can hold is damage.
    const int last = std::min(n.right, n.left + 100000);
    for (int c = n.left; c <= last; ++c)
        refs.push_back(CColumnRef{item, c, -1});
    return refs;
}

} // namespace

void CXYDatasetTable::OnNotify(CUpdateNotification& n, bool& removed)
{
    CMXProjectItem* tableItem = nullptr;
    FindTable(&tableItem);
    auto rebuild = [&] {
        Recalculate();
        Repaint();
        SetModified();
    };
    switch (n.kind) {
    case UN_ITEM_RENAMED: FollowRename(n, m_strSource); break;
    case UN_CELLS_CHANGED:
        if (tableItem && n.item == tableItem && n.columns && UsesColumns(*n.columns, tableItem))
            rebuild();
        break;
    case UN_ITEM_REMOVING:
        if (SameName(n.oldName, m_strSource) || (m_bTransform && SameName(n.oldName, m_strTransform)))
            AskRemoval(removed);
        break;
    case UN_COLUMNS_INSERTED:
    case UN_COLUMNS_DELETED:
        if (tableItem && n.item == tableItem)
            FollowColumnShift(UsedColumns(), n);
        break;
    case UN_ROWS_INSERTED:
    case UN_ROWS_DELETED:
        if (tableItem && n.item == tableItem)
            rebuild();
        break;
    case UN_BLOCK_CHANGED:
    case UN_BLOCK_DELETED:
        if (tableItem && n.item == tableItem && UsesColumns(BlockRefs(n, tableItem), tableItem))
            rebuild();
        break;
    case UN_TRANSFORM_CHANGED:
    case UN_EQUATION_CHANGED:
        if (IsAffectedBy(n))
            rebuild();
        break;
    default: break;
    }
}

bool CXYDatasetTable::IsAffectedBy(const CUpdateNotification& n) const
{
    CMXProjectItem* tableItem = nullptr;
    FindTable(&tableItem);
    switch (n.kind) {
    case UN_CELLS_CHANGED: return tableItem && n.item == tableItem && n.columns && UsesColumns(*n.columns, tableItem);
    case UN_ITEM_REMOVING: return SameName(n.oldName, m_strSource) || (m_bTransform && SameName(n.oldName, m_strTransform));
    case UN_COLUMNS_INSERTED:
    case UN_COLUMNS_DELETED: {
        if (!tableItem || n.item != tableItem)
            return false;
        // The points change when a used column goes or moves.
        for (int c : UsedColumnValues())
            if (c != -1 && c >= n.first)
                return true;
        return false;
    }
    case UN_ROWS_INSERTED:
    case UN_ROWS_DELETED: return tableItem && n.item == tableItem;
    case UN_BLOCK_CHANGED:
    case UN_BLOCK_DELETED: return tableItem && n.item == tableItem && UsesColumns(BlockRefs(n, tableItem), tableItem);
    case UN_TRANSFORM_CHANGED:
    case UN_EQUATION_CHANGED: {
        // The transformation, or the equation it draws its variables from, changed.
        CGraphSources* sources = GetSources();
        if (!m_bTransform || !sources || !n.item)
            return false;
        if (sources->FindGraphItem(m_strTransform) == n.item)
            return true;
        const CEquationBase* equation = nullptr;
        const CTransformation* t = sources->FindTransformation(m_strTransform, &equation);
        return n.kind == UN_EQUATION_CHANGED && t && sources->FindGraphItem(t->GetReferenceName()) == n.item;
    }
    default: return false;
    }
}
