#include "ui/widgets/ColourCombo.h"

#include "platform/StringIds.h"
#include "platform/StringTable.h"
#include "ui/widgets/DataExchange.h"

#include <QColorDialog>
#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QStyledItemDelegate>

namespace {

constexpr int kColourRole = Qt::UserRole + 1;

// Draws each entry as a swatch outlined in the text colour, then its caption.
class ColourItemDelegate : public QStyledItemDelegate {
public:
    explicit ColourItemDelegate(CColourCombo* combo) : QStyledItemDelegate(combo), m_combo(combo) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        const bool selected = opt.state & QStyle::State_Selected;
        const bool enabled = opt.state & QStyle::State_Enabled;
        painter->save();
        painter->fillRect(opt.rect, selected ? opt.palette.highlight() : opt.palette.base());
        QColor text = !enabled ? opt.palette.color(QPalette::Disabled, QPalette::Text)
                    : selected ? opt.palette.highlightedText().color()
                               : opt.palette.text().color();
        const int margin = 4;
        const int h = opt.rect.height() - 2 * 2;
        QRect swatch(opt.rect.left() + margin, opt.rect.top() + 2, h * 3 / 2, h);
        painter->setPen(QPen(text, 1));
        painter->setBrush(ToQColor(m_combo->EntryColour(index.row())));
        painter->drawRect(swatch.adjusted(0, 0, -1, -1));
        painter->setPen(text);
        QRect textRect = opt.rect.adjusted(swatch.right() + margin * 2 - opt.rect.left(), 0, 0, 0);
        painter->drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft, opt.text);
        if (opt.state & QStyle::State_HasFocus) {
            painter->setPen(QPen(text, 1, Qt::DotLine));
            painter->setBrush(Qt::NoBrush);
            painter->drawRect(opt.rect.adjusted(0, 0, -1, -1));
        }
        painter->restore();
    }

private:
    CColourCombo* m_combo;
};

// The swatch that the closed box shows beside the caption.
QIcon Swatch(COLORREF colour)
{
    QPixmap pm(16, 12);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(Qt::black);
    p.setBrush(ToQColor(colour));
    p.drawRect(0, 0, 15, 11);
    return QIcon(pm);
}

}  // namespace

QColor ToQColor(COLORREF colour) { return QColor(GetRValue(colour), GetGValue(colour), GetBValue(colour)); }

COLORREF FromQColor(const QColor& colour) { return RGB(colour.red(), colour.green(), colour.blue()); }

CColourCombo::CColourCombo(QWidget* parent) : QComboBox(parent)
{
    setItemDelegate(new ColourItemDelegate(this));
    connect(this, &QComboBox::activated, this, &CColourCombo::OnActivated);
}

void CColourCombo::Init(const ColourValue& value, bool withAutomatic)
{
    clear();
    m_hasAutomatic = withAutomatic;
    if (withAutomatic)
        addItem(QString::fromStdString(LoadString(IDS_AUTOMATIC)), uint(m_automaticColour));
    for (int i = 0; i < kStandardColourCount; ++i)
        addItem(QString::fromStdString(StandardColourName(i)), uint(StandardColour(i)));
    addItem(QString::fromStdString(LoadString(IDS_OTHER)), uint(value.m_colour));
    for (int i = 0; i < count(); ++i)
        setItemIcon(i, Swatch(EntryColour(i)));
    SetColour(value);
}

COLORREF CColourCombo::EntryColour(int index) const
{
    if (m_hasAutomatic && index == 0)
        return m_automaticColour;
    if (index == OtherIndex())
        return m_value.m_colour;
    return COLORREF(itemData(index).toUInt());
}

int CColourCombo::SetColour(const ColourValue& value)
{
    m_value = value;
    int index = -1;
    if (count() == 0 || value.IsSpecial())
        index = -1;
    else if (value.IsAutomatic() && m_hasAutomatic)
        index = 0;
    else if (int standard = FindStandardColour(value.m_colour); standard >= 0)
        index = standard + (m_hasAutomatic ? 1 : 0);
    else
        index = OtherIndex();
    if (count() > 0) {
        setItemData(OtherIndex(), uint(m_value.m_colour));
        if (!m_value.IsSpecial())
            setItemIcon(OtherIndex(), Swatch(m_value.m_colour));
        if (m_hasAutomatic)
            setItemIcon(0, Swatch(m_automaticColour));
    }
    setCurrentIndex(index);
    update();
    return index;
}

bool CColourCombo::ChooseColour(COLORREF initial, COLORREF& chosen)
{
    QColor c = QColorDialog::getColor(ToQColor(initial), this);
    if (!c.isValid())
        return false;
    chosen = FromQColor(c);
    return true;
}

void CColourCombo::OnActivated(int index)
{
    ColourValue value = m_value;
    if (index < 0) {
        value.SetNone();
    } else if (index == OtherIndex()) {
        COLORREF chosen = 0;
        if (ChooseColour(m_value.m_colour, chosen))
            value.Set(chosen);
    } else if (m_hasAutomatic && index == 0) {
        value.SetAutomatic(m_automaticColour);
    } else {
        value.Set(COLORREF(itemData(index).toUInt()));
    }
    SetColour(value);
    emit colourChanged(this);
}

void DDX_ColourComboValue(CDataExchange* pDX, CColourCombo* combo, ColourValue& value)
{
    if (pDX->Failed())
        return;
    pDX->PrepareCtrl(combo);
    if (pDX->m_bSaveAndValidate)
        value = combo->GetColour();
    else
        combo->SetColour(value);
}

void DDX_ColourCombo(CDataExchange* pDX, CColourCombo* combo, COLORREF& colour)
{
    ColourValue value(colour);
    DDX_ColourComboValue(pDX, combo, value);
    if (pDX->m_bSaveAndValidate && !pDX->Failed())
        colour = value.m_colour;
}
