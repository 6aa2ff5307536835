#include "GridWidgetsSupport.h"
#include "support/TestSupport.h"

#include <QLineEdit>
#include <QPointer>
#include <QClipboard>
#include <QCursor>
#include <QMenu>
#include <QTest>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <memory>

IMPLEMENT_DYNCREATE(CABListCell, CDropDownListCell)

namespace {

// A dialog with a line edit before and after a 6 x 5 grid control.
struct DialogFixture {
    DialogFixture(int rows = 6, int columns = 5)
    {
        dialog = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(dialog.get());
        before = new QLineEdit(dialog.get());
        grid = new TextCtrl(rows, columns, dialog.get());
        after = new QLineEdit(dialog.get());
        layout->addWidget(before);
        layout->addWidget(grid);
        layout->addWidget(after);
        grid->setMinimumSize(600, 300);
        dialog->show();
        dialog->activateWindow();
        QApplication::setActiveWindow(dialog.get());
        grid->setFocus();
        Settle();
    }
    ~DialogFixture()
    {
        dialog.reset();
        Settle();
    }
    QWidget* Focus() const { return QApplication::focusWidget(); }

    std::unique_ptr<QWidget> dialog;
    QLineEdit* before;
    TextCtrl* grid;
    QLineEdit* after;
};

// Types text as a user would: each key goes to the widget that has the focus.
void Type(const char* text)
{
    for (const char* p = text; *p; ++p)
        QTest::keyClick(QApplication::focusWidget(), *p);
}

} // namespace

TEST(GridCtrlTest, TypingSevenOpensAnEditorThatCommitsOnDown)
{
    DialogFixture f;
    f.grid->cells[{1, 1}] = "old";
    QTest::keyClick(f.grid, Qt::Key_7);
    CGridEditWnd* editor = f.grid->Editor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), "7");
    EXPECT_EQ(editor->cursorPosition(), 1);
    EXPECT_EQ(f.Focus(), editor);
    RECT cell;
    ASSERT_TRUE(f.grid->GetCellRect(1, 1, cell));
    EXPECT_EQ(editor->geometry(), QRect(cell.left, cell.top, cell.Width(), cell.Height()));

    QTest::keyClick(editor, Qt::Key_Down);
    Settle();
    EXPECT_EQ(f.grid->Text(1, 1), "7");
    EXPECT_EQ(f.grid->GetCurrentRow(), 2);
    EXPECT_EQ(f.grid->Editor(), nullptr);
    EXPECT_EQ(f.Focus(), f.grid);
}

TEST(GridCtrlTest, F2EditsTheOldTextAndEscapeKeepsIt)
{
    DialogFixture f;
    f.grid->cells[{1, 1}] = "old";
    QTest::keyClick(f.grid, Qt::Key_F2);
    CGridEditWnd* editor = f.grid->Editor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), "old");
    EXPECT_EQ(editor->selectedText(), "old");
    QTest::keyClicks(editor, "new");
    EXPECT_EQ(editor->text(), "new");
    QTest::keyClick(editor, Qt::Key_Escape);
    Settle();
    EXPECT_EQ(f.grid->Editor(), nullptr);
    EXPECT_EQ(f.grid->Text(1, 1), "old");
    EXPECT_EQ(f.grid->GetCurrentRow(), 1);
}

TEST(GridCtrlTest, ArrowsLeaveTheTextOnlyAtItsEdges)
{
    DialogFixture f;
    Type("ab");
    CGridEditWnd* editor = f.grid->Editor();
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_Left); // caret inside: stays in the cell
    Settle();
    ASSERT_EQ(f.grid->Editor(), editor);
    EXPECT_EQ(editor->cursorPosition(), 1);
    QTest::keyClick(editor, Qt::Key_Right); // to the end
    Settle();
    ASSERT_EQ(f.grid->Editor(), editor);
    QTest::keyClick(editor, Qt::Key_Right); // at the end: the next cell
    Settle();
    EXPECT_EQ(f.grid->Editor(), nullptr);
    EXPECT_EQ(f.grid->Text(1, 1), "ab");
    EXPECT_EQ(f.grid->GetCurrentColumn(), 2);
}

TEST(GridCtrlTest, CaretPositionsCountUtf8BytesLikeTheCells)
{
    DialogFixture f;
    f.grid->cells[{1, 1}] = "\xC3\xA9t\xC3\xA9"; // "été": 3 characters, 5 bytes
    QTest::keyClick(f.grid, Qt::Key_F2);
    CGridEditWnd* editor = f.grid->Editor();
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_End);
    QTest::keyClick(editor, Qt::Key_Right); // at the end of the text
    Settle();
    EXPECT_EQ(f.grid->Editor(), nullptr);
    EXPECT_EQ(f.grid->GetCurrentColumn(), 2);
}

TEST(GridCtrlTest, ARefusedStoreKeepsTheEditorAndItsText)
{
    DialogFixture f;
    f.grid->cells[{1, 1}] = "old";
    Type("bad");
    CGridEditWnd* editor = f.grid->Editor();
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_Down);
    Settle();
    ASSERT_EQ(f.grid->Editor(), editor);
    EXPECT_EQ(editor->text(), "bad");
    EXPECT_EQ(f.grid->Text(1, 1), "old");
    EXPECT_EQ(f.grid->GetCurrentRow(), 1);
    // Mended, the edit commits on the next move.
    editor->selectAll();
    QTest::keyClicks(editor, "ok");
    QTest::keyClick(editor, Qt::Key_Down);
    Settle();
    EXPECT_EQ(f.grid->Text(1, 1), "ok");
    EXPECT_EQ(f.grid->GetCurrentRow(), 2);
}

TEST(GridCtrlTest, FocusLeavingTheEditorCommits)
{
    DialogFixture f;
    Type("42");
    ASSERT_NE(f.grid->Editor(), nullptr);
    f.after->setFocus();
    Settle();
    EXPECT_EQ(f.grid->Text(1, 1), "42");
    EXPECT_EQ(f.grid->Editor(), nullptr);
    EXPECT_EQ(f.Focus(), f.after);
}

TEST(GridCtrlTest, DestroyingTheGridWithAnOpenEditorIsSafe)
{
    DialogFixture f;
    Type("x");
    ASSERT_NE(f.grid->Editor(), nullptr);
    QPointer<QWidget> editor = f.grid->Editor();
    delete f.grid;
    f.grid = nullptr;
    Settle();
    // The editor went with its grid, and the dialog around it still works.
    EXPECT_TRUE(editor.isNull());
    f.after->setFocus();
    QTest::keyClicks(f.after, "ok");
    Settle();
    EXPECT_EQ(f.after->text(), "ok");
}

TEST(GridCtrlTest, ControlCharactersNeverStartAnEdit)
{
    DialogFixture f;
    for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Backspace, Qt::Key_Return}) {
        QTest::keyClick(f.grid, key);
        EXPECT_EQ(f.grid->Editor(), nullptr) << key;
    }
    QKeyEvent controlA(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QString(QChar(1)));
    QApplication::sendEvent(f.grid, &controlA);
    EXPECT_EQ(f.grid->Editor(), nullptr);
}

TEST(GridCtrlTest, CheckBoxCellTogglesOnAClick)
{
    DialogFixture f;
    f.grid->cells[{2, 3}] = "1";
    QTest::mouseClick(f.grid->viewport(), Qt::LeftButton, Qt::NoModifier, f.grid->Centre(2, 3));
    EXPECT_EQ(f.grid->Text(2, 3), "0");
    QTest::mouseClick(f.grid->viewport(), Qt::LeftButton, Qt::NoModifier, f.grid->Centre(2, 3), 300);
    EXPECT_EQ(f.grid->Text(2, 3), "1");
    EXPECT_EQ(f.grid->GetCurrentRow(), 2);
    EXPECT_EQ(f.grid->GetCurrentColumn(), 3);
}

TEST(GridCtrlTest, ListCellChoosesAnItemAndLeavesOnArrows)
{
    DialogFixture f;
    f.grid->cells[{1, 4}] = "A";
    f.grid->SetCurrentCell(1, 4);
    QTest::keyClick(f.grid, Qt::Key_Space);
    CGridListWnd* list = f.grid->List();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->count(), 2);
    EXPECT_EQ(list->currentIndex(), 0);
    EXPECT_EQ(f.Focus(), list);
    list->setCurrentIndex(1);
    emit list->activated(1);
    EXPECT_EQ(f.grid->Text(1, 4), "B");
    QTest::keyClick(list, Qt::Key_Down); // the list takes no keys: the grid moves
    Settle();
    EXPECT_EQ(f.grid->List(), nullptr);
    EXPECT_EQ(f.grid->GetCurrentRow(), 2);
}

TEST(GridCtrlTest, ListCellWithAnUnknownTextSelectsNothing)
{
    DialogFixture f;
    f.grid->cells[{1, 4}] = "C";
    f.grid->SetCurrentCell(1, 4);
    QTest::keyClick(f.grid, Qt::Key_Space);
    ASSERT_NE(f.grid->List(), nullptr);
    EXPECT_EQ(f.grid->List()->currentIndex(), -1);
}

TEST(GridCtrlTest, TabWalksTheCellsAndLeavesAtEitherEnd)
{
    DialogFixture f(3, 3); // cells (1,1) (1,2) (2,1) (2,2)
    ASSERT_EQ(f.Focus(), f.grid);
    const std::pair<int, int> walk[] = {{1, 2}, {2, 1}, {2, 2}};
    for (auto [row, column] : walk) {
        QTest::keyClick(f.grid, Qt::Key_Tab);
        EXPECT_EQ(f.grid->GetCurrentRow(), row);
        EXPECT_EQ(f.grid->GetCurrentColumn(), column);
    }
    QTest::keyClick(f.grid, Qt::Key_Tab);
    EXPECT_EQ(f.Focus(), f.after);

    f.grid->setFocus();
    const std::pair<int, int> back[] = {{2, 1}, {1, 2}, {1, 1}};
    for (auto [row, column] : back) {
        QTest::keyClick(f.grid, Qt::Key_Backtab, Qt::ShiftModifier);
        EXPECT_EQ(f.grid->GetCurrentRow(), row);
        EXPECT_EQ(f.grid->GetCurrentColumn(), column);
    }
    QTest::keyClick(f.grid, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(f.Focus(), f.before);
}

TEST(GridCtrlTest, TabInAnEditorCommitsAndWalks)
{
    DialogFixture f(3, 3);
    QTest::keyClick(f.grid, Qt::Key_5);
    ASSERT_NE(f.grid->Editor(), nullptr);
    QTest::keyClick(f.grid->Editor(), Qt::Key_Tab);
    Settle();
    EXPECT_EQ(f.grid->Text(1, 1), "5");
    EXPECT_EQ(f.grid->GetCurrentColumn(), 2);
    EXPECT_EQ(f.Focus(), f.grid);
}

TEST(GridCtrlTest, WheelScrollsOneLinePerNotchAndKeepsTheRemainder)
{
    DialogFixture f(200, 5);
    auto wheel = [&](int delta) {
        const QPointF at(50, 50);
        QWheelEvent event(at, f.grid->viewport()->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(f.grid->viewport(), &event);
    };
    ASSERT_EQ(f.grid->GetTopRow(), 1);
    wheel(-60);
    EXPECT_EQ(f.grid->GetTopRow(), 1); // half a notch: nothing yet
    wheel(-60);
    EXPECT_EQ(f.grid->GetTopRow(), 2);
    wheel(-360);
    EXPECT_EQ(f.grid->GetTopRow(), 5);
    wheel(60);
    EXPECT_EQ(f.grid->GetTopRow(), 5);
    wheel(60);
    EXPECT_EQ(f.grid->GetTopRow(), 4);
    EXPECT_EQ(f.grid->GetWheelRemainder(), 0);
}

TEST(GridCtrlTest, ScrollBarPositionsAreExactRowsForAMillionRows)
{
    DialogFixture f(1000001, 5); // heading row and rows 1 to 1,000,000
    QScrollBar* bar = f.grid->verticalScrollBar();
    const int visible = f.grid->GetVisibleRowCount() - 1;
    ASSERT_GT(visible, 3);
    EXPECT_EQ(bar->minimum(), 1);
    // The last top row shows the last row at the bottom: one unit per row.
    EXPECT_GE(bar->maximum(), 1000000 - visible);
    EXPECT_LE(bar->maximum(), 1000000);
    for (int target : {2, 500000, 765432, 999000}) {
        bar->setSliderPosition(target);
        EXPECT_EQ(f.grid->GetTopRow(), target);
        EXPECT_EQ(bar->value(), target);
    }
    bar->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(f.grid->GetTopRow(), bar->maximum());
    EXPECT_TRUE(f.grid->IsValidRow(1000000));
    bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(f.grid->GetTopRow(), bar->maximum() - 1);
    EXPECT_EQ(bar->value(), bar->maximum() - 1);

    // Keys move the bar with them.
    f.grid->SetCurrentCell(1, 1);
    QTest::keyClick(f.grid, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(f.grid, Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(f.grid->GetCurrentRow(), 1000000);
    EXPECT_EQ(bar->value(), f.grid->GetTopRow());
    EXPECT_TRUE(f.grid->IsValidRow(1000000));
}

TEST(GridCtrlTest, ScrollBarCarriesTheLargestRowCountExactly)
{
    DialogFixture f(CGridData::kMaxIndex, 5);
    QScrollBar* bar = f.grid->verticalScrollBar();
    const int target = CGridData::kMaxIndex / 2 + 7;
    bar->setSliderPosition(target);
    EXPECT_EQ(f.grid->GetTopRow(), target);
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(bar->value(), f.grid->GetTopRow());
    EXPECT_GT(f.grid->GetTopRow(), target);
}

TEST(GridCtrlTest, PageKeysMoveByTheScrolledRowsOnScreen)
{
    DialogFixture f(100, 5);
    const int page = f.grid->GetVisibleRowCount() - 1; // one frozen heading row
    QTest::keyClick(f.grid, Qt::Key_PageDown);
    EXPECT_EQ(f.grid->GetTopRow(), page);
    EXPECT_EQ(f.grid->verticalScrollBar()->value(), page);
    for (int i = 0; i < 20; ++i)
        QTest::keyClick(f.grid, Qt::Key_PageDown);
    EXPECT_EQ(f.grid->GetCurrentRow(), 99); // stops on the last row
    f.grid->SetCurrentCell(1, 1);
    QTest::keyClick(f.grid, Qt::Key_PageDown);
    QTest::keyClick(f.grid, Qt::Key_PageDown);
    ASSERT_EQ(f.grid->GetTopRow(), 2 * page - 1);
    QTest::keyClick(f.grid, Qt::Key_PageUp);
    EXPECT_EQ(f.grid->GetTopRow(), page - 1);
}

TEST(GridCtrlTest, MenuUpdatesFollowTheEditState)
{
    DialogFixture f;
    QMenu menu;
    QAction* redo = menu.addAction("Redo");
    redo->setData(int(ID_EDIT_REDO));
    QAction* copy = menu.addAction("Copy");
    copy->setData(int(ID_EDIT_COPY));
    QAction* other = menu.addAction("Other");
    other->setData(12345);
    QTest::mouseClick(f.grid->viewport(), Qt::LeftButton, Qt::NoModifier, f.grid->Centre(2, 2));
    f.grid->UpdateMenu(&menu);
    EXPECT_TRUE(copy->isEnabled()); // a selected cell can be copied
    EXPECT_FALSE(other->isEnabled());

    QTest::keyClick(f.grid, Qt::Key_7);
    ASSERT_NE(f.grid->Editor(), nullptr);
    f.grid->UpdateMenu(&menu);
    EXPECT_FALSE(redo->isEnabled());
    EXPECT_EQ(redo->text(), "&Redo\tCtrl+Y");
    EXPECT_FALSE(copy->isEnabled()); // nothing selected in the editor
    f.grid->Editor()->selectAll();
    f.grid->UpdateMenu(&menu);
    EXPECT_TRUE(copy->isEnabled());
}

TEST(GridCtrlTest, CreateInDialogTakesThePlaceholdersPlace)
{
    QWidget dialog;
    auto* layout = new QVBoxLayout(&dialog);
    auto* first = new QLineEdit(&dialog);
    auto* placeholder = new QWidget(&dialog);
    placeholder->setProperty("controlId", 1234);
    auto* last = new QLineEdit(&dialog);
    layout->addWidget(first);
    layout->addWidget(placeholder);
    layout->addWidget(last);
    auto* grid = new TextCtrl(3, 3);
    ASSERT_TRUE(grid->CreateInDialog(&dialog, 1234, QRect(0, 0, 10, 10)));
    EXPECT_EQ(layout->indexOf(grid), 1);
    EXPECT_EQ(layout->indexOf(placeholder), -1);
    EXPECT_EQ(grid->property("controlId").toInt(), 1234);
    EXPECT_TRUE(grid->IsInitialised());
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    first->setFocus();
    Settle();
    QTest::keyClick(first, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), grid);
    QTest::keyClick(grid, Qt::Key_Tab); // a 3 x 3 grid walks on
    EXPECT_EQ(QApplication::focusWidget(), grid);
}

TEST(GridCtrlTest, DraggingBelowTheGridScrollsWhileTheButtonIsHeld)
{
    DialogFixture f(200, 5);
    QWidget* viewport = f.grid->viewport();
    QTest::mouseMove(viewport, f.grid->Centre(2, 2));
    QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, f.grid->Centre(2, 2));
    const QPoint below(f.grid->Centre(2, 2).x(), viewport->height() + 20);
    QTest::mouseMove(viewport, below);
    EXPECT_EQ(f.grid->GetTopRow(), 2);
    EXPECT_TRUE(f.grid->IsCapturing());
    // The timer goes on scrolling towards the mouse.
    QCursor::setPos(viewport->mapToGlobal(below));
    QTest::qWait(60);
    const int top = f.grid->GetTopRow();
    EXPECT_GT(top, 2);
    QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, below);
    EXPECT_FALSE(f.grid->IsCapturing());
    QTest::qWait(30);
    EXPECT_EQ(f.grid->GetTopRow(), top); // released: the scrolling stops
    const CGridRange range = f.grid->GetData().m_ranges.front();
    EXPECT_EQ(range.top, 2);
    EXPECT_GE(range.bottom, top);
}

TEST(GridCtrlTest, CopyCutAndPasteGoThroughTheClipboard)
{
    DialogFixture f;
    f.grid->cells = {{{1, 1}, "a"}, {{1, 2}, "b"}, {{2, 1}, "c"}, {{2, 2}, "d"}};
    QApplication::clipboard()->setText("old");
    f.grid->SetCurrentCell(1, 1);
    f.grid->SetCurrentCell(2, 2, MK_SHIFT);
    QTest::keyClick(f.grid, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "a\tb\r\nc\td");

    RecordingReporter reporter;
    f.grid->SetCurrentCell(4, 2);
    f.grid->SetCurrentCell(5, 3, MK_SHIFT);
    QTest::keyClick(f.grid, Qt::Key_V, Qt::ControlModifier);
    EXPECT_TRUE(reporter.Ids().empty());
    EXPECT_EQ(f.grid->Text(4, 2), "a");
    EXPECT_EQ(f.grid->Text(5, 3), "d");

    f.grid->SetCurrentCell(1, 1);
    f.grid->SetCurrentCell(1, 2, MK_SHIFT);
    QTest::keyClick(f.grid, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "a\tb");
    EXPECT_EQ(f.grid->Text(1, 1), "");
    EXPECT_EQ(f.grid->Text(1, 2), "");

    // Copying empty cells leaves no old text behind.
    QTest::keyClick(f.grid, Qt::Key_C, Qt::ControlModifier);
    EXPECT_NE(QApplication::clipboard()->text(), "a\tb");
}
