// A memory file of fixed size whose memory is a shared mapping, so that one
// block can be handed to filter code or another process by its handle. The
// file cannot grow: a write past its size fails and leaves what is in it.
#pragma once

#include "platform/File.h"

#include <cstddef>

class CMemMappedFile : public CFile {
public:
    // A file of size bytes over a new mapping that the object owns; its length is
    // size from the start. Throws std::bad_alloc when the mapping cannot be made.
    explicit CMemMappedFile(std::size_t size);
    // A file of size bytes over an existing mapping (a file descriptor of shared
    // memory or a file) that the object does not own and never closes. Throws
    // std::bad_alloc when it cannot be mapped or is smaller than size.
    CMemMappedFile(int mapping, std::size_t size);
    ~CMemMappedFile() override;
    CMemMappedFile(const CMemMappedFile&) = delete;
    CMemMappedFile& operator=(const CMemMappedFile&) = delete;

    std::size_t Read(void* buffer, std::size_t count) override;
    // Throws CFileException(diskFull) for a write that does not fit; nothing of it is written.
    void Write(const void* buffer, std::size_t count) override;
    std::uint64_t Seek(std::int64_t offset, SeekPosition from) override;
    std::uint64_t GetPosition() const override { return m_position; }
    std::uint64_t GetLength() const override { return m_length; }
    // Throws CFileException(diskFull) for a length beyond the mapped size.
    void SetLength(std::uint64_t length) override;

    // The mapping's handle (-1 when it has none) and whether the object made it.
    int GetMapping() const { return m_mapping; }
    bool OwnsMapping() const { return m_ownsMapping; }
    std::size_t GetCapacity() const { return m_capacity; }
    BYTE* GetBuffer() { return m_buffer; }
    const BYTE* GetBuffer() const { return m_buffer; }

private:
    void MapView(std::size_t size);
    void Release();

    int m_mapping = -1;
    bool m_ownsMapping = false;
    BYTE* m_buffer = nullptr;
    std::size_t m_capacity = 0;
    std::uint64_t m_length = 0;
    std::uint64_t m_position = 0;
};
