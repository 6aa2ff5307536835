// The axis scale and ticks pages: what they load, check and write back.
#include "WizardSupport.h"
#include "draw/DrawTestSupport.h"

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

namespace {

// A graph drawn into a 200 x 200 image at 60 page units a pixel: its frame
// spans columns 20 to 140 and rows 96 (the upper side on the page) to 180.
struct DrawnFrame : GraphFixture {
    DrawnFrame() { graph = new CDrawXYGraph(RECT{1200, 1200, 8400, 6240}, &page); }
    QImage Render() const { return RenderObjects({graph}, 200, 200, 60.0); }
    // Dark pixels in the rows and columns (both ends included).
    static int Dark(const QImage& image, int row0, int row1, int col0, int col1)
    {
        int n = 0;
        for (int y = row0; y <= row1; ++y)
            for (int x = col0; x <= col1; ++x)
                n += IsDark(image, x, y) ? 1 : 0;
        return n;
    }
    CDrawXYGraph* graph;
};

} // namespace

// "Top" on the frame page is the side drawn at the top of the picture.
TEST(GraphFramePage, TheSidesItNamesAreTheSidesDrawn)
{
    struct Case {
        int box; // 0 Top, 1 Bottom
        bool upperDrawn, lowerDrawn;
    };
    for (const Case& c : {Case{0, false, true}, Case{1, true, false}}) {
        DrawnFrame f;
        // Without axis lines the frame's sides are all that is drawn at the edges.
        for (CXYAxis* axis : {f.graph->GetXAxis(0), f.graph->GetYAxis(0)}) {
            axis->m_nTickStyle1 = axis->m_nTickStyle2 = 3;
            axis->m_bCrossLine = 0; // no axis drawn across the frame at the crossing value either
        }
        const QImage before = f.Render();
        ASSERT_GT(DrawnFrame::Dark(before, 95, 97, 40, 120), 0);
        ASSERT_GT(DrawnFrame::Dark(before, 179, 181, 40, 120), 0);
        CGraphFramePage page(f.graph);
        page.m_sides[c.box]->setChecked(false);
        ASSERT_TRUE(ApplyPropertyPage(page));
        const QImage image = f.Render();
        EXPECT_EQ(DrawnFrame::Dark(image, 95, 97, 40, 120) > 0, c.upperDrawn) << c.box;
        EXPECT_EQ(DrawnFrame::Dark(image, 179, 181, 40, 120) > 0, c.lowerDrawn) << c.box;
    }
}

// The break marks of an X axis that starts at 20 % of the frame: "Top" is
// drawn across the upper side of the picture, "Bottom" across the lower one.
TEST(AxisScalePage, TheBreakSymbolIsDrawnOnTheSideItNames)
{
    struct Case {
        const char* name;
        bool upper, lower;
    };
    for (const Case& c : {Case{"Top", true, false}, Case{"Bottom", false, true}, Case{"All", true, true},
                          Case{"None", false, false}}) {
        DrawnFrame f;
        CXYAxis* x = f.graph->GetXAxis(0);
        x->m_nTickLengthKind = 2; // frame width / 22: 327 page units, over 5 pixels
        CAxisScalePage page({x}, false);
        page.m_entire->setChecked(false);
        page.m_extentStart->setEnabled(true);
        page.m_extentStart->setText("20%");
        page.m_break->setEnabled(true);
        page.m_break->setCurrentIndex(page.m_break->findText(c.name));
        ASSERT_TRUE(ApplyPropertyPage(page)) << c.name;
        ASSERT_EQ(x->m_nStart, 20);
        // The axis minimum sits at column 20 + 0.2 x 120 = 44; a break stroke
        // leaves the frame there by up to 5 pixels, where nothing else is drawn
        // (the ticks point inwards).
        const QImage image = f.Render();
        EXPECT_EQ(DrawnFrame::Dark(image, 90, 94, 44, 50) > 0, c.upper) << c.name;
        EXPECT_EQ(DrawnFrame::Dark(image, 182, 186, 38, 44) > 0, c.lower) << c.name;
    }
}
