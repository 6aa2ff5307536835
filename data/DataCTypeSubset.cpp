#include "data/DataCTypeSubset.h"

#include "data/DataString.h"
#include "data/MyData.h"
#include "fitting/UpdateNotification.h"
#include "framework/ArchiveHelpers.h"
#include "platform/Archive.h"
#include "platform/StringTable.h"

#include <algorithm>

IMPLEMENT_SERIAL(CDataCTypeSubset, CDataCTypeOneSource, VERSIONABLE_SCHEMA | 0)

namespace {
constexpr UINT IDS_NONE_SELECTED = 482;
}

void CDataCTypeSubset::ComputeValue(int, CDataTableItem* item, BOOL updateViews)
{
    ClearOwnRows(item);
    CMyData& table = item->GetTable();
    if (m_source < 0) {
        table.SetCell(kFirstDataRow, m_column, new CDataString(LoadString(IDS_NONE_SELECTED)));
        FinishCompute(item, updateViews);
        return;
    }
    // A damaged step must not make the walk stand still.
    const int step = std::clamp(m_step, kMinStep, kMaxStep);
    const int last = table.GetLastRow(m_source);
    for (int r = kFirstDataRow, j = 0; r <= last; r += step, ++j)
        if (const CData* cell = table.GetCell(r, m_source))
            table.SetCell(kFirstDataRow + j, m_column, cell->Clone());
    FinishCompute(item, updateViews);
}

int CDataCTypeSubset::EditSettings(CDataTableItem* item)
{
    if (CColumnSettingsEditor* editor = GetColumnSettingsEditor())
        if (!editor->Edit(*this, item))
            return 0;
    ComputeValue(-1, item, TRUE);
    return 1;
}

void CDataCTypeSubset::OnNotify(CDataTableItem* item, CDataTableItem* subject, CUpdateNotification& note)
{
    if (note.kind != UN_NAME_ROW_CHANGED || !note.columns || subject != item)
        return;
    for (const CColumnRef& ref : *note.columns)
        if (ref.column == m_source || ref.column == -1) {
            ComputeValue(-1, item, TRUE);
            return;
        }
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
