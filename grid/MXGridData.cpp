#include "grid/MXGridData.h"

#include "framework/ArchiveHelpers.h"
#include "platform/Archive.h"

IMPLEMENT_SERIAL(CMXGridData, CGridData, VERSIONABLE_SCHEMA | 0)

void CMXGridData::Serialize(CArchive& ar)
{
    SerializeVersion(ar, 0);
    CGridData::Serialize(ar);
}
