#include "platform/StringTable.h"

#include <algorithm>
#include <iterator>

namespace {

struct StringEntry {
    UINT id;
    const char* text;
};

// Kept in ascending id order: lookups are binary searches, and a test checks the order.
constexpr StringEntry kStrings[] = {
    {25016, "This file was created by a later version of %1, or the file is corrupt."},
    {25170, "&Undo %1\tCtrl+Z"},
    {25171, "&Redo %1\tCtrl+Y"},
    {32002, "Cannot open the Clipboard."},
    {32003, "Cannot clear the Clipboard."},
    {32004, "Cannot close the Clipboard."},
    {32009, "Some String"},
    {32010, "The dimensions of the data on the clipboard are larger than the selected region. Truncate clipboard data?"},
    {32011, "There are too many selected cells to complete this operation."},
    {32012, "&Undo \tCtrl+Z"},
    {32013, "&Redo\tCtrl+Y"},
};

const StringEntry* Find(UINT id)
{
    auto it = std::lower_bound(std::begin(kStrings), std::end(kStrings), id,
                               [](const StringEntry& e, UINT v) { return e.id < v; });
    return it != std::end(kStrings) && it->id == id ? it : nullptr;
}

std::string& AppName()
{
    static std::string name = "Marlox";
    return name;
}

} // namespace

bool StringTableIsSorted()
{
    return std::adjacent_find(std::begin(kStrings), std::end(kStrings),
                              [](const StringEntry& a, const StringEntry& b) { return a.id >= b.id; })
        == std::end(kStrings);
}

std::string LoadString(UINT id)
{
    const StringEntry* e = Find(id);
    return e ? e->text : std::string();
}

bool HasString(UINT id) { return Find(id) != nullptr; }

std::string FormatMessageText(std::string_view pattern, std::initializer_list<std::string_view> args)
{
    std::string out;
    out.reserve(pattern.size());
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        char c = pattern[i];
        if (c == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' && pattern[i + 1] <= '9') {
            std::size_t k = std::size_t(pattern[i + 1] - '1');
            if (k < args.size()) {
                out += *(args.begin() + k);
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

std::string FormatString(UINT id, std::initializer_list<std::string_view> args)
{
    return FormatMessageText(LoadString(id), args);
}

const std::string& GetAppName() { return AppName(); }

void SetAppName(std::string name) { AppName() = std::move(name); }
