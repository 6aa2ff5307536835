// The property pages of a chart series (bar style, data source, error bars,
// value axes) and of a chart's category axis (categories, labels, ticks):
// what they show, Apply, Cancel, and what they refuse.
#include "WizardSupport.h"

#include "data/DataString.h"
#include "graph/DrawGraph.h"
#include "graph/ScaleText.h"
#include "graph/XYAxis.h"
#include "graph/XYDatasetChart.h"
#include "graphui/widgets/CategoryPages.h"
#include "graphui/widgets/ChartPages.h"
#include "graphui/widgets/PageHelpers.h"
#include "platform/StringIds.h"
#include "ui/MeasurementUnit.h"
#include "ui/widgets/ColourCombo.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>

#include <gtest/gtest.h>

namespace {

struct ChartPagesFixture : GraphFixture {
    ChartPagesFixture() : catalog(doc)
    {
        CMyData& t = doc.AddTable("Harvest");
        const char* crops[] = {"Wheat", "Barley", "Oats"};
        for (int r = 0; r < 3; ++r)
            t.SetCell(r + 2, 0, new CDataString(crops[r]));
        FillColumn(t, 1, {12, 20, 7});
        FillColumn(t, 2, {1, 2, 0.5});
        FillColumn(t, 3, {5, 8, 3});
        CMyData& other = doc.AddTable("Other");
        FillColumn(other, 0, {4, 5, 6});
        graph = new CDrawColumnGraph(RECT{1000, -1000, 5000, -4000}, &page);
        graph->GetCategoryAxis()->SetCategorySource("Harvest", 0);
        series = new CXYDatasetColChart("Harvest", 1, -1, -1, -1, graph);
        series->m_nFillStyle = 12;
        series->m_nOutlineStyle = 2;
        series->m_crFore = 0x123456;
        series->m_crNegFore = 0x654321;
        series->m_bNegative = 1;
        graph->AddDataset(series, "2019");
    }
    RecordingReporter reporter;
    TestCatalog catalog;
    CDrawColumnGraph* graph;
    CXYDatasetColChart* series;
};

void Choose(QComboBox* combo, const char* text) { combo->setCurrentIndex(combo->findText(text)); }

} // namespace

TEST(ChartBarStyleProp, RestoreApplyAndCancel)
{
    ChartPagesFixture f;
    {
        // Untouched, the page writes back what it showed.
        CDataPointChartPage page(f.series);
        EXPECT_EQ(page.windowTitle(), "Bar Style");
        EXPECT_EQ(page.m_bColumns, 1);
        EXPECT_TRUE(page.m_fills[12]->isChecked());
        EXPECT_EQ(page.m_outlineStyle->currentIndex(), 3);
        EXPECT_TRUE(page.m_negativeCheck->isChecked());
        EXPECT_FALSE(page.IsModified());
        ASSERT_TRUE(ApplyPropertyPage(page));
    }
    EXPECT_EQ(f.series->m_nFillStyle, 12);
    EXPECT_EQ(f.series->m_nOutlineStyle, 2);
    EXPECT_EQ(f.series->m_crFore, 0x123456u);
    EXPECT_EQ(f.series->m_crNegFore, 0x654321u);
    EXPECT_EQ(f.series->m_bNegative, 1);
    {
        // Cancel: a page that is not applied changes nothing.
        CDataPointChartPage page(f.series);
        page.m_fills[3]->setChecked(true);
        page.m_barType->setCurrentIndex(1);
    }
    EXPECT_EQ(f.series->m_nFillStyle, 12);
    EXPECT_EQ(f.series->m_nBarType, 0);

    CDataPointChartPage page(f.series);
    page.m_outlineWidth->setText("0");
    EXPECT_FALSE(ApplyPropertyPage(page));
    EXPECT_EQ(f.reporter.Ids().back(), IDS_MEASUREMENT_RANGE);
    EXPECT_EQ(f.series->m_nOutlineWidth, 8);
    page.m_outlineWidth->setText(QString::fromStdString(pages::PointUnit().Format(16)));
    page.m_fills[3]->setChecked(true);
    // An area has no negative colours.
    page.m_barType->setCurrentIndex(1);
    ASSERT_TRUE(ApplyPropertyPage(page));
    EXPECT_EQ(f.series->m_nFillStyle, 3);
    EXPECT_EQ(f.series->m_nBarType, 1);
    EXPECT_EQ(f.series->m_bNegative, 0);
    EXPECT_EQ(f.series->m_nOutlineWidth, 16);
    // A bar series shows bar pictures.
    auto* bar = new CXYDatasetBarChart("Harvest", 1, -1, -1, -1, f.graph);
    f.graph->AddDataset(bar, "bars");
    EXPECT_EQ(CDataPointChartPage(bar).m_bColumns, 0);
}

TEST(ChartBarStyleProp, SeveralSeriesKeepWhatDiffersBetweenThem)
{
    ChartPagesFixture f;
    auto* other = new CXYDatasetColChart("Harvest", 3, -1, -1, -1, f.graph);
    other->m_nFillStyle = 4;
    other->m_nOutlineStyle = 2;
    other->m_crFore = 0x00FF00;
    other->m_crNegFore = 0x654321;
    other->m_bNegative = 1;
    other->m_bBackOn = 0;
    f.graph->AddDataset(other, "2018");
    CXYDatasetColChart* a = f.series;
    {
        CDataPointChartPage page({a, other});
        // Fill style, fore colour and the back box differ: shown undetermined.
        for (QRadioButton* b : page.m_fills)
            EXPECT_FALSE(b->isChecked());
        EXPECT_EQ(page.m_fore->currentIndex(), -1);
        EXPECT_EQ(page.m_backCheck->checkState(), Qt::PartiallyChecked);
        // What they share shows as it is.
        EXPECT_EQ(page.m_negativeCheck->checkState(), Qt::Checked);
        EXPECT_EQ(page.m_outlineStyle->currentIndex(), 3);
        EXPECT_EQ(page.m_negFore->GetColour().m_colour, 0x654321u);
        ASSERT_TRUE(ApplyPropertyPage(page));
    }
    EXPECT_EQ(a->m_nFillStyle, 12);
    EXPECT_EQ(other->m_nFillStyle, 4);
    EXPECT_EQ(a->m_crFore, 0x123456u);
    EXPECT_EQ(other->m_crFore, 0x00FF00u);
    EXPECT_EQ(a->m_bBackOn, 1);
    EXPECT_EQ(other->m_bBackOn, 0);
    EXPECT_EQ(other->m_nOutlineStyle, 2);
    {
        // Changing one setting writes it into both; the rest stays each series' own.
        CDataPointChartPage page({a, other});
        page.m_outlineWidth->setText(QString::fromStdString(pages::PointUnit().Format(16)));
        page.m_fills[7]->setChecked(true);
        ASSERT_TRUE(ApplyPropertyPage(page));
    }
    EXPECT_EQ(a->m_nOutlineWidth, 16);
    EXPECT_EQ(other->m_nOutlineWidth, 16);
    EXPECT_EQ(a->m_nFillStyle, 7);
    EXPECT_EQ(other->m_nFillStyle, 7);
    EXPECT_EQ(a->m_crFore, 0x123456u);
    EXPECT_EQ(other->m_crFore, 0x00FF00u);
    EXPECT_EQ(other->m_bBackOn, 0);
    {
        CDataPointChartPage page({a, other});
        page.m_backCheck->setCheckState(Qt::Checked);
        ASSERT_TRUE(ApplyPropertyPage(page));
    }
    EXPECT_EQ(a->m_bBackOn, 1);
    EXPECT_EQ(other->m_bBackOn, 1);
}

TEST(ChartDataSourceProp, RestoreApplyAndCancel)
{
    ChartPagesFixture f;
    {
        CChartEditDataSourcePage page(f.series, &f.catalog);
        EXPECT_EQ(page.m_table->currentText(), "Harvest");
        EXPECT_EQ(page.m_upper->currentIndex(), 1);
        EXPECT_FALSE(page.m_lowerCheck->isChecked());
        EXPECT_FALSE(page.m_lower->isEnabled());
        ASSERT_TRUE(ApplyPropertyPage(page));
    }
    EXPECT_EQ(f.series->m_nUpperColumn, 1);
    EXPECT_EQ(f.series->m_nLowerColumn, -1);
    {
        CChartEditDataSourcePage page(f.series, &f.catalog);
        page.m_upper->setCurrentIndex(3);
    }
    EXPECT_EQ(f.series->m_nUpperColumn, 1);

    CChartEditDataSourcePage page(f.series, &f.catalog);
    page.m_lowerCheck->setChecked(true);
    EXPECT_TRUE(page.m_lower->isEnabled());
    EXPECT_FALSE(ApplyPropertyPage(page));
    EXPECT_EQ(f.reporter.Ids().back(), IDS_NO_CHART_DATA_COLUMN);
    page.m_lower->setCurrentIndex(3);
    page.m_upper->setCurrentIndex(2);
    ASSERT_TRUE(ApplyPropertyPage(page));
    EXPECT_EQ(f.series->m_nUpperColumn, 2);
    EXPECT_EQ(f.series->m_nLowerColumn, 3);
    // The series reads its values again.
    EXPECT_EQ(f.series->m_y, (std::vector<double>{1, 2, 0.5}));
    EXPECT_EQ(f.series->m_x, (std::vector<double>{5, 8, 3}));
    // Another table empties the column choices; none is refused.
    Choose(page.m_table, "Other");
    EXPECT_EQ(page.m_upper->currentIndex(), -1);
    EXPECT_TRUE(page.IsModified());
    EXPECT_FALSE(ApplyPropertyPage(page));
    EXPECT_EQ(f.reporter.Ids().back(), IDS_NO_CHART_DATA_COLUMN);
    EXPECT_EQ(f.series->m_strSource, "Harvest");
    page.m_upper->setCurrentIndex(0);
    page.m_lowerCheck->setChecked(false);
    ASSERT_TRUE(ApplyPropertyPage(page));
    EXPECT_EQ(f.series->m_strSource, "Other");
    EXPECT_EQ(f.series->m_nLowerColumn, -1);
    EXPECT_EQ(f.series->m_y, (std::vector<double>{4, 5, 6}));
}

TEST(ChartErrorsProp, NamesTheBarEndsAndStartsAndWritesTheUpperErrors)
{
    ChartPagesFixture f;
    CChartErrorsPage page(f.series, &f.catalog);
    EXPECT_EQ(page.GetTemplateId(), 3588);
    EXPECT_TRUE(page.m_xyType->isHidden());
    const QList<QGroupBox*> boxes = page.findChildren<QGroupBox*>(Qt::FindDirectChildrenOnly);
    ASSERT_EQ(boxes.size(), 2);
    EXPECT_EQ(boxes[CChartErrorsPage::kUpper]->title(), "Upper data error bars");
    EXPECT_EQ(boxes[CChartErrorsPage::kLower]->title(), "Lower data error bars");
    CXYErrorsPage::Axis& upper = page.m_axes[CChartErrorsPage::kUpper];
    upper.modes[3]->click();
    EXPECT_FALSE(ApplyPropertyPage(page));
    EXPECT_EQ(f.reporter.Ids().back(), IDS_NO_ERROR_VALUES_COLUMN);
    upper.plusCombo->setCurrentIndex(2);
    ASSERT_TRUE(ApplyPropertyPage(page));
    EXPECT_EQ(f.series->m_nYErrorMode, 3);
    EXPECT_EQ(f.series->m_nYPlusColumn, 2);
    EXPECT_EQ(f.series->m_nXErrorMode, 0);
    EXPECT_EQ(f.series->m_yPlus, (std::vector<double>{1, 2, 0.5}));
}

TEST(ColumnAssocProp, EditsTheValueAxesOfTheSeries)
{
    ChartPagesFixture f;
    {
        CColumnAssocProp page(f.series);
        ASSERT_EQ(page.m_list->count(), 1);
        EXPECT_EQ(page.m_list->item(0)->checkState(), Qt::Checked);
        page.m_list->item(0)->setCheckState(Qt::Unchecked);
        EXPECT_TRUE(page.IsModified());
        EXPECT_FALSE(ApplyPropertyPage(page));
        EXPECT_EQ(f.reporter.Ids().back(), IDS_SELECT_ONE_AXIS);
        // Cancel after a refused Apply leaves the series as it was.
    }
    EXPECT_EQ(f.series->m_yAxes, (std::vector<std::uint32_t>{0}));
    f.graph->AddAxes(0, 1);
    CColumnAssocProp page(f.series);
    ASSERT_EQ(page.m_list->count(), 2);
    EXPECT_EQ(page.m_list->item(1)->checkState(), Qt::Unchecked);
    page.SelectAll();
    ASSERT_TRUE(ApplyPropertyPage(page));
    EXPECT_EQ(f.series->m_yAxes, (std::vector<std::uint32_t>{0, 1}));
    EXPECT_EQ(f.series->m_xAxes, (std::vector<std::uint32_t>{0}));
}

TEST(CategoryAxisProp, RestoreApplyAndCancel)
{
    ChartPagesFixture f;
    CXYAxis* axis = f.graph->GetCategoryAxis();
    axis->m_category.overlap = 12.5; // a fraction from a file: kept while untouched
    {
        CCategoryAxisPage page(f.graph, axis, &f.catalog);
        EXPECT_EQ(page.m_table->currentText(), "Harvest");
        EXPECT_EQ(page.m_column->currentIndex(), 0);
        EXPECT_EQ(page.m_overlap->text(), "12.5%");
        EXPECT_EQ(page.m_gap->text(), "50%");
        EXPECT_TRUE(page.m_crossing->isEnabled());
        ASSERT_TRUE(ApplyPropertyPage(page));
    }
    EXPECT_DOUBLE_EQ(axis->m_category.overlap, 12.5);
    EXPECT_DOUBLE_EQ(axis->m_category.gap, 50.0);
    EXPECT_EQ(axis->m_category.column, 0);
    {
        CCategoryAxisPage page(f.graph, axis, &f.catalog);
        page.m_gap->setText("80%");
        page.m_between->setChecked(false);
    }
    EXPECT_DOUBLE_EQ(axis->m_category.gap, 50.0);
    EXPECT_EQ(axis->m_category.ticksBetween, 1);

    CCategoryAxisPage page(f.graph, axis, &f.catalog);
    page.m_drawValueAxis->setChecked(false);
    EXPECT_FALSE(page.m_crossing->isEnabled());
    EXPECT_FALSE(page.m_crossingLabel->isEnabled());
    page.m_drawValueAxis->setChecked(true);
    page.m_crossing->setText("2");
    page.m_labelInterval->setText("2");
    page.m_tickInterval->setText("3");
    page.m_between->setChecked(false);
    page.m_percentages->setChecked(true);
    page.m_gap->setText(" 0%");
    page.m_overlap->setText("-10");
    ASSERT_TRUE(ApplyPropertyPage(page));
    const CCategoryAxisData& c = axis->m_category;
    EXPECT_EQ(c.crossingCategory, 2);
    EXPECT_EQ(c.labelInterval, 2);
    EXPECT_EQ(c.tickInterval, 3);
    EXPECT_EQ(c.ticksBetween, 0);
    EXPECT_EQ(c.percentages, 1);
    EXPECT_DOUBLE_EQ(c.gap, 0.0);
    EXPECT_DOUBLE_EQ(c.overlap, -10.0);
    // The names are read again: three categories centred on 0, 1 and 2.
    EXPECT_EQ(c.labels, (std::vector<std::string>{"Wheat", "Barley", "Oats"}));
    EXPECT_DOUBLE_EQ(axis->m_dMin, -0.5);
    EXPECT_DOUBLE_EQ(axis->m_dMax, 2.5);
    EXPECT_DOUBLE_EQ(axis->m_dMajor, 3.0);

    // No column: refused with the category message, the page stays.
    page.m_column->setCurrentIndex(-1);
    EXPECT_FALSE(ApplyPropertyPage(page));
    EXPECT_EQ(f.reporter.Ids().back(), IDS_SELECT_CATEGORY_COLUMN);
    EXPECT_EQ(axis->m_category.column, 0);
}

TEST(CategoryAxisProp, PercentFieldsReadWhatTheyShowAndRefuseTheRest)
{
    ChartPagesFixture f;
    CXYAxis* axis = f.graph->GetCategoryAxis();
    struct Case {
        const char* text;
        bool accepted;
        double value;
    };
    // Overlap accepts -100 to 100; what the field shows (" 0%", "-25%") reads back.
    const Case cases[] = {{" 0%", true, 0},   {"-25%", true, -25}, {"100 %", true, 100}, {"  40  ", true, 40},
                          {"+7%", true, 7},   {"abc", false, 0},   {"12.5", false, 0},   {"%", false, 0},
                          {"101%", false, 0}, {"", false, 0},      {"5%%", false, 0}};
    for (const Case& k : cases) {
        axis->m_category.overlap = -25.0;
        CCategoryAxisPage page(f.graph, axis, &f.catalog);
        page.m_overlap->setText(k.text);
        const std::size_t messages = f.reporter.Ids().size();
        EXPECT_EQ(ApplyPropertyPage(page), k.accepted) << k.text;
        if (k.accepted) {
            EXPECT_DOUBLE_EQ(axis->m_category.overlap, k.value) << k.text;
            EXPECT_EQ(f.reporter.Ids().size(), messages) << k.text;
        } else {
            // Refused with a message; nothing is written.
            EXPECT_DOUBLE_EQ(axis->m_category.overlap, -25.0) << k.text;
            ASSERT_EQ(f.reporter.Ids().size(), messages + 1) << k.text;
        }
    }
    EXPECT_EQ(f.reporter.Ids()[0], IDS_INVALID_PERCENT);
    // The range message for 101%.
    EXPECT_EQ(f.reporter.Ids()[3], IDS_ENTER_INTEGER_RANGE);
}

TEST(CategoryAxisProp, SummedAndSeparateSetTheOverlapWhateverWasTyped)
{
    ChartPagesFixture f;
    CCategoryAxisPage page(f.graph, f.graph->GetCategoryAxis(), &f.catalog);
    page.m_overlap->setText("33%");
    page.m_grouping->setCurrentIndex(1);
    emit page.m_grouping->activated(1);
    EXPECT_EQ(page.m_overlap->text(), "100%");
    page.m_overlap->setText("7");
    page.m_grouping->setCurrentIndex(0);
    emit page.m_grouping->activated(0);
    EXPECT_EQ(page.m_overlap->text(), "-25%");
    page.m_grouping->setCurrentIndex(1);
    emit page.m_grouping->activated(1);
    ASSERT_TRUE(ApplyPropertyPage(page));
    EXPECT_EQ(f.graph->GetCategoryAxis()->m_category.grouping, 1);
    EXPECT_DOUBLE_EQ(f.graph->GetCategoryAxis()->m_category.overlap, 100.0);
}

TEST(CategoryFormatProp, RestoreApplyAndCancel)
{
    ChartPagesFixture f;
    CXYScaleText* labels = f.graph->GetCategoryAxis()->GetTickLabels();
    ASSERT_NE(labels, nullptr);
    const WORD alignment = labels->GetParaFormat(nullptr)->wAlignment;
    {
        CCategoryFormat page(labels);
        EXPECT_EQ(page.m_alignment->currentIndex(), alignment == PFA_LEFT ? 0 : alignment == PFA_RIGHT ? 2 : 1);
        EXPECT_EQ(page.m_orientation->currentIndex(), 0);
        ASSERT_TRUE(ApplyPropertyPage(page));
    }
    EXPECT_EQ(labels->GetParaFormat(nullptr)->wAlignment, alignment);
    EXPECT_EQ(labels->GetTextOrientation(), 0.0);
    {
        CCategoryFormat page(labels);
        page.m_orientation->setCurrentIndex(2);
    }
    EXPECT_EQ(labels->GetTextOrientation(), 0.0);
    // The list shows left, centre, right; the labels keep 1 left, 2 right, 3 centre.
    const struct {
        int index;
        WORD stored;
    } alignments[] = {{0, 1}, {1, 3}, {2, 2}};
    for (const auto& a : alignments) {
        CCategoryFormat page(labels);
        page.m_alignment->setCurrentIndex(a.index);
        page.m_orientation->setCurrentIndex(3);
        ASSERT_TRUE(ApplyPropertyPage(page));
        EXPECT_EQ(labels->GetParaFormat(nullptr)->wAlignment, a.stored);
        EXPECT_EQ(labels->GetTextOrientation(), 270.0);
        EXPECT_EQ(CCategoryFormat(labels).m_nAlignment, a.index);
    }
}

TEST(CategoryTicksProp, ASpecificSizeIsStoredAndComesBack)
{
    ChartPagesFixture f;
    CXYAxis* axis = f.graph->GetCategoryAxis();
    const MeasurementUnit distance(MeasurementUnit::LocaleUnit(), 720);
    {
        CCategoryTicksPage page(axis);
        EXPECT_EQ(page.GetTemplateId(), 3583);
        EXPECT_EQ(page.windowTitle(), "Category Ticks");
        EXPECT_TRUE(page.m_selector->isHidden());
        EXPECT_TRUE(page.m_minorWidth->isHidden());
        EXPECT_FALSE(page.m_majorWidth->isHidden());
        ASSERT_TRUE(ApplyPropertyPage(page));
    }
    EXPECT_EQ(axis->m_nTickLengthKind, 1);
    {
        CCategoryTicksPage page(axis);
        page.m_size->setCurrentIndex(3);
        page.m_specific->setText(QString::fromStdString(distance.Format(200)));
    }
    EXPECT_EQ(axis->m_nTickLengthKind, 1);
    {
        CCategoryTicksPage page(axis);
        page.m_size->setCurrentIndex(3);
        EXPECT_TRUE(page.m_specific->isEnabled());
        page.m_specific->setText(QString::fromStdString(distance.Format(3000)));
        EXPECT_FALSE(ApplyPropertyPage(page));
        EXPECT_EQ(f.reporter.Ids().back(), IDS_MEASUREMENT_RANGE);
        page.m_specific->setText(QString::fromStdString(distance.Format(200)));
        page.m_firstTicks->setCurrentIndex(2);
        ASSERT_TRUE(ApplyPropertyPage(page));
    }
    EXPECT_EQ(axis->m_nTickLengthKind, 3);
    EXPECT_EQ(axis->m_nCustomTickLength, 200);
    EXPECT_EQ(axis->m_nTickStyle1, 2);
    CCategoryTicksPage reopened(axis);
    EXPECT_EQ(reopened.m_size->currentIndex(), 3);
    EXPECT_EQ(reopened.m_nSpecificSize, 200);
    EXPECT_EQ(reopened.m_specific->text(), QString::fromStdString(distance.Format(200)));
}
