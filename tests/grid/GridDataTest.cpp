#include "grid/GridData.h"
#include "grid/MXGridData.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// Little-endian byte builder for expected stored forms, written from the
// format's field list rather than from the code under test.
struct ByteBuilder {
    Bytes bytes;
    ByteBuilder& i32(std::int32_t v)
    {
        for (int i = 0; i < 4; ++i)
            bytes.push_back(BYTE((std::uint32_t(v) >> (8 * i)) & 0xFF));
        return *this;
    }
    ByteBuilder& u16(std::uint16_t v)
    {
        bytes.push_back(BYTE(v & 0xFF));
        bytes.push_back(BYTE(v >> 8));
        return *this;
    }
    ByteBuilder& u8(BYTE v)
    {
        bytes.push_back(v);
        return *this;
    }
    ByteBuilder& str(const std::string& s)
    {
        u8(BYTE(s.size()));
        for (char c : s)
            u8(BYTE(c));
        return *this;
    }
};

Bytes ExpectedNewGrid()
{
    ByteBuilder b;
    b.i32(0);                                 // version
    b.u16(0).u16(0).u16(0).u16(0);            // widths, heights, ranges, cells
    b.i32(0).i32(0).i32(0).i32(0);            // rectangle
    b.i32(100).i32(100).i32(1).i32(1).i32(0); // counts, first scrollable, option word
    for (int i = 0; i < 6; ++i)
        b.i32(1);                             // resize, keep bars, selection allowed
    b.i32(0).i32(0).i32(0);                   // selection kind
    b.i32(0).i32(0);                          // default row height and column width
    b.i32(0).i32(0).i32(1).i32(1).i32(0);     // two words, focus, highlight, a word
    b.str("");                                // text
    b.i32(3).i32(0);                          // grip
    b.i32(0x808080).i32(0).i32(0).i32(0xFFFFFF).i32(0xFFFFFF); // colours
    b.i32(10);                                // point size
    b.i32(10).i32(0).i32(0).i32(0).i32(0);    // font height .. weight
    for (int i = 0; i < 8; ++i)
        b.u8(0);
    b.str("system");
    for (int i = 0; i < 6; ++i)
        b.i32(1);                             // option words, header/frozen counts
    b.i32(0).i32(0).i32(0).i32(2);            // words and option bits
    b.i32(-1).i32(-1);                        // current cell
    b.i32(-1).i32(-1).i32(1).i32(1).i32(0);   // limits, steps, first-view flag
    for (int i = 0; i < 8; ++i)
        b.i32(1);                             // panes
    b.i32(100);                               // zoom
    return b.bytes;
}

} // namespace

TEST(GridDataTest, NewGridStoresTheDefaultFormByteForByte)
{
    CGridData grid;
    Bytes bytes = StoreBytes([&](CArchive& ar) { grid.Serialize(ar); });
    EXPECT_EQ(bytes.size(), 284u); // sum of the field widths of the format
    EXPECT_EQ(ToHex(bytes), ToHex(ExpectedNewGrid()));
}

TEST(GridDataTest, ItemGridPutsItsOwnVersionWordFirst)
{
    CMXGridData grid;
    Bytes bytes = StoreBytes([&](CArchive& ar) { grid.Serialize(ar); });
    ASSERT_EQ(bytes.size(), 288u);
    Bytes expected = ByteBuilder().i32(0).bytes;
    Bytes tail = ExpectedNewGrid();
    expected.insert(expected.end(), tail.begin(), tail.end());
    EXPECT_EQ(ToHex(bytes), ToHex(expected));
}

TEST(GridDataTest, LargeMapCountUsesTheEscape)
{
    CGridData grid;
    for (int i = 0; i < 70000; ++i)
        grid.m_columnWidths[i] = 500 + i % 7;
    Bytes bytes = StoreBytes([&](CArchive& ar) { grid.Serialize(ar); });
    // 70,000 = 0x11170: the word 0xFFFF, then the 32-bit count.
    EXPECT_EQ(ToHex(Bytes(bytes.begin() + 4, bytes.begin() + 10)), ToHex(HexBytes("FF FF 70 11 01 00")));
    EXPECT_EQ(bytes.size(), 284u + 4 + 70000u * 8);

    CGridData loaded;
    LoadBytes(bytes, [&](CArchive& ar) { loaded.Serialize(ar); });
    EXPECT_EQ(loaded.m_columnWidths, grid.m_columnWidths);
}

TEST(GridDataTest, LaterVersionIsRefused)
{
    RecordingReporter reporter;
    Bytes bytes = ExpectedNewGrid();
    bytes[0] = 1;
    CGridData grid;
    EXPECT_THROW(LoadBytes(bytes, [&](CArchive& ar) { grid.Serialize(ar); }), CArchiveException);
    EXPECT_EQ(reporter.Ids(), std::vector<UINT>{25016});
}

TEST(GridDataTest, RoundTripKeepsEveryStoredFieldAndRefreshesCopies)
{
    CGridData grid;
    grid.m_columnWidths = {{1, 1500}, {7, 250}};
    grid.m_rowHeights = {{3, 400}};
    grid.m_ranges = {CGridRange{1, 2, 3, 4}, CGridRange{5, 5, 6, 9}};
    grid.m_selectedCells = {CGridCellRef{2, 3, 0}};
    grid.m_frameRect = RECT{1, 2, 3, 4};
    grid.m_nColumnCount = 27;
    grid.m_nRowCount = 1002;
    grid.m_bSelRows = 1;
    grid.m_text = "caf\xC3\xA9";
    grid.m_crBack2 = RGB(1, 2, 3);
    grid.m_nPointSize = 12;
    std::strcpy(grid.m_storedFont.lfFaceName, "Arial");
    grid.m_storedFont.lfWeight = 700;
    grid.m_nHeaderColumns = 0;
    grid.m_nFrozenRows = 3;
    grid.m_dwOptions = 3;
    grid.m_nCurrentColumn = 4;
    grid.m_nCurrentRow = 9;
    grid.m_nScrollLimitRows = 50;
    grid.m_topRow[2] = 77;
    grid.m_nZoom = 150;
    Bytes bytes = StoreBytes([&](CArchive& ar) { grid.Serialize(ar); });

    CGridData loaded;
    EXPECT_EQ(LoadBytes(bytes, [&](CArchive& ar) { loaded.Serialize(ar); }), 0u);
    EXPECT_EQ(loaded.m_columnWidths, grid.m_columnWidths);
    EXPECT_EQ(loaded.m_rowHeights, grid.m_rowHeights);
    EXPECT_EQ(loaded.m_ranges, grid.m_ranges);
    EXPECT_EQ(loaded.m_selectedCells, grid.m_selectedCells);
    EXPECT_EQ(loaded.m_frameRect, grid.m_frameRect);
    EXPECT_EQ(loaded.m_nRowCount, 1002);
    EXPECT_EQ(loaded.m_bSelRows, 1);
    EXPECT_EQ(loaded.m_text, grid.m_text);
    EXPECT_EQ(loaded.m_crBack2, RGB(1, 2, 3));
    EXPECT_EQ(loaded.m_storedFont, grid.m_storedFont);
    EXPECT_EQ(loaded.m_workingFont, grid.m_storedFont);
    EXPECT_EQ(loaded.m_nFrozenRows, 3);
    EXPECT_EQ(loaded.m_saved.frozenRows, 3);
    EXPECT_EQ(loaded.m_saved.headerColumns, 0);
    EXPECT_EQ(loaded.m_saved.back2, RGB(1, 2, 3));
    EXPECT_EQ(loaded.m_dwOptions, 3u);
    EXPECT_EQ(loaded.m_nCurrentRow, 9);
    EXPECT_EQ(loaded.m_nScrollLimitRows, 50);
    EXPECT_EQ(loaded.m_topRow[2], 77);
    EXPECT_EQ(loaded.m_nZoom, 150);
}

TEST(GridDataTest, DamagedInputFailsCleanly)
{
    Bytes good = ExpectedNewGrid();
    // Cut anywhere: end of file, never a crash.
    for (std::size_t cut : {std::size_t(2), std::size_t(6), std::size_t(100), good.size() - 1}) {
        Bytes bytes(good.begin(), good.begin() + std::ptrdiff_t(cut));
        CGridData grid;
        EXPECT_THROW(LoadBytes(bytes, [&](CArchive& ar) { grid.Serialize(ar); }), CArchiveException) << cut;
    }
    // A count of four billion map entries with a few bytes behind it is refused before allocating.
    Bytes huge = HexBytes("00 00 00 00 FF FF FF FF FF FF 01 02 03 04");
    CGridData grid;
    EXPECT_THROW(LoadBytes(huge, [&](CArchive& ar) { grid.Serialize(ar); }), CArchiveException);
}

TEST(GridDataTest, FontHeightFollowsPointSizeAndZoom)
{
    CGridData grid;
    LOGFONT font;
    std::strcpy(font.lfFaceName, "Arial");
    // 10 pt at 96 dpi is 10 / 72 * 96 = 13.33 pixels = 80 logical units (6 per pixel).
    grid.SetFont(96, font, 10);
    EXPECT_EQ(grid.m_workingFont.lfHeight, -80);
    EXPECT_EQ(grid.GetDeviceFontHeight(), -13);
    grid.m_nZoom = 200;
    grid.SetFont(96, font, 10);
    EXPECT_EQ(grid.m_workingFont.lfHeight, -160);
    EXPECT_EQ(grid.GetDeviceFontHeight(), -27); // 26.67 rounded
    grid.m_bZoomSuspended = 1;
    grid.SetFont(120, font, 12);
    EXPECT_EQ(grid.m_workingFont.lfHeight, -120); // 12 / 72 * 120 = 20 px = 120 units
}
