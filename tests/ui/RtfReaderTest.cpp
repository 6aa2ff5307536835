#include "ui/RtfReader.h"

#include "RichTextTestSupport.h"
#include "support/TestSupport.h"
#include "ui/RtfWriter.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

CRtfDocument Read(std::string_view rtf, CRtfReader::Status expected = CRtfReader::Status::ok)
{
    CRtfDocument doc;
    EXPECT_EQ(CRtfReader::Read(rtf, doc), expected) << rtf;
    return doc;
}

std::vector<std::string> Texts(const CRtfDocument& doc)
{
    std::vector<std::string> texts;
    for (const CRtfParagraph& p : doc.paragraphs)
        texts.push_back(p.Text());
    return texts;
}

std::string Face(const CHARFORMAT& cf) { return std::string(cf.szFaceName); }

} // namespace

TEST(RtfReader, FontTableColourTableSizesAndEffects)
{
    const char* rtf =
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\froman\\fprq2\\fcharset0 Times New Roman;}{\\f1\\fswiss Arial;}}\r\n"
        "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue128;}\r\n"
        "\\pard\\qc Plain \\f1\\fs20 Hello \\b bold\\b0\\cf2 navy\\cf0\\i\\ul\\strike x\\par\r\n"
        "}";
    CRtfDocument doc = Read(rtf);
    ASSERT_EQ(doc.paragraphs.size(), 2u);
    const CRtfParagraph& p = doc.paragraphs[0];
    EXPECT_EQ(p.format.wAlignment, PFA_CENTER);
    ASSERT_EQ(p.runs.size(), 5u);

    // \deff0 with no \f: Times New Roman (roman 0x10 | variable pitch 2), and
    // rich text's default size of 12 pt (\fs24 = 24 half-points = 240 twips).
    EXPECT_EQ(p.runs[0].text, "Plain ");
    EXPECT_EQ(p.runs[0].format, Char("Times New Roman", 240, 0, -1, 0, 0, 0x12));
    // \fs20 is 10 pt, 200 twips; the space after "\b0" is its delimiter, the next one is text.
    EXPECT_EQ(p.runs[1].text, "Hello ");
    EXPECT_EQ(p.runs[1].format, Char("Arial", 200, 0, -1, 0, 0, 0x20));
    EXPECT_EQ(p.runs[2].text, "bold");
    EXPECT_EQ(p.runs[2].format, Char("Arial", 200, CFE_BOLD, -1, 0, 0, 0x20));
    EXPECT_EQ(p.runs[3].text, "navy");
    EXPECT_EQ(p.runs[3].format, Char("Arial", 200, 0, RGB(0, 0, 128), 0, 0, 0x20));
    EXPECT_EQ(p.runs[4].text, "x");
    EXPECT_EQ(p.runs[4].format,
              Char("Arial", 200, CFE_ITALIC | CFE_UNDERLINE | CFE_STRIKEOUT, -1, 0, 0, 0x20));
    // The empty paragraph after the last \par keeps the state of the end.
    EXPECT_TRUE(doc.paragraphs[1].runs.empty());
    EXPECT_EQ(doc.paragraphs[1].markFormat, p.runs[4].format);
}

TEST(RtfReader, ParagraphsLinesTabsAndIndents)
{
    CRtfDocument doc = Read("{\\rtf1 \\pard\\li720\\fi-360\\ri144\\tx1440\\tx720\\tx1440 one\\line two\\tab three\\par "
                            "same props\\par\\pard\\qr right}");
    EXPECT_EQ(Texts(doc), (std::vector<std::string>{"one\ntwo\tthree", "same props", "right"}));
    // \li is the left edge of every line but the first, \fi the first line's
    // shift from it: first line at 720 - 360 = 360, the others 360 further.
    EXPECT_EQ(doc.paragraphs[0].format, Para(PFA_LEFT, 360, 360, 144, {720, 1440}));
    // Paragraph properties hold until \pard.
    EXPECT_EQ(doc.paragraphs[1].format, doc.paragraphs[0].format);
    EXPECT_EQ(doc.paragraphs[2].format, Para(PFA_RIGHT));
}

TEST(RtfReader, CharactersEscapesAndUnicodeFallbacks)
{
    struct Case {
        const char* body;
        const char* text;
    };
    const Case cases[] = {
        {"caf\\'e9", "caf\xC3\xA9"},                       // Windows-1252 0xE9 is U+00E9
        {"\\'80 \\'93q\\'94", "\xE2\x82\xAC \xE2\x80\x9Cq\xE2\x80\x9D"}, // 0x80 euro, 0x93/0x94 curly quotes
        {"\\u8364?x", "\xE2\x82\xAC" "x"},                 // one fallback character dropped
        {"\\uc2\\u8364 abx", "\xE2\x82\xAC" "x"},          // two dropped
        {"\\uc0\\u8364 x", "\xE2\x82\xAC" "x"},            // none dropped; the space is the delimiter
        {"\\u8364\\'80x", "\xE2\x82\xAC" "x"},             // an escape is one fallback character
        {"\\u-10179?\\u-8704?", "\xF0\x9F\x98\x80"},        // surrogates D83D DE00: U+1F600
        {"\\u-8704?", "\xEF\xBF\xBD"},                     // a lone low surrogate
        {"a\\{b\\}c\\\\d", "a{b}c\\d"},
        {"\\~\\emdash\\endash\\bullet\\lquote\\rquote\\ldblquote\\rdblquote",
         "\xC2\xA0\xE2\x80\x94\xE2\x80\x93\xE2\x80\xA2\xE2\x80\x98\xE2\x80\x99\xE2\x80\x9C\xE2\x80\x9D"},
        {"raw \xE9 byte", "raw \xC3\xA9 byte"},            // unescaped high bytes are Windows-1252 too
        {"a\r\nb\nc", "abc"},                              // line ends in the source are no text
        {"tab\there", "tab\there"},
        {"\\unknownword12 x\\unknown -y", "x-y"},
    };
    for (const Case& c : cases) {
        std::string rtf = std::string("{\\rtf1\\ansi ") + c.body + "}";
        EXPECT_EQ(Read(rtf).PlainText(), c.text) << c.body;
    }
}

TEST(RtfReader, SkipsDestinationsButKeepsTheirSurroundings)
{
    const char* rtf =
        "{\\rtf1\\ansi{\\*\\generator Writer 1.0;}{\\info{\\title Title}{\\author Me}}"
        "{\\stylesheet{\\s0 Normal;}}{\\*\\unknowndest hidden {\\b nested} text}"
        "A{\\pict\\wmetafile8\\picw10 0102abcdef}B"
        "{\\object\\objemb{\\*\\objclass Excel.Sheet}{\\*\\objdata 01020304}{\\result {\\b shown}}}C"
        "{\\object\\objemb{\\*\\objdata 0102}}D"
        "{\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt link}}E"
        "{\\header header text}{\\footnote note}"
        "\\bin6 {}}\\{xF"
        "{\\*\\pn\\pnlvlbody{\\pntxta .}}G}";
    CRtfDocument doc = Read(rtf);
    EXPECT_EQ(doc.PlainText(), "ABshownCDlinkEFG");
    // The object's result keeps its own format.
    ASSERT_GE(doc.paragraphs[0].runs.size(), 2u);
    EXPECT_EQ(doc.paragraphs[0].runs[1].text, "shown");
    EXPECT_TRUE(doc.paragraphs[0].runs[1].format.dwEffects & CFE_BOLD);
}

TEST(RtfReader, DestinationWordsOutsideAGroupStartKeepTheText)
{
    // A destination word that does not open its group is damage: skipping the
    // group it stands in would lose the rest of the document.
    EXPECT_EQ(Read("{\\rtf1 a\\pict b\\*\\unknown c\\object d\\pn e\\fonttbl f}").PlainText(), "abcdef");
    EXPECT_EQ(Read("{\\rtf1 a{x\\info b}c}").PlainText(), "axbc");
}

TEST(RtfReader, NestedGroupsRestoreTheFormat)
{
    CRtfDocument doc = Read("{\\rtf1 a{\\b b{\\i c\\fs40}d}e{\\ul\\plain f}}");
    const auto& runs = doc.paragraphs.at(0).runs;
    ASSERT_EQ(runs.size(), 5u);
    EXPECT_EQ(runs[0].text, "a");
    EXPECT_EQ(runs[0].format, Char());
    EXPECT_EQ(runs[1].text, "b");
    EXPECT_EQ(runs[1].format, Char("", 240, CFE_BOLD));
    EXPECT_EQ(runs[2].text, "c");
    EXPECT_EQ(runs[2].format, Char("", 240, CFE_BOLD | CFE_ITALIC));
    EXPECT_EQ(runs[3].text, "d");
    EXPECT_EQ(runs[3].format, Char("", 240, CFE_BOLD));
    // "e" and "f" (\plain undoes \ul) share the plain format and join into one run.
    EXPECT_EQ(runs[4].text, "ef");
    EXPECT_EQ(runs[4].format, Char());
}

TEST(RtfReader, RaisedAndLoweredText)
{
    struct Case {
        const char* words;
        LONG offset; // twips: half-points x 10
    };
    const Case cases[] = {
        {"\\super", 60}, {"\\sub", -60}, {"\\up", 60}, {"\\dn", -60}, {"\\up6", 60}, {"\\dn4", -40},
        {"\\up7\\nosupersub", 0}, {"\\up3\\up0", 0}, {"\\up-2", -20},
    };
    for (const Case& c : cases) {
        CRtfDocument doc = Read(std::string("{\\rtf1 ") + c.words + " x}");
        ASSERT_EQ(doc.paragraphs.at(0).runs.size(), 1u) << c.words;
        EXPECT_EQ(doc.paragraphs[0].runs[0].format.yOffset, c.offset) << c.words;
    }
}

TEST(RtfReader, BulletsAsRichEditWritesThem)
{
    const char* rtf =
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\froman\\fcharset2 Symbol;}}"
        "\\pard{\\pntext\\f1\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'B7}}\\fi-360\\li360 first\\par"
        "{\\pntext\\f1\\'B7\\tab}second\\par"
        "\\pard after}";
    CRtfDocument doc = Read(rtf);
    EXPECT_EQ(Texts(doc), (std::vector<std::string>{"first", "second", "after"}));
    // Bullets with a hanging indent of 360 twips and the first line at 0.
    EXPECT_EQ(doc.paragraphs[0].format, Para(PFA_LEFT, 0, 360, 0, {}, true));
    EXPECT_EQ(doc.paragraphs[1].format, doc.paragraphs[0].format);
    EXPECT_EQ(doc.paragraphs[2].format, Para());
    // The bullet's own font is not the text's.
    EXPECT_EQ(Face(doc.paragraphs[0].runs[0].format), "Arial");
}

TEST(RtfReader, FontTableVariants)
{
    // Entries without their own groups, an alternative-name group, a face in
    // escapes, a missing last semicolon, and a reference to an undefined font.
    const char* rtf = "{\\rtf1\\deff1{\\fonttbl\\f0\\fmodern\\fprq1 Courier New;\\f1\\fnil Caf\\'e9{\\*\\falt Cafe};"
                      "{\\f2\\fdecor\\fcharset2 Wingdings}}"
                      "a\\f0 b\\f2 c\\f9 d}";
    CRtfDocument doc = Read(rtf);
    const auto& runs = doc.paragraphs.at(0).runs;
    ASSERT_EQ(runs.size(), 4u);
    EXPECT_EQ(Face(runs[0].format), "Caf\xC3\xA9");
    EXPECT_EQ(runs[1].format, Char("Courier New", 240, 0, -1, 0, 0, 0x31));
    EXPECT_EQ(runs[2].format, Char("Wingdings", 240, 0, -1, 0, 2, 0x50));
    EXPECT_EQ(runs[3].text, "d");
    EXPECT_EQ(Face(runs[3].format), "Caf\xC3\xA9"); // the default font stands in
}

TEST(RtfReader, ColourTableWithoutAutomaticEntry)
{
    // Index 0 names a real colour here; an empty entry is the automatic colour.
    CRtfDocument doc = Read("{\\rtf1{\\colortbl\\red1\\green2\\blue3;;}\\cf0 a\\cf1 b\\cf7 c}");
    const auto& runs = doc.paragraphs.at(0).runs;
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].format, Char("", 240, 0, RGB(1, 2, 3)));
    EXPECT_EQ(runs[1].text, "bc");
    EXPECT_EQ(runs[1].format, Char());
}

TEST(RtfReader, PlainTextIsTakenLineByLine)
{
    CRtfDocument doc = Read("first\r\nsecond \xE9\rthird\n", CRtfReader::Status::notRtf);
    EXPECT_EQ(Texts(doc), (std::vector<std::string>{"first", "second \xC3\xA9", "third", ""}));
    EXPECT_EQ(Read("", CRtfReader::Status::notRtf).paragraphs.size(), 1u);
}

TEST(RtfReader, HugeNumbersAreClamped)
{
    CRtfDocument doc = Read("{\\rtf1\\fs99999999999999999999999\\li-99999999999999\\tx4294967297"
                            "\\up2147483648 a\\u99999999 b\\uc99999999\\u65 xyz\\cf-5 c}");
    const auto& p = doc.paragraphs.at(0);
    ASSERT_FALSE(p.runs.empty());
    EXPECT_EQ(p.runs[0].format.yHeight, 32760); // 1638 pt, the largest size
    EXPECT_EQ(p.runs[0].format.yOffset, 32760);
    EXPECT_EQ(p.format.dxStartIndent, -31680);  // 22 inches
    EXPECT_EQ(p.format.cTabCount, 1);
    EXPECT_EQ(p.format.rgxTabs[0], 31680);
    // \u outside 16 bits is dropped with its fallback "b"; \uc is capped at 16
    // fallback characters, which swallow "xyz", the \cf word and "c".
    EXPECT_EQ(p.Text(), "aA");
}

TEST(RtfReader, DamagedInputNeverCrashesAndKeepsWhatWasRead)
{
    // Unbalanced braces: text before the damage is kept.
    EXPECT_EQ(Read("{\\rtf1 abc{\\b def", CRtfReader::Status::damaged).PlainText(), "abcdef");
    EXPECT_EQ(Read("{\\rtf1 abc}}}more").PlainText(), "abc");
    EXPECT_EQ(Read("{\\rtf1 abc\\", CRtfReader::Status::damaged).PlainText(), "abc");
    EXPECT_EQ(Read("{\\rtf1 abc\\'", CRtfReader::Status::damaged).PlainText(), "abc");
    EXPECT_EQ(Read("{\\rtf1 abc\\'4", CRtfReader::Status::damaged).PlainText(), "abc"); // a control byte is no text
    EXPECT_EQ(Read("{\\rtf1 a\\bin999999999 xyz}", CRtfReader::Status::damaged).PlainText(), "a");
    EXPECT_EQ(Read("{\\rtf1 a\\u", CRtfReader::Status::damaged).PlainText(), "a");

    // Deep nesting stays within a bounded stack and loses no text.
    std::string deep = "{\\rtf1 ";
    for (int i = 0; i < 100000; ++i)
        deep += "{\\b ";
    deep += "deep";
    for (int i = 0; i < 100000; ++i)
        deep += "}";
    deep += " end}";
    EXPECT_EQ(Read(deep).PlainText(), "deep end");

    // Every prefix of a rich sample, and random bytes after a header.
    const std::string sample =
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\froman Times;}}{\\colortbl ;\\red9\\green8\\blue7;}"
        "\\pard\\qc\\li100\\tx300{\\pntext\\'95\\tab}{\\*\\pn\\pnlvlblt}\\b\\cf1 x\\'e9\\u8364?\\par\\bin2 ab y}";
    for (std::size_t n = 0; n <= sample.size(); ++n) {
        CRtfDocument doc;
        CRtfReader::Read(sample.substr(0, n), doc);
        EXPECT_FALSE(doc.paragraphs.empty());
    }
    std::mt19937 random(12345);
    const std::string alphabet = "{}\\'*;0123456789-abfuclpardrtfbinx \xE9\r\n";
    for (int round = 0; round < 2000; ++round) {
        std::string input = "{\\rtf1 ";
        int length = int(random() % 200);
        for (int i = 0; i < length; ++i)
            input += random() % 4 == 0 ? char(random() % 256) : alphabet[random() % alphabet.size()];
        CRtfDocument doc;
        CRtfReader::Read(input, doc);
        EXPECT_FALSE(doc.paragraphs.empty());
    }
}

namespace {

// A note as it is read and saved twice: the two saves must agree, and the
// second read must give what the first read gave.
void ExpectStableSaves(std::string_view stored, CRtfReader::Status status)
{
    const CRtfDocument first = Read(stored, status);
    const std::string saved = CRtfWriter::Write(first);
    const CRtfDocument second = Read(saved);
    EXPECT_EQ(second, first) << saved;
    EXPECT_EQ(CRtfWriter::Write(second), saved);
}

} // namespace

TEST(RtfReader, NoteDetailsSurviveBeingSavedAgain)
{
    // A face name cut at 31 bytes right after a blank: the blank was kept,
    // then dropped by the next read, so two saves differed.
    const Bytes cut = ReadRepro("R2_min.rtf");
    ExpectStableSaves(std::string(cut.begin(), cut.end()), CRtfReader::Status::damaged);
    // Byte 31 of this name is a blank: the cut name ends before it.
    CRtfDocument doc = Read("{\\rtf1{\\fonttbl{\\f0 Thirty One Bytes Of A Name Her Cut;}}\\f0 x}");
    EXPECT_EQ(Face(doc.paragraphs.at(0).runs.at(0).format), "Thirty One Bytes Of A Name Her");
    ExpectStableSaves("{\\rtf1{\\fonttbl{\\f0 A Face Name Thirty Bytes Long X;}}\\f0 x}", CRtfReader::Status::ok);

    // Control characters of a plain-text note are kept through the save.
    std::string controls = "a";
    for (char c = 1; c < 0x20; ++c)
        if (c != '\r' && c != '\n')
            controls += c;
    controls += "b\r\nc\x7f";
    CRtfDocument plain = Read(controls, CRtfReader::Status::notRtf);
    EXPECT_EQ(plain.PlainText(), controls.substr(0, controls.find('\r')) + "\nc\x7f");
    ExpectStableSaves(controls, CRtfReader::Status::notRtf);

    // The object replacement character is a character like any other here.
    ExpectStableSaves("{\\rtf1 a\\u-4?b}", CRtfReader::Status::ok);
    EXPECT_EQ(Read("{\\rtf1 a\\u-4?b}").PlainText(), "a\xEF\xBF\xBC" "b");
}

TEST(RtfReader, ParagraphsAreHeldWithoutSpareRoom)
{
    // A note of nothing but paragraph marks: the paragraphs are counted
    // before they are read, so the list never grows by copies (which held
    // three times its size at once) and keeps no spare room.
    std::string rtf = "{\\rtf1 ";
    for (int i = 0; i < 20000; ++i)
        rtf += i % 2 ? "\\par\r\n" : "x\\par ";
    rtf += "\\pard end}";
    CRtfDocument doc = Read(rtf);
    EXPECT_EQ(doc.paragraphs.size(), 20001u);
    EXPECT_LE(doc.paragraphs.capacity(), doc.paragraphs.size() + 1);
    CRtfDocument plain = Read(std::string(5000, '\n'), CRtfReader::Status::notRtf);
    EXPECT_EQ(plain.paragraphs.size(), 5001u);
    EXPECT_EQ(plain.paragraphs.capacity(), plain.paragraphs.size());
}
