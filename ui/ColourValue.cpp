#include "ui/ColourValue.h"

#include "platform/StringIds.h"
#include "platform/StringTable.h"

namespace {

constexpr COLORREF kStandardColours[kStandardColourCount] = {
    0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0x808080, 0xC0C0C0, 0x0000FF,
    0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF, 0xF2F2F2, 0xE5E5E5, 0xD8D8D8, 0xCCCCCC,
    0xBFBFBF, 0xB2B2B2, 0xA5A5A5, 0x999999, 0x8C8C8C, 0x7F7F7F, 0x666666, 0x4C4C4C, 0x333333, 0x191919,
};

}  // namespace

COLORREF StandardColour(int index)
{
    return index >= 0 && index < kStandardColourCount ? kStandardColours[index] : ColourValue::kNone;
}

std::string StandardColourName(int index)
{
    return index >= 0 && index < kStandardColourCount ? LoadString(IDS_COLOUR_BLACK + UINT(index)) : std::string();
}

int FindStandardColour(COLORREF colour)
{
    for (int i = 0; i < kStandardColourCount; ++i)
        if (kStandardColours[i] == colour)
            return i;
    return -1;
}
