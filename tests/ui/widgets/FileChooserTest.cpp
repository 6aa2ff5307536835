#include "ui/widgets/DialogFileChooser.h"
#include "ui/widgets/MultiDefaultFileDialog.h"

#include "support/ScriptedFileChooser.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

fs::path Folder(const char* name)
{
    fs::path dir = fs::temp_directory_path() / ("mx-chooser-" + std::to_string(::getpid())) / name;
    fs::create_directories(dir);
    return dir;
}

TEST(FileChooser, FilterTextsComeFromBarredPairs)
{
    EXPECT_EQ(FilterTextsFromBars("Text Files|*.txt;*.csv|Marlox Items|*.mxc||"),
              (std::vector<std::string>{"Text Files (*.txt *.csv)", "Marlox Items (*.mxc)"}));
    // A pair without its closing bar, or without a name, ends the list.
    EXPECT_EQ(FilterTextsFromBars("Data|*.dat|Broken|*.x"), std::vector<std::string>{"Data (*.dat)"});
    EXPECT_TRUE(FilterTextsFromBars("|*.dat|").empty());
    EXPECT_EQ(FirstPatternOf("Marlox Workspace Files (*.MXF *.mxf)"), "*.MXF");
    EXPECT_EQ(FirstPatternOf("All Files (*)"), "*");
    EXPECT_EQ(FirstPatternOf("No patterns"), "");
}

TEST(FileChooser, ABareNameTakesTheDefaultExtension)
{
    EXPECT_EQ(WithDefaultExtension("/d/study", "mxf"), "/d/study.mxf");
    EXPECT_EQ(WithDefaultExtension("/d/study.old", "mxf"), "/d/study.old");
    EXPECT_EQ(WithDefaultExtension("/d.x/study", "mxf"), "/d.x/study.mxf");  // a dot in a folder is no extension
    EXPECT_EQ(WithDefaultExtension("/d/study", ""), "/d/study");
}

TEST(FileChooser, TheInstalledChooserAnswersAndTheDialogsComeBackAfterIt)
{
    CDialogFileChooser program;
    SetDefaultFileChooser(&program);
    CFileChooser* dialogs = &GetFileChooser();
    EXPECT_EQ(dialogs, &program);
    {
        ScriptedFileChooser chooser;
        chooser.Answer("/d/one.mxf");
        FileRequest request;
        request.filters = {"A (*.a)", "B (*.b)"};
        request.selectedFilter = 1;
        std::optional<FileAnswer> answer = ChooseFile(nullptr, request);
        ASSERT_TRUE(answer.has_value());
        EXPECT_EQ(answer->path, "/d/one.mxf");
        EXPECT_EQ(answer->filter, 1);
        EXPECT_FALSE(ChooseFile(nullptr, request).has_value());  // beyond the script: cancelled
        EXPECT_EQ(chooser.requests.size(), 2u);
    }
    EXPECT_EQ(&GetFileChooser(), dialogs);
    SetDefaultFileChooser(nullptr);
    EXPECT_NE(dynamic_cast<CPlainFileChooser*>(&GetFileChooser()), nullptr);
}

// The dialogs are built and looked at, never run.
TEST(DialogFileChooser, AWorkspaceSaveBuildsTheDialogWithFolderButtons)
{
    const fs::path start = Folder("start"), user = Folder("user");
    FileRequest request;
    request.mode = FileRequest::SaveFile;
    request.title = "Save As";
    request.folder = start.string();
    request.name = "Untitled.mxf";
    request.filters = CMultiDefaultFileDialog::FilterTexts({{"Workspaces", ".MXF"}, {"Templates", ".MXT"}});
    request.selectedFilter = 1;
    request.defaultExtension = "mxf";
    request.folderButtons = true;
    request.userFolder = user.string();
    std::unique_ptr<QFileDialog> dialog = CDialogFileChooser().Build(nullptr, request);
    auto* multi = dynamic_cast<CMultiDefaultFileDialog*>(dialog.get());
    ASSERT_NE(multi, nullptr);
    EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
    EXPECT_EQ(dialog->fileMode(), QFileDialog::AnyFile);
    EXPECT_EQ(dialog->windowTitle(), "Save As");
    EXPECT_EQ(dialog->nameFilters(),
              (QStringList{"Workspaces (*.MXF *.mxf)", "Templates (*.MXT *.mxt)", "All Files (*)"}));
    EXPECT_EQ(dialog->selectedNameFilter(), "Templates (*.MXT *.mxt)");
    EXPECT_EQ(fs::path(dialog->directory().absolutePath().toStdString()), start);
    EXPECT_EQ(multi->FileNameEdit()->text(), "Untitled.mxf");
    EXPECT_EQ(dialog->defaultSuffix(), "mxf");
    EXPECT_TRUE(multi->UserFolderButton()->isEnabled());
    EXPECT_FALSE(multi->GroupFolderButton()->isEnabled());
}

TEST(DialogFileChooser, OpenAndFolderRequestsBuildPlainDialogs)
{
    FileRequest open;
    open.filters = {"Data Filter Files (*.mxr)"};
    open.acceptLabel = "Add";
    open.defaultExtension = "mxr";
    std::unique_ptr<QFileDialog> dialog = CDialogFileChooser().Build(nullptr, open);
    EXPECT_EQ(dynamic_cast<CMultiDefaultFileDialog*>(dialog.get()), nullptr);
    EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptOpen);
    EXPECT_EQ(dialog->fileMode(), QFileDialog::ExistingFile);
    EXPECT_EQ(dialog->nameFilters(), QStringList{"Data Filter Files (*.mxr)"});
    EXPECT_EQ(dialog->labelText(QFileDialog::Accept), "Add");
    EXPECT_EQ(dialog->defaultSuffix(), "mxr");

    const fs::path start = Folder("folders");
    FileRequest folder;
    folder.mode = FileRequest::Folder;
    folder.folder = start.string();
    folder.canChoose = [](const std::string&) { return false; };
    dialog = CDialogFileChooser().Build(nullptr, folder);
    EXPECT_EQ(dialog->fileMode(), QFileDialog::Directory);
    EXPECT_TRUE(dialog->testOption(QFileDialog::ShowDirsOnly));
    // The check needs the dialog's own OK button.
    EXPECT_TRUE(dialog->testOption(QFileDialog::DontUseNativeDialog));
    EXPECT_EQ(fs::path(dialog->directory().absolutePath().toStdString()), start);
}

} // namespace
