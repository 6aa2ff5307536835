#include "app/TipFile.h"

#include "framework/Profile.h"
#include "platform/StringTable.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sys/time.h>

namespace fs = std::filesystem;

namespace {

class TipFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "mx-tips-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        m_dir = pattern;
        const char* v = std::getenv("MARLOX_CONFIG_DIR");
        m_saved = v ? std::optional<std::string>(v) : std::nullopt;
        ::setenv("MARLOX_CONFIG_DIR", (m_dir / "config").c_str(), 1);
        m_path = (m_dir / "tips.txt").string();
    }
    void TearDown() override
    {
        m_saved ? ::setenv("MARLOX_CONFIG_DIR", m_saved->c_str(), 1) : ::unsetenv("MARLOX_CONFIG_DIR");
        fs::remove_all(m_dir);
    }
    void Write(const std::string& text, long mtime = 1'700'000'000)
    {
        std::ofstream(m_path, std::ios::binary | std::ios::trunc) << text;
        struct timeval times[2] = {{mtime, 0}, {mtime, 0}};
        ::utimes(m_path.c_str(), times);
    }

    fs::path m_dir;
    std::string m_path;
    std::optional<std::string> m_saved;
};

} // namespace

TEST_F(TipFileTest, TipsComeInTurnAndWrapAround)
{
    Write("; a comment\nFirst tip.\n  indented\n\tTabbed\n\nSecond tip.\r\n");
    CTipFile tips(m_path);
    ASSERT_TRUE(tips.HasTips());
    EXPECT_EQ(tips.GetTip(), "First tip.");
    tips.GetNextTip();
    EXPECT_EQ(tips.GetTip(), "Second tip.");
    tips.GetNextTip();
    EXPECT_EQ(tips.GetTip(), "First tip.");
}

TEST_F(TipFileTest, TheNextStartGoesOnWhereThisOneStopped)
{
    Write("One\nTwo\nThree\n");
    {
        CTipFile tips(m_path);
        EXPECT_EQ(tips.GetTip(), "One");
    }
    EXPECT_EQ(GetProfileInt("Tip", "FilePos", -1), 4); // just after "One\n"
    EXPECT_EQ(GetProfileString("Tip", "TimeStamp"), CTipFile::FileTimeStamp(m_path));
    {
        CTipFile tips(m_path);
        EXPECT_EQ(tips.GetTip(), "Two");
    }
    // A replaced file (new modification time) starts again at its first line.
    Write("Alpha\nBeta\n", 1'800'000'000);
    CTipFile tips(m_path);
    EXPECT_EQ(tips.GetTip(), "Alpha");
}

TEST_F(TipFileTest, AMissingFileSaysSo)
{
    {
        CTipFile tips(m_path);
        EXPECT_FALSE(tips.IsOpen());
        EXPECT_FALSE(tips.HasTips());
        EXPECT_EQ(tips.GetTip(), "Tips file does not exist in the prescribed directory");
    }
    EXPECT_EQ(GetProfileInt("Tip", "FilePos", -1), -1); // nothing written
}

TEST_F(TipFileTest, AFileWithoutTipsStops)
{
    for (const char* text : {"", "; only comments\n\n  and indented lines\n", "\n\n\n"}) {
        Write(text);
        CTipFile tips(m_path);
        EXPECT_FALSE(tips.HasTips()) << text;
        EXPECT_EQ(tips.GetTip(), LoadString(225));
        tips.GetNextTip(); // and again: still no endless loop
        EXPECT_FALSE(tips.HasTips());
    }
}

TEST_F(TipFileTest, ALongLineIsOneTip)
{
    std::string longLine(2500, 'x');
    Write(longLine + "\nShort.\n");
    CTipFile tips(m_path);
    EXPECT_EQ(tips.GetTip(), std::string(CTipFile::kMaxTip, 'x'));
    tips.GetNextTip(); // the rest of the long line is no tip of its own
    EXPECT_EQ(tips.GetTip(), "Short.");
}

TEST_F(TipFileTest, AnOffsetBeyondTheEndWrapsToTheStart)
{
    Write("One\nTwo\n");
    WriteProfileString("Tip", "TimeStamp", CTipFile::FileTimeStamp(m_path).c_str());
    WriteProfileInt("Tip", "FilePos", 5000);
    CTipFile tips(m_path);
    EXPECT_EQ(tips.GetTip(), "One");
}

TEST_F(TipFileTest, TheStartUpChoiceIsKept)
{
    EXPECT_TRUE(CTipFile::ShowAtStartup()); // absent counts as 0
    Write("One\n");
    {
        CTipFile tips(m_path);
        EXPECT_TRUE(tips.GetShowAtStartup());
        tips.SetShowAtStartup(false);
        tips.SaveShowAtStartup();
    }
    EXPECT_EQ(GetProfileInt("Tip", "StartUp", -1), 1);
    EXPECT_FALSE(CTipFile::ShowAtStartup());
    CTipFile tips(m_path);
    EXPECT_FALSE(tips.GetShowAtStartup());
    tips.SetShowAtStartup(true);
    tips.SaveShowAtStartup();
    EXPECT_EQ(GetProfileInt("Tip", "StartUp", -1), 0);
}

TEST_F(TipFileTest, TheFileLiesBesideTheProgram)
{
    EXPECT_EQ(CTipFile::PathForProgram("/opt/marlox/bin/marlox"), "/opt/marlox/bin/tips.txt");
}
