#include "ui/widgets/FontPage.h"

#include "ui/widgets/FontNameCombo.h"
#include "ui/widgets/FontSampleButton.h"
#include "ui/widgets/FontSizeCombo.h"
#include "ui/widgets/FontStyleCombo.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <cstring>

CFontPage::CFontPage(const LOGFONT& font, int heightTwips, void* object, QWidget* parent)
    : QWidget(parent)
    , m_font(font)
    , m_heightTwips(heightTwips)
    , m_object(object)
    , m_face(new CFontNameCombo(this))
    , m_style(new CFontStyleCombo(this))
    , m_size(new CFontSizeCombo(this))
    , m_sample(new CFontSampleButton(this))
    , m_restore(new QPushButton(tr("&Restore Defaults"), this))
    , m_saveDefaults(new QPushButton(tr("Save &as Defaults"), this))
{
    setObjectName("FontPage");
    m_face->setObjectName("1150");
    m_style->setObjectName("1151");
    m_size->setObjectName("1152");
    m_sample->setObjectName("1156");
    m_restore->setObjectName("1280");
    m_saveDefaults->setObjectName("1279");
    auto* form = new QFormLayout;
    form->addRow(tr("&Font:"), m_face);
    form->addRow(tr("Font st&yle:"), m_style);
    form->addRow(tr("&Size:"), m_size);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_restore);
    buttons->addWidget(m_saveDefaults);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_sample, 1);
    layout->addLayout(buttons);

    connect(m_face, qOverload<int>(&QComboBox::activated), this, [this] { OnFaceChanged(); });
    connect(m_style, qOverload<int>(&QComboBox::activated), this, [this] { OnStyleChanged(); });
    connect(m_size, qOverload<int>(&QComboBox::activated), this, [this] { OnSizeChanged(); });
    for (QComboBox* combo : {static_cast<QComboBox*>(m_face), static_cast<QComboBox*>(m_size)})
        if (QLineEdit* edit = combo->lineEdit())
            connect(edit, &QLineEdit::editingFinished, this, [this, combo] {
                combo == m_face ? OnFaceChanged() : OnSizeChanged();
            });
    connect(m_restore, &QPushButton::clicked, this, &CFontPage::RestoreDefaults);
    connect(m_saveDefaults, &QPushButton::clicked, this, &CFontPage::SaveAsDefaults);
    OnInitDialog();
}

DefaultFontSetting& CFontPage::ApplicationDefaultFont()
{
    static DefaultFontSetting setting;
    return setting;
}

void CFontPage::OnInitDialog()
{
    m_face->Fill();
    m_face->SelectFont(m_font.lfFaceName, m_font.lfCharSet);
    m_size->Fill(m_font.lfFaceName);
    m_size->SetSize(m_heightTwips);
    m_style->Fill(m_font.lfFaceName, m_font.lfCharSet);
    m_style->SelectStyle(m_font);
    m_sample->SetFont(&m_font);
    m_sample->SetHeight(&m_heightTwips);
}

void CFontPage::OnFaceChanged()
{
    const FontDescription* d = m_face->GetSelectedDescription();
    if (!d || d->faceName == m_font.lfFaceName)
        return;
    std::memset(m_font.lfFaceName, 0, sizeof m_font.lfFaceName);
    std::strncpy(m_font.lfFaceName, d->faceName.c_str(), LF_FACESIZE - 1);
    m_font.lfCharSet = d->charSet;
    m_font.lfPitchAndFamily = d->pitchAndFamily;
    m_style->Fill(m_font.lfFaceName, m_font.lfCharSet);
    m_size->Fill(m_font.lfFaceName);
    m_size->SetSize(m_heightTwips);
    OnStyleChanged();
    SetModified();
}

void CFontPage::OnStyleChanged()
{
    const FontStyleEntry* entry = m_style->GetEntry(m_style->currentIndex());
    if (!entry)
        return;
    m_font.lfWeight = entry->weight;
    m_font.lfItalic = entry->italic ? 1 : 0;
    m_font.lfWidth = 0;
    m_sample->update();
    SetModified();
}

void CFontPage::OnSizeChanged()
{
    const int twips = m_size->GetSize();
    if (twips <= 0 || twips == m_heightTwips)
        return;
    m_heightTwips = twips;
    m_sample->update();
    SetModified();
}

void CFontPage::RestoreDefaults()
{
    const BYTE charSet = m_font.lfCharSet;
    m_font = LOGFONT{};
    std::strncpy(m_font.lfFaceName, "Arial", LF_FACESIZE - 1);
    m_font.lfPitchAndFamily = 0x22;  // variable pitch, Swiss family
    m_font.lfCharSet = charSet;
    m_heightTwips = 200;             // 10 pt
    OnInitDialog();
    m_sample->update();
    SetModified();
}

void CFontPage::SaveAsDefaults()
{
    DefaultFontSetting& d = ApplicationDefaultFont();
    d.font = m_font;
    d.sizeTenthsPoint = m_heightTwips / 2;
    d.set = true;
}

void CFontPage::SetModified()
{
    m_modified = true;
    emit modified();
}
