#include "ui/widgets/MultiDefaultFileDialog.h"

#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

namespace {

TEST(MultiDefaultFileDialog, TypedNamesFollowTheChosenType)
{
    struct Case {
        const char* typed;
        const char* newExtension;
        const char* own;
        const char* expected;
    };
    const Case cases[] = {
        {"data.abc", "txt", "mxf", "data.txt"},  // another type: its extension
        {"data.abc", "mxf", "mxf", "data"},      // the dialog's own type: the title alone
        {"data.abc", "MXF", "mxf", "data"},      // extensions compare without case
        {"data", "txt", "mxf", "data.txt"},
        {"my.study.mxf", "mxt", "mxf", "my.study.mxt"},
        {"/tmp/x.y/data", "txt", "mxf", "/tmp/x.y/data.txt"},  // a dot in a folder is no extension
        {".txt", "mxf", "mxf", ".txt"},  // nothing before the dot: left as typed
    };
    for (const Case& c : cases)
        EXPECT_EQ(CMultiDefaultFileDialog::AdaptFileName(c.typed, c.newExtension, c.own), c.expected) << c.typed;
}

TEST(MultiDefaultFileDialog, ChoosingATypeChangesTheTypedNameAndTheDefaultExtension)
{
    CMultiDefaultFileDialog dialog(nullptr, false, "mxf", "", "");
    dialog.SetFileTypes({{"Marlox Workspace Files", ".MXF"}, {"Text Files", ".txt"}, {"", ".skip"}, {"No pattern", ""}});
    // Entries without a name or an extension are left out; all files comes last.
    ASSERT_EQ(dialog.FileTypeCount(), 3);
    EXPECT_EQ(dialog.nameFilters().value(0).toStdString(), "Marlox Workspace Files (*.MXF *.mxf)");
    EXPECT_EQ(dialog.nameFilters().value(2).toStdString(), "All Files (*)");
    QLineEdit* name = dialog.FileNameEdit();
    ASSERT_NE(name, nullptr);
    name->setText("data.abc");
    dialog.OnTypeChange(1);
    EXPECT_EQ(name->text().toStdString(), "data.txt");
    EXPECT_EQ(dialog.defaultSuffix().toStdString(), "txt");
    dialog.OnTypeChange(0);
    EXPECT_EQ(name->text().toStdString(), "data");
    EXPECT_EQ(dialog.defaultSuffix().toStdString(), "MXF");
    // All files keeps the first type's extension.
    dialog.OnTypeChange(1);
    dialog.OnTypeChange(2);
    EXPECT_EQ(dialog.defaultSuffix().toStdString(), "MXF");
    EXPECT_EQ(name->text().toStdString(), "data");
}

TEST(MultiDefaultFileDialog, FolderButtonsAreOffWithoutAFolderAndGoThereWithOne)
{
    auto user = std::filesystem::temp_directory_path() / ("mx-mdfd-" + std::to_string(::getpid()));
    std::filesystem::create_directories(user);
    CMultiDefaultFileDialog dialog(nullptr, true, "mxf", user.string(), "");
    EXPECT_TRUE(dialog.UserFolderButton()->isEnabled());
    EXPECT_FALSE(dialog.GroupFolderButton()->isEnabled());
    dialog.FileNameEdit()->setText("typed");
    dialog.UserFolderButton()->click();
    EXPECT_EQ(std::filesystem::path(dialog.directory().absolutePath().toStdString()), user);
    EXPECT_TRUE(dialog.FileNameEdit()->text().isEmpty());
    std::filesystem::remove_all(user);
}

} // namespace
