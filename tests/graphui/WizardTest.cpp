// The XY graph wizard driven from its first page to Finish over a table and
// its fit, the graphs it builds, and the pages' checks.
#include "WizardSupport.h"

#include "data/DataString.h"
#include "framework/UpdateNotification.h"
#include "graph/AxisScale.h"
#include "graph/DrawGraph.h"
#include "graph/GraphText.h"
#include "graph/Legend.h"
#include "graph/XYAxis.h"
#include "graph/XYDatasetFit.h"
#include "graph/XYDatasetTable.h"
#include "graphui/widgets/XYWizard.h"
#include "platform/StringIds.h"
#include "ui/widgets/ColourCombo.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>

#include <gtest/gtest.h>

#include <cmath>

namespace {

// The sample: x 1..5, y with an error column, and a fit of y on x.
struct WizardFixture : GraphFixture {
    WizardFixture() : catalog(doc)
    {
        CMyData& t = doc.AddTable("Sample");
        t.SetCell(1, 0, new CDataString("Time"));
        t.SetCell(1, 1, new CDataString("Signal"));
        t.SetCell(1, 2, new CDataString("Error"));
        FillColumn(t, 0, {1, 2, 3, 4, 5});
        FillColumn(t, 1, {3.1, 4.9, 7.2, 8.8, 11.0});
        FillColumn(t, 2, {0.5, 0.5, 1.0, 0.5, 2.0});
        table = &t;
        FakeFit& f = doc.AddFit("Fit of Sample");
        f.table = table;
        f.tableItem = doc.Item("Sample");
        f.count = 5;
        fit = &f;
    }
    CDrawXYGraph* NewGraph()
    {
        // The graph puts itself on the page.
        return new CDrawXYGraph(RECT{1000, -1000, 5000, -4000}, &page);
    }
    RecordingReporter reporter;
    TestCatalog catalog;
    CMyData* table = nullptr;
    FakeFit* fit = nullptr;
};

void ChooseSource(CXYDataPage& page, const char* name)
{
    page.m_source->setCurrentIndex(page.m_source->findText(name));
}

} // namespace

TEST(XYWizard, ATableWithErrorsBuildsItsGraphFromTheGalleryToFinish)
{
    WizardFixture f;
    CSelectGraphTypeDlg gallery;
    EXPECT_FALSE(gallery.CreateButton()->isEnabled());
    gallery.List()->setCurrentRow(0);
    ASSERT_TRUE(gallery.CreateButton()->isEnabled());
    gallery.OnCreate();
    EXPECT_EQ(gallery.GetChoice(), 0);

    CXYWizardSheet sheet(&f.catalog, &f.doc);
    sheet.Start();
    EXPECT_EQ(sheet.GetWizardButtons(), PSWIZB_NEXT);
    ChooseSource(sheet.m_data, "Sample");
    ASSERT_EQ(sheet.m_data.m_x->count(), 3);
    sheet.m_data.m_x->setCurrentIndex(0);
    sheet.m_data.m_y->setCurrentIndex(1);
    sheet.m_data.m_errorCheck->setChecked(true);
    sheet.m_data.m_error->setCurrentIndex(2);
    ASSERT_TRUE(sheet.PressNext());

    // The scaling page proposes the column names and the data's nice range:
    // x 1..5, y from 3.1 - 0.5 to 11 + 2 (the error bars count).
    ASSERT_EQ(sheet.GetActivePage(), &sheet.m_scaling);
    EXPECT_EQ(sheet.m_scaling.m_title[0]->text(), "Time");
    EXPECT_EQ(sheet.m_scaling.m_title[1]->text(), "Signal");
    double x0 = 1, x1 = 5, y0 = 2.6, y1 = 13.0;
    AxisScale::MakeNiceRange(false, x0, x1);
    AxisScale::MakeNiceRange(false, y0, y1);
    EXPECT_DOUBLE_EQ(sheet.m_scaling.m_dFrom[0], x0);
    EXPECT_DOUBLE_EQ(sheet.m_scaling.m_dTo[0], x1);
    EXPECT_DOUBLE_EQ(sheet.m_scaling.m_dFrom[1], y0);
    EXPECT_DOUBLE_EQ(sheet.m_scaling.m_dTo[1], y1);
    EXPECT_FALSE(sheet.m_scaling.m_from[0]->isEnabled());
    ASSERT_TRUE(sheet.PressNext());

    ASSERT_EQ(sheet.GetActivePage(), &sheet.m_ticks);
    EXPECT_EQ(sheet.GetWizardButtons(), PSWIZB_BACK | PSWIZB_NEXT);
    sheet.m_ticks.m_styles[2]->setChecked(true);
    ASSERT_TRUE(sheet.PressNext());
    ASSERT_EQ(sheet.GetActivePage(), &sheet.m_points);
    sheet.m_points.m_symbol->setCurrentIndex(3);
    ASSERT_TRUE(sheet.PressNext());
    // A table's graph ends on the join page.
    ASSERT_EQ(sheet.GetActivePage(), &sheet.m_join);
    EXPECT_EQ(sheet.GetWizardButtons(), PSWIZB_BACK | PSWIZB_FINISH);
    sheet.m_join.m_type->setCurrentIndex(1);
    ASSERT_TRUE(sheet.PressFinish());
    EXPECT_EQ(sheet.result(), ID_WIZFINISH);

    CDrawXYGraph* graph = f.NewGraph();
    sheet.ApplyToGraph(graph, true);
    ASSERT_EQ(graph->GetDatasetCount(), 1);
    auto* d = dynamic_cast<CXYDatasetTable*>(graph->GetDataset(0));
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->m_nXColumn, 0);
    EXPECT_EQ(d->m_nYColumn, 1);
    EXPECT_EQ(d->m_nYPlusColumn, 2);
    EXPECT_EQ(d->m_nYErrorMode, 4);
    EXPECT_EQ(d->m_nSymbolShape, 3);
    EXPECT_EQ(d->m_nJoinType, 1);
    EXPECT_EQ(d->m_nJoinStyle, 0); // list index 1 is the solid pen
    // Tick style 2: the upper and right ticks off, grey solid Y grid lines.
    EXPECT_EQ(graph->GetXAxis(0)->m_nTickStyle1, 3);
    EXPECT_EQ(graph->GetXAxis(0)->m_nTickStyle2, 0);
    EXPECT_EQ(graph->GetYAxis(0)->m_nTickStyle1, 0);
    EXPECT_EQ(graph->GetYAxis(0)->m_nTickStyle2, 3);
    EXPECT_EQ(graph->GetYAxis(0)->m_nMajorGridStyle, 0);
    EXPECT_EQ(graph->GetYAxis(0)->m_crMajorGrid, 0xC0C0C0u);
    EXPECT_EQ(graph->GetXAxis(0)->m_nMajorGridStyle, 5);
    EXPECT_EQ(graph->GetXAxis(0)->GetTitle()->GetText(), "Time");
    EXPECT_EQ(graph->GetYAxis(0)->GetTitle()->GetText(), "Signal");
    EXPECT_TRUE(f.reporter.messages.empty());
}

TEST(XYWizard, AFitGoesOnToTheCurveStyleAndBuildsTheChosenFits)
{
    struct Case {
        int first, last;
        std::vector<int> built;
    };
    // Five fits: 2 to 9 builds 2 to 5; 7 to 9 builds one dataset, fit 7.
    for (const Case& c : {Case{2, 9, {1, 2, 3, 4}}, Case{7, 9, {6}}, Case{1, 1, {0}}}) {
        WizardFixture f;
        CXYWizardSheet sheet(&f.catalog, &f.doc);
        sheet.Start();
        ChooseSource(sheet.m_data, "Fit of Sample");
        EXPECT_FALSE(sheet.m_data.m_x->isEnabled());
        sheet.m_data.m_someFits->setChecked(true);
        sheet.m_data.m_first->setText(QString::number(c.first));
        sheet.m_data.m_last->setText(QString::number(c.last));
        ASSERT_TRUE(sheet.PressNext());
        EXPECT_EQ(sheet.m_scaling.m_title[0]->text(), "Time");
        ASSERT_TRUE(sheet.PressNext());
        ASSERT_TRUE(sheet.PressNext());
        ASSERT_TRUE(sheet.PressNext());
        ASSERT_EQ(sheet.GetActivePage(), &sheet.m_join);
        EXPECT_EQ(sheet.GetWizardButtons(), PSWIZB_BACK | PSWIZB_NEXT);
        ASSERT_TRUE(sheet.PressNext());
        ASSERT_EQ(sheet.GetActivePage(), &sheet.m_curve);
        // The automatic end shows the X axis maximum and cannot be edited.
        EXPECT_FALSE(sheet.m_curve.m_end->isEnabled());
        EXPECT_EQ(sheet.m_curve.m_end->text().toDouble(), sheet.m_scaling.m_dTo[0]);
        sheet.m_curve.m_resolution->setCurrentIndex(2);
        // Back returns to the page that led here, and Next comes back.
        ASSERT_TRUE(sheet.PressBack());
        EXPECT_EQ(sheet.GetActivePage(), &sheet.m_join);
        ASSERT_TRUE(sheet.PressNext());
        ASSERT_TRUE(sheet.PressFinish());

        CDrawXYGraph* graph = f.NewGraph();
        sheet.ApplyToGraph(graph, true);
        ASSERT_EQ(graph->GetDatasetCount(), int(c.built.size())) << c.first << " to " << c.last;
        for (std::size_t i = 0; i < c.built.size(); ++i) {
            auto* d = dynamic_cast<CXYDatasetFit*>(graph->GetDataset(int(i)));
            ASSERT_NE(d, nullptr);
            EXPECT_EQ(d->m_nFit, c.built[i]);
            EXPECT_EQ(d->m_nResolution, 2);
        }
        // Successive fits take symbols first hollow, then filled.
        if (c.built.size() == 4) {
            EXPECT_EQ(graph->GetDataset(0)->m_nSymbolShape, 0);
            EXPECT_EQ(graph->GetDataset(1)->m_nSymbolShape, 0);
            EXPECT_EQ(graph->GetDataset(1)->m_symbolBrush.lbColor, 0x000000u);
            EXPECT_EQ(graph->GetDataset(2)->m_nSymbolShape, 1);
        }
    }
}

TEST(XYWizard, NoSourceAsksForABlankGraphAndFinishesOnTheTickPage)
{
    WizardFixture f;
    CXYWizardSheet sheet(&f.catalog, &f.doc);
    sheet.Start();
    f.reporter.Answer(IDNO);
    EXPECT_FALSE(sheet.PressNext());
    EXPECT_EQ(sheet.GetActivePage(), &sheet.m_data);
    f.reporter.Answer(IDYES);
    ASSERT_TRUE(sheet.PressNext());
    EXPECT_EQ(f.reporter.Ids(), (std::vector<UINT>{IDS_ASK_BLANK_GRAPH, IDS_ASK_BLANK_GRAPH}));
    ASSERT_TRUE(sheet.PressNext());
    EXPECT_EQ(sheet.GetWizardButtons(), PSWIZB_BACK | PSWIZB_FINISH);
    ASSERT_TRUE(sheet.PressFinish());
    CDrawXYGraph* graph = f.NewGraph();
    sheet.ApplyToGraph(graph, true);
    EXPECT_EQ(graph->GetDatasetCount(), 0);
    EXPECT_EQ(graph->GetXAxisCount(), 1);
    EXPECT_FALSE(graph->GetLegend()->IsShown());
}

TEST(XYWizard, TheDataPageRefusesMissingColumnsAndATransformWithoutName)
{
    WizardFixture f;
    CXYWizardSheet sheet(&f.catalog, &f.doc);
    sheet.Start();
    ChooseSource(sheet.m_data, "Sample");
    EXPECT_FALSE(sheet.PressNext());
    sheet.m_data.m_x->setCurrentIndex(0);
    EXPECT_FALSE(sheet.PressNext());
    sheet.m_data.m_y->setCurrentIndex(1);
    sheet.m_data.m_errorCheck->setChecked(true);
    EXPECT_FALSE(sheet.PressNext());
    sheet.m_data.m_errorCheck->setChecked(false);
    sheet.m_data.m_transformCheck->setChecked(true);
    EXPECT_FALSE(sheet.PressNext());
    EXPECT_EQ(f.reporter.Ids(), (std::vector<UINT>{IDS_SELECT_DATA_COLUMN, IDS_SELECT_DATA_COLUMN,
                                                   IDS_SELECT_DATA_COLUMN, IDS_SELECT_TRANSFORMATION}));
    EXPECT_EQ(sheet.GetActivePage(), &sheet.m_data);
}

TEST(XYWizard, LogarithmicManualScalingFromZeroIsRefused)
{
    WizardFixture f;
    CXYWizardSheet sheet(&f.catalog, &f.doc);
    sheet.Start();
    f.reporter.Answer(IDYES);
    ASSERT_TRUE(sheet.PressNext());
    sheet.m_scaling.m_type[0]->setCurrentIndex(1);
    sheet.m_scaling.m_manual[0]->setChecked(true);
    sheet.m_scaling.m_from[0]->setText("0");
    sheet.m_scaling.m_to[0]->setText("100");
    EXPECT_FALSE(sheet.PressNext());
    EXPECT_EQ(f.reporter.Ids().back(), IDS_LOG_SCALE_NOT_POSITIVE);
    sheet.m_scaling.m_from[0]->setText("0.1");
    ASSERT_TRUE(sheet.PressNext());
    ASSERT_TRUE(sheet.PressFinish());
    CDrawXYGraph* graph = f.NewGraph();
    sheet.ApplyToGraph(graph, true);
    CXYAxis* x = graph->GetXAxis(0);
    EXPECT_EQ(x->m_bLog, 1);
    EXPECT_EQ(x->m_bAutoMin, 0);
    EXPECT_DOUBLE_EQ(x->m_dMin, 0.1);
    EXPECT_DOUBLE_EQ(x->m_dMax, 100.0);
}

TEST(XYWizard, ColumnsDeletedBeforeTheChosenOnesMoveThemAndTheSheetGoesBack)
{
    WizardFixture f;
    CMyData& wide = f.doc.AddTable("Wide");
    for (int c = 0; c < 6; ++c)
        FillColumn(wide, c, {double(c), double(c + 1)});
    CXYWizardSheet sheet(&f.catalog, &f.doc);
    sheet.Start();
    ChooseSource(sheet.m_data, "Wide");
    sheet.m_data.m_x->setCurrentIndex(0);
    sheet.m_data.m_y->setCurrentIndex(4);
    ASSERT_TRUE(sheet.PressNext());
    CUpdateNotification deleted(UN_COLUMNS_DELETED, 1, 2, f.doc.Item("Wide"));
    sheet.OnItemNotify(deleted);
    EXPECT_EQ(sheet.GetActivePage(), &sheet.m_data);
    EXPECT_EQ(sheet.m_data.m_nYColumn, 2);
    EXPECT_EQ(sheet.m_data.m_nXColumn, 0);
    CUpdateNotification itself(UN_COLUMNS_DELETED, 2, 1, f.doc.Item("Wide"));
    sheet.OnItemNotify(itself);
    EXPECT_EQ(sheet.m_data.m_nYColumn, -1);
    // Another table's columns change nothing.
    CUpdateNotification other(UN_COLUMNS_DELETED, 0, 1, f.doc.Item("Sample"));
    sheet.OnItemNotify(other);
    EXPECT_EQ(sheet.m_data.m_nXColumn, 0);
}

TEST(XYWizard, AnEquationJumpsToItsValuesAndBackWalksTheWayItCame)
{
    WizardFixture f;
    TestWorkspace::Entry& e = *f.doc.entries.emplace_back(std::make_unique<TestWorkspace::Entry>());
    e.name = "Line";
    e.equation = std::make_unique<CEquationBase>();
    e.equation->SetParameterCount(2);
    e.equation->SetParameterName(0, "a");
    e.equation->SetParameterName(1, "b");
    e.equation->SetConstantCount(1);
    e.equation->SetConstantName(0, "k");
    CXYWizardSheet sheet(&f.catalog, &f.doc);
    sheet.Start();
    ChooseSource(sheet.m_data, "Line");
    ASSERT_TRUE(sheet.PressNext());
    ASSERT_TRUE(sheet.PressNext());
    ASSERT_TRUE(sheet.PressNext());
    ASSERT_EQ(sheet.GetActivePage(), &sheet.m_params);
    ASSERT_EQ(sheet.m_params.m_grid->rowCount(), 2);
    EXPECT_EQ(sheet.m_params.m_grid->item(1, 0)->text(), "b");
    // Direct entry with a value left empty refuses to go on.
    sheet.m_params.m_grid->item(0, 1)->setText("2");
    EXPECT_FALSE(sheet.PressNext());
    EXPECT_EQ(f.reporter.Ids().back(), IDS_NUMERIC_ENTRIES_INVALID);
    sheet.m_params.m_grid->item(1, 1)->setText("0.5");
    ASSERT_TRUE(sheet.PressNext());
    ASSERT_EQ(sheet.GetActivePage(), &sheet.m_consts);
    // Read from table accepts an empty grid.
    sheet.m_consts.m_fromTable->setChecked(true);
    ASSERT_TRUE(sheet.PressNext());
    ASSERT_EQ(sheet.GetActivePage(), &sheet.m_curve);
    ASSERT_TRUE(sheet.PressBack());
    EXPECT_EQ(sheet.GetActivePage(), &sheet.m_consts);
    ASSERT_TRUE(sheet.PressBack());
    EXPECT_EQ(sheet.GetActivePage(), &sheet.m_params);
    ASSERT_TRUE(sheet.PressBack());
    EXPECT_EQ(sheet.GetActivePage(), &sheet.m_ticks);
    ASSERT_TRUE(sheet.PressNext());
    ASSERT_TRUE(sheet.PressNext());
    ASSERT_TRUE(sheet.PressNext());
    ASSERT_TRUE(sheet.PressFinish());
    CDrawXYGraph* graph = f.NewGraph();
    sheet.ApplyToGraph(graph, true);
    ASSERT_EQ(graph->GetDatasetCount(), 1);
    auto* curve = dynamic_cast<CXYDatasetCurve*>(graph->GetDataset(0));
    ASSERT_NE(curve, nullptr);
    EXPECT_EQ(curve->m_params, (std::vector<double>{2.0, 0.5}));
    EXPECT_EQ(curve->m_bConstsFromTable, 1);
}

TEST(XYWizard, AddingToAGraphPresetsTheNextSymbolAndRefusesNoSource)
{
    WizardFixture f;
    CDrawXYGraph* graph = f.NewGraph();
    graph->AddDataset(new CXYDatasetTable("Sample", 0, 1, -1, graph), "one");
    graph->AddDataset(new CXYDatasetTable("Sample", 0, 2, -1, graph), "two");
    graph->AddDataset(new CXYDatasetTable("Sample", 1, 2, -1, graph), "three");
    CXYWizardSheet sheet(graph, &f.catalog, &f.doc);
    EXPECT_EQ(sheet.m_points.m_nSymbol, 1);
    EXPECT_EQ(sheet.m_points.m_crFill, 0x000000u);
    sheet.Start();
    EXPECT_FALSE(sheet.PressNext());
    EXPECT_EQ(f.reporter.Ids().back(), IDS_NO_DATA_SOURCE);
    ChooseSource(sheet.m_data, "Sample");
    sheet.m_data.m_x->setCurrentIndex(0);
    sheet.m_data.m_y->setCurrentIndex(1);
    ASSERT_TRUE(sheet.PressNext());
    ASSERT_EQ(sheet.GetActivePage(), &sheet.m_association);
    sheet.m_association.m_yList->item(0)->setCheckState(Qt::Unchecked);
    EXPECT_FALSE(sheet.PressNext());
    EXPECT_EQ(f.reporter.Ids().back(), IDS_SELECT_ONE_AXIS);
    sheet.m_association.m_yList->item(0)->setCheckState(Qt::Checked);
    ASSERT_TRUE(sheet.PressNext());
    ASSERT_TRUE(sheet.PressNext());
    ASSERT_TRUE(sheet.PressFinish());
    sheet.ApplyToGraph(graph, false);
    ASSERT_EQ(graph->GetDatasetCount(), 4);
    EXPECT_EQ(graph->GetDataset(3)->m_nSymbolShape, 1);
}

TEST(Percent, TheFieldsReadWhatTheyShowAndRefuseTheRest)
{
    struct Case {
        const char* text;
        bool ok;
        int value;
    };
    for (const Case& c : {Case{"12", true, 12}, Case{"12 %", true, 12}, Case{" 0%", true, 0}, Case{"0", true, 0},
                          Case{"\t-25%\t", true, -25}, Case{"100%", true, 100}, Case{"12a", false, 0},
                          Case{"a", false, 0}, Case{"", false, 0}, Case{"%", false, 0}, Case{"1 2", false, 0},
                          Case{"99999999999", false, 0}}) {
        int v = -999;
        EXPECT_EQ(ParsePercent(c.text, v), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(v, c.value) << c.text;
        }
    }
}

TEST(PropertyForms, UntouchedPagesWriteBackTheSameAndChangesReachTheDataset)
{
    WizardFixture f;
    CDrawXYGraph* graph = f.NewGraph();
    auto* d = new CXYDatasetFit("Fit of Sample", graph, 0);
    d->m_nSymbolShape = 4;
    d->m_nSymbolSize = 7;
    d->m_symbolBrush.lbColor = 0x0000FF;
    d->m_nJoinType = 2;
    d->m_nJoinStyle = 2;
    d->m_nCurveStyle = 1;
    d->m_nResolution = 0;
    graph->AddDataset(d, "fit");
    {
        CDataPointPage points(d);
        CJoinPointPropPage join(d);
        CCurveStylePropPage curve(d);
        EXPECT_EQ(join.m_style->currentIndex(), 3);
        for (CWizardPage* p : std::initializer_list<CWizardPage*>{&points, &join, &curve})
            ASSERT_TRUE(ApplyPropertyPage(*p));
    }
    EXPECT_EQ(d->m_nSymbolShape, 4);
    EXPECT_EQ(d->m_nSymbolSize, 7);
    EXPECT_EQ(d->m_symbolBrush.lbColor, 0x0000FFu);
    EXPECT_EQ(d->m_nJoinType, 2);
    EXPECT_EQ(d->m_nJoinStyle, 2);
    EXPECT_EQ(d->m_nCurveStyle, 1);
    EXPECT_EQ(d->m_nResolution, 0);
    {
        // Cancel: a page that is not applied leaves the dataset alone.
        CDataPointPage points(d);
        points.m_symbol->setCurrentIndex(9);
    }
    EXPECT_EQ(d->m_nSymbolShape, 4);
    CDataPointPage points(d);
    points.m_symbol->setCurrentIndex(9);
    points.m_pen->setChecked(false);
    EXPECT_FALSE(points.m_width->isEnabled());
    ASSERT_TRUE(ApplyPropertyPage(points));
    EXPECT_EQ(d->m_nSymbolShape, 9);
    EXPECT_EQ(d->m_bSymbolOutline, 0);
    // A curve start above the axis maximum is refused.
    CCurveStylePropPage curve(d);
    curve.m_autoStart->setChecked(false);
    curve.m_start->setEnabled(true);
    curve.m_start->setText(QString::number(curve.m_dAxisMax + 1));
    EXPECT_FALSE(ApplyPropertyPage(curve));
    EXPECT_EQ(f.reporter.Ids().back(), IDS_ENTER_NUMBER_RANGE);
}

TEST(TickStyles, EachStyleSetsTheTicksGridsAndFrameOfItsRow)
{
    // Columns: X upper, X lower, Y left, Y right (0 inside, 1 outside, 3 off),
    // Y grid, X grid (0 solid, 5 none), frame side on top of the page, right side.
    struct Row {
        int xUpper, xLower, yLeft, yRight, yGrid, xGrid, topSide, rightSide;
    };
    const Row rows[10] = {{0, 0, 0, 0, 5, 5, 1, 1}, {3, 0, 0, 3, 5, 5, 1, 1}, {3, 0, 0, 3, 0, 5, 1, 1},
                          {3, 0, 0, 3, 0, 0, 1, 1}, {3, 0, 0, 3, 5, 5, 0, 0}, {1, 1, 1, 1, 5, 5, 1, 1},
                          {3, 1, 1, 3, 5, 5, 1, 1}, {3, 1, 1, 3, 0, 5, 1, 1}, {3, 1, 1, 3, 0, 0, 1, 1},
                          {3, 1, 1, 3, 5, 5, 0, 0}};
    for (int style = 0; style < 10; ++style) {
        GraphFixture f;
        auto* graph = new CDrawXYGraph(RECT{0, 0, 7200, -5040}, &f.page);
        ApplyTickStyle(graph, style);
        const CXYAxis* x = graph->GetXAxis(0);
        const CXYAxis* y = graph->GetYAxis(0);
        const Row& r = rows[style];
        EXPECT_EQ(x->m_nTickStyle1, r.xUpper) << style;
        EXPECT_EQ(x->m_nTickStyle2, r.xLower) << style;
        EXPECT_EQ(y->m_nTickStyle1, r.yLeft) << style;
        EXPECT_EQ(y->m_nTickStyle2, r.yRight) << style;
        EXPECT_EQ(y->m_nMajorGridStyle, r.yGrid) << style;
        EXPECT_EQ(x->m_nMajorGridStyle, r.xGrid) << style;
        EXPECT_EQ(graph->m_bBottomEdge, r.topSide) << style;
        EXPECT_EQ(graph->m_bTopEdge, 1) << style;
        EXPECT_EQ(graph->m_bRightEdge, r.rightSide) << style;
    }
}

TEST(XYWizard, SelectAllChecksEveryAxisOfItsDirectionAndTheDatasetTakesThem)
{
    WizardFixture f;
    CDrawXYGraph* graph = f.NewGraph();
    // Made on the first axes only; then two X axes and three Y axes in all.
    auto* d = new CXYDatasetTable("Sample", 0, 1, -1, graph);
    graph->AddDataset(d, "Signal");
    graph->AddAxes(1, 2);
    ASSERT_EQ(d->m_yAxes, (std::vector<std::uint32_t>{0}));

    CAxisAssociationProp page(d);
    ASSERT_EQ(page.m_xList->count(), 2);
    ASSERT_EQ(page.m_yList->count(), 3);
    EXPECT_FALSE(page.IsModified());
    page.m_selectAllY->click();
    EXPECT_TRUE(page.IsModified());
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(page.m_yList->item(i)->checkState(), Qt::Checked) << i;
    // The X list is left as it was: only the first axis.
    EXPECT_EQ(page.m_xList->item(0)->checkState(), Qt::Checked);
    EXPECT_EQ(page.m_xList->item(1)->checkState(), Qt::Unchecked);
    ASSERT_TRUE(ApplyPropertyPage(page));
    EXPECT_EQ(d->m_xAxes, (std::vector<std::uint32_t>{0}));
    EXPECT_EQ(d->m_yAxes, (std::vector<std::uint32_t>{0, 1, 2}));
    page.m_selectAllX->click();
    ASSERT_TRUE(ApplyPropertyPage(page));
    EXPECT_EQ(d->m_xAxes, (std::vector<std::uint32_t>{0, 1}));
}
