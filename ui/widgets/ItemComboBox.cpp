#include "ui/widgets/ItemComboBox.h"

#include "framework/ProjectItemBase.h"

#include <QAbstractItemView>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QStylePainter>

namespace {

constexpr int kIconSize = 16;
constexpr int kTextOffset = 20;

// One entry: the icon at the left, centred on its height, the name after it,
// cut at the right edge rather than shortened.
void DrawEntry(QPainter& painter, const QRect& rect, const QIcon& icon, const QString& name, bool selected,
               bool enabled, const QPalette& palette)
{
    QPalette::ColorGroup group = enabled ? QPalette::Normal : QPalette::Disabled;
    painter.save();
    painter.setClipRect(rect);
    if (selected) {
        painter.fillRect(rect, palette.color(group, QPalette::Highlight));
        painter.setPen(palette.color(group, QPalette::HighlightedText));
    } else {
        painter.setPen(palette.color(group, enabled ? QPalette::Text : QPalette::WindowText));
    }
    if (!icon.isNull()) {
        int y = rect.top() + (rect.height() - kIconSize) / 2;
        icon.paint(&painter, QRect(rect.left() + 2, y, kIconSize, kIconSize), Qt::AlignCenter,
                   enabled ? QIcon::Normal : QIcon::Disabled);
    }
    QRect text = rect.adjusted(kTextOffset + 2, 0, 0, 0);
    painter.drawText(text, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, name);
    painter.restore();
}

} // namespace

class CItemComboBox::Delegate : public QStyledItemDelegate {
public:
    explicit Delegate(CItemComboBox* combo) : QStyledItemDelegate(combo), m_combo(combo) {}
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        auto* item = static_cast<CProjectItemBase*>(index.data(Qt::UserRole).value<void*>());
        DrawEntry(*painter, option.rect, m_combo->IconOf(item), index.data(Qt::DisplayRole).toString(),
                  option.state & QStyle::State_Selected, option.state & QStyle::State_Enabled, option.palette);
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(RowHeight(option.fontMetrics));
        size.setWidth(size.width() + kTextOffset);
        return size;
    }

private:
    CItemComboBox* m_combo;
};

CItemComboBox::CItemComboBox(QWidget* parent, IconProvider icons) : QComboBox(parent), m_icons(std::move(icons))
{
    setItemDelegate(new Delegate(this));
    setIconSize(QSize(kIconSize, kIconSize));
}

int CItemComboBox::RowHeight(const QFontMetrics& metrics)
{
    return std::max(metrics.height() + metrics.leading(), kIconSize);
}

int CItemComboBox::AddItem(CProjectItemBase* item)
{
    if (!item)
        return -1;
    addItem(QString::fromStdString(item->GetName()), QVariant::fromValue(static_cast<void*>(item)));
    return count() - 1;
}

CProjectItemBase* CItemComboBox::GetItem(int index) const
{
    if (index < 0 || index >= count())
        return nullptr;
    return static_cast<CProjectItemBase*>(itemData(index).value<void*>());
}

bool CItemComboBox::SelectItem(const CProjectItemBase* item)
{
    for (int i = 0; i < count(); ++i)
        if (GetItem(i) == item) {
            setCurrentIndex(i);
            return true;
        }
    return false;
}

void CItemComboBox::paintEvent(QPaintEvent*)
{
    // The frame and arrow as the style draws them, the selected entry as the list does.
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText.clear();
    option.currentIcon = QIcon();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    QRect field = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    if (currentIndex() >= 0)
        DrawEntry(painter, field, IconOf(GetSelectedItem()), currentText(), false, isEnabled(), palette());
}
