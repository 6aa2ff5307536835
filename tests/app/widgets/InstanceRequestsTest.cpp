// Requests that later starts hand to the running program, through its real
// channel: answered at once, carried out when the program is free.
#include "app/MXDoc.h"
#include "app/MXNotes.h"
#include "app/SingleInstanceChannel.h"
#include "app/widgets/MXApp.h"
#include "app/widgets/MXMainWnd.h"
#include "framework/widgets/ProjectFrameBase.h"
#include "platform/Reporter.h"

#include "AppTestSupport.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QPrinter>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using Sent = CSingleInstanceChannel::Sent;

fs::path TestDir()
{
    auto dir = fs::temp_directory_path() / ("marlox-requests-test-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    return dir;
}

std::string SaveWorkspace(const std::string& name, const std::string& noteName)
{
    return SaveNotesWorkspace((TestDir() / name).string(), noteName);
}

std::string Damaged(const std::string& name)
{
    std::string path = (TestDir() / name).string();
    std::ofstream(path, std::ios::binary) << "no workspace";
    return path;
}

// Runs events until the condition holds; false when it did not within the time.
bool PumpUntil(const std::function<bool()>& done, std::chrono::seconds limit = std::chrono::seconds(20))
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

template <class T> T Await(std::future<T>& f)
{
    PumpUntil([&] { return f.wait_for(std::chrono::seconds(0)) == std::future_status::ready; });
    return f.get();
}

std::future<Sent> SendLater(const QString& name, const std::string& command)
{
    return std::async(std::launch::async, [name, command] { return CSingleInstanceChannel::Send(name, command); });
}

std::string OpenCommand(const std::string& path) { return "[open(\"" + path + "\")]"; }

// A reporter whose boxes are answered by a function, which may run events
// meanwhile as a real box does.
class ScriptedBoxes : public CReporter {
public:
    ScriptedBoxes() { m_previous = SetReporter(this); }
    ~ScriptedBoxes() override { SetReporter(m_previous); }
    int Show(const ReportedMessage& message) override
    {
        shown.push_back(message.text);
        return onShow ? onShow(message) : DefaultAnswer(message.type);
    }
    std::function<int(const ReportedMessage&)> onShow;
    std::vector<std::string> shown;

private:
    CReporter* m_previous;
};

// Prints to numbered PDF files instead of a printer.
class PrintingApp : public CMXApp {
public:
    bool SetUpPrinter(QPrinter& printer) override
    {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString((TestDir() / ("job-" + std::to_string(++jobs) + ".pdf")).string()));
        startedWhenPrinted = GetMainFrame() && GetMainFrame()->isVisible() && GetChannel() && GetChannel()->IsListening();
        return true;
    }
    int jobs = 0;
    bool startedWhenPrinted = false;
};

class InstanceRequestsTest : public ::testing::Test {
protected:
    void TearDown() override { Stop(); }
    bool Start(QStringList arguments, std::unique_ptr<CMXApp> made = nullptr)
    {
        app = made ? std::move(made) : std::make_unique<CMXApp>();
        arguments.prepend("marlox");
        if (!app->InitInstance(arguments))
            return false;
        QApplication::processEvents();
        return true;
    }
    void Stop()
    {
        if (!app)
            return;
        if (CMXDoc* d = doc())
            d->SetModifiedFlag(false);
        app->ExitInstance();
        app.reset();
    }
    CMXDoc* doc() const { return dynamic_cast<CMXDoc*>(app->GetProjectDoc()); }
    QString Name() const { return CSingleInstanceChannel::DefaultName(); }

    ScriptedBoxes boxes;
    std::unique_ptr<CMXApp> app;
};

} // namespace

TEST_F(InstanceRequestsTest, ARequestDuringAPromptIsAnsweredAtOnceAndOpenedAfterIt)
{
    const std::string a = SaveWorkspace("a.mxf", "A"), b = SaveWorkspace("b.mxf", "B");
    const std::string damaged = Damaged("damaged.mxf");
    ASSERT_TRUE(Start({QString::fromStdString(a)}));
    ASSERT_TRUE(app->GetChannel() && app->GetChannel()->IsListening());

    // The damaged file's reason is on screen when the next start hands over b.
    Sent secondAnswer = Sent::NoAnswer;
    std::size_t waitingDuringPrompt = 0;
    std::string openDuringPrompt;
    boxes.onShow = [&](const ReportedMessage&) {
        std::future<Sent> second = SendLater(Name(), OpenCommand(b));
        secondAnswer = Await(second);
        QApplication::processEvents();
        waitingDuringPrompt = app->WaitingRequests();
        openDuringPrompt = doc()->GetPathName();
        return IDOK;
    };
    std::future<Sent> first = SendLater(Name(), OpenCommand(damaged));
    EXPECT_EQ(Await(first), Sent::Taken);
    ASSERT_TRUE(PumpUntil([&] { return !boxes.shown.empty(); }));
    // Answered while the box showed; not opened under it.
    EXPECT_EQ(secondAnswer, Sent::Taken);
    EXPECT_EQ(waitingDuringPrompt, 1u);
    EXPECT_EQ(openDuringPrompt, a);
    // Opened once the box was answered.
    ASSERT_TRUE(PumpUntil([&] { return app->WaitingRequests() == 0 && doc()->GetPathName() == b; }));
    EXPECT_EQ(boxes.shown.size(), 1u);
    ASSERT_NE(doc()->FindItem("B"), nullptr);
    EXPECT_EQ(doc()->GetProjectItems().size(), 1u);
}

TEST_F(InstanceRequestsTest, NothingIsHeardBeforeStartUpEnds)
{
    const std::string damaged = Damaged("start.mxf");
    bool listeningDuringStartUp = true, claimedDuringStartUp = false, answeredDuringStartUp = true;
    boxes.onShow = [&](const ReportedMessage&) {
        CSingleInstanceChannel* channel = app->GetChannel();
        claimedDuringStartUp = channel && channel->IsClaimed();
        listeningDuringStartUp = channel && channel->IsListening();
        std::future<bool> asked = std::async(std::launch::async, [name = Name()] {
            return CSingleInstanceChannel::IsRunning(name, 200);
        });
        answeredDuringStartUp = Await(asked);
        return IDOK;
    };
    // A named file that cannot be read ends the start after its reason.
    EXPECT_FALSE(Start({QString::fromStdString(damaged)}));
    EXPECT_EQ(boxes.shown.size(), 1u);
    EXPECT_TRUE(claimedDuringStartUp);  // so that a later start waits for this one
    EXPECT_FALSE(listeningDuringStartUp);
    EXPECT_FALSE(answeredDuringStartUp);
    Stop();

    ASSERT_TRUE(Start({}));
    EXPECT_TRUE(app->GetChannel()->IsListening());
}

TEST_F(InstanceRequestsTest, RequestsThatAreNotUnderstoodOrTooManyAreRefused)
{
    CMXApp busy;  // not started: every request waits
    EXPECT_FALSE(busy.OnInstanceRequest("[frobnicate(\"/x\")]"));
    EXPECT_FALSE(busy.OnInstanceRequest("[open(\"\")]"));
    for (std::size_t i = 0; i < CMXApp::kMaxWaitingRequests; ++i)
        ASSERT_TRUE(busy.OnInstanceRequest(OpenCommand("/data/" + std::to_string(i) + ".mxf")));
    EXPECT_FALSE(busy.OnInstanceRequest(OpenCommand("/data/one-too-many.mxf")));
    EXPECT_EQ(busy.WaitingRequests(), CMXApp::kMaxWaitingRequests);
}

TEST_F(InstanceRequestsTest, ALaterStartNamesItsFileFromWhereItRan)
{
    const fs::path here = fs::current_path();
    CMXApp later;
    later.ParseCommandLine({"marlox", "studies/../enzyme.mxf"});
    EXPECT_EQ(later.HandOverCommand(), "[open(\"" + (here / "enzyme.mxf").string() + "\")]");
    EXPECT_EQ(later.m_strFileToOpen, (here / "enzyme.mxf").string());
    later.ParseCommandLine({"marlox", "/new", "Lab.mxt"});
    EXPECT_EQ(later.HandOverCommand(), "[new(\"" + (here / "Lab.mxt").string() + "\")]");
    later.ParseCommandLine({"marlox", "-p", "/data/x.mxf"});
    EXPECT_EQ(later.HandOverCommand(), "[print(\"/data/x.mxf\")]");
    later.ParseCommandLine({"marlox"});
    EXPECT_EQ(later.HandOverCommand(), "");
}

TEST_F(InstanceRequestsTest, APrintRequestPrintsEveryItemWithPagesAndLeavesTheWindowsAsTheyWere)
{
    const std::string sample = (TestDir() / "Sample.mxf").string();
    fs::copy_file(MARLOX_SOURCE_DIR "/examples/Sample.mxf", sample, fs::copy_options::overwrite_existing);
    auto made = std::make_unique<PrintingApp>();
    PrintingApp* printing = made.get();
    ASSERT_TRUE(Start({}, std::move(made)));
    std::future<Sent> sent = SendLater(Name(), "[print(\"" + sample + "\")]");
    EXPECT_EQ(Await(sent), Sent::Taken);
    ASSERT_TRUE(PumpUntil([&] { return app->WaitingRequests() == 0 && doc()->GetPathName() == sample; }));
    // Three notepads, a table, the equation and the fit, each its own job.
    ASSERT_EQ(printing->jobs, 6);
    for (int job = 1; job <= 6; ++job) {
        QFile pdf(QString::fromStdString((TestDir() / ("job-" + std::to_string(job) + ".pdf")).string()));
        ASSERT_TRUE(pdf.open(QIODevice::ReadOnly)) << job;
        EXPECT_TRUE(pdf.read(5) == "%PDF-") << job;
    }
    // The windows the sample opens with stay; those opened to print are gone.
    QApplication::processEvents();
    EXPECT_EQ(app->GetMainFrame()->GetFrames().size(), 2u);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(InstanceRequestsTest, PrintingNamedAtStartUpWaitsUntilTheProgramHasStarted)
{
    const std::string path = SaveWorkspace("print-at-start.mxf", "To print");
    auto made = std::make_unique<PrintingApp>();
    PrintingApp* printing = made.get();
    ASSERT_TRUE(Start({"-p", QString::fromStdString(path)}, std::move(made)));
    ASSERT_TRUE(PumpUntil([&] { return app->WaitingRequests() == 0 && printing->jobs == 1; }));
    EXPECT_TRUE(printing->startedWhenPrinted);
    EXPECT_EQ(doc()->GetPathName(), path);
}
