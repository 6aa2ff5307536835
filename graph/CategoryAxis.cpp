#include "graph/CategoryAxis.h"

#include "data/Data.h"
#include "data/DataDouble.h"
#include "data/MyData.h"
#include "framework/ArchiveHelpers.h"
#include "framework/UpdateNotification.h"
#include "graph/CatText.h"
#include "graph/DrawGraph.h"
#include "graph/GraphSources.h"
#include "graph/XYDataset.h"

#include <algorithm>
#include <type_traits>

IMPLEMENT_SERIAL(CXAxisCategory, CXAxis, 0)
IMPLEMENT_SERIAL(CYAxisCategory, CYAxis, 0)

template <class Base>
CCategoryAxisT<Base>::CCategoryAxisT()
{
    this->m_bCategory = true;
    this->m_dMax = 1.0;
    this->m_dMajor = 1.0;
}

template <class Base>
void CCategoryAxisT<Base>::Serialize(CArchive& ar)
{
    SerializeVersion(ar, 0);
    CXYAxis::Serialize(ar);
}

template <class Base>
CXYScaleText* CCategoryAxisT<Base>::MakeTickLabels(const RECT& position, CDrawData* page) const
{
    if constexpr (std::is_same_v<Base, CYAxis>)
        return new CYCatText(position, page, this->m_pGraph);
    else
        return new CXCatText(position, page, this->m_pGraph);
}

template <class Base>
CAxisMapping CCategoryAxisT<Base>::GetMapping() const
{
    CAxisMapping m = CXYAxis::GetMapping();
    m.log = false;
    if constexpr (std::is_same_v<Base, CYAxis>) {
        // Vertical categories run from the top down: the value v maps as
        // (min + max - v) would on a value axis.
        if (m.valid) {
            m.lo = this->m_dMax;
            m.factor = -m.factor;
        }
    }
    return m;
}

template <class Base>
const CMyData* CCategoryAxisT<Base>::FindCategoryTable(CMXProjectItem** item) const
{
    const CCategoryAxisData& c = this->m_category;
    CGraphSources* sources = this->m_pGraph ? this->m_pGraph->GetSources() : nullptr;
    if (!sources || c.tableName.empty())
        return nullptr;
    return sources->FindTable(c.tableName, item);
}

template <class Base>
void CCategoryAxisT<Base>::SetCategoryRange()
{
    const CCategoryAxisData& c = this->m_category;
    const int n = std::max<int>(1, int(std::min<std::size_t>(c.labels.size(), CDrawGraph::kMaxCategories)));
    if (c.ticksBetween) {
        this->m_dMin = 0.0;
        this->m_dMax = n;
    } else if (!this->IsAllAreas()) {
        this->m_dMin = -0.5;
        this->m_dMax = n - 0.5;
    } else {
        // Areas put their points on the categories: the ends are categories too.
        this->m_dMin = 0.0;
        this->m_dMax = n - 1;
        if (this->m_dMax == this->m_dMin)
            this->m_dMax = 1.0;
    }
}

template <class Base>
void CCategoryAxisT<Base>::LoadCategories(bool markModified)
{
    CCategoryAxisData& c = this->m_category;
    c.labels.clear();
    c.labelsValid = true;
    SetCategoryRange();
    this->m_dCross = c.crossingCategory - 1;
    this->m_dMajor = this->m_dMinor = std::max(1, c.tickInterval);
    const CMyData* table = c.column != -1 ? FindCategoryTable(nullptr) : nullptr;
    if (!table)
        return;
    const int last = std::min(table->GetLastRow(c.column), CDrawGraph::kMaxCategories + 1);
    if (last >= 2) {
        const CDataFormat& format = table->GetColumnFormat(c.column);
        c.labels.reserve(std::size_t(last - 1));
        CDataDouble scratch;
        for (int row = 2; row <= last; ++row) {
            std::string text;
            if (const CData* cell = table->PeekCell(row, c.column, scratch))
                cell->GetDisplayText(text, format);
            c.labels.push_back(std::move(text));
        }
    }
    SetCategoryRange();
    if (this->m_pGraph) {
        this->m_pGraph->RecalcAxes();
        if (markModified)
            this->m_pGraph->SetModified();
    }
}

template <class Base>
void CCategoryAxisT<Base>::Rescale()
{
    // The range may depend on the datasets (areas on the categories).
    if (this->m_category.labelsValid)
        SetCategoryRange();
    if (this->m_pLabels)
        this->m_pLabels->Reposition(true);
    if (this->m_pGraph)
        this->m_pGraph->Invalidate();
}

template <class Base>
void CCategoryAxisT<Base>::Draw(CDrawDC& dc)
{
    this->EnsureCategories();
    Base::Draw(dc);
}

template <class Base>
void CCategoryAxisT<Base>::OnDocumentChange(CUpdateNotification& notice, bool dataChanged)
{
    CCategoryAxisData& c = this->m_category;
    if (notice.kind == UN_ITEM_RENAMED && !c.tableName.empty() && SameName(c.tableName, notice.oldName)) {
        c.tableName = notice.newName;
        if (this->m_pGraph)
            this->m_pGraph->SetModified();
    }
    if (!dataChanged && !CategoryNoticeApplies(notice))
        return;
    LoadCategories();
    Rescale();
    if (this->m_pGraph)
        this->m_pGraph->SetModified();
}

template <class Base>
bool CCategoryAxisT<Base>::CategoryNoticeApplies(CUpdateNotification& n)
{
    CCategoryAxisData& c = this->m_category;
    CMXProjectItem* item = nullptr;
    if (!FindCategoryTable(&item) || !item)
        return false;
    const bool mine = n.item == item;
    switch (n.kind) {
    case UN_ITEM_RENAMED:
        if (SameName(c.tableName, n.oldName))
            c.tableName = n.newName;
        return false;
    case UN_CELLS_CHANGED:
        if (!mine || !n.columns)
            return false;
        for (const CColumnRef& ref : *n.columns)
            if (ref.item == item && (ref.column == -1 || ref.column == c.column))
                return true;
        return false;
    case UN_ITEM_REMOVING:
        if (!SameName(c.tableName, n.oldName))
            return false;
        c.tableName.clear();
        return true;
    case UN_COLUMNS_INSERTED:
        if (!mine)
            return false;
        if (c.column != -1 && c.column >= n.first)
            c.column += n.count;
        return true;
    case UN_COLUMNS_DELETED:
        if (!mine || c.column == -1 || c.column < n.first)
            return false;
        if (c.column >= n.first + n.count) {
            c.column -= n.count;
            return true;
        }
        // The names of a deleted column must not stay on the axis.
        c.column = -1;
        return true;
    case UN_ROWS_INSERTED:
    case UN_ROWS_DELETED: return mine;
    case UN_BLOCK_CHANGED:
    case UN_BLOCK_DELETED: return mine && c.column != -1 && c.column >= n.left && c.column <= n.right;
    default: return false;
    }
}

template class CCategoryAxisT<CXAxis>;
template class CCategoryAxisT<CYAxis>;
