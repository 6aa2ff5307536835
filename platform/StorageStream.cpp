#include "platform/StorageStream.h"

#include "platform/Exceptions.h"

#include <cstring>
#include <limits>

CStorageStream::CStorageStream(std::shared_ptr<std::vector<BYTE>> data, std::string name)
    : m_data(std::move(data))
    , m_name(std::move(name))
{
}

std::size_t CStorageStream::Read(void* buffer, std::size_t count)
{
    const std::vector<BYTE>& data = *m_data;
    if (m_position >= data.size() || count == 0)
        return 0;
    std::size_t n = std::size_t(std::min<std::uint64_t>(count, data.size() - m_position));
    std::memcpy(buffer, data.data() + m_position, n);
    m_position += n;
    return n;
}

void CStorageStream::Write(const void* buffer, std::size_t count)
{
    if (count == 0)
        return;
    std::vector<BYTE>& data = *m_data;
    if (m_position > data.max_size() - count)
        throw CFileException(CFileException::diskFull, 0, m_name);
    const BYTE* in = static_cast<const BYTE*>(buffer);
    if (m_position > data.size())
        data.resize(std::size_t(m_position));
    std::size_t pos = std::size_t(m_position);
    std::size_t overlap = std::min(count, data.size() - pos);
    if (overlap > 0)
        std::memcpy(data.data() + pos, in, overlap);
    // Appending through insert grows the block geometrically without zero-filling it first.
    if (overlap < count)
        data.insert(data.end(), in + overlap, in + count);
    m_position += count;
}

std::uint64_t CStorageStream::Seek(std::int64_t offset, SeekPosition from)
{
    std::int64_t base = from == begin ? 0 : from == current ? std::int64_t(m_position) : std::int64_t(m_data->size());
    if ((offset < 0 && base + offset < 0) || (offset > 0 && base > std::numeric_limits<std::int64_t>::max() - offset))
        throw CFileException(CFileException::badSeek, 0, m_name);
    m_position = std::uint64_t(base + offset);
    return m_position;
}

void CStorageStream::SetLength(std::uint64_t length)
{
    if (length > m_data->max_size())
        throw CFileException(CFileException::diskFull, 0, m_name);
    m_data->resize(std::size_t(length));
}

void CStorageStream::Reserve(std::uint64_t length)
{
    if (length <= m_data->max_size())
        m_data->reserve(std::size_t(length));
}
