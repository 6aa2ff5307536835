// Fit items run on their worker and post their news; these helpers collect
// the posted messages and hand them back on the test's thread, as the main
// window does, and record what the items are told.
#pragma once

#include "app/MXDoc.h"
#include "app/MXEquation.h"
#include "app/MXGrid.h"
#include "app/MXResult.h"
#include "framework/UpdateNotification.h"
#include "fitting/WorkerThread.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <tuple>
#include <vector>

struct PostedMessage {
    UINT message;
    std::intptr_t wParam;
    std::intptr_t lParam;
};

class MessagePump {
public:
    MessagePump()
    {
        SetWorkerMessageSink([this](UINT m, std::intptr_t w, std::intptr_t l) {
            std::lock_guard lock(m_mutex);
            m_queue.push_back({m, w, l});
            m_cv.notify_all();
        });
    }
    ~MessagePump() { SetWorkerMessageSink({}); }

    // Delivers posted messages until one ends a run (2024 with 1 or 2) or the time is up; true when one did.
    bool PumpUntilEnd(CMXDoc& doc, std::chrono::seconds limit = std::chrono::seconds(60))
    {
        const auto until = std::chrono::steady_clock::now() + limit;
        for (;;) {
            PostedMessage m;
            {
                std::unique_lock lock(m_mutex);
                if (!m_cv.wait_until(lock, until, [&] { return !m_queue.empty(); }))
                    return false;
                m = m_queue.front();
                m_queue.pop_front();
            }
            delivered.push_back(m);
            DeliverWorkerMessage(doc, m.message, m.wParam, m.lParam);
            if (m.message == WM_WORKER_STATE && m.wParam != WORKER_STARTED)
                return true;
        }
    }
    // Delivers whatever is queued now.
    void PumpPending(CMXDoc& doc)
    {
        for (;;) {
            PostedMessage m;
            {
                std::lock_guard lock(m_mutex);
                if (m_queue.empty())
                    return;
                m = m_queue.front();
                m_queue.pop_front();
            }
            delivered.push_back(m);
            DeliverWorkerMessage(doc, m.message, m.wParam, m.lParam);
        }
    }
    int Count(UINT message, std::intptr_t wParam) const
    {
        int n = 0;
        for (const PostedMessage& m : delivered)
            n += m.message == message && m.wParam == wParam;
        return n;
    }
    std::vector<UINT> Errors() const
    {
        std::vector<UINT> ids;
        for (const PostedMessage& m : delivered)
            if (m.message == WM_WORKER_MESSAGE)
                ids.push_back(UINT(m.wParam));
        return ids;
    }

    std::vector<PostedMessage> delivered;

private:
    std::mutex m_mutex;
    std::condition_variable m_cv;
    std::deque<PostedMessage> m_queue;
};

// An item that records the notices every item receives.
class ProbeItem : public CMXProjectItem {
public:
    using CMXProjectItem::CMXProjectItem;
    void OnItemNotify(CUpdateNotification& note) override { notes.emplace_back(note.kind, note.state, note.item); }
    int Count(int kind, int state) const
    {
        int n = 0;
        for (const auto& [k, s, item] : notes)
            n += k == kind && s == state;
        return n;
    }
    std::vector<std::tuple<int, int, CMXProjectItem*>> notes;
};

template <class T>
T* AddItem(CMXDoc& doc)
{
    auto* item = new T(&doc);
    item->InitNewItem();
    return item;
}

inline void FillColumn(CMyData& t, int column, const std::vector<double>& values)
{
    int row = 2;
    for (double v : values)
        t.SetNumber(row++, column, v);
}

inline CMXEquation* AddEquation(CMXDoc& doc, const std::string& name, const std::string& source,
                                std::initializer_list<const char*> params)
{
    CMXEquation* item = AddItem<CMXEquation>(doc);
    item->SetName(name, 0);
    CEquation& eq = item->GetCompiledEquation();
    eq.SetYName("y");
    int i = 0;
    for (const char* p : params)
        eq.SetParameterName(i++, p, "");
    eq.SetXName(0, "x", "");
    eq.SetModeFlag(1);
    eq.SetSource(source);
    eq.Compile();
    return item;
}
