#include "data/DataString.h"

#include "framework/ArchiveHelpers.h"

IMPLEMENT_SERIAL(CDataString, CData, VERSIONABLE_SCHEMA | 0)
IMPLEMENT_SERIAL(CDataStringDescriptor, CDataString, VERSIONABLE_SCHEMA | 0)

void CDataString::GetDisplayText(std::string& out, const CDataFormat&) const
{
    if (!m_text.empty() && m_text[0] == '\'')
        out = m_text.substr(1);
    else
        out = m_text;
}

void CDataString::Serialize(CArchive& ar)
{
    SerializeVersion(ar, 0);
    if (ar.IsStoring())
        ar << m_text;
    else
        ar >> m_text;
}

int CDataStringDescriptor::GetDescriptor(std::string& out) const
{
    out = m_descriptor;
    return 1;
}

void CDataStringDescriptor::Serialize(CArchive& ar)
{
    SerializeVersion(ar, 0);
    CDataString::Serialize(ar);
    if (ar.IsStoring())
        ar << m_descriptor;
    else
        ar >> m_descriptor;
}
