// A device-independent bitmap in its packed form: the 40-byte header, the
// colour table and the pixel rows (bottom-up unless the height is negative,
// each row padded to a multiple of 4 bytes). It is read from and written as
// those bytes, remapped to a palette, and drawn through QImage.
#pragma once

#include "platform/Types.h"

#include <QImage>

#include <cstddef>
#include <string>
#include <vector>

class QPainter;

struct BITMAPINFOHEADER {
    DWORD biSize = 40;
    LONG biWidth = 0;
    LONG biHeight = 0;
    WORD biPlanes = 1;
    WORD biBitCount = 0;
    DWORD biCompression = 0;
    DWORD biSizeImage = 0;
    LONG biXPelsPerMeter = 0;
    LONG biYPelsPerMeter = 0;
    DWORD biClrUsed = 0;
    DWORD biClrImportant = 0;
};

struct RGBQUAD {
    BYTE rgbBlue = 0;
    BYTE rgbGreen = 0;
    BYTE rgbRed = 0;
    BYTE rgbReserved = 0;
    friend bool operator==(const RGBQUAD&, const RGBQUAD&) = default;
};

struct PALETTEENTRY {
    BYTE peRed = 0;
    BYTE peGreen = 0;
    BYTE peBlue = 0;
    BYTE peFlags = 0;
    friend bool operator==(const PALETTEENTRY&, const PALETTEENTRY&) = default;
};

// A logical palette of up to 256 colours.
class CDibPalette {
public:
    // Replaces the colours; false (and empty) for no colours or more than 256.
    bool Create(std::vector<PALETTEENTRY> entries);
    void DeleteObject() { m_entries.clear(); }
    bool IsEmpty() const { return m_entries.empty(); }
    int GetEntryCount() const { return int(m_entries.size()); }
    const std::vector<PALETTEENTRY>& GetEntries() const { return m_entries; }
    // The index of the entry nearest to the colour (least squared RGB distance,
    // the lowest index on a tie); 0 for an empty palette.
    UINT GetNearestPaletteIndex(COLORREF colour) const;
    // Every display this program draws on shows true colour, so there is
    // nothing to realise; kept so that callers read as they do elsewhere.
    UINT RealizePalette() const { return 0; }

private:
    std::vector<PALETTEENTRY> m_entries;
};

class CPackedDib {
public:
    // The header block: the header and room for 256 colours.
    static constexpr std::size_t kHeaderBlockSize = 40 + 256 * 4;

    CPackedDib() = default;
    CPackedDib(const CPackedDib&) = delete;
    CPackedDib& operator=(const CPackedDib&) = delete;

    // The program's bitmap resource id, kept as ":/bitmaps/<id>.bmp"; false when missing or damaged.
    bool LoadFromResource(UINT id);
    // A bitmap file (the packed form behind a 14-byte file header).
    bool LoadFromFile(const std::string& path);
    bool LoadBitmapFile(const BYTE* data, std::size_t size);
    // The packed form: header, colour table, rows. Everything is checked against
    // size and copied; false (and the bitmap unchanged) for damaged input.
    bool LoadPacked(const BYTE* data, std::size_t size);
    // Copies the header and its colour table from a packed header of size bytes,
    // and takes bits (rows as the header describes them) without owning them.
    bool Attach(const BYTE* packedHeader, std::size_t size, const BYTE* bits);
    // An image as an 8-bit bitmap with its colour table (other formats are reduced to 256 colours).
    bool FromImage(const QImage& image);

    // The packed form and the bitmap file form.
    std::vector<BYTE> GetPacked() const;
    std::vector<BYTE> GetBitmapFile() const;

    bool IsEmpty() const { return m_pBits == nullptr; }
    LONG GetWidth() const { return m_header.biWidth; }
    LONG GetHeight() const { return m_header.biHeight; }
    const BITMAPINFOHEADER& GetHeader() const { return m_header; }
    const RGBQUAD* GetColors() const { return m_colors; }
    const BYTE* GetBits() const { return m_pBits; }
    bool OwnsBits() const { return !m_ownedBits.empty() && m_pBits == m_ownedBits.data(); }
    std::size_t GetBitsSize() const;
    int GetColorCount() const { return ColorCount(m_header); }
    // 2, 16 or 256 for 1, 4 or 8 bits per pixel, else 0; a non-zero biClrUsed
    // replaces it, capped at 2, 16 and 256 for those depths and at 256 for others.
    static int ColorCount(const BITMAPINFOHEADER& header);

    // The bitmap as an image, top row first; a null image when empty.
    QImage ToImage() const;
    void Draw(QPainter& painter, int x, int y) const;
    // Draws the source rectangle (srcX, srcY, cx, cy), counted from the bitmap's top, at (x, y).
    void DrawPart(QPainter& painter, int x, int y, int srcX, int srcY, int cx, int cy) const;

    // For an 8-bit bitmap: every pixel takes the palette index nearest to its
    // colour, and the colour table becomes the palette (biClrUsed 256).
    // False without a palette or for other depths.
    bool MapToPalette(const CDibPalette& palette);
    // The bitmap's colour table as a palette; false (and an empty palette) without one.
    static bool CreatePalette(CDibPalette& palette, const CPackedDib& dib);
    // A displayable image of the bitmap; false when it is empty.
    static bool CreateBitmap(const CPackedDib& dib, QImage& bitmap);

private:
    static std::size_t RowBytes(const BITMAPINFOHEADER& header);
    const BYTE* Row(int topRow) const;

    BITMAPINFOHEADER m_header;
    RGBQUAD m_colors[256] = {};
    const BYTE* m_pBits = nullptr;
    std::vector<BYTE> m_ownedBits;
};
