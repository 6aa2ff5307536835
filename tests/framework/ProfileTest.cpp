#include "framework/Profile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

class ProfileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "mx-profile-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        m_dir = pattern;
        for (const char* name : {"MARLOX_CONFIG_DIR", "MARLOX_SYSTEM_CONFIG_DIR"}) {
            const char* v = std::getenv(name);
            m_saved.emplace_back(name, v ? std::optional<std::string>(v) : std::nullopt);
        }
        ::setenv("MARLOX_CONFIG_DIR", (m_dir / "user").c_str(), 1);
        ::setenv("MARLOX_SYSTEM_CONFIG_DIR", (m_dir / "system").c_str(), 1);
    }
    void TearDown() override
    {
        CProfile::SetRegistryKey({});
        for (const auto& [name, value] : m_saved)
            value ? ::setenv(name.c_str(), value->c_str(), 1) : ::unsetenv(name.c_str());
        fs::remove_all(m_dir);
    }

    fs::path m_dir;
    std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};

} // namespace

TEST_F(ProfileTest, ValuesLieUnderTheMakersKey)
{
    EXPECT_EQ(CProfile::SectionPath("Preferences"), "Software\\Brackmoor\\Marlox\\Preferences");
    ASSERT_TRUE(WriteProfileInt("Preferences", "LargeIcons", 1));
    ASSERT_TRUE(WriteProfileString("User Info", "Author Name", "A. N. Author"));
    CRegistryAccess reg(HKEY_CURRENT_USER);
    DWORD n = 0;
    std::string s;
    ASSERT_TRUE(reg.ReadDWORD("Software\\Brackmoor\\Marlox\\Preferences", "LargeIcons", n));
    EXPECT_EQ(n, 1u);
    ASSERT_TRUE(reg.ReadString("Software\\Brackmoor\\Marlox\\User Info", "Author Name", s));
    EXPECT_EQ(s, "A. N. Author");
    EXPECT_EQ(GetProfileInt("preferences", "largeicons", 0), 1);
    EXPECT_EQ(GetProfileString("User Info", "Author Name"), "A. N. Author");

    CProfile::SetRegistryKey("Elsewhere");
    EXPECT_EQ(GetProfileInt("Preferences", "LargeIcons", 7), 7);
    EXPECT_EQ(CProfile::SectionPath("Tip"), "Software\\Elsewhere\\Marlox\\Tip");
}

TEST_F(ProfileTest, ReadsGiveTheDefaultAndCreateNothing)
{
    EXPECT_EQ(GetProfileString("Settings", "AppWindowPosition", "10,20"), "10,20");
    EXPECT_EQ(GetProfileInt("Tip", "StartUp", 0), 0);
    EXPECT_EQ(GetProfileInt("Workspace", "Width", 1), 1);
    std::vector<BYTE> data{1};
    EXPECT_FALSE(GetProfileBinary("Toolbars", "State", data));
    EXPECT_FALSE(fs::exists(m_dir / "user"));
}

TEST_F(ProfileTest, IntegersAndTheirTextForms)
{
    ASSERT_TRUE(WriteProfileInt("Fitting Criteria", "Max Iterations", -5));
    EXPECT_EQ(GetProfileInt("Fitting Criteria", "Max Iterations", 0), -5);
    ASSERT_TRUE(WriteProfileInt("Fitting Criteria", "Big", 2147483647));
    EXPECT_EQ(GetProfileInt("Fitting Criteria", "Big", 0), 2147483647);
    // A value edited by hand into a text still reads when it is a whole number.
    struct Case {
        const char* text;
        int expected;
    };
    for (Case c : {Case{"42", 42}, Case{" -3 ", -3}, Case{"+8", 8}, Case{"4x", 99}, Case{"", 99},
                   Case{"99999999999", 99}, Case{"1.5", 99}}) {
        ASSERT_TRUE(WriteProfileString("Number Formatting", "Decimals", c.text));
        EXPECT_EQ(GetProfileInt("Number Formatting", "Decimals", 99), c.expected) << c.text;
    }
    // A number is not a text, and a block is neither.
    EXPECT_EQ(GetProfileString("Fitting Criteria", "Max Iterations", "dflt"), "dflt");
    const BYTE bytes[] = {1, 2, 3, 4};
    ASSERT_TRUE(WriteProfileBinary("Toolbars", "State", bytes, 4));
    EXPECT_EQ(GetProfileInt("Toolbars", "State", 99), 99);
    std::vector<BYTE> read;
    ASSERT_TRUE(GetProfileBinary("Toolbars", "State", read));
    EXPECT_EQ(read, (std::vector<BYTE>{1, 2, 3, 4}));
}

TEST_F(ProfileTest, NullEntryDeletesTheSectionAndNullValueTheEntry)
{
    ASSERT_TRUE(WriteProfileString("Tip", "TimeStamp", "Thu Dec 10 12:00:00 2026"));
    ASSERT_TRUE(WriteProfileInt("Tip", "FilePos", 120));
    ASSERT_TRUE(WriteProfileInt("Tip", "StartUp", 1));
    ASSERT_TRUE(WriteProfileString("Tip", "TimeStamp", nullptr));
    EXPECT_EQ(GetProfileString("Tip", "TimeStamp", "none"), "none");
    EXPECT_EQ(GetProfileInt("Tip", "FilePos", 0), 120);
    ASSERT_TRUE(WriteProfileString("Tip", nullptr, nullptr));
    EXPECT_EQ(GetProfileInt("Tip", "StartUp", 0), 0);
    EXPECT_FALSE(CSettingsStore::User().KeyExists(CProfile::SectionPath("Tip")));
    EXPECT_TRUE(CSettingsStore::User().KeyExists(CProfile::SectionPath({})));
}

TEST_F(ProfileTest, MachineWideValuesAreOnlyRead)
{
    fs::create_directories(m_dir / "system");
    std::ofstream(m_dir / "system" / "settings.conf")
        << "[Software\\Brackmoor\\Marlox\\Data Filter Files]\n"
           "\"Number\" = dword 2\n"
           "\"Filter0\" = string \"/usr/lib/marlox/filters/csv.mxr\"\n"
           "\"Filter1\" = string \"/usr/lib/marlox/filters/xls.mxr\"\n"
           "[Software\\Brackmoor\\Marlox\\Preferences]\n"
           "\"Group Template Directory\" = string \"/srv/lab/templates\"\n";
    EXPECT_EQ(GetMachineProfileInt("Data Filter Files", "Number", 0), 2);
    EXPECT_EQ(GetMachineProfileString("Data Filter Files", "Filter1"), "/usr/lib/marlox/filters/xls.mxr");
    EXPECT_EQ(GetMachineProfileString("Preferences", "Group Template Directory"), "/srv/lab/templates");
    // The per-user profile does not see the machine-wide values.
    EXPECT_EQ(GetProfileString("Preferences", "Group Template Directory"), "");
    const auto before = fs::file_size(m_dir / "system" / "settings.conf");
    EXPECT_FALSE(WriteMachineProfileInt("Data Filter Files", "Number", 3));
    EXPECT_FALSE(WriteMachineProfileString("Data Filter Files", "Filter2", "x"));
    EXPECT_FALSE(WriteMachineProfileString("Data Filter Files", nullptr, nullptr));
    EXPECT_EQ(GetMachineProfileInt("Data Filter Files", "Number", 0), 2);
    EXPECT_EQ(fs::file_size(m_dir / "system" / "settings.conf"), before);
    EXPECT_FALSE(fs::exists(m_dir / "system" / "settings.conf.lock"));
}
