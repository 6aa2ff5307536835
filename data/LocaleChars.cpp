#include "data/LocaleChars.h"

#include "framework/Profile.h"

#include <algorithm>

namespace {

struct LocaleChars {
    std::string decimal = ".";
    std::string list = ",";
    std::string group = ",";
    int digitsInGroup = 3;
    std::string negative = "-";
};

LocaleChars& Current()
{
    static LocaleChars chars;
    return chars;
}

void SetChar(std::string& target, std::string_view text)
{
    std::string c = FirstCharacter(text);
    if (!c.empty())
        target = c;
}

void ReplaceAll(std::string& text, std::string_view from, std::string_view to)
{
    if (from.empty() || from == to)
        return;
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    for (;;) {
        std::size_t hit = text.find(from, pos);
        if (hit == std::string::npos)
            break;
        out.append(text, pos, hit - pos);
        out += to;
        pos = hit + from.size();
    }
    out.append(text, pos, std::string::npos);
    text = std::move(out);
}

} // namespace

const std::string& GetDecimalChar() { return Current().decimal; }
const std::string& GetListSeparator() { return Current().list; }
const std::string& GetDigitGroupSeparator() { return Current().group; }
int GetDigitsInGroup() { return Current().digitsInGroup; }
const std::string& GetNegativeSymbol() { return Current().negative; }

void SetDecimalChar(std::string_view text) { SetChar(Current().decimal, text); }
void SetListSeparator(std::string_view text) { SetChar(Current().list, text); }
void SetDigitGroupSeparator(std::string_view text) { SetChar(Current().group, text); }
// Groups of more than nine digits exist in no locale; a stored number may be anything.
void SetDigitsInGroup(int digits) { Current().digitsInGroup = std::clamp(digits, 0, 9); }
void SetNegativeSymbol(std::string_view text) { SetChar(Current().negative, text); }
void ResetLocaleChars() { Current() = LocaleChars(); }

std::string FirstCharacter(std::string_view text)
{
    if (text.empty())
        return {};
    auto lead = static_cast<unsigned char>(text[0]);
    std::size_t len = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 1;
    if (len > text.size())
        len = 1;
    return std::string(text.substr(0, len));
}

void ReplaceDecimalChar(std::string& text, std::string_view decimalChar)
{
    std::string_view dc = decimalChar.empty() ? std::string_view(GetDecimalChar()) : decimalChar;
    if (dc != ".")
        ReplaceAll(text, dc, ".");
}

void RestoreDecimalChar(std::string& text, std::string_view decimalChar)
{
    std::string_view dc = decimalChar.empty() ? std::string_view(GetDecimalChar()) : decimalChar;
    if (dc != ".")
        ReplaceAll(text, ".", dc);
}

namespace {
constexpr std::string_view kSection = "Preferences";

void LoadChar(const char* key, std::string& target)
{
    SetChar(target, GetProfileString(kSection, key, target));
}

void SaveChar(const char* key, const std::string& value) { WriteProfileString(kSection, key, value.c_str()); }
} // namespace

void LoadDecimalChar() { LoadChar("Decimal", Current().decimal); }
void LoadListSeparator() { LoadChar("ListSeparator", Current().list); }
void LoadDigitGroupSeparator() { LoadChar("DigitGroupSeparator", Current().group); }
void LoadDigitsInGroup() { SetDigitsInGroup(GetProfileInt(kSection, "DigitsInGroup", Current().digitsInGroup)); }
void LoadNegativeSymbol() { LoadChar("NegativeSymbol", Current().negative); }
void SaveDecimalChar() { SaveChar("Decimal", Current().decimal); }
void SaveListSeparator() { SaveChar("ListSeparator", Current().list); }
void SaveDigitGroupSeparator() { SaveChar("DigitGroupSeparator", Current().group); }
void SaveDigitsInGroup() { WriteProfileInt(kSection, "DigitsInGroup", Current().digitsInGroup); }
void SaveNegativeSymbol() { SaveChar("NegativeSymbol", Current().negative); }
