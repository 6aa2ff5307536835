#include "app/DataCTypeCalc.h"

#include "app/MXGrid.h"
#include "app/ResultColumnLookup.h"
#include "data/DataDouble.h"
#include "data/DataString.h"
#include "data/MyData.h"
#include "framework/ArchiveHelpers.h"
#include "platform/Archive.h"

#include <algorithm>

IMPLEMENT_SERIAL(CDataCTypeCalc, CDataCTypeOneSource, VERSIONABLE_SCHEMA | 1)
IMPLEMENT_SERIAL(CDataCTypeCalcY, CDataCTypeCalc, VERSIONABLE_SCHEMA | 0)
IMPLEMENT_SERIAL(CDataCTypeCalcX, CDataCTypeCalc, VERSIONABLE_SCHEMA | 0)

CData* MakeFitValueCell(const CFitValue& value)
{
    if (value.IsNumber())
        return new CDataDouble(value.GetNumber());
    return new CDataString(value.GetText());
}

void CDataCTypeCalc::ComputeValue(int row, CDataTableItem* item, BOOL updateViews)
{
    CMyData& table = item->GetTable();
    // Without a column of its own table the column reads the fit's own data
    // column, in the fit's data table.
    const CMyData* sourceTable = &table;
    int source = m_source;
    if (source < 0) {
        sourceTable = nullptr;
        if (CMXResult* fit = GetFitItem(item))
            if (CMXGrid* data = fit->FindDataItem()) {
                sourceTable = &data->GetTable();
                source = FitDataColumn(*fit);
            }
    }
    int last = table.GetLastRow(m_column);
    if (sourceTable && source >= 0)
        last = std::max(last, sourceTable->GetLastRow(source));
    ComputeFitRows(row, item, updateViews, last, [&](CMyData&, int r, CMXResult& fit) -> CData* {
        double t = 0.0;
        if (sourceTable && source >= 0 && sourceTable->GetNumber(r, source, t))
            if (std::optional<CFitValue> value = Evaluate(fit, t))
                return MakeFitValueCell(*value);
        return nullptr;
    });
}

void CDataCTypeCalc::Serialize(CArchive& ar)
{
    CDataColumnType::Serialize(ar);
    const int version = SerializeVersion(ar, 1);
    if (ar.IsStoring()) {
        ar << std::int32_t(m_source) << m_strFit << std::int32_t(m_nStatus) << std::int32_t(m_nUseEstimates)
           << std::int32_t(m_nFit);
        return;
    }
    std::int32_t source = 0, status = 0, estimates = 0, fit = 0;
    ar >> source >> m_strFit >> status >> estimates;
    if (version >= 1)
        ar >> fit;
    m_source = source;
    m_nStatus = UINT(status);
    m_nUseEstimates = estimates;
    m_nFit = std::max(0, int(fit));
}

std::optional<CFitValue> CDataCTypeCalcY::Evaluate(CMXResult& fit, double x) const
{
    return fit.CalcY(x, m_nFit, m_nUseEstimates != 0);
}

// Values are computed only for fits of single {x, y} pairs: one data set.
int CDataCTypeCalcY::FitDataColumn(const CMXResult& fit) const
{
    return fit.m_nXColumn;
}

void CDataCTypeCalcY::Serialize(CArchive& ar)
{
    CDataCTypeCalc::Serialize(ar);
    SerializeVersion(ar, 0);
}

std::optional<CFitValue> CDataCTypeCalcX::Evaluate(CMXResult& fit, double y) const
{
    return fit.CalcX(y, m_dLower, m_dUpper, m_nFit, m_nUseEstimates != 0);
}

int CDataCTypeCalcX::FitDataColumn(const CMXResult& fit) const
{
    return fit.m_nYColumn;
}

void CDataCTypeCalcX::Serialize(CArchive& ar)
{
    CDataCTypeCalc::Serialize(ar);
    SerializeVersion(ar, 0);
    if (ar.IsStoring())
        ar << m_dLower << m_dUpper;
    else
        ar >> m_dLower >> m_dUpper;
}
