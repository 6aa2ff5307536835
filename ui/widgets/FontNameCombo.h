// The font families of the system, one entry per family and character set,
// with a picture marking scalable (outline) faces.
#pragma once

#include "platform/Types.h"
#include "ui/widgets/ComboBoxBase.h"

#include <string>
#include <vector>

// Font type flags of a listed family.
enum : DWORD { kPrinterFontType = 0x100, kTrueTypeFontType = 0x200, kDeviceFontType = 0x400 };
// The character set that stands for "any".
constexpr BYTE kDefaultCharSet = 1;

struct FontDescription {
    std::string faceName;
    LOGFONT logFont;  // face, character set, pitch and family of the family
    std::string styleName;
    std::string scriptName;
    BYTE charSet = 0;
    BYTE pitchAndFamily = 0;
    DWORD fontType = 0;
    DWORD reserved = 0;
};

class CFontNameCombo : public CComboBoxBase {
    Q_OBJECT
public:
    explicit CFontNameCombo(QWidget* parent = nullptr);

    // Refills the list with the families of a character set (1: every set).
    void Fill(BYTE charSet = kDefaultCharSet);
    // The character set of the selected family; 1 when none is selected.
    BYTE GetCharSet() const;
    // Selects the family of that face and character set (any set for 1);
    // when none is listed the name is typed into the edit field.
    void SelectFont(const std::string& faceName, BYTE charSet);
    // The description of a list entry (none for a bad index).
    const FontDescription* GetDescription(int index) const;
    const FontDescription* GetSelectedDescription() const { return GetDescription(currentIndex()); }

    // The script name of a character set ("Western", "Greek", ...).
    static std::string ScriptName(BYTE charSet);
    // The character sets that a family covers.
    static std::vector<BYTE> CharSetsOf(const QString& family);

private:
    std::vector<FontDescription> m_fonts;  // in list order
};
