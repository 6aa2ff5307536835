// One property of a property set: its id, its variant type and its value in
// the exact form that follows the type word in a property-set stream.
#pragma once

#include "platform/Object.h"
#include "platform/Types.h"

#include <cstddef>
#include <optional>
#include <vector>

// Variant types of stored properties.
enum : DWORD {
    VT_EMPTY = 0,
    VT_NULL = 1,
    VT_I2 = 2,
    VT_I4 = 3,
    VT_R4 = 4,
    VT_R8 = 5,
    VT_CY = 6,
    VT_DATE = 7,
    VT_BSTR = 8,
    VT_BOOL = 11,
    VT_I8 = 20,
    VT_LPSTR = 30,
    VT_LPWSTR = 31,
    VT_FILETIME = 64,
    VT_BLOB = 65,
    VT_STREAM = 66,
    VT_STORAGE = 67,
    VT_STREAMED_OBJECT = 68,
    VT_STORED_OBJECT = 69,
    VT_BLOB_OBJECT = 70,
    VT_CF = 71,
    VT_CLSID = 72,
    VT_VECTOR = 0x1000,
};

class CPropertyStoreValue : public CObject {
    DECLARE_DYNAMIC(CPropertyStoreValue)
public:
    CPropertyStoreValue() = default;

    // Sets id, type and value; false (and nothing changed) for a type that is
    // not supported. The value is read by type: for VT_LPSTR, VT_BSTR and the
    // stream, storage and object types a zero-terminated byte string; for
    // VT_LPWSTR a zero-terminated char16_t string; for every other type (and
    // every vector) the value in its stored form (a blob's 4-byte size and
    // bytes, a vector's element count and elements, a number's bytes).
    // Null stores an empty value.
    bool Set(DWORD id, const void* value, DWORD type);
    bool SetValue(const void* value, DWORD type);

    // The value's data after any count word, and its size in bytes (a string
    // includes its terminating zero); null when the value is empty.
    const BYTE* Get(std::size_t* size) const;
    // The value exactly as stored after the type word.
    const std::vector<BYTE>& GetBlock() const { return m_block; }
    DWORD GetId() const { return m_id; }
    DWORD GetType() const { return m_type; }

    // Appends the type word, the block and zero bytes up to a multiple of 4.
    void WriteToStream(std::vector<BYTE>& out) const;
    // Reads a type word and a block from at most size bytes; false when the
    // type is not supported or the block runs past the end.
    bool ReadFromStream(DWORD id, const BYTE* data, std::size_t size);

    static bool IsSupportedType(DWORD type);
    // The size of a block of the type in stored form starting at data, when
    // it fits in available bytes; nothing for an unsupported type or a block
    // that runs over.
    static std::optional<std::size_t> BlockSize(const BYTE* data, std::size_t available, DWORD type);

private:
    DWORD m_id = 0;
    DWORD m_type = VT_EMPTY;
    std::vector<BYTE> m_block;
};
