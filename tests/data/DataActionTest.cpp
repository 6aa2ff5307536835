#include "data/DataActionCellChange.h"
#include "data/DataActionClearBase.h"
#include "data/DataActionColChangeToFit.h"
#include "data/DataActionColFormat.h"
#include "data/DataActionColumnWidth.h"
#include "data/DataActionColumnLock.h"
#include "data/DataActionGoto.h"
#include "data/DataActionGridPrefs.h"
#include "data/DataActionPasteBase.h"
#include "data/DataActionSort.h"
#include "data/DataActionStructure.h"
#include "data/DataActionTypeChange.h"
#include "data/DataCTypeMean.h"
#include "data/DataCTypeSeries.h"
#include "data/DataDouble.h"
#include "data/DataString.h"
#include "data/SortChoice.h"
#include "framework/ArchiveHelpers.h"

#include "FakeView.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

double Num(const CMyData& t, int row, int column)
{
    double v = -12345;
    return t.GetNumber(row, column, v) ? v : -12345;
}

std::string Plain(const CMyData& t, int row, int column)
{
    std::string s;
    if (CData* c = t.GetCell(row, column))
        c->GetPlainText(s);
    return s;
}

// Sets the settings of the types it is shown, or cancels.
class ScriptedEditor : public CColumnSettingsEditor {
public:
    ScriptedEditor() { m_previous = SetColumnSettingsEditor(this); }
    ~ScriptedEditor() override { SetColumnSettingsEditor(m_previous); }
    int Edit(CDataColumnType& type, CDataTableItem* item) override
    {
        ++shown;
        if (cancel)
            return 0;
        if (auto* s = dynamic_cast<CDataCTypeSeries*>(&type)) {
            seenPoints = s->m_points;
            s->m_start = 10;
            s->m_increment = 1;
            s->m_points = points;
        }
        if (auto* m = dynamic_cast<CDataCTypeMean*>(&type))
            m->SetSourceColumns(item, sources);
        return 1;
    }
    bool cancel = false;
    int shown = 0;
    int points = 2;
    int seenPoints = -1;
    std::vector<int> sources;

private:
    CColumnSettingsEditor* m_previous;
};

TEST(DataActionTest, CellEditDoUndoRedo)
{
    ViewedItem item;
    item.Fill(0, {1, 2});
    item.Fill(1, {3, 4});
    auto* mean = item.SetType<CDataCTypeMean>(2, kTypeMean);
    mean->m_sources = {0, 1};
    mean->ComputeValue(-1, &item, FALSE);

    ASSERT_EQ(item.actions.Add(new CDataActionCellChange(2, 0, "5", &item)), 1);
    EXPECT_EQ(Num(item.table, 2, 0), 5);
    EXPECT_EQ(Num(item.table, 2, 2), 4); // the mean follows: (5 + 3) / 2
    EXPECT_EQ(item.actions.GetUndoText(), "&Undo Edit\tCtrl+Z");
    ASSERT_EQ(item.actions.Undo(), 1);
    EXPECT_EQ(Num(item.table, 2, 0), 1);
    EXPECT_EQ(Num(item.table, 2, 2), 2);
    ASSERT_EQ(item.actions.Redo(), 1);
    EXPECT_EQ(Num(item.table, 2, 0), 5);
    EXPECT_EQ(Num(item.table, 2, 2), 4);

    // An empty text deletes; undo of an edit of an empty cell leaves it empty.
    ASSERT_EQ(item.actions.Add(new CDataActionCellChange(3, 0, "", &item)), 1);
    EXPECT_EQ(item.table.GetCell(3, 0), nullptr);
    item.actions.Undo();
    EXPECT_EQ(Num(item.table, 3, 0), 2);
    ASSERT_EQ(item.actions.Add(new CDataActionCellChange(9, 0, "text", &item)), 1);
    EXPECT_EQ(Plain(item.table, 9, 0), "text");
    item.actions.Undo();
    EXPECT_FALSE(item.table.HasAssociation(9, 0));
}

TEST(DataActionTest, UndoOfAnEditThatEmptiedAColumnKeepsItsFormat)
{
    ViewedItem item;
    item.table.SetNumber(2, 4, 1.5);
    CDataFormat f;
    f.m_decimals = 1;
    item.table.SetColumnFormat(4, f);
    ASSERT_EQ(item.actions.Add(new CDataActionCellChange(2, 4, "", &item)), 1);
    EXPECT_EQ(item.table.IsColumnMissing(4), 1);
    item.actions.Undo();
    EXPECT_EQ(item.table.GetColumnFormat(4).m_decimals, 1);
    EXPECT_EQ(Num(item.table, 2, 4), 1.5);
}

TEST(DataActionTest, RefusedTypingRecordsNothing)
{
    ViewedItem item;
    item.Fill(0, {1});
    item.SetType(0, kTypeXData)->SetLocked(&item, TRUE);
    EXPECT_EQ(item.actions.Add(new CDataActionCellChange(2, 0, "7", &item)), 0);
    EXPECT_EQ(item.actions.GetCount(), 0);
    EXPECT_EQ(Num(item.table, 2, 0), 1);
    auto* mean = item.SetType<CDataCTypeMean>(1, kTypeMean);
    (void)mean;
    EXPECT_EQ(item.actions.Add(new CDataActionCellChange(2, 1, "7", &item)), 0);
}

TEST(DataActionTest, TypeChangeUndoBringsBackTypeAndCells)
{
    ScriptedEditor editor;
    ViewedItem item;
    item.SetType(0, kTypeYData);
    item.table.SetCell(1, 0, new CDataString("Dose"));
    item.Fill(0, {7, 8, 9});
    CDataFormat f;
    f.m_decimals = 2;
    item.table.SetColumnFormat(0, f);
    auto* mean = item.SetType<CDataCTypeMean>(1, kTypeMean);
    mean->m_sources = {0};
    mean->ComputeValue(-1, &item, FALSE);

    editor.points = 2;
    ASSERT_EQ(item.actions.Add(new CDataActionTypeChange(0, "10", &item)), 1);
    EXPECT_EQ(item.table.GetColumnType(0)->GetTypeNumber(), kTypeSeries);
    EXPECT_EQ(Num(item.table, 2, 0), 10);
    EXPECT_EQ(Num(item.table, 3, 0), 11);
    EXPECT_EQ(item.table.GetCell(4, 0), nullptr); // the series overwrote the old rows
    EXPECT_EQ(Num(item.table, 4, 1), -12345);     // and the mean followed
    EXPECT_EQ(Plain(item.table, 1, 0), "Dose");

    ASSERT_EQ(item.actions.Undo(), 1);
    EXPECT_EQ(item.table.GetColumnType(0)->GetTypeNumber(), kTypeYData);
    EXPECT_EQ(Num(item.table, 2, 0), 7);
    EXPECT_EQ(Num(item.table, 4, 0), 9);
    EXPECT_EQ(Num(item.table, 4, 1), 9); // recomputed from the restored cells
    EXPECT_EQ(item.table.GetColumnFormat(0).m_decimals, 2);

    ASSERT_EQ(item.actions.Redo(), 1);
    EXPECT_EQ(item.table.GetColumnType(0)->GetTypeNumber(), kTypeSeries);
    EXPECT_EQ(Num(item.table, 3, 0), 11);
    EXPECT_EQ(item.table.GetCell(4, 0), nullptr);

    // Choosing the same number again edits a clone of the current type.
    editor.points = 3;
    ASSERT_EQ(item.actions.Add(new CDataActionTypeChange(0, "10", &item)), 1);
    EXPECT_EQ(editor.seenPoints, 2);
    EXPECT_EQ(Num(item.table, 4, 0), 12);
}

TEST(DataActionTest, TypeChangeFailures)
{
    ScriptedEditor editor;
    RecordingReporter reporter;
    ViewedItem item;
    item.Fill(0, {1, 2});
    for (const char* text : {"27", "-1", "x", "7"}) {
        const int beeps = reporter.beeps;
        EXPECT_EQ(item.actions.Add(new CDataActionTypeChange(0, text, &item)), 0) << text;
        EXPECT_EQ(reporter.beeps, beeps + 1) << text;
    }
    editor.cancel = true;
    EXPECT_EQ(item.actions.Add(new CDataActionTypeChange(0, "10", &item)), 0);
    EXPECT_EQ(item.actions.GetCount(), 0);
    EXPECT_EQ(item.table.GetColumnType(0), nullptr);
    EXPECT_EQ(Num(item.table, 3, 0), 2);
    // An empty text is type 0.
    editor.cancel = false;
    ASSERT_EQ(item.actions.Add(new CDataActionTypeChange(0, "", &item)), 1);
    EXPECT_EQ(item.table.GetColumnType(0)->GetTypeNumber(), 0);
    item.actions.Undo();
    EXPECT_EQ(item.table.GetColumnType(0), nullptr);
    EXPECT_EQ(Num(item.table, 3, 0), 2);
}

TEST(DataActionTest, LockAndUndoLeaveNoNewColumns)
{
    ViewedItem item;
    item.SetType(0, kTypeXData);
    item.Fill(0, {1});
    item.view.selection = {RECT{0, 0, 5, 10}}; // reaches past the table
    ASSERT_EQ(item.actions.Add(new CDataActionColumnLock(TRUE, &item)), 1);
    EXPECT_EQ(item.table.GetColumnType(0)->IsLocked(), 1);
    ASSERT_TRUE(item.table.GetColumnType(1));
    EXPECT_EQ(item.table.GetColumnType(1)->IsLocked(), 1);
    EXPECT_EQ(item.table.GetLastColumn(), 1); // one past the last column, no further
    item.actions.Undo();
    EXPECT_EQ(item.table.GetColumnType(0)->IsLocked(), 0);
    EXPECT_EQ(item.table.GetLastColumn(), 0);
    item.actions.Redo();
    EXPECT_EQ(item.table.GetColumnType(1)->IsLocked(), 1);
}

TEST(DataActionTest, ClearAndCut)
{
    ViewedItem item;
    item.Fill(3, {1, 2, 3});
    CDataFormat f;
    f.m_decimals = 0;
    item.table.SetColumnFormat(3, f);
    item.view.selection = {RECT{3, 2, 3, 100}};
    ASSERT_EQ(item.actions.Add(new CDataActionClearCells(&item)), 1);
    EXPECT_EQ(item.table.IsColumnMissing(3), 1);
    item.actions.Undo();
    EXPECT_EQ(Num(item.table, 4, 3), 3);
    EXPECT_EQ(item.table.GetColumnFormat(3).m_decimals, 0);
    item.actions.Redo();
    EXPECT_EQ(item.table.GetLastRow(3), -1);
    item.actions.Undo();

    item.view.clipboardWorks = false;
    EXPECT_EQ(item.actions.Add(new CDataActionCutCells(&item)), 0);
    EXPECT_EQ(Num(item.table, 2, 3), 1);
    item.view.clipboardWorks = true;
    ASSERT_EQ(item.actions.Add(new CDataActionCutCells(&item)), 1);
    EXPECT_EQ(item.table.GetCell(2, 3), nullptr);
    EXPECT_EQ(item.actions.GetUndoText(), "&Undo Cut\tCtrl+Z");
}

TEST(DataActionTest, DeleteColumnsUndoRestoresEverything)
{
    ViewedItem item;
    item.Fill(0, {1});
    item.SetType(1, kTypeYData);
    item.table.SetCell(1, 1, new CDataString("y"));
    item.Fill(1, {2, 3});
    CDataFormat f;
    f.m_decimals = 1;
    item.table.SetColumnFormat(1, f);
    item.view.widths[1] = 99;
    item.Fill(2, {4});
    auto* mean = item.SetType<CDataCTypeMean>(3, kTypeMean);
    mean->m_sources = {2};

    item.view.refuse = true;
    EXPECT_EQ(item.actions.Add(new CDataActionDeleteColumns(1, 1, &item)), 0);
    EXPECT_EQ(item.actions.GetCount(), 0);
    item.view.refuse = false;

    ASSERT_EQ(item.actions.Add(new CDataActionDeleteColumns(1, 1, &item)), 1);
    EXPECT_EQ(Num(item.table, 2, 1), 4);
    EXPECT_EQ(item.table.GetColumnType(2)->GetColumn(), 2); // the mean moved left
    ASSERT_EQ(item.actions.Undo(), 1);
    EXPECT_EQ(item.table.GetColumnType(1)->GetTypeNumber(), kTypeYData);
    EXPECT_EQ(item.table.GetColumnName(1), "y");
    EXPECT_EQ(Num(item.table, 3, 1), 3);
    EXPECT_EQ(item.table.GetColumnFormat(1).m_decimals, 1);
    EXPECT_EQ(item.view.widths[1], 99);
    EXPECT_EQ(Num(item.table, 2, 2), 4);
    EXPECT_EQ(static_cast<CDataCTypeMean*>(item.table.GetColumnType(3))->m_sources, std::vector<int>{2});
    ASSERT_EQ(item.actions.Redo(), 1);
    EXPECT_EQ(Num(item.table, 2, 1), 4);

    // Deleting the last column: undo puts it back without making room.
    ViewedItem last;
    last.Fill(0, {1});
    last.Fill(1, {2});
    ASSERT_EQ(last.actions.Add(new CDataActionDeleteColumns(1, 1, &last)), 1);
    EXPECT_EQ(last.table.GetLastColumn(), 0);
    last.actions.Undo();
    EXPECT_EQ(Num(last.table, 2, 1), 2);
}

TEST(DataActionTest, RowsAndCellsStructure)
{
    ViewedItem item;
    item.Fill(0, {1, 2, 3, 4});
    item.Fill(1, {5, 6, 7, 8});
    item.view.heights[3] = 40;
    ASSERT_EQ(item.actions.Add(new CDataActionDeleteRows(3, 2, &item)), 1);
    EXPECT_EQ(Num(item.table, 3, 0), 4);
    item.actions.Undo();
    EXPECT_EQ(Num(item.table, 3, 0), 2);
    EXPECT_EQ(Num(item.table, 5, 1), 8);
    EXPECT_EQ(item.view.heights[3], 40);

    ASSERT_EQ(item.actions.Add(new CDataActionInsertRows(2, 1, &item)), 1);
    EXPECT_EQ(Num(item.table, 3, 0), 1);
    item.actions.Undo();
    EXPECT_EQ(Num(item.table, 2, 0), 1);
    item.actions.Redo();
    EXPECT_EQ(item.table.GetCell(2, 1), nullptr);
    item.actions.Undo();

    ASSERT_EQ(item.actions.Add(new CDataActionInsertColumns(0, 2, &item)), 1);
    EXPECT_EQ(Num(item.table, 2, 2), 1);
    item.actions.Undo();
    EXPECT_EQ(Num(item.table, 2, 0), 1);

    ASSERT_EQ(item.actions.Add(new CDataActionInsertCells(RECT{1, 2, 1, 3}, &item)), 1);
    EXPECT_EQ(Num(item.table, 4, 1), 5);
    EXPECT_EQ(Num(item.table, 2, 0), 1);
    item.actions.Undo();
    EXPECT_EQ(Num(item.table, 2, 1), 5);

    item.view.selection = {RECT{0, 3, 0, 4}};
    ASSERT_EQ(item.actions.Add(new CDataActionDeleteCellRange(&item)), 1);
    EXPECT_EQ(Num(item.table, 3, 0), 4);
    EXPECT_EQ(Num(item.table, 3, 1), 6);
    item.actions.Undo();
    EXPECT_EQ(Num(item.table, 3, 0), 2);
    EXPECT_EQ(Num(item.table, 5, 0), 4);
    item.actions.Redo();
    EXPECT_EQ(Num(item.table, 3, 0), 4);

    item.view.refuse = true;
    EXPECT_EQ(item.actions.Add(new CDataActionInsertRows(2, 1, &item)), 0);
    EXPECT_EQ(item.actions.Add(new CDataActionInsertCells(RECT{0, 2, 0, 2}, &item)), 0);
}

TEST(DataActionTest, ColumnFormatAndUndo)
{
    ViewedItem item;
    item.Fill(0, {1});
    item.Fill(1, {2});
    CDataFormat f;
    f.m_decimals = 1;
    item.view.selection = {RECT{1, 0, 1, 5}};
    ASSERT_EQ(item.actions.Add(new CDataActionColFormat(f, &item)), 1);
    EXPECT_EQ(item.table.GetColumnFormat(1).m_decimals, 1);
    EXPECT_EQ(item.table.GetColumnFormat(0).m_decimals, 4);
    EXPECT_EQ(item.view.widths[1], 77);
    item.actions.Undo();
    EXPECT_EQ(item.table.GetColumnFormat(1).m_decimals, 4);
    EXPECT_TRUE(item.view.IsDefaultColumnWidth(1));

    item.view.kind = 7; // whole rows: the format goes to the table
    ASSERT_EQ(item.actions.Add(new CDataActionColFormat(f, &item)), 1);
    EXPECT_EQ(item.table.GetDefaultFormat().m_decimals, 1);
    EXPECT_EQ(item.table.GetColumnFormat(0).m_decimals, 1);
    item.actions.Undo();
    EXPECT_EQ(item.table.GetDefaultFormat().m_decimals, 4);
    EXPECT_EQ(item.table.GetColumnFormat(0).m_decimals, 4);
}

TEST(DataActionTest, SortWithTextAndBlankKeys)
{
    ViewedItem item;
    // Key column 1: 3, text, 1, blank, NaN, 2; column 0 carries labels.
    item.table.SetCell(1, 1, new CDataString("key"));
    const char* labels[] = {"c", "t", "a", "b1", "n", "b"};
    for (int i = 0; i < 6; ++i)
        item.table.SetCell(2 + i, 0, new CDataString(labels[i]));
    item.table.SetNumber(2, 1, 3);
    item.table.SetCell(3, 1, new CDataString("x"));
    item.table.SetNumber(4, 1, 1);
    item.table.SetNumber(5, 1, BlankValue());
    item.table.SetNumber(6, 1, std::nan(""));
    item.table.SetNumber(7, 1, 2);

    // Only column 0 is listed: the key column moves with it all the same.
    ASSERT_EQ(item.actions.Add(new CDataActionSort({0}, 1, FALSE, &item)), 1);
    EXPECT_EQ(Plain(item.table, 2, 0), "a");
    EXPECT_EQ(Plain(item.table, 3, 0), "b");
    EXPECT_EQ(Plain(item.table, 4, 0), "c");
    EXPECT_EQ(Num(item.table, 2, 1), 1);
    EXPECT_EQ(Num(item.table, 4, 1), 3);
    EXPECT_EQ(Plain(item.table, 1, 1), "key"); // names stay
    for (int r = 5; r <= 7; ++r) {
        std::string l = Plain(item.table, r, 0);
        EXPECT_TRUE(l == "t" || l == "b1" || l == "n") << l; // non-numbers last, any order
    }
    EXPECT_EQ(item.view.selected, (std::vector<int>{0, 1}));
    item.actions.Undo();
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(Plain(item.table, 2 + i, 0), labels[i]);
    EXPECT_EQ(Plain(item.table, 3, 1), "x");

    ASSERT_EQ(item.actions.Add(new CDataActionSort({0}, 1, TRUE, &item)), 1);
    EXPECT_EQ(Plain(item.table, 7, 0), "a");
    EXPECT_EQ(Plain(item.table, 5, 0), "c");
    item.actions.Undo();
    item.actions.Redo();
    EXPECT_EQ(Plain(item.table, 7, 0), "a");

    ViewedItem empty;
    empty.table.SetCell(1, 0, new CDataString("name only"));
    EXPECT_EQ(empty.actions.Add(new CDataActionSort({0}, 0, FALSE, &empty)), 0);
}

TEST(DataActionTest, GotoAndWidth)
{
    ViewedItem item;
    item.view.state.current = POINT{1, 1};
    ASSERT_EQ(item.actions.Add(new CDataActionGoto(4, 9, &item)), 1);
    EXPECT_EQ(item.view.current.x, 4);
    const int restores = item.view.restores;
    item.actions.Undo();
    EXPECT_EQ(item.view.restores, restores + 1);
    EXPECT_EQ(item.view.state.current.x, 1);

    item.view.widths[2] = 120; // the view changed it already
    ASSERT_EQ(item.actions.Add(new CDataActionColWidthChange(2, -1, 120, &item)), 1);
    item.actions.Undo();
    EXPECT_TRUE(item.view.IsDefaultColumnWidth(2)); // the default of the moment
    item.actions.Redo();
    EXPECT_EQ(item.view.GetColumnWidth(2), 120);
}

TEST(DataActionTest, SizeToFitAndBack)
{
    ViewedItem item;
    item.Fill(0, {1});
    item.Fill(1, {2});
    item.view.widths[0] = 30;
    ASSERT_EQ(item.actions.Add(new CDataActionColChangeToFit(1, &item)), 1);
    EXPECT_EQ(item.view.GetColumnWidth(0), 77);
    EXPECT_EQ(item.view.GetColumnWidth(1), 77);
    item.actions.Undo();
    EXPECT_EQ(item.view.GetColumnWidth(0), 30);
    EXPECT_TRUE(item.view.IsDefaultColumnWidth(1));
    item.actions.Redo();
    EXPECT_EQ(item.view.GetColumnWidth(1), 77);
    item.view.selection = {RECT{5, 0, 9, 9}}; // nothing of the table selected
    EXPECT_EQ(item.actions.Add(new CDataActionColChangeToFit(0, &item)), 0);
}

TEST(DataActionTest, PasteModes)
{
    RecordingReporter reporter;
    ViewedItem item;
    item.Fill(0, {1, 2, 3});
    item.Fill(1, {4, 5, 6});
    CMyData clip;
    clip.SetNumber(2, 0, 10);
    clip.SetNumber(3, 0, 20);
    clip.SetNumber(2, 1, 30);
    clip.SetNumber(3, 1, 40);
    item.view.clipboard = &clip;
    item.view.clipboardBlock = RECT{0, 2, 1, 3};

    // A block over a smaller selection: "Yes" limits the paste to the selection.
    item.view.kind = 2;
    item.view.selection = {RECT{0, 3, 0, 3}};
    reporter.Answer(IDYES);
    ASSERT_EQ(item.actions.Add(new CDataActionPaste(&item)), 1);
    EXPECT_EQ(reporter.Ids(), std::vector<UINT>{181});
    EXPECT_EQ(Num(item.table, 3, 0), 10);
    EXPECT_EQ(Num(item.table, 3, 1), 5); // not pasted
    item.actions.Undo();
    EXPECT_EQ(Num(item.table, 3, 0), 2);
    item.actions.Redo();
    EXPECT_EQ(Num(item.table, 3, 0), 10);
    item.actions.Undo();

    // "No" pastes the whole block; "Cancel" pastes nothing.
    reporter.Answer(IDNO);
    ASSERT_EQ(item.actions.Add(new CDataActionPaste(&item)), 1);
    EXPECT_EQ(Num(item.table, 4, 1), 40);
    item.actions.Undo();
    EXPECT_EQ(Num(item.table, 4, 1), 6);
    reporter.Answer(IDCANCEL);
    EXPECT_EQ(item.actions.Add(new CDataActionPaste(&item)), 0);

    // Whole columns inserted: undo deletes them again.
    item.view.kind = 4;
    item.view.selection = {RECT{1, 0, 1, 100}};
    item.view.pasteAnswer = 1;
    ASSERT_EQ(item.actions.Add(new CDataActionPaste(&item)), 1);
    EXPECT_EQ(Num(item.table, 2, 1), 10);
    EXPECT_EQ(Num(item.table, 2, 3), 4); // the old column 1 moved right
    item.actions.Undo();
    EXPECT_EQ(Num(item.table, 2, 1), 4);
    EXPECT_EQ(item.table.GetLastColumn(), 1);
    item.view.pasteAnswer = 0;
    EXPECT_EQ(item.actions.Add(new CDataActionPaste(&item)), 0);

    // Nothing on the clipboard, or a selection kind that takes no paste.
    item.view.kind = 2;
    item.view.clipboard = nullptr;
    EXPECT_EQ(item.actions.Add(new CDataActionPaste(&item)), 0);
    item.view.clipboard = &clip;
    item.view.kind = 12;
    EXPECT_EQ(item.actions.Add(new CDataActionPaste(&item)), 0);
}

TEST(DataActionTest, WidthAndHeightDialogs)
{
    ViewedItem item;
    item.view.selection = {RECT{1, 0, 2, 5}};
    item.view.widths[1] = 80;
    item.view.widths[2] = 80;
    ASSERT_EQ(item.actions.Add(new CDataActionColumnWidth(&item)), 1);
    EXPECT_EQ(item.view.offered, 80); // shared by every selected column
    EXPECT_EQ(item.view.GetColumnWidth(2), 50);
    item.actions.Undo();
    EXPECT_EQ(item.view.GetColumnWidth(1), 80);
    item.actions.Redo();
    EXPECT_EQ(item.view.GetColumnWidth(1), 50);

    item.view.answerDefault = true;
    ASSERT_EQ(item.actions.Add(new CDataActionRowHeight(&item)), 1);
    EXPECT_TRUE(item.view.IsDefaultRowHeight(3));
    item.view.heights[4] = 33;
    item.actions.Undo();
    item.view.cancelDialog = true;
    EXPECT_EQ(item.actions.Add(new CDataActionColumnWidth(&item)), 0);
    item.view.cancelDialog = false;
    item.view.kind = 12;
    EXPECT_EQ(item.actions.Add(new CDataActionColumnWidth(&item)), 0);
}

TEST(DataActionTest, GridPreferences)
{
    ViewedItem item;
    item.view.prefs.colours[0] = RGB(1, 2, 3);
    CDataGridPrefs p;
    p.colours[0] = RGB(200, 0, 0);
    p.font.lfHeight = -13;
    p.last = 5;
    ASSERT_EQ(item.actions.Add(new CDataActionGridPrefs(&item, p)), 1);
    EXPECT_EQ(item.view.prefs.colours[0], RGB(200, 0, 0));
    EXPECT_EQ(item.view.prefs.font.lfHeight, -13);
    item.actions.Undo();
    EXPECT_EQ(item.view.prefs.colours[0], RGB(1, 2, 3));
    EXPECT_EQ(item.view.prefs.last, 0);
    item.actions.Redo();
    EXPECT_EQ(item.view.prefs.last, 5);
    EXPECT_EQ(item.actions.GetUndoText(), "&Undo Preferences\tCtrl+Z");
}

TEST(DataActionTest, SortChoiceFromTheSelection)
{
    FakeItem item;
    item.Fill(0, {1});
    item.SetType<CDataCTypeMean>(1, kTypeMean);
    item.SetType(2, kTypeXData)->SetLocked(&item, TRUE);
    item.Fill(3, {2});
    // Grid column 0 is the heading column: a range starting there adds nothing.
    EXPECT_TRUE(SortColumnsFromSelection(item.table, {RECT{0, 0, 4, 5}}).empty());
    // Computed and locked columns are skipped; each column once.
    EXPECT_EQ(SortColumnsFromSelection(item.table, {RECT{1, 0, 4, 5}, RECT{4, 0, 4, 5}}),
              (std::vector<int>{0, 3}));
    EXPECT_EQ(CheckSortChoice(-1, {0}), 499u);
    EXPECT_EQ(CheckSortChoice(0, {}), 500u);
    EXPECT_EQ(CheckSortChoice(0, {0}), 0u);
}

} // namespace
