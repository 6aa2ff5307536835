#include "app/MXEquation.h"

#include "framework/ArchiveHelpers.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"

IMPLEMENT_SERIAL(CMXEquation, CMXEquationBase, VERSIONABLE_SCHEMA | 1)

CMXEquation::CMXEquation() { m_strTypeText = LoadString(GetTypeTextID()); }

CMXEquation::CMXEquation(CProjectDocBase* document)
    : CMXEquationBase(document)
{
    m_strTypeText = LoadString(GetTypeTextID());
}

void CMXEquation::GetTypeName(std::string& out) const { out = LoadString(IDS_EQUATION_TYPE_NAME); }

bool CMXEquation::SetEquationName(const std::string& name)
{
    MakeUniqueName(name + "%1");
    UpdateListText();
    return true;
}

void CMXEquation::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        SerializeVersion(ar, 1);
        CMXEquationBase::Serialize(ar);
        m_equation.Serialize(ar);
        return;
    }
    int version = SerializeVersion(ar, 1);
    if (version >= 1) {
        CMXEquationBase::Serialize(ar);
        m_equation.Serialize(ar);
    } else {
        CMXProjectItem::Serialize(ar);
        m_equation.Serialize(ar);
        SerializeFontsAndIndents(ar);
    }
}
