#include "grid/widgets/CurvevalueGrid.h"

#include "framework/ArchiveHelpers.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"

int CCurvevalueGrid::GetEntryCount() const { return m_pPage ? std::max(0, m_pPage->GetValueCount()) : 0; }

std::string CCurvevalueGrid::GetEntryName(int index) const
{
    return m_pPage ? m_pPage->GetValueName(index) : std::string();
}

std::string CCurvevalueGrid::GetNameCaption() const { return m_pPage ? m_pPage->GetNameCaption() : std::string(); }
std::string CCurvevalueGrid::GetValueCaption() const { return LoadString(IDS_CURVE_VALUE); }

double CCurvevalueGrid::GetValue(int index) const
{
    if (!m_pPage || index < 0 || index >= int(m_pPage->GetValues().size()))
        return BlankValue();
    return m_pPage->GetValues()[std::size_t(index)];
}

void CCurvevalueGrid::SetValue(int index, double value)
{
    if (!m_pPage || index < 0)
        return;
    std::vector<double>& values = m_pPage->GetValues();
    if (int(values.size()) <= index)
        values.resize(std::size_t(index) + 1, BlankValue());
    values[std::size_t(index)] = value;
}

void CCurvevalueGrid::OnValueChanged(int)
{
    if (m_pPage)
        m_pPage->MarkModified();
}
