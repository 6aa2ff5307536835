#include "data/DataColumnType.h"

#include "data/DataColumnTypeBasic.h"
#include "data/DataCTypeCalcFunction.h"
#include "data/DataCTypeMean.h"
#include "data/DataCTypeNPoints.h"
#include "data/DataCTypePair.h"
#include "data/DataCTypeSEM.h"
#include "data/DataCTypeSeries.h"
#include "data/DataCTypeSmooth.h"
#include "data/DataCTypeSubset.h"
#include "data/DataCTypeSummary.h"
#include "data/DataCTypeStdDev.h"
#include "data/DataCTypeX2.h"
#include "data/DataCTypeXNData.h"
#include "data/MyData.h"
#include "framework/ArchiveHelpers.h"
#include "platform/Reporter.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"

#include <algorithm>
#include <string>

IMPLEMENT_SERIAL(CDataColumnType, CData, VERSIONABLE_SCHEMA | 0)

namespace {
CColumnSettingsEditor* g_editor = nullptr;
} // namespace

int LimitComputedRows(int rows)
{
    if (rows <= kMaxTableRows)
        return std::max(rows, 0);
    ReportMessage(IDS_ROWS_LIMITED, {std::to_string(kMaxTableRows)});
    return kMaxTableRows;
}

CColumnSettingsEditor* SetColumnSettingsEditor(CColumnSettingsEditor* editor)
{
    CColumnSettingsEditor* previous = g_editor;
    g_editor = editor;
    return previous;
}

CColumnSettingsEditor* GetColumnSettingsEditor() { return g_editor; }

CDataColumnType::CDataColumnType(int type, int column)
    : m_type(type), m_name(LoadString(IDS_COLUMN_TYPE_NONE + UINT(type))), m_column(column)
{
}

CData* CDataColumnType::Clone() const { return new CDataColumnType(*this); }

void CDataColumnType::FinishCompute(CDataTableItem* item, BOOL updateViews)
{
    if (updateViews)
        item->UpdateViews(kHintColumnsChanged, m_column + 1, m_column + 1);
    NotifyDependents(item);
    item->SetModified();
}

void CDataColumnType::ComputeValue(int, CDataTableItem* item, BOOL updateViews) { FinishCompute(item, updateViews); }

int CDataColumnType::EditThenRecompute(CDataTableItem* item)
{
    if (CColumnSettingsEditor* editor = GetColumnSettingsEditor())
        if (!editor->Edit(*this, item))
            return 0;
    ComputeValue(-1, item, TRUE);
    return 1;
}

void CDataColumnType::ComputeRows(int row, CDataTableItem* item, BOOL updateViews, int last,
                                  const std::function<void(int)>& computeRow)
{
    int first = kFirstDataRow, end = last;
    if (row != -1) {
        first = row;
        end = row >= kFirstDataRow && row <= last ? row : row - 1;
    }
    for (int r = first; r <= end; ++r)
        computeRow(r);
    if (updateViews) {
        if (row == -1)
            item->UpdateViews(kHintColumnsChanged, m_column + 1, m_column + 1);
        else if (first <= end)
            item->UpdateViews(kHintCellChanged, m_column + 1, row + 1);
    }
    NotifyDependents(item);
    item->SetModified();
}

void CDataColumnType::PropagateThroughSources(CDataTableItem* changedItem, CDataTableItem* ownItem,
                                              const std::vector<int>& sources, std::vector<CDataColumnRef>& changes,
                                              std::map<int, int>& visited)
{
    if (changedItem != ownItem || visited.count(m_column))
        return;
    visited[m_column] = 1;
    std::vector<CDataColumnRef> remembered;
    // The list grows while it is walked: index, not iterators.
    for (std::size_t i = 0; i < changes.size(); ++i) {
        CDataColumnRef ref = changes[i];
        CDataColumnRef mine{ownItem, m_column, ref.row};
        // A column that feeds itself through a damaged cycle would otherwise
        // add itself without end.
        if (std::find(changes.begin(), changes.end(), mine) != changes.end())
            continue;
        if (DependsOn(ref.item, ref.column, ownItem)) {
            remembered.push_back(mine);
            changes.push_back(mine);
        }
    }
    if (remembered.empty())
        return;
    CMyData& table = ownItem->GetTable();
    for (int source : sources)
        if (CDataColumnType* type = table.GetColumnType(source))
            type->PropagateChange(changedItem, ownItem, source, changes, visited);
    for (const CDataColumnRef& ref : remembered)
        ComputeValue(ref.row, ownItem, TRUE);
}

int CDataColumnType::EditSettings(CDataTableItem* item)
{
    item->UpdateViews(kHintColumnsChanged, m_column + 1, m_column + 1);
    return 1;
}

void CDataColumnType::SetLocked(CDataTableItem* item, BOOL locked)
{
    const int flag = locked ? 1 : 0;
    if (!CanLock() || flag == m_locked)
        return;
    m_locked = flag;
    item->UpdateViews(kHintColumnsChanged, m_column + 1, m_column + 1);
    item->SetModified();
}

void CDataColumnType::PropagateChange(CDataTableItem*, CDataTableItem*, int, std::vector<CDataColumnRef>&,
                                      std::map<int, int>&)
{
}

int CDataColumnType::DependsOn(CDataTableItem*, int, CDataTableItem*, std::set<int>&) const { return 0; }

int CDataColumnType::DependsOn(CDataTableItem* item, int column, CDataTableItem* ownItem) const
{
    std::set<int> walked;
    return DependsOn(item, column, ownItem, walked);
}

int CDataColumnType::SourceDependsOn(int source, CDataTableItem* item, int column, CDataTableItem* ownItem,
                                     std::set<int>& walked)
{
    if (source < 0 || !ownItem || !walked.insert(source).second)
        return 0;
    CDataColumnType* type = ownItem->GetTable().GetColumnType(source);
    return type ? type->DependsOn(item, column, ownItem, walked) : 0;
}

void CDataColumnType::OnColumnsDeleted(CDataTableItem* item, CDataTableItem* ownItem, int first, int count)
{
    if (item == ownItem && first < m_column)
        m_column -= count;
}

void CDataColumnType::OnColumnsInserted(CDataTableItem* item, CDataTableItem* ownItem, int first, int count)
{
    if (item == ownItem && first <= m_column)
        m_column += count;
}

CData* CDataColumnType::MakeDataFromText(int, std::string_view text) { return MakeDataFromString(text); }

void CDataColumnType::NotifyDependents(CDataTableItem* item)
{
    if (item)
        item->NotifyColumnChanged(m_column, -1);
}

void CDataColumnType::Serialize(CArchive& ar)
{
    SerializeVersion(ar, 0);
    if (ar.IsStoring()) {
        ar << std::int32_t(m_type) << std::int32_t(m_column) << std::int32_t(m_locked);
        return;
    }
    std::int32_t type = 0, column = 0, locked = 0;
    ar >> type >> column >> locked;
    m_type = type;
    m_column = column;
    m_locked = locked;
    m_name = LoadString(IDS_COLUMN_TYPE_NONE + UINT(m_type));
}

namespace {
ColumnTypeMaker g_makers[kLastTypeNumber + 1] = {};
} // namespace

void RegisterColumnType(int type, ColumnTypeMaker maker)
{
    if (type >= kFirstTypeNumber && type <= kLastTypeNumber)
        g_makers[type] = maker;
}

CDataColumnType* CreateColumnType(int type, int column)
{
    switch (type) {
    case kTypeNone:
    case kTypeXData:
    case kTypeYData:
        return new CDataColumnTypeBasic(type, column);
    case kTypeXNData:
        return new CDataCTypeXNData(column);
    case kTypeMean:
        return new CDataCTypeMean(column);
    case kTypeStdDev:
        return new CDataCTypeStdDev(column);
    case kTypeCalculated:
        return new CDataCTypeCalcFunction(column);
    case kTypeSeries:
        return new CDataCTypeSeries(column);
    case kTypePairMinus:
        return new CDataCTypePairMinus(column);
    case kTypePairPlus:
        return new CDataCTypePair(column);
    case kTypePairDiv:
        return new CDataCTypePairDiv(column);
    case kTypePairMult:
        return new CDataCTypePairMult(column);
    case kTypeNPoints:
        return new CDataCTypeNPoints(column);
    case kTypeSEM:
        return new CDataCTypeSEM(column);
    case kTypeX2:
        return new CDataCTypeX2(column);
    case kTypeSmooth:
        return new CDataCTypeSmooth(column);
    case kTypeDerivative:
        return new CDataCTypeDeriv(column);
    case kTypeSummary:
        return new CDataCTypeSummary(column);
    case kTypeSubset:
        return new CDataCTypeSubset(column);
    default:
        if (type >= kFirstTypeNumber && type <= kLastTypeNumber && g_makers[type])
            return g_makers[type](column);
        return nullptr;
    }
}

UINT CheckSourceColumn(CDataTableItem* item, int definedColumn, int source)
{
    if (source < 0)
        return IDS_NO_SOURCE;
    if (source == definedColumn)
        return IDS_CURRENT_COLUMN;
    if (CDataColumnType* type = item->GetTable().GetColumnType(source))
        if (type->DependsOn(item, definedColumn, item))
            return IDS_CIRCULAR_REFERENCES;
    return 0;
}
