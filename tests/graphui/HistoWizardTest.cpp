// The histogram wizard driven from the gallery to Finish, the histogram it
// builds, its checks, and the histogram's property forms.
#include "WizardSupport.h"

#include "data/DataString.h"
#include "framework/UpdateNotification.h"
#include "graph/AxisScale.h"
#include "graph/DrawGraph.h"
#include "graph/GraphText.h"
#include "graph/Legend.h"
#include "graph/XYAxis.h"
#include "graph/XYDatasetHisto.h"
#include "graphui/widgets/HistoWizard.h"
#include "platform/StringIds.h"
#include "ui/MeasurementUnit.h"
#include "ui/widgets/ColourCombo.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>

#include <gtest/gtest.h>

namespace {

// Particle sizes with a count of each. Bins of width 1 from 0 (counted by hand):
// [-1,0) -0.4; [0,1) 0.5; [1,2) 1.2 1.7; [2,3) 2.0 (an upper edge counts above); [3,4) 3.1 3.9.
struct HistoFixture : GraphFixture {
    HistoFixture() : catalog(doc)
    {
        CMyData& t = doc.AddTable("Particles");
        t.SetCell(1, 0, new CDataString("Size"));
        t.SetCell(1, 1, new CDataString("Count"));
        FillColumn(t, 0, {0.5, 1.2, 1.7, 2.0, 3.9, 3.1, -0.4});
        FillColumn(t, 1, {2, 1, 1, 5, 1, 1, 3});
        table = &t;
    }
    CDrawHistoGraph* NewGraph() { return new CDrawHistoGraph(RECT{1000, -1000, 5000, -4000}, &page); }
    RecordingReporter reporter;
    TestCatalog catalog;
    CMyData* table = nullptr;
};

void Choose(QComboBox* combo, const char* text) { combo->setCurrentIndex(combo->findText(text)); }

} // namespace

TEST(HistoWizard, FromTheGalleryToFinishBuildsTheHistogramOfTheColumn)
{
    HistoFixture f;
    CSelectGraphTypeDlg gallery;
    gallery.List()->setCurrentRow(3);
    gallery.OnCreate();
    ASSERT_EQ(gallery.GetChoice(), 3);

    CHistoWizardSheet sheet(&f.catalog, &f.doc);
    sheet.Start();
    EXPECT_EQ(sheet.GetWizardButtons(), PSWIZB_NEXT);
    // Only data tables are offered.
    ASSERT_EQ(sheet.m_source.m_source->count(), 1);
    EXPECT_FALSE(sheet.PressNext());
    Choose(sheet.m_source.m_source, "Particles");
    EXPECT_FALSE(sheet.PressNext());
    sheet.m_source.m_values->setCurrentIndex(0);
    EXPECT_FALSE(sheet.m_source.m_weights->isEnabled());
    sheet.m_source.m_weightsCheck->setChecked(true);
    EXPECT_TRUE(sheet.m_source.m_weights->isEnabled());
    EXPECT_FALSE(sheet.PressNext());
    sheet.m_source.m_weightsCheck->setChecked(false);
    for (const char* bad : {"0", "-1", "abc", ""}) {
        sheet.m_source.m_width->setText(bad);
        EXPECT_FALSE(sheet.PressNext()) << bad;
    }
    EXPECT_EQ(f.reporter.Ids(), (std::vector<UINT>{IDS_NO_DATA_SOURCE, IDS_HISTO_NO_VALUES_COLUMN,
                                                   IDS_HISTO_NO_NUMBERS_COLUMN, IDS_HISTO_INCREMENT, IDS_HISTO_INCREMENT,
                                                   IDS_HISTO_INCREMENT, IDS_HISTO_INCREMENT}));
    EXPECT_EQ(sheet.GetActivePage(), &sheet.m_source);
    sheet.m_source.m_width->setText("1");
    ASSERT_TRUE(sheet.PressNext());

    // The scaling page: the bins run from -1 (the lowest bin's lower edge,
    // below the smallest value -0.4) to 4; counts from 0 to 2.
    ASSERT_EQ(sheet.GetActivePage(), &sheet.m_scaling);
    EXPECT_EQ(sheet.m_scaling.windowTitle(), "Histogram Wizard - Set Initial Scaling");
    EXPECT_EQ(sheet.m_scaling.m_title[0]->text(), "Size");
    EXPECT_EQ(sheet.m_scaling.m_title[1]->text(), "Number");
    double x0 = -1, x1 = 4, y0 = 0, y1 = 2;
    AxisScale::MakeNiceRange(false, x0, x1);
    AxisScale::MakeNiceRange(false, y0, y1);
    EXPECT_DOUBLE_EQ(sheet.m_scaling.m_dFrom[0], x0);
    EXPECT_LE(sheet.m_scaling.m_dFrom[0], -1.0);
    EXPECT_DOUBLE_EQ(sheet.m_scaling.m_dTo[0], x1);
    EXPECT_DOUBLE_EQ(sheet.m_scaling.m_dFrom[1], y0);
    EXPECT_DOUBLE_EQ(sheet.m_scaling.m_dTo[1], y1);
    ASSERT_TRUE(sheet.PressNext());

    ASSERT_EQ(sheet.GetActivePage(), &sheet.m_ticks);
    EXPECT_EQ(sheet.GetWizardButtons(), PSWIZB_BACK | PSWIZB_NEXT);
    sheet.m_ticks.m_styles[5]->setChecked(true);
    ASSERT_TRUE(sheet.PressNext());

    ASSERT_EQ(sheet.GetActivePage(), &sheet.m_bars);
    EXPECT_EQ(sheet.GetWizardButtons(), PSWIZB_BACK | PSWIZB_FINISH);
    CHistoBarStylePage& bars = sheet.m_bars;
    EXPECT_TRUE(bars.m_fills[6]->isChecked());
    bars.m_foreCheck->setChecked(false);
    EXPECT_FALSE(bars.m_backCheck->isEnabled());
    EXPECT_FALSE(bars.m_fore->isEnabled());
    EXPECT_FALSE(bars.m_back->isEnabled());
    bars.m_foreCheck->setChecked(true);
    bars.m_backCheck->setChecked(false);
    EXPECT_TRUE(bars.m_backCheck->isEnabled());
    EXPECT_FALSE(bars.m_back->isEnabled());
    bars.m_fills[10]->setChecked(true);
    bars.m_barType->setCurrentIndex(1);
    bars.m_outlineStyle->setCurrentIndex(3);
    bars.m_outlineWidth->setText("0");
    EXPECT_FALSE(sheet.PressFinish());
    EXPECT_EQ(f.reporter.Ids().back(), IDS_MEASUREMENT_RANGE);
    const MeasurementUnit unit(MeasurementUnit::Preference().GetUnit(), 720);
    bars.m_outlineWidth->setText(QString::fromStdString(unit.Format(20)));
    ASSERT_TRUE(sheet.PressFinish());
    EXPECT_EQ(sheet.result(), ID_WIZFINISH);

    CDrawHistoGraph* graph = f.NewGraph();
    sheet.ApplyToGraph(graph, true);
    ASSERT_EQ(graph->GetDatasetCount(), 1);
    auto* d = dynamic_cast<CXYDatasetHisto*>(graph->GetDataset(0));
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->m_strSource, "Particles");
    EXPECT_EQ(d->m_nColumn, 0);
    EXPECT_EQ(d->m_bWeights, 0);
    EXPECT_EQ(d->m_nFillStyle, 10);
    EXPECT_EQ(d->m_nBarType, 1);
    EXPECT_EQ(d->m_bBackOn, 0);
    EXPECT_EQ(d->m_crFore, 0x00FF00u);
    EXPECT_EQ(d->m_nOutlineStyle, 2); // list index 3: the dotted pen
    EXPECT_EQ(d->m_nOutlineWidth, 20);
    EXPECT_DOUBLE_EQ(d->m_dBinWidth, 1.0);
    EXPECT_DOUBLE_EQ(d->m_dOrigin, 0.0);
    ASSERT_EQ(d->GetPointCount(), 5);
    EXPECT_EQ(d->m_x, (std::vector<double>{-1, 0, 1, 2, 3}));
    EXPECT_EQ(d->m_y, (std::vector<double>{1, 1, 2, 1, 2}));
    // Tick style 5: every tick outside.
    EXPECT_EQ(graph->GetXAxis(0)->m_nTickStyle1, 1);
    EXPECT_EQ(graph->GetYAxis(0)->m_nTickStyle2, 1);
    EXPECT_EQ(graph->GetXAxis(0)->GetTitle()->GetText(), "Size");
    EXPECT_EQ(graph->GetYAxis(0)->GetTitle()->GetText(), "Number");
    EXPECT_DOUBLE_EQ(graph->GetXAxis(0)->m_dMin, x0);
    EXPECT_TRUE(graph->GetLegend()->IsShown());
}

TEST(HistoWizard, WeightsCountEachValueByItsNumberAndShiftTheCounts)
{
    HistoFixture f;
    CHistoWizardSheet sheet(&f.catalog, &f.doc);
    sheet.Start();
    Choose(sheet.m_source.m_source, "Particles");
    sheet.m_source.m_values->setCurrentIndex(0);
    sheet.m_source.m_weightsCheck->setChecked(true);
    sheet.m_source.m_weights->setCurrentIndex(1);
    // Origin 0.5, width 2: bins [-1.5,0.5) -0.4 (3); [0.5,2.5) 0.5 1.2 1.7 2.0 (2+1+1+5); [2.5,4.5) 3.1 3.9 (1+1).
    sheet.m_source.m_origin->setText("0.5");
    sheet.m_source.m_width->setText("2");
    ASSERT_TRUE(sheet.PressNext());
    double x0 = -1.5, x1 = 4.5, y0 = 0, y1 = 9;
    AxisScale::MakeNiceRange(false, x0, x1);
    AxisScale::MakeNiceRange(false, y0, y1);
    EXPECT_DOUBLE_EQ(sheet.m_scaling.m_dFrom[0], x0);
    EXPECT_DOUBLE_EQ(sheet.m_scaling.m_dTo[0], x1);
    EXPECT_DOUBLE_EQ(sheet.m_scaling.m_dTo[1], y1);
    ASSERT_TRUE(sheet.PressNext());
    ASSERT_TRUE(sheet.PressNext());
    ASSERT_TRUE(sheet.PressFinish());
    CDrawHistoGraph* graph = f.NewGraph();
    sheet.ApplyToGraph(graph, true);
    auto* d = dynamic_cast<CXYDatasetHisto*>(graph->GetDataset(0));
    ASSERT_NE(d, nullptr);
    ASSERT_EQ(d->GetPointCount(), 3);
    EXPECT_EQ(d->m_y, (std::vector<double>{3, 9, 2}));
    EXPECT_EQ(d->m_x, (std::vector<double>{-1.5, 0.5, 2.5}));
}

TEST(HistoWizard, RenamingKeepsTheChoiceAndDeletingEmptiesItAndGoesBack)
{
    HistoFixture f;
    CHistoWizardSheet sheet(&f.catalog, &f.doc);
    sheet.Start();
    Choose(sheet.m_source.m_source, "Particles");
    sheet.m_source.m_values->setCurrentIndex(1);
    ASSERT_TRUE(sheet.PressNext());
    f.doc.entries.front()->name = "Sizes";
    CUpdateNotification renamed;
    renamed.kind = UN_ITEM_RENAMED;
    renamed.oldName = "Particles";
    renamed.newName = "Sizes";
    sheet.OnItemNotify(renamed);
    EXPECT_EQ(sheet.GetActivePage(), &sheet.m_scaling);
    EXPECT_EQ(sheet.m_source.m_strSource, "Sizes");
    EXPECT_EQ(sheet.m_source.m_nColumn, 1);
    EXPECT_EQ(sheet.m_source.m_source->currentText(), "Sizes");
    // A column inserted before the chosen one moves it.
    CUpdateNotification inserted(UN_COLUMNS_INSERTED, 0, 2, f.doc.Item("Sizes"));
    sheet.OnItemNotify(inserted);
    EXPECT_EQ(sheet.GetActivePage(), &sheet.m_source);
    EXPECT_EQ(sheet.m_source.m_nColumn, 3);
    sheet.SetActivePage(1);
    CUpdateNotification removing;
    removing.kind = UN_ITEM_REMOVING;
    removing.oldName = "SIZES";
    sheet.OnItemNotify(removing);
    EXPECT_EQ(sheet.GetActivePage(), &sheet.m_source);
    EXPECT_TRUE(sheet.m_source.m_strSource.empty());
    EXPECT_EQ(sheet.m_source.m_nColumn, -1);
}

TEST(HistoWizard, AddingToAGraphAsksForAxesAndNumbersTheLegend)
{
    HistoFixture f;
    CDrawHistoGraph* graph = f.NewGraph();
    graph->AddDataset(new CXYDatasetHisto("Particles", 0, 0, -1, graph), "first");
    CHistoWizardSheet sheet(graph, &f.catalog, &f.doc);
    sheet.Start();
    ASSERT_EQ(sheet.GetPageCount(), 3);
    EXPECT_EQ(sheet.m_source.m_legend->text(), "Data set #%1");
    Choose(sheet.m_source.m_source, "Particles");
    sheet.m_source.m_values->setCurrentIndex(1);
    ASSERT_TRUE(sheet.PressNext());
    ASSERT_EQ(sheet.GetActivePage(), &sheet.m_association);
    ASSERT_TRUE(sheet.PressNext());
    ASSERT_EQ(sheet.GetActivePage(), &sheet.m_bars);
    ASSERT_TRUE(sheet.PressFinish());
    sheet.ApplyToGraph(graph, false);
    ASSERT_EQ(graph->GetDatasetCount(), 2);
    EXPECT_EQ(graph->GetLegend()->GetText(1)->GetText(), "Data set #2");
    EXPECT_EQ(dynamic_cast<CXYDatasetHisto*>(graph->GetDataset(1))->m_nColumn, 1);
}

TEST(HistoPropertyForms, RestoreApplyAndCancelOfTheDataSourceAndBarStyle)
{
    HistoFixture f;
    CDrawHistoGraph* graph = f.NewGraph();
    auto* d = new CXYDatasetHisto("Particles", 0, 0, -1, graph);
    d->m_nFillStyle = 12;
    d->m_nOutlineStyle = 1;
    d->m_crFore = 0x123456;
    graph->AddDataset(d, "sizes");
    ASSERT_EQ(d->GetPointCount(), 5);
    {
        // Untouched pages write back what they showed.
        CHistoEditDataSourcePage source(d, &f.catalog);
        CDataPointHistoPage bars(d);
        EXPECT_EQ(source.m_values->currentIndex(), 0);
        EXPECT_TRUE(bars.m_fills[12]->isChecked());
        EXPECT_EQ(bars.m_outlineStyle->currentIndex(), 2);
        ASSERT_TRUE(ApplyPropertyPage(source));
        ASSERT_TRUE(ApplyPropertyPage(bars));
    }
    EXPECT_EQ(d->m_nFillStyle, 12);
    EXPECT_EQ(d->m_nOutlineStyle, 1);
    EXPECT_EQ(d->m_crFore, 0x123456u);
    EXPECT_EQ(d->m_nColumn, 0);
    EXPECT_DOUBLE_EQ(d->m_dBinWidth, 1.0);
    {
        // Cancel: changes on a page that is not applied go nowhere.
        CHistoEditDataSourcePage source(d, &f.catalog);
        source.m_width->setText("2");
        CDataPointHistoPage bars(d);
        bars.m_fills[3]->setChecked(true);
    }
    EXPECT_DOUBLE_EQ(d->m_dBinWidth, 1.0);
    EXPECT_EQ(d->m_nFillStyle, 12);

    CHistoEditDataSourcePage source(d, &f.catalog);
    EXPECT_FALSE(source.IsModified());
    source.m_width->setText("0");
    EXPECT_FALSE(ApplyPropertyPage(source));
    EXPECT_EQ(f.reporter.Ids().back(), IDS_HISTO_INCREMENT);
    source.m_weightsCheck->setChecked(true);
    source.m_width->setText("2");
    EXPECT_FALSE(ApplyPropertyPage(source));
    EXPECT_EQ(f.reporter.Ids().back(), IDS_HISTO_NO_NUMBERS_COLUMN);
    source.m_weights->setCurrentIndex(1);
    source.m_origin->setText("0.5");
    ASSERT_TRUE(ApplyPropertyPage(source));
    // The histogram is counted again with the new bins and weights.
    EXPECT_EQ(d->m_bWeights, 1);
    EXPECT_EQ(d->m_nWeightsColumn, 1);
    ASSERT_EQ(d->GetPointCount(), 3);
    EXPECT_EQ(d->m_y, (std::vector<double>{3, 9, 2}));
    // Choosing another source empties the column choices.
    Choose(source.m_source, "");
    EXPECT_EQ(source.m_values->currentIndex(), -1);
    EXPECT_FALSE(ApplyPropertyPage(source));
    EXPECT_EQ(f.reporter.Ids().back(), IDS_NO_DATA_SOURCE);
}

TEST(HistoBins, CountTheSameBinsAsTheHistogram)
{
    HistoFixture f;
    struct Case {
        double origin, width;
        double first, last, largest;
    };
    // By hand over -0.4 0.5 1.2 1.7 2.0 3.1 3.9.
    for (const Case& c : {Case{0, 1, -1, 3, 2}, Case{0.5, 2, -1.5, 2.5, 4}, Case{-10, 100, -10, -10, 7},
                          Case{0.25, 0.5, -0.75, 3.75, 1}}) {
        const HistoBins bins = CountHistoBins(*f.table, 0, false, -1, c.origin, c.width);
        ASSERT_TRUE(bins.valid);
        EXPECT_DOUBLE_EQ(bins.firstEdge, c.first) << c.origin << " " << c.width;
        EXPECT_DOUBLE_EQ(bins.lastEdge, c.last) << c.origin << " " << c.width;
        EXPECT_DOUBLE_EQ(bins.largestCount, c.largest) << c.origin << " " << c.width;
    }
    EXPECT_FALSE(CountHistoBins(*f.table, 0, false, -1, 0, 0).valid);
    EXPECT_FALSE(CountHistoBins(*f.table, 0, false, -1, 0, 1e-300).valid);
    EXPECT_FALSE(CountHistoBins(*f.table, 5, false, -1, 0, 1).valid);
}
