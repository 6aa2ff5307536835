#include "app/MXCommandLineInfo.h"
#include "app/SingleInstanceChannel.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocalServer>

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

QCoreApplication& App()
{
    static int argc = 1;
    static char name[] = "test";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app = QCoreApplication::instance() ? nullptr : new QCoreApplication(argc, argv);
    (void)app;
    return *QCoreApplication::instance();
}

QString TestName(const char* what)
{
    return QDir::tempPath() + QString("/mx-test-%1-%2.sock").arg(what).arg(::getpid());
}

// Runs the event loop until the future is ready.
template <class T> T Await(std::future<T>& f)
{
    while (f.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready)
        App().processEvents(QEventLoop::AllEvents, 5);
    return f.get();
}

} // namespace

TEST(SingleInstanceChannelTest, ASecondStartHandsItsFileToTheFirst)
{
    App();
    QString name = TestName("handover");
    CSingleInstanceChannel first(name);
    ASSERT_TRUE(first.Listen());
    std::vector<std::string> received;
    first.SetHandler([&](const std::string& command) {
        received.push_back(command);
        return ParseDDECommand(command).kind != DDERequest::none;
    });

    // The second start: the name is taken and answered, so it hands over its request.
    auto listen = std::async(std::launch::async, [&] {
        CSingleInstanceChannel second(name);
        return second.Listen();
    });
    EXPECT_FALSE(Await(listen));

    CMXCommandLineInfo info;
    info.ParseArguments({"/new", "/d/Lab.mxt"});
    std::string command = info.ToDDECommand();
    auto sent = std::async(std::launch::async, [&] { return CSingleInstanceChannel::Send(name, command); });
    EXPECT_TRUE(Await(sent));
    auto refused = std::async(std::launch::async, [&] { return CSingleInstanceChannel::Send(name, "[frobnicate]"); });
    EXPECT_FALSE(Await(refused)); // the handler's answer travels back
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0], "[new(\"/d/Lab.mxt\")]");
    EXPECT_EQ(ParseDDECommand(received[0]).path, "/d/Lab.mxt");
}

TEST(SingleInstanceChannelTest, TheRunningCopyAnswersTheQuery)
{
    App();
    QString name = TestName("query");
    auto none = std::async(std::launch::async, [&] { return CSingleInstanceChannel::IsRunning(name, 200); });
    EXPECT_FALSE(Await(none));
    CSingleInstanceChannel first(name);
    ASSERT_TRUE(first.Listen());
    int handled = 0;
    first.SetHandler([&](const std::string&) { return ++handled, true; });
    auto running = std::async(std::launch::async, [&] { return CSingleInstanceChannel::IsRunning(name); });
    EXPECT_TRUE(Await(running));
    EXPECT_EQ(handled, 0); // the query is no command
}

TEST(SingleInstanceChannelTest, ASocketLeftBehindIsTakenOver)
{
    App();
    QString name = TestName("stale");
    // A socket bound and never removed, as a copy that crashed leaves it.
    std::string path = name.toStdString();
    int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    ASSERT_LT(path.size(), sizeof addr.sun_path);
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ::close(fd);
    ASSERT_TRUE(QFile::exists(name));

    CSingleInstanceChannel fresh(name);
    EXPECT_TRUE(fresh.Listen());
    EXPECT_TRUE(fresh.IsListening());
}

TEST(SingleInstanceChannelTest, TheDefaultNameIsPerUser)
{
    QString name = CSingleInstanceChannel::DefaultName();
    QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir(QString::fromLocal8Bit(runtime)).exists())
        EXPECT_TRUE(name.startsWith(QString::fromLocal8Bit(runtime)));
    else
        EXPECT_TRUE(name.contains(QString::number(::getuid())));
}
