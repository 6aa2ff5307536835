// The sizes of a face in points; sizes are kept in twips (1/20 point).
#pragma once

#include "platform/Types.h"
#include "ui/widgets/ComboBoxBase.h"

#include <string>
#include <string_view>

class CFontSizeCombo : public CComboBoxBase {
    Q_OBJECT
public:
    explicit CFontSizeCombo(QWidget* parent = nullptr);

    // Lists the sizes of a face: the standard sizes for a scalable face, the
    // face's own sizes for a bitmap face. The typed size is kept.
    void Fill(const std::string& faceName, bool usePrinter = false);
    // Shows a size (only when the typed one differs) and remembers it.
    void SetSize(int twips);
    // The typed size in twips; -1 when empty, -2 when it is no number.
    int GetSize() const { return ParseSize(GetText()); }
    int GetRememberedSize() const { return m_twips; }

    // Half-point precision: 250 twips shows as "12.5", 240 as "12".
    static std::string FormatTwips(int twips);
    static int ParseSize(std::string_view text);
    // The message that refuses a size (26003 no number, 26004 out of range),
    // or 0 when it is acceptable or empty.
    static UINT CheckSize(int twips);

private:
    int m_twips = 0;
};
