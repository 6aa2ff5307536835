// The parameter and constant pages of an equation curve's sheet: what they
// show, what Apply does to the drawn curve, values read from a table, and
// what they refuse.
#include "WizardSupport.h"

#include "draw/DrawDC.h"
#include "equation/Equation.h"
#include "graph/DrawGraph.h"
#include "graph/XYAxis.h"
#include "graph/XYDatasetFit.h"
#include "graphui/widgets/XYWizard.h"
#include "platform/StringIds.h"

#include <QComboBox>
#include <QImage>
#include <QPainter>
#include <QRadioButton>
#include <QTableWidget>

#include <gtest/gtest.h>

#include <cmath>

namespace {

// y = a x + b + k over x from 0 to 10 and y from 0 to 100, on a graph of
// 1000 page units square drawn at a tenth (one pixel per ten page units).
struct CurveFixture : GraphFixture {
    CurveFixture() : catalog(doc)
    {
        auto eq = std::make_unique<CEquation>();
        eq->SetYName("y");
        eq->SetXName(0, "x", "");
        eq->SetParameterName(0, "a", "");
        eq->SetParameterName(1, "b", "");
        eq->SetConstantName(0, "k", "");
        eq->SetModeFlag(1);
        eq->SetSource("y = a * x + b + k");
        eq->Compile();
        eq->ResizeValues();
        doc.AddEquation("Line", std::move(eq));
        CMyData& t = doc.AddTable("Values");
        FillColumn(t, 0, {1, 2});
        FillColumn(t, 1, {3, 0.5});
        graph = new CDrawXYGraph(RECT{0, 0, 1000, 1000}, &page);
        curve = new CXYDatasetCurve("Line", graph);
        curve->m_params = {2.0, 1.0};
        curve->m_consts = {0.0};
        curve->m_crCurve = 0x0000FF;
        curve->m_nCurveWidth = 30;
        graph->AddDataset(curve, "line");
        for (CXYAxis* axis : {graph->GetXAxis(0), graph->GetYAxis(0)}) {
            axis->m_bAutoMin = axis->m_bAutoMax = 0;
            axis->m_dMin = 0.0;
        }
        graph->GetXAxis(0)->m_dMax = 10.0;
        graph->GetYAxis(0)->m_dMax = 100.0;
    }
    // Whether the drawn curve passes through the pixel of (x, y).
    bool DrawnThrough(double x, double y) const
    {
        QImage image(120, 120, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.translate(0.5, 110);
        painter.scale(0.1, -0.1);
        CDrawDC dc;
        dc.painter = &painter;
        dc.pixelX = dc.pixelY = 10.0;
        curve->DrawCurve(dc, *graph->GetXAxis(0), *graph->GetYAxis(0), 0);
        painter.end();
        const double px = graph->GetXAxis(0)->ValueToDevice(x) / 10.0 + 0.5;
        const double py = 110.0 - graph->GetYAxis(0)->ValueToDevice(y) / 10.0;
        return image.pixelColor(int(std::lround(px)), int(std::lround(py))) == QColor(255, 0, 0);
    }
    RecordingReporter reporter;
    TestCatalog catalog;
    CDrawXYGraph* graph;
    CXYDatasetCurve* curve;
};

} // namespace

TEST(CurveParamsProp, ShowsTheCurvesValuesAndApplyMovesTheCurve)
{
    CurveFixture f;
    // 2 x + 1 at x = 5.
    ASSERT_TRUE(f.DrawnThrough(5.0, 11.0));
    CCurveParamsProp page(f.curve, &f.catalog);
    EXPECT_EQ(page.windowTitle(), "Curve Parameters");
    EXPECT_EQ(page.GetTemplateId(), 3557);
    EXPECT_TRUE(page.m_direct->isChecked());
    EXPECT_FALSE(page.m_table->isEnabled());
    ASSERT_EQ(page.m_grid->rowCount(), 2);
    EXPECT_EQ(page.m_grid->item(0, 0)->text(), "a");
    EXPECT_EQ(page.m_grid->item(1, 0)->text(), "b");
    EXPECT_EQ(page.m_grid->item(0, 1)->text(), "2");
    EXPECT_EQ(page.m_grid->item(1, 1)->text(), "1");
    page.m_grid->item(0, 1)->setText("4");
    ASSERT_TRUE(ApplyPropertyPage(page));
    EXPECT_EQ(f.curve->m_params, (std::vector<double>{4.0, 1.0}));
    EXPECT_EQ(f.curve->m_bParamsFromTable, 0);
    // 4 x + 1 at x = 5 is 21; nothing is left at the old 11.
    EXPECT_TRUE(f.DrawnThrough(5.0, 21.0));
    EXPECT_FALSE(f.DrawnThrough(5.0, 11.0));
}

TEST(CurveParamsProp, ReadFromTableTakesTheColumnsValues)
{
    CurveFixture f;
    CCurveParamsProp page(f.curve, &f.catalog);
    page.m_fromTable->setChecked(true);
    EXPECT_TRUE(page.m_table->isEnabled());
    EXPECT_FALSE(page.m_grid->isEnabled());
    page.m_table->setCurrentIndex(page.m_table->findText("Values"));
    ASSERT_EQ(page.m_column->count(), 2);
    page.m_column->setCurrentIndex(1);
    EXPECT_EQ(page.m_grid->item(0, 1)->text(), "3");
    EXPECT_EQ(page.m_grid->item(1, 1)->text(), "0.5");
    ASSERT_TRUE(ApplyPropertyPage(page));
    EXPECT_EQ(f.curve->m_bParamsFromTable, 1);
    EXPECT_EQ(f.curve->m_strParamTable, "Values");
    EXPECT_EQ(f.curve->m_nParamColumn, 1);
    EXPECT_EQ(f.curve->m_params, (std::vector<double>{3.0, 0.5}));
    // 3 x + 0.5 at x = 5.
    EXPECT_TRUE(f.DrawnThrough(5.0, 15.5));

    // Reopened, the page shows the table and column it reads.
    CCurveParamsProp again(f.curve, &f.catalog);
    EXPECT_TRUE(again.m_fromTable->isChecked());
    EXPECT_EQ(again.m_table->currentText(), "Values");
    EXPECT_EQ(again.m_column->currentIndex(), 1);
}

TEST(CurveParamsProp, ABlankValueIsRefusedAndCancelChangesNothing)
{
    CurveFixture f;
    {
        CCurveParamsProp page(f.curve, &f.catalog);
        page.m_grid->item(1, 1)->setText("");
        EXPECT_FALSE(ApplyPropertyPage(page));
        EXPECT_EQ(f.reporter.Ids().back(), IDS_NUMERIC_ENTRIES_INVALID);
        // Cancel: the page goes without Apply.
        page.m_grid->item(1, 1)->setText("7");
    }
    EXPECT_EQ(f.curve->m_params, (std::vector<double>{2.0, 1.0}));
    EXPECT_TRUE(f.DrawnThrough(5.0, 11.0));
}

TEST(CurveParamsProp, AnotherEquationReadsItsValuesFromTheSameColumn)
{
    CurveFixture f;
    auto eq = std::make_unique<CEquation>();
    eq->SetYName("y");
    eq->SetXName(0, "x", "");
    eq->SetParameterName(0, "c", "");
    eq->SetParameterName(1, "d", "");
    eq->SetParameterName(2, "e", "");
    eq->SetModeFlag(1);
    eq->SetSource("y = c + d * x + e * x^2");
    eq->Compile();
    f.doc.AddEquation("Quadratic", std::move(eq));
    CCurveParamsProp page(f.curve, &f.catalog);
    page.m_fromTable->setChecked(true);
    page.m_table->setCurrentIndex(page.m_table->findText("Values"));
    page.m_column->setCurrentIndex(1);
    page.ShowEquation("Quadratic");
    // Three names now, their values the column's first three rows (the third is empty).
    ASSERT_EQ(page.m_grid->rowCount(), 3);
    EXPECT_EQ(page.m_grid->item(2, 0)->text(), "e");
    EXPECT_TRUE(page.m_fromTable->isChecked());
    EXPECT_EQ(page.m_table->currentText(), "Values");
    EXPECT_EQ(page.m_column->currentIndex(), 1);
    EXPECT_EQ(page.m_grid->item(0, 1)->text(), "3");
    EXPECT_EQ(page.m_grid->item(1, 1)->text(), "0.5");
    EXPECT_EQ(page.m_grid->item(2, 1)->text(), "");
    // An equation that no longer exists lists nothing.
    page.ShowEquation("Gone");
    EXPECT_EQ(page.m_grid->rowCount(), 0);
}

TEST(CurveConstProp, EditsTheConstants)
{
    CurveFixture f;
    CCurveConstProp page(f.curve, &f.catalog);
    EXPECT_EQ(page.windowTitle(), "Curve Constants");
    EXPECT_EQ(page.GetTemplateId(), 3558);
    ASSERT_EQ(page.m_grid->rowCount(), 1);
    EXPECT_EQ(page.m_grid->item(0, 0)->text(), "k");
    page.m_grid->item(0, 1)->setText("20");
    ASSERT_TRUE(ApplyPropertyPage(page));
    EXPECT_EQ(f.curve->m_consts, (std::vector<double>{20.0}));
    EXPECT_EQ(f.curve->m_params, (std::vector<double>{2.0, 1.0}));
    // 2 x + 1 + 20 at x = 5.
    EXPECT_TRUE(f.DrawnThrough(5.0, 31.0));
}
