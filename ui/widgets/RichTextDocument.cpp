#include "ui/widgets/RichTextDocument.h"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextList>
#include <QTextListFormat>
#include <QTextOption>

#include <algorithm>
#include <cmath>

namespace {

enum Property {
    CharSetProperty = QTextFormat::UserProperty + 0x4D00,
    PitchAndFamilyProperty,
    ProtectedProperty,
    OffsetProperty,       // twips; the sign agrees with the vertical alignment
    BulletFirstProperty,  // twips; the first-line indent of a bullet paragraph
};

LONG ToTwips(qreal pixels)
{
    double twips = std::round(pixels * kTwipsPerPixel);
    return LONG(std::clamp(twips, -2147483647.0, 2147483647.0));
}

qreal ToPixels(std::int64_t twips) { return qreal(twips) / kTwipsPerPixel; }

QFont::StyleHint StyleHintOf(BYTE pitchAndFamily)
{
    switch (pitchAndFamily & 0xF0) {
    case FF_ROMAN: return QFont::Serif;
    case FF_SWISS: return QFont::SansSerif;
    case FF_MODERN: return QFont::TypeWriter;
    case FF_SCRIPT: return QFont::Cursive;
    case FF_DECORATIVE: return QFont::Decorative;
    default: return QFont::AnyStyle;
    }
}

// Qt text with line breaks inside a block as the model's '\n'.
std::string ModelText(const QString& text)
{
    QString copy;
    copy.reserve(text.size());
    for (QChar c : text) {
        if (c == QChar::LineSeparator)
            copy += QLatin1Char('\n');
        else if (c == QChar::ObjectReplacementCharacter)
            continue; // an embedded object: not text
        else
            copy += c;
    }
    QByteArray utf8 = copy.toUtf8();
    return std::string(utf8.constData(), std::size_t(utf8.size()));
}

QString QtText(const std::string& text)
{
    QString s = QString::fromUtf8(text.data(), qsizetype(text.size()));
    // A '\n' would start a new block; inside a paragraph it is a line break.
    s.replace(QLatin1Char('\n'), QChar(QChar::LineSeparator));
    return s;
}

} // namespace

QTextCharFormat CharFormatToQt(const CHARFORMAT& cf)
{
    QTextCharFormat format;
    const DWORD mask = cf.dwMask;
    if (mask & CFM_FACE) {
        std::string face(cf.szFaceName, strnlen(cf.szFaceName, LF_FACESIZE));
        if (!face.empty())
            format.setFontFamilies(QStringList{QString::fromUtf8(face.data(), qsizetype(face.size()))});
        format.setFontStyleHint(StyleHintOf(cf.bPitchAndFamily));
        format.setFontFixedPitch((cf.bPitchAndFamily & 0x0F) == FIXED_PITCH);
        format.setProperty(PitchAndFamilyProperty, int(cf.bPitchAndFamily));
    }
    if (mask & (CFM_FACE | CFM_CHARSET))
        format.setProperty(CharSetProperty, int(cf.bCharSet));
    if ((mask & CFM_SIZE) && cf.yHeight > 0)
        format.setFontPointSize(cf.yHeight / 20.0);
    if (mask & CFM_BOLD)
        format.setFontWeight((cf.dwEffects & CFE_BOLD) ? QFont::Bold : QFont::Normal);
    if (mask & CFM_ITALIC)
        format.setFontItalic((cf.dwEffects & CFE_ITALIC) != 0);
    if (mask & CFM_UNDERLINE)
        format.setFontUnderline((cf.dwEffects & CFE_UNDERLINE) != 0);
    if (mask & CFM_STRIKEOUT)
        format.setFontStrikeOut((cf.dwEffects & CFE_STRIKEOUT) != 0);
    if (mask & CFM_PROTECTED)
        format.setProperty(ProtectedProperty, (cf.dwEffects & CFE_PROTECTED) != 0);
    if (mask & CFM_COLOR) {
        if (cf.dwEffects & CFE_AUTOCOLOR)
            format.clearForeground();
        else
            format.setForeground(QBrush(QColor(GetRValue(cf.crTextColor), GetGValue(cf.crTextColor),
                                               GetBValue(cf.crTextColor))));
    }
    if (mask & CFM_OFFSET) {
        format.setVerticalAlignment(cf.yOffset > 0   ? QTextCharFormat::AlignSuperScript
                                    : cf.yOffset < 0 ? QTextCharFormat::AlignSubScript
                                                     : QTextCharFormat::AlignNormal);
        if (cf.yOffset != 0)
            format.setProperty(OffsetProperty, int(cf.yOffset));
        else
            format.clearProperty(OffsetProperty);
    }
    return format;
}

CHARFORMAT CharFormatFromQt(const QTextCharFormat& format, const QFont& defaultFont)
{
    CHARFORMAT cf;
    cf.dwMask = kRtfCharMask;
    QStringList families = format.fontFamilies().toStringList();
    QString face = families.isEmpty() ? defaultFont.family() : families.first();
    CRtfDocument::SetFaceName(cf, face.toUtf8().toStdString());
    cf.bCharSet = BYTE(format.intProperty(CharSetProperty));
    cf.bPitchAndFamily = BYTE(format.intProperty(PitchAndFamilyProperty));

    double points = format.hasProperty(QTextFormat::FontPointSize) ? format.fontPointSize() : defaultFont.pointSizeF();
    cf.yHeight = points > 0 ? LONG(std::lround(std::min(points, 100000.0) * 20)) : 240;

    auto effect = [&](bool on, DWORD bit) {
        if (on)
            cf.dwEffects |= bit;
    };
    int weight = format.hasProperty(QTextFormat::FontWeight) ? format.fontWeight() : defaultFont.weight();
    effect(weight >= QFont::DemiBold, CFE_BOLD);
    effect(format.hasProperty(QTextFormat::FontItalic) ? format.fontItalic() : defaultFont.italic(), CFE_ITALIC);
    effect(format.hasProperty(QTextFormat::TextUnderlineStyle) || format.hasProperty(QTextFormat::FontUnderline)
               ? format.fontUnderline()
               : defaultFont.underline(),
           CFE_UNDERLINE);
    effect(format.hasProperty(QTextFormat::FontStrikeOut) ? format.fontStrikeOut() : defaultFont.strikeOut(),
           CFE_STRIKEOUT);
    effect(format.boolProperty(ProtectedProperty), CFE_PROTECTED);

    QBrush brush = format.foreground();
    if (format.hasProperty(QTextFormat::ForegroundBrush) && brush.style() != Qt::NoBrush) {
        QColor c = brush.color().toRgb();
        cf.crTextColor = RGB(c.red(), c.green(), c.blue());
    } else {
        cf.dwEffects |= CFE_AUTOCOLOR;
    }

    int offset = format.intProperty(OffsetProperty);
    switch (format.verticalAlignment()) {
    case QTextCharFormat::AlignSuperScript:
        cf.yOffset = offset > 0 ? offset : 60;
        break;
    case QTextCharFormat::AlignSubScript:
        cf.yOffset = offset < 0 ? offset : -60;
        break;
    default:
        cf.yOffset = 0;
        break;
    }
    return cf;
}

QTextBlockFormat ParaFormatToQt(const PARAFORMAT& pf)
{
    QTextBlockFormat format;
    const DWORD mask = pf.dwMask;
    if (mask & PFM_ALIGNMENT) {
        format.setAlignment(pf.wAlignment == PFA_RIGHT    ? Qt::AlignRight
                            : pf.wAlignment == PFA_CENTER ? Qt::AlignHCenter
                                                          : Qt::AlignLeft);
    }
    if (mask & (PFM_STARTINDENT | PFM_OFFSET)) {
        std::int64_t first = -std::int64_t(pf.dxOffset);
        std::int64_t left = std::int64_t(pf.dxStartIndent) + pf.dxOffset;
        format.setLeftMargin(ToPixels(left));
        if (pf.wNumbering == PFN_BULLET) {
            // The bullet stands in the hanging part of the first line, so the
            // text of every line starts at the left margin.
            format.setTextIndent(0);
            format.setProperty(BulletFirstProperty, qlonglong(first));
        } else {
            format.setTextIndent(ToPixels(first));
        }
    }
    if (mask & PFM_RIGHTINDENT)
        format.setRightMargin(ToPixels(pf.dxRightIndent));
    if (mask & PFM_TABSTOPS) {
        QList<QTextOption::Tab> tabs;
        for (int i = 0; i < std::clamp<int>(pf.cTabCount, 0, MAX_TAB_STOPS); ++i)
            tabs.append(QTextOption::Tab(ToPixels(pf.rgxTabs[i]), QTextOption::LeftTab));
        format.setTabPositions(tabs);
    }
    return format;
}

PARAFORMAT ParaFormatFromQt(const QTextBlockFormat& format, bool bullet)
{
    PARAFORMAT pf = CRtfDocument::PlainParaFormat();
    Qt::Alignment horizontal = format.alignment() & Qt::AlignHorizontal_Mask;
    if (horizontal & Qt::AlignRight)
        pf.wAlignment = PFA_RIGHT;
    else if (horizontal & Qt::AlignHCenter)
        pf.wAlignment = PFA_CENTER;
    LONG left = ToTwips(format.leftMargin());
    LONG first = ToTwips(format.textIndent());
    if (bullet) {
        pf.wNumbering = PFN_BULLET;
        if (format.hasProperty(BulletFirstProperty) && first == 0)
            first = LONG(std::clamp<qlonglong>(format.property(BulletFirstProperty).toLongLong(), -31680, 31680));
    }
    pf.dxStartIndent = left + first;
    pf.dxOffset = -first;
    pf.dxRightIndent = ToTwips(format.rightMargin());
    std::vector<LONG> tabs;
    for (const QTextOption::Tab& tab : format.tabPositions())
        tabs.push_back(ToTwips(tab.position));
    std::sort(tabs.begin(), tabs.end());
    tabs.erase(std::unique(tabs.begin(), tabs.end()), tabs.end());
    pf.cTabCount = short(std::min<std::size_t>(tabs.size(), MAX_TAB_STOPS));
    std::copy_n(tabs.begin(), pf.cTabCount, pf.rgxTabs);
    return pf;
}

void FillTextDocument(QTextDocument& target, const CRtfDocument& source)
{
    target.clear();
    QTextCursor cursor(&target);
    QTextList* list = nullptr;
    bool first = true;
    for (const CRtfParagraph& paragraph : source.paragraphs) {
        QTextBlockFormat blockFormat = ParaFormatToQt(paragraph.format);
        QTextCharFormat markFormat = CharFormatToQt(paragraph.markFormat);
        if (first) {
            cursor.setBlockFormat(blockFormat);
            cursor.setBlockCharFormat(markFormat);
            first = false;
        } else {
            cursor.insertBlock(blockFormat, markFormat);
        }
        if (paragraph.format.wNumbering == PFN_BULLET) {
            if (list) {
                list->add(cursor.block());
            } else {
                QTextListFormat listFormat;
                listFormat.setStyle(QTextListFormat::ListDisc);
                listFormat.setIndent(0); // the paragraph's own indents place it
                list = cursor.createList(listFormat);
            }
        } else {
            list = nullptr;
        }
        for (const CRtfRun& run : paragraph.runs)
            cursor.insertText(QtText(run.text), CharFormatToQt(run.format));
    }
}

CRtfDocument ReadTextDocument(const QTextDocument& source)
{
    CRtfDocument doc;
    const QFont defaultFont = source.defaultFont();
    for (QTextBlock block = source.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            QTextFragment fragment = it.fragment();
            if (fragment.isValid())
                doc.AppendText(ModelText(fragment.text()), CharFormatFromQt(fragment.charFormat(), defaultFont));
        }
        PARAFORMAT pf = ParaFormatFromQt(block.blockFormat(), block.textList() != nullptr);
        CHARFORMAT mark = CharFormatFromQt(block.charFormat(), defaultFont);
        if (block.next().isValid())
            doc.EndParagraph(pf, mark);
        else
            doc.EndDocument(pf, mark);
    }
    if (doc.paragraphs.empty())
        doc.EndDocument(CRtfDocument::PlainParaFormat(), CharFormatFromQt(QTextCharFormat(), defaultFont));
    return doc;
}
