// Starting the real program twice, on a display of its own with a window
// manager (tests/support/with-display.sh), as a user does from a file
// manager or a shell. The program answers its prompts through files
// (MARLOX_PROMPT_DIR): a prompt stays up until the test answers it.
#include "app/SingleInstanceChannel.h"

#include "AppTestSupport.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

QCoreApplication& App()
{
    static int argc = 1;
    static char name[] = "second-start-test";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app = QCoreApplication::instance() ? nullptr : new QCoreApplication(argc, argv);
    (void)app;
    return *QCoreApplication::instance();
}

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

mode_t ModeOf(const fs::path& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : mode_t(-1);
}

// IDs the prompt files answer with.
constexpr int kOk = 1, kNo = 7;

class SecondStartTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        App();
        static int counter = 0;
        root = fs::temp_directory_path()
            / ("marlox-second-start-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
        fs::remove_all(root);
        for (const fs::path& dir : {runtime(), prompts(), config(), work()})
            fs::create_directories(dir);
        fs::permissions(runtime(), fs::perms::owner_all, fs::perm_options::replace);
        env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_RUNTIME_DIR", QString::fromStdString(runtime().string()));
        env.insert("MARLOX_CONFIG_DIR", QString::fromStdString(config().string()));
        env.insert("MARLOX_PROMPT_DIR", QString::fromStdString(prompts().string()));
        env.remove("MARLOX_INSTANCE_NAME");
        env.insert("LSAN_OPTIONS", "suppressions=" MARLOX_SOURCE_DIR "/tests/support/desktop-libraries.supp");
        // libxkbcommon-x11 copies the keymap's names with strndup from buffers
        // that are not terminated within the length it gives, which C allows;
        // the strict check would end the program as soon as it meets the X
        // server. Every other check stays on.
        QString asan = env.value("ASAN_OPTIONS");
        asan.replace("strict_string_checks=1", "strict_string_checks=0");
        env.insert("ASAN_OPTIONS", asan);
        socket = runtime() / "marlox.sock";
    }
    void TearDown() override
    {
        // A program a failed test left running goes with it.
        for (auto& p : programs)
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(10000);
            }
        std::error_code ec;
        fs::remove_all(root, ec);
    }

    fs::path runtime() const { return root / "run"; }
    fs::path prompts() const { return root / "prompts"; }
    fs::path config() const { return root / "config"; }
    fs::path work() const { return root / "work"; }

    // Starts the program in a folder; its output goes to a file of its own.
    QProcess& Run(const QStringList& arguments, const fs::path& folder)
    {
        programs.push_back(std::make_unique<QProcess>());
        QProcess& p = *programs.back();
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(QString::fromStdString(folder.string()));
        const QString log = QString::fromStdString((root / ("program-" + std::to_string(programs.size()) + ".log")).string());
        p.setStandardOutputFile(log);
        p.setStandardErrorFile(log, QIODevice::Append);
        p.start(MARLOX_PROGRAM, arguments);
        EXPECT_TRUE(p.waitForStarted(30000));
        return p;
    }
    std::string Log(std::size_t program) const
    {
        return ReadFile(root / ("program-" + std::to_string(program) + ".log"));
    }

    // Waits for a condition that the programs bring about; false after the time.
    static bool WaitUntil(const std::function<bool()>& done, std::chrono::seconds limit = std::chrono::seconds(45))
    {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (!done()) {
            if (std::chrono::steady_clock::now() > end)
                return false;
            QThread::msleep(20);
        }
        return true;
    }
    bool Listening() const { return CSingleInstanceChannel::IsRunning(QString::fromStdString(socket.string()), 500); }
    // Prompt n (from 1) as the program put it: its id, type and text, or empty when none came.
    std::string Prompt(int n) const
    {
        const fs::path asked = prompts() / (std::to_string(n) + ".asked");
        return WaitUntil([&] { return fs::exists(asked); }) ? ReadFile(asked) : std::string();
    }
    void Answer(int n, int answer) const
    {
        const fs::path part = prompts() / (std::to_string(n) + ".answer.part");
        std::ofstream(part) << answer << "\n";
        fs::rename(part, prompts() / (std::to_string(n) + ".answer"));
    }
    // Tells the program to end, as a session does, and returns its exit code.
    static int End(QProcess& p)
    {
        ::kill(pid_t(p.processId()), SIGTERM);
        EXPECT_TRUE(p.waitForFinished(45000));
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
        return p.exitCode();
    }
    static int Finished(QProcess& p)
    {
        EXPECT_TRUE(p.waitForFinished(45000));
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }
    // The program's recent files, newest first, as it wrote them when it ended.
    std::vector<std::string> RecentFiles() const
    {
        std::vector<std::string> files;
        std::istringstream lines(ReadFile(config() / "settings.conf"));
        for (std::string line; std::getline(lines, line);) {
            const std::string key = "\"File";
            const std::string value = "= string \"";
            const std::size_t at = line.find(value);
            if (line.rfind(key, 0) == 0 && at != std::string::npos && line.size() > at + value.size() + 1)
                files.push_back(line.substr(at + value.size(), line.size() - at - value.size() - 1));
        }
        return files;
    }
    static bool CleanRun(const std::string& log) { return log.find("Sanitizer") == std::string::npos; }

    fs::path root, socket;
    QProcessEnvironment env;
    std::vector<std::unique_ptr<QProcess>> programs;
};

} // namespace

TEST_F(SecondStartTest, AFileHandedOverUnderAPromptIsAnsweredAtOnceAndOpenedAfterIt)
{
    const std::string kinetics = SaveNotesWorkspace((work() / "kinetics.mxf").string(), "Kinetics");
    const std::string rates = SaveNotesWorkspace((work() / "rates.mxf").string(), "Rates");
    fs::create_directories(work() / "sub");
    QProcess& first = Run({"kinetics.mxf"}, work());
    ASSERT_TRUE(WaitUntil([&] { return Listening(); })) << Log(1);
    // The socket is in the runtime folder, which only this user may enter.
    EXPECT_EQ(ModeOf(runtime()), mode_t(0700));

    // A file that is not there: the first shows why, and keeps showing it.
    QProcess& second = Run({"missing.mxf"}, work());
    EXPECT_EQ(Finished(second), 0);
    const std::string reason = Prompt(1);
    // Named from where the second start ran, not from where the first runs.
    EXPECT_NE(reason.find("\"" + (work() / "missing.mxf").string() + "\""), std::string::npos) << reason;

    // Under that prompt a third start hands over its file and is answered at once.
    QProcess& third = Run({"../rates.mxf"}, work() / "sub");
    EXPECT_EQ(Finished(third), 0);
    EXPECT_EQ(first.state(), QProcess::Running);
    EXPECT_FALSE(fs::exists(prompts() / "2.asked"));

    Answer(1, kOk);
    EXPECT_EQ(End(first), 0);
    EXPECT_EQ(RecentFiles(), (std::vector<std::string>{rates, kinetics}));
    EXPECT_FALSE(fs::exists(prompts() / "2.asked"));
    EXPECT_TRUE(CleanRun(Log(1))) << Log(1);
}

TEST_F(SecondStartTest, ASecondStartWaitsForAFirstThatIsStillStarting)
{
    const std::string old = WriteVersion3File((work() / "old.mxd").string(), true);
    const std::string kinetics = SaveNotesWorkspace((work() / "kinetics.mxf").string(), "Kinetics");
    // The first start converts an old file and says so before it has started.
    QProcess& first = Run({"old.mxd"}, work());
    const std::string notice = Prompt(1);
    EXPECT_NE(notice.find("old-style"), std::string::npos) << notice << Log(1);
    EXPECT_FALSE(Listening());

    QProcess& second = Run({"kinetics.mxf"}, work());
    // The first has taken the name: the second cannot start beside it, and
    // nobody answers it until the first has started. It says that it waits.
    ASSERT_TRUE(WaitUntil([&] { return Log(2).find("starting in another window") != std::string::npos; })) << Log(2);
    EXPECT_EQ(second.state(), QProcess::Running);
    Answer(1, kOk);
    EXPECT_EQ(Finished(second), 0);
    // The converted workspace has no file: the first asks before it replaces it.
    const std::string question = Prompt(2);
    EXPECT_FALSE(question.empty());
    Answer(2, kNo);
    EXPECT_EQ(End(first), 0);
    EXPECT_EQ(RecentFiles(), (std::vector<std::string>{kinetics, old}));
    EXPECT_TRUE(CleanRun(Log(1))) << Log(1);
    EXPECT_TRUE(CleanRun(Log(2))) << Log(2);
}

TEST_F(SecondStartTest, APrintRequestPrintsTheFileThroughTheFolderOfTheUsersOwn)
{
    // No runtime folder: the socket goes to a folder of this user's in the temporary folder.
    env.remove("XDG_RUNTIME_DIR");
    const fs::path temp = root / "tmp";
    fs::create_directories(temp);
    env.insert("TMPDIR", QString::fromStdString(temp.string()));
    const fs::path own = temp / ("marlox-" + std::to_string(::geteuid()));
    socket = own / "marlox.sock";
    const fs::path sample = work() / "Sample.mxf";
    fs::copy_file(MARLOX_SOURCE_DIR "/examples/Sample.mxf", sample);

    QProcess& first = Run({}, work());
    ASSERT_TRUE(WaitUntil([&] { return Listening(); })) << Log(1);
    EXPECT_EQ(ModeOf(own), mode_t(0700));
    QProcess& second = Run({"-p", "Sample.mxf"}, work());
    EXPECT_EQ(Finished(second), 0);
    EXPECT_EQ(End(first), 0);
    // Its three notepads, its table, its equation and its fit, each a print job.
    for (int job = 1; job <= 6; ++job) {
        const std::string pdf = ReadFile(prompts() / ("print-" + std::to_string(job) + ".pdf"));
        EXPECT_EQ(pdf.substr(0, 5), "%PDF-") << job;
    }
    EXPECT_FALSE(fs::exists(prompts() / "print-7.pdf"));
    EXPECT_FALSE(fs::exists(prompts() / "1.asked"));
    EXPECT_EQ(RecentFiles(), std::vector<std::string>{sample.string()});
    EXPECT_TRUE(CleanRun(Log(1))) << Log(1);
}
