#include "data/DataCTypePair.h"

#include "data/DataDouble.h"
#include "data/DataString.h"
#include "data/MyData.h"
#include "framework/ArchiveHelpers.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"

#include <algorithm>
#include <cmath>

IMPLEMENT_SERIAL(CDataCTypePair, CDataColumnType, VERSIONABLE_SCHEMA | 0)
IMPLEMENT_SERIAL(CDataCTypePairMinus, CDataCTypePair, VERSIONABLE_SCHEMA | 0)
IMPLEMENT_SERIAL(CDataCTypePairDiv, CDataCTypePair, VERSIONABLE_SCHEMA | 0)
IMPLEMENT_SERIAL(CDataCTypePairMult, CDataCTypePair, VERSIONABLE_SCHEMA | 0)

CData* CDataCTypePair::Combine(double a, double b) const { return new CDataDouble(a + b); }
CData* CDataCTypePairMinus::Combine(double a, double b) const { return new CDataDouble(a - b); }
CData* CDataCTypePairMult::Combine(double a, double b) const { return new CDataDouble(a * b); }
CData* CDataCTypePairDiv::Combine(double a, double b) const
{
    if (b == 0.0 || std::isnan(b))
        return new CDataString(LoadString(IDS_ERROR_DIVIDE_BY_ZERO));
    return new CDataDouble(a / b);
}

void CDataCTypePair::ComputeValue(int row, CDataTableItem* item, BOOL updateViews)
{
    CMyData& table = item->GetTable();
    int last = table.GetLastRow(m_column);
    for (int source : {m_columnA, m_columnB})
        last = std::max(last, table.GetLastRow(source));
    ComputeRows(row, item, updateViews, last, [&](int r) {
        table.DeleteCell(r, m_column);
        double a = 0.0, b = 0.0;
        if (m_columnA >= 0 && m_columnB >= 0 && table.GetNumber(r, m_columnA, a) && table.GetNumber(r, m_columnB, b))
            table.SetCell(r, m_column, Combine(a, b));
    });
}

int CDataCTypePair::EditSettings(CDataTableItem* item) { return EditThenRecompute(item); }

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
    std::vector<int> sources;
    for (int source : {m_columnA, m_columnB})
        if (source >= 0)
            sources.push_back(source);
    PropagateThroughSources(changedItem, ownItem, sources, changes, visited);
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
