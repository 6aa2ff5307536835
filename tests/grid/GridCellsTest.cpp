#include "FakeGridHost.h"

#include "grid/CheckBoxCell.h"
#include "grid/DropDownListCell.h"
#include "grid/EditCell.h"
#include "grid/HeaderCell.h"

#include <gtest/gtest.h>

namespace {

class CABListCell : public CDropDownListCell {
    DECLARE_DYNCREATE(CABListCell)
public:
    void FillList(CGridEditor& list) override
    {
        list.AddItem("A");
        list.AddItem("B");
    }
};

struct EditFixture : GridFixture {
    EditFixture()
    {
        data.m_pDefaultCellClass = RUNTIME_CLASS(CEditCell);
        grid.Update(GRID_UPDATE_ALL, 0);
        grid.SetCurrentCell(2, 2);
    }
    CEditCell* Cell(int row, int column) { return dynamic_cast<CEditCell*>(grid.GetCellObject(row, column)); }
};

} // namespace

IMPLEMENT_DYNCREATE(CABListCell, CDropDownListCell)

TEST(GridCellsTest, TypingOverACellReplacesItsText)
{
    EditFixture f;
    f.grid.cells[{2, 2}] = "old";
    f.grid.CellChar('7', 1, 0);
    ASSERT_EQ(f.host.editorsAlive, 1);
    FakeEditor* editor = f.host.lastEditor;
    EXPECT_EQ(editor->text, "7");
    EXPECT_EQ(editor->selStart, 1); // caret after it
    EXPECT_TRUE(editor->shown);
    EXPECT_EQ(editor->rect, (RECT{192, 48, 288, 72}));
    EXPECT_EQ(editor->font.lfHeight, -13);
    EXPECT_TRUE(f.Cell(2, 2)->IsEditing());

    f.grid.CellKeyDown(VK_DOWN, 1, 0); // the grid moves: the edit commits
    EXPECT_EQ(f.host.editorsAlive, 0);
    EXPECT_EQ(f.grid.cells[std::make_pair(2, 2)], "7");
    EXPECT_EQ(f.grid.changed, (std::vector<CGridCellRef>{{2, 2, 0}}));
    EXPECT_EQ(f.grid.GetCurrentRow(), 3);
}

TEST(GridCellsTest, ControlCharactersNeverStartAnEdit)
{
    for (UINT ch : {UINT(0x08), UINT(0x09), UINT(0x0D), UINT(0x1B), UINT(0x01), UINT(0x7F)}) {
        EditFixture f;
        f.grid.CellChar(ch, 1, 0);
        EXPECT_EQ(f.host.editorsAlive, 0) << ch;
    }
}

TEST(GridCellsTest, F2EditsTheOldTextAndEscapeKeepsIt)
{
    EditFixture f;
    f.grid.cells[{2, 2}] = "old";
    f.grid.CellKeyDown(VK_F2, 1, 0);
    ASSERT_EQ(f.host.editorsAlive, 1);
    FakeEditor* editor = f.host.lastEditor;
    EXPECT_EQ(editor->text, "old");
    EXPECT_EQ(editor->selStart, 0);
    EXPECT_EQ(editor->selEnd, 3);
    editor->SendChar('n', 1, 0);
    EXPECT_TRUE(f.grid.CellEditorKeyDown(VK_ESCAPE, 1, 0));
    EXPECT_EQ(f.host.editorsAlive, 0);
    f.grid.SetCurrentCell(5, 5);
    EXPECT_EQ(f.grid.cells[std::make_pair(2, 2)], "old");
    EXPECT_EQ(f.grid.stores, 0);
}

TEST(GridCellsTest, ArrowsLeaveTheEditorOnlyAtTheEnds)
{
    EditFixture f;
    f.grid.CellChar('a', 1, 0);
    f.host.lastEditor->SendChar('b', 1, 0);
    EXPECT_FALSE(f.grid.CellEditorKeyDown(VK_RIGHT, 1, 0)); // caret at the end
    EXPECT_EQ(f.host.postedKeys, std::vector<UINT>{VK_RIGHT});
    f.host.lastEditor->SetSel(1, 1);
    f.grid.CellEditorKeyDown(VK_RIGHT, 1, 0);
    f.grid.CellEditorKeyDown(VK_LEFT, 1, 0);
    EXPECT_EQ(f.host.postedKeys.size(), 1u); // inside the text the editor keeps them
    EXPECT_TRUE(f.grid.CellEditorKeyDown(VK_RETURN, 1, 0));
    EXPECT_EQ(f.host.postedKeys.back(), UINT(VK_RETURN));

    f.grid.CellKeyDown(VK_RIGHT, 1, 0); // the posted key reaches the grid
    EXPECT_EQ(f.grid.cells[std::make_pair(2, 2)], "ab");
    EXPECT_EQ(f.grid.GetCurrentColumn(), 3);
}

TEST(GridCellsTest, RefusedStoreKeepsTheEditorAndItsText)
{
    EditFixture f;
    f.grid.refuse = "bad";
    f.grid.CellChar('b', 1, 0);
    f.host.lastEditor->SendChar('a', 1, 0);
    f.host.lastEditor->SendChar('d', 1, 0);
    f.grid.CellKeyDown(VK_DOWN, 1, 0);
    ASSERT_EQ(f.host.editorsAlive, 1);
    EXPECT_EQ(f.host.lastEditor->text, "bad");
    EXPECT_TRUE(f.host.lastEditor->modified); // leaving again tries again
    EXPECT_EQ(f.grid.GetCurrentRow(), 2);
    EXPECT_EQ(f.grid.cells.count({2, 2}), 0u);

    f.host.lastEditor->SetSel(0, 3);
    f.host.lastEditor->SendChar('g', 1, 0);
    f.grid.CellKeyDown(VK_DOWN, 1, 0);
    EXPECT_EQ(f.host.editorsAlive, 0);
    EXPECT_EQ(f.grid.cells[std::make_pair(2, 2)], "g");
    EXPECT_EQ(f.grid.GetCurrentRow(), 3);
}

TEST(GridCellsTest, DestroyingTheEditorDoesNotReenterTheCommit)
{
    EditFixture f;
    // A window toolkit may take the focus away while an editor is destroyed.
    f.host.onEditorDestroyed = [&] { f.grid.CellEditorKillFocus(); };
    f.grid.CellChar('x', 1, 0);
    f.grid.CellEditorKillFocus();
    EXPECT_EQ(f.host.editorsAlive, 0);
    EXPECT_EQ(f.grid.stores, 1);
    EXPECT_EQ(f.grid.cells[std::make_pair(2, 2)], "x");
}

TEST(GridCellsTest, EditCommandsWhileEditing)
{
    EditFixture f;
    f.grid.CellChar('x', 1, 0);
    CGridCmdState redo, undo, copy, clear;
    f.grid.OnUpdateEditRedo(redo);
    f.grid.OnUpdateEditUndo(undo);
    f.grid.OnUpdateEditCopy(copy);
    f.grid.OnUpdateEditClear(clear);
    EXPECT_FALSE(redo.enabled);
    EXPECT_EQ(redo.text, "&Redo\tCtrl+Y");
    EXPECT_TRUE(undo.enabled);
    EXPECT_FALSE(copy.enabled); // nothing selected
    EXPECT_TRUE(clear.enabled);
    // Clear with nothing selected takes the character after the caret.
    f.host.lastEditor->SetSel(0, 0);
    f.grid.ClearSelection();
    EXPECT_EQ(f.host.lastEditor->text, "");
    EXPECT_EQ(f.grid.stores, 0); // the grid's cells were not cleared
}

TEST(GridCellsTest, AnEditSurvivesScrollingAndCommitsWhenItLeavesTheScreen)
{
    EditFixture f;
    f.grid.CellChar('q', 1, 0);
    FakeEditor* editor = f.host.lastEditor;
    f.grid.OnHScroll(SB_LINERIGHT, 0); // a full rebuild of the cell objects
    ASSERT_EQ(f.host.editorsAlive, 1);
    ASSERT_NE(f.Cell(2, 2), nullptr);
    EXPECT_TRUE(f.Cell(2, 2)->IsEditing());
    EXPECT_EQ(editor->rect, (RECT{96, 48, 192, 72})); // followed its cell one column left

    f.grid.OnVScroll(SB_THUMBPOSITION, 60);
    EXPECT_EQ(f.host.editorsAlive, 0);
    EXPECT_EQ(f.grid.cells[std::make_pair(2, 2)], "q");
}

TEST(GridCellsTest, DoubleClickPutsTheCaretWhereClicked)
{
    EditFixture f;
    f.grid.cells[{2, 2}] = "text";
    f.grid.CellLButtonDblClk(MK_LBUTTON, POINT{200, 60});
    ASSERT_EQ(f.host.editorsAlive, 1);
    ASSERT_EQ(f.host.lastEditor->clicks.size(), 1u);
    EXPECT_EQ(f.host.lastEditor->clicks[0], (POINT{8, 12})); // relative to the editor at (192, 48)
}

TEST(GridCellsTest, CheckBoxToggles)
{
    GridFixture f;
    f.data.m_pDefaultCellClass = RUNTIME_CLASS(CCheckBoxCell);
    f.grid.Update(GRID_UPDATE_ALL, 0);
    auto* box = dynamic_cast<CCheckBoxCell*>(f.grid.GetCellObject(2, 2));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->GetBoxSize().cx, 15); // 4 mm at 96 dpi: 400 * 96 / 2540 = 15.1

    auto linesDrawn = [&](const std::string& text) {
        f.grid.cells[{2, 2}] = text;
        RecordingPainter painter(RECT{192, 48, 288, 72});
        RECT cell{192, 48, 288, 72};
        box->Draw(painter, 2, 2, cell, cell);
        return painter.lines;
    };
    const int unchecked = linesDrawn("0");
    EXPECT_EQ(linesDrawn("1"), unchecked + 2); // the tick
    EXPECT_EQ(linesDrawn("yes"), unchecked);

    f.grid.cells[{2, 2}] = "1";
    f.grid.CellLButtonDown(MK_LBUTTON, f.Centre(2, 2));
    EXPECT_EQ(f.grid.cells[std::make_pair(2, 2)], "0");
    EXPECT_EQ(f.grid.GetCurrentRow(), 2);
    f.grid.CellLButtonDown(MK_LBUTTON, f.Centre(2, 2));
    EXPECT_EQ(f.grid.cells[std::make_pair(2, 2)], "1");
}

TEST(GridCellsTest, DropDownListChoosesAValue)
{
    GridFixture f;
    f.data.m_pDefaultCellClass = RUNTIME_CLASS(CABListCell);
    f.grid.Update(GRID_UPDATE_ALL, 0);
    f.grid.SetCurrentCell(2, 2);
    f.grid.cells[{2, 2}] = "C";
    f.grid.CellChar('x', 1, 0);
    ASSERT_EQ(f.host.editorsAlive, 1);
    FakeEditor* list = f.host.lastEditor;
    EXPECT_EQ(list->kind, GRID_EDITOR_LIST);
    EXPECT_EQ(list->GetCurSel(), -1); // "C" is not an item

    f.grid.CellListDropDown();
    EXPECT_EQ(list->rect, (RECT{192, 48, 288, 72 + 4 * 16}));
    list->curSel = 1;
    f.grid.CellListSelEndOk();
    EXPECT_EQ(f.grid.cells[std::make_pair(2, 2)], "B");
    f.grid.CellListCloseUp();
    EXPECT_EQ(list->rect, (RECT{192, 48, 288, 72}));

    EXPECT_TRUE(f.grid.CellEditorKeyDown('Q', 1, 0)); // the list passes on or drops every key
    f.grid.CellEditorKeyDown(VK_DOWN, 1, 0);
    EXPECT_EQ(f.host.postedKeys, std::vector<UINT>{VK_DOWN});
    f.grid.CellKeyDown(VK_DOWN, 1, 0);
    EXPECT_EQ(f.host.editorsAlive, 0);
    EXPECT_EQ(f.grid.GetCurrentRow(), 3);
}

TEST(GridCellsTest, HeaderCellDrawsCentredText)
{
    GridFixture f;
    f.data.m_rowClasses[0] = {RUNTIME_CLASS(CHeaderCell)};
    f.grid.Update(GRID_UPDATE_ALL, 0);
    f.grid.cells[{0, 2}] = "Title";
    RecordingPainter painter(f.host.client);
    f.grid.OnDraw(painter);
    bool found = false;
    for (const auto& [text, rect] : painter.texts)
        if (text == "Title") {
            found = true;
            EXPECT_EQ(rect, (RECT{194, 1, 285, 23})); // text rectangle narrowed by a pixel each side
        }
    EXPECT_TRUE(found);
}
