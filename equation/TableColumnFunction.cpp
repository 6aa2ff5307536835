#include "equation/TableColumnFunction.h"

#include "data/DataCTypeX2.h"
#include "data/DataTableItem.h"
#include "data/MyData.h"
#include "equation/MyError.h"

namespace {

constexpr const char* kResultName = "Result";

// Installs the factory when the library is loaded.
const struct FactoryRegistration {
    FactoryRegistration() { SetColumnFunctionFactory(&CreateTableColumnFunction); }
} g_registration;

} // namespace

std::unique_ptr<CColumnFunction> CreateTableColumnFunction() { return std::make_unique<CTableColumnFunction>(); }

CTableColumnFunction::CTableColumnFunction()
{
    m_equation.SetYName(kResultName);
    m_equation.SetModeFlag(1);
}

CTableColumnFunction::CTableColumnFunction(const CTableColumnFunction& other) : CColumnFunction(other)
{
    m_equation.Assign(other.m_equation);
    m_pItem = other.m_pItem;
    // The copy reads the table through itself, not through the original.
    m_equation.SetTable(m_pItem ? this : nullptr);
}

std::unique_ptr<CColumnFunction> CTableColumnFunction::Clone() const
{
    return std::make_unique<CTableColumnFunction>(*this);
}

bool CTableColumnFunction::SetText(const std::string& text)
{
    m_equation.SetYName(kResultName);
    m_equation.SetSource(text);
    try {
        m_equation.Compile();
    } catch (const CParseErr&) {
        return false;
    }
    m_equation.ResizeValues();
    return m_equation.IsValid();
}

void CTableColumnFunction::ResetValues()
{
    // Locals and the result start from zero again, as for a new table.
    m_equation.ResizeValues();
    m_equation.ResetRunValues();
}

void CTableColumnFunction::SetContext(CDataTableItem* item, int column1)
{
    m_pItem = item;
    m_equation.SetTable(item ? this : nullptr);
    m_equation.SetColumn(column1);
}

CColumnFunction::Result CTableColumnFunction::Calculate(double& value, std::string& errorText)
{
    try {
        value = m_equation.Calculate();
        return kValue;
    } catch (const CBlankError&) {
        return kBlank;
    } catch (const CMyError& error) {
        error.GetShortMessage(errorText);
        return kError;
    }
}

void CTableColumnFunction::Serialize(CArchive& ar)
{
    m_equation.Serialize(ar);
}

bool CTableColumnFunction::CellNumber(int column, int row, double& value) const
{
    if (!m_pItem || column < 0 || row < 0)
        return false;
    return m_pItem->GetTable().GetNumber(row, column, value);
}

bool CTableColumnFunction::AssociatedX(int column, double& value) const
{
    if (!m_pItem || column < 0)
        return false;
    auto* x2 = dynamic_cast<CDataCTypeX2*>(m_pItem->GetTable().GetColumnType(column));
    if (!x2)
        return false;
    value = x2->m_x[0];
    return true;
}
