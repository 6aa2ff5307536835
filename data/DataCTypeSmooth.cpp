#include "data/DataCTypeSmooth.h"

#include "data/DataDouble.h"
#include "data/DataString.h"
#include "data/MyData.h"
#include "data/SavitzkyGolay.h"
#include "framework/MyVector.h"
#include "framework/ArchiveHelpers.h"
#include "platform/Archive.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"

IMPLEMENT_SERIAL(CDataCTypeSmooth, CDataCTypeOneSource, VERSIONABLE_SCHEMA | 0)
IMPLEMENT_SERIAL(CDataCTypeDeriv, CDataCTypeSmooth, VERSIONABLE_SCHEMA | 0)

void CDataCTypeSmooth::SetFilter(int windowWidth, int orderIndex)
{
    m_window = windowWidth;
    m_orderIndex = orderIndex;
    // A window the filter cannot be made for leaves an empty matrix, which smooths to 0.0.
    SavitzkyGolayCoefficients(m_matrix, m_window, GetDerivativeOrder(), 2 * m_orderIndex);
}

void CDataCTypeSmooth::ComputeValue(int, CDataTableItem* item, BOOL updateViews)
{
    ClearOwnRows(item);
    CMyData& table = item->GetTable();
    UINT status = m_source < 0 ? IDS_NONE_SELECTED : 0;
    if (!status) {
        CMyVector values;
        std::vector<int> rows;
        for (int r = kFirstDataRow; r <= table.GetLastRow(m_source); ++r) {
            double v = 0.0;
            if (table.GetNumber(r, m_source, v)) {
                values.Add(v);
                rows.push_back(r);
            }
        }
        const int n = values.GetSize();
        if (n < m_window) {
            status = IDS_TOO_FEW_POINTS;
        } else {
            CMyVector results(n);
            for (int i = 0; i < n; ++i)
                if (!SavitzkyGolayApply(m_matrix, values, results, i, GetDerivativeOrder()))
                    results[i] = 0.0;
            for (int i = 0; i < n; ++i)
                table.SetCell(rows[std::size_t(i)], m_column, new CDataDouble(results[i]));
        }
    }
    if (status)
        table.SetCell(kFirstDataRow, m_column, new CDataString(LoadString(status)));
    FinishCompute(item, updateViews);
}

int CDataCTypeSmooth::EditSettings(CDataTableItem* item)
{
    if (CColumnSettingsEditor* editor = GetColumnSettingsEditor())
        if (!editor->Edit(*this, item))
            return 0;
    SetFilter(m_window, m_orderIndex);
    ComputeValue(-1, item, TRUE);
    return 1;
}

void CDataCTypeSmooth::Serialize(CArchive& ar)
{
    CDataColumnType::Serialize(ar);
    SerializeVersion(ar, 0);
    m_matrix.Serialize(ar);
    if (ar.IsStoring()) {
        ar << std::int32_t(m_source) << std::int32_t(m_orderIndex) << std::int32_t(m_window);
        return;
    }
    std::int32_t source = 0, order = 0, window = 0;
    ar >> source >> order >> window;
    m_source = source;
    m_orderIndex = order;
    m_window = window;
}

void CDataCTypeDeriv::Serialize(CArchive& ar)
{
    CDataCTypeSmooth::Serialize(ar);
    SerializeVersion(ar, 0);
    if (ar.IsStoring()) {
        ar << std::int32_t(m_derivative);
        return;
    }
    std::int32_t order = 0;
    ar >> order;
    m_derivative = order;
}
