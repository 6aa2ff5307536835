// Reads the records of the program's version-3 files: little-endian words,
// doubles and 8-bit texts. Every count taken from the file is checked for
// sign and against the bytes that remain before anything is read or
// allocated, and every text is kept within the width of its field, so that
// a damaged file is refused with a message that says what is wrong.
#pragma once

#include "platform/Archive.h"

#include <cstddef>
#include <cstdint>
#include <string>

class COldFileReader {
public:
    explicit COldFileReader(CArchive& ar) : m_ar(ar) {}

    std::uint64_t BytesRemaining() const { return m_ar.BytesRemaining(); }

    std::uint8_t Byte();
    // A byte when one is left; false at the end of the input.
    bool TryByte(std::uint8_t& value) { return m_ar.Read(&value, 1) == 1; }
    std::int16_t Int16();
    std::uint16_t UInt16();
    std::int32_t Int32();
    double Double();
    void ReadExact(void* buffer, std::size_t count);
    // Passes over count bytes (after checking that they are there).
    void Skip(std::uint64_t count);

    // A count of elements of elementSize bytes each that the file is about to
    // hold: refused when negative or when that many elements cannot remain.
    std::uint32_t CheckCount(std::int64_t count, std::uint64_t elementSize, const char* what);
    // An int16 length followed by that many bytes, which are passed over.
    void SkipCounted16(const char* what);
    // An int32 length followed by that many bytes, which are passed over.
    void SkipCounted32(const char* what);

    // count bytes of 8-bit text: kept up to the first NUL and to at most width
    // bytes, returned as UTF-8; the rest of the count is passed over.
    std::string Text(std::uint64_t count, std::size_t width);
    // A NUL-terminated text as its 8-bit bytes, at most width of which are
    // kept; refused when the input ends before the NUL.
    std::string RawCString(std::size_t width, const char* what);

    // Refuses the file: a generic archive exception with the text.
    [[noreturn]] static void Fail(const std::string& text);

private:
    CArchive& m_ar;
};
