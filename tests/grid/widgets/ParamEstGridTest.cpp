#include "equation/Equation.h"
#include "grid/widgets/ParamEstGrid.h"


#include <QApplication>
#include <QLabel>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

void Settle()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

// A compiled equation with two parameters, one labelled, and a dialog with
// the grid's placeholder.
struct EstimateFixture {
    EstimateFixture()
    {
        eq.SetYName("y");
        eq.SetXName(0, "x", "");
        eq.SetParameterName(0, "a", "Amplitude");
        eq.SetParameterName(1, "k", "");
        eq.SetParameterDefinition(0, "ymax");
        eq.SetSource("y = a*exp(-k*x)");
        eq.Compile();
        dialog = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(dialog.get());
        auto* placeholder = new QLabel("Grid goes here", dialog.get());
        placeholder->setProperty("controlId", 1207);
        layout->addWidget(placeholder);
        dialog->resize(420, 240);
        dialog->show();
        QApplication::setActiveWindow(dialog.get());
        grid = new CParamEstGrid;
        attached = grid->Attach(&eq, dialog.get(), 1207);
        grid->SetChangeHandler([this](bool wasValid) { changes.push_back(wasValid); });
        Settle();
    }
    std::string Text(int row, int column)
    {
        std::string t;
        if (row == 0 || column == 0)
            grid->GetHeaderText(row, column, t);
        else
            grid->GetCellValueText(row, column, t);
        return t;
    }
    CEquation eq;
    std::unique_ptr<QWidget> dialog;
    CParamEstGrid* grid = nullptr;
    bool attached = false;
    std::vector<bool> changes;
};

} // namespace

TEST(ParamEstGrid, OneRowPerParameterWithNameAndDefinition)
{
    EstimateFixture f;
    ASSERT_TRUE(f.attached);
    ASSERT_TRUE(f.eq.IsValid());
    EXPECT_EQ(f.grid->GetData().m_nRowCount, 3);
    EXPECT_EQ(f.Text(0, 1), "Parameter");
    EXPECT_EQ(f.Text(0, 2), "Definition");
    EXPECT_EQ(f.Text(1, 0), "1");
    EXPECT_EQ(f.Text(1, 1), "Amplitude"); // the label when there is one
    EXPECT_EQ(f.Text(2, 1), "k");
    EXPECT_EQ(f.Text(1, 2), "ymax");
    EXPECT_EQ(f.Text(2, 2), "");          // past the end of the definitions

    CEquation none;
    f.grid->Attach(&none, f.dialog.get(), 0);
    EXPECT_EQ(f.grid->GetData().m_nRowCount, 1); // the heading row only
}

TEST(ParamEstGrid, ATypedDefinitionMakesTheEquationNeedCompiling)
{
    EstimateFixture f;
    // The same text again changes nothing.
    f.grid->SetCellText(1, 2, "ymax");
    EXPECT_TRUE(f.eq.IsValid());
    EXPECT_TRUE(f.changes.empty());

    f.grid->setFocus();
    f.grid->SetCurrentCell(2, 2);
    ASSERT_EQ(QApplication::focusWidget(), f.grid);
    for (char c : std::string("1/xmax"))
        QTest::keyClick(QApplication::focusWidget(), c);
    ASSERT_NE(QApplication::focusWidget(), f.grid);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    Settle();
    EXPECT_EQ(f.eq.GetParameterDefinition(1), "1/xmax");
    EXPECT_FALSE(f.eq.IsValid());
    EXPECT_EQ(f.changes, std::vector<bool>{true});
    // A second change finds the equation already needing a compile.
    f.grid->SetCellText(1, 2, "ymax*2");
    EXPECT_EQ(f.changes, (std::vector<bool>{true, false}));
    // The names are not edited.
    f.grid->SetCellText(1, 1, "b");
    EXPECT_EQ(f.Text(1, 1), "Amplitude");
}

TEST(ParamEstGrid, EditCommandsOnlyInTheDefinitionColumn)
{
    EstimateFixture f;
    QApplication::clipboard();
    auto enabled = [&](int id) {
        CGridCmdState state;
        f.grid->OnUpdateCommand(id, state);
        return state.enabled;
    };
    f.grid->SetCurrentCell(1, 1);
    EXPECT_FALSE(enabled(ID_EDIT_PASTE));
    EXPECT_FALSE(enabled(ID_EDIT_COPY));
    EXPECT_FALSE(enabled(ID_EDIT_CLEAR));
    f.grid->SetCurrentCell(1, 2);
    EXPECT_TRUE(enabled(ID_EDIT_COPY));
}

TEST(ParamEstGrid, NarrowingKeepsTheNumberColumnAndSplitsTheRestInThirds)
{
    EstimateFixture f;
    const int numbers = f.grid->GetColumnWidth(0, false);
    f.grid->resize(300, 150);
    Settle();
    EXPECT_EQ(f.grid->GetColumnWidth(0, false), numbers);
    const int names = f.grid->GetColumnWidth(1, false), definitions = f.grid->GetColumnWidth(2, false);
    EXPECT_GT(names, 0);
    EXPECT_NEAR(definitions, 2 * names, 2);
}
