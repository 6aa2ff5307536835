#include "framework/SummaryInfo.h"

#include "platform/CodePage.h"
#include "platform/Exceptions.h"
#include "platform/Storage.h"

#include <charconv>
#include <chrono>
#include <ctime>

const FMTID FMTID_SummaryInformation = {0xF29F85E0, 0x4FF9, 0x1068, {0xAB, 0x91, 0x08, 0x00, 0x2B, 0x27, 0xB3, 0xD9}};

namespace {

// 100-nanosecond ticks from 1601-01-01 to 1970-01-01 (369 years with 89 leap days).
constexpr std::int64_t kUnixEpochTicks = 116444736000000000;
constexpr std::uint64_t kTicksPerMinute = 600000000;
// Texts are stored in the Western code page whatever the system's.
constexpr std::int16_t kCodePage = 1252;

std::uint64_t Ticks(const FILETIME& t) { return std::uint64_t(t.dwHighDateTime) << 32 | t.dwLowDateTime; }
FILETIME FromTicks(std::uint64_t ticks) { return {DWORD(ticks), DWORD(ticks >> 32)}; }

std::string Number(std::uint64_t v)
{
    char buf[24];
    auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

std::string TwoDigits(int v)
{
    std::string s = Number(std::uint64_t(v));
    return s.size() < 2 ? "0" + s : s;
}

// Local calendar time of a file time, and whether the time of day is exactly midnight.
bool LocalTime(const FILETIME& time, std::tm& out, bool& midnight)
{
    std::int64_t ticks = std::int64_t(Ticks(time) & 0x7FFFFFFFFFFFFFFF) - kUnixEpochTicks;
    std::int64_t seconds = ticks / 10000000;
    std::int64_t rest = ticks % 10000000;
    if (rest < 0) {
        rest += 10000000;
        --seconds;
    }
    std::time_t t = std::time_t(seconds);
    if (!::localtime_r(&t, &out))
        return false;
    midnight = out.tm_hour == 0 && out.tm_min == 0 && out.tm_sec == 0 && rest < 10000;
    return true;
}

std::string TimeOfDay(const std::tm& tm)
{
    int hour = tm.tm_hour % 12 == 0 ? 12 : tm.tm_hour % 12;
    return Number(std::uint64_t(hour)) + ":" + TwoDigits(tm.tm_min) + ":" + TwoDigits(tm.tm_sec)
        + (tm.tm_hour < 12 ? " AM" : " PM");
}

} // namespace

CSummaryInfo::CSummaryInfo()
{
    m_store.SetClassId(FMTID_SummaryInformation);
    m_section = m_store.AddSection(FMTID_SummaryInformation);
    const FILETIME zero;
    const LONG none = 0;
    m_section->Set(PIDSI_CODEPAGE, &kCodePage, VT_I2);
    for (DWORD id : {PIDSI_TITLE, PIDSI_SUBJECT, PIDSI_AUTHOR, PIDSI_KEYWORDS, PIDSI_COMMENTS, PIDSI_TEMPLATE,
                     PIDSI_LASTAUTHOR})
        m_section->Set(id, "", VT_LPSTR);
    m_section->Set(PIDSI_REVNUMBER, "0", VT_LPSTR);
    for (DWORD id : {PIDSI_EDITTIME, PIDSI_LASTPRINTED, PIDSI_LASTSAVE_DTM, PIDSI_CREATE_DTM})
        m_section->Set(id, &zero, VT_FILETIME);
    for (DWORD id : {PIDSI_PAGECOUNT, PIDSI_WORDCOUNT, PIDSI_CHARCOUNT})
        m_section->Set(id, &none, VT_I4);
    m_section->Set(PIDSI_APPNAME, "", VT_LPSTR);
    m_section->Set(PIDSI_SECURITY, &none, VT_I4);
    // Editing starts with the document: a timer left at zero would count from 1601.
    m_startEdit = CSummaryInfo::GetCurrentFileTime();
}

FILETIME CSummaryInfo::GetCurrentFileTime() const
{
    auto since = std::chrono::duration_cast<std::chrono::nanoseconds>(
                     std::chrono::system_clock::now().time_since_epoch())
                     .count();
    return FromTicks(std::uint64_t(std::int64_t(since / 100) + kUnixEpochTicks));
}

void CSummaryInfo::SetText(DWORD id, std::string_view text)
{
    std::string bytes = Utf8ToCp1252(text);
    m_section->Set(id, bytes.c_str(), VT_LPSTR);
}

std::string CSummaryInfo::GetText(DWORD id) const
{
    const CPropertyStoreValue* v = m_section->GetValue(id);
    if (!v)
        return {};
    std::size_t size = 0;
    const BYTE* data = v->Get(&size);
    if (!data)
        return {};
    if (v->GetType() == VT_LPSTR || v->GetType() == VT_BSTR) {
        std::string_view bytes(reinterpret_cast<const char*>(data), size);
        return Cp1252ToUtf8(bytes.substr(0, bytes.find('\0')));
    }
    if (v->GetType() == VT_LPWSTR) {
        std::u16string text;
        for (std::size_t i = 0; i + 1 < size; i += 2) {
            char16_t c = char16_t(data[i] | data[i + 1] << 8);
            if (c == 0)
                break;
            text += c;
        }
        return Utf16ToUtf8(text);
    }
    return {};
}

void CSummaryInfo::SetLong(DWORD id, LONG value) { m_section->Set(id, &value, VT_I4); }

std::string CSummaryInfo::GetLong(DWORD id) const
{
    const CPropertyStoreValue* v = m_section->GetValue(id);
    if (!v || v->GetType() != VT_I4 || v->GetBlock().size() != 4)
        return {};
    const std::vector<BYTE>& b = v->GetBlock();
    return Number(DWORD(b[0]) | DWORD(b[1]) << 8 | DWORD(b[2]) << 16 | DWORD(b[3]) << 24);
}

void CSummaryInfo::SetTime(DWORD id, const FILETIME& time)
{
    BYTE bytes[8];
    std::uint64_t ticks = Ticks(time);
    for (int i = 0; i < 8; ++i)
        bytes[i] = BYTE(ticks >> (8 * i));
    m_section->Set(id, bytes, VT_FILETIME);
}

FILETIME CSummaryInfo::GetTime(DWORD id) const
{
    const CPropertyStoreValue* v = m_section->GetValue(id);
    if (!v || v->GetType() != VT_FILETIME || v->GetBlock().size() != 8)
        return {};
    std::uint64_t ticks = 0;
    for (int i = 7; i >= 0; --i)
        ticks = ticks << 8 | v->GetBlock()[std::size_t(i)];
    return FromTicks(ticks);
}

std::string CSummaryInfo::GetDate(DWORD id) const
{
    FILETIME t = GetTime(id);
    if (Ticks(t) == 0)
        return {};
    return FormatDateTime(&t);
}

void CSummaryInfo::IncrementRevision()
{
    std::string text = GetRevision();
    DWORD revision = 0;
    auto r = std::from_chars(text.data(), text.data() + text.size(), revision);
    if (r.ec != std::errc())
        revision = 0;
    SetText(PIDSI_REVNUMBER, Number(DWORD(revision + 1)));
}

void CSummaryInfo::AddEditTime()
{
    std::uint64_t now = Ticks(GetCurrentFileTime());
    std::uint64_t start = Ticks(m_startEdit);
    std::uint64_t elapsed = now > start ? now - start : 0;
    SetTime(PIDSI_EDITTIME, FromTicks(Ticks(GetTime(PIDSI_EDITTIME)) + elapsed));
}

std::string CSummaryInfo::GetEditingTime() const
{
    std::uint64_t now = Ticks(GetCurrentFileTime());
    std::uint64_t start = Ticks(m_startEdit);
    std::uint64_t total = Ticks(GetTime(PIDSI_EDITTIME)) + (now > start ? now - start : 0);
    return Number(total / kTicksPerMinute) + " min";
}

bool CSummaryInfo::SaveToStorage(CStorage& storage)
{
    std::vector<BYTE> bytes = m_store.ToBytes();
    try {
        auto stream = storage.CreateStream(kStreamName);
        stream->Write(bytes.data(), bytes.size());
        return true;
    } catch (const CException&) {
        return false;
    }
}

bool CSummaryInfo::LoadFromStorage(CStorage& storage)
{
    auto stream = storage.OpenStream(kStreamName);
    if (!stream)
        return false;
    CPropertyStore store;
    if (!store.ReadFromStream(*stream) || !store.GetSection(FMTID_SummaryInformation))
        return false;
    m_store = std::move(store);
    m_section = m_store.GetSection(FMTID_SummaryInformation);
    return true;
}

std::string CSummaryInfo::FormatFileTime(const FILETIME* time)
{
    static const char* const kDays[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
    static const char* const kMonths[] = {"January", "February", "March", "April", "May", "June", "July",
                                          "August", "September", "October", "November", "December"};
    std::tm tm {};
    bool midnight = false;
    if (!time || !LocalTime(*time, tm, midnight))
        return {};
    std::string out = std::string(kDays[tm.tm_wday % 7]) + ", " + kMonths[tm.tm_mon % 12] + " "
        + Number(std::uint64_t(tm.tm_mday)) + ", " + Number(std::uint64_t(tm.tm_year + 1900));
    if (!midnight)
        out += " " + TimeOfDay(tm);
    return out;
}

std::string CSummaryInfo::FormatDateTime(const FILETIME* time)
{
    std::tm tm {};
    bool midnight = false;
    if (!time || !LocalTime(*time, tm, midnight))
        return {};
    std::string out = Number(std::uint64_t(tm.tm_mon + 1)) + "/" + Number(std::uint64_t(tm.tm_mday)) + "/"
        + Number(std::uint64_t(tm.tm_year + 1900));
    if (!midnight)
        out += " " + TimeOfDay(tm);
    return out;
}
