// A stream inside a compound file, read and written like any other file so
// that archives work on it unchanged.
#pragma once

#include "platform/File.h"
#include "platform/PendingFile.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

// The bytes of one stream: in memory, or still in the file the compound file
// was opened from (read on demand, brought into memory when first changed).
class CStreamData {
public:
    struct Extent {
        std::uint64_t offset; // in the source file
        std::uint64_t length;
    };

    CStreamData() = default;
    explicit CStreamData(std::vector<BYTE> bytes) : m_bytes(std::move(bytes)) {}
    CStreamData(std::shared_ptr<CFile> source, std::vector<Extent> extents, std::uint64_t size);
    ~CStreamData();
    CStreamData(const CStreamData&) = delete;
    CStreamData& operator=(const CStreamData&) = delete;

    std::uint64_t Size() const { return m_source ? m_size : m_bytes.size(); }
    bool InMemory() const { return !m_source; }
    // Copies up to count bytes from position; returns how many there were.
    std::size_t ReadAt(std::uint64_t position, void* buffer, std::size_t count);
    // The bytes in memory, for changing them.
    std::vector<BYTE>& Bytes();
    // Hands the bytes over in order, in blocks of at most blockSize when they
    // come from the file.
    void ForEachBlock(std::size_t blockSize, const std::function<void(const BYTE*, std::size_t)>& use);

    // Whether a write at position can go straight to the end of the pending file.
    bool CanAppend(std::uint64_t position) const { return m_pending && m_pending->IsTail(this) && position == m_size; }
    void Append(const void* data, std::size_t count);
    // Moves bytes held in memory to the end of a pending file.
    void MoveTo(const std::shared_ptr<CPendingFile>& pending);
    // The pending file holding the bytes in one piece, or null.
    const CPendingFile* GetPending() const { return m_extents.size() == 1 ? m_pending.get() : nullptr; }
    const std::vector<Extent>& GetExtents() const { return m_extents; }

private:
    std::vector<BYTE> m_bytes;
    std::shared_ptr<CFile> m_source;
    std::vector<Extent> m_extents;
    std::uint64_t m_size = 0;
    std::shared_ptr<CPendingFile> m_pending; // when the bytes were written ahead of a save
    // Brought back from the pending file to be changed: moving it there again
    // at every turn would copy it over and over when streams are written by turns.
    bool m_stayInMemory = false;
};

class CStorageStream : public CFile {
public:
    // The stream's bytes are shared with the storage that holds them, so a
    // stream stays usable even when its element is destroyed or replaced
    // meanwhile (it then no longer belongs to the file).
    // With a slot, a stream that grows large moves to the slot's pending file.
    CStorageStream(std::shared_ptr<CStreamData> data, std::string name, std::shared_ptr<CPendingSlot> slot = nullptr);

    std::size_t Read(void* buffer, std::size_t count) override;
    void Write(const void* buffer, std::size_t count) override;
    std::uint64_t Seek(std::int64_t offset, SeekPosition from) override;
    std::uint64_t GetPosition() const override { return m_position; }
    std::uint64_t GetLength() const override { return m_data->Size(); }
    void SetLength(std::uint64_t length) override;
    // The element's name.
    std::string GetFilePath() const override { return m_name; }

    // Reserves room for a stream whose final size is known, so that writing
    // it does not move the bytes again as it grows.
    void Reserve(std::uint64_t length);

private:
    std::shared_ptr<CStreamData> m_data;
    std::string m_name;
    std::shared_ptr<CPendingSlot> m_slot;
    std::uint64_t m_position = 0;
    // Read-ahead for small reads of a stream that is still in the file.
    std::vector<BYTE> m_cache;
    std::uint64_t m_cacheStart = 0;
};
