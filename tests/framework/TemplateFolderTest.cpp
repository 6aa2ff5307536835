#include "framework/TemplateFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

class TemplateFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "mx-templates-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        m_dir = pattern;
    }
    void TearDown() override { fs::remove_all(m_dir); }
    void File(const fs::path& relative, std::size_t bytes = 1)
    {
        fs::create_directories((m_dir / relative).parent_path());
        std::ofstream(m_dir / relative) << std::string(bytes, 'x');
    }
    std::string Path(const char* relative) { return (m_dir / relative).string(); }
    fs::path m_dir;
};

TEST_F(TemplateFolderTest, TabsComeFromSubfoldersHoldingFiles)
{
    File("user/Kinetics/a.mxt");
    File("user/Empty/Deeper/b.mxt");  // holds only a folder: no tab
    fs::create_directories(m_dir / "user/Nothing");
    File("user/top.mxt");
    File("group/kinetics/c.mxt");     // same name, other case: one tab
    File("group/Binding/d.mxt");
    File("group/Secret/.x");          // only a hidden file: nothing to list, no tab
    File("group/.config/y.mxt");      // a hidden folder: no tab
    auto tabs = CTemplateFolder::CollectTabFolders(Path("user"), Path("group"));
    EXPECT_EQ(tabs, (std::vector<std::string>{"Binding", "Kinetics"}));

    // The group folder equal to the user folder adds nothing twice.
    EXPECT_EQ(CTemplateFolder::CollectTabFolders(Path("user"), Path("user")), std::vector<std::string>{"Kinetics"});
    // Missing folders give no tabs and no error.
    EXPECT_TRUE(CTemplateFolder::CollectTabFolders(Path("none"), "").empty());
}

TEST_F(TemplateFolderTest, ListsPlainVisibleFiles)
{
    File("f/one.mxt", 10);
    File("f/.secret.mxt");
    File("f/sub/inner.mxt");
    auto files = CTemplateFolder::ListFiles(Path("f"));
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].displayName, "one.mxt");
    EXPECT_EQ(files[0].size, 10u);
    EXPECT_EQ(files[0].path, Path("f/one.mxt"));
    EXPECT_GT(files[0].modified, 0);
    EXPECT_TRUE(CTemplateFolder::ListFiles(Path("missing")).empty());
    EXPECT_EQ(CTemplateFolder::TabFolder("/u", "General", true), "/u");
    EXPECT_EQ(CTemplateFolder::TabFolder("/u", "Kinetics", false), "/u/Kinetics");
}

TEST(TemplateFolderSize, DecimalThresholdsBinaryDivisors)
{
    struct Case {
        std::uint64_t size;
        const char* text;
    };
    // Hand calculation: 1024/1024 = 1.00; 999999/1024 = 976.56; 1e6/1048576 = 0.9537;
    // 999999999/1048576 = 953.67; 1e9/1073741824 = 0.9313; 5e9/1073741824 = 4.6566.
    const Case cases[] = {
        {0, "0 bytes"},           {1023, "1023 bytes"},           {1024, "1.00 KB"},
        {999999, "976.56 KB"},    {1000000, "0.95 MB"},           {999999999, "953.67 MB"},
        {1000000000, "0.93 GB"},  {5000000000ull, "4.66 GB"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CTemplateFolder::FormatSize(c.size), c.text) << c.size;
}

TEST(TemplateFolderSize, TextHelpers)
{
    EXPECT_EQ(GroupThousands(0), "0");
    EXPECT_EQ(GroupThousands(999), "999");
    EXPECT_EQ(GroupThousands(1000), "1,000");
    EXPECT_EQ(GroupThousands(1000000), "1,000,000");
    EXPECT_EQ(GroupThousands(12345678901ull), "12,345,678,901");
    EXPECT_EQ(ReplaceConversions("%.2lfKB (%s bytes)", {"1.00", "1,024"}), "1.00KB (1,024 bytes)");
    EXPECT_EQ(ReplaceConversions("100%% %lu", {"7"}), "100% 7");
    EXPECT_EQ(ReplaceConversions("%d and %d", {"1"}), "1 and ");
}

TEST(TemplateFolderSort, OrdersByColumnWithTieBreaks)
{
    auto rec = [](const char* name, std::uint64_t size, const char* type, std::int64_t modified) {
        CTemplateFileRecord r;
        r.displayName = name;
        r.size = size;
        r.typeName = type;
        r.modified = modified;
        return r;
    };
    const CTemplateFileRecord a = rec("alpha", 10, "Template", 3);
    const CTemplateFileRecord b = rec("Beta", 5, "item", 1);
    const CTemplateFileRecord a2 = rec("ALPHA", 20, "Template", 2);  // same name, larger
    using T = CTemplateFolder;
    EXPECT_LT(T::Compare(a, b, T::SortName), 0);   // case-insensitive: alpha < Beta
    EXPECT_LT(T::Compare(a, a2, T::SortName), 0);  // name ties: size decides
    EXPECT_GT(T::Compare(a, b, T::SortSize), 0);
    EXPECT_LT(T::Compare(b, a, T::SortType), 0);   // item < Template
    EXPECT_GT(T::Compare(a, a2, T::SortModified), 0);
    EXPECT_GT(T::Compare(a, b, T::SortName | T::SortDescending), 0);
    EXPECT_EQ(T::Compare(a, b, 0), 0);
    EXPECT_EQ(T::Compare(a, a, T::SortSize), 0);

    std::vector<CTemplateFileRecord> rows = {a, b, a2};
    T::Sort(rows, T::SortSize | T::SortDescending);
    EXPECT_EQ(rows[0].size, 20u);
    EXPECT_EQ(rows[2].size, 5u);
}

}  // namespace
