// Column and bar charts worked by hand: where the bars of a category lie for
// given series counts, overlaps and spacings; stacked and percentage bars;
// the category axis' range, names and notices; the value ranges with error
// bars; and the stored records (hand-built bytes and round trips).
#include "GraphTestSupport.h"
#include "draw/DrawTestSupport.h"

#include "data/DataString.h"
#include "framework/UpdateNotification.h"
#include "graph/CatText.h"
#include "graph/CategoryAxis.h"
#include "graph/DrawGraph.h"
#include "graph/Legend.h"
#include "graph/XYAxis.h"
#include "graph/XYDatasetChart.h"
#include "platform/StringIds.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

const double kBlank = std::numeric_limits<double>::quiet_NaN();

// ---------------------------------------------------------------- layout of one category

struct LayoutCase {
    const char* name;
    int n;
    double overlap, gap;
    double g, w, step;
};

class BarLayout : public ::testing::TestWithParam<LayoutCase> {};

// g = gap / 400, w = (1 - 2g) / (n - (n - 1) overlap / 100), step = -w overlap / 100.
TEST_P(BarLayout, MatchesHandCalculation)
{
    const LayoutCase& c = GetParam();
    CCategoryAxisData settings;
    settings.overlap = c.overlap;
    settings.gap = c.gap;
    const CBarLayout l = CBarLayout::Make(settings, 0.0, c.n);
    EXPECT_DOUBLE_EQ(l.g, c.g);
    EXPECT_DOUBLE_EQ(l.w, c.w);
    EXPECT_DOUBLE_EQ(l.step, c.step);
}

INSTANTIATE_TEST_SUITE_P(Cases, BarLayout,
    ::testing::Values(
        // One bar with the defaults fills the middle three quarters.
        LayoutCase{"OneDefault", 1, -25, 50, 0.125, 0.75, 0.1875},
        // Two bars: 0.75 / 2.25 each, a quarter of a bar between them.
        LayoutCase{"TwoDefault", 2, -25, 50, 0.125, 0.75 / 2.25, 0.75 / 2.25 * 0.25},
        LayoutCase{"TwoOnTopOfEachOther", 2, 100, 50, 0.125, 0.75, -0.75},
        LayoutCase{"ThreeTouching", 3, 0, 0, 0.0, 1.0 / 3.0, 0.0},
        LayoutCase{"WideSpacing", 1, 0, 200, 0.5, 0.0, 0.0},
        // Damaged settings are taken as the nearest the pages allow.
        LayoutCase{"OverlapBeyond100", 2, 1e9, 50, 0.125, 0.75, -0.75},
        LayoutCase{"NegativeSpacing", 1, 0, -50, 0.0, 1.0, 0.0},
        LayoutCase{"NotANumber", 1, kBlank, kBlank, 0.125, 0.75, 0.1875}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BarLayout, BarOfCategoryIWithDefaults)
{
    const CBarLayout l = CBarLayout::Make(CCategoryAxisData{}, 0.0, 1);
    for (int i = 0; i < 4; ++i) {
        EXPECT_DOUBLE_EQ(l.Start(0, i), i + 0.125);
        EXPECT_DOUBLE_EQ(l.Start(0, i) + l.w, i + 0.875);
    }
}

// ---------------------------------------------------------------- charts on a page

// Three categories A, B, C in column 0; two series in columns 1 and 2.
struct ChartFixture : GraphFixture {
    explicit ChartFixture(bool bars = false)
    {
        t = &doc.AddTable("T");
        for (int i = 0; i < 3; ++i)
            t->SetCell(i + 2, 0, new CDataString(std::string(1, char('A' + i))));
        FillColumn(*t, 1, {2, 4, 3});
        FillColumn(*t, 2, {1, -1, 2});
        if (bars)
            graph = new CDrawBarGraph(RECT{0, 0, 6000, 4000}, &page);
        else
            graph = new CDrawColumnGraph(RECT{0, 0, 6000, 4000}, &page);
        graph->GetCategoryAxis()->SetCategorySource("T", 0);
    }
    template <class Series>
    Series* Add(int column)
    {
        auto* d = new Series("T", column, -1, -1, -1, graph);
        graph->AddDataset(d, "s");
        return d;
    }
    // The value axis from -2 to 6, fixed: on a 4000-unit frame one unit is 500.
    CXYAxis& FixValueAxis(CXYAxis& axis)
    {
        axis.m_bAutoMin = axis.m_bAutoMax = 0;
        axis.m_dMin = -2;
        axis.m_dMax = 6;
        return axis;
    }
    CMyData* t;
    CDrawGraph* graph;
};

TEST(ColumnChart, NewGraphHasCategoryXAxisAndDrawsBehindTheAxes)
{
    ChartFixture f;
    EXPECT_TRUE(dynamic_cast<CXAxisCategory*>(f.graph->GetXAxis(0)));
    EXPECT_TRUE(dynamic_cast<CYAxis*>(f.graph->GetYAxis(0)));
    EXPECT_FALSE(f.graph->GetYAxis(0)->IsCategoryAxis());
    EXPECT_TRUE(dynamic_cast<CXCatText*>(f.graph->GetXAxis(0)->GetTickLabels()));
    EXPECT_EQ(f.graph->m_bBehind, 1);
    EXPECT_EQ(f.graph->GetCategoryCount(), 3);
    const CXYAxis& x = *f.graph->GetXAxis(0);
    EXPECT_EQ(x.m_category.labels, (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(x.m_dMin, 0.0); // ticks between categories: 0 to n
    EXPECT_EQ(x.m_dMax, 3.0);
}

// Two series side by side on a 6000 x 4000 frame: category i spans
// 2000 i to 2000 (i + 1); bar k starts at i + 0.125 + k (1/3 + 1/12).
// Values map to 500 (v + 2); page coordinates are truncated.
TEST(ColumnChart, SideBySideBarsMatchHandGeometry)
{
    ChartFixture f;
    auto* a = f.Add<CXYDatasetColChart>(1);
    auto* b = f.Add<CXYDatasetColChart>(2);
    CXYAxis& x = *f.graph->GetXAxis(0);
    CXYAxis& y = f.FixValueAxis(*f.graph->GetYAxis(0));
    const std::vector<RECT> first = a->BarRects(x, y, 0);
    const std::vector<RECT> second = b->BarRects(x, y, 1);
    ASSERT_EQ(first.size(), 3u);
    ASSERT_EQ(second.size(), 3u);
    const RECT expectFirst[] = {{250, 1000, 916, 2000}, {2250, 1000, 2916, 3000}, {4250, 1000, 4916, 2500}};
    const RECT expectSecond[] = {{1083, 1000, 1750, 1500}, {3083, 1000, 3750, 500}, {5083, 1000, 5750, 2000}};
    // Ends that fall on a whole page unit by hand (3750) may come out a
    // hair below it in floating point and truncate to the unit before.
    auto same = [](const RECT& got, const RECT& want, int i) {
        EXPECT_NEAR(got.left, want.left, 1) << i;
        EXPECT_NEAR(got.right, want.right, 1) << i;
        EXPECT_EQ(got.top, want.top) << i;
        EXPECT_EQ(got.bottom, want.bottom) << i;
    };
    for (int i = 0; i < 3; ++i) {
        same(first[std::size_t(i)], expectFirst[i], i);
        same(second[std::size_t(i)], expectSecond[i], i);
    }
    // Symbols, error bars and join lines stand on the centre lines.
    std::vector<POINT> upper, lower;
    b->GetBarEnds(upper, lower, x, y, 1);
    ASSERT_EQ(upper.size(), 3u);
    EXPECT_EQ(upper[1].x, 3416); // the centre: 2000 (1 + 0.125 + 5/12 + 1/6) = 3416.7
    EXPECT_EQ(upper[1].y, 500);
    EXPECT_EQ(lower[1].y, 1000);
}

// Summed: the second series starts where the first ends, whatever its sign.
TEST(ColumnChart, StackedBarsStartOnTheEarlierSeries)
{
    ChartFixture f;
    auto* a = f.Add<CXYDatasetColChart>(1);
    auto* b = f.Add<CXYDatasetColChart>(2);
    CXYAxis& x = *f.graph->GetXAxis(0);
    x.m_category.grouping = 1;
    x.m_category.overlap = 100;
    double upper = 0, lower = 0;
    const double expect[3][2] = {{3, 2}, {3, 4}, {5, 3}}; // (upper, lower) of series b
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(b->BarEnds(1, i, x.m_category, upper, lower));
        EXPECT_EQ(upper, expect[i][0]) << i;
        EXPECT_EQ(lower, expect[i][1]) << i;
    }
    EXPECT_EQ(b->GetStackBase(1, 1), 4.0);
    EXPECT_EQ(a->GetStackBase(0, 1), 0.0);
    // Full overlap: both series span the same width.
    CXYAxis& y = f.FixValueAxis(*f.graph->GetYAxis(0));
    EXPECT_EQ(a->BarRects(x, y, 0)[0].left, b->BarRects(x, y, 1)[0].left);
    EXPECT_EQ(b->BarRects(x, y, 1)[1].top, 3000);   // from 4
    EXPECT_EQ(b->BarRects(x, y, 1)[1].bottom, 2500); // down to 3
}

// Percentages of the category total (3, 3, 5); a category whose values sum
// to 0 is drawn by no series and left out of the range.
TEST(ColumnChart, PercentagesOfTheCategoryTotal)
{
    ChartFixture f;
    f.t->SetNumber(5, 0, 9); // a fourth category
    f.t->SetNumber(5, 1, 2);
    f.t->SetNumber(5, 2, -2);
    f.graph->GetCategoryAxis()->SetCategorySource("T", 0);
    auto* a = f.Add<CXYDatasetColChart>(1);
    auto* b = f.Add<CXYDatasetColChart>(2);
    CXYAxis& x = *f.graph->GetXAxis(0);
    x.m_category.percentages = 1;
    double upper = 0, lower = 0;
    ASSERT_TRUE(a->BarEnds(0, 0, x.m_category, upper, lower));
    EXPECT_DOUBLE_EQ(upper, 200.0 / 3.0);
    EXPECT_EQ(lower, 0.0);
    ASSERT_TRUE(b->BarEnds(1, 2, x.m_category, upper, lower));
    EXPECT_DOUBLE_EQ(upper, 40.0);
    EXPECT_EQ(a->GetCategoryTotal(3), 0.0);
    EXPECT_FALSE(a->BarEnds(0, 3, x.m_category, upper, lower));
    EXPECT_FALSE(b->BarEnds(1, 3, x.m_category, upper, lower));
    // Range of a: 66.7, 133.3, 60 (category 3 left out); lowest top 2 -> 66.7 of 3.
    double lo = 0, hi = 0;
    ASSERT_TRUE(a->GetYRange(false, lo, hi));
    EXPECT_DOUBLE_EQ(hi, 400.0 / 3.0);
    EXPECT_DOUBLE_EQ(lo, 40.0); // the lowest top, 2, over category 2's total of 5
}

// Cells that are not numbers leave their category out; its place stays.
TEST(ColumnChart, TextAndMissingCellsLeaveTheCategoryOut)
{
    ChartFixture f;
    f.t->SetCell(3, 1, new CDataString("n/a"));
    auto* a = f.Add<CXYDatasetColChart>(1);
    CXYAxis& x = *f.graph->GetXAxis(0);
    CXYAxis& y = f.FixValueAxis(*f.graph->GetYAxis(0));
    const std::vector<RECT> rects = a->BarRects(x, y, 0);
    ASSERT_EQ(rects.size(), 2u);
    EXPECT_EQ(rects[0].left, 250);
    EXPECT_EQ(rects[1].left, 4250); // category 2 keeps its place
}

TEST(ColumnChart, ErrorModeFourNeedsBothCells)
{
    ChartFixture f;
    FillColumn(*f.t, 3, {0.5, 0.5, 0.5});
    FillColumn(*f.t, 4, {0.25, kBlank, 0.25});
    auto* a = f.Add<CXYDatasetColChart>(1);
    a->m_nYErrorMode = 4;
    a->m_nYPlusColumn = 3;
    a->m_nYMinusColumn = 4;
    a->Recalculate();
    EXPECT_EQ(a->m_y[0], 2.0);
    EXPECT_TRUE(IsBlank(a->m_y[1]));
    EXPECT_EQ(a->m_yMinus[2], 0.25);
    // Range: 2 - 0.25 ... 3 + 0.5 with the lowest top (2) as the bar start:
    // category 0 reaches 2.5 up, category 2 3.5 up; down is minus - d >= 0 only at category 0.
    double lo = 0, hi = 0;
    ASSERT_TRUE(a->GetYRange(false, lo, hi));
    EXPECT_EQ(hi, 3.5);
    EXPECT_EQ(lo, 1.75);
}

// With a column of bar starts, a blank start leaves the category out of the
// drawing and of every total and stack.
TEST(ColumnChart, BlankStartIsNotCounted)
{
    ChartFixture f;
    FillColumn(*f.t, 3, {0.5, kBlank, 1.0});
    auto* a = new CXYDatasetColChart("T", 1, -1, 3, -1, f.graph);
    f.graph->AddDataset(a, "a");
    auto* b = f.Add<CXYDatasetColChart>(2);
    double upper = 0, lower = 0;
    EXPECT_FALSE(a->BarEnds(0, 1, f.graph->GetXAxis(0)->m_category, upper, lower));
    EXPECT_EQ(b->GetCategoryTotal(1), -1.0);
    EXPECT_EQ(b->GetStackBase(1, 1), 0.0);
    ASSERT_TRUE(a->BarEnds(0, 2, f.graph->GetXAxis(0)->m_category, upper, lower));
    EXPECT_EQ(lower, 1.0);
    EXPECT_EQ(upper, 3.0);
}

// A linear value axis of columns rising from zero shows the zero line.
TEST(ColumnChart, ValueAxisTakesInTheZeroLine)
{
    GraphFixture f;
    CMyData& t = f.doc.AddTable("T");
    FillColumn(t, 0, {30, 34, 38});
    auto* graph = new CDrawColumnGraph(RECT{0, 0, 6000, 4000}, &f.page);
    graph->GetCategoryAxis()->SetCategorySource("T", 0);
    graph->AddDataset(new CXYDatasetColChart("T", 0, -1, -1, -1, graph), "s");
    EXPECT_EQ(graph->GetYAxis(0)->m_dMin, 0.0);
    EXPECT_EQ(graph->GetYAxis(0)->m_dMax, 40.0);
}

// ---------------------------------------------------------------- bar charts

// Categories run down from the top: category 0 of three maps 0.125 .. 0.875
// to 4000 (1 - v / 3), values along x to 750 (v + 2).
TEST(BarChart, FirstCategoryAtTheTop)
{
    ChartFixture f(true);
    EXPECT_TRUE(dynamic_cast<CYAxisCategory*>(f.graph->GetYAxis(0)));
    EXPECT_TRUE(dynamic_cast<CYCatText*>(f.graph->GetYAxis(0)->GetTickLabels()));
    auto* a = f.Add<CXYDatasetBarChart>(1);
    CXYAxis& y = *f.graph->GetYAxis(0);
    CXYAxis& x = f.FixValueAxis(*f.graph->GetXAxis(0));
    EXPECT_EQ(y.ValueToDevice(0.0), 4000);
    EXPECT_EQ(y.ValueToDevice(3.0), 0);
    const std::vector<RECT> rects = a->BarRects(x, y, 0);
    ASSERT_EQ(rects.size(), 3u);
    EXPECT_EQ(rects[0].left, 1500);
    EXPECT_EQ(rects[0].right, 3000);
    EXPECT_EQ(rects[0].top, 3833);
    EXPECT_EQ(rects[0].bottom, 2833);
    EXPECT_EQ(rects[2].top, 1166);
    EXPECT_EQ(rects[2].bottom, 166);
    // The bar values scale the X axis.
    double lo = 0, hi = 0;
    ASSERT_TRUE(a->GetXRange(false, lo, hi));
    EXPECT_EQ(lo, 2.0);
    EXPECT_EQ(hi, 4.0);
}

// ---------------------------------------------------------------- drawing

QRgb Pixel(const QImage& image, int pageX, int pageY, int height, double units)
{
    return image.pixel(int(pageX / units), int(height - pageY / units));
}

// A bar from -2 to 3 takes the negative colours below the zero line.
TEST(ChartDrawing, NegativePartsInTheNegativeColours)
{
    ChartFixture f;
    FillColumn(*f.t, 3, {-2, kBlank, kBlank});
    auto* a = new CXYDatasetColChart("T", 1, -1, 3, -1, f.graph);
    f.graph->AddDataset(a, "a");
    a->m_bNegative = 1;
    a->m_crFore = 0x0000FF;    // red
    a->m_crNegFore = 0xFF0000; // blue
    a->m_nOutlineStyle = 5;
    f.graph->GetLegend()->Show(false);
    f.FixValueAxis(*f.graph->GetYAxis(0));
    // The bar spans x 250 .. 1750 and runs from -2 (y 0) over 0 (y 1000) to 2 (y 2000).
    const QImage image = RenderObjects({f.graph}, 700, 450, 10.0);
    EXPECT_EQ(QColor(Pixel(image, 1000, 1800, 450, 10.0)), QColor(Qt::red));
    EXPECT_EQ(QColor(Pixel(image, 1000, 400, 450, 10.0)), QColor(Qt::blue));
    EXPECT_EQ(QColor(Pixel(image, 3000, 1800, 450, 10.0)), QColor(Qt::white)); // no bar in category 1
}

// An area with one drawn category makes no polygon; two make a band.
TEST(ChartDrawing, AreaNeedsTwoCategories)
{
    ChartFixture f;
    FillColumn(*f.t, 3, {1, kBlank, kBlank});
    auto* a = f.Add<CXYDatasetColChart>(3);
    a->m_nBarType = 1;
    CXYAxis& x = *f.graph->GetXAxis(0);
    CXYAxis& y = f.FixValueAxis(*f.graph->GetYAxis(0));
    std::vector<POINT> upper, lower;
    a->GetBarEnds(upper, lower, x, y, 0);
    EXPECT_EQ(upper.size(), 1u);
    // Alone and with ticks on the categories, the area's points sit on them.
    x.m_category.ticksBetween = 0;
    f.graph->RecalcAxes();
    EXPECT_EQ(x.m_dMin, 0.0);
    EXPECT_EQ(x.m_dMax, 2.0);
    upper.clear();
    lower.clear();
    a->GetBarEnds(upper, lower, x, y, 0);
    ASSERT_EQ(upper.size(), 1u);
    EXPECT_EQ(upper[0].x, 0);
}

TEST(ChartDrawing, LegendSampleIsHalfAsTallWithASymbol)
{
    ChartFixture f;
    auto* a = f.Add<CXYDatasetColChart>(1);
    a->m_crFore = 0x0000FF;
    a->m_nOutlineStyle = 5;
    // u = 6000 / 60 = 100: the box is 2u to each side of the centre and
    // 1.5u above and below it; with a symbol half as tall, hanging under it.
    auto rows = [&](int shape) {
        a->m_nSymbolShape = shape;
        QImage image(400, 400, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.translate(200, 200);
        CDrawDC dc;
        dc.painter = &painter;
        a->DrawLegendSymbol(dc, RECT{-100, -100, 100, 100});
        painter.end();
        int count = 0, first = -1;
        for (int y = 0; y < 400; ++y)
            if (QColor(image.pixel(10, y)) == QColor(Qt::red)) {
                ++count;
                if (first < 0)
                    first = y;
            }
        return std::pair{count, first};
    };
    const auto [plain, plainTop] = rows(16);
    const auto [withSymbol, symbolTop] = rows(0);
    EXPECT_NEAR(plain, 300, 1);
    EXPECT_NEAR(plainTop, 50, 1);
    EXPECT_NEAR(withSymbol, 150, 1);
    EXPECT_NEAR(symbolTop, 50, 1); // from 1.5u below the centre up to the centre
}

// ---------------------------------------------------------------- category axis

TEST(CategoryAxis, RangeFromTheNumberOfNames)
{
    ChartFixture f;
    CXYAxis& x = *f.graph->GetXAxis(0);
    x.m_category.ticksBetween = 0;
    f.graph->GetCategoryAxis()->SetCategorySource("T", 0);
    EXPECT_EQ(x.m_dMin, -0.5);
    EXPECT_EQ(x.m_dMax, 2.5);
    // A column with only its name row has no names; the range is built from one.
    f.t->SetCell(1, 5, new CDataString("empty"));
    f.graph->GetCategoryAxis()->SetCategorySource("T", 5);
    EXPECT_TRUE(x.m_category.labels.empty());
    EXPECT_EQ(x.m_dMin, -0.5);
    EXPECT_EQ(x.m_dMax, 0.5);
    EXPECT_EQ(f.graph->GetCategoryCount(), 1);
}

struct LabelCase {
    const char* name;
    int between, start, interval, tickInterval;
    std::vector<std::pair<double, std::string>> labels;
};

class CategoryNames : public ::testing::TestWithParam<LabelCase> {};

TEST_P(CategoryNames, StandAtTheirCategories)
{
    const LabelCase& c = GetParam();
    GraphFixture f;
    CMyData& t = f.doc.AddTable("T");
    for (int i = 0; i < 5; ++i)
        t.SetCell(i + 2, 0, new CDataString(std::string(1, char('a' + i))));
    auto* graph = new CDrawColumnGraph(RECT{0, 0, 6000, 4000}, &f.page);
    CXYAxis& x = *graph->GetXAxis(0);
    x.m_category.ticksBetween = c.between;
    x.m_category.labelStart = c.start;
    x.m_category.labelInterval = c.interval;
    x.m_category.tickInterval = c.tickInterval;
    x.SetCategorySource("T", 0);
    std::vector<std::pair<double, std::string>> got;
    for (const CTickLabel& label : x.GetTickLabels()->Labels())
        got.emplace_back(label.value, label.text);
    EXPECT_EQ(got, c.labels);
    EXPECT_EQ(x.m_dMajor, c.tickInterval);
}

INSTANTIATE_TEST_SUITE_P(Cases, CategoryNames,
    ::testing::Values(
        // Every second name from the first: indices 0, 2, 4 (the tick past the last gets none).
        LabelCase{"EverySecond", 0, 1, 2, 1, {{0, "a"}, {2, "c"}, {4, "e"}}},
        // Between ticks each name stands half a category after its tick; the
        // tick after the last category is counted with an empty name.
        LabelCase{"BetweenTicks", 1, 1, 2, 1, {{0.5, "a"}, {2.5, "c"}, {4.5, "e"}}},
        LabelCase{"FromTheThird", 1, 3, 1, 1, {{2.5, "c"}, {3.5, "d"}, {4.5, "e"}, {5.5, ""}}},
        // Ticks two categories apart leave the names at their categories.
        LabelCase{"WideTicks", 0, 1, 1, 2, {{0, "a"}, {1, "b"}, {2, "c"}, {3, "d"}, {4, "e"}}},
        LabelCase{"StartBeyondTheEnd", 0, 9, 1, 1, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CategoryAxis, FollowsColumnInsertsAndDeletes)
{
    ChartFixture f;
    CXYAxis& x = *f.graph->GetXAxis(0);
    CUpdateNotification insert(UN_COLUMNS_INSERTED, 0, 2, f.doc.Item("T"));
    f.graph->OnDocumentChange(insert);
    EXPECT_EQ(x.m_category.column, 2);
    CUpdateNotification remove(UN_COLUMNS_DELETED, 1, 3, f.doc.Item("T"));
    f.graph->OnDocumentChange(remove);
    EXPECT_EQ(x.m_category.column, -1);
    EXPECT_TRUE(x.m_category.labels.empty());
    EXPECT_EQ(f.graph->GetCategoryCount(), 1);
}

TEST(CategoryAxis, RenameAndRemovalOfTheTable)
{
    ChartFixture f;
    CXYAxis& x = *f.graph->GetXAxis(0);
    f.doc.Rename("T", "Counts");
    CUpdateNotification renamed;
    renamed.kind = UN_ITEM_RENAMED;
    renamed.oldName = "t"; // names are one name whatever their case
    renamed.newName = "Counts";
    f.graph->OnDocumentChange(renamed);
    EXPECT_EQ(x.m_category.tableName, "Counts");
    CUpdateNotification removing;
    removing.kind = UN_ITEM_REMOVING;
    removing.oldName = "Counts";
    f.graph->OnDocumentChange(removing);
    EXPECT_TRUE(x.m_category.tableName.empty());
    EXPECT_TRUE(x.m_category.labels.empty());
}

TEST(CategoryAxis, CategoryCountIsBounded)
{
    ChartFixture f;
    f.t->SetNumber(CDrawGraph::kMaxCategories + 500, 0, 1.0);
    EXPECT_EQ(f.graph->GetCategoryCount(), CDrawGraph::kMaxCategories);
}

// ---------------------------------------------------------------- series notices

TEST(ChartNotices, ColumnDeletesAndInserts)
{
    ChartFixture f;
    FillColumn(*f.t, 5, {1, 2, 3});
    auto* a = f.Add<CXYDatasetColChart>(5);
    auto* b = f.Add<CXYDatasetColChart>(3);
    // Deleting columns 2 and 3: column 5 becomes 3; column 3 goes.
    CUpdateNotification remove(UN_COLUMNS_DELETED, 2, 2, f.doc.Item("T"));
    f.graph->OnDocumentChange(remove);
    EXPECT_EQ(a->m_nUpperColumn, 3);
    EXPECT_EQ(b->m_nUpperColumn, -1);
    EXPECT_EQ(f.graph->GetDatasetCount(), 2);
    double lo = 0, hi = 0;
    EXPECT_FALSE(b->GetYRange(false, lo, hi));
    // Inserting one column at the series' own column moves it along.
    CUpdateNotification insert(UN_COLUMNS_INSERTED, 3, 1, f.doc.Item("T"));
    f.graph->OnDocumentChange(insert);
    EXPECT_EQ(a->m_nUpperColumn, 4);
}

TEST(ChartNotices, CellChangesRebuildAndRemovalRemoves)
{
    ChartFixture f;
    auto* a = f.Add<CXYDatasetColChart>(1);
    EXPECT_EQ(a->m_y[1], 4.0);
    f.t->SetNumber(3, 1, 8.0);
    std::vector<CColumnRef> changed{{f.doc.Item("T"), 1, 3}};
    CUpdateNotification cells(UN_CELLS_CHANGED, &changed, f.doc.Item("T"));
    EXPECT_TRUE(a->IsAffectedBy(cells));
    f.graph->OnDocumentChange(cells);
    EXPECT_EQ(a->m_y[1], 8.0);
    std::vector<CColumnRef> other{{f.doc.Item("T"), 2, 3}};
    CUpdateNotification elsewhere(UN_CELLS_CHANGED, &other, f.doc.Item("T"));
    EXPECT_FALSE(a->IsAffectedBy(elsewhere));
    CUpdateNotification removing;
    removing.kind = UN_ITEM_REMOVING;
    removing.oldName = "T";
    f.graph->OnDocumentChange(removing);
    EXPECT_EQ(f.graph->GetDatasetCount(), 0);
}

// ---------------------------------------------------------------- stored form

// The chart part of a series record, spelled out: version 0 and 13 four-byte fields.
TEST(ChartStoredForm, SeriesRecordTail)
{
    GraphFixture f;
    auto* graph = new CDrawColumnGraph(RECT{0, 0, 6000, 4000}, &f.page);
    CXYDatasetColChart d("T", 1, 2, 3, 4, graph);
    d.m_nBarType = 1;
    d.m_bNegative = 1;
    d.m_crFore = 0x102030;
    d.m_crBack = 0x405060;
    d.m_crNegFore = 0x708090;
    d.m_crNegBack = 0xA0B0C0;
    d.m_nFillStyle = 12;
    d.m_crOutline = 0x010203;
    d.m_nOutlineWidth = 16;
    d.m_nOutlineStyle = 2;
    const Bytes base = StoreBytes([&](CArchive& ar) { d.CXYDataset::Serialize(ar); });
    Golden expected;
    expected.append(base);
    expected.ints({0, 1, 3, 1, 1, 1}); // version, upper, lower, bar type, back on, negative colouring
    expected.u32(0x102030).u32(0x405060).u32(0x708090).u32(0xA0B0C0);
    expected.i32(12).u32(0x010203).ints({16, 2});
    const Bytes bytes = StoreBytes([&](CArchive& ar) { d.Serialize(ar); });
    EXPECT_EQ(ToHex(bytes), ToHex(expected.bytes));

    CXYDatasetColChart back;
    EXPECT_EQ(LoadBytes(bytes, [&](CArchive& ar) { back.Serialize(ar); }), 0u);
    EXPECT_EQ(back.m_nUpperColumn, 1);
    EXPECT_EQ(back.m_nLowerColumn, 3);
    EXPECT_EQ(back.m_nYPlusColumn, 2);
    EXPECT_EQ(back.m_nXMinusColumn, 4);
    EXPECT_EQ(back.m_crNegBack, 0xA0B0C0u);
    EXPECT_EQ(back.m_nOutlineWidth, 16);
    EXPECT_EQ(back.m_bPointsValid, 0);

    // A newer record stops the load.
    Bytes newer = bytes;
    newer[base.size()] = 1;
    CXYDatasetColChart refused;
    RecordingReporter reporter;
    EXPECT_ANY_THROW(LoadBytes(newer, [&](CArchive& ar) { refused.Serialize(ar); }));
    EXPECT_EQ(reporter.Ids(), (std::vector<UINT>{IDS_LATER_VERSION}));
}

// A category axis record built by hand: its own version, then the axis record.
TEST(ChartStoredForm, CategoryAxisFromHandBuiltBytes)
{
    Golden g;
    g.i32(0).i32(1);                                 // category axis version, axis version
    g.i32(0).u8(4).text("Cats").ints({2, 3, 2, 1, 2}); // category: version, name, column, start, intervals, crossing
    g.f64(-10.0).f64(80.0).ints({0, 1, 1});          // overlap, spacing, on the categories, percentages, summed
    g.f64(-0.5).f64(4.5).ints({0, 0});               // range, fixed
    g.f64(1).f64(1).f64(1).ints({0, 0, 0, 1});       // steps, crossing; logarithmic (refused: categories)
    g.ints({5, 8, 5, 8, 8});
    g.u32(0).u32(0).u32(0);
    g.ints({0, 0, 100, 4});
    g.ints({0, 0, 3, 1, 108, 1});
    CXAxisCategory axis;
    EXPECT_EQ(LoadBytes(g.bytes, [&](CArchive& ar) { axis.Serialize(ar); }), 0u);
    EXPECT_EQ(axis.m_category.tableName, "Cats");
    EXPECT_EQ(axis.m_category.column, 2);
    EXPECT_EQ(axis.m_category.labelStart, 3);
    EXPECT_EQ(axis.m_category.labelInterval, 2);
    EXPECT_EQ(axis.m_category.crossingCategory, 2);
    EXPECT_EQ(axis.m_category.overlap, -10.0);
    EXPECT_EQ(axis.m_category.gap, 80.0);
    EXPECT_EQ(axis.m_category.ticksBetween, 0);
    EXPECT_EQ(axis.m_category.grouping, 1);
    EXPECT_EQ(axis.m_dMax, 4.5);
    EXPECT_EQ(axis.m_bLog, 0);
    EXPECT_FALSE(axis.m_category.labelsValid);
    // Stored again, only the logarithmic flag differs.
    Golden again = g;
    const std::size_t logAt = 8 + 4 + 5 + 4 * 5 + 16 + 12 + 16 + 8 + 24 + 12;
    again.bytes[logAt] = 0;
    const Bytes bytes = StoreBytes([&](CArchive& ar) { axis.Serialize(ar); });
    EXPECT_EQ(ToHex(bytes), ToHex(again.bytes));
}

TEST(ChartStoredForm, PageWithChartsReadsBackTheSame)
{
    for (bool bars : {false, true}) {
        ChartFixture f(bars);
        if (bars) {
            f.Add<CXYDatasetBarChart>(1)->m_nBarType = 1;
            f.Add<CXYDatasetBarChart>(2)->m_bNegative = 1;
        } else {
            f.Add<CXYDatasetColChart>(1)->m_nBarType = 1;
            f.Add<CXYDatasetColChart>(2)->m_bNegative = 1;
        }
        f.graph->GetCategoryAxis()->m_category.grouping = 1;
        const Bytes bytes = StoreBytes([&](CArchive& ar) { f.page.Serialize(ar); });
        CDrawData loaded;
        loaded.SetDocument(&f.doc);
        LoadBytes(bytes, [&](CArchive& ar) { loaded.Serialize(ar); });
        CDrawGraph* back = nullptr;
        for (CDrawObj* obj : loaded.GetObjects())
            if (auto* g = dynamic_cast<CDrawGraph*>(obj))
                back = g;
        ASSERT_TRUE(back);
        EXPECT_EQ(bars, dynamic_cast<CDrawBarGraph*>(back) != nullptr);
        ASSERT_TRUE(back->GetCategoryAxis());
        EXPECT_TRUE(back->GetCategoryAxis()->IsCategoryAxis());
        EXPECT_EQ(back->GetCategoryAxis()->m_category.grouping, 1);
        ASSERT_EQ(back->GetDatasetCount(), 2);
        auto* first = dynamic_cast<CXYDatasetChart*>(back->GetDataset(0));
        ASSERT_TRUE(first);
        EXPECT_EQ(first->m_nBarType, 1);
        EXPECT_EQ(bars, dynamic_cast<CXYDatasetBarChart*>(first) != nullptr);
        EXPECT_TRUE(back->GetCategoryAxis()->GetTickLabels());
        EXPECT_EQ(back->GetCategoryCount(), 3);
        const Bytes again = StoreBytes([&](CArchive& ar) { loaded.Serialize(ar); });
        EXPECT_EQ(ToHex(again), ToHex(bytes));
    }
}

// A copy of a chart is a chart of the same kind with copies of its series.
TEST(ChartClone, SameKindSameFields)
{
    ChartFixture f(true);
    auto* a = f.Add<CXYDatasetBarChart>(1);
    a->m_crNegFore = 0x123456;
    a->m_nFillStyle = 9;
    CDrawData other;
    other.SetDocument(&f.doc);
    auto* copy = dynamic_cast<CDrawBarGraph*>(f.graph->Clone(&other));
    ASSERT_TRUE(copy);
    EXPECT_TRUE(dynamic_cast<CYAxisCategory*>(copy->GetYAxis(0)));
    EXPECT_EQ(copy->GetCategoryAxis()->m_category.tableName, "T");
    ASSERT_EQ(copy->GetDatasetCount(), 1);
    auto* b = dynamic_cast<CXYDatasetBarChart*>(copy->GetDataset(0));
    ASSERT_TRUE(b);
    EXPECT_EQ(b->m_crNegFore, 0x123456u);
    EXPECT_EQ(b->m_nFillStyle, 9);
    EXPECT_EQ(b->m_nUpperColumn, 1);
    EXPECT_EQ(b->GetGraph(), copy);
    EXPECT_EQ(b->m_y, a->m_y);
}

TEST(ChartClone, HistogramGraphClonesAsHistogram)
{
    GraphFixture f;
    auto* graph = new CDrawHistoGraph(RECT{0, 0, 6000, 4000}, &f.page);
    CDrawData other;
    other.SetDocument(&f.doc);
    EXPECT_TRUE(dynamic_cast<CDrawHistoGraph*>(graph->Clone(&other)));
}

} // namespace
