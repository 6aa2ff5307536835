// A few threads kept for the duration of one fit, so that each pass over the
// points can share out its work without starting threads anew.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class CPassThreads {
public:
    // count threads in all, the calling thread among them.
    explicit CPassThreads(int count);
    ~CPassThreads();
    CPassThreads(const CPassThreads&) = delete;
    CPassThreads& operator=(const CPassThreads&) = delete;

    int GetCount() const { return int(m_threads.size()) + 1; }
    // Calls task(t) for every t from 0 to GetCount() - 1, t = 0 on the
    // calling thread, and returns when all have returned. task must not throw.
    void Run(const std::function<void(int)>& task);

private:
    void Main(int index);

    std::vector<std::thread> m_threads;
    std::mutex m_lock;
    std::condition_variable m_wake;
    std::condition_variable m_done;
    const std::function<void(int)>* m_task = nullptr;
    std::uint64_t m_generation = 0;
    int m_pending = 0;
    bool m_quit = false;
};
