#include "ui/widgets/MappedBitmap.h"

#include "ui/widgets/ColourCombo.h"

#include <QApplication>

namespace {

QRgb ToRgb(COLORREF c) { return qRgb(GetRValue(c), GetGValue(c), GetBValue(c)); }

const ColourMapEntry* Find(const std::vector<ColourMapEntry>& map, QRgb rgb)
{
    for (const ColourMapEntry& e : map)
        if (ToRgb(e.from) == ((rgb & 0x00FFFFFFu) | 0xFF000000u))
            return &e;
    return nullptr;
}

}  // namespace

std::vector<ColourMapEntry> StandardColourMap(const QPalette& palette)
{
    return {
        {0xC0C0C0, FromQColor(palette.color(QPalette::Button))},
        {0xFFFFFF, FromQColor(palette.color(QPalette::Light))},
        {0x808080, FromQColor(palette.color(QPalette::Dark))},
        {0x000000, FromQColor(palette.color(QPalette::WindowText))},
    };
}

QImage CreateMappedBitmap(const QImage& source, const std::vector<ColourMapEntry>& map)
{
    if (source.isNull())
        return {};
    const std::vector<ColourMapEntry> used = map.empty() ? StandardColourMap(QApplication::palette()) : map;
    QImage image = source;
    if (image.format() == QImage::Format_Indexed8 || image.format() == QImage::Format_Mono
        || image.format() == QImage::Format_MonoLSB) {
        QList<QRgb> table = image.colorTable();
        for (QRgb& entry : table)
            if (const ColourMapEntry* e = Find(used, entry))
                entry = (entry & 0xFF000000u) | (ToRgb(e->to) & 0x00FFFFFFu);
        image.setColorTable(table);
        return image;
    }
    image = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (const ColourMapEntry* e = Find(used, line[x]))
                line[x] = (line[x] & 0xFF000000u) | (ToRgb(e->to) & 0x00FFFFFFu);
    }
    return image;
}
