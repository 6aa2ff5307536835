#include "ConfigDirFixture.h"
#include "FitTestPump.h"

#include "app/MXItemAdd.h"
#include "app/MXLinear.h"
#include "app/MXNonLinear.h"
#include "fitting/NonlinearFit.h"
#include "data/DataString.h"
#include "framework/Profile.h"
#include "platform/Exceptions.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <unistd.h>
#include <thread>

namespace {

struct FitFixture : ::testing::Test {
    // The pump outlives the document, whose fits' workers post to it until they stop.
    MessagePump pump;
    RecordingReporter reporter;
    CMXDoc doc;
    CMXGrid* table = nullptr;
    ProbeItem* probe = nullptr;

    void SetUp() override
    {
        table = AddItem<CMXGrid>(doc);
        table->SetName("Data", 0);
        probe = new ProbeItem(&doc);
        probe->SetName("Probe", 0);
    }
    void TearDown() override { EXPECT_EQ(CMXResult::GetRunningCount(), 0); }
};

// Puromycin, treated cells (Bates & Watts, Nonlinear Regression Analysis, 1988, appendix A1.3).
const std::vector<double> kConc = {0.02, 0.02, 0.06, 0.06, 0.11, 0.11, 0.22, 0.22, 0.56, 0.56, 1.10, 1.10};
const std::vector<double> kRate = {76, 47, 97, 107, 123, 139, 159, 152, 191, 201, 207, 200};

} // namespace

TEST_F(FitFixture, LinearFitRunsOnTheWorkerAndPublishesOnTheEndNotice)
{
    FillColumn(table->GetTable(), 0, {1, 2, 3, 4, 5});
    FillColumn(table->GetTable(), 1, {3.1, 4.9, 7.2, 8.8, 11.0});
    CMXLinear* fit = AddItem<CMXLinear>(doc);
    EXPECT_EQ(fit->GetName(), "Linear Fit");
    fit->Select("Data", 0, 0, 1, -1, 0);
    ASSERT_EQ(fit->OnDataChanged(1, 1), 1);
    // Nothing reaches the item before its messages are delivered.
    EXPECT_EQ(fit->GetState(), CMXResult::kNotFitted);
    ASSERT_TRUE(pump.PumpUntilEnd(doc));
    EXPECT_EQ(pump.Count(WM_WORKER_STATE, WORKER_STARTED), 1);
    EXPECT_EQ(pump.Count(WM_WORKER_STATE, WORKER_SUCCEEDED), 1);
    EXPECT_EQ(fit->GetState(), CMXResult::kFitted);
    double a = 0, b = 0, se = 0;
    ASSERT_TRUE(fit->GetParameter(0, 0, a, se));
    ASSERT_TRUE(fit->GetParameter(0, 1, b, se));
    // Hand calculation: Sxy = 19.7, Sxx = 10, so b = 1.97 and a = 7 - 3 b = 1.09.
    EXPECT_NEAR(b, 1.97, 1e-12);
    EXPECT_NEAR(a, 1.09, 1e-12);
    std::string name;
    fit->GetParameterName(0, name);
    EXPECT_EQ(name, "a (intercept)");
    fit->GetEquationTitle(name);
    EXPECT_EQ(name, "a + bx (Linear regression)");
    // The other items heard of the start (not the fit itself) and of the end.
    EXPECT_EQ(probe->Count(UN_CALC_STATE, UN_STATE_STARTED), 1);
    EXPECT_EQ(probe->Count(UN_CALC_STATE, UN_STATE_NEW_RESULTS), 1);
    EXPECT_TRUE(reporter.messages.empty());
    auto y = fit->CalcY(10.0, 0, false);
    ASSERT_TRUE(y && y->IsNumber());
    EXPECT_NEAR(y->GetNumber(), 1.09 + 19.7, 1e-12);
    std::string equationName;
    EXPECT_EQ(static_cast<const CGraphFitSource*>(fit)->GetFitEquation(0, equationName), nullptr);
}

TEST_F(FitFixture, MichaelisMentenMatchesThePublishedEstimates)
{
    FillColumn(table->GetTable(), 0, kConc);
    FillColumn(table->GetTable(), 1, kRate);
    AddEquation(doc, "MM", "y = Vm*x/(K + x)", {"Vm", "K"});
    CMXNonLinear* fit = AddItem<CMXNonLinear>(doc);
    fit->SetEquationName("MM");
    fit->SetParamEstimate(0, 200);
    fit->SetParamEstimate(1, 0.1);
    fit->m_nChiSqChange = 0;
    fit->m_nMaxIterations = 50;
    fit->Select("Data", 0, 0, 1, -1, 0);
    ASSERT_EQ(fit->OnDataChanged(1, 1), 1);
    ASSERT_TRUE(pump.PumpUntilEnd(doc));
    ASSERT_EQ(fit->GetState(), CMXResult::kFitted);
    double vm = 0, k = 0, se = 0;
    ASSERT_TRUE(fit->GetParameter(0, 0, vm, se));
    ASSERT_TRUE(fit->GetParameter(0, 1, k, se));
    // Bates & Watts: Vm = 212.7, K = 0.06412, residual sum of squares 1195.
    EXPECT_NEAR(vm, 212.68, 0.01);
    EXPECT_NEAR(k, 0.06412, 0.00001);
    EXPECT_NEAR(fit->GetFit(0)->GetChiSq(), 1195.449, 0.01);
    // Graphs find the fitted equation and its item's name for a transformation.
    std::string equationName;
    const CGraphFitSource* source = fit;
    EXPECT_EQ(source->GetFitEquation(0, equationName), doc.FindEquation("MM"));
    EXPECT_NE(source->GetFitEquation(0, equationName), nullptr);
    EXPECT_EQ(equationName, "MM");
    EXPECT_EQ(source->GetFitEquation(1, equationName), nullptr); // one record only
    std::string label, text;
    double number = 0;
    EXPECT_EQ(fit->GetSummaryValue(0, 0, label, text, number), 0);
    EXPECT_EQ(number, 12);
}

TEST_F(FitFixture, ExponentialDecayAndTheIterationLimitIsSaid)
{
    std::vector<double> xs, ys;
    for (int i = 0; i < 10; ++i) {
        xs.push_back(i);
        ys.push_back(5.0 * std::exp(-0.3 * i) + (i % 2 ? 0.01 : -0.01));
    }
    FillColumn(table->GetTable(), 0, xs);
    FillColumn(table->GetTable(), 1, ys);
    AddEquation(doc, "Decay", "y = A*EXP(-k*x)", {"A", "k"});
    CMXNonLinear* fit = AddItem<CMXNonLinear>(doc);
    fit->SetEquationName("Decay");
    fit->SetParamEstimate(0, 1);
    fit->SetParamEstimate(1, 1);
    fit->Select("Data", 0, 0, 1, -1, 0);
    fit->m_nChiSqChange = 0;
    fit->m_nMaxIterations = 60;
    ASSERT_EQ(fit->OnDataChanged(1, 1), 1);
    ASSERT_TRUE(pump.PumpUntilEnd(doc));
    ASSERT_EQ(fit->GetState(), CMXResult::kFitted);
    EXPECT_EQ(fit->GetStateText(), "Fitted");
    double A = 0, k = 0, se = 0;
    fit->GetParameter(0, 0, A, se);
    fit->GetParameter(0, 1, k, se);
    // The alternating +-0.01 barely moves the curve that made the points.
    EXPECT_NEAR(A, 5.0, 0.02);
    EXPECT_NEAR(k, 0.3, 0.002);
    EXPECT_FALSE(fit->IsIterationLimitReached(0));

    // With the chi-square criterion on and too few iterations allowed, the
    // fit succeeds but its status says the limit came first.
    fit->m_nChiSqChange = 1;
    fit->m_dChiSqChangePercent = 0.001;
    fit->m_nMinIterations = 1;
    fit->m_nMaxIterations = 1;
    ASSERT_EQ(fit->OnDataChanged(1, 1), 1);
    ASSERT_TRUE(pump.PumpUntilEnd(doc));
    EXPECT_EQ(fit->GetState(), CMXResult::kFitted);
    EXPECT_TRUE(fit->IsIterationLimitReached(0));
    std::string label, text;
    double number = 0;
    EXPECT_EQ(fit->GetSummaryValue(0, 4, label, text, number), 1);
    EXPECT_EQ(text, "The iteration limit was reached before the chi-square criterion was met.");
    EXPECT_EQ(fit->GetStateText(), "Fitted (iteration limit reached before the chi-square criterion was met)");
}

TEST_F(FitFixture, AFitStoppedAtItsIterationLimitStaysMarkedAcrossSaveAndReopen)
{
    FillColumn(table->GetTable(), 0, kConc);
    FillColumn(table->GetTable(), 1, kRate);
    AddEquation(doc, "MM", "y = Vm*x/(K + x)", {"Vm", "K"});
    CMXNonLinear* limited = AddItem<CMXNonLinear>(doc);
    limited->SetName("Limited", 0);
    CMXNonLinear* settled = AddItem<CMXNonLinear>(doc);
    settled->SetName("Settled", 0);
    for (CMXNonLinear* fit : {limited, settled}) {
        fit->SetEquationName("MM");
        fit->SetParamEstimate(0, 200);
        fit->SetParamEstimate(1, 0.1);
        fit->Select("Data", 0, 0, 1, -1, 0);
    }
    // One iteration cannot meet a criterion of 1e-5 %; fifty settle it.
    limited->m_nChiSqChange = 1;
    limited->m_dChiSqChangePercent = 0.001;
    limited->m_nMinIterations = 1;
    limited->m_nMaxIterations = 1;
    settled->m_nChiSqChange = 1;
    settled->m_nMaxIterations = 50;
    for (CMXNonLinear* fit : {limited, settled}) {
        ASSERT_EQ(fit->OnDataChanged(1, 1), 1);
        ASSERT_TRUE(pump.PumpUntilEnd(doc));
        ASSERT_EQ(fit->GetState(), CMXResult::kFitted);
    }
    ASSERT_TRUE(limited->IsIterationLimitReached(0));
    ASSERT_FALSE(settled->IsIterationLimitReached(0));
    const double change = limited->GetNonlinearFit(0)->GetLastRelativeChange();
    const std::string path = (std::filesystem::temp_directory_path()
                              / ("marlox-limit-" + std::to_string(::getpid()) + ".mxf"))
                                 .string();
    ASSERT_TRUE(doc.OnSaveDocument(path));

    CMXDoc reopened;
    ASSERT_TRUE(reopened.OnOpenDocument(path));
    auto* limitedBack = dynamic_cast<CMXNonLinear*>(reopened.FindItem("Limited"));
    auto* settledBack = dynamic_cast<CMXNonLinear*>(reopened.FindItem("Settled"));
    ASSERT_TRUE(limitedBack && settledBack);
    ASSERT_EQ(limitedBack->GetState(), CMXResult::kFitted);
    EXPECT_TRUE(limitedBack->IsIterationLimitReached(0));
    EXPECT_EQ(limitedBack->GetNonlinearFit(0)->GetLastRelativeChange(), change);
    EXPECT_EQ(limitedBack->GetStateText(), "Fitted (iteration limit reached before the chi-square criterion was met)");
    std::string label, text;
    double number = 0;
    EXPECT_EQ(limitedBack->GetSummaryValue(0, 4, label, text, number), 1);
    EXPECT_EQ(text, "The iteration limit was reached before the chi-square criterion was met.");
    // The settled fit reads as converged, as before.
    EXPECT_FALSE(settledBack->IsIterationLimitReached(0));
    EXPECT_EQ(settledBack->GetStateText(), "Fitted");
    std::filesystem::remove(path);
}

TEST_F(FitFixture, FailuresArePostedAndShownOnlyWhenDelivered)
{
    struct Case {
        const char* source;
        std::vector<double> x, y;
        bool definitions;
        UINT message;
    } cases[] = {
        {"y = a*x + b", {1}, {2}, false, 216},
        {"y = a*x + b", {1, 2, 3, 4}, {1, 2, 3, 4}, true, 221},
        {"y = a*x + 0*LN(3 - a)", {1, 2, 3, 4}, {5, 10, 15, 20}, false, 423},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        const int column = 3 * n;
        FillColumn(table->GetTable(), column, c.x);
        FillColumn(table->GetTable(), column + 1, c.y);
        std::string name = "E" + std::to_string(n++);
        CMXEquation* eqItem = AddEquation(doc, name, c.source, {"a", "b"});
        if (c.definitions) {
            CEquation& eq = eqItem->GetCompiledEquation();
            eq.SetUseParameterDefinitions(1);
            eq.SetParameterDefinition(0, "GRADIENT");
            eq.SetParameterDefinition(1, "INTERCEPT");
            eq.SetYTransform("LN(YDATA");
            eq.Compile();
        }
        if (c.message == 423) {
            eqItem->GetCompiledEquation().SetParameterCount(1);
            eqItem->GetCompiledEquation().Compile();
        }
        CMXNonLinear* fit = AddItem<CMXNonLinear>(doc);
        fit->SetEquationName(name);
        if (c.message == 423)
            fit->SetParamEstimate(0, 2.99999999);
        fit->Select("Data", 0, column, column + 1, -1, 0);
        reporter.messages.clear();
        ASSERT_EQ(fit->OnDataChanged(1, 1), 1);
        EXPECT_TRUE(reporter.messages.empty());
        ASSERT_TRUE(pump.PumpUntilEnd(doc));
        EXPECT_EQ(reporter.Ids(), std::vector<UINT>{c.message});
        EXPECT_EQ(fit->GetState(), CMXResult::kFailed);
        EXPECT_EQ(fit->GetStateText(), "Fit failed");
    }
}

TEST_F(FitFixture, SelectionProblemsAreReportedOnlyWhenAsked)
{
    CMXNonLinear* fit = AddItem<CMXNonLinear>(doc);
    EXPECT_EQ(fit->OnDataChanged(0, 1), 0);
    EXPECT_TRUE(reporter.messages.empty());
    struct Case {
        const char* source;
        int xKind, x, y, e, weighting;
        UINT message;
    } cases[] = {
        {"", 0, 0, 1, -1, 0, 217},
        {"Data", 0, -1, 1, -1, 0, 218},
        {"Data", 0, 0, -1, -1, 0, 219},
        {"Data", 0, 0, 1, -1, 3, 220},
        {"Data", 1, 3, 1, -1, 0, 334},
        {"Data", 2, 0, 2, -1, 0, 335},
        {"Data", 0, 0, 1, -1, 0, 422}, // no such equation
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        reporter.messages.clear();
        probe->notes.clear();
        fit->Select(c.source, c.xKind, c.x, c.y, c.e, c.weighting);
        EXPECT_EQ(fit->OnDataChanged(1, 1), 0);
        EXPECT_EQ(reporter.Ids(), std::vector<UINT>{c.message});
        EXPECT_EQ(probe->Count(UN_CALC_STATE, UN_STATE_OVER), 1);
    }
}

TEST_F(FitFixture, DataSetsOfSeveralYColumns)
{
    CMXLinear* fit = AddItem<CMXLinear>(doc);
    struct Case {
        int xKind, x, y, weighting;
        std::vector<int> xs, ys, es;
    } cases[] = {
        {1, 0, 3, 0, {0, 0, 0}, {1, 2, 3}, {2, 3, 4}},
        {1, 0, 4, 3, {0, 0}, {1, 3}, {2, 4}},
        {2, 0, 3, 0, {0, 2}, {1, 3}, {2, 4}},
        {2, 0, 5, 3, {0, 3}, {1, 4}, {2, 5}},
    };
    for (const Case& c : cases) {
        // The error columns follow their y columns: none needs choosing (the form offers none).
        fit->Select("Data", c.xKind, c.x, c.y, -1, c.weighting);
        ASSERT_EQ(fit->PrepareFit(1), 1);
        std::vector<int> xs, ys, es;
        for (int s = 0; s < fit->GetSetCount(); ++s) {
            xs.push_back(fit->GetSetXColumn(s));
            ys.push_back(fit->GetSetYColumn(s));
            es.push_back(fit->GetSetErrorColumn(s));
        }
        EXPECT_EQ(xs, c.xs);
        EXPECT_EQ(ys, c.ys);
        EXPECT_EQ(es, c.es);
    }
}

TEST_F(FitFixture, TwoQuickStartsGiveOneStartAndOneEnd)
{
    // Few points, each slow to evaluate: the snapshot is quick, the fit is not.
    std::vector<double> xs, ys;
    for (int i = 0; i < 400; ++i) {
        xs.push_back(i * 0.01);
        ys.push_back(3.0 * std::exp(-0.4 * i * 0.01));
    }
    FillColumn(table->GetTable(), 0, xs);
    FillColumn(table->GetTable(), 1, ys);
    AddEquation(doc, "Slow", "FOR i = 1 TO 300\nNEXT i\ny = A*EXP(-k*x)", {"A", "k"});
    CMXNonLinear* fit = AddItem<CMXNonLinear>(doc);
    fit->SetEquationName("Slow");
    fit->SetParamEstimate(0, 1);
    fit->SetParamEstimate(1, 1);
    fit->Select("Data", 0, 0, 1, -1, 0);
    ASSERT_EQ(fit->OnDataChanged(1, 1), 1);
    ASSERT_EQ(fit->OnDataChanged(1, 1), 1);
    ASSERT_TRUE(pump.PumpUntilEnd(doc));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    pump.PumpPending(doc);
    EXPECT_EQ(pump.Count(WM_WORKER_STATE, WORKER_STARTED), 1);
    EXPECT_EQ(pump.Count(WM_WORKER_STATE, WORKER_SUCCEEDED), 1);
    EXPECT_EQ(fit->GetState(), CMXResult::kFitted);
    double k = 0, se = 0;
    ASSERT_TRUE(fit->GetParameter(0, 1, k, se));
    EXPECT_NEAR(k, 0.4, 1e-9); // the decay the points were made from
}

TEST_F(FitFixture, StopDuringAFitLeavesTheCountRightAndDropsItsNews)
{
    std::vector<double> xs, ys;
    for (int i = 0; i < 20000; ++i) {
        xs.push_back(i * 1e-3);
        ys.push_back(3.0 * std::exp(-0.4 * i * 1e-3) + 0.001 * std::sin(i));
    }
    FillColumn(table->GetTable(), 0, xs);
    FillColumn(table->GetTable(), 1, ys);
    AddEquation(doc, "Slow", "y = A*EXP(-k*x)\nFOR i = 1 TO 200\nNEXT i", {"A", "k"});
    CMXNonLinear* fit = AddItem<CMXNonLinear>(doc);
    fit->SetEquationName("Slow");
    fit->Select("Data", 0, 0, 1, -1, 0);
    int shown = -1;
    CMXResult::SetRunningCountListener([&](int n) { shown = n; });
    ASSERT_EQ(fit->OnDataChanged(1, 1), 1);
    // Let the started notice arrive, so the count rises.
    for (int i = 0; i < 200 && pump.Count(WM_WORKER_STATE, WORKER_STARTED) == 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        pump.PumpPending(doc);
    }
    ASSERT_EQ(CMXResult::GetRunningCount(), 1);
    EXPECT_EQ(fit->GetState(), CMXResult::kCalculating);
    fit->StopCalculation();
    EXPECT_EQ(CMXResult::GetRunningCount(), 0);
    EXPECT_EQ(shown, 0);
    EXPECT_NE(fit->GetState(), CMXResult::kCalculating);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const std::size_t before = pump.delivered.size();
    pump.PumpPending(doc);
    for (std::size_t i = before; i < pump.delivered.size(); ++i)
        EXPECT_NE(pump.delivered[i].message, UINT(WM_WORKER_STATE));
    EXPECT_EQ(CMXResult::GetRunningCount(), 0);
    EXPECT_FALSE(fit->IsCalculating());
    CMXResult::SetRunningCountListener({});
}

TEST_F(FitFixture, NewsOfADeletedItemIsDropped)
{
    FillColumn(table->GetTable(), 0, {1, 2, 3});
    FillColumn(table->GetTable(), 1, {2, 4, 7});
    CMXLinear* fit = AddItem<CMXLinear>(doc);
    fit->Select("Data", 0, 0, 1, -1, 0);
    const int id = fit->GetItemId();
    ASSERT_EQ(fit->OnDataChanged(1, 1), 1);
    fit->WaitForCalculation();
    EXPECT_EQ(fit->GetState(), CMXResult::kFitted); // the save's wait publishes at once
    doc.RemoveItem(fit);
    delete fit;
    EXPECT_EQ(CMXResult::GetRunningCount(), 0);
    pump.PumpPending(doc);
    DeliverWorkerMessage(doc, WM_WORKER_STATE, WORKER_STARTED, MakeWorkerValue(id, 1));
    EXPECT_EQ(CMXResult::GetRunningCount(), 0);
}

TEST_F(FitFixture, FollowsRenamesDeletionsAndColumnChangesOfItsTable)
{
    CMXLinear* fit = AddItem<CMXLinear>(doc);
    fit->Select("Data", 1, 1, 3, -1, 0);
    ASSERT_EQ(fit->PrepareFit(0), 1);
    table->SetName("Renamed");
    EXPECT_EQ(fit->GetSourceName(), "Renamed");
    CUpdateNotification ins(UN_COLUMNS_INSERTED, 0, 2, table);
    doc.NotifyItems(ins, true);
    EXPECT_EQ(fit->m_nXColumn, 3);
    EXPECT_EQ(fit->GetSetYColumn(1), 5);
    CUpdateNotification del(UN_COLUMNS_DELETED, 4, 1, table);
    doc.NotifyItems(del, true);
    EXPECT_EQ(fit->GetSetCount(), 0); // a set lost its column
    EXPECT_EQ(fit->m_nYColumn, 4);
    CUpdateNotification removing;
    removing.kind = UN_ITEM_REMOVING;
    removing.oldName = "Renamed";
    doc.NotifyItems(removing, true);
    EXPECT_EQ(fit->GetSourceName(), "");
    EXPECT_EQ(fit->SaveLinks(), std::vector<BYTE>());
    fit->RestoreLinks({'R', 'e', 'n', 'a', 'm', 'e', 'd'});
    EXPECT_EQ(fit->GetSourceName(), "Renamed");
}

TEST_F(FitFixture, EstimateRangesAndCriteria)
{
    CMXNonLinear* fit = AddItem<CMXNonLinear>(doc);
    struct Case {
        double from, to;
        int n;
        std::vector<double> values;
    } cases[] = {
        {1, 100, 3, {1, 10, 100}},   // geometric: 1 * 100^(1/2)
        {-1, 1, 3, {-1, 0, 1}},      // opposite signs: linear
        {0, 8, 5, {0, 2, 4, 6, 8}},  // from 0: linear
        {-2, -8, 3, {-2, -4, -8}},   // both negative: geometric
        {5, 9, 1, {5}},
    };
    for (const Case& c : cases) {
        fit->SetRangeFrom(2, c.from);
        fit->SetRangeTo(2, c.to);
        fit->SetRangeSteps(2, c.n);
        for (int i = 0; i < c.n; ++i)
            EXPECT_NEAR(fit->GetRangeValue(2, i), c.values[std::size_t(i)], 1e-12);
    }
    EXPECT_EQ(fit->GetRangeFrom(7), 1.0);
    EXPECT_EQ(fit->GetRangeSteps(7), 0);
    EXPECT_EQ(fit->GetRangeCode(0), 5);
    fit->SetRangeCode(1, 21);
    EXPECT_EQ(fit->GetRangeCode(1), 5);
    fit->SetRangeCode(1, 7);
    EXPECT_EQ(fit->GetRangeCode(1), 7);
    EXPECT_TRUE(IsBlank(fit->GetParamEstimate(3)));
}

class FitCriteria : public ConfigDirFixture {};

TEST_F(FitCriteria, ProfileValuesAreLimited)
{
    struct Case {
        const char *change, *percent, *minIt, *maxIt;
        double p;
        int mi, ma;
    } cases[] = {
        {"1", "50", "0", "3", 20.0, 1, 5},
        {"0", "abc", "30", "500", 1.0, 20, 100},
        {"1", "0.0001", "7", "6", 0.001, 7, 7},
        {"1", "2.5", "2", "20", 2.5, 2, 20},
    };
    for (const Case& c : cases) {
        WriteProfileString("Fitting Criteria", "ChiSq Change", c.change);
        WriteProfileString("Fitting Criteria", "ChiSq Change Percent", c.percent);
        WriteProfileString("Fitting Criteria", "Min Iterations", c.minIt);
        WriteProfileString("Fitting Criteria", "Max Iterations", c.maxIt);
        CMXDoc doc;
        CMXNonLinear* fit = AddItem<CMXNonLinear>(doc);
        EXPECT_DOUBLE_EQ(fit->m_dChiSqChangePercent, c.p);
        EXPECT_EQ(fit->m_nMinIterations, c.mi);
        EXPECT_EQ(fit->m_nMaxIterations, c.ma);
    }
}

TEST_F(FitFixture, StoredFormsRoundTripAndAStoredCalculatingReadsAsFailed)
{
    FillColumn(table->GetTable(), 0, {1, 2, 3, 4});
    FillColumn(table->GetTable(), 1, {1, 3, 5, 7.5});
    CMXLinear* fit = AddItem<CMXLinear>(doc);
    fit->SetOrder(2);
    fit->Select("Data", 0, 0, 1, -1, 0);
    fit->m_layout[4] = 4321;
    fit->OnDataChanged(0, 1);
    ASSERT_TRUE(pump.PumpUntilEnd(doc));
    Bytes bytes = StoreBytes([&](CArchive& ar) { fit->Serialize(ar); });
    // Version of the linear item, then of the fit item, then of the program item.
    EXPECT_EQ(ToHex(Bytes(bytes.begin(), bytes.begin() + 12)), "00 00 00 00 00 00 00 00 00 00 00 00");
    // The order closes the record.
    EXPECT_EQ(ToHex(Bytes(bytes.end() - 4, bytes.end())), "02 00 00 00");
    CMXLinear back;
    EXPECT_EQ(LoadBytes(bytes, [&](CArchive& ar) { back.Serialize(ar); }), 0u);
    EXPECT_EQ(back.GetOrder(), 2);
    EXPECT_EQ(back.GetState(), CMXResult::kFitted);
    EXPECT_EQ(back.m_layout[4], 4321);
    ASSERT_NE(back.GetFit(0), nullptr);
    EXPECT_EQ(back.GetFit(0)->GetPointCount(), 4);

    // The state word sits before the fonts, the 5 layout values and the order.
    const std::size_t tail = 5 * 4 + StoreBytes([&](CArchive& ar) {
                                         for (ItemFont font : fit->m_fonts)
                                             SerializeItemFont(ar, font);
                                     }).size();
    const std::size_t stateAt = bytes.size() - 4 /* order */ - tail - 4;
    EXPECT_EQ(ToHex(Bytes(bytes.begin() + long(stateAt), bytes.begin() + long(stateAt) + 4)), "01 00 00 00");
    bytes[stateAt] = 2;
    CMXLinear failed;
    LoadBytes(bytes, [&](CArchive& ar) { failed.Serialize(ar); });
    EXPECT_EQ(failed.GetState(), CMXResult::kFailed);
    EXPECT_EQ(failed.GetStateText(), "Fit failed");
    // A damaged order is refused.
    bytes[bytes.size() - 4] = 9;
    CMXLinear bad;
    EXPECT_THROW(LoadBytes(bytes, [&](CArchive& ar) { bad.Serialize(ar); }), CArchiveException);
}

TEST_F(FitFixture, NonLinearStoredForm)
{
    CMXNonLinear* fit = AddItem<CMXNonLinear>(doc);
    fit->SetEquationName("MM");
    fit->SetParamEstimate(1, 0.5);
    fit->SetRangeFrom(0, 2);
    fit->SetRangeTo(0, 20);
    fit->SetRangeSteps(0, 4);
    fit->SetRangeCode(0, 9);
    fit->m_nFitOption = 1;
    fit->m_nChiSqChange = 1;
    fit->m_dChiSqChangePercent = 0.25;
    fit->m_nMinIterations = 2;
    fit->m_nMaxIterations = 20;
    Bytes bytes = StoreBytes([&](CArchive& ar) { fit->Serialize(ar); });
    // The record ends: name "MM", option 1, change 1, 0.25, min 2, max 20, last 0.
    const Bytes end(bytes.end() - 31, bytes.end());
    EXPECT_EQ(ToHex(end), "02 4D 4D 01 00 00 00 01 00 00 00 00 00 00 00 00 00 D0 3F 02 00 00 00 14 00 00 00 00 00 00 00");
    CMXNonLinear back;
    EXPECT_EQ(LoadBytes(bytes, [&](CArchive& ar) { back.Serialize(ar); }), 0u);
    EXPECT_EQ(back.GetEquationName(), "MM");
    EXPECT_EQ(back.GetParamEstimate(1), 0.5);
    EXPECT_TRUE(IsBlank(back.GetParamEstimate(0)));
    EXPECT_EQ(back.GetRangeValue(0, 3), 20.0);
    EXPECT_EQ(back.GetRangeCode(0), 9);
    EXPECT_EQ(back.m_nFitOption, 1);
    EXPECT_EQ(back.m_dChiSqChangePercent, 0.25);
    bytes.resize(bytes.size() - 3);
    CMXNonLinear cut;
    EXPECT_THROW(LoadBytes(bytes, [&](CArchive& ar) { cut.Serialize(ar); }), CArchiveException);
}

TEST_F(FitFixture, TheFitsOwnConstantsAreARecordOfTheirOwn)
{
    CMXNonLinear* fit = AddItem<CMXNonLinear>(doc);
    fit->SetEquationName("MM");
    const Bytes plain = StoreBytes([&](CArchive& ar) { fit->Serialize(ar); });
    // Without constants of its own the record stays version 0.
    EXPECT_EQ(ToHex(Bytes(plain.begin(), plain.begin() + 4)), "00 00 00 00");
    fit->SetConstantValue(1, 2.5);
    const Bytes own = StoreBytes([&](CArchive& ar) { fit->Serialize(ar); });
    EXPECT_EQ(ToHex(Bytes(own.begin(), own.begin() + 4)), "01 00 00 00");
    CMXNonLinear back;
    EXPECT_EQ(LoadBytes(own, [&](CArchive& ar) { back.Serialize(ar); }), 0u);
    EXPECT_EQ(back.GetConstantValue(1), 2.5);
    // The first was never set: the equation's value (none here) holds.
    EXPECT_EQ(back.GetConstantValue(0), 0.0);
    CMXNonLinear old;
    EXPECT_EQ(LoadBytes(plain, [&](CArchive& ar) { old.Serialize(ar); }), 0u);
    EXPECT_EQ(old.GetConstantValue(1), 0.0);
}

TEST_F(FitFixture, FieldTexts)
{
    table->GetTable().SetCell(1, 0, new CDataString("Time"));
    CMXLinear* fit = AddItem<CMXLinear>(doc);
    fit->Select("Data", 1, 0, 2, -1, 0);
    fit->PrepareFit(0);
    struct Case {
        const char *field, *parameter;
        int flag;
        const char* text;
    } cases[] = {
        {"xColumn", "", 0, "Time"},
        {"xColumn", "2", 0, "Time"},
        {"yColumn", "2", 0, "Y Axis"},
        {"errColumn", "", 1, "!! No error column !!"},
        {"yColumn", "x", 1, "!! Bad parameter !!"},
    };
    for (const Case& c : cases) {
        std::string text;
        EXPECT_EQ(fit->GetFieldText(text, c.field, c.parameter), c.flag) << c.field << c.parameter;
        EXPECT_EQ(text, c.text);
    }
}

TEST_F(FitFixture, AnEditOfAFittedColumnRefitsThatSet)
{
    FillColumn(table->GetTable(), 0, {1, 2, 3});
    FillColumn(table->GetTable(), 1, {2, 4, 6});
    FillColumn(table->GetTable(), 2, {5, 5, 5});
    CMXLinear* fit = AddItem<CMXLinear>(doc);
    fit->Select("Data", 0, 0, 1, -1, 0);
    ASSERT_EQ(fit->OnDataChanged(0, 1), 1);
    ASSERT_TRUE(pump.PumpUntilEnd(doc));
    // A column the fit does not use starts nothing.
    table->GetTable().SetNumber(2, 2, 7);
    table->NotifyColumnChanged(2);
    EXPECT_FALSE(fit->IsCalculating());
    // Its y column does: y = 3x now (exact line through the new points).
    FillColumn(table->GetTable(), 1, {3, 6, 9});
    table->NotifyColumnChanged(1);
    ASSERT_TRUE(pump.PumpUntilEnd(doc));
    double b = 0, se = 0;
    ASSERT_TRUE(fit->GetParameter(0, 1, b, se));
    EXPECT_NEAR(b, 3.0, 1e-12);
}

TEST_F(FitFixture, DataRangeUnitesTheSets)
{
    FillColumn(table->GetTable(), 0, {1, 2, 3});
    FillColumn(table->GetTable(), 1, {5, 6, 7});
    FillColumn(table->GetTable(), 2, {-4, 0, 9});
    CMXLinear* fit = AddItem<CMXLinear>(doc);
    fit->Select("Data", 1, 0, 2, -1, 0);
    ASSERT_EQ(fit->PrepareFit(0), 1);
    DataExtent e = fit->GetDataRange(nullptr, false, false);
    EXPECT_EQ(e.count, 6);
    EXPECT_EQ(e.xMin, 1);
    EXPECT_EQ(e.xMax, 3);
    EXPECT_EQ(e.yMin, -4);
    EXPECT_EQ(e.yMax, 9);
}
