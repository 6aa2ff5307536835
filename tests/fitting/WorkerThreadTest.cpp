#include "fitting/WorkerThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

// Records the posted messages.
struct Mailbox {
    std::mutex lock;
    std::vector<std::pair<UINT, std::intptr_t>> messages;
    Mailbox()
    {
        SetWorkerMessageSink([this](UINT m, std::intptr_t w, std::intptr_t) {
            std::lock_guard g(lock);
            messages.emplace_back(m, w);
        });
    }
    ~Mailbox() { SetWorkerMessageSink({}); }
    std::vector<std::pair<UINT, std::intptr_t>> Take()
    {
        std::lock_guard g(lock);
        return messages;
    }
};

// A calculation that polls like an engine until it is released or told to give up.
struct Calculation {
    std::atomic<bool> release{false};
    std::atomic<int> runs{0};
    std::atomic<bool> inside{false};
    int Run(CWorkerThread& w)
    {
        ++runs;
        inside = true;
        while (!release.load()) {
            if (w.IsQuitRequested() || w.IsNewRequestPending()) {
                inside = false;
                return 0;
            }
            std::this_thread::sleep_for(1ms);
        }
        inside = false;
        return 1;
    }
};

template <class Pred>
void WaitFor(Pred pred)
{
    for (int i = 0; i < 5000 && !pred(); ++i)
        std::this_thread::sleep_for(1ms);
    ASSERT_TRUE(pred());
}

} // namespace

TEST(WorkerThread, TwoStartsGiveOnePairOfNotices)
{
    Mailbox mail;
    Calculation calc;
    CWorkerThread worker;
    auto proc = [&](CWorkerThread& w, void*) { return calc.Run(w); };
    worker.Start(proc, nullptr, 7);
    WaitFor([&] { return calc.inside.load(); });
    worker.Start(proc, nullptr, 7);
    WaitFor([&] { return calc.runs.load() == 2; });
    calc.release = true;
    worker.WaitIdle();
    WaitFor([&] { return mail.Take().size() == 2; });
    auto messages = mail.Take();
    EXPECT_EQ(messages[0], (std::pair<UINT, std::intptr_t>{WM_WORKER_STATE, WORKER_STARTED}));
    EXPECT_EQ(messages[1], (std::pair<UINT, std::intptr_t>{WM_WORKER_STATE, WORKER_SUCCEEDED}));
    EXPECT_FALSE(worker.IsStale());
}

TEST(WorkerThread, StopInsideAFitPostsNoEndNotice)
{
    Mailbox mail;
    Calculation calc;
    CWorkerThread worker;
    worker.Start([&](CWorkerThread& w, void*) { return calc.Run(w); }, nullptr, 1);
    WaitFor([&] { return calc.inside.load(); });
    worker.Stop();
    EXPECT_FALSE(worker.IsRunning());
    auto messages = mail.Take();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].second, WORKER_STARTED);
    // A later start makes a new thread that works.
    calc.release = true;
    worker.Start([&](CWorkerThread& w, void*) { return calc.Run(w); }, nullptr, 1);
    worker.WaitIdle();
    WaitFor([&] { return mail.Take().size() == 3; });
    EXPECT_EQ(mail.Take()[2].second, WORKER_SUCCEEDED);
}

TEST(WorkerThread, StopWhileWaitingForWork)
{
    Mailbox mail;
    CWorkerThread worker;
    worker.Start([](CWorkerThread&, void*) { return 0; }, nullptr, 1);
    worker.WaitIdle();
    WaitFor([&] { return mail.Take().size() == 2; });
    EXPECT_EQ(mail.Take()[1].second, WORKER_FAILED);
    worker.Stop(); // the idle worker wakes, sees the quit and ends
    EXPECT_EQ(mail.Take().size(), 2u);
}

TEST(WorkerThread, ProgressNoticesDoNotPileUp)
{
    Mailbox mail;
    CWorkerThread worker;
    worker.Start(
        [](CWorkerThread& w, void*) {
            for (int i = 0; i < 100; ++i)
                w.NotifyUpdate();
            return 1;
        },
        nullptr, 3);
    worker.WaitIdle();
    WaitFor([&] { return mail.Take().size() == 3; });
    int progress = 0;
    for (auto& m : mail.Take())
        progress += m.first == WM_WORKER_PROGRESS ? 1 : 0;
    EXPECT_EQ(progress, 1);
    worker.ProgressHandled();
    worker.NotifyUpdate();
    EXPECT_EQ(mail.Take().size(), 4u);
}

TEST(WorkerThread, SynchronousRunsOnTheCallingThread)
{
    CWorkerThread worker;
    std::thread::id seen;
    EXPECT_EQ(worker.Start([&](CWorkerThread&, void*) { seen = std::this_thread::get_id(); return 5; }, nullptr, 0,
                           false),
              5);
    EXPECT_EQ(seen, std::this_thread::get_id());
}

// The save of a workspace waits for a calculation it has just started: the
// wait must not pass before the worker has even taken the request.
TEST(WorkerThread, WaitIdleRightAfterAStartWaitsForThatRequest)
{
    Mailbox mail;
    std::atomic<bool> done{false};
    CWorkerThread worker;
    for (int i = 0; i < 20; ++i) {
        done = false;
        worker.Start(
            [&](CWorkerThread&, void*) {
                std::this_thread::sleep_for(2ms);
                done = true;
                return 1;
            },
            nullptr, 7, true);
        worker.WaitIdle();
        ASSERT_TRUE(done.load()) << i;
    }
    // A stopped worker leaves nothing to wait for.
    worker.Stop();
    worker.WaitIdle();
}

TEST(WorkerThread, PostedMessagesCarryTheCallersValue)
{
    std::vector<std::intptr_t> values;
    std::mutex lock;
    SetWorkerMessageSink([&](UINT m, std::intptr_t, std::intptr_t l) {
        std::lock_guard g(lock);
        if (m == WM_WORKER_MESSAGE)
            values.push_back(l);
    });
    CWorkerThread worker;
    worker.Start(
        [](CWorkerThread& w, void*) {
            w.NotifyError(216);
            return 0;
        },
        nullptr, 0x1234, false);
    SetWorkerMessageSink({});
    EXPECT_EQ(values, std::vector<std::intptr_t>{0x1234});
}
