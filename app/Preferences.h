// The program's preferences that the options sheet edits: directories, the
// author name, the toolbar button size and the installed data filters. They
// are read from the profile once at start-up and written once at exit; the
// pages change only the values held here.
#pragma once

#include "app/DirectorySettings.h"

#include <functional>
#include <string>
#include <vector>

// True when the path lies on a removable disk (which makes a poor home for
// folders the program keeps using); false when unknown.
bool IsRemovableDirectory(const std::string& path);

class CPreferences {
public:
    // The directories, in the order the application keeps them.
    enum Directory {
        UserTemplateDir,
        GroupTemplateDir,
        UserItemDir,
        GroupItemDir,
        DataDir,         // the preference
        CurrentDataDir,  // where file dialogs start; follows the last file chosen
        UserDllEquationDir,
        GroupDllEquationDir,
        DirectoryCount
    };

    std::string m_directories[DirectoryCount];
    std::string m_authorName;
    // The installed data filters (full paths of filter libraries), in list order.
    std::vector<std::string> m_filters;
    // Far more than anyone installs; a damaged or hostile settings file cannot
    // make the start-up read and load thousands of entries.
    static constexpr int kMaxFilters = 64;

    const std::string& GetDirectory(Directory which) const { return m_directories[which]; }
    void SetDirectory(Directory which, std::string path) { m_directories[which] = std::move(path); }

    bool GetLargeIcons() const { return m_largeIcons != 0; }
    // Stores a changed flag, marks it for writing at exit and tells the windows.
    void SetLargeIcons(bool large);
    bool LargeIconsChanged() const { return m_largeIconsChanged; }

    // Told when the toolbar button size changes (toolbars and lists switch at once).
    std::function<void(bool large)> m_onLargeIcons;
    // Told when the installed filter list changed (the filter tables are rebuilt).
    std::function<void()> m_onFiltersChanged;

    // Reads the values; directories that do not exist become empty. A group
    // directory with no per-user value (or one that no longer exists) is
    // taken from the machine-wide profile.
    void Load();
    // Writes the values. Directories are always written, so that one the user
    // cleared stays cleared.
    void Save();

    // Reads and writes the installed filter list ("Data Filter Files":
    // "Number", "Filter%d").
    void LoadFilters();
    bool SaveFilters() const;

    // The application's preferences.
    static CPreferences& Current();

private:
    int m_largeIcons = 0;
    bool m_largeIconsChanged = false;
};
