#include "ui/widgets/FontStyleCombo.h"

#include "platform/StringIds.h"
#include "platform/StringTable.h"

namespace {
// Weights above this one count as bold.
constexpr LONG kBoldAbove = 400;
}  // namespace

CFontStyleCombo::CFontStyleCombo(QWidget* parent) : CComboBoxBase(parent) {}

void CFontStyleCombo::Fill(const std::string& /*faceName*/, BYTE /*charSet*/)
{
    blockSignals(true);
    clear();
    m_entries = {
        {LoadString(IDS_REGULAR), FW_NORMAL, false},
        {LoadString(IDS_ITALIC), FW_NORMAL, true},
        {LoadString(IDS_BOLD), FW_BOLD, false},
        {LoadString(IDS_BOLD_ITALIC), FW_BOLD, true},
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
