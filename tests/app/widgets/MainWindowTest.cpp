#include "app/MXDoc.h"
#include "app/MXGrid.h"
#include "app/MXLinear.h"
#include "app/widgets/DataView.h"
#include "app/widgets/TableProjectWnd.h"
#include "app/MXNotes.h"
#include "app/MXNotes.h"
#include "app/widgets/MXApp.h"
#include "app/widgets/MXListViewBar.h"
#include "app/widgets/FitTabForm.h"
#include "app/widgets/MXMainWnd.h"
#include "app/widgets/NotepadProjectWnd.h"
#include "draw/widgets/DrawCommands.h"
#include "framework/Profile.h"
#include "platform/StringIds.h"
#include "platform/widgets/CommandIds.h"
#include "framework/widgets/ProjectFrameBase.h"
#include "framework/widgets/ProjectTemplateBase.h"
#include "support/ImageCompare.h"
#include "support/TestSupport.h"
#include "AppTestSupport.h"
#include "ui/widgets/CommentRichEditCtrl.h"
#include "ui/widgets/StandardToolBar.h"

#include <QApplication>
#include <QLineEdit>
#include <QMdiArea>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QSvgRenderer>
#include <QTimer>
#include <QToolBar>
#include <QWidgetAction>
#include <QPdfWriter>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <thread>
#include <unistd.h>

namespace {

std::string TempPath(const std::string& name)
{
    auto dir = std::filesystem::temp_directory_path() / ("marlox-gui-test-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    return (dir / name).string();
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override { Start({"marlox"}); }
    void TearDown() override { Stop(); }

    void Start(const QStringList& arguments)
    {
        app = std::make_unique<CMXApp>();
        ASSERT_TRUE(app->InitInstance(arguments));
        // Message boxes would wait for a click: record them instead.
        reporter = std::make_unique<RecordingReporter>();
        main = app->GetMainFrame();
        bar = dynamic_cast<CMXListViewBar*>(app->GetListViewBar());
        main->activateWindow();
        QApplication::processEvents();
    }
    void Stop()
    {
        if (!app)
            return;
        if (CMXDoc* d = doc())
            d->SetModifiedFlag(false);
        reporter.reset();
        app->ExitInstance();
        app.reset();
    }

    CMXDoc* doc() const { return dynamic_cast<CMXDoc*>(app->GetProjectDoc()); }
    CItemListCtrl* list() const { return doc()->GetItemListCtrl(); }
    bool Run(UINT id)
    {
        main->GetRouter().UpdateAll();
        bool ran = main->GetRouter().Execute(id);
        QApplication::processEvents();
        return ran;
    }
    std::vector<std::string> Labels() const
    {
        std::vector<std::string> out;
        for (int i = 0; i < list()->GetItemCount(); ++i)
            out.push_back(list()->GetItemText(i, 0));
        return out;
    }
    std::vector<std::string> StackedTitles() const
    {
        std::vector<std::string> out;
        for (CProjectFrameBase* f : main->GetFramesInStackingOrder())
            out.push_back(f->windowTitle().toStdString());
        return out;
    }
    void Select(std::initializer_list<int> rows)
    {
        list()->ClearSelection();
        for (int r : rows)
            list()->SetItemState(r, LVIS_SELECTED, LVIS_SELECTED);
        if (rows.size() > 0)
            list()->SetItemState(*rows.begin(), LVIS_FOCUSED, LVIS_FOCUSED);
    }
    void AddNotepads(int n)
    {
        for (int i = 0; i < n; ++i)
            ASSERT_TRUE(Run(ID_ADD_NOTEPAD));
    }
    CProjectFrameBase* FrameOf(const std::string& name) const
    {
        for (CProjectFrameBase* f : main->GetFrames())
            if (f->GetItem() && f->GetItem()->GetName() == name)
                return f;
        return nullptr;
    }

    std::unique_ptr<CMXApp> app;
    std::unique_ptr<RecordingReporter> reporter;
    CMXMainWnd* main = nullptr;
    CMXListViewBar* bar = nullptr;
};

} // namespace

TEST_F(MainWindowTest, StartsWithAnEmptyUntitledWorkspace)
{
    ASSERT_NE(doc(), nullptr);
    EXPECT_EQ(doc()->GetTitle(), "Untitled");
    EXPECT_EQ(main->windowTitle().toStdString(), "Marlox - Untitled[*]");
    EXPECT_EQ(bar->GetDocument(), doc());
    EXPECT_EQ(doc()->GetHost(), main);
    // Nothing claims Undo yet: disabled, with the plain text.
    CCmdUI undo = main->GetRouter().Query(ID_EDIT_UNDO);
    EXPECT_FALSE(undo.m_enabled.value());
}

TEST_F(MainWindowTest, AddedNotepadsAreListedAndOpenInWindows)
{
    AddNotepads(3);
    EXPECT_EQ(Labels(), (std::vector<std::string>{"Notes", "Notes #2", "Notes #3"}));
    EXPECT_EQ(bar->GetListCtrl()->model()->rowCount(), 3);
    EXPECT_EQ(main->GetFrames().size(), 3u);
    EXPECT_EQ(StackedTitles().back(), "Notes #3");
    // Each listed icon has a place of its own.
    EXPECT_NE(list()->GetItemPosition(0), list()->GetItemPosition(1));
    EXPECT_NE(list()->GetItemPosition(1), list()->GetItemPosition(2));
    EXPECT_TRUE(doc()->IsModified());
    // A second window on the same item is numbered.
    main->GetMdiArea()->setActiveSubWindow(FrameOf("Notes"));
    ASSERT_TRUE(Run(ID_WINDOW_NEW));
    std::vector<std::string> titles;
    for (CProjectFrameBase* f : main->GetFrames())
        titles.push_back(f->windowTitle().toStdString());
    EXPECT_EQ(titles, (std::vector<std::string>{"Notes:1", "Notes #2", "Notes #3", "Notes:2"}));
    // A maximised window carries the workspace's title too, and so does the main window.
    CProjectFrameBase* second = FrameOf("Notes #2");
    second->showMaximized();
    QApplication::processEvents();
    EXPECT_EQ(second->windowTitle().toStdString(), "Untitled - Notes #2");
}

TEST_F(MainWindowTest, RenameRefusesBlankAndTakenNamesAndUndoes)
{
    AddNotepads(2);
    bar->FocusList();
    Select({1});
    QApplication::processEvents();
    auto commit = [&](const char* text) {
        bar->BeginRename();
        QLineEdit* editor = bar->GetLabelEditor();
        if (!editor)
            return false;
        editor->setText(text);
        QTest::keyClick(editor, Qt::Key_Return);
        QApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return true;
    };
    ASSERT_TRUE(commit(""));
    EXPECT_EQ(reporter->Ids(), std::vector<UINT>{26006});
    ASSERT_TRUE(commit("notes")); // another item's name in another letter case
    EXPECT_EQ(reporter->Ids(), (std::vector<UINT>{26006, 26007}));
    EXPECT_EQ(reporter->messages.back().text, "There is another item called \"notes\". Please enter a unique name.");
    EXPECT_EQ(Labels(), (std::vector<std::string>{"Notes", "Notes #2"}));
    ASSERT_TRUE(commit("Results"));
    EXPECT_EQ(Labels(), (std::vector<std::string>{"Notes", "Results"}));
    EXPECT_EQ(FrameOf("Results")->windowTitle().toStdString(), "Results");
    // With the list holding the focus, Undo names the workspace's last action.
    bar->FocusList();
    EXPECT_TRUE(main->IsListActive());
    CCmdUI undo = main->GetRouter().Query(ID_EDIT_UNDO);
    EXPECT_TRUE(undo.m_enabled.value());
    EXPECT_EQ(undo.m_text.value(), "&Undo Rename\tCtrl+Z");
    // Focus in an item window: Undo belongs to that window's text again.
    auto* view = qobject_cast<CNoteView*>(FrameOf("Results")->widget());
    view->GetEditor()->setFocus();
    QApplication::processEvents();
    EXPECT_FALSE(main->IsListActive());
    EXPECT_EQ(main->GetRouter().Query(ID_EDIT_UNDO).m_text.value(), "&Undo\tCtrl+Z");
    bar->FocusList();
    ASSERT_TRUE(Run(ID_EDIT_UNDO));
    EXPECT_EQ(Labels(), (std::vector<std::string>{"Notes", "Notes #2"}));
    // Its own name in another case is no clash.
    Select({1});
    ASSERT_TRUE(commit("NOTES #2"));
    EXPECT_EQ(Labels(), (std::vector<std::string>{"Notes", "NOTES #2"}));
    EXPECT_EQ(reporter->messages.size(), 2u);
}

TEST_F(MainWindowTest, DeleteClosesWindowsAndUndoBringsThemBack)
{
    AddNotepads(3);
    bar->FocusList();
    Select({0, 2});
    ASSERT_TRUE(Run(ID_EDIT_CLEAR));
    EXPECT_EQ(Labels(), std::vector<std::string>{"Notes #2"});
    EXPECT_EQ(main->GetFrames().size(), 1u);
    ASSERT_TRUE(Run(ID_EDIT_UNDO));
    EXPECT_EQ(list()->GetItemCount(), 3);
    EXPECT_EQ(main->GetFrames().size(), 3u);
    // The reopened windows took the focus; back in the list, Redo deletes again.
    bar->FocusList();
    ASSERT_TRUE(Run(ID_EDIT_REDO));
    EXPECT_EQ(list()->GetItemCount(), 1);
}

TEST_F(MainWindowTest, CopyAndPasteGiveCopyNames)
{
    AddNotepads(2);
    bar->FocusList();
    Select({0, 1});
    ASSERT_TRUE(Run(ID_EDIT_COPY));
    ASSERT_TRUE(main->GetRouter().Query(ID_EDIT_PASTE).m_enabled.value());
    ASSERT_TRUE(Run(ID_EDIT_PASTE));
    EXPECT_EQ(Labels(), (std::vector<std::string>{"Notes", "Notes #2", "Copy of Notes", "Copy of Notes #2"}));
    // The pasted rows are the selection now; a cut takes them away and a paste brings them back.
    ASSERT_TRUE(Run(ID_EDIT_CUT));
    EXPECT_EQ(list()->GetItemCount(), 2);
    ASSERT_TRUE(Run(ID_EDIT_PASTE));
    EXPECT_EQ(Labels(), (std::vector<std::string>{"Notes", "Notes #2", "Copy of Notes", "Copy of Notes #2"}));
}

TEST_F(MainWindowTest, DragWithinTheListMovesIconsAndDeletesNothing)
{
    AddNotepads(3);
    bar->FocusList();
    Select({0, 1});
    POINT p0 = list()->GetItemPosition(0), p1 = list()->GetItemPosition(1);
    doc()->SetModifiedFlag(false);
    std::unique_ptr<QMimeData> data(bar->MakeDragData(0, QPoint(p0.x + 5, p0.y + 7)));
    ASSERT_TRUE(data);
    EXPECT_EQ(bar->DropEffect(data.get(), Qt::NoModifier), Qt::MoveAction);
    EXPECT_EQ(bar->DropEffect(data.get(), Qt::ControlModifier), Qt::CopyAction);
    ASSERT_TRUE(bar->HandleDrop(data.get(), QPoint(300 + 5, 400 + 7), Qt::MoveAction));
    bar->FinishDrag(Qt::MoveAction);
    EXPECT_EQ(list()->GetItemCount(), 3);
    EXPECT_EQ(list()->GetItemPosition(0), (POINT{300, 400}));
    EXPECT_EQ(list()->GetItemPosition(1), (POINT{300 + p1.x - p0.x, 400 + p1.y - p0.y}));
    EXPECT_TRUE(doc()->IsModified());
    ASSERT_TRUE(Run(ID_EDIT_UNDO));
    EXPECT_EQ(list()->GetItemPosition(0), p0);
}

TEST_F(MainWindowTest, DragToAnotherListMovesOnlyAfterASuccessfulDrop)
{
    AddNotepads(2);
    CMXDoc other;
    CMXListViewBar target;
    target.SetDocument(&other);
    bar->FocusList();
    Select({1});

    // Refused by the target: the source keeps its items.
    std::unique_ptr<QMimeData> data(bar->MakeDragData(1, QPoint(0, 0)));
    bar->FinishDrag(Qt::IgnoreAction);
    EXPECT_EQ(list()->GetItemCount(), 2);

    // Data without the private format is refused by a list.
    QMimeData foreign;
    foreign.setText("hello");
    EXPECT_EQ(target.DropEffect(&foreign, Qt::NoModifier), Qt::IgnoreAction);
    EXPECT_FALSE(target.HandleDrop(&foreign, QPoint(0, 0), Qt::MoveAction));

    data.reset(bar->MakeDragData(1, QPoint(0, 0)));
    EXPECT_EQ(target.DropEffect(data.get(), Qt::NoModifier), Qt::MoveAction);
    ASSERT_TRUE(target.HandleDrop(data.get(), QPoint(100, 100), Qt::MoveAction));
    bar->FinishDrag(Qt::MoveAction);
    EXPECT_EQ(Labels(), std::vector<std::string>{"Notes"});
    ASSERT_EQ(other.GetItemListCtrl()->GetItemCount(), 1);
    EXPECT_EQ(other.GetItemListCtrl()->GetItemText(0, 0), "Notes #2");
    target.SetDocument(nullptr);
}

TEST_F(MainWindowTest, TypingInANoteMarksItModifiedAndAnEmptyNotePrintsOnePage)
{
    AddNotepads(1);
    CProjectFrameBase* frame = FrameOf("Notes");
    auto* view = qobject_cast<CNoteView*>(frame->widget());
    ASSERT_NE(view, nullptr);
    auto* notes = view->GetNotes();
    QPdfWriter empty(QString::fromStdString(TempPath("empty.pdf")));
    EXPECT_EQ(view->PrintTo(empty), 1);
    doc()->SetModifiedFlag(false);
    notes->ClearModified();
    QTest::keyClicks(view->GetEditor(), "typed");
    EXPECT_TRUE(notes->IsModified());
    EXPECT_TRUE(doc()->IsModified());
    // Many lines run onto further pages, none dropped.
    for (int i = 0; i < 200; ++i)
        view->GetEditor()->insertPlainText(QString("line %1\n").arg(i));
    QPdfWriter full(QString::fromStdString(TempPath("full.pdf")));
    EXPECT_GT(view->PrintTo(full), 2);
    // The text goes back to the item when the window closes.
    frame->close();
    QApplication::processEvents();
    EXPECT_NE(notes->GetRichData().GetPlainText().find("typedline 0"), std::string::npos);
}

TEST_F(MainWindowTest, SavedWorkspaceReopensWithTheSameWindowsAndStacking)
{
    AddNotepads(3);
    auto* view = qobject_cast<CNoteView*>(FrameOf("Notes #2")->widget());
    QTest::keyClicks(view->GetEditor(), "second note");
    FrameOf("Notes #3")->close();
    QApplication::processEvents();
    main->GetMdiArea()->setActiveSubWindow(FrameOf("Notes"));
    QApplication::processEvents();
    const std::vector<std::string> stacked = StackedTitles();
    ASSERT_EQ(stacked, (std::vector<std::string>{"Notes #2", "Notes"}));

    const std::string path = TempPath("reopen.mxf");
    doc()->SetPathName(path);
    ASSERT_TRUE(Run(ID_FILE_SAVE));
    EXPECT_FALSE(doc()->IsModified());
    EXPECT_EQ(main->windowTitle().toStdString(), "Marlox - reopen.mxf[*]");

    // A new workspace closes the windows; reading the file brings them back.
    ASSERT_TRUE(Run(ID_FILE_NEW));
    EXPECT_TRUE(main->GetFrames().empty());
    EXPECT_EQ(list()->GetItemCount(), 0);
    ASSERT_TRUE(app->OpenWorkspace(path));
    EXPECT_EQ(Labels(), (std::vector<std::string>{"Notes", "Notes #2", "Notes #3"}));
    EXPECT_EQ(StackedTitles(), stacked);

    // And so does starting the program on the file.
    Stop();
    Start({"marlox", QString::fromStdString(path)});
    EXPECT_EQ(doc()->GetPathName(), path);
    EXPECT_EQ(StackedTitles(), stacked);
    auto* reopened = qobject_cast<CNoteView*>(FrameOf("Notes #2")->widget());
    ASSERT_NE(reopened, nullptr);
    EXPECT_EQ(reopened->GetEditor()->toPlainText().toStdString(), "second note");
    // Closed windows stay closed, and their rows show it.
    EXPECT_EQ(FrameOf("Notes #3"), nullptr);
    EXPECT_TRUE(list()->GetItemState(2) & LVIS_CUT);
}

TEST_F(MainWindowTest, ModifiedWorkspaceAsksBeforeItIsReplaced)
{
    AddNotepads(1);
    reporter->Answer(IDCANCEL);
    EXPECT_FALSE(Run(ID_FILE_NEW) && list()->GetItemCount() == 0);
    EXPECT_EQ(reporter->Ids(), std::vector<UINT>{61447});
    EXPECT_EQ(list()->GetItemCount(), 1);
    reporter->Answer(IDNO);
    ASSERT_TRUE(Run(ID_FILE_NEW));
    EXPECT_EQ(list()->GetItemCount(), 0);
}

namespace {

// A notepad that records what its background calculation tells it.
class CListeningNotes : public CMXNotes {
public:
    explicit CListeningNotes(CProjectDocBase* doc) : CMXNotes(doc) {}
    void OnBackgroundMessage(int code, long long value) override { received.emplace_back(code, value); }
    std::vector<std::pair<int, long long>> received;
};

} // namespace

TEST_F(MainWindowTest, BackgroundMessagesReachOnlyLiveItems)
{
    auto* notes = new CListeningNotes(doc());
    notes->InitNewItem();
    const int id = notes->GetItemId();
    // Posted from a worker thread, delivered on the window's thread.
    std::thread worker([id] { CMXMainWnd::PostBackgroundMessage(2024, id, 2, 0); });
    worker.join();
    CMXMainWnd::PostBackgroundMessage(2027, id, 10, 55);
    QApplication::processEvents();
    EXPECT_EQ(notes->received, (std::vector<std::pair<int, long long>>{{2, 0}, {10, 55}}));
    // The item goes before its news arrives: nothing is delivered, nothing breaks.
    CMXMainWnd::PostBackgroundMessage(2024, id, 1, 0);
    bar->FocusList();
    Select({list()->FindItem(notes)});
    ASSERT_TRUE(Run(ID_EDIT_CLEAR));
    QApplication::processEvents();
    EXPECT_EQ(list()->GetItemCount(), 0);
}

TEST_F(MainWindowTest, ClosingKeepsPlacementBarsAndTheListsSettings)
{
    bar->SetWidthMode(2);
    bar->SetIconStyle(1);
    main->resize(900, 650);
    main->close();
    QApplication::processEvents();
    EXPECT_FALSE(GetProfileString("Toolbars", "State").empty());
    EXPECT_EQ(GetProfileString("Settings", "AppWindowSize"), "900,650");
    EXPECT_EQ(GetProfileString("Settings", "MaximizeApp"), "0");
    Stop();
    EXPECT_EQ(GetProfileInt("Workspace", "Width", -1), 2);
    EXPECT_EQ(GetProfileInt("Workspace", "Icon Style", -1), 1);
    // "Width" 0 starts with the list hidden.
    WriteProfileInt("Workspace", "Width", 0);
    WriteProfileInt("Workspace", "Icon Style", 0);
    Start({"marlox"});
    EXPECT_FALSE(bar->isVisible());
    EXPECT_EQ(bar->GetWidthMode(), 0);
    ASSERT_TRUE(Run(ID_BAR_NORMAL));
    EXPECT_TRUE(bar->isVisible());
    WriteProfileInt("Workspace", "Width", 1);
}

TEST(MXAppStart, AFileThatCannotBeReadEndsTheStartWithAMessageBox)
{
    const std::string path = TempPath("not-a-workspace.mxf");
    {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        std::fputs("this is no workspace", f);
        std::fclose(f);
    }
    WriteProfileInt("Preferences", "ShowMessageNo", 1);
    QString title, text;
    // Answers the box the program shows, as a person would.
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            title = box->windowTitle();
            text = box->text();
            box->accept();
        }
    });
    timer.start(20);
    CMXApp app;
    EXPECT_FALSE(app.InitInstance({"marlox", QString::fromStdString(path)}));
    app.ExitInstance();
    WriteProfileInt("Preferences", "ShowMessageNo", 0);
    // A flat file without a known magic is refused with a message that names it.
    EXPECT_EQ(title.toStdString(), "Marlox [Help No: 8509]");
    EXPECT_EQ(text.toStdString(),
              "The file \"" + path + "\" is not a Marlox workspace file. It may belong to another program.");
}

TEST_F(MainWindowTest, LargeButtonsPreferenceResizesTheToolbarsAndIsWrittenAtExit)
{
    EXPECT_EQ(main->GetStandardBar()->iconSize(), QSize(16, 16));
    app->SetLargeIcons(true);
    EXPECT_EQ(main->GetStandardBar()->iconSize(), QSize(24, 24));
    EXPECT_EQ(main->GetWorkspaceToolBar()->iconSize(), QSize(24, 24));
    // Menus keep their small pictures.
    EXPECT_FALSE(main->GetRouter().Action(ID_EDIT_CUT)->icon().isNull());
    Stop();
    EXPECT_EQ(GetProfileInt("Preferences", "LargeIcons", -1), 1);
    Start({"marlox"});
    EXPECT_EQ(main->GetStandardBar()->iconSize(), QSize(24, 24));
    app->SetLargeIcons(false);
}

TEST_F(MainWindowTest, NewFromTemplateMakesAnUntitledWorkspace)
{
    std::string path = TempPath("template.mxt");
    AddNotepads(2);
    ASSERT_TRUE(doc()->OnSaveDocument(path));
    Stop();
    Start({"marlox", "/new", QString::fromStdString(path)});
    EXPECT_EQ(Labels(), (std::vector<std::string>{"Notes", "Notes #2"}));
    EXPECT_TRUE(doc()->GetPathName().empty());
    EXPECT_EQ(doc()->GetTitle().find("template"), std::string::npos);
}

namespace {

std::string WriteOldFile(const std::string& name, bool workspace)
{
    return WriteVersion3File(TempPath(name), workspace);
}

} // namespace

TEST_F(MainWindowTest, ConvertedOldFilesOpenUntitledAndModifiedWithANotice)
{
    ASSERT_TRUE(app->OpenWorkspace(WriteOldFile("old.mxd", true)));
    EXPECT_EQ(reporter->Ids(), std::vector<UINT>{1213});
    EXPECT_TRUE(doc()->GetPathName().empty());
    EXPECT_TRUE(doc()->IsModified());
    EXPECT_EQ(Labels(), std::vector<std::string>{"Results - Run"});
    // The converted note opens in its window.
    ASSERT_NE(FrameOf("Results - Run"), nullptr);
    EXPECT_EQ(main->windowTitle().toStdString().find("old"), std::string::npos);

    doc()->SetModifiedFlag(false);
    reporter->messages.clear();
    ASSERT_TRUE(app->OpenWorkspace(WriteOldFile("old.mxe", false)));
    EXPECT_EQ(reporter->Ids(), std::vector<UINT>{1211});
    EXPECT_TRUE(doc()->GetPathName().empty());
    EXPECT_TRUE(doc()->IsModified());
    EXPECT_EQ(list()->GetItemCount(), 0);
    std::filesystem::remove(TempPath("old.mxd"));
    std::filesystem::remove(TempPath("old.mxe"));
}

TEST_F(MainWindowTest, AddDataTableOpensItsWindowAndTypingIsUndoable)
{
    ASSERT_TRUE(Run(ID_ADD_DATA));
    ASSERT_EQ(main->GetFrames().size(), 1u);
    auto* frame = dynamic_cast<CTableProjectWnd*>(main->GetFrames().front());
    ASSERT_NE(frame, nullptr);
    CDataView* view = frame->GetDataView();
    ASSERT_NE(view, nullptr);
    auto* item = dynamic_cast<CMXGrid*>(frame->GetItem());
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(view->SetCellText(3, 1, "12.5"), 1);
    double v = 0;
    ASSERT_TRUE(item->GetTable().GetNumber(2, 0, v));
    EXPECT_EQ(v, 12.5);
    // The window's Undo is the table's: the value goes again.
    frame->activateWindow();
    CCmdUI undo(ID_EDIT_UNDO);
    ASSERT_TRUE(frame->OnCmdMsg(ID_EDIT_UNDO, &undo));
    EXPECT_TRUE(undo.m_enabled.value_or(false));
    ASSERT_TRUE(frame->OnCmdMsg(ID_EDIT_UNDO, nullptr));
    EXPECT_EQ(item->GetTable().GetCell(2, 0), nullptr);
}

TEST_F(MainWindowTest, AFitOpensInItsOwnWindow)
{
    auto* fit = new CMXLinear(doc());
    fit->InitNewItem();
    EXPECT_TRUE(fit->OpenWindow());
    ASSERT_EQ(main->GetFrames().size(), 1u);
    EXPECT_NE(dynamic_cast<CLinearProjectWnd*>(main->GetFrames().front()), nullptr);
    EXPECT_TRUE(reporter->messages.empty());
}

namespace {

// An item picture of the repository drawn at 32 pixels, as the program's
// resource should give it.
QImage RepositoryPicture(const std::string& name)
{
    QSvgRenderer renderer(QString::fromStdString(MARLOX_SOURCE_DIR "/app/icons/" + name + ".svg"));
    QImage image(32, 32, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(0, 0, 32, 32));
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

QImage Picture(const QIcon& icon) { return icon.pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32); }

// Pixels that differ by more than a rounding step, after scaling b's opacity by alphaScale.
int Differences(const QImage& a, const QImage& b, double alphaScale = 1.0)
{
    return DifferentPixels(a, b, 12, 3, alphaScale);
}

} // namespace

TEST_F(MainWindowTest, TheWorkspaceListShowsEachKindsPictureAndItsOpenForm)
{
    const std::vector<std::pair<UINT, std::string>> kinds{
        {ID_ADD_DATA, "table"},          {ID_ADD_EQUATION, "equation"},   {ID_ADD_TRANSFORM, "transform"},
        {ID_ADD_GRAPH, "graph"},         {ID_ADD_LINEAR, "linear-fit"},   {ID_ADD_NONLINEAR, "nonlinear-fit"},
        {ID_ADD_NOTEPAD, "notes"},       {ID_ADD_HARD_EQUATION, "library-equation"}};
    for (const auto& [id, name] : kinds)
        ASSERT_TRUE(Run(id)) << name;
    ASSERT_EQ(list()->GetItemCount(), int(kinds.size()));
    ASSERT_TRUE(Run(ID_WINDOW_CLOSE_ALL));
    QAbstractItemModel* model = bar->GetListCtrl()->model();
    auto icon = [&](int row) { return Picture(model->data(model->index(row, 0), Qt::DecorationRole).value<QIcon>()); };

    // Closed: each kind's own picture, dimmed to half; no two alike.
    for (int row = 0; row < int(kinds.size()); ++row) {
        ASSERT_FALSE(list()->GetItem(row)->m_bWindowOpen) << row;
        const QImage plain = RepositoryPicture("items/" + kinds[std::size_t(row)].second);
        EXPECT_EQ(Differences(icon(row), plain, 0.5), 0) << kinds[std::size_t(row)].second;
        for (int other = 0; other < row; ++other)
            EXPECT_GT(Differences(icon(row), icon(other)), 50) << row << " " << other;
    }
    // Opening an item shows its open form at full strength; closing it brings the closed form back.
    for (int row = 0; row < int(kinds.size()); ++row) {
        Select({row});
        bar->FocusList();
        ASSERT_TRUE(Run(ID_ITEM_OPEN)) << row;
        ASSERT_TRUE(list()->GetItem(row)->m_bWindowOpen) << row;
        const QImage open = RepositoryPicture("items/" + kinds[std::size_t(row)].second + "-open");
        EXPECT_EQ(Differences(icon(row), open), 0) << kinds[std::size_t(row)].second;
        EXPECT_GT(Differences(open, RepositoryPicture("items/" + kinds[std::size_t(row)].second)), 20);
        ASSERT_TRUE(Run(ID_WINDOW_CLOSE_ALL));
        EXPECT_EQ(Differences(icon(row), RepositoryPicture("items/" + kinds[std::size_t(row)].second), 0.5), 0);
    }
    // Items of no kind of the program's own show the stored-item picture.
    EXPECT_EQ(Differences(Picture(CMXListViewBar::KindIcon(0)), RepositoryPicture("items/stored")), 0);
    EXPECT_EQ(Differences(Picture(CMXListViewBar::KindIcon(0, true)), RepositoryPicture("items/stored-open")), 0);
}

TEST_F(MainWindowTest, ItemNamesInTheWorkspaceListReadAsNormalText)
{
    AddNotepads(2);
    ASSERT_TRUE(Run(ID_WINDOW_CLOSE_ALL));
    Select({1});
    bar->FocusList();
    ASSERT_TRUE(Run(ID_ITEM_OPEN));
    ASSERT_TRUE(list()->GetItemState(0) & LVIS_CUT);
    ASSERT_FALSE(list()->GetItemState(1) & LVIS_CUT);
    QAbstractItemModel* model = bar->GetListCtrl()->model();
    for (int row : {0, 1}) {
        const QModelIndex index = model->index(row, 0);
        // No colour of its own: the name takes the view's normal text colour.
        EXPECT_FALSE(model->data(index, Qt::ForegroundRole).isValid()) << row;
        EXPECT_TRUE(model->flags(index) & Qt::ItemIsEnabled) << row;
        EXPECT_TRUE(bar->GetListCtrl()->isEnabled());
    }
}

TEST_F(MainWindowTest, ToolbarsWearTheDrawnPictures)
{
    for (const auto& [id, name] : std::vector<std::pair<UINT, std::string>>{
             {ID_ADD_DATA, "items/table"},       {ID_ADD_GRAPH, "items/graph"},
             {ID_ADD_NOTEPAD, "items/notes"},     {ID_ADD_HARD_EQUATION, "items/library-equation"},
             {ID_FILE_ADD_STOCK, "items/stored"}}) {
        QAction* action = main->GetRouter().Action(id);
        ASSERT_NE(action, nullptr) << name;
        EXPECT_EQ(Differences(Picture(action->icon()), RepositoryPicture(name)), 0) << name;
    }
    // No button is left without a picture (Custom Color is the colour bar's labelled button).
    for (QToolBar* bar : main->findChildren<QToolBar*>())
        for (QAction* action : bar->actions())
            if (!action->isSeparator() && !qobject_cast<QWidgetAction*>(action)
                && main->GetRouter().CommandOf(action) != ID_COLOR_CUSTOM) {
                EXPECT_FALSE(action->icon().isNull()) << bar->windowTitle().toStdString() << ": "
                                                     << action->text().toStdString();
            }
    // Undo and Redo: the theme's pictures, else the program's own curved arrows.
    for (const auto& [id, name] :
         std::vector<std::pair<UINT, std::string>>{{ID_EDIT_UNDO, "edit-undo"}, {ID_EDIT_REDO, "edit-redo"}}) {
        if (QIcon::hasThemeIcon(QString::fromStdString(name)))
            continue;
        QAction* action = main->GetRouter().Action(id);
        ASSERT_NE(action, nullptr) << name;
        EXPECT_EQ(Differences(Picture(action->icon()), RepositoryPicture("actions/" + name)), 0) << name;
    }
}
