// Plain value records that the stored formats are written in terms of.
// Field names follow the records' long-standing names so that the file
// layouts read the same in code as in any description of the format.
#pragma once

#include <cstdint>
#include <cstring>

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using UINT = std::uint32_t;
using BOOL = int;
using COLORREF = std::uint32_t;

#ifndef TRUE
#define TRUE 1
#define FALSE 0
#endif

constexpr COLORREF RGB(int r, int g, int b)
{
    return COLORREF(r & 0xFF) | (COLORREF(g & 0xFF) << 8) | (COLORREF(b & 0xFF) << 16);
}
// a * b / c in 64 bits, rounded half away from zero; -1 when c is 0 or the
// result does not fit, as the conversions between stored and drawn sizes
// have always behaved.
inline int MulDiv(int a, int b, int c)
{
    if (c == 0)
        return -1;
    std::int64_t p = std::int64_t(a) * b;
    bool negative = (p < 0) != (c < 0);
    std::uint64_t up = std::uint64_t(p < 0 ? -p : p);
    std::uint64_t uc = std::uint64_t(c < 0 ? -std::int64_t(c) : std::int64_t(c));
    std::uint64_t q = (up + uc / 2) / uc;
    std::int64_t r = negative ? -std::int64_t(q) : std::int64_t(q);
    if (r > INT32_MAX || r < INT32_MIN)
        return -1;
    return int(r);
}

// Mouse-message flags: the buttons and keys held.
enum : UINT { MK_LBUTTON = 0x0001, MK_RBUTTON = 0x0002, MK_SHIFT = 0x0004, MK_CONTROL = 0x0008 };

constexpr int GetRValue(COLORREF c) { return int(c & 0xFF); }
constexpr int GetGValue(COLORREF c) { return int((c >> 8) & 0xFF); }
constexpr int GetBValue(COLORREF c) { return int((c >> 16) & 0xFF); }

struct POINT {
    LONG x = 0;
    LONG y = 0;
    friend bool operator==(const POINT&, const POINT&) = default;
};

struct SIZE {
    LONG cx = 0;
    LONG cy = 0;
    friend bool operator==(const SIZE&, const SIZE&) = default;
};

struct RECT {
    LONG left = 0;
    LONG top = 0;
    LONG right = 0;
    LONG bottom = 0;
    LONG Width() const { return right - left; }
    LONG Height() const { return bottom - top; }
    friend bool operator==(const RECT&, const RECT&) = default;
};

struct SYSTEMTIME {
    WORD wYear = 0;
    WORD wMonth = 0;
    WORD wDayOfWeek = 0;
    WORD wDay = 0;
    WORD wHour = 0;
    WORD wMinute = 0;
    WORD wSecond = 0;
    WORD wMilliseconds = 0;
    friend bool operator==(const SYSTEMTIME&, const SYSTEMTIME&) = default;
};

struct WINDOWPLACEMENT {
    UINT length = 44;
    UINT flags = 0;
    UINT showCmd = 0;
    POINT ptMinPosition;
    POINT ptMaxPosition;
    RECT rcNormalPosition;
    friend bool operator==(const WINDOWPLACEMENT&, const WINDOWPLACEMENT&) = default;
};

// Show states kept in WINDOWPLACEMENT::showCmd.
enum : UINT { SW_HIDE = 0, SW_SHOWNORMAL = 1, SW_SHOWMINIMIZED = 2, SW_SHOWMAXIMIZED = 3, SW_SHOW = 5,
              SW_MINIMIZE = 6, SW_RESTORE = 9 };

constexpr int LF_FACESIZE = 32;

// Face names are UTF-8 in memory; the archive converts them to the stored
// single-byte code page and keeps at most 31 stored bytes and the NUL.
struct LOGFONT {
    LONG lfHeight = 0;
    LONG lfWidth = 0;
    LONG lfEscapement = 0;
    LONG lfOrientation = 0;
    LONG lfWeight = 0;
    BYTE lfItalic = 0;
    BYTE lfUnderline = 0;
    BYTE lfStrikeOut = 0;
    BYTE lfCharSet = 0;
    BYTE lfOutPrecision = 0;
    BYTE lfClipPrecision = 0;
    BYTE lfQuality = 0;
    BYTE lfPitchAndFamily = 0;
    char lfFaceName[LF_FACESIZE] = {};
    friend bool operator==(const LOGFONT& a, const LOGFONT& b)
    {
        return a.lfHeight == b.lfHeight && a.lfWidth == b.lfWidth && a.lfEscapement == b.lfEscapement
            && a.lfOrientation == b.lfOrientation && a.lfWeight == b.lfWeight && a.lfItalic == b.lfItalic
            && a.lfUnderline == b.lfUnderline && a.lfStrikeOut == b.lfStrikeOut && a.lfCharSet == b.lfCharSet
            && a.lfOutPrecision == b.lfOutPrecision && a.lfClipPrecision == b.lfClipPrecision
            && a.lfQuality == b.lfQuality && a.lfPitchAndFamily == b.lfPitchAndFamily
            && std::strncmp(a.lfFaceName, b.lfFaceName, LF_FACESIZE) == 0;
    }
};

enum : LONG { FW_NORMAL = 400, FW_BOLD = 700 };

// Character format of rich text; cbSize of the stored record is always 60.
struct CHARFORMAT {
    UINT cbSize = 60;
    DWORD dwMask = 0;
    DWORD dwEffects = 0;
    LONG yHeight = 0;
    LONG yOffset = 0;
    COLORREF crTextColor = 0;
    BYTE bCharSet = 0;
    BYTE bPitchAndFamily = 0;
    char szFaceName[LF_FACESIZE] = {};
    friend bool operator==(const CHARFORMAT& a, const CHARFORMAT& b)
    {
        return a.cbSize == b.cbSize && a.dwMask == b.dwMask && a.dwEffects == b.dwEffects
            && a.yHeight == b.yHeight && a.yOffset == b.yOffset && a.crTextColor == b.crTextColor
            && a.bCharSet == b.bCharSet && a.bPitchAndFamily == b.bPitchAndFamily
            && std::strncmp(a.szFaceName, b.szFaceName, LF_FACESIZE) == 0;
    }
};

enum : DWORD {
    CFM_BOLD = 0x00000001, CFM_ITALIC = 0x00000002, CFM_UNDERLINE = 0x00000004, CFM_STRIKEOUT = 0x00000008,
    CFM_PROTECTED = 0x00000010, CFM_SIZE = 0x80000000, CFM_COLOR = 0x40000000, CFM_FACE = 0x20000000,
    CFM_OFFSET = 0x10000000, CFM_CHARSET = 0x08000000,
    CFE_BOLD = 0x0001, CFE_ITALIC = 0x0002, CFE_UNDERLINE = 0x0004, CFE_STRIKEOUT = 0x0008,
    CFE_PROTECTED = 0x0010, CFE_AUTOCOLOR = 0x40000000,
};

constexpr int MAX_TAB_STOPS = 32;

// Paragraph format of rich text; cbSize of the stored record is always 156.
struct PARAFORMAT {
    UINT cbSize = 156;
    DWORD dwMask = 0;
    WORD wNumbering = 0;
    WORD wReserved = 0;
    LONG dxStartIndent = 0;
    LONG dxRightIndent = 0;
    LONG dxOffset = 0;
    WORD wAlignment = 0;
    short cTabCount = 0;
    LONG rgxTabs[MAX_TAB_STOPS] = {};
    friend bool operator==(const PARAFORMAT& a, const PARAFORMAT& b)
    {
        if (a.cbSize != b.cbSize || a.dwMask != b.dwMask || a.wNumbering != b.wNumbering
            || a.wReserved != b.wReserved || a.dxStartIndent != b.dxStartIndent
            || a.dxRightIndent != b.dxRightIndent || a.dxOffset != b.dxOffset
            || a.wAlignment != b.wAlignment || a.cTabCount != b.cTabCount)
            return false;
        for (int i = 0; i < a.cTabCount && i < MAX_TAB_STOPS; ++i)
            if (a.rgxTabs[i] != b.rgxTabs[i])
                return false;
        return true;
    }
};

enum : DWORD {
    PFM_STARTINDENT = 0x00000001, PFM_RIGHTINDENT = 0x00000002, PFM_OFFSET = 0x00000004,
    PFM_ALIGNMENT = 0x00000008, PFM_TABSTOPS = 0x00000010, PFM_NUMBERING = 0x00000020,
    PFM_OFFSETINDENT = 0x80000000,
};
enum : WORD { PFA_LEFT = 1, PFA_RIGHT = 2, PFA_CENTER = 3, PFN_BULLET = 1 };

// Brush record as drawing objects and datasets keep it (three 32-bit fields).
struct LOGBRUSH {
    UINT lbStyle = 0;
    COLORREF lbColor = 0;
    LONG lbHatch = 0;
    friend bool operator==(const LOGBRUSH&, const LOGBRUSH&) = default;
};

// Class and format identifiers of compound files and property sets, in their
// stored field order (the first three fields little-endian).
struct GUID {
    DWORD Data1 = 0;
    WORD Data2 = 0;
    WORD Data3 = 0;
    BYTE Data4[8] = {};
    friend bool operator==(const GUID&, const GUID&) = default;
};
using CLSID = GUID;
using FMTID = GUID;

// A point in time as 100-nanosecond ticks since 1 January 1601 (UTC), or a
// duration in the same ticks.
struct FILETIME {
    DWORD dwLowDateTime = 0;
    DWORD dwHighDateTime = 0;
    friend bool operator==(const FILETIME&, const FILETIME&) = default;
};
