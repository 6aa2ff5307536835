// The dataset pages without a wizard twin (error bars, data source) and the
// legend order page: what they show, Apply, and Cancel.
#include "WizardSupport.h"

#include "data/DataString.h"
#include "graph/DrawGraph.h"
#include "graph/GraphText.h"
#include "graph/Legend.h"
#include "graph/XYDatasetFit.h"
#include "graph/XYDatasetTable.h"
#include "graphui/widgets/DatasetPages.h"
#include "graphui/widgets/XYWizard.h"
#include "platform/StringIds.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

namespace {

struct PagesFixture : GraphFixture {
    PagesFixture() : catalog(doc)
    {
        CMyData& t = doc.AddTable("Sample");
        FillColumn(t, 0, {1, 2, 3, 4});
        FillColumn(t, 1, {2, 4, 6, 8});
        FillColumn(t, 2, {0.5, 0.5, 0.5, 0.5});
        FillColumn(t, 3, {0.25, 0.25, 0.25, 0.25});
        CMyData& other = doc.AddTable("Other");
        FillColumn(other, 0, {10, 20});
        FillColumn(other, 1, {1, 2});
        FakeFit& f = doc.AddFit("Fit of Sample");
        f.table = &t;
        f.tableItem = doc.Item("Sample");
        graph = new CDrawXYGraph(RECT{1000, -1000, 5000, -4000}, &page);
    }
    RecordingReporter reporter;
    TestCatalog catalog;
    CDrawXYGraph* graph;
};

} // namespace

TEST(ErrorsPage, ShowsExplicitModesAndWritesBackWhatItShowed)
{
    PagesFixture f;
    auto* d = new CXYDatasetTable("Sample", 0, 1, 2, f.graph); // Y errors from column 2
    d->m_nYErrorMode = 3;
    d->m_nXErrorMode = 0;
    d->m_nYMinusColumn = 3; // not used in mode 3
    d->m_nErrorCaps = 0;
    f.graph->AddDataset(d, "sample");
    {
        CXYErrorsPage page(d, &f.catalog, false);
        CXYErrorsPage::Axis& y = page.m_axes[1];
        EXPECT_TRUE(y.modes[3]->isChecked());
        EXPECT_FALSE(y.minusCheck->isChecked());
        // A single column shows as both the plus and the minus column.
        EXPECT_EQ(y.plusCombo->currentIndex(), 2);
        EXPECT_EQ(y.minusCombo->currentIndex(), 2);
        EXPECT_FALSE(y.minusCombo->isEnabled());
        EXPECT_TRUE(page.m_style->isEnabled());
        EXPECT_FALSE(page.m_xyType->isEnabled());
        EXPECT_FALSE(page.m_table->isEnabled());
        EXPECT_EQ(page.m_style->currentIndex(), 1);
        ASSERT_TRUE(ApplyPropertyPage(page));
    }
    EXPECT_EQ(d->m_nYErrorMode, 3);
    EXPECT_EQ(d->m_nYPlusColumn, 2);
    EXPECT_EQ(d->m_nXErrorMode, 0);
    EXPECT_EQ(d->m_nErrorCaps, 0);
    EXPECT_EQ(d->m_strSource, "Sample");
    {
        // Cancel: nothing reaches the dataset.
        CXYErrorsPage page(d, &f.catalog, false);
        page.m_axes[0].modes[1]->click();
    }
    EXPECT_EQ(d->m_nXErrorMode, 0);

    CXYErrorsPage page(d, &f.catalog, false);
    CXYErrorsPage::Axis& y = page.m_axes[1];
    // Explicit to absolute and back with the minus box clear: the same plus and minus column.
    y.modes[1]->click();
    EXPECT_TRUE(y.absoluteEdit->isEnabled());
    EXPECT_FALSE(y.plusCombo->isEnabled());
    y.modes[3]->click();
    EXPECT_EQ(y.plusCombo->currentIndex(), 2);
    EXPECT_EQ(y.minusCombo->currentIndex(), 2);
    // Two columns: the minus one must be chosen.
    y.minusCheck->click();
    EXPECT_TRUE(y.minusCombo->isEnabled());
    y.minusCombo->setCurrentIndex(-1);
    EXPECT_FALSE(ApplyPropertyPage(page));
    EXPECT_EQ(f.reporter.Ids().back(), IDS_NO_ERROR_VALUES_COLUMN);
    y.minusCombo->setCurrentIndex(3);
    // X proportional by 12.5 per cent: both axes set, so the XY type opens.
    page.m_axes[0].modes[2]->click();
    EXPECT_TRUE(page.m_xyType->isEnabled());
    page.m_axes[0].proportionalEdit->setText("12.5");
    page.m_xyType->setCurrentIndex(2);
    EXPECT_TRUE(page.IsModified());
    ASSERT_TRUE(ApplyPropertyPage(page));
    EXPECT_EQ(d->m_nYErrorMode, 4);
    EXPECT_EQ(d->m_nYPlusColumn, 2);
    EXPECT_EQ(d->m_nYMinusColumn, 3);
    EXPECT_EQ(d->m_nXErrorMode, 2);
    EXPECT_DOUBLE_EQ(d->m_dXPropError, 12.5);
    EXPECT_EQ(d->m_nXYErrorStyle, 2);
    // The points were read again with the minus errors.
    ASSERT_EQ(d->GetPointCount(), 4);
    ASSERT_EQ(d->m_yMinus.size(), 4u);
    EXPECT_DOUBLE_EQ(d->m_yMinus[0], 0.25);
}

TEST(ErrorsPage, AFitChoosesTheTableOfItsErrorColumns)
{
    PagesFixture f;
    auto* d = new CXYDatasetFit("Fit of Sample", f.graph, 0);
    d->m_strSource.clear();
    f.graph->AddDataset(d, "fit");
    CXYErrorsPage page(d, &f.catalog, true);
    EXPECT_FALSE(page.m_table->isEnabled());
    page.m_axes[1].modes[3]->click();
    EXPECT_TRUE(page.m_table->isEnabled());
    EXPECT_FALSE(ApplyPropertyPage(page));
    EXPECT_EQ(f.reporter.Ids().back(), IDS_NO_ERROR_TABLE);
    page.m_table->setCurrentIndex(page.m_table->findText("Other"));
    EXPECT_EQ(page.m_axes[1].plusCombo->count(), 2);
    EXPECT_FALSE(ApplyPropertyPage(page));
    EXPECT_EQ(f.reporter.Ids().back(), IDS_NO_ERROR_VALUES_COLUMN);
    page.m_axes[1].plusCombo->setCurrentIndex(1);
    ASSERT_TRUE(ApplyPropertyPage(page));
    EXPECT_EQ(d->m_strSource, "Other");
    EXPECT_EQ(d->m_nYErrorMode, 3);
    EXPECT_EQ(d->m_nYPlusColumn, 1);
    EXPECT_EQ(d->m_nYMinusColumn, 1);
}

TEST(DataSourcePage, RestoreApplyAndCancel)
{
    PagesFixture f;
    auto* d = new CXYDatasetTable("Sample", 0, 1, -1, f.graph);
    f.graph->AddDataset(d, "sample");
    {
        CDataSourcePage page(d, &f.catalog);
        EXPECT_EQ(page.m_table->currentText(), "Sample");
        EXPECT_EQ(page.m_y->currentIndex(), 1);
        EXPECT_FALSE(page.m_transform->isEnabled());
        EXPECT_FALSE(page.IsModified());
        ASSERT_TRUE(ApplyPropertyPage(page));
    }
    EXPECT_EQ(d->m_nXColumn, 0);
    EXPECT_EQ(d->m_nYColumn, 1);
    {
        CDataSourcePage page(d, &f.catalog);
        page.m_y->setCurrentIndex(2);
    }
    EXPECT_EQ(d->m_nYColumn, 1);

    CDataSourcePage page(d, &f.catalog);
    page.m_table->setCurrentIndex(page.m_table->findText("Other"));
    EXPECT_TRUE(page.IsModified());
    ASSERT_EQ(page.m_x->count(), 2);
    page.m_x->setCurrentIndex(-1);
    page.m_y->setCurrentIndex(-1);
    EXPECT_FALSE(ApplyPropertyPage(page));
    page.m_x->setCurrentIndex(1);
    EXPECT_FALSE(ApplyPropertyPage(page));
    page.m_y->setCurrentIndex(0);
    page.m_transformCheck->setChecked(true);
    EXPECT_FALSE(ApplyPropertyPage(page));
    EXPECT_EQ(f.reporter.Ids(), (std::vector<UINT>{IDS_SELECT_DATA_COLUMN, IDS_SELECT_DATA_COLUMN,
                                                   IDS_SELECT_TRANSFORMATION}));
    page.m_transformCheck->setChecked(false);
    ASSERT_TRUE(ApplyPropertyPage(page));
    EXPECT_EQ(d->m_strSource, "Other");
    EXPECT_EQ(d->m_nXColumn, 1);
    EXPECT_EQ(d->m_nYColumn, 0);
    ASSERT_EQ(d->GetPointCount(), 2);
    EXPECT_EQ(d->m_x, (std::vector<double>{1, 2}));
    EXPECT_EQ(d->m_y, (std::vector<double>{10, 20}));
}

TEST(LegendOrderPage, TheLastEntryMovedUpTwiceEndsThirdFromTheEnd)
{
    PagesFixture f;
    const char* names[4] = {"a", "b", "c", "d"};
    for (int i = 0; i < 4; ++i)
        f.graph->AddDataset(new CXYDatasetTable("Sample", 0, 1, -1, f.graph), names[i]);
    CLegend* legend = f.graph->GetLegend();
    {
        CLegendOrderPage page(legend);
        EXPECT_EQ(page.m_list->currentRow(), 0);
        EXPECT_FALSE(page.m_up->isEnabled());
        page.m_list->setCurrentRow(3);
        EXPECT_FALSE(page.m_down->isEnabled());
        page.MoveUp();
        // Cancel: the legend keeps its order.
    }
    EXPECT_EQ(legend->GetSample(3)->GetIndex(), 3);
    CLegendOrderPage page(legend);
    page.m_list->setCurrentRow(3);
    page.MoveUp();
    page.MoveUp();
    EXPECT_EQ(page.m_list->currentRow(), 1);
    EXPECT_EQ(page.m_list->item(1)->text(), "d");
    page.m_columns->setText("0");
    EXPECT_FALSE(ApplyPropertyPage(page));
    page.m_columns->setText("2");
    ASSERT_TRUE(ApplyPropertyPage(page));
    EXPECT_EQ(legend->m_nColumns, 2);
    const int order[4] = {0, 3, 1, 2};
    for (int n = 0; n < 4; ++n) {
        EXPECT_EQ(legend->GetSample(n)->GetIndex(), order[n]);
        EXPECT_EQ(legend->GetText(n)->GetText(), names[order[n]]);
        EXPECT_EQ(f.graph->GetLegendEntryDataset(n), f.graph->GetDataset(order[n]));
    }
    // Applying again, untouched, keeps the order.
    ASSERT_TRUE(ApplyPropertyPage(page));
    EXPECT_EQ(legend->GetSample(1)->GetIndex(), 3);
}
