#include "app/DataCTypeDiff.h"

#include "app/MXGrid.h"
#include "app/ResultColumnLookup.h"
#include "data/DataDouble.h"
#include "data/MyData.h"
#include "framework/ArchiveHelpers.h"
#include "platform/Archive.h"

#include <algorithm>

IMPLEMENT_SERIAL(CDataCTypeDiff, CDataColumnType, VERSIONABLE_SCHEMA | 0)

void CDataCTypeDiff::ComputeValue(int row, CDataTableItem* item, BOOL updateViews)
{
    CMyData& table = item->GetTable();
    CMXResult* fit = GetFitItem(item);
    int last = table.GetLastRow(m_column);
    if (fit && fit->GetState() != CMXResult::kNotFitted && m_nFit < fit->GetResultCount())
        if (CMXGrid* data = fit->FindDataItem())
            last = std::max(last, data->GetTable().GetLastRow(fit->GetSetYColumn(m_nFit)));
    ComputeFitRows(row, item, updateViews, last, [&](CMyData&, int r, CMXResult& result) -> CData* {
        std::optional<double> residual = result.GetResidual(r, m_nFit);
        return residual ? new CDataDouble(*residual) : nullptr;
    });
}

void CDataCTypeDiff::Serialize(CArchive& ar)
{
    CDataColumnType::Serialize(ar);
    SerializeVersion(ar, 0);
    if (ar.IsStoring()) {
        ar << m_strFit << std::int32_t(m_nStatus) << std::int32_t(m_nFit);
        return;
    }
    std::int32_t status = 0, fit = 0;
    ar >> m_strFit >> status >> fit;
    m_nStatus = UINT(status);
    m_nFit = std::max(0, int(fit));
}
