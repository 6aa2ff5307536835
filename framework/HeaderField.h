// Header and footer lines of printed items: the field codes that a user types
// into the page setup ("&F [&I]", "Page &P of &N"), and their expansion into
// the line that is printed with its alignment.
#pragma once

#include "platform/Types.h"

#include <string>
#include <string_view>

class CProjectItemBase;

enum class EHeaderAlign { left, center, right };

// What the codes stand for on one page.
struct HeaderFieldValues {
    std::string fileName;     // &F the workspace's title
    std::string fileLocation; // &O the workspace's full path
    std::string itemName;     // &I
    std::string itemType;     // &Y the item kind's type name
    int page = 1;             // &P
    int pageCount = 1;        // &N
    std::string time;         // &T local time without seconds
    std::string date;         // &D local long date
};

struct ExpandedHeaderLine {
    std::string text;
    EHeaderAlign align = EHeaderAlign::center;
};

// Expands the codes (letters in either case). "&&" gives one "&"; "&L", "&C"
// and "&R" set the alignment wherever they stand (the last wins) and print
// nothing; an ampersand before any other character stays with it; an
// ampersand at the very end is dropped.
ExpandedHeaderLine ExpandHeaderText(std::string_view text, const HeaderFieldValues& values);

// The values for an item's page, with the time of the program's clock.
HeaderFieldValues GetHeaderFieldValues(const CProjectItemBase& item, int page, int pageCount);

// The x of the line's reference point between left and right.
int HeaderAnchorX(EHeaderAlign align, int left, int right);

// How &T and &D are written; the program installs formatters that follow the
// user's locale, the defaults are "14:05" and "10 December 2026".
using HeaderTimeFormatter = std::string (*)(const SYSTEMTIME& time);
void SetHeaderTimeFormatters(HeaderTimeFormatter time, HeaderTimeFormatter longDate);
std::string FormatHeaderTime(const SYSTEMTIME& time);
std::string FormatHeaderDate(const SYSTEMTIME& time);

// The field button's menu: entry texts and the codes they insert, in menu
// order (a separator stands between "Current Date" and "Left Align").
struct HeaderFieldMenuEntry {
    UINT commandId;
    const char* text;
    const char* code;
};
inline constexpr HeaderFieldMenuEntry kHeaderFieldMenu[] = {
    {43004, "File Name", "&F"},       {43005, "File Location", "&O"},  {43006, "Item Name", "&I"},
    {43007, "Item Type", "&Y"},       {43008, "Page Number", "&P"},    {43009, "Number of Pages", "&N"},
    {43010, "Current Time", "&T"},    {43011, "Current Date", "&D"},   {43012, "Left Align", "&L"},
    {43013, "Center", "&C"},          {43014, "Right Align", "&R"},
};
