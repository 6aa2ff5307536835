#include "framework/widgets/ImageListImages.h"

#include "framework/ProjectItemBase.h"
#include "support/TestSupport.h"

#include <QPainter>

#include <gtest/gtest.h>

namespace {

// A square of the colour with a transparent left half.
QImage HalfImage(QColor colour, int size)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter(&image).fillRect(size / 2, 0, size - size / 2, size, colour);
    return image;
}

TEST(ImageListImages, PicturesSurviveTheStoredFormAndItsReader)
{
    std::vector<QImage> images;
    const QColor colours[] = {Qt::red, Qt::green, Qt::blue, Qt::yellow, Qt::cyan};  // five: two rows of tiles
    for (QColor c : colours)
        images.push_back(HalfImage(c, 16));
    CImageListData list = ImageListFromImages(images, 16);
    ASSERT_FALSE(list.IsEmpty());
    const std::vector<BYTE>& b = list.Bytes();
    EXPECT_EQ(b[0], 'I');
    EXPECT_EQ(b[1], 'L');
    EXPECT_EQ(b[4], 5);                    // image count
    EXPECT_EQ(b[10], 16);                  // width
    EXPECT_EQ(b[18] & 1, 1);               // masked
    EXPECT_EQ(b[28], 'B');                 // the bitmap file follows the 28-byte header
    // What is written reads back byte for byte through the item's reader.
    std::vector<BYTE> stored = StoreBytes([&](CArchive& ar) { list.Write(ar); });
    CImageListData back;
    LoadBytes(stored, [&](CArchive& ar) { back.Read(ar); });
    EXPECT_EQ(back.Bytes(), list.Bytes());

    std::vector<QImage> out = ImagesFromImageList(back);
    ASSERT_EQ(out.size(), 5u);
    for (std::size_t i = 0; i < out.size(); ++i) {
        EXPECT_EQ(out[i].size(), QSize(16, 16));
        EXPECT_EQ(out[i].pixelColor(12, 8), colours[i]) << i;
        EXPECT_EQ(out[i].pixelColor(3, 8).alpha(), 0) << i;  // the mask keeps the left half clear
    }
}

TEST(ImageListImages, DamagedListsGiveNoPictures)
{
    CImageListData list = ImageListFromImages({HalfImage(Qt::red, 32)}, 32);
    std::vector<BYTE> bytes = list.Bytes();
    bytes.resize(40);
    CImageListData cut;
    cut.SetBytes(bytes);
    EXPECT_TRUE(ImagesFromImageList(cut).empty());
    EXPECT_TRUE(ImagesFromImageList(CImageListData{}).empty());
    EXPECT_TRUE(ImageListFromImages({}, 32).IsEmpty());
}

TEST(ImageListImages, AnItemWithItsOwnIconShowsItAndItsOpenForm)
{
    CProjectItemBase item;
    EXPECT_TRUE(ItemOwnIcon(item, true).isNull());
    QImage large(32, 32, QImage::Format_ARGB32), small(16, 16, QImage::Format_ARGB32);
    large.fill(Qt::red);
    small.fill(Qt::blue);
    SetItemIcons(item, large, small);
    EXPECT_NE(item.m_nIconSlot, -1);
    QImage shown = ItemOwnIcon(item, true).pixmap(16, 16).toImage();
    EXPECT_EQ(shown.pixelColor(12, 12), QColor(Qt::blue));
    QImage open = ItemOwnIcon(item, false, true).pixmap(32, 32).toImage();
    EXPECT_EQ(open.pixelColor(28, 28), QColor(Qt::red));
    EXPECT_NE(open.pixelColor(2, 2), QColor(Qt::red));  // the open mark
}

} // namespace
