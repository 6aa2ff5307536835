#include "ui/widgets/MappedBitmapButton.h"

#include <QEvent>
#include <QPainter>

CMappedBitmapButton::CMappedBitmapButton(QWidget* parent) : QPushButton(parent) {}

QImage CMappedBitmapButton::MapStandardColours(const QImage& image, const QPalette& palette)
{
    const std::pair<QRgb, QColor> map[] = {
        {qRgb(0xC0, 0xC0, 0xC0), palette.color(QPalette::Button)},
        {qRgb(0xFF, 0xFF, 0xFF), palette.color(QPalette::Light)},
        {qRgb(0x80, 0x80, 0x80), palette.color(QPalette::Dark)},
        {qRgb(0x00, 0x00, 0x00), palette.color(QPalette::Shadow)},
    };
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            if (qAlpha(line[x]) != 255)
                continue;
            for (const auto& [from, to] : map) {
                if ((line[x] & 0xFFFFFF) == (from & 0xFFFFFF)) {
                    line[x] = to.rgb();
                    break;
                }
            }
        }
    }
    return out;
}

bool CMappedBitmapButton::LoadBitmap(const QImage& strip)
{
    if (strip.isNull() || strip.width() < 4)
        return false;
    m_strip = strip;
    CutImages();
    return true;
}

bool CMappedBitmapButton::LoadBitmap(const QString& path) { return LoadBitmap(QImage(path)); }

void CMappedBitmapButton::CutImages()
{
    QImage mapped = MapStandardColours(m_strip, palette());
    int w = mapped.width() / 4;
    m_images.clear();
    for (int i = 0; i < 4; ++i)
        m_images.push_back(mapped.copy(i * w, 0, w, mapped.height()));
    updateGeometry();
    update();
}

QSize CMappedBitmapButton::GetImageSize() const { return m_images.empty() ? QSize() : m_images[0].size(); }

void CMappedBitmapButton::SizeToContent()
{
    if (!m_images.empty())
        resize(GetImageSize());
}

QSize CMappedBitmapButton::sizeHint() const { return m_images.empty() ? QPushButton::sizeHint() : GetImageSize(); }

int CMappedBitmapButton::ImageIndex(bool pressed, bool focused, bool disabled)
{
    if (pressed)
        return 1;
    if (focused)
        return 2;
    if (disabled)
        return 3;
    return 0;
}

int CMappedBitmapButton::CurrentImageIndex() const { return ImageIndex(isDown(), hasFocus(), !isEnabled()); }

void CMappedBitmapButton::paintEvent(QPaintEvent* event)
{
    if (m_images.size() != 4) {
        QPushButton::paintEvent(event);
        return;
    }
    QPainter p(this);
    p.drawImage(QPoint(0, 0), m_images[CurrentImageIndex()]);
}

void CMappedBitmapButton::changeEvent(QEvent* event)
{
    // A change of the system colours remaps the picture.
    if (event->type() == QEvent::PaletteChange && m_images.size() == 4)
        CutImages();
    QPushButton::changeEvent(event);
}
