// A data filter for the tests: "SCD" files are a first line "SCD", then one
// line per table row from row 1 (the names) on, cells separated by ';'. It
// reads and writes through the program's call-backs only.
#include "data/FilterApi.h"

#include <cstdlib>
#include <cstring>
#include <string>

namespace {
std::string g_exported;
}

extern "C" unsigned MX4FilterCaps() { return MX_FILTER_CAN_IMPORT | MX_FILTER_CAN_EXPORT; }

extern "C" unsigned MX4FilterRegisterClipFormat() { return RegisterClipboardFormat("scd"); }

extern "C" MXFilterTextBlock MX4FilterGetDefaultName()
{
    MXFilterTextBlock block{};
    std::strcpy(block.text, "Semicolon Data|*.scd|");
    return block;
}

extern "C" int MX4FilterTestValid(const char* data, unsigned length)
{
    return length >= 4 && std::memcmp(data, "SCD\n", 4) == 0;
}

extern "C" int MX4FilterForeignToMX(const char* data, unsigned length)
{
    if (!MX4FilterTestValid(data, length))
        return -1;
    int row = 1, column = 0;
    std::string field;
    for (unsigned i = 4; i <= length; ++i) {
        const char c = i < length ? data[i] : '\n';
        if (c == ';' || c == '\n') {
            std::strncpy(filterBuffer, field.c_str(), MX_FILTER_BUFFER_SIZE - 1);
            filterBuffer[MX_FILTER_BUFFER_SIZE - 1] = '\0';
            if (!field.empty())
                FilterSetDataFromString(row, column);
            field.clear();
            if (c == ';') {
                ++column;
            } else {
                ++row;
                column = 0;
            }
        } else {
            field += c;
        }
    }
    FilterSetColumnType(0, 1, 0, 0, 0, 0); // the first column holds the x values
    return row - 1;
}

namespace {
void Build(int rowSpan, int columnSpan, int firstRow, int firstColumn)
{
    g_exported = "SCD\n";
    for (int r = firstRow; r <= firstRow + rowSpan; ++r) {
        for (int c = firstColumn; c <= firstColumn + columnSpan; ++c) {
            if (c > firstColumn)
                g_exported += ';';
            if (FilterGetDataRawString(r, c))
                g_exported += filterBuffer;
        }
        g_exported += '\n';
    }
}
} // namespace

extern "C" unsigned MX4FilterMXToForeignSize(int rowSpan, int columnSpan, int firstRow, int firstColumn)
{
    Build(rowSpan, columnSpan, firstRow, firstColumn);
    return unsigned(g_exported.size());
}

extern "C" unsigned MX4FilterMXToForeign(char* buffer, unsigned size, int rowSpan, int columnSpan, int firstRow,
                                         int firstColumn)
{
    Build(rowSpan, columnSpan, firstRow, firstColumn);
    const unsigned n = unsigned(g_exported.size()) < size ? unsigned(g_exported.size()) : size;
    std::memcpy(buffer, g_exported.data(), n);
    // Claims more than it wrote when the environment asks, as a faulty filter might.
    return std::getenv("SCD_OVERCLAIM") ? n + 1000 : n;
}
