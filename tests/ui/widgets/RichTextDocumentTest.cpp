#include "ui/widgets/RichTextDocument.h"

#include "ui/RichTextTestSupport.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

#include <gtest/gtest.h>

namespace {

// The test program's application object gives the documents their fonts.
class RichTextDocumentTest : public ::testing::Test {};

const CHARFORMAT kTimes = Char("Times New Roman", 240, 0, -1, 0, 0, 0x12);

CRtfDocument EveryFeature()
{
    const CHARFORMAT courier = Char("Courier New", 180, CFE_BOLD | CFE_UNDERLINE, RGB(0, 0, 128), 0, 0, 0x31);
    const CHARFORMAT symbol = Char("Symbol", 300, CFE_ITALIC | CFE_STRIKEOUT | CFE_PROTECTED, -1, 0, 2, 0x50);
    const CHARFORMAT sup = Char("Arial", 200, 0, RGB(255, 0, 0), 100, 0, 0x22);
    const CHARFORMAT sub = Char("Arial", 200, 0, -1, -40, 0, 0x22);
    CRtfDocument doc;
    doc.paragraphs = {
        Paragraph({{"Title", Char("Arial", 360, CFE_BOLD, -1, 0, 0, 0x22)}}, Para(PFA_CENTER)),
        Paragraph({{"plain ", kTimes}, {"code", courier}, {" x", kTimes}, {"2", sup}, {" a", kTimes}, {"i", sub},
                   {" \xCE\xB1 caf\xC3\xA9", symbol}},
                  Para(PFA_LEFT, 360, 720, 144, {288, 1440})),
        Paragraph({{"line one\nline two\tafter tab", kTimes}}, Para(PFA_RIGHT, -90, 0, 0)),
        Paragraph({{"bullet one", kTimes}}, Para(PFA_LEFT, 0, 360, 0, {}, true)),
        Paragraph({{"bullet two", kTimes}}, Para(PFA_LEFT, 0, 360, 0, {}, true)),
        Paragraph({}, Para(), &courier),
        Paragraph({{"last", kTimes}}, Para(PFA_LEFT, 100, 0, 0)),
    };
    return doc;
}

} // namespace

TEST_F(RichTextDocumentTest, RoundTripKeepsTextAndFormats)
{
    CRtfDocument doc = EveryFeature();
    QTextDocument qt;
    FillTextDocument(qt, doc);
    EXPECT_EQ(qt.blockCount(), int(doc.paragraphs.size()));
    EXPECT_EQ(ReadTextDocument(qt), doc);
}

TEST_F(RichTextDocumentTest, QtSeesTheFormats)
{
    QTextDocument qt;
    FillTextDocument(qt, EveryFeature());

    QTextBlock title = qt.begin();
    EXPECT_EQ(title.text(), QString("Title"));
    EXPECT_EQ(title.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    QTextCharFormat titleFormat = title.begin().fragment().charFormat();
    EXPECT_EQ(titleFormat.fontFamilies().toStringList(), QStringList{"Arial"});
    EXPECT_DOUBLE_EQ(titleFormat.fontPointSize(), 18.0); // 360 twips / 20
    EXPECT_EQ(titleFormat.fontWeight(), int(QFont::Bold));

    QTextBlock second = title.next();
    // 15 twips to the pixel: the lines after the first at 360 + 720 = 1080
    // twips = 72 px, the first line 720 twips = 48 px to the left of them.
    EXPECT_DOUBLE_EQ(second.blockFormat().leftMargin(), 72.0);
    EXPECT_DOUBLE_EQ(second.blockFormat().textIndent(), -48.0);
    EXPECT_DOUBLE_EQ(second.blockFormat().rightMargin(), 9.6);
    ASSERT_EQ(second.blockFormat().tabPositions().size(), 2);
    EXPECT_DOUBLE_EQ(second.blockFormat().tabPositions()[0].position, 19.2);
    bool sawCode = false, sawSuper = false;
    for (auto it = second.begin(); !it.atEnd(); ++it) {
        QTextCharFormat f = it.fragment().charFormat();
        if (it.fragment().text() == "code") {
            sawCode = true;
            EXPECT_EQ(f.foreground().color(), QColor(0, 0, 128));
            EXPECT_TRUE(f.fontUnderline());
            EXPECT_DOUBLE_EQ(f.fontPointSize(), 9.0);
        }
        if (it.fragment().text() == "2") {
            sawSuper = true;
            EXPECT_EQ(f.verticalAlignment(), QTextCharFormat::AlignSuperScript);
        }
    }
    EXPECT_TRUE(sawCode && sawSuper);

    QTextBlock third = second.next();
    // A line break stays inside its paragraph.
    EXPECT_EQ(third.text(), QString("line one") + QChar(QChar::LineSeparator) + "line two\tafter tab");
    EXPECT_EQ(third.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);

    QTextBlock bullet1 = third.next();
    QTextBlock bullet2 = bullet1.next();
    ASSERT_NE(bullet1.textList(), nullptr);
    EXPECT_EQ(bullet1.textList(), bullet2.textList()); // one list, not two
    EXPECT_EQ(bullet1.textList()->format().style(), QTextListFormat::ListDisc);
    EXPECT_EQ(bullet2.next().textList(), nullptr);
}

TEST_F(RichTextDocumentTest, EditsInQtComeBackAsFormats)
{
    QTextDocument qt;
    CRtfDocument doc;
    doc.paragraphs = {Paragraph({{"Hello", kTimes}})};
    FillTextDocument(qt, doc);

    QTextCursor cursor(&qt);
    cursor.movePosition(QTextCursor::End);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    cursor.mergeCharFormat(bold);
    cursor.insertText(" world", [&] {
        QTextCharFormat f = cursor.charFormat();
        f.merge(bold);
        return f;
    }());
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    cursor.mergeBlockFormat(centred);
    cursor.insertBlock();
    cursor.insertText("next");

    CRtfDocument back = ReadTextDocument(qt);
    ASSERT_EQ(back.paragraphs.size(), 2u);
    const auto& runs = back.paragraphs[0].runs;
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0], (CRtfRun{"Hello", kTimes}));
    EXPECT_EQ(runs[1], (CRtfRun{" world", Char("Times New Roman", 240, CFE_BOLD, -1, 0, 0, 0x12)}));
    EXPECT_EQ(back.paragraphs[0].format.wAlignment, PFA_CENTER);
    EXPECT_EQ(back.paragraphs[1].Text(), "next");
}

TEST_F(RichTextDocumentTest, UnsetQtPropertiesComeFromTheDefaultFont)
{
    QTextDocument qt;
    qt.setDefaultFont(QFont("Arial", 11));
    QTextCursor cursor(&qt);
    cursor.insertText("x");
    CRtfDocument back = ReadTextDocument(qt);
    const CHARFORMAT& cf = back.paragraphs.at(0).runs.at(0).format;
    EXPECT_STREQ(cf.szFaceName, "Arial");
    EXPECT_EQ(cf.yHeight, 220); // 11 pt x 20
    EXPECT_EQ(cf.dwEffects, DWORD(CFE_AUTOCOLOR));
    EXPECT_EQ(cf.dwMask, kRtfCharMask);
}

TEST_F(RichTextDocumentTest, PartialMasksSetOnlyTheirProperties)
{
    CHARFORMAT colourOnly;
    colourOnly.dwMask = CFM_COLOR;
    colourOnly.crTextColor = RGB(1, 2, 3);
    colourOnly.yHeight = 999;
    QTextCharFormat f = CharFormatToQt(colourOnly);
    EXPECT_EQ(f.foreground().color(), QColor(1, 2, 3));
    EXPECT_FALSE(f.hasProperty(QTextFormat::FontPointSize));
    EXPECT_FALSE(f.hasProperty(QTextFormat::FontWeight));

    PARAFORMAT alignOnly;
    alignOnly.dwMask = PFM_ALIGNMENT;
    alignOnly.wAlignment = PFA_RIGHT;
    alignOnly.dxStartIndent = 500;
    QTextBlockFormat b = ParaFormatToQt(alignOnly);
    EXPECT_EQ(b.alignment(), Qt::AlignRight);
    EXPECT_FALSE(b.hasProperty(QTextFormat::BlockLeftMargin));
}
