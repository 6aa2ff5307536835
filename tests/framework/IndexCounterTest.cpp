#include "framework/IndexCounter.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
std::vector<std::vector<int>> Walk(CIndexCounter& c)
{
    std::vector<std::vector<int>> seen;
    for (c.Reset(); c.InRange(); c.Step()) {
        std::vector<int> row;
        for (int i = 0; i < c.GetCount(); ++i)
            row.push_back(c.Get(i));
        seen.push_back(row);
        if (seen.size() > 1000)
            break;
    }
    return seen;
}
} // namespace

TEST(IndexCounter, CountsLikeAnOdometerLastIndexFastest)
{
    CIndexCounter c;
    c.Add(0, 2);
    c.Add(5, 8);
    std::vector<std::vector<int>> expected = {{0, 5}, {0, 6}, {0, 7}, {1, 5}, {1, 6}, {1, 7}};
    EXPECT_EQ(Walk(c), expected);
    EXPECT_EQ(c.Get(0), 2); // the first index ends at its limit, never reset
    EXPECT_EQ(c.Get(2), -1);
}

TEST(IndexCounter, EmptyCases)
{
    CIndexCounter none;
    EXPECT_FALSE(none.InRange());
    EXPECT_EQ(none.Get(0), -1);

    CIndexCounter firstEmpty;
    firstEmpty.Add(3, 3);
    firstEmpty.Add(0, 2);
    EXPECT_TRUE(Walk(firstEmpty).empty());

    // An inner index with nothing to count makes the whole counter empty,
    // rather than running the outer index through combinations that do not exist.
    CIndexCounter innerEmpty;
    innerEmpty.Add(0, 3);
    innerEmpty.Add(4, 2);
    EXPECT_TRUE(Walk(innerEmpty).empty());
}
