#include "ui/widgets/TabFontView.h"

#include "framework/UpdateNotification.h"
#include "framework/ProjectItemBase.h"
#include "ui/widgets/FontNameCombo.h"
#include "ui/widgets/FontSampleButton.h"
#include "ui/widgets/FontSizeCombo.h"
#include "ui/widgets/FontStyleCombo.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include <cstring>

CTabFontView::CTabFontView(int templateId, const QStringList& elements, int initialElement)
    : CTabFormChildView(templateId)
    , m_element(new CComboBoxBase(this))
    , m_face(new CFontNameCombo(this))
    , m_style(new CFontStyleCombo(this))
    , m_size(new CFontSizeCombo(this))
    , m_sample(new CFontSampleButton(this))
    , m_nElement(initialElement)
{
    SetControlId(m_element, IDC_FONT_ELEMENT);
    SetControlId(m_face, IDC_FONT_FACE);
    SetControlId(m_style, IDC_FONT_STYLE);
    SetControlId(m_size, IDC_FONT_SIZE);
    SetControlId(m_sample, IDC_FONT_SAMPLE);
    m_element->addItems(elements);
    auto* form = new QFormLayout;
    form->addRow(tr("&Item:"), m_element);
    form->addRow(tr("&Font:"), m_face);
    form->addRow(tr("Font st&yle:"), m_style);
    form->addRow(tr("&Size:"), m_size);
    auto* sampleBox = new QGroupBox(tr("Sample"), this);
    auto* sampleLayout = new QVBoxLayout(sampleBox);
    m_sample->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    sampleLayout->addWidget(m_sample);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(sampleBox, 1);

    connect(m_element, qOverload<int>(&QComboBox::activated), this, [this](int index) {
        m_nElement = index;
        SelectFontElement(index);
    });
    connect(m_face, qOverload<int>(&QComboBox::activated), this, [this] { OnFaceChanged(); });
    connect(m_style, qOverload<int>(&QComboBox::activated), this, [this] { OnStyleChanged(); });
    connect(m_size, qOverload<int>(&QComboBox::activated), this, [this] { OnSizeChanged(); });
    // A size typed and left counts as chosen.
    if (QLineEdit* edit = m_size->lineEdit())
        connect(edit, &QLineEdit::editingFinished, this, [this] { OnSizeChanged(); });
}

void CTabFontView::OnInitialUpdate()
{
    m_face->Fill(kDefaultCharSet);
    m_element->setCurrentIndex(m_nElement);
    SelectFontElement(m_nElement);
}

void CTabFontView::SetElement(int index)
{
    m_nElement = index;
    m_element->setCurrentIndex(index);
    SelectFontElement(index);
}

void CTabFontView::SetFontTarget(LOGFONT* font, int* tenthsOfPoint)
{
    m_pFont = font;
    m_pHeight = tenthsOfPoint;
}

void CTabFontView::ApplyFont()
{
    if (!m_pFont || !m_pHeight)
        return;
    m_bApplying = true;
    m_face->SelectFont(m_pFont->lfFaceName, m_pFont->lfCharSet);
    m_size->Fill(m_pFont->lfFaceName, true);
    m_nSampleTwips = *m_pHeight * 2;
    m_size->SetSize(m_nSampleTwips);
    m_style->Fill(m_pFont->lfFaceName, m_pFont->lfCharSet);
    m_style->SelectStyle(*m_pFont);
    m_nShownTwips = m_nSampleTwips;
    m_sample->SetFont(m_pFont);
    m_sample->SetHeight(&m_nSampleTwips);
    m_sample->update();
    m_bApplying = false;
}

void CTabFontView::OnFaceChanged()
{
    const FontDescription* d = m_face->GetSelectedDescription();
    if (!m_pFont || !d)
        return;
    std::memset(m_pFont->lfFaceName, 0, sizeof m_pFont->lfFaceName);
    std::strncpy(m_pFont->lfFaceName, d->faceName.c_str(), LF_FACESIZE - 1);
    m_pFont->lfCharSet = d->charSet;
    m_pFont->lfPitchAndFamily = d->pitchAndFamily;
    m_style->Fill(m_pFont->lfFaceName, m_pFont->lfCharSet);
    m_size->Fill(m_pFont->lfFaceName, true);
    m_size->SetSize(m_nSampleTwips);
    OnStyleChanged();
}

void CTabFontView::OnStyleChanged()
{
    const FontStyleEntry* entry = m_style->GetEntry(m_style->currentIndex());
    if (!m_pFont || !entry)
        return;
    m_pFont->lfWeight = entry->weight;
    m_pFont->lfItalic = entry->italic ? 1 : 0;
    m_pFont->lfWidth = 0;
    m_sample->update();
    Modified();
}

void CTabFontView::OnSizeChanged()
{
    if (!m_pHeight || m_bApplying)
        return;
    const int twips = m_size->GetSize();
    // Empty text or text that is no number leaves the font as it is.
    if (twips < 1)
        return;
    *m_pHeight = twips / 2;
    if (twips != m_nShownTwips) {
        m_nShownTwips = twips;
        m_nSampleTwips = twips;
        m_sample->update();
        Modified();
    }
}

void CTabFontView::Modified()
{
    if (CProjectItemBase* item = GetItem())
        item->SetModified(true);
}

void CTabFontView::OnUpdate(CDocView* sender, int hint, CObject* object)
{
    auto* note = dynamic_cast<CUpdateNotification*>(object);
    if (hint == UPDATE_HINT_NOTIFICATION && note && note->kind == UN_ITEM_CHANGED) {
        m_nElement = m_element->currentIndex();
        SelectFontElement(m_nElement);
        return;
    }
    CTabFormChildView::OnUpdate(sender, hint, object);
}
