#include "platform/StorageStream.h"

#include "platform/Exceptions.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

constexpr std::size_t kReadAhead = 64 << 10;
// Streams from this size on take sectors of their own in the file, so they
// can go ahead to the pending file.
constexpr std::uint64_t kMoveAheadBytes = 4096;

} // namespace

CStreamData::CStreamData(std::shared_ptr<CFile> source, std::vector<Extent> extents, std::uint64_t size)
    : m_source(std::move(source))
    , m_extents(std::move(extents))
    , m_size(size)
{
}

CStreamData::~CStreamData()
{
    if (m_pending)
        m_pending->ReleaseTail(this);
}

void CStreamData::Append(const void* data, std::size_t count)
{
    std::uint64_t at = m_pending->Append(this, data, count);
    if (m_extents.empty() || m_extents.back().offset + m_extents.back().length != at)
        m_extents.push_back({at, 0});
    m_extents.back().length += count;
    m_size += count;
}

void CStreamData::MoveTo(const std::shared_ptr<CPendingFile>& pending)
{
    if (m_source || m_stayInMemory)
        return;
    std::uint64_t at = pending->Append(this, m_bytes.data(), m_bytes.size());
    m_source = pending->File();
    m_pending = pending;
    m_extents = {{at, m_bytes.size()}};
    m_size = m_bytes.size();
    m_bytes = std::vector<BYTE>();
}

std::size_t CStreamData::ReadAt(std::uint64_t position, void* buffer, std::size_t count)
{
    if (position >= Size() || count == 0)
        return 0;
    if (m_pending && m_pending->IsTail(this))
        m_pending->Flush();
    count = std::size_t(std::min<std::uint64_t>(count, Size() - position));
    if (!m_source) {
        std::memcpy(buffer, m_bytes.data() + position, count);
        return count;
    }
    BYTE* out = static_cast<BYTE*>(buffer);
    std::size_t done = 0;
    std::uint64_t base = 0; // stream position of the current extent
    for (const Extent& e : m_extents) {
        if (done == count)
            break;
        if (position + done >= base + e.length) {
            base += e.length;
            continue;
        }
        std::uint64_t within = position + done - base;
        std::size_t n = std::size_t(std::min<std::uint64_t>(count - done, e.length - within));
        m_source->Seek(std::int64_t(e.offset + within), CFile::begin);
        if (m_source->Read(out + done, n) != n)
            throw CArchiveException(CArchiveException::endOfFile, m_source->GetFilePath(),
                                    "The compound file \"" + m_source->GetFilePath()
                                        + "\" was cut or changed by another program while it was open.");
        done += n;
        base += e.length;
    }
    return done;
}

std::vector<BYTE>& CStreamData::Bytes()
{
    if (m_source) {
        std::vector<BYTE> bytes(static_cast<std::size_t>(m_size));
        ReadAt(0, bytes.data(), bytes.size());
        m_bytes = std::move(bytes);
        m_source.reset();
        m_extents.clear();
        if (m_pending) {
            m_pending->ReleaseTail(this);
            m_pending.reset();
            m_stayInMemory = true;
        }
    }
    return m_bytes;
}

void CStreamData::ForEachBlock(std::size_t blockSize, const std::function<void(const BYTE*, std::size_t)>& use)
{
    if (!m_source) {
        if (!m_bytes.empty())
            use(m_bytes.data(), m_bytes.size());
        return;
    }
    std::vector<BYTE> block(std::size_t(std::min<std::uint64_t>(blockSize, m_size)));
    for (std::uint64_t pos = 0; pos < m_size;) {
        std::size_t n = ReadAt(pos, block.data(), block.size());
        use(block.data(), n);
        pos += n;
    }
}

CStorageStream::CStorageStream(std::shared_ptr<CStreamData> data, std::string name, std::shared_ptr<CPendingSlot> slot)
    : m_data(std::move(data))
    , m_name(std::move(name))
    , m_slot(std::move(slot))
{
}

std::size_t CStorageStream::Read(void* buffer, std::size_t count)
{
    if (m_position >= m_data->Size() || count == 0)
        return 0;
    if (m_data->InMemory() || count >= kReadAhead) {
        std::size_t n = m_data->ReadAt(m_position, buffer, count);
        m_position += n;
        return n;
    }
    // Small reads from the file go through a read-ahead block, so that an
    // archive's small buffer does not cost a system call per fill.
    if (m_position < m_cacheStart || m_position + count > m_cacheStart + m_cache.size()) {
        m_cache.resize(std::size_t(std::min<std::uint64_t>(kReadAhead, m_data->Size() - m_position)));
        m_cacheStart = m_position;
        m_data->ReadAt(m_position, m_cache.data(), m_cache.size());
    }
    std::size_t n = std::size_t(std::min<std::uint64_t>(count, m_cacheStart + m_cache.size() - m_position));
    std::memcpy(buffer, m_cache.data() + (m_position - m_cacheStart), n);
    m_position += n;
    return n;
}

void CStorageStream::Write(const void* buffer, std::size_t count)
{
    if (count == 0)
        return;
    m_cache.clear();
    if (m_data->CanAppend(m_position)) {
        m_data->Append(buffer, count);
        m_position += count;
        return;
    }
    // A stream written from start to end goes ahead to the file it will be
    // saved in once it is large enough to take sectors of its own, so that
    // its bytes are neither held in memory nor written twice.
    if (m_slot && m_slot->current && m_data->InMemory() && m_position == m_data->Size()
        && m_position + count >= kMoveAheadBytes) {
        try {
            m_data->MoveTo(m_slot->current);
        } catch (const CFileException&) {
            // No file can be made beside the target (a read-only or missing
            // folder): the streams stay in memory, and saving there will
            // report the problem.
            if (!m_slot->current->HasFile())
                m_slot->current.reset();
        }
        if (!m_data->InMemory()) {
            m_data->Append(buffer, count);
            m_position += count;
            return;
        }
    }
    std::vector<BYTE>& data = m_data->Bytes();
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
    std::int64_t base = from == begin ? 0 : from == current ? std::int64_t(m_position) : std::int64_t(m_data->Size());
    if ((offset < 0 && base + offset < 0) || (offset > 0 && base > std::numeric_limits<std::int64_t>::max() - offset))
        throw CFileException(CFileException::badSeek, 0, m_name);
    m_position = std::uint64_t(base + offset);
    return m_position;
}

void CStorageStream::SetLength(std::uint64_t length)
{
    std::vector<BYTE>& data = m_data->Bytes();
    m_cache.clear();
    if (length > data.max_size())
        throw CFileException(CFileException::diskFull, 0, m_name);
    data.resize(std::size_t(length));
}

void CStorageStream::Reserve(std::uint64_t length)
{
    if (!m_data->InMemory())
        return;
    std::vector<BYTE>& data = m_data->Bytes();
    if (length <= data.max_size())
        data.reserve(std::size_t(length));
}
