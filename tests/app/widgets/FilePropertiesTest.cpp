#include "app/widgets/FileProperties.h"

#include "../ConfigDirFixture.h"
#include "app/MXDoc.h"
#include "app/widgets/GeneralPage.h"
#include "app/widgets/OptionsSheet.h"
#include "app/widgets/StatPage.h"
#include "app/widgets/SummPage.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <filesystem>
#include <fstream>
#include <pwd.h>
#include <sys/stat.h>
#include <memory>

namespace {

class FilePropertiesTest : public ConfigDirFixture {
protected:
    template <class T>
    static T* PageOf(COptionsSheet& sheet)
    {
        for (int i = 0; i < sheet.PageCount(); ++i)
            if (auto* p = dynamic_cast<T*>(sheet.Page(i)))
                return p;
        return nullptr;
    }
    CMXDoc doc;
};

TEST_F(FilePropertiesTest, UntitledWorkspaceShowsNameAndTypeOnly)
{
    doc.SetTitle("Workspace1");
    std::unique_ptr<COptionsSheet> sheet(CreateFilePropertiesSheet(nullptr, doc, 128, "Marlox Workspace"));
    EXPECT_EQ(sheet->windowTitle(), "Workspace1 Properties");
    ASSERT_EQ(sheet->PageCount(), 3);
    EXPECT_EQ(sheet->Page(0)->Title(), "General");
    EXPECT_EQ(sheet->Page(1)->Title(), "Summary");
    EXPECT_EQ(sheet->Page(2)->Title(), "Statistics");
    auto* general = PageOf<CGeneralPage>(*sheet);
    EXPECT_EQ(general->Field(1109)->text(), "Workspace1");
    EXPECT_EQ(general->Field(1110)->text(), "Marlox Workspace");
    for (int id : {1111, 1112, 1118, 1119, 1120, 1113})
        EXPECT_EQ(general->Field(id)->text(), "") << id;
    for (int id : {1114, 1115, 1116, 1117})
        EXPECT_FALSE(general->Switch(id)->isChecked()) << id;
}

TEST_F(FilePropertiesTest, SavedWorkspaceShowsTheFile)
{
    const std::string path = Folder("Studies") + "/enzyme.mxf";
    std::ofstream(path) << std::string(1023, 'x');
    doc.SetPathName(path);
    std::unique_ptr<COptionsSheet> sheet(CreateFilePropertiesSheet(nullptr, doc, 128, "Marlox Workspace"));
    auto* general = PageOf<CGeneralPage>(*sheet);
    EXPECT_EQ(general->Field(1109)->text(), "enzyme.mxf");
    EXPECT_EQ(general->Field(1111)->text(), "Studies");
    EXPECT_EQ(general->Field(1111)->toolTip().toStdString(), (m_dir / "Studies").string());
    EXPECT_EQ(general->Field(1112)->text(), "1023 bytes (1,023 bytes)");
    EXPECT_EQ(general->Field(1118)->text(), "");  // no short names here
    EXPECT_FALSE(general->Field(1120)->text().isEmpty());
    EXPECT_FALSE(general->Switch(1115)->isChecked());
    // The workspace type's own name, and the file's owner and permissions.
    EXPECT_EQ(general->Field(1110)->text(), "Marlox Workspace");
    std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write
                                           | std::filesystem::perms::group_read);
    general->OnInitDialog();
    EXPECT_EQ(general->PermissionsField()->text(), "rw-r-----");
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    const passwd* user = ::getpwuid(st.st_uid);
    EXPECT_EQ(general->OwnerField()->text().toStdString(), user ? std::string(user->pw_name) : std::to_string(st.st_uid));
}

TEST_F(FilePropertiesTest, SummaryIsFilledAndWrittenBackOnOk)
{
    CSummaryInfo& info = doc.GetSummaryInfo();
    info.SetTitle("Kinetics");
    info.SetAuthor("Ada");
    info.SetTemplate("Standard.mxt");
    info.SetComments("line one\nline two");
    info.SetLastAuthor("Grace");
    std::unique_ptr<COptionsSheet> sheet(CreateFilePropertiesSheet(nullptr, doc, 128, "Marlox Workspace"));
    sheet->SetActivePage(1);
    sheet->SetActivePage(2);
    auto* summary = PageOf<CSummPage>(*sheet);
    EXPECT_EQ(summary->Edit(108)->text(), "Kinetics");
    EXPECT_EQ(summary->Edit(105)->text(), "Ada");
    EXPECT_EQ(summary->CommentsEdit()->toPlainText(), "line one\nline two");
    EXPECT_TRUE(summary->Edit(110)->isReadOnly());
    EXPECT_EQ(summary->Edit(110)->text(), "Standard.mxt");
    EXPECT_EQ(PageOf<CStatPage>(*sheet)->Field(1108)->text(), "Grace");

    summary->Edit(105)->setText("Barbara");
    summary->Edit(106)->setText("enzymes, rates");
    summary->Edit(110)->setText("Changed.mxt");  // read-only: never stored
    ASSERT_TRUE(sheet->Apply());
    EXPECT_FALSE(doc.IsModified());  // nothing reaches the document before OK
    StoreFileProperties(*sheet, doc);
    EXPECT_EQ(info.GetAuthor(), "Barbara");
    EXPECT_EQ(info.GetKeywords(), "enzymes, rates");
    EXPECT_EQ(info.GetTitle(), "Kinetics");
    EXPECT_EQ(info.GetComments(), "line one\nline two");
    EXPECT_EQ(info.GetTemplate(), "Standard.mxt");
    EXPECT_TRUE(doc.IsModified());
}

}  // namespace
