#include "ui/DialogHelpers.h"

#include "support/TestSupport.h"
#include "platform/Reporter.h"

#include <gtest/gtest.h>

TEST(DialogHelpersTest, MoveRectInsideKeepsTheSize)
{
    struct Case {
        RECT in;
        RECT out;
    } cases[] = {
        {{10, 10, 110, 60}, {10, 10, 110, 60}},       // already inside
        {{950, 10, 1050, 60}, {924, 10, 1024, 60}},   // past the right edge: ends there
        {{10, 750, 110, 800}, {10, 718, 110, 768}},   // past the bottom
        {{-30, -5, 70, 45}, {0, 0, 100, 50}},         // before the left and top
        {{-100, 0, 1200, 50}, {0, 0, 1300, 50}},      // wider than the screen: starts at 0
    };
    for (const Case& c : cases) {
        RECT r = c.in;
        MoveRectInside(r, 1024, 768);
        EXPECT_EQ(r, c.out) << c.in.left << "," << c.in.top;
    }
}

TEST(DialogHelpersTest, DoubleSettingsDifferUnlessEqualOrBothUnset)
{
    EXPECT_FALSE(DoubleSetting{} != DoubleSetting{});
    EXPECT_TRUE(DoubleSetting{1.0} != DoubleSetting{});
    EXPECT_TRUE(DoubleSetting{} != DoubleSetting{1.0});
    EXPECT_FALSE(DoubleSetting{2.5} != DoubleSetting{2.5});
    EXPECT_TRUE(DoubleSetting{2.5} != DoubleSetting{2.6});
}

TEST(DialogHelpersTest, MessageWithANumber)
{
    RecordingReporter reporter;
    MessageBoxWithNumber(1209, 500, MB_OKCANCEL, 1209);
    ASSERT_EQ(reporter.Ids(), std::vector<UINT>{1209});
    EXPECT_EQ(reporter.messages[0].text, "Help topic number 500 is not available.");
    EXPECT_EQ(reporter.messages[0].type, UINT(MB_OKCANCEL));
}
