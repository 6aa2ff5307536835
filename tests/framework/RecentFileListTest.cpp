#include "framework/RecentFileList.h"

#include "../app/ConfigDirFixture.h"
#include "framework/Profile.h"

#include <gtest/gtest.h>

namespace {

using Files = std::vector<std::string>;

TEST(RecentFileList, NewestFirstEachPathOnceAndNoMoreThanTheSize)
{
    CRecentFileList list(4);
    for (const char* p : {"/a", "/b", "/c", "/b", "/d", "/e"})
        list.Add(p);
    // /b moved up when added again; /a fell off the end when the fifth path came.
    EXPECT_EQ(list.Files(), (Files{"/e", "/d", "/b", "/c"}));
    list.Add("");
    EXPECT_EQ(list.Files().size(), 4u);
    list.Remove(1);
    list.Remove(7);
    EXPECT_EQ(list.Files(), (Files{"/e", "/b", "/c"}));
}

TEST(RecentFileList, MenuTextsNumberTheEntriesAndDoubleAmpersands)
{
    CRecentFileList list(4);
    list.Add("/data/R&D.mxf");
    list.Add("/data/plain.mxf");
    EXPECT_EQ(list.MenuText(0), "&1 /data/plain.mxf");
    EXPECT_EQ(list.MenuText(1), "&2 /data/R&&D.mxf");
    EXPECT_EQ(list.MenuText(2), "");
}

class RecentFileListProfileTest : public ConfigDirFixture {};

TEST_F(RecentFileListProfileTest, WrittenEntriesComeBackAndShorterListsClearTheRest)
{
    CRecentFileList list(4);
    list.Add("/one.mxf");
    list.Add("/two.mxf");
    list.Add("/three.mxf");
    list.WriteList();
    EXPECT_EQ(GetProfileString("Recent File List", "File1"), "/three.mxf");
    EXPECT_EQ(GetProfileString("Recent File List", "File3"), "/one.mxf");

    CRecentFileList back(4);
    back.ReadList();
    EXPECT_EQ(back.Files(), (Files{"/three.mxf", "/two.mxf", "/one.mxf"}));

    back.Remove(0);
    back.Remove(0);
    back.WriteList();
    CRecentFileList again(4);
    again.ReadList();
    EXPECT_EQ(again.Files(), Files{"/one.mxf"});
}

TEST_F(RecentFileListProfileTest, GapsAndRepeatsInTheProfileAreSkipped)
{
    WriteProfileString("Recent File List", "File1", "/a.mxf");
    WriteProfileString("Recent File List", "File3", "/a.mxf");
    WriteProfileString("Recent File List", "File4", "/b.mxf");
    CRecentFileList list(4);
    list.ReadList();
    EXPECT_EQ(list.Files(), (Files{"/a.mxf", "/b.mxf"}));
}

} // namespace
