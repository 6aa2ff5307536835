#include "ui/widgets/NumberCombo.h"

#include <charconv>
#include <string>

namespace {
bool IsSpace(char c) { return c == ' ' || c == '\t'; }
constexpr int kUnreadable = 100;
}  // namespace

CNumberCombo::CNumberCombo(QWidget* parent) : CComboBoxBase(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
}

void CNumberCombo::SetPercent(int value)
{
    SelectOrSetText(std::to_string(value) + "%", true);
}

int CNumberCombo::ParsePercent(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && IsSpace(text[i]))
        ++i;
    if (i == text.size())
        return -1;
    int value = 0;
    auto res = std::from_chars(text.data() + i, text.data() + text.size(), value);
    if (res.ec != std::errc())
        return kUnreadable;
    i = std::size_t(res.ptr - text.data());
    while (i < text.size() && IsSpace(text[i]))
        ++i;
    if (i < text.size() && text[i] == '%')
        ++i;
    while (i < text.size() && IsSpace(text[i]))
        ++i;
    return i == text.size() ? value : kUnreadable;
}
