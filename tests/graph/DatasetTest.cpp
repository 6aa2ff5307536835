// Table datasets: points gathered from columns, error values and ranges,
// following renames, deletions and column changes; axis deletion; symbol
// sizes; and the join-line rules (smooth tangents, B-spline sizes, pixel
// reduction of long lines).
#include "GraphTestSupport.h"

#include "equation/Equation.h"
#include "framework/UpdateNotification.h"
#include "graph/DrawGraph.h"
#include "graph/XYAxis.h"
#include "graph/Legend.h"
#include "graph/XYDatasetTable.h"

#include <gtest/gtest.h>

#include "draw/DrawDC.h"
#include "draw/PatternPen.h"

#include <QImage>
#include <QPainter>
#include <QPicture>
#include <QPointF>

#include <cmath>
#include <climits>
#include <limits>
#include <map>

namespace {

const double kGap = std::numeric_limits<double>::quiet_NaN();

struct TableGraph : GraphFixture {
    TableGraph()
    {
        CMyData& t = doc.AddTable("Data 1");
        FillColumn(t, 0, {1, 2, 3, 4, 5, 6, 7, 8, 9});
        FillColumn(t, 1, {2, 4, 6, kGap, 10, 12, 14, 16, 18});
        FillColumn(t, 2, {0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 1.0});
        graph = new CDrawXYGraph(RECT{0, 0, 7200, 5040}, &page);
        dataset = new CXYDatasetTable("data 1", 0, 1, -1, graph);
        graph->AddDataset(dataset, "y");
    }
    CDrawXYGraph* graph;
    CXYDatasetTable* dataset;
};

TEST(TableDataset, BlankRowIsSkippedWithoutAGap)
{
    TableGraph f;
    ASSERT_EQ(f.dataset->GetPointCount(), 8);
    EXPECT_EQ(f.dataset->m_x[2], 3);
    EXPECT_EQ(f.dataset->m_x[3], 5); // row 5 (x = 4) had no y
}

TEST(TableDataset, TextInAnErrorColumnDropsTheRow)
{
    TableGraph f;
    f.doc.entries[0]->table->SetCell(3, 2, MakeDataFromString("n/a"));
    f.dataset->m_nYErrorMode = 3;
    f.dataset->m_nYPlusColumn = 2;
    f.dataset->Recalculate();
    EXPECT_EQ(f.dataset->GetPointCount(), 7);
    ASSERT_EQ(f.dataset->m_yPlus.size(), 7u);
}

TEST(TableDataset, ConstructorWithErrorColumnUsesItBothWays)
{
    GraphFixture f;
    CDrawXYGraph graph(RECT{0, 0, 7200, 5040}, &f.page);
    f.page.RemoveObject(&graph);
    CXYDatasetTable d("T", 0, 1, 3, &graph);
    EXPECT_EQ(d.m_nYErrorMode, 4);
    EXPECT_EQ(d.m_nYPlusColumn, 3);
    EXPECT_EQ(d.m_nYMinusColumn, 3);
}

// Ranges take the error bars in: mode 3 reserves the plus error below as well.
TEST(TableDataset, RangesIncludeErrorBars)
{
    TableGraph f;
    double lo = 0, hi = 0;
    ASSERT_TRUE(f.dataset->GetYRange(false, lo, hi));
    EXPECT_EQ(lo, 2);
    EXPECT_EQ(hi, 18);
    f.dataset->m_nYErrorMode = 3;
    f.dataset->m_nYPlusColumn = 2;
    f.dataset->Recalculate();
    ASSERT_TRUE(f.dataset->GetYRange(false, lo, hi));
    EXPECT_EQ(lo, 1.5);
    EXPECT_EQ(hi, 19);
    f.dataset->m_nYErrorMode = 2; // 10 % of y
    ASSERT_TRUE(f.dataset->GetYRange(false, lo, hi));
    EXPECT_NEAR(lo, 1.8, 1e-12);
    EXPECT_NEAR(hi, 19.8, 1e-12);
}

TEST(TableDataset, AxesScaleToTheData)
{
    TableGraph f;
    // x 1..9: pad 0.4, 0.6 .. 9.4 -> 0 .. 10; y 2..18: pad 0.8, 1.2 .. 18.8 -> 1 .. 19.
    EXPECT_EQ(f.graph->GetXAxis(0)->m_dMin, 0);
    EXPECT_EQ(f.graph->GetXAxis(0)->m_dMax, 10);
    EXPECT_EQ(f.graph->GetYAxis(0)->m_dMin, 1);
    EXPECT_EQ(f.graph->GetYAxis(0)->m_dMax, 19);
}

TEST(TableDataset, RenameIsCaseBlindAndKeepsTheDataset)
{
    TableGraph f;
    f.doc.Rename("Data 1", "Results");
    CUpdateNotification n;
    n.kind = UN_ITEM_RENAMED;
    n.oldName = "DATA 1";
    n.newName = "Results";
    f.graph->OnDocumentChange(n);
    EXPECT_EQ(f.dataset->m_strSource, "Results");
    f.dataset->Recalculate();
    EXPECT_EQ(f.dataset->GetPointCount(), 8);
}

// The dataset asks to go while the graph hands the notice round; it is
// detached at once and deleted after the round (checked by the sanitizer).
TEST(TableDataset, DeletedTableRemovesTheDatasetAfterTheRound)
{
    TableGraph f;
    auto* second = new CXYDatasetTable("Data 1", 0, 2, -1, f.graph);
    f.graph->AddDataset(second, "second");
    ASSERT_EQ(f.graph->GetDatasetCount(), 2);
    CUpdateNotification n;
    n.kind = UN_ITEM_REMOVING;
    n.oldName = "data 1";
    f.graph->OnDocumentChange(n);
    EXPECT_EQ(f.graph->GetDatasetCount(), 0);
    EXPECT_EQ(f.graph->GetLegend()->GetEntryCount(), 0);
}

TEST(TableDataset, ColumnDeletionAndInsertion)
{
    TableGraph f;
    CMXProjectItem* item = f.doc.Item("Data 1");
    CUpdateNotification insert(UN_COLUMNS_INSERTED, 0, 2, item);
    f.graph->OnDocumentChange(insert);
    EXPECT_EQ(f.dataset->m_nXColumn, 2);
    EXPECT_EQ(f.dataset->m_nYColumn, 3);
    CUpdateNotification removeY(UN_COLUMNS_DELETED, 3, 1, item);
    f.graph->OnDocumentChange(removeY);
    EXPECT_EQ(f.dataset->m_nYColumn, -1);
    EXPECT_EQ(f.dataset->GetPointCount(), 0);
    CUpdateNotification removeBefore(UN_COLUMNS_DELETED, 0, 1, item);
    f.graph->OnDocumentChange(removeBefore);
    EXPECT_EQ(f.dataset->m_nXColumn, 1);
}

// A change of one cell rescales only the graphs that read that column.
TEST(TableDataset, CellChangeTouchesOnlyGraphsReadingTheColumn)
{
    TableGraph f;
    CMXProjectItem* item = f.doc.Item("Data 1");
    f.doc.entries[0]->table->SetNumber(2, 1, 100);
    std::vector<CColumnRef> other{{item, 2, 2}};
    CUpdateNotification elsewhere(UN_CELLS_CHANGED, &other, item);
    EXPECT_FALSE(f.dataset->IsAffectedBy(elsewhere));
    f.graph->OnDocumentChange(elsewhere);
    EXPECT_EQ(f.graph->GetYAxis(0)->m_dMax, 19);
    std::vector<CColumnRef> mine{{item, 1, 2}};
    CUpdateNotification here(UN_CELLS_CHANGED, &mine, item);
    EXPECT_TRUE(f.dataset->IsAffectedBy(here));
    f.graph->OnDocumentChange(here);
    // 4..100: pad 4.8, 0 .. 104.8, f 0.1 -> 0 .. 110.
    EXPECT_NEAR(f.graph->GetYAxis(0)->m_dMax, 110, 1e-9);
    EXPECT_EQ(f.graph->GetYAxis(0)->m_dMin, 0);
}

struct AxisCase {
    std::vector<std::uint32_t> before;
    int deleted;
    std::vector<std::uint32_t> after;
};

TEST(Dataset, AxisDeletionRenumbers)
{
    const AxisCase cases[] = {
        {{0}, 0, {0}},       // the former axis 1 takes its place
        {{0, 1}, 0, {0}},    // the deleted entry goes, 1 becomes 0
        {{1, 2}, 1, {0, 1}}, // the fallback 0 is not listed: the deleted entry becomes 0, 2 becomes 1
        {{2}, 0, {1}},
    };
    for (const AxisCase& c : cases) {
        CXYDataset d;
        d.m_xAxes = c.before;
        d.OnXAxisDeleted(c.deleted);
        EXPECT_EQ(d.m_xAxes, c.after);
    }
}

TEST(Dataset, SymbolSizesFromGraphWidth)
{
    GraphFixture f;
    auto* graph = new CDrawXYGraph(RECT{0, 0, 7200, 5040}, &f.page);
    CXYDataset d(graph);
    d.m_nSymbolSize = 0;
    EXPECT_EQ(d.SymbolHalfSize(), 2); // MulDiv(120, 1, 50)
    d.m_nSymbolSize = 12;
    EXPECT_EQ(d.SymbolHalfSize(), 210); // MulDiv(120, 7, 4)
}

TEST(Dataset, OlderRecordsCountSymbolSizesFromAThird)
{
    CXYDataset d;
    d.m_nSymbolSize = 4;
    Bytes bytes = StoreBytes([&](CArchive& ar) { d.Serialize(ar); });
    bytes[0] = 0; // version word 0
    CXYDataset loaded;
    LoadBytes(bytes, [&](CArchive& ar) { loaded.Serialize(ar); });
    EXPECT_EQ(loaded.m_nSymbolSize, 9);
}

// ---------------------------------------------------------------- joins

TEST(Joins, BezierTangentsFollowTheChordEitherWay)
{
    POINT before{}, after{};
    // Neighbours to the left and right: the arms lie along the chord, a
    // quarter of it each way with divisor 4.
    ASSERT_TRUE(CXYDataset::BezierControlPoints({0, 0}, {400, 0}, {200, 100}, before, after, 4));
    EXPECT_EQ(before.x, 100);
    EXPECT_EQ(before.y, 100);
    EXPECT_EQ(after.x, 300);
    EXPECT_EQ(after.y, 100);
    // Points running right to left: the tangent keeps that direction (an
    // angle from arcsin alone would turn it round).
    ASSERT_TRUE(CXYDataset::BezierControlPoints({400, 0}, {0, 0}, {200, 100}, before, after, 4));
    EXPECT_EQ(before.x, 300);
    EXPECT_EQ(after.x, 100);
    // Coinciding neighbours give no direction: the arms stay on the point.
    EXPECT_FALSE(CXYDataset::BezierControlPoints({5, 5}, {5, 5}, {9, 9}, before, after, 8));
    EXPECT_EQ(before.x, 9);
    EXPECT_EQ(after.y, 9);
}

TEST(Joins, BezierListOfTwoPointsIsStraight)
{
    const auto list = CXYDataset::BezierList({{0, 0}, {100, 50}}, 8);
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[1].x, 0);
    EXPECT_EQ(list[2].x, 100);
}

TEST(Joins, BSplineNeedsTwiceItsOrderInPoints)
{
    std::vector<POINT> points;
    for (int i = 0; i < 7; ++i)
        points.push_back({i * 100, (i % 2) * 100});
    EXPECT_TRUE(CXYDataset::BSplineSamples(points, 4).empty());
    points.push_back({700, 0});
    const auto samples = CXYDataset::BSplineSamples(points, 4);
    ASSERT_EQ(samples.size(), 201u);
    // A clamped spline starts and ends on its end points.
    EXPECT_EQ(samples.front().x, 0);
    EXPECT_NEAR(samples.back().x, 700, 1);
}

TEST(Joins, BSplineBasisIsAPartitionOfUnity)
{
    const int m = 9, q = 4;
    for (double t = 0.0; t < m - q + 1; t += 0.37) {
        double sum = 0.0;
        for (int i = 0; i < m; ++i)
            sum += CXYDataset::BSplineBasis(i, q, t, m);
        EXPECT_NEAR(sum, 1.0, 1e-12) << t;
    }
}

// A long noisy line drawn with its device columns half a pixel off the
// page's tenths: each column of the device keeps at most four points, and
// the line still spans, in every column, the rows of the lowest to the
// highest point that fell into that column.
TEST(Joins, LongLinesAreReducedByTheDevicesPixelColumns)
{
    GraphFixture f;
    CMyData& t = f.doc.AddTable("T");
    std::vector<double> xs, ys;
    for (int i = 0; i < 2000; ++i) {
        xs.push_back(i * 0.05);
        ys.push_back(50.0 * std::sin(i * 1.7));
    }
    FillColumn(t, 0, xs);
    FillColumn(t, 1, ys);
    auto* graph = new CDrawXYGraph(RECT{0, 0, 1000, 1000}, &f.page);
    auto* d = new CXYDatasetTable("T", 0, 1, -1, graph);
    d->m_nJoinType = 1;
    graph->AddDataset(d, "d");
    CXYAxis& x = *graph->GetXAxis(0);
    CXYAxis& y = *graph->GetYAxis(0);
    x.m_dMin = 0;
    x.m_dMax = 100;
    y.m_dMin = -60;
    y.m_dMax = 60;
    d->Recalculate();

    // A picture, not a raster image: the line goes through the pen, whose
    // segments are recorded.
    QPicture picture;
    QPainter painter(&picture);
    painter.translate(0.5, 110); // device x = page x / 10 + 0.5
    painter.scale(0.1, -0.1);
    CDrawDC dc;
    dc.painter = &painter;
    dc.pixelX = dc.pixelY = 10.0;
    CPatternPen pen;
    pen.Create(&painter, 0, d->m_nJoinWidth, 0);
    pen.SetRecording(true);
    d->DrawStraightJoins(dc, pen, x, y, d->m_x.size());
    const std::vector<QLineF> lines = pen.Recorded();
    pen.Release();
    ASSERT_FALSE(lines.empty());

    // Device pixel column and row of a page point.
    auto column = [](double pageX) { return int(std::floor(pageX / 10.0 + 0.5)); };
    auto row = [](double pageY) { return int(std::floor(110.0 - pageY / 10.0)); };
    struct Span {
        int low = INT_MAX, high = INT_MIN, count = 0;
    };
    std::map<int, Span> expected, drawn;
    const CAxisMapping mx = x.GetMapping(), my = y.GetMapping();
    for (std::size_t i = 0; i < xs.size(); ++i) {
        Span& s = expected[column(mx.Map(xs[i]))];
        s.low = std::min(s.low, row(my.Map(ys[i])));
        s.high = std::max(s.high, row(my.Map(ys[i])));
    }
    std::vector<QPointF> vertices{lines.front().p1()};
    for (const QLineF& l : lines)
        vertices.push_back(l.p2());
    for (const QPointF& v : vertices) {
        Span& s = drawn[column(v.x())];
        s.low = std::min(s.low, row(v.y()));
        s.high = std::max(s.high, row(v.y()));
        ++s.count;
    }
    ASSERT_EQ(drawn.size(), expected.size());
    EXPECT_LT(vertices.size(), xs.size() / 4);
    for (const auto& [c, s] : expected) {
        ASSERT_TRUE(drawn.count(c)) << c;
        EXPECT_EQ(drawn[c].low, s.low) << c;
        EXPECT_EQ(drawn[c].high, s.high) << c;
        EXPECT_LE(drawn[c].count, 4) << c;
    }
}

// A hairline join through (xs, ys) on a graph of 1500 x 1000 page units
// whose axes run from 0 to 1500 and from -yLimit to yLimit.
CXYDatasetTable* HairlineDataset(GraphFixture& f, const std::vector<double>& xs, const std::vector<double>& ys,
                                 double yLimit)
{
    CMyData& t = f.doc.AddTable("T");
    FillColumn(t, 0, xs);
    FillColumn(t, 1, ys);
    auto* graph = new CDrawXYGraph(RECT{0, 0, 1500, 1000}, &f.page);
    auto* d = new CXYDatasetTable("T", 0, 1, -1, graph);
    d->m_nJoinType = 1;
    d->m_nSymbolShape = 16;
    d->m_nJoinWidth = 0; // a hairline at every zoom
    graph->AddDataset(d, "d");
    graph->GetXAxis(0)->m_dMin = 0;
    graph->GetXAxis(0)->m_dMax = 1500;
    graph->GetYAxis(0)->m_dMin = -yLimit;
    graph->GetYAxis(0)->m_dMax = yLimit;
    return d;
}

// The reduced line lights the very pixels of the whole line, at the view's
// zooms and at scroll positions that put the device columns at fractions
// of a page unit.
TEST(Joins, ReducedLineDrawsTheSamePixelsAsTheWholeLine)
{
    GraphFixture f;
    std::vector<double> xs, ys;
    std::uint32_t noise = 12345;
    for (int i = 0; i < 30000; ++i) {
        noise = noise * 1664525u + 1013904223u;
        xs.push_back(i * 0.05);
        ys.push_back(std::sin(i * 0.001) + 0.2 * (double(noise >> 8) / double(1u << 24) - 0.5));
    }
    CXYDatasetTable* d = HairlineDataset(f, xs, ys, 1.2);
    CDrawGraph* graph = d->GetGraph();

    struct Case {
        double pageUnitsPerPixel, left, top;
    } const cases[] = {{7.5, 600, -1400}, {15, 600, -1400}, {5, 613.7, -1400.6}, {3.75, 600.3, -1417.2},
                       {10, 587.9, -1390.1}, {2.5, 600.6, -1400.3}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pageUnitsPerPixel);
        QImage images[2];
        for (int reduced = 0; reduced < 2; ++reduced) {
            QImage& image = images[reduced];
            image = QImage(int(2200 / c.pageUnitsPerPixel), int(1800 / c.pageUnitsPerPixel), QImage::Format_RGB32);
            image.fill(Qt::white);
            QPainter painter(&image);
            painter.scale(1.0 / c.pageUnitsPerPixel, -1.0 / c.pageUnitsPerPixel);
            painter.translate(c.left, c.top);
            CDrawDC dc;
            dc.painter = &painter;
            dc.pixelX = dc.pixelY = c.pageUnitsPerPixel;
            dc.reduceLongLines = reduced == 1;
            d->DrawLines(dc, *graph->GetXAxis(0), *graph->GetYAxis(0));
        }
        int differing = 0, drawn = 0;
        for (int py = 0; py < images[0].height(); ++py) {
            const auto* whole = reinterpret_cast<const QRgb*>(images[0].constScanLine(py));
            const auto* reduced = reinterpret_cast<const QRgb*>(images[1].constScanLine(py));
            for (int px = 0; px < images[0].width(); ++px) {
                differing += whole[px] != reduced[px];
                drawn += whole[px] != qRgb(255, 255, 255);
            }
        }
        EXPECT_GT(drawn, 1000);
        EXPECT_EQ(differing, 0) << "of " << drawn;
    }
}

// The line's own pixels lie where the painter's hairline through the same
// points lies, within a pixel: every pixel of either has a pixel of the
// other among its eight neighbours.
TEST(Joins, OwnPixelsFollowThePaintersHairline)
{
    GraphFixture f;
    std::vector<double> xs, ys;
    for (int i = 0; i < 40; ++i) {
        xs.push_back(i * 37.5);
        ys.push_back(std::sin(i * 0.7) + 0.3 * std::cos(i * 2.9));
    }
    CXYDatasetTable* d = HairlineDataset(f, xs, ys, 1.5);
    CDrawGraph* graph = d->GetGraph();

    auto draw = [&](QPaintDevice& device) {
        QPainter painter(&device);
        painter.scale(1.0 / 7.5, -1.0 / 7.5);
        painter.translate(600.4, -1400.2);
        CDrawDC dc;
        dc.painter = &painter;
        dc.pixelX = dc.pixelY = 7.5;
        d->DrawLines(dc, *graph->GetXAxis(0), *graph->GetYAxis(0));
    };
    QImage own(300, 240, QImage::Format_RGB32), painters(300, 240, QImage::Format_RGB32);
    own.fill(Qt::white);
    painters.fill(Qt::white);
    draw(own);
    // Through a picture the line reaches the image as the painter's hairline.
    QPicture picture;
    draw(picture);
    {
        QPainter painter(&painters);
        painter.drawPicture(0, 0, picture);
    }
    auto lit = [](const QImage& image, int x, int y) {
        return x >= 0 && y >= 0 && x < image.width() && y < image.height()
            && image.pixel(x, y) != qRgb(255, 255, 255);
    };
    auto near = [&](const QImage& image, int x, int y) {
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (lit(image, x + dx, y + dy))
                    return true;
        return false;
    };
    int drawn = 0, same = 0;
    for (int y = 0; y < own.height(); ++y)
        for (int x = 0; x < own.width(); ++x) {
            if (lit(own, x, y)) {
                ++drawn;
                same += lit(painters, x, y);
                EXPECT_TRUE(near(painters, x, y)) << x << "," << y;
            }
            if (lit(painters, x, y)) {
                EXPECT_TRUE(near(own, x, y)) << x << "," << y;
            }
        }
    EXPECT_GT(drawn, 200);
    // Most pixels are the very same: the two differ only in rounding.
    EXPECT_GT(same, drawn * 9 / 10) << "of " << drawn;
}

TEST(Joins, PixelReductionKeepsFirstLowestHighestLast)
{
    std::vector<QPointF> points;
    // Ten points in one pixel column (pixel 8), then one in the next.
    const double ys[] = {5, 9, -3, 7, 12, 0, 4, 4, 2, 6};
    for (int i = 0; i < 10; ++i)
        points.emplace_back(i * 0.5, ys[i]);
    points.emplace_back(9.0, 1.0);
    const auto reduced = CXYDataset::ReduceForPixels(points, 8.0);
    ASSERT_EQ(reduced.size(), 5u);
    EXPECT_EQ(reduced[0].y(), 5);  // first
    EXPECT_EQ(reduced[1].y(), -3); // lowest (comes before the highest)
    EXPECT_EQ(reduced[2].y(), 12); // highest
    EXPECT_EQ(reduced[3].y(), 6);  // last
    EXPECT_EQ(reduced[4].y(), 1);
}

} // namespace

namespace {

// Points through a transformation: x doubled, y to its base-10 logarithm;
// a row the logarithm fails on keeps its own point.
TEST(TableTransform, PointsGoThroughTheTransformation)
{
    GraphFixture f;
    CMyData& t = f.doc.AddTable("T");
    FillColumn(t, 0, {1, 2, 3});
    FillColumn(t, 1, {10, -5, 1000});
    auto equation = std::make_unique<CEquation>();
    equation->SetYName("y");
    equation->SetXName(0, "x", "");
    equation->SetModeFlag(1);
    equation->SetSource("y = x");
    equation->Compile();
    equation->ResizeValues();
    f.doc.AddEquation("Line", std::move(equation));
    CTransformation& tr = f.doc.AddTransformation("Logs");
    tr.SetReferenceName("Line");
    tr.SetXDataDefinition("XDATA * 2");
    tr.SetYDataDefinition("LOG(YDATA)");
    tr.SetDefaultXName("Twice x");
    tr.SetDefaultYName("log y");
    tr.SetCompiled(true);
    auto* graph = new CDrawXYGraph(RECT{0, 0, 7200, 5040}, &f.page);
    auto* d = new CXYDatasetTable("T", 0, 1, -1, graph);
    d->m_bTransform = 1;
    d->m_strTransform = "logs";
    graph->AddDataset(d, "d");
    d->Recalculate();
    EXPECT_EQ(d->m_x, (std::vector<double>{2, 2, 6}));
    ASSERT_EQ(d->m_y.size(), 3u);
    EXPECT_DOUBLE_EQ(d->m_y[0], 1.0);
    EXPECT_EQ(d->m_y[1], -5.0); // LOG of a negative number: the point stays raw
    EXPECT_DOUBLE_EQ(d->m_y[2], 3.0);
    EXPECT_EQ(d->GetXName(), "Twice x");
    EXPECT_EQ(d->GetYName(), "log y");
    // Off for data points, or not compiled: no transformation.
    tr.SetTransformData(false);
    d->Recalculate();
    EXPECT_EQ(d->m_x, (std::vector<double>{1, 2, 3}));
    tr.SetTransformData(true);
    // A changed transformation rebuilds the points.
    CUpdateNotification changed;
    changed.kind = UN_TRANSFORM_CHANGED;
    changed.item = f.doc.Item("Logs");
    EXPECT_TRUE(d->IsAffectedBy(changed));
    graph->OnDocumentChange(changed);
    EXPECT_EQ(d->m_x, (std::vector<double>{2, 2, 6}));
    tr.SetCompiled(false);
    d->Recalculate();
    EXPECT_EQ(d->m_x, (std::vector<double>{1, 2, 3}));
}

} // namespace
