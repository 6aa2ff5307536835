#include "graphui/widgets/DrawStylePages.h"

#include "draw/DrawData.h"
#include "draw/FormatMerge.h"
#include "draw/widgets/DrawView.h"
#include "framework/PageSetupMetrics.h"
#include "platform/Reporter.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"
#include "ui/MeasurementUnit.h"
#include "ui/widgets/ColourCombo.h"
#include "ui/widgets/DialogButtons.h"
#include "ui/widgets/FontNameCombo.h"
#include "ui/widgets/FontSizeCombo.h"
#include "ui/widgets/FontStyleCombo.h"
#include "framework/widgets/HelpPropertySheet.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

// A whole number of tenths as text, without the C locale: 8 is "0.8", 10 is "1".
std::string Tenths(int tenths)
{
    std::string s = std::to_string(tenths / 10);
    if (tenths % 10)
        s += "." + std::to_string(std::abs(tenths % 10));
    return s;
}

// A number typed in an edit; false (and a message) when it is not one in range.
bool ReadNumber(QLineEdit* edit, double minimum, double maximum, double& value, const char* low, const char* high)
{
    const std::string text = edit->text().trimmed().toStdString();
    if (!ParseLeadingDouble(text, value) || value < minimum || value > maximum) {
        ReportMessage(IDS_ENTER_NUMBER_RANGE, {low, high});
        edit->setFocus();
        edit->selectAll();
        return false;
    }
    return true;
}

void MakeTriState(QCheckBox* box, int state)
{
    box->setTristate(state == kNotApplicable);
    box->setCheckState(state == 1 ? Qt::Checked : state == 0 ? Qt::Unchecked : Qt::PartiallyChecked);
}

int BoxState(const QCheckBox* box)
{
    switch (box->checkState()) {
    case Qt::Checked: return 1;
    case Qt::Unchecked: return 0;
    default: return kNotApplicable;
    }
}

MeasurementUnit PageUnit() { return MeasurementUnit(MeasurementUnit::Preference().GetUnit(), kUnitsPerInch); }
} // namespace

// ---------------------------------------------------------------- the base

CDrawStylePage::CDrawStylePage(CDrawView* view, QWidget* parent) : QWidget(parent), m_pView(view) {}

const std::vector<CDrawObj*>& CDrawStylePage::Selection() const { return m_pView->GetSelection(); }

void CDrawStylePage::InvalidateSelection() const
{
    for (CDrawObj* obj : Selection())
        obj->Invalidate();
}

// ---------------------------------------------------------------- Fill

CFillStylePage::CFillStylePage(CDrawView* view, QWidget* parent) : CDrawStylePage(view, parent)
{
    setWindowTitle(QString::fromStdString(LoadString(IDS_PAGE_FILL)));
    ColourValue colour;
    int state = -1;
    for (CDrawObj* obj : Selection()) {
        if (obj->CanFill() != 1)
            continue;
        const COLORREF c = obj->GetFillColor();
        const int s = obj->GetFillStyle();
        if (!m_bAny) {
            colour.Set(c);
            state = s;
        } else {
            if (colour.NotEquals(c))
                colour.SetDefault();
            if (s != state)
                state = kNotApplicable;
        }
        m_bAny = true;
    }
    if (colour.m_colour == kMixedColour)
        colour.SetDefault();
    auto* layout = new QFormLayout(this);
    m_fill = new QCheckBox(tr("&Fill:"), this);
    m_colour = new CColourCombo(this);
    m_colour->Init(colour);
    layout->addRow(m_fill, m_colour);
    MakeTriState(m_fill, state < 0 ? kNotApplicable : state);
    connect(m_fill, &QCheckBox::stateChanged, this, [this] { SetModified(); });
    connect(m_colour, &CColourCombo::colourChanged, this, [this] {
        // Choosing a colour means filling with it.
        m_fill->setCheckState(Qt::Checked);
        SetModified();
    });
}

bool CFillStylePage::OnApply()
{
    const ColourValue colour = m_colour->GetColour();
    const int state = BoxState(m_fill);
    for (CDrawObj* obj : Selection()) {
        if (!colour.IsSpecial())
            obj->SetFillColor(colour.m_colour);
        if (state != kNotApplicable)
            obj->SetFillStyle(state, true);
        obj->Invalidate();
    }
    return true;
}

// ---------------------------------------------------------------- Polygon

CPolygonStylePage::CPolygonStylePage(CDrawView* view, QWidget* parent) : CDrawStylePage(view, parent)
{
    setWindowTitle(QString::fromStdString(LoadString(IDS_PAGE_POLYGON)));
    int state = kNotApplicable;
    for (CDrawObj* obj : Selection()) {
        if (obj->IsPolygon() != 1)
            continue;
        const int s = obj->GetPolyClosed();
        state = !m_bAny ? s : (s == state ? state : kNotApplicable);
        m_bAny = true;
    }
    auto* layout = new QVBoxLayout(this);
    m_join = new QCheckBox(tr("&Join ends"), this);
    layout->addWidget(m_join);
    layout->addStretch();
    MakeTriState(m_join, state);
    connect(m_join, &QCheckBox::stateChanged, this, [this] { SetModified(); });
}

bool CPolygonStylePage::OnApply()
{
    const int state = BoxState(m_join);
    if (state == kNotApplicable)
        return true;
    for (CDrawObj* obj : Selection())
        obj->SetPolyClosed(state, true);
    return true;
}

// ---------------------------------------------------------------- Line

CLineStylePage::CLineStylePage(CDrawView* view, QWidget* parent) : CDrawStylePage(view, parent)
{
    setWindowTitle(QString::fromStdString(LoadString(IDS_PAGE_LINE)));
    ColourValue colour;
    int style = -1, width = -1;
    for (CDrawObj* obj : Selection()) {
        if (obj->CanHaveLine() != 1)
            continue;
        const COLORREF c = obj->GetLineColor();
        int s = 0, w = 0;
        obj->GetLineStyle(s, w);
        if (!m_bAny) {
            colour.Set(c);
            style = s;
            width = w;
        } else {
            if (colour.NotEquals(c))
                colour.SetDefault();
            if (s != style)
                style = -1;
            if (w != width)
                width = -1;
        }
        m_bAny = true;
    }
    if (colour.m_colour == kMixedColour)
        colour.SetDefault();
    auto* layout = new QFormLayout(this);
    m_width = new QLineEdit(this);
    m_width->setText(width >= 0 ? QString::fromStdString(Tenths(width)) : QString());
    m_style = new QComboBox(this);
    m_style->addItems({tr("None"), tr("Solid"), tr("Dash"), tr("Dot"), tr("Dash dot"), tr("Dash dot dot")});
    m_style->setCurrentIndex(ListIndexFromPenStyle(style));
    m_colour = new CColourCombo(this);
    m_colour->Init(colour);
    layout->addRow(tr("&Width (points):"), m_width);
    layout->addRow(tr("&Style:"), m_style);
    layout->addRow(tr("&Color:"), m_colour);
    connect(m_width, &QLineEdit::textEdited, this, [this] { SetModified(); });
    connect(m_style, &QComboBox::activated, this, [this] { SetModified(); });
    connect(m_colour, &CColourCombo::colourChanged, this, [this] { SetModified(); });
}

bool CLineStylePage::OnApply()
{
    int width = -1;
    if (!m_width->text().trimmed().isEmpty()) {
        double points = 0;
        if (!ReadNumber(m_width, 0.1, 72.0, points, "0.1", "72"))
            return false;
        width = int(std::trunc(points * 10.0 + 1e-9));
    }
    const int style = PenStyleFromListIndex(m_style->currentIndex());
    const ColourValue colour = m_colour->GetColour();
    for (CDrawObj* obj : Selection()) {
        obj->Invalidate();
        if (!colour.IsSpecial())
            obj->SetLineColor(colour.m_colour);
        obj->SetLineStyle(style, width, false);
        obj->Invalidate();
    }
    return true;
}

// ---------------------------------------------------------------- Arrows

CArrowStylePage::CArrowStylePage(CDrawView* view, QWidget* parent) : CDrawStylePage(view, parent)
{
    setWindowTitle(QString::fromStdString(LoadString(IDS_PAGE_ARROWS)));
    int values[4] = {-1, -1, -1, -1};
    for (CDrawObj* obj : Selection()) {
        int v[4] = {};
        if (!obj->GetArrowHeads(v[0], v[1], v[2], v[3]))
            continue;
        for (int i = 0; i < 4; ++i)
            values[i] = !m_bAny ? v[i] : (v[i] == values[i] ? values[i] : -1);
        m_bAny = true;
    }
    const QStringList kinds = {tr("None"), tr("Open"), tr("Barbed"), tr("Triangle"), tr("Bar"), tr("Open and bar"),
                               tr("Barbed and bar"), tr("Triangle and bar")};
    auto* layout = new QFormLayout(this);
    m_start = new QComboBox(this);
    m_end = new QComboBox(this);
    m_start->addItems(kinds);
    m_end->addItems(kinds);
    m_size = new QComboBox(this);
    m_size->addItems({tr("Small"), tr("Medium"), tr("Large"), tr("Very large")});
    m_width = new QComboBox(this);
    m_width->addItems({tr("Wide"), tr("Narrow")});
    // The second head kind stands at the line's start, the first at its end.
    m_start->setCurrentIndex(values[1]);
    m_end->setCurrentIndex(values[0]);
    m_size->setCurrentIndex(values[2] >= 0 && values[2] < 4 ? values[2] : -1);
    m_width->setCurrentIndex(values[3] < 0 ? -1 : values[3] > 0 ? 1 : 0);
    layout->addRow(tr("&Ends: start"), m_start);
    layout->addRow(tr("end"), m_end);
    layout->addRow(tr("End si&ze:"), m_size);
    layout->addRow(tr("End &width:"), m_width);
    for (QComboBox* combo : {m_start, m_end, m_size, m_width})
        connect(combo, &QComboBox::activated, this, [this] { SetModified(); });
}

bool CArrowStylePage::OnApply()
{
    for (CDrawObj* obj : Selection())
        obj->SetArrowHeads(m_end->currentIndex(), m_start->currentIndex(), m_size->currentIndex(),
                           m_width->currentIndex(), true);
    return true;
}

// ---------------------------------------------------------------- Font

CDrawFontPage::CDrawFontPage(CDrawView* view, QWidget* parent) : CDrawStylePage(view, parent)
{
    setWindowTitle(QString::fromStdString(LoadString(IDS_PAGE_FONT)));
    for (CDrawObj* obj : Selection()) {
        if (obj->HasTextFormat() != 1)
            continue;
        const CHARFORMAT* f = obj->GetCharFormat(view);
        COLORREF c = 0;
        const bool hasColour = obj->GetTextColor(c);
        if (!f)
            continue;
        if (!m_bAny) {
            m_format = *f;
            if (hasColour && c != kMixedColour)
                m_textColour.Set(c);
            else
                m_textColour.SetDefault();
        } else {
            IntersectCharFormat(m_format, *f);
            if (!hasColour || m_textColour.NotEquals(c))
                m_textColour.SetDefault();
        }
        m_bAny = true;
    }
    if (!m_bAny) {
        m_format = CHARFORMAT();
        m_format.cbSize = 60;
    }
    m_size = (m_format.dwMask & CFM_SIZE) ? m_format.yHeight : -1;
    m_font.lfWeight = FW_NORMAL;
    if (m_format.dwMask & (CFM_FACE | CFM_CHARSET)) {
        std::memcpy(m_font.lfFaceName, m_format.szFaceName, sizeof m_font.lfFaceName);
        m_font.lfCharSet = m_format.bCharSet;
    }
    if ((m_format.dwMask & CFM_ITALIC) && (m_format.dwEffects & CFE_ITALIC))
        m_font.lfItalic = 1;
    if ((m_format.dwMask & CFM_BOLD) && (m_format.dwEffects & CFE_BOLD))
        m_font.lfWeight = FW_BOLD;

    auto* layout = new QGridLayout(this);
    m_face = new CFontNameCombo(this);
    m_styleCombo = new CFontStyleCombo(this);
    m_sizeCombo = new CFontSizeCombo(this);
    m_underline = new QCheckBox(tr("&Underline"), this);
    m_strikeout = new QCheckBox(tr("Stri&keout"), this);
    m_super = new QCheckBox(tr("Su&perscript"), this);
    m_sub = new QCheckBox(tr("Su&bscript"), this);
    m_offset = new QSpinBox(this);
    m_offset->setRange(-1, 100);
    m_offset->setSpecialValueText(QStringLiteral(" "));
    m_colour = new CColourCombo(this);
    m_colour->Init(m_textColour);
    layout->addWidget(new QLabel(tr("&Font:"), this), 0, 0);
    layout->addWidget(m_face, 1, 0);
    layout->addWidget(new QLabel(tr("Font st&yle:"), this), 0, 1);
    layout->addWidget(m_styleCombo, 1, 1);
    layout->addWidget(new QLabel(tr("&Size:"), this), 0, 2);
    layout->addWidget(m_sizeCombo, 1, 2);
    layout->addWidget(m_underline, 2, 0);
    layout->addWidget(m_strikeout, 3, 0);
    layout->addWidget(m_super, 2, 1);
    layout->addWidget(m_sub, 3, 1);
    layout->addWidget(new QLabel(tr("&Offset (points):"), this), 2, 2);
    layout->addWidget(m_offset, 3, 2);
    layout->addWidget(new QLabel(tr("&Color:"), this), 4, 0);
    layout->addWidget(m_colour, 4, 1);

    m_face->Fill();
    const std::string face(m_font.lfFaceName, strnlen(m_font.lfFaceName, LF_FACESIZE));
    if ((m_format.dwMask & (CFM_FACE | CFM_CHARSET)) && !face.empty()) {
        m_face->SelectFont(face, m_font.lfCharSet);
        m_styleCombo->Fill(face, m_font.lfCharSet);
        m_sizeCombo->Fill(face);
    } else {
        m_face->setCurrentIndex(-1);
    }
    if (m_size > 0)
        m_sizeCombo->SetSize(m_size);
    if ((m_format.dwMask & CFM_BOLD) && (m_format.dwMask & CFM_ITALIC))
        m_styleCombo->SelectStyle(m_font);
    auto effectState = [&](DWORD bit) { return (m_format.dwMask & bit) ? ((m_format.dwEffects & bit) ? 1 : 0) : 2; };
    MakeTriState(m_underline, effectState(CFM_UNDERLINE));
    MakeTriState(m_strikeout, effectState(CFM_STRIKEOUT));
    if (m_format.dwMask & CFM_OFFSET) {
        MakeTriState(m_super, m_format.yOffset > 0 ? 1 : 0);
        MakeTriState(m_sub, m_format.yOffset < 0 ? 1 : 0);
        m_offset->setValue(m_format.yOffset != 0 ? (std::abs(m_format.yOffset) + 10) / 20 : -1);
    } else {
        MakeTriState(m_super, kNotApplicable);
        MakeTriState(m_sub, kNotApplicable);
        m_offset->setValue(-1);
    }

    connect(m_face, &QComboBox::activated, this, [this] {
        if (const FontDescription* d = m_face->GetSelectedDescription()) {
            std::memcpy(m_font.lfFaceName, d->logFont.lfFaceName, sizeof m_font.lfFaceName);
            m_font.lfCharSet = d->charSet;
            m_font.lfPitchAndFamily = d->pitchAndFamily;
            m_styleCombo->Fill(d->faceName, d->charSet);
            m_sizeCombo->Fill(d->faceName);
        }
        m_changed |= CFM_FACE | CFM_CHARSET;
        SetModified();
    });
    connect(m_styleCombo, &QComboBox::activated, this, [this](int index) {
        if (const FontStyleEntry* e = m_styleCombo->GetEntry(index)) {
            m_font.lfWeight = e->weight;
            m_font.lfItalic = e->italic ? 1 : 0;
        }
        m_changed |= CFM_BOLD | CFM_ITALIC;
        SetModified();
    });
    auto sizeChanged = [this] {
        const int twips = m_sizeCombo->GetSize();
        if (twips > 0) {
            m_size = twips;
            m_changed |= CFM_SIZE;
            SetModified();
        }
    };
    connect(m_sizeCombo, &QComboBox::activated, this, sizeChanged);
    connect(m_sizeCombo, &QComboBox::editTextChanged, this, sizeChanged);
    connect(m_colour, &CColourCombo::colourChanged, this, [this] {
        m_textColour = m_colour->GetColour();
        m_changed |= CFM_COLOR;
        SetModified();
    });
    connect(m_underline, &QCheckBox::stateChanged, this, [this] {
        m_changed |= CFM_UNDERLINE;
        SetModified();
    });
    connect(m_strikeout, &QCheckBox::stateChanged, this, [this] {
        m_changed |= CFM_STRIKEOUT;
        SetModified();
    });
    // Superscript and subscript exclude each other; with neither the offset is empty.
    connect(m_super, &QCheckBox::clicked, this, [this](bool on) {
        if (on)
            m_sub->setCheckState(Qt::Unchecked);
        else if (m_sub->checkState() != Qt::Checked)
            m_offset->setValue(-1);
        m_changed |= CFM_OFFSET;
        SetModified();
    });
    connect(m_sub, &QCheckBox::clicked, this, [this](bool on) {
        if (on)
            m_super->setCheckState(Qt::Unchecked);
        else if (m_super->checkState() != Qt::Checked)
            m_offset->setValue(-1);
        m_changed |= CFM_OFFSET;
        SetModified();
    });
    connect(m_offset, &QSpinBox::valueChanged, this, [this] {
        m_changed |= CFM_OFFSET;
        SetModified();
    });
}

CHARFORMAT CDrawFontPage::BuildFormat() const
{
    CHARFORMAT f = m_format;
    f.cbSize = 60;
    f.dwMask |= m_changed;
    if (m_size <= 0)
        f.dwMask &= ~DWORD(CFM_SIZE);
    f.yHeight = m_size;
    std::memcpy(f.szFaceName, m_font.lfFaceName, sizeof f.szFaceName);
    f.bCharSet = m_font.lfCharSet;
    if (m_changed & CFM_FACE)
        f.bPitchAndFamily = m_font.lfPitchAndFamily;
    if (f.szFaceName[0] == '\0')
        f.dwMask &= ~DWORD(CFM_FACE | CFM_CHARSET);
    DWORD effects = f.dwEffects & ~DWORD(CFE_BOLD | CFE_ITALIC | CFE_UNDERLINE | CFE_STRIKEOUT);
    if (m_font.lfItalic)
        effects |= CFE_ITALIC;
    if (m_font.lfWeight >= FW_BOLD)
        effects |= CFE_BOLD;
    auto box = [&](QCheckBox* b, DWORD bit) {
        if (b->checkState() == Qt::PartiallyChecked) {
            f.dwMask &= ~bit;
            return;
        }
        if (b->checkState() == Qt::Checked)
            effects |= bit;
    };
    box(m_strikeout, CFM_STRIKEOUT);
    box(m_underline, CFM_UNDERLINE);
    f.dwEffects = effects;
    if (!m_textColour.IsSpecial()) {
        f.dwMask |= CFM_COLOR;
        f.crTextColor = m_textColour.m_colour;
        f.dwEffects &= ~DWORD(CFE_AUTOCOLOR);
    } else {
        f.dwMask &= ~DWORD(CFM_COLOR);
    }
    if (m_changed & CFM_OFFSET) {
        const int points = m_offset->value();
        if (m_super->checkState() == Qt::Checked && points > 0) {
            f.dwMask |= CFM_OFFSET;
            f.yOffset = points * 20;
        } else if (m_sub->checkState() == Qt::Checked && points > 0) {
            f.dwMask |= CFM_OFFSET;
            f.yOffset = points * -20;
        } else if (m_super->checkState() == Qt::Unchecked && m_sub->checkState() == Qt::Unchecked) {
            f.dwMask |= CFM_OFFSET;
            f.yOffset = 0;
        } else {
            f.dwMask &= ~DWORD(CFM_OFFSET);
        }
    }
    return f;
}

bool CDrawFontPage::OnApply()
{
    const CHARFORMAT f = BuildFormat();
    for (CDrawObj* obj : std::vector<CDrawObj*>(Selection()))
        obj->SetCharFormat(m_pView, f);
    return true;
}

// ---------------------------------------------------------------- Paragraph

CParaStylePage::CParaStylePage(CDrawView* view, QWidget* parent) : CDrawStylePage(view, parent)
{
    setWindowTitle(QString::fromStdString(LoadString(IDS_PAGE_PARAGRAPH)));
    PARAFORMAT merged;
    for (CDrawObj* obj : Selection()) {
        if (obj->HasTextFormat() != 1)
            continue;
        const PARAFORMAT* f = obj->GetParaFormat(view);
        if (!f)
            continue;
        if (!m_bAny)
            merged = *f;
        else
            IntersectParaFormat(merged, *f);
        m_bAny = true;
    }
    auto* layout = new QFormLayout(this);
    m_alignment = new QComboBox(this);
    m_alignment->addItems({tr("Left"), tr("Center"), tr("Right")});
    int index = -1;
    if (merged.dwMask & PFM_ALIGNMENT)
        index = merged.wAlignment == PFA_CENTER ? 1 : merged.wAlignment == PFA_RIGHT ? 2 : 0;
    m_alignment->setCurrentIndex(index);
    m_bullets = new QCheckBox(tr("Bullets"), this);
    MakeTriState(m_bullets, (merged.dwMask & PFM_NUMBERING) ? (merged.wNumbering == PFN_BULLET ? 1 : 0) : 2);
    layout->addRow(tr("&Alignment:"), m_alignment);
    layout->addRow(m_bullets);
    // Only what the user changes is applied.
    m_changed = 0;
    connect(m_alignment, &QComboBox::activated, this, [this] {
        m_changed |= PFM_ALIGNMENT;
        SetModified();
    });
    connect(m_bullets, &QCheckBox::stateChanged, this, [this] {
        m_changed |= PFM_NUMBERING;
        SetModified();
    });
}

bool CParaStylePage::OnApply()
{
    if (m_changed & PFM_ALIGNMENT) {
        PARAFORMAT f;
        const int index = m_alignment->currentIndex();
        if (index >= 0) {
            f.dwMask = PFM_ALIGNMENT;
            f.wAlignment = index == 0 ? PFA_LEFT : index == 1 ? PFA_CENTER : PFA_RIGHT;
            for (CDrawObj* obj : std::vector<CDrawObj*>(Selection()))
                obj->SetParaFormat(m_pView, f);
        }
    }
    if ((m_changed & PFM_NUMBERING) && m_bullets->checkState() != Qt::PartiallyChecked)
        m_pView->SetBullets(m_bullets->checkState() == Qt::Checked);
    m_changed = 0;
    return true;
}

// ---------------------------------------------------------------- Rotation

CRotationPage::CRotationPage(CDrawView* view, QWidget* parent) : CDrawStylePage(view, parent)
{
    setWindowTitle(QString::fromStdString(LoadString(IDS_PAGE_ROTATION)));
    bool any = false, differ = false, group = false, cannot = false;
    double angle = 0.0;
    for (CDrawObj* obj : Selection()) {
        const double a = obj->GetAngle();
        if (!any)
            angle = a;
        else if (a != angle)
            differ = true;
        any = true;
        group = group || obj->IsGroup();
        cannot = cannot || !obj->CanRotate();
    }
    if (angle < 0)
        differ = true;
    auto* layout = new QVBoxLayout(this);
    m_relative = new QRadioButton(tr("&Relative"), this);
    m_absolute = new QRadioButton(tr("&Absolute"), this);
    m_absolute->setChecked(true);
    m_degrees = new QLineEdit(QStringLiteral("0"), this);
    m_status = new QLabel(this);
    QString status;
    if (cannot)
        status = QString::fromStdString(LoadString(IDS_ROTATION_CANNOT));
    else if (group)
        status = QString::fromStdString(LoadString(IDS_ROTATION_GROUP));
    else if (differ || !any)
        status = QString::fromStdString(LoadString(IDS_ROTATION_DIFFERS));
    else {
        char number[32];
        std::snprintf(number, sizeof number, "%.1f", angle);
        status = QString::fromStdString(LoadString(IDS_ROTATION_CURRENT)).replace("%.1lf", QString::fromLatin1(number));
    }
    m_status->setText(status);
    layout->addWidget(m_relative);
    layout->addWidget(m_absolute);
    auto* row = new QFormLayout;
    row->addRow(tr("&Degrees:"), m_degrees);
    layout->addLayout(row);
    layout->addWidget(m_status);
    layout->addStretch();
    connect(m_degrees, &QLineEdit::textEdited, this, [this] { SetModified(); });
    connect(m_relative, &QRadioButton::toggled, this, [this] { SetModified(); });
}

bool CRotationPage::OnApply()
{
    double degrees = 0;
    if (!ReadNumber(m_degrees, -360.0, 360.0, degrees, "-360", "360"))
        return false;
    while (degrees < 0)
        degrees += 360.0;
    while (degrees >= 360.0)
        degrees -= 360.0;
    for (CDrawObj* obj : Selection()) {
        if (!obj->CanRotate())
            continue;
        obj->Invalidate();
        if (m_relative->isChecked())
            obj->RotateBy(degrees);
        else
            obj->SetAngle(degrees);
        obj->SetModified();
        obj->Invalidate();
    }
    return true;
}

// ---------------------------------------------------------------- Location

CLocationPage::CLocationPage(CDrawView* view, bool inGroup, QWidget* parent) : CDrawStylePage(view, parent)
{
    setWindowTitle(QString::fromStdString(LoadString(IDS_PAGE_LOCATION)));
    if (Selection().size() == 1)
        m_pObject = Selection().front();
    auto* layout = new QFormLayout(this);
    m_left = new QLineEdit(this);
    m_top = new QLineEdit(this);
    m_relative = new QComboBox(this);
    m_relative->addItems({tr("Margins"), tr("Page edge")});
    m_relative->setCurrentIndex(0);
    m_width = new QLineEdit(this);
    m_height = new QLineEdit(this);
    m_aspect = new QCheckBox(tr("&Maintain aspect ratio"), this);
    layout->addRow(tr("From &left:"), m_left);
    layout->addRow(tr("From &top:"), m_top);
    layout->addRow(tr("&Relative to:"), m_relative);
    layout->addRow(tr("&Width:"), m_width);
    layout->addRow(tr("&Height:"), m_height);
    layout->addRow(m_aspect);
    if (!m_pObject)
        return;
    m_rect = m_pObject->GetPosition();
    const bool move = m_pObject->CanMove() && !inGroup, size = m_pObject->CanSetSize() != 0;
    m_left->setEnabled(move);
    m_top->setEnabled(move);
    m_width->setEnabled(size);
    m_height->setEnabled(size);
    m_aspect->setEnabled(size);
    ShowValues();
    connect(m_relative, &QComboBox::currentIndexChanged, this, [this] { ShowValues(); });
    for (QLineEdit* edit : {m_left, m_top})
        connect(edit, &QLineEdit::textEdited, this, [this] { SetModified(); });
    auto keepAspect = [this](bool widthChanged) {
        if (m_bUpdating || !m_aspect->isChecked())
            return;
        const MeasurementUnit unit = PageUnit();
        const RECT n = NormalizedRect(m_rect);
        const int w0 = std::max<LONG>(1, n.right - n.left), h0 = std::max<LONG>(1, n.bottom - n.top);
        int value = 0;
        m_bUpdating = true;
        if (widthChanged && unit.Parse(m_width->text().toStdString(), value))
            m_height->setText(QString::fromStdString(unit.Format(MulDiv(value, h0, w0))));
        else if (!widthChanged && unit.Parse(m_height->text().toStdString(), value))
            m_width->setText(QString::fromStdString(unit.Format(MulDiv(value, w0, h0))));
        m_bUpdating = false;
    };
    connect(m_width, &QLineEdit::textEdited, this, [this, keepAspect] {
        keepAspect(true);
        SetModified();
    });
    connect(m_height, &QLineEdit::textEdited, this, [this, keepAspect] {
        keepAspect(false);
        SetModified();
    });
}

POINT CLocationPage::Origin() const
{
    // Positions count from the corner inside the margins (page point 0, 0) or
    // from the paper's corner; "from top" runs down the page.
    CDrawData* page = m_pView->GetDrawData();
    if (m_relative->currentIndex() == 1 && page)
        return {-page->GetMargins().left, page->GetMargins().top};
    return {0, 0};
}

void CLocationPage::ShowValues()
{
    const MeasurementUnit unit = PageUnit();
    const RECT n = NormalizedRect(m_rect);
    const POINT o = Origin();
    m_bUpdating = true;
    m_left->setText(QString::fromStdString(unit.Format(n.left - o.x)));
    m_top->setText(QString::fromStdString(unit.Format(o.y - n.bottom)));
    m_width->setText(QString::fromStdString(unit.Format(n.right - n.left)));
    m_height->setText(QString::fromStdString(unit.Format(n.bottom - n.top)));
    m_bUpdating = false;
}

bool CLocationPage::OnApply()
{
    if (!m_pObject)
        return true;
    const MeasurementUnit unit = PageUnit();
    int left = 0, top = 0, width = 0, height = 0;
    for (auto [edit, value] : {std::pair{m_left, &left}, std::pair{m_top, &top}, std::pair{m_width, &width},
                               std::pair{m_height, &height}}) {
        if (!unit.Parse(edit->text().trimmed().toStdString(), *value)) {
            ReportMessage(IDS_ILLEGAL_MEASUREMENT);
            edit->setFocus();
            return false;
        }
    }
    const POINT o = Origin();
    const LONG x = o.x + left, upper = o.y - top;
    // The frame keeps the orientation it had: a right-to-left or upside-down
    // frame stays so.
    RECT r{};
    if (m_rect.left <= m_rect.right) {
        r.left = x;
        r.right = x + width;
    } else {
        r.right = x;
        r.left = x + width;
    }
    if (m_rect.top >= m_rect.bottom) {
        r.top = upper;
        r.bottom = upper - height;
    } else {
        r.bottom = upper;
        r.top = upper - height;
    }
    m_pObject->MoveTo(r, m_pView);
    m_rect = m_pObject->GetPosition();
    return true;
}

// ---------------------------------------------------------------- the sheet

CHelpPropertySheet* BuildDrawStyleSheet(CDrawView* view, const std::string& title, int mask)
{
    auto* sheet = new CHelpPropertySheet(QString::fromStdString(title), view);
    AddDrawStylePages(sheet, view, mask);
    return sheet;
}

int AddDrawStylePages(CHelpPropertySheet* sheet, CDrawView* view, int mask)
{
    std::vector<CDrawStylePage*> pages;
    auto add = [&](CDrawStylePage* page, bool always = false) {
        if (always || page->Applies()) {
            sheet->AddPage(page, page->windowTitle());
            pages.push_back(page);
        } else {
            delete page;
        }
    };
    bool group = false;
    for (CDrawObj* obj : view->GetSelection())
        group = group || obj->IsGroup();
    if (mask & STYLE_FILL)
        add(new CFillStylePage(view));
    if (mask & STYLE_POLYGON)
        add(new CPolygonStylePage(view));
    if (mask & STYLE_LINE)
        add(new CLineStylePage(view));
    if (mask & STYLE_ARROWS)
        add(new CArrowStylePage(view));
    if (mask & STYLE_FONT)
        add(new CDrawFontPage(view));
    if (mask & STYLE_PARAGRAPH)
        add(new CParaStylePage(view));
    if (mask & STYLE_ROTATION)
        add(new CRotationPage(view), true);
    if (mask & STYLE_LOCATION)
        add(new CLocationPage(view, group));
    QObject::connect(sheet, &CHelpPropertySheet::applied, sheet, [view, pages, sheet] {
        view->BeginUndoStep();
        for (CDrawStylePage* page : pages) {
            if (!page->IsModified())
                continue;
            if (!page->OnApply())
                break;
            page->SetModified(false);
        }
        view->EndUndoStep(IDS_UNDO_PROPERTIES);
        // After an apply the sheet's Cancel can no longer take anything back.
        SetCancelToClose(sheet);
    });
    return int(pages.size());
}
