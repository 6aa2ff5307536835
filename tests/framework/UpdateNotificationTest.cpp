#include "framework/UpdateNotification.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Receivers only compare item addresses, so any distinct address stands in for an item.
CMXProjectItem* FakeItem(int n)
{
    static char storage[4];
    return reinterpret_cast<CMXProjectItem*>(&storage[n]);
}

TEST(UpdateNotification, RowAndColumnConstructorSetsKindRangeAndItem)
{
    CUpdateNotification n(UN_COLUMNS_DELETED, 3, 2, FakeItem(1));
    EXPECT_EQ(n.kind, 6);
    EXPECT_EQ(n.first, 3);
    EXPECT_EQ(n.count, 2);
    EXPECT_EQ(n.item, FakeItem(1));
    EXPECT_EQ(n.columns, nullptr);
    EXPECT_TRUE(n.oldName.empty());
    EXPECT_TRUE(n.newName.empty());
}

TEST(UpdateNotification, CellListConstructorKeepsTheSendersList)
{
    std::vector<CColumnRef> changed = {{FakeItem(2), 4, -1}, {FakeItem(2), 0, 7}};
    CUpdateNotification n(UN_CELLS_CHANGED, &changed, FakeItem(2));
    EXPECT_EQ(n.kind, 1);
    EXPECT_EQ(n.item, FakeItem(2));
    ASSERT_EQ(n.columns, &changed); // not a copy: the sender's list
    EXPECT_EQ((*n.columns)[0].row, -1);
    EXPECT_EQ((*n.columns)[1].column, 0);
    EXPECT_EQ((*n.columns)[1].row, 7);
}

TEST(UpdateNotification, DefaultRecordHasNoKindAndNothingToFollow)
{
    CUpdateNotification n;
    // -1 is outside every receiver's list of kinds, so an unset record is ignored.
    EXPECT_EQ(n.kind, -1);
    EXPECT_EQ(n.item, nullptr);
    EXPECT_EQ(n.columns, nullptr);
    EXPECT_TRUE(n.oldName.empty());
    EXPECT_TRUE(n.newName.empty());
    CColumnRef whole;
    EXPECT_EQ(whole.row, -1);
}

TEST(UpdateNotification, IsIdentifiedAtRunTimeButNeverStored)
{
    CUpdateNotification n;
    EXPECT_TRUE(n.IsKindOf(RUNTIME_CLASS(CObject)));
    EXPECT_TRUE(n.IsKindOf(RUNTIME_CLASS(CUpdateNotification)));
    EXPECT_FALSE(n.IsSerializable());
    EXPECT_EQ(CRuntimeClass::FromName("CUpdateNotification"), nullptr);
}

} // namespace
