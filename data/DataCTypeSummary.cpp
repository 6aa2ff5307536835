#include "data/DataCTypeSummary.h"

#include "data/DataDouble.h"
#include "data/DataString.h"
#include "data/MyData.h"
#include "framework/ArchiveHelpers.h"
#include "platform/Archive.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"

#include <algorithm>
#include <cmath>

IMPLEMENT_SERIAL(CDataCTypeSummary, CDataCTypeOneSource, VERSIONABLE_SCHEMA | 0)

void CDataCTypeSummary::ComputeValue(int, CDataTableItem* item, BOOL updateViews)
{
    if (!ClearOwnRowsForSource(item, updateViews))
        return;
    CMyData& table = item->GetTable();
    table.SetCell(kFirstDataRow, m_column,
                  new CDataString(FormatString(IDS_SUMMARY_SOURCE, {table.GetColumnName(m_source)})));
    // The source's numbers in row order, walked block by block (text and
    // blanks are no numbers, as for CMyData::GetNumber).
    std::vector<double> values;
    if (const CColData* col = m_source <= table.GetLastColumn() ? table.GetColumn(m_source) : nullptr) {
        values.reserve(col->GetCount());
        col->VisitNumbers(kFirstDataRow, col->GetLastRow(), [&](int, double v) { values.push_back(v); });
    }
    const int n = int(values.size());
    table.SetCell(3, m_column, new CDataDoubleDescriptor(IDS_SUMMARY_DATA_POINTS, double(n)));
    if (n > 0) {
        std::vector<double> sorted = values;
        std::sort(sorted.begin(), sorted.end());
        double sum = 0.0, squares = 0.0;
        for (double v : values) {
            sum += v;
            squares += v * v;
        }
        const double figures[6] = {sorted.front(), sorted.back(), sorted.back() - sorted.front(), sum, sum / n,
                                   (sorted[std::size_t((n - 1) / 2)] + sorted[std::size_t(n / 2)]) / 2.0};
        for (int i = 0; i < 6; ++i)
            table.SetCell(4 + i, m_column, new CDataDoubleDescriptor(IDS_SUMMARY_MINIMUM + UINT(i), figures[i]));
        if (n > 1) {
            const double deviation = squares - sum * sum / n;
            const double population = deviation / n, sample = deviation / (n - 1);
            const double more[4] = {population, sample, std::sqrt(population), std::sqrt(sample)};
            for (int i = 0; i < 4; ++i)
                table.SetCell(10 + i, m_column, new CDataDoubleDescriptor(IDS_SUMMARY_MINIMUM + 6 + UINT(i), more[i]));
        }
    }
    FinishCompute(item, updateViews);
}

int CDataCTypeSummary::EditSettings(CDataTableItem* item) { return EditThenRecompute(item); }

void CDataCTypeSummary::OnNotify(CDataTableItem* item, CDataTableItem* subject, CUpdateNotification& note)
{
    // Only the name row matters here: the numbers come through the column walk.
    if (IsSourceNameChange(item, subject, note))
        ComputeValue(-1, item, TRUE);
}

void CDataCTypeSummary::Serialize(CArchive& ar)
{
    CDataColumnType::Serialize(ar);
    SerializeVersion(ar, 0);
    if (ar.IsStoring()) {
        ar << std::int32_t(m_source);
        return;
    }
    std::int32_t source = 0;
    ar >> source;
    m_source = source;
}
