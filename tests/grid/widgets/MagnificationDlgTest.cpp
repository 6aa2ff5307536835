#include "grid/widgets/MagnificationDlg.h"

#include "support/TestSupport.h"

#include <QComboBox>

#include <gtest/gtest.h>

TEST(MagnificationDlgTest, AcceptsFiveToSixHundredPercent)
{
    struct Case {
        const char* text;
        bool accepted;
        int percent;
        UINT message;
    } cases[] = {
        {"5", true, 5, 0},        {"600%", true, 600, 0},    {" 150 % ", true, 150, 0},
        {"4", false, 100, 8483},  {"601%", false, 100, 8483}, {"abc", false, 100, 8482},
        {"12.5", false, 100, 8482}, {"", false, 100, 8482},
    };
    for (const Case& c : cases) {
        RecordingReporter reporter;
        CMagnificationDlg dialog(nullptr, CMagnificationDlg::kGridTemplate);
        dialog.GetCombo()->setEditText(QString::fromLatin1(c.text));
        EXPECT_EQ(dialog.DoDataExchange(true), c.accepted) << c.text;
        EXPECT_EQ(dialog.m_nPercent, c.percent) << c.text;
        if (c.message) {
            ASSERT_EQ(reporter.Ids(), std::vector<UINT>{c.message}) << c.text;
            if (c.message == 8483) {
                EXPECT_EQ(reporter.messages[0].text, "Please enter a percentage value between 5% and 600%");
            }
        } else {
            EXPECT_TRUE(reporter.Ids().empty()) << c.text;
        }
    }
}

TEST(MagnificationDlgTest, ShowsThePercentageAndTheTitleOfItsUse)
{
    CMagnificationDlg grid(nullptr, CMagnificationDlg::kGridTemplate);
    CMagnificationDlg graph(nullptr, CMagnificationDlg::kGraphTemplate);
    EXPECT_EQ(grid.windowTitle(), "Grid Magnification");
    EXPECT_EQ(graph.windowTitle(), "Graph Magnification");
    grid.m_nPercent = 250;
    grid.DoDataExchange(false);
    EXPECT_EQ(grid.GetCombo()->currentText(), "250%");
}

TEST(MagnificationDlgTest, CancelLeavesThePercentage)
{
    CMagnificationDlg dialog(nullptr, CMagnificationDlg::kGridTemplate);
    dialog.m_nPercent = 80;
    dialog.DoDataExchange(false);
    dialog.GetCombo()->setEditText("300");
    dialog.reject();
    EXPECT_EQ(dialog.m_nPercent, 80);
}
