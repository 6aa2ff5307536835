// The column types that show fit and equation results, driven through real
// fit items whose workers run and whose news is pumped back here.
#include "FitTestPump.h"

#include "app/DataCTypeCalc.h"
#include "app/DataCTypeDiff.h"
#include "app/DataCTypeEqn.h"
#include "app/DataCTypeFTest.h"
#include "app/DataCTypeFitResults.h"
#include "app/MXItemAdd.h"
#include "app/MXLinear.h"
#include "app/MXNonLinear.h"
#include "data/DataDouble.h"
#include "data/DataString.h"
#include "fitting/FTest.h"
#include "framework/ItemListCtrl.h"
#include "platform/Exceptions.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct ColumnFixture : ::testing::Test {
    MessagePump pump;
    RecordingReporter reporter;
    CMXDoc doc;
    CMXGrid* table = nullptr;
    CMXLinear* fit = nullptr;

    void SetUp() override
    {
        table = AddItem<CMXGrid>(doc);
        table->SetName("Data", 0);
        FillColumn(T(), 0, {1, 2, 3, 4, 5});
        FillColumn(T(), 1, {3.1, 4.9, 7.2, 8.8, 11.0});
        fit = AddItem<CMXLinear>(doc);
        fit->Select("Data", 0, 0, 1, -1, 0);
    }
    CMyData& T() { return table->GetTable(); }
    template <class C>
    C* AddColumn(int type, int column)
    {
        CDataColumnType* made = CreateColumnType(type, column);
        auto* typed = dynamic_cast<C*>(made);
        EXPECT_NE(typed, nullptr) << type;
        T().SetCell(0, column, made);
        return typed;
    }
    void RunFit(CMXResult* f)
    {
        ASSERT_EQ(f->OnDataChanged(1, 1), 1);
        ASSERT_TRUE(pump.PumpUntilEnd(doc));
    }
    std::string Text(int row, int column)
    {
        std::string s;
        if (const CData* cell = T().GetCell(row, column))
            cell->GetPlainText(s);
        return s;
    }
    std::string Label(int row, int column)
    {
        std::string s;
        if (const CData* cell = T().GetCell(row, column))
            cell->GetDescriptor(s);
        return s;
    }
    double Number(int row, int column)
    {
        double v = std::nan("");
        T().GetNumber(row, column, v);
        return v;
    }
    void DeleteItem(CMXProjectItem* item)
    {
        CItemListCtrl* list = doc.GetItemListCtrl();
        list->ClearSelection();
        list->SetItemState(list->FindItem(item), LVIS_SELECTED, LVIS_SELECTED);
        ASSERT_EQ(doc.GetActionList().Add(new CProjectItemDeleteItem(&doc)), 1);
    }
};

// The least-squares line of the fixture's points (hand calculation: Sxy = 19.7, Sxx = 10).
constexpr double kA = 1.09;
constexpr double kB = 1.97;

} // namespace

TEST_F(ColumnFixture, EveryKindIsMadeByNumberAndNamed)
{
    struct Case {
        int type;
        const char* name;
    } cases[] = {{7, "x = ?"}, {8, "y = ?"}, {9, "Difference"}, {20, "Results"}, {21, "Fit Info"},
                 {24, "F Test"}, {25, "Parameters"}, {26, "Constants"}};
    for (const Case& c : cases) {
        std::unique_ptr<CDataColumnType> type(CreateColumnType(c.type, 3));
        ASSERT_NE(type, nullptr) << c.type;
        EXPECT_EQ(type->GetTypeNumber(), c.type);
        EXPECT_EQ(type->HasSettings(), 1);
        EXPECT_EQ(type->IsEditable(), c.type >= 25 ? 1 : 0);
        std::unique_ptr<CData> clone(type->Clone());
        EXPECT_EQ(clone->GetTypeNumber(), c.type);
    }
}

TEST_F(ColumnFixture, CalculatedYFollowsItsFitThroughRenameRecalculationAndDeletion)
{
    FillColumn(T(), 2, {0, 10});
    T().SetCell(4, 2, new CDataString("text"));
    auto* calc = AddColumn<CDataCTypeCalcY>(kTypeCalcY, 3);
    calc->m_source = 2;
    calc->m_strFit = fit->GetName();
    calc->ComputeValue(-1, table, TRUE);
    EXPECT_EQ(Text(2, 3), "(Not fitted)");

    RunFit(fit);
    // The end notice recomputed the column: y = a + b x at the source's x.
    EXPECT_NEAR(Number(2, 3), kA, 1e-12);
    EXPECT_NEAR(Number(3, 3), kA + 10 * kB, 1e-12);
    EXPECT_EQ(T().GetCell(4, 3), nullptr); // text in the source leaves the row empty

    fit->SetName("Line");
    EXPECT_EQ(calc->m_strFit, "Line");
    RunFit(fit);
    EXPECT_NEAR(Number(3, 3), kA + 10 * kB, 1e-12);

    // Deleting the fit drops the link; undoing the deletion gives it back.
    DeleteItem(fit);
    EXPECT_EQ(calc->m_strFit, "");
    EXPECT_EQ(Text(2, 3), "(None selected)");
    ASSERT_EQ(doc.GetActionList().Undo(), 1);
    EXPECT_EQ(calc->m_strFit, "Line");
    EXPECT_NEAR(Number(3, 3), kA + 10 * kB, 1e-12);
}

TEST_F(ColumnFixture, CalculatedXAndResiduals)
{
    FillColumn(T(), 2, {kA + 2 * kB, kA});
    auto* cx = AddColumn<CDataCTypeCalcX>(kTypeCalcX, 3);
    cx->m_source = 2;
    cx->m_strFit = fit->GetName();
    auto* diff = AddColumn<CDataCTypeDiff>(kTypeDifference, 4);
    diff->m_strFit = fit->GetName();
    diff->ComputeValue(-1, table, TRUE);
    EXPECT_EQ(Text(2, 4), "(Not fitted)");
    RunFit(fit);
    EXPECT_NEAR(Number(2, 3), 2.0, 1e-12);
    EXPECT_NEAR(Number(3, 3), 0.0, 1e-12);
    // Residuals by hand: y - (1.09 + 1.97 x).
    const double residuals[] = {3.1 - 3.06, 4.9 - 5.03, 7.2 - 7.0, 8.8 - 8.97, 11.0 - 10.94};
    for (int i = 0; i < 5; ++i)
        EXPECT_NEAR(Number(2 + i, 4), residuals[i], 1e-12) << i;
}

// With no source column chosen the columns read the fit's own data: y at the
// fit's x values, x at its y values, row for row.
TEST_F(ColumnFixture, WithoutASourceColumnTheFitsOwnDataColumnIsRead)
{
    auto* cy = AddColumn<CDataCTypeCalcY>(kTypeCalcY, 3);
    cy->m_strFit = fit->GetName();
    auto* cx = AddColumn<CDataCTypeCalcX>(kTypeCalcX, 4);
    cx->m_strFit = fit->GetName();
    cx->m_dLower = -100;
    cx->m_dUpper = 100;
    ASSERT_EQ(cy->m_source, -1);
    ASSERT_EQ(cx->m_source, -1);
    RunFit(fit);
    const double x[] = {1, 2, 3, 4, 5};
    const double y[] = {3.1, 4.9, 7.2, 8.8, 11.0};
    for (int i = 0; i < 5; ++i) {
        EXPECT_NEAR(Number(2 + i, 3), kA + kB * x[i], 1e-12) << i;
        EXPECT_NEAR(Number(2 + i, 4), (y[i] - kA) / kB, 1e-9) << i;
    }
    EXPECT_EQ(T().GetCell(7, 3), nullptr);
    EXPECT_EQ(T().GetCell(7, 4), nullptr);
}

TEST_F(ColumnFixture, CalculatedYFromInitialEstimatesBeforeAFit)
{
    AddEquation(doc, "Line", "y = m*x + c", {"m", "c"});
    CMXNonLinear* nl = AddItem<CMXNonLinear>(doc);
    nl->SetEquationName("Line");
    nl->SetParamEstimate(0, 2);
    nl->SetParamEstimate(1, 1);
    nl->Select("Data", 0, 0, 1, -1, 0);
    auto* calc = AddColumn<CDataCTypeCalcY>(kTypeCalcY, 3);
    calc->m_source = 0;
    calc->m_strFit = nl->GetName();
    calc->m_nUseEstimates = 1;
    calc->ComputeValue(-1, table, TRUE);
    EXPECT_EQ(Number(2, 3), 3.0); // 2 * 1 + 1
    EXPECT_EQ(Number(6, 3), 11.0);
}

TEST_F(ColumnFixture, StoredFitNumberOfCalculatedColumns)
{
    CDataCTypeCalcX calc(3);
    calc.m_source = 1;
    calc.m_strFit = "Fit";
    calc.m_nFit = 2;
    calc.m_dLower = 0.5;
    Bytes bytes = StoreBytes([&](CArchive& ar) { calc.Serialize(ar); });
    CDataCTypeCalcX back;
    EXPECT_EQ(LoadBytes(bytes, [&](CArchive& ar) { back.Serialize(ar); }), 0u);
    EXPECT_EQ(back.m_nFit, 2);
    EXPECT_EQ(back.m_dLower, 0.5);
    EXPECT_EQ(back.m_strFit, "Fit");
    // The record of the older version: no fit number, which reads as fit 1.
    Bytes base = StoreBytes([&](CArchive& ar) { calc.CDataColumnType::Serialize(ar); });
    Bytes old = base;
    for (const Bytes& part : {HexBytes("00 00 00 00 01 00 00 00 03 46 69 74 E2 01 00 00 00 00 00 00"),
                              HexBytes("00 00 00 00"), StoreBytes([](CArchive& ar) { ar << 0.5 << 1.0; })})
        old.insert(old.end(), part.begin(), part.end());
    CDataCTypeCalcX older;
    EXPECT_EQ(LoadBytes(old, [&](CArchive& ar) { older.Serialize(ar); }), 0u);
    EXPECT_EQ(older.m_nFit, 0);
    EXPECT_EQ(older.m_source, 1);
    EXPECT_EQ(older.m_strFit, "Fit");
    EXPECT_EQ(older.m_nStatus, 482u);
}

TEST_F(ColumnFixture, FitResultsRowsPerSetAndStandardErrors)
{
    // Three data sets (one x column, three y columns) of exact lines.
    FillColumn(T(), 2, {2, 4, 6, 8, 10});
    FillColumn(T(), 3, {1, 1, 1, 1, 1.5});
    fit->Select("Data", 1, 0, 3, -1, 0);
    auto* results = AddColumn<CDataCTypeFitResults>(kTypeFitResults, 5);
    results->m_strFit = fit->GetName();
    results->ComputeValue(-1, table, TRUE);
    EXPECT_EQ(Text(2, 5), "(None selected)");
    results->m_indices = {1, 0, 7};
    results->ComputeValue(-1, table, TRUE);
    EXPECT_EQ(Text(2, 5), "(Not fitted)");
    RunFit(fit);
    // Two chosen parameters (index 7 skipped) times three sets.
    EXPECT_EQ(T().GetLastRow(5), 7);
    EXPECT_NEAR(Number(2, 5), kB, 1e-12);
    EXPECT_EQ(Label(2, 5), "b (gradient)");
    EXPECT_NEAR(Number(4, 5), 2.0, 1e-12);
    EXPECT_NEAR(Number(5, 5), 0.0, 1e-12);
    results->m_nValueChoice = 1;
    results->ComputeValue(-1, table, TRUE);
    EXPECT_EQ(Label(2, 5), "S.E. b (gradient)");
    // Standard error of the slope: sqrt(chi2 / (n - 2) / Sxx), with the hand
    // residuals 0.04, -0.13, 0.2, -0.17, 0.06: chi2 = 0.091.
    EXPECT_NEAR(Number(2, 5), std::sqrt(0.091 / 3 / 10), 1e-12);

    auto* info = AddColumn<CDataCTypeFitInfo>(kTypeFitInfo, 6);
    info->m_strFit = fit->GetName();
    info->m_indices = {3, 4};
    info->ComputeValue(-1, table, TRUE);
    EXPECT_EQ(Number(2, 6), 5.0);
    EXPECT_EQ(Label(2, 6), "Number of data points");
    EXPECT_NEAR(Number(3, 6), 0.091, 1e-12);

    // Deleting the fit leaves the fallback; undo restores the link and the rows.
    DeleteItem(fit);
    EXPECT_EQ(Text(2, 5), "(Not fitted)");
    ASSERT_EQ(doc.GetActionList().Undo(), 1);
    EXPECT_EQ(results->m_strFit, "Linear Fit");
    EXPECT_EQ(info->m_strFit, "Linear Fit");
}

TEST_F(ColumnFixture, FTestBetweenALineAndAQuadratic)
{
    FillColumn(T(), 1, {1.2, 1.9, 3.4, 5.1, 7.8});
    fit->SetName("Line", 0);
    CMXLinear* quad = AddItem<CMXLinear>(doc);
    quad->SetName("Quad", 0);
    quad->SetOrder(2);
    quad->Select("Data", 0, 0, 1, -1, 0);
    auto* ftest = AddColumn<CDataCTypeFTest>(kTypeFTest, 4);
    ftest->m_strFit1 = "Line";
    ftest->m_strFit2 = "Quad";
    RunFit(fit);
    RunFit(quad);
    EXPECT_EQ(Text(2, 4), "Analysis 1");
    EXPECT_EQ(Text(3, 4), "Line");
    EXPECT_EQ(Number(5, 4), 2.0);
    EXPECT_EQ(Text(7, 4), "Analysis 2");
    EXPECT_EQ(Number(10, 4), 3.0);
    EXPECT_EQ(Number(13, 4), 5.0);
    const double chi1 = fit->GetFit(0)->GetChiSq(), chi2 = quad->GetFit(0)->GetChiSq();
    EXPECT_EQ(Number(14, 4), chi1);
    EXPECT_EQ(Number(15, 4), chi2);
    // F of the extra parameter: ((chi1 - chi2) / 1) / (chi2 / (5 - 3)).
    EXPECT_NEAR(Number(16, 4), (chi1 - chi2) / (chi2 / 2), 1e-9);
    EXPECT_EQ(Label(17, 4), "Probability:");

    quad->Select("Other", 0, 0, 1, -1, 0);
    ftest->ComputeValue(-1, table, TRUE);
    EXPECT_EQ(Text(2, 4), "Error: Different data tables");
    EXPECT_EQ(T().GetLastRow(4), 2);
}

TEST_F(ColumnFixture, ParameterColumnLabelsRowsWithTheEquationsNames)
{
    AddEquation(doc, "MM", "y = Vm*x/(K + x)", {"Vm", "K"});
    auto* params = AddColumn<CDataCTypeParameters>(kTypeParameters, 4);
    T().SetCell(3, 4, new CDataString("abc"));
    params->m_strEquation = "MM";
    params->ComputeValue(-1, table, TRUE);
    EXPECT_EQ(Label(2, 4), "Vm");
    EXPECT_EQ(Number(2, 4), 0.0);
    EXPECT_EQ(Label(3, 4), "K");
    EXPECT_EQ(Number(3, 4), 0.0); // text becomes 0
    std::unique_ptr<CData> typed(table->MakeCellFromText("2.5", 4, 3));
    std::string label;
    ASSERT_EQ(typed->GetDescriptor(label), 1);
    EXPECT_EQ(label, "K");
    DeleteItem(doc.FindItem("MM"));
    EXPECT_EQ(params->m_strEquation, "");
    EXPECT_EQ(Label(2, 4), "");
    ASSERT_EQ(doc.GetActionList().Undo(), 1);
    EXPECT_EQ(params->m_strEquation, "MM");
}

TEST_F(ColumnFixture, StoredFormsOfResultColumns)
{
    CDataCTypeFitResults results(4);
    results.m_indices = {2, 0};
    results.m_strFit = "F";
    results.m_nLastState = CMXResult::kFailed;
    Bytes bytes = StoreBytes([&](CArchive& ar) { results.Serialize(ar); });
    Bytes base = StoreBytes([&](CArchive& ar) { results.CDataColumnType::Serialize(ar); });
    EXPECT_EQ(ToHex(Bytes(bytes.begin() + long(base.size()), bytes.end())),
              "00 00 00 00 02 00 02 00 00 00 00 00 00 00 01 00 00 00 01 46 00 00 00 00 02 00 00 00");
    CDataCTypeFitResults back;
    EXPECT_EQ(LoadBytes(bytes, [&](CArchive& ar) { back.Serialize(ar); }), 0u);
    EXPECT_EQ(back.m_indices, (std::vector<int>{2, 0}));
    EXPECT_EQ(back.m_nLastState, CMXResult::kFailed);

    CDataCTypeFTest ftest(4);
    ftest.m_strFit1 = "A";
    ftest.m_strFit2 = "B";
    bytes = StoreBytes([&](CArchive& ar) { ftest.Serialize(ar); });
    EXPECT_EQ(ToHex(Bytes(bytes.begin() + long(base.size()), bytes.end())),
              "00 00 00 00 01 41 01 42 00 00 00 00 00 00 00 00");
    CDataCTypeDiff diff(4);
    diff.m_strFit = "A";
    diff.m_nFit = 3;
    bytes = StoreBytes([&](CArchive& ar) { diff.Serialize(ar); });
    EXPECT_EQ(ToHex(Bytes(bytes.begin() + long(base.size()), bytes.end())),
              "00 00 00 00 01 41 E2 01 00 00 03 00 00 00");
    CDataCTypeConstants constants(4);
    constants.m_strEquation = "E";
    bytes = StoreBytes([&](CArchive& ar) { constants.Serialize(ar); });
    EXPECT_EQ(ToHex(Bytes(bytes.begin() + long(base.size()), bytes.end())), "00 00 00 00 01 45");
    // A count beyond the bytes is refused before anything is allocated.
    Bytes damaged = StoreBytes([&](CArchive& ar) { results.Serialize(ar); });
    damaged[base.size() + 4] = 0xFE;
    CDataCTypeFitResults bad;
    EXPECT_THROW(LoadBytes(damaged, [&](CArchive& ar) { bad.Serialize(ar); }), CArchiveException);
}

TEST_F(ColumnFixture, RoundTripsOfTheOtherRecords)
{
    Bytes base = StoreBytes([&](CArchive& ar) { CDataColumnType(kTypeFitInfo, 4).Serialize(ar); });
    CDataCTypeFitInfo info(4);
    info.m_indices = {1};
    info.m_nShowName = 0;
    info.m_strFit = "F";
    info.m_nLastState = CMXResult::kFitted;
    Bytes bytes = StoreBytes([&](CArchive& ar) { info.Serialize(ar); });
    // Version 0, one index, no names, the fit's name, state 1 (no value choice here).
    EXPECT_EQ(ToHex(Bytes(bytes.begin() + long(base.size()), bytes.end())),
              "00 00 00 00 01 00 01 00 00 00 00 00 00 00 01 46 01 00 00 00");
    CDataCTypeFitInfo infoBack;
    EXPECT_EQ(LoadBytes(bytes, [&](CArchive& ar) { infoBack.Serialize(ar); }), 0u);
    EXPECT_EQ(infoBack.m_nLastState, CMXResult::kFitted);
    EXPECT_EQ(infoBack.m_nShowName, 0);

    CDataCTypeCalcY calc(4);
    calc.m_source = 2;
    calc.m_strFit = "F";
    calc.m_nUseEstimates = 1;
    calc.m_nFit = 1;
    bytes = StoreBytes([&](CArchive& ar) { calc.Serialize(ar); });
    // Version 1 of the calculated record (fit number last), then version 0 of y = ?.
    EXPECT_EQ(ToHex(Bytes(bytes.begin() + long(base.size()), bytes.end())),
              "01 00 00 00 02 00 00 00 01 46 E2 01 00 00 01 00 00 00 01 00 00 00 00 00 00 00");
    CDataCTypeCalcY calcBack;
    EXPECT_EQ(LoadBytes(bytes, [&](CArchive& ar) { calcBack.Serialize(ar); }), 0u);
    EXPECT_EQ(calcBack.m_nFit, 1);
    EXPECT_EQ(calcBack.m_nUseEstimates, 1);
    // A version newer than the program knows is refused.
    bytes[base.size()] = 2;
    CDataCTypeCalcY newer;
    EXPECT_THROW(LoadBytes(bytes, [&](CArchive& ar) { newer.Serialize(ar); }), CArchiveException);
}
