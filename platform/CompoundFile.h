// A compound file: a small file system of storages and streams inside one
// file (512-byte sectors, version 3, by default; version 4 with 4096-byte
// sectors on request, and both are read). The tree of storages is held in
// memory; a stream's bytes are kept once: in memory, in the file it was read
// from, or (when written with a path set) in the file that the next save
// will put in place.
//
// Saving is atomic: the file is written beside its target, forced to the
// disk and renamed over the target, so a failed save leaves the old file as
// it was. Damaged files are refused with a CArchiveException (cause
// genericException) whose text says what is wrong; a missing or unreadable
// file, or a disk that refuses a write, gives a CFileException.
#pragma once

#include "platform/File.h"
#include "platform/PendingFile.h"
#include "platform/Storage.h"

#include <memory>
#include <string>
#include <vector>

class CCompoundFile {
public:
    // An empty file: a root storage without elements.
    CCompoundFile();
    // Opens and reads the file at path (see Open).
    explicit CCompoundFile(const std::string& path);
    ~CCompoundFile();
    CCompoundFile(const CCompoundFile&) = delete;
    CCompoundFile& operator=(const CCompoundFile&) = delete;
    CCompoundFile(CCompoundFile&&) noexcept;
    CCompoundFile& operator=(CCompoundFile&&) noexcept;

    // Reads the directory and the small streams and checks every sector
    // chain; large streams stay in the file, which stays open for reading
    // until this object (and every stream taken from it) is gone. Sets the
    // path. Replaces the current contents only when the read succeeds.
    void Open(const std::string& path);
    // Reads a compound file from any byte stream (a file or memory) wholly
    // into memory; name is used in error texts.
    void Load(CFile& file, const std::string& name = {});
    void LoadBytes(const void* bytes, std::size_t count);

    CStorage& Root() { return *m_root; }
    const CStorage& Root() const { return *m_root; }

    // Writes the file atomically to the path it was opened from or last saved to.
    void Save();
    // Writes the file atomically to path and remembers the path.
    void SaveAs(const std::string& path);
    // Writes the whole file to a byte stream at its current position.
    void WriteTo(CFile& file) const;
    std::vector<BYTE> ToBytes() const;

    const std::string& GetPath() const { return m_path; }
    // Names the file that Save() writes. Large streams written from then on
    // go ahead to a temporary file beside it, so that saving does not hold
    // them in memory nor write them twice; the target is untouched until the
    // save succeeds. Open and SaveAs set the path themselves.
    void SetPath(const std::string& path);
    // Large streams written from now on go ahead to a temporary file beside
    // path, as after SetPath, without changing the path: a save to a new
    // place (the first save of a new file, or Save As) then writes its
    // streams once instead of holding them in memory and copying them.
    void PrepareSaveAs(const std::string& path);
    // The version written: 3 (512-byte sectors, the default) or 4 (4096-byte
    // sectors). A file read keeps the version it had.
    int GetVersion() const { return m_version; }
    void SetVersion(int version);

    // The bytes of the file that would be written now.
    std::uint64_t GetFileSize() const;

private:
    std::shared_ptr<CPendingSlot> m_slot;
    std::unique_ptr<CStorage> m_root;
    std::string m_path;
    int m_version = 3;
};
