#include "platform/PendingFile.h"

#include "platform/Exceptions.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <dirent.h>
#include <signal.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Small appends gather here so that an archive's 4 KiB writes do not each cost a system call.
constexpr std::size_t kBufferBytes = 256 << 10;
constexpr std::size_t kDirectBytes = 16 << 10;

std::atomic<bool> g_allowUnnamed{true};
std::atomic<unsigned> g_counter{0};

[[noreturn]] void ThrowFileError(int error, const std::string& path)
{
    throw CFileException(CFileException::CauseFromErrno(error), error, path);
}

// A name beside target that no file has yet: "<target>.~<pid>-<n>.tmp".
// The process number lets a later save tell a stale temporary from one in use.
std::string NextTempName(const std::string& target)
{
    return target + ".~" + std::to_string(::getpid()) + "-" + std::to_string(g_counter++) + ".tmp";
}

void TakeTargetMode(int fd, const std::string& target)
{
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0)
        ::fchmod(fd, st.st_mode & 07777);
}

// The process number of a temporary's name, or 0 when the name is not one.
long TempOwner(std::string_view name)
{
    const std::string_view suffix = ".tmp";
    if (name.size() <= suffix.size() || name.substr(name.size() - suffix.size()) != suffix)
        return 0;
    name.remove_suffix(suffix.size());
    const std::size_t mark = name.rfind(".~");
    if (mark == std::string_view::npos)
        return 0;
    const std::string_view digits = name.substr(mark + 2);
    const std::size_t dash = digits.find('-');
    if (dash == 0 || dash == std::string_view::npos || dash + 1 == digits.size())
        return 0;
    long pid = 0;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        const char c = digits[i];
        if (i == dash)
            continue;
        if (c < '0' || c > '9')
            return 0;
        if (i < dash && pid < 100000000)
            pid = pid * 10 + (c - '0');
    }
    return pid;
}

} // namespace

std::string FolderOfPath(const std::string& path)
{
    std::string::size_type slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

int CPendingFile::RemoveStaleTemporaries(const std::string& folder)
{
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return 0;
    int removed = 0;
    const long self = long(::getpid());
    while (dirent* entry = ::readdir(dir)) {
        const long pid = TempOwner(entry->d_name);
        // Only a process that is gone: another one may be saving right now
        // (a process of another user answers EPERM and is left alone too).
        if (pid <= 0 || pid == self || ::kill(pid_t(pid), 0) == 0 || errno != ESRCH)
            continue;
        const std::string path = folder + "/" + entry->d_name;
        struct stat st {};
        if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::unlink(path.c_str()) == 0)
            ++removed;
    }
    ::closedir(dir);
    return removed;
}

void CPendingFile::AllowUnnamedTemporaries(bool allow) { g_allowUnnamed = allow; }

CPendingFile::Temp CPendingFile::OpenTempBeside(const std::string& target)
{
    const std::string folder = FolderOfPath(target);
    // An unnamed file needs /proc to be given a name when it is complete.
    static const bool procFds = ::access("/proc/self/fd", X_OK) == 0;
    if (g_allowUnnamed && procFds) {
        int fd = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
        if (fd >= 0) {
            TakeTargetMode(fd, target);
            return Temp{fd, std::string()};
        }
        // Not supported by this file system (or this kernel): a named file.
    }
    RemoveStaleTemporaries(folder);
    for (int attempt = 0;; ++attempt) {
        std::string temp = NextTempName(target);
        int fd = ::open(temp.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST && attempt < 100)
                continue;
            ThrowFileError(errno, target);
        }
        TakeTargetMode(fd, target);
        return Temp{fd, std::move(temp)};
    }
}

void CPendingFile::PutTempInPlace(const Temp& temp, const std::string& target)
{
    std::string named = temp.path;
    if (named.empty()) {
        // A file cannot be linked over another: it gets a name beside the
        // target first, for the moment before the rename.
        const std::string self = "/proc/self/fd/" + std::to_string(temp.fd);
        for (int attempt = 0;; ++attempt) {
            named = NextTempName(target);
            if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, named.c_str(), AT_SYMLINK_FOLLOW) == 0)
                break;
            if (errno != EEXIST || attempt >= 100)
                ThrowFileError(errno, target);
        }
    }
    if (::rename(named.c_str(), target.c_str()) != 0) {
        const int error = errno;
        if (temp.path.empty())
            ::unlink(named.c_str());
        ThrowFileError(error, target);
    }
}

CPendingFile::CPendingFile(std::string target)
    : m_target(std::move(target))
{
}

CPendingFile::~CPendingFile()
{
    if (!m_committed && !m_temp.empty())
        ::unlink(m_temp.c_str());
}

const std::shared_ptr<CDiskFile>& CPendingFile::File()
{
    if (!m_file) {
        Temp temp = OpenTempBeside(m_target);
        m_file = std::make_shared<CDiskFile>();
        m_file->Attach(temp.fd, temp.path.empty() ? m_target : temp.path);
        m_temp = std::move(temp.path);
    }
    return m_file;
}

void CPendingFile::PutInPlace(const std::string& path)
{
    PutTempInPlace(Temp{File()->GetDescriptor(), m_temp}, path);
}

void CPendingFile::ReleaseTail(const CStreamData* data)
{
    // The stream has been read back or is gone: what it still buffers is not needed.
    if (m_tail == data) {
        m_buffer.clear();
        m_tail = nullptr;
    }
}

void CPendingFile::Flush()
{
    if (m_buffer.empty())
        return;
    File()->Seek(std::int64_t(m_end - m_buffer.size()), CFile::begin);
    m_file->Write(m_buffer.data(), m_buffer.size());
    m_buffer.clear();
}

std::uint64_t CPendingFile::Append(const CStreamData* owner, const void* data, std::size_t count)
{
    File();
    if (m_tail != owner) {
        Flush();
        m_end = (m_end + kAlign - 1) / kAlign * kAlign;
        m_tail = owner;
    }
    std::uint64_t at = m_end;
    const BYTE* p = static_cast<const BYTE*>(data);
    // Blocks of an archive's large buffer go straight to the file.
    if (count < kDirectBytes && m_buffer.size() + count <= kBufferBytes) {
        m_buffer.insert(m_buffer.end(), p, p + count);
    } else {
        Flush();
        m_file->Seek(std::int64_t(at), CFile::begin);
        m_file->Write(p, count);
    }
    m_end += count;
    return at;
}

void CPendingFile::Restore(std::uint64_t end)
{
    m_end = end;
    if (m_file) {
        try {
            m_file->SetLength(end);
        } catch (const CFileException&) {
            // The stray bytes past the end do no harm: the next save writes over them.
        }
    }
}

void CPendingFile::MarkCommitted()
{
    m_committed = true;
    m_tail = nullptr;
}
