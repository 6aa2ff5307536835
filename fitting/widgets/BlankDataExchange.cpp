#include "fitting/widgets/BlankDataExchange.h"

#include "data/LocaleChars.h"
#include "framework/ArchiveHelpers.h"
#include "ui/DoubleText.h"
#include "ui/widgets/DataExchange.h"

#include <QLineEdit>

#include <charconv>
#include <cmath>
#include <string>
#include <string_view>

namespace {

// The longest text the optional fields read.
constexpr int kMaxFieldText = 31;

std::string FieldText(const QLineEdit* edit) { return edit->text().left(kMaxFieldText).toStdString(); }

void Show(QLineEdit* edit, const std::string& text)
{
    const QString t = QString::fromStdString(text);
    if (edit->text() != t)
        edit->setText(t);
}

void ShowDouble(QLineEdit* edit, double value)
{
    // Every kind of NaN shows empty, not only the blank's bits.
    Show(edit, std::isnan(value) ? std::string() : FormatDoubleOrBlank(value));
}

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

bool IsEmptyText(const std::string& text) { return Trim(text).empty(); }

void ShowOptionalInt(CDataExchange* pDX, QLineEdit* edit, int& value)
{
    if (value == kOptionalIntEmpty)
        Show(edit, {});
    else
        DDX_Int(pDX, edit, value);
}

} // namespace

void DDX_OptionalInt(CDataExchange* pDX, QLineEdit* edit, int& value)
{
    if (pDX->Failed())
        return;
    pDX->PrepareCtrl(edit);
    if (!pDX->m_bSaveAndValidate) {
        ShowOptionalInt(pDX, edit, value);
        return;
    }
    if (IsEmptyText(edit->text().toStdString())) {
        value = kOptionalIntEmpty;
        return;
    }
    DDX_Int(pDX, edit, value);
    if (!pDX->Failed() && value == kOptionalIntEmpty)
        value = kOptionalIntInvalid;
}

void DDV_OptionalMinMaxInt(CDataExchange* pDX, int value, int minimum, int maximum)
{
    if (value != kOptionalIntEmpty)
        DDV_MinMaxInt(pDX, value, minimum, maximum);
}

void DDX_OptionalIntScan(CDataExchange* pDX, QLineEdit* edit, int& value)
{
    if (pDX->Failed())
        return;
    pDX->PrepareCtrl(edit);
    if (!pDX->m_bSaveAndValidate) {
        ShowOptionalInt(pDX, edit, value);
        return;
    }
    const std::string text = FieldText(edit);
    if (IsEmptyText(text)) {
        value = kOptionalIntEmpty;
        return;
    }
    // As a scan reads an integer: blanks, a sign, then as many digits as there are.
    std::string_view rest = text;
    while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t'))
        rest.remove_prefix(1);
    if (!rest.empty() && rest.front() == '+')
        rest.remove_prefix(1);
    int read = 0;
    const auto [end, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), read);
    if (ec != std::errc() || end == rest.data()) {
        value = kOptionalIntInvalid;
        Show(edit, {});
        return;
    }
    value = read == kOptionalIntEmpty ? kOptionalIntInvalid : read;
}

void DDX_ClampOptionalInt(CDataExchange* pDX, QLineEdit* edit, int& value, int minimum, int maximum)
{
    if (pDX->Failed() || !pDX->m_bSaveAndValidate || value == kOptionalIntEmpty)
        return;
    if (value < minimum)
        value = minimum;
    else if (value > maximum)
        value = maximum;
    Show(edit, std::to_string(value));
}

void DDX_OptionalDouble(CDataExchange* pDX, QLineEdit* edit, double& value)
{
    if (pDX->Failed())
        return;
    pDX->PrepareCtrl(edit);
    if (!pDX->m_bSaveAndValidate) {
        ShowDouble(edit, value);
        return;
    }
    std::string text(Trim(FieldText(edit)));
    const std::string& decimal = GetDecimalChar();
    if (decimal != ".")
        for (std::size_t at = text.find(decimal); at != std::string::npos; at = text.find(decimal, at + 1))
            text.replace(at, decimal.size(), ".");
    std::string_view number = text;
    bool negative = false;
    if (!number.empty() && (number.front() == '+' || number.front() == '-')) {
        negative = number.front() == '-';
        number.remove_prefix(1);
    }
    double read = 0.0;
    const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), read);
    if (number.empty() || ec != std::errc() || end != number.data() + number.size()) {
        // The value held stays, shown as the field shows it (so that it keeps
        // every digit and a blank stays an empty field).
        ShowDouble(edit, value);
        return;
    }
    // A typed NaN is stored as the blank, which is recognised by its bits.
    value = std::isnan(read) ? BlankValue() : (negative ? -read : read);
}

void DDX_ClampOptionalDouble(CDataExchange* pDX, QLineEdit* edit, double& value, double minimum, double maximum)
{
    if (pDX->Failed() || !pDX->m_bSaveAndValidate)
        return;
    if (std::isnan(value) || value < minimum)
        value = minimum;
    else if (value > maximum)
        value = maximum;
    ShowDouble(edit, value);
}
