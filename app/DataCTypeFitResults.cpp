#include "app/DataCTypeFitResults.h"

#include "app/MXGrid.h"
#include "app/ResultColumnLookup.h"
#include "data/DataDouble.h"
#include "data/DataString.h"
#include "data/MyData.h"
#include "framework/UpdateNotification.h"
#include "framework/ArchiveHelpers.h"
#include "platform/Archive.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"

IMPLEMENT_SERIAL(CDataCTypeFitResults, CDataColumnType, VERSIONABLE_SCHEMA | 0)
IMPLEMENT_SERIAL(CDataCTypeFitInfo, CDataCTypeFitResults, VERSIONABLE_SCHEMA | 0)

int CDataCTypeFitResults::GetEntryCount(CMXResult& fit) const { return fit.GetParameterCount(); }

CData* CDataCTypeFitResults::MakeEntry(CMXResult& fit, int record, int index) const
{
    double value = 0.0, error = 0.0;
    if (!fit.GetParameter(record, index, value, error))
        return new CDataString(LoadString(IDS_STATE_NOT_FITTED));
    std::string name;
    fit.GetParameterName(index, name);
    const double number = m_nValueChoice == 1 ? error : value;
    if (!m_nShowName)
        return new CDataDouble(number);
    return new CDataDoubleDescriptor(m_nValueChoice == 1 ? FormatString(IDS_COL_STANDARD_ERROR, {name}) : name, number);
}

void CDataCTypeFitResults::ComputeValue(int, CDataTableItem* item, BOOL updateViews)
{
    CMyData& table = item->GetTable();
    if (const int last = table.GetLastRow(m_column); last >= kFirstDataRow)
        table.DeleteCells(m_column, kFirstDataRow, last);
    int row = kFirstDataRow;
    CMXResult* fit = GetFitItem(item);
    if (!fit) {
        m_nLastState = CMXResult::kNotFitted;
    } else {
        m_nLastState = fit->GetState();
        const int entries = GetEntryCount(*fit);
        const int records = m_nLastState == CMXResult::kCalculating ? 0 : fit->GetResultCount();
        for (int r = 0; r < records; ++r) {
            for (int index : m_indices) {
                if (index < 0 || index >= entries)
                    continue;
                CData* cell = nullptr;
                switch (fit->GetSetStatus(r)) {
                case CMXResult::kSetFitted: cell = MakeEntry(*fit, r, index); break;
                // A failed record is not calculating: it says that it failed.
                case CMXResult::kSetFailed: cell = new CDataString(LoadString(IDS_STATE_FAILED)); break;
                default: cell = new CDataString(LoadString(IDS_STATE_NOT_FITTED)); break;
                }
                if (cell)
                    table.SetCell(row, m_column, cell);
                ++row;
            }
        }
    }
    if (row == kFirstDataRow) {
        const UINT text = m_indices.empty() ? IDS_NONE_SELECTED : FitFallbackText(m_nLastState);
        table.SetCell(kFirstDataRow, m_column, new CDataString(LoadString(text)));
    }
    FinishCompute(item, updateViews);
}

void CDataCTypeFitResults::Serialize(CArchive& ar)
{
    CDataColumnType::Serialize(ar);
    SerializeVersion(ar, 0);
    if (ar.IsStoring()) {
        ArchiveStoreInts(ar, m_indices);
        ar << std::int32_t(m_nShowName) << m_strFit << std::int32_t(m_nValueChoice)
           << std::int32_t(StoredFitState(m_nLastState));
        return;
    }
    ArchiveLoadInts(ar, m_indices);
    std::int32_t show = 0, choice = 0, state = 0;
    ar >> show >> m_strFit >> choice >> state;
    m_nShowName = show;
    m_nValueChoice = choice;
    m_nLastState = LoadedFitState(state);
}

int CDataCTypeFitInfo::GetEntryCount(CMXResult& fit) const { return fit.GetSummaryCount(); }

CData* CDataCTypeFitInfo::MakeEntry(CMXResult& fit, int record, int index) const
{
    std::string label, text;
    double number = 0.0;
    const int kind = fit.GetSummaryValue(record, index, label, text, number);
    if (kind == 0)
        return m_nShowName ? static_cast<CData*>(new CDataDoubleDescriptor(label, number)) : new CDataDouble(number);
    if (kind == 1 || kind == 2)
        return m_nShowName ? static_cast<CData*>(new CDataStringDescriptor(label, text)) : new CDataString(text);
    return nullptr;
}

void CDataCTypeFitInfo::OnNotify(CDataTableItem* item, CDataTableItem* subject, CUpdateNotification& note)
{
    if (note.kind == UN_NAME_ROW_CHANGED) {
        CMXResult* fit = GetFitItem(item);
        if (fit && subject && static_cast<CDataTableItem*>(fit->FindDataItem()) == subject)
            ComputeValue(-1, item, TRUE);
        return;
    }
    CDataCTypeFitResults::OnNotify(item, subject, note);
}

void CDataCTypeFitInfo::Serialize(CArchive& ar)
{
    CDataColumnType::Serialize(ar);
    SerializeVersion(ar, 0);
    if (ar.IsStoring()) {
        ArchiveStoreInts(ar, m_indices);
        ar << std::int32_t(m_nShowName) << m_strFit << std::int32_t(StoredFitState(m_nLastState));
        return;
    }
    ArchiveLoadInts(ar, m_indices);
    std::int32_t show = 0, state = 0;
    ar >> show >> m_strFit >> state;
    m_nShowName = show;
    m_nLastState = LoadedFitState(state);
}
