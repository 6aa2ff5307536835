// Byte streams that archives read from and write to: a file on disk, a
// growable block of memory, and (elsewhere) a stream inside a compound file.
#pragma once

#include "platform/Types.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class CFile {
public:
    enum SeekPosition { begin = 0, current = 1, end = 2 };

    virtual ~CFile() = default;

    // Reads up to count bytes; returns how many were read (0 at the end).
    virtual std::size_t Read(void* buffer, std::size_t count) = 0;
    // Writes all count bytes or throws CFileException.
    virtual void Write(const void* buffer, std::size_t count) = 0;
    virtual std::uint64_t Seek(std::int64_t offset, SeekPosition from) = 0;
    virtual std::uint64_t GetPosition() const = 0;
    virtual std::uint64_t GetLength() const = 0;
    virtual void SetLength(std::uint64_t length) = 0;
    virtual void Flush() {}
    virtual void Close() {}
    virtual std::string GetFilePath() const { return {}; }

    std::uint64_t SeekToBegin() { return Seek(0, begin); }
    std::uint64_t SeekToEnd() { return Seek(0, end); }
};

// A file on disk, through POSIX calls.
class CDiskFile : public CFile {
public:
    enum OpenFlags : UINT {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        modeCreate = 0x1000, // create, or truncate an existing file
        modeNoTruncate = 0x2000,
    };

    CDiskFile() = default;
    CDiskFile(const std::string& path, UINT flags) { Open(path, flags); }
    ~CDiskFile() override;
    CDiskFile(const CDiskFile&) = delete;
    CDiskFile& operator=(const CDiskFile&) = delete;

    // Throws CFileException on failure.
    void Open(const std::string& path, UINT flags);
    // Takes over an open descriptor; path names the file in messages.
    void Attach(int fd, const std::string& path);
    bool IsOpen() const { return m_fd >= 0; }
    int GetDescriptor() const { return m_fd; }

    std::size_t Read(void* buffer, std::size_t count) override;
    void Write(const void* buffer, std::size_t count) override;
    std::uint64_t Seek(std::int64_t offset, SeekPosition from) override;
    std::uint64_t GetPosition() const override;
    std::uint64_t GetLength() const override;
    void SetLength(std::uint64_t length) override;
    // Forces the written bytes to the disk.
    void Flush() override;
    void Close() override;
    std::string GetFilePath() const override { return m_path; }

private:
    [[noreturn]] void ThrowErrno(int error) const;
    int m_fd = -1;
    std::string m_path;
};

// A growable block of memory.
class CMemFile : public CFile {
public:
    CMemFile() = default;
    explicit CMemFile(std::vector<BYTE> bytes) : m_data(std::move(bytes)) {}
    CMemFile(const void* bytes, std::size_t count)
        : m_data(static_cast<const BYTE*>(bytes), static_cast<const BYTE*>(bytes) + count) {}

    std::size_t Read(void* buffer, std::size_t count) override;
    void Write(const void* buffer, std::size_t count) override;
    std::uint64_t Seek(std::int64_t offset, SeekPosition from) override;
    std::uint64_t GetPosition() const override { return m_position; }
    std::uint64_t GetLength() const override { return m_data.size(); }
    void SetLength(std::uint64_t length) override;

    const std::vector<BYTE>& Data() const { return m_data; }
    std::vector<BYTE> Detach();

private:
    std::vector<BYTE> m_data;
    std::uint64_t m_position = 0;
};
