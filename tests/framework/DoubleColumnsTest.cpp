#include "framework/DoubleColumns.h"

#include <gtest/gtest.h>

TEST(DoubleColumns, SetValueKeepsColumnsTheSameLength)
{
    CDoubleColumns t;
    EXPECT_EQ(t.GetRowCount(), 0);
    t.SetValue(1, 3, 2.5);
    EXPECT_EQ(t.GetColumnCount(), 2);
    EXPECT_EQ(t.GetRowCount(), 4);
    EXPECT_EQ(t[0].size(), 4u);
    EXPECT_EQ(t.GetAt(1, 3), 2.5);
    EXPECT_EQ(t.GetAt(0, 3), 0.0);
    t.SetValue(0, 1, -1.0);
    EXPECT_EQ(t.GetRowCount(), 4);
    EXPECT_EQ(t.GetAt(0, 1), -1.0);
}

TEST(DoubleColumns, Sizing)
{
    CDoubleColumns t;
    t.SetSize(3, 5);
    EXPECT_EQ(t.GetColumnCount(), 3);
    EXPECT_EQ(t.GetRowCount(), 5);
    t.SetValue(2, 4, 9.0);
    t.SetRowCount(2);
    EXPECT_EQ(t[2].size(), 2u);
    t.SetRowCount(6);
    EXPECT_EQ(t.GetAt(2, 4), 0.0);
    t.SetColumnCount(1);
    EXPECT_EQ(t.GetColumnCount(), 1);
    t.SetColumnCount(2);
    EXPECT_EQ(t[1].size(), 6u);
    t.SetRowCount(0);
    EXPECT_EQ(t[0].capacity(), 0u);
}
