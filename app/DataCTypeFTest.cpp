#include "app/DataCTypeFTest.h"

#include "app/MXGrid.h"
#include "app/ResultColumnLookup.h"
#include "data/DataDouble.h"
#include "data/DataString.h"
#include "data/MyData.h"
#include "fitting/FTest.h"
#include "framework/UpdateNotification.h"
#include "framework/ArchiveHelpers.h"
#include "platform/Archive.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"

IMPLEMENT_SERIAL(CDataCTypeFTest, CDataColumnType, VERSIONABLE_SCHEMA | 0)

CMXResult* CDataCTypeFTest::GetFitItem1(CDataTableItem* item) const { return FindFitItem(item, m_strFit1); }
CMXResult* CDataCTypeFTest::GetFitItem2(CDataTableItem* item) const { return FindFitItem(item, m_strFit2); }

void CDataCTypeFTest::ComputeValue(int, CDataTableItem* item, BOOL updateViews)
{
    CMyData& table = item->GetTable();
    if (const int last = table.GetLastRow(m_column); last >= kFirstDataRow)
        table.DeleteCells(m_column, kFirstDataRow, last);
    int row = kFirstDataRow;
    UINT message = 0;
    CMXResult* f1 = GetFitItem1(item);
    CMXResult* f2 = GetFitItem2(item);
    if (!f1 || !f2) {
        m_nLastState1 = m_nLastState2 = CMXResult::kNotFitted;
    } else {
        if (f1->GetSourceName() != f2->GetSourceName())
            message = IDS_FTEST_DIFFERENT_TABLES;
        else if (f1->GetXKind() != f2->GetXKind())
            message = IDS_FTEST_DIFFERENT_FORMATS;
        else if (f1->GetXKind() != CMXResult::kManyX && f1->m_nXColumn != f2->m_nXColumn)
            message = IDS_FTEST_DIFFERENT_X;
        else if (f1->m_nYColumn != f2->m_nYColumn)
            message = IDS_FTEST_DIFFERENT_Y;
        else if (f1->GetWeighting() != f2->GetWeighting())
            message = IDS_FTEST_DIFFERENT_WEIGHTING;
        else if (f1->GetWeighting() == kWeightErrors && f1->GetFirstColumnIndex() != f2->GetFirstColumnIndex())
            message = IDS_FTEST_DIFFERENT_ERRORS;
        if (f1->GetResultCount() != f2->GetResultCount())
            message = IDS_FTEST_DIFFERENT_COUNT;
        m_nLastState1 = f1->GetState();
        m_nLastState2 = f2->GetState();
        const bool busy = m_nLastState1 == CMXResult::kCalculating || m_nLastState2 == CMXResult::kCalculating;
        const int records = busy || message ? 0 : f1->GetResultCount();
        auto text = [&](std::string s) { table.SetCell(row++, m_column, new CDataString(std::move(s))); };
        auto number = [&](UINT label, double value) {
            table.SetCell(row++, m_column, new CDataDoubleDescriptor(label, value));
        };
        for (int i = 0; i < records; ++i) {
            if (f1->GetSetStatus(i) != CMXResult::kSetFitted || f2->GetSetStatus(i) != CMXResult::kSetFitted)
                continue;
            CFit* r1 = f1->GetFit(i);
            CFit* r2 = f2->GetFit(i);
            if (!r1 || !r2)
                continue;
            if (i == 0) {
                int analysis = 0;
                for (CMXResult* f : {f1, f2}) {
                    text(LoadString(IDS_FTEST_ANALYSIS_1 + UINT(analysis++)));
                    text(f->GetName());
                    text(f->GetDescription());
                    number(IDS_FTEST_NUMBER_OF_PARAMETERS, f->GetParameterCount());
                    ++row;
                }
                ++row;
            }
            const int n = r1->GetPointCount();
            number(IDS_FTEST_NUMBER_OF_DATA_POINTS, n);
            number(IDS_FTEST_CHI_SQUARE_1, r1->GetChiSq());
            number(IDS_FTEST_CHI_SQUARE_2, r2->GetChiSq());
            double F = 0.0, P = 0.0;
            if (FTestProbability(n, f1->GetParameterCount(), r1->GetChiSq(), f2->GetParameterCount(), r2->GetChiSq(),
                                 F, P)) {
                number(IDS_FTEST_F_STATISTIC, F);
                number(IDS_FTEST_PROBABILITY, P);
            } else {
                text(LoadString(IDS_FTEST_ERROR));
            }
            ++row;
        }
    }
    if (row == kFirstDataRow) {
        const int state = m_nLastState1 == CMXResult::kCalculating || m_nLastState2 == CMXResult::kCalculating
            ? CMXResult::kCalculating
            : m_nLastState1 == CMXResult::kFailed || m_nLastState2 == CMXResult::kFailed ? CMXResult::kFailed
                                                                                           : CMXResult::kNotFitted;
        const UINT fallback = message ? message : FitFallbackText(state);
        table.SetCell(kFirstDataRow, m_column, new CDataString(LoadString(fallback)));
    }
    FinishCompute(item, updateViews);
}

int CDataCTypeFTest::EditSettings(CDataTableItem* item) { return EditThenRecompute(item); }

void CDataCTypeFTest::OnNotify(CDataTableItem* item, CDataTableItem* subject, CUpdateNotification& note)
{
    switch (note.kind) {
    case UN_ITEM_RENAMED:
        for (std::string* name : {&m_strFit1, &m_strFit2})
            if (!name->empty() && *name == note.oldName)
                *name = note.newName;
        return;
    case UN_NAME_ROW_CHANGED: {
        for (CMXResult* fit : {GetFitItem1(item), GetFitItem2(item)})
            if (fit && subject && static_cast<CDataTableItem*>(fit->FindDataItem()) == subject) {
                ComputeValue(-1, item, TRUE);
                return;
            }
        return;
    }
    case UN_ITEM_REMOVING: {
        bool matched = false;
        for (std::string* name : {&m_strFit1, &m_strFit2})
            if (!name->empty() && *name == note.oldName) {
                name->clear();
                matched = true;
            }
        if (matched)
            ComputeValue(-1, item, TRUE);
        return;
    }
    case UN_CALC_STATE: {
        CMXResult* f1 = GetFitItem1(item);
        CMXResult* f2 = GetFitItem2(item);
        const bool first = f1 && note.item == f1 && (m_nLastState1 != 0 || f1->GetState() != 0);
        const bool second = f2 && note.item == f2 && (m_nLastState2 != 0 || f2->GetState() != 0);
        if (first || second)
            ComputeValue(-1, item, TRUE);
        return;
    }
    default:
        return;
    }
}

std::vector<std::string> CDataCTypeFTest::GetLinks() const { return {m_strFit1, m_strFit2}; }

void CDataCTypeFTest::RestoreLinks(CDataTableItem* item, const std::vector<std::string>& links)
{
    if (links.size() != 2)
        return;
    bool changed = false;
    for (int i = 0; i < 2; ++i) {
        std::string& name = i == 0 ? m_strFit1 : m_strFit2;
        if (name.empty() && !links[std::size_t(i)].empty()) {
            name = links[std::size_t(i)];
            changed = true;
        }
    }
    if (changed)
        ComputeValue(-1, item, TRUE);
}

void CDataCTypeFTest::Serialize(CArchive& ar)
{
    CDataColumnType::Serialize(ar);
    SerializeVersion(ar, 0);
    if (ar.IsStoring()) {
        ar << m_strFit1 << m_strFit2 << std::int32_t(StoredFitState(m_nLastState1))
           << std::int32_t(StoredFitState(m_nLastState2));
        return;
    }
    std::int32_t s1 = 0, s2 = 0;
    ar >> m_strFit1 >> m_strFit2 >> s1 >> s2;
    m_nLastState1 = LoadedFitState(s1);
    m_nLastState2 = LoadedFitState(s2);
}
