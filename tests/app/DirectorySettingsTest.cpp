#include "app/DirectorySettings.h"

#include "framework/Profile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>

namespace fs = std::filesystem;

namespace {

class DirectorySettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "mx-dirs-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        m_dir = pattern;
        for (const char* name : {"MARLOX_CONFIG_DIR", "MARLOX_SYSTEM_CONFIG_DIR"}) {
            const char* v = std::getenv(name);
            m_saved.emplace_back(name, v ? std::optional<std::string>(v) : std::nullopt);
        }
        ::setenv("MARLOX_CONFIG_DIR", (m_dir / "user").c_str(), 1);
        ::setenv("MARLOX_SYSTEM_CONFIG_DIR", (m_dir / "system").c_str(), 1);
        fs::create_directories(m_dir / "templates");
        fs::create_directories(m_dir / "group");
    }
    void TearDown() override
    {
        for (const auto& [name, value] : m_saved)
            value ? ::setenv(name.c_str(), value->c_str(), 1) : ::unsetenv(name.c_str());
        fs::remove_all(m_dir);
    }
    // The machine-wide profile is only read by the program; tests write its file directly.
    void SetMachineValue(const std::string& section, const std::string& entry, const std::string& value)
    {
        fs::create_directories(m_dir / "system");
        std::ofstream(m_dir / "system" / "settings.conf")
            << "[Software\\Brackmoor\\Marlox\\" << section << "]\n\"" << entry << "\" = string \"" << value << "\"\n";
    }
    fs::path m_dir;
    std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};

} // namespace

TEST_F(DirectorySettingsTest, AClearedFolderStaysClearedAfterARestart)
{
    std::string folder = (m_dir / "templates").string();
    SaveDirectorySetting("Preferences", "User Template Directory", folder);
    EXPECT_EQ(LoadDirectorySetting("Preferences", "User Template Directory", false), folder);
    SaveDirectorySetting("Preferences", "User Template Directory", ""); // cleared in Options
    EXPECT_EQ(LoadDirectorySetting("Preferences", "User Template Directory", false), "");
}

TEST_F(DirectorySettingsTest, AClearedGroupFolderDoesNotFallBackToTheMachineValue)
{
    std::string group = (m_dir / "group").string();
    SetMachineValue("Preferences", "Group Template Directory", group);
    EXPECT_EQ(LoadDirectorySetting("Preferences", "Group Template Directory", true), group);
    SaveDirectorySetting("Preferences", "Group Template Directory", group); // written back per-user
    EXPECT_EQ(GetProfileString("Preferences", "Group Template Directory"), group);
    SaveDirectorySetting("Preferences", "Group Template Directory", "");
    EXPECT_EQ(LoadDirectorySetting("Preferences", "Group Template Directory", true), "");
}

TEST_F(DirectorySettingsTest, MissingFoldersReadAsEmpty)
{
    SaveDirectorySetting("Preferences", "Data Directory", (m_dir / "gone").string());
    EXPECT_EQ(LoadDirectorySetting("Preferences", "Data Directory", false), "");
    // A folder never set writes nothing.
    SaveDirectorySetting("Preferences", "User Item Directory", "");
    EXPECT_EQ(GetProfileString("Preferences", "User Item Directory", "absent"), "absent");
}
