#include "platform/CompoundFile.h"

#include "platform/CodePage.h"
#include "platform/Exceptions.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr BYTE kSignature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
constexpr DWORD kMaxRegSect = 0xFFFFFFFA;
constexpr DWORD kDifSect = 0xFFFFFFFC;
constexpr DWORD kFatSect = 0xFFFFFFFD;
constexpr DWORD kEndOfChain = 0xFFFFFFFE;
constexpr DWORD kFreeSect = 0xFFFFFFFF;
constexpr DWORD kNoStream = 0xFFFFFFFF;
constexpr std::size_t kHeaderBytes = 512;
constexpr std::size_t kHeaderDifatCount = 109;
constexpr std::size_t kEntryBytes = 128;
constexpr std::size_t kMiniSectorBytes = 64;
constexpr std::uint64_t kMiniStreamCutoff = 4096;
// Block size for copying streams that are still in the file being replaced.
constexpr std::size_t kCopyBlock = 1 << 20;

enum EntryType : BYTE { typeUnused = 0, typeStorage = 1, typeStream = 2, typeRoot = 5 };
enum EntryColor : BYTE { red = 0, black = 1 };

DWORD GetU32(const BYTE* p) { return DWORD(p[0]) | DWORD(p[1]) << 8 | DWORD(p[2]) << 16 | DWORD(p[3]) << 24; }
WORD GetU16(const BYTE* p) { return WORD(p[0] | p[1] << 8); }
std::uint64_t GetU64(const BYTE* p) { return GetU32(p) | std::uint64_t(GetU32(p + 4)) << 32; }
void PutU16(BYTE* p, WORD v) { p[0] = BYTE(v); p[1] = BYTE(v >> 8); }
void PutU32(BYTE* p, DWORD v) { for (int i = 0; i < 4; ++i) p[i] = BYTE(v >> (8 * i)); }
void PutU64(BYTE* p, std::uint64_t v) { for (int i = 0; i < 8; ++i) p[i] = BYTE(v >> (8 * i)); }

void PutGuid(BYTE* p, const GUID& g)
{
    PutU32(p, g.Data1);
    PutU16(p + 4, g.Data2);
    PutU16(p + 6, g.Data3);
    std::memcpy(p + 8, g.Data4, 8);
}
GUID GetGuid(const BYTE* p)
{
    GUID g;
    g.Data1 = GetU32(p);
    g.Data2 = GetU16(p + 4);
    g.Data3 = GetU16(p + 6);
    std::memcpy(g.Data4, p + 8, 8);
    return g;
}
void PutFileTime(BYTE* p, const FILETIME& t) { PutU32(p, t.dwLowDateTime); PutU32(p + 4, t.dwHighDateTime); }
FILETIME GetFileTime(const BYTE* p) { return {GetU32(p), GetU32(p + 4)}; }

std::uint64_t DivUp(std::uint64_t a, std::uint64_t b) { return (a + b - 1) / b; }

} // namespace

// ---------------------------------------------------------------------------
// Reading

class CCompoundFileReader {
public:
    // With a source, large streams are left in the file and read from it on
    // demand; without one every stream is read into memory.
    CCompoundFileReader(CFile& file, std::string name, std::shared_ptr<CFile> source = nullptr)
        : m_file(file)
        , m_name(std::move(name))
        , m_source(std::move(source))
    {
    }

    // Reads the file into root; sets the version found.
    void Read(CStorage& root, int& version);

private:
    struct Entry {
        std::u16string name;
        BYTE type = typeUnused;
        DWORD left = kNoStream, right = kNoStream, child = kNoStream;
        CLSID clsid;
        DWORD stateBits = 0;
        FILETIME created, modified;
        DWORD start = kEndOfChain;
        std::uint64_t size = 0;
    };

    [[noreturn]] void Damaged(const std::string& what) const
    {
        throw CArchiveException(CArchiveException::genericException, m_name,
                                "The compound file " + (m_name.empty() ? std::string() : "\"" + m_name + "\" ")
                                    + "is damaged: " + what + ".");
    }
    void ReadHeader();
    void ReadFat();
    // Reads count bytes at a file offset; a short read means the file was cut.
    void ReadAt(std::uint64_t offset, void* buffer, std::size_t count);
    void ReadSector(DWORD sector, BYTE* buffer) { ReadAt(SectorOffset(sector), buffer, m_sectorSize); }
    // Reads the sectors one after another into one block, runs of
    // neighbouring sectors in one call.
    std::vector<BYTE> ReadSectors(const std::vector<DWORD>& sectors);
    std::uint64_t SectorOffset(DWORD sector) const { return std::uint64_t(sector + 1) * m_sectorSize; }
    // Follows a chain from start: all of it (count 0 = until the end mark) or
    // exactly count sectors. Every sector is claimed once in the whole file, so
    // a chain that loops or runs into another is caught.
    std::vector<DWORD> Chain(DWORD start, std::uint64_t count, const char* what);
    // Reads size bytes of a regular chain into out; the chain is checked
    // before out is sized, so a false size cannot claim memory.
    void ReadChain(DWORD start, std::uint64_t size, std::vector<BYTE>& out, const char* what);
    void ReadDirectory();
    void ReadMiniStream();
    void Build(CStorage& root);
    std::shared_ptr<CStreamData> ReadStreamData(const Entry& e);

    CFile& m_file;
    std::string m_name;
    std::shared_ptr<CFile> m_source;
    std::uint64_t m_fileLength = 0;
    BYTE m_header[kHeaderBytes] = {};
    int m_version = 3;
    std::size_t m_sectorSize = 512;
    DWORD m_sectorCount = 0; // sectors the file holds after the header
    std::vector<DWORD> m_fat;
    std::vector<bool> m_claimed;
    std::vector<Entry> m_entries;
    std::vector<BYTE> m_miniStream;
    std::vector<DWORD> m_miniFat;
    std::vector<bool> m_miniClaimed;
};

void CCompoundFileReader::ReadAt(std::uint64_t offset, void* buffer, std::size_t count)
{
    if (offset > m_fileLength || count > m_fileLength - offset)
        Damaged("the file is truncated");
    m_file.Seek(std::int64_t(offset), CFile::begin);
    if (m_file.Read(buffer, count) != count)
        Damaged("the file is truncated");
}

void CCompoundFileReader::ReadHeader()
{
    m_fileLength = m_file.GetLength();
    if (m_fileLength < kHeaderBytes) {
        m_file.SeekToBegin();
        BYTE sig[8] = {};
        std::size_t n = m_file.Read(sig, sizeof sig);
        if (n == sizeof sig && std::memcmp(sig, kSignature, 8) == 0)
            Damaged("the file is truncated");
        throw CArchiveException(CArchiveException::genericException, m_name,
                                "The file " + (m_name.empty() ? std::string() : "\"" + m_name + "\" ")
                                    + "is not a compound file: it is too short.");
    }
    ReadAt(0, m_header, kHeaderBytes);
    if (std::memcmp(m_header, kSignature, 8) != 0)
        throw CArchiveException(CArchiveException::genericException, m_name,
                                "The file " + (m_name.empty() ? std::string() : "\"" + m_name + "\" ")
                                    + "is not a compound file: its signature is wrong.");
    WORD major = GetU16(m_header + 26);
    WORD byteOrder = GetU16(m_header + 28);
    WORD sectorShift = GetU16(m_header + 30);
    WORD miniShift = GetU16(m_header + 32);
    if (byteOrder != 0xFFFE)
        Damaged("the header's byte order mark is wrong");
    if (major == 3 && sectorShift == 9)
        m_sectorSize = 512;
    else if (major == 4 && sectorShift == 12)
        m_sectorSize = 4096;
    else
        Damaged("the header names an unsupported version or sector size");
    m_version = major;
    if (miniShift != 6)
        Damaged("the header names an unsupported mini sector size");
    if (GetU32(m_header + 56) != kMiniStreamCutoff)
        Damaged("the header names an unsupported mini stream cutoff");
    std::uint64_t sectors = DivUp(m_fileLength - std::min<std::uint64_t>(m_fileLength, m_sectorSize), m_sectorSize);
    m_sectorCount = DWORD(std::min<std::uint64_t>(sectors, kMaxRegSect + 1ull));
}

void CCompoundFileReader::ReadFat()
{
    DWORD fatSectors = GetU32(m_header + 44);
    DWORD difatStart = GetU32(m_header + 68);
    DWORD difatSectors = GetU32(m_header + 72);
    if (fatSectors > m_sectorCount)
        Damaged("the header counts more allocation table sectors than the file holds");
    if (difatSectors > m_sectorCount)
        Damaged("the header counts more extension sectors than the file holds");
    m_claimed.assign(m_sectorCount, false);
    auto claim = [&](DWORD sector, const char* what) {
        if (sector >= m_sectorCount)
            Damaged(std::string("a sector of the ") + what + " lies outside the file");
        if (m_claimed[sector])
            Damaged(std::string("the ") + what + " loops or shares a sector with another chain");
        m_claimed[sector] = true;
    };

    std::vector<DWORD> fatList;
    fatList.reserve(fatSectors);
    for (std::size_t i = 0; i < kHeaderDifatCount && fatList.size() < fatSectors; ++i)
        fatList.push_back(GetU32(m_header + 76 + 4 * i));
    const std::size_t perSector = m_sectorSize / 4;
    std::vector<BYTE> buffer(m_sectorSize);
    DWORD next = difatStart;
    DWORD seen = 0;
    while (fatList.size() < fatSectors) {
        if (next == kEndOfChain || next == kFreeSect || seen >= difatSectors)
            Damaged("the allocation table extension ends before all its sectors are listed");
        claim(next, "allocation table extension");
        ++seen;
        ReadSector(next, buffer.data());
        for (std::size_t i = 0; i + 1 < perSector && fatList.size() < fatSectors; ++i)
            fatList.push_back(GetU32(buffer.data() + 4 * i));
        next = GetU32(buffer.data() + m_sectorSize - 4);
    }

    for (DWORD sector : fatList)
        claim(sector, "allocation table");
    std::vector<BYTE> table = ReadSectors(fatList);
    m_fat.resize(std::size_t(fatSectors) * perSector);
    for (std::size_t i = 0; i < m_fat.size(); ++i)
        m_fat[i] = GetU32(table.data() + 4 * i);
}

std::vector<BYTE> CCompoundFileReader::ReadSectors(const std::vector<DWORD>& sectors)
{
    std::vector<BYTE> out(sectors.size() * m_sectorSize);
    std::size_t i = 0;
    while (i < sectors.size()) {
        std::size_t j = i + 1;
        while (j < sectors.size() && sectors[j] == sectors[j - 1] + 1)
            ++j;
        ReadAt(SectorOffset(sectors[i]), out.data() + i * m_sectorSize, (j - i) * m_sectorSize);
        i = j;
    }
    return out;
}

std::vector<DWORD> CCompoundFileReader::Chain(DWORD start, std::uint64_t count, const char* what)
{
    std::vector<DWORD> chain;
    DWORD s = start;
    while (count == 0 ? s != kEndOfChain : chain.size() < count) {
        if (s == kEndOfChain)
            Damaged(std::string("the ") + what + " is shorter than its size");
        if (s >= m_sectorCount || s >= m_fat.size())
            Damaged(std::string("a sector of the ") + what + " lies outside the file");
        if (m_claimed[s])
            Damaged(std::string("the sector chain of the ") + what + " loops or runs into another chain");
        m_claimed[s] = true;
        chain.push_back(s);
        s = m_fat[s];
    }
    return chain;
}

void CCompoundFileReader::ReadChain(DWORD start, std::uint64_t size, std::vector<BYTE>& bytes, const char* what)
{
    if (size > std::uint64_t(m_sectorCount) * m_sectorSize)
        Damaged(std::string("the ") + what + " is larger than the file");
    std::vector<DWORD> chain = Chain(start, DivUp(size, m_sectorSize), what);
    bytes.resize(std::size_t(size));
    BYTE* out = bytes.data();
    // Consecutive sectors are read in one call: a file written in one go keeps
    // each stream's sectors together, so large streams take few reads.
    std::uint64_t done = 0;
    std::size_t i = 0;
    while (i < chain.size()) {
        std::size_t j = i + 1;
        while (j < chain.size() && chain[j] == chain[j - 1] + 1)
            ++j;
        std::uint64_t bytes = std::min<std::uint64_t>(std::uint64_t(j - i) * m_sectorSize, size - done);
        ReadAt(SectorOffset(chain[i]), out + done, std::size_t(bytes));
        done += bytes;
        i = j;
    }
}

void CCompoundFileReader::ReadDirectory()
{
    std::vector<DWORD> chain = Chain(GetU32(m_header + 48), 0, "directory");
    if (chain.empty())
        Damaged("the directory is empty");
    const std::size_t perSector = m_sectorSize / kEntryBytes;
    m_entries.reserve(chain.size() * perSector);
    std::vector<BYTE> directory = ReadSectors(chain);
    for (std::size_t sector = 0; sector < chain.size(); ++sector) {
        for (std::size_t k = 0; k < perSector; ++k) {
            const BYTE* p = directory.data() + (sector * perSector + k) * kEntryBytes;
            Entry e;
            e.type = p[66];
            WORD nameBytes = GetU16(p + 64);
            if (e.type != typeUnused) {
                if (nameBytes > 64 || nameBytes % 2 != 0)
                    Damaged("a directory entry has an invalid name length");
                std::size_t units = nameBytes >= 2 ? nameBytes / 2 - 1 : 0;
                for (std::size_t c = 0; c < units && GetU16(p + 2 * c) != 0; ++c)
                    e.name += char16_t(GetU16(p + 2 * c));
            }
            e.left = GetU32(p + 68);
            e.right = GetU32(p + 72);
            e.child = GetU32(p + 76);
            e.clsid = GetGuid(p + 80);
            e.stateBits = GetU32(p + 96);
            e.created = GetFileTime(p + 100);
            e.modified = GetFileTime(p + 108);
            e.start = GetU32(p + 116);
            e.size = GetU64(p + 120);
            // Old writers leave the high half of a version-3 size undefined.
            if (m_version == 3)
                e.size &= 0xFFFFFFFFu;
            m_entries.push_back(std::move(e));
        }
    }
    if (m_entries[0].type != typeRoot)
        Damaged("the first directory entry is not the root storage");
}

void CCompoundFileReader::ReadMiniStream()
{
    const Entry& root = m_entries[0];
    if (root.size > 0)
        ReadChain(root.start, root.size, m_miniStream, "mini stream");

    DWORD miniFatStart = GetU32(m_header + 60);
    if (miniFatStart == kEndOfChain || miniFatStart == kFreeSect)
        return;
    std::vector<DWORD> chain = Chain(miniFatStart, 0, "mini allocation table");
    const std::size_t perSector = m_sectorSize / 4;
    std::vector<BYTE> table = ReadSectors(chain);
    m_miniFat.resize(chain.size() * perSector);
    for (std::size_t i = 0; i < m_miniFat.size(); ++i)
        m_miniFat[i] = GetU32(table.data() + 4 * i);
    m_miniClaimed.assign(m_miniFat.size(), false);
}

std::shared_ptr<CStreamData> CCompoundFileReader::ReadStreamData(const Entry& e)
{
    if (e.size == 0)
        return std::make_shared<CStreamData>();
    if (e.size < kMiniStreamCutoff) {
        std::vector<BYTE> out(std::size_t(e.size));
        std::uint64_t miniSectors = m_miniStream.size() / kMiniSectorBytes;
        DWORD s = e.start;
        std::uint64_t done = 0;
        while (done < e.size) {
            if (s == kEndOfChain)
                Damaged("a small stream is shorter than its size");
            if (s >= m_miniFat.size() || s >= miniSectors)
                Damaged("a small stream lies outside the mini stream");
            if (m_miniClaimed[s])
                Damaged("the mini sector chain of a stream loops or runs into another");
            m_miniClaimed[s] = true;
            std::size_t n = std::size_t(std::min<std::uint64_t>(kMiniSectorBytes, e.size - done));
            std::memcpy(out.data() + done, m_miniStream.data() + std::size_t(s) * kMiniSectorBytes, n);
            done += n;
            s = m_miniFat[s];
        }
        return std::make_shared<CStreamData>(std::move(out));
    }
    if (m_source) {
        // The chain is checked now, so that damage shows when the file is
        // opened, not when the stream is first read.
        if (e.size > std::uint64_t(m_sectorCount) * m_sectorSize)
            Damaged("the stream is larger than the file");
        std::vector<DWORD> chain = Chain(e.start, DivUp(e.size, m_sectorSize), "stream");
        std::vector<CStreamData::Extent> extents;
        std::uint64_t left = e.size;
        for (DWORD sector : chain) {
            std::uint64_t n = std::min<std::uint64_t>(m_sectorSize, left);
            std::uint64_t offset = SectorOffset(sector);
            if (offset + n > m_fileLength)
                Damaged("the file is truncated");
            if (!extents.empty() && extents.back().offset + extents.back().length == offset)
                extents.back().length += n;
            else
                extents.push_back({offset, n});
            left -= n;
        }
        return std::make_shared<CStreamData>(m_source, std::move(extents), e.size);
    }
    std::vector<BYTE> out;
    ReadChain(e.start, e.size, out, "stream");
    return std::make_shared<CStreamData>(std::move(out));
}

void CCompoundFileReader::Build(CStorage& root)
{
    std::vector<bool> visited(m_entries.size(), false);
    visited[0] = true;
    root.m_clsid = m_entries[0].clsid;
    root.m_stateBits = m_entries[0].stateBits;
    root.m_created = m_entries[0].created;
    root.m_modified = m_entries[0].modified;

    // Work lists instead of recursion: a hostile file may nest storages or
    // chain siblings as deep as it likes.
    struct Pending {
        DWORD child;
        CStorage* storage;
    };
    std::vector<Pending> storages{{m_entries[0].child, &root}};
    std::vector<DWORD> tree;
    while (!storages.empty()) {
        Pending p = storages.back();
        storages.pop_back();
        tree.clear();
        if (p.child != kNoStream)
            tree.push_back(p.child);
        while (!tree.empty()) {
            DWORD id = tree.back();
            tree.pop_back();
            if (id >= m_entries.size())
                Damaged("a directory entry refers to an entry outside the directory");
            if (visited[id])
                Damaged("the directory contains a cycle");
            visited[id] = true;
            const Entry& e = m_entries[id];
            if (e.type != typeStorage && e.type != typeStream)
                Damaged("a directory entry of an unknown type is linked into a storage");
            if (e.left != kNoStream)
                tree.push_back(e.left);
            if (e.right != kNoStream)
                tree.push_back(e.right);
            if (e.name.empty())
                Damaged("a directory entry has no name");
            // A name that is not valid UTF-16 is taken with U+FFFD in place of
            // its stray surrogates, so that it can be looked up by its UTF-8 form.
            std::string name = Utf16ToUtf8(e.name);
            std::u16string name16 = Utf8ToUtf16(name);
            std::u16string key = CStorage::KeyOf(name16);
            if (p.storage->m_elements.count(key))
                Damaged("a storage holds two elements of the same name");
            CStorage::Element& el = p.storage->m_elements[key];
            el.name16 = std::move(name16);
            el.name = std::move(name);
            if (e.type == typeStorage) {
                el.storage = std::make_unique<CStorage>(el.name, p.storage->m_slot);
                el.storage->m_clsid = e.clsid;
                el.storage->m_stateBits = e.stateBits;
                el.storage->m_created = e.created;
                el.storage->m_modified = e.modified;
                storages.push_back({e.child, el.storage.get()});
            } else {
                el.data = ReadStreamData(e);
            }
        }
    }
}

void CCompoundFileReader::Read(CStorage& root, int& version)
{
    ReadHeader();
    ReadFat();
    ReadDirectory();
    ReadMiniStream();
    Build(root);
    version = m_version;
}

// ---------------------------------------------------------------------------
// Writing

namespace {

// Collects output into large writes; big blocks of stream data go straight
// through so that they are not copied once more.
class SectorSink {
public:
    explicit SectorSink(CFile& file)
        : m_file(file)
    {
        m_buffer.reserve(kBufferBytes);
    }
    void Put(const void* data, std::size_t count)
    {
        if (count >= kBufferBytes) {
            Flush();
            m_file.Write(data, count);
            return;
        }
        if (m_buffer.size() + count > kBufferBytes)
            Flush();
        const BYTE* p = static_cast<const BYTE*>(data);
        m_buffer.insert(m_buffer.end(), p, p + count);
    }
    void Zeros(std::size_t count)
    {
        while (count > 0) {
            if (m_buffer.size() == kBufferBytes)
                Flush();
            std::size_t n = std::min(count, kBufferBytes - m_buffer.size());
            m_buffer.insert(m_buffer.end(), n, BYTE(0));
            count -= n;
        }
    }
    void Flush()
    {
        if (!m_buffer.empty())
            m_file.Write(m_buffer.data(), m_buffer.size());
        m_buffer.clear();
    }

private:
    static constexpr std::size_t kBufferBytes = 1 << 20;
    CFile& m_file;
    std::vector<BYTE> m_buffer;
};

} // namespace

class CCompoundFileWriter {
public:
    // With a pending file, streams already in it stay where they are and the
    // rest of the file is written after them.
    CCompoundFileWriter(const CStorage& root, int version, CPendingFile* pending = nullptr);
    std::uint64_t FileSize() const { return std::uint64_t(m_totalSectors + 1) * m_sectorSize; }
    // Writes the whole file from its start or, with a pending file, the part
    // after its data and then the header.
    void Write(CFile& file);

private:
    struct Entry {
        const std::u16string* name = nullptr;
        BYTE type = typeUnused;
        BYTE color = black;
        DWORD left = kNoStream, right = kNoStream, child = kNoStream;
        const CStorage* storage = nullptr;
        CStreamData* data = nullptr;
        DWORD start = kEndOfChain;
        std::uint64_t size = 0;
    };
    void CollectEntries(const CStorage& root);
    // Links ids[first, last) into a balanced binary tree and returns its root.
    // Nodes of the deepest level are red, all others black: every path from
    // the root to a leaf then meets the same number of black nodes.
    DWORD LinkTree(const std::vector<DWORD>& ids, std::size_t first, std::size_t last, int depth, int deepest);
    void Layout();
    void Chain(DWORD start, std::uint64_t count);
    void WriteEntry(BYTE* p, const Entry& e) const;
    void MakeHeader(BYTE* header) const;

    static const std::u16string kRootName;
    int m_version;
    std::size_t m_sectorSize;
    CPendingFile* m_pending;
    std::vector<Entry> m_entries;
    std::vector<DWORD> m_miniStreams; // entries kept in the mini stream
    std::vector<DWORD> m_bigStreams;  // entries written with the file
    std::vector<DWORD> m_placed;      // entries already in the pending file
    std::uint64_t m_miniSectors = 0;
    DWORD m_base = 0; // first sector written
    DWORD m_fatSectors = 0, m_difatSectors = 0, m_dirSectors = 0, m_miniFatSectors = 0, m_miniStreamSectors = 0;
    DWORD m_firstFat = 0, m_firstDir = 0, m_firstMiniFat = kEndOfChain, m_firstDifat = kEndOfChain;
    DWORD m_totalSectors = 0;
    std::vector<DWORD> m_fat;
};

const std::u16string CCompoundFileWriter::kRootName = u"Root Entry";

CCompoundFileWriter::CCompoundFileWriter(const CStorage& root, int version, CPendingFile* pending)
    : m_version(version)
    , m_sectorSize(version == 4 ? 4096 : 512)
    , m_pending(pending)
{
    CollectEntries(root);
    Layout();
}

DWORD CCompoundFileWriter::LinkTree(const std::vector<DWORD>& ids, std::size_t first, std::size_t last, int depth,
                                    int deepest)
{
    if (first >= last)
        return kNoStream;
    std::size_t mid = first + (last - first) / 2;
    Entry& e = m_entries[ids[mid]];
    e.color = depth == deepest && depth > 0 ? red : black;
    e.left = LinkTree(ids, first, mid, depth + 1, deepest);
    e.right = LinkTree(ids, mid + 1, last, depth + 1, deepest);
    return ids[mid];
}

void CCompoundFileWriter::CollectEntries(const CStorage& root)
{
    Entry r;
    r.name = &kRootName;
    r.type = typeRoot;
    r.storage = &root;
    m_entries.push_back(r);
    // Breadth first, each storage's children given consecutive ids in
    // directory order, so that the tree over them is built from a sorted run.
    std::vector<DWORD> queue{0};
    std::vector<DWORD> ids;
    for (std::size_t q = 0; q < queue.size(); ++q) {
        DWORD parent = queue[q];
        const CStorage& storage = *m_entries[parent].storage;
        ids.clear();
        for (const auto& [key, el] : storage.m_elements) {
            Entry e;
            e.name = &el.name16;
            if (el.storage) {
                e.type = typeStorage;
                e.storage = el.storage.get();
                queue.push_back(DWORD(m_entries.size()));
            } else {
                e.type = typeStream;
                e.data = el.data.get();
                e.size = el.data->Size();
            }
            ids.push_back(DWORD(m_entries.size()));
            m_entries.push_back(e);
            if (m_entries.size() > kMaxRegSect)
                throw CFileException(CFileException::diskFull);
        }
        int deepest = 0;
        for (std::size_t n = ids.size(); n > 1; n /= 2)
            ++deepest;
        // A full last level makes every leaf equally deep; it can stay black.
        if (ids.size() + 1 == (std::size_t(1) << (deepest + 1)))
            deepest = -1;
        m_entries[parent].child = LinkTree(ids, 0, ids.size(), 0, deepest);
    }
}

void CCompoundFileWriter::Chain(DWORD start, std::uint64_t count)
{
    for (std::uint64_t k = 0; k < count; ++k)
        m_fat[start + k] = k + 1 < count ? DWORD(start + k + 1) : kEndOfChain;
}

void CCompoundFileWriter::Layout()
{
    for (DWORD id = 0; id < m_entries.size(); ++id) {
        Entry& e = m_entries[id];
        if (e.type != typeStream || e.size == 0)
            continue;
        if (e.size < kMiniStreamCutoff)
            m_miniStreams.push_back(id);
        else if (m_pending && e.data->GetPending() == m_pending)
            m_placed.push_back(id);
        else
            m_bigStreams.push_back(id);
    }
    for (DWORD id : m_miniStreams) {
        Entry& e = m_entries[id];
        e.start = DWORD(m_miniSectors);
        m_miniSectors += DivUp(e.size, kMiniSectorBytes);
    }
    const std::uint64_t perSector = m_sectorSize / 4;
    // Written after the data already in the pending file, or from the first sector.
    std::uint64_t next = m_pending ? DivUp(m_pending->End(), m_sectorSize) - 1 : 0;
    m_base = DWORD(next);
    for (DWORD id : m_placed) {
        Entry& e = m_entries[id];
        e.start = DWORD(e.data->GetExtents()[0].offset / m_sectorSize - 1);
    }
    for (DWORD id : m_bigStreams) {
        Entry& e = m_entries[id];
        e.start = DWORD(next);
        next += DivUp(e.size, m_sectorSize);
    }
    m_miniStreamSectors = DWORD(DivUp(m_miniSectors * kMiniSectorBytes, m_sectorSize));
    m_entries[0].start = m_miniStreamSectors ? DWORD(next) : kEndOfChain;
    m_entries[0].size = m_miniSectors * kMiniSectorBytes;
    next += m_miniStreamSectors;
    m_dirSectors = DWORD(DivUp(m_entries.size() * kEntryBytes, m_sectorSize));
    m_firstDir = DWORD(next);
    next += m_dirSectors;
    m_miniFatSectors = DWORD(DivUp(m_miniSectors, perSector));
    m_firstMiniFat = m_miniFatSectors ? DWORD(next) : kEndOfChain;
    next += m_miniFatSectors;
    // The table must also cover its own sectors and those of its extension.
    std::uint64_t fat = 0, difat = 0;
    for (;;) {
        std::uint64_t needFat = DivUp(next + fat + difat, perSector);
        std::uint64_t needDifat = needFat > kHeaderDifatCount ? DivUp(needFat - kHeaderDifatCount, perSector - 1) : 0;
        if (needFat == fat && needDifat == difat)
            break;
        fat = needFat;
        difat = needDifat;
    }
    if (next + fat + difat > kMaxRegSect)
        throw CFileException(CFileException::diskFull);
    m_fatSectors = DWORD(fat);
    m_difatSectors = DWORD(difat);
    m_firstFat = DWORD(next);
    m_firstDifat = m_difatSectors ? DWORD(next + fat) : kEndOfChain;
    m_totalSectors = DWORD(next + fat + difat);

    // Sectors before the written part that no stream uses (dropped data in
    // the pending file) stay free.
    m_fat.assign(std::size_t(m_fatSectors) * perSector, kFreeSect);
    for (DWORD id : m_placed)
        Chain(m_entries[id].start, DivUp(m_entries[id].size, m_sectorSize));
    for (DWORD id : m_bigStreams)
        Chain(m_entries[id].start, DivUp(m_entries[id].size, m_sectorSize));
    if (m_miniStreamSectors)
        Chain(m_entries[0].start, m_miniStreamSectors);
    Chain(m_firstDir, m_dirSectors);
    if (m_miniFatSectors)
        Chain(m_firstMiniFat, m_miniFatSectors);
    for (DWORD k = 0; k < m_fatSectors; ++k)
        m_fat[m_firstFat + k] = kFatSect;
    for (DWORD k = 0; k < m_difatSectors; ++k)
        m_fat[m_firstDifat + k] = kDifSect;
}

void CCompoundFileWriter::WriteEntry(BYTE* p, const Entry& e) const
{
    std::memset(p, 0, kEntryBytes);
    if (e.type != typeUnused) {
        for (std::size_t i = 0; i < e.name->size(); ++i)
            PutU16(p + 2 * i, (*e.name)[i]);
        PutU16(p + 64, WORD((e.name->size() + 1) * 2));
    }
    p[66] = e.type;
    p[67] = e.type == typeUnused ? BYTE(red) : e.color;
    PutU32(p + 68, e.left);
    PutU32(p + 72, e.right);
    PutU32(p + 76, e.child);
    if (e.storage) {
        PutGuid(p + 80, e.storage->m_clsid);
        PutU32(p + 96, e.storage->m_stateBits);
        if (e.type == typeStorage) {
            PutFileTime(p + 100, e.storage->m_created);
            PutFileTime(p + 108, e.storage->m_modified);
        } else {
            // The root keeps no creation time.
            PutFileTime(p + 108, e.storage->m_modified);
        }
    }
    if (e.type != typeUnused && e.type != typeStorage) {
        PutU32(p + 116, e.start);
        PutU64(p + 120, e.size);
    }
}

void CCompoundFileWriter::MakeHeader(BYTE* header) const
{
    std::memset(header, 0, kHeaderBytes);
    std::memcpy(header, kSignature, 8);
    PutU16(header + 24, 0x003E);
    PutU16(header + 26, WORD(m_version));
    PutU16(header + 28, 0xFFFE);
    PutU16(header + 30, m_version == 4 ? 12 : 9);
    PutU16(header + 32, 6);
    PutU32(header + 40, m_version == 4 ? m_dirSectors : 0);
    PutU32(header + 44, m_fatSectors);
    PutU32(header + 48, m_firstDir);
    PutU32(header + 56, DWORD(kMiniStreamCutoff));
    PutU32(header + 60, m_firstMiniFat);
    PutU32(header + 64, m_miniFatSectors);
    PutU32(header + 68, m_firstDifat);
    PutU32(header + 72, m_difatSectors);
    for (std::size_t i = 0; i < kHeaderDifatCount; ++i)
        PutU32(header + 76 + 4 * i, i < m_fatSectors ? DWORD(m_firstFat + i) : kFreeSect);
}

void CCompoundFileWriter::Write(CFile& file)
{
    const std::size_t perSector = m_sectorSize / 4;
    BYTE header[kHeaderBytes];
    MakeHeader(header);
    SectorSink out(file);
    if (m_pending) {
        file.Seek(std::int64_t(std::uint64_t(m_base + 1) * m_sectorSize), CFile::begin);
    } else {
        out.Put(header, kHeaderBytes);
        out.Zeros(m_sectorSize - kHeaderBytes);
    }

    // Large streams.
    for (DWORD id : m_bigStreams) {
        const Entry& e = m_entries[id];
        e.data->ForEachBlock(kCopyBlock, [&](const BYTE* p, std::size_t n) { out.Put(p, n); });
        out.Zeros(std::size_t(DivUp(e.size, m_sectorSize) * m_sectorSize - e.size));
    }

    // Mini stream.
    for (DWORD id : m_miniStreams) {
        const Entry& e = m_entries[id];
        e.data->ForEachBlock(kCopyBlock, [&](const BYTE* p, std::size_t n) { out.Put(p, n); });
        out.Zeros(std::size_t(DivUp(e.size, kMiniSectorBytes) * kMiniSectorBytes - e.size));
    }
    out.Zeros(std::size_t(std::uint64_t(m_miniStreamSectors) * m_sectorSize - m_miniSectors * kMiniSectorBytes));

    // Directory, padded with unused entries.
    BYTE entry[kEntryBytes];
    for (const Entry& e : m_entries) {
        WriteEntry(entry, e);
        out.Put(entry, kEntryBytes);
    }
    for (std::size_t k = m_entries.size(); k < std::size_t(m_dirSectors) * (m_sectorSize / kEntryBytes); ++k) {
        WriteEntry(entry, Entry{});
        out.Put(entry, kEntryBytes);
    }

    // Mini allocation table.
    std::vector<BYTE> sector(m_sectorSize);
    std::size_t fill = 0;
    std::uint64_t miniIndex = 0;
    for (DWORD id : m_miniStreams) {
        std::uint64_t count = DivUp(m_entries[id].size, kMiniSectorBytes);
        for (std::uint64_t k = 0; k < count; ++k, ++miniIndex) {
            PutU32(sector.data() + fill, k + 1 < count ? DWORD(miniIndex + 1) : kEndOfChain);
            fill += 4;
            if (fill == m_sectorSize) {
                out.Put(sector.data(), m_sectorSize);
                fill = 0;
            }
        }
    }
    if (fill != 0) {
        std::memset(sector.data() + fill, 0xFF, m_sectorSize - fill);
        out.Put(sector.data(), m_sectorSize);
    }

    // Allocation table.
    for (std::size_t i = 0; i < m_fat.size(); ++i) {
        PutU32(sector.data() + 4 * (i % perSector), m_fat[i]);
        if ((i + 1) % perSector == 0)
            out.Put(sector.data(), m_sectorSize);
    }

    // Extension of the table's sector list beyond the header's 109 places.
    for (DWORD k = 0; k < m_difatSectors; ++k) {
        for (std::size_t i = 0; i + 1 < perSector; ++i) {
            std::uint64_t fatIndex = kHeaderDifatCount + std::uint64_t(k) * (perSector - 1) + i;
            PutU32(sector.data() + 4 * i, fatIndex < m_fatSectors ? DWORD(m_firstFat + fatIndex) : kFreeSect);
        }
        PutU32(sector.data() + m_sectorSize - 4, k + 1 < m_difatSectors ? m_firstDifat + k + 1 : kEndOfChain);
        out.Put(sector.data(), m_sectorSize);
    }
    out.Flush();

    if (m_pending) {
        file.Seek(0, CFile::begin);
        file.Write(header, kHeaderBytes);
    }
}

// ---------------------------------------------------------------------------

CCompoundFile::CCompoundFile()
    : m_slot(std::make_shared<CPendingSlot>())
    , m_root(std::make_unique<CStorage>("Root Entry", m_slot))
{
}

CCompoundFile::CCompoundFile(const std::string& path)
    : CCompoundFile()
{
    Open(path);
}

CCompoundFile::~CCompoundFile() = default;
CCompoundFile::CCompoundFile(CCompoundFile&&) noexcept = default;
CCompoundFile& CCompoundFile::operator=(CCompoundFile&&) noexcept = default;

void CCompoundFile::Open(const std::string& path)
{
    // The file stays open: large streams are read from it when they are
    // used. Saving replaces the file by renaming, so the open file keeps the
    // old contents those streams refer to.
    auto file = std::make_shared<CDiskFile>(path, CDiskFile::modeRead);
    CPendingFile::RemoveStaleTemporaries(FolderOfPath(path));
    auto root = std::make_unique<CStorage>("Root Entry", m_slot);
    int version = 3;
    CCompoundFileReader reader(*file, path, file);
    reader.Read(*root, version);
    m_root = std::move(root);
    m_version = version;
    SetPath(path);
}

void CCompoundFile::Load(CFile& file, const std::string& name)
{
    auto root = std::make_unique<CStorage>("Root Entry", m_slot);
    int version = 3;
    CCompoundFileReader reader(file, name);
    reader.Read(*root, version);
    m_root = std::move(root);
    m_version = version;
}

void CCompoundFile::LoadBytes(const void* bytes, std::size_t count)
{
    CMemFile file(bytes, count);
    Load(file);
}

void CCompoundFile::SetPath(const std::string& path)
{
    m_path = path;
    // Streams written from now on go ahead to a file beside this path.
    // Streams already in an earlier pending file keep it alive as long as they need it.
    m_slot->current = path.empty() ? nullptr : std::make_shared<CPendingFile>(path);
}

void CCompoundFile::PrepareSaveAs(const std::string& path)
{
    if (path.empty() || (m_slot->current && m_slot->current->GetTarget() == path))
        return;
    // Streams already in an earlier pending file keep it alive as long as they need it.
    m_slot->current = std::make_shared<CPendingFile>(path);
}

void CCompoundFile::SetVersion(int version)
{
    if (version != 3 && version != 4)
        throw CFileException(CFileException::genericException);
    m_version = version;
}

std::uint64_t CCompoundFile::GetFileSize() const
{
    return CCompoundFileWriter(*m_root, m_version).FileSize();
}

void CCompoundFile::WriteTo(CFile& file) const
{
    CCompoundFileWriter(*m_root, m_version).Write(file);
}

std::vector<BYTE> CCompoundFile::ToBytes() const
{
    CCompoundFileWriter writer(*m_root, m_version);
    CMemFile file;
    file.SetLength(writer.FileSize());
    file.SeekToBegin();
    writer.Write(file);
    return file.Detach();
}

void CCompoundFile::Save()
{
    if (m_path.empty())
        throw CFileException(CFileException::badPath);
    SaveAs(m_path);
}

namespace {

// Forces a rename into the folder's own record, so that it survives a crash.
void SyncFolderOf(const std::string& path)
{
    int fd = ::open(FolderOfPath(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

void CCompoundFile::SaveAs(const std::string& path)
{
    // What a killed save of an earlier process left in this folder goes.
    CPendingFile::RemoveStaleTemporaries(FolderOfPath(path));
    CPendingFile* pending = m_slot->current.get();
    if (pending && pending->HasFile() && FolderOfPath(pending->GetTarget()) == FolderOfPath(path)) {
        // The streams written since the last save are in the pending file
        // already: add the rest after them, then the header, and put the
        // file in the target's place.
        pending->Flush();
        const std::uint64_t end = pending->End();
        try {
            CCompoundFileWriter writer(*m_root, m_version, pending);
            CDiskFile& file = *pending->File();
            writer.Write(file);
            file.Flush();
            pending->PutInPlace(path);
        } catch (...) {
            pending->Restore(end);
            throw;
        }
        pending->MarkCommitted();
    } else {
        // A new file beside the target (same folder, so the rename cannot
        // cross file systems), with the target's permissions when it exists.
        CCompoundFileWriter writer(*m_root, m_version);
        const CPendingFile::Temp temp = CPendingFile::OpenTempBeside(path);
        CDiskFile file;
        file.Attach(temp.fd, path);
        try {
            writer.Write(file);
            file.Flush();
            CPendingFile::PutTempInPlace(temp, path);
        } catch (...) {
            if (!temp.path.empty())
                ::unlink(temp.path.c_str());
            throw;
        }
    }
    SyncFolderOf(path);
    SetPath(path);
}
