#include "app/MXCommandLineInfo.h"
#include "app/SingleInstanceChannel.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocalServer>

#include <QEventLoop>
#include <QLocalSocket>
#include <QTimer>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <future>
#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
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

using Sent = CSingleInstanceChannel::Sent;

// A folder of the test's own, made afresh.
QString TestFolder(const char* what)
{
    const QString path = QDir::tempPath() + QString("/mx-channel-%1-%2").arg(what).arg(::getpid());
    QDir(path).removeRecursively();
    QDir().mkpath(path);
    return path;
}

mode_t ModeOf(const QString& path)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? (st.st_mode & 07777) : mode_t(-1);
}

// Sets an environment variable (or removes it, for null) for one test.
class EnvGuard {
public:
    EnvGuard(const char* name, const char* value) : m_name(name)
    {
        if (const char* old = std::getenv(name))
            m_old = old, m_had = true;
        value ? ::setenv(name, value, 1) : ::unsetenv(name);
    }
    ~EnvGuard() { m_had ? ::setenv(m_name, m_old.c_str(), 1) : ::unsetenv(m_name); }

private:
    const char* m_name;
    std::string m_old;
    bool m_had = false;
};

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

    // The second start: the name is taken, so it hands over its request.
    auto listen = std::async(std::launch::async, [&] {
        CSingleInstanceChannel second(name);
        return second.Listen();
    });
    EXPECT_FALSE(Await(listen));

    CMXCommandLineInfo info;
    info.ParseArguments({"/new", "/d/Lab.mxt"});
    std::string command = info.ToDDECommand();
    auto sent = std::async(std::launch::async, [&] { return CSingleInstanceChannel::Send(name, command); });
    EXPECT_EQ(Await(sent), Sent::Taken);
    auto refused = std::async(std::launch::async, [&] { return CSingleInstanceChannel::Send(name, "[frobnicate]"); });
    EXPECT_EQ(Await(refused), Sent::Refused); // the handler's answer travels back
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
    auto unsent = std::async(std::launch::async, [&] { return CSingleInstanceChannel::Send(name, "[open(\"/x\")]"); });
    EXPECT_EQ(Await(unsent), Sent::NoAnswer);
    CSingleInstanceChannel first(name);
    ASSERT_TRUE(first.Listen());
    int handled = 0;
    first.SetHandler([&](const std::string&) { return ++handled, true; });
    auto running = std::async(std::launch::async, [&] { return CSingleInstanceChannel::IsRunning(name); });
    EXPECT_TRUE(Await(running));
    EXPECT_EQ(handled, 0); // the query is no command
}

TEST(SingleInstanceChannelTest, OneCopyAtATimeHoldsTheName)
{
    App();
    QString name = TestName("claim");
    auto second = std::make_unique<CSingleInstanceChannel>(name);
    {
        // Claimed at start-up, long before it listens.
        CSingleInstanceChannel first(name);
        ASSERT_TRUE(first.Claim());
        EXPECT_FALSE(first.IsListening());
        EXPECT_FALSE(second->Claim());
        EXPECT_FALSE(second->Listen());
    }
    // The first copy is gone, however it ended: the name is free.
    EXPECT_TRUE(second->Claim());
    EXPECT_TRUE(second->Listen());
    EXPECT_EQ(ModeOf(second->LockPath()) & 077, 0u);
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

TEST(SingleInstanceChannelTest, TheSocketLivesWhereOnlyThisUserCanReachIt)
{
    EnvGuard noOwnName("MARLOX_INSTANCE_NAME", nullptr);
    const QString uid = QString::number(::geteuid());

    // The runtime folder, when it is closed to others.
    const QString runtime = TestFolder("runtime");
    ASSERT_EQ(::chmod(QFile::encodeName(runtime).constData(), 0700), 0);
    {
        EnvGuard env("XDG_RUNTIME_DIR", runtime.toLocal8Bit().constData());
        EXPECT_EQ(CSingleInstanceChannel::DefaultName(), runtime + "/marlox.sock");
    }

    // Without one (or with one that others may enter), a folder of our own in
    // the temporary folder, made closed to others.
    const QString temp = TestFolder("tmp");
    EnvGuard tmpdir("TMPDIR", temp.toLocal8Bit().constData());
    {
        EnvGuard env("XDG_RUNTIME_DIR", nullptr);
        EXPECT_EQ(CSingleInstanceChannel::DefaultName(), temp + "/marlox-" + uid + "/marlox.sock");
        EXPECT_EQ(ModeOf(temp + "/marlox-" + uid), mode_t(0700));
    }
    ASSERT_EQ(::chmod(QFile::encodeName(runtime).constData(), 0755), 0);
    {
        EnvGuard env("XDG_RUNTIME_DIR", runtime.toLocal8Bit().constData());
        EXPECT_EQ(CSingleInstanceChannel::DefaultName(), temp + "/marlox-" + uid + "/marlox.sock");
    }

    // Our folder opened to others is closed again.
    ASSERT_EQ(::chmod(QFile::encodeName(temp + "/marlox-" + uid).constData(), 0777), 0);
    EXPECT_EQ(CSingleInstanceChannel::PrivateFolder(temp), temp + "/marlox-" + uid);
    EXPECT_EQ(ModeOf(temp + "/marlox-" + uid), mode_t(0700));

    // A link in its place, or a folder of another user's, is not used.
    const QString other = TestFolder("other");
    ASSERT_TRUE(QDir(temp + "/marlox-" + uid).removeRecursively());
    ASSERT_EQ(::symlink(QFile::encodeName(other).constData(), QFile::encodeName(temp + "/marlox-" + uid).constData()), 0);
    EXPECT_TRUE(CSingleInstanceChannel::PrivateFolder(temp).isEmpty());
    if (::geteuid() == 0) {
        ASSERT_EQ(::unlink(QFile::encodeName(temp + "/marlox-" + uid).constData()), 0);
        ASSERT_EQ(::mkdir(QFile::encodeName(temp + "/marlox-" + uid).constData(), 0700), 0);
        ASSERT_EQ(::chown(QFile::encodeName(temp + "/marlox-" + uid).constData(), 65534, 65534), 0);
        EXPECT_TRUE(CSingleInstanceChannel::PrivateFolder(temp).isEmpty());
        EXPECT_TRUE(CSingleInstanceChannel::DefaultName().isEmpty());
    }
}

TEST(SingleInstanceChannelTest, APeerOfAnotherUserIsNeitherHeardNorAnswered)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to run a peer under another user id";
    App();
    // Even where the socket file could be reached by others, their word is not taken.
    const QString folder = TestFolder("peer");
    ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 0755), 0);
    const QString name = folder + "/marlox.sock";
    CSingleInstanceChannel first(name);
    ASSERT_TRUE(first.Listen());
    ASSERT_EQ(::chmod(QFile::encodeName(name).constData(), 0777), 0);
    int handled = 0;
    first.SetHandler([&](const std::string&) { return ++handled, true; });

    const std::string path = name.toStdString();
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Another user's program: plain system calls only, then out.
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(20);
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
        if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0)
            ::_exit(21);
        const char request[] = "[open(\"/home/other/x.mxf\")]\n";
        // The running copy may close the connection before the request is
        // even sent: that too leaves it unheard.
        if (::send(fd, request, sizeof request - 1, MSG_NOSIGNAL) < 0)
            ::_exit(errno == EPIPE || errno == ECONNRESET ? 0 : 22);
        char answer = 0;
        // No answer: the connection is closed without a word.
        ::_exit(::read(fd, &answer, 1) <= 0 ? 0 : 23);
    }
    int status = 0;
    while (::waitpid(child, &status, WNOHANG) == 0)
        App().processEvents(QEventLoop::AllEvents, 5);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(handled, 0);
    // This user's own starts are still heard.
    auto sent = std::async(std::launch::async, [&] { return CSingleInstanceChannel::Send(name, "[open(\"/x\")]"); });
    EXPECT_EQ(Await(sent), Sent::Taken);
    EXPECT_EQ(handled, 1);
}

TEST(SingleInstanceChannelTest, ASenderThatLeavesWhileTheHandlerRunsIsLetGo)
{
    App();
    QString name = TestName("gone");
    CSingleInstanceChannel first(name);
    ASSERT_TRUE(first.Listen());
    // A sender that writes its request and leaves without waiting for the answer.
    auto leave = [&] {
        QLocalSocket socket;
        socket.connectToServer(name);
        if (!socket.waitForConnected(5000))
            return false;
        socket.write("[open(\"/x\")]\n");
        socket.waitForBytesWritten(5000);
        socket.disconnectFromServer();
        return true;
    };
    std::future<bool> sender;
    int handled = 0;
    first.SetHandler([&](const std::string&) {
        ++handled;
        // Events run on while the handler works (as under a prompt): the gone
        // sender's socket is closed and deleted meanwhile.
        QEventLoop loop;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            if (sender.wait_for(std::chrono::seconds(0)) == std::future_status::ready)
                loop.quit();
        });
        poll.start(5);
        loop.exec();
        for (int i = 0; i < 5; ++i)
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete), App().processEvents();
        return true;
    });
    sender = std::async(std::launch::async, leave);
    while (handled == 0)
        App().processEvents(QEventLoop::AllEvents, 5);
    EXPECT_TRUE(sender.get());
    // Still listening and answering.
    auto running = std::async(std::launch::async, [&] { return CSingleInstanceChannel::IsRunning(name); });
    EXPECT_TRUE(Await(running));
}

// A request longer than any command is not read to its end nor answered;
// the channel goes on answering the next sender.
TEST(SingleInstanceChannelTest, AnOverlongRequestIsLetGoUnanswered)
{
    App();
    QString name = TestName("long");
    CSingleInstanceChannel first(name);
    ASSERT_TRUE(first.Listen());
    int handled = 0;
    first.SetHandler([&](const std::string&) { return ++handled, true; });
    const std::string overlong = "[open(\"" + std::string(100 * 1024, 'x') + "\")]";
    auto sent = std::async(std::launch::async, [&] { return CSingleInstanceChannel::Send(name, overlong); });
    EXPECT_EQ(Await(sent), Sent::NoAnswer);
    EXPECT_EQ(handled, 0);
    auto next = std::async(std::launch::async, [&] { return CSingleInstanceChannel::Send(name, "[open(\"/x\")]"); });
    EXPECT_EQ(Await(next), Sent::Taken);
    EXPECT_EQ(handled, 1);
}
