// Graphs as a whole: fit curves and their refusals, datasets added and
// removed, axes removed, the stored form of a page with a graph (golden
// bytes for the axis record, a round trip for the rest) and positions in a
// damaged file that are refused rather than followed.
#include "GraphTestSupport.h"
#include "draw/DrawTestSupport.h"

#include "framework/UpdateNotification.h"
#include "graph/DrawGraph.h"
#include "graph/GraphText.h"
#include "graph/Legend.h"
#include "graph/ScaleText.h"
#include "graph/XYAxis.h"
#include "graph/XYDatasetFit.h"
#include "graph/XYDatasetTable.h"
#include "platform/StringIds.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

struct FitGraph : GraphFixture {
    FitGraph()
    {
        CMyData& t = doc.AddTable("Data");
        FillColumn(t, 0, {1, 2, 3, 4, 5});
        FillColumn(t, 1, {3.1, 4.9, 7.2, 8.8, 11.1});
        fit = &doc.AddFit("Linear Fit");
        fit->table = &t;
        graph = new CDrawXYGraph(RECT{0, 0, 7200, 5040}, &page);
        dataset = new CXYDatasetFit("linear fit", graph, 0);
        graph->AddDataset(dataset, "fit");
    }
    void Render() { RenderObjects({graph}, 200, 200, 60.0); }
    FakeFit* fit;
    CDrawXYGraph* graph;
    CXYDatasetFit* dataset;
};

TEST(FitDataset, FittedDrawsItsCurveOverTheAxis)
{
    FitGraph f;
    EXPECT_EQ(f.dataset->GetPointCount(), 5);
    f.Render();
    EXPECT_EQ(f.fit->calls, 101); // resolution 1: 100 segments
    EXPECT_TRUE(f.dataset->GetNotice().empty());
}

// Status 2 is a failed fit: no curve, and the legend entry says why.
TEST(FitDataset, FailedUnfinishedOrMissingFitsDrawNoCurve)
{
    struct Case {
        int status;
        bool calculating;
        int fitNumber;
        const char* notice;
    };
    const Case cases[] = {{2, false, 0, "fit failed"},
                          {0, false, 0, "not fitted"},
                          {1, true, 0, "calculating"},
                          {1, false, 7, "no such fit"}};
    for (const Case& c : cases) {
        FitGraph f;
        f.fit->status = c.status;
        f.fit->calculating = c.calculating;
        f.dataset->m_nFit = c.fitNumber;
        f.Render();
        EXPECT_EQ(f.fit->calls, 0) << c.notice;
        EXPECT_EQ(f.dataset->GetNotice(), c.notice);
    }
}

TEST(FitDataset, CurveSamplesOnLogarithmicAxis)
{
    FitGraph f;
    CXYAxis& x = *f.graph->GetXAxis(0);
    x.m_bLog = 1;
    x.m_dMin = 1;
    x.m_dMax = 1000;
    const auto xs = f.dataset->CurveSamples(x);
    ASSERT_EQ(xs.size(), 101u);
    for (int i = 0; i <= 100; i += 25)
        EXPECT_NEAR(xs[std::size_t(i)], std::pow(10.0, 3.0 * i / 100), 1e-9 * xs[std::size_t(i)]);
}

TEST(FitDataset, CurveLimitsAndResolution)
{
    FitGraph f;
    CXYAxis& x = *f.graph->GetXAxis(0);
    x.m_dMin = 0;
    x.m_dMax = 10;
    f.dataset->m_nResolution = 0;
    EXPECT_EQ(f.dataset->CurveSamples(x).size(), 11u);
    f.dataset->m_nResolution = 2;
    EXPECT_EQ(f.dataset->CurveSamples(x).size(), 501u);
    // A start below the axis still starts at the axis minimum.
    f.dataset->m_bFromAxisStart = 0;
    f.dataset->m_dStartX = -5;
    EXPECT_EQ(f.dataset->CurveSamples(x).front(), 0);
    // Equal start and end inside the axis span one unit.
    f.dataset->m_bToAxisEnd = 0;
    f.dataset->m_dStartX = f.dataset->m_dEndX = 4;
    EXPECT_EQ(f.dataset->CurveSamples(x).front(), 4);
    EXPECT_EQ(f.dataset->CurveSamples(x).back(), 5);
}

TEST(FitDataset, FollowsRecalculationAndDeletion)
{
    FitGraph f;
    EXPECT_EQ(f.dataset->GetPointCount(), 5);
    f.doc.entries[0]->table->SetNumber(7, 0, 6);
    f.doc.entries[0]->table->SetNumber(7, 1, 13);
    CUpdateNotification done;
    done.kind = UN_CALC_STATE;
    done.item = f.doc.Item("Linear Fit");
    f.graph->OnDocumentChange(done);
    EXPECT_EQ(f.dataset->GetPointCount(), 6);
    CUpdateNotification gone;
    gone.kind = UN_ITEM_REMOVING;
    gone.oldName = "LINEAR FIT";
    f.graph->OnDocumentChange(gone);
    EXPECT_EQ(f.graph->GetDatasetCount(), 0);
}

TEST(Graph, FirstDatasetShowsAHiddenLegend)
{
    GraphFixture f;
    f.doc.AddTable("T");
    auto* graph = new CDrawXYGraph(RECT{0, 0, 7200, 5040}, &f.page);
    graph->GetLegend()->Show(false);
    graph->AddDataset(new CXYDatasetTable("T", 0, 1, -1, graph), "a");
    EXPECT_TRUE(graph->GetLegend()->IsShown());
    graph->GetLegend()->Show(false);
    graph->AddDataset(new CXYDatasetTable("T", 0, 1, -1, graph), "b");
    EXPECT_FALSE(graph->GetLegend()->IsShown());
    EXPECT_FALSE(graph->GetLegend()->GetText(1)->IsShown());
}

TEST(Graph, RemovingADatasetRenumbersTheLegend)
{
    GraphFixture f;
    f.doc.AddTable("T");
    auto* graph = new CDrawXYGraph(RECT{0, 0, 7200, 5040}, &f.page);
    auto* a = new CXYDatasetTable("T", 0, 1, -1, graph);
    auto* b = new CXYDatasetTable("T", 0, 2, -1, graph);
    graph->AddDataset(a, "a");
    graph->AddDataset(b, "b");
    const std::size_t objects = f.page.GetObjects().size();
    EXPECT_TRUE(graph->RemoveDataset(a));
    EXPECT_FALSE(graph->RemoveDataset(a)); // not in the graph any more
    ASSERT_EQ(graph->GetLegend()->GetEntryCount(), 1);
    EXPECT_EQ(graph->GetLegend()->GetSample(0)->GetIndex(), 0);
    EXPECT_EQ(graph->GetLegend()->GetSample(0)->GetDataset(), b);
    EXPECT_EQ(f.page.GetObjects().size(), objects - 2);
}

TEST(Graph, RemovingXAxisZeroRenumbersDatasets)
{
    GraphFixture f;
    auto* graph = new CDrawXYGraph(RECT{0, 0, 7200, 5040}, &f.page);
    graph->AddAxes(1, 0);
    auto* d = new CXYDatasetTable("T", 0, 1, -1, graph);
    d->m_xAxes = {1};
    graph->AddDataset(d, "d");
    EXPECT_FALSE(graph->RemoveXAxis(2));
    EXPECT_TRUE(graph->RemoveXAxis(0));
    EXPECT_EQ(d->m_xAxes, (std::vector<std::uint32_t>{0}));
    EXPECT_EQ(graph->GetXAxisCount(), 1);
}

TEST(Graph, BoundsReachAtLeastAFiftiethBeyondTheFrame)
{
    GraphFixture f;
    auto* graph = new CDrawXYGraph(RECT{0, 0, 7200, 5040}, &f.page);
    const RECT b = graph->GetBounds();
    // Tick length 7200 / 22 * 35 / 100 = 114 beats 7200 / 60 = 120? No: 114 < 120.
    EXPECT_EQ(b.left, -120);
    EXPECT_EQ(b.right, 7320);
    EXPECT_EQ(b.top, -120);
    EXPECT_EQ(b.bottom, 5160);
}

// The axis record of a new axis, field by field.
TEST(StoredForm, AxisRecord)
{
    CXAxis axis;
    axis.m_crLine = axis.m_crMajorGrid = axis.m_crMinorGrid = 0x112233;
    const Bytes emptyName = StoreBytes([](CArchive& ar) { ar << std::string(); });
    Golden expected;
    expected.i32(1);                                          // axis version
    expected.i32(0).append(emptyName).ints({-1, 1, 1, 1, 1}); // category: version, name, column, start, intervals, crossing
    expected.f64(-25.0).f64(50.0).ints({1, 0, 0});            // overlap, gap, between, percentages, grouping
    expected.f64(0).f64(10).ints({1, 1});                     // range and its automatic flags
    expected.f64(2).f64(1).f64(0);                            // steps and crossing value
    expected.ints({1, 1, 1, 0});                              // automatic crossing and steps, linear
    expected.ints({5, 8, 5, 8, 8});                           // grids off, widths
    expected.u32(0x112233).u32(0x112233).u32(0x112233);
    expected.ints({0, 0, 100, 4});                            // offset, stretch, break marks
    expected.ints({0, 0, 3, 1, 108, 1});                      // ticks, length, crossing line
    const Bytes bytes = StoreBytes([&](CArchive& ar) { axis.Serialize(ar); });
    EXPECT_EQ(ToHex(bytes), ToHex(expected.bytes));
}

TEST(StoredForm, PageWithGraphReadsBackTheSame)
{
    GraphFixture f;
    CMyData& t = f.doc.AddTable("T");
    FillColumn(t, 0, {1, 2, 3});
    FillColumn(t, 1, {1, 4, 9});
    auto* graph = new CDrawXYGraph(RECT{0, 0, 7200, 5040}, &f.page);
    auto* d = new CXYDatasetTable("T", 0, 1, -1, graph);
    d->m_nJoinType = 3;
    graph->AddDataset(d, "squares");
    graph->GetYAxis(0)->m_bLog = 1;
    graph->RecalcAxes();
    const Bytes bytes = StoreBytes([&](CArchive& ar) { f.page.Serialize(ar); });

    CDrawData loaded;
    loaded.SetDocument(&f.doc);
    LoadBytes(bytes, [&](CArchive& ar) { loaded.Serialize(ar); });
    CDrawGraph* back = nullptr;
    for (CDrawObj* obj : loaded.GetObjects())
        if (auto* g = dynamic_cast<CDrawGraph*>(obj))
            back = g;
    ASSERT_TRUE(back);
    ASSERT_EQ(back->GetDatasetCount(), 1);
    EXPECT_EQ(back->GetDataset(0)->m_nJoinType, 3);
    EXPECT_EQ(back->GetYAxis(0)->m_bLog, 1);
    ASSERT_TRUE(back->GetXAxis(0)->GetTitle());
    EXPECT_EQ(back->GetXAxis(0)->GetTitle()->GetText(), "X Axis");
    ASSERT_TRUE(back->GetYAxis(0)->GetTickLabels());
    EXPECT_EQ(back->GetLegend()->GetEntryCount(), 1);
    EXPECT_EQ(back->GetLegend()->GetSample(0)->GetDataset(), back->GetDataset(0));
    const Bytes again = StoreBytes([&](CArchive& ar) { loaded.Serialize(ar); });
    EXPECT_EQ(ToHex(again), ToHex(bytes));
}

// A position in the stored graph that names no part of the page is refused
// with a message; the part is left out and nothing follows the position.
TEST(StoredForm, BadPositionIsRefusedWithAMessage)
{
    GraphFixture f;
    auto* graph = new CDrawXYGraph(RECT{0, 0, 7200, 5040}, &f.page);
    graph->GetXAxis(0)->m_dMin = 1234.5; // a marker to find the axis record by
    Bytes bytes = StoreBytes([&](CArchive& ar) { f.page.Serialize(ar); });
    const double marker = 1234.5;
    std::size_t at = 0;
    for (std::size_t i = 0; i + 8 <= bytes.size(); ++i)
        if (std::memcmp(&bytes[i], &marker, 8) == 0) {
            at = i;
            break;
        }
    ASSERT_GT(at, 0u);
    // Before the minimum: the two label positions, the version word and the
    // category record (version, empty name, 5 int32, two doubles, 3 int32).
    const std::size_t emptyName = StoreBytes([](CArchive& ar) { ar << std::string(); }).size();
    const std::size_t titleAt = at - (4 + 4 + 4 + 4 + emptyName + 4 * 5 + 8 * 2 + 4 * 3);
    std::int32_t title = 0;
    std::memcpy(&title, &bytes[titleAt], 4);
    ASSERT_GE(title, 0);
    ASSERT_LT(title, 20);
    const std::int32_t bad = 999;
    std::memcpy(&bytes[titleAt], &bad, 4);

    RecordingReporter reporter;
    CDrawData loaded;
    loaded.SetDocument(&f.doc);
    LoadBytes(bytes, [&](CArchive& ar) { loaded.Serialize(ar); });
    EXPECT_EQ(reporter.Ids(), (std::vector<UINT>{IDS_GRAPH_BAD_PART}));
    CDrawGraph* back = nullptr;
    for (CDrawObj* obj : loaded.GetObjects())
        if (auto* g = dynamic_cast<CDrawGraph*>(obj))
            back = g;
    ASSERT_TRUE(back);
    EXPECT_EQ(back->GetXAxis(0)->GetTitle(), nullptr);
    EXPECT_TRUE(back->GetXAxis(0)->GetTickLabels());
}

} // namespace
