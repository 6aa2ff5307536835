#include "framework/PropertyStoreSection.h"

#include "platform/CodePage.h"

#include <algorithm>
#include <cstring>

IMPLEMENT_DYNAMIC(CPropertyStoreSection, CObject)

namespace {

DWORD GetU32(const BYTE* p) { return DWORD(p[0]) | DWORD(p[1]) << 8 | DWORD(p[2]) << 16 | DWORD(p[3]) << 24; }

void PutU32(BYTE* p, DWORD v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = BYTE(v >> (8 * i));
}

void AppendU32(std::vector<BYTE>& out, DWORD v)
{
    BYTE b[4];
    PutU32(b, v);
    out.insert(out.end(), b, b + 4);
}

std::string Lower(std::string_view text)
{
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    }
    return out;
}

// One dictionary entry: id, length with the terminating zero, the bytes. A
// name is cut so that the entry's length never exceeds 255 and its zero is
// always there.
void AppendName(std::vector<BYTE>& out, DWORD id, const std::string& utf8)
{
    std::string bytes = Utf8ToCp1252(utf8);
    bytes = bytes.substr(0, std::min(bytes.find('\0'), CPropertyStoreSection::kMaxNameBytes));
    AppendU32(out, id);
    AppendU32(out, DWORD(bytes.size() + 1));
    out.insert(out.end(), bytes.begin(), bytes.end());
    out.push_back(0);
}

} // namespace

bool CPropertyStoreSection::Set(DWORD id, const void* value, DWORD type)
{
    auto v = std::make_unique<CPropertyStoreValue>();
    if (!v->Set(id, value, type))
        return false;
    for (auto& existing : m_values) {
        if (existing->GetId() == id) {
            existing = std::move(v);
            return true;
        }
    }
    m_values.push_back(std::move(v));
    return true;
}

const CPropertyStoreValue* CPropertyStoreSection::GetValue(DWORD id) const
{
    for (const auto& v : m_values) {
        if (v->GetId() == id)
            return v.get();
    }
    return nullptr;
}

const BYTE* CPropertyStoreSection::Get(DWORD id, std::size_t* size) const
{
    const CPropertyStoreValue* v = GetValue(id);
    if (!v) {
        if (size)
            *size = 0;
        return nullptr;
    }
    return v->Get(size);
}

bool CPropertyStoreSection::Get(DWORD id, void* buffer, std::size_t bufferSize) const
{
    std::size_t size = 0;
    const BYTE* data = Get(id, &size);
    if (!data || size > bufferSize)
        return false;
    std::memcpy(buffer, data, size);
    return true;
}

void CPropertyStoreSection::Remove(DWORD id)
{
    m_values.erase(std::remove_if(m_values.begin(), m_values.end(), [id](const auto& v) { return v->GetId() == id; }),
                   m_values.end());
}

void CPropertyStoreSection::RemoveAll()
{
    m_values.clear();
    m_names.clear();
    m_sectionName.clear();
}

bool CPropertyStoreSection::SetName(DWORD id, std::string_view name)
{
    return m_names.emplace(Lower(name), id).second;
}

bool CPropertyStoreSection::GetId(std::string_view name, DWORD* id) const
{
    auto it = m_names.find(Lower(name));
    if (it == m_names.end())
        return false;
    if (id)
        *id = it->second;
    return true;
}

void CPropertyStoreSection::WriteToStream(std::vector<BYTE>& out)
{
    // Property 0 is the dictionary's place; it is always written.
    if (!GetValue(0))
        Set(0, nullptr, VT_EMPTY);
    const std::size_t start = out.size();
    const std::size_t count = m_values.size();
    out.resize(start + 8 + 8 * count);
    for (std::size_t i = 0; i < count; ++i) {
        const CPropertyStoreValue& v = *m_values[i];
        PutU32(&out[start + 8 + 8 * i], v.GetId());
        PutU32(&out[start + 12 + 8 * i], DWORD(out.size() - start));
        if (v.GetId() == 0) {
            AppendU32(out, DWORD(m_names.size() + 1));
            AppendName(out, 0, m_sectionName);
            for (const auto& [name, id] : m_names)
                AppendName(out, id, name);
            while ((out.size() - start) % 4 != 0)
                out.push_back(0);
        } else {
            v.WriteToStream(out);
        }
    }
    m_size = DWORD(out.size() - start);
    PutU32(&out[start], m_size);
    PutU32(&out[start + 4], DWORD(count));
}

bool CPropertyStoreSection::ReadFromStream(const BYTE* data, std::size_t size)
{
    RemoveAll();
    if (size < 8)
        return false;
    const DWORD sectionSize = GetU32(data);
    const DWORD count = GetU32(data + 4);
    if (sectionSize < 8 || sectionSize > size || count > (sectionSize - 8) / 8)
        return false;
    for (DWORD i = 0; i < count; ++i) {
        const DWORD id = GetU32(data + 8 + 8 * i);
        const DWORD offset = GetU32(data + 12 + 8 * i);
        if (offset < 8 || offset >= sectionSize)
            return false;
        const BYTE* p = data + offset;
        const std::size_t available = sectionSize - offset;
        if (id == 0) {
            if (available < 4)
                return false;
            DWORD entries = GetU32(p);
            if (entries > available / 8)
                return false;
            std::size_t pos = 4;
            for (DWORD k = 0; k < entries; ++k) {
                if (available - pos < 8)
                    return false;
                DWORD nameId = GetU32(p + pos);
                DWORD length = GetU32(p + pos + 4);
                pos += 8;
                if (length > available - pos)
                    return false;
                std::string_view bytes(reinterpret_cast<const char*>(p + pos), length);
                bytes = bytes.substr(0, bytes.find('\0'));
                pos += length;
                std::string name = Cp1252ToUtf8(bytes);
                if (k == 0 && nameId == 0)
                    m_sectionName = std::move(name);
                else
                    m_names.emplace(Lower(name), nameId);
            }
            Set(0, nullptr, VT_EMPTY);
            continue;
        }
        auto v = std::make_unique<CPropertyStoreValue>();
        if (!v->ReadFromStream(id, p, available)) {
            // A type this store does not hold is passed over; a value that
            // runs out of its section is damage.
            if (available >= 4 && !CPropertyStoreValue::IsSupportedType(GetU32(p) & 0xFFFF))
                continue;
            return false;
        }
        Remove(id);
        m_values.push_back(std::move(v));
    }
    m_size = sectionSize;
    return true;
}
