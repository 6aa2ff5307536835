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
    {208, "You cannot include the current column in your list of selections. "},
    {209, "Cannot resolve circular references."},
    {210, "Calculate Mean"},
    {211, "Number of Data Points"},
    {212, "Standard Deviation"},
    {213, "Standard Error of the Mean"},
    {307, "Calculate A + B"},
    {308, "Calculate A - B"},
    {309, "Calculate A / B"},
    {310, "Calculate A . B"},
    {311, "ERROR - Divide by 0"},
    {496, "No source data column has been selected."},
    {497, "The window size must be an odd number of data points."},
    {498, "(Too few points)"},
    {499, "No index column has been selected for the sort."},
    {500, "No columns selected."},
    {501, "Error (NAN)"},
    {502, "(-INF)"},
    {503, "(+INF)"},
    {550, "Edit"},
    {551, "Column Type"},
    {552, "Resize Column"},
    {553, "Size Column to Fit"},
    {554, "Column Width"},
    {555, "Resize Row"},
    {556, "Row Height"},
    {557, "Column Format"},
    {558, "Delete Cells"},
    {559, "Clear"},
    {560, "Cut"},
    {561, "Insert Columns"},
    {562, "Delete Columns"},
    {563, "Delete Rows"},
    {564, "Insert Rows"},
    {565, "Insert Cells"},
    {566, "Paste"},
    {567, "Paste From"},
    {568, "Preferences"},
    {569, "Sort Columns"},
    {570, "Go To"},
    {571, "%d column(s) selected"},
    {572, "(Column %d)"},
    {576, " "},
    {577, "x Data"},
    {578, "y Data"},
    {579, "x(%1) Data"},
    {580, "Mean"},
    {581, "Std. Deviation"},
    {582, "Calculated"},
    {583, "x = ?"},
    {584, "y = ?"},
    {585, "Difference"},
    {586, "Series"},
    {587, "Derivative"},
    {588, "A - B"},
    {589, "A + B"},
    {590, "A / B"},
    {591, "A . B"},
    {592, "No. Points"},
    {593, "S.E. Mean"},
    {594, "x2: [%2]"},
    {595, "Smooth"},
    {596, "Results"},
    {597, "Fit Info"},
    {598, "Summary"},
    {599, "Subset"},
    {600, "F Test"},
    {601, "Parameters"},
    {602, "Constants"},
    {1194, "Lock Column"},
    {8479, "ERROR - bad equation"},
    {8490, "A computed column is limited to %1 rows; the rows beyond were not filled."},
    {25016, "This file was created by a later version of %1, or the file is corrupt."},
    {25170, "&Undo %1\tCtrl+Z"},
    {25171, "&Redo %1\tCtrl+Y"},
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
