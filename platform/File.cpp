#include "platform/File.h"

#include "platform/Exceptions.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

CDiskFile::~CDiskFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

void CDiskFile::ThrowErrno(int error) const
{
    throw CFileException(CFileException::CauseFromErrno(error), error, m_path);
}

void CDiskFile::Open(const std::string& path, UINT flags)
{
    Close();
    m_path = path;
    int oflags = O_CLOEXEC;
    if (flags & modeReadWrite)
        oflags |= O_RDWR;
    else if (flags & modeWrite)
        oflags |= O_WRONLY;
    else
        oflags |= O_RDONLY;
    if (flags & modeCreate) {
        oflags |= O_CREAT;
        if (!(flags & modeNoTruncate))
            oflags |= O_TRUNC;
    }
    int fd;
    do {
        fd = ::open(path.c_str(), oflags, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        ThrowErrno(errno);
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        ThrowErrno(EISDIR);
    }
    m_fd = fd;
}

void CDiskFile::Attach(int fd, const std::string& path)
{
    Close();
    m_fd = fd;
    m_path = path;
}

std::size_t CDiskFile::Read(void* buffer, std::size_t count)
{
    auto* out = static_cast<char*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        ssize_t n = ::read(m_fd, out + done, count - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ThrowErrno(errno);
        }
        if (n == 0)
            break;
        done += std::size_t(n);
    }
    return done;
}

void CDiskFile::Write(const void* buffer, std::size_t count)
{
    auto* in = static_cast<const char*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        ssize_t n = ::write(m_fd, in + done, count - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ThrowErrno(errno);
        }
        done += std::size_t(n);
    }
}

std::uint64_t CDiskFile::Seek(std::int64_t offset, SeekPosition from)
{
    int whence = from == begin ? SEEK_SET : from == current ? SEEK_CUR : SEEK_END;
    off_t pos = ::lseek(m_fd, off_t(offset), whence);
    if (pos < 0)
        ThrowErrno(errno);
    return std::uint64_t(pos);
}

std::uint64_t CDiskFile::GetPosition() const
{
    off_t pos = ::lseek(m_fd, 0, SEEK_CUR);
    if (pos < 0)
        ThrowErrno(errno);
    return std::uint64_t(pos);
}

std::uint64_t CDiskFile::GetLength() const
{
    struct stat st {};
    if (::fstat(m_fd, &st) != 0)
        ThrowErrno(errno);
    return std::uint64_t(st.st_size);
}

void CDiskFile::SetLength(std::uint64_t length)
{
    if (::ftruncate(m_fd, off_t(length)) != 0)
        ThrowErrno(errno);
}

void CDiskFile::Flush()
{
    if (m_fd >= 0 && ::fsync(m_fd) != 0 && errno != EINVAL)
        ThrowErrno(errno);
}

void CDiskFile::Close()
{
    if (m_fd >= 0) {
        int fd = m_fd;
        m_fd = -1;
        if (::close(fd) != 0 && errno != EINTR)
            ThrowErrno(errno);
    }
}

std::size_t CMemFile::Read(void* buffer, std::size_t count)
{
    if (m_position >= m_data.size())
        return 0;
    std::size_t n = std::min<std::uint64_t>(count, m_data.size() - m_position);
    std::memcpy(buffer, m_data.data() + m_position, n);
    m_position += n;
    return n;
}

void CMemFile::Write(const void* buffer, std::size_t count)
{
    if (count == 0)
        return;
    if (m_position + count > m_data.size())
        m_data.resize(m_position + count);
    std::memcpy(m_data.data() + m_position, buffer, count);
    m_position += count;
}

std::uint64_t CMemFile::Seek(std::int64_t offset, SeekPosition from)
{
    std::int64_t base = from == begin ? 0 : from == current ? std::int64_t(m_position) : std::int64_t(m_data.size());
    std::int64_t pos = base + offset;
    if (pos < 0)
        throw CFileException(CFileException::badSeek);
    m_position = std::uint64_t(pos);
    return m_position;
}

void CMemFile::SetLength(std::uint64_t length)
{
    m_data.resize(length);
    if (m_position > length)
        m_position = length;
}

std::vector<BYTE> CMemFile::Detach()
{
    std::vector<BYTE> out = std::move(m_data);
    m_data.clear();
    m_position = 0;
    return out;
}
