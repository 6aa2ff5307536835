// The equation item's window as a user drives it: names typed into the
// grids, a definition typed with a mistake, Compile, the message and the
// mistake selected, the mend, and a compiled equation.
#include "app/MXDoc.h"
#include "app/MXEquation.h"
#include "app/widgets/EqnTabForm.h"
#include "app/widgets/EqnTabViews.h"
#include "app/widgets/MXApp.h"
#include "app/widgets/MXMainWnd.h"
#include "equation/Equation.h"
#include "equation/widgets/SyntaxEdit.h"
#include "framework/UpdateNotification.h"
#include "grid/widgets/ParamEstGrid.h"
#include "grid/widgets/XGrid.h"
#include "platform/StringIds.h"
#include "platform/widgets/CommandIds.h"
#include "ItemWindowTestSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <QTabBar>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

class EquationWindowTest : public ItemWindowTest {
protected:
    void SetUp() override
    {
        ItemWindowTest::SetUp();
        ASSERT_TRUE(Run(ID_ADD_EQUATION));
        ASSERT_EQ(main->GetFrames().size(), 1u);
        frame = dynamic_cast<CEqnProjectWnd*>(main->GetFrames().front());
        ASSERT_NE(frame, nullptr);
        form = frame->GetForm();
        ASSERT_NE(form, nullptr);
        item = form->GetEqnItem();
    }
    template <class Page>
    Page* Tab(int index)
    {
        return ItemWindowTest::Tab<Page>(form, index);
    }
    // Types a name into row of a symbol grid, as a user does: the cell's
    // editor opens with the first key and Return stores it.
    void TypeName(CXGrid* grid, int row, const char* name)
    {
        grid->setFocus();
        grid->SetCurrentCell(row, 1);
        for (const char* c = name; *c; ++c)
            QTest::keyClick(QApplication::focusWidget(), *c);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        Settle();
    }

    CEqnProjectWnd* frame = nullptr;
    CEqnTabForm* form = nullptr;
    CMXEquation* item = nullptr;
};

} // namespace

TEST_F(EquationWindowTest, AnEquationIsTypedMendedAndCompiled)
{
    ASSERT_EQ(form->GetTabCount(), EQN_TAB_COUNT);
    EXPECT_EQ(Pane(), "Not compiled");
    EXPECT_TRUE(Enabled(ID_EQUATION_COMPILE));

    auto* xs = Tab<EqnXView>(EQN_TAB_X);
    ASSERT_NE(xs, nullptr);
    TypeName(xs->GetGrid(), 1, "t");
    auto* params = Tab<CEqnParamView>(EQN_TAB_PARAMETERS);
    TypeName(params->GetGrid(), 1, "A");
    TypeName(params->GetGrid(), 2, "k");
    const CEquation& eq = item->GetCompiledEquation();
    EXPECT_EQ(eq.GetXName(0), "t");
    EXPECT_EQ(eq.GetParameterCount(), 2);

    auto* definition = Tab<CEqnDefView>(EQN_TAB_DEFINITION);
    ASSERT_NE(definition, nullptr);
    // The declared names are listed.
    EXPECT_EQ(definition->GetSymbolList(1)->count(), 2);
    QTest::keyClicks(definition->GetYNameEdit(), "Y");
    CEqnSyntaxEdit* editor = definition->GetEditor();
    editor->setFocus();
    // "a" takes the spelling of the parameter; "tt" is no symbol.
    QTest::keyClicks(editor, "y = a * exp(-k * tt)");
    Settle();
    EXPECT_EQ(editor->toPlainText().toStdString(), "y = A * exp(-k * tt)");

    ASSERT_TRUE(Run(ID_EQUATION_COMPILE));
    ASSERT_EQ(reporter->Ids(), std::vector<UINT>{8196});
    EXPECT_EQ(reporter->messages[0].args, std::vector<std::string>{"tt"});
    EXPECT_EQ(form->GetCurrentTab(), EQN_TAB_DEFINITION);
    EXPECT_EQ(editor->textCursor().selectedText().toStdString(), "tt");
    EXPECT_FALSE(eq.IsValid());
    EXPECT_EQ(Pane(), "Not compiled");

    // The mend: the selected name typed over.
    QTest::keyClick(editor, 't');
    Settle();
    EXPECT_EQ(editor->toPlainText().toStdString(), "y = A * exp(-k * t)");
    ASSERT_TRUE(Run(ID_EQUATION_COMPILE));
    EXPECT_EQ(reporter->Ids(), std::vector<UINT>{8196}); // nothing more was said
    EXPECT_TRUE(eq.IsValid());
    EXPECT_EQ(eq.GetSource(), "y = A * exp(-k * t)");
    EXPECT_EQ(eq.GetYName(), "Y");
    EXPECT_EQ(Pane(), "Compiled");
    EXPECT_FALSE(Enabled(ID_EQUATION_COMPILE));
    EXPECT_EQ(notices.Count(UN_EQUATION_CHANGED), 1);

    // The parameter grid of the Estimates tab fills with the parameters.
    auto* estimates = Tab<CEqnEstimates>(EQN_TAB_ESTIMATES);
    ASSERT_NE(estimates->GetGrid(), nullptr);
    EXPECT_EQ(estimates->GetGrid()->GetData().m_nRowCount, 3);
    std::string name;
    estimates->GetGrid()->GetCellValueText(2, 1, name);
    EXPECT_EQ(name, "k");

    // Typing in the compiled definition makes it uncompiled, announced once.
    Tab<CEqnDefView>(EQN_TAB_DEFINITION);
    editor->setFocus();
    QTest::keyClicks(editor, " + 0");
    Settle();
    main->GetRouter().UpdateAll();
    EXPECT_FALSE(eq.IsValid());
    EXPECT_EQ(Pane(), "Not compiled");
    EXPECT_EQ(notices.Count(UN_EQUATION_CHANGED), 2);
}

TEST_F(EquationWindowTest, ChecksTakeTheUserToTheFault)
{
    // No X variable: the X Variables tab and 8233, nothing else checked.
    ASSERT_TRUE(Run(ID_EQUATION_COMPILE));
    EXPECT_EQ(reporter->Ids(), std::vector<UINT>{8233});
    EXPECT_EQ(form->GetCurrentTab(), EQN_TAB_X);

    CEquation& eq = item->GetCompiledEquation();
    eq.SetXName(0, "x", "");
    eq.SetParameterName(0, "K", "");
    eq.SetParameterName(1, "", "");
    ASSERT_TRUE(Run(ID_EQUATION_COMPILE));
    EXPECT_EQ(reporter->Ids().back(), 8235u);
    EXPECT_EQ(reporter->messages.back().args, std::vector<std::string>{"2"});
    EXPECT_EQ(form->GetCurrentTab(), EQN_TAB_PARAMETERS);
    auto* params = dynamic_cast<CEqnParamView*>(form->GetTabView(EQN_TAB_PARAMETERS));
    EXPECT_EQ(params->GetGrid()->GetCurrentRow(), 2);
    EXPECT_EQ(params->GetGrid()->GetCurrentColumn(), 1);

    // A parameter K and a constant k clash.
    eq.SymbolNames(CEquationBase::SymbolParameter).resize(1);
    eq.SymbolLabels(CEquationBase::SymbolParameter).resize(1);
    eq.SetConstantName(0, "k", "");
    eq.SetYName("y");
    ASSERT_TRUE(Run(ID_EQUATION_COMPILE));
    EXPECT_EQ(reporter->Ids().back(), 8225u);
    EXPECT_EQ(form->GetCurrentTab(), EQN_TAB_PARAMETERS);

    // A name typed but not yet stored reaches the equation before the checks.
    eq.SymbolNames(CEquationBase::SymbolConstant).clear();
    eq.SymbolLabels(CEquationBase::SymbolConstant).clear();
    auto* definition = Tab<CEqnDefView>(EQN_TAB_DEFINITION);
    definition->GetYNameEdit()->setText("y");
    definition->GetEditor()->setPlainText("y = K*x");
    ASSERT_TRUE(Run(ID_EQUATION_COMPILE));
    EXPECT_TRUE(eq.IsValid()) << reporter->Ids().back();
}

TEST_F(EquationWindowTest, EstimatesNeedTheirTransformsOnlyWhenUsed)
{
    CEquation& eq = item->GetCompiledEquation();
    eq.SetYName("y");
    eq.SetXName(0, "x", "");
    eq.SetParameterName(0, "a", "");
    eq.SetParameterName(1, "k", "");
    eq.SetSource("y = a*exp(-k*x)");
    auto* estimates = Tab<CEqnEstimates>(EQN_TAB_ESTIMATES);
    // Off: the transforms and the grid are greyed.
    EXPECT_FALSE(estimates->GetXEdit()->isEnabled());
    EXPECT_FALSE(estimates->GetGrid()->isEnabled());
    estimates->GetFlag()->click();
    EXPECT_TRUE(estimates->GetXEdit()->isEnabled());
    EXPECT_TRUE(estimates->GetGrid()->isEnabled());
    EXPECT_EQ(eq.GetUseParameterDefinitions(), 1);
    estimates->GetXEdit()->setText("xdata");
    estimates->GetYEdit()->setText("ln(ydata) *");
    estimates->GetGrid()->SetCellText(1, 2, "exp(intercept)");
    estimates->GetGrid()->SetCellText(2, 2, "-gradient");
    ASSERT_TRUE(Run(ID_EQUATION_COMPILE));
    EXPECT_EQ(reporter->Ids(), std::vector<UINT>{8197});
    EXPECT_EQ(form->GetCurrentTab(), EQN_TAB_ESTIMATES);
    EXPECT_TRUE(estimates->GetYEdit()->hasSelectedText());
    estimates->GetYEdit()->setText("ln(ydata)");
    ASSERT_TRUE(Run(ID_EQUATION_COMPILE));
    EXPECT_TRUE(eq.IsValid());
}

TEST_F(EquationWindowTest, TheWindowReopensOnItsTabAndPrints)
{
    CEquation& eq = item->GetCompiledEquation();
    eq.SetYName("y");
    eq.SetXName(0, "x", "Time");
    eq.SetParameterName(0, "a", "Amplitude");
    eq.SetSource("y = a*x");
    eq.Compile();
    form->SelectTab(EQN_TAB_INDENTS);
    item->CloseWindow();
    Settle();
    EXPECT_TRUE(main->GetFrames().empty());
    ASSERT_TRUE(item->OpenWindow());
    Settle();
    form = dynamic_cast<CEqnProjectWnd*>(main->GetFrames().front())->GetForm();
    EXPECT_EQ(form->GetCurrentTab(), EQN_TAB_INDENTS);

    QTemporaryDir dir;
    QPdfWriter pdf(dir.filePath("equation.pdf"));
    EXPECT_EQ(form->PrintTo(pdf), 1);
    EXPECT_EQ(form->GetPageCount(), 1);
    EXPECT_TRUE(Enabled(ID_FILE_PRINT));
}

TEST_F(EquationWindowTest, TheYNameTakesIdentifierCharactersOnly)
{
    auto* definition = Tab<CEqnDefView>(EQN_TAB_DEFINITION);
    QLineEdit* y = definition->GetYNameEdit();
    y->setFocus();
    // "2x" is typed as it stands (Compile refuses the name later); a blank beeps.
    QTest::keyClicks(y, "2x y");
    EXPECT_EQ(y->text(), "2xy");
    EXPECT_EQ(reporter->beeps, 1);
    QTest::keyClick(y, Qt::Key_Return);
    EXPECT_EQ(item->GetCompiledEquation().GetYName(), "2xy");
    CEquation& eq = item->GetCompiledEquation();
    eq.SetXName(0, "x", "");
    eq.SetParameterName(0, "a", "");
    ASSERT_TRUE(Run(ID_EQUATION_COMPILE));
    EXPECT_EQ(reporter->Ids(), std::vector<UINT>{8238});
}

TEST_F(EquationWindowTest, EditUndoUndoesTheFocusedEditBox)
{
    auto* definition = Tab<CEqnDefView>(EQN_TAB_DEFINITION);
    QLineEdit* y = definition->GetYNameEdit();
    frame->activateWindow();
    y->setFocus();
    EXPECT_FALSE(Enabled(ID_EDIT_UNDO));
    QTest::keyClicks(y, "conc");
    EXPECT_TRUE(Enabled(ID_EDIT_UNDO));
    ASSERT_TRUE(Run(ID_EDIT_UNDO));
    EXPECT_EQ(y->text(), "");
}

TEST_F(EquationWindowTest, TextTypedOnATabIsKeptWhenAnotherTabIsChosen)
{
    auto* definition = Tab<CEqnDefView>(EQN_TAB_DEFINITION);
    definition->GetEditor()->setFocus();
    QTest::keyClicks(definition->GetEditor(), "y = a");
    // A click on another tab takes no focus from the editor: the text is kept all the same.
    form->GetTabCtrl()->GetBar()->setCurrentIndex(EQN_TAB_GENERAL);
    Settle();
    EXPECT_EQ(form->GetCurrentTab(), EQN_TAB_GENERAL);
    EXPECT_EQ(item->GetCompiledEquation().GetSource(), "y = a");
    // Coming back, the tab shows the equation as it is now.
    item->GetCompiledEquation().SetSource("y = b");
    Tab<CEqnDefView>(EQN_TAB_DEFINITION);
    EXPECT_EQ(definition->GetEditor()->toPlainText().toStdString(), "y = b");
}
