#include "framework/MyIntVector.h"

IMPLEMENT_SERIAL(CMyIntVector, CObject, VERSIONABLE_SCHEMA | 0)

void CMyIntVector::Serialize(CArchive& ar) { SerializeGrowArray(ar, m_values); }
