#include "grid/widgets/ConstGrid.h"

#include "equation/EquationBase.h"
#include "framework/ArchiveHelpers.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"

bool CConstGrid::Attach(CConstGridSource* source, QWidget* dialog, int placeholderId)
{
    m_pSource = source;
    if (!CreateInDialog(dialog, placeholderId, QRect()))
        return false;
    Refresh();
    FitColumns();
    return true;
}

int CConstGrid::GetEntryCount() const
{
    const CEquationBase* equation = m_pSource ? m_pSource->GetEquation() : nullptr;
    return equation ? equation->GetConstantCount() : 0;
}

std::string CConstGrid::GetEntryName(int index) const
{
    const CEquationBase* equation = m_pSource ? m_pSource->GetEquation() : nullptr;
    return equation ? equation->GetConstantName(index) : std::string();
}

std::string CConstGrid::GetNameCaption() const { return LoadString(IDS_CONSTANT); }
std::string CConstGrid::GetValueCaption() const { return LoadString(IDS_CONSTANT_VALUE); }

double CConstGrid::GetValue(int index) const { return m_pSource ? m_pSource->GetConstant(index) : BlankValue(); }

void CConstGrid::SetValue(int index, double value)
{
    if (m_pSource)
        m_pSource->SetConstant(index, value);
}

void CConstGrid::OnValueChanged(int)
{
    if (m_pSource)
        m_pSource->OnConstantsChanged();
}
