#include "framework/HeaderField.h"

#include "framework/ProjectDocBase.h"
#include "framework/ProjectItemBase.h"
#include "platform/Clock.h"

#include <cctype>
#include <cstdio>

namespace {

std::string DefaultTime(const SYSTEMTIME& t)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02u:%02u", unsigned(t.wHour % 100), unsigned(t.wMinute % 100));
    return buf;
}

std::string DefaultDate(const SYSTEMTIME& t)
{
    static const char* const kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                                          "July",    "August",   "September", "October", "November", "December"};
    if (t.wMonth < 1 || t.wMonth > 12)
        return {};
    return std::to_string(t.wDay) + " " + kMonths[t.wMonth - 1] + " " + std::to_string(t.wYear);
}

HeaderTimeFormatter g_timeFormatter = &DefaultTime;
HeaderTimeFormatter g_dateFormatter = &DefaultDate;

} // namespace

void SetHeaderTimeFormatters(HeaderTimeFormatter time, HeaderTimeFormatter longDate)
{
    g_timeFormatter = time ? time : &DefaultTime;
    g_dateFormatter = longDate ? longDate : &DefaultDate;
}

std::string FormatHeaderTime(const SYSTEMTIME& time) { return g_timeFormatter(time); }
std::string FormatHeaderDate(const SYSTEMTIME& time) { return g_dateFormatter(time); }

ExpandedHeaderLine ExpandHeaderText(std::string_view text, const HeaderFieldValues& values)
{
    ExpandedHeaderLine line;
    std::string& out = line.text;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c != '&') {
            out += c;
            continue;
        }
        if (i + 1 == text.size())
            break; // a trailing ampersand prints nothing
        char code = text[++i];
        switch (std::toupper(static_cast<unsigned char>(code))) {
        case 'F': out += values.fileName; break;
        case 'O': out += values.fileLocation; break;
        case 'I': out += values.itemName; break;
        case 'Y': out += values.itemType; break;
        case 'P': out += std::to_string(values.page); break;
        case 'N': out += std::to_string(values.pageCount); break;
        case 'T': out += values.time; break;
        case 'D': out += values.date; break;
        case 'L': line.align = EHeaderAlign::left; break;
        case 'C': line.align = EHeaderAlign::center; break;
        case 'R': line.align = EHeaderAlign::right; break;
        case '&': out += '&'; break;
        default:
            out += '&';
            out += code;
            break;
        }
    }
    return line;
}

HeaderFieldValues GetHeaderFieldValues(const CProjectItemBase& item, int page, int pageCount)
{
    HeaderFieldValues v;
    if (const CProjectDocBase* doc = item.GetDocument()) {
        v.fileName = doc->GetTitle();
        v.fileLocation = doc->GetPathName();
    }
    v.itemName = item.GetName();
    item.GetTypeName(v.itemType);
    v.page = page;
    v.pageCount = pageCount;
    SYSTEMTIME now = GetLocalSystemTime();
    v.time = FormatHeaderTime(now);
    v.date = FormatHeaderDate(now);
    return v;
}

int HeaderAnchorX(EHeaderAlign align, int left, int right)
{
    switch (align) {
    case EHeaderAlign::left: return left;
    case EHeaderAlign::right: return right;
    case EHeaderAlign::center: break;
    }
    return (right - left) / 2 + left;
}
