#include "app/widgets/OptionsSheet.h"

#include "../ConfigDirFixture.h"
#include "app/Preferences.h"
#include "app/widgets/DataFilterDlg.h"
#include "app/widgets/DirectoryPage.h"
#include "app/widgets/LocaleFormatPage.h"
#include "data/LocaleChars.h"
#include "ui/MeasurementUnit.h"
#include "app/widgets/OtherOptions.h"
#include "app/widgets/UserInfo.h"
#include "framework/Profile.h"
#include "support/TestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>

#include <fstream>
#include <sstream>

namespace {

class OptionsSheetTest : public ConfigDirFixture {
protected:
    void SetUp() override
    {
        ConfigDirFixture::SetUp();
        // Program-wide number characters and unit as a Dutch user who measures in points has them.
        ResetLocaleChars();
        SetDecimalChar(",");
        SetDigitGroupSeparator(".");
        SetListSeparator(";");
        m_savedUnit = MeasurementUnit::Preference().GetUnit();
        MeasurementUnit::Preference().SetUnit(MeasurementUnit::Points);
        prefs.SetDirectory(CPreferences::UserTemplateDir, Folder("ut"));
        prefs.SetDirectory(CPreferences::GroupTemplateDir, Folder("gt"));
        prefs.SetDirectory(CPreferences::DataDir, Folder("data"));
        prefs.SetDirectory(CPreferences::CurrentDataDir, Folder("elsewhere"));
        prefs.SetDirectory(CPreferences::UserItemDir, (m_dir / "deleted").string());
        prefs.m_authorName = "Ada";
        prefs.m_filters = {"/opt/filters/one.mxr", "/opt/filters/two.mxr"};
        sheet = std::make_unique<COptionsSheet>("Options");
        sheet->AddStandardPages(prefs);
        for (int i = 0; i < sheet->PageCount(); ++i)
            sheet->SetActivePage(i);  // opens every page
        sheet->SetActivePage(0);
    }
    void TearDown() override
    {
        sheet.reset();
        ResetLocaleChars();
        MeasurementUnit::Preference().SetUnit(m_savedUnit);
        ConfigDirFixture::TearDown();
    }
    int m_savedUnit = 0;

    template <class T>
    T* PageOf()
    {
        for (int i = 0; i < sheet->PageCount(); ++i)
            if (auto* p = dynamic_cast<T*>(sheet->Page(i)))
                return p;
        return nullptr;
    }

    RecordingReporter reporter;
    CPreferences prefs;
    std::unique_ptr<COptionsSheet> sheet;
};

TEST_F(OptionsSheetTest, PagesShowThePreferences)
{
    ASSERT_EQ(sheet->PageCount(), 5);
    EXPECT_EQ(sheet->Page(0)->Title(), "Directories");
    EXPECT_EQ(sheet->Page(1)->Title(), "Data Filters");
    EXPECT_EQ(sheet->Page(2)->Title(), "Number Format");
    EXPECT_EQ(sheet->Page(3)->Title(), "User Info");
    EXPECT_EQ(sheet->Page(4)->Title(), "Options");

    auto* dirs = PageOf<CDirectoryPage>();
    EXPECT_EQ(dirs->Edit(CDirectoryPage::UserTemplate)->text().toStdString(), (m_dir / "ut").string());
    EXPECT_EQ(dirs->Edit(CDirectoryPage::GroupTemplate)->text().toStdString(), (m_dir / "gt").string());
    // The data directory preference, not the current one.
    EXPECT_EQ(dirs->Edit(CDirectoryPage::Data)->text().toStdString(), (m_dir / "data").string());
    // A folder that no longer exists is emptied when the page opens.
    EXPECT_EQ(dirs->Edit(CDirectoryPage::UserItem)->text(), "");

    auto* filters = PageOf<CDataFilterDlg>();
    ASSERT_EQ(filters->List()->count(), 2);
    EXPECT_EQ(filters->List()->item(0)->text(), "one.mxr");
    EXPECT_FALSE(filters->RemoveButton()->isEnabled());

    EXPECT_EQ(PageOf<CUserInfo>()->AuthorEdit()->text(), "Ada");
    EXPECT_FALSE(PageOf<COtherOptions>()->LargeIconsBox()->isChecked());
    EXPECT_FALSE(sheet->ApplyButton()->isEnabled());
}

TEST_F(OptionsSheetTest, ApplyStoresIntoThePreferencesAndCancelBecomesClose)
{
    bool told = false;
    prefs.m_onLargeIcons = [&](bool large) { told = large; };
    PageOf<CUserInfo>()->AuthorEdit()->setText("Grace");
    PageOf<COtherOptions>()->LargeIconsBox()->setChecked(true);
    auto* dirs = PageOf<CDirectoryPage>();
    dirs->Edit(CDirectoryPage::Data)->setText("");
    dirs->Edit(CDirectoryPage::GroupItem)->setText(QString::fromStdString(Folder("gi")));

    ASSERT_TRUE(sheet->Apply());
    EXPECT_EQ(prefs.m_authorName, "Grace");
    EXPECT_TRUE(prefs.GetLargeIcons());
    EXPECT_TRUE(told);  // toolbars switch at once
    EXPECT_EQ(prefs.GetDirectory(CPreferences::GroupItemDir), (m_dir / "gi").string());
    // An empty data directory empties the current one too.
    EXPECT_EQ(prefs.GetDirectory(CPreferences::DataDir), "");
    EXPECT_EQ(prefs.GetDirectory(CPreferences::CurrentDataDir), "");
    EXPECT_EQ(sheet->CancelButton()->text(), "Close");

    // At exit the values reach the profile and come back at the next start.
    prefs.Save();
    CPreferences next;
    next.Load();
    EXPECT_EQ(next.m_authorName, "Grace");
    EXPECT_TRUE(next.GetLargeIcons());
    EXPECT_EQ(next.GetDirectory(CPreferences::DataDir), "");
    EXPECT_EQ(next.GetDirectory(CPreferences::GroupItemDir), (m_dir / "gi").string());
    EXPECT_EQ(next.m_filters, (std::vector<std::string>{"/opt/filters/one.mxr", "/opt/filters/two.mxr"}));
}

TEST_F(OptionsSheetTest, CancelWithoutApplyChangesNothing)
{
    PageOf<CUserInfo>()->AuthorEdit()->setText("Grace");
    PageOf<COtherOptions>()->LargeIconsBox()->setChecked(true);
    PageOf<CDirectoryPage>()->Edit(CDirectoryPage::UserTemplate)->setText("");
    PageOf<CDataFilterDlg>()->List()->setCurrentRow(0);
    PageOf<CDataFilterDlg>()->RemoveSelected();
    sheet->reject();
    EXPECT_EQ(prefs.m_authorName, "Ada");
    EXPECT_FALSE(prefs.GetLargeIcons());
    EXPECT_EQ(prefs.GetDirectory(CPreferences::UserTemplateDir), (m_dir / "ut").string());
    EXPECT_EQ(prefs.m_filters.size(), 2u);
    EXPECT_EQ(GetProfileInt("Data Filter Files", "Number", -1), -1);
}

TEST_F(OptionsSheetTest, LongAuthorNameIsRefusedAndNothingApplied)
{
    PageOf<CUserInfo>()->AuthorEdit()->setText(QString(61, u'x'));
    PageOf<COtherOptions>()->LargeIconsBox()->setChecked(true);
    EXPECT_FALSE(sheet->Apply());
    EXPECT_EQ(reporter.Ids(), std::vector<UINT>{61716});
    EXPECT_EQ(reporter.messages[0].text, "Please enter no more than 60 characters.");
    EXPECT_EQ(sheet->ActivePage(), PageOf<CUserInfo>());
    EXPECT_EQ(prefs.m_authorName, "Ada");
    EXPECT_FALSE(prefs.GetLargeIcons());  // no page applies while one is refused
    sheet->accept();
    EXPECT_EQ(sheet->result(), 0);  // OK keeps the sheet open

    PageOf<CUserInfo>()->AuthorEdit()->setText(QString(60, u'x'));
    EXPECT_TRUE(sheet->Apply());
    EXPECT_EQ(prefs.m_authorName, std::string(60, 'x'));
}

// A directory page whose folder browser answers from the test.
class ScriptedDirectoryPage : public CDirectoryPage {
public:
    using CDirectoryPage::CDirectoryPage;
    std::string answer;
    QString title;

protected:
    bool BrowseForFolder(const QString& t, std::string& path) override
    {
        title = t;
        if (answer.empty())
            return false;
        path = answer;
        return true;
    }
};

TEST_F(OptionsSheetTest, BrowsingReplacesTheFieldUnlessCancelled)
{
    auto* page = new ScriptedDirectoryPage(prefs);
    COptionsSheet own("Options");
    own.AddPage(page);
    page->Browse(CDirectoryPage::UserDllEquation);
    EXPECT_EQ(page->title, "Select the User hard-coded equation directory");
    EXPECT_FALSE(page->IsModified());  // cancelled: unchanged
    page->answer = Folder("dll");
    page->Browse(CDirectoryPage::UserDllEquation);
    EXPECT_EQ(page->Edit(CDirectoryPage::UserDllEquation)->text().toStdString(), page->answer);
    EXPECT_TRUE(page->IsModified());
    EXPECT_TRUE(own.ApplyButton()->isEnabled());
    ASSERT_TRUE(own.Apply());
    EXPECT_EQ(prefs.GetDirectory(CPreferences::UserDllEquationDir), page->answer);
}

TEST_F(OptionsSheetTest, FilterPageInstallsChecksAndOrders)
{
    auto* page = PageOf<CDataFilterDlg>();
    const std::string log = (m_dir / "register.log").string();
    ::setenv("MX_TEST_FILTER_LOG", log.c_str(), 1);
    ASSERT_TRUE(page->AddFilter(MX_TEST_FILTER));
    ::unsetenv("MX_TEST_FILTER_LOG");
    std::stringstream registered;
    registered << std::ifstream(log).rdbuf();
    EXPECT_NE(registered.str().find("test_app_widgets"), std::string::npos);  // told the program's path

    EXPECT_FALSE(page->AddFilter(MX_TEST_FILTER));
    EXPECT_FALSE(page->AddFilter(MX_TEST_NOT_A_FILTER));
    EXPECT_FALSE(page->AddFilter((m_dir / "missing.mxr").string()));
    EXPECT_EQ(reporter.Ids(), (std::vector<UINT>{191, 190, 189}));
    EXPECT_EQ(reporter.messages[0].text,
              std::string("The data filter file \"") + MX_TEST_FILTER + "\" is already selected.");
    ASSERT_EQ(page->List()->count(), 3);

    // The new entry is last: move it to the top.
    page->List()->setCurrentRow(2);
    EXPECT_FALSE(page->DownButton()->isEnabled());
    EXPECT_TRUE(page->UpButton()->isEnabled());
    page->MoveSelected(-1);
    page->MoveSelected(-1);
    EXPECT_EQ(page->List()->currentRow(), 0);
    EXPECT_FALSE(page->UpButton()->isEnabled());
    EXPECT_TRUE(page->DownButton()->isEnabled());
    EXPECT_EQ(page->LocationEdit()->text().toStdString(),
              std::filesystem::path(MX_TEST_FILTER).parent_path().string());
    page->List()->setCurrentRow(2);
    page->RemoveSelected();
    EXPECT_FALSE(page->RemoveButton()->isEnabled());
    EXPECT_EQ(page->LocationEdit()->text(), "");

    bool rebuilt = false;
    prefs.m_onFiltersChanged = [&] { rebuilt = true; };
    ASSERT_TRUE(sheet->Apply());
    EXPECT_TRUE(rebuilt);
    EXPECT_EQ(prefs.m_filters, (std::vector<std::string>{MX_TEST_FILTER, "/opt/filters/one.mxr"}));
    EXPECT_EQ(GetProfileInt("Data Filter Files", "Number", 0), 2);
    EXPECT_EQ(GetProfileString("Data Filter Files", "Filter0"), MX_TEST_FILTER);
}

}  // namespace

namespace {

TEST_F(OptionsSheetTest, NumberFormatPageShowsAndAppliesTheCharacters)
{
    auto* page = PageOf<CLocaleFormatPage>();
    EXPECT_EQ(page->Edit(1044)->text(), ",");
    EXPECT_EQ(page->Edit(1140)->text(), ".");
    EXPECT_EQ(page->Edit(1046)->text(), ";");
    EXPECT_EQ(page->Edit(1139)->text(), "-");
    EXPECT_EQ(page->DigitsCombo()->currentText(), "3");
    EXPECT_EQ(page->MeasurementCombo()->currentText(), "U.S.");  // points are not metric

    page->Edit(1044)->setText(".");
    page->Edit(1140)->setText(",");
    page->DigitsCombo()->setCurrentIndex(4);
    ASSERT_TRUE(sheet->Apply());
    EXPECT_EQ(GetDecimalChar(), ".");
    EXPECT_EQ(GetDigitsInGroup(), 4);
    // The system was left alone: the user's points stay.
    EXPECT_EQ(MeasurementUnit::Preference().GetUnit(), int(MeasurementUnit::Points));

    page->MeasurementCombo()->setCurrentIndex(CLocaleFormatPage::Metric);
    ASSERT_TRUE(sheet->Apply());
    EXPECT_EQ(MeasurementUnit::Preference().GetUnit(), int(MeasurementUnit::Centimeters));
    EXPECT_EQ(sheet->CancelButton()->text(), "Close");
}

TEST_F(OptionsSheetTest, EmptyCharacterIsRefused)
{
    auto* page = PageOf<CLocaleFormatPage>();
    page->Edit(1046)->setText("");
    page->Edit(1044)->setText(".");
    PageOf<CUserInfo>()->AuthorEdit()->setText("Grace");
    EXPECT_FALSE(sheet->Apply());
    EXPECT_EQ(reporter.Ids(), std::vector<UINT>{322});
    EXPECT_EQ(sheet->ActivePage(), page);
    EXPECT_EQ(page->Edit(1046)->maxLength(), 1);
    EXPECT_EQ(GetDecimalChar(), ",");  // nothing applied
    EXPECT_EQ(prefs.m_authorName, "Ada");
}

TEST_F(OptionsSheetTest, OneCharacterInTwoRolesIsRefused)
{
    auto* page = PageOf<CLocaleFormatPage>();
    struct Case {
        const char *decimal, *group, *list;
    } cases[] = {{".", ".", ";"}, {",", ".", ","}};
    for (const Case& c : cases) {
        page->Edit(1044)->setText(c.decimal);
        page->Edit(1140)->setText(c.group);
        page->Edit(1046)->setText(c.list);
        EXPECT_FALSE(sheet->Apply()) << c.decimal << c.group << c.list;
    }
    EXPECT_EQ(reporter.Ids(), (std::vector<UINT>{8608, 8608}));
    EXPECT_EQ(GetDecimalChar(), ",");  // nothing applied
    EXPECT_EQ(GetDigitGroupSeparator(), ".");

    // The usual English setting, a comma as group and list separator, is taken.
    page->Edit(1044)->setText(".");
    page->Edit(1140)->setText(",");
    page->Edit(1046)->setText(",");
    EXPECT_TRUE(sheet->Apply());
    EXPECT_EQ(reporter.Ids().size(), 2u);
    EXPECT_EQ(GetDecimalChar(), ".");
    EXPECT_EQ(GetDigitGroupSeparator(), ",");
}

TEST_F(OptionsSheetTest, AFolderThatDoesNotExistIsRefused)
{
    auto* dirs = PageOf<CDirectoryPage>();
    const std::string missing = (m_dir / "no-such-folder").string();
    dirs->Edit(CDirectoryPage::Data)->setText(QString::fromStdString(missing));
    EXPECT_FALSE(sheet->Apply());
    ASSERT_EQ(reporter.Ids(), std::vector<UINT>{8609});
    EXPECT_NE(reporter.messages[0].text.find(missing), std::string::npos);
    EXPECT_NE(prefs.GetDirectory(CPreferences::DataDir), missing);
}

TEST_F(OptionsSheetTest, RestoreDefaultsThenCancelChangesNothing)
{
    WriteProfileString("Preferences", "Decimal", ",");
    const std::string before = GetProfileString("Preferences", "Decimal");
    auto* page = PageOf<CLocaleFormatPage>();
    page->OnRestoreDefaults();
    // The desktop locale of the tests is C/English: the point.
    EXPECT_EQ(page->Edit(1044)->text().toStdString(), FirstCharacter(QLocale::system().decimalPoint().toStdString()));
    EXPECT_TRUE(page->IsModified());
    EXPECT_TRUE(sheet->ApplyButton()->isEnabled());
    sheet->reject();
    EXPECT_EQ(GetDecimalChar(), ",");
    EXPECT_EQ(GetDigitGroupSeparator(), ".");
    EXPECT_EQ(GetListSeparator(), ";");
    EXPECT_EQ(MeasurementUnit::Preference().GetUnit(), int(MeasurementUnit::Points));
    EXPECT_EQ(GetProfileString("Preferences", "Decimal"), before);
    EXPECT_EQ(GetProfileInt("Preferences", "Measurement", -1), -1);
}

TEST_F(OptionsSheetTest, SaveAsDefaultsWritesTheProfile)
{
    auto* page = PageOf<CLocaleFormatPage>();
    page->Edit(1139)->setText("~");
    page->OnSaveDefaults();
    EXPECT_EQ(GetProfileString("Preferences", "Decimal"), ",");
    EXPECT_EQ(GetProfileString("Preferences", "DigitGroupSeparator"), ".");
    EXPECT_EQ(GetProfileString("Preferences", "ListSeparator"), ";");
    EXPECT_EQ(GetProfileString("Preferences", "NegativeSymbol"), "~");
    EXPECT_EQ(GetProfileInt("Preferences", "DigitsInGroup", -1), 3);
    EXPECT_EQ(GetProfileInt("Preferences", "Measurement", -1), int(MeasurementUnit::Points));
    EXPECT_EQ(GetNegativeSymbol(), "-");  // saving is not applying
}

}  // namespace
