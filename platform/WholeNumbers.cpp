#include "platform/WholeNumbers.h"

#include <charconv>

bool ParseWholeNumbers(std::string_view text, char separator, int* out, int count)
{
    const char* p = text.data();
    const char* end = p + text.size();
    auto skipBlanks = [&] {
        while (p < end && *p == ' ')
            ++p;
    };
    for (int i = 0; i < count; ++i) {
        skipBlanks();
        if (i > 0 && separator != ' ') {
            if (p == end || *p != separator)
                return false;
            ++p;
            skipBlanks();
        }
        // A sign of our own may lead, but only one.
        if (p < end && *p == '+' && p + 1 < end && *(p + 1) != '-')
            ++p;
        auto [next, ec] = std::from_chars(p, end, out[i]);
        if (ec != std::errc())
            return false;
        p = next;
    }
    skipBlanks();
    return p == end;
}
