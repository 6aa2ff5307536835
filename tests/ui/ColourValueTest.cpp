#include "ui/ColourValue.h"

#include <gtest/gtest.h>

namespace {

TEST(ColourValueTest, SpecialWordsAndComparisons)
{
    ColourValue v;
    EXPECT_EQ(v.m_colour, kWindowTextColour);
    EXPECT_FALSE(v.IsAutomatic());

    v.Set(0x0000FF);
    EXPECT_TRUE(v.Equals(0x0000FF));
    EXPECT_FALSE(v != 0x0000FF);
    EXPECT_TRUE(v != 0x00FF00);

    v.SetNone();
    EXPECT_EQ(v.m_colour, 0xFFFFFFFFu);
    EXPECT_TRUE(v.IsSpecial());
    EXPECT_FALSE(v.Equals(0xFFFFFFFF));  // special values equal nothing

    v.Set(0xFFFFFFFE);
    EXPECT_TRUE(v.IsSpecial());

    v.SetAutomatic(0x123456);
    EXPECT_FALSE(v.IsSpecial());
    EXPECT_FALSE(v.Equals(0x123456));  // the automatic colour is no chosen colour
    ColourValue automaticNone(0xFFFFFFFF, 1);
    EXPECT_FALSE(automaticNone.IsSpecial());  // the flag set: not reserved
}

TEST(ColourValueTest, StandardTable)
{
    // Order and values: black first, white at 15, 90% black last (0x19 = 25 = 10% of 255, rounded).
    EXPECT_EQ(StandardColour(0), 0x000000u);
    EXPECT_EQ(StandardColourName(0), "Black");
    EXPECT_EQ(StandardColour(9), 0x0000FFu);
    EXPECT_EQ(StandardColourName(9), "Red");
    EXPECT_EQ(StandardColour(15), 0xFFFFFFu);
    EXPECT_EQ(StandardColourName(16), "5% Black");
    EXPECT_EQ(StandardColour(29), 0x191919u);
    EXPECT_EQ(StandardColourName(29), "90% Black");
    EXPECT_EQ(FindStandardColour(0xC0C0C0), 8);
    EXPECT_EQ(FindStandardColour(0x123456), -1);
    for (int i = 0; i < kStandardColourCount; ++i) {
        EXPECT_FALSE(StandardColourName(i).empty()) << i;
        EXPECT_EQ(FindStandardColour(StandardColour(i)), i);  // the table has no duplicates
    }
}

}  // namespace
