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
    // Puts the complete file in path's place (throws CFileException).
    void PutInPlace(const std::string& path);
    // The file now holds the target's contents under the target's name.
    void MarkCommitted();
    // The temporary's name; empty while it has none (see OpenTempBeside).
    const std::string& GetTempPath() const { return m_temp; }

    // An empty temporary file beside target (same folder, so that a rename
    // cannot cross file systems), with target's permissions when it exists.
    // Where the file system allows it the file has no name until it is put
    // in place, so that a process killed meanwhile leaves nothing behind;
    // elsewhere it is named "<target>.~<pid>-<n>.tmp", and named temporaries
    // of processes that no longer run are removed first. Throws CFileException.
    struct Temp {
        int fd = -1;
        std::string path; // empty for an unnamed file
    };
    static Temp OpenTempBeside(const std::string& target);
    // Puts a complete temporary in target's place: an unnamed one is linked
    // under a name first, then renamed over target. Throws CFileException.
    static void PutTempInPlace(const Temp& temp, const std::string& target);
    // Removes "<name>.~<pid>-<n>.tmp" files of folder whose process has
    // ended (a save that was killed); returns how many went.
    static int RemoveStaleTemporaries(const std::string& folder);
    // Whether unnamed temporaries are tried (tests turn them off to see the
    // named ones).
    static void AllowUnnamedTemporaries(bool allow);

private:
    std::string m_target;
    std::string m_temp;
    std::shared_ptr<CDiskFile> m_file;
    std::uint64_t m_end = kAlign;
    const CStreamData* m_tail = nullptr;
    std::vector<BYTE> m_buffer; // bytes of the tail not yet written, ending at m_end
    bool m_committed = false;
};

// The folder of a path ("." for a bare name).
std::string FolderOfPath(const std::string& path);

// The pending file that new large streams of one compound file go to, if any.
struct CPendingSlot {
    std::shared_ptr<CPendingFile> current;
};
