#include "draw/FormatMerge.h"

#include <algorithm>
#include <cstring>

namespace {
bool SameTabs(const PARAFORMAT& a, const PARAFORMAT& b)
{
    if (a.cTabCount != b.cTabCount)
        return false;
    const int n = std::clamp<int>(a.cTabCount, 0, MAX_TAB_STOPS);
    return std::equal(a.rgxTabs, a.rgxTabs + n, b.rgxTabs);
}
} // namespace

void IntersectCharFormat(CHARFORMAT& t, const CHARFORMAT& o)
{
    DWORD clear = 0;
    for (DWORD bit : {CFM_BOLD, CFM_ITALIC, CFM_UNDERLINE, CFM_STRIKEOUT, CFM_PROTECTED})
        if ((t.dwEffects & bit) != (o.dwEffects & bit) || !(o.dwMask & bit))
            clear |= bit;
    if (std::strncmp(t.szFaceName, o.szFaceName, LF_FACESIZE) != 0 || t.bCharSet != o.bCharSet
        || !(o.dwMask & CFM_FACE))
        clear |= CFM_FACE | CFM_CHARSET;
    if (t.yHeight != o.yHeight || !(o.dwMask & CFM_SIZE))
        clear |= CFM_SIZE;
    if (t.yOffset != o.yOffset || !(o.dwMask & CFM_OFFSET))
        clear |= CFM_OFFSET;
    if (t.crTextColor != o.crTextColor || (t.dwEffects & CFE_AUTOCOLOR) != (o.dwEffects & CFE_AUTOCOLOR)
        || !(o.dwMask & CFM_COLOR))
        clear |= CFM_COLOR;
    t.dwMask &= ~clear;
}

void MergeCharFormat(CHARFORMAT& t, const CHARFORMAT& o)
{
    for (DWORD bit : {CFM_BOLD, CFM_ITALIC, CFM_UNDERLINE, CFM_STRIKEOUT, CFM_PROTECTED})
        if (o.dwMask & bit)
            t.dwEffects = (t.dwEffects & ~bit) | (o.dwEffects & bit);
    if (o.dwMask & CFM_FACE) {
        std::memcpy(t.szFaceName, o.szFaceName, sizeof t.szFaceName);
        t.bPitchAndFamily = o.bPitchAndFamily;
    }
    if (o.dwMask & CFM_CHARSET)
        t.bCharSet = o.bCharSet;
    if (o.dwMask & CFM_SIZE)
        t.yHeight = o.yHeight;
    if (o.dwMask & CFM_OFFSET)
        t.yOffset = o.yOffset;
    if (o.dwMask & CFM_COLOR) {
        t.crTextColor = o.crTextColor;
        t.dwEffects = (t.dwEffects & ~DWORD(CFE_AUTOCOLOR)) | (o.dwEffects & CFE_AUTOCOLOR);
    }
    t.dwMask |= o.dwMask;
}

void IntersectParaFormat(PARAFORMAT& t, const PARAFORMAT& o)
{
    DWORD clear = 0;
    if (t.dxStartIndent != o.dxStartIndent || !(o.dwMask & PFM_STARTINDENT))
        clear |= PFM_STARTINDENT;
    if (t.dxRightIndent != o.dxRightIndent || !(o.dwMask & PFM_RIGHTINDENT))
        clear |= PFM_RIGHTINDENT;
    if (t.dxOffset != o.dxOffset || !(o.dwMask & PFM_OFFSET))
        clear |= PFM_OFFSET;
    if (t.wAlignment != o.wAlignment || !(o.dwMask & PFM_ALIGNMENT))
        clear |= PFM_ALIGNMENT;
    if (!SameTabs(t, o) || !(o.dwMask & PFM_TABSTOPS))
        clear |= PFM_TABSTOPS;
    if (t.wNumbering != o.wNumbering || !(o.dwMask & PFM_NUMBERING))
        clear |= PFM_NUMBERING;
    if (t.dxStartIndent != o.dxStartIndent || !(o.dwMask & PFM_OFFSETINDENT))
        clear |= PFM_OFFSETINDENT;
    t.dwMask &= ~clear;
}

void MergeParaFormat(PARAFORMAT& t, const PARAFORMAT& o)
{
    if (o.dwMask & (PFM_STARTINDENT | PFM_OFFSETINDENT))
        t.dxStartIndent = o.dxStartIndent;
    if (o.dwMask & PFM_RIGHTINDENT)
        t.dxRightIndent = o.dxRightIndent;
    if (o.dwMask & PFM_OFFSET)
        t.dxOffset = o.dxOffset;
    if (o.dwMask & PFM_ALIGNMENT)
        t.wAlignment = o.wAlignment;
    if (o.dwMask & PFM_TABSTOPS) {
        t.cTabCount = std::clamp<short>(o.cTabCount, 0, MAX_TAB_STOPS);
        std::copy(o.rgxTabs, o.rgxTabs + MAX_TAB_STOPS, t.rgxTabs);
    }
    if (o.dwMask & PFM_NUMBERING)
        t.wNumbering = o.wNumbering;
    t.dwMask |= o.dwMask;
}
