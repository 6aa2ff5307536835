#include "ui/widgets/CommandImages.h"

#include <QAction>
#include <QApplication>
#include <QColor>
#include <QFont>
#include <QIconEngine>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QStyleOption>
#include <QSvgRenderer>

#include <algorithm>
#include <functional>
#include <memory>

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

// A picture drawn at the size asked for when it is first asked for: the
// main window makes a hundred icons at start-up, most of them for menus
// and toolbars that are not shown yet, and drawing each at every size
// beforehand took a good part of the start.
class CDrawnIconEngine final : public QIconEngine {
public:
    // draw paints the picture into a square of side size from (0, 0).
    using Draw = std::function<void(QPainter& painter, int size)>;
    CDrawnIconEngine(Draw draw, QList<QSize> sizes) : m_draw(std::move(draw)), m_sizes(std::move(sizes)) {}

    QIconEngine* clone() const override { return new CDrawnIconEngine(m_draw, m_sizes); }
    QString key() const override { return QStringLiteral("drawn"); }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override { return m_sizes; }
    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override
    {
        const int side = Side(size);
        return QSize(side, side);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override
    {
        const int side = Side(size);
        if (side <= 0)
            return {};
        QPixmap& normal = m_cache[{side, int(QIcon::Normal)}];
        if (normal.isNull()) {
            normal = QPixmap(side, side);
            normal.fill(Qt::transparent);
            QPainter painter(&normal);
            painter.setRenderHint(QPainter::Antialiasing);
            m_draw(painter, side);
        }
        // Without widgets there is no style to draw the other forms.
        const bool styled = qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
        if ((mode != QIcon::Disabled && mode != QIcon::Selected) || !styled)
            return normal;
        // As the style draws a pixmap icon's disabled or selected form.
        QPixmap& generated = m_cache[{side, int(mode)}];
        if (generated.isNull()) {
            QStyleOption option;
            option.palette = QGuiApplication::palette();
            generated = QApplication::style()->generatedIconPixmap(mode, normal, &option);
        }
        return generated;
    }
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        QPixmap picture = pixmap(rect.size() * ratio, mode, state);
        if (picture.isNull())
            return;
        picture.setDevicePixelRatio(ratio);
        const QSize shown = picture.deviceIndependentSize().toSize();
        painter->drawPixmap(QRect(rect.topLeft() + QPoint((rect.width() - shown.width()) / 2,
                                                          (rect.height() - shown.height()) / 2),
                                  shown),
                            picture);
    }

private:
    // A square within the size asked for, and no larger than a picture is
    // ever shown: a caller's odd size cannot make a huge pixmap.
    static int Side(const QSize& size) { return std::min({size.width(), size.height(), 512}); }

    Draw m_draw;
    QList<QSize> m_sizes;
    std::map<std::pair<int, int>, QPixmap> m_cache; // by side and mode
};

QIcon SvgRendererIcon(std::shared_ptr<QSvgRenderer> renderer)
{
    if (!renderer->isValid())
        return {};
    auto draw = [renderer](QPainter& painter, int size) { renderer->render(&painter, QRectF(0, 0, size, size)); };
    return QIcon(new CDrawnIconEngine(draw, {{16, 16}, {22, 22}, {24, 24}, {32, 32}, {48, 48}, {64, 64}}));
}

} // namespace

QIcon CCommandImages::SvgIcon(const QString& path)
{
    return SvgRendererIcon(std::make_shared<QSvgRenderer>(path));
}

QIcon CCommandImages::SvgIconFromText(const QByteArray& svg)
{
    return SvgRendererIcon(std::make_shared<QSvgRenderer>(svg));
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
    auto draw = [picture](QPainter& p, int size) {
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
    };
    return QIcon(new CDrawnIconEngine(draw, {{16, 16}, {24, 24}, {32, 32}}));
}
