// The stored-item header as the file manager's side reads it.
#include "ShellextFixtures.h"
#include "app/DesktopIntegration.h"
#include "shellext/StoredItemHeader.h"

#include <gtest/gtest.h>

#include <cstdint>

using namespace shellext_test;

namespace {

std::string Header(std::int32_t version, std::int32_t index)
{
    std::string bytes("MX Item\0", 8);
    for (std::int32_t v : {version, index})
        for (int k = 0; k < 4; ++k)
            bytes += char((std::uint32_t(v) >> (8 * k)) & 0xFF);
    return bytes;
}

struct HeaderCase {
    const char* what;
    std::string bytes;
    int index;
};

} // namespace

TEST(StoredItemHeader, IndexFromTheHeaderOrZero)
{
    const HeaderCase cases[] = {
        {"version 0, index 3", Header(0, 3), 3},
        {"version 0, index 9, an item after it", Header(0, 9) + "rest of the item", 9},
        {"version -1 reads as an older version", Header(-1, 4), 4},
        {"a newer version", Header(1, 3), 0},
        {"index 10", Header(0, 10), 0},
        {"index -1", Header(0, -1), 0},
        {"index 1, which no kind uses, is still an index", Header(0, 1), 1},
        {"empty", "", 0},
        {"seven bytes", "MX Item", 0},
        {"magic without its NUL", "MX Item 0000000000", 0},
        {"another magic", "MX Itam" + Header(0, 3).substr(7), 0},
        {"header cut in the index", Header(0, 3).substr(0, 14), 0},
        {"header cut in the version", Header(0, 3).substr(0, 10), 0},
    };
    for (const HeaderCase& c : cases)
        EXPECT_EQ(StoredItemIconIndex(reinterpret_cast<const unsigned char*>(c.bytes.data()), c.bytes.size()), c.index)
            << c.what;
}

TEST(StoredItemHeader, FilesOfEveryKindGiveTheirKind)
{
    ScratchFolder folder;
    const std::vector<StoredItemFile> files = WriteStoredItemOfEveryKind(folder);
    // The kinds' indices, as the item icons are ordered: equation 2 to library equation 9.
    std::vector<int> indices;
    for (const StoredItemFile& f : files) {
        int index = -5;
        ASSERT_TRUE(ReadStoredItemIconIndex(f.path, index)) << f.path;
        EXPECT_EQ(index, f.iconIndex);
        indices.push_back(index);
        const StoredItemKind* kind = FindStoredItemKind(index);
        ASSERT_NE(kind, nullptr) << index;
        EXPECT_EQ(kind->iconIndex, index);
    }
    EXPECT_EQ(indices, (std::vector<int>{2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(FindStoredItemKind(0), nullptr);
    EXPECT_EQ(FindStoredItemKind(1), nullptr);
    EXPECT_EQ(FindStoredItemKind(10), nullptr);
}

TEST(StoredItemHeader, AFileThatCannotBeReadIsNoHeader)
{
    ScratchFolder folder;
    int index = 7;
    EXPECT_FALSE(ReadStoredItemIconIndex(folder.File("missing.mxc"), index));
    EXPECT_FALSE(ReadStoredItemIconIndex(folder.Path().string(), index));
    EXPECT_EQ(index, 7);
    WriteBytes(folder.File("empty.mxc"), "");
    EXPECT_TRUE(ReadStoredItemIconIndex(folder.File("empty.mxc"), index));
    EXPECT_EQ(index, 0);
}
