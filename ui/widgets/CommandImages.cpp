#include "ui/widgets/CommandImages.h"

#include <QAction>
#include <QFont>
#include <QPainter>
#include <QPixmap>

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
