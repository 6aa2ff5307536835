#include "app/OldFileReader.h"

#include "platform/CodePage.h"

#include <algorithm>

namespace {
// Large enough for every fixed field; longer runs are passed over in pieces.
constexpr std::size_t kSkipChunk = 4096;
} // namespace

void COldFileReader::Fail(const std::string& text)
{
    throw CArchiveException(CArchiveException::genericException, {}, text);
}

void COldFileReader::ReadExact(void* buffer, std::size_t count)
{
    if (m_ar.Read(buffer, count) != count)
        Fail("The file ends in the middle of a record.");
}

std::uint8_t COldFileReader::Byte()
{
    std::uint8_t v = 0;
    ReadExact(&v, sizeof v);
    return v;
}

std::int16_t COldFileReader::Int16() { return std::int16_t(UInt16()); }

std::uint16_t COldFileReader::UInt16()
{
    BYTE b[2];
    ReadExact(b, sizeof b);
    return std::uint16_t(b[0] | (b[1] << 8));
}

std::int32_t COldFileReader::Int32()
{
    BYTE b[4];
    ReadExact(b, sizeof b);
    return std::int32_t(std::uint32_t(b[0]) | (std::uint32_t(b[1]) << 8) | (std::uint32_t(b[2]) << 16)
                        | (std::uint32_t(b[3]) << 24));
}

double COldFileReader::Double()
{
    double v = 0;
    ReadExact(&v, sizeof v); // little-endian hosts only, as the archive
    return v;
}

void COldFileReader::Skip(std::uint64_t count)
{
    if (count > m_ar.BytesRemaining())
        Fail("The file ends in the middle of a record.");
    BYTE scratch[kSkipChunk];
    while (count > 0) {
        std::size_t piece = std::size_t(std::min<std::uint64_t>(count, sizeof scratch));
        ReadExact(scratch, piece);
        count -= piece;
    }
}

std::uint32_t COldFileReader::CheckCount(std::int64_t count, std::uint64_t elementSize, const char* what)
{
    if (count < 0)
        Fail("The file is damaged: " + std::string(what) + " has the negative count " + std::to_string(count) + ".");
    if (elementSize != 0 && std::uint64_t(count) > m_ar.BytesRemaining() / elementSize)
        Fail("The file is damaged: " + std::string(what) + " has the count " + std::to_string(count)
             + ", more than the rest of the file holds.");
    return std::uint32_t(count);
}

void COldFileReader::SkipCounted16(const char* what) { Skip(CheckCount(Int16(), 1, what)); }

void COldFileReader::SkipCounted32(const char* what) { Skip(CheckCount(Int32(), 1, what)); }

std::string COldFileReader::Text(std::uint64_t count, std::size_t width)
{
    if (count > m_ar.BytesRemaining())
        Fail("The file ends in the middle of a text.");
    std::size_t kept = std::size_t(std::min<std::uint64_t>(count, width));
    std::string raw(kept, '\0');
    ReadExact(raw.data(), kept);
    Skip(count - kept);
    raw.resize(std::min(raw.find('\0'), raw.size()));
    return Cp1252ToUtf8(raw);
}

std::string COldFileReader::RawCString(std::size_t width, const char* what)
{
    std::string raw;
    for (;;) {
        char c = 0;
        if (m_ar.Read(&c, 1) != 1)
            Fail("The file is damaged: " + std::string(what) + " has no end.");
        if (c == '\0')
            break;
        if (raw.size() < width)
            raw.push_back(c);
    }
    return raw;
}
