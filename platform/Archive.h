// A buffered little-endian archive over a CFile, with the framework's forms
// for strings, counts and object references.
//
// Object references: a null pointer is the word 0. A class met for the first
// time is the word 0xFFFF, its schema word, the word length of its name and the
// name's bytes, then the object's own data. A later object of a known class is
// the word 0x8000 | class index, then its data. An object already written is
// the word of its index. Classes and objects share one index counter starting
// at 1; an index above 0x7FFE is the word 0x7FFF and a 32-bit value (with
// 0x80000000 set for a class).
#pragma once

#include "platform/Exceptions.h"
#include "platform/Object.h"
#include "platform/Types.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class CFile;

class CArchive {
public:
    enum Mode { store = 0, load = 1 };

    CArchive(CFile* file, Mode mode, std::size_t bufferSize = 4096, CObject* document = nullptr);
    // Flushes what a storing archive still holds; errors there are swallowed,
    // so call Close() where a failed write must be noticed.
    ~CArchive();
    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    bool IsLoading() const { return m_mode == load; }
    bool IsStoring() const { return m_mode == store; }
    CFile* GetFile() const { return m_file; }
    // The document being read or written, for objects that attach themselves to it.
    CObject* m_pDocument;

    void Flush();
    void Close();
    // Drops buffered output and detaches from the file without writing.
    void Abort();

    // Raw bytes. Read returns the count read; ReadExact throws endOfFile when short.
    std::size_t Read(void* buffer, std::size_t count);
    void ReadExact(void* buffer, std::size_t count);
    void Write(const void* buffer, std::size_t count);

    // Bytes that a loading archive can still deliver (buffered and in the file).
    std::uint64_t BytesRemaining() const;
    // Throws a generic archive exception unless count items of size bytes each remain.
    void CheckRemaining(std::uint64_t count, std::uint64_t size = 1) const;

    // Fixed-width values, little-endian.
    CArchive& operator<<(std::uint8_t v) { return PutRaw(v); }
    CArchive& operator<<(std::uint16_t v) { return PutRaw(v); }
    CArchive& operator<<(std::int32_t v) { return PutRaw(v); }
    CArchive& operator<<(std::uint32_t v) { return PutRaw(v); }
    CArchive& operator<<(std::int64_t v) { return PutRaw(v); }
    CArchive& operator<<(std::uint64_t v) { return PutRaw(v); }
    CArchive& operator<<(float v) { return PutRaw(v); }
    CArchive& operator<<(double v) { return PutRaw(v); }
    CArchive& operator>>(std::uint8_t& v) { return GetRaw(v); }
    CArchive& operator>>(std::uint16_t& v) { return GetRaw(v); }
    CArchive& operator>>(std::int32_t& v) { return GetRaw(v); }
    CArchive& operator>>(std::uint32_t& v) { return GetRaw(v); }
    CArchive& operator>>(std::int64_t& v) { return GetRaw(v); }
    CArchive& operator>>(std::uint64_t& v) { return GetRaw(v); }
    CArchive& operator>>(float& v) { return GetRaw(v); }
    CArchive& operator>>(double& v) { return GetRaw(v); }
    // Characters and pointers have no stored form of their own: say which is meant.
    CArchive& operator<<(char) = delete;
    CArchive& operator<<(signed char) = delete;
    CArchive& operator<<(const char*) = delete;
    CArchive& operator<<(const void*) = delete;

    // Framework string: UTF-8 in memory, Windows-1252 bytes behind a length prefix.
    void WriteString(std::string_view utf8);
    std::string ReadString();
    CArchive& operator<<(const std::string& s) { WriteString(s); return *this; }
    CArchive& operator>>(std::string& s) { s = ReadString(); return *this; }

    // Framework count: a word below 0xFFFF, else 0xFFFF and a 32-bit value.
    void WriteCount(std::uint32_t count);
    std::uint32_t ReadCount();

    void WriteObject(const CObject* object);
    // Writes an object that is referenced from nowhere else in this archive:
    // the stored form is the same, but the object is not remembered for back
    // references, which saves the look-up on tables of millions of cells.
    void WriteUniqueObject(const CObject* object);
    // The tag of such an object alone, for a writer that puts its data itself.
    void WriteUniqueObjectHeader(const CRuntimeClass* cls)
    {
        // Another object of the class written last (the next cell of a
        // table): its short class tag alone.
        if (cls && cls == m_lastClass && m_lastClassIndex < kFirstBigIndex && m_mapCount <= kMaxMapIndex) {
            PutRaw(std::uint16_t(kClassTagBit | m_lastClassIndex));
            ++m_mapCount;
            return;
        }
        WriteUniqueObjectHeaderSlow(cls);
    }
    // Reads one object reference. The stored class must be registered and derive
    // from expected (when given); anything else is refused before it is built.
    // A new object belongs to the caller; a back reference returns the object
    // read earlier.
    CObject* ReadObject(const CRuntimeClass* expected);
    // The same; isNew tells a new object from a reference to one read before.
    CObject* ReadObject(const CRuntimeClass* expected, bool& isNew);
    // An object the caller will own: a back reference is refused, since the
    // object it names has an owner already (a damaged file could otherwise
    // make two owners delete one object).
    template <class T>
    std::unique_ptr<T> ReadOwned()
    {
        bool isNew = false;
        CObject* object = ReadObject(T::GetThisClass(), isNew);
        if (object && !isNew)
            Throw(CArchiveException::badIndex);
        return std::unique_ptr<T>(static_cast<T*>(object));
    }
    CArchive& operator<<(const CObject* object) { WriteObject(object); return *this; }

    // A lower road for readers of many small objects: reads one reference's
    // tag. For a new object it gives the class; the caller then either builds
    // the object and maps it, or maps null and reads the object's data in
    // place (nothing can refer back to it then). For a reference it gives the
    // object read before; for the null pointer, neither.
    struct ObjectTag {
        const CRuntimeClass* newClass = nullptr;
        CObject* earlier = nullptr;
    };
    ObjectTag ReadObjectTag(const CRuntimeClass* expected)
    {
        // The same short class tag as the last one read, with the same
        // expectation (the next cell of a table): its class is known and checked.
        if (m_tagClass && expected == m_tagExpected && m_mode == load && m_limit - m_cur >= 2) {
            std::uint16_t word;
            std::memcpy(&word, m_buffer.data() + m_cur, 2);
            if (word == m_tagWord) {
                m_cur += 2;
                m_objectSchema = m_tagClass->StoredSchema();
                return {m_tagClass, nullptr};
            }
        }
        return ReadObjectTagSlow(expected);
    }
    void MapLoadedObject(CObject* object)
    {
        // An object read in place only takes an index.
        if (!object && m_mapCount <= kMaxMapIndex) {
            ++m_mapCount;
            return;
        }
        MapLoaded(nullptr, object);
    }

    // Records of one shape, millions in a table: a 4-byte key, then an
    // object of class cls written in place (its header, then size bytes of
    // data). The same bytes as the key, WriteUniqueObjectHeader and the data
    // written apart; one test of the buffer's room for all of them when cls
    // is the class written last.
    void WriteRecordInPlace(std::int32_t key, const CRuntimeClass* cls, const void* data, std::size_t size)
    {
        auto put = [&](std::uint32_t, BYTE* record) {
            std::memcpy(record, &key, 4);
            std::memcpy(record + 6, data, size);
        };
        if (WriteRecordsInPlace(cls, size, 1, put))
            return;
        *this << key;
        WriteUniqueObjectHeader(cls);
        Write(data, size);
    }
    // Writes n such records together when cls is the class written last and
    // the buffer has room for all of them: put(k, record) writes the k-th
    // record's key at record and its size bytes of data at record + 6 (the
    // tag between is written here). False, with nothing written, when they
    // must go one by one.
    template <class F>
    bool WriteRecordsInPlace(const CRuntimeClass* cls, std::size_t size, std::uint32_t n, F put)
    {
        const std::size_t record = 6 + size;
        if (!cls || cls != m_lastClass || m_lastClassIndex >= kFirstBigIndex || m_mapCount > kMaxMapIndex
            || kMaxMapIndex - m_mapCount < n || m_mode != store || !m_file || (m_buffer.size() - m_cur) / record < n)
            return false;
        const std::uint16_t tag = std::uint16_t(kClassTagBit | m_lastClassIndex);
        BYTE* p = m_buffer.data() + m_cur;
        for (std::uint32_t k = 0; k < n; ++k, p += record) {
            std::memcpy(p + 4, &tag, 2);
            put(k, p);
        }
        m_cur += n * record;
        m_mapCount += n;
        return true;
    }
    // The run of such records that lies whole in the buffer from the place
    // reached, each with the short tag of class cls read last (and with
    // expectation expected): where the first begins and how many follow it
    // (at most most), each 6 + size bytes: key, tag, data. Nothing is taken
    // until TakeRecordsInPlace.
    struct SRecordRun {
        const BYTE* first = nullptr;
        std::uint32_t count = 0;
    };
    SRecordRun RecordsInPlace(const CRuntimeClass* expected, const CRuntimeClass* cls, std::size_t size,
                              std::uint32_t most) const
    {
        if (m_mode != load || !m_tagClass || m_tagClass != cls || expected != m_tagExpected
            || m_mapCount > kMaxMapIndex)
            return {};
        const std::size_t record = 6 + size;
        const std::size_t whole = (m_limit - m_cur) / record;
        const std::size_t indices = std::size_t(kMaxMapIndex) + 1 - m_mapCount;
        const std::uint32_t n = std::uint32_t(std::min<std::size_t>({std::size_t(most), whole, indices}));
        const BYTE* first = m_buffer.data() + m_cur;
        const BYTE* p = first;
        std::uint32_t count = 0;
        for (; count < n; ++count, p += record) {
            std::uint16_t word;
            std::memcpy(&word, p + 4, 2);
            if (word != m_tagWord)
                break;
        }
        return {first, count};
    }
    // Takes the first n records of the run RecordsInPlace gave as read, each
    // with a tag and an index as ReadObjectTag and MapLoadedObject(nullptr)
    // give them.
    void TakeRecordsInPlace(std::size_t size, std::uint32_t n)
    {
        if (!n)
            return;
        m_cur += std::size_t(n) * (6 + size);
        m_mapCount += n;
        m_objectSchema = m_tagClass->StoredSchema();
    }

    void WriteClass(const CRuntimeClass* cls);
    const CRuntimeClass* ReadClass(const CRuntimeClass* expected = nullptr, UINT* schema = nullptr);
    // The schema word stored with the object being read (versionable classes).
    UINT GetObjectSchema() const { return m_objectSchema; }

private:
    // Small values go straight through the buffer when it has room: tables
    // of millions of cells are read and written value by value.
    template <class T>
    CArchive& PutRaw(T v)
    {
        // Little-endian hosts only: the build refuses others.
        static_assert(std::endian::native == std::endian::little);
        if (m_mode == store && m_file && m_buffer.size() - m_cur >= sizeof v) {
            std::memcpy(m_buffer.data() + m_cur, &v, sizeof v);
            m_cur += sizeof v;
            return *this;
        }
        Write(&v, sizeof v);
        return *this;
    }
    template <class T>
    CArchive& GetRaw(T& v)
    {
        if (m_mode == load && m_limit - m_cur >= sizeof v) {
            std::memcpy(&v, m_buffer.data() + m_cur, sizeof v);
            m_cur += sizeof v;
            return *this;
        }
        ReadExact(&v, sizeof v);
        return *this;
    }
    void FillBuffer();
    void WriteUniqueObjectHeaderSlow(const CRuntimeClass* cls);
    ObjectTag ReadObjectTagSlow(const CRuntimeClass* expected);
    static constexpr std::uint16_t kClassTagBit = 0x8000;    // short tag of a class
    static constexpr std::uint32_t kFirstBigIndex = 0x7FFF;  // indices from here take the long tag
    static constexpr std::uint32_t kMaxMapIndex = 0x3FFFFFFEu;
    void RequireLoading() const;
    void RequireStoring() const;
    [[noreturn]] void Throw(CArchiveException::Cause cause) const;
    // Reads a tag; returns the class for class tags and new classes, or null and
    // sets objectIndex for a reference to an object (0 for the null pointer).
    const CRuntimeClass* ReadTag(const CRuntimeClass* expected, UINT* schema, std::uint32_t* objectIndex);
    void MapLoaded(const CRuntimeClass* cls, CObject* object);

    CFile* m_file;
    Mode m_mode;
    std::vector<BYTE> m_buffer;
    std::size_t m_cur = 0;   // next byte in the buffer
    std::size_t m_limit = 0; // end of valid bytes (loading)
    UINT m_objectSchema = UINT(-1);

    struct LoadEntry {
        std::uint32_t index = 0;
        const CRuntimeClass* cls = nullptr;
        CObject* object = nullptr;
    };
    // The loaded classes and objects that a later tag may name, by ascending
    // index; index 0 is the null pointer. Objects read in place (mapped as
    // null) only take an index: tables of millions of cells need no entry each.
    const LoadEntry* FindLoaded(std::uint32_t index) const;
    std::vector<LoadEntry> m_loadMap;
    std::unordered_map<const void*, std::uint32_t> m_storeMap; // classes and objects
    std::uint32_t m_mapCount = 1;
    // The class written last and its index: runs of objects of one class skip the map.
    const CRuntimeClass* m_lastClass = nullptr;
    std::uint32_t m_lastClassIndex = 0;
    // The short class tag read last by ReadObjectTag, its class and the class it was checked against.
    std::uint16_t m_tagWord = 0;
    const CRuntimeClass* m_tagClass = nullptr;
    const CRuntimeClass* m_tagExpected = nullptr;
};
