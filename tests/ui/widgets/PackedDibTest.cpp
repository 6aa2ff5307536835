#include "ui/widgets/PackedDib.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QPainter>

#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

// A 3 x 2 bitmap of 8 bits per pixel with three colours, written out by hand:
// header, table (blue, green, red as B G R 0), then the bottom row first,
// each row padded to 4 bytes.
const Bytes kSmall8 = HexBytes(
    "28 00 00 00  03 00 00 00  02 00 00 00  01 00  08 00  00 00 00 00  00 00 00 00"
    " 00 00 00 00  00 00 00 00  03 00 00 00  00 00 00 00"
    " FF 00 00 00  00 FF 00 00  00 00 FF 00"
    " 00 01 02 00"   // bottom row: blue green red
    " 02 02 01 00"); // top row: red red green

Bytes Header(LONG width, LONG height, WORD bits, DWORD clrUsed, DWORD compression = 0)
{
    Bytes h = HexBytes("28 00 00 00");
    auto put = [&h](std::uint64_t v, int n) {
        for (int i = 0; i < n; ++i)
            h.push_back(BYTE(v >> (8 * i)));
    };
    put(std::uint32_t(width), 4);
    put(std::uint32_t(height), 4);
    put(1, 2);
    put(bits, 2);
    put(compression, 4);
    put(0, 4); // size of the rows
    put(0, 4); // pixels per metre
    put(0, 4);
    put(clrUsed, 4);
    put(0, 4);
    return h;
}

Bytes Join(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

} // namespace

TEST(PackedDib, ColourCount)
{
    struct Case {
        DWORD size;
        WORD bits;
        DWORD clrUsed;
        int expected;
    };
    for (Case c : {Case{40, 1, 0, 2}, Case{40, 4, 0, 16}, Case{40, 8, 0, 256}, Case{40, 8, 17, 17},
                   Case{40, 8, 300, 256}, Case{40, 4, 20, 16}, Case{40, 1, 1, 1}, Case{40, 24, 0, 0},
                   Case{40, 16, 0, 0}, Case{40, 32, 0, 0}, Case{40, 24, 5, 5}, Case{40, 24, 1000, 256},
                   Case{12, 8, 3, 256}, Case{108, 8, 3, 3}}) {
        BITMAPINFOHEADER h;
        h.biSize = c.size;
        h.biBitCount = c.bits;
        h.biClrUsed = c.clrUsed;
        EXPECT_EQ(CPackedDib::ColorCount(h), c.expected) << c.size << " " << c.bits << " " << c.clrUsed;
    }
}

TEST(PackedDib, ReadsAndWritesThePackedBytes)
{
    CPackedDib dib;
    ASSERT_TRUE(dib.LoadPacked(kSmall8.data(), kSmall8.size()));
    EXPECT_EQ(dib.GetWidth(), 3);
    EXPECT_EQ(dib.GetHeight(), 2);
    EXPECT_EQ(dib.GetColorCount(), 3);
    EXPECT_TRUE(dib.OwnsBits());
    EXPECT_EQ(dib.GetBitsSize(), 8u);
    EXPECT_EQ(ToHex(dib.GetPacked()), ToHex(kSmall8));

    QImage image = dib.ToImage();
    ASSERT_EQ(image.size(), QSize(3, 2));
    EXPECT_EQ(image.pixel(0, 0), qRgb(255, 0, 0)); // the top row is stored last
    EXPECT_EQ(image.pixel(2, 0), qRgb(0, 255, 0));
    EXPECT_EQ(image.pixel(0, 1), qRgb(0, 0, 255));
    EXPECT_EQ(image.pixel(2, 1), qRgb(255, 0, 0));

    // Qt's own bitmap reader sees the same picture in the file form.
    const Bytes file = dib.GetBitmapFile();
    EXPECT_EQ(ToHex(Bytes(file.begin(), file.begin() + 14)), ToHex(HexBytes("42 4D 4A 00 00 00 00 00 00 00 42 00 00 00")));
    QImage decoded = QImage::fromData(file.data(), int(file.size()), "BMP");
    ASSERT_FALSE(decoded.isNull());
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(decoded.pixel(x, y), image.pixel(x, y)) << x << "," << y;
}

TEST(PackedDib, DamagedInputIsRefusedAndChangesNothing)
{
    const Bytes table3 = HexBytes("FF 00 00 00 00 FF 00 00 00 00 FF 00");
    const Bytes rows = HexBytes("00 01 02 00 02 02 01 00");
    struct Case {
        const char* what;
        Bytes bytes;
    };
    const Case cases[] = {
        {"nothing", {}},
        {"cut header", Bytes(kSmall8.begin(), kSmall8.begin() + 30)},
        {"cut table", Bytes(kSmall8.begin(), kSmall8.begin() + 45)},
        {"one byte of the rows missing", Bytes(kSmall8.begin(), kSmall8.end() - 1)},
        {"zero width", Join({Header(0, 2, 8, 3), table3, rows})},
        {"negative width", Join({Header(-3, 2, 8, 3), table3, rows})},
        {"zero height", Join({Header(3, 0, 8, 3), table3, rows})},
        {"odd depth", Join({Header(3, 2, 7, 3), table3, rows})},
        {"run-length coded", Join({Header(3, 2, 8, 3, 1), table3, rows})},
        {"huge", Join({Header(0x7FFFFFFF, 0x7FFFFFFF, 32, 0), rows})},
        {"huge height", Join({Header(1, -0x7FFFFFFF - 1, 8, 3), table3, rows})},
        {"short header size", Join({HexBytes("20 00 00 00"), Bytes(60, 0)})},
        {"header size beyond the data", Join({HexBytes("FF FF 00 00"), Bytes(60, 0)})},
    };
    CPackedDib dib;
    ASSERT_TRUE(dib.LoadPacked(kSmall8.data(), kSmall8.size()));
    for (const Case& c : cases) {
        EXPECT_FALSE(dib.LoadPacked(c.bytes.data(), c.bytes.size())) << c.what;
        EXPECT_EQ(ToHex(dib.GetPacked()), ToHex(kSmall8)) << c.what;
    }
    EXPECT_FALSE(dib.LoadBitmapFile(kSmall8.data(), kSmall8.size())); // no file header
    EXPECT_FALSE(dib.LoadFromResource(65000));
    EXPECT_FALSE(dib.LoadFromFile("/nonexistent/x.bmp"));
}

TEST(PackedDib, OtherDepthsUnpack)
{
    // 4 bits: 3 pixels 1, 2, 3 in the high then low nibbles.
    Bytes table16(64, 0);
    table16[4 + 2] = 0xFF; // index 1 red
    table16[8 + 1] = 0xFF; // index 2 green
    table16[12 + 0] = 0xFF; // index 3 blue
    CPackedDib four;
    const Bytes fourBytes = Join({Header(3, 1, 4, 0), table16, HexBytes("12 30 00 00")});
    ASSERT_TRUE(four.LoadPacked(fourBytes.data(), fourBytes.size()));
    QImage img = four.ToImage();
    EXPECT_EQ(img.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(img.pixel(1, 0), qRgb(0, 255, 0));
    EXPECT_EQ(img.pixel(2, 0), qRgb(0, 0, 255));

    // 1 bit, 10 pixels: 1011000001, most significant bit first.
    CPackedDib one;
    const Bytes oneBytes = Join({Header(10, 1, 1, 0), HexBytes("00 00 00 00 FF FF FF 00"), HexBytes("B0 40 00 00")});
    ASSERT_TRUE(one.LoadPacked(oneBytes.data(), oneBytes.size()));
    img = one.ToImage();
    const int expected[10] = {1, 0, 1, 1, 0, 0, 0, 0, 0, 1};
    for (int x = 0; x < 10; ++x)
        EXPECT_EQ(img.pixel(x, 0), expected[x] ? qRgb(255, 255, 255) : qRgb(0, 0, 0)) << x;

    // 16 bits, 5-5-5 with blue lowest: 0x7C00 is full red, 0x001F full blue; top-down rows.
    CPackedDib sixteen;
    const Bytes sixteenBytes = Join({Header(2, -2, 16, 0), HexBytes("00 7C 1F 00  E0 03 FF 7F")});
    ASSERT_TRUE(sixteen.LoadPacked(sixteenBytes.data(), sixteenBytes.size()));
    img = sixteen.ToImage();
    EXPECT_EQ(img.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(img.pixel(1, 0), qRgb(0, 0, 255));
    EXPECT_EQ(img.pixel(0, 1), qRgb(0, 255, 0));
    EXPECT_EQ(img.pixel(1, 1), qRgb(255, 255, 255));

    // The old 12-byte header with 3-byte colours becomes the 40-byte form.
    CPackedDib core;
    const Bytes coreBytes = HexBytes("0C 00 00 00 02 00 01 00 01 00 01 00  00 00 FF  FF 00 00  40 00 00 00");
    ASSERT_TRUE(core.LoadPacked(coreBytes.data(), coreBytes.size()));
    EXPECT_EQ(core.GetColorCount(), 2);
    img = core.ToImage();
    EXPECT_EQ(img.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(img.pixel(1, 0), qRgb(0, 0, 255));
    EXPECT_EQ(ToHex(core.GetPacked()),
              ToHex(Join({Header(2, 1, 1, 2), HexBytes("00 00 FF 00 FF 00 00 00 40 00 00 00")})));
}

TEST(PackedDib, ReadsBitmapFilesThatQtWrites)
{
    std::string pattern = (fs::temp_directory_path() / "mx-dib-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    const fs::path dir = pattern;

    QImage indexed(5, 3, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(0, 0, 0), qRgb(200, 10, 30), qRgb(5, 250, 7), qRgb(40, 50, 60)});
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            indexed.setPixel(x, y, uint((x + 2 * y) % 4));
    QImage rgb(4, 2, QImage::Format_RGB32);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            rgb.setPixel(x, y, qRgb(x * 60, y * 200, 17));

    for (const QImage& source : {indexed, rgb}) {
        const std::string path = (dir / "x.bmp").string();
        ASSERT_TRUE(source.save(QString::fromStdString(path), "BMP"));
        CPackedDib dib;
        ASSERT_TRUE(dib.LoadFromFile(path));
        QImage back = dib.ToImage();
        ASSERT_EQ(back.size(), source.size());
        for (int y = 0; y < source.height(); ++y)
            for (int x = 0; x < source.width(); ++x)
                EXPECT_EQ(back.pixel(x, y), source.pixel(x, y)) << x << "," << y;
    }
    fs::remove_all(dir);
}

TEST(PackedDib, TrueColourHasNoPalette)
{
    const Bytes bytes = Join({Header(1, 1, 24, 0), HexBytes("10 20 30 00")});
    CPackedDib dib;
    ASSERT_TRUE(dib.LoadPacked(bytes.data(), bytes.size()));
    EXPECT_EQ(dib.GetColorCount(), 0);
    CDibPalette palette;
    palette.Create({PALETTEENTRY{1, 2, 3, 0}});
    EXPECT_FALSE(CPackedDib::CreatePalette(palette, dib));
    EXPECT_TRUE(palette.IsEmpty());
    EXPECT_FALSE(dib.MapToPalette(CDibPalette()));
    QImage bitmap;
    ASSERT_TRUE(CPackedDib::CreateBitmap(dib, bitmap));
    EXPECT_EQ(bitmap.pixel(0, 0), qRgb(0x30, 0x20, 0x10));
}

TEST(PackedDib, AttachCopiesTheHeaderAndBorrowsTheBits)
{
    // 8 bits with biClrUsed 300: the colour count is 256, and 256 colours are copied.
    Bytes header = Header(2, 1, 8, 300);
    Bytes table(1024, 0);
    table[4 * 255 + 2] = 0x80; // index 255: red 128
    header.insert(header.end(), table.begin(), table.end());
    Bytes bits = HexBytes("FF 00 00 00");
    CPackedDib dib;
    ASSERT_TRUE(dib.Attach(header.data(), header.size(), bits.data()));
    EXPECT_EQ(dib.GetColorCount(), 256);
    EXPECT_FALSE(dib.OwnsBits());
    EXPECT_EQ(dib.GetBits(), bits.data());
    EXPECT_EQ(dib.ToImage().pixel(0, 0), qRgb(128, 0, 0));
    CDibPalette palette;
    ASSERT_TRUE(CPackedDib::CreatePalette(palette, dib));
    EXPECT_EQ(palette.GetEntryCount(), 256);
    EXPECT_EQ(palette.GetEntries()[255], (PALETTEENTRY{128, 0, 0, 0}));
    // A header whose table is cut short is refused.
    EXPECT_FALSE(dib.Attach(header.data(), header.size() - 1, bits.data()));
    EXPECT_FALSE(dib.Attach(header.data(), header.size(), nullptr));
}

TEST(PackedDib, MapToPaletteReplacesPixelsAndTable)
{
    Bytes table(12, 0);
    // Index 0 (10,10,10), index 1 (250,5,5), index 2 (0,0,200), as B G R 0.
    table = HexBytes("0A 0A 0A 00  05 05 FA 00  C8 00 00 00");
    const Bytes rows = HexBytes("00 01 02 77");  // padding byte 77 stays as it is
    const Bytes packed = Join({Header(3, 1, 8, 3), table, rows});
    CPackedDib dib;
    ASSERT_TRUE(dib.Attach(packed.data(), packed.size() - 4, packed.data() + packed.size() - 4));

    CDibPalette palette;
    ASSERT_TRUE(palette.Create({{255, 255, 255, 0}, {0, 0, 255, 0}, {0, 0, 0, 0}, {255, 0, 0, 0}}));
    // Nearest by squared distance: (10,10,10) -> black 2 (300 against white's 178 605);
    // (250,5,5) -> red 3 (75); (0,0,200) -> blue 1 (3025 against black's 40 000).
    ASSERT_TRUE(dib.MapToPalette(palette));
    EXPECT_EQ(ToHex(Bytes(dib.GetBits(), dib.GetBits() + 4)), "02 03 01 77");
    EXPECT_EQ(ToHex(rows), "00 01 02 77"); // the borrowed bits were copied, not changed
    EXPECT_TRUE(dib.OwnsBits());
    EXPECT_EQ(dib.GetHeader().biClrUsed, 256u);
    EXPECT_EQ(dib.GetColorCount(), 256);
    EXPECT_EQ(dib.GetColors()[3], (RGBQUAD{0, 0, 255, 0}));
    EXPECT_EQ(dib.GetColors()[4], RGBQUAD{});
    QImage image = dib.ToImage();
    EXPECT_EQ(image.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(1, 0), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(2, 0), qRgb(0, 0, 255));

    EXPECT_FALSE(dib.MapToPalette(CDibPalette()));
    CPackedDib four;
    const Bytes fourBytes = Join({Header(1, 1, 4, 0), Bytes(64, 0), HexBytes("10 00 00 00")});
    ASSERT_TRUE(four.LoadPacked(fourBytes.data(), fourBytes.size()));
    EXPECT_FALSE(four.MapToPalette(palette));
}

TEST(PackedDib, DrawsWholeAndInPart)
{
    CPackedDib dib;
    ASSERT_TRUE(dib.LoadPacked(kSmall8.data(), kSmall8.size()));
    QImage canvas(5, 4, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    {
        QPainter painter(&canvas);
        dib.Draw(painter, 1, 1);
        // The source's bottom row, middle pixel (green), counted from the top.
        dib.DrawPart(painter, 0, 0, 1, 1, 1, 1);
    }
    EXPECT_EQ(canvas.pixel(0, 0), qRgb(0, 255, 0));
    EXPECT_EQ(canvas.pixel(1, 0), qRgb(255, 255, 255));
    EXPECT_EQ(canvas.pixel(1, 1), qRgb(255, 0, 0));
    EXPECT_EQ(canvas.pixel(3, 1), qRgb(0, 255, 0));
    EXPECT_EQ(canvas.pixel(1, 2), qRgb(0, 0, 255));
    EXPECT_EQ(canvas.pixel(4, 3), qRgb(255, 255, 255));
}

TEST(PackedDib, FromImageWritesAnEightBitBitmap)
{
    QImage image(2, 2, QImage::Format_Indexed8);
    image.setColorTable({qRgb(1, 2, 3), qRgb(4, 5, 6)});
    image.setPixel(0, 0, 1);
    image.setPixel(1, 0, 0);
    image.setPixel(0, 1, 0);
    image.setPixel(1, 1, 1);
    CPackedDib dib;
    ASSERT_TRUE(dib.FromImage(image));
    // Header (8 bytes of rows, 2 colours), table as B G R 0, bottom row first.
    Bytes expected = Header(2, 2, 8, 2);
    expected[20] = 8; // biSizeImage
    expected = Join({expected, HexBytes("03 02 01 00 06 05 04 00"), HexBytes("00 01 00 00 01 00 00 00")});
    EXPECT_EQ(ToHex(dib.GetPacked()), ToHex(expected));
    EXPECT_FALSE(dib.FromImage(QImage()));
}
