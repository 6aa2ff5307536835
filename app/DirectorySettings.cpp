#include "app/DirectorySettings.h"

#include "framework/Profile.h"

#include <filesystem>

namespace {
// Distinguishes an absent entry from an empty one.
constexpr std::string_view kAbsent = "\x01";
} // namespace

bool IsExistingDirectory(std::string_view path)
{
    std::error_code ec;
    return !path.empty() && std::filesystem::is_directory(std::filesystem::path(path), ec);
}

std::string LoadDirectorySetting(std::string_view section, std::string_view entry, bool machineFallback)
{
    std::string value = GetProfileString(section, entry, kAbsent);
    if (value.empty())
        return {}; // cleared by the user
    if (value != kAbsent && IsExistingDirectory(value))
        return value;
    if (!machineFallback)
        return {};
    value = GetMachineProfileString(section, entry);
    return IsExistingDirectory(value) ? value : std::string();
}

void SaveDirectorySetting(std::string_view section, const char* entry, const std::string& directory)
{
    if (directory.empty() && GetProfileString(section, entry, kAbsent) == kAbsent
        && GetMachineProfileString(section, entry).empty())
        return;
    WriteProfileString(section, entry, directory.c_str());
}
