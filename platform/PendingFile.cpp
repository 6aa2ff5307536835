#include "platform/PendingFile.h"

#include "platform/Exceptions.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Small appends gather here so that an archive's 4 KiB writes do not each cost a system call.
constexpr std::size_t kBufferBytes = 256 << 10;
constexpr std::size_t kDirectBytes = 16 << 10;

} // namespace

std::string CPendingFile::CreateTempBeside(const std::string& target)
{
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0;; ++attempt) {
        std::string temp = target + ".~" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + ".tmp";
        int fd = ::open(temp.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST && attempt < 100)
                continue;
            throw CFileException(CFileException::CauseFromErrno(errno), errno, target);
        }
        struct stat st {};
        if (::stat(target.c_str(), &st) == 0)
            ::fchmod(fd, st.st_mode & 07777);
        ::close(fd);
        return temp;
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
        std::string temp = CreateTempBeside(m_target);
        try {
            m_file = std::make_shared<CDiskFile>(temp, CDiskFile::modeReadWrite);
        } catch (...) {
            ::unlink(temp.c_str());
            throw;
        }
        m_temp = std::move(temp);
    }
    return m_file;
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
