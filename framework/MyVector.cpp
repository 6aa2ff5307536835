#include "framework/MyVector.h"

IMPLEMENT_SERIAL(CMyVector, CObject, VERSIONABLE_SCHEMA | 0)

void CMyVector::Serialize(CArchive& ar) { SerializeGrowArray(ar, m_values); }
