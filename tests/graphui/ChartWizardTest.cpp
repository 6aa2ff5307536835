// The column and bar chart wizards driven from the gallery to Finish over a
// small table, the charts they build, their checks, adding a series to a
// chart, and the entry point that runs a wizard and builds its chart.
#include "WizardSupport.h"

#include "data/DataString.h"
#include "framework/UpdateNotification.h"
#include "graph/AxisScale.h"
#include "graph/DrawGraph.h"
#include "graph/GraphText.h"
#include "graph/Legend.h"
#include "graph/XYAxis.h"
#include "graph/XYDatasetChart.h"
#include "graphui/widgets/ChartWizard.h"
#include "platform/StringIds.h"
#include "ui/widgets/ColourCombo.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// Harvests of four crops: this year's (with errors) and last year's, where
// floating bars start (with their errors).
struct ChartFixture : GraphFixture {
    ChartFixture() : catalog(doc)
    {
        CMyData& t = doc.AddTable("Harvest");
        const char* names[] = {"Crop", "2019", "Error", "2018", "Error 2018"};
        for (int c = 0; c < 5; ++c)
            t.SetCell(1, c, new CDataString(names[c]));
        const char* crops[] = {"Wheat", "Barley", "Oats", "Rye"};
        for (int r = 0; r < 4; ++r)
            t.SetCell(r + 2, 0, new CDataString(crops[r]));
        FillColumn(t, 1, {12, 20, 7, 15});
        FillColumn(t, 2, {1, 2, 0.5, 1});
        FillColumn(t, 3, {5, 18, 3, 11});
        FillColumn(t, 4, {0.5, 0.5, 0.5, 0.5});
        CMyData& other = doc.AddTable("Other");
        FillColumn(other, 0, {1, 2});
        doc.AddFit("Fit"); // not a table: not offered
    }
    RecordingReporter reporter;
    TestCatalog catalog;
};

void Choose(QComboBox* combo, const char* text) { combo->setCurrentIndex(combo->findText(text)); }

// Fills the data page: category column 0, values 1 with errors 2, lower data 3 with errors 4.
void FillSource(CChartDataSourcePage& s)
{
    Choose(s.m_source, "Harvest");
    s.m_category->setCurrentIndex(0);
    s.m_upper->setCurrentIndex(1);
    s.m_errorCheck->setChecked(true);
    s.m_error->setCurrentIndex(2);
    s.m_lowerCheck->setChecked(true);
    s.m_lower->setCurrentIndex(3);
    s.m_lowerError->setCurrentIndex(4);
}

class ChartWizardKinds : public ::testing::TestWithParam<int> {};

} // namespace

TEST_P(ChartWizardKinds, FromTheGalleryToFinishBuildsTheChart)
{
    const int kind = GetParam();
    const bool bars = kind == CHART_BAR;
    ChartFixture f;
    CSelectGraphTypeDlg gallery;
    gallery.List()->setCurrentRow(kind);
    gallery.OnCreate();
    ASSERT_EQ(gallery.GetChoice(), kind);

    std::unique_ptr<CChartWizardSheet> wizard = MakeChartWizard(gallery.GetChoice(), &f.catalog, &f.doc);
    ASSERT_NE(wizard, nullptr);
    CChartWizardSheet& sheet = *wizard;
    EXPECT_EQ(sheet.IsHorizontal(), bars);
    ASSERT_EQ(sheet.GetPageCount(), 6);
    sheet.Start();
    EXPECT_EQ(sheet.GetWizardButtons(), PSWIZB_NEXT);
    CChartDataSourcePage& s = sheet.m_source;
    EXPECT_FALSE(s.m_category->isHidden());
    // Only the data tables are offered.
    ASSERT_EQ(s.m_source->count(), 2);

    // Each missing choice in turn is named and keeps the page.
    EXPECT_FALSE(sheet.PressNext());
    Choose(s.m_source, "Harvest");
    EXPECT_EQ(s.m_upper->count(), 5);
    EXPECT_FALSE(sheet.PressNext());
    s.m_category->setCurrentIndex(0);
    EXPECT_FALSE(sheet.PressNext());
    s.m_upper->setCurrentIndex(1);
    s.m_errorCheck->setChecked(true);
    EXPECT_TRUE(s.m_error->isEnabled());
    EXPECT_FALSE(s.m_lowerError->isEnabled());
    EXPECT_FALSE(sheet.PressNext());
    s.m_error->setCurrentIndex(2);
    s.m_lowerCheck->setChecked(true);
    EXPECT_TRUE(s.m_lowerError->isEnabled());
    EXPECT_FALSE(sheet.PressNext());
    s.m_lower->setCurrentIndex(3);
    EXPECT_FALSE(sheet.PressNext());
    EXPECT_EQ(f.reporter.Ids(), (std::vector<UINT>{IDS_NO_DATA_SOURCE, IDS_NO_CATEGORY_COLUMN,
                                                   IDS_NO_CHART_DATA_COLUMN, IDS_NO_CHART_DATA_COLUMN,
                                                   IDS_NO_CHART_DATA_COLUMN, IDS_NO_CHART_DATA_COLUMN}));
    EXPECT_EQ(sheet.GetActivePage(), &s);
    s.m_lowerError->setCurrentIndex(4);
    s.m_legend->setText("Crops %1");
    ASSERT_TRUE(sheet.PressNext());

    // The value range covers the bar ends and starts with their error bars:
    // 7 - 0.5 = 6.5 to 20 + 2 = 22 above, 3 - 0.5 = 2.5 to 18 + 0.5 below.
    ASSERT_EQ(sheet.GetActivePage(), &sheet.m_scaling);
    CChartScalingPage& scaling = sheet.m_scaling;
    EXPECT_EQ(sheet.GetWizardButtons(), PSWIZB_BACK | PSWIZB_NEXT);
    EXPECT_EQ(scaling.m_categoryTitle->text(), "Crop");
    EXPECT_EQ(scaling.m_dataTitle->text(), "2019");
    double lo = 2.5, hi = 22.0;
    AxisScale::MakeNiceRange(false, lo, hi);
    EXPECT_DOUBLE_EQ(scaling.m_dFrom, lo);
    EXPECT_DOUBLE_EQ(scaling.m_dTo, hi);
    EXPECT_LE(scaling.m_dFrom, 2.5);
    EXPECT_GE(scaling.m_dTo, 22.0);
    EXPECT_FALSE(scaling.m_from->isEnabled());
    // Logarithmic manual scaling from 0 is refused.
    scaling.m_manual->setChecked(true);
    EXPECT_TRUE(scaling.m_from->isEnabled());
    scaling.m_type->setCurrentIndex(1);
    scaling.m_from->setText("0");
    scaling.m_to->setText("30");
    EXPECT_FALSE(sheet.PressNext());
    EXPECT_EQ(f.reporter.Ids().back(), IDS_LOG_SCALE_NOT_POSITIVE);
    EXPECT_EQ(sheet.GetActivePage(), &scaling);
    scaling.m_type->setCurrentIndex(0);
    scaling.m_categoryTitle->setText("Crops");
    scaling.m_dataTitle->setText("Tonnes");
    ASSERT_TRUE(sheet.PressNext());

    ASSERT_EQ(sheet.GetActivePage(), &sheet.m_ticks);
    EXPECT_EQ(sheet.m_ticks.GetTemplateId(), 3581);
    EXPECT_EQ(sheet.GetWizardButtons(), PSWIZB_BACK | PSWIZB_NEXT);
    sheet.m_ticks.m_styles[3]->setChecked(true);
    ASSERT_TRUE(sheet.PressNext());

    ASSERT_EQ(sheet.GetActivePage(), &sheet.m_bars);
    EXPECT_EQ(sheet.GetWizardButtons(), PSWIZB_BACK | PSWIZB_NEXT);
    CChartBarStylePage& b = sheet.m_bars;
    EXPECT_EQ(b.m_bColumns, bars ? 0 : 1);
    EXPECT_TRUE(b.m_fills[6]->isChecked());
    EXPECT_FALSE(b.m_negFore->isEnabled());
    b.m_negativeCheck->setChecked(true);
    EXPECT_TRUE(b.m_negFore->isEnabled());
    EXPECT_TRUE(b.m_negBack->isEnabled());
    b.m_backCheck->setChecked(false);
    EXPECT_FALSE(b.m_back->isEnabled());
    EXPECT_FALSE(b.m_negBack->isEnabled());
    b.m_fills[10]->setChecked(true);
    b.m_outlineStyle->setCurrentIndex(3);
    ASSERT_TRUE(sheet.PressNext());

    // Bars stand without symbols unless asked.
    ASSERT_EQ(sheet.GetActivePage(), &sheet.m_points);
    EXPECT_EQ(sheet.m_points.m_symbol->currentIndex(), 16);
    ASSERT_TRUE(sheet.PressNext());
    ASSERT_EQ(sheet.GetActivePage(), &sheet.m_join);
    EXPECT_EQ(sheet.GetWizardButtons(), PSWIZB_BACK | PSWIZB_FINISH);
    sheet.m_join.m_type->setCurrentIndex(1);
    ASSERT_TRUE(sheet.PressFinish());
    EXPECT_EQ(sheet.result(), ID_WIZFINISH);

    CDrawGraph* graph = BuildChart(sheet, &f.page, RECT{1000, -1000, 5000, -4000});
    ASSERT_NE(graph, nullptr);
    EXPECT_EQ(dynamic_cast<CDrawBarGraph*>(graph) != nullptr, bars);
    EXPECT_EQ(dynamic_cast<CDrawColumnGraph*>(graph) != nullptr, !bars);
    ASSERT_EQ(graph->GetDatasetCount(), 1);
    auto* d = dynamic_cast<CXYDatasetChart*>(graph->GetDataset(0));
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(dynamic_cast<CXYDatasetBarChart*>(d) != nullptr, bars);
    EXPECT_EQ(d->m_strSource, "Harvest");
    EXPECT_EQ(d->m_nUpperColumn, 1);
    EXPECT_EQ(d->m_nLowerColumn, 3);
    EXPECT_EQ(d->m_nYPlusColumn, 2); // the bar ends' errors
    EXPECT_EQ(d->m_nXPlusColumn, 4); // the bar starts' errors
    EXPECT_EQ(d->m_y, (std::vector<double>{12, 20, 7, 15}));
    EXPECT_EQ(d->m_x, (std::vector<double>{5, 18, 3, 11}));
    EXPECT_EQ(d->m_nFillStyle, 10);
    EXPECT_EQ(d->m_nBarType, 0);
    EXPECT_EQ(d->m_bNegative, 1);
    EXPECT_EQ(d->m_bBackOn, 0);
    EXPECT_EQ(d->m_crFore, 0x00FF00u);
    EXPECT_EQ(d->m_nOutlineStyle, 2); // list index 3: the dotted pen
    EXPECT_EQ(d->m_nSymbolShape, 16);
    EXPECT_EQ(d->m_nJoinType, 1);
    EXPECT_EQ(graph->GetLegend()->GetText(0)->GetText(), "Crops 1");

    // The categories come from the category column, along X for columns
    // and down Y for bars; the value axis is the other one.
    CXYAxis* category = graph->GetCategoryAxis();
    ASSERT_NE(category, nullptr);
    EXPECT_EQ(category, bars ? graph->GetYAxis(0) : graph->GetXAxis(0));
    EXPECT_EQ(category->m_category.tableName, "Harvest");
    EXPECT_EQ(category->m_category.column, 0);
    category->EnsureCategories();
    EXPECT_EQ(category->m_category.labels, (std::vector<std::string>{"Wheat", "Barley", "Oats", "Rye"}));
    EXPECT_EQ(graph->GetCategoryCount(), 4);
    CXYAxis* value = bars ? graph->GetXAxis(0) : graph->GetYAxis(0);
    EXPECT_EQ(value->m_bAutoMin, 0);
    EXPECT_EQ(value->m_bAutoMax, 0);
    EXPECT_DOUBLE_EQ(value->m_dMin, 0.0);
    EXPECT_DOUBLE_EQ(value->m_dMax, 30.0);
    EXPECT_EQ(value->m_bLog, 0);
    EXPECT_EQ(category->GetTitle()->GetText(), "Crops");
    EXPECT_EQ(value->GetTitle()->GetText(), "Tonnes");
    // Tick style 3: the X upper and Y right ticks off, a grey grid on both axes.
    EXPECT_EQ(graph->GetXAxis(0)->m_nTickStyle1, 3);
    EXPECT_EQ(graph->GetYAxis(0)->m_nTickStyle2, 3);
    EXPECT_EQ(graph->GetXAxis(0)->m_nMajorGridStyle, 0);
    EXPECT_EQ(graph->GetYAxis(0)->m_crMajorGrid, 0xC0C0C0u);
}

INSTANTIATE_TEST_SUITE_P(ColumnAndBar, ChartWizardKinds, ::testing::Values(int(CHART_COLUMN), int(CHART_BAR)),
                         [](const auto& info) { return info.param == CHART_BAR ? "Bar" : "Column"; });

TEST(ChartWizard, LowerDataWithoutErrorBarsDoesNotAskForTheLowerErrors)
{
    ChartFixture f;
    CColChartWizardSheet sheet(&f.catalog, &f.doc);
    sheet.Start();
    CChartDataSourcePage& s = sheet.m_source;
    Choose(s.m_source, "Harvest");
    s.m_category->setCurrentIndex(0);
    s.m_upper->setCurrentIndex(1);
    s.m_lowerCheck->setChecked(true);
    EXPECT_FALSE(s.m_lowerError->isEnabled());
    EXPECT_FALSE(s.m_lowerErrorLabel->isEnabled());
    s.m_lower->setCurrentIndex(3);
    ASSERT_TRUE(sheet.PressNext());
    EXPECT_TRUE(f.reporter.Ids().empty());
    // Bars that rise from zero show it: 0 to 20 without errors or starts.
    sheet.SetActivePage(0);
    s.m_lowerCheck->setChecked(false);
    ASSERT_TRUE(sheet.PressNext());
    double lo = 0.0, hi = 20.0;
    AxisScale::MakeNiceRange(false, lo, hi);
    EXPECT_DOUBLE_EQ(sheet.m_scaling.m_dFrom, lo);
    EXPECT_DOUBLE_EQ(sheet.m_scaling.m_dTo, hi);
    for (int i = 0; i < 4; ++i)
        ASSERT_TRUE(sheet.PressNext());
    ASSERT_TRUE(sheet.PressFinish());
    CDrawGraph* graph = BuildChart(sheet, &f.page, RECT{1000, -1000, 5000, -4000});
    auto* d = dynamic_cast<CXYDatasetChart*>(graph->GetDataset(0));
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->m_nLowerColumn, -1);
    EXPECT_EQ(d->m_nXErrorMode, 0);
    EXPECT_EQ(d->m_nYErrorMode, 0);
    // Autoscaled: the value axis keeps its automatic flags.
    EXPECT_EQ(graph->GetYAxis(0)->m_bAutoMin, 1);
}

TEST(ChartWizard, AStackedBarTypeSwitchesNegativeColouringOff)
{
    ChartFixture f;
    CChartBarStylePage page;
    page.UpdateData(false);
    page.m_negativeCheck->setChecked(true);
    for (int type : {1, 2}) {
        page.m_barType->setCurrentIndex(type);
        EXPECT_FALSE(page.m_negativeCheck->isChecked()) << type;
        EXPECT_FALSE(page.m_negativeCheck->isEnabled()) << type;
        EXPECT_FALSE(page.m_negFore->isEnabled()) << type;
        page.m_barType->setCurrentIndex(0);
        EXPECT_TRUE(page.m_negativeCheck->isEnabled()) << type;
        page.m_negativeCheck->setChecked(true);
    }
    page.m_barType->setCurrentIndex(1);
    ASSERT_TRUE(page.UpdateData(true));
    EXPECT_EQ(page.m_bNegative, 0);
    EXPECT_EQ(page.m_nBarType, 1);
}

TEST(ChartWizard, AFifthSeriesTakesTheFifthColourAndKeepsTheChartsCategories)
{
    ChartFixture f;
    auto* graph = new CDrawBarGraph(RECT{1000, -1000, 5000, -4000}, &f.page);
    graph->GetCategoryAxis()->SetCategorySource("Harvest", 0);
    for (int i = 0; i < 4; ++i)
        graph->AddDataset(new CXYDatasetBarChart("Harvest", 1, -1, -1, -1, graph), "series");
    CBarChartWizardSheet sheet(graph, &f.catalog, &f.doc);
    ASSERT_EQ(sheet.GetPageCount(), 5);
    EXPECT_EQ(sheet.m_bars.m_crFore, 0xFFFF00u);
    EXPECT_EQ(sheet.m_bars.m_crNegFore, 0xFFFF00u);
    sheet.Start();
    CChartDataSourcePage& s = sheet.m_source;
    EXPECT_TRUE(s.m_category->isHidden());
    EXPECT_EQ(s.m_legend->text(), "Data set #%1");
    EXPECT_EQ(s.m_source->currentText(), "Harvest");
    // The series may come from another table; the categories stay the chart's.
    Choose(s.m_source, "Other");
    EXPECT_FALSE(sheet.PressNext());
    EXPECT_EQ(f.reporter.Ids().back(), IDS_NO_CHART_DATA_COLUMN);
    s.m_upper->setCurrentIndex(0);
    ASSERT_TRUE(sheet.PressNext());
    ASSERT_EQ(sheet.GetActivePage(), &sheet.m_association);
    // The value axes of a bar chart are its X axes.
    ASSERT_EQ(sheet.m_association.m_list->count(), graph->GetXAxisCount());
    sheet.m_association.m_list->item(0)->setCheckState(Qt::Unchecked);
    EXPECT_FALSE(sheet.PressNext());
    EXPECT_EQ(f.reporter.Ids().back(), IDS_SELECT_ONE_AXIS);
    sheet.m_association.SelectAll();
    ASSERT_TRUE(sheet.PressNext());
    ASSERT_EQ(sheet.GetActivePage(), &sheet.m_bars);
    ASSERT_TRUE(sheet.PressNext());
    ASSERT_TRUE(sheet.PressNext());
    ASSERT_TRUE(sheet.PressFinish());
    sheet.ApplyToGraph(graph, false);
    ASSERT_EQ(graph->GetDatasetCount(), 5);
    auto* d = dynamic_cast<CXYDatasetBarChart*>(graph->GetDataset(4));
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->m_strSource, "Other");
    EXPECT_EQ(d->m_nUpperColumn, 0);
    EXPECT_EQ(d->m_crFore, 0xFFFF00u);
    EXPECT_EQ(d->m_xAxes, (std::vector<std::uint32_t>{0}));
    EXPECT_EQ(graph->GetLegend()->GetText(4)->GetText(), "Data set #5");
    EXPECT_EQ(graph->GetCategoryAxis()->m_category.tableName, "Harvest");
    EXPECT_EQ(graph->GetCategoryAxis()->m_category.column, 0);
}

TEST(ChartWizard, SeriesColoursRunThroughTenInTurn)
{
    const COLORREF expected[] = {0x00FF00, 0x0000FF, 0x00FFFF, 0xFF0000, 0xFFFF00,
                                 0xFF00FF, 0xFFFFFF, 0x000000, 0x808080, 0xC0C0C0};
    for (int n = 0; n < 25; ++n)
        EXPECT_EQ(ChartSeriesColour(n), expected[n % 10]) << n;
}

TEST(ChartWizard, NoticesFollowTheSourceAndTurnBackToTheFirstPage)
{
    ChartFixture f;
    CColChartWizardSheet sheet(&f.catalog, &f.doc);
    sheet.Start();
    FillSource(sheet.m_source);
    ASSERT_TRUE(sheet.PressNext());
    // Two columns deleted before the values lower every choice after them by
    // two; the category column inside the run is unset.
    CUpdateNotification deleted(UN_COLUMNS_DELETED, 0, 1, f.doc.Item("Harvest"));
    sheet.OnItemNotify(deleted);
    EXPECT_EQ(sheet.GetActivePage(), &sheet.m_source);
    const CChartDataSourcePage& s = sheet.m_source;
    EXPECT_EQ(s.m_nCategoryColumn, -1);
    EXPECT_EQ(s.m_nUpperColumn, 0);
    EXPECT_EQ(s.m_nErrorColumn, 1);
    EXPECT_EQ(s.m_nLowerColumn, 2);
    EXPECT_EQ(s.m_nLowerErrorColumn, 3);
    CUpdateNotification renamed;
    renamed.kind = UN_ITEM_RENAMED;
    renamed.oldName = "harvest";
    renamed.newName = "Crops";
    f.doc.Rename("Harvest", "Crops");
    sheet.OnItemNotify(renamed);
    EXPECT_EQ(s.m_strSource, "Crops");
    EXPECT_EQ(s.m_source->currentText(), "Crops");
    CUpdateNotification removing;
    removing.kind = UN_ITEM_REMOVING;
    removing.oldName = "CROPS";
    sheet.OnItemNotify(removing);
    EXPECT_TRUE(s.m_strSource.empty());
    EXPECT_EQ(s.m_nUpperColumn, -1);
}

TEST(ChartWizard, RunningTheWizardBuildsOnFinishAndNothingOnCancel)
{
    ChartFixture f;
    // The wizard runs modal: the steps are taken as soon as it shows.
    auto drive = [](bool finish) {
        QTimer::singleShot(0, [finish] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                auto* sheet = dynamic_cast<CChartWizardSheet*>(w);
                if (!sheet || !sheet->isVisible())
                    continue;
                if (!finish) {
                    sheet->PressCancel();
                    return;
                }
                FillSource(sheet->m_source);
                while (sheet->PressNext()) {
                }
                sheet->PressFinish();
                return;
            }
        });
    };
    auto graphs = [&] {
        return std::count_if(f.page.GetObjects().begin(), f.page.GetObjects().end(),
                             [](CDrawObj* o) { return dynamic_cast<CDrawGraph*>(o) != nullptr; });
    };
    drive(false);
    EXPECT_EQ(RunChartWizard(CHART_COLUMN, &f.catalog, &f.doc, &f.page, RECT{0, 0, 4000, -3000}), nullptr);
    EXPECT_EQ(graphs(), 0);
    EXPECT_EQ(RunChartWizard(0, &f.catalog, &f.doc, &f.page, RECT{0, 0, 4000, -3000}), nullptr);
    drive(true);
    CDrawGraph* graph = RunChartWizard(CHART_BAR, &f.catalog, &f.doc, &f.page, RECT{0, 0, 4000, -3000});
    ASSERT_NE(graph, nullptr);
    EXPECT_NE(dynamic_cast<CDrawBarGraph*>(graph), nullptr);
    EXPECT_EQ(graphs(), 1);
    ASSERT_EQ(graph->GetDatasetCount(), 1);
    EXPECT_EQ(dynamic_cast<CXYDatasetChart*>(graph->GetDataset(0))->m_nUpperColumn, 1);
}
