#include "framework/MemMappedFile.h"

#include "platform/Exceptions.h"

#include <cstring>
#include <new>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

CMemMappedFile::CMemMappedFile(std::size_t size)
{
    if (size > 0) {
        m_mapping = ::memfd_create("marlox-memfile", MFD_CLOEXEC);
        if (m_mapping < 0)
            throw std::bad_alloc();
        m_ownsMapping = true;
        if (::ftruncate(m_mapping, off_t(size)) != 0) {
            Release();
            throw std::bad_alloc();
        }
        MapView(size);
    }
    m_length = size;
}

CMemMappedFile::CMemMappedFile(int mapping, std::size_t size) : m_mapping(mapping)
{
    // Touching a page past the end of the object would kill the process, so a
    // mapping smaller than asked for is refused here.
    struct stat st {};
    if (mapping < 0 || ::fstat(mapping, &st) != 0 || std::uint64_t(st.st_size) < size) {
        m_mapping = -1;
        throw std::bad_alloc();
    }
    if (size > 0)
        MapView(size);
    m_length = size;
}

CMemMappedFile::~CMemMappedFile() { Release(); }

void CMemMappedFile::MapView(std::size_t size)
{
    void* view = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, m_mapping, 0);
    if (view == MAP_FAILED) {
        Release();
        throw std::bad_alloc();
    }
    m_buffer = static_cast<BYTE*>(view);
    m_capacity = size;
}

void CMemMappedFile::Release()
{
    if (m_buffer)
        ::munmap(m_buffer, m_capacity);
    m_buffer = nullptr;
    m_capacity = 0;
    if (m_ownsMapping && m_mapping >= 0)
        ::close(m_mapping);
    m_mapping = -1;
    m_ownsMapping = false;
}

std::size_t CMemMappedFile::Read(void* buffer, std::size_t count)
{
    if (m_position >= m_length)
        return 0;
    std::size_t n = std::size_t(std::min<std::uint64_t>(count, m_length - m_position));
    std::memcpy(buffer, m_buffer + m_position, n);
    m_position += n;
    return n;
}

void CMemMappedFile::Write(const void* buffer, std::size_t count)
{
    if (count == 0)
        return;
    if (m_position > m_capacity || count > m_capacity - m_position)
        throw CFileException(CFileException::diskFull);
    if (m_position > m_length) // a gap left by a seek past the end reads as zeros
        std::memset(m_buffer + m_length, 0, std::size_t(m_position - m_length));
    std::memcpy(m_buffer + m_position, buffer, count);
    m_position += count;
    if (m_position > m_length)
        m_length = m_position;
}

std::uint64_t CMemMappedFile::Seek(std::int64_t offset, SeekPosition from)
{
    std::int64_t base = from == begin ? 0 : from == current ? std::int64_t(m_position) : std::int64_t(m_length);
    std::int64_t pos = base + offset;
    if (pos < 0)
        throw CFileException(CFileException::badSeek);
    m_position = std::uint64_t(pos);
    return m_position;
}

void CMemMappedFile::SetLength(std::uint64_t length)
{
    if (length > m_capacity)
        throw CFileException(CFileException::diskFull);
    if (length > m_length)
        std::memset(m_buffer + m_length, 0, std::size_t(length - m_length));
    m_length = length;
    if (m_position > length)
        m_position = length;
}
