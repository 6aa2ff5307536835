#include "data/DataCTypeSeries.h"

#include "data/MyData.h"
#include "framework/ArchiveHelpers.h"
#include "platform/Reporter.h"

#include <algorithm>
#include <string>

IMPLEMENT_SERIAL(CDataCTypeSeries, CDataColumnType, VERSIONABLE_SCHEMA | 0)

void CDataCTypeSeries::ComputeValue(int, CDataTableItem* item, BOOL updateViews)
{
    CMyData& table = item->GetTable();
    table.DeleteCells(m_column, kFirstDataRow, std::max(table.GetLastRow(m_column), kFirstDataRow));
    const int points = LimitComputedRows(m_points);
    for (int i = 0; i < points; ++i)
        table.SetNumber(i + kFirstDataRow, m_column, m_start + i * m_increment);
    FinishCompute(item, updateViews);
}

int CDataCTypeSeries::EditSettings(CDataTableItem* item) { return EditThenRecompute(item); }

void CDataCTypeSeries::Serialize(CArchive& ar)
{
    CDataColumnType::Serialize(ar);
    SerializeVersion(ar, 0);
    if (ar.IsStoring()) {
        ar << m_start << m_increment << std::int32_t(m_points);
    } else {
        std::int32_t points = 0;
        ar >> m_start >> m_increment >> points;
        m_points = points;
    }
}
