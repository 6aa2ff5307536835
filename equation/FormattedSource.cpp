#include "equation/FormattedSource.h"

#include "framework/ArchiveHelpers.h"
#include "platform/Archive.h"

#include <cstdint>

void CFormattedSource::Serialize(CArchive& ar)
{
    SerializeVersion(ar, 0);
    if (ar.IsStoring()) {
        ar << std::int32_t(m_bHasText ? 1 : 0);
        if (m_bHasText) {
            ar << std::int32_t(m_rtf.size());
            ar.Write(m_rtf.data(), m_rtf.size());
        }
        return;
    }
    std::int32_t flag = 0;
    ar >> flag;
    m_rtf.clear();
    m_bHasText = flag != 0;
    if (!m_bHasText)
        return;
    std::int32_t n = 0;
    ar >> n;
    if (n < 0)
        ThrowArchiveError(CArchiveException::genericException, "negative text length");
    ar.CheckRemaining(std::uint64_t(n));
    m_rtf.resize(std::size_t(n));
    ar.ReadExact(m_rtf.data(), m_rtf.size());
}
