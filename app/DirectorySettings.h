// Folders kept in the profile (template, item and DLL-equation folders, the
// data folder). A folder that the user cleared in Options is written as an
// empty value, so that it stays cleared after a restart instead of bringing
// back the old folder (or the machine-wide one) from the profile.
#pragma once

#include <string>
#include <string_view>

// Whether the text names an existing folder.
bool IsExistingDirectory(std::string_view path);

// The per-user value when it names a folder; empty when the user cleared it;
// else, when machineFallback is set, the machine-wide value when it names a
// folder; else empty.
std::string LoadDirectorySetting(std::string_view section, std::string_view entry, bool machineFallback);

// Writes the folder, or an empty value for a cleared folder when the profile
// holds one to clear; nothing is written for a folder that was never set.
void SaveDirectorySetting(std::string_view section, const char* entry, const std::string& directory);
