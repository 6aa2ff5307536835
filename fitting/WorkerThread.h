// Runs a fit item's calculation on one background thread: hands it requests,
// lets it be stopped, and carries its notices to the main window as posted
// messages. A new request while a calculation runs makes the running one give
// up at its next poll and start again.
#pragma once

#include "platform/Event.h"
#include "platform/Object.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>

class CArchive;

// The messages a worker posts to the main window.
enum : UINT {
    WM_WORKER_STATE = 2024,    // wParam 0 started, 1 failed, 2 succeeded; lParam the caller's value
    WM_WORKER_MESSAGE = 2025,  // wParam a string-table number to show; lParam the caller's value
    WM_WORKER_PROGRESS = 2027, // wParam 10; lParam the caller's value
};
enum : int { WORKER_STARTED = 0, WORKER_FAILED = 1, WORKER_SUCCEEDED = 2, WORKER_PROGRESS = 10 };

// Where posted messages go: the program's main window installs one that queues
// them to the main thread. It may be called from any thread.
using WorkerMessageSink = std::function<void(UINT message, std::intptr_t wParam, std::intptr_t lParam)>;
void SetWorkerMessageSink(WorkerMessageSink sink);

class CWorkerThread : public CObject {
public:
    // The calculation: receives the controller and the caller's parameter; 1 on success.
    using Procedure = std::function<int(CWorkerThread& worker, void* parameter)>;

    CWorkerThread();
    ~CWorkerThread() override;
    CWorkerThread(const CWorkerThread&) = delete;
    CWorkerThread& operator=(const CWorkerThread&) = delete;

    // Main thread. value is what the notices carry (the fit item's id).
    int Start(Procedure procedure, void* parameter, std::intptr_t value, bool asynchronous = true);
    void Stop();
    void WaitIdle();
    bool IsRunning() const { return m_running.load(); }
    bool IsStale() const { return m_stale.load(); }

    // Worker thread.
    int WaitForWork();
    bool IsQuitRequested();
    bool IsNewRequestPending();
    // True from a stop or a new request until the worker takes it: an
    // evaluation that loops watches it, so that it gives up inside a point
    // rather than at the next poll.
    const std::atomic<bool>& InterruptFlag() const { return m_interrupt; }
    int WorkDone(int result);
    void WorkerEnded();

    // Notices, from either thread.
    void NotifyStarted();
    void NotifyFailed();
    void NotifySucceeded();
    void NotifyError(UINT stringId);
    // Posts a progress notice unless one is still waiting to be handled.
    void NotifyUpdate();
    // The receiver of a progress notice calls this, so that the next one is posted.
    void ProgressHandled() { m_progressPending.store(false); }

    // Version word 0, then the stale flag.
    void Serialize(CArchive& ar) override;

private:
    void Post(UINT message, std::intptr_t wParam, std::intptr_t lParam);
    std::intptr_t Value() const;
    void ThreadMain();

    std::atomic<bool> m_asynchronous{true};
    std::atomic<bool> m_stopping{false};
    std::atomic<bool> m_interrupt{false};
    std::atomic<bool> m_stale{false};
    std::atomic<bool> m_running{false};
    std::atomic<bool> m_progressPending{false};
    std::atomic<bool> m_threadRunning{false};
    WorkerMessageSink m_sink;
    std::thread m_thread;
    CEvent m_request{false, false};
    CEvent m_idle{true, true};
    CEvent m_quit{false, false};
    CEvent m_ended{false, false};
    Procedure m_procedure;
    void* m_parameter = nullptr;
    std::intptr_t m_value = 0;
};
