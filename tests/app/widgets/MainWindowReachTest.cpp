// Commands a user reaches from the main window: help, the toolbars and their
// switches, the status pane, the zoom box, Close All, and fonts and colours
// in a note. Driven through the real start-up as a user would.
#include "app/MXDoc.h"
#include "app/MXGrid.h"
#include "app/HelpTopicMap.h"
#include "app/MXNotes.h"
#include "app/widgets/DataView.h"
#include "app/widgets/GraphProjectWnd.h"
#include "app/MXGraph.h"
#include "draw/DrawRect.h"
#include "graph/DrawGraph.h"
#include "app/widgets/MXApp.h"
#include "app/widgets/MXHelp.h"
#include "app/widgets/MXMainWnd.h"
#include "app/widgets/NotepadProjectWnd.h"
#include "app/widgets/TableProjectWnd.h"
#include "app/widgets/WindowRules.h"
#include "draw/widgets/DrawCommands.h"
#include "framework/Profile.h"
#include "framework/widgets/ProjectFrameBase.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"
#include "platform/widgets/CommandIds.h"
#include "support/TestSupport.h"
#include "AppTestSupport.h"
#include "ui/widgets/CommentRichEditCtrl.h"
#include "ui/widgets/FontNameCombo.h"
#include "ui/widgets/FontSizeCombo.h"
#include "ui/widgets/HelpWindow.h"
#include "ui/widgets/MainToolBar.h"
#include "ui/widgets/StandardToolBar.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextList>
#include <QToolBar>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <unistd.h>

namespace {

std::string TempPath(const std::string& name)
{
    auto dir = std::filesystem::temp_directory_path() / ("marlox-reach-test-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    return (dir / name).string();
}

const QString kHelpFolder = QStringLiteral(MARLOX_SOURCE_DIR "/help");
const QString kTopicMap = QStringLiteral(MARLOX_SOURCE_DIR "/app/marlox.ini");

class MainWindowReachTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CMXHelp::SetLocations(kHelpFolder, kTopicMap);
        app = std::make_unique<CMXApp>();
        ASSERT_TRUE(app->InitInstance({"marlox"}));
        reporter = std::make_unique<RecordingReporter>();
        main = app->GetMainFrame();
        main->activateWindow();
        QApplication::processEvents();
    }
    void TearDown() override
    {
        if (CHelpWindow* help = CHelpWindow::ExistingInstance())
            delete help;
        CCommentRichEditCtrl::SetColourChooser({});
        CCommentRichEditCtrl::SetFontChooser({});
        if (CMXDoc* d = doc())
            d->SetModifiedFlag(false);
        reporter.reset();
        app->ExitInstance();
        app.reset();
        CMXHelp::SetLocations({}, {});
    }

    CMXDoc* doc() const { return dynamic_cast<CMXDoc*>(app->GetProjectDoc()); }
    bool Run(UINT id)
    {
        main->GetRouter().UpdateAll();
        bool ran = main->GetRouter().Execute(id);
        QApplication::processEvents();
        return ran;
    }
    CCmdUI Query(UINT id) { return main->GetRouter().Query(id); }
    CProjectFrameBase* FrameOf(const std::string& name) const
    {
        for (CProjectFrameBase* f : main->GetFrames())
            if (f->GetItem() && f->GetItem()->GetName() == name)
                return f;
        return nullptr;
    }
    QString HelpPage() const
    {
        CHelpWindow* help = CHelpWindow::ExistingInstance();
        return help && help->isVisible() ? help->GetCurrentPage() : QString();
    }
    CCommentRichEditCtrl* NoteEditor(const std::string& name) const
    {
        CProjectFrameBase* frame = FrameOf(name);
        auto* view = frame ? qobject_cast<CNoteView*>(frame->widget()) : nullptr;
        return view ? view->GetEditor() : nullptr;
    }
    // Saves the workspace under that name, opens it again and gives the editor
    // of its note "Notes" (null when something failed).
    CCommentRichEditCtrl* SaveAndReopenNote(const std::string& name)
    {
        const std::string path = TempPath(name);
        doc()->SetPathName(path);
        if (!Run(ID_FILE_SAVE) || !Run(ID_FILE_NEW) || !app->OpenWorkspace(path))
            return nullptr;
        if (!FrameOf("Notes") && !doc()->GetProjectItems().empty())
            main->OpenItemWindow(doc()->GetProjectItems().front());
        return NoteEditor("Notes");
    }
    QMenu* MenuOf(const QString& title) const
    {
        for (QAction* a : main->menuBar()->actions())
            if (a->menu() && a->text() == title)
                return a->menu();
        return nullptr;
    }

    std::unique_ptr<CMXApp> app;
    std::unique_ptr<RecordingReporter> reporter;
    CMXMainWnd* main = nullptr;
};

} // namespace

TEST_F(MainWindowReachTest, HelpContentsOpensTheHelpPagesAtTheirContents)
{
    QMenu* help = MenuOf("&Help");
    ASSERT_NE(help, nullptr);
    ASSERT_FALSE(help->actions().isEmpty());
    EXPECT_EQ(help->actions().front(), main->GetRouter().Action(ID_HELP_CONTENTS));
    ASSERT_TRUE(Run(ID_HELP_CONTENTS));
    EXPECT_EQ(HelpPage(), "index.html");
    EXPECT_TRUE(reporter->messages.empty());
}

TEST_F(MainWindowReachTest, WithoutHelpPagesTheHelpCommandsAreDisabledAndSayWhy)
{
    CMXHelp::SetLocations(QString::fromStdString(TempPath("no-help-here")), kTopicMap);
    main->GetRouter().UpdateAll();
    for (UINT id : {UINT(ID_HELP_CONTENTS), UINT(ID_HELP)}) {
        EXPECT_FALSE(Query(id).m_enabled.value_or(true));
        QAction* action = main->GetRouter().Action(id);
        EXPECT_FALSE(action->isEnabled());
        EXPECT_EQ(action->statusTip().toStdString(), LoadString(IDS_REASON_NO_HELP));
    }
    CMXHelp::SetLocations(kHelpFolder, kTopicMap);
    main->GetRouter().UpdateAll();
    QAction* contents = main->GetRouter().Action(ID_HELP_CONTENTS);
    EXPECT_TRUE(contents->isEnabled());
    EXPECT_EQ(contents->statusTip(), "Open the help pages at their contents");
}

TEST_F(MainWindowReachTest, F1OpensThePageOfTheActiveWindowThroughTheTopicMap)
{
    struct Case {
        UINT add;
        const char* page;
    } cases[] = {{ID_ADD_DATA, "data-tables.html"}, {ID_ADD_NOTEPAD, "notes.html"},
                 {ID_ADD_EQUATION, "equations.html"}, {ID_ADD_GRAPH, "graphs.html"}};
    for (const Case& c : cases) {
        ASSERT_TRUE(Run(c.add));
        ASSERT_NE(main->GetActiveItemFrame(), nullptr);
        ASSERT_TRUE(Run(ID_HELP));
        EXPECT_EQ(HelpPage(), c.page);
    }
    // The F1 key is the command's shortcut.
    EXPECT_EQ(main->GetRouter().Action(ID_HELP)->shortcut(), QKeySequence(Qt::Key_F1));
    // With no item window, the contents.
    ASSERT_TRUE(Run(ID_WINDOW_CLOSE_ALL));
    ASSERT_TRUE(Run(ID_HELP));
    EXPECT_EQ(HelpPage(), "index.html");
    EXPECT_TRUE(reporter->messages.empty());
}

TEST_F(MainWindowReachTest, F1InADialogOpensItsPageOrTheContents)
{
    QDialog dialog(main);
    CMXHelp::SetHelpId(&dialog, CMXHelp::kResourceHelpBase + 2009); // the page setup dialog
    dialog.show();
    QApplication::processEvents();
    QTest::keyClick(&dialog, Qt::Key_F1);
    EXPECT_EQ(HelpPage(), "printing.html");
    QDialog plain(main);
    plain.show();
    QTest::keyClick(&plain, Qt::Key_F1);
    EXPECT_EQ(HelpPage(), "index.html");
}

TEST_F(MainWindowReachTest, AMissingTopicSaysWhichNumberIsMissing)
{
    ASSERT_TRUE(Run(ID_ADD_DATA));
    EXPECT_EQ(CMXHelp::MainWindowWinHelp(main, CMXHelp::kResourceHelpBase + 999, HELP_CONTEXT), nullptr);
    ASSERT_EQ(reporter->Ids(), std::vector<UINT>{1209});
    EXPECT_EQ(reporter->messages.back().text, "Help topic number 999 is not available.");
}

TEST_F(MainWindowReachTest, ToolBarsMenuShowsAndHidesEveryToolbar)
{
    QMenu* view = MenuOf("&View");
    ASSERT_NE(view, nullptr);
    QMenu* bars = nullptr;
    for (QAction* a : view->actions())
        if (a->menu() && a->text() == "&Tool Bars")
            bars = a->menu();
    ASSERT_NE(bars, nullptr);
    QStringList entries;
    for (QAction* a : bars->actions())
        entries << a->text();
    EXPECT_EQ(entries, (QStringList{"&Standard", "&Workspace", "&Data", "&Graph", "D&rawing", "&Color", "&Formatting"}));

    const std::pair<UINT, QToolBar*> switches[] = {
        {ID_VIEW_WORKSPACE_BAR, main->GetWorkspaceToolBar()}, {ID_VIEW_DATA_BAR, main->GetDataToolBar()},
        {ID_VIEW_GRAPH_BAR, main->GetGraphToolBar()},
        {ID_VIEW_DRAWING_BAR, main->GetDrawingToolBar()},     {ID_VIEW_COLOR_BAR, main->GetColourBar()},
        {ID_VIEW_STYLE_BAR, main->GetFormatToolBar()}};
    for (const auto& [id, bar] : switches) {
        ASSERT_NE(bar, nullptr) << id;
        ASSERT_FALSE(bar->isHidden()) << id;
        EXPECT_TRUE(Query(id).m_checked.value_or(false)) << id;
        ASSERT_TRUE(Run(id));
        EXPECT_TRUE(bar->isHidden()) << id;
        EXPECT_FALSE(Query(id).m_checked.value_or(true)) << id;
        ASSERT_TRUE(Run(id));
        EXPECT_FALSE(bar->isHidden()) << id;
    }
}

// The Graph toolbar arranges the objects of the active graph page; each of
// its buttons says why it is disabled, and works once it is not.
TEST_F(MainWindowReachTest, GraphBarArrangesTheObjectsOfTheActivePage)
{
    QToolBar* bar = main->GetGraphToolBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->windowTitle(), "Graph");
    std::vector<UINT> ids;
    for (QAction* a : bar->actions())
        if (!a->isSeparator())
            ids.push_back(main->GetRouter().CommandOf(a));
    const std::vector<UINT> expected = {ID_ALIGN_LEFT, ID_ALIGN_RIGHT, ID_ALIGN_TOP, ID_ALIGN_BOTTOM,
                                        ID_ALIGN_VERT_CENTER, ID_ALIGN_HORZ_CENTER, ID_OBJECT_GROUP,
                                        ID_OBJECT_UNGROUP, ID_OBJECT_MOVE_TO_FRONT, ID_OBJECT_MOVE_TO_BACK,
                                        ID_OBJECT_MOVE_FORWARD, ID_OBJECT_MOVE_BACK};
    ASSERT_EQ(ids, expected);
    auto reasonOf = [&](UINT id) {
        main->GetRouter().UpdateAll();
        QAction* a = main->GetRouter().Action(id);
        return a->isEnabled() ? std::string() : a->statusTip().toStdString();
    };
    // No graph window: every button is off and says so.
    ASSERT_TRUE(Run(ID_ADD_NOTEPAD));
    for (UINT id : expected)
        EXPECT_EQ(reasonOf(id), LoadString(IDS_REASON_NO_GRAPH_VIEW)) << id;

    ASSERT_TRUE(Run(ID_ADD_GRAPH));
    auto* frame = dynamic_cast<CGraphProjectWnd*>(main->GetActiveItemFrame());
    ASSERT_NE(frame, nullptr);
    CGraphView* view = frame->GetGraphView();
    CMXDrawData& page = view->GetGraph()->GetPage();
    auto* a = new CDrawRect({100, -100, 1000, -800}, &page);
    auto* b = new CDrawRect({1500, -300, 2500, -900}, &page);
    page.AddObject(a);
    page.AddObject(b);
    // Nothing selected: the reasons name the selection each command needs.
    EXPECT_EQ(reasonOf(ID_ALIGN_LEFT), LoadString(IDS_REASON_SELECT_TWO));
    EXPECT_EQ(reasonOf(ID_OBJECT_GROUP), LoadString(IDS_REASON_SELECT_TWO));
    EXPECT_EQ(reasonOf(ID_OBJECT_UNGROUP), LoadString(IDS_REASON_SELECT_GROUP));
    EXPECT_EQ(reasonOf(ID_OBJECT_MOVE_TO_FRONT), LoadString(IDS_REASON_SELECT_ONE));
    view->Select(a);
    view->Select(b, true);
    EXPECT_EQ(reasonOf(ID_ALIGN_LEFT), "");
    main->GetRouter().Action(ID_ALIGN_LEFT)->trigger();
    EXPECT_EQ(a->GetPosition().left, b->GetPosition().left);
    EXPECT_EQ(reasonOf(ID_OBJECT_MOVE_TO_FRONT), LoadString(IDS_REASON_SELECT_ONE));
    view->Select(a);
    EXPECT_EQ(reasonOf(ID_OBJECT_MOVE_TO_FRONT), "");
    main->GetRouter().Action(ID_OBJECT_MOVE_TO_FRONT)->trigger();
    EXPECT_EQ(page.GetObjects().back(), a);
    // A graph among the selection: grouping says why not.
    auto* graph = new CDrawGraph({3000, -100, 5000, -1500}, &page);
    page.AddObject(graph);
    view->Select(a);
    view->Select(graph, true);
    EXPECT_EQ(reasonOf(ID_OBJECT_GROUP), LoadString(IDS_REASON_GRAPH_IN_GROUP));
    view->Select(b, true);
    EXPECT_EQ(reasonOf(ID_OBJECT_GROUP), LoadString(IDS_REASON_GRAPH_IN_GROUP));
}

TEST_F(MainWindowReachTest, ColourBarHoldsTheThirtyColoursTheirTargetsAndCustomColor)
{
    QToolBar* colours = main->GetColourBar();
    ASSERT_NE(colours, nullptr);
    EXPECT_EQ(main->toolBarArea(colours), Qt::BottomToolBarArea);
    std::vector<UINT> ids;
    for (QAction* a : colours->actions())
        if (!a->isSeparator())
            ids.push_back(main->GetRouter().CommandOf(a));
    std::vector<UINT> expected = {ID_COLOR_TARGET_FILL, ID_COLOR_TARGET_LINE, ID_COLOR_TARGET_TEXT, ID_COLOR_ON_OFF};
    for (UINT id = ID_COLOR_FIRST; id <= ID_COLOR_LAST; ++id)
        expected.push_back(id);
    expected.push_back(ID_COLOR_CUSTOM);
    EXPECT_EQ(ids, expected);
}

TEST_F(MainWindowReachTest, StatusPaneFollowsTheCurrentCellOfTheActiveTable)
{
    ASSERT_TRUE(Run(ID_ADD_DATA));
    auto* frame = dynamic_cast<CTableProjectWnd*>(main->GetActiveItemFrame());
    ASSERT_NE(frame, nullptr);
    CDataView* view = frame->GetDataView();
    ASSERT_NE(view, nullptr);
    view->SetCurrentCell(7, 3);
    main->GetRouter().UpdateAll();
    EXPECT_EQ(main->GetStatePane()->text(), "Row 5, Col 3");
    EXPECT_FALSE(main->GetStatePane()->isHidden());
    view->SetCurrentCell(1048578, 16384);
    main->GetRouter().UpdateAll();
    EXPECT_EQ(main->GetStatePane()->text(), "Row 1048576, Col 16384");
}

TEST_F(MainWindowReachTest, ZoomBoxIsEnabledForATableAndFollowsViewZoom)
{
    CZoomComboBox* box = main->GetStandardBar()->ZoomBox();
    ASSERT_NE(box, nullptr);
    main->GetStandardBar()->UpdateZoom();
    EXPECT_FALSE(box->isEnabled());
    ASSERT_TRUE(Run(ID_ADD_DATA));
    auto* frame = dynamic_cast<CTableProjectWnd*>(main->GetActiveItemFrame());
    ASSERT_NE(frame, nullptr);
    main->GetStandardBar()->UpdateZoom();
    EXPECT_TRUE(box->isEnabled());
    ASSERT_TRUE(Run(32986)); // View > Zoom > 50%
    main->GetStandardBar()->UpdateZoom();
    EXPECT_EQ(box->currentText(), "50%");
    // And the other way: a zoom chosen in the box reaches the table.
    box->setEditText("150");
    emit box->zoomChosen(box->Commit());
    EXPECT_EQ(frame->GetDataView()->GetZoomPercent(), 150);
}

TEST_F(MainWindowReachTest, CloseAllClosesEveryItemWindowAndIsDisabledWithoutOne)
{
    ASSERT_TRUE(Run(ID_ADD_NOTEPAD));
    ASSERT_TRUE(Run(ID_ADD_DATA));
    ASSERT_EQ(main->GetFrames().size(), 2u);
    ASSERT_TRUE(Run(ID_WINDOW_CLOSE_ALL));
    EXPECT_TRUE(main->GetFrames().empty());
    EXPECT_EQ(doc()->GetItemListCtrl()->GetItemCount(), 2); // the items stay
    main->GetRouter().UpdateAll();
    QAction* closeAll = main->GetRouter().Action(ID_WINDOW_CLOSE_ALL);
    EXPECT_FALSE(closeAll->isEnabled());
    EXPECT_EQ(closeAll->statusTip().toStdString(), LoadString(IDS_REASON_NO_ITEM_WINDOW));
}

TEST_F(MainWindowReachTest, NoteTextTakesAFaceASizeAndColoursThatSurviveTheFile)
{
    ASSERT_TRUE(Run(ID_ADD_NOTEPAD));
    CCommentRichEditCtrl* editor = NoteEditor("Notes");
    ASSERT_NE(editor, nullptr);
    editor->setFocus();
    QTest::keyClicks(editor, "plain big red");
    CMainToolBar* bar = main->GetFormatToolBar();
    ASSERT_NE(bar, nullptr);
    auto select = [&](int from, int to) {
        QTextCursor c = editor->textCursor();
        c.setPosition(from);
        c.setPosition(to, QTextCursor::KeepAnchor);
        editor->setTextCursor(c);
    };
    // The face box: a face other than the note's.
    select(6, 9); // "big"
    ASSERT_EQ(static_cast<QWidget*>(main->GetCharFormatView()), static_cast<QWidget*>(editor));
    CFontNameCombo* faces = bar->NameCombo();
    ASSERT_GT(faces->count(), 1);
    const QString current = editor->textCursor().charFormat().font().family();
    int other = 0;
    while (other < faces->count() && faces->itemText(other) == current)
        ++other;
    ASSERT_LT(other, faces->count());
    ASSERT_NE(faces->GetDescription(other), nullptr);
    const QString face = QString::fromStdString(faces->GetDescription(other)->faceName);
    faces->setCurrentIndex(other);
    bar->OnFaceChosen(other);
    // The size box: 18 points typed and entered.
    QLineEdit* size = bar->SizeCombo()->GetEdit();
    size->setFocus();
    size->selectAll();
    QTest::keyClicks(size, "18");
    QTest::keyClick(size, Qt::Key_Return);
    // A colour of the colour bar: red.
    select(10, 13); // "red"
    ASSERT_TRUE(Run(ID_COLOR_FIRST + 4));
    // Text Color... with a colour of the user's own.
    select(0, 5); // "plain"
    CCommentRichEditCtrl::SetColourChooser([](QWidget*, COLORREF, COLORREF& chosen) {
        chosen = RGB(10, 120, 30);
        return true;
    });
    ASSERT_TRUE(Run(ID_FORMAT_TEXT_COLOR));

    auto formatAt = [&](int position) {
        QTextCursor c(editor->document());
        c.setPosition(position + 1);
        return c.charFormat();
    };
    EXPECT_EQ(formatAt(6).font().families().value(0), face);
    EXPECT_DOUBLE_EQ(formatAt(6).fontPointSize(), 18.0);
    EXPECT_EQ(formatAt(10).foreground().color(), QColor(255, 0, 0));
    EXPECT_EQ(formatAt(0).foreground().color(), QColor(10, 120, 30));
    // The toolbar shows the selection's face and size.
    select(6, 9);
    bar->UpdateFromView();
    EXPECT_EQ(bar->SizeCombo()->currentText(), "18");

    // Saved and read back, the note keeps them.
    editor = SaveAndReopenNote("formatted-note.mxf");
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->toPlainText(), "plain big red");
    EXPECT_EQ(formatAt(6).font().families().value(0), face);
    EXPECT_DOUBLE_EQ(formatAt(6).fontPointSize(), 18.0);
    EXPECT_EQ(formatAt(10).foreground().color(), QColor(255, 0, 0));
    EXPECT_EQ(formatAt(0).foreground().color(), QColor(10, 120, 30));
}

TEST_F(MainWindowReachTest, FormatFontGivesTheSelectionFaceSizeAndEffects)
{
    ASSERT_TRUE(Run(ID_ADD_NOTEPAD));
    CCommentRichEditCtrl* editor = NoteEditor("Notes");
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, "heading");
    editor->selectAll();
    CHARFORMAT seen;
    CCommentRichEditCtrl::SetFontChooser([&](QWidget*, CHARFORMAT& format) {
        seen = format;
        std::memset(format.szFaceName, 0, sizeof format.szFaceName);
        std::strcpy(format.szFaceName, "Courier New");
        format.yHeight = 480; // 24 pt
        format.dwEffects |= CFE_BOLD | CFE_ITALIC;
        return true;
    });
    ASSERT_TRUE(Query(ID_FORMAT_FONT).m_enabled.value_or(false));
    ASSERT_TRUE(Run(ID_FORMAT_FONT));
    // The dialog started from the selection's size (a new note's 12 points).
    EXPECT_EQ(seen.yHeight, 240);
    QTextCursor c(editor->document());
    c.setPosition(3);
    EXPECT_EQ(c.charFormat().font().families().value(0), "Courier New");
    EXPECT_DOUBLE_EQ(c.charFormat().fontPointSize(), 24.0);
    EXPECT_EQ(c.charFormat().fontWeight(), QFont::Bold);
    EXPECT_TRUE(c.charFormat().fontItalic());
    // Cancelled, the font stays.
    CCommentRichEditCtrl::SetFontChooser([](QWidget*, CHARFORMAT&) { return false; });
    ASSERT_TRUE(Run(ID_FORMAT_FONT));
    EXPECT_DOUBLE_EQ(c.charFormat().fontPointSize(), 24.0);
}

TEST_F(MainWindowReachTest, FontBoxesAreDisabledWithAReasonWithoutText)
{
    ASSERT_TRUE(Run(ID_ADD_DATA));
    EXPECT_EQ(main->GetCharFormatView(), nullptr);
    QTest::qWait(300); // the boxes follow the active window
    EXPECT_FALSE(main->GetFormatToolBar()->NameCombo()->isEnabled());
    EXPECT_EQ(main->GetFormatToolBar()->NameCombo()->toolTip().toStdString(), LoadString(IDS_REASON_NO_TEXT_VIEW));
    ASSERT_TRUE(Run(ID_ADD_NOTEPAD));
    QTest::qWait(300);
    EXPECT_TRUE(main->GetFormatToolBar()->NameCombo()->isEnabled());
}

TEST_F(MainWindowReachTest, TitleMarksUnsavedChanges)
{
    EXPECT_TRUE(main->windowTitle().endsWith("[*]"));
    EXPECT_FALSE(main->isWindowModified());
    ASSERT_TRUE(Run(ID_ADD_NOTEPAD));
    QTest::qWait(300);
    EXPECT_TRUE(main->isWindowModified());
}

TEST_F(MainWindowReachTest, DialogsArePlainDialogs)
{
    QDialog dialog(main);
    dialog.show();
    QApplication::processEvents();
    const Qt::WindowFlags flags = dialog.windowFlags();
    EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_TRUE(flags & Qt::WindowTitleHint);
}

TEST_F(MainWindowReachTest, NewTablesTakeTheSavedDefaults)
{
    WriteProfileString("Number Formatting", "Decimals", "2");
    LOGFONT font{};
    std::strcpy(font.lfFaceName, "Courier New");
    font.lfWeight = 400;
    app->m_tableColours[CMXApp::ColorGrid] = RGB(200, 10, 10);
    app->m_tableColours[CMXApp::ColorText] = RGB(0, 0, 160);
    app->SetDefaultTableFont(font, 140);
    ASSERT_TRUE(Run(ID_ADD_DATA));
    auto* table = dynamic_cast<CMXGrid*>(doc()->GetProjectItems().back());
    ASSERT_NE(table, nullptr);
    const CGridData& grid = table->GetGridData();
    EXPECT_STREQ(grid.m_storedFont.lfFaceName, "Courier New");
    EXPECT_EQ(grid.m_nPointSize, 14);
    EXPECT_EQ(grid.m_crShadow, RGB(200, 10, 10));
    EXPECT_EQ(grid.m_crText, RGB(0, 0, 160));
    EXPECT_EQ(table->GetTable().GetDefaultFormat().m_decimals, 2);
    WriteProfileString("Number Formatting", "Decimals", nullptr);
    app->m_bTableChanged = false;
}

TEST_F(MainWindowReachTest, NoteBulletsSurviveTheFile)
{
    ASSERT_TRUE(Run(ID_ADD_NOTEPAD));
    CCommentRichEditCtrl* editor = NoteEditor("Notes");
    ASSERT_NE(editor, nullptr);
    editor->setFocus();
    QTest::keyClicks(editor, "intro");
    QTest::keyClick(editor, Qt::Key_Return);
    QTest::keyClicks(editor, "first point");
    ASSERT_TRUE(Run(ID_FORMAT_BULLETS));
    QTest::keyClick(editor, Qt::Key_Return);
    QTest::keyClicks(editor, "second point");
    auto bullets = [&] {
        std::vector<bool> out;
        for (QTextBlock b = editor->document()->begin(); b.isValid(); b = b.next())
            if (!b.text().isEmpty())
                out.push_back(b.textList() != nullptr);
        return out;
    };
    ASSERT_EQ(bullets(), (std::vector<bool>{false, true, true}));

    editor = SaveAndReopenNote("bullets.mxf");
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->toPlainText(), "intro\nfirst point\nsecond point");
    EXPECT_EQ(bullets(), (std::vector<bool>{false, true, true}));
}

TEST_F(MainWindowReachTest, NewItemWindowsOpenInsideTheWorkspaceArea)
{
    for (int i = 0; i < 9; ++i)
        ASSERT_TRUE(Run(ID_ADD_NOTEPAD));
    const QRect area = main->GetMdiArea()->viewport()->rect();
    ASSERT_FALSE(area.isEmpty());
    for (CProjectFrameBase* frame : main->GetFrames())
        EXPECT_TRUE(area.contains(frame->geometry())) << frame->windowTitle().toStdString();
}
