#include "fitting/WorkerThread.h"

#include "framework/ArchiveHelpers.h"

#include <mutex>

namespace {

std::mutex g_sinkMutex;
WorkerMessageSink g_sink;

WorkerMessageSink CurrentSink()
{
    std::lock_guard lock(g_sinkMutex);
    return g_sink;
}

// Guards the request's procedure and parameter, which the main thread sets
// while the worker may be between requests.
std::mutex g_requestMutex;

} // namespace

void SetWorkerMessageSink(WorkerMessageSink sink)
{
    std::lock_guard lock(g_sinkMutex);
    g_sink = std::move(sink);
}

CWorkerThread::CWorkerThread() = default;

CWorkerThread::~CWorkerThread() { Stop(); }

int CWorkerThread::Start(Procedure procedure, void* parameter, std::intptr_t value, bool asynchronous)
{
    if (asynchronous != m_asynchronous.load())
        Stop();
    WorkerMessageSink sink = CurrentSink();
    {
        std::lock_guard lock(g_requestMutex);
        m_sink = std::move(sink);
        m_procedure = std::move(procedure);
        m_parameter = parameter;
        m_value = value;
    }
    m_asynchronous = asynchronous;
    m_running = true;
    m_stale = true;
    if (!asynchronous) {
        Procedure run;
        {
            std::lock_guard lock(g_requestMutex);
            run = m_procedure;
        }
        return run(*this, parameter);
    }
    if (!m_threadRunning.load()) {
        if (m_thread.joinable())
            m_thread.join();
        m_threadRunning = true;
        m_thread = std::thread([this] { ThreadMain(); });
    }
    // Busy from now on: a wait for idleness right after the start must wait for this request.
    m_idle.Reset();
    m_quit.Reset();
    m_ended.Reset();
    {
        // Set together, and cleared by the worker under the same lock once it
        // has the request, so the flag is never left on for a run that has
        // nothing to give way to.
        std::lock_guard lock(g_requestMutex);
        m_request.Set();
        m_interrupt = true;
    }
    return 1;
}

void CWorkerThread::Stop()
{
    m_stopping = true;
    if (m_thread.joinable()) {
        if (m_threadRunning.load()) {
            {
                std::lock_guard lock(g_requestMutex);
                m_quit.Set();
                m_request.Set();
                m_interrupt = true;
            }
            m_ended.Wait();
        }
        m_thread.join();
    }
    m_interrupt = false;
    // A request the ended thread never took leaves nothing to wait for.
    m_idle.Set();
    m_running = false;
    m_stopping = false;
}

void CWorkerThread::WaitIdle()
{
    m_idle.Wait();
    m_running = false;
    m_stale = false;
}

int CWorkerThread::WaitForWork()
{
    if (!m_asynchronous.load()) {
        m_stale = true;
        m_running = true;
        return 1;
    }
    m_running = false;
    m_request.Wait();
    {
        std::lock_guard lock(g_requestMutex);
        m_interrupt = false;
    }
    m_stale = true;
    if (IsQuitRequested())
        return 0;
    m_running = true;
    m_idle.Reset();
    return 1;
}

bool CWorkerThread::IsQuitRequested()
{
    if (!m_asynchronous.load())
        return false;
    if (!m_quit.IsSet())
        return false;
    m_stale = true;
    m_running = false;
    return true;
}

bool CWorkerThread::IsNewRequestPending() { return m_asynchronous.load() && m_request.IsSet(); }

int CWorkerThread::WorkDone(int result)
{
    if (m_asynchronous.load())
        m_idle.Set();
    m_stale = result == 0;
    m_running = false;
    return result;
}

void CWorkerThread::WorkerEnded()
{
    m_stale = true;
    m_running = false;
    if (m_asynchronous.load())
        m_ended.Set();
}

void CWorkerThread::ThreadMain()
{
    bool started = false;
    for (;;) {
        if (!WaitForWork()) {
            // Marked first: Stop may join as soon as the ended event is set.
            m_threadRunning = false;
            WorkerEnded();
            return;
        }
        if (!started) {
            NotifyStarted();
            started = true;
        }
        Procedure run;
        void* parameter;
        {
            std::lock_guard lock(g_requestMutex);
            run = m_procedure;
            parameter = m_parameter;
        }
        int result = run ? run(*this, parameter) : 0;
        // A newer request replaces this run: no end notice for the abandoned one.
        if (IsNewRequestPending())
            continue;
        WorkDone(result);
        if (result)
            NotifySucceeded();
        else
            NotifyFailed();
        started = false;
    }
}

void CWorkerThread::Post(UINT message, std::intptr_t wParam, std::intptr_t lParam)
{
    WorkerMessageSink sink;
    {
        std::lock_guard lock(g_requestMutex);
        sink = m_sink;
    }
    if (sink)
        sink(message, wParam, lParam);
}

std::intptr_t CWorkerThread::Value() const
{
    std::lock_guard lock(g_requestMutex);
    return m_value;
}

void CWorkerThread::NotifyStarted() { Post(WM_WORKER_STATE, WORKER_STARTED, Value()); }
void CWorkerThread::NotifyFailed() { Post(WM_WORKER_STATE, WORKER_FAILED, Value()); }
void CWorkerThread::NotifySucceeded() { Post(WM_WORKER_STATE, WORKER_SUCCEEDED, Value()); }
void CWorkerThread::NotifyError(UINT stringId) { Post(WM_WORKER_MESSAGE, std::intptr_t(stringId), Value()); }

void CWorkerThread::NotifyUpdate()
{
    bool expected = false;
    if (m_progressPending.compare_exchange_strong(expected, true))
        Post(WM_WORKER_PROGRESS, WORKER_PROGRESS, Value());
}

void CWorkerThread::Serialize(CArchive& ar)
{
    SerializeVersion(ar, 0);
    if (ar.IsStoring()) {
        ar << std::int32_t(m_stale.load() ? 1 : 0);
    } else {
        std::int32_t stale = 0;
        ar >> stale;
        m_stale = stale != 0;
    }
}
