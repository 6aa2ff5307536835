// The local wall-clock time as a SYSTEMTIME, with a hook so that tests can
// hold the clock still.
#pragma once

#include "platform/Types.h"

#include <functional>

SYSTEMTIME GetLocalSystemTime();
// Replaces the clock; an empty function restores the real one.
void SetClockForTesting(std::function<SYSTEMTIME()> clock);
// Whether two times fall in the same minute (seconds and below ignored).
bool SameMinute(const SYSTEMTIME& a, const SYSTEMTIME& b);
// Orders two times to the second: negative, zero or positive.
int CompareToSecond(const SYSTEMTIME& a, const SYSTEMTIME& b);
