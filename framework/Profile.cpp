#include "framework/Profile.h"

#include "platform/StringIds.h"
#include "platform/StringTable.h"

#include <charconv>
#include <mutex>

namespace {

// String 108 holds the maker's name, the key that the program's settings sit under.

struct Names {
    std::mutex mutex;
    std::string registryKey;
    std::string profileName;
};

Names& ProfileNames()
{
    static Names names;
    return names;
}

} // namespace

CProfile::CProfile(HKEY root) : m_access(std::move(root)) {}

CProfile& CProfile::User()
{
    static CProfile profile(HKEY_CURRENT_USER);
    return profile;
}

CProfile& CProfile::Machine()
{
    static CProfile profile(HKEY_LOCAL_MACHINE);
    return profile;
}

void CProfile::SetRegistryKey(std::string key)
{
    Names& n = ProfileNames();
    std::lock_guard lock(n.mutex);
    n.registryKey = std::move(key);
}

std::string CProfile::GetRegistryKey()
{
    Names& n = ProfileNames();
    std::lock_guard lock(n.mutex);
    return n.registryKey.empty() ? LoadString(IDS_MAKER_NAME) : n.registryKey;
}

void CProfile::SetProfileName(std::string name)
{
    Names& n = ProfileNames();
    std::lock_guard lock(n.mutex);
    n.profileName = std::move(name);
}

std::string CProfile::GetProfileName()
{
    Names& n = ProfileNames();
    std::lock_guard lock(n.mutex);
    return n.profileName.empty() ? GetAppName() : n.profileName;
}

std::string CProfile::SectionPath(std::string_view section)
{
    std::string path = "Software\\" + GetRegistryKey() + '\\' + GetProfileName();
    if (!section.empty()) {
        path += '\\';
        path += section;
    }
    return path;
}

std::string CProfile::GetString(std::string_view section, std::string_view entry,
                                std::string_view defaultValue) const
{
    std::string text;
    if (m_access.ReadString(SectionPath(section).c_str(), std::string(entry).c_str(), text))
        return text;
    return std::string(defaultValue);
}

int CProfile::GetInt(std::string_view section, std::string_view entry, int defaultValue) const
{
    CRegistryValue value;
    if (!m_access.Read(SectionPath(section).c_str(), std::string(entry).c_str(), value))
        return defaultValue;
    DWORD number = 0;
    if (value.GetDWORD(number))
        return int(number);
    std::string text;
    if (value.GetString(text)) {
        std::string_view t = text;
        while (!t.empty() && (t.front() == ' ' || t.front() == '\t'))
            t.remove_prefix(1);
        while (!t.empty() && (t.back() == ' ' || t.back() == '\t'))
            t.remove_suffix(1);
        const char* first = t.data();
        if (!t.empty() && t.front() == '+')
            ++first;
        int parsed = 0;
        auto result = std::from_chars(first, t.data() + t.size(), parsed);
        if (!t.empty() && result.ec == std::errc() && result.ptr == t.data() + t.size())
            return parsed;
    }
    return defaultValue;
}

bool CProfile::GetBinary(std::string_view section, std::string_view entry, std::vector<BYTE>& data) const
{
    return m_access.ReadGlobal(SectionPath(section).c_str(), std::string(entry).c_str(), data);
}

bool CProfile::WriteString(std::string_view section, const char* entry, const char* value)
{
    std::string path = SectionPath(section);
    if (!entry)
        return m_access.Delete(path.c_str(), nullptr);
    if (!value)
        return m_access.Delete(path.c_str(), entry);
    return m_access.WriteString(path.c_str(), entry, value);
}

bool CProfile::WriteInt(std::string_view section, std::string_view entry, int value)
{
    return m_access.WriteDWORD(SectionPath(section).c_str(), std::string(entry).c_str(), DWORD(value));
}

bool CProfile::WriteBinary(std::string_view section, std::string_view entry, const void* data, std::size_t length)
{
    if (length > 0xFFFFFFFFu)
        return false;
    return m_access.WriteBinary(SectionPath(section).c_str(), std::string(entry).c_str(), data, DWORD(length));
}

std::string GetProfileString(std::string_view section, std::string_view entry, std::string_view defaultValue)
{
    return CProfile::User().GetString(section, entry, defaultValue);
}

int GetProfileInt(std::string_view section, std::string_view entry, int defaultValue)
{
    return CProfile::User().GetInt(section, entry, defaultValue);
}

bool GetProfileBinary(std::string_view section, std::string_view entry, std::vector<BYTE>& data)
{
    return CProfile::User().GetBinary(section, entry, data);
}

bool WriteProfileString(std::string_view section, const char* entry, const char* value)
{
    return CProfile::User().WriteString(section, entry, value);
}

bool WriteProfileInt(std::string_view section, std::string_view entry, int value)
{
    return CProfile::User().WriteInt(section, entry, value);
}

bool WriteProfileBinary(std::string_view section, std::string_view entry, const void* data, std::size_t length)
{
    return CProfile::User().WriteBinary(section, entry, data, length);
}

std::string GetMachineProfileString(std::string_view section, std::string_view entry,
                                    std::string_view defaultValue)
{
    return CProfile::Machine().GetString(section, entry, defaultValue);
}

int GetMachineProfileInt(std::string_view section, std::string_view entry, int defaultValue)
{
    return CProfile::Machine().GetInt(section, entry, defaultValue);
}

bool WriteMachineProfileString(std::string_view section, const char* entry, const char* value)
{
    return CProfile::Machine().WriteString(section, entry, value);
}

bool WriteMachineProfileInt(std::string_view section, std::string_view entry, int value)
{
    return CProfile::Machine().WriteInt(section, entry, value);
}
