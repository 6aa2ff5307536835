#include "app/FileGeneralInfo.h"

#include "framework/SummaryInfo.h"
#include "framework/TemplateFolder.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"

#include <QMimeDatabase>
#include <QString>

#include <fcntl.h>
#include <pwd.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// 100-nanosecond ticks from 1601-01-01 to 1970-01-01.
constexpr std::int64_t kEpochTicks = 116444736000000000LL;

std::string Format(const FILETIME& time) { return CSummaryInfo::FormatFileTime(&time); }

}  // namespace

FILETIME CFileGeneralInfo::ToFileTime(std::int64_t seconds, long nanoseconds)
{
    const std::uint64_t ticks = std::uint64_t(kEpochTicks + seconds * 10000000LL + nanoseconds / 100);
    FILETIME ft;
    ft.dwLowDateTime = DWORD(ticks & 0xFFFFFFFFu);
    ft.dwHighDateTime = DWORD(ticks >> 32);
    return ft;
}

std::string CFileGeneralInfo::FormatSize(std::uint64_t size)
{
    const std::string grouped = GroupThousands(size);
    if (size < 1024)
        return ReplaceConversions(LoadString(IDS_SIZE_BYTES_DETAIL), {std::to_string(size), grouped});
    if (size < 1000000)
        return ReplaceConversions(LoadString(IDS_SIZE_KB_DETAIL), {FixedTwo(double(size) / 1024.0), grouped});
    if (size < 1000000000)
        return ReplaceConversions(LoadString(IDS_SIZE_MB_DETAIL), {FixedTwo(double(size) / 1048576.0), grouped});
    return ReplaceConversions(LoadString(IDS_SIZE_GB_DETAIL), {FixedTwo(double(size) / 1073741824.0), grouped});
}

std::string CFileGeneralInfo::FormatPermissions(unsigned mode)
{
    std::string text = "---------";
    const char letters[3] = {'r', 'w', 'x'};
    for (int i = 0; i < 9; ++i)
        if (mode & (0400u >> i))
            text[std::size_t(i)] = letters[i % 3];
    return text;
}

bool CFileGeneralInfo::Read(const std::string& path)
{
    const std::filesystem::path p = std::filesystem::absolute(path);
    fileName = p.filename().string();
    typeName = QMimeDatabase().mimeTypeForFile(QString::fromStdString(p.string())).comment().toStdString();
    folderPath = p.parent_path().string();
    location = p.parent_path().filename().string();
    if (location.empty())
        location = folderPath;  // the root folder
    hidden = !fileName.empty() && fileName[0] == '.';

    struct statx st {};
    if (::statx(AT_FDCWD, p.c_str(), 0, STATX_BASIC_STATS | STATX_BTIME, &st) != 0)
        return false;
    // The owner's write permission stands for the attribute: it belongs to the
    // file, whoever looks at it.
    readOnly = (st.stx_mode & S_IWUSR) == 0;
    permissions = FormatPermissions(st.stx_mode);
    owner = std::to_string(st.stx_uid);
    {
        struct passwd entry {};
        struct passwd* found = nullptr;
        char buffer[1024];
        if (::getpwuid_r(st.stx_uid, &entry, buffer, sizeof buffer, &found) == 0 && found && found->pw_name)
            owner = found->pw_name;
    }
    // Like the system's own dialog, the times and size come from a file that
    // can be opened for reading.
    const int fd = ::open(p.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return true;
    ::close(fd);
    size = FormatSize(st.stx_size);
    if (st.stx_mask & STATX_BTIME)
        created = Format(ToFileTime(st.stx_btime.tv_sec, long(st.stx_btime.tv_nsec)));
    modified = Format(ToFileTime(st.stx_mtime.tv_sec, long(st.stx_mtime.tv_nsec)));
    accessed = Format(ToFileTime(st.stx_atime.tv_sec, long(st.stx_atime.tv_nsec)));
    return true;
}
