#include "framework/ImageListData.h"

#include <cstring>

namespace {

constexpr WORD kMagic = 0x4C49; // "IL"
constexpr int kHeaderSize = 28;
constexpr WORD kMaskFlag = 0x0001;

void ReadBitmapFile(CArchive& ar, std::vector<BYTE>& out)
{
    BYTE header[14];
    ar.ReadExact(header, sizeof header);
    if (header[0] != 'B' || header[1] != 'M')
        ThrowArchiveError();
    std::uint32_t size = 0;
    std::memcpy(&size, header + 2, 4);
    if (size < sizeof header + 40)
        ThrowArchiveError();
    ar.CheckRemaining(size - sizeof header);
    std::size_t at = out.size();
    out.resize(at + size);
    std::memcpy(out.data() + at, header, sizeof header);
    ar.ReadExact(out.data() + at + sizeof header, size - sizeof header);
}

} // namespace

void CImageListData::Write(CArchive& ar) const
{
    if (m_bytes.size() < kHeaderSize)
        ThrowArchiveError();
    ar.Write(m_bytes.data(), m_bytes.size());
}

void CImageListData::Read(CArchive& ar)
{
    std::vector<BYTE> bytes(kHeaderSize);
    ar.ReadExact(bytes.data(), kHeaderSize);
    WORD magic = WORD(bytes[0] | (bytes[1] << 8));
    WORD flags = WORD(bytes[18] | (bytes[19] << 8));
    if (magic != kMagic)
        ThrowArchiveError();
    ReadBitmapFile(ar, bytes);
    if (flags & kMaskFlag)
        ReadBitmapFile(ar, bytes);
    m_bytes = std::move(bytes);
}
