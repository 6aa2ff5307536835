#include "app/Preferences.h"

#include "ConfigDirFixture.h"
#include "framework/Profile.h"

#include <fstream>

namespace {

class PreferencesTest : public ConfigDirFixture {};

TEST_F(PreferencesTest, RemovableDisksAreRecognised)
{
    // The temporary folder and the root lie on fixed disks here; a path that
    // cannot be examined counts as not removable.
    EXPECT_FALSE(IsRemovableDirectory(m_dir.string()));
    EXPECT_FALSE(IsRemovableDirectory("/"));
    EXPECT_FALSE(IsRemovableDirectory((m_dir / "missing").string()));
    EXPECT_FALSE(IsRemovableDirectory(""));
}

TEST_F(PreferencesTest, SaveAndLoadRoundTrip)
{
    CPreferences prefs;
    prefs.SetDirectory(CPreferences::UserTemplateDir, Folder("ut"));
    prefs.SetDirectory(CPreferences::GroupItemDir, Folder("gi"));
    prefs.SetDirectory(CPreferences::DataDir, Folder("data"));
    prefs.SetDirectory(CPreferences::UserDllEquationDir, (m_dir / "gone").string());  // does not exist
    prefs.m_authorName = "A. N. Author";
    prefs.SetLargeIcons(true);
    prefs.Save();

    EXPECT_EQ(GetProfileInt("Preferences", "LargeIcons", 0), 1);
    EXPECT_EQ(GetProfileString("User Info", "Author Name"), "A. N. Author");

    CPreferences back;
    back.Load();
    EXPECT_EQ(back.GetDirectory(CPreferences::UserTemplateDir), (m_dir / "ut").string());
    EXPECT_EQ(back.GetDirectory(CPreferences::GroupItemDir), (m_dir / "gi").string());
    EXPECT_EQ(back.GetDirectory(CPreferences::DataDir), (m_dir / "data").string());
    EXPECT_EQ(back.GetDirectory(CPreferences::CurrentDataDir), (m_dir / "data").string());
    EXPECT_EQ(back.GetDirectory(CPreferences::UserDllEquationDir), "");
    EXPECT_EQ(back.m_authorName, "A. N. Author");
    EXPECT_TRUE(back.GetLargeIcons());
    EXPECT_FALSE(back.LargeIconsChanged());
}

TEST_F(PreferencesTest, LargeIconsWrittenOnlyWhenChangedAndWindowsTold)
{
    CPreferences prefs;
    std::vector<bool> told;
    prefs.m_onLargeIcons = [&](bool large) { told.push_back(large); };
    prefs.SetLargeIcons(false);  // no change
    prefs.Save();
    EXPECT_EQ(GetProfileInt("Preferences", "LargeIcons", -1), -1);
    prefs.SetLargeIcons(true);
    prefs.SetLargeIcons(true);
    EXPECT_EQ(told, std::vector<bool>{true});
}

TEST_F(PreferencesTest, GroupDirectoryFallsBackToMachineUnlessCleared)
{
    // An administrator's group folder and filter list, machine-wide.
    std::string group = Folder("group-templates");
    std::ofstream(m_dir / "system" / "settings.conf")
        << "[Software\\Brackmoor\\Marlox\\Preferences]\n"
        << "\"Group Template Directory\" = string \"" << group << "\"\n"
        << "[Software\\Brackmoor\\Marlox\\Data Filter Files]\n"
        << "\"Number\" = dword 1\n"
        << "\"Filter0\" = string \"/usr/lib/marlox/xls.mxr\"\n";
    CPreferences loaded;
    loaded.Load();
    EXPECT_EQ(loaded.GetDirectory(CPreferences::GroupTemplateDir), group);
    EXPECT_EQ(loaded.m_filters, std::vector<std::string>{"/usr/lib/marlox/xls.mxr"});

    // Written back per-user at exit.
    loaded.Save();
    EXPECT_EQ(GetProfileString("Preferences", "Group Template Directory"), group);

    // The user clears it: it stays cleared after a restart.
    loaded.SetDirectory(CPreferences::GroupTemplateDir, "");
    loaded.Save();
    EXPECT_EQ(GetProfileString("Preferences", "Group Template Directory", "absent"), "");
    CPreferences again;
    again.Load();
    EXPECT_EQ(again.GetDirectory(CPreferences::GroupTemplateDir), "");

    // A per-user folder that has gone falls back to the administrator's again.
    WriteProfileString("Preferences", "Group Template Directory", (m_dir / "gone").c_str());
    CPreferences stale;
    stale.Load();
    EXPECT_EQ(stale.GetDirectory(CPreferences::GroupTemplateDir), group);
}

TEST_F(PreferencesTest, FilterListRoundTripAndShrinks)
{
    CPreferences prefs;
    prefs.m_filters = {"/opt/a.mxr", "/opt/b.mxr", "/opt/c.mxr"};
    ASSERT_TRUE(prefs.SaveFilters());
    EXPECT_EQ(GetProfileInt("Data Filter Files", "Number", 0), 3);
    EXPECT_EQ(GetProfileString("Data Filter Files", "Filter1"), "/opt/b.mxr");
    prefs.m_filters = {"/opt/c.mxr"};
    ASSERT_TRUE(prefs.SaveFilters());
    EXPECT_EQ(GetProfileString("Data Filter Files", "Filter1", "none"), "none");  // old entries are gone
    CPreferences back;
    back.LoadFilters();
    EXPECT_EQ(back.m_filters, std::vector<std::string>{"/opt/c.mxr"});
}

TEST_F(PreferencesTest, FilterListReadAtStartUpIsCapped)
{
    // A settings file that claims thousands of entries, or billions: only the
    // first entries are read, and reading stops at once.
    {
        std::ofstream out(m_dir / "user" / "settings.conf");
        out << "[Software\\Brackmoor\\Marlox\\Data Filter Files]\n\"Number\" = dword 4096\n";
        for (int i = 0; i < 4096; ++i)
            out << "\"Filter" << i << "\" = string \"/opt/f" << i << ".mxr\"\n";
    }
    CPreferences prefs;
    prefs.LoadFilters();
    ASSERT_EQ(prefs.m_filters.size(), std::size_t(CPreferences::kMaxFilters));
    EXPECT_EQ(prefs.m_filters.back(), "/opt/f" + std::to_string(CPreferences::kMaxFilters - 1) + ".mxr");
    ASSERT_TRUE(WriteProfileInt("Data Filter Files", "Number", 2147483647));
    prefs.LoadFilters();
    EXPECT_EQ(prefs.m_filters.size(), std::size_t(CPreferences::kMaxFilters));
}

}  // namespace
