#include "framework/DialogHelpers.h"

#include <gtest/gtest.h>

TEST(DialogHelpersTest, MoveRectInsideKeepsTheSize)
{
    struct Case {
        RECT in;
        RECT out;
    } cases[] = {
        {{10, 10, 110, 60}, {10, 10, 110, 60}},         // already inside
        {{950, 10, 1050, 60}, {924, 10, 1024, 60}},     // past the right edge: ends there
        {{10, 750, 110, 800}, {10, 718, 110, 768}},     // past the bottom
        {{-30, -5, 70, 45}, {0, 0, 100, 50}},           // before the left and top
        {{-100, 0, 1200, 50}, {0, 0, 1300, 50}},        // wider than the screen: starts at 0
        {{900, 700, 1100, 900}, {824, 568, 1024, 768}}, // past both: ends in the corner
    };
    for (const Case& c : cases) {
        RECT r = c.in;
        MoveRectInside(r, 1024, 768);
        EXPECT_EQ(r, c.out) << c.in.left << "," << c.in.top;
    }
}
