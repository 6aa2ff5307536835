#include "fitting/PassThreads.h"

CPassThreads::CPassThreads(int count)
{
    for (int t = 1; t < count; ++t)
        m_threads.emplace_back([this, t] { Main(t); });
}

CPassThreads::~CPassThreads()
{
    {
        std::lock_guard guard(m_lock);
        m_quit = true;
    }
    m_wake.notify_all();
    for (auto& t : m_threads)
        t.join();
}

void CPassThreads::Run(const std::function<void(int)>& task)
{
    {
        std::lock_guard guard(m_lock);
        m_task = &task;
        m_pending = int(m_threads.size());
        ++m_generation;
    }
    m_wake.notify_all();
    task(0);
    std::unique_lock guard(m_lock);
    m_done.wait(guard, [this] { return m_pending == 0; });
    m_task = nullptr;
}

void CPassThreads::Main(int index)
{
    std::uint64_t seen = 0;
    for (;;) {
        const std::function<void(int)>* task;
        {
            std::unique_lock guard(m_lock);
            m_wake.wait(guard, [&] { return m_quit || m_generation != seen; });
            if (m_quit)
                return;
            seen = m_generation;
            task = m_task;
        }
        (*task)(index);
        {
            std::lock_guard guard(m_lock);
            if (--m_pending == 0)
                m_done.notify_one();
        }
    }
}
