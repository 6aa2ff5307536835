#include "framework/widgets/ImageListImages.h"

#include "framework/ProjectItemBase.h"

#include <QBuffer>
#include <QPainter>

#include <cstring>

namespace {

constexpr int kHeaderSize = 28;
constexpr int kTilesPerRow = 4;  // images sit four to a row in the bitmaps
constexpr WORD kVersion = 0x0101;
constexpr WORD kMaskedColour24 = 0x0019;  // masked, 24-bit colour

void PutWord(std::vector<BYTE>& out, std::size_t at, WORD v)
{
    out[at] = BYTE(v & 0xFF);
    out[at + 1] = BYTE(v >> 8);
}

WORD GetWord(const std::vector<BYTE>& in, std::size_t at) { return WORD(in[at] | (in[at + 1] << 8)); }

std::uint32_t GetDword(const std::vector<BYTE>& in, std::size_t at)
{
    return std::uint32_t(in[at]) | std::uint32_t(in[at + 1]) << 8 | std::uint32_t(in[at + 2]) << 16
        | std::uint32_t(in[at + 3]) << 24;
}

bool AppendBitmapFile(const QImage& image, std::vector<BYTE>& out)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "BMP"))
        return false;
    out.insert(out.end(), bytes.begin(), bytes.end());
    return true;
}

} // namespace

CImageListData ImageListFromImages(const std::vector<QImage>& images, int size)
{
    CImageListData list;
    if (images.empty() || size <= 0)
        return list;
    const int count = int(images.size());
    const int rows = (count + kTilesPerRow - 1) / kTilesPerRow;
    QImage colour(size * kTilesPerRow, size * rows, QImage::Format_RGB32);
    colour.fill(Qt::black);
    // Mask: 1 (white) is transparent, 0 (black) shows the image.
    QImage mask(colour.size(), QImage::Format_Mono);
    mask.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    mask.fill(1);
    for (int i = 0; i < count; ++i) {
        QImage tile = images[std::size_t(i)].convertToFormat(QImage::Format_ARGB32)
                          .scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        const int x0 = (i % kTilesPerRow) * size, y0 = (i / kTilesPerRow) * size;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                QRgb p = tile.pixel(x, y);
                if (qAlpha(p) >= 128) {
                    colour.setPixel(x0 + x, y0 + y, qRgb(qRed(p), qGreen(p), qBlue(p)));
                    mask.setPixel(x0 + x, y0 + y, 0);
                }
            }
    }
    std::vector<BYTE> bytes(kHeaderSize, 0);
    bytes[0] = 'I';
    bytes[1] = 'L';
    PutWord(bytes, 2, kVersion);
    PutWord(bytes, 4, WORD(count));
    PutWord(bytes, 6, WORD(rows * kTilesPerRow));
    PutWord(bytes, 8, WORD(kTilesPerRow));
    PutWord(bytes, 10, WORD(size));
    PutWord(bytes, 12, WORD(size));
    std::memset(bytes.data() + 14, 0xFF, 4);  // no background colour
    PutWord(bytes, 18, kMaskedColour24);
    std::memset(bytes.data() + 20, 0xFF, 8);  // no overlay images
    if (!AppendBitmapFile(colour, bytes) || !AppendBitmapFile(mask, bytes))
        return list;
    list.SetBytes(std::move(bytes));
    return list;
}

std::vector<QImage> ImagesFromImageList(const CImageListData& list)
{
    const std::vector<BYTE>& in = list.Bytes();
    if (in.size() < kHeaderSize + 14 || in[0] != 'I' || in[1] != 'L')
        return {};
    const int count = GetWord(in, 4), cx = GetWord(in, 10), cy = GetWord(in, 12);
    const bool masked = GetWord(in, 18) & 1;
    const std::uint32_t colourSize = GetDword(in, kHeaderSize + 2);
    if (cx <= 0 || cy <= 0 || colourSize > in.size() - kHeaderSize)
        return {};
    QImage colour = QImage::fromData(in.data() + kHeaderSize, int(colourSize), "BMP");
    QImage mask;
    const std::size_t maskAt = kHeaderSize + colourSize;
    if (masked && in.size() >= maskAt + 14) {
        const std::uint32_t maskSize = GetDword(in, maskAt + 2);
        if (maskSize <= in.size() - maskAt)
            mask = QImage::fromData(in.data() + maskAt, int(maskSize), "BMP");
    }
    if (colour.isNull())
        return {};
    std::vector<QImage> images;
    for (int i = 0; i < count; ++i) {
        const int x0 = (i % kTilesPerRow) * cx, y0 = (i / kTilesPerRow) * cy;
        if (x0 + cx > colour.width() || y0 + cy > colour.height())
            break;
        QImage tile = colour.copy(x0, y0, cx, cy).convertToFormat(QImage::Format_ARGB32);
        if (!mask.isNull() && mask.width() >= x0 + cx && mask.height() >= y0 + cy)
            for (int y = 0; y < cy; ++y)
                for (int x = 0; x < cx; ++x)
                    if (qGray(mask.pixel(x0 + x, y0 + y)) > 127)
                        tile.setPixel(x, y, qRgba(0, 0, 0, 0));
        images.push_back(tile);
    }
    return images;
}

namespace {

// The picture with the open mark at its top-left corner.
QImage OpenMarked(const QImage& image)
{
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    QPainter painter(&out);
    const int s = std::max(4, out.width() / 3);
    painter.fillRect(0, 0, s, s, QColor(255, 255, 255));
    painter.setPen(QColor(0, 0, 0));
    painter.drawRect(0, 0, s - 1, s - 1);
    painter.fillRect(1, 1, s - 2, std::max(1, s / 4), QColor(0, 0, 128));
    return out;
}

} // namespace

void SetItemIcons(CProjectItemBase& item, const QImage& large, const QImage& small)
{
    item.m_largeIcons = ImageListFromImages({large, OpenMarked(large)}, 32);
    item.m_smallIcons = ImageListFromImages({small, OpenMarked(small)}, 16);
    // The slot only has to differ from -1 here: the lists hold the pictures,
    // and loading gives every item with its own icons a slot afresh.
    static int s_nextSlot = 1000;
    if (item.m_nIconSlot == -1) {
        item.m_nIconSlot = s_nextSlot;
        s_nextSlot += 2;
    }
}

QIcon ItemOwnIcon(const CProjectItemBase& item, bool small, bool alternate)
{
    if (item.m_nIconSlot == -1)
        return {};
    std::vector<QImage> images = ImagesFromImageList(small ? item.m_smallIcons : item.m_largeIcons);
    const std::size_t index = alternate ? 1 : 0;
    if (images.size() <= index)
        return {};
    return QIcon(QPixmap::fromImage(images[index]));
}
