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
#include "equation/Equation.h"
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

// A decay y = a exp(-k t) fitted with a = 3, k = 0.5, and a transformation
// of its equation that draws ln y against t: the points become ln y and the
// curve the straight line ln a - k t.
struct TransformedFit : GraphFixture {
    TransformedFit()
    {
        CMyData& t = doc.AddTable("Data");
        FillColumn(t, 0, {0, 2, 4});
        FillColumn(t, 1, {3, 3 * std::exp(-1.0), 3 * std::exp(-2.0)});
        auto eq = std::make_unique<CEquation>();
        eq->SetYName("y");
        eq->SetXName(0, "t", "");
        eq->SetParameterName(0, "a", "");
        eq->SetParameterName(1, "k", "");
        eq->SetModeFlag(1);
        eq->SetSource("y = a * EXP(-k * t)");
        eq->Compile();
        eq->ResizeValues();
        equation = &doc.AddEquation("Decay", std::move(eq));
        fit = &doc.AddFit("Fit");
        fit->table = &t;
        fit->equation = equation;
        fit->equationName = "Decay";
        fit->parameters = {{"a", 3.0, 0.1}, {"k", 0.5, 0.01}};
        fit->curve = [](double x) { return 3.0 * std::exp(-0.5 * x); };
        transformation = &doc.AddTransformation("Logarithm");
        transformation->SetReferenceName("Decay");
        transformation->SetXDataDefinition("XDATA");
        transformation->SetYDataDefinition("LN(YDATA)");
        transformation->SetCurveXName("time");
        transformation->SetCurveYName("lny");
        transformation->SetCurveDefinition("lny = LN(a) - k * time");
        transformation->SetDefaultXName("Time");
        transformation->SetDefaultYName("ln y");
        transformation->SetCompiled(true);
        graph = new CDrawXYGraph(RECT{0, 0, 7200, 5040}, &page);
        dataset = new CXYDatasetFit("Fit", graph, 0);
        dataset->m_bTransform = 1;
        dataset->m_strTransform = "logarithm";
        dataset->m_nResolution = 0; // 10 segments
        graph->AddDataset(dataset, "fit");
        x = graph->GetXAxis(0);
        x->m_dMin = 0;
        x->m_dMax = 10;
    }
    std::vector<double> CurveY() const
    {
        std::vector<double> ys;
        for (const QPointF& p : dataset->CurveValues(*x))
            ys.push_back(p.y());
        return ys;
    }
    const CEquationBase* equation;
    FakeFit* fit;
    CTransformation* transformation;
    CDrawXYGraph* graph;
    CXYDatasetFit* dataset;
    CXYAxis* x;
};

TEST(FitTransform, PointsAndCurveGoThroughTheTransformation)
{
    TransformedFit f;
    f.dataset->Recalculate();
    EXPECT_EQ(f.dataset->m_x, (std::vector<double>{0, 2, 4}));
    ASSERT_EQ(f.dataset->m_y.size(), 3u);
    EXPECT_NEAR(f.dataset->m_y[0], std::log(3.0), 1e-12);
    EXPECT_NEAR(f.dataset->m_y[1], std::log(3.0) - 1.0, 1e-12);
    EXPECT_NEAR(f.dataset->m_y[2], std::log(3.0) - 2.0, 1e-12);
    const std::vector<QPointF> curve = f.dataset->CurveValues(*f.x);
    ASSERT_EQ(curve.size(), 11u);
    for (int i = 0; i <= 10; ++i) {
        EXPECT_DOUBLE_EQ(curve[std::size_t(i)].x(), i);
        EXPECT_NEAR(curve[std::size_t(i)].y(), std::log(3.0) - 0.5 * i, 1e-12) << i;
    }
    EXPECT_EQ(f.fit->calls, 0); // the fit's own curve was not asked
    EXPECT_EQ(f.dataset->GetXName(), "Time");
    EXPECT_EQ(f.dataset->GetYName(), "ln y");
    RenderObjects({f.graph}, 200, 200, 60.0);
    EXPECT_EQ(f.fit->calls, 0);
}

// When the transformation cannot give the curve, the fit's own curve is drawn.
TEST(FitTransform, FallsBackToTheFitsCurve)
{
    struct Case {
        const char* what;
        void (*change)(TransformedFit&);
    };
    const Case cases[] = {
        {"curve switched off", [](TransformedFit& f) { f.transformation->SetTransformCurve(false); }},
        {"another equation", [](TransformedFit& f) { f.transformation->SetReferenceName("Other"); }},
        {"name differs in case", [](TransformedFit& f) { f.fit->equationName = "DECAY"; }},
        {"curve does not compile",
         [](TransformedFit& f) {
             f.transformation->SetCurveDefinition("lny = LN(a) -");
             f.transformation->SetCompiled(true);
         }},
        {"a linear fit", [](TransformedFit& f) { f.fit->equation = nullptr; }},
    };
    for (const Case& c : cases) {
        TransformedFit f;
        c.change(f);
        const std::vector<double> ys = f.CurveY();
        ASSERT_EQ(ys.size(), 11u) << c.what;
        for (int i = 0; i <= 10; ++i)
            EXPECT_NEAR(ys[std::size_t(i)], 3.0 * std::exp(-0.5 * i), 1e-12) << c.what << " " << i;
        EXPECT_EQ(f.fit->calls, 11) << c.what;
    }
}

TEST(FitTransform, NotCompiledOrNotUsedTransformsNothing)
{
    for (int which = 0; which < 2; ++which) {
        TransformedFit f;
        if (which == 0)
            f.transformation->SetCompiled(false);
        else
            f.dataset->m_bTransform = 0;
        f.dataset->Recalculate();
        EXPECT_DOUBLE_EQ(f.dataset->m_y[0], 3.0) << which;
        EXPECT_DOUBLE_EQ(f.CurveY().at(2), 3.0 * std::exp(-1.0)) << which;
        EXPECT_NE(f.dataset->GetYName(), "ln y") << which;
    }
}

TEST(FitTransform, AMathErrorEndsTheTransformedCurve)
{
    TransformedFit f;
    // LN of zero or less from t = 3 on.
    f.transformation->SetCurveDefinition("lny = LN(a - time)");
    f.transformation->SetCompiled(true);
    const std::vector<double> ys = f.CurveY();
    ASSERT_EQ(ys.size(), 3u);
    EXPECT_NEAR(ys[2], 0.0, 1e-12); // ln(3 - 2)
}

// A curve transformation draws a curve even for a fit kind that has none of its own.
TEST(FitTransform, ATransformedCurveIgnoresTheFitKind)
{
    TransformedFit f;
    f.fit->kind = 5; // many x: the fit alone draws only the join line
    EXPECT_EQ(f.CurveY().size(), 11u);
    f.transformation->SetTransformCurve(false);
    EXPECT_TRUE(f.CurveY().empty());
}

TEST(FitTransform, AChangedTransformationRebuildsThePoints)
{
    TransformedFit f;
    f.dataset->Recalculate();
    f.transformation->SetYDataDefinition("YDATA * 2");
    f.transformation->SetCompiled(true);
    CUpdateNotification changed;
    changed.kind = UN_TRANSFORM_CHANGED;
    changed.item = f.doc.Item("Logarithm");
    EXPECT_TRUE(f.dataset->IsAffectedBy(changed));
    f.graph->OnDocumentChange(changed);
    EXPECT_DOUBLE_EQ(f.dataset->m_y[0], 6.0);
    changed.item = f.doc.Item("Data");
    EXPECT_FALSE(f.dataset->IsAffectedBy(changed));
    f.dataset->m_bTransform = 0;
    changed.item = f.doc.Item("Logarithm");
    EXPECT_FALSE(f.dataset->IsAffectedBy(changed));
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
