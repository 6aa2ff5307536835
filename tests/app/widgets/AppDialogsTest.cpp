#include "app/HelpTopicMap.h"
#include "app/widgets/AboutBox.h"
#include "app/widgets/FitProgressDlg.h"
#include "app/widgets/MXHelp.h"
#include "app/widgets/SplashBox.h"
#include "app/widgets/TipDlg.h"
#include "framework/Profile.h"
#include "support/TestSupport.h"
#include "ui/widgets/ColourSwatch.h"
#include "ui/widgets/HelpWindow.h"
#include "ui/widgets/StaticLink.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

namespace {

QApplication& TestApp()
{
    static int argc = 1;
    static char name[] = "test";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance())
        new QApplication(argc, argv);
    return *static_cast<QApplication*>(QApplication::instance());
}

void WriteFile(const QString& path, const QByteArray& text)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text);
}

// Widget tests that touch the profile get a configuration folder of their own.
class ProfileFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        TestApp();
        ASSERT_TRUE(m_dir.isValid());
        const char* v = std::getenv("MARLOX_CONFIG_DIR");
        m_saved = v ? std::optional<std::string>(v) : std::nullopt;
        ::setenv("MARLOX_CONFIG_DIR", m_dir.filePath("config").toLocal8Bit().constData(), 1);
    }
    void TearDown() override
    {
        m_saved ? ::setenv("MARLOX_CONFIG_DIR", m_saved->c_str(), 1) : ::unsetenv("MARLOX_CONFIG_DIR");
    }
    QTemporaryDir m_dir;
    std::optional<std::string> m_saved;
};

struct TwoFits : CFitProgressContext {
    int count = 2;
    int current = 0;
    int aborts = 0;
    int GetFitCount() const override { return count; }
    int GetCurrentFitIndex() const override { return current; }
    void AbortCalculation() override { ++aborts; }
};

} // namespace

TEST(AboutBoxTest, ShowsNameVersionAndLinkAndCloses)
{
    TestApp();
    CAboutBox box;
    EXPECT_EQ(box.windowTitle(), "About Marlox");
    EXPECT_EQ(box.GetVersionSwatch()->text(), "Version 4.0");
    EXPECT_EQ(box.GetLink()->GetTarget(), CAboutBox::kWebPage);
    bool maker = false;
    for (QLabel* label : box.findChildren<QLabel*>())
        maker = maker || label->text().contains("Brackmoor");
    EXPECT_TRUE(maker);
    // It says what this build does and claims nothing that is not built:
    // no embedded objects of other programs, no column or bar charts.
    auto* features = box.findChild<QLabel*>("features");
    ASSERT_NE(features, nullptr);
    const QString said = features->text();
    for (const char* line : AboutBoxFeatures())
        EXPECT_TRUE(said.contains(QString::fromUtf8(line).toHtmlEscaped())) << line;
    for (const char* unbuilt : {"OLE", "embed", "column chart", "bar chart", "Windows"})
        EXPECT_FALSE(said.contains(unbuilt, Qt::CaseInsensitive)) << unbuilt;
    for (const char* built : {"Data tables", "fits", "graphs", "Notes", "templates"})
        EXPECT_TRUE(said.contains(built, Qt::CaseInsensitive)) << built;
    QTimer::singleShot(0, [&] {
        EXPECT_TRUE(box.isVisible());
        box.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    EXPECT_EQ(box.exec(), QDialog::Accepted);
}

TEST(SplashBoxTest, AKeyPressDismissesIt)
{
    TestApp();
    CSplashBox splash;
    ASSERT_TRUE(splash.Create());
    EXPECT_TRUE(splash.isVisible());
    EXPECT_TRUE(splash.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(splash.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(splash.GetVersionSwatch()->text(), "Version 4.0");
    int dismissed = 0;
    QObject::connect(&splash, &CSplashBox::dismissed, [&] { ++dismissed; });
    QWidget other;
    QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
    QApplication::sendEvent(&other, &key);
    QApplication::processEvents();
    EXPECT_EQ(dismissed, 1);
    EXPECT_FALSE(splash.isVisible());
    QApplication::sendEvent(&other, &key);
    QApplication::processEvents();
    EXPECT_EQ(dismissed, 1);
}

TEST(SplashBoxTest, ItsTimeRunsOut)
{
    TestApp();
    CSplashBox splash;
    ASSERT_TRUE(splash.Create());
    int dismissed = 0;
    QObject::connect(&splash, &CSplashBox::dismissed, [&] { ++dismissed; });
    splash.StartTimer(10);
    EXPECT_TRUE(QTest::qWaitFor([&] { return dismissed == 1; }, 2000));
    EXPECT_FALSE(splash.isVisible());
    EXPECT_TRUE(CSplashBox::IsDismissEvent(QEvent::MouseButtonPress));
    EXPECT_FALSE(CSplashBox::IsDismissEvent(QEvent::MouseMove));
}

TEST_F(ProfileFixture, TipOfTheDayShowsTipsAndKeepsTheStartUpChoice)
{
    QString path = m_dir.filePath("tips.txt");
    WriteFile(path, "; comment\nFirst tip.\nSecond tip.\n");
    {
        CTipDlg dlg(nullptr, path);
        EXPECT_EQ(dlg.windowTitle(), "Tip of the Day");
        EXPECT_EQ(dlg.GetHeading()->text(), "Did you know...");
        EXPECT_EQ(dlg.GetTipText(), "First tip.");
        EXPECT_TRUE(dlg.GetStartupCheck()->isChecked());
        EXPECT_EQ(dlg.GetStartupCheck()->text(), "&Show tips at start up");
        ASSERT_TRUE(dlg.GetNextButton()->isEnabled());
        dlg.GetNextButton()->click();
        EXPECT_EQ(dlg.GetTipText(), "Second tip.");
        dlg.GetStartupCheck()->setChecked(false);
        QTimer::singleShot(0, [&] {
            for (QPushButton* b : dlg.findChildren<QPushButton*>())
                if (b->text() == "&Close")
                    b->click();
        });
        EXPECT_EQ(dlg.exec(), QDialog::Accepted);
    }
    EXPECT_EQ(GetProfileInt("Tip", "StartUp", -1), 1);
    CTipDlg again(nullptr, path);
    EXPECT_FALSE(again.GetStartupCheck()->isChecked());
    EXPECT_EQ(again.GetTipText(), "First tip."); // after the second tip comes the first again
}

TEST_F(ProfileFixture, TipOfTheDayWithoutItsFile)
{
    CTipDlg dlg(nullptr, m_dir.filePath("none.txt"));
    EXPECT_EQ(dlg.GetTipText(), "Tips file does not exist in the prescribed directory");
    EXPECT_FALSE(dlg.GetNextButton()->isEnabled());
}

TEST(FitProgressDlgTest, TheTitleCountsTheFits)
{
    TestApp();
    TwoFits fits;
    CFitProgressDlg dlg;
    ASSERT_TRUE(dlg.Create(&fits, CFitProgressDlg::IDD_FIT_PROGRESS));
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_FALSE(dlg.isModal());
    EXPECT_EQ(dlg.windowTitle(), "Fitting data (1 of 2)...");
    fits.current = 1;
    dlg.UpdateTitle();
    EXPECT_EQ(dlg.windowTitle(), "Fitting data (2 of 2)...");
    EXPECT_EQ(dlg.GetAbortButton()->text(), "&Abort");
    EXPECT_EQ(dlg.GetIterationLabel(), nullptr);
    dlg.GetAbortButton()->click();
    EXPECT_EQ(fits.aborts, 1);
    dlg.close();
}

TEST(FitProgressDlgTest, OneFitKeepsTheTitleAndTheDetailFormShowsNumbers)
{
    TestApp();
    TwoFits fit;
    fit.count = 1;
    CFitProgressDlg dlg;
    dlg.Create(&fit, CFitProgressDlg::IDD_FIT_PROGRESS_DETAIL);
    EXPECT_EQ(dlg.windowTitle(), "Fitting data...");
    dlg.SetIteration(12);
    dlg.SetReducedChiSquare(0.000123456789);
    EXPECT_EQ(dlg.GetIterationLabel()->text(), "12");
    EXPECT_EQ(dlg.GetChiSquareLabel()->text(), "0.000123457");
    dlg.close();
}

TEST(MXHelpTest, HelpIdsOpenTheirTopics)
{
    TestApp();
    QTemporaryDir dir;
    QDir(dir.path()).mkdir("help");
    QString help = dir.filePath("help");
    WriteFile(help + "/index.html", "<html><head><title>Contents</title></head></html>");
    WriteFile(help + "/printing.html", "<html><head><title>Printing</title></head></html>");
    WriteFile(dir.filePath("marlox.ini"), "[CommandHelp]\n0x8045=printing.html\n[PromptHelp]\n500=missing.html\n");
    CMXHelp::SetLocations(help, dir.filePath("marlox.ini"));
    ASSERT_TRUE(CMXHelp::IsHelpAvailable());

    RecordingReporter reporter;
    QWidget frame;
    QWidget* shown = CMXHelp::MainWindowWinHelp(&frame, 0x10000 + 32837, HELP_CONTEXT);
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(CHelpWindow::Instance()->GetCurrentPage(), "printing.html");
    EXPECT_EQ(CMXHelp::ShowContents(&frame), shown);
    EXPECT_EQ(CHelpWindow::Instance()->GetCurrentPage(), "index.html");
    EXPECT_TRUE(reporter.messages.empty());

    // No entry: string 1209 with the decimal key, OK/Cancel, help id 1209.
    EXPECT_EQ(CMXHelp::MainWindowWinHelp(&frame, 0x10000 + 500, HELP_CONTEXT), nullptr);
    ASSERT_EQ(reporter.Ids(), std::vector<UINT>{1209});
    EXPECT_EQ(reporter.messages[0].text, "Help topic number 500 is not available.");
    EXPECT_EQ(reporter.messages[0].type & MB_TYPEMASK, UINT(MB_OKCANCEL));
    EXPECT_EQ(reporter.messages[0].helpId, 1209u);
    // An entry whose page is missing: the viewer cannot show it.
    EXPECT_EQ(CMXHelp::MainWindowWinHelp(&frame, 0x30000 + 500, HELP_CONTEXT), nullptr);
    EXPECT_EQ(reporter.messages.back().text, "Failed to launch help.");

    // The application's filter: ids just above 0x20000 are ignored.
    size_t before = reporter.messages.size();
    CMXHelp::ApplicationWinHelp(&frame, 0x20005, HELP_CONTEXT);
    EXPECT_EQ(reporter.messages.size(), before);
    CMXHelp::ApplicationWinHelp(&frame, 0x200000 + 0x10000 + 32837, HELP_CONTEXT);
    EXPECT_EQ(reporter.messages.size(), before);
    EXPECT_EQ(CHelpWindow::Instance()->GetCurrentPage(), "printing.html");
    CHelpWindow::Instance()->close();

    // Without a help folder nothing happens.
    CMXHelp::SetLocations(dir.filePath("nothing"), dir.filePath("marlox.ini"));
    EXPECT_FALSE(CMXHelp::IsHelpAvailable());
    EXPECT_EQ(CMXHelp::MainWindowWinHelp(&frame, 0x10000 + 32837, HELP_CONTEXT), nullptr);
    CMXHelp::SetLocations({}, {});
}

TEST(MXHelpTest, TheShippedTopicMapNamesShippedPages)
{
    // Every page the program's topic map names exists in the help folder.
    const char* root = std::getenv("MARLOX_SOURCE_DIR");
    std::string source = root ? root : MARLOX_SOURCE_DIR;
    CHelpTopicMap map;
    ASSERT_TRUE(map.Load(source + "/app/marlox.ini"));
    for (DWORD id : {0x0u, 0x1E100u, 0x1E101u, 0x180F2u, 0x18045u, 0x181A3u, 0x180A6u, 0x1E140u, 0x207D9u,
                     0x3013Bu, 0x3013Cu, 0x304B9u, 0x304BBu, 0x304BDu}) {
        std::string topic = map.Lookup(id);
        ASSERT_FALSE(topic.empty()) << std::hex << id;
        std::string page = topic.substr(0, topic.find('#'));
        EXPECT_TRUE(QFile::exists(QString::fromStdString(source + "/help/" + page))) << topic;
    }
}
