#include "ui/widgets/CommandImages.h"

#include <QAction>
#include <QColor>
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

namespace {

QIcon RenderedIcon(QSvgRenderer& renderer)
{
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

} // namespace

QIcon CCommandImages::SvgIcon(const QString& path)
{
    QSvgRenderer renderer(path);
    return RenderedIcon(renderer);
}

QIcon CCommandImages::SvgIconFromText(const QByteArray& svg)
{
    QSvgRenderer renderer(svg);
    return RenderedIcon(renderer);
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
