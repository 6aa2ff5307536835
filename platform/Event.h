// A waitable event, set and reset by one thread and waited on by another: an
// auto-reset event lets one wait through and clears itself, a manual-reset
// event stays set until it is reset.
#pragma once

#include <condition_variable>
#include <mutex>

class CEvent {
public:
    CEvent(bool manualReset, bool initiallySet) : m_manual(manualReset), m_set(initiallySet) {}

    void Set()
    {
        {
            std::lock_guard lock(m_mutex);
            m_set = true;
        }
        if (m_manual)
            m_cond.notify_all();
        else
            m_cond.notify_one();
    }
    void Reset()
    {
        std::lock_guard lock(m_mutex);
        m_set = false;
    }
    // Waits until the event is set; an auto-reset event is cleared by the wait.
    void Wait()
    {
        std::unique_lock lock(m_mutex);
        m_cond.wait(lock, [this] { return m_set; });
        if (!m_manual)
            m_set = false;
    }
    // Whether the event is set, without waiting and without clearing it.
    bool IsSet() const
    {
        std::lock_guard lock(m_mutex);
        return m_set;
    }

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_cond;
    const bool m_manual;
    bool m_set;
};
