#include "platform/CodePage.h"

#include <cstdint>

namespace {

// Code points of bytes 0x80..0x9F. The five bytes that the code page leaves
// unassigned map to the control characters of the same value, so that any
// byte survives a trip through UTF-8 and back.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

int ByteForCodePoint(std::uint32_t cp)
{
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF))
        return int(cp);
    for (int i = 0; i < 32; ++i)
        if (kHighControls[i] == cp)
            return 0x80 + i;
    return -1;
}


} // namespace

void AppendUtf8(std::string& out, std::uint32_t cp)
{
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

std::string Utf8ToCp1252(std::string_view in)
{
    std::string out;
    out.reserve(in.size());
    std::size_t i = 0;
    while (i < in.size()) {
        auto b = static_cast<unsigned char>(in[i]);
        if (b < 0x80) {
            out += char(b);
            ++i;
            continue;
        }
        int len = (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : (b & 0xF8) == 0xF0 ? 4 : 0;
        std::uint32_t cp = len == 2 ? (b & 0x1F) : len == 3 ? (b & 0x0F) : (b & 0x07);
        bool ok = len != 0 && i + len <= in.size();
        for (int k = 1; ok && k < len; ++k) {
            auto c = static_cast<unsigned char>(in[i + k]);
            if ((c & 0xC0) != 0x80)
                ok = false;
            else
                cp = (cp << 6) | (c & 0x3F);
        }
        if (!ok) {
            out += '?';
            ++i;
            continue;
        }
        int byte = ByteForCodePoint(cp);
        out += byte < 0 ? '?' : char(byte);
        i += std::size_t(len);
    }
    return out;
}

std::string Cp1252ToUtf8(std::string_view in)
{
    std::string out;
    out.reserve(in.size());
    for (char ch : in) {
        auto b = static_cast<unsigned char>(ch);
        if (b < 0x80)
            out += ch;
        else if (b < 0xA0)
            AppendUtf8(out, kHighControls[b - 0x80]);
        else
            AppendUtf8(out, b);
    }
    return out;
}

std::u16string Utf8ToUtf16(std::string_view utf8)
{
    std::u16string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        unsigned char c = static_cast<unsigned char>(utf8[i]);
        char32_t cp = 0xFFFD;
        std::size_t len = 1;
        auto cont = [&](std::size_t k) {
            return i + k < utf8.size() && (static_cast<unsigned char>(utf8[i + k]) & 0xC0) == 0x80;
        };
        if (c < 0x80) {
            cp = c;
        } else if ((c & 0xE0) == 0xC0 && cont(1)) {
            cp = char32_t(c & 0x1F) << 6 | (utf8[i + 1] & 0x3F);
            len = 2;
            if (cp < 0x80)
                cp = 0xFFFD;
        } else if ((c & 0xF0) == 0xE0 && cont(1) && cont(2)) {
            cp = char32_t(c & 0x0F) << 12 | char32_t(utf8[i + 1] & 0x3F) << 6 | (utf8[i + 2] & 0x3F);
            len = 3;
            if (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))
                cp = 0xFFFD;
        } else if ((c & 0xF8) == 0xF0 && cont(1) && cont(2) && cont(3)) {
            cp = char32_t(c & 0x07) << 18 | char32_t(utf8[i + 1] & 0x3F) << 12
                | char32_t(utf8[i + 2] & 0x3F) << 6 | (utf8[i + 3] & 0x3F);
            len = 4;
            if (cp < 0x10000 || cp > 0x10FFFF)
                cp = 0xFFFD;
        }
        i += len;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += char16_t(0xD800 + (cp >> 10));
            out += char16_t(0xDC00 + (cp & 0x3FF));
        } else {
            out += char16_t(cp);
        }
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view utf16)
{
    std::string out;
    out.reserve(utf16.size());
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        char32_t cp = utf16[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 && utf16[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        AppendUtf8(out, cp);
    }
    return out;
}
