#include "ui/widgets/FontSizeCombo.h"

#include "platform/StringIds.h"

#include <QFontDatabase>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <vector>

namespace {

constexpr int kStandardSizes[] = {6, 7, 8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};
// Twips of 1 point and of 1638 points (the largest height a character
// format holds).
constexpr int kMinTwips = 20;
constexpr int kMaxTwips = 32760;

bool IsSpace(char c) { return c == ' ' || c == '\t'; }

}  // namespace

CFontSizeCombo::CFontSizeCombo(QWidget* parent) : CComboBoxBase(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
}

std::string CFontSizeCombo::FormatTwips(int twips)
{
    const int halfPoints = (twips + 5) / 10;
    if (halfPoints % 2 == 0)
        return std::to_string(halfPoints / 2);
    char buf[32];
    auto res = std::to_chars(buf, buf + sizeof buf, halfPoints * 0.5, std::chars_format::fixed, 1);
    return std::string(buf, res.ptr);
}

int CFontSizeCombo::ParseSize(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && IsSpace(text[i]))
        ++i;
    if (i == text.size())
        return -1;
    double value = 0.0;
    auto res = std::from_chars(text.data() + i, text.data() + text.size(), value, std::chars_format::fixed);
    if (res.ec != std::errc() || !std::isfinite(value))
        return -2;
    for (const char* p = res.ptr; p != text.data() + text.size(); ++p)
        if (!IsSpace(*p))
            return -2;
    if (value < 0)
        return 0;
    const double twips = std::trunc(value * 20.0);
    return twips >= double(std::numeric_limits<int>::max()) ? std::numeric_limits<int>::max() : int(twips);
}

UINT CFontSizeCombo::CheckSize(int twips)
{
    if (twips == -2)
        return IDS_NOT_A_VALID_NUMBER;
    if (twips < 0)
        return 0;
    if (twips < kMinTwips || twips > kMaxTwips)
        return IDS_POINT_SIZE_RANGE;
    return 0;
}

void CFontSizeCombo::Fill(const std::string& faceName, bool /*usePrinter*/)
{
    const std::string typed = currentText().toStdString();
    blockSignals(true);
    clear();
    if (!faceName.empty()) {
        const QString family = QString::fromStdString(faceName);
        if (QFontDatabase::isSmoothlyScalable(family) || QFontDatabase::isScalable(family)
            || !QFontDatabase::families().contains(family)) {
            for (int size : kStandardSizes)
                addItem(QString::number(size));
        } else {
            // A bitmap face: its own sizes, ascending, each once.
            std::vector<int> twips;
            for (int points : QFontDatabase::pointSizes(family))
                twips.push_back(points * 20);
            std::sort(twips.begin(), twips.end());
            twips.erase(std::unique(twips.begin(), twips.end()), twips.end());
            for (int t : twips)
                addItem(QString::fromStdString(FormatTwips(t)));
        }
    }
    SelectOrSetText(typed, true);
    blockSignals(false);
}

void CFontSizeCombo::SetSize(int twips)
{
    if (GetSize() != twips) {
        const std::string text = twips > 0 ? FormatTwips(twips) : std::string();
        blockSignals(true);
        SelectOrSetText(text, true);
        if (currentText().toStdString() != text)
            setEditText(QString::fromStdString(text));
        blockSignals(false);
    }
    m_twips = twips;
}
