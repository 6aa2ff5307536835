#include "ui/RtfWriter.h"

#include "RichTextTestSupport.h"
#include "ui/RtfReader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

CRtfDocument Doc(std::initializer_list<CRtfParagraph> paragraphs)
{
    CRtfDocument doc;
    doc.paragraphs = paragraphs;
    return doc;
}

const CHARFORMAT kTimes = Char("Times New Roman", 240, 0, -1, 0, 0, 0x12);
const CHARFORMAT kArial = Char("Arial", 200, 0, -1, 0, 0, 0x22);

} // namespace

TEST(RtfWriter, GoldenOutputOfASmallDocument)
{
    const CHARFORMAT bold = Char("Times New Roman", 240, CFE_BOLD, -1, 0, 0, 0x12);
    const CHARFORMAT red = Char("Arial", 200, CFE_ITALIC, RGB(255, 0, 0), 0, 0, 0x22);
    CRtfDocument doc = Doc({Paragraph({{"Hi ", kTimes}, {"bold", bold}}, Para(PFA_CENTER), &kTimes),
                            Paragraph({{"caf\xC3\xA9 \xCE\xB1{}", red}}, Para(PFA_LEFT, 0, 360, 0, {}, true))});
    // Written by hand from the format: font and colour tables, then only the
    // properties that change; \fs20 for 200 twips, \'e9 for the code page's
    // e-acute, \u945? for Greek alpha, which the code page lacks.
    EXPECT_EQ(CRtfWriter::Write(doc),
              "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1{\\fonttbl{\\f0\\froman\\fprq2\\fcharset0 Times New Roman;}"
              "{\\f1\\fswiss\\fprq2\\fcharset0 Arial;}}\r\n"
              "{\\colortbl ;\\red255\\green0\\blue0;}\r\n"
              "\\pard\\qc Hi \\b bold\\b0\\par\r\n"
              "\\pard\\fi-360\\li360{\\pntext\\'95\\tab}{\\*\\pn\\pnlvlblt\\pnindent0{\\pntxtb\\'95}}"
              "\\f1\\fs20\\cf1\\i caf\\'e9 \\u945?\\{\\}}");
}

TEST(RtfWriter, OutputIsSevenBitAscii)
{
    CRtfDocument doc = Doc({Paragraph({{"\xE2\x82\xAC \xC3\xBF \xE4\xB8\xAD \xF0\x9F\x98\x80 \x01\x7F", kTimes}})});
    std::string rtf = CRtfWriter::Write(doc);
    for (char c : rtf)
        EXPECT_LT(static_cast<unsigned char>(c), 0x80u) << rtf;
    CRtfDocument back;
    ASSERT_EQ(CRtfReader::Read(rtf, back), CRtfReader::Status::ok);
    // Control characters are kept, escaped, so that text comes back as it was.
    EXPECT_EQ(back.PlainText(), "\xE2\x82\xAC \xC3\xBF \xE4\xB8\xAD \xF0\x9F\x98\x80 \x01\x7F");
}

TEST(RtfWriter, RoundTripKeepsEveryFeature)
{
    struct Case {
        const char* name;
        CRtfDocument doc;
    };
    const CHARFORMAT courier = Char("Courier New", 180, 0, -1, 0, 0, 0x31);
    const CHARFORMAT symbol = Char("Symbol", 240, 0, -1, 0, 2, 0x50);
    const CHARFORMAT script = Char("Script", 240, 0, -1, 0, 1, 0x40);
    const std::vector<Case> cases = {
        {"plain", Doc({Paragraph({{"hello world", kTimes}})})},
        {"faces, character sets, families and pitches",
         Doc({Paragraph({{"a", kTimes}, {"b", kArial}, {"c", courier}, {"d", symbol}, {"e", script}})})},
        {"sizes", Doc({Paragraph({{"8", Char("Arial", 160)}, {"72", Char("Arial", 1440)}, {"9.5", Char("Arial", 190)},
                                  {"1638", Char("Arial", 32760)}})})},
        {"colours", Doc({Paragraph({{"r", Char("", 240, 0, RGB(255, 0, 0))}, {"auto", Char()},
                                    {"black", Char("", 240, 0, RGB(0, 0, 0))},
                                    {"grey", Char("", 240, 0, RGB(0x80, 0x80, 0x80))},
                                    {"r again", Char("", 240, 0, RGB(255, 0, 0))}})})},
        {"effects", Doc({Paragraph({{"b", Char("", 240, CFE_BOLD)}, {"i", Char("", 240, CFE_ITALIC)},
                                    {"u", Char("", 240, CFE_UNDERLINE)}, {"s", Char("", 240, CFE_STRIKEOUT)},
                                    {"p", Char("", 240, CFE_PROTECTED)},
                                    {"all", Char("", 240, CFE_BOLD | CFE_ITALIC | CFE_UNDERLINE | CFE_STRIKEOUT
                                                              | CFE_PROTECTED)},
                                    {"none", Char()}})})},
        {"super- and subscript", Doc({Paragraph({{"x", Char()}, {"2", Char("", 240, 0, -1, 60)},
                                                 {"i", Char("", 240, 0, -1, -60)}, {"high", Char("", 240, 0, -1, 150)},
                                                 {"back", Char()}})})},
        {"alignment", Doc({Paragraph({{"l", kTimes}}, Para(PFA_LEFT)), Paragraph({{"c", kTimes}}, Para(PFA_CENTER)),
                           Paragraph({{"r", kTimes}}, Para(PFA_RIGHT)), Paragraph({{"l", kTimes}}, Para(PFA_LEFT))})},
        {"indents", Doc({Paragraph({{"hanging", kTimes}}, Para(PFA_LEFT, 360, 720, 144)),
                         Paragraph({{"first line in", kTimes}}, Para(PFA_LEFT, 720, -360, 0)),
                         Paragraph({{"negative", kTimes}}, Para(PFA_LEFT, -200, 0, -100)),
                         Paragraph({{"none", kTimes}}, Para())})},
        {"tab stops", Doc({Paragraph({{"a\tb\tc", kTimes}}, Para(PFA_LEFT, 0, 0, 0, {288, 576, 1440})),
                           Paragraph({{"\t", kTimes}}, Para(PFA_LEFT, 0, 0, 0, {100}))})},
        {"bullets", Doc({Paragraph({{"one", kTimes}}, Para(PFA_LEFT, 0, 360, 0, {}, true)),
                         Paragraph({{"two", kTimes}}, Para(PFA_LEFT, 0, 360, 0, {}, true)),
                         Paragraph({{"after", kTimes}}, Para())})},
        {"paragraphs, empty ones and their marks",
         Doc({Paragraph({}, Para(), &kArial), Paragraph({{"text", kTimes}}, Para(), &kArial), Paragraph({}, Para(), &kTimes)})},
        {"line breaks and tabs", Doc({Paragraph({{"one\ntwo\tthree\n", kTimes}})})},
        {"characters that rich text escapes", Doc({Paragraph({{"\\{}\\par ;", kTimes}})})},
        {"text that looks like a word's number or delimiter",
         Doc({Paragraph({{"x", kTimes}, {"123", Char("Times New Roman", 240, CFE_BOLD, -1, 0, 0, 0x12)},
                         {" -5 lead", kTimes}, {"  two spaces", kArial}})})},
        {"code page and Unicode characters",
         Doc({Paragraph({{"caf\xC3\xA9 \xE2\x82\xAC \xC2\xA0 \xCE\xB1\xCE\xB2 \xE4\xB8\xAD \xF0\x9F\x98\x80 ?", kTimes}})})},
        {"face names outside ASCII", Doc({Paragraph({{"x", Char("Caf\xC3\xA9 Sans", 240)}})})},
    };
    for (const Case& c : cases) {
        std::string rtf = CRtfWriter::Write(c.doc);
        CRtfDocument back;
        EXPECT_EQ(CRtfReader::Read(rtf, back), CRtfReader::Status::ok) << c.name;
        EXPECT_EQ(back, c.doc) << c.name << "\n" << rtf;
        // Writing what was read gives the same bytes: nothing drifts on each save.
        EXPECT_EQ(CRtfWriter::Write(back), rtf) << c.name;
    }
}

TEST(RtfWriter, SizesAndOffsetsRoundToHalfPoints)
{
    // 245 twips is 24.5 half-points, rounded away from zero to 25 (250 twips);
    // an offset of -44 twips is -4.4 half-points, rounded to -4 (-40 twips).
    CRtfDocument doc = Doc({Paragraph({{"x", Char("", 245, 0, -1, -44)}})});
    CRtfDocument back;
    CRtfReader::Read(CRtfWriter::Write(doc), back);
    EXPECT_EQ(back.paragraphs.at(0).runs.at(0).format.yHeight, 250);
    EXPECT_EQ(back.paragraphs[0].runs[0].format.yOffset, -40);
}

TEST(RtfWriter, EmptyDocumentReadsAsOneEmptyParagraph)
{
    CRtfDocument back;
    EXPECT_EQ(CRtfReader::Read(CRtfWriter::Write(CRtfDocument{}), back), CRtfReader::Status::ok);
    ASSERT_EQ(back.paragraphs.size(), 1u);
    EXPECT_TRUE(back.paragraphs[0].runs.empty());
}

TEST(RtfWriter, ForeignRichTextSurvivesBeingWrittenAgain)
{
    // Rich text as other editors write it: what is read from it must read the
    // same after this writer has written it.
    const char* const samples[] = {
        "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deftab720{\\fonttbl{\\f0\\fswiss MS Sans Serif;}"
        "{\\f1\\froman\\fcharset2 Symbol;}{\\f2\\froman Times New Roman;}}\r\n"
        "{\\colortbl\\red0\\green0\\blue0;\\red255\\green0\\blue0;}\r\n"
        "\\deflang1033\\pard\\plain\\f2\\fs20 Normal \\plain\\f2\\fs20\\b bold \\plain\\f2\\fs20\\cf1 red\\par\r\n"
        "\\pard{\\pntext\\f1\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'B7}}\\fi-360\\li360"
        "\\plain\\f2\\fs20 item\\par\r\n"
        "\\pard\\qc\\plain\\f2\\fs20\\up6 up\\dn6 down\\up0  caf\\'e9\\par\r\n}",
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Calibri;}}{\\*\\generator Riched20;}"
        "\\viewkind4\\uc1\\pard\\sa200\\sl276\\slmult1\\lang9\\f0\\fs22 one\\line two\\tab three"
        "\\u8364?\\par\\pard\\li720\\ri360\\tx1080\\tx2160 \\i\\ul indented\\ulnone\\i0\\par}",
        "{\\rtf1 {\\b nested {\\i deeper}} back\\par{\\*\\unknown x}\\pard\\qr right}",
    };
    for (const char* rtf : samples) {
        CRtfDocument first;
        ASSERT_EQ(CRtfReader::Read(rtf, first), CRtfReader::Status::ok) << rtf;
        CRtfDocument second;
        ASSERT_EQ(CRtfReader::Read(CRtfWriter::Write(first), second), CRtfReader::Status::ok) << rtf;
        EXPECT_EQ(second, first) << rtf;
    }
}
