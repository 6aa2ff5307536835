#include "graph/GraphFont.h"

#include <algorithm>

int GraphFontHeight(const CHARFORMAT& cf)
{
    const int height = cf.yHeight > 0 ? int(cf.yHeight / 2) : 120;
    return std::clamp(height, 10, 5000);
}

QFont GraphFont(const CHARFORMAT& cf, int height)
{
    QFont font;
    if (cf.szFaceName[0])
        font.setFamily(QString::fromLocal8Bit(cf.szFaceName));
    font.setPixelSize(height);
    font.setBold((cf.dwMask & CFM_BOLD) && (cf.dwEffects & CFE_BOLD));
    font.setItalic((cf.dwMask & CFM_ITALIC) && (cf.dwEffects & CFE_ITALIC));
    font.setUnderline((cf.dwMask & CFM_UNDERLINE) && (cf.dwEffects & CFE_UNDERLINE));
    font.setStrikeOut((cf.dwMask & CFM_STRIKEOUT) && (cf.dwEffects & CFE_STRIKEOUT));
    return font;
}
