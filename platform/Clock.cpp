#include "platform/Clock.h"

#include <chrono>
#include <ctime>
#include <tuple>

namespace {
std::function<SYSTEMTIME()>& TestClock()
{
    static std::function<SYSTEMTIME()> clock;
    return clock;
}
} // namespace

SYSTEMTIME GetLocalSystemTime()
{
    if (TestClock())
        return TestClock()();
    auto now = std::chrono::system_clock::now();
    std::time_t t = std::chrono::system_clock::to_time_t(now);
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm tm {};
    localtime_r(&t, &tm);
    SYSTEMTIME st;
    st.wYear = WORD(tm.tm_year + 1900);
    st.wMonth = WORD(tm.tm_mon + 1);
    st.wDayOfWeek = WORD(tm.tm_wday);
    st.wDay = WORD(tm.tm_mday);
    st.wHour = WORD(tm.tm_hour);
    st.wMinute = WORD(tm.tm_min);
    st.wSecond = WORD(tm.tm_sec);
    st.wMilliseconds = WORD(ms);
    return st;
}

void SetClockForTesting(std::function<SYSTEMTIME()> clock) { TestClock() = std::move(clock); }

bool SameMinute(const SYSTEMTIME& a, const SYSTEMTIME& b)
{
    return a.wYear == b.wYear && a.wMonth == b.wMonth && a.wDay == b.wDay && a.wHour == b.wHour
        && a.wMinute == b.wMinute;
}

int CompareToSecond(const SYSTEMTIME& a, const SYSTEMTIME& b)
{
    auto key = [](const SYSTEMTIME& t) {
        return std::make_tuple(t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond);
    };
    return key(a) < key(b) ? -1 : key(b) < key(a) ? 1 : 0;
}
