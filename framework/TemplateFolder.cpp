#include "framework/TemplateFolder.h"

#include "platform/StringIds.h"
#include "platform/StringTable.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

int CompareNoCaseText(const std::string& a, const std::string& b)
{
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        int ca = (a[i] >= 'A' && a[i] <= 'Z') ? a[i] - 'A' + 'a' : (unsigned char)a[i];
        int cb = (b[i] >= 'A' && b[i] <= 'Z') ? b[i] - 'A' + 'a' : (unsigned char)b[i];
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1;
}

template <class T>
int Cmp(T a, T b)
{
    return a < b ? -1 : a > b ? 1 : 0;
}

bool IsHidden(const fs::path& p)
{
    const std::string name = p.filename().string();
    return !name.empty() && name[0] == '.';
}

// Whether a folder holds at least one file that its tab would list.
bool HoldsFiles(const fs::path& folder)
{
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        if (it->is_regular_file(ec) && !IsHidden(it->path()))
            return true;
    return false;
}

void CollectFrom(const std::string& folder, std::vector<std::string>& names)
{
    if (folder.empty())
        return;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (!it->is_directory(ec) || IsHidden(it->path()))
            continue;
        const std::string name = it->path().filename().string();
        if (std::any_of(names.begin(), names.end(), [&](const std::string& n) { return CompareNoCaseText(n, name) == 0; }))
            continue;
        if (HoldsFiles(it->path()))
            names.push_back(name);
    }
}

}  // namespace

std::vector<std::string> CTemplateFolder::CollectTabFolders(const std::string& userFolder, const std::string& groupFolder)
{
    std::vector<std::string> names;
    CollectFrom(userFolder, names);
    if (!groupFolder.empty() && CompareNoCaseText(groupFolder, userFolder) != 0)
        CollectFrom(groupFolder, names);
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return CompareNoCaseText(a, b) < 0; });
    return names;
}

std::string CTemplateFolder::TabFolder(const std::string& baseFolder, const std::string& tabName, bool general)
{
    if (general || baseFolder.empty())
        return baseFolder;
    // Tabs are named without regard to case, as the folders that share one are.
    std::error_code ec;
    const fs::path exact = fs::path(baseFolder) / tabName;
    if (fs::is_directory(exact, ec))
        return exact.string();
    for (fs::directory_iterator it(baseFolder, ec), end; !ec && it != end; it.increment(ec))
        if (it->is_directory(ec) && CompareNoCaseText(it->path().filename().string(), tabName) == 0)
            return it->path().string();
    return exact.string();
}

std::vector<CTemplateFileRecord> CTemplateFolder::ListFiles(const std::string& folder)
{
    std::vector<CTemplateFileRecord> records;
    if (folder.empty())
        return records;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code fe;
        if (!it->is_regular_file(fe) || IsHidden(it->path()))
            continue;
        CTemplateFileRecord r;
        r.path = it->path().string();
        r.displayName = it->path().filename().string();
        r.size = it->file_size(fe);
        if (fe)
            continue;  // gone or unreadable since it was listed
        auto t = it->last_write_time(fe);
        if (!fe) {
            auto sys = std::chrono::file_clock::to_sys(t);
            r.modified = std::chrono::duration_cast<std::chrono::nanoseconds>(sys.time_since_epoch()).count();
        }
        records.push_back(std::move(r));
    }
    return records;
}

int CTemplateFolder::Compare(const CTemplateFileRecord& a, const CTemplateFileRecord& b, unsigned sortCode)
{
    const int name = CompareNoCaseText(a.displayName, b.displayName);
    const int size = Cmp(a.size, b.size);
    const int type = CompareNoCaseText(a.typeName, b.typeName);
    const int modified = Cmp(a.modified, b.modified);
    int order[4];
    switch (sortCode & ~unsigned(SortDescending)) {
    case SortName: order[0] = name, order[1] = size, order[2] = type, order[3] = modified; break;
    case SortSize: order[0] = size, order[1] = name, order[2] = type, order[3] = modified; break;
    case SortType: order[0] = type, order[1] = name, order[2] = size, order[3] = modified; break;
    case SortModified: order[0] = modified, order[1] = name, order[2] = size, order[3] = type; break;
    default: return 0;
    }
    for (int r : order)
        if (r != 0)
            return (sortCode & SortDescending) ? -r : r;
    return 0;
}

void CTemplateFolder::Sort(std::vector<CTemplateFileRecord>& records, unsigned sortCode)
{
    std::stable_sort(records.begin(), records.end(), [sortCode](const CTemplateFileRecord& a, const CTemplateFileRecord& b) {
        return Compare(a, b, sortCode) < 0;
    });
}

std::string FixedTwo(double value)
{
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, 2);
    return std::string(buf, res.ptr);
}

std::string GroupThousands(std::uint64_t value)
{
    std::string digits = std::to_string(value);
    std::string out;
    const std::size_t n = digits.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out += ',';
        out += digits[i];
    }
    return out;
}

std::string ReplaceConversions(std::string_view pattern, const std::vector<std::string>& texts)
{
    std::string out;
    std::size_t next = 0;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '%') {
            out += pattern[i];
            continue;
        }
        if (i + 1 < pattern.size() && pattern[i + 1] == '%') {
            out += '%';
            ++i;
            continue;
        }
        // Flags, width, precision and length, then the conversion letter.
        std::size_t j = i + 1;
        while (j < pattern.size() && std::string_view("-+ #0123456789.lhL").find(pattern[j]) != std::string_view::npos)
            ++j;
        if (j < pattern.size()) {
            out += next < texts.size() ? texts[next] : std::string();
            ++next;
            i = j;
        }
    }
    return out;
}

std::string CTemplateFolder::FormatSize(std::uint64_t size)
{
    if (size < 1024)
        return ReplaceConversions(LoadString(IDS_SIZE_BYTES), {std::to_string(size)});
    if (size < 1000000)
        return ReplaceConversions(LoadString(IDS_SIZE_KB), {FixedTwo(double(size) / 1024.0)});
    if (size < 1000000000)
        return ReplaceConversions(LoadString(IDS_SIZE_MB), {FixedTwo(double(size) / 1048576.0)});
    return ReplaceConversions(LoadString(IDS_SIZE_GB), {FixedTwo(double(size) / 1073741824.0)});
}
