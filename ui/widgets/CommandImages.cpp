#include "ui/widgets/CommandImages.h"

#include <QAction>
#include <QFont>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

void CCommandImages::LoadToolbar(const Strip& strip)
{
    for (const auto& [id, icon] : strip)
        if (id != 0 && !icon.isNull())
            m_images.emplace(id, icon); // emplace keeps an existing entry
}

QIcon CCommandImages::Image(UINT id) const
{
    auto it = m_images.find(id);
    return it == m_images.end() ? QIcon() : it->second;
}

void CCommandImages::Apply(QAction* action, UINT id) const
{
    auto it = m_images.find(id);
    if (it != m_images.end())
        action->setIcon(it->second);
}

QIcon CCommandImages::GlyphIcon(const QString& letters, const QColor& colour)
{
    QIcon icon;
    for (int size : {16, 24, 32}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(colour.darker(160));
        painter.setBrush(colour);
        painter.drawRoundedRect(QRectF(0.5, 0.5, size - 1.0, size - 1.0), size / 6.0, size / 6.0);
        QFont font("Arial");
        font.setBold(true);
        font.setPixelSize(letters.size() > 1 ? size * 7 / 16 : size * 10 / 16);
        painter.setFont(font);
        painter.setPen(colour.lightness() > 150 ? Qt::black : Qt::white);
        painter.drawText(QRect(0, 0, size, size), Qt::AlignCenter, letters);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

QIcon CCommandImages::SvgIcon(const QString& path)
{
    QSvgRenderer renderer(path);
    if (!renderer.isValid())
        return {};
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter, QRectF(0, 0, size, size));
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

QIcon CCommandImages::ThemeIcon(const QString& name, const QIcon& fallback)
{
    if (QIcon::hasThemeIcon(name))
        return QIcon::fromTheme(name);
    if (QIcon::hasThemeIcon(name + "-symbolic"))
        return QIcon::fromTheme(name + "-symbolic");
    return fallback;
}

QIcon CCommandImages::DrawnIcon(Picture picture)
{
    QIcon icon;
    for (int size : {16, 24, 32}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        // Drawn on a 16-unit grid and scaled.
        p.scale(size / 16.0, size / 16.0);
        const QColor ink(40, 40, 40);
        const QPen pen(ink, 1.0);
        p.setPen(pen);
        switch (picture) {
        case Cut:
            p.drawEllipse(QRectF(2.5, 10.5, 4, 4));
            p.drawEllipse(QRectF(9.5, 10.5, 4, 4));
            p.setPen(QPen(QColor(90, 90, 110), 1.3));
            p.drawLine(QPointF(5.5, 10.5), QPointF(11, 1.5));
            p.drawLine(QPointF(10.5, 10.5), QPointF(5, 1.5));
            break;
        case Copy:
            p.setBrush(Qt::white);
            p.drawRect(QRectF(1.5, 1.5, 8, 10));
            p.drawRect(QRectF(6.5, 4.5, 8, 10));
            p.setPen(QPen(QColor(70, 110, 190), 1));
            for (double y : {7.5, 9.5, 11.5})
                p.drawLine(QPointF(8.5, y), QPointF(12.5, y));
            break;
        case Paste:
            p.setBrush(QColor(190, 150, 90));
            p.drawRoundedRect(QRectF(1.5, 2.5, 10, 12), 1, 1);
            p.setBrush(QColor(200, 200, 200));
            p.drawRect(QRectF(4.5, 1.5, 4, 2.5));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(6.5, 6.5, 8, 8));
            break;
        case Print:
            p.setBrush(Qt::white);
            p.drawRect(QRectF(4.5, 1.5, 7, 5));
            p.setBrush(QColor(170, 170, 170));
            p.drawRoundedRect(QRectF(1.5, 6.5, 13, 6), 1, 1);
            p.setBrush(Qt::white);
            p.drawRect(QRectF(4.5, 10.5, 7, 4));
            break;
        case Bold:
        case Italic:
        case Underline: {
            QFont font("Times New Roman");
            font.setPixelSize(14);
            font.setBold(picture == Bold);
            font.setItalic(picture == Italic);
            font.setUnderline(picture == Underline);
            p.setFont(font);
            p.drawText(QRectF(0, 0, 16, 16), Qt::AlignCenter, picture == Bold ? "B" : picture == Italic ? "I" : "U");
            break;
        }
        case AlignLeft:
        case AlignCenter:
        case AlignRight:
            for (int i = 0; i < 5; ++i) {
                const double w = i % 2 ? 8 : 12;
                const double x = picture == AlignLeft ? 2 : picture == AlignRight ? 14 - w : 8 - w / 2;
                p.drawLine(QPointF(x, 3.5 + 2.5 * i), QPointF(x + w, 3.5 + 2.5 * i));
            }
            break;
        case Bullets:
            p.setBrush(ink);
            for (int i = 0; i < 3; ++i) {
                p.drawEllipse(QPointF(3, 4 + 4 * i), 1.2, 1.2);
                p.drawLine(QPointF(6, 4 + 4 * i), QPointF(14, 4 + 4 * i));
            }
            break;
        }
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}
