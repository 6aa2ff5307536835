#include "app/DataCTypeCalc.h"

#include "app/ResultColumnLookup.h"
#include "data/DataDouble.h"
#include "data/DataString.h"
#include "data/MyData.h"
#include "fitting/UpdateNotification.h"
#include "framework/ArchiveHelpers.h"
#include "platform/Archive.h"
#include "platform/StringTable.h"

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

CMXResult* CDataCTypeCalc::GetFitItem(CDataTableItem* item) const { return FindFitItem(item, m_strFit); }

UINT CDataCTypeCalc::GetStatus(CDataTableItem* item) const
{
    CMXResult* fit = GetFitItem(item);
    if (!fit)
        return IDS_COL_NONE_SELECTED;
    if (fit->GetXKind() != CMXResult::kOneSet)
        return IDS_COL_INVALID_LAYOUT;
    if (fit->GetState() == CMXResult::kFitted || m_nUseEstimates)
        return 0;
    if (fit->GetState() == CMXResult::kCalculating)
        return IDS_COL_CALCULATING;
    if (fit->GetState() == CMXResult::kFailed)
        return IDS_COL_FAILED;
    return IDS_COL_NOT_FITTED;
}

void CDataCTypeCalc::ComputeValue(int row, CDataTableItem* item, BOOL updateViews)
{
    CMyData& table = item->GetTable();
    const int last = std::max(table.GetLastRow(m_column), m_source >= 0 ? table.GetLastRow(m_source) : -1);
    int first = kFirstDataRow, end = last;
    if (row != -1) {
        first = row;
        end = row >= kFirstDataRow && row <= last ? row : row - 1;
    }
    m_nStatus = GetStatus(item);
    CMXResult* fit = GetFitItem(item);
    for (int r = first; r <= end; ++r) {
        table.DeleteCell(r, m_column);
        double t = 0.0;
        if (m_nStatus == 0 && fit && m_source >= 0 && table.GetNumber(r, m_source, t))
            if (std::optional<CFitValue> value = Evaluate(*fit, t))
                table.SetCell(r, m_column, MakeFitValueCell(*value));
        if (row != -1 && updateViews)
            item->UpdateViews(kHintCellChanged, m_column + 1, r + 1);
    }
    if (m_nStatus != 0) {
        table.SetCell(kFirstDataRow, m_column, new CDataString(LoadString(m_nStatus)));
        if (row != -1 && updateViews)
            item->UpdateViews(kHintCellChanged, m_column + 1, kFirstDataRow + 1);
    }
    if (row == -1 && updateViews)
        item->UpdateViews(kHintColumnsChanged, m_column + 1, m_column + 1);
    NotifyDependents(item);
    item->SetModified();
}

int CDataCTypeCalc::EditSettings(CDataTableItem* item)
{
    if (CColumnSettingsEditor* editor = GetColumnSettingsEditor())
        if (!editor->Edit(*this, item))
            return 0;
    ComputeValue(-1, item, TRUE);
    return 1;
}

void CDataCTypeCalc::OnNotify(CDataTableItem* item, CDataTableItem*, CUpdateNotification& note)
{
    switch (note.kind) {
    case UN_ITEM_RENAMED:
        if (!m_strFit.empty() && m_strFit == note.oldName)
            m_strFit = note.newName;
        return;
    case UN_ITEM_REMOVING:
        if (!m_strFit.empty() && m_strFit == note.oldName) {
            m_strFit.clear();
            ComputeValue(-1, item, TRUE);
        }
        return;
    case UN_CALC_STATE: {
        CMXResult* fit = GetFitItem(item);
        if (!fit || note.item != fit)
            return;
        const UINT status = GetStatus(item);
        if (status == m_nStatus && status != 0)
            return;
        ComputeValue(-1, item, TRUE);
        return;
    }
    default:
        return;
    }
}

std::vector<std::string> CDataCTypeCalc::GetLinks() const
{
    return m_strFit.empty() ? std::vector<std::string>() : std::vector<std::string>{m_strFit};
}

void CDataCTypeCalc::RestoreLinks(CDataTableItem* item, const std::vector<std::string>& links)
{
    if (!m_strFit.empty() || links.empty())
        return;
    m_strFit = links.front();
    ComputeValue(-1, item, TRUE);
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

void CDataCTypeCalcY::Serialize(CArchive& ar)
{
    CDataCTypeCalc::Serialize(ar);
    SerializeVersion(ar, 0);
}

std::optional<CFitValue> CDataCTypeCalcX::Evaluate(CMXResult& fit, double y) const
{
    return fit.CalcX(y, m_dLower, m_dUpper, m_nFit, m_nUseEstimates != 0);
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
