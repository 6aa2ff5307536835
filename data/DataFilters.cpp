#include "data/DataFilters.h"

#include "data/FilterApi.h"
#include "data/FilterCallbacks.h"
#include "data/MyData.h"
#include "framework/ArchiveHelpers.h"
#include "platform/Clipboard.h"
#include "platform/Exceptions.h"
#include "platform/File.h"
#include "data/FileErrorMessage.h"
#include "platform/Reporter.h"
#include "platform/StringIds.h"

#include <dlfcn.h>

#include <algorithm>
#include <cstring>

namespace {

constexpr const char* kTextFiles = "Text Files";

// One use of a filter library: loaded on construction, freed on destruction.
class FilterLibrary {
public:
    explicit FilterLibrary(const std::string& path) : m_handle(::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) {}
    ~FilterLibrary()
    {
        if (m_handle)
            ::dlclose(m_handle);
    }
    FilterLibrary(const FilterLibrary&) = delete;
    FilterLibrary& operator=(const FilterLibrary&) = delete;
    bool Loaded() const { return m_handle != nullptr; }
    template <class Fn>
    Fn Get(const char* name) const
    {
        return m_handle ? reinterpret_cast<Fn>(::dlsym(m_handle, name)) : nullptr;
    }

private:
    void* m_handle;
};

// The current table of the call-backs for one conversion.
struct TableScope {
    explicit TableScope(CMyData* table) { SetFilterTable(table); }
    ~TableScope() { SetFilterTable(nullptr); }
};

std::string Lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}

std::string ExtensionOf(const std::string& path)
{
    std::size_t slash = path.find_last_of('/');
    std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    return path.substr(dot + 1);
}

// A failure of the file itself is told by its cause (reported is then set).
bool ReadWholeFile(const std::string& path, std::vector<char>& bytes, bool& reported)
{
    reported = false;
    try {
        CDiskFile file(path, CDiskFile::modeRead);
        const std::uint64_t length = file.GetLength();
        // Filters take the length as an unsigned 32-bit count.
        if (length > 0xFFFFFFF0u)
            return false;
        bytes.resize(std::size_t(length));
        if (length)
            file.Read(bytes.data(), std::size_t(length));
        return true;
    } catch (const CFileException& e) {
        ReportFileException(e, path, true);
        reported = e.m_cause != CFileException::none;
        return false;
    }
}

bool WriteWholeFile(const std::string& path, const char* data, std::size_t size, bool& reported)
{
    reported = false;
    try {
        CDiskFile file(path, CDiskFile::modeCreate | CDiskFile::modeWrite);
        file.Write(data, size);
        return true;
    } catch (const CFileException& e) {
        ReportFileException(e, path, false);
        reported = e.m_cause != CFileException::none;
        return false;
    }
}

// Runs a filter's import over the bytes into a new table; null on -1 or without the entry point.
std::unique_ptr<CMyData> RunImport(const FilterLibrary& library, const std::vector<char>& data, int& result)
{
    SetFilterTable(nullptr);
    auto toMX = library.Get<MX4FilterForeignToMXFn>("MX4FilterForeignToMX");
    if (!toMX)
        return nullptr;
    auto table = std::make_unique<CMyData>();
    TableScope scope(table.get());
    result = toMX(data.data(), unsigned(data.size()));
    if (result == -1)
        return nullptr;
    return table;
}

bool Accepts(const FilterLibrary& library, const std::vector<char>& data)
{
    auto test = library.Get<MX4FilterTestValidFn>("MX4FilterTestValid");
    return test && test(data.data(), unsigned(data.size())) != 0;
}

// The filter's export of range into bytes; false when an entry point is missing.
bool RunExport(const FilterLibrary& library, const CMyData& table, const RECT& range, std::vector<char>& out)
{
    auto sizeFn = library.Get<MX4FilterMXToForeignSizeFn>("MX4FilterMXToForeignSize");
    auto exportFn = library.Get<MX4FilterMXToForeignFn>("MX4FilterMXToForeign");
    if (!sizeFn || !exportFn)
        return false;
    TableScope scope(const_cast<CMyData*>(&table));
    const int rowSpan = range.bottom - range.top, columnSpan = range.right - range.left;
    const unsigned size = sizeFn(rowSpan, columnSpan, range.top, range.left);
    out.assign(size, '\0');
    unsigned written = exportFn(out.data(), size, rowSpan, columnSpan, range.top, range.left);
    // A filter cannot claim more than the buffer it was given.
    out.resize(std::min(written, size));
    return true;
}

} // namespace

CDataFilters& CDataFilters::Current()
{
    static CDataFilters filters;
    return filters;
}

bool CDataFilters::IsPlainText(const char* data, std::size_t length)
{
    for (std::size_t i = 0; i < length; ++i) {
        const unsigned char c = static_cast<unsigned char>(data[i]);
        if (c < 32 && c != 9 && c != 10 && c != 13 && c != 26)
            return false;
    }
    return true;
}

void CDataFilters::Query(const std::vector<std::string>& paths)
{
    m_filters.clear();
    std::string importNames, exportNames, importPatterns, exportPatterns;
    for (const std::string& path : paths) {
        FilterLibrary library(path);
        auto nameFn = library.Get<MX4FilterGetDefaultNameFn>("MX4FilterGetDefaultName");
        auto formatFn = library.Get<MX4FilterRegisterClipFormatFn>("MX4FilterRegisterClipFormat");
        auto capsFn = library.Get<MX4FilterCapsFn>("MX4FilterCaps");
        if (!nameFn || !formatFn || !capsFn)
            continue;
        CFilterInfo info;
        info.path = path;
        info.format = formatFn();
        info.caps = capsFn();
        MXFilterTextBlock block = nameFn();
        const std::string text(block.text, strnlen(block.text, sizeof block.text));
        const std::size_t bar = text.find('|');
        if (bar == std::string::npos)
            continue;
        const std::size_t end = text.find('|', bar + 1);
        const std::string pattern = text.substr(bar + 1, end == std::string::npos ? std::string::npos : end - bar - 1);
        if (pattern.empty())
            continue;
        if (info.caps & MX_FILTER_CAN_IMPORT)
            importNames += text;
        if (info.caps & MX_FILTER_CAN_EXPORT)
            exportNames += text;
        info.description = text.substr(0, bar);
        info.extension = pattern.size() > 2 ? pattern.substr(2) : std::string();
        info.mimeType = FilterClipboardMimeType(info.format);
        if (info.caps & MX_FILTER_CAN_IMPORT)
            importPatterns += ";" + pattern;
        if (info.caps & MX_FILTER_CAN_EXPORT)
            exportPatterns += ";" + pattern;
        m_filters.push_back(std::move(info));
    }
    m_importFilter = "All Importable Data Files|*.txt" + importPatterns + "|Text Files|*.txt|" + importNames +
                     "All Files|*.*||";
    m_exportFilter = "Text Files|*.txt|" + exportNames + "All Exportable Data Files|*.txt" + exportPatterns +
                     "|All Files|*.*||";
}

std::vector<std::string> CDataFilters::GetExportMimeTypes() const
{
    std::vector<std::string> out;
    for (const CFilterInfo& f : m_filters)
        if ((f.caps & MX_FILTER_CAN_EXPORT) && !f.mimeType.empty())
            out.push_back(f.mimeType);
    return out;
}

std::unique_ptr<CMyData> CDataFilters::LoadFilterAndImport(const std::string& path, const std::string& extension,
                                                           int& result, const ConvertChooser& choose) const
{
    result = 0;
    std::vector<char> data;
    bool reported = false;
    if (!ReadWholeFile(path, data, reported)) {
        if (!reported)
            ReportMessage(IDS_NOT_CONVERTED, {path}, MB_OK | MB_ICONEXCLAMATION, IDS_NOT_CONVERTED);
        return nullptr;
    }
    const bool plain = IsPlainText(data.data(), data.size());
    const std::string ext = Lower(extension.empty() ? ExtensionOf(path) : extension);
    auto readText = [&] { return std::make_unique<CMyData>(std::string_view(data.data(), data.size())); };

    // A filter of the extension that recognises the content.
    for (const CFilterInfo& f : m_filters) {
        if (!(f.caps & MX_FILTER_CAN_IMPORT) || Lower(f.extension) != ext)
            continue;
        FilterLibrary library(f.path);
        if (Accepts(library, data))
            return RunImport(library, data, result);
    }
    if (ext == "txt" && plain)
        return readText();

    // Any filter that recognises the content is offered first.
    std::vector<std::string> entries;
    int preselected = -1;
    for (const CFilterInfo& f : m_filters) {
        if (!(f.caps & MX_FILTER_CAN_IMPORT))
            continue;
        if (preselected < 0) {
            FilterLibrary library(f.path);
            if (Accepts(library, data))
                preselected = int(entries.size());
        }
        entries.push_back(f.description);
    }
    entries.push_back(kTextFiles);
    if (preselected < 0 && plain)
        preselected = int(entries.size()) - 1;
    const int chosen = choose ? choose(entries, preselected) : preselected;
    if (chosen < 0 || chosen >= int(entries.size()))
        return nullptr;
    if (chosen == int(entries.size()) - 1) {
        if (plain)
            return readText();
    } else {
        for (const CFilterInfo& f : m_filters) {
            if (!(f.caps & MX_FILTER_CAN_IMPORT) || f.description != entries[std::size_t(chosen)])
                continue;
            FilterLibrary library(f.path);
            if (Accepts(library, data))
                return RunImport(library, data, result);
            break;
        }
    }
    ReportMessage(IDS_NOT_CONVERTED, {path}, MB_OK | MB_ICONEXCLAMATION, IDS_NOT_CONVERTED);
    return nullptr;
}

std::unique_ptr<CMyData> CDataFilters::ImportFromClipboard(int& result) const
{
    result = -1;
    CClipboard& clipboard = GetClipboard();
    for (const CFilterInfo& f : m_filters) {
        if (!(f.caps & MX_FILTER_CAN_IMPORT) || f.mimeType.empty() || !clipboard.HasFormat(f.mimeType))
            continue;
        std::vector<BYTE> bytes = clipboard.GetData(f.mimeType);
        std::vector<char> data(bytes.begin(), bytes.end());
        FilterLibrary library(f.path);
        int answer = -1;
        if (auto table = RunImport(library, data, answer)) {
            result = answer;
            return table;
        }
    }
    return nullptr;
}

bool CDataFilters::ExportToFile(const CMyData& table, const RECT& range, const std::string& path) const
{
    const std::string ext = Lower(ExtensionOf(path));
    for (const CFilterInfo& f : m_filters) {
        if (!(f.caps & MX_FILTER_CAN_EXPORT) || Lower(f.extension) != ext)
            continue;
        FilterLibrary library(f.path);
        if (!library.Loaded())
            break;
        std::vector<char> bytes;
        if (!RunExport(library, table, range, bytes)) {
            ReportMessage(IDS_NOT_A_FILTER, {f.path}, MB_OK | MB_ICONEXCLAMATION, IDS_NOT_A_FILTER);
            return false;
        }
        bool reported = false;
        if (!WriteWholeFile(path, bytes.data(), bytes.size(), reported)) {
            if (!reported)
                ReportMessage(IDS_NOT_EXPORTED, {path}, MB_OK | MB_ICONEXCLAMATION, IDS_NOT_EXPORTED);
            return false;
        }
        return true;
    }
    if (ext == "txt") {
        CMemFile memory;
        std::vector<POINT> leftOut;
        table.WriteRangeAsText(memory, range, &leftOut);
        const std::vector<BYTE>& bytes = memory.Data();
        bool reported = false;
        if (WriteWholeFile(path, reinterpret_cast<const char*>(bytes.data()), bytes.size(), reported)) {
            if (!leftOut.empty()) {
                // The user learns which cells the file does not hold as they are.
                const POINT first = leftOut.front();
                const std::string row = first.y == 0 ? std::string("Type")
                                        : first.y == 1 ? std::string("Name")
                                                       : std::to_string(first.y - kFirstDataRow + 1);
                ReportMessage(IDS_EXPORT_CONTROL_CHARACTERS_LEFT_OUT,
                              {std::to_string(leftOut.size()), std::to_string(first.x + 1), row},
                              MB_OK | MB_ICONINFORMATION);
            }
            return true;
        }
        if (reported)
            return false;
    }
    ReportMessage(IDS_NOT_EXPORTED, {path}, MB_OK | MB_ICONEXCLAMATION, IDS_NOT_EXPORTED);
    return false;
}

bool CDataFilters::RenderFormat(const CMyData& table, const RECT& range, const std::string& mimeType,
                                std::vector<BYTE>& out) const
{
    out.clear();
    for (const CFilterInfo& f : m_filters) {
        if (!(f.caps & MX_FILTER_CAN_EXPORT) || f.mimeType != mimeType)
            continue;
        FilterLibrary library(f.path);
        if (!library.Loaded())
            continue;
        std::vector<char> bytes;
        if (!RunExport(library, table, range, bytes)) {
            MessageBeep(0);
            return false;
        }
        out.assign(bytes.begin(), bytes.end());
        out.push_back(0);
        return true;
    }
    return false;
}
