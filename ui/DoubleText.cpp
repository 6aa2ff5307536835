#include "ui/DoubleText.h"

#include "framework/ArchiveHelpers.h"

#include <charconv>
#include <cmath>

namespace {
bool IsSpace(char c) { return c == ' ' || c == '\t'; }
}  // namespace

std::string FormatDoubleOrBlank(double value)
{
    if (IsBlank(value))
        return {};
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
    return std::string(buf, res.ptr);
}

bool ParseDoubleOrBlank(std::string_view text, double& value)
{
    std::size_t b = 0, e = text.size();
    while (b < e && IsSpace(text[b]))
        ++b;
    while (e > b && IsSpace(text[e - 1]))
        --e;
    if (b == e) {
        value = BlankValue();
        return true;
    }
    if (text[b] == '+' && e - b > 1 && text[b + 1] != '-')
        ++b;
    double v = 0.0;
    auto res = std::from_chars(text.data() + b, text.data() + e, v, std::chars_format::general);
    if (res.ec != std::errc() || res.ptr != text.data() + e || !std::isfinite(v))
        return false;
    value = v;
    return true;
}

bool LessBlankLast(double a, double b)
{
    if (IsBlank(a))
        return false;
    if (IsBlank(b))
        return true;
    return a < b;
}
