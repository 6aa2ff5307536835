#include "data/DataCTypeSubset.h"

#include "data/MyData.h"
#include "framework/ArchiveHelpers.h"
#include "platform/Archive.h"

#include <algorithm>

IMPLEMENT_SERIAL(CDataCTypeSubset, CDataCTypeOneSource, VERSIONABLE_SCHEMA | 0)

void CDataCTypeSubset::ComputeValue(int, CDataTableItem* item, BOOL updateViews)
{
    if (!ClearOwnRowsForSource(item, updateViews))
        return;
    CMyData& table = item->GetTable();
    // A damaged step must not make the walk stand still.
    const int step = std::clamp(m_step, kMinStep, kMaxStep);
    const int last = table.GetLastRow(m_source);
    for (int r = kFirstDataRow, j = 0; r <= last; r += step, ++j)
        if (CDataDouble scratch; const CData* cell = table.PeekCell(r, m_source, scratch))
            table.SetCell(kFirstDataRow + j, m_column, cell->Clone());
    FinishCompute(item, updateViews);
}

int CDataCTypeSubset::EditSettings(CDataTableItem* item) { return EditThenRecompute(item); }

void CDataCTypeSubset::OnNotify(CDataTableItem* item, CDataTableItem* subject, CUpdateNotification& note)
{
    if (IsSourceNameChange(item, subject, note))
        ComputeValue(-1, item, TRUE);
}

void CDataCTypeSubset::Serialize(CArchive& ar)
{
    CDataColumnType::Serialize(ar);
    SerializeVersion(ar, 0);
    if (ar.IsStoring()) {
        ar << std::int32_t(m_source) << std::int32_t(m_step);
        return;
    }
    std::int32_t source = 0, step = 0;
    ar >> source >> step;
    m_source = source;
    m_step = step;
}
