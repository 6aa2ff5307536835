// Histogram bins worked by hand: edges on the origin's grid, values on an
// edge counted in the bin above, weights, blanks, and bin counts that are
// refused rather than walked.
#include "GraphTestSupport.h"

#include "framework/UpdateNotification.h"
#include "graph/DrawGraph.h"
#include "graph/XYAxis.h"
#include "graph/XYDatasetHisto.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

const double kBlank = std::numeric_limits<double>::quiet_NaN();

struct HistoCase {
    const char* name;
    std::vector<double> values;
    std::vector<double> weights; // empty: no weights
    double origin, width;
    std::vector<double> edges, counts;
};

class Histogram : public ::testing::TestWithParam<HistoCase> {};

TEST_P(Histogram, BinsMatchHandCounts)
{
    const HistoCase& c = GetParam();
    GraphFixture f;
    CMyData& t = f.doc.AddTable("T");
    FillColumn(t, 0, c.values);
    if (!c.weights.empty())
        FillColumn(t, 1, c.weights);
    auto* graph = new CDrawHistoGraph(RECT{0, 0, 7200, 5040}, &f.page);
    auto* h = new CXYDatasetHisto("T", 0, c.weights.empty() ? 0 : 1, 1, graph);
    h->m_dOrigin = c.origin;
    h->m_dBinWidth = c.width;
    graph->AddDataset(h, "h");
    h->Recalculate();
    EXPECT_EQ(h->m_x, c.edges);
    EXPECT_EQ(h->m_y, c.counts);
}

INSTANTIATE_TEST_SUITE_P(Cases, Histogram,
    ::testing::Values(
        HistoCase{"EmptyBinBetween", {0.5, 1.0, 1.5, 3.2}, {}, 0, 1, {0, 1, 2, 3}, {1, 2, 0, 1}},
        HistoCase{"ValueOnUpperEdgeGoesUp", {0.5, 2.0}, {}, 0, 1, {0, 1, 2}, {1, 0, 1}},
        HistoCase{"BelowTheOrigin", {-0.5, 0.5}, {}, 0, 1, {-1, 0}, {1, 1}},
        HistoCase{"OffsetOrigin", {1.0, 1.2, 2.9}, {}, 0.25, 0.5, {0.75, 1.25, 1.75, 2.25, 2.75}, {2, 0, 0, 0, 1}},
        HistoCase{"BlanksAreLeftOut", {3.5, kBlank, 1.5, kBlank}, {}, 0, 1, {1, 2, 3}, {1, 0, 1}},
        HistoCase{"Weights", {0.5, 0.7, 1.5}, {2.0, kBlank, 3.0}, 0, 1, {0, 1}, {2, 3}},
        HistoCase{"LastBinOfNoWeightIsLeftOut", {0.5, 1.5}, {2.0, 0.0}, 0, 1, {0}, {2}},
        HistoCase{"ShorterWeightsColumnSetsTheRows", {0.5, 1.5, 2.5}, {1.0, 1.0}, 0, 1, {0, 1}, {1, 1}}),
    [](const auto& info) { return std::string(info.param.name); });

// A bin width that would need billions of (empty) bins is refused: no bins,
// and the legend entry says why.
TEST(HistogramBounds, TooManyBinsAreRefused)
{
    GraphFixture f;
    CMyData& t = f.doc.AddTable("T");
    FillColumn(t, 0, {0.0, 1e12});
    auto* graph = new CDrawHistoGraph(RECT{0, 0, 7200, 5040}, &f.page);
    auto* h = new CXYDatasetHisto("T", 0, 0, -1, graph);
    graph->AddDataset(h, "h");
    EXPECT_EQ(h->GetPointCount(), 0);
    EXPECT_FALSE(h->GetNotice().empty());
    for (double width : {0.0, -1.0, std::numeric_limits<double>::infinity(), kBlank}) {
        h->m_dBinWidth = width;
        h->Recalculate();
        EXPECT_EQ(h->GetPointCount(), 0) << width;
    }
}

// The upper edge of the last bin is one rule for counting and drawing: the
// X range ends at the last lower edge plus the width.
TEST(HistogramBounds, XRangeEndsAtTheLastUpperEdge)
{
    GraphFixture f;
    CMyData& t = f.doc.AddTable("T");
    FillColumn(t, 0, {0.05, 0.25, 0.95});
    auto* graph = new CDrawHistoGraph(RECT{0, 0, 7200, 5040}, &f.page);
    auto* h = new CXYDatasetHisto("T", 0, 0, -1, graph);
    h->m_dBinWidth = 0.1;
    graph->AddDataset(h, "h");
    double lo = 0, hi = 0;
    ASSERT_TRUE(h->GetXRange(false, lo, hi));
    EXPECT_EQ(lo, 0.0);
    ASSERT_FALSE(h->m_x.empty());
    EXPECT_EQ(hi, h->m_x.back() + 0.1);
    EXPECT_NEAR(hi, 1.0, 1e-12);
    EXPECT_EQ(h->m_x.size(), 10u);
}

TEST(HistogramNotices, DeletedColumnEmptiesTheHistogram)
{
    GraphFixture f;
    CMyData& t = f.doc.AddTable("T");
    FillColumn(t, 1, {1, 2, 3});
    auto* graph = new CDrawHistoGraph(RECT{0, 0, 7200, 5040}, &f.page);
    auto* h = new CXYDatasetHisto("T", 1, 0, -1, graph);
    graph->AddDataset(h, "h");
    EXPECT_EQ(h->GetPointCount(), 3);
    CUpdateNotification before(UN_COLUMNS_DELETED, 0, 1, f.doc.Item("T"));
    graph->OnDocumentChange(before);
    EXPECT_EQ(h->m_nColumn, 0);
    CUpdateNotification gone(UN_COLUMNS_DELETED, 0, 1, f.doc.Item("T"));
    graph->OnDocumentChange(gone);
    EXPECT_EQ(h->m_nColumn, -1);
    EXPECT_EQ(h->GetPointCount(), 0);
}

} // namespace
