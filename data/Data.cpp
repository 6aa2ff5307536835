#include "data/Data.h"

IMPLEMENT_SERIAL(CData, CObject, 1)

void CData::GetDisplayText(std::string&, const CDataFormat&) const {}
void CData::GetPlainText(std::string&) const {}
CData* CData::Clone() const { return new CData; }
void CData::Serialize(CArchive&) {}
