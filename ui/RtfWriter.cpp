#include "ui/RtfWriter.h"

#include "platform/CodePage.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <vector>

namespace {

constexpr LONG kMaxHalfPoints = 3276;

struct FontKey {
    std::string face;
    BYTE charSet = 0;
    BYTE pitchAndFamily = 0;
    friend bool operator==(const FontKey&, const FontKey&) = default;
};

FontKey FontOf(const CHARFORMAT& cf)
{
    return FontKey{std::string(cf.szFaceName, strnlen(cf.szFaceName, LF_FACESIZE)), cf.bCharSet, cf.bPitchAndFamily};
}

bool IsAutoColour(const CHARFORMAT& cf) { return (cf.dwEffects & CFE_AUTOCOLOR) != 0; }

// Twips to half-points, rounded to the nearest.
LONG HalfPoints(LONG twips)
{
    std::int64_t t = twips;
    return LONG(t >= 0 ? (t + 5) / 10 : -((-t + 5) / 10));
}

// The state a reader is in, in the terms of the tables written.
struct WriterState {
    int font = 0;
    LONG size = 24;
    int colour = 0;
    DWORD effects = 0;
    LONG offset = 0;
};

class Writer {
public:
    explicit Writer(const CRtfDocument& doc) : m_doc(doc) {}
    std::string Run();

private:
    void CollectTables();
    void Word(std::string_view word);
    void Word(std::string_view word, std::int64_t value);
    void CharFormat(const CHARFORMAT& cf);
    void ParaFormat(const PARAFORMAT& pf);
    void Text(std::string_view utf8);
    void Escaped(unsigned char byte);
    int FontIndex(const CHARFORMAT& cf) const;
    int ColourIndex(const CHARFORMAT& cf) const;

    const CRtfDocument& m_doc;
    std::string m_out;
    bool m_afterWord = false; // a word was written last: text must not touch it
    std::vector<FontKey> m_fonts;
    std::vector<COLORREF> m_colours;
    WriterState m_state;
};

std::string Writer::Run()
{
    CollectTables();
    m_out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1";
    m_out += "{\\fonttbl";
    for (std::size_t i = 0; i < m_fonts.size(); ++i) {
        const FontKey& font = m_fonts[i];
        m_out += '{';
        Word("f", std::int64_t(i));
        static const char* const kFamilies[] = {"\\fnil", "\\froman", "\\fswiss", "\\fmodern", "\\fscript", "\\fdecor"};
        int family = font.pitchAndFamily >> 4;
        m_out += family < 6 ? kFamilies[family] : "\\fnil";
        if (font.pitchAndFamily & 0x0F)
            Word("fprq", font.pitchAndFamily & 0x0F);
        Word("fcharset", font.charSet);
        m_out += ' ';
        for (char c : Utf8ToCp1252(font.face)) {
            auto b = static_cast<unsigned char>(c);
            if (b == ';')
                continue; // it would end the entry; no face name holds one
            if (b >= 0x80 || b < 0x20 || b == '\\' || b == '{' || b == '}')
                Escaped(b);
            else
                m_out += c;
        }
        m_out += ";}";
    }
    m_out += "}\r\n{\\colortbl ;"; // entry 0 is the automatic colour
    for (COLORREF c : m_colours) {
        Word("red", GetRValue(c));
        Word("green", GetGValue(c));
        Word("blue", GetBValue(c));
        m_out += ';';
    }
    m_out += "}\r\n";
    m_afterWord = false;

    const PARAFORMAT* previous = nullptr;
    for (std::size_t i = 0; i < m_doc.paragraphs.size(); ++i) {
        const CRtfParagraph& paragraph = m_doc.paragraphs[i];
        // Paragraph properties hold until the next \pard, so only changes are written.
        if (!previous || !(*previous == paragraph.format))
            ParaFormat(paragraph.format);
        previous = &paragraph.format;
        for (const CRtfRun& run : paragraph.runs) {
            CharFormat(run.format);
            Text(run.text);
        }
        CharFormat(paragraph.markFormat);
        if (i + 1 < m_doc.paragraphs.size()) {
            Word("par");
            m_out += "\r\n";
            m_afterWord = false;
        }
    }
    m_out += "}";
    return m_out;
}

void Writer::CollectTables()
{
    auto add = [&](const CHARFORMAT& cf) {
        FontKey font = FontOf(cf);
        if (std::find(m_fonts.begin(), m_fonts.end(), font) == m_fonts.end())
            m_fonts.push_back(font);
        if (!IsAutoColour(cf) && std::find(m_colours.begin(), m_colours.end(), cf.crTextColor) == m_colours.end())
            m_colours.push_back(cf.crTextColor);
    };
    for (const CRtfParagraph& paragraph : m_doc.paragraphs) {
        for (const CRtfRun& run : paragraph.runs)
            add(run.format);
        add(paragraph.markFormat);
    }
    if (m_fonts.empty())
        m_fonts.push_back(FontOf(CRtfDocument::PlainCharFormat()));
}

int Writer::FontIndex(const CHARFORMAT& cf) const
{
    return int(std::find(m_fonts.begin(), m_fonts.end(), FontOf(cf)) - m_fonts.begin());
}

int Writer::ColourIndex(const CHARFORMAT& cf) const
{
    if (IsAutoColour(cf))
        return 0;
    return int(std::find(m_colours.begin(), m_colours.end(), cf.crTextColor) - m_colours.begin()) + 1;
}

void Writer::Word(std::string_view word)
{
    m_out += '\\';
    m_out += word;
    m_afterWord = true;
}

void Writer::Word(std::string_view word, std::int64_t value)
{
    Word(word);
    char digits[24];
    auto result = std::to_chars(digits, digits + sizeof digits, value);
    m_out.append(digits, result.ptr);
}

void Writer::CharFormat(const CHARFORMAT& cf)
{
    WriterState next;
    next.font = FontIndex(cf);
    next.size = std::clamp<LONG>(HalfPoints(cf.yHeight), 1, kMaxHalfPoints);
    next.colour = ColourIndex(cf);
    next.effects = cf.dwEffects & (CFE_BOLD | CFE_ITALIC | CFE_UNDERLINE | CFE_STRIKEOUT | CFE_PROTECTED);
    next.offset = std::clamp<LONG>(HalfPoints(cf.yOffset), -kMaxHalfPoints, kMaxHalfPoints);

    if (next.font != m_state.font)
        Word("f", next.font);
    if (next.size != m_state.size)
        Word("fs", next.size);
    if (next.colour != m_state.colour)
        Word("cf", next.colour);
    struct Effect {
        DWORD bit;
        const char* on;
        const char* off;
    };
    static const Effect kEffects[] = {
        {CFE_BOLD, "b", "b0"}, {CFE_ITALIC, "i", "i0"}, {CFE_UNDERLINE, "ul", "ulnone"},
        {CFE_STRIKEOUT, "strike", "strike0"}, {CFE_PROTECTED, "protect", "protect0"},
    };
    for (const Effect& effect : kEffects)
        if ((next.effects & effect.bit) != (m_state.effects & effect.bit))
            Word((next.effects & effect.bit) ? effect.on : effect.off);
    if (next.offset != m_state.offset) {
        if (next.offset < 0)
            Word("dn", -next.offset);
        else
            Word("up", next.offset);
    }
    m_state = next;
}

void Writer::ParaFormat(const PARAFORMAT& pf)
{
    Word("pard");
    if (pf.wAlignment == PFA_RIGHT)
        Word("qr");
    else if (pf.wAlignment == PFA_CENTER)
        Word("qc");
    // Rich text measures the first line from the left indent of the others.
    std::int64_t left = std::int64_t(pf.dxStartIndent) + pf.dxOffset;
    std::int64_t first = -std::int64_t(pf.dxOffset);
    if (first != 0)
        Word("fi", first);
    if (left != 0)
        Word("li", left);
    if (pf.dxRightIndent != 0)
        Word("ri", pf.dxRightIndent);
    int tabs = std::clamp<int>(pf.cTabCount, 0, MAX_TAB_STOPS);
    for (int i = 0; i < tabs; ++i)
        Word("tx", pf.rgxTabs[i]);
    if (pf.wNumbering == PFN_BULLET) {
        // Readers that draw bullets themselves take the \pn group; the others
        // show the bullet character and the tab of the \pntext group.
        m_out += "{\\pntext\\'95\\tab}{\\*\\pn\\pnlvlblt\\pnindent0{\\pntxtb\\'95}}";
        m_afterWord = false;
    }
}

void Writer::Escaped(unsigned char byte)
{
    static const char kHex[] = "0123456789abcdef";
    m_out += "\\'";
    m_out += kHex[byte >> 4];
    m_out += kHex[byte & 0x0F];
    m_afterWord = false;
}

void Writer::Text(std::string_view utf8)
{
    std::size_t i = 0;
    while (i < utf8.size()) {
        auto b = static_cast<unsigned char>(utf8[i]);
        std::uint32_t cp = b;
        std::size_t length = 1;
        if (b >= 0x80) {
            length = (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : (b & 0xF8) == 0xF0 ? 4 : 0;
            cp = length == 2 ? (b & 0x1F) : length == 3 ? (b & 0x0F) : (b & 0x07);
            bool ok = length != 0 && i + length <= utf8.size();
            for (std::size_t k = 1; ok && k < length; ++k) {
                auto c = static_cast<unsigned char>(utf8[i + k]);
                ok = (c & 0xC0) == 0x80;
                cp = (cp << 6) | (c & 0x3F);
            }
            if (!ok || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
                cp = '?';
                length = 1;
            }
        }
        i += length;

        if (cp == '\t') {
            Word("tab");
            continue;
        }
        if (cp == '\n') {
            Word("line");
            continue;
        }
        if (cp < 0x20) {
            // Kept escaped, so that a note read from plain text with control
            // characters is stored as it was read. A CR or a NUL has no place
            // in a paragraph's text (the readers never put one there).
            if (cp != '\r' && cp != 0)
                Escaped(static_cast<unsigned char>(cp));
            continue;
        }
        if (cp < 0x80) {
            char c = char(cp);
            if (m_afterWord)
                m_out += ' '; // the delimiter that the reader drops
            m_afterWord = false;
            if (c == '\\' || c == '{' || c == '}')
                m_out += '\\';
            m_out += c;
            continue;
        }
        std::string one(utf8.substr(i - length, length));
        std::string single = Utf8ToCp1252(one);
        if (single.size() == 1 && single[0] != '?') {
            Escaped(static_cast<unsigned char>(single[0]));
            continue;
        }
        // Beyond the code page: UTF-16 units as signed 16-bit numbers, each with a fallback.
        auto unit = [&](std::uint32_t u) {
            Word("u", u >= 0x8000 ? std::int64_t(u) - 0x10000 : std::int64_t(u));
            m_out += '?';
            m_afterWord = false;
        };
        if (cp >= 0x10000) {
            unit(0xD800 + ((cp - 0x10000) >> 10));
            unit(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            unit(cp);
        }
    }
}

} // namespace

std::string CRtfWriter::Write(const CRtfDocument& document)
{
    Writer writer(document);
    return writer.Run();
}
