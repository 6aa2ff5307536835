#include "data/DataColumnTypeBasic.h"

#include "framework/ArchiveHelpers.h"

IMPLEMENT_SERIAL(CDataColumnTypeBasic, CDataColumnType, VERSIONABLE_SCHEMA | 0)

void CDataColumnTypeBasic::Serialize(CArchive& ar)
{
    CDataColumnType::Serialize(ar);
    SerializeVersion(ar, 0);
}
