// The transformation item's window as a user drives it: the associated
// equation chosen, the point and curve definitions typed, Compile, and the
// compiled transformation applied to the points of a data table.
#include "app/MXDoc.h"
#include "app/MXEquation.h"
#include "app/MXGrid.h"
#include "app/MXTransform.h"
#include "app/widgets/MXApp.h"
#include "app/widgets/MXMainWnd.h"
#include "app/widgets/TransTabForm.h"
#include "equation/Equation.h"
#include "equation/EquationTransform.h"
#include "equation/Transformation.h"
#include "equation/widgets/SyntaxEdit.h"
#include "framework/UpdateNotification.h"
#include "platform/widgets/CommandIds.h"
#include "ItemWindowTestSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

class TransformationWindowTest : public ItemWindowTest {
protected:
    void SetUp() override
    {
        ItemWindowTest::SetUp();
        // A compiled equation to transform with: y = a exp(-k x) + c.
        equation = new CMXEquation(doc());
        equation->InitNewItem();
        CEquation& eq = equation->GetCompiledEquation();
        eq.SetYName("y");
        eq.SetXName(0, "x", "");
        eq.SetParameterName(0, "a", "");
        eq.SetParameterName(1, "k", "");
        eq.SetConstantName(0, "c", "");
        eq.SetModeFlag(1);
        eq.SetSource("y = a*exp(-k*x) + c");
        eq.Compile();
        ASSERT_TRUE(Run(ID_ADD_TRANSFORM));
        auto* frame = dynamic_cast<CTransProjectWnd*>(main->GetActiveItemFrame());
        ASSERT_NE(frame, nullptr);
        form = frame->GetForm();
        item = form->GetTransItem();
    }
    template <class Page>
    Page* Tab(int index)
    {
        return ItemWindowTest::Tab<Page>(form, index);
    }

    CMXEquation* equation = nullptr;
    CTransTabForm* form = nullptr;
    CMXTransform* item = nullptr;
};

} // namespace

TEST_F(TransformationWindowTest, ACompiledTransformationIsAppliedToATable)
{
    ASSERT_EQ(form->GetTabCount(), TRANS_TAB_COUNT);
    CTransformation& t = item->GetTransformation();
    // Without an associated equation Compile says so on the General tab.
    ASSERT_TRUE(Run(ID_EQUATION_COMPILE));
    EXPECT_EQ(reporter->Ids(), std::vector<UINT>{1132});
    EXPECT_EQ(form->GetCurrentTab(), TRANS_TAB_GENERAL);

    auto* general = Tab<CTransGeneralView>(TRANS_TAB_GENERAL);
    QComboBox* list = general->GetEquationList();
    ASSERT_EQ(list->count(), 1);
    list->setCurrentIndex(0);
    emit list->activated(0);
    EXPECT_EQ(t.GetReferenceName(), equation->GetName());

    // The Data Points tab lists the equation's symbols and takes the definitions.
    auto* data = Tab<CTransDataView>(TRANS_TAB_DATA);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->GetParameterList()->count(), 2);
    EXPECT_EQ(data->GetConstantList()->count(), 1);
    QTest::keyClicks(data->GetEditor(0), "xdata");
    QTest::keyClicks(data->GetEditor(1), "ln(ydata - C) +");
    Settle();
    // The point's value and the constant take their declared spellings.
    EXPECT_EQ(data->GetEditor(1)->toPlainText().toStdString(), "ln(YData - c) +");
    EXPECT_EQ(data->GetEditor(0)->toPlainText().toStdString(), "XData");
    auto* curve = Tab<CTransCurveView>(TRANS_TAB_CURVE);
    curve->GetFlag()->click();
    EXPECT_FALSE(curve->GetEditor(0)->isEnabled());
    EXPECT_TRUE(curve->GetFirstName()->isEnabled() == false);

    ASSERT_TRUE(Run(ID_EQUATION_COMPILE));
    EXPECT_EQ(reporter->Ids().back(), 8197u);
    EXPECT_EQ(form->GetCurrentTab(), TRANS_TAB_DATA);
    EXPECT_TRUE(data->GetEditor(1)->textCursor().hasSelection());
    EXPECT_FALSE(t.IsCompiled());

    data->GetEditor(1)->SetText("ln(ydata - c)");
    ASSERT_TRUE(Run(ID_EQUATION_COMPILE));
    EXPECT_EQ(reporter->Ids().size(), 2u);
    EXPECT_TRUE(t.IsCompiled());
    EXPECT_EQ(Pane(), "Compiled");
    EXPECT_EQ(notices.Count(UN_TRANSFORM_CHANGED), 1);
    // A compiled transformation that compiles again says nothing.
    ASSERT_TRUE(form->Compile());
    EXPECT_EQ(notices.Count(UN_TRANSFORM_CHANGED), 1);

    // Applied to the points of a table: x stays, y becomes ln(y - c).
    auto* table = new CMXGrid(doc());
    table->InitNewItem();
    const double xs[] = {0.0, 0.5, 1.0, 2.0};
    CEquation& eq = equation->GetCompiledEquation();
    eq.ResizeValues();
    eq.GetConstantValues()[0] = 0.25;
    for (int i = 0; i < 4; ++i) {
        table->GetTable().SetNumber(2 + i, 0, xs[i]);
        table->GetTable().SetNumber(2 + i, 1, 0.25 + 3.0 * std::exp(-0.7 * xs[i]));
    }
    CEquationTransform transform;
    t.PrepareDataTransform(eq, transform);
    transform.ResizeValues();
    transform.GetConstantValues()[0] = 0.25;
    for (int i = 0; i < 4; ++i) {
        double x = 0, y = 0;
        ASSERT_TRUE(table->GetTable().GetNumber(2 + i, 0, x));
        ASSERT_TRUE(table->GetTable().GetNumber(2 + i, 1, y));
        transform.SetPoint(x, y);
        EXPECT_EQ(transform.EvaluateX(), x);
        // ln(3 exp(-0.7 x)) = ln 3 - 0.7 x, to rounding.
        EXPECT_NEAR(transform.EvaluateY(), std::log(3.0) - 0.7 * x, 1e-12);
    }

    // Typing in a compiled definition turns it back, announced once.
    Tab<CTransDataView>(TRANS_TAB_DATA);
    QTest::keyClicks(data->GetEditor(0), " * 1");
    QTest::keyClicks(data->GetEditor(0), " * 1");
    Settle();
    main->GetRouter().UpdateAll();
    EXPECT_FALSE(t.IsCompiled());
    EXPECT_EQ(Pane(), "Not compiled");
    EXPECT_EQ(notices.Count(UN_TRANSFORM_CHANGED), 2);
}

TEST_F(TransformationWindowTest, TheAssociatedEquationFollowsRenamesAndItsChanges)
{
    CTransformation& t = item->GetTransformation();
    t.SetReferenceName(equation->GetName());
    auto* curve = Tab<CTransCurveView>(TRANS_TAB_CURVE);
    EXPECT_EQ(curve->GetParameterList()->count(), 2);
    // A changed associated equation refills the lists.
    equation->GetCompiledEquation().SetParameterName(2, "b", "");
    equation->GetCompiledEquation().SetSource("y = a*exp(-k*x) + c + b");
    equation->GetCompiledEquation().Compile();
    CUpdateNotification note;
    note.kind = UN_EQUATION_CHANGED;
    note.item = equation;
    note.state = 1;
    doc()->NotifyItems(note, true);
    doc()->UpdateAllViews(nullptr, UPDATE_HINT_NOTIFICATION, &note);
    EXPECT_EQ(curve->GetParameterList()->count(), 3);
    // A double click puts the name at the caret of the curve's definition.
    curve->GetParameterList()->setCurrentRow(1);
    emit curve->GetParameterList()->itemDoubleClicked(curve->GetParameterList()->item(1));
    EXPECT_EQ(curve->GetEditor(0)->toPlainText().toStdString(), "k");

    // Printing an uncompiled transformation ends after its header block.
    QTemporaryDir dir;
    QPdfWriter pdf(dir.filePath("transformation.pdf"));
    EXPECT_EQ(form->PrintTo(pdf), 1);
}

TEST_F(TransformationWindowTest, ClearingTheDataPointsPartGreysItsDefinitionsNotTheGraphNames)
{
    item->GetTransformation().SetReferenceName(equation->GetName());
    auto* data = Tab<CTransDataView>(TRANS_TAB_DATA);
    ASSERT_TRUE(data->GetFlag()->isChecked());
    data->GetFlag()->click();
    EXPECT_FALSE(item->GetTransformation().GetTransformData());
    EXPECT_FALSE(data->GetEditor(0)->isEnabled());
    EXPECT_FALSE(data->GetEditor(1)->isEnabled());
    EXPECT_FALSE(data->GetParameterList()->isEnabled());
    EXPECT_TRUE(data->GetFirstName()->isEnabled());
    EXPECT_TRUE(data->GetSecondName()->isEnabled());
    // A double click on the Data Points tab inserts nothing.
    data->GetFlag()->click();
    ASSERT_GT(data->GetParameterList()->count(), 0);
    emit data->GetParameterList()->itemDoubleClicked(data->GetParameterList()->item(0));
    EXPECT_TRUE(data->GetEditor(0)->toPlainText().isEmpty());
}
