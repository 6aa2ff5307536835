#include "data/DataCTypePair.h"

#include "data/DataDouble.h"
#include "data/DataString.h"
#include "data/MyData.h"
#include "framework/ArchiveHelpers.h"
#include "platform/StringTable.h"

#include <algorithm>
#include <cmath>

IMPLEMENT_SERIAL(CDataCTypePair, CDataColumnType, VERSIONABLE_SCHEMA | 0)
IMPLEMENT_SERIAL(CDataCTypePairMinus, CDataCTypePair, VERSIONABLE_SCHEMA | 0)
IMPLEMENT_SERIAL(CDataCTypePairDiv, CDataCTypePair, VERSIONABLE_SCHEMA | 0)
IMPLEMENT_SERIAL(CDataCTypePairMult, CDataCTypePair, VERSIONABLE_SCHEMA | 0)

namespace {
constexpr UINT IDS_DIVIDE_BY_ZERO = 311;
}

CData* CDataCTypePair::Combine(double a, double b) const { return new CDataDouble(a + b); }
CData* CDataCTypePairMinus::Combine(double a, double b) const { return new CDataDouble(a - b); }
CData* CDataCTypePairMult::Combine(double a, double b) const { return new CDataDouble(a * b); }
CData* CDataCTypePairDiv::Combine(double a, double b) const
{
    if (b == 0.0 || std::isnan(b))
        return new CDataString(LoadString(IDS_DIVIDE_BY_ZERO));
    return new CDataDouble(a / b);
}

void CDataCTypePair::ComputeValue(int row, CDataTableItem* item, BOOL updateViews)
{
    CMyData& table = item->GetTable();
    int last = table.GetLastRow(m_column);
    for (int source : {m_columnA, m_columnB})
        last = std::max(last, table.GetLastRow(source));
    int first = kFirstDataRow, end = last;
    if (row != -1) {
        first = row;
        end = row >= kFirstDataRow && row <= last ? row : row - 1;
    }
    for (int r = first; r <= end; ++r) {
        table.DeleteCell(r, m_column);
        double a = 0.0, b = 0.0;
        if (m_columnA >= 0 && m_columnB >= 0 && table.GetNumber(r, m_columnA, a) && table.GetNumber(r, m_columnB, b))
            table.SetCell(r, m_column, Combine(a, b));
    }
    if (updateViews) {
        if (row == -1)
            item->UpdateViews(kHintColumnsChanged, m_column + 1, m_column + 1);
        else if (first <= end)
            item->UpdateViews(kHintCellChanged, m_column + 1, row + 1);
    }
    NotifyDependents(item);
    item->SetModified();
}

int CDataCTypePair::EditSettings(CDataTableItem* item)
{
    if (CColumnSettingsEditor* editor = GetColumnSettingsEditor())
        if (!editor->Edit(*this, item))
            return 0;
    ComputeValue(-1, item, TRUE);
    return 1;
}

UINT CDataCTypePair::SetColumns(CDataTableItem* item, int a, int b)
{
    for (int source : {a, b})
        if (UINT message = CheckSourceColumn(item, m_column, source))
            return message;
    m_columnA = a;
    m_columnB = b;
    return 0;
}

int CDataCTypePair::DependsOn(CDataTableItem* item, int column, CDataTableItem* ownItem, std::set<int>& walked) const
{
    if (item != ownItem)
        return 0;
    if (m_columnA == column || m_columnB == column)
        return 1;
    walked.insert(m_column);
    return SourceDependsOn(m_columnA, item, column, ownItem, walked)
        || SourceDependsOn(m_columnB, item, column, ownItem, walked) ? 1 : 0;
}

void CDataCTypePair::PropagateChange(CDataTableItem* changedItem, CDataTableItem* ownItem, int,
                                     std::vector<CDataColumnRef>& changes, std::map<int, int>& visited)
{
    if (changedItem != ownItem || visited.count(m_column))
        return;
    visited[m_column] = 1;
    std::vector<CDataColumnRef> remembered;
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
    for (int source : {m_columnA, m_columnB})
        if (source >= 0)
            if (CDataColumnType* type = table.GetColumnType(source))
                type->PropagateChange(changedItem, ownItem, source, changes, visited);
    for (const CDataColumnRef& ref : remembered)
        ComputeValue(ref.row, ownItem, TRUE);
}

void CDataCTypePair::OnColumnsDeleted(CDataTableItem* item, CDataTableItem* ownItem, int first, int count)
{
    CDataColumnType::OnColumnsDeleted(item, ownItem, first, count);
    if (item != ownItem)
        return;
    bool removed = false;
    for (int* source : {&m_columnA, &m_columnB}) {
        if (*source >= first + count)
            *source -= count;
        else if (*source >= first) {
            *source = -1;
            removed = true;
        }
    }
    if (removed)
        ComputeValue(-1, item, FALSE);
}

void CDataCTypePair::OnColumnsInserted(CDataTableItem* item, CDataTableItem* ownItem, int first, int count)
{
    CDataColumnType::OnColumnsInserted(item, ownItem, first, count);
    if (item != ownItem)
        return;
    for (int* source : {&m_columnA, &m_columnB})
        if (*source >= first)
            *source += count;
}

void CDataCTypePair::Serialize(CArchive& ar)
{
    CDataColumnType::Serialize(ar);
    SerializeVersion(ar, 0);
    if (ar.IsStoring()) {
        ar << std::int32_t(m_columnA) << std::int32_t(m_columnB) << std::int32_t(m_captionId);
        return;
    }
    std::int32_t a = 0, b = 0, caption = 0;
    ar >> a >> b >> caption;
    m_columnA = a;
    m_columnB = b;
    m_captionId = caption;
}
