#include "data/DataCTypePair.h"

#include "data/DataDouble.h"
#include "data/DataString.h"
#include "data/MyData.h"
#include "framework/ArchiveHelpers.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

IMPLEMENT_SERIAL(CDataCTypePair, CDataColumnType, VERSIONABLE_SCHEMA | 0)
IMPLEMENT_SERIAL(CDataCTypePairMinus, CDataCTypePair, VERSIONABLE_SCHEMA | 0)
IMPLEMENT_SERIAL(CDataCTypePairDiv, CDataCTypePair, VERSIONABLE_SCHEMA | 0)
IMPLEMENT_SERIAL(CDataCTypePairMult, CDataCTypePair, VERSIONABLE_SCHEMA | 0)

bool CDataCTypePair::Combine(double a, double b, double& value) const
{
    value = a + b;
    return true;
}

bool CDataCTypePairMinus::Combine(double a, double b, double& value) const
{
    value = a - b;
    return true;
}

bool CDataCTypePairMult::Combine(double a, double b, double& value) const
{
    value = a * b;
    return true;
}

bool CDataCTypePairDiv::Combine(double a, double b, double& value) const
{
    if (b == 0.0 || std::isnan(b))
        return false;
    value = a / b;
    return true;
}

void CDataCTypePair::ComputeValue(int row, CDataTableItem* item, BOOL updateViews)
{
    CMyData& table = item->GetTable();
    int last = table.GetLastRow(m_column);
    for (int source : {m_columnA, m_columnB})
        last = std::max(last, table.GetLastRow(source));
    const bool hasSources = m_columnA >= 0 && m_columnB >= 0;
    if (row != -1) {
        ComputeRows(row, item, updateViews, last, [&](int r) {
            table.DeleteCell(r, m_column);
            double a = 0.0, b = 0.0, value = 0.0;
            if (hasSources && table.GetNumber(r, m_columnA, a) && table.GetNumber(r, m_columnB, b)) {
                if (Combine(a, b, value))
                    table.SetNumber(r, m_column, value);
                else
                    table.SetCell(r, m_column, new CDataString(LoadString(IDS_ERROR_DIVIDE_BY_ZERO)));
            }
        });
        return;
    }
    // The whole column: A's and B's numbers are walked block by block a
    // slice at a time, and each slice's results go back as one run.
    constexpr std::int64_t kSlice = 8192;
    std::vector<double> a, b, values;
    std::vector<std::uint8_t> hasA, present;
    std::vector<int> failed;
    for (std::int64_t from = kFirstDataRow; from <= last; from += kSlice) {
        const int lo = int(from), hi = int(std::min<std::int64_t>(last, from + kSlice - 1));
        const std::size_t n = std::size_t(hi - lo) + 1;
        a.assign(n, 0.0);
        b.assign(n, 0.0);
        values.assign(n, 0.0);
        hasA.assign(n, 0);
        present.assign(n, 0);
        failed.clear();
        // As CMyData::GetNumber: text and blanks are no numbers.
        const CColData* colA = hasSources && m_columnA <= table.GetLastColumn() ? table.GetColumn(m_columnA) : nullptr;
        const CColData* colB = hasSources && m_columnB <= table.GetLastColumn() ? table.GetColumn(m_columnB) : nullptr;
        if (colA && colB) {
            colA->VisitNumbers(lo, hi, [&](int r, double v) {
                a[std::size_t(r - lo)] = v;
                hasA[std::size_t(r - lo)] = 1;
            });
            colB->VisitNumbers(lo, hi, [&](int r, double v) {
                b[std::size_t(r - lo)] = v;
                present[std::size_t(r - lo)] = hasA[std::size_t(r - lo)];
            });
        }
        for (std::size_t i = 0; i < n; ++i) {
            if (present[i] && !Combine(a[i], b[i], values[i])) {
                present[i] = 0;
                failed.push_back(lo + int(i));
            }
        }
        table.SetNumberRun(m_column, lo, values, present);
        for (int r : failed)
            table.SetCell(r, m_column, new CDataString(LoadString(IDS_ERROR_DIVIDE_BY_ZERO)));
    }
    FinishCompute(item, updateViews);
}

int CDataCTypePair::EditSettings(CDataTableItem* item) { return EditThenRecompute(item); }

UINT CDataCTypePair::SetColumns(CDataTableItem* item, int a, int b)
{
    for (int source : {a, b})
        if (UINT message = CheckSourceColumn(item, m_column, source))
            return message;
    m_columnA = a;
    m_columnB = b;
    return 0;
}

int CDataCTypePair::DependsOn(CDataTableItem* item, int column, CDataTableItem* ownItem, std::set<int>& walked) const
{
    if (item != ownItem)
        return 0;
    if (m_columnA == column || m_columnB == column)
        return 1;
    walked.insert(m_column);
    return SourceDependsOn(m_columnA, item, column, ownItem, walked)
        || SourceDependsOn(m_columnB, item, column, ownItem, walked) ? 1 : 0;
}

void CDataCTypePair::PropagateChange(CDataTableItem* changedItem, CDataTableItem* ownItem, int,
                                     std::vector<CDataColumnRef>& changes, std::map<int, int>& visited)
{
    std::vector<int> sources;
    for (int source : {m_columnA, m_columnB})
        if (source >= 0)
            sources.push_back(source);
    PropagateThroughSources(changedItem, ownItem, sources, changes, visited);
}

void CDataCTypePair::OnColumnsDeleted(CDataTableItem* item, CDataTableItem* ownItem, int first, int count)
{
    CDataColumnType::OnColumnsDeleted(item, ownItem, first, count);
    if (item != ownItem)
        return;
    bool removed = false;
    for (int* source : {&m_columnA, &m_columnB}) {
        if (*source >= first + count)
            *source -= count;
        else if (*source >= first) {
            *source = -1;
            removed = true;
        }
    }
    if (removed)
        ComputeValue(-1, item, FALSE);
}

void CDataCTypePair::OnColumnsInserted(CDataTableItem* item, CDataTableItem* ownItem, int first, int count)
{
    CDataColumnType::OnColumnsInserted(item, ownItem, first, count);
    if (item != ownItem)
        return;
    for (int* source : {&m_columnA, &m_columnB})
        if (*source >= first)
            *source += count;
}

void CDataCTypePair::Serialize(CArchive& ar)
{
    CDataColumnType::Serialize(ar);
    SerializeVersion(ar, 0);
    if (ar.IsStoring()) {
        ar << std::int32_t(m_columnA) << std::int32_t(m_columnB) << std::int32_t(m_captionId);
        return;
    }
    std::int32_t a = 0, b = 0, caption = 0;
    ar >> a >> b >> caption;
    m_columnA = a;
    m_columnB = b;
    m_captionId = caption;
}
