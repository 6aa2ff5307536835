#include "app/MXHardEquation.h"

#include "framework/ArchiveHelpers.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"

IMPLEMENT_SERIAL(CMXHardEquation, CMXEquationBase, VERSIONABLE_SCHEMA | 0)

CMXHardEquation::CMXHardEquation() { m_strTypeText = LoadString(GetTypeTextID()); }

CMXHardEquation::CMXHardEquation(CProjectDocBase* document)
    : CMXEquationBase(document)
{
    m_strTypeText = LoadString(GetTypeTextID());
}

void CMXHardEquation::GetTypeName(std::string& out) const { out = LoadString(IDS_HARD_EQUATION_TYPE_NAME); }

void CMXHardEquation::Serialize(CArchive& ar)
{
    SerializeVersion(ar, 0);
    CMXEquationBase::Serialize(ar);
    m_equation.Serialize(ar);
}
