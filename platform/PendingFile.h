// The next version of a compound file, written ahead of its save: large
// streams are appended to a temporary file beside the target as they are
// written, so that saving only adds the directory and tables and renames the
// file over the target. Until then the target is untouched; a pending file
// that is never committed is removed.
#pragma once

#include "platform/File.h"

#include <memory>
#include <string>
#include <vector>

class CStreamData;

class CPendingFile {
public:
    // Stream data starts after room for the largest header (4096 bytes), at
    // offsets that are multiples of 4096, so it falls on sector boundaries of
    // either sector size.
    static constexpr std::uint64_t kAlign = 4096;

    explicit CPendingFile(std::string target);
    ~CPendingFile();
    CPendingFile(const CPendingFile&) = delete;
    CPendingFile& operator=(const CPendingFile&) = delete;

    const std::string& GetTarget() const { return m_target; }
    bool IsCommitted() const { return m_committed; }
    // Whether data is the stream being appended at the end.
    bool IsTail(const CStreamData* data) const { return !m_committed && m_tail == data; }
    // Ends the appending of data's stream, dropping what it still buffers.
    void ReleaseTail(const CStreamData* data);
    // Appends bytes of owner's stream; a stream that is not the tail starts
    // at the next aligned offset and becomes the tail. Returns the offset of
    // the first byte. Throws CFileException when the disk refuses.
    std::uint64_t Append(const CStreamData* owner, const void* data, std::size_t count);
    // Writes what the tail still buffers.
    void Flush();
    // The file, created on first use.
    const std::shared_ptr<CDiskFile>& File();
    bool HasFile() const { return m_file != nullptr; }
    // End of the data appended so far.
    std::uint64_t End() const { return m_end; }
    // After a failed save, drops whatever the save wrote after the data.
    void Restore(std::uint64_t end);
    // The file now holds the target's contents under the target's name.
    void MarkCommitted();
    const std::string& GetTempPath() const { return m_temp; }

    // Creates an empty, unique file beside target (same folder) with
    // target's permissions when it exists; returns its path.
    static std::string CreateTempBeside(const std::string& target);

private:
    std::string m_target;
    std::string m_temp;
    std::shared_ptr<CDiskFile> m_file;
    std::uint64_t m_end = kAlign;
    const CStreamData* m_tail = nullptr;
    std::vector<BYTE> m_buffer; // bytes of the tail not yet written, ending at m_end
    bool m_committed = false;
};

// The pending file that new large streams of one compound file go to, if any.
struct CPendingSlot {
    std::shared_ptr<CPendingFile> current;
};
