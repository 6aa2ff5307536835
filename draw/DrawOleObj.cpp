#include "draw/DrawOleObj.h"

#include "framework/ArchiveHelpers.h"
#include "platform/Archive.h"
#include "platform/Reporter.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"

#include <exception>
#include <memory>
#include <string>

IMPLEMENT_SERIAL(CDrawOleObj, CDrawObj, 0)
IMPLEMENT_SERIAL(CDrawItem, CObject, 0)

namespace {
int s_skipped = 0;
int s_reports = 0;
} // namespace

void CDrawOleObj::Serialize(CArchive& ar)
{
    if (ar.IsStoring())
        ThrowArchiveError(CArchiveException::genericException, "embedded objects cannot be stored");
    CDrawObj::Serialize(ar);
    SerializeVersion(ar, 0);
    std::int32_t cx = 0, cy = 0;
    ar >> cx >> cy;
    bool isNew = false;
    std::unique_ptr<CObject> item(ar.ReadObject(RUNTIME_CLASS(CDrawItem), isNew));
    if (!isNew)
        item.release(); // a reference to an item read before belongs to nobody here
    double xScale = 1.0, yScale = 1.0;
    ar >> xScale >> yScale;
}

void CDrawItem::Serialize(CArchive& ar)
{
    if (ar.IsStoring())
        ThrowArchiveError(CArchiveException::genericException, "embedded objects cannot be stored");
    std::uint32_t number = 0, aspect = 0, bytes = 0;
    ar >> number >> aspect >> bytes;
    ar.CheckRemaining(bytes);
    std::vector<BYTE> skipped(std::min<std::uint32_t>(bytes, 65536));
    while (bytes > 0) {
        const std::uint32_t chunk = std::min<std::uint32_t>(bytes, std::uint32_t(skipped.size()));
        ar.ReadExact(skipped.data(), chunk);
        bytes -= chunk;
    }
    SerializeVersion(ar, 0);
}

COleObjectSkips::COleObjectSkips() : m_uncaught(std::uncaught_exceptions())
{
    if (s_reports++ == 0)
        s_skipped = 0;
}

COleObjectSkips::~COleObjectSkips()
{
    if (--s_reports > 0)
        return;
    const int skipped = s_skipped;
    s_skipped = 0;
    if (skipped == 0 || std::uncaught_exceptions() > m_uncaught)
        return;
    if (skipped == 1)
        ReportMessage(IDS_OLE_OBJECT_SKIPPED, {}, MB_OK | MB_ICONINFORMATION);
    else
        ReportMessage(IDS_OLE_OBJECTS_SKIPPED, {std::to_string(skipped)}, MB_OK | MB_ICONINFORMATION);
}

void COleObjectSkips::Note() { ++s_skipped; }

int COleObjectSkips::Count(bool reset)
{
    const int n = s_skipped;
    if (reset)
        s_skipped = 0;
    return n;
}
