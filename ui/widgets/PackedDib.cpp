#include "ui/widgets/PackedDib.h"

#include <QFile>
#include <QPainter>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <limits>

namespace {

constexpr DWORD kCoreHeaderSize = 12;
constexpr DWORD kInfoHeaderSize = 40;
constexpr std::size_t kFileHeaderSize = 14;
constexpr DWORD BI_RGB = 0;
// Far beyond any bitmap the program draws; keeps a damaged header from
// asking for an absurd allocation.
constexpr LONG kMaxSide = 32768;

WORD Word(const BYTE* p) { return WORD(p[0] | p[1] << 8); }
DWORD Dword(const BYTE* p) { return DWORD(p[0]) | DWORD(p[1]) << 8 | DWORD(p[2]) << 16 | DWORD(p[3]) << 24; }

void PutWord(std::vector<BYTE>& out, WORD v) { out.insert(out.end(), {BYTE(v), BYTE(v >> 8)}); }
void PutDword(std::vector<BYTE>& out, DWORD v)
{
    out.insert(out.end(), {BYTE(v), BYTE(v >> 8), BYTE(v >> 16), BYTE(v >> 24)});
}

bool KnownDepth(WORD bits) { return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32; }

// Reads a packed header (a core or an info header) and its colour table;
// headerBytes gets the bytes that header and table take in data.
bool ParseHeader(const BYTE* data, std::size_t size, BITMAPINFOHEADER& header, RGBQUAD (&colors)[256],
                 std::size_t& headerBytes)
{
    if (!data || size < 4)
        return false;
    BITMAPINFOHEADER h;
    DWORD headerSize = Dword(data);
    std::size_t entryBytes = 4;
    if (headerSize == kCoreHeaderSize) {
        if (size < kCoreHeaderSize)
            return false;
        h.biWidth = Word(data + 4);
        h.biHeight = Word(data + 6);
        h.biPlanes = Word(data + 8);
        h.biBitCount = Word(data + 10);
        entryBytes = 3;
    } else {
        // Later, longer headers begin with the same 40 bytes.
        if (headerSize < kInfoHeaderSize || headerSize > size)
            return false;
        h.biWidth = LONG(Dword(data + 4));
        h.biHeight = LONG(Dword(data + 8));
        h.biPlanes = Word(data + 12);
        h.biBitCount = Word(data + 14);
        h.biCompression = Dword(data + 16);
        h.biSizeImage = Dword(data + 20);
        h.biXPelsPerMeter = LONG(Dword(data + 24));
        h.biYPelsPerMeter = LONG(Dword(data + 28));
        h.biClrUsed = Dword(data + 32);
        h.biClrImportant = Dword(data + 36);
    }
    // Only uncompressed rows are drawn and remapped here.
    if (!KnownDepth(h.biBitCount) || h.biCompression != BI_RGB || h.biWidth <= 0 || h.biWidth > kMaxSide
        || h.biHeight == 0 || h.biHeight > kMaxSide || h.biHeight < -kMaxSide)
        return false;
    // The colour count of the header as it came, then the stored info header.
    BITMAPINFOHEADER counted = h;
    counted.biSize = headerSize;
    std::size_t count = std::size_t(CPackedDib::ColorCount(counted));
    std::size_t tableBytes = count * entryBytes;
    if (size - headerSize < tableBytes)
        return false;
    h.biSize = kInfoHeaderSize;
    if (headerSize == kCoreHeaderSize)
        h.biClrUsed = DWORD(count);
    RGBQUAD table[256] = {};
    for (std::size_t i = 0; i < count; ++i) {
        const BYTE* e = data + headerSize + i * entryBytes;
        table[i] = RGBQUAD{e[0], e[1], e[2], 0};
    }
    header = h;
    std::memcpy(colors, table, sizeof table);
    headerBytes = headerSize + tableBytes;
    return true;
}

QRgb ToRgb(const RGBQUAD& q) { return qRgb(q.rgbRed, q.rgbGreen, q.rgbBlue); }

} // namespace

// ---- CDibPalette ----------------------------------------------------------------

bool CDibPalette::Create(std::vector<PALETTEENTRY> entries)
{
    m_entries.clear();
    if (entries.empty() || entries.size() > 256)
        return false;
    m_entries = std::move(entries);
    return true;
}

UINT CDibPalette::GetNearestPaletteIndex(COLORREF colour) const
{
    UINT best = 0;
    long bestDistance = std::numeric_limits<long>::max();
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        long dr = long(m_entries[i].peRed) - GetRValue(colour);
        long dg = long(m_entries[i].peGreen) - GetGValue(colour);
        long db = long(m_entries[i].peBlue) - GetBValue(colour);
        long d = dr * dr + dg * dg + db * db;
        if (d < bestDistance) {
            bestDistance = d;
            best = UINT(i);
        }
    }
    return best;
}

// ---- CPackedDib -----------------------------------------------------------------

int CPackedDib::ColorCount(const BITMAPINFOHEADER& header)
{
    int count = header.biBitCount == 1 ? 2 : header.biBitCount == 4 ? 16 : header.biBitCount == 8 ? 256 : 0;
    if (header.biSize != kCoreHeaderSize && header.biClrUsed != 0) {
        // The header block has room for 256 colours whatever the depth.
        int cap = count != 0 ? count : 256;
        count = header.biClrUsed < DWORD(cap) ? int(header.biClrUsed) : cap;
    }
    return count;
}

std::size_t CPackedDib::RowBytes(const BITMAPINFOHEADER& header)
{
    return (std::size_t(header.biWidth) * header.biBitCount + 31) / 32 * 4;
}

std::size_t CPackedDib::GetBitsSize() const
{
    if (!m_pBits)
        return 0;
    LONG h = m_header.biHeight < 0 ? -m_header.biHeight : m_header.biHeight;
    return RowBytes(m_header) * std::size_t(h);
}

const BYTE* CPackedDib::Row(int topRow) const
{
    LONG h = m_header.biHeight < 0 ? -m_header.biHeight : m_header.biHeight;
    int stored = m_header.biHeight > 0 ? int(h) - 1 - topRow : topRow;
    return m_pBits + RowBytes(m_header) * std::size_t(stored);
}

bool CPackedDib::LoadPacked(const BYTE* data, std::size_t size)
{
    BITMAPINFOHEADER header;
    RGBQUAD colors[256];
    std::size_t headerBytes = 0;
    if (!ParseHeader(data, size, header, colors, headerBytes))
        return false;
    LONG h = header.biHeight < 0 ? -header.biHeight : header.biHeight;
    std::size_t bitsSize = RowBytes(header) * std::size_t(h);
    if (size - headerBytes < bitsSize)
        return false;
    m_header = header;
    std::memcpy(m_colors, colors, sizeof colors);
    m_ownedBits.assign(data + headerBytes, data + headerBytes + bitsSize);
    m_pBits = m_ownedBits.data();
    return true;
}

bool CPackedDib::LoadBitmapFile(const BYTE* data, std::size_t size)
{
    if (!data || size < kFileHeaderSize || data[0] != 'B' || data[1] != 'M')
        return false;
    // The rows normally start where the file header says; a file whose offset
    // points inside the header or table is read as if the rows followed them.
    const BYTE* packed = data + kFileHeaderSize;
    std::size_t packedSize = size - kFileHeaderSize;
    BITMAPINFOHEADER header;
    RGBQUAD colors[256];
    std::size_t headerBytes = 0;
    if (!ParseHeader(packed, packedSize, header, colors, headerBytes))
        return false;
    DWORD offBits = Dword(data + 10);
    if (offBits > kFileHeaderSize + headerBytes && offBits <= size) {
        std::vector<BYTE> joined(packed, packed + headerBytes);
        joined.insert(joined.end(), data + offBits, data + size);
        return LoadPacked(joined.data(), joined.size());
    }
    return LoadPacked(packed, packedSize);
}

bool CPackedDib::LoadFromFile(const std::string& path)
{
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // Refuse before reading a file that no bitmap of ours could fill.
    constexpr qint64 kMaxFile = qint64(kMaxSide) * kMaxSide * 4 + 4096;
    if (file.size() > kMaxFile)
        return false;
    QByteArray bytes = file.readAll();
    return LoadBitmapFile(reinterpret_cast<const BYTE*>(bytes.constData()), std::size_t(bytes.size()));
}

bool CPackedDib::LoadFromResource(UINT id)
{
    return LoadFromFile(":/bitmaps/" + std::to_string(id) + ".bmp");
}

bool CPackedDib::Attach(const BYTE* packedHeader, std::size_t size, const BYTE* bits)
{
    BITMAPINFOHEADER header;
    RGBQUAD colors[256];
    std::size_t headerBytes = 0;
    if (!bits || !ParseHeader(packedHeader, size, header, colors, headerBytes))
        return false;
    m_header = header;
    std::memcpy(m_colors, colors, sizeof colors);
    m_ownedBits.clear();
    m_ownedBits.shrink_to_fit();
    m_pBits = bits;
    return true;
}

bool CPackedDib::FromImage(const QImage& image)
{
    if (image.isNull() || image.width() > kMaxSide || image.height() > kMaxSide)
        return false;
    QImage indexed = image.format() == QImage::Format_Indexed8 ? image
                                                               : image.convertToFormat(QImage::Format_Indexed8);
    if (indexed.isNull() || indexed.colorCount() > 256)
        return false;
    BITMAPINFOHEADER header;
    header.biWidth = indexed.width();
    header.biHeight = indexed.height();
    header.biBitCount = 8;
    header.biClrUsed = DWORD(indexed.colorCount());
    const std::size_t stride = RowBytes(header);
    header.biSizeImage = DWORD(stride * std::size_t(indexed.height()));
    std::vector<BYTE> bits(header.biSizeImage, 0);
    for (int y = 0; y < indexed.height(); ++y)
        std::memcpy(bits.data() + stride * std::size_t(indexed.height() - 1 - y), indexed.constScanLine(y),
                    std::size_t(indexed.width()));
    std::fill(std::begin(m_colors), std::end(m_colors), RGBQUAD{});
    const QList<QRgb> table = indexed.colorTable();
    for (int i = 0; i < table.size(); ++i)
        m_colors[i] = RGBQUAD{BYTE(qBlue(table[i])), BYTE(qGreen(table[i])), BYTE(qRed(table[i])), 0};
    m_header = header;
    m_ownedBits = std::move(bits);
    m_pBits = m_ownedBits.data();
    return true;
}

std::vector<BYTE> CPackedDib::GetPacked() const
{
    std::vector<BYTE> out;
    if (!m_pBits)
        return out;
    const int count = GetColorCount();
    out.reserve(kInfoHeaderSize + std::size_t(count) * 4 + GetBitsSize());
    PutDword(out, kInfoHeaderSize);
    PutDword(out, DWORD(m_header.biWidth));
    PutDword(out, DWORD(m_header.biHeight));
    PutWord(out, m_header.biPlanes);
    PutWord(out, m_header.biBitCount);
    PutDword(out, m_header.biCompression);
    PutDword(out, m_header.biSizeImage);
    PutDword(out, DWORD(m_header.biXPelsPerMeter));
    PutDword(out, DWORD(m_header.biYPelsPerMeter));
    PutDword(out, m_header.biClrUsed);
    PutDword(out, m_header.biClrImportant);
    for (int i = 0; i < count; ++i)
        out.insert(out.end(), {m_colors[i].rgbBlue, m_colors[i].rgbGreen, m_colors[i].rgbRed, m_colors[i].rgbReserved});
    out.insert(out.end(), m_pBits, m_pBits + GetBitsSize());
    return out;
}

std::vector<BYTE> CPackedDib::GetBitmapFile() const
{
    std::vector<BYTE> packed = GetPacked();
    if (packed.empty())
        return packed;
    std::vector<BYTE> out{'B', 'M'};
    PutDword(out, DWORD(kFileHeaderSize + packed.size()));
    PutDword(out, 0);
    PutDword(out, DWORD(kFileHeaderSize + packed.size() - GetBitsSize()));
    out.insert(out.end(), packed.begin(), packed.end());
    return out;
}

QImage CPackedDib::ToImage() const
{
    if (!m_pBits)
        return {};
    const int width = int(m_header.biWidth);
    const int height = int(m_header.biHeight < 0 ? -m_header.biHeight : m_header.biHeight);
    const WORD bits = m_header.biBitCount;
    if (bits <= 8) {
        QImage image(width, height, QImage::Format_Indexed8);
        // Every index a pixel can hold gets a colour: entries past the table are
        // the header block's zeros (black), never an undefined colour.
        QList<QRgb> table;
        for (int i = 0; i < (1 << bits); ++i)
            table.push_back(ToRgb(m_colors[i]));
        image.setColorTable(table);
        const int perByte = 8 / bits;
        const int mask = (1 << bits) - 1;
        for (int y = 0; y < height; ++y) {
            const BYTE* row = Row(y);
            uchar* out = image.scanLine(y);
            for (int x = 0; x < width; ++x) {
                int shift = 8 - bits * (x % perByte + 1);
                out[x] = uchar((row[x / perByte] >> shift) & mask);
            }
        }
        return image;
    }
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        const BYTE* row = Row(y);
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            if (bits == 16) {
                // 5 bits each of red, green and blue, blue lowest.
                int v = row[2 * x] | row[2 * x + 1] << 8;
                int r = (v >> 10) & 31, g = (v >> 5) & 31, b = v & 31;
                out[x] = qRgb(r << 3 | r >> 2, g << 3 | g >> 2, b << 3 | b >> 2);
            } else {
                const BYTE* p = row + std::size_t(x) * (bits / 8);
                out[x] = qRgb(p[2], p[1], p[0]);
            }
        }
    }
    return image;
}

void CPackedDib::Draw(QPainter& painter, int x, int y) const
{
    if (m_pBits)
        painter.drawImage(QPoint(x, y), ToImage());
}

void CPackedDib::DrawPart(QPainter& painter, int x, int y, int srcX, int srcY, int cx, int cy) const
{
    if (m_pBits)
        painter.drawImage(QPoint(x, y), ToImage(), QRect(srcX, srcY, cx, cy));
}

bool CPackedDib::MapToPalette(const CDibPalette& palette)
{
    if (palette.IsEmpty() || !m_pBits || m_header.biBitCount != 8)
        return false;
    BYTE map[256];
    for (int i = 0; i < 256; ++i)
        map[i] = BYTE(palette.GetNearestPaletteIndex(RGB(m_colors[i].rgbRed, m_colors[i].rgbGreen, m_colors[i].rgbBlue)));
    // Bits that belong to someone else (a resource, a caller's block) are
    // copied before they are changed.
    if (!OwnsBits()) {
        m_ownedBits.assign(m_pBits, m_pBits + GetBitsSize());
        m_pBits = m_ownedBits.data();
    }
    const std::size_t stride = RowBytes(m_header);
    const std::size_t rows = GetBitsSize() / stride;
    for (std::size_t r = 0; r < rows; ++r) {
        BYTE* row = m_ownedBits.data() + r * stride;
        for (LONG x = 0; x < m_header.biWidth; ++x)
            row[x] = map[row[x]];
    }
    std::fill(std::begin(m_colors), std::end(m_colors), RGBQUAD{});
    const auto& entries = palette.GetEntries();
    for (std::size_t i = 0; i < entries.size(); ++i)
        m_colors[i] = RGBQUAD{entries[i].peBlue, entries[i].peGreen, entries[i].peRed, 0};
    m_header.biClrUsed = 256;
    return true;
}

bool CPackedDib::CreatePalette(CDibPalette& palette, const CPackedDib& dib)
{
    palette.DeleteObject();
    const int count = dib.GetColorCount();
    if (count == 0)
        return false;
    std::vector<PALETTEENTRY> entries(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        entries[std::size_t(i)] = PALETTEENTRY{dib.m_colors[i].rgbRed, dib.m_colors[i].rgbGreen,
                                               dib.m_colors[i].rgbBlue, 0};
    return palette.Create(std::move(entries));
}

bool CPackedDib::CreateBitmap(const CPackedDib& dib, QImage& bitmap)
{
    CDibPalette palette;
    CreatePalette(palette, dib);
    palette.RealizePalette();
    bitmap = dib.ToImage().convertToFormat(QImage::Format_RGB32);
    return !bitmap.isNull();
}
