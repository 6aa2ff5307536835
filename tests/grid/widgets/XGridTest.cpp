#include "GridWidgetsSupport.h"

#include "grid/widgets/XGrid.h"
#include "support/TestSupport.h"

#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <memory>

namespace {

using Strings = std::vector<std::string>;

// A dialog with the symbol grid and its two buttons as the equation form lays them out.
struct XGridFixture {
    explicit XGridFixture(Strings s = {"a", "b", "c", "d"}) : symbols(std::move(s))
    {
        descriptions.assign(symbols.size(), "");
        for (std::size_t i = 0; i < symbols.size(); ++i)
            descriptions[i] = "about " + symbols[i];
        dialog = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(dialog.get());
        grid = new CXGrid(dialog.get());
        deleteButton = new QPushButton("&Delete Row", dialog.get());
        deleteButton->setProperty("controlId", 1180);
        insertButton = new QPushButton("&Insert Row", dialog.get());
        insertButton->setProperty("controlId", 1181);
        layout->addWidget(grid);
        layout->addWidget(deleteButton);
        layout->addWidget(insertButton);
        grid->setMinimumSize(400, 300);
        dialog->show();
        QApplication::setActiveWindow(dialog.get());
        grid->SetChangeHandler([this] { ++changes; });
        attached = grid->Attach(&pending, &symbols, &descriptions, true);
        grid->setFocus();
        Settle();
    }
    ~XGridFixture()
    {
        dialog.reset();
        Settle();
    }
    std::string Header(int row, int column)
    {
        std::string text;
        grid->GetHeaderText(row, column, text);
        return text;
    }
    void Select(int top, int bottom)
    {
        grid->SetCurrentCell(top, 1);
        grid->SetSelection(CGridRange{1, top, 2, bottom});
    }
    bool Enabled(int id)
    {
        CGridCmdState state;
        grid->OnUpdateCommand(id, state);
        return state.enabled;
    }

    Strings symbols, descriptions;
    int pending = 1;
    int changes = 0;
    std::unique_ptr<QWidget> dialog;
    CXGrid* grid;
    QPushButton* deleteButton;
    QPushButton* insertButton;
    bool attached = false;
};

} // namespace

TEST(XGridTest, RowsAreTheSymbolsAnEmptyRowAndTheHeading)
{
    XGridFixture f;
    ASSERT_TRUE(f.attached);
    EXPECT_EQ(f.grid->GetData().m_nRowCount, 6); // 4 symbols + 2
    EXPECT_EQ(f.Header(0, 1), "Symbol");
    EXPECT_EQ(f.Header(0, 2), "Description");
    EXPECT_EQ(f.Header(4, 0), "4");
    EXPECT_EQ(f.Header(5, 0), ""); // the empty row has no number
    std::string text;
    f.grid->GetCellValueText(2, 1, text);
    EXPECT_EQ(text, "b");
    f.grid->GetCellValueText(2, 2, text);
    EXPECT_EQ(text, "about b");
}

TEST(XGridTest, SymbolsTakeIdentifierCharactersOnly)
{
    XGridFixture f(Strings{});
    RecordingReporter reporter;
    f.grid->SetCurrentCell(1, 1);
    for (char c : std::string("x 1"))
        QTest::keyClick(QApplication::focusWidget(), c);
    ASSERT_NE(QApplication::focusWidget(), f.grid);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    Settle();
    EXPECT_EQ(f.symbols, Strings{"x1"});
    EXPECT_EQ(reporter.beeps, 1);
    EXPECT_EQ(f.grid->GetData().m_nRowCount, 3);
    EXPECT_EQ(f.grid->GetCurrentRow(), 2); // on the new empty row

    // A character that is no identifier never opens the editor.
    QTest::keyClick(f.grid, '-');
    EXPECT_EQ(QApplication::focusWidget(), f.grid);
    EXPECT_EQ(reporter.beeps, 2);
}

TEST(XGridTest, ClearingTheLastSymbolRemovesItsRow)
{
    XGridFixture f;
    ASSERT_EQ(f.grid->SetCellText(4, 1, ""), 1);
    EXPECT_EQ(f.symbols, (Strings{"a", "b", "c"}));
    EXPECT_EQ(f.descriptions.size(), 3u);
    EXPECT_EQ(f.grid->GetData().m_nRowCount, 5);
    // A symbol cleared inside the list leaves an empty row in its place.
    f.grid->SetCellText(2, 1, "");
    EXPECT_EQ(f.symbols, (Strings{"a", "", "c"}));
    EXPECT_EQ(f.grid->GetData().m_nRowCount, 5);
}

TEST(XGridTest, DeleteRowRemovesExactlyTheSelectedRows)
{
    XGridFixture f;
    f.Select(2, 3);
    ASSERT_TRUE(f.Enabled(ID_EDIT_DELETE_ROW));
    f.grid->OnCommand(ID_EDIT_DELETE_ROW);
    EXPECT_EQ(f.symbols, (Strings{"a", "d"}));
    EXPECT_EQ(f.descriptions, (Strings{"about a", "about d"}));
    EXPECT_EQ(f.grid->GetData().m_nRowCount, 4);

    // A selection reaching into the empty row removes the symbol rows only.
    f.Select(2, 3);
    f.grid->OnCommand(ID_EDIT_DELETE_ROW);
    EXPECT_EQ(f.symbols, (Strings{"a"}));
    EXPECT_EQ(f.grid->GetData().m_nRowCount, 3);
    EXPECT_GT(f.changes, 0);
}

TEST(XGridTest, RowCommandsNeedOneRangeOffTheEmptyRow)
{
    XGridFixture f;
    f.Select(5, 5); // the empty row
    EXPECT_FALSE(f.Enabled(ID_EDIT_DELETE_ROW));
    EXPECT_FALSE(f.Enabled(ID_EDIT_INSERT_ROW));
    f.Select(1, 1);
    EXPECT_TRUE(f.Enabled(ID_EDIT_DELETE_ROW));
    f.grid->SetSelection(CGridRange{1, 3, 1, 3}, 1); // a second range
    EXPECT_FALSE(f.Enabled(ID_EDIT_DELETE_ROW));
    EXPECT_FALSE(f.Enabled(IDC_XGRID_DELETE_ROW));
}

TEST(XGridTest, ButtonsDoWhatTheirLabelsSay)
{
    XGridFixture f;
    f.Select(2, 2);
    f.deleteButton->click(); // 1180 "&Delete Row"
    EXPECT_EQ(f.symbols, (Strings{"a", "c", "d"}));
    f.Select(2, 2);
    f.insertButton->click(); // 1181 "&Insert Row"
    EXPECT_EQ(f.symbols, (Strings{"a", "", "c", "d"}));
    EXPECT_EQ(f.descriptions, (Strings{"about a", "", "about c", "about d"}));
    EXPECT_EQ(f.grid->GetData().m_nRowCount, 6);
}

TEST(XGridTest, SetRowGrowsTheListAndTellsTheOwner)
{
    XGridFixture f(Strings{});
    f.pending = 1;
    f.grid->SetRow(2, "k", "rate");
    EXPECT_EQ(f.symbols, (Strings{"", "", "k"}));
    EXPECT_EQ(f.descriptions, (Strings{"", "", "rate"}));
    EXPECT_EQ(f.grid->GetData().m_nRowCount, 5);
    EXPECT_EQ(f.pending, 0);
    EXPECT_EQ(f.changes, 1);
    std::string symbol, description;
    f.grid->GetRow(2, symbol, description);
    EXPECT_EQ(symbol, "k");
    EXPECT_EQ(description, "rate");
}
