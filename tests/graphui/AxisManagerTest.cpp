// The axis manager: its choices, its checks, and what Finish does to the graph.
#include "WizardSupport.h"

#include "graph/DrawGraph.h"
#include "graph/XYAxis.h"
#include "graph/XYDatasetTable.h"
#include "graphui/widgets/AxisManager.h"
#include "platform/StringIds.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>
#include <QTableWidget>

#include <gtest/gtest.h>

namespace {

struct ManagerFixture : GraphFixture {
    ManagerFixture()
    {
        CMyData& t = doc.AddTable("Sample");
        FillColumn(t, 0, {1, 2, 3, 4});
        FillColumn(t, 1, {2, 4, 6, 8});
        graph = new CDrawXYGraph(RECT{1000, -1000, 5000, -4000}, &page);
        graph->AddDataset(new CXYDatasetTable("Sample", 0, 1, -1, graph), "sample");
    }
    RecordingReporter reporter;
    CDrawXYGraph* graph;
};

} // namespace

TEST(AxisManager, NoOptionStaysAndRemoveWaitsForASecondAxis)
{
    ManagerFixture f;
    CAxisManagerSheet sheet(f.graph, nullptr, true, false);
    sheet.Start();
    EXPECT_EQ(sheet.GetWizardButtons(), PSWIZB_NEXT);
    EXPECT_FALSE(sheet.m_main.m_options[4]->isEnabled());
    // Y options are not offered here.
    EXPECT_FALSE(sheet.m_main.m_options[1]->isEnabled());
    EXPECT_FALSE(sheet.m_main.m_options[3]->isEnabled());
    EXPECT_TRUE(sheet.m_main.m_options[2]->isEnabled());
    EXPECT_FALSE(sheet.PressNext());
    EXPECT_EQ(f.reporter.Ids().back(), IDS_SELECT_AN_OPTION);
}

TEST(AxisManager, AddingAnXAxisSetsItsTicksFromTheStyleTable)
{
    struct Case {
        int style, upper, lower;
    };
    // Styles 0 to 5 of an X axis: (upper, lower) placements, 0 inside, 1 outside, 3 off.
    for (const Case& c : {Case{0, 0, 0}, Case{1, 3, 0}, Case{2, 0, 3}, Case{3, 1, 1}, Case{4, 3, 1}, Case{5, 1, 3}}) {
        ManagerFixture f;
        CAxisManagerSheet sheet(f.graph, nullptr, true, true);
        sheet.Start();
        sheet.m_main.m_options[0]->setChecked(true);
        ASSERT_TRUE(sheet.PressNext());
        ASSERT_EQ(sheet.GetActivePage(), &sheet.m_addX);
        EXPECT_EQ(sheet.GetWizardButtons(), PSWIZB_BACK | PSWIZB_FINISH);
        EXPECT_TRUE(sheet.m_addX.m_styles[5]->isChecked());
        sheet.m_addX.m_styles[c.style]->setChecked(true);
        ASSERT_TRUE(sheet.PressFinish());
        sheet.ApplyChoice();
        ASSERT_EQ(f.graph->GetXAxisCount(), 2);
        const CXYAxis* x = f.graph->GetXAxis(1);
        EXPECT_EQ(x->m_nTickStyle1, c.upper) << c.style;
        EXPECT_EQ(x->m_nTickStyle2, c.lower) << c.style;
        EXPECT_NE(x->GetTitle(), nullptr);
    }
    // Y: (left, right).
    ManagerFixture f;
    CAxisManagerSheet sheet(f.graph, nullptr, true, true);
    sheet.Start();
    sheet.m_main.m_options[1]->setChecked(true);
    ASSERT_TRUE(sheet.PressNext());
    ASSERT_EQ(sheet.GetActivePage(), &sheet.m_addY);
    sheet.m_addY.m_styles[4]->setChecked(true);
    // Back returns to the options and Next to the same page.
    ASSERT_TRUE(sheet.PressBack());
    EXPECT_EQ(sheet.GetActivePage(), &sheet.m_main);
    ASSERT_TRUE(sheet.PressNext());
    ASSERT_TRUE(sheet.PressFinish());
    sheet.ApplyChoice();
    ASSERT_EQ(f.graph->GetYAxisCount(), 2);
    EXPECT_EQ(f.graph->GetYAxis(1)->m_nTickStyle1, 1);
    EXPECT_EQ(f.graph->GetYAxis(1)->m_nTickStyle2, 3);
}

TEST(AxisManager, SplittingAnAxisAtHalfGivesTwoStretchesWithABreak)
{
    ManagerFixture f;
    CXYAxis* a = f.graph->GetXAxis(0);
    a->m_bAutoMin = a->m_bAutoMax = 0;
    a->m_dMin = 0;
    a->m_dMax = 10;
    CAxisManagerSheet sheet(f.graph, nullptr, true, true);
    sheet.Start();
    sheet.m_main.m_options[2]->setChecked(true);
    ASSERT_TRUE(sheet.PressNext());
    ASSERT_EQ(sheet.GetActivePage(), &sheet.m_split);
    CAxisSplitPage& split = sheet.m_split;
    ASSERT_EQ(split.m_axisList->count(), 1);
    EXPECT_EQ(split.m_axisList->itemText(0), "1 (scale 0 to 10)");
    EXPECT_TRUE(split.m_range->text().isEmpty());
    EXPECT_FALSE(sheet.PressFinish());
    EXPECT_EQ(f.reporter.Ids().back(), IDS_SELECT_AXIS_TO_SPLIT);
    split.m_axisList->setCurrentIndex(0);
    emit split.m_axisList->activated(0);
    // The split value starts in the middle of the axis; the hint names its range.
    EXPECT_EQ(split.m_value->text(), "5");
    EXPECT_EQ(split.m_range->text(), "(Between 0 and 10)");
    EXPECT_EQ(split.m_positionText->text(), "50%");
    split.m_value->setText("11");
    EXPECT_FALSE(sheet.PressFinish());
    EXPECT_EQ(f.reporter.Ids().back(), IDS_ENTER_NUMBER_RANGE);
    split.m_value->setText("5");
    ASSERT_TRUE(sheet.PressFinish());
    sheet.ApplyChoice();
    ASSERT_EQ(f.graph->GetXAxisCount(), 2);
    const CXYAxis* n = f.graph->GetXAxis(1);
    EXPECT_EQ(a->m_nStart, 0);
    EXPECT_EQ(a->m_nEnd, 49);
    EXPECT_EQ(n->m_nStart, 51);
    EXPECT_EQ(n->m_nEnd, 100);
    EXPECT_DOUBLE_EQ(a->m_dMax, 5.0);
    EXPECT_EQ(a->m_bAutoMax, 0);
    EXPECT_DOUBLE_EQ(n->m_dMin, 5.2); // 5 + 0.02 x (10 - 0)
    EXPECT_EQ(n->m_bAutoMin, 0);
    EXPECT_EQ(n->m_bCrossLine, 0);
    EXPECT_EQ(a->m_nBreakPlacement, 3);
    EXPECT_EQ(n->m_nBreakPlacement, 3);
    // The lower side of the frame (the smaller y) goes; the dataset is drawn on both axes.
    EXPECT_EQ(f.graph->m_bTopEdge, 0);
    EXPECT_EQ(f.graph->m_bBottomEdge, 1);
    EXPECT_TRUE(f.graph->GetDataset(0)->FindXAxis(0));
    EXPECT_TRUE(f.graph->GetDataset(0)->FindXAxis(1));
}

TEST(AxisManager, RemovingAnAxisNeedsARowAndLeavesTheDatasetOnTheFirst)
{
    ManagerFixture f;
    f.graph->AddAxes(0, 1);
    f.graph->GetYAxis(1)->CreateLabels(2, true);
    f.graph->GetDataset(0)->m_yAxes = {1};
    CAxisManagerSheet sheet(f.graph, nullptr, true, true);
    sheet.Start();
    ASSERT_TRUE(sheet.m_main.m_options[5]->isEnabled());
    sheet.m_main.m_options[5]->setChecked(true);
    ASSERT_TRUE(sheet.PressNext());
    ASSERT_EQ(sheet.GetActivePage(), &sheet.m_removeY);
    QTableWidget* list = sheet.m_removeY.m_list;
    ASSERT_EQ(list->rowCount(), 2);
    EXPECT_EQ(list->item(1, 0)->text(), "2");
    EXPECT_EQ(list->item(0, 3)->text(), "0");
    EXPECT_EQ(list->item(1, 3)->text(), "1");
    EXPECT_FALSE(sheet.PressFinish());
    EXPECT_EQ(f.reporter.Ids().back(), IDS_SELECT_AXIS_TO_REMOVE);
    list->selectRow(1);
    ASSERT_TRUE(sheet.PressFinish());
    sheet.ApplyChoice();
    ASSERT_EQ(f.graph->GetYAxisCount(), 1);
    EXPECT_TRUE(f.graph->GetDataset(0)->FindYAxis(0));
}
