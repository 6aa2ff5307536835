#include "app/Preferences.h"

#include "framework/Profile.h"

#include <algorithm>
#include <fstream>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace {

constexpr const char* kPreferences = "Preferences";
constexpr const char* kUserInfo = "User Info";
constexpr const char* kAuthorName = "Author Name";
constexpr const char* kLargeIcons = "LargeIcons";
constexpr const char* kFilterSection = "Data Filter Files";
constexpr const char* kFilterCount = "Number";

struct DirectoryEntry {
    CPreferences::Directory which;
    const char* entry;
    bool group;  // falls back to the machine-wide profile
};

// In the order the values are read and written.
const DirectoryEntry kDirectoryEntries[] = {
    {CPreferences::UserTemplateDir, "User Template Directory", false},
    {CPreferences::GroupTemplateDir, "Group Template Directory", true},
    {CPreferences::UserItemDir, "User Item Directory", false},
    {CPreferences::GroupItemDir, "Group Item Directory", true},
    {CPreferences::DataDir, "Data Directory", false},
    {CPreferences::UserDllEquationDir, "User HardEquation Directory", false},
    {CPreferences::GroupDllEquationDir, "Group HardEquation Directory", true},
};

std::string FilterEntry(std::size_t i) { return "Filter" + std::to_string(i); }

}  // namespace

bool IsRemovableDirectory(const std::string& path)
{
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0)
        return false;
    // The block device of the file system: a partition's flag lives with its disk.
    const std::string device =
        "/sys/dev/block/" + std::to_string(major(st.st_dev)) + ":" + std::to_string(minor(st.st_dev));
    for (const char* file : {"/removable", "/../removable"}) {
        std::ifstream in(device + file);
        int flag = 0;
        if (in >> flag)
            return flag != 0;
    }
    return false;
}

CPreferences& CPreferences::Current()
{
    static CPreferences preferences;
    return preferences;
}

void CPreferences::SetLargeIcons(bool large)
{
    if (GetLargeIcons() == large)
        return;
    m_largeIcons = large ? 1 : 0;
    m_largeIconsChanged = true;
    if (m_onLargeIcons)
        m_onLargeIcons(large);
}

void CPreferences::Load()
{
    m_authorName = GetProfileString(kUserInfo, kAuthorName);
    m_largeIcons = GetProfileInt(kPreferences, kLargeIcons, 0) != 0 ? 1 : 0;
    m_largeIconsChanged = false;
    // A folder the user cleared stays cleared; a missing or stale group
    // folder falls back to what the administrator set machine-wide.
    for (const DirectoryEntry& d : kDirectoryEntries)
        m_directories[d.which] = LoadDirectorySetting(kPreferences, d.entry, d.group);
    m_directories[CurrentDataDir] = m_directories[DataDir];
    LoadFilters();
}

void CPreferences::Save()
{
    WriteProfileString(kUserInfo, kAuthorName, m_authorName.c_str());
    if (m_largeIconsChanged)
        WriteProfileInt(kPreferences, kLargeIcons, m_largeIcons);
    for (const DirectoryEntry& d : kDirectoryEntries) {
        std::string value = m_directories[d.which];
        if (!IsExistingDirectory(value))
            value.clear();
        SaveDirectorySetting(kPreferences, d.entry, value);
    }
}

void CPreferences::LoadFilters()
{
    // The list an administrator installed, unless this user has one of their own.
    const bool own = GetProfileInt(kFilterSection, kFilterCount, -1) >= 0;
    const int count = std::min(own ? GetProfileInt(kFilterSection, kFilterCount, 0)
                                   : GetMachineProfileInt(kFilterSection, kFilterCount, 0),
                               kMaxFilters);
    m_filters.clear();
    for (int i = 0; i < count; ++i) {
        std::string path = own ? GetProfileString(kFilterSection, FilterEntry(std::size_t(i)))
                               : GetMachineProfileString(kFilterSection, FilterEntry(std::size_t(i)));
        if (!path.empty())
            m_filters.push_back(std::move(path));
    }
}

bool CPreferences::SaveFilters() const
{
    // The machine-wide store is read-only for the program; the list goes to
    // the user's own profile, which LoadFilters prefers.
    // Entries of a longer old list go with the section.
    WriteProfileString(kFilterSection, nullptr, nullptr);
    const std::size_t count = std::min(m_filters.size(), std::size_t(kMaxFilters));
    bool ok = WriteProfileInt(kFilterSection, kFilterCount, int(count));
    for (std::size_t i = 0; i < count; ++i)
        ok = WriteProfileString(kFilterSection, FilterEntry(i).c_str(), m_filters[i].c_str()) && ok;
    return ok;
}
