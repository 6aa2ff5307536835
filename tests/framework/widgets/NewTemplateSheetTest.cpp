#include "framework/widgets/NewTemplateSheet.h"

#include "../../app/ConfigDirFixture.h"
#include "framework/Profile.h"
#include "framework/widgets/TemplateTab.h"

#include <QAction>
#include <QDateTime>
#include <QLocale>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QTreeView>

#include <fstream>

namespace fs = std::filesystem;

namespace {

class NewTemplateSheetTest : public ConfigDirFixture {
protected:
    void SetUp() override
    {
        ConfigDirFixture::SetUp();
        File("user/a.mxt", 300);
        File("user/Kinetics/k1.mxt", 2000);
        File("user/Kinetics/k2.mxt", 10);
        File("group/b.mxt", 5);
        File("group/kinetics/g.mxt", 700);
        File("group/Binding/bind.mxt", 1);
        File("user/.hidden.mxt", 1);
    }
    void File(const char* relative, std::size_t bytes)
    {
        fs::create_directories((m_dir / relative).parent_path());
        std::ofstream(m_dir / relative) << std::string(bytes, 'x');
    }
    std::string P(const char* relative) { return (m_dir / relative).string(); }
    static std::vector<std::string> Names(const CTemplateTab* tab)
    {
        std::vector<std::string> names;
        for (const auto& r : tab->Records())
            names.push_back(r.displayName);
        return names;
    }
};

TEST_F(NewTemplateSheetTest, TabsAndFilesOfBothFolders)
{
    CNewTemplateSheet sheet(P("user"), P("group"), nullptr, CNewTemplateSheet::kNewFileMenu, 25033);
    EXPECT_EQ(sheet.windowTitle(), "New");
    ASSERT_EQ(sheet.PageCount(), 3);
    EXPECT_EQ(sheet.PageTitle(0), "General");
    EXPECT_EQ(sheet.PageTitle(1), "Binding");
    EXPECT_EQ(sheet.PageTitle(2), "Kinetics");
    EXPECT_EQ(Names(sheet.Page(0)), (std::vector<std::string>{"a.mxt", "b.mxt"}));  // by name
    sheet.SetActivePage(2);
    // The user's Kinetics and the group's kinetics, in one list.
    EXPECT_EQ(Names(sheet.Page(2)), (std::vector<std::string>{"g.mxt", "k1.mxt", "k2.mxt"}));
}

TEST_F(NewTemplateSheetTest, OkFollowsTheSelectionAndGivesThePath)
{
    CNewTemplateSheet sheet(P("user"), "", nullptr, CNewTemplateSheet::kNewFileMenu, 25033);
    CTemplateTab* tab = sheet.Page(0);
    EXPECT_FALSE(sheet.OkButton()->isEnabled());
    sheet.PressOk();
    EXPECT_EQ(sheet.result(), 0);  // nothing selected: the sheet stays
    tab->SelectRow(0);
    EXPECT_TRUE(sheet.OkButton()->isEnabled());
    sheet.PressOk();
    EXPECT_EQ(sheet.result(), int(QDialog::Accepted));
    EXPECT_EQ(sheet.GetChosenPath(), P("user/a.mxt"));
}

TEST_F(NewTemplateSheetTest, ColumnClicksSortAndToggleDescending)
{
    CNewTemplateSheet sheet(P("user"), P("group"), nullptr, CNewTemplateSheet::kNewFileMenu, 25033);
    sheet.SetActivePage(2);
    CTemplateTab* tab = sheet.Page(2);
    tab->SelectRow(0);  // g.mxt stays selected through the resorts
    tab->OnColumnClick(1);
    EXPECT_EQ(Names(tab), (std::vector<std::string>{"k2.mxt", "g.mxt", "k1.mxt"}));  // 10, 700, 2000 bytes
    tab->OnColumnClick(1);
    EXPECT_EQ(sheet.GetSortCode(), 0x8002u);
    EXPECT_EQ(Names(tab), (std::vector<std::string>{"k1.mxt", "g.mxt", "k2.mxt"}));
    tab->OnColumnClick(0);
    EXPECT_EQ(sheet.GetSortCode(), 1u);
    EXPECT_EQ(Names(tab), (std::vector<std::string>{"g.mxt", "k1.mxt", "k2.mxt"}));
    EXPECT_EQ(tab->SelectedRow(), 0);
    // The Size column shows the size text.
    auto* model = tab->DetailsView()->model();
    EXPECT_EQ(model->index(1, 1).data().toString(), "1.95 KB");  // 2000/1024 = 1.953
    EXPECT_EQ(model->headerData(0, Qt::Horizontal).toString(), "Template");
}

TEST_F(NewTemplateSheetTest, DisplayIsSharedByTabsAndRuns)
{
    {
        CNewTemplateSheet sheet(P("user"), P("group"), nullptr, CNewTemplateSheet::kNewFileMenu, 25033);
        EXPECT_EQ(sheet.GetDisplay(), CNewTemplateSheet::List);  // the default
        sheet.Page(0)->ViewAction(CNewTemplateSheet::Details)->trigger();
        EXPECT_EQ(sheet.GetDisplay(), CNewTemplateSheet::Details);
        sheet.SetActivePage(1);
        EXPECT_TRUE(sheet.Page(1)->ViewAction(CNewTemplateSheet::Details)->isChecked());
        EXPECT_TRUE(sheet.Page(1)->DetailsView()->isVisibleTo(sheet.Page(1)));
        sheet.SaveDisplay();  // what DoModal does when the run ends
    }
    EXPECT_EQ(GetProfileInt("Preferences", "New Display", -1), 2);
    CNewTemplateSheet next(P("user"), P("group"), nullptr, CNewTemplateSheet::kNewFileMenu, 25033);
    EXPECT_EQ(next.GetDisplay(), CNewTemplateSheet::Details);
    EXPECT_EQ(next.GetSortCode(), 1u);  // sorting starts by name every run
}

TEST_F(NewTemplateSheetTest, FileMenuOwnEntryAndRename)
{
    CNewTemplateSheet sheet(P("user"), "", nullptr, CNewTemplateSheet::kAddItemMenu, 1154);
    CTemplateTab* tab = sheet.Page(0);
    tab->SelectRow(0);
    std::unique_ptr<QMenu> menu(tab->BuildContextMenu());
    ASSERT_GE(menu->actions().size(), 6);
    EXPECT_EQ(menu->actions()[0]->text(), "&Add Item");
    EXPECT_TRUE(menu->actions()[1]->isSeparator());

    EXPECT_TRUE(tab->RunCommand(CTemplateTab::CmdRename, "renamed.mxt"));
    EXPECT_TRUE(fs::exists(m_dir / "user/renamed.mxt"));
    EXPECT_EQ(Names(tab), std::vector<std::string>{"renamed.mxt"});  // refilled
    tab->SelectRow(0);
    EXPECT_FALSE(tab->RunCommand(CTemplateTab::CmdRename, "../escape.mxt"));  // a name, not a path
    EXPECT_TRUE(fs::exists(m_dir / "user/renamed.mxt"));

    tab->SelectRow(0);
    EXPECT_TRUE(tab->RunCommand(CTemplateTab::CmdOwn));
    EXPECT_EQ(sheet.result(), int(QDialog::Accepted));
    EXPECT_EQ(sheet.GetChosenPath(), P("user/renamed.mxt"));
}

TEST_F(NewTemplateSheetTest, MissingFoldersGiveAnEmptyGeneralTab)
{
    CNewTemplateSheet sheet(P("nowhere"), P("nowhere-either"), nullptr, CNewTemplateSheet::kNewFileMenu, 25033);
    ASSERT_EQ(sheet.PageCount(), 1);
    EXPECT_TRUE(sheet.Page(0)->Records().empty());
    EXPECT_FALSE(sheet.OkButton()->isEnabled());
}

TEST(TemplateTabText, ModifiedShowsDateAloneAtMidnight)
{
    const QDateTime midnight(QDate(2026, 3, 4), QTime(0, 0));
    const QDateTime afternoon(QDate(2026, 3, 4), QTime(14, 5, 59));
    const QString date = QLocale::system().toString(QDate(2026, 3, 4), QLocale::ShortFormat);
    EXPECT_EQ(CTemplateTab::FormatModified(midnight.toMSecsSinceEpoch() * 1000000), date);
    const QString withTime = CTemplateTab::FormatModified(afternoon.toMSecsSinceEpoch() * 1000000);
    EXPECT_TRUE(withTime.startsWith(date + " "));
    EXPECT_FALSE(withTime.contains("59"));  // no seconds
}

}  // namespace
