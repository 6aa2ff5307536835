#include "ui/widgets/FontNameCombo.h"

#include "platform/StringIds.h"
#include "platform/StringTable.h"

#include <QFontDatabase>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>

namespace {

constexpr BYTE kMacCharSet = 77;

struct CharSetScript {
    QFontDatabase::WritingSystem system;
    BYTE charSet;
    const char* script;
};

// The writing systems that the stored character sets stand for.
const CharSetScript kCharSets[] = {
    {QFontDatabase::Latin, 0, "Western"},
    {QFontDatabase::Symbol, 2, "Symbol"},
    {QFontDatabase::Japanese, 128, "Japanese"},
    {QFontDatabase::Korean, 129, "Hangul"},
    {QFontDatabase::SimplifiedChinese, 134, "CHINESE_GB2312"},
    {QFontDatabase::TraditionalChinese, 136, "CHINESE_BIG5"},
    {QFontDatabase::Greek, 161, "Greek"},
    {QFontDatabase::Vietnamese, 163, "Vietnamese"},
    {QFontDatabase::Hebrew, 177, "Hebrew"},
    {QFontDatabase::Arabic, 178, "Arabic"},
    {QFontDatabase::Cyrillic, 204, "Cyrillic"},
    {QFontDatabase::Thai, 222, "Thai"},
};

// A small "T" picture that marks scalable faces.
QIcon ScalablePicture()
{
    static QIcon icon = [] {
        QPixmap pm(14, 12);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        QFont f;
        f.setPixelSize(11);
        f.setBold(true);
        p.setFont(f);
        p.setPen(QColor(0x80, 0x80, 0x80));
        p.drawText(QRect(0, 0, 10, 12), Qt::AlignCenter, QStringLiteral("T"));
        p.setPen(QColor(0, 0, 0));
        p.drawText(QRect(4, 0, 10, 12), Qt::AlignCenter, QStringLiteral("T"));
        return QIcon(pm);
    }();
    return icon;
}

std::string StyleName(const QString& family)
{
    const QStringList styles = QFontDatabase::styles(family);
    if (!styles.isEmpty())
        return styles.first().toStdString();
    return LoadString(IDS_REGULAR);
}

BYTE PitchAndFamily(const QString& family)
{
    // FIXED_PITCH 1 or VARIABLE_PITCH 2; the family bits are not known here.
    return QFontDatabase::isFixedPitch(family) ? 1 : 2;
}

}  // namespace

CFontNameCombo::CFontNameCombo(QWidget* parent) : CComboBoxBase(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setIconSize(QSize(14, 12));
}

std::string CFontNameCombo::ScriptName(BYTE charSet)
{
    for (const CharSetScript& c : kCharSets)
        if (c.charSet == charSet)
            return c.script;
    return "Western";
}

std::vector<BYTE> CFontNameCombo::CharSetsOf(const QString& family)
{
    std::vector<BYTE> sets;
    const QList<QFontDatabase::WritingSystem> systems = QFontDatabase::writingSystems(family);
    for (const CharSetScript& c : kCharSets)
        if (systems.contains(c.system))
            sets.push_back(c.charSet);
    // A family that declares no known writing system still shows Western text.
    if (sets.empty())
        sets.push_back(0);
    return sets;
}

void CFontNameCombo::Fill(BYTE charSet)
{
    const QString typed = currentText();
    blockSignals(true);
    clear();
    m_fonts.clear();

    std::vector<FontDescription> found;
    for (const QString& family : QFontDatabase::families()) {
        if (family.startsWith(u'@') || QFontDatabase::isPrivateFamily(family))
            continue;
        const bool scalable = QFontDatabase::isScalable(family) && !QFontDatabase::isBitmapScalable(family);
        for (BYTE set : CharSetsOf(family)) {
            if (set == kMacCharSet || (charSet != kDefaultCharSet && set != charSet))
                continue;
            FontDescription d;
            d.faceName = family.toStdString();
            std::snprintf(d.logFont.lfFaceName, sizeof d.logFont.lfFaceName, "%s", d.faceName.c_str());
            d.logFont.lfCharSet = set;
            d.logFont.lfPitchAndFamily = PitchAndFamily(family);
            d.logFont.lfWeight = 400;
            d.styleName = StyleName(family);
            d.scriptName = ScriptName(set);
            d.charSet = set;
            d.pitchAndFamily = d.logFont.lfPitchAndFamily;
            d.fontType = scalable ? DWORD(kTrueTypeFontType) : DWORD(0);
            found.push_back(std::move(d));
        }
    }
    std::map<std::string, int> uses;
    for (const FontDescription& d : found)
        ++uses[d.faceName];
    std::vector<std::pair<QString, FontDescription>> rows;
    for (FontDescription& d : found) {
        std::string text = d.faceName;
        if (uses[d.faceName] > 1)
            text += " (" + d.scriptName + ")";
        rows.emplace_back(QString::fromStdString(text), std::move(d));
    }
    std::stable_sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) {
        return QString::compare(a.first, b.first, Qt::CaseInsensitive) < 0;
    });
    for (auto& [text, d] : rows) {
        if (d.fontType & kTrueTypeFontType)
            addItem(ScalablePicture(), text);
        else
            addItem(text);
        m_fonts.push_back(std::move(d));
    }
    setCurrentIndex(-1);
    setEditText(typed);
    blockSignals(false);
}

const FontDescription* CFontNameCombo::GetDescription(int index) const
{
    return index >= 0 && std::size_t(index) < m_fonts.size() ? &m_fonts[std::size_t(index)] : nullptr;
}

BYTE CFontNameCombo::GetCharSet() const
{
    const FontDescription* d = GetSelectedDescription();
    return d ? d->charSet : kDefaultCharSet;
}

void CFontNameCombo::SelectFont(const std::string& faceName, BYTE charSet)
{
    const QString name = QString::fromStdString(faceName);
    for (int i = 0; i < count(); ++i) {
        const FontDescription& d = m_fonts[std::size_t(i)];
        if (!itemText(i).startsWith(name, Qt::CaseInsensitive))
            continue;
        if (charSet != kDefaultCharSet && d.charSet != charSet)
            continue;
        if (QString::fromStdString(d.faceName).compare(name, Qt::CaseInsensitive) != 0)
            continue;
        if (i != currentIndex())
            setCurrentIndex(i);
        return;
    }
    setCurrentIndex(-1);
    setEditText(name);
    SetModify(false);
}
