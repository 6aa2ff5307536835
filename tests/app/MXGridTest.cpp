#include "app/MXDoc.h"
#include "app/MXGrid.h"
#include "data/DataCTypeMean.h"
#include "data/DataCTypeX2.h"
#include "data/DataString.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

CMXGrid* AddTable(CMXDoc& doc)
{
    auto* grid = new CMXGrid(&doc);
    grid->InitNewItem();
    return grid;
}

void Fill(CMyData& t, int column, std::initializer_list<double> values)
{
    int row = 2;
    for (double v : values)
        t.SetNumber(row++, column, v);
}

} // namespace

TEST(MXGrid, FieldTexts)
{
    CMXDoc doc;
    CMXGrid* grid = AddTable(doc);
    CMyData& t = grid->GetTable();
    t.SetCell(1, 1, new CDataString("Rate"));
    Fill(t, 1, {2.5});
    struct Case {
        const char* field;
        const char* parameter;
        int flag;
        const char* text; // null: not checked
    };
    const Case cases[] = {
        {"ColumnName", "2", 0, "Rate"},
        {"data", "2 0", 0, "Rate"},
        {"Data", "2 2", 0, ""},
        {"Data", "2 1x", 1, "!! Bad parameter !!"},
        {"Data", "0 1", 1, "!! Bad parameter !!"},
        {"AssValue", "2 2", 1, "!! Bad parameter !!"}, // not an associated-x column
        {"AssValue", "1 6", 1, "!! Bad parameter !!"},
        {"AssValue", "1 1", 1, "!! Bad parameter !!"},
        {"Unknown", "1", 1, "!! Bad command !!"},
    };
    for (const Case& c : cases) {
        std::string text = "unchanged";
        EXPECT_EQ(grid->GetFieldText(text, c.field, c.parameter), c.flag) << c.field << " " << c.parameter;
        if (c.text) {
            EXPECT_EQ(text, c.text) << c.field << " " << c.parameter;
        }
    }
    std::string first;
    EXPECT_EQ(grid->GetFieldText(first, "Data", "2 1"), 0);
    EXPECT_NE(first.find("2.5"), std::string::npos);
}

TEST(MXGrid, CountsAndColumnValues)
{
    CMXDoc doc;
    CMXGrid* grid = AddTable(doc);
    CMyData& t = grid->GetTable();
    t.SetCell(1, 0, new CDataString("only a name"));
    EXPECT_EQ(grid->CountNumbers(0), 0);
    Fill(t, 1, {1, 2, 3});
    t.SetCell(3, 1, new CDataString("n/a"));
    EXPECT_EQ(grid->CountNumbers(1), 2);
    std::vector<double> values;
    grid->CollectColumnValues(1, values);
    ASSERT_EQ(values.size(), 3u);
    EXPECT_TRUE(IsBlank(values[1]));
    std::vector<int> rows;
    grid->CollectNumbers(1, values, rows);
    EXPECT_EQ(rows, (std::vector<int>{2, 4}));
}

TEST(MXGrid, CollectFitDataWeightsAndRanges)
{
    CMXDoc doc;
    CMXGrid* grid = AddTable(doc);
    CMyData& t = grid->GetTable();
    Fill(t, 0, {1, 2, 3, 4});
    Fill(t, 1, {0, 2, -4, 8});
    Fill(t, 2, {0.5, 0, 2, 1});
    FitDataRequest request;
    request.xColumns = {0};
    request.yColumn = 1;
    request.errorColumn = 2;
    FitData data;
    struct Case {
        int weighting;
        std::vector<double> weights;
    };
    // 1/|y|, 1/y^2 and 1/e^2, with 1e10 where the divisor is zero.
    const Case cases[] = {
        {kWeightNone, {1, 1, 1, 1}},
        {kWeightStatistical, {1e10, 0.5, 0.25, 0.125}},
        {kWeightProportional, {1e10, 0.25, 1.0 / 16, 1.0 / 64}},
        {kWeightErrors, {4, 1e10, 0.25, 1}},
    };
    for (const Case& c : cases) {
        request.weighting = c.weighting;
        ASSERT_EQ(grid->CollectFitData(request, data, nullptr), 4);
        EXPECT_EQ(data.weights, c.weights) << c.weighting;
    }
    request.weighting = kWeightNone;
    request.rangeTest = true;
    request.lower = {1, 2.0};
    request.upper = {1, 3.5};
    ASSERT_EQ(grid->CollectFitData(request, data, nullptr), 2);
    EXPECT_EQ(data.x[0], (std::vector<double>{2, 3}));
    EXPECT_EQ(data.rows, (std::vector<int>{3, 4}));
    // Associated x values are required where the x kind asks for them.
    request.xKind = kXAssociated;
    EXPECT_EQ(grid->CollectFitData(request, data, nullptr), -1);
}

TEST(MXGrid, CalculatedColumnsFollowTheirSourcesThroughTheWorkspace)
{
    CMXDoc doc;
    CMXGrid* grid = AddTable(doc);
    CMyData& t = grid->GetTable();
    Fill(t, 0, {1, 2});
    Fill(t, 1, {3, 4});
    auto* mean = new CDataCTypeMean(2);
    t.SetCell(0, 2, mean);
    ASSERT_EQ(mean->SetSourceColumns(grid, {0, 1}), 0u);
    mean->ComputeValue(-1, grid, TRUE);
    double v = 0;
    ASSERT_TRUE(t.GetNumber(3, 2, v));
    EXPECT_EQ(v, 3.0);
    t.SetNumber(3, 0, 10);
    grid->NotifyColumnChanged(0, 3);
    ASSERT_TRUE(t.GetNumber(3, 2, v));
    EXPECT_EQ(v, 7.0); // (10 + 4) / 2
}

TEST(MXGrid, StoredFormRoundTrip)
{
    std::string path = ::testing::TempDir() + "marlox-grid-item.mxf";
    {
        CMXDoc doc;
        CMXGrid* grid = AddTable(doc);
        Fill(grid->GetTable(), 0, {1.5, -2.25});
        grid->GetTable().SetCell(1, 0, new CDataString("Time"));
        grid->m_splitter[2] = {1, 2, 3};
        grid->m_viewPosition[1] = 17;
        grid->m_colours[3] = RGB(1, 2, 3);
        ASSERT_TRUE(doc.OnSaveDocument(path));
    }
    CMXDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(path));
    auto* grid = dynamic_cast<CMXGrid*>(doc.FindItem("Data"));
    ASSERT_NE(grid, nullptr);
    double v = 0;
    ASSERT_TRUE(grid->GetTable().GetNumber(3, 0, v));
    EXPECT_EQ(v, -2.25);
    EXPECT_EQ(grid->GetTable().GetColumnName(0), "Time");
    EXPECT_EQ(grid->m_splitter[2], (TripleRecord{1, 2, 3}));
    EXPECT_EQ(grid->m_viewPosition[1], 17);
    EXPECT_EQ(grid->m_colours[3], RGB(1, 2, 3));
    EXPECT_EQ(doc.GetItemListCtrl()->GetItemText(0, 1), "Data table");
}
