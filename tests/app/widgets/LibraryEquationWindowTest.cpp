// The window of an equation from an equation library: the library chosen by
// Browse (through the chooser that tests answer), its names shown read only,
// and the question before a library that an opened workspace names is loaded.
#include "ItemWindowTestSupport.h"

#include "app/MXHardEquation.h"
#include "app/widgets/HardEqnTabForm.h"
#include "equation/HardEquation.h"
#include "grid/widgets/XGrid.h"
#include "platform/StringIds.h"
#include "platform/widgets/CommandIds.h"
#include "support/ScriptedFileChooser.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <QTest>

#include <filesystem>

namespace {

std::string Library(const char* name) { return std::string(MARLOX_TESTEQN_DIR) + "/" + name + ".mxl"; }

class LibraryEquationWindowTest : public ItemWindowTest {
protected:
    void SetUp() override
    {
        CHardEquation::ForgetLibraryAnswers();
        ItemWindowTest::SetUp();
        ASSERT_TRUE(Run(ID_ADD_HARD_EQUATION));
        Open();
    }
    void TearDown() override
    {
        ItemWindowTest::TearDown();
        CHardEquation::ForgetLibraryAnswers();
        CHardEquation::SetLibraryFolders("", "");
    }
    void Open()
    {
        auto* frame = dynamic_cast<CHardEqnProjectWnd*>(main->GetActiveItemFrame());
        ASSERT_NE(frame, nullptr);
        form = frame->GetForm();
        item = form->GetHardItem();
        general = Tab<CHardEqnGeneralView>(form, HARD_TAB_GENERAL);
        ASSERT_NE(general, nullptr);
    }

    ScriptedFileChooser chooser;
    CHardEqnTabForm* form = nullptr;
    CMXHardEquation* item = nullptr;
    CHardEqnGeneralView* general = nullptr;
};

} // namespace

TEST_F(LibraryEquationWindowTest, BrowseChoosesALibraryFromTheProjectsTestLibraries)
{
    ASSERT_EQ(form->GetTabCount(), HARD_TAB_COUNT);
    EXPECT_EQ(general->GetDescription()->text(), ""); // no path: no description
    chooser.Answer(Library("testeqn_good"));
    QTest::mouseClick(general->GetBrowseButton(), Qt::LeftButton);
    Settle();
    ASSERT_EQ(chooser.requests.size(), 1u);
    EXPECT_EQ(chooser.requests[0].mode, FileRequest::OpenFile);
    EXPECT_EQ(chooser.requests[0].folder, ""); // no path yet, no library folder set
    EXPECT_EQ(chooser.requests[0].filters, std::vector<std::string>{"Equation Library Files (*.mxl)"});
    CHardEquation& eq = item->GetHardEquation();
    ASSERT_TRUE(eq.IsValid());
    EXPECT_EQ(general->GetPathEdit()->text().toStdString(), Library("testeqn_good"));
    EXPECT_EQ(general->GetDescription()->text(), "Exponential decay with offset");
    EXPECT_TRUE(general->GetEstimates()->isChecked());
    EXPECT_EQ(notices.Count(UN_EQUATION_CHANGED), 1);
    EXPECT_TRUE(reporter->messages.empty()); // chosen here: no question

    // The names show as the library gives them, and cannot be edited.
    auto* params = Tab<CHardEqnParamView>(form, HARD_TAB_PARAMETERS);
    ASSERT_NE(params->GetGrid(), nullptr);
    EXPECT_EQ(params->GetGrid()->GetData().m_nRowCount, 3 + 2);
    EXPECT_FALSE(params->GetGrid()->isEnabled());
    std::string name;
    params->GetGrid()->GetCellValueText(2, 2, name);
    EXPECT_EQ(name, "Rate");

    // The same library again reloads it and says so once more; Browse starts in its folder.
    Tab<CHardEqnGeneralView>(form, HARD_TAB_GENERAL);
    chooser.Answer(Library("testeqn_good"));
    general->Browse();
    EXPECT_EQ(chooser.requests[1].folder, MARLOX_TESTEQN_DIR);
    EXPECT_EQ(notices.Count(UN_EQUATION_CHANGED), 2);
    // Cancel changes nothing.
    chooser.Cancel();
    general->Browse();
    EXPECT_EQ(notices.Count(UN_EQUATION_CHANGED), 2);
    EXPECT_TRUE(eq.IsValid());

    QTemporaryDir dir;
    QPdfWriter pdf(dir.filePath("library.pdf"));
    EXPECT_EQ(form->PrintTo(pdf), 1);
}

TEST_F(LibraryEquationWindowTest, ATypedPathLoadsWhenConfirmedNotAtEachKey)
{
    QLineEdit* path = general->GetPathEdit();
    path->setFocus();
    QTest::keyClicks(path, QString::fromStdString(Library("testeqn_good")));
    EXPECT_EQ(notices.Count(UN_EQUATION_CHANGED), 0);
    EXPECT_FALSE(item->GetHardEquation().IsValid());
    QTest::keyClick(path, Qt::Key_Return);
    EXPECT_EQ(notices.Count(UN_EQUATION_CHANGED), 1);
    EXPECT_TRUE(item->GetHardEquation().IsValid());
    // A path that names no library leaves the equation invalid, and says so in the description.
    path->setText(QString::fromStdString(Library("testeqn_badversion")));
    QTest::keyClick(path, Qt::Key_Return);
    EXPECT_FALSE(item->GetHardEquation().IsValid());
    EXPECT_EQ(general->GetDescription()->text(), "(Equation library not valid)");
}

TEST_F(LibraryEquationWindowTest, ALibraryNamedByAnOpenedWorkspaceIsLoadedOnlyAfterTheUserAgrees)
{
    const std::string library = Library("testeqn_good");
    chooser.Answer(library);
    general->Browse();
    ASSERT_TRUE(item->GetHardEquation().IsValid());
    const std::string file = (std::filesystem::temp_directory_path() / "marlox-library-trust.mxf").string();
    ASSERT_TRUE(doc()->OnSaveDocument(file));

    // Another session: nothing is known of the library.
    CHardEquation::ForgetLibraryAnswers();
    reporter->Answer(IDNO);
    ASSERT_TRUE(app->OpenWorkspace(file));
    Settle();
    ASSERT_EQ(reporter->Ids(), std::vector<UINT>{IDS_LIBRARY_TRUST});
    EXPECT_EQ(reporter->messages[0].args, std::vector<std::string>{library});
    auto* refused = dynamic_cast<CMXHardEquation*>(doc()->GetProjectItems().front());
    ASSERT_NE(refused, nullptr);
    EXPECT_FALSE(refused->GetHardEquation().IsValid());
    EXPECT_EQ(refused->GetHardEquation().GetLibraryPath(), library);
    // The window shows why the equation does nothing.
    Open();
    EXPECT_EQ(general->GetDescription()->text(), "(Equation library not valid)");

    // Opened again this session: the answer stands, no second question.
    ASSERT_TRUE(app->OpenWorkspace(file));
    EXPECT_EQ(reporter->messages.size(), 1u);

    // Yes loads it.
    CHardEquation::ForgetLibraryAnswers();
    reporter->Answer(IDYES);
    ASSERT_TRUE(app->OpenWorkspace(file));
    EXPECT_EQ(reporter->messages.size(), 2u);
    EXPECT_TRUE(dynamic_cast<CMXHardEquation*>(doc()->GetProjectItems().front())->GetHardEquation().IsValid());

    // A library in the user's library folder of the settings counts as chosen.
    CHardEquation::ForgetLibraryAnswers();
    app->Preferences().SetDirectory(CPreferences::UserDllEquationDir, MARLOX_TESTEQN_DIR);
    app->ApplyLibraryFolders();
    ASSERT_TRUE(app->OpenWorkspace(file));
    EXPECT_EQ(reporter->messages.size(), 2u);
    EXPECT_TRUE(dynamic_cast<CMXHardEquation*>(doc()->GetProjectItems().front())->GetHardEquation().IsValid());
    app->Preferences().SetDirectory(CPreferences::UserDllEquationDir, "");
    app->ApplyLibraryFolders();
    doc()->SetModifiedFlag(false);
    std::filesystem::remove(file);
}
