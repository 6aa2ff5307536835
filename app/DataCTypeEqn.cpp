#include "app/DataCTypeEqn.h"

#include "app/MXEquationBase.h"
#include "app/ResultColumnLookup.h"
#include "data/DataDouble.h"
#include "data/MyData.h"
#include "equation/EquationBase.h"
#include "framework/UpdateNotification.h"
#include "framework/ArchiveHelpers.h"
#include "platform/Archive.h"

#include <algorithm>

IMPLEMENT_SERIAL(CDataCTypeEqn, CDataColumnType, VERSIONABLE_SCHEMA | 0)
IMPLEMENT_SERIAL(CDataCTypeParameters, CDataCTypeEqn, VERSIONABLE_SCHEMA | 0)
IMPLEMENT_SERIAL(CDataCTypeConstants, CDataCTypeEqn, VERSIONABLE_SCHEMA | 0)

CMXEquationBase* CDataCTypeEqn::GetEquationItem(CDataTableItem* item) const
{
    if (m_strEquation.empty())
        return nullptr;
    CMXDoc* doc = WorkspaceOf(item);
    auto* eq = doc ? dynamic_cast<CMXEquationBase*>(doc->FindItem(m_strEquation)) : nullptr;
    return eq && eq->GetEquation() && eq->GetEquation()->IsValid() ? eq : nullptr;
}

void CDataCTypeEqn::ComputeValue(int, CDataTableItem* item, BOOL updateViews)
{
    m_pItem = item;
    CMyData& table = item->GetTable();
    CMXEquationBase* eq = GetEquationItem(item);
    const int count = eq ? GetValueCount(*eq) : 0;
    int last = table.GetLastRow(m_column);
    if (eq)
        last = std::max(last, count + 1);
    for (int r = kFirstDataRow; r <= last; ++r) {
        CDataDouble scratch;
        const bool present = table.PeekCell(r, m_column, scratch) != nullptr;
        double v = 0.0;
        if (!table.GetNumber(r, m_column, v))
            v = 0.0;
        table.DeleteCell(r, m_column);
        if (eq && r - kFirstDataRow < count) {
            std::string name;
            GetValueName(*eq, r - kFirstDataRow, name);
            table.SetCell(r, m_column, new CDataDoubleDescriptor(name, v));
        } else if (eq || present) {
            // Rows past the equation's names keep plain numbers; without an
            // equation only rows that held a cell get one back.
            table.SetCell(r, m_column, new CDataDouble(v));
        }
    }
    FinishCompute(item, updateViews);
}

CData* CDataCTypeEqn::MakeDataFromText(int row, std::string_view text)
{
    CMXEquationBase* eq = m_pItem ? GetEquationItem(m_pItem) : nullptr;
    if (eq && row - kFirstDataRow >= 0 && row - kFirstDataRow < GetValueCount(*eq)) {
        CData* typed = MakeDataFromString(text);
        double v = 0.0;
        if (typed && typed->GetKind() == CData::kNumber)
            v = static_cast<CDataDouble*>(typed)->GetValue();
        delete typed;
        std::string name;
        GetValueName(*eq, row - kFirstDataRow, name);
        return new CDataDoubleDescriptor(name, v);
    }
    return CDataColumnType::MakeDataFromText(row, text);
}

int CDataCTypeEqn::EditSettings(CDataTableItem* item) { return EditThenRecompute(item); }

void CDataCTypeEqn::OnNotify(CDataTableItem* item, CDataTableItem*, CUpdateNotification& note)
{
    switch (note.kind) {
    case UN_ITEM_RENAMED:
        if (!m_strEquation.empty() && m_strEquation == note.oldName)
            m_strEquation = note.newName;
        return;
    case UN_ITEM_REMOVING:
        if (!m_strEquation.empty() && m_strEquation == note.oldName) {
            m_strEquation.clear();
            ComputeValue(-1, item, TRUE);
        }
        return;
    case UN_EQUATION_CHANGED:
        if (note.item && !m_strEquation.empty() && note.item->GetName() == m_strEquation)
            ComputeValue(-1, item, TRUE);
        return;
    default:
        return;
    }
}

std::vector<std::string> CDataCTypeEqn::GetLinks() const
{
    return m_strEquation.empty() ? std::vector<std::string>() : std::vector<std::string>{m_strEquation};
}

void CDataCTypeEqn::RestoreLinks(CDataTableItem* item, const std::vector<std::string>& links)
{
    if (!m_strEquation.empty() || links.empty())
        return;
    m_strEquation = links.front();
    ComputeValue(-1, item, TRUE);
}

void CDataCTypeEqn::Serialize(CArchive& ar)
{
    CDataColumnType::Serialize(ar);
    SerializeVersion(ar, 0);
    if (ar.IsStoring())
        ar << m_strEquation;
    else
        ar >> m_strEquation;
}

int CDataCTypeParameters::GetValueCount(CMXEquationBase& equation) const
{
    return equation.GetEquation() ? equation.GetEquation()->GetParameterCount() : 0;
}

void CDataCTypeParameters::GetValueName(CMXEquationBase& equation, int index, std::string& name) const
{
    name = equation.GetEquation() ? equation.GetEquation()->GetParameterName(index) : std::string();
}

int CDataCTypeConstants::GetValueCount(CMXEquationBase& equation) const
{
    return equation.GetEquation() ? equation.GetEquation()->GetConstantCount() : 0;
}

void CDataCTypeConstants::GetValueName(CMXEquationBase& equation, int index, std::string& name) const
{
    name = equation.GetEquation() ? equation.GetEquation()->GetConstantName(index) : std::string();
}
