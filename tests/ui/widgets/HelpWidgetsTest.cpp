#include "ui/widgets/HelpWindow.h"
#include "ui/widgets/HtmlHelp.h"
#include "ui/widgets/SubclassWnd.h"
#include "WidgetTestApp.h"

#include <QEvent>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QFile>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

class RecordingHook : public CSubclassWnd {
public:
    RecordingHook(std::string name, std::vector<std::string>& log, bool consume = false)
        : m_name(std::move(name)), m_log(log), m_consume(consume)
    {
    }

protected:
    bool WindowProc(QEvent* event) override
    {
        if (event->type() != QEvent::User)
            return Default(event);
        m_log.push_back(m_name);
        return m_consume ? true : Default();
    }

private:
    std::string m_name;
    std::vector<std::string>& m_log;
    bool m_consume;
};

// A widget that records the events that reach it.
class Target : public QWidget {
public:
    explicit Target(std::vector<std::string>& log) : m_log(log) {}
    bool event(QEvent* e) override
    {
        if (e->type() == QEvent::User)
            m_log.push_back("window");
        return QWidget::event(e);
    }
    std::vector<std::string>& m_log;
};

void WritePage(const QString& path, const QString& title)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QString("<html><head><title>%1</title></head><body><h1>%1</h1></body></html>").arg(title).toUtf8());
}

} // namespace

TEST(SubclassWndTest, TheNewestHookSeesEventsFirst)
{
    TestApp();
    std::vector<std::string> log;
    Target w(log);
    RecordingHook older("older", log), newer("newer", log);
    older.HookWindow(&w);
    newer.HookWindow(&w);
    EXPECT_EQ(CSubclassWnd::CountHooks(&w), 2);
    QEvent e(QEvent::User);
    QApplication::sendEvent(&w, &e);
    EXPECT_EQ(log, (std::vector<std::string>{"newer", "older", "window"}));

    // Unhooking the head hands the chain to the next; unhooking the last lets the widget go.
    newer.HookWindow(nullptr);
    log.clear();
    QApplication::sendEvent(&w, &e);
    EXPECT_EQ(log, (std::vector<std::string>{"older", "window"}));
    older.HookWindow(nullptr);
    EXPECT_EQ(CSubclassWnd::CountHooks(&w), 0);
}

TEST(SubclassWndTest, AHookFurtherDownIsUnlinked)
{
    TestApp();
    std::vector<std::string> log;
    Target w(log);
    RecordingHook a("a", log), b("b", log), c("c", log);
    a.HookWindow(&w);
    b.HookWindow(&w);
    c.HookWindow(&w);
    b.HookWindow(nullptr);
    QEvent e(QEvent::User);
    QApplication::sendEvent(&w, &e);
    EXPECT_EQ(log, (std::vector<std::string>{"c", "a", "window"}));
}

TEST(SubclassWndTest, AConsumingHookStopsTheEvent)
{
    TestApp();
    std::vector<std::string> log;
    Target w(log);
    RecordingHook older("older", log), newer("newer", log, true);
    older.HookWindow(&w);
    newer.HookWindow(&w);
    QEvent e(QEvent::User);
    QApplication::sendEvent(&w, &e);
    EXPECT_EQ(log, (std::vector<std::string>{"newer"}));
}

TEST(SubclassWndTest, DestroyingTheWindowReleasesItsHooks)
{
    TestApp();
    std::vector<std::string> log;
    auto hookA = std::make_unique<RecordingHook>("a", log);
    auto hookB = std::make_unique<RecordingHook>("b", log);
    QWidget* raw;
    {
        auto w = std::make_unique<QWidget>();
        raw = w.get();
        hookA->HookWindow(w.get());
        hookB->HookWindow(w.get());
    }
    EXPECT_FALSE(hookA->IsHooked());
    EXPECT_FALSE(hookB->IsHooked());
    EXPECT_EQ(CSubclassWnd::CountHooks(raw), 0);
    hookA.reset(); // and their own end touches nothing
    hookB.reset();
}

TEST(HtmlHelpTest, TopicsOpenInTheHelpWindow)
{
    TestApp();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    WritePage(dir.filePath("index.html"), "Contents");
    WritePage(dir.filePath("about.html"), "About Marlox");

    QWidget* w = HtmlHelp(nullptr, dir.path(), HH_DISPLAY_TOPIC, "about.html");
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w, CHelpWindow::ExistingInstance());
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(CHelpWindow::Instance()->GetCurrentPage(), "about.html");
    EXPECT_TRUE(CHelpWindow::Instance()->windowTitle().contains("About Marlox"));

    // No topic: the contents page. A missing page: nothing, and the window keeps its page.
    EXPECT_EQ(HtmlHelp(nullptr, dir.path(), HH_DISPLAY_TOPIC), w);
    EXPECT_EQ(CHelpWindow::Instance()->GetCurrentPage(), "index.html");
    EXPECT_EQ(HtmlHelp(nullptr, dir.path(), HH_DISPLAY_TOPIC, "missing.html"), nullptr);
    EXPECT_EQ(HtmlHelp(nullptr, dir.path(), HH_DISPLAY_TOPIC, "../outside.html"), nullptr);
    EXPECT_EQ(CHelpWindow::Instance()->GetCurrentPage(), "index.html");
    EXPECT_EQ(HtmlHelp(nullptr, dir.path(), 0x7777), nullptr);
    HtmlHelp(nullptr, {}, HH_CLOSE_ALL);
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(CHelpWindow::ExistingInstance(), nullptr);
}

TEST(HtmlHelpTest, WithoutAHelpFolderNothingOpens)
{
    TestApp();
    EXPECT_EQ(HtmlHelp(nullptr, "/nonexistent/help", HH_DISPLAY_TOPIC), nullptr);
    EXPECT_EQ(CHelpWindow::ExistingInstance(), nullptr);
}
