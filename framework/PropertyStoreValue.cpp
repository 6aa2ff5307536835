#include "framework/PropertyStoreValue.h"

#include <cstring>
#include <limits>

IMPLEMENT_DYNAMIC(CPropertyStoreValue, CObject)

namespace {

DWORD GetU32(const BYTE* p) { return DWORD(p[0]) | DWORD(p[1]) << 8 | DWORD(p[2]) << 16 | DWORD(p[3]) << 24; }

void AppendU32(std::vector<BYTE>& out, DWORD v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(BYTE(v >> (8 * i)));
}

// Bytes of one element of a fixed size, 0 for a counted element, or -1 for an unknown type.
int FixedSize(DWORD base)
{
    switch (base) {
    case VT_EMPTY: return 0;
    case VT_I2:
    case VT_BOOL: return 2;
    case VT_I4:
    case VT_R4: return 4;
    case VT_R8:
    case VT_CY:
    case VT_DATE:
    case VT_I8:
    case VT_FILETIME: return 8;
    case VT_CLSID: return 16;
    default: return -1;
    }
}

// Types whose value is a 4-byte count followed by that many bytes (or, for
// VT_LPWSTR, that many 16-bit characters).
bool IsCounted(DWORD base)
{
    switch (base) {
    case VT_LPSTR:
    case VT_BSTR:
    case VT_LPWSTR:
    case VT_BLOB:
    case VT_BLOB_OBJECT:
    case VT_CF:
    case VT_STREAM:
    case VT_STORAGE:
    case VT_STREAMED_OBJECT:
    case VT_STORED_OBJECT: return true;
    default: return false;
    }
}

bool IsByteString(DWORD base)
{
    return base == VT_LPSTR || base == VT_BSTR || (base >= VT_STREAM && base <= VT_STORED_OBJECT);
}

std::optional<std::size_t> ElementSize(const BYTE* data, std::size_t available, DWORD base)
{
    int fixed = FixedSize(base);
    if (fixed >= 0)
        return std::size_t(fixed) <= available ? std::optional<std::size_t>(std::size_t(fixed)) : std::nullopt;
    if (available < 4)
        return std::nullopt;
    std::uint64_t count = GetU32(data);
    std::uint64_t bytes = base == VT_LPWSTR ? count * 2 : count;
    if (bytes > available - 4)
        return std::nullopt;
    return std::size_t(4 + bytes);
}

} // namespace

bool CPropertyStoreValue::IsSupportedType(DWORD type)
{
    DWORD base = type & ~DWORD(VT_VECTOR);
    if (base > 75 || (FixedSize(base) < 0 && !IsCounted(base)))
        return false;
    // A vector of empty values has no size of its own to bound its count.
    return !(type & VT_VECTOR) || base != VT_EMPTY;
}

std::optional<std::size_t> CPropertyStoreValue::BlockSize(const BYTE* data, std::size_t available, DWORD type)
{
    if (!IsSupportedType(type))
        return std::nullopt;
    DWORD base = type & ~DWORD(VT_VECTOR);
    if (!(type & VT_VECTOR))
        return ElementSize(data, available, base);
    if (available < 4)
        return std::nullopt;
    std::uint64_t count = GetU32(data);
    int fixed = FixedSize(base);
    if (fixed > 0) {
        if (count * std::uint64_t(fixed) > available - 4)
            return std::nullopt;
        return std::size_t(4 + count * std::uint64_t(fixed));
    }
    // Counted elements take at least 4 bytes each, so the loop is bounded by the bytes at hand.
    std::size_t pos = 4;
    for (std::uint64_t i = 0; i < count; ++i) {
        auto size = ElementSize(data + pos, available - pos, base);
        if (!size)
            return std::nullopt;
        pos += *size;
    }
    return pos;
}

bool CPropertyStoreValue::Set(DWORD id, const void* value, DWORD type)
{
    if (!SetValue(value, type))
        return false;
    m_id = id;
    return true;
}

bool CPropertyStoreValue::SetValue(const void* value, DWORD type)
{
    if (!IsSupportedType(type) || (!value && type != VT_EMPTY))
        return false;
    std::vector<BYTE> block;
    DWORD base = type & ~DWORD(VT_VECTOR);
    if (type == VT_EMPTY) {
        // nothing stored
    } else if (!(type & VT_VECTOR) && IsByteString(base)) {
        const char* text = static_cast<const char*>(value);
        std::size_t count = std::strlen(text) + 1;
        AppendU32(block, DWORD(count));
        block.insert(block.end(), text, text + count);
    } else if (type == VT_LPWSTR) {
        const char16_t* text = static_cast<const char16_t*>(value);
        std::size_t count = std::char_traits<char16_t>::length(text) + 1;
        AppendU32(block, DWORD(count));
        for (std::size_t i = 0; i < count; ++i) {
            block.push_back(BYTE(text[i]));
            block.push_back(BYTE(text[i] >> 8));
        }
    } else {
        const BYTE* p = static_cast<const BYTE*>(value);
        auto size = BlockSize(p, std::numeric_limits<std::size_t>::max() / 2, type);
        if (!size)
            return false;
        block.assign(p, p + *size);
    }
    m_type = type;
    m_block = std::move(block);
    return true;
}

const BYTE* CPropertyStoreValue::Get(std::size_t* size) const
{
    if (m_block.empty()) {
        if (size)
            *size = 0;
        return nullptr;
    }
    std::size_t skip = (m_type & VT_VECTOR) || IsCounted(m_type) ? 4 : 0;
    if (size)
        *size = m_block.size() - skip;
    return m_block.data() + skip;
}

void CPropertyStoreValue::WriteToStream(std::vector<BYTE>& out) const
{
    AppendU32(out, m_type);
    out.insert(out.end(), m_block.begin(), m_block.end());
    while (out.size() % 4 != 0)
        out.push_back(0);
}

bool CPropertyStoreValue::ReadFromStream(DWORD id, const BYTE* data, std::size_t size)
{
    if (size < 4)
        return false;
    // The type is a 16-bit word followed by two bytes of padding.
    DWORD type = GetU32(data) & 0xFFFF;
    auto blockSize = BlockSize(data + 4, size - 4, type);
    if (!blockSize)
        return false;
    m_id = id;
    m_type = type;
    m_block.assign(data + 4, data + 4 + *blockSize);
    return true;
}
