#include "ui/DoubleText.h"

#include "framework/ArchiveHelpers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

TEST(DoubleTextTest, BlankIsAnEmptyField)
{
    EXPECT_EQ(FormatDoubleOrBlank(BlankValue()), "");
    double v = 1.0;
    ASSERT_TRUE(ParseDoubleOrBlank(" \t ", v));
    EXPECT_TRUE(IsBlank(v));
}

TEST(DoubleTextTest, NumbersRoundTripWithFifteenDigits)
{
    EXPECT_EQ(FormatDoubleOrBlank(0.1), "0.1");
    EXPECT_EQ(FormatDoubleOrBlank(-2.5e-7), "-2.5e-07");
    EXPECT_EQ(FormatDoubleOrBlank(1.0 / 3.0), "0.333333333333333");
    double v = 0;
    ASSERT_TRUE(ParseDoubleOrBlank(" 12.5 ", v));
    EXPECT_EQ(v, 12.5);
    ASSERT_TRUE(ParseDoubleOrBlank("+3e2", v));
    EXPECT_EQ(v, 300.0);
    for (const char* bad : {"1,5", "12a", "inf", "--1", "+-1", "1e999"})
        EXPECT_FALSE(ParseDoubleOrBlank(bad, v)) << bad;
}

TEST(DoubleTextTest, BlanksSortLast)
{
    std::vector<double> v = {3.0, BlankValue(), -1.0, BlankValue(), 2.0};
    std::stable_sort(v.begin(), v.end(), LessBlankLast);
    EXPECT_EQ(v[0], -1.0);
    EXPECT_EQ(v[1], 2.0);
    EXPECT_EQ(v[2], 3.0);
    EXPECT_TRUE(IsBlank(v[3]) && IsBlank(v[4]));
    EXPECT_FALSE(LessBlankLast(BlankValue(), BlankValue()));
}

}  // namespace
