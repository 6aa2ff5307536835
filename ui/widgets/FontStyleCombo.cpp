#include "ui/widgets/FontStyleCombo.h"

#include "platform/StringTable.h"

namespace {
constexpr UINT kBoldItalic = 25136, kBold = 25137, kItalic = 25138, kRegular = 25139;
// Weights above this one count as bold.
constexpr LONG kBoldAbove = 400;
}  // namespace

CFontStyleCombo::CFontStyleCombo(QWidget* parent) : CComboBoxBase(parent) {}

void CFontStyleCombo::Fill(const std::string& /*faceName*/, BYTE /*charSet*/)
{
    blockSignals(true);
    clear();
    m_entries = {
        {LoadString(kRegular), FW_NORMAL, false},
        {LoadString(kItalic), FW_NORMAL, true},
        {LoadString(kBold), FW_BOLD, false},
        {LoadString(kBoldItalic), FW_BOLD, true},
    };
    for (const FontStyleEntry& e : m_entries)
        addItem(QString::fromStdString(e.name));
    blockSignals(false);
}

const FontStyleEntry* CFontStyleCombo::GetEntry(int index) const
{
    return index >= 0 && std::size_t(index) < m_entries.size() ? &m_entries[std::size_t(index)] : nullptr;
}

const FontStyleEntry* CFontStyleCombo::SelectStyle(const LOGFONT& font)
{
    const bool bold = font.lfWeight > kBoldAbove;
    const bool italic = font.lfItalic != 0;
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        if ((m_entries[i].weight > kBoldAbove) == bold && m_entries[i].italic == italic) {
            setCurrentIndex(int(i));
            return &m_entries[i];
        }
    }
    setCurrentIndex(-1);
    return nullptr;
}
