#include "ui/widgets/ImageComboBox.h"

#include "ui/widgets/ColourRef.h"

#include <QEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QStylePainter>

class CImageComboBox::Delegate : public QStyledItemDelegate {
public:
    explicit Delegate(CImageComboBox* combo) : QStyledItemDelegate(combo), m_combo(combo) {}

    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        bool isSelected = option.state & QStyle::State_Selected;
        bool isDisabled = !m_combo->isEnabled();
        ImageState state = isDisabled ? disabled : isSelected ? selected : normal;
        QImage image = m_combo->EntryImage(index.row(), state);
        p->fillRect(option.rect, isDisabled ? m_combo->palette().color(QPalette::Button)
                                 : isSelected ? m_combo->palette().color(QPalette::Highlight)
                                              : m_combo->palette().color(QPalette::Base));
        if (!image.isNull())
            p->drawImage(option.rect.topLeft(), image);
        if (option.state & QStyle::State_HasFocus) {
            p->setPen(QPen(m_combo->palette().color(QPalette::Text), 1, Qt::DotLine));
            p->drawRect(option.rect.adjusted(0, 0, -1, -1));
        }
    }
    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override
    {
        return QSize(m_combo->width(), m_combo->GetImageSize().height());
    }

private:
    CImageComboBox* m_combo;
};

CImageComboBox::CImageComboBox(QWidget* parent) : QComboBox(parent) { setItemDelegate(new Delegate(this)); }

void CImageComboBox::SetSourceColours(COLORREF background, COLORREF foreground)
{
    m_background = ColorFromRef(background).rgb();
    m_foreground = ColorFromRef(foreground).rgb();
    Remap();
}

std::vector<QImage> CImageComboBox::MakeImages(const QImage& picture) const
{
    const QPalette& pal = palette();
    const std::pair<QColor, QColor> states[3] = {
        {pal.color(QPalette::Text), pal.color(QPalette::Base)},
        {pal.color(QPalette::HighlightedText), pal.color(QPalette::Highlight)},
        {pal.color(QPalette::Disabled, QPalette::Text), pal.color(QPalette::Button)},
    };
    QImage source = picture.convertToFormat(QImage::Format_RGB32);
    std::vector<QImage> out;
    for (const auto& [fore, back] : states) {
        QImage img = source.copy();
        for (int y = 0; y < img.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
            for (int x = 0; x < img.width(); ++x) {
                QRgb c = line[x] & 0xFFFFFF;
                if (c == (m_foreground & 0xFFFFFF))
                    line[x] = fore.rgb();
                else if (c == (m_background & 0xFFFFFF))
                    line[x] = back.rgb();
            }
        }
        out.push_back(img);
    }
    return out;
}

bool CImageComboBox::AddEntry(const QImage& picture)
{
    if (picture.isNull())
        return false;
    if (m_sources.empty())
        m_imageSize = picture.size();
    m_sources.push_back(picture);
    for (QImage& img : MakeImages(picture))
        m_images.push_back(std::move(img));
    addItem(QStringLiteral(" "));
    return true;
}

bool CImageComboBox::ReplaceEntry(int index, const QImage& picture)
{
    if (index < 0 || index >= static_cast<int>(m_sources.size()) || picture.isNull())
        return false;
    m_sources[index] = picture;
    std::vector<QImage> images = MakeImages(picture);
    for (int i = 0; i < 3; ++i)
        m_images[index * 3 + i] = images[i];
    update();
    return true;
}

void CImageComboBox::RemoveAll()
{
    m_sources.clear();
    m_images.clear();
    clear();
}

bool CImageComboBox::AutoLoad(const std::vector<QImage>& pictures, COLORREF background, COLORREF foreground)
{
    RemoveAll();
    m_background = ColorFromRef(background).rgb();
    m_foreground = ColorFromRef(foreground).rgb();
    for (const QImage& p : pictures)
        if (!AddEntry(p))
            return false;
    return true;
}

QImage CImageComboBox::EntryImage(int index, ImageState state) const
{
    std::size_t i = static_cast<std::size_t>(index) * 3 + state;
    return index >= 0 && i < m_images.size() ? m_images[i] : QImage();
}

void CImageComboBox::Remap()
{
    m_images.clear();
    for (const QImage& s : m_sources)
        for (QImage& img : MakeImages(s))
            m_images.push_back(std::move(img));
    update();
}

void CImageComboBox::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange)
        Remap();
    QComboBox::changeEvent(event);
}

void CImageComboBox::paintEvent(QPaintEvent*)
{
    QStylePainter p(this);
    QStyleOptionComboBox opt;
    initStyleOption(&opt);
    opt.currentText.clear();
    p.drawComplexControl(QStyle::CC_ComboBox, opt);
    QRect field = style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, this);
    QImage image = EntryImage(currentIndex(), isEnabled() ? normal : disabled);
    if (!image.isNull())
        p.drawImage(QPoint(field.left(), field.center().y() - image.height() / 2), image);
}
