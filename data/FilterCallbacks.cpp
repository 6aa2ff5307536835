#include "data/FilterCallbacks.h"

#include "data/Data.h"
#include "data/DataCTypeX2.h"
#include "data/DataColumnType.h"
#include "data/DataString.h"
#include "data/LocaleChars.h"
#include "data/MyData.h"

#include <cstring>
#include <map>
#include <mutex>

extern "C" {
char filterBuffer[MX_FILTER_BUFFER_SIZE] = {};
}

namespace {

// Kept in a variable of its own: a filter that writes past the buffer's end
// must not be able to redirect the call-backs to another address.
CMyData* g_table = nullptr;

// The buffer's text, read no further than the buffer's end.
std::string BufferText()
{
    const void* end = std::memchr(filterBuffer, '\0', MX_FILTER_BUFFER_SIZE);
    std::size_t n = end ? std::size_t(static_cast<const char*>(end) - filterBuffer) : MX_FILTER_BUFFER_SIZE;
    return std::string(filterBuffer, n);
}

void CopyToBuffer(const std::string& text)
{
    const std::size_t n = std::min<std::size_t>(text.size(), MX_FILTER_BUFFER_SIZE - 1);
    std::memcpy(filterBuffer, text.data(), n);
    filterBuffer[n] = '\0';
}

bool ValidCell(int row, int column) { return row >= 0 && column >= 0 && row < (1 << 30) && column < (1 << 30); }

struct FormatRegistry {
    std::map<std::string, unsigned> ids;
    std::map<unsigned, std::string> names;
    unsigned next = 0xC000;
};
FormatRegistry& Formats()
{
    static FormatRegistry registry;
    return registry;
}

} // namespace

void SetFilterTable(CMyData* table) { g_table = table; }
CMyData* GetFilterTable() { return g_table; }

std::string FilterClipboardMimeType(unsigned format)
{
    auto it = Formats().names.find(format);
    return it == Formats().names.end() ? std::string() : "application/x-marlox-filter-" + it->second;
}

extern "C" {

int FilterSetDataNumber(int row, int column, double value)
{
    if (!g_table || !ValidCell(row, column))
        return 0;
    g_table->SetNumber(row, column, value);
    return 1;
}

int FilterSetDataString(int row, int column)
{
    if (!g_table || !ValidCell(row, column))
        return 0;
    g_table->SetCell(row, column, new CDataString(BufferText()));
    return 1;
}

int FilterSetDataFromString(int row, int column)
{
    if (!g_table || !ValidCell(row, column))
        return 0;
    CData* cell = MakeDataFromString(BufferText());
    if (cell)
        g_table->SetCell(row, column, cell);
    else
        g_table->DeleteCell(row, column);
    return 1;
}

int FilterDeleteData(int row, int column)
{
    if (!g_table || !ValidCell(row, column))
        return 0;
    g_table->DeleteCell(row, column);
    return 1;
}

int FilterGetDataType(int row, int column)
{
    if (!g_table || !ValidCell(row, column))
        return 0;
    CDataDouble scratch;
    const CData* cell = g_table->PeekCell(row, column, scratch);
    if (!cell)
        return 0;
    switch (cell->GetKind()) {
    case CData::kNumber: return 1;
    case CData::kText: return 2;
    default: return -1;
    }
}

double FilterGetDataNumber(int row, int column)
{
    if (!g_table || !ValidCell(row, column))
        return 0.0;
    CDataDouble scratch;
    const CData* cell = g_table->PeekCell(row, column, scratch);
    double value = 0.0;
    if (!cell || cell->GetKind() != CData::kNumber || !g_table->GetNumber(row, column, value))
        return 0.0;
    return value;
}

int FilterGetDataRawString(int row, int column)
{
    filterBuffer[0] = '\0';
    if (!g_table || !ValidCell(row, column))
        return 0;
    CDataDouble scratch;
    const CData* cell = g_table->PeekCell(row, column, scratch);
    if (!cell)
        return 0;
    std::string text;
    cell->GetPlainText(text);
    CopyToBuffer(text);
    return 1;
}

int FilterGetDataFormattedString(int row, int column)
{
    filterBuffer[0] = '\0';
    if (!g_table || !ValidCell(row, column))
        return 0;
    CDataDouble scratch;
    const CData* cell = g_table->PeekCell(row, column, scratch);
    if (!cell)
        return 0;
    std::string text;
    cell->GetDisplayText(text, g_table->GetColumnFormat(column));
    CopyToBuffer(text);
    return 1;
}

int FilterSetColumnType(int column, int kind, double value1, double value2, double value3, double value4)
{
    if (!g_table || !ValidCell(0, column) || kind < 0 || kind > 3)
        return 0;
    CDataColumnType* type = CreateColumnType(kind == 3 ? kTypeX2 : kind, column);
    if (!type)
        return 0;
    if (auto* x2 = dynamic_cast<CDataCTypeX2*>(type))
        x2->SetXValues({value1, value2, value3, value4});
    g_table->SetCell(0, column, type);
    return 1;
}

int MX4Information(int index)
{
    auto first = [](const std::string& s, char fallback) {
        return int(static_cast<signed char>(s.empty() ? fallback : s[0]));
    };
    switch (index) {
    case 4: return first(GetDecimalChar(), '.');
    case 5: return first(GetListSeparator(), ',');
    default: return 0;
    }
}

unsigned RegisterClipboardFormat(const char* name)
{
    if (!name || !*name)
        return 0;
    std::string key(name, strnlen(name, MX_FILTER_BUFFER_SIZE));
    FormatRegistry& r = Formats();
    auto it = r.ids.find(key);
    if (it != r.ids.end())
        return it->second;
    unsigned id = r.next++;
    r.ids.emplace(key, id);
    r.names.emplace(id, key);
    return id;
}

} // extern "C"
