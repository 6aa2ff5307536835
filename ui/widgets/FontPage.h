// The "Font" page of an item's property sheet: face, style and size of a
// font with a sample, and buttons that restore the standard font or keep the
// edited one as the program's default.
#pragma once

#include "platform/Types.h"

#include <QWidget>

class CFontNameCombo;
class CFontSampleButton;
class CFontSizeCombo;
class CFontStyleCombo;
class QPushButton;

// The program's default font for new items (the preferences keep it).
struct DefaultFontSetting {
    LOGFONT font;
    int sizeTenthsPoint = 100;
    bool set = false;
};

class CFontPage : public QWidget {
    Q_OBJECT
public:
    // object: what the font belongs to; kept for the owner, not read here.
    CFontPage(const LOGFONT& font, int heightTwips, void* object = nullptr, QWidget* parent = nullptr);

    QString Title() const { return tr("Font"); }
    const LOGFONT& GetLogFont() const { return m_font; }
    int GetHeightTwips() const { return m_heightTwips; }
    void* GetObject() const { return m_object; }
    bool IsModified() const { return m_modified; }

    // Fills the controls from the font.
    void OnInitDialog();
    void OnFaceChanged();
    void OnStyleChanged();
    void OnSizeChanged();
    // The standard font: Arial 10 pt, variable pitch, Swiss family, in the current character set.
    void RestoreDefaults();
    // The edited font becomes the program's default.
    void SaveAsDefaults();

    static DefaultFontSetting& ApplicationDefaultFont();

    CFontNameCombo* FaceCombo() const { return m_face; }
    CFontStyleCombo* StyleCombo() const { return m_style; }
    CFontSizeCombo* SizeCombo() const { return m_size; }
    CFontSampleButton* Sample() const { return m_sample; }
    QPushButton* RestoreButton() const { return m_restore; }
    QPushButton* SaveDefaultsButton() const { return m_saveDefaults; }

signals:
    void modified();

private:
    void SetModified();

    LOGFONT m_font;
    int m_heightTwips;
    void* m_object;
    bool m_modified = false;
    CFontNameCombo* m_face;
    CFontStyleCombo* m_style;
    CFontSizeCombo* m_size;
    CFontSampleButton* m_sample;
    QPushButton* m_restore;
    QPushButton* m_saveDefaults;
};
