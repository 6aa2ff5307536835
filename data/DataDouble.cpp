#include "data/DataDouble.h"

#include "data/DataFormat.h"
#include "data/NumberText.h"
#include "framework/ArchiveHelpers.h"
#include "platform/StringTable.h"

IMPLEMENT_SERIAL(CDataDouble, CData, VERSIONABLE_SCHEMA | 0)
IMPLEMENT_SERIAL(CDataDoubleDescriptor, CDataDouble, VERSIONABLE_SCHEMA | 0)

void CDataDouble::GetDisplayText(std::string& out, const CDataFormat& format) const
{
    format.FormatNumber(out, m_value);
}

void CDataDouble::GetPlainText(std::string& out) const { out = ShortestNumberText(m_value); }

void CDataDouble::Serialize(CArchive& ar)
{
    SerializeVersion(ar, 0);
    if (ar.IsStoring())
        ar << m_value;
    else
        ar >> m_value;
}

CDataDoubleDescriptor::CDataDoubleDescriptor(UINT descriptorId, double value)
    : CDataDouble(value), m_descriptor(LoadString(descriptorId))
{
}

int CDataDoubleDescriptor::GetDescriptor(std::string& out) const
{
    out = m_descriptor;
    return 1;
}

void CDataDoubleDescriptor::Serialize(CArchive& ar)
{
    SerializeVersion(ar, 0);
    CDataDouble::Serialize(ar);
    if (ar.IsStoring())
        ar << m_descriptor;
    else
        ar >> m_descriptor;
}
