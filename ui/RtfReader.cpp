#include "ui/RtfReader.h"

#include "platform/CodePage.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

// Deeper groups are still read, but share the state of the deepest kept group:
// the stack stays small however many braces a damaged stream opens.
constexpr std::size_t kMaxDepth = 256;
// Indents and tab positions beyond 22 inches are no page's; clamping keeps sums in range.
constexpr LONG kMaxIndent = 31680;
// Half-points; the largest size rich-edit controls accept is 1638 pt.
constexpr LONG kMaxHalfPoints = 3276;
constexpr int kMaxUnicodeSkip = 16;

enum class Dest { text, skip, fontTable, colourTable, bullet, object };

enum class Word {
    unknown,
    // destinations
    fonttbl, colortbl, pn, object, result, skipGroup,
    // document
    deff, uc, u, bin,
    // text
    par, line, tab, specialChar,
    // character format
    plain, b, i, ul, ulnone, strike, protect, fs, f, cf, up, dn, super, sub, nosupersub,
    // paragraph format
    pard, ql, qr, qc, qj, li, ri, fi, tx, ls,
    // font table
    fcharset, fprq, family,
    // colour table
    red, green, blue,
};

struct WordInfo {
    Word word;
    std::uint32_t value = 0; // the character of a special, the family of a font
};

const std::unordered_map<std::string_view, WordInfo>& WordTable()
{
    static const std::unordered_map<std::string_view, WordInfo> table = {
        {"fonttbl", {Word::fonttbl}}, {"colortbl", {Word::colortbl}}, {"pn", {Word::pn}},
        {"object", {Word::object}}, {"result", {Word::result}},
        // Groups whose contents are not text of the document.
        {"stylesheet", {Word::skipGroup}}, {"info", {Word::skipGroup}}, {"pict", {Word::skipGroup}},
        {"pntext", {Word::skipGroup}}, {"listtext", {Word::skipGroup}}, {"header", {Word::skipGroup}},
        {"headerl", {Word::skipGroup}}, {"headerr", {Word::skipGroup}}, {"headerf", {Word::skipGroup}},
        {"footer", {Word::skipGroup}}, {"footerl", {Word::skipGroup}}, {"footerr", {Word::skipGroup}},
        {"footerf", {Word::skipGroup}}, {"footnote", {Word::skipGroup}}, {"annotation", {Word::skipGroup}},
        {"fldinst", {Word::skipGroup}}, {"xe", {Word::skipGroup}}, {"tc", {Word::skipGroup}},
        {"txe", {Word::skipGroup}}, {"rxe", {Word::skipGroup}}, {"filetbl", {Word::skipGroup}},
        {"revtbl", {Word::skipGroup}}, {"listtable", {Word::skipGroup}}, {"listoverridetable", {Word::skipGroup}},
        {"objdata", {Word::skipGroup}}, {"objclass", {Word::skipGroup}}, {"objname", {Word::skipGroup}},
        {"private", {Word::skipGroup}}, {"author", {Word::skipGroup}}, {"title", {Word::skipGroup}},
        {"comment", {Word::skipGroup}}, {"nonshppict", {Word::skipGroup}}, {"bkmkstart", {Word::skipGroup}},
        {"bkmkend", {Word::skipGroup}}, {"datafield", {Word::skipGroup}}, {"themedata", {Word::skipGroup}},
        {"colorschememapping", {Word::skipGroup}}, {"latentstyles", {Word::skipGroup}},
        {"generator", {Word::skipGroup}}, {"rsidtbl", {Word::skipGroup}}, {"do", {Word::skipGroup}},
        {"shpinst", {Word::skipGroup}}, {"sp", {Word::skipGroup}},
        {"deff", {Word::deff}}, {"uc", {Word::uc}}, {"u", {Word::u}}, {"bin", {Word::bin}},
        {"par", {Word::par}}, {"sect", {Word::par}}, {"page", {Word::par}}, {"row", {Word::par}},
        {"line", {Word::line}}, {"tab", {Word::tab}}, {"cell", {Word::tab}},
        {"emdash", {Word::specialChar, 0x2014}}, {"endash", {Word::specialChar, 0x2013}},
        {"emspace", {Word::specialChar, 0x2003}}, {"enspace", {Word::specialChar, 0x2002}},
        {"bullet", {Word::specialChar, 0x2022}}, {"lquote", {Word::specialChar, 0x2018}},
        {"rquote", {Word::specialChar, 0x2019}}, {"ldblquote", {Word::specialChar, 0x201C}},
        {"rdblquote", {Word::specialChar, 0x201D}},
        {"plain", {Word::plain}}, {"b", {Word::b}}, {"i", {Word::i}},
        {"ul", {Word::ul}}, {"uld", {Word::ul}}, {"uldb", {Word::ul}}, {"uldash", {Word::ul}},
        {"uldashd", {Word::ul}}, {"uldashdd", {Word::ul}}, {"ulw", {Word::ul}}, {"ulth", {Word::ul}},
        {"ulwave", {Word::ul}}, {"ulhair", {Word::ul}}, {"ulnone", {Word::ulnone}},
        {"strike", {Word::strike}}, {"striked", {Word::strike}}, {"protect", {Word::protect}},
        {"fs", {Word::fs}}, {"f", {Word::f}}, {"cf", {Word::cf}}, {"up", {Word::up}}, {"dn", {Word::dn}},
        {"super", {Word::super}}, {"sub", {Word::sub}}, {"nosupersub", {Word::nosupersub}},
        {"pard", {Word::pard}}, {"ql", {Word::ql}}, {"qr", {Word::qr}}, {"qc", {Word::qc}},
        {"qj", {Word::qj}}, {"qd", {Word::qj}}, {"li", {Word::li}}, {"ri", {Word::ri}}, {"fi", {Word::fi}},
        {"tx", {Word::tx}}, {"tb", {Word::tx}}, {"ls", {Word::ls}},
        {"fcharset", {Word::fcharset}}, {"fprq", {Word::fprq}},
        {"fnil", {Word::family, FF_DONTCARE}}, {"froman", {Word::family, FF_ROMAN}},
        {"fswiss", {Word::family, FF_SWISS}}, {"fmodern", {Word::family, FF_MODERN}},
        {"fscript", {Word::family, FF_SCRIPT}}, {"fdecor", {Word::family, FF_DECORATIVE}},
        {"ftech", {Word::family, FF_DONTCARE}}, {"fbidi", {Word::family, FF_DONTCARE}},
        {"red", {Word::red}}, {"green", {Word::green}}, {"blue", {Word::blue}},
    };
    return table;
}

// UTF-8 of every Windows-1252 byte, built once.
const std::array<std::string, 256>& ByteTable()
{
    static const std::array<std::string, 256> table = [] {
        std::array<std::string, 256> t;
        for (int b = 0; b < 256; ++b) {
            char c = char(b);
            t[b] = Cp1252ToUtf8(std::string_view(&c, 1));
        }
        return t;
    }();
    return table;
}

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

LONG Clamp(std::int64_t value, LONG low, LONG high) { return LONG(std::clamp<std::int64_t>(value, low, high)); }

struct FontEntry {
    std::string face; // UTF-8
    BYTE charSet = 0;
    BYTE pitchAndFamily = 0;
};

struct GroupState {
    Dest dest = Dest::text;
    CHARFORMAT cf;  // effects, size and offset; face and colour come from the tables
    int font = -1;  // -1: the default font
    int colour = 0;
    PARAFORMAT pf;  // alignment, numbering and tabs; indents are below
    LONG left = 0;  // \li: the left edge of the paragraph's lines
    LONG first = 0; // \fi: the first line, relative to left
    LONG right = 0;
    int unicodeSkip = 1;
};

class Parser {
public:
    Parser(std::string_view in, CRtfDocument& doc) : m_in(in), m_doc(doc) {}
    CRtfReader::Status Run();

private:
    GroupState& Top() { return m_stack.back(); }
    void OpenGroup();
    bool CloseGroup(); // true when the outermost group closed
    void ControlWord();
    void ControlSymbol(char c);
    void HandleWord(std::string_view name, bool hasParam, std::int64_t param);
    // escaped: written as \'hh, which is how a control character is kept as text.
    void TextByte(unsigned char b, bool escaped = false);
    void TextCodePoint(std::uint32_t cp);
    // Drops a character when it is a fallback of the last "\u"; true if dropped.
    bool ConsumeFallback();
    void Flush();
    void EndParagraph();
    CHARFORMAT ResolveChar(const GroupState& state) const;
    PARAFORMAT ResolvePara(const GroupState& state) const;
    void CommitFont();
    void CommitColour();

    std::string_view m_in;
    std::size_t m_pos = 0;
    CRtfDocument& m_doc;
    std::vector<GroupState> m_stack;
    std::size_t m_excessDepth = 0;
    bool m_destinationMark = false; // "\*" seen: an unknown next word skips the group
    bool m_groupStart = false;      // nothing but "\*" read since the group opened
    int m_fallbackLeft = 0;
    std::uint32_t m_highSurrogate = 0;
    std::string m_pending; // text read in the current state, not yet in the document

    int m_defaultFont = 0;
    std::map<int, FontEntry> m_fonts;
    int m_fontNumber = -1;
    FontEntry m_fontPending;
    std::string m_faceBytes;

    std::vector<std::optional<COLORREF>> m_colours;
    int m_red = 0, m_green = 0, m_blue = 0;
    bool m_colourSet = false;
};

CRtfReader::Status Parser::Run()
{
    GroupState outside;
    outside.cf = CRtfDocument::PlainCharFormat();
    outside.pf = CRtfDocument::PlainParaFormat();
    m_stack.push_back(outside);
    while (m_pos < m_in.size()) {
        auto c = static_cast<unsigned char>(m_in[m_pos++]);
        switch (c) {
        case '{':
            OpenGroup();
            break;
        case '}':
            if (CloseGroup())
                return CRtfReader::Status::ok;
            break;
        case '\\':
            if (m_pos >= m_in.size())
                break;
            if (IsLetter(m_in[m_pos]))
                ControlWord();
            else
                ControlSymbol(m_in[m_pos++]);
            break;
        case '\r':
        case '\n':
            break;
        case '\t':
            HandleWord("tab", false, 0);
            break;
        default:
            if (c >= 0x20)
                TextByte(c);
            break;
        }
    }
    // The stream ended inside its groups: keep what was read.
    Flush();
    if (m_stack.size() > 1)
        m_doc.EndDocument(ResolvePara(Top()), ResolveChar(Top()));
    return CRtfReader::Status::damaged;
}

void Parser::OpenGroup()
{
    Flush();
    m_fallbackLeft = 0;
    m_destinationMark = false;
    m_groupStart = true;
    if (m_stack.size() >= kMaxDepth) {
        ++m_excessDepth;
        return;
    }
    m_stack.push_back(Top());
}

bool Parser::CloseGroup()
{
    Flush();
    m_fallbackLeft = 0;
    m_destinationMark = false;
    m_groupStart = false;
    if (m_excessDepth > 0) {
        --m_excessDepth;
        return false;
    }
    if (m_stack.size() <= 1)
        return false; // a stray brace before the document began
    GroupState closed = m_stack.back();
    m_stack.pop_back();
    if (closed.dest == Dest::fontTable && !m_faceBytes.empty())
        CommitFont(); // the last entry of a table may lack its semicolon
    if (closed.dest == Dest::bullet && Top().dest != Dest::bullet)
        Top().pf.wNumbering = PFN_BULLET;
    if (m_stack.size() == 1) {
        // The document's own group: its state at the end belongs to the last paragraph.
        m_doc.EndDocument(ResolvePara(closed), ResolveChar(closed));
        return true;
    }
    return false;
}

void Parser::ControlWord()
{
    std::size_t start = m_pos;
    while (m_pos < m_in.size() && IsLetter(m_in[m_pos]))
        ++m_pos;
    // Real words are short; a longer one is unknown whatever it says.
    std::string_view name = m_in.substr(start, std::min<std::size_t>(m_pos - start, 32));
    bool negative = false;
    if (m_pos + 1 < m_in.size() && m_in[m_pos] == '-' && IsDigit(m_in[m_pos + 1])) {
        negative = true;
        ++m_pos;
    }
    bool hasParam = false;
    std::int64_t param = 0;
    while (m_pos < m_in.size() && IsDigit(m_in[m_pos])) {
        hasParam = true;
        if (param < (std::int64_t(1) << 40))
            param = param * 10 + (m_in[m_pos] - '0');
        ++m_pos;
    }
    if (negative)
        param = -param;
    if (m_pos < m_in.size() && m_in[m_pos] == ' ')
        ++m_pos;
    HandleWord(name, hasParam, param);
}

void Parser::ControlSymbol(char c)
{
    if (c != '*')
        m_groupStart = false;
    switch (c) {
    case '*':
        m_destinationMark = true;
        return;
    case '\'': {
        auto hex = [](char h) -> int {
            if (h >= '0' && h <= '9') return h - '0';
            if (h >= 'a' && h <= 'f') return h - 'a' + 10;
            if (h >= 'A' && h <= 'F') return h - 'A' + 10;
            return -1;
        };
        int value = 0;
        int digits = 0;
        while (digits < 2 && m_pos < m_in.size() && hex(m_in[m_pos]) >= 0) {
            value = value * 16 + hex(m_in[m_pos++]);
            ++digits;
        }
        if (digits > 0)
            TextByte(static_cast<unsigned char>(value), digits == 2);
        return;
    }
    case '\\':
    case '{':
    case '}':
        TextByte(static_cast<unsigned char>(c));
        return;
    case '\r':
    case '\n':
        HandleWord("par", false, 0);
        return;
    case '~':
        if (!ConsumeFallback())
            TextCodePoint(0x00A0);
        return;
    case '-':
        if (!ConsumeFallback())
            TextCodePoint(0x00AD);
        return;
    case '_':
        if (!ConsumeFallback())
            TextCodePoint(0x2011);
        return;
    default:
        ConsumeFallback();
        return;
    }
}

bool Parser::ConsumeFallback()
{
    if (m_fallbackLeft <= 0)
        return false;
    --m_fallbackLeft;
    return true;
}

void Parser::HandleWord(std::string_view name, bool hasParam, std::int64_t param)
{
    const auto& table = WordTable();
    auto it = table.find(name);
    WordInfo info = it == table.end() ? WordInfo{Word::unknown} : it->second;
    bool marked = m_destinationMark;
    m_destinationMark = false;
    const bool groupStart = m_groupStart;
    m_groupStart = false;
    GroupState& s = Top();

    if (info.word == Word::bin) {
        // Binary data is never text, in whatever group it stands.
        std::size_t count = hasParam && param > 0 ? std::size_t(std::min<std::int64_t>(param, INT32_MAX)) : 0;
        m_pos += std::min(count, m_in.size() - m_pos);
        return;
    }
    // A destination names the group it opens; standing anywhere else it is
    // damage, and honouring it could swallow the rest of the text.
    const bool destination = info.word == Word::fonttbl || info.word == Word::colortbl || info.word == Word::pn
        || info.word == Word::object || info.word == Word::result || info.word == Word::skipGroup;
    if (!groupStart && (destination || marked))
        return;
    if (s.dest == Dest::skip)
        return;
    if (info.word != Word::u && info.word != Word::specialChar && ConsumeFallback())
        return;

    // Destinations first: they set what the rest of the group means.
    switch (info.word) {
    case Word::fonttbl:
        Flush();
        s.dest = Dest::fontTable;
        return;
    case Word::colortbl:
        Flush();
        s.dest = Dest::colourTable;
        return;
    case Word::pn:
        Flush();
        s.dest = s.dest == Dest::text || s.dest == Dest::bullet ? Dest::bullet : Dest::skip;
        return;
    case Word::object:
        Flush();
        s.dest = s.dest == Dest::text ? Dest::object : Dest::skip;
        return;
    case Word::result:
        // An embedded object we cannot show: its last shown form may be text.
        s.dest = s.dest == Dest::object ? Dest::text : Dest::skip;
        return;
    case Word::skipGroup:
        Flush();
        s.dest = Dest::skip;
        return;
    default:
        break;
    }
    if (marked) {
        // An optional destination this reader does not know.
        Flush();
        s.dest = Dest::skip;
        return;
    }

    switch (s.dest) {
    case Dest::fontTable:
        switch (info.word) {
        case Word::f:
            if (!m_faceBytes.empty())
                CommitFont();
            m_fontNumber = int(std::clamp<std::int64_t>(param, 0, INT32_MAX));
            m_fontPending = FontEntry{};
            break;
        case Word::fcharset:
            m_fontPending.charSet = BYTE(std::clamp<std::int64_t>(param, 0, 255));
            break;
        case Word::fprq:
            m_fontPending.pitchAndFamily = BYTE((m_fontPending.pitchAndFamily & 0xF0) | (param & 0x0F));
            break;
        case Word::family:
            m_fontPending.pitchAndFamily = BYTE((m_fontPending.pitchAndFamily & 0x0F) | info.value);
            break;
        default:
            break;
        }
        return;
    case Dest::colourTable: {
        int component = int(std::clamp<std::int64_t>(param, 0, 255));
        if (info.word == Word::red) m_red = component, m_colourSet = true;
        if (info.word == Word::green) m_green = component, m_colourSet = true;
        if (info.word == Word::blue) m_blue = component, m_colourSet = true;
        return;
    }
    case Dest::bullet:
    case Dest::object:
    case Dest::skip:
        return;
    case Dest::text:
        break;
    }

    auto effect = [&](DWORD bit) {
        Flush();
        if (!hasParam || param != 0)
            s.cf.dwEffects |= bit;
        else
            s.cf.dwEffects &= ~bit;
    };
    auto indent = [&] { return Clamp(hasParam ? param : 0, -kMaxIndent, kMaxIndent); };

    switch (info.word) {
    case Word::deff:
        m_defaultFont = int(std::clamp<std::int64_t>(param, 0, INT32_MAX));
        break;
    case Word::uc:
        s.unicodeSkip = int(std::clamp<std::int64_t>(param, 0, kMaxUnicodeSkip));
        break;
    case Word::u: {
        std::int64_t value = param < 0 ? param + 65536 : param;
        m_fallbackLeft = 0;
        if (value >= 0 && value <= 0xFFFF)
            TextCodePoint(std::uint32_t(value));
        m_fallbackLeft = s.unicodeSkip;
        break;
    }
    case Word::par:
        EndParagraph();
        break;
    case Word::line:
        TextCodePoint('\n');
        break;
    case Word::tab:
        TextCodePoint('\t');
        break;
    case Word::specialChar:
        if (!ConsumeFallback())
            TextCodePoint(info.value);
        break;
    case Word::plain:
        Flush();
        s.cf = CRtfDocument::PlainCharFormat();
        s.font = -1;
        s.colour = 0;
        break;
    case Word::b: effect(CFE_BOLD); break;
    case Word::i: effect(CFE_ITALIC); break;
    case Word::ul: effect(CFE_UNDERLINE); break;
    case Word::ulnone:
        Flush();
        s.cf.dwEffects &= ~DWORD(CFE_UNDERLINE);
        break;
    case Word::strike: effect(CFE_STRIKEOUT); break;
    case Word::protect: effect(CFE_PROTECTED); break;
    case Word::fs:
        Flush();
        s.cf.yHeight = 10 * Clamp(hasParam ? param : 24, 1, kMaxHalfPoints);
        break;
    case Word::f:
        Flush();
        s.font = int(std::clamp<std::int64_t>(param, 0, INT32_MAX));
        break;
    case Word::cf:
        Flush();
        s.colour = int(std::clamp<std::int64_t>(param, 0, INT32_MAX));
        break;
    case Word::up:
    case Word::dn: {
        Flush();
        LONG halfPoints = Clamp(hasParam ? param : 6, -kMaxHalfPoints, kMaxHalfPoints);
        s.cf.yOffset = 10 * (info.word == Word::up ? halfPoints : -halfPoints);
        break;
    }
    case Word::super:
        Flush();
        s.cf.yOffset = 60;
        break;
    case Word::sub:
        Flush();
        s.cf.yOffset = -60;
        break;
    case Word::nosupersub:
        Flush();
        s.cf.yOffset = 0;
        break;
    case Word::pard:
        s.pf = CRtfDocument::PlainParaFormat();
        s.left = s.first = s.right = 0;
        break;
    case Word::ql:
    case Word::qj: // no justified text here: it reads as left aligned
        s.pf.wAlignment = PFA_LEFT;
        break;
    case Word::qr: s.pf.wAlignment = PFA_RIGHT; break;
    case Word::qc: s.pf.wAlignment = PFA_CENTER; break;
    case Word::li: s.left = indent(); break;
    case Word::ri: s.right = indent(); break;
    case Word::fi: s.first = indent(); break;
    case Word::tx: {
        LONG position = indent();
        LONG* begin = s.pf.rgxTabs;
        LONG* end = begin + s.pf.cTabCount;
        LONG* at = std::lower_bound(begin, end, position);
        if (position > 0 && (at == end || *at != position) && s.pf.cTabCount < MAX_TAB_STOPS) {
            std::copy_backward(at, end, end + 1);
            *at = position;
            ++s.pf.cTabCount;
        }
        break;
    }
    case Word::ls:
        // A list of the newer list tables: shown as the bullets that are all we draw.
        if (!hasParam || param > 0)
            s.pf.wNumbering = PFN_BULLET;
        break;
    default:
        break;
    }
}

void Parser::TextByte(unsigned char b, bool escaped)
{
    m_groupStart = false;
    if (ConsumeFallback())
        return;
    if (b < 0x20) {
        // Raw control bytes are no text, except the tab; escaped ones are the
        // control characters of a note's text, kept as they were typed, but
        // for line ends, which are paragraphs and line breaks.
        if (b == '\t')
            TextCodePoint('\t');
        else if (escaped && b != '\r' && b != '\n' && Top().dest == Dest::text)
            TextCodePoint(b);
        return;
    }
    GroupState& s = Top();
    switch (s.dest) {
    case Dest::text:
        if (m_highSurrogate) {
            m_highSurrogate = 0;
            AppendUtf8(m_pending, 0xFFFD);
        }
        m_pending += ByteTable()[b];
        break;
    case Dest::fontTable:
        if (b == ';')
            CommitFont();
        else
            m_faceBytes += char(b);
        break;
    case Dest::colourTable:
        if (b == ';')
            CommitColour();
        break;
    default:
        break;
    }
}

void Parser::TextCodePoint(std::uint32_t cp)
{
    // Paragraphs end with \par, lines with \line: a CR is no text, nor a NUL.
    if (cp == '\r' || cp == 0)
        return;
    GroupState& s = Top();
    if (s.dest == Dest::fontTable) {
        // A face name spelled with escapes: keep it in the face's own code page.
        std::string utf8;
        AppendUtf8(utf8, cp);
        m_faceBytes += Utf8ToCp1252(utf8);
        return;
    }
    if (s.dest != Dest::text)
        return;
    if (cp >= 0xD800 && cp <= 0xDBFF) {
        if (m_highSurrogate)
            AppendUtf8(m_pending, 0xFFFD);
        m_highSurrogate = cp;
        return;
    }
    if (cp >= 0xDC00 && cp <= 0xDFFF) {
        if (m_highSurrogate) {
            AppendUtf8(m_pending, 0x10000 + ((m_highSurrogate - 0xD800) << 10) + (cp - 0xDC00));
            m_highSurrogate = 0;
        } else {
            AppendUtf8(m_pending, 0xFFFD);
        }
        return;
    }
    if (m_highSurrogate) {
        m_highSurrogate = 0;
        AppendUtf8(m_pending, 0xFFFD);
    }
    AppendUtf8(m_pending, cp);
}

void Parser::Flush()
{
    if (m_pending.empty())
        return;
    m_doc.AppendText(m_pending, ResolveChar(Top()));
    m_pending.clear();
}

void Parser::EndParagraph()
{
    Flush();
    if (m_highSurrogate) {
        m_highSurrogate = 0;
        m_doc.AppendText("\xEF\xBF\xBD", ResolveChar(Top()));
    }
    m_doc.EndParagraph(ResolvePara(Top()), ResolveChar(Top()));
}

CHARFORMAT Parser::ResolveChar(const GroupState& state) const
{
    CHARFORMAT cf = state.cf;
    cf.dwMask = kRtfCharMask;
    auto font = m_fonts.find(state.font < 0 ? m_defaultFont : state.font);
    if (font == m_fonts.end())
        font = m_fonts.find(m_defaultFont);
    if (font != m_fonts.end()) {
        CRtfDocument::SetFaceName(cf, font->second.face);
        cf.bCharSet = font->second.charSet;
        cf.bPitchAndFamily = font->second.pitchAndFamily;
    }
    if (state.colour >= 0 && std::size_t(state.colour) < m_colours.size() && m_colours[state.colour]) {
        cf.crTextColor = *m_colours[state.colour];
        cf.dwEffects &= ~DWORD(CFE_AUTOCOLOR);
    } else {
        cf.crTextColor = 0;
        cf.dwEffects |= CFE_AUTOCOLOR;
    }
    return cf;
}

PARAFORMAT Parser::ResolvePara(const GroupState& state) const
{
    PARAFORMAT pf = state.pf;
    pf.dwMask = kRtfParaMask;
    // The first line starts at left + first; the lines after it at left.
    pf.dxStartIndent = state.left + state.first;
    pf.dxOffset = -state.first;
    pf.dxRightIndent = state.right;
    return pf;
}

void Parser::CommitFont()
{
    std::string face = m_faceBytes;
    m_faceBytes.clear();
    while (!face.empty() && face.back() == ' ')
        face.pop_back();
    while (!face.empty() && face.front() == ' ')
        face.erase(face.begin());
    if (m_fontNumber < 0)
        return;
    m_fontPending.face = Cp1252ToUtf8(face);
    m_fonts[m_fontNumber] = m_fontPending;
    m_fontNumber = -1;
    m_fontPending = FontEntry{};
}

void Parser::CommitColour()
{
    if (m_colourSet)
        m_colours.push_back(RGB(m_red, m_green, m_blue));
    else
        m_colours.push_back(std::nullopt); // an empty entry: the automatic colour
    m_red = m_green = m_blue = 0;
    m_colourSet = false;
}

void ReadPlainText(std::string_view bytes, CRtfDocument& doc)
{
    CHARFORMAT cf = CRtfDocument::PlainCharFormat();
    PARAFORMAT pf = CRtfDocument::PlainParaFormat();
    std::size_t start = 0;
    for (std::size_t i = 0; i <= bytes.size(); ++i) {
        if (i < bytes.size() && bytes[i] != '\r' && bytes[i] != '\n')
            continue;
        // A NUL is no character of a note (rich text cannot hold one): it
        // is refused here, as the text comes in, not dropped by a later save.
        std::string line(bytes.substr(start, i - start));
        line.erase(std::remove(line.begin(), line.end(), '\0'), line.end());
        doc.AppendText(Cp1252ToUtf8(line), cf);
        if (i == bytes.size()) {
            doc.EndDocument(pf, cf);
            break;
        }
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i;
        doc.EndParagraph(pf, cf);
        start = i + 1;
    }
}

// An upper bound of the paragraphs a text makes: paragraph marks of rich
// text, line ends of plain text. Reserving them first keeps the list of
// paragraphs from growing by copies, which held three times its size at once.
std::size_t CountParagraphs(std::string_view text, bool rich)
{
    std::size_t count = 1;
    if (!rich) {
        for (std::size_t i = 0; i < text.size(); ++i)
            if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')))
                ++count;
        return count;
    }
    for (std::size_t i = text.find("\\par"); i != std::string_view::npos; i = text.find("\\par", i + 4)) {
        const std::size_t after = i + 4;
        if (after >= text.size() || !((text[after] >= 'a' && text[after] <= 'z') || (text[after] >= 'A' && text[after] <= 'Z')))
            ++count;
    }
    return count;
}

} // namespace

CRtfReader::Status CRtfReader::Read(std::string_view rtf, CRtfDocument& document)
{
    document = CRtfDocument{};
    std::size_t start = 0;
    while (start < rtf.size() && (rtf[start] == ' ' || rtf[start] == '\r' || rtf[start] == '\n' || rtf[start] == '\t'))
        ++start;
    const bool rich = rtf.substr(start, 5) == "{\\rtf";
    document.paragraphs.reserve(CountParagraphs(rtf, rich));
    if (!rich) {
        ReadPlainText(rtf, document);
        return Status::notRtf;
    }
    Parser parser(rtf.substr(start), document);
    Status status = parser.Run();
    if (document.paragraphs.empty())
        document.EndDocument(CRtfDocument::PlainParaFormat(), CRtfDocument::PlainCharFormat());
    return status;
}
