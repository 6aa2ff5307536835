#include "platform/Archive.h"
#include "platform/CompoundFile.h"
#include "platform/Exceptions.h"
#include "platform/PendingFile.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <fstream>
#include <random>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Deterministic contents that differ per stream and per byte, so that a
// stream read from the wrong sector or shifted by one is noticed.
Bytes Pattern(std::size_t size, unsigned seed)
{
    Bytes b(size);
    std::uint32_t x = seed * 2654435761u + 1;
    for (std::size_t i = 0; i < size; ++i) {
        x = x * 1664525u + 1013904223u;
        b[i] = BYTE(x >> 24);
    }
    return b;
}

void PutStream(CStorage& storage, const std::string& name, const Bytes& bytes)
{
    auto s = storage.CreateStream(name);
    s->Write(bytes.data(), bytes.size());
}

Bytes StreamBytes(CStorage& storage, const std::string& name)
{
    auto s = storage.OpenStream(name);
    if (!s)
        return Bytes{0xDE, 0xAD}; // never a stream's contents in these tests
    Bytes b(s->GetLength());
    EXPECT_EQ(s->Read(b.data(), b.size()), b.size());
    return b;
}

std::string Hex(unsigned v)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%X", v);
    return buf;
}

DWORD U32(const Bytes& b, std::size_t at) { return DWORD(b[at]) | DWORD(b[at + 1]) << 8 | DWORD(b[at + 2]) << 16 | DWORD(b[at + 3]) << 24; }
void SetU32(Bytes& b, std::size_t at, DWORD v) { for (int i = 0; i < 4; ++i) b[at + i] = BYTE(v >> (8 * i)); }
void SetU16(Bytes& b, std::size_t at, WORD v) { b[at] = BYTE(v); b[at + 1] = BYTE(v >> 8); }

// A folder of its own for each test, removed afterwards.
class TempDir {
public:
    TempDir()
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_path = fs::temp_directory_path()
            / ("marlox-cfb-" + std::to_string(::getpid()) + "-" + info->test_suite_name() + "-" + info->name());
        fs::remove_all(m_path);
        fs::create_directories(m_path);
    }
    ~TempDir() { fs::remove_all(m_path); }
    std::string operator/(const std::string& name) const { return (m_path / name).string(); }
    std::size_t Count() const { return std::size_t(std::distance(fs::directory_iterator(m_path), fs::directory_iterator())); }
    const fs::path& Path() const { return m_path; }

private:
    fs::path m_path;
};

// Temporaries are named files while one lives, as on a file system without
// unnamed files, so that a test can see them.
struct NamedTemporaries {
    NamedTemporaries() { CPendingFile::AllowUnnamedTemporaries(false); }
    ~NamedTemporaries() { CPendingFile::AllowUnnamedTemporaries(true); }
};

Bytes ReadDiskFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteDiskFile(const std::string& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// Expects a clean refusal of a damaged file, read from memory and from the
// disk (where large streams stay in the file): an archive exception whose text says so.
void ExpectRefused(const Bytes& bytes, const std::string& label)
{
    std::string path = (fs::temp_directory_path() / ("marlox-cfb-damaged-" + std::to_string(::getpid()))).string();
    WriteDiskFile(path, bytes);
    for (bool fromDisk : {false, true}) {
        CCompoundFile file;
        try {
            if (fromDisk)
                file.Open(path);
            else
                file.LoadBytes(bytes.data(), bytes.size());
            ADD_FAILURE() << label << ": the damaged file was accepted" << (fromDisk ? " from the disk" : "");
        } catch (const CArchiveException& e) {
            EXPECT_EQ(e.m_cause, CArchiveException::genericException) << label;
            std::string text = e.GetText();
            EXPECT_TRUE(text.find("damaged") != std::string::npos
                        || text.find("not a compound file") != std::string::npos)
                << label << ": " << text;
        }
    }
    fs::remove(path);
}

// The python interpreter that has olefile, or empty.
std::string OlefilePython()
{
    for (const char* py : {"/usr/bin/python3", "python3"}) {
        std::string cmd = std::string(py) + " -c 'import olefile' >/dev/null 2>&1";
        if (std::system(cmd.c_str()) == 0)
            return py;
    }
    return {};
}

std::string JsonString(const std::string& s)
{
    std::string out = "\"";
    for (unsigned char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
        } else if (c < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else {
            out += char(c);
        }
    }
    return out + "\"";
}

// Runs the olefile check on a file and returns its output; "OK\n" when everything matched.
std::string RunOlefileCheck(const std::string& python, const std::string& mode, const std::string& file,
                            const std::string& expected)
{
    std::string cmd = python + " " + MARLOX_TEST_SCRIPTS "/olefile_check.py " + mode + " '" + file + "' '" + expected + "' 2>&1";
    std::string out;
    FILE* p = ::popen(cmd.c_str(), "r");
    if (!p)
        return "popen failed";
    char buf[512];
    while (std::fgets(buf, sizeof buf, p))
        out += buf;
    int rc = ::pclose(p);
    if (rc != 0 && out == "OK\n")
        out += "exit status " + std::to_string(rc);
    return out;
}

// A small file with every kind of element: small and large streams, nested storages.
CCompoundFile MakeSample()
{
    CCompoundFile f;
    PutStream(f.Root(), "Contents", Pattern(300, 1));
    PutStream(f.Root(), "Item_1A", Pattern(5000, 2));
    PutStream(f.Root(), "\005SummaryInformation", Pattern(100, 3));
    CStorage* s = f.Root().CreateStorage("ObjectPool");
    CStorage* inner = s->CreateStorage("_1234");
    PutStream(*inner, "\001Ole", Pattern(20, 4));
    PutStream(*inner, "CONTENTS", Pattern(9000, 5));
    return f;
}

// Writes streams with the path set, so that the large ones go ahead to the
// pending file: one after another, interleaved, rewritten, cut, destroyed.
void FillAhead(CCompoundFile& f, const std::string& path)
{
    f.SetPath(path);
    PutStream(f.Root(), "First", Pattern(100000, 31));
    PutStream(f.Root(), "Gone", Pattern(50000, 32));
    PutStream(f.Root(), "Small", Pattern(1000, 33));
    auto a = f.Root().CreateStream("A");
    auto b = f.Root().CreateStream("B");
    Bytes pa = Pattern(30000, 34), pb = Pattern(30000, 35);
    for (std::size_t at = 0; at < pa.size(); at += 5000) {
        a->Write(pa.data() + at, 5000);
        b->Write(pb.data() + at, 5000);
    }
    a->Seek(10, CFile::begin);
    a->Write("rewritten", 9);
    b->SetLength(20000);
    f.Root().DestroyElement("Gone");
    PutStream(f.Root(), "First", Pattern(70000, 36)); // replaces the first one
    CStorage* sub = f.Root().CreateStorage("Sub");
    PutStream(*sub, "Inner", Pattern(9000, 37));
}

} // namespace

TEST(CompoundFile, StreamCountsRoundTrip)
{
    for (unsigned count : {0u, 1u, 100u, 10000u}) {
        CCompoundFile f;
        for (unsigned i = 1; i <= count; ++i)
            PutStream(f.Root(), "Item_" + Hex(i), Pattern(i % 300, i));
        Bytes bytes = f.ToBytes();
        CCompoundFile back;
        back.LoadBytes(bytes.data(), bytes.size());
        auto elements = back.Root().EnumElements();
        ASSERT_EQ(elements.size(), count);
        for (unsigned i = 1; i <= count; ++i)
            ASSERT_EQ(StreamBytes(back.Root(), "Item_" + Hex(i)), Pattern(i % 300, i)) << count << " " << i;
    }
}

TEST(CompoundFile, StreamSizesRoundTripAcrossTheMiniStreamCutoff)
{
    // Expected file sizes by hand, 512-byte sectors after a 512-byte header:
    // 0 bytes: FAT + directory = 2 sectors; 1 byte: + mini table + one mini
    // stream sector = 4; 4095 bytes: 64 mini sectors = 8 sectors, so 1+1+1+8 =
    // 11; 4096 bytes: no mini stream, 8 own sectors, 1+1+8 = 10; 4097: 9 own = 11.
    struct Case {
        std::size_t size;
        std::uint64_t fileSize;
    } cases[] = {{0, 3 * 512}, {1, 5 * 512}, {4095, 12 * 512}, {4096, 11 * 512}, {4097, 12 * 512}};
    for (const Case& c : cases) {
        CCompoundFile f;
        PutStream(f.Root(), "Contents", Pattern(c.size, 7));
        Bytes bytes = f.ToBytes();
        EXPECT_EQ(bytes.size(), c.fileSize) << c.size;
        EXPECT_EQ(f.GetFileSize(), c.fileSize) << c.size;
        CCompoundFile back;
        back.LoadBytes(bytes.data(), bytes.size());
        EXPECT_EQ(StreamBytes(back.Root(), "Contents"), Pattern(c.size, 7)) << c.size;
    }
}

TEST(CompoundFile, LargeFileUsesTableExtensionSectors)
{
    // 109 table sectors in the header cover 109 * 128 * 512 bytes = 6.8 MiB;
    // an 8 MiB stream needs 16384 sectors, so more table sectors and one extension sector.
    CCompoundFile f;
    Bytes big = Pattern(8 << 20, 9);
    PutStream(f.Root(), "Big", big);
    PutStream(f.Root(), "Small", Pattern(10, 10));
    Bytes bytes = f.ToBytes();
    // Table sectors T with one extension sector: the stream, directory, mini
    // table and mini stream take 16387 sectors, so T = ceil((16387 + T + 1) / 128) = 130.
    EXPECT_EQ(U32(bytes, 44), 130u);
    EXPECT_EQ(U32(bytes, 72), 1u);   // extension sectors
    CCompoundFile back;
    back.LoadBytes(bytes.data(), bytes.size());
    EXPECT_TRUE(StreamBytes(back.Root(), "Big") == big);
    EXPECT_EQ(StreamBytes(back.Root(), "Small"), Pattern(10, 10));
}

TEST(CompoundFile, Version4RoundTrip)
{
    CCompoundFile f = MakeSample();
    f.SetVersion(4);
    Bytes bytes = f.ToBytes();
    EXPECT_EQ(bytes[26], 4);
    EXPECT_EQ(bytes.size() % 4096, 0u);
    CCompoundFile back;
    back.LoadBytes(bytes.data(), bytes.size());
    EXPECT_EQ(back.GetVersion(), 4);
    EXPECT_EQ(StreamBytes(back.Root(), "Item_1A"), Pattern(5000, 2));
    EXPECT_EQ(StreamBytes(*back.Root().OpenStorage("ObjectPool")->OpenStorage("_1234"), "CONTENTS"), Pattern(9000, 5));
}

TEST(CompoundFile, StoragesStreamsReplaceDestroyEnumerate)
{
    CCompoundFile f = MakeSample();
    CStorage& root = f.Root();
    // Directory order: shorter names first, then upper case ("Item_1A" and "ObjectPool"...).
    std::vector<std::string> names;
    for (const auto& e : root.EnumElements())
        names.push_back(e.name);
    EXPECT_EQ(names, (std::vector<std::string>{"Item_1A", "Contents", "ObjectPool", "\005SummaryInformation"}));
    // Names are matched without regard to case.
    ASSERT_NE(root.OpenStream("contents"), nullptr);
    EXPECT_EQ(root.OpenStream("Missing"), nullptr);
    EXPECT_EQ(root.OpenStream("ObjectPool"), nullptr); // a storage, not a stream
    EXPECT_EQ(root.OpenStorage("Contents"), nullptr);
    // Creating a stream again replaces it, empty.
    PutStream(root, "CONTENTS", Pattern(3, 11));
    EXPECT_EQ(StreamBytes(root, "Contents"), Pattern(3, 11));
    EXPECT_EQ(root.EnumElements().size(), 4u);
    // Destroying a storage removes everything under it.
    EXPECT_TRUE(root.DestroyElement("objectpool"));
    EXPECT_FALSE(root.DestroyElement("ObjectPool"));
    EXPECT_TRUE(root.RenameElement("Item_1A", "Item_1B"));
    Bytes bytes = f.ToBytes();
    CCompoundFile back;
    back.LoadBytes(bytes.data(), bytes.size());
    names.clear();
    for (const auto& e : back.Root().EnumElements())
        names.push_back(e.name);
    // The replaced stream carries the name it was created with last.
    EXPECT_EQ(names, (std::vector<std::string>{"Item_1B", "CONTENTS", "\005SummaryInformation"}));
    EXPECT_EQ(StreamBytes(back.Root(), "Item_1B"), Pattern(5000, 2));
    // Invalid names are refused.
    EXPECT_THROW(root.CreateStream("a/b"), CFileException);
    EXPECT_THROW(root.CreateStream(std::string(32, 'x')), CFileException);
    EXPECT_THROW(root.CreateStorage(""), CFileException);
    EXPECT_NO_THROW(root.CreateStream(std::string(31, 'x')));
}

TEST(CompoundFile, StreamWorksWithArchive)
{
    CCompoundFile f;
    {
        auto stream = f.Root().CreateStream("Item_1");
        CArchive ar(stream.get(), CArchive::store, 4096);
        ar << std::int32_t(42) << std::string("Grüße");
        for (int i = 0; i < 3000; ++i)
            ar << double(i);
        ar.Close();
    }
    Bytes bytes = f.ToBytes();
    CCompoundFile back;
    back.LoadBytes(bytes.data(), bytes.size());
    auto stream = back.Root().OpenStream("Item_1");
    ASSERT_NE(stream, nullptr);
    CArchive ar(stream.get(), CArchive::load, 4096);
    std::int32_t n = 0;
    std::string s;
    ar >> n >> s;
    EXPECT_EQ(n, 42);
    EXPECT_EQ(s, "Grüße");
    double d = 0;
    for (int i = 0; i < 3000; ++i) {
        ar >> d;
        ASSERT_EQ(d, double(i));
    }
    EXPECT_EQ(ar.BytesRemaining(), 0u);
}

TEST(CompoundFile, StreamSeekWriteAndLength)
{
    CCompoundFile f;
    auto s = f.Root().CreateStream("S");
    s->Write("abcdef", 6);
    s->Seek(2, CFile::begin);
    s->Write("XY", 2);
    s->Seek(10, CFile::begin);
    s->Write("Z", 1); // past the end: the gap reads as zeros
    EXPECT_EQ(s->GetLength(), 11u);
    EXPECT_EQ(StreamBytes(f.Root(), "S"), (Bytes{'a', 'b', 'X', 'Y', 'e', 'f', 0, 0, 0, 0, 'Z'}));
    s->SetLength(3);
    EXPECT_EQ(StreamBytes(f.Root(), "S"), (Bytes{'a', 'b', 'X'}));
    EXPECT_THROW(s->Seek(-1, CFile::begin), CFileException);
}

TEST(CompoundFile, DirectoryTreesAreRedBlack)
{
    // Every storage's sibling tree, as written, must be a binary search tree
    // in the format's name order whose root is black, with no red node having
    // a red child and the same count of black nodes on every path.
    for (unsigned count : {1u, 2u, 3u, 5u, 7u, 8u, 100u}) {
        CCompoundFile f;
        for (unsigned i = 0; i < count; ++i)
            PutStream(f.Root(), "S" + std::to_string(i * 37 % 101), {});
        Bytes b = f.ToBytes();
        std::size_t dir = (U32(b, 48) + 1) * 512;
        auto entry = [&](DWORD id) { return dir + 128 * id; };
        auto name = [&](DWORD id) {
            std::string n;
            for (std::size_t k = 0; k + 2 < b[entry(id) + 64]; k += 2)
                n += char(b[entry(id) + k]);
            return n;
        };
        auto less = [](const std::string& a, const std::string& c) {
            return a.size() != c.size() ? a.size() < c.size() : a < c; // names here are upper/digits only
        };
        std::function<int(DWORD, const std::string*, const std::string*, int&)> check =
            [&](DWORD id, const std::string* lo, const std::string* hi, int& nodes) -> int {
            if (id == 0xFFFFFFFF)
                return 1;
            ++nodes;
            std::string n = name(id);
            if (lo) {
                EXPECT_TRUE(less(*lo, n)) << count;
            }
            if (hi) {
                EXPECT_TRUE(less(n, *hi)) << count;
            }
            bool isRed = b[entry(id) + 67] == 0;
            DWORD l = U32(b, entry(id) + 68), r = U32(b, entry(id) + 72);
            if (isRed) {
                for (DWORD c : {l, r}) {
                    if (c != 0xFFFFFFFF) {
                        EXPECT_NE(b[entry(c) + 67], 0) << "red child of a red node, count " << count;
                    }
                }
            }
            int bl = check(l, lo, &n, nodes), br = check(r, &n, hi, nodes);
            EXPECT_EQ(bl, br) << count;
            return bl + (isRed ? 0 : 1);
        };
        DWORD top = U32(b, entry(0) + 76);
        EXPECT_EQ(b[entry(top) + 67], 1) << count; // black root
        int nodes = 0;
        check(top, nullptr, nullptr, nodes);
        EXPECT_EQ(nodes, int(count));
    }
}

TEST(CompoundFile, DamagedFilesAreRefused)
{
    CCompoundFile sample = MakeSample();
    const Bytes good = sample.ToBytes();
    // Places in the sample are found through the header, as a reader does.
    const DWORD fatSector = U32(good, 76);
    const std::size_t fat = (fatSector + 1) * 512;
    const DWORD dirSector = U32(good, 48);
    const std::size_t dir = (dirSector + 1) * 512;
    auto entryOf = [&](const Bytes& b, const std::string& name) -> std::size_t {
        for (std::size_t at = dir; at < dir + 512 * 2; at += 128) {
            std::string n;
            for (std::size_t k = 0; k + 2 < b[at + 64]; k += 2)
                n += char(b[at + k]);
            if (n == name)
                return at;
        }
        ADD_FAILURE() << "no entry " << name;
        return dir;
    };
    const std::size_t item = entryOf(good, "Item_1A");
    const DWORD itemStart = U32(good, item + 116);
    const std::size_t pool = entryOf(good, "ObjectPool");
    const std::size_t inner = entryOf(good, "_1234");
    const std::size_t contents = entryOf(good, "Contents");
    const DWORD miniFatSector = U32(good, 60);

    {
        CCompoundFile ok;
        ASSERT_NO_THROW(ok.LoadBytes(good.data(), good.size()));
    }

    struct Fault {
        const char* label;
        std::function<void(Bytes&)> damage;
    } faults[] = {
        {"empty file", [](Bytes& b) { b.clear(); }},
        {"cut inside the header", [](Bytes& b) { b.resize(300); }},
        {"cut after the header", [](Bytes& b) { b.resize(512); }},
        {"cut inside the tables at the end", [](Bytes& b) { b.resize(b.size() - 300); }},
        {"cut inside the large stream", [&](Bytes& b) { b.resize((itemStart + 1) * 512 + 1000); }},
        {"wrong signature", [](Bytes& b) { b[0] = 0; }},
        {"wrong byte order", [](Bytes& b) { SetU16(b, 28, 0xFEFF); }},
        {"unknown version", [](Bytes& b) { SetU16(b, 26, 5); }},
        {"sector size of another version", [](Bytes& b) { SetU16(b, 30, 12); }},
        {"absurd mini sector size", [](Bytes& b) { SetU16(b, 32, 30); }},
        {"absurd table sector count", [](Bytes& b) { SetU32(b, 44, 0xFFFFFFF0); }},
        {"table sector outside the file", [](Bytes& b) { SetU32(b, 76, 0x00FFFFFF); }},
        {"directory start outside the file", [](Bytes& b) { SetU32(b, 48, 0x7FFFFFFF); }},
        {"directory chain loops", [&](Bytes& b) { SetU32(b, fat + 4 * dirSector, dirSector); }},
        {"stream chain loops", [&](Bytes& b) { SetU32(b, fat + 4 * (itemStart + 1), itemStart); }},
        {"stream chain points outside the file", [&](Bytes& b) { SetU32(b, fat + 4 * itemStart, 0x00ABCDEF); }},
        {"stream chain ends early", [&](Bytes& b) { SetU32(b, fat + 4 * itemStart, 0xFFFFFFFE); }},
        {"stream chain shares the directory's sectors", [&](Bytes& b) { SetU32(b, item + 116, dirSector); }},
        {"absurd stream size", [&](Bytes& b) { SetU32(b, item + 120, 0xFFFFFFF0); }},
        {"mini chain loops", [&](Bytes& b) { SetU32(b, (miniFatSector + 1) * 512 + 4 * U32(b, contents + 116), U32(b, contents + 116)); }},
        {"mini stream start outside", [&](Bytes& b) { SetU32(b, contents + 116, 100000); }},
        {"root entry missing", [&](Bytes& b) { b[dir + 66] = 2; }},
        {"sibling cycle", [&](Bytes& b) { SetU32(b, item + 68, DWORD((item - dir) / 128)); }},
        {"storage contains its parent", [&](Bytes& b) { SetU32(b, inner + 76, DWORD((pool - dir) / 128)); }},
        {"storage contains the root", [&](Bytes& b) { SetU32(b, pool + 76, 0); }},
        {"child id outside the directory", [&](Bytes& b) { SetU32(b, pool + 76, 0x0FFFFFFF); }},
        {"unused entry linked in", [&](Bytes& b) { b[item + 66] = 0; }},
        {"name length too long", [&](Bytes& b) { SetU16(b, item + 64, 200); }},
        {"duplicate names", [&](Bytes& b) { std::memcpy(&b[contents], &b[item], 66); }},
    };
    for (const Fault& fault : faults) {
        Bytes b = good;
        fault.damage(b);
        ExpectRefused(b, fault.label);
    }
}

TEST(CompoundFile, DamagedTableExtensionIsRefused)
{
    CCompoundFile f;
    PutStream(f.Root(), "Big", Pattern(8 << 20, 9));
    const Bytes good = f.ToBytes();
    const DWORD difat = U32(good, 68);
    ASSERT_EQ(U32(good, 72), 1u);
    const std::size_t next = (difat + 1) * 512 + 508; // the extension sector's link to the next one
    struct Fault {
        const char* label;
        std::function<void(Bytes&)> damage;
    } faults[] = {
        {"extension sector outside the file", [](Bytes& b) { SetU32(b, 68, 0x00FFFFFF); }},
        {"extension chain missing", [](Bytes& b) { SetU32(b, 68, 0xFFFFFFFE); }},
        {"extension count too small", [](Bytes& b) { SetU32(b, 72, 0); }},
        {"extension chain loops",
         [&](Bytes& b) { SetU32(b, 44, U32(b, 44) + 127); SetU32(b, 72, 2); SetU32(b, next, difat); }},
        {"extension names a table sector twice", [&](Bytes& b) { SetU32(b, (difat + 1) * 512, U32(b, 76)); }},
    };
    for (const Fault& fault : faults) {
        Bytes b = good;
        fault.damage(b);
        ExpectRefused(b, fault.label);
    }
}

TEST(CompoundFile, RandomDamageNeverCrashes)
{
    // Random byte changes in the structural sectors: each load either
    // succeeds or fails with a file or archive exception.
    CCompoundFile sample = MakeSample();
    const Bytes good = sample.ToBytes();
    std::mt19937 rng(12345);
    TempDir dir;
    const std::string path = dir / "damaged.cfb";
    const std::size_t structural = std::min<std::size_t>(good.size(), 512 * 5);
    for (int round = 0; round < 3000; ++round) {
        Bytes b = good;
        int changes = 1 + int(rng() % 4);
        for (int k = 0; k < changes; ++k)
            b[rng() % structural] = BYTE(rng());
        if (round % 10 == 0)
            b.resize(rng() % b.size());
        // Every tenth file is also opened from the disk, where large streams
        // are read only when used; each stream is then read to its end.
        bool fromDisk = round % 10 == 5;
        if (fromDisk)
            WriteDiskFile(path, b);
        CCompoundFile f;
        try {
            if (fromDisk)
                f.Open(path);
            else
                f.LoadBytes(b.data(), b.size());
            std::function<void(CStorage&)> readAll = [&](CStorage& s) {
                for (const auto& e : s.EnumElements()) {
                    if (e.type == CStorageElementInfo::storage) {
                        CStorage* sub = s.OpenStorage(e.name);
                        ASSERT_NE(sub, nullptr) << "a listed storage cannot be opened";
                        readAll(*sub);
                    } else {
                        auto stream = s.OpenStream(e.name);
                        ASSERT_NE(stream, nullptr) << "a listed stream cannot be opened";
                        Bytes data(stream->GetLength());
                        EXPECT_EQ(stream->Read(data.data(), data.size()), data.size());
                    }
                }
            };
            readAll(f.Root());
        } catch (const CArchiveException&) {
        } catch (const CFileException&) {
        }
    }
}

TEST(CompoundFile, SaveOpenAndReplaceAtomically)
{
    TempDir dir;
    std::string path = dir / "work.mxw";
    CCompoundFile f = MakeSample();
    f.SaveAs(path);
    EXPECT_EQ(f.GetPath(), path);
    EXPECT_EQ(dir.Count(), 1u); // no temporary left behind
    ::chmod(path.c_str(), 0640);

    CCompoundFile g(path);
    EXPECT_EQ(StreamBytes(g.Root(), "Item_1A"), Pattern(5000, 2));
    PutStream(g.Root(), "Item_1A", Pattern(100, 99));
    g.Save();
    EXPECT_EQ(dir.Count(), 1u);
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u); // the replaced file keeps its permissions
    CCompoundFile h(path);
    EXPECT_EQ(StreamBytes(h.Root(), "Item_1A"), Pattern(100, 99));

    EXPECT_THROW(CCompoundFile(dir / "missing.mxw"), CFileException);
    EXPECT_THROW(f.SaveAs(dir / "no-such-folder/x.mxw"), CFileException);
}

TEST(CompoundFile, FailedSaveLeavesOldFileIntact)
{
    TempDir dir;
    std::string path = dir / "work.mxw";
    MakeSample().SaveAs(path);
    const Bytes before = ReadDiskFile(path);

    // An exception while an item is written leaves the file alone: nothing
    // reaches the disk before the whole save succeeds.
    {
        CCompoundFile f(path);
        try {
            auto s = f.Root().CreateStream("Item_1A");
            CArchive ar(s.get(), CArchive::store);
            ar << std::int32_t(1);
            throw CArchiveException(CArchiveException::genericException);
        } catch (const CArchiveException&) {
        }
    }
    EXPECT_EQ(ReadDiskFile(path), before);

    // A full disk while the new file is written (a file size limit stands in
    // for it): the save fails, the old file is byte for byte unchanged and the
    // half-written temporary is gone.
    CCompoundFile big;
    PutStream(big.Root(), "Big", Pattern(300000, 1));
    struct rlimit old {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limited = old;
    limited.rlim_cur = 100000;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    bool threw = false;
    try {
        big.SaveAs(path);
    } catch (const CFileException& e) {
        threw = true;
        EXPECT_EQ(e.m_cause, CFileException::diskFull);
    }
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_TRUE(threw);
    EXPECT_EQ(ReadDiskFile(path), before);
    EXPECT_EQ(dir.Count(), 1u);
}

TEST(CompoundFile, IndependentReaderSeesTheSameStreams)
{
    std::string python = OlefilePython();
    if (python.empty())
        GTEST_SKIP() << "python3 with olefile is not installed";
    TempDir dir;

    struct Sample {
        const char* name;
        std::function<void(CCompoundFile&, const std::string&)> fill;
        int version;
    } samples[] = {
        {"sample", [](CCompoundFile& f, const std::string&) { f = MakeSample(); }, 3},
        {"sample4", [](CCompoundFile& f, const std::string&) { f = MakeSample(); }, 4},
        {"sizes", [](CCompoundFile& f, const std::string&) {
             for (std::size_t size : {0, 1, 63, 64, 65, 4095, 4096, 4097})
                 PutStream(f.Root(), "S" + std::to_string(size), Pattern(size, unsigned(size)));
         }, 3},
        {"many", [](CCompoundFile& f, const std::string&) {
             for (unsigned i = 1; i <= 1000; ++i)
                 PutStream(f.Root(), "Item_" + Hex(i), Pattern(i * 7 % 5000, i));
         }, 3},
        {"difat", [](CCompoundFile& f, const std::string&) {
             PutStream(f.Root(), "Big", Pattern(8 << 20, 9));
             PutStream(f.Root(), "Small", Pattern(10, 10));
         }, 3},
        // Streams written ahead to the file being saved, with holes left by
        // streams replaced and destroyed meanwhile.
        {"ahead", [](CCompoundFile& f, const std::string& path) { FillAhead(f, path); }, 3},
        {"ahead4", [](CCompoundFile& f, const std::string& path) { FillAhead(f, path); }, 4},
    };
    for (auto& sample : samples) {
        CCompoundFile f;
        std::string path = dir / (std::string(sample.name) + ".cfb");
        sample.fill(f, path);
        f.SetVersion(sample.version);
        f.SaveAs(path);

        // Manifest of every stream and storage with the bytes written.
        std::string streams, storages;
        int n = 0;
        std::function<void(CStorage&, const std::string&)> walk = [&](CStorage& s, const std::string& prefix) {
            for (const auto& e : s.EnumElements()) {
                std::string full = prefix + e.name;
                if (e.type == CStorageElementInfo::storage) {
                    storages += (storages.empty() ? "" : ",") + JsonString(full);
                    walk(*s.OpenStorage(e.name), full + "/");
                } else {
                    std::string data = dir / (std::string(sample.name) + "-" + std::to_string(n++) + ".bin");
                    WriteDiskFile(data, StreamBytes(s, e.name));
                    streams += (streams.empty() ? "" : ",") + JsonString(full) + ":" + JsonString(data);
                }
            }
        };
        walk(f.Root(), "");
        std::string manifest = dir / (std::string(sample.name) + ".json");
        std::ofstream(manifest) << "{\"streams\":{" << streams << "},\"storages\":[" << storages << "]}";
        EXPECT_EQ(RunOlefileCheck(python, "streams", path, manifest), "OK\n") << sample.name;
    }
}

TEST(CompoundFile, StreamsLeftInTheFileReadChangeAndSaveOverIt)
{
    TempDir dir;
    std::string path = dir / "work.mxw";
    CCompoundFile f = MakeSample();
    Bytes big = Pattern(300000, 21);
    PutStream(f.Root(), "Big", big);
    PutStream(f.Root(), "Other", Pattern(70000, 22));
    f.SaveAs(path);

    CCompoundFile g(path);
    // Small reads through an archive, then one large read.
    {
        auto s = g.Root().OpenStream("Big");
        ASSERT_NE(s, nullptr);
        CArchive ar(s.get(), CArchive::load, 4096);
        Bytes head(1000);
        ar.ReadExact(head.data(), head.size());
        EXPECT_TRUE(std::equal(head.begin(), head.end(), big.begin()));
        Bytes rest(big.size() - 1000);
        ar.ReadExact(rest.data(), rest.size());
        EXPECT_TRUE(std::equal(rest.begin(), rest.end(), big.begin() + 1000));
        EXPECT_EQ(ar.BytesRemaining(), 0u);
    }
    // Seeking back and forth within and beyond the read-ahead block.
    {
        auto s = g.Root().OpenStream("Big");
        BYTE b = 0;
        for (std::uint64_t at : {299999ull, 5ull, 65535ull, 65536ull, 200000ull, 4ull}) {
            s->Seek(std::int64_t(at), CFile::begin);
            ASSERT_EQ(s->Read(&b, 1), 1u);
            EXPECT_EQ(b, big[at]) << at;
        }
        s->Seek(0, CFile::end);
        EXPECT_EQ(s->Read(&b, 1), 0u);
    }
    // Change one stream in the middle, keep another untouched, and save over
    // the very file the untouched one is still read from.
    {
        auto s = g.Root().OpenStream("Big");
        s->Seek(150000, CFile::begin);
        s->Write("XYZ", 3);
        big[150000] = 'X';
        big[150001] = 'Y';
        big[150002] = 'Z';
    }
    g.Save();
    EXPECT_EQ(StreamBytes(g.Root(), "Other"), Pattern(70000, 22));
    CCompoundFile h(path);
    EXPECT_TRUE(StreamBytes(h.Root(), "Big") == big);
    EXPECT_EQ(StreamBytes(h.Root(), "Other"), Pattern(70000, 22));
    EXPECT_EQ(StreamBytes(h.Root(), "Item_1A"), Pattern(5000, 2));
    EXPECT_EQ(StreamBytes(*h.Root().OpenStorage("ObjectPool")->OpenStorage("_1234"), "CONTENTS"), Pattern(9000, 5));
}

TEST(CompoundFile, FileCutWhileOpenFailsCleanly)
{
    TempDir dir;
    std::string path = dir / "work.mxw";
    CCompoundFile f;
    PutStream(f.Root(), "Big", Pattern(300000, 21));
    f.SaveAs(path);
    CCompoundFile g(path);
    // Another program cuts the file in place while it is open.
    ASSERT_EQ(::truncate(path.c_str(), 10000), 0);
    auto s = g.Root().OpenStream("Big");
    Bytes b(300000);
    EXPECT_THROW(s->Read(b.data(), b.size()), CArchiveException);
    EXPECT_THROW(g.ToBytes(), CArchiveException);
}

TEST(CompoundFile, StreamsGoAheadToTheFileBeingSaved)
{
    NamedTemporaries named;
    TempDir dir;
    std::string path = dir / "work.mxw";
    MakeSample().SaveAs(path);
    const Bytes before = ReadDiskFile(path);

    CCompoundFile f(path);
    FillAhead(f, path);
    EXPECT_EQ(dir.Count(), 2u);               // the pending file beside the target
    EXPECT_EQ(ReadDiskFile(path), before);    // the target is untouched until the save
    // Streams read back before the save, from the pending file and from memory.
    Bytes pa = Pattern(30000, 34);
    std::memcpy(pa.data() + 10, "rewritten", 9);
    Bytes pb = Pattern(30000, 35);
    pb.resize(20000);
    EXPECT_EQ(StreamBytes(f.Root(), "A"), pa);
    EXPECT_EQ(StreamBytes(f.Root(), "B"), pb);
    EXPECT_EQ(StreamBytes(f.Root(), "First"), Pattern(70000, 36));
    f.Save();
    EXPECT_EQ(dir.Count(), 1u);
    auto check = [&](CCompoundFile& g) {
        EXPECT_EQ(StreamBytes(g.Root(), "A"), pa);
        EXPECT_EQ(StreamBytes(g.Root(), "B"), pb);
        EXPECT_EQ(StreamBytes(g.Root(), "First"), Pattern(70000, 36));
        EXPECT_EQ(StreamBytes(g.Root(), "Small"), Pattern(1000, 33));
        EXPECT_EQ(StreamBytes(g.Root(), "Item_1A"), Pattern(5000, 2));
        EXPECT_EQ(StreamBytes(*g.Root().OpenStorage("Sub"), "Inner"), Pattern(9000, 37));
        EXPECT_FALSE(g.Root().HasElement("Gone"));
    };
    check(f); // streams now read from the saved file
    CCompoundFile g(path);
    check(g);

    // A second save of the same document: new streams go ahead again,
    // untouched ones are copied from the file being replaced.
    PutStream(f.Root(), "Second", Pattern(40000, 38));
    f.Save();
    CCompoundFile h(path);
    check(h);
    EXPECT_EQ(StreamBytes(h.Root(), "Second"), Pattern(40000, 38));
    EXPECT_EQ(dir.Count(), 1u);

    // A document that is dropped without saving leaves no pending file behind.
    {
        CCompoundFile k(path);
        PutStream(k.Root(), "Unsaved", Pattern(10000, 39));
        EXPECT_EQ(dir.Count(), 2u);
    }
    EXPECT_EQ(dir.Count(), 1u);
}

TEST(CompoundFile, FailedSaveOfStreamsWrittenAheadCanBeRetried)
{
    TempDir dir;
    std::string path = dir / "work.mxw";
    MakeSample().SaveAs(path);
    const Bytes before = ReadDiskFile(path);

    CCompoundFile f(path);
    PutStream(f.Root(), "Big", Pattern(300000, 1));
    // The pending file holds 4096 bytes of room for the header and the
    // stream's 300000 bytes; a limit just past them fails the save while it
    // writes the directory and tables.
    struct rlimit old {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limited = old;
    limited.rlim_cur = 4096 + 300000 + 100;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    bool threw = false;
    try {
        f.Save();
    } catch (const CFileException& e) {
        threw = true;
        EXPECT_EQ(e.m_cause, CFileException::diskFull);
    }
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_TRUE(threw);
    EXPECT_EQ(ReadDiskFile(path), before);
    EXPECT_EQ(StreamBytes(f.Root(), "Big"), Pattern(300000, 1));

    // With room again the same document saves.
    f.Save();
    EXPECT_EQ(dir.Count(), 1u);
    CCompoundFile g(path);
    EXPECT_EQ(StreamBytes(g.Root(), "Big"), Pattern(300000, 1));
    EXPECT_EQ(StreamBytes(g.Root(), "Item_1A"), Pattern(5000, 2));
}

TEST(CompoundFile, StreamsStayInMemoryWhenNoFileCanBeMadeBesideTheTarget)
{
    TempDir dir;
    std::string path = dir / "no-such-folder/work.mxw";
    CCompoundFile f;
    f.SetPath(path);
    PutStream(f.Root(), "Big", Pattern(100000, 3));
    EXPECT_EQ(StreamBytes(f.Root(), "Big"), Pattern(100000, 3));
    EXPECT_THROW(f.Save(), CFileException);
    // Saved elsewhere, the streams are all there.
    f.SaveAs(dir / "work.mxw");
    CCompoundFile g(dir / "work.mxw");
    EXPECT_EQ(StreamBytes(g.Root(), "Big"), Pattern(100000, 3));
}

TEST(CompoundFile, ANewFileWritesAheadForItsFirstSaveAs)
{
    NamedTemporaries named;
    TempDir dir;
    std::string path = dir / "new.mxw";
    CCompoundFile f; // untitled: no path of its own
    f.PrepareSaveAs(path);
    EXPECT_TRUE(f.GetPath().empty());
    PutStream(f.Root(), "Big", Pattern(200000, 41));
    PutStream(f.Root(), "Small", Pattern(700, 42));
    // The large stream went ahead to the pending file; the target is not there yet.
    EXPECT_EQ(dir.Count(), 1u);
    EXPECT_FALSE(fs::exists(path));
    EXPECT_EQ(StreamBytes(f.Root(), "Big"), Pattern(200000, 41));
    f.SaveAs(path);
    EXPECT_EQ(f.GetPath(), path);
    EXPECT_EQ(dir.Count(), 1u);
    CCompoundFile g(path);
    EXPECT_EQ(StreamBytes(g.Root(), "Big"), Pattern(200000, 41));
    EXPECT_EQ(StreamBytes(g.Root(), "Small"), Pattern(700, 42));

    // Prepared for one place and saved to another folder: the streams are
    // copied there and the unused pending file goes with the document.
    fs::create_directories(dir.Path() / "other");
    std::string elsewhere = dir / "other/copy.mxw";
    {
        CCompoundFile h;
        h.PrepareSaveAs(dir / "unused.mxw");
        PutStream(h.Root(), "Big", Pattern(100000, 43));
        h.SaveAs(elsewhere);
        CCompoundFile k(elsewhere);
        EXPECT_EQ(StreamBytes(k.Root(), "Big"), Pattern(100000, 43));
    }
    EXPECT_EQ(dir.Count(), 2u); // new.mxw and the folder
}

namespace {

// Whether the folder's file system makes unnamed files.
bool UnnamedFilesIn(const std::string& folder)
{
    int fd = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    ::close(fd);
    return ::access("/proc/self/fd", X_OK) == 0;
}

} // namespace

TEST(CompoundFile, AKilledSaveLeavesNoTemporaryBehind)
{
    // A child process writes a large stream ahead into the file being saved
    // and is killed there, as a save is killed halfway; whatever it leaves
    // is counted, then an open in the folder must clear it.
    for (bool allowUnnamed : {true, false}) {
        SCOPED_TRACE(allowUnnamed ? "unnamed temporaries allowed" : "named temporaries");
        TempDir dir;
        const std::string path = dir / "study.mxw";
        MakeSample().SaveAs(path);
        const Bytes before = ReadDiskFile(path);
        int ready[2];
        ASSERT_EQ(::pipe(ready), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(ready[0]);
            CPendingFile::AllowUnnamedTemporaries(allowUnnamed);
            CCompoundFile f(path);
            PutStream(f.Root(), "Big", Pattern(4 << 20, 7));
            char c = 1;
            (void)!::write(ready[1], &c, 1);
            for (;;)
                ::pause(); // killed here, the save unfinished
        }
        ::close(ready[1]);
        char c = 0;
        ASSERT_EQ(::read(ready[0], &c, 1), 1);
        ::close(ready[0]);
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status));

        const bool unnamed = allowUnnamed && UnnamedFilesIn(dir.Path().string());
        // The old file is intact; an unnamed temporary left nothing at all.
        EXPECT_EQ(ReadDiskFile(path), before);
        EXPECT_EQ(dir.Count(), unnamed ? 1u : 2u);
        // A live process's temporary is never taken for a stale one.
        const std::string live = path + ".~" + std::to_string(::getppid()) + "-0.tmp";
        std::fclose(std::fopen(live.c_str(), "wb"));
        // The next open in the folder removes what the killed process left.
        CCompoundFile g(path);
        EXPECT_EQ(dir.Count(), 2u);
        EXPECT_TRUE(fs::exists(live));
        fs::remove(live);
        // So does the next save.
        if (!unnamed) {
            const std::string stale = path + ".~" + std::to_string(child) + "-3.tmp";
            std::fclose(std::fopen(stale.c_str(), "wb"));
            PutStream(g.Root(), "Small", Pattern(100, 8));
            g.Save();
            EXPECT_EQ(dir.Count(), 1u);
        }
    }
}
