#include "app/DataCTypeDiff.h"

#include "app/MXGrid.h"
#include "app/ResultColumnLookup.h"
#include "data/DataDouble.h"
#include "data/DataString.h"
#include "data/MyData.h"
#include "fitting/UpdateNotification.h"
#include "framework/ArchiveHelpers.h"
#include "platform/Archive.h"
#include "platform/StringTable.h"

#include <algorithm>

IMPLEMENT_SERIAL(CDataCTypeDiff, CDataColumnType, VERSIONABLE_SCHEMA | 0)

CMXResult* CDataCTypeDiff::GetFitItem(CDataTableItem* item) const { return FindFitItem(item, m_strFit); }

UINT CDataCTypeDiff::GetStatus(CDataTableItem* item) const
{
    CMXResult* fit = GetFitItem(item);
    if (!fit)
        return IDS_COL_NONE_SELECTED;
    if (fit->GetXKind() != CMXResult::kOneSet)
        return IDS_COL_INVALID_LAYOUT;
    switch (fit->GetState()) {
    case CMXResult::kFitted: return 0;
    case CMXResult::kCalculating: return IDS_COL_CALCULATING;
    case CMXResult::kFailed: return IDS_COL_FAILED;
    default: return IDS_COL_NOT_FITTED;
    }
}

void CDataCTypeDiff::ComputeValue(int row, CDataTableItem* item, BOOL updateViews)
{
    CMyData& table = item->GetTable();
    CMXResult* fit = GetFitItem(item);
    int last = table.GetLastRow(m_column);
    if (fit && fit->GetState() != CMXResult::kNotFitted && m_nFit < fit->GetResultCount())
        if (CMXGrid* data = fit->FindDataItem())
            last = std::max(last, data->GetTable().GetLastRow(fit->GetSetYColumn(m_nFit)));
    int first = kFirstDataRow, end = last;
    if (row != -1) {
        first = row;
        end = row >= kFirstDataRow && row <= last ? row : row - 1;
    }
    m_nStatus = GetStatus(item);
    for (int r = first; r <= end; ++r) {
        table.DeleteCell(r, m_column);
        if (m_nStatus == 0 && fit)
            if (std::optional<double> residual = fit->GetResidual(r, m_nFit))
                table.SetCell(r, m_column, new CDataDouble(*residual));
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

int CDataCTypeDiff::EditSettings(CDataTableItem* item)
{
    if (CColumnSettingsEditor* editor = GetColumnSettingsEditor())
        if (!editor->Edit(*this, item))
            return 0;
    ComputeValue(-1, item, TRUE);
    return 1;
}

void CDataCTypeDiff::OnNotify(CDataTableItem* item, CDataTableItem*, CUpdateNotification& note)
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

std::vector<std::string> CDataCTypeDiff::GetLinks() const
{
    return m_strFit.empty() ? std::vector<std::string>() : std::vector<std::string>{m_strFit};
}

void CDataCTypeDiff::RestoreLinks(CDataTableItem* item, const std::vector<std::string>& links)
{
    if (!m_strFit.empty() || links.empty())
        return;
    m_strFit = links.front();
    ComputeValue(-1, item, TRUE);
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
