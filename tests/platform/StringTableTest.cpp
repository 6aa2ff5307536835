#include "platform/Reporter.h"
#include "platform/StringTable.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

TEST(StringTable, IdsAreStrictlyAscending) { EXPECT_TRUE(StringTableIsSorted()); }

TEST(StringTable, LooksUpAndFormats)
{
    EXPECT_EQ(LoadString(25170), "&Undo %1\tCtrl+Z");
    EXPECT_EQ(LoadString(1), "");
    EXPECT_FALSE(HasString(1));
    EXPECT_EQ(FormatString(25016, {"Marlox"}),
              "This file was created by a later version of Marlox, or the file is corrupt.");
    // Missing arguments keep their markers; %% and other text pass through.
    EXPECT_EQ(FormatMessageText("%1 and %2 at 50%", {"a"}), "a and %2 at 50%");
    EXPECT_EQ(FormatMessageText("%2%1", {"x", "y"}), "yx");
}

TEST(Reporter, RecordsAndAnswersAsScripted)
{
    RecordingReporter reporter;
    reporter.Answer(IDNO);
    EXPECT_EQ(ReportMessage(25016, {"Marlox"}, MB_YESNO | MB_ICONQUESTION), IDNO);
    EXPECT_EQ(ReportText("plain", MB_YESNOCANCEL), IDYES);
    ASSERT_EQ(reporter.messages.size(), 2u);
    EXPECT_EQ(reporter.messages[0].stringId, 25016u);
    EXPECT_EQ(reporter.messages[0].helpId, 25016u);
    EXPECT_EQ(reporter.messages[0].args, std::vector<std::string>{"Marlox"});
    EXPECT_EQ(reporter.messages[1].stringId, 0u);
    MessageBeep();
    EXPECT_EQ(reporter.beeps, 1);
}
