#include "platform/Archive.h"

#include "platform/CodePage.h"
#include "platform/File.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr WORD kNullTag = 0;
constexpr WORD kNewClassTag = 0xFFFF;
constexpr WORD kClassTag = 0x8000;
constexpr WORD kBigObjectTag = 0x7FFF;
constexpr std::uint32_t kBigClassTag = 0x80000000u;
constexpr std::uint32_t kMaxMapCount = 0x3FFFFFFEu;
// Longest class name accepted on load: every class of ours is far shorter.
constexpr WORD kMaxClassName = 64;

} // namespace

CArchive::CArchive(CFile* file, Mode mode, std::size_t bufferSize, CObject* document)
    : m_pDocument(document)
    , m_file(file)
    , m_mode(mode)
    , m_buffer(std::max<std::size_t>(bufferSize, 128))
{
    m_loadMap.push_back({});
}

CArchive::~CArchive()
{
    if (m_file && IsStoring()) {
        try {
            Flush();
        } catch (...) {
        }
    }
}

void CArchive::Throw(CArchiveException::Cause cause) const
{
    throw CArchiveException(cause, m_file ? m_file->GetFilePath() : std::string());
}

void CArchive::RequireLoading() const
{
    if (!IsLoading())
        Throw(CArchiveException::writeOnly);
}

void CArchive::RequireStoring() const
{
    if (!IsStoring())
        Throw(CArchiveException::readOnly);
}

void CArchive::Flush()
{
    if (IsStoring() && m_file && m_cur > 0) {
        std::size_t n = m_cur;
        m_cur = 0;
        m_file->Write(m_buffer.data(), n);
    }
}

void CArchive::Close()
{
    Flush();
    m_file = nullptr;
}

void CArchive::Abort()
{
    m_cur = m_limit = 0;
    m_file = nullptr;
}

void CArchive::FillBuffer()
{
    m_cur = 0;
    m_limit = m_file ? m_file->Read(m_buffer.data(), m_buffer.size()) : 0;
}

std::size_t CArchive::Read(void* buffer, std::size_t count)
{
    RequireLoading();
    if (count == 0)
        return 0;
    auto* out = static_cast<BYTE*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        if (m_cur == m_limit) {
            // Large reads go straight to the file.
            if (count - done >= m_buffer.size() && m_file) {
                std::size_t n = m_file->Read(out + done, count - done);
                done += n;
                break;
            }
            FillBuffer();
            if (m_limit == 0)
                break;
        }
        std::size_t n = std::min(count - done, m_limit - m_cur);
        std::memcpy(out + done, m_buffer.data() + m_cur, n);
        m_cur += n;
        done += n;
    }
    return done;
}

void CArchive::ReadExact(void* buffer, std::size_t count)
{
    if (Read(buffer, count) != count)
        Throw(CArchiveException::endOfFile);
}

void CArchive::Write(const void* buffer, std::size_t count)
{
    RequireStoring();
    if (!m_file)
        Throw(CArchiveException::genericException);
    if (count == 0)
        return;
    const auto* in = static_cast<const BYTE*>(buffer);
    if (count >= m_buffer.size()) {
        Flush();
        m_file->Write(in, count);
        return;
    }
    if (m_cur + count > m_buffer.size())
        Flush();
    std::memcpy(m_buffer.data() + m_cur, in, count);
    m_cur += count;
}

std::uint64_t CArchive::BytesRemaining() const
{
    if (!IsLoading() || !m_file)
        return 0;
    std::uint64_t length = m_file->GetLength();
    std::uint64_t position = m_file->GetPosition();
    return (m_limit - m_cur) + (length > position ? length - position : 0);
}

void CArchive::CheckRemaining(std::uint64_t count, std::uint64_t size) const
{
    if (size != 0 && count > BytesRemaining() / size)
        Throw(CArchiveException::genericException);
}

void CArchive::WriteString(std::string_view utf8)
{
    std::string bytes = Utf8ToCp1252(utf8);
    std::size_t n = bytes.size();
    if (n < 255) {
        *this << std::uint8_t(n);
    } else if (n < 0xFFFE) {
        *this << std::uint8_t(0xFF) << std::uint16_t(n);
    } else {
        *this << std::uint8_t(0xFF) << std::uint16_t(0xFFFF) << std::uint32_t(n);
    }
    Write(bytes.data(), n);
}

std::string CArchive::ReadString()
{
    bool wide = false;
    std::uint8_t b = 0;
    *this >> b;
    std::uint32_t n = b;
    if (b == 0xFF) {
        std::uint16_t w = 0;
        *this >> w;
        if (w == 0xFFFE) {
            // A wide-character string written by a Unicode build: the length follows again.
            wide = true;
            *this >> b;
            n = b;
            if (b == 0xFF) {
                *this >> w;
                n = w;
            }
        } else {
            n = w;
        }
        if (b == 0xFF && w == 0xFFFF) {
            std::uint32_t d = 0;
            *this >> d;
            n = d;
        }
    }
    std::uint64_t bytes = std::uint64_t(n) * (wide ? 2 : 1);
    CheckRemaining(bytes);
    std::string raw(bytes, '\0');
    ReadExact(raw.data(), raw.size());
    if (!wide)
        return Cp1252ToUtf8(raw);
    std::u16string units(raw.size() / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i)
        units[i] = char16_t(static_cast<unsigned char>(raw[2 * i]) | (static_cast<unsigned char>(raw[2 * i + 1]) << 8));
    return Utf16ToUtf8(units);
}

void CArchive::WriteCount(std::uint32_t count)
{
    if (count < 0xFFFF)
        *this << std::uint16_t(count);
    else
        *this << std::uint16_t(0xFFFF) << count;
}

std::uint32_t CArchive::ReadCount()
{
    std::uint16_t w = 0;
    *this >> w;
    if (w != 0xFFFF)
        return w;
    std::uint32_t d = 0;
    *this >> d;
    return d;
}

void CArchive::WriteClass(const CRuntimeClass* cls)
{
    RequireStoring();
    if (!cls->IsSerializable())
        Throw(CArchiveException::badClass);
    auto it = cls == m_lastClass ? m_storeMap.end() : m_storeMap.find(cls);
    if (cls == m_lastClass || it != m_storeMap.end()) {
        std::uint32_t index = cls == m_lastClass ? m_lastClassIndex : it->second;
        m_lastClass = cls;
        m_lastClassIndex = index;
        if (index < kBigObjectTag)
            *this << std::uint16_t(kClassTag | index);
        else
            *this << kBigObjectTag << std::uint32_t(kBigClassTag | index);
        return;
    }
    std::string_view name = cls->m_lpszClassName;
    *this << kNewClassTag << cls->StoredSchema() << std::uint16_t(name.size());
    Write(name.data(), name.size());
    if (m_mapCount > kMaxMapCount)
        Throw(CArchiveException::badIndex);
    m_lastClass = cls;
    m_lastClassIndex = m_mapCount;
    m_storeMap.emplace(cls, m_mapCount++);
}

void CArchive::WriteObject(const CObject* object)
{
    RequireStoring();
    if (!object) {
        *this << kNullTag;
        return;
    }
    auto it = m_storeMap.find(object);
    if (it != m_storeMap.end()) {
        std::uint32_t index = it->second;
        if (index < kBigObjectTag)
            *this << std::uint16_t(index);
        else
            *this << kBigObjectTag << index;
        return;
    }
    WriteClass(object->GetRuntimeClass());
    if (m_mapCount > kMaxMapCount)
        Throw(CArchiveException::badIndex);
    m_storeMap.emplace(object, m_mapCount++);
    const_cast<CObject*>(object)->Serialize(*this);
}

void CArchive::WriteUniqueObject(const CObject* object)
{
    RequireStoring();
    if (!object) {
        *this << kNullTag;
        return;
    }
    WriteClass(object->GetRuntimeClass());
    if (m_mapCount > kMaxMapCount)
        Throw(CArchiveException::badIndex);
    // The index is spent as for any object, so later indices agree with a reader's.
    ++m_mapCount;
    const_cast<CObject*>(object)->Serialize(*this);
}

void CArchive::WriteUniqueObjectHeader(const CRuntimeClass* cls)
{
    RequireStoring();
    WriteClass(cls);
    if (m_mapCount > kMaxMapCount)
        Throw(CArchiveException::badIndex);
    ++m_mapCount;
}

void CArchive::MapLoaded(const CRuntimeClass* cls, CObject* object)
{
    if (m_mapCount > kMaxMapCount)
        Throw(CArchiveException::badIndex);
    m_loadMap.push_back({cls, object});
    ++m_mapCount;
}

const CRuntimeClass* CArchive::ReadTag(const CRuntimeClass* expected, UINT* schema, std::uint32_t* objectIndex)
{
    RequireLoading();
    *objectIndex = 0;
    std::uint16_t tag = 0;
    *this >> tag;
    std::uint32_t index;
    bool isClass;
    if (tag == kNewClassTag) {
        std::uint16_t storedSchema = 0, length = 0;
        *this >> storedSchema >> length;
        if (length == 0 || length > kMaxClassName)
            Throw(CArchiveException::badClass);
        std::string name(length, '\0');
        ReadExact(name.data(), length);
        const CRuntimeClass* cls = CRuntimeClass::FromName(name);
        if (!cls || !cls->IsSerializable())
            Throw(CArchiveException::badClass);
        if (cls->StoredSchema() != storedSchema && !cls->IsVersionable())
            Throw(CArchiveException::badSchema);
        if (expected && !cls->IsDerivedFrom(expected))
            Throw(CArchiveException::badClass);
        MapLoaded(cls, nullptr);
        m_objectSchema = storedSchema;
        if (schema)
            *schema = storedSchema;
        return cls;
    }
    if (tag == kBigObjectTag) {
        std::uint32_t big = 0;
        *this >> big;
        isClass = (big & kBigClassTag) != 0;
        index = big & ~kBigClassTag;
    } else {
        isClass = (tag & kClassTag) != 0;
        index = tag & ~kClassTag;
    }
    if (!isClass) {
        if (index >= m_loadMap.size() || (index != 0 && !m_loadMap[index].object))
            Throw(CArchiveException::badIndex);
        *objectIndex = index;
        return nullptr;
    }
    if (index == 0 || index >= m_loadMap.size() || !m_loadMap[index].cls || m_loadMap[index].object)
        Throw(CArchiveException::badIndex);
    const CRuntimeClass* cls = m_loadMap[index].cls;
    if (expected && !cls->IsDerivedFrom(expected))
        Throw(CArchiveException::badClass);
    m_objectSchema = cls->StoredSchema();
    if (schema)
        *schema = m_objectSchema;
    return cls;
}

const CRuntimeClass* CArchive::ReadClass(const CRuntimeClass* expected, UINT* schema)
{
    std::uint32_t objectIndex = 0;
    const CRuntimeClass* cls = ReadTag(expected, schema, &objectIndex);
    if (!cls)
        Throw(CArchiveException::badClass);
    return cls;
}

CArchive::ObjectTag CArchive::ReadObjectTag(const CRuntimeClass* expected)
{
    ObjectTag tag;
    std::uint32_t objectIndex = 0;
    tag.newClass = ReadTag(expected, nullptr, &objectIndex);
    if (!tag.newClass && objectIndex != 0) {
        tag.earlier = m_loadMap[objectIndex].object;
        if (expected && !tag.earlier->IsKindOf(expected))
            Throw(CArchiveException::badClass);
    }
    return tag;
}

void CArchive::MapLoadedObject(CObject* object) { MapLoaded(nullptr, object); }

CObject* CArchive::ReadObject(const CRuntimeClass* expected)
{
    bool isNew = false;
    return ReadObject(expected, isNew);
}

CObject* CArchive::ReadObject(const CRuntimeClass* expected, bool& isNew)
{
    isNew = false;
    std::uint32_t objectIndex = 0;
    const CRuntimeClass* cls = ReadTag(expected, nullptr, &objectIndex);
    if (!cls) {
        if (objectIndex == 0)
            return nullptr;
        CObject* earlier = m_loadMap[objectIndex].object;
        if (expected && !earlier->IsKindOf(expected))
            Throw(CArchiveException::badClass);
        return earlier;
    }
    std::unique_ptr<CObject> object(cls->CreateObject());
    if (!object)
        Throw(CArchiveException::badClass);
    UINT schema = m_objectSchema;
    std::size_t slot = m_loadMap.size();
    MapLoaded(nullptr, object.get());
    m_objectSchema = schema;
    try {
        object->Serialize(*this);
    } catch (...) {
        // Later references to the abandoned object must not reach freed memory.
        m_loadMap[slot].object = nullptr;
        throw;
    }
    m_objectSchema = UINT(-1);
    isNew = true;
    return object.release();
}
