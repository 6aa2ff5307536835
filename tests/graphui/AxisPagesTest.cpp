// The axis scale and ticks pages: what they load, check and write back.
#include "WizardSupport.h"

#include "graph/DrawGraph.h"
#include "graph/XYAxis.h"
#include "graphui/widgets/AxisPages.h"
#include "graphui/widgets/XYWizard.h"
#include "platform/StringIds.h"
#include "ui/MeasurementUnit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include <gtest/gtest.h>

namespace {

struct AxisFixture : GraphFixture {
    AxisFixture() { graph = new CDrawXYGraph(RECT{0, 0, 7200, -5040}, &page); }
    std::vector<CXYAxis*> XAxes() const
    {
        std::vector<CXYAxis*> axes;
        for (int i = 0; i < graph->GetXAxisCount(); ++i)
            axes.push_back(graph->GetXAxis(i));
        return axes;
    }
    RecordingReporter reporter;
    CDrawXYGraph* graph = nullptr;
};

void SetManual(CAxisScalePage& page, int field, const char* text)
{
    page.m_autos[field]->setChecked(false);
    page.m_edits[field]->setEnabled(true);
    page.m_edits[field]->setText(text);
}

} // namespace

TEST(AxisScalePage, UntouchedItWritesBackWhatItRead)
{
    AxisFixture f;
    CXYAxis* x = f.graph->GetXAxis(0);
    x->m_bAutoMin = x->m_bAutoMax = 0;
    x->m_dMin = 2.0;
    x->m_dMax = 40.0;
    x->m_nStart = 10;
    x->m_nEnd = 90;
    x->m_nBreakPlacement = 0;
    CAxisScalePage page(f.XAxes(), false);
    EXPECT_EQ(page.m_extentStart->text(), "10%");
    ASSERT_TRUE(ApplyPropertyPage(page));
    EXPECT_DOUBLE_EQ(x->m_dMin, 2.0);
    EXPECT_DOUBLE_EQ(x->m_dMax, 40.0);
    EXPECT_EQ(x->m_nStart, 10);
    EXPECT_EQ(x->m_nEnd, 90);
    EXPECT_EQ(x->m_nBreakPlacement, 0);
    EXPECT_EQ(x->m_bAutoMin, 0);
}

TEST(AxisScalePage, TheBreakListNamesTheSidesAsTheyAreDrawn)
{
    // An X axis draws placement 0 at its first edge, the frame's lower side.
    AxisFixture f;
    CXYAxis* x = f.graph->GetXAxis(0);
    x->m_nStart = 0;
    x->m_nEnd = 50;
    CAxisScalePage page(f.XAxes(), false);
    ASSERT_EQ(page.m_break->itemText(0), "Top");
    page.m_break->setCurrentIndex(0);
    ASSERT_TRUE(ApplyPropertyPage(page));
    EXPECT_EQ(x->m_nBreakPlacement, 1);
    page.m_break->setCurrentIndex(1);
    ASSERT_TRUE(ApplyPropertyPage(page));
    EXPECT_EQ(x->m_nBreakPlacement, 0);
    CAxisScalePage again(f.XAxes(), false);
    EXPECT_EQ(again.m_break->currentText(), "Bottom");
    for (int index : {2, 3, 4})
        EXPECT_EQ(page.PlacementFromBreakIndex(index), index);
}

TEST(AxisScalePage, PercentFieldsReadWhatTheyShowAndRefuseTheRest)
{
    AxisFixture f;
    CXYAxis* x = f.graph->GetXAxis(0);
    CAxisScalePage page(f.XAxes(), false);
    page.m_entire->setChecked(false);
    page.m_extentStart->setEnabled(true);
    page.m_extentEnd->setEnabled(true);
    page.m_extentStart->setText(" 0%");
    page.m_extentEnd->setText("60 %");
    ASSERT_TRUE(ApplyPropertyPage(page));
    EXPECT_EQ(x->m_nStart, 0);
    EXPECT_EQ(x->m_nEnd, 60);
    page.m_extentEnd->setText("60x");
    EXPECT_FALSE(ApplyPropertyPage(page));
    EXPECT_EQ(f.reporter.Ids().back(), IDS_INVALID_PERCENT);
    page.m_extentEnd->setText("101%");
    EXPECT_FALSE(ApplyPropertyPage(page));
    EXPECT_EQ(f.reporter.Ids().back(), IDS_ENTER_INTEGER_RANGE);
    EXPECT_EQ(x->m_nEnd, 60);
}

TEST(AxisScalePage, ChecksTheScaleBeforeItWrites)
{
    struct Case {
        int field;
        const char* text;
        bool log;
        UINT message;
    };
    for (const Case& c : {Case{1, "-5", false, IDS_SCALE_FINISH_NOT_ABOVE_START},
                          Case{2, "0", false, IDS_TICK_INCREMENT_NOT_POSITIVE},
                          Case{3, "-1", false, IDS_TICK_INCREMENT_NOT_POSITIVE}}) {
        AxisFixture f;
        CAxisScalePage page(f.XAxes(), false);
        SetManual(page, 0, "0");
        SetManual(page, c.field, c.text);
        EXPECT_FALSE(ApplyPropertyPage(page)) << c.text;
        EXPECT_EQ(f.reporter.Ids(), std::vector<UINT>{c.message}) << c.text;
    }
}

TEST(AxisScalePage, ALogarithmicTypeTurnsNonPositiveManualValuesAutomatic)
{
    for (auto [start, staysManual] : {std::pair{"0.5", true}, std::pair{"-1", false}}) {
        AxisFixture f;
        CAxisScalePage page(f.XAxes(), false);
        SetManual(page, 0, start);
        SetManual(page, 1, "20");
        page.m_type->setCurrentIndex(1);
        emit page.m_type->activated(1);
        EXPECT_EQ(page.m_bAutoStart, staysManual ? 0 : 1) << start;
        EXPECT_EQ(page.m_bAutoFinish, 0);
        ASSERT_TRUE(ApplyPropertyPage(page)) << start;
        EXPECT_EQ(f.graph->GetXAxis(0)->m_bLog, 1);
    }
}

TEST(AxisScalePage, AnAutomaticStartAboveAManualFinishGivesStartPlusOne)
{
    AxisFixture f;
    CAxisScalePage page(f.XAxes(), false);
    double min = 0, max = 0;
    f.graph->GetXAxis(0)->Autoscale(false, min, max);
    page.m_bAutoFinish = 0;
    page.m_dFinish = min - 5.0;
    page.Recalculate();
    EXPECT_DOUBLE_EQ(page.m_dStart, min);
    EXPECT_DOUBLE_EQ(page.m_dFinish, min + 1.0);
}

TEST(AxisTicksPage, ASpecificTickSizeIsStoredAndComesBack)
{
    AxisFixture f;
    CXYAxis* x = f.graph->GetXAxis(0);
    const MeasurementUnit unit(MeasurementUnit::LocaleUnit(), 720);
    {
        CAxisTicksPage page(f.XAxes(), false);
        EXPECT_FALSE(page.m_specific->isEnabled());
        page.m_size->setCurrentIndex(3);
        ASSERT_TRUE(page.m_specific->isEnabled());
        page.m_specific->setText(QString::fromStdString(unit.Format(200)));
        ASSERT_TRUE(ApplyPropertyPage(page));
    }
    EXPECT_EQ(x->m_nTickLengthKind, 3);
    EXPECT_EQ(x->m_nCustomTickLength, 200);
    EXPECT_EQ(x->GetTickLength(), 200);
    CAxisTicksPage reopened(f.XAxes(), false);
    EXPECT_EQ(reopened.m_nSpecificSize, 200);
    EXPECT_EQ(reopened.m_specific->text(), QString::fromStdString(unit.Format(200)));
}

TEST(AxisTicksPage, GridStylesListNoneFirstAndUntouchedPagesChangeNothing)
{
    EXPECT_EQ(GridListIndexFromStyle(5), 0);
    EXPECT_EQ(GridListIndexFromStyle(0), 1);
    for (int style = 0; style <= 5; ++style)
        EXPECT_EQ(GridStyleFromListIndex(GridListIndexFromStyle(style)), style);
    AxisFixture f;
    CXYAxis* x = f.graph->GetXAxis(0);
    x->m_nMajorGridStyle = 2;
    x->m_nTickStyle1 = 3;
    x->m_nOffset = 72;
    CAxisTicksPage page(f.XAxes(), false);
    EXPECT_EQ(page.m_majorStyle->currentIndex(), 3);
    ASSERT_TRUE(ApplyPropertyPage(page));
    EXPECT_EQ(x->m_nMajorGridStyle, 2);
    EXPECT_EQ(x->m_nTickStyle1, 3);
    EXPECT_EQ(x->m_nOffset, 72);
}

TEST(GraphFramePage, TheTopBoxIsTheSideDrawnOnTopAndCancelKeepsTheFrame)
{
    AxisFixture f;
    f.graph->m_bBottomEdge = 0; // the side at the frame's larger y: the upper one on the page
    {
        CGraphFramePage page(f.graph);
        EXPECT_FALSE(page.m_sides[0]->isChecked());
        EXPECT_TRUE(page.m_sides[1]->isChecked());
        page.m_sides[3]->setChecked(false); // then cancelled: not applied
    }
    EXPECT_EQ(f.graph->m_bRightEdge, 1);
    CGraphFramePage page(f.graph);
    ASSERT_TRUE(ApplyPropertyPage(page));
    EXPECT_EQ(f.graph->m_bBottomEdge, 0);
    EXPECT_EQ(f.graph->m_bTopEdge, 1);
    page.m_sides[1]->setChecked(false);
    page.m_over->setChecked(true);
    ASSERT_TRUE(ApplyPropertyPage(page));
    EXPECT_EQ(f.graph->m_bTopEdge, 0);
    EXPECT_EQ(f.graph->m_bBehind, 1);
}
