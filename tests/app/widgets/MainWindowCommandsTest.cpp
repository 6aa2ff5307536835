// The main window's commands that reach the program's dialogs and sheets,
// driven through the real start-up and exit as a user would run them.
#include "app/MXDoc.h"
#include "app/MXEquation.h"
#include "app/MXHardEquation.h"
#include "app/MXNotes.h"
#include "app/MXTransform.h"
#include "app/Preferences.h"
#include "app/MXGrid.h"
#include "app/widgets/DataFilterDlg.h"
#include "app/widgets/DataView.h"
#include "data/Data.h"
#include "data/MyData.h"
#include "data/LocaleChars.h"
#include "app/widgets/DirectoryPage.h"
#include "app/widgets/EqnTabForm.h"
#include "app/widgets/HardEqnTabForm.h"
#include "app/widgets/MXApp.h"
#include "app/widgets/TransTabForm.h"
#include "app/widgets/MXMainWnd.h"
#include "app/widgets/NotepadProjectWnd.h"
#include "app/widgets/OptionsSheet.h"
#include "app/widgets/OtherOptions.h"
#include "app/widgets/SummPage.h"
#include "app/widgets/UserInfo.h"
#include "framework/Profile.h"
#include "framework/widgets/ListViewBar.h"
#include "framework/widgets/ChangeIconDlg.h"
#include "framework/widgets/HeaderFooterSetupDialog.h"
#include "framework/widgets/ImageListImages.h"
#include "framework/widgets/NewTemplateSheet.h"
#include "framework/widgets/ProjectFrameBase.h"
#include "framework/widgets/TemplateTab.h"
#include "platform/CompoundFile.h"
#include "platform/SettingsStore.h"
#include "platform/Storage.h"
#include "platform/StorageStream.h"
#include "platform/widgets/CommandIds.h"
#include "support/ScriptedFileChooser.h"
#include "AppTestSupport.h"
#include "support/TestSupport.h"
#include "ui/widgets/CommentRichEditCtrl.h"
#include "ui/widgets/StandardToolBar.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QToolBar>
#include <set>
#include <QPrintPreviewDialog>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

fs::path TestDir()
{
    auto dir = fs::temp_directory_path() / ("marlox-commands-test-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    return dir;
}

std::string Folder(const std::string& name)
{
    fs::path p = TestDir() / name;
    fs::create_directories(p);
    return p.string();
}

// Acts on the first modal window of type T that the next command shows, as a
// person answering it would; reports whether one was seen.
template <class T>
class WhenShown {
public:
    explicit WhenShown(std::function<void(T*)> act) : m_act(std::move(act))
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (m_seen)
                return;
            if (auto* w = qobject_cast<T*>(QApplication::activeModalWidget())) {
                m_seen = true;
                m_act(w);
            }
        });
        m_timer.start(20);
    }
    bool Seen() const { return m_seen; }

private:
    std::function<void(T*)> m_act;
    QTimer m_timer;
    bool m_seen = false;
};

template <class T>
T* PageOf(COptionsSheet* sheet)
{
    for (int i = 0; i < sheet->PageCount(); ++i)
        if (auto* p = dynamic_cast<T*>(sheet->Page(i)))
            return p;
    return nullptr;
}

// The row of the New sheet's tab that lists the file of that name; -1 when none does.
int RowOf(const CTemplateTab* tab, const std::string& fileName)
{
    const auto& records = tab->Records();
    for (std::size_t i = 0; i < records.size(); ++i)
        if (fs::path(records[i].path).filename() == fileName)
            return int(i);
    return -1;
}

class MainWindowCommandsTest : public ::testing::Test {
protected:
    void SetUp() override { Start(); }
    void TearDown() override
    {
        Stop();
        // The next test starts from a clean profile of its own.
        for (const char* entry : {"User Item Directory", "User Template Directory", "Data Directory"})
            WriteProfileString("Preferences", entry, "");
        WriteProfileString("Recent File List", nullptr, nullptr);
    }

    void Start(const QStringList& arguments = {"marlox"})
    {
        app = std::make_unique<CMXApp>();
        ASSERT_TRUE(app->InitInstance(arguments));
        reporter = std::make_unique<RecordingReporter>();
        main = app->GetMainFrame();
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
    bool Enabled(UINT id) const { return main->GetRouter().Query(id).m_enabled.value_or(false); }
    std::vector<std::string> Labels() const
    {
        std::vector<std::string> out;
        for (int i = 0; i < list()->GetItemCount(); ++i)
            out.push_back(list()->GetItemText(i, 0));
        return out;
    }
    void SelectOnly(int row)
    {
        list()->ClearSelection();
        list()->SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    }
    std::string SaveWorkspace(const std::string& name, const std::string& noteName)
    {
        return SaveNotesWorkspace((TestDir() / name).string(), noteName);
    }

    std::unique_ptr<CMXApp> app;
    std::unique_ptr<RecordingReporter> reporter;
    CMXMainWnd* main = nullptr;
};

} // namespace

TEST_F(MainWindowCommandsTest, ADirectoryClearedInOptionsStaysClearedAfterARestart)
{
    const std::string items = Folder("items");
    Stop();
    WriteProfileString("Preferences", "User Item Directory", items.c_str());
    Start();
    ASSERT_EQ(app->GetDirectory(CPreferences::UserItemDir), items);

    WhenShown<COptionsSheet> answer([](COptionsSheet* sheet) {
        for (int i = 0; i < sheet->PageCount(); ++i)
            sheet->SetActivePage(i);
        PageOf<CDirectoryPage>(sheet)->Edit(CDirectoryPage::UserItem)->clear();
        PageOf<CUserInfo>(sheet)->AuthorEdit()->setText("Rosalind");
        sheet->accept();
    });
    ASSERT_TRUE(Run(ID_OPTIONS));
    ASSERT_TRUE(answer.Seen());
    EXPECT_EQ(app->GetDirectory(CPreferences::UserItemDir), "");
    // New workspaces carry the author at once.
    EXPECT_EQ(CMXDoc::s_author, "Rosalind");

    Stop();
    EXPECT_EQ(GetProfileString("Preferences", "User Item Directory", "unset"), "");
    Start();
    EXPECT_EQ(app->GetDirectory(CPreferences::UserItemDir), "");
    EXPECT_EQ(app->Preferences().m_authorName, "Rosalind");
    app->Preferences().m_authorName.clear();
}

TEST_F(MainWindowCommandsTest, LargeButtonsChosenInOptionsSwitchTheToolbarsAtOnce)
{
    ASSERT_EQ(main->GetStandardBar()->iconSize(), QSize(16, 16));
    WhenShown<COptionsSheet> answer([](COptionsSheet* sheet) {
        sheet->SetActivePage(sheet->PageCount() - 1);
        PageOf<COtherOptions>(sheet)->LargeIconsBox()->setChecked(true);
        sheet->accept();
    });
    ASSERT_TRUE(Run(ID_OPTIONS));
    ASSERT_TRUE(answer.Seen());
    EXPECT_EQ(main->GetStandardBar()->iconSize(), QSize(24, 24));
    Stop();
    EXPECT_EQ(GetProfileInt("Preferences", "LargeIcons", -1), 1);
    Start();
    EXPECT_EQ(main->GetStandardBar()->iconSize(), QSize(24, 24));
    app->SetLargeIcons(false);
}

TEST_F(MainWindowCommandsTest, FilePropertiesEditsTheWorkspaceSummaryOnlyOnOk)
{
    doc()->SetModifiedFlag(false);
    WhenShown<COptionsSheet> cancel([](COptionsSheet* sheet) {
        sheet->SetActivePage(1);
        PageOf<CSummPage>(sheet)->Edit(105)->setText("Not kept");
        sheet->reject();
    });
    ASSERT_TRUE(Run(ID_FILE_PROPERTIES));
    ASSERT_TRUE(cancel.Seen());
    EXPECT_FALSE(doc()->IsModified());

    std::string caption;
    WhenShown<COptionsSheet> ok([&](COptionsSheet* sheet) {
        caption = sheet->windowTitle().toStdString();
        sheet->SetActivePage(1);
        PageOf<CSummPage>(sheet)->Edit(105)->setText("Barbara");
        sheet->accept();
    });
    ASSERT_TRUE(Run(ID_FILE_PROPERTIES));
    ASSERT_TRUE(ok.Seen());
    EXPECT_EQ(caption, "Untitled Properties");
    EXPECT_EQ(doc()->GetSummaryInfo().GetAuthor(), "Barbara");
    EXPECT_TRUE(doc()->IsModified());
}

TEST_F(MainWindowCommandsTest, EquationKindsAreAddedListedSavedAndOpenTheirWindows)
{
    for (UINT id : {ID_ADD_EQUATION, ID_ADD_TRANSFORM, ID_ADD_HARD_EQUATION}) {
        EXPECT_TRUE(Enabled(id));
        ASSERT_TRUE(Run(id));
    }
    ASSERT_EQ(list()->GetItemCount(), 3);
    std::vector<std::string> names = Labels();
    EXPECT_NE(dynamic_cast<CMXEquation*>(doc()->FindItem(names[0])), nullptr);
    EXPECT_NE(dynamic_cast<CMXTransform*>(doc()->FindItem(names[1])), nullptr);
    EXPECT_NE(dynamic_cast<CMXHardEquation*>(doc()->FindItem(names[2])), nullptr);
    // Each opened its window as it was added.
    ASSERT_EQ(main->GetFrames().size(), 3u);
    EXPECT_NE(dynamic_cast<CEqnProjectWnd*>(main->GetFrames()[0]), nullptr);
    EXPECT_NE(dynamic_cast<CTransProjectWnd*>(main->GetFrames()[1]), nullptr);
    EXPECT_NE(dynamic_cast<CHardEqnProjectWnd*>(main->GetFrames()[2]), nullptr);
    // Undo takes the last one away again.
    app->GetListViewBar()->FocusList();
    ASSERT_TRUE(Run(ID_EDIT_UNDO));
    EXPECT_EQ(list()->GetItemCount(), 2);

    const std::string path = (TestDir() / "kinds.mxf").string();
    ASSERT_TRUE(doc()->OnSaveDocument(path));
    ASSERT_TRUE(app->OpenWorkspace(path));
    EXPECT_EQ(Labels(), (std::vector<std::string>{names[0], names[1]}));
}

TEST_F(MainWindowCommandsTest, RecentFilesAreListedNewestFirstAndKeptAcrossRuns)
{
    const std::string a = SaveWorkspace("first.mxf", "A");
    const std::string b = SaveWorkspace("second & third.mxf", "B");
    // A file named at start-up is a recent file too.
    Stop();
    Start({"marlox", QString::fromStdString(b)});
    EXPECT_EQ(app->GetRecentFileList().Files(), std::vector<std::string>{b});
    ASSERT_TRUE(app->OpenWorkspace(a));
    ASSERT_TRUE(app->OpenWorkspace(b));
    ASSERT_TRUE(app->OpenWorkspace(a));  // listed once, moved to the top

    QMenu* file = main->menuBar()->actions().first()->menu();
    emit file->aboutToShow();
    QAction* first = main->GetRouter().Action(ID_FILE_MRU_FILE1);
    QAction* second = main->GetRouter().Action(ID_FILE_MRU_FILE1 + 1);
    EXPECT_EQ(first->text().toStdString(), "&1 " + a);
    // An ampersand in a path is shown, not taken as a shortcut.
    EXPECT_EQ(second->text().toStdString(), "&2 " + std::string(TestDir() / "second && third.mxf"));
    EXPECT_TRUE(second->isVisible());
    EXPECT_FALSE(main->GetRouter().Action(ID_FILE_MRU_FILE1 + 2)->isVisible());

    Stop();
    EXPECT_EQ(GetProfileString("Recent File List", "File1"), a);
    EXPECT_EQ(GetProfileString("Recent File List", "File2"), b);
    Start();
    ASSERT_TRUE(Run(ID_FILE_MRU_FILE1 + 1));
    EXPECT_EQ(Labels(), std::vector<std::string>{"B"});
    EXPECT_EQ(app->GetRecentFileList().Files(), (std::vector<std::string>{b, a}));

    // A listed file that is gone leaves the list when chosen.
    fs::remove(a);
    EXPECT_FALSE(app->OpenRecentFile(1));
    EXPECT_EQ(app->GetRecentFileList().Files(), std::vector<std::string>{b});
}

TEST_F(MainWindowCommandsTest, ATemplateOpenedAsANewWorkspaceIsNotARecentFile)
{
    const std::string templ = Folder("templates");
    const std::string path = SaveWorkspace("templates/Kinetics.mxt", "From the template");
    Stop();
    WriteProfileString("Preferences", "User Template Directory", templ.c_str());
    Start();
    WhenShown<CNewTemplateSheet> choose([](CNewTemplateSheet* sheet) {
        sheet->Page(0)->SelectRow(RowOf(sheet->Page(0), "Kinetics.mxt"));
        sheet->PressOk();
    });
    ASSERT_TRUE(Run(ID_FILE_NEW_FROM_TEMPLATE));
    ASSERT_TRUE(choose.Seen());
    EXPECT_EQ(Labels(), std::vector<std::string>{"From the template"});
    EXPECT_TRUE(doc()->GetPathName().empty());
    EXPECT_TRUE(app->GetRecentFileList().Files().empty());
    (void)path;
}

// With no template folders set, File > New lists the program's blank
// workspace template and the user's own templates (in the "templates" folder
// beside the profile); either opens as a new untitled workspace.
TEST_F(MainWindowCommandsTest, FileNewListsTheBlankTemplateAndTheUsersOwn)
{
    ASSERT_TRUE(app->GetDirectory(CPreferences::UserTemplateDir).empty());
    const std::string own = CSettingsStore::UserConfigDir() + "/templates";
    fs::create_directories(own);
    SaveNotesWorkspace(own + "/Titration.mxt", "From my template");
    struct Case {
        const char* file;
        std::vector<std::string> labels;
    } cases[] = {{"Titration.mxt", {"From my template"}}, {"Blank Workspace.mxt", {}}};
    for (const Case& c : cases) {
        std::vector<std::string> listed;
        WhenShown<CNewTemplateSheet> choose([&](CNewTemplateSheet* sheet) {
            for (const CTemplateFileRecord& r : sheet->Page(0)->Records())
                listed.push_back(fs::path(r.path).filename());
            sheet->Page(0)->SelectRow(RowOf(sheet->Page(0), c.file));
            sheet->PressOk();
        });
        ASSERT_TRUE(Run(ID_FILE_NEW_FROM_TEMPLATE)) << c.file;
        ASSERT_TRUE(choose.Seen());
        std::sort(listed.begin(), listed.end());
        EXPECT_EQ(listed, (std::vector<std::string>{"Blank Workspace.mxt", "Titration.mxt"}));
        EXPECT_EQ(Labels(), c.labels) << c.file;
        EXPECT_TRUE(doc()->GetPathName().empty()) << c.file;
        EXPECT_FALSE(doc()->IsModified()) << c.file;
        EXPECT_TRUE(reporter->messages.empty()) << c.file;
    }
    fs::remove_all(own);
}

TEST_F(MainWindowCommandsTest, SaveAsOffersTheWorkspaceTypeAndFollowsTheChosenFolder)
{
    const std::string dataDir = Folder("saved");
    ScriptedFileChooser chooser;
    chooser.Answer(dataDir + "/study");
    ASSERT_TRUE(Run(ID_FILE_SAVE_AS));
    ASSERT_EQ(chooser.requests.size(), 1u);
    const FileRequest& asked = chooser.requests[0];
    EXPECT_EQ(asked.mode, FileRequest::SaveFile);
    EXPECT_EQ(asked.name, "Untitled.mxf");
    EXPECT_EQ(asked.defaultExtension, "mxf");
    // The workspace type first and chosen, then templates, then all files.
    ASSERT_EQ(asked.filters.size(), 3u);
    EXPECT_EQ(asked.filters[0], "Marlox Workspace Files (*.MXF *.mxf)");
    EXPECT_EQ(asked.filters[1].rfind("Marlox Template Files", 0), 0u) << asked.filters[1];
    EXPECT_EQ(asked.selectedFilter, 0);
    // The buttons lead to the template folders.
    EXPECT_TRUE(asked.folderButtons);
    // The workspace's own extension is added to a bare name.
    EXPECT_EQ(doc()->GetPathName(), dataDir + "/study.mxf");
    EXPECT_TRUE(fs::exists(dataDir + "/study.mxf"));
    EXPECT_EQ(app->GetDirectory(CPreferences::CurrentDataDir), dataDir);
    EXPECT_EQ(app->GetRecentFileList().Files(), std::vector<std::string>{dataDir + "/study.mxf"});
    // Saved again under another name: the file's own name is proposed, its extension once.
    chooser.Cancel();
    ASSERT_TRUE(Run(ID_FILE_SAVE_AS));
    ASSERT_EQ(chooser.requests.size(), 2u);
    EXPECT_EQ(chooser.requests[1].name, "study.mxf");
}

TEST_F(MainWindowCommandsTest, SaveAsOfATemplateProposesTheTemplateType)
{
    const std::string path = SaveWorkspace("Standard.mxt", "N");
    ASSERT_TRUE(app->OpenWorkspace(path));
    ScriptedFileChooser chooser;
    chooser.Cancel();
    ASSERT_TRUE(Run(ID_FILE_SAVE_AS));
    ASSERT_EQ(chooser.requests.size(), 1u);
    const FileRequest& asked = chooser.requests[0];
    ASSERT_LT(std::size_t(asked.selectedFilter), asked.filters.size());
    EXPECT_EQ(asked.filters[std::size_t(asked.selectedFilter)].rfind("Marlox Template Files", 0), 0u);
    EXPECT_EQ(asked.defaultExtension, "mxt");
    EXPECT_EQ(asked.name, "Standard.mxt");
    // Cancelled: the template keeps its file.
    EXPECT_EQ(doc()->GetPathName(), path);
}

TEST_F(MainWindowCommandsTest, PageSetupActsOnTheSelectedItem)
{
    EXPECT_FALSE(Enabled(ID_FILE_PAGE_SETUP));  // nothing to set up
    ASSERT_TRUE(Run(ID_ADD_NOTEPAD));
    for (CProjectFrameBase* f : main->GetFrames())
        f->close();
    QApplication::processEvents();
    SelectOnly(0);
    ASSERT_TRUE(Enabled(ID_FILE_PAGE_SETUP));
    auto* notes = dynamic_cast<CMXNotes*>(list()->GetItem(0));
    ASSERT_NE(notes, nullptr);
    notes->SetModified(false);
    WhenShown<CHeaderFooterSetupDialog> answer([](CHeaderFooterSetupDialog* dialog) {
        dialog->GetHeaderEdit()->setText("Page &P of &N");
        dialog->accept();
    });
    ASSERT_TRUE(Run(ID_FILE_PAGE_SETUP));
    ASSERT_TRUE(answer.Seen());
    EXPECT_EQ(notes->m_strHeader, "Page &P of &N");
    EXPECT_TRUE(notes->IsModified());
}

TEST_F(MainWindowCommandsTest, PrintPreviewShowsTheActiveNotepad)
{
    EXPECT_FALSE(Enabled(ID_FILE_PRINT_PREVIEW));
    ASSERT_TRUE(Run(ID_ADD_NOTEPAD));
    ASSERT_NE(main->GetActiveItemFrame(), nullptr);
    ASSERT_TRUE(Enabled(ID_FILE_PRINT_PREVIEW));
    WhenShown<QPrintPreviewDialog> answer([](QPrintPreviewDialog* dialog) { dialog->reject(); });
    ASSERT_TRUE(Run(ID_FILE_PRINT_PREVIEW));
    EXPECT_TRUE(answer.Seen());
}

TEST_F(MainWindowCommandsTest, ChangeIconGivesTheItemItsOwnPictureWhichIsSavedWithIt)
{
    const std::string iconFile = (TestDir() / "green.png").string();
    {
        QImage image(32, 32, QImage::Format_ARGB32);
        image.fill(Qt::green);
        ASSERT_TRUE(image.save(QString::fromStdString(iconFile)));
    }
    ASSERT_TRUE(Run(ID_ADD_EQUATION));
    ASSERT_TRUE(Run(ID_ADD_EQUATION));
    // One item at a time.
    list()->SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
    list()->SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_FALSE(Enabled(ID_ITEM_ICON));
    SelectOnly(1);
    ASSERT_TRUE(Enabled(ID_ITEM_ICON));
    CProjectItemBase* item = list()->GetItem(1);
    item->SetModified(false);
    WhenShown<CChangeIconDlg> answer([&](CChangeIconDlg* dialog) {
        ASSERT_TRUE(dialog->LoadIcons(iconFile));
        dialog->IconList()->setCurrentRow(0);
        dialog->accept();
    });
    ASSERT_TRUE(Run(ID_ITEM_ICON));
    ASSERT_TRUE(answer.Seen());
    EXPECT_EQ(item->m_strIconFile, iconFile);
    EXPECT_TRUE(item->IsModified());
    QImage shown = app->GetListViewBar()->ItemIcon(item, false).pixmap(32, 32).toImage();
    EXPECT_EQ(shown.pixelColor(20, 20), QColor(Qt::green));
    // The other item keeps its kind's icon.
    EXPECT_TRUE(ItemOwnIcon(*list()->GetItem(0), false).isNull());

    const std::string path = (TestDir() / "icons.mxf").string();
    ASSERT_TRUE(doc()->OnSaveDocument(path));
    Stop();
    Start({"marlox", QString::fromStdString(path)});
    CProjectItemBase* back = list()->GetItem(1);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->m_strIconFile, iconFile);
    EXPECT_EQ(ItemOwnIcon(*back, true).pixmap(16, 16).toImage().pixelColor(12, 12), QColor(Qt::green));
}

TEST_F(MainWindowCommandsTest, NewIconsNeverCoverAnIconStoredOffTheCells)
{
    ASSERT_TRUE(Run(ID_ADD_NOTEPAD));
    // A place kept from another screen need not lie on the list's cells.
    list()->SetItemPosition(0, 30, 20);
    for (UINT id : {ID_ADD_EQUATION, ID_ADD_TRANSFORM})
        ASSERT_TRUE(Run(id));
    QApplication::processEvents();
    ASSERT_EQ(list()->GetItemCount(), 3);
    EXPECT_EQ(list()->GetItemPosition(0).x, 30);
    EXPECT_EQ(list()->GetItemPosition(0).y, 20);
    // Icon cells are 84 x 72 pixels: no two icons may share any part of one.
    for (int a = 0; a < 3; ++a)
        for (int b = a + 1; b < 3; ++b) {
            POINT p = list()->GetItemPosition(a), q = list()->GetItemPosition(b);
            EXPECT_TRUE(std::abs(p.x - q.x) >= 84 || std::abs(p.y - q.y) >= 72) << a << " and " << b;
        }
}

TEST_F(MainWindowCommandsTest, FiltersInstalledInOptionsAreAnnouncedAndKept)
{
    int announced = 0;
    QObject::connect(app.get(), &CMXApp::filtersChanged, [&] { ++announced; });
    WhenShown<COptionsSheet> answer([](COptionsSheet* sheet) {
        sheet->SetActivePage(1);
        auto* page = PageOf<CDataFilterDlg>(sheet);
        ASSERT_NE(page, nullptr);
        ASSERT_TRUE(page->AddFilter(MX_TEST_FILTER));
        sheet->accept();
    });
    ASSERT_TRUE(Run(ID_OPTIONS));
    ASSERT_TRUE(answer.Seen());
    EXPECT_EQ(announced, 1);
    EXPECT_EQ(app->Preferences().m_filters, std::vector<std::string>{MX_TEST_FILTER});
    Stop();
    Start();
    EXPECT_EQ(app->Preferences().m_filters, std::vector<std::string>{MX_TEST_FILTER});
    WriteProfileString("Data Filter Files", nullptr, nullptr);
}

TEST_F(MainWindowCommandsTest, AStoredItemComesBackThroughAddStockItem)
{
    const std::string items = Folder("stock");
    Stop();
    WriteProfileString("Preferences", "User Item Directory", items.c_str());
    Start();
    ASSERT_TRUE(Run(ID_ADD_EQUATION));
    SelectOnly(0);
    const std::string name = list()->GetItemText(0, 0);
    ScriptedFileChooser chooser;
    chooser.Answer(items + "/Rate law");
    ASSERT_TRUE(Run(ID_FILE_STORE_STOCK));
    ASSERT_EQ(chooser.requests.size(), 1u);
    const FileRequest& asked = chooser.requests[0];
    EXPECT_EQ(asked.mode, FileRequest::SaveFile);
    EXPECT_EQ(fs::path(asked.folder), fs::path(items));
    EXPECT_EQ(asked.name, name + ".mxc");
    EXPECT_EQ(asked.userFolder, items);
    EXPECT_TRUE(asked.folderButtons);
    ASSERT_FALSE(asked.filters.empty());
    EXPECT_EQ(asked.filters[0], "Marlox Items (*.mxc)");
    ASSERT_TRUE(fs::exists(items + "/Rate law.mxc"));

    WhenShown<CNewTemplateSheet> add([](CNewTemplateSheet* sheet) {
        sheet->Page(0)->SelectRow(0);
        sheet->PressOk();
    });
    ASSERT_TRUE(Run(ID_FILE_ADD_STOCK));
    ASSERT_TRUE(add.Seen());
    ASSERT_EQ(list()->GetItemCount(), 2);
    // The copy is an equation again, under a name of its own.
    EXPECT_NE(list()->GetItemText(1, 0), name);
    EXPECT_NE(dynamic_cast<CMXEquation*>(list()->GetItem(1)), nullptr);
}

TEST_F(MainWindowCommandsTest, NumberCharactersSavedAsTheProgramsOwnApplyAtTheNextStart)
{
    Stop();
    WriteProfileString("Preferences", "Decimal", ",");
    WriteProfileString("Preferences", "ListSeparator", ";");
    WriteProfileString("Preferences", "DigitGroupSeparator", ".");
    WriteProfileInt("Preferences", "DigitsInGroup", 4);
    WriteProfileString("Preferences", "NegativeSymbol", "~x");  // only the first character counts
    Start();
    EXPECT_EQ(GetDecimalChar(), ",");
    EXPECT_EQ(GetListSeparator(), ";");
    EXPECT_EQ(GetDigitGroupSeparator(), ".");
    EXPECT_EQ(GetDigitsInGroup(), 4);
    EXPECT_EQ(GetNegativeSymbol(), "~");
    for (const char* entry : {"Decimal", "ListSeparator", "DigitGroupSeparator", "DigitsInGroup", "NegativeSymbol"})
        WriteProfileString("Preferences", entry, nullptr);
    ResetLocaleChars();
}

TEST_F(MainWindowCommandsTest, OpenOffersWorkspacesAndTemplatesAndStartsInTheDataFolder)
{
    const std::string data = Folder("data");
    const std::string path = SaveWorkspace("data/enzyme.mxf", "Kinetics");
    Stop();
    WriteProfileString("Preferences", "Data Directory", data.c_str());
    Start();
    ScriptedFileChooser chooser;
    chooser.Answer(path);
    ASSERT_TRUE(Run(ID_FILE_OPEN));
    ASSERT_EQ(chooser.requests.size(), 1u);
    const FileRequest& asked = chooser.requests[0];
    EXPECT_EQ(asked.mode, FileRequest::OpenFile);
    // Workspaces, templates, the two kinds of version-3 file, and all files.
    const std::vector<std::string>& filters = asked.filters;
    ASSERT_EQ(filters.size(), 5u);
    EXPECT_EQ(filters[0], "Marlox Workspace Files (*.MXF *.mxf)");
    EXPECT_EQ(filters[1].rfind("Marlox Template Files", 0), 0u) << filters[1];
    EXPECT_EQ(filters[2].rfind("Marlox 3 Data File", 0), 0u) << filters[2];
    EXPECT_EQ(filters[3].rfind("Marlox 3 Equation File", 0), 0u) << filters[3];
    EXPECT_EQ(filters[4], "All Files (*)");
    EXPECT_EQ(asked.selectedFilter, 0);
    EXPECT_EQ(fs::path(asked.folder), fs::path(data));
    EXPECT_EQ(Labels(), std::vector<std::string>{"Kinetics"});
    EXPECT_EQ(doc()->GetPathName(), path);
}

TEST_F(MainWindowCommandsTest, AFailedOpenLeavesTheWorkspaceAsItWasOrSaysItIsNew)
{
    const std::string good = SaveWorkspace("good.mxf", "Kinetics");
    ASSERT_TRUE(app->OpenWorkspace(good));
    ASSERT_EQ(main->windowTitle().toStdString(), "Marlox - good.mxf[*]");

    // Not a workspace at all: refused before anything is read.
    const std::string junk = (TestDir() / "junk.mxf").string();
    {
        std::ofstream out(junk, std::ios::binary);
        out << "not a workspace";
    }
    doc()->SetModifiedFlag(true);
    reporter->Answer(IDNO);  // Save changes? No.
    EXPECT_FALSE(app->OpenWorkspace(junk));
    EXPECT_EQ(Labels(), std::vector<std::string>{"Kinetics"});
    EXPECT_EQ(doc()->GetPathName(), good);
    EXPECT_EQ(doc()->GetTitle(), "good.mxf");
    EXPECT_EQ(main->windowTitle().toStdString(), "Marlox - good.mxf[*]");
    EXPECT_TRUE(doc()->IsModified());
    ASSERT_EQ(reporter->messages.size(), 2u);  // the question and the reason

    // A workspace file whose contents are missing: what was open is gone, and the title says so.
    const std::string hollow = (TestDir() / "hollow.mxf").string();
    {
        CCompoundFile file;
        file.Root().CreateStream("Other")->Write("x", 1);
        file.SaveAs(hollow);
    }
    doc()->SetModifiedFlag(false);
    EXPECT_FALSE(app->OpenWorkspace(hollow));
    EXPECT_TRUE(Labels().empty());
    EXPECT_TRUE(doc()->GetPathName().empty());
    EXPECT_EQ(doc()->GetTitle(), "Untitled");
    EXPECT_EQ(main->windowTitle().toStdString(), "Marlox - Untitled[*]");
    EXPECT_FALSE(doc()->IsModified());
    // Saving asks for a name: neither file is written over.
    ScriptedFileChooser chooser;
    ASSERT_TRUE(Run(ID_FILE_SAVE));
    EXPECT_EQ(chooser.requests.size(), 1u);
}

TEST_F(MainWindowCommandsTest, TheSampleOpensShowingItsNotesOverItsTable)
{
    Stop();
    Start({"marlox", MARLOX_SOURCE_DIR "/examples/Sample.mxf"});
    std::vector<std::string> shown;
    for (CProjectFrameBase* frame : main->GetFramesInStackingOrder())
        shown.push_back(frame->GetItem()->GetName());
    EXPECT_EQ(shown, (std::vector<std::string>{"Initial rates", "About this study"}));
    ASSERT_NE(main->GetActiveItemFrame(), nullptr);
    EXPECT_EQ(main->GetActiveItemFrame()->GetItem()->GetName(), "About this study");
    auto* notes = dynamic_cast<CNotepadProjectWnd*>(main->GetActiveItemFrame());
    ASSERT_NE(notes, nullptr);
    EXPECT_TRUE(notes->GetNoteView()->GetEditor()->toPlainText().startsWith("Enzyme kinetics, run 1"));
    EXPECT_TRUE(reporter->messages.empty());
    EXPECT_FALSE(doc()->IsModified());
}

TEST(MXAppEarlyEnd, AStartThatEndsBeforeReadingTheSettingsLeavesThemAlone)
{
    // What a second start that hands its file to the running copy leaves behind.
    const std::string items = Folder("kept-items");
    WriteProfileString("Preferences", "User Item Directory", items.c_str());
    WriteProfileString("User Info", "Author Name", "Dorothy");
    WriteProfileString("Recent File List", "File1", "/studies/enzyme.mxf");
    {
        CMXApp app;
        app.ExitInstance();
    }
    EXPECT_EQ(GetProfileString("Preferences", "User Item Directory"), items);
    EXPECT_EQ(GetProfileString("User Info", "Author Name"), "Dorothy");
    EXPECT_EQ(GetProfileString("Recent File List", "File1"), "/studies/enzyme.mxf");
    WriteProfileString("Preferences", "User Item Directory", "");
    WriteProfileString("User Info", "Author Name", "");
    WriteProfileString("Recent File List", nullptr, nullptr);
}

namespace {

void CollectCommands(const CCommandRouter& router, QMenu* menu, std::set<UINT>& out)
{
    for (QAction* a : menu->actions()) {
        if (a->menu())
            CollectCommands(router, a->menu(), out);
        else if (UINT id = router.CommandOf(a))
            out.insert(id);
    }
}

} // namespace

TEST_F(MainWindowCommandsTest, TableMenuAndDataToolbarFollowTheActiveDataTable)
{
    CCommandRouter& router = main->GetRouter();
    QMenu* table = nullptr;
    for (QAction* a : main->menuBar()->actions())
        if (a->text() == "&Table")
            table = a->menu();
    ASSERT_NE(table, nullptr);
    std::set<UINT> inMenu;
    CollectCommands(router, table, inMenu);
    for (UINT id : {ID_TABLE_INSERT_COLUMN, ID_TABLE_INSERT_ROW, ID_TABLE_INSERT_CELLS, ID_TABLE_DELETE,
                    ID_TABLE_LOCK_COLUMN, ID_TABLE_COLUMN_FORMAT, ID_TABLE_COLUMN_WIDTH, ID_TABLE_ROW_HEIGHT,
                    ID_TABLE_SIZE_TO_FIT, ID_TABLE_SORT, ID_TABLE_GOTO_CELL, ID_TABLE_PREFERENCES})
        EXPECT_TRUE(inMenu.count(id)) << id;
    for (int type = 0; type <= 26; ++type) // every column type has its entry
        EXPECT_TRUE(inMenu.count(CDataView::CommandOfType(type))) << type;

    QToolBar* data = main->GetDataToolBar();
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->windowTitle(), "Data");
    std::vector<UINT> buttons;
    for (QAction* a : data->actions())
        if (!a->isSeparator())
            buttons.push_back(router.CommandOf(a));
    EXPECT_EQ(buttons, (std::vector<UINT>{ID_TABLE_LOCK_COLUMN, ID_TABLE_COLUMN_FORMAT, CDataView::CommandOfType(18)}));

    // No table window: nothing to act on.
    EXPECT_FALSE(Enabled(ID_TABLE_GOTO_CELL));
    EXPECT_FALSE(Enabled(ID_TABLE_INSERT_ROW));

    ASSERT_TRUE(Run(ID_ADD_DATA));
    ASSERT_NE(main->GetActiveItemFrame(), nullptr);
    auto* view = main->GetActiveItemFrame()->findChild<CDataView*>();
    ASSERT_NE(view, nullptr);
    CMXGrid* item = view->GetFrameItem();
    item->GetTable().SetNumber(2, 0, 5); // the first data row of column 1
    // One cell selected (grid row 3 is the first data row).
    view->GetGridData()->m_ranges.assign(1, CGridRange{1, 3, 1, 3});
    view->GetGridData()->m_nCurrentColumn = 1;
    view->GetGridData()->m_nCurrentRow = 3;
    router.UpdateAll();
    EXPECT_TRUE(Enabled(ID_TABLE_GOTO_CELL));
    EXPECT_TRUE(Enabled(ID_TABLE_INSERT_ROW));
    EXPECT_EQ(router.Action(ID_TABLE_DELETE)->text(), "&Delete Cell");
    // The toolbar's buttons share the menu's state.
    for (QAction* a : data->actions())
        if (!a->isSeparator()) {
            EXPECT_EQ(a->isEnabled(), Enabled(router.CommandOf(a)));
        }
    // Whole columns 1-2: the delete names columns and rows cannot be inserted.
    view->GetGridData()->m_ranges.assign(1, CGridRange{1, 0, 2, CDataView::kDataRows + CDataView::kHeadingRows - 1});
    router.UpdateAll();
    EXPECT_EQ(router.Action(ID_TABLE_DELETE)->text(), "&Delete Columns");
    EXPECT_FALSE(Enabled(ID_TABLE_INSERT_ROW));

    // Insert Row from the menu runs in the window: the value moves down a row.
    view->GetGridData()->m_ranges.assign(1, CGridRange{1, 3, 1, 3});
    ASSERT_TRUE(Run(ID_TABLE_INSERT_ROW));
    CData* moved = item->GetTable().GetCell(3, 0);
    ASSERT_NE(moved, nullptr);
    std::string text;
    moved->GetPlainText(text);
    EXPECT_EQ(text.substr(0, 1), "5");
    ASSERT_TRUE(Run(ID_EDIT_UNDO));
    ASSERT_NE(item->GetTable().GetCell(2, 0), nullptr);

    // View > Zoom > 150% (the sixth step) reaches the table and is checked.
    ASSERT_TRUE(Run(32985 + 5));
    EXPECT_EQ(view->GetZoomPercent(), 150);
    main->GetRouter().UpdateAll();
    EXPECT_TRUE(router.Action(32985 + 5)->isChecked());
    EXPECT_FALSE(router.Action(32985 + 3)->isChecked());
}
