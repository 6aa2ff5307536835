#include "framework/PropertyStore.h"

#include "platform/Exceptions.h"
#include "platform/File.h"

#include <algorithm>
#include <cstring>

namespace {

// The platform word of the header: 2 (32-bit Windows) in the high word, the
// system version (10.0) in the low word; readers ignore it.
constexpr DWORD kOSVersion = 0x0002000A;
constexpr std::size_t kHeaderBytes = 28;
constexpr std::size_t kSectionEntryBytes = 20;
// Property sets are small; a stream far beyond this is not one.
constexpr std::uint64_t kMaxStreamBytes = 64u << 20;

DWORD GetU32(const BYTE* p) { return DWORD(p[0]) | DWORD(p[1]) << 8 | DWORD(p[2]) << 16 | DWORD(p[3]) << 24; }
WORD GetU16(const BYTE* p) { return WORD(p[0] | p[1] << 8); }
void AppendU16(std::vector<BYTE>& out, WORD v) { out.push_back(BYTE(v)); out.push_back(BYTE(v >> 8)); }
void AppendU32(std::vector<BYTE>& out, DWORD v) { AppendU16(out, WORD(v)); AppendU16(out, WORD(v >> 16)); }

void AppendGuid(std::vector<BYTE>& out, const GUID& g)
{
    AppendU32(out, g.Data1);
    AppendU16(out, g.Data2);
    AppendU16(out, g.Data3);
    out.insert(out.end(), g.Data4, g.Data4 + 8);
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

} // namespace

CPropertyStore::CPropertyStore()
    : m_osVersion(kOSVersion)
{
}

CPropertyStoreSection* CPropertyStore::GetSection(const FMTID& formatId)
{
    for (auto& s : m_sections) {
        if (s->GetFormatId() == formatId)
            return s.get();
    }
    return nullptr;
}

const CPropertyStoreSection* CPropertyStore::GetSection(const FMTID& formatId) const
{
    return const_cast<CPropertyStore*>(this)->GetSection(formatId);
}

CPropertyStoreSection* CPropertyStore::AddSection(const FMTID& formatId)
{
    if (CPropertyStoreSection* s = GetSection(formatId))
        return s;
    m_sections.push_back(std::make_unique<CPropertyStoreSection>(formatId));
    return m_sections.back().get();
}

void CPropertyStore::RemoveSection(const FMTID& formatId)
{
    m_sections.erase(std::remove_if(m_sections.begin(), m_sections.end(),
                                    [&](const auto& s) { return s->GetFormatId() == formatId; }),
                     m_sections.end());
}

void CPropertyStore::RemoveAll() { m_sections.clear(); }

bool CPropertyStore::Set(const FMTID& formatId, DWORD id, const void* value, DWORD type)
{
    return AddSection(formatId)->Set(id, value, type);
}

bool CPropertyStore::Get(const FMTID& formatId, DWORD id, void* buffer, std::size_t bufferSize) const
{
    const CPropertyStoreSection* s = GetSection(formatId);
    return s && s->Get(id, buffer, bufferSize);
}

const BYTE* CPropertyStore::Get(const FMTID& formatId, DWORD id, std::size_t* size) const
{
    const CPropertyStoreSection* s = GetSection(formatId);
    if (!s) {
        if (size)
            *size = 0;
        return nullptr;
    }
    return s->Get(id, size);
}

void CPropertyStore::Remove(const FMTID& formatId, DWORD id)
{
    if (CPropertyStoreSection* s = GetSection(formatId))
        s->Remove(id);
}

std::vector<BYTE> CPropertyStore::ToBytes()
{
    std::vector<BYTE> out;
    AppendU16(out, m_byteOrder);
    AppendU16(out, m_formatVersion);
    AppendU32(out, m_osVersion);
    AppendGuid(out, m_classId);
    AppendU32(out, DWORD(m_sections.size()));
    const std::size_t table = out.size();
    out.resize(table + kSectionEntryBytes * m_sections.size());
    for (std::size_t i = 0; i < m_sections.size(); ++i) {
        std::vector<BYTE> entry;
        AppendGuid(entry, m_sections[i]->GetFormatId());
        AppendU32(entry, DWORD(out.size()));
        std::memcpy(&out[table + kSectionEntryBytes * i], entry.data(), kSectionEntryBytes);
        m_sections[i]->WriteToStream(out);
    }
    return out;
}

bool CPropertyStore::FromBytes(const BYTE* data, std::size_t size)
{
    RemoveAll();
    if (size < kHeaderBytes)
        return false;
    WORD byteOrder = GetU16(data);
    WORD format = GetU16(data + 2);
    DWORD count = GetU32(data + 24);
    if (byteOrder != 0xFFFE || format > 1 || count > (size - kHeaderBytes) / kSectionEntryBytes)
        return false;
    std::vector<std::unique_ptr<CPropertyStoreSection>> sections;
    for (DWORD i = 0; i < count; ++i) {
        const BYTE* entry = data + kHeaderBytes + kSectionEntryBytes * i;
        DWORD offset = GetU32(entry + 16);
        if (offset >= size)
            return false;
        auto section = std::make_unique<CPropertyStoreSection>(GetGuid(entry));
        if (!section->ReadFromStream(data + offset, size - offset))
            return false;
        sections.push_back(std::move(section));
    }
    m_byteOrder = byteOrder;
    m_formatVersion = format;
    m_osVersion = GetU32(data + 4);
    m_classId = GetGuid(data + 8);
    m_sections = std::move(sections);
    return true;
}

bool CPropertyStore::WriteToStream(CFile& file)
{
    std::vector<BYTE> bytes = ToBytes();
    try {
        file.Write(bytes.data(), bytes.size());
        return true;
    } catch (const CException&) {
        return false;
    }
}

bool CPropertyStore::ReadFromStream(CFile& file)
{
    RemoveAll();
    try {
        std::uint64_t length = file.GetLength();
        std::uint64_t position = file.GetPosition();
        if (position > length || length - position > kMaxStreamBytes)
            return false;
        std::vector<BYTE> bytes(std::size_t(length - position));
        if (file.Read(bytes.data(), bytes.size()) != bytes.size())
            return false;
        return FromBytes(bytes.data(), bytes.size());
    } catch (const CException&) {
        return false;
    }
}
