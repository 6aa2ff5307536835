// The styles of a face: regular, italic, bold and bold italic, in weight order.
#pragma once

#include "platform/Types.h"
#include "ui/widgets/ComboBoxBase.h"

#include <string>
#include <vector>

struct FontStyleEntry {
    std::string name;
    LONG weight = 400;
    bool italic = false;
};

class CFontStyleCombo : public CComboBoxBase {
    Q_OBJECT
public:
    explicit CFontStyleCombo(QWidget* parent = nullptr);

    // Lists the styles for a face. Outline faces are drawn in every one of the
    // four styles, bold and italic synthesised where the face lacks them, so
    // all four are offered whatever the face and character set.
    void Fill(const std::string& faceName, BYTE charSet);
    // Selects the entry of the font's weight class and italic flag.
    const FontStyleEntry* SelectStyle(const LOGFONT& font);
    const FontStyleEntry* GetEntry(int index) const;

private:
    std::vector<FontStyleEntry> m_entries;
};
