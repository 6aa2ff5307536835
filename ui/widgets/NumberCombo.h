// A combo box of whole percentages, such as the zoom box of the Standard toolbar.
#pragma once

#include "ui/widgets/ComboBoxBase.h"

#include <string_view>

class CNumberCombo : public CComboBoxBase {
    Q_OBJECT
public:
    explicit CNumberCombo(QWidget* parent = nullptr);

    // Shows "%d%" (the list entry of that text when there is one).
    void SetPercent(int value);
    // The typed percentage: -1 when empty, 100 for text that is no percentage.
    int GetPercent() const { return ParsePercent(GetText()); }

    static int ParsePercent(std::string_view text);
    // Bounded to 5 ... 600 as views zoom.
    static int BoundPercent(int value) { return value < 6 ? 5 : value >= 600 ? 600 : value; }
};
