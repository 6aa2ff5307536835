// The "Fonts" page of an item form: a list of the item's fonts (headings,
// normal text, header and footer) and the face, style and size of the one
// chosen, with a sample. The item keeps each font as a logical-font record
// and a size in tenths of a point; the page edits them in place and marks
// the item modified.
#pragma once

#include "platform/Types.h"
#include "ui/widgets/TabFormView.h"

#include <QStringList>

class CComboBoxBase;
class CFontNameCombo;
class CFontSampleButton;
class CFontSizeCombo;
class CFontStyleCombo;

// Control ids of the font page.
enum : int {
    IDC_FONT_ELEMENT = 1173,
    IDC_FONT_FACE = 1150,
    IDC_FONT_STYLE = 1151,
    IDC_FONT_SIZE = 1152,
    IDC_FONT_SAMPLE = 1156,
};

class CTabFontView : public CTabFormChildView {
    Q_OBJECT
public:
    // elements: the entries of the "Item" list, in the order the derived page maps them.
    CTabFontView(int templateId, const QStringList& elements, int initialElement);

    // Points the page at one of the item's fonts; the derived page sets the
    // record and height with SetFontTarget, then calls ApplyFont.
    virtual void SelectFontElement(int index) {}
    // Shows the edited font in the controls and the sample.
    void ApplyFont();

    int GetElement() const { return m_nElement; }
    void SetElement(int index);

    CComboBoxBase* ElementCombo() const { return m_element; }
    CFontNameCombo* FaceCombo() const { return m_face; }
    CFontStyleCombo* StyleCombo() const { return m_style; }
    CFontSizeCombo* SizeCombo() const { return m_size; }
    CFontSampleButton* Sample() const { return m_sample; }

    void OnFaceChanged();
    void OnStyleChanged();
    void OnSizeChanged();

    void OnUpdate(CDocView* sender, int hint, CObject* object) override;

protected:
    void OnInitialUpdate() override;
    // The record and its height (tenths of a point) that the controls edit.
    void SetFontTarget(LOGFONT* font, int* tenthsOfPoint);
    // For items that keep their text fonts in m_fonts followed by the
    // header/footer font: element textFonts is the header/footer.
    template <class Item>
    void SelectItemFont(Item* item, int index, int textFonts)
    {
        if (!item || index < 0 || index > textFonts)
            return;
        if (index < textFonts)
            SetFontTarget(&item->m_fonts[index].font, &item->m_fonts[index].size);
        else
            SetFontTarget(&item->m_lfHeaderFooter, &item->m_nHeaderFooterSize);
        ApplyFont();
    }

private:
    void Modified();

    CComboBoxBase* m_element;
    CFontNameCombo* m_face;
    CFontStyleCombo* m_style;
    CFontSizeCombo* m_size;
    CFontSampleButton* m_sample;
    int m_nElement;
    LOGFONT* m_pFont = nullptr;
    int* m_pHeight = nullptr;
    // What the sample draws and the size last shown, in twips.
    int m_nSampleTwips = 200;
    int m_nShownTwips = 0;
    bool m_bApplying = false;
};
