#include "data/DataCTypeCalcFunction.h"

#include "data/DataDouble.h"
#include "data/DataString.h"
#include "data/MyData.h"
#include "framework/ArchiveHelpers.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"

#include <algorithm>

IMPLEMENT_SERIAL(CDataCTypeCalcFunction, CDataCTypeMultiColumnBase, VERSIONABLE_SCHEMA | 0)

namespace {
ColumnFunctionFactory g_factory = nullptr;
} // namespace

ColumnFunctionFactory SetColumnFunctionFactory(ColumnFunctionFactory factory)
{
    ColumnFunctionFactory previous = g_factory;
    g_factory = factory;
    return previous;
}

std::unique_ptr<CColumnFunction> CreateColumnFunction() { return g_factory ? g_factory() : nullptr; }

CDataCTypeCalcFunction::CDataCTypeCalcFunction(int column)
    : CDataCTypeMultiColumnBase(kTypeCalculated, column), m_function(CreateColumnFunction())
{
}

CDataCTypeCalcFunction::CDataCTypeCalcFunction(const CDataCTypeCalcFunction& other)
    : CDataCTypeMultiColumnBase(other), m_rowCountMode(other.m_rowCountMode),
      m_rowCountColumn(other.m_rowCountColumn), m_rows(other.m_rows),
      m_function(other.m_function ? other.m_function->Clone() : nullptr)
{
}

CDataCTypeCalcFunction::~CDataCTypeCalcFunction() = default;

void CDataCTypeCalcFunction::ComputeValue(int, CDataTableItem* item, BOOL updateViews)
{
    CMyData& table = item->GetTable();
    int lastToCompute = m_rowCountMode == kRowsOfColumn
        ? table.GetLastRow(m_rowCountColumn)
        : LimitComputedRows(m_rows) + kFirstDataRow - 1;
    lastToCompute = std::min(lastToCompute, kMaxTableRows + kFirstDataRow - 1);
    if (m_function) {
        m_function->ResetValues();
        m_function->SetContext(item, m_column + 1);
    }
    const bool valid = m_function && m_function->IsValid();
    const int end = std::max(table.GetLastRow(m_column), lastToCompute);
    for (int r = kFirstDataRow; r <= end; ++r) {
        table.DeleteCell(r, m_column);
        if (r > lastToCompute)
            continue;
        if (!valid) {
            table.SetCell(r, m_column, new CDataString(LoadString(IDS_ERROR_BAD_EQUATION)));
            continue;
        }
        m_function->SetDataRow(r - 1);
        double value = 0.0;
        std::string error;
        switch (m_function->Calculate(value, error)) {
        case CColumnFunction::kValue:
            table.SetNumber(r, m_column, value);
            break;
        case CColumnFunction::kBlank:
            m_function->ResetValues();
            break;
        case CColumnFunction::kError:
            table.SetCell(r, m_column, new CDataString(error));
            m_function->ResetValues();
            break;
        }
    }
    FinishCompute(item, updateViews);
}

int CDataCTypeCalcFunction::EditSettings(CDataTableItem* item) { return EditThenRecompute(item); }

void CDataCTypeCalcFunction::Serialize(CArchive& ar)
{
    CDataCTypeMultiColumnBase::Serialize(ar);
    SerializeVersion(ar, 0);
    if (ar.IsLoading() && !m_function)
        m_function = CreateColumnFunction();
    if (!m_function)
        ThrowArchiveError(CArchiveException::badClass, "calculated columns need the equation language");
    m_function->Serialize(ar);
    if (ar.IsStoring()) {
        ar << std::int32_t(m_rowCountMode) << std::int32_t(m_rowCountColumn) << std::int32_t(m_rows);
        return;
    }
    std::int32_t mode = 0, column = 0, rows = 0;
    ar >> mode >> column >> rows;
    m_rowCountMode = mode;
    m_rowCountColumn = column;
    m_rows = rows;
}
