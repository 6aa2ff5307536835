// Workspaces that once broke the program as it opened them: each opens now,
// with every stored number within its range.
#include "app/MXDoc.h"
#include "app/MXEquation.h"
#include "app/MXGrid.h"
#include "app/MXItemAdd.h"
#include "data/MyData.h"
#include "framework/WindowPlacement.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

// The rectangle lies within what a screen can have.
void ExpectOnScreenRange(const RECT& r)
{
    for (LONG v : {r.left, r.top, r.right, r.bottom}) {
        EXPECT_GE(v, -2 * kMaxScreenCoordinate);
        EXPECT_LE(v, 2 * kMaxScreenCoordinate);
    }
    EXPECT_GE(r.right, r.left);
    EXPECT_GE(r.bottom, r.top);
}

TEST(DamagedWorkspace, WindowRectangleNearTheSmallestIntIsClampedAsItIsRead)
{
    CMXDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(ReproPath("W1_window_rect.mxf")));
    ASSERT_FALSE(doc.GetProjectItems().empty());
    for (CProjectItemBase* item : doc.GetProjectItems()) {
        ExpectOnScreenRange(item->m_wpFrame.rcNormalPosition);
        EXPECT_LE(std::abs(item->m_wpFrame.ptMinPosition.x), kMaxScreenCoordinate);
        EXPECT_LE(std::abs(item->m_wpFrame.ptMaxPosition.y), kMaxScreenCoordinate);
    }
}

TEST(DamagedWorkspace, ColumnFormatWithTheSmallestMaxDigitsFormatsItsCells)
{
    CMXDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(ReproPath("W2_fmt_maxdigits.mxf")));
    int tables = 0;
    for (CProjectItemBase* item : doc.GetProjectItems()) {
        auto* grid = dynamic_cast<CMXGrid*>(item);
        if (!grid)
            continue;
        ++tables;
        const CMyData& table = grid->GetTable();
        for (int column : table.GetColumnNumbers()) {
            const CDataFormat& format = table.GetColumnFormat(column);
            EXPECT_GE(format.m_maxDigits, 0);
            EXPECT_LE(format.m_maxDigits, 340);
            // What the window does when it paints the column.
            for (double v : {0.5, -1234.5, 1e200})
                EXPECT_FALSE(format.FormatNumber(v).empty());
            std::string sample;
            format.GetWidestSample(sample);
        }
    }
    EXPECT_GT(tables, 0);
}

TEST(DamagedWorkspace, EquationWithTwentyThousandLocalsIsCompiledOnOpen)
{
    // Opening this took 13.7 s when local names were found by a list search;
    // the test's timeout bounds it now.
    CMXDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(ReproPath("eq_locals20k.mxf")));
    int equations = 0;
    for (CProjectItemBase* item : doc.GetProjectItems())
        if (auto* eq = dynamic_cast<CMXEquation*>(item)) {
            ++equations;
            // The stored equation names no Y variable, so its "y" is one more
            // local: the compile on open went through all 20,001 names and
            // failed only at the end, for the missing Y statement.
            const CEquation& compiled = eq->GetCompiledEquation();
            EXPECT_FALSE(compiled.IsValid());
            EXPECT_EQ(compiled.GetLocalNames().size(), 20001u);
            EXPECT_EQ(compiled.GetLocalNames().back(), "y");
        }
    EXPECT_EQ(equations, 1);
}

TEST(DamagedWorkspace, StoredFitThatNamesOneFitTwiceIsRefused)
{
    // Found by the stored-item fuzzer: the second data set of a stored
    // non-linear fit refers back to the first one's fit, which both then
    // owned; the item now fails to load with a message and nothing is added.
    RecordingReporter reporter;
    CMXDoc doc;
    doc.OnNewDocument();
    EXPECT_EQ(doc.GetActionList().Add(new CMXItemAddFromStore(&doc, ReproPath("F1_fit_stored_twice.mxc"))), 0);
    EXPECT_TRUE(doc.GetProjectItems().empty());
    EXPECT_FALSE(reporter.messages.empty());
}

} // namespace
