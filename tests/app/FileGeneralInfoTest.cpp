#include "app/FileGeneralInfo.h"

#include "ConfigDirFixture.h"

#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

TEST(FileGeneralInfoSize, TextsWithGroupedByteCounts)
{
    struct Case {
        std::uint64_t size;
        const char* text;
    };
    // Hand calculation: 1024/1024 = 1.00; 1e6/1048576 = 0.9537; 999999/1024 = 976.56;
    // 1e9/1073741824 = 0.9313.
    const Case cases[] = {
        {0, "0 bytes (0 bytes)"},
        {1023, "1023 bytes (1,023 bytes)"},
        {1024, "1.00KB (1,024 bytes)"},
        {999999, "976.56KB (999,999 bytes)"},
        {1000000, "0.95MB (1,000,000 bytes)"},
        {1000000000, "0.93GB (1,000,000,000 bytes)"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CFileGeneralInfo::FormatSize(c.size), c.text) << c.size;
}

TEST(FileGeneralInfoTime, UnixTimesBecomeFileTimes)
{
    // 1970-01-01 is 11,644,473,600 s after 1601-01-01: 116444736000000000 ticks of 100 ns.
    FILETIME epoch = CFileGeneralInfo::ToFileTime(0, 0);
    EXPECT_EQ((std::uint64_t(epoch.dwHighDateTime) << 32) | epoch.dwLowDateTime, 116444736000000000ull);
    FILETIME later = CFileGeneralInfo::ToFileTime(1, 500);
    EXPECT_EQ((std::uint64_t(later.dwHighDateTime) << 32) | later.dwLowDateTime, 116444736010000005ull);
}

class FileGeneralInfoTest : public ConfigDirFixture {};

TEST_F(FileGeneralInfoTest, ReadsNameFolderSizeTimesAndAttributes)
{
    const std::string folder = Folder("Lab Work");
    const std::string path = folder + "/.study.mxf";
    std::ofstream(path) << std::string(1024, 'x');
    CFileGeneralInfo info;
    ASSERT_TRUE(info.Read(path));
    EXPECT_EQ(info.fileName, ".study.mxf");
    EXPECT_EQ(info.location, "Lab Work");
    EXPECT_EQ(info.folderPath, folder);
    EXPECT_EQ(info.size, "1.00KB (1,024 bytes)");
    EXPECT_TRUE(info.hidden);  // a leading dot
    EXPECT_FALSE(info.archive);
    EXPECT_FALSE(info.system);
    EXPECT_EQ(info.dosName, "");
    EXPECT_FALSE(info.modified.empty());
    EXPECT_FALSE(info.accessed.empty());
    EXPECT_FALSE(info.readOnly);

    ::chmod(path.c_str(), 0444);
    CFileGeneralInfo ro;
    ASSERT_TRUE(ro.Read(path));
    EXPECT_TRUE(ro.readOnly);
    ::chmod(path.c_str(), 0644);
    if (::geteuid() != 0) {  // the superuser opens any file
        ::chmod(path.c_str(), 0);
        CFileGeneralInfo closed;
        ASSERT_TRUE(closed.Read(path));
        EXPECT_EQ(closed.size, "");  // cannot be opened: no size and no times
        EXPECT_EQ(closed.modified, "");
        ::chmod(path.c_str(), 0644);
    }
}

TEST_F(FileGeneralInfoTest, MissingFileGivesOnlyItsName)
{
    CFileGeneralInfo info;
    EXPECT_FALSE(info.Read((m_dir / "gone.mxf").string()));
    EXPECT_EQ(info.fileName, "gone.mxf");
    EXPECT_EQ(info.size, "");
    EXPECT_FALSE(info.readOnly);
}

}  // namespace
