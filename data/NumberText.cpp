#include "data/NumberText.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

} // namespace

bool ParseNumberText(std::string_view text, double& value)
{
    std::size_t i = 0;
    const std::size_t n = text.size();
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const std::size_t start = i;
    std::size_t digits = 0;
    while (i < n && IsDigit(text[i])) {
        ++i;
        ++digits;
    }
    if (i < n && text[i] == '.') {
        ++i;
        while (i < n && IsDigit(text[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return false;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < n && (text[i] == '+' || text[i] == '-'))
            ++i;
        std::size_t expDigits = 0;
        while (i < n && IsDigit(text[i])) {
            ++i;
            ++expDigits;
        }
        if (expDigits == 0)
            return false;
    }
    if (i != n)
        return false;
    // from_chars takes no leading '+', and its own grammar would also accept
    // "inf" and "nan": the scan above has already ruled those out.
    double v = 0.0;
    auto [ptr, ec] = std::from_chars(text.data() + start, text.data() + n, v, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        // Underflow reads as zero; overflow is not a number anyone typed.
        std::string_view rest = text.substr(start);
        std::size_t e = rest.find_first_of("eE");
        if (e != std::string_view::npos && e + 1 < rest.size() && rest[e + 1] == '-') {
            value = negative ? -0.0 : 0.0;
            return true;
        }
        return false;
    }
    if (ec != std::errc() || ptr != text.data() + n || !std::isfinite(v))
        return false;
    value = negative ? -v : v;
    return true;
}

std::string ShortestNumberText(double value)
{
    char buffer[64];
    auto [ptr, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, ec == std::errc() ? ptr : buffer);
}
