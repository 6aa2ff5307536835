// Formatted text as the rich-text reader produces and the writer consumes:
// paragraphs of runs, each run one stretch of text in one character format.
// The formats are the same CHARFORMAT and PARAFORMAT records that items store
// elsewhere, so that a format read from rich text can be compared with, or
// applied as, a stored default format without translation.
//
// Text is UTF-8. Inside a paragraph '\t' is a tab and '\n' a line break that
// does not end the paragraph.
#pragma once

#include "platform/Types.h"

#include <string>
#include <string_view>
#include <vector>

// Every character property the model carries; formats in a document always
// have this whole mask set.
constexpr DWORD kRtfCharMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_PROTECTED
    | CFM_SIZE | CFM_COLOR | CFM_FACE | CFM_OFFSET | CFM_CHARSET;
constexpr DWORD kRtfParaMask = PFM_STARTINDENT | PFM_RIGHTINDENT | PFM_OFFSET | PFM_ALIGNMENT | PFM_TABSTOPS
    | PFM_NUMBERING;

// Font families kept in the high nibble of bPitchAndFamily; pitch is the low nibble.
enum : BYTE {
    FF_DONTCARE = 0x00, FF_ROMAN = 0x10, FF_SWISS = 0x20, FF_MODERN = 0x30, FF_SCRIPT = 0x40,
    FF_DECORATIVE = 0x50, DEFAULT_PITCH = 0, FIXED_PITCH = 1, VARIABLE_PITCH = 2,
};

struct CRtfRun {
    std::string text; // UTF-8, never empty in a document
    CHARFORMAT format;
    friend bool operator==(const CRtfRun&, const CRtfRun&) = default;
};

struct CRtfParagraph {
    std::vector<CRtfRun> runs;
    PARAFORMAT format;
    // Format of the paragraph mark: what an empty paragraph shows in, and what
    // typing at the end of the paragraph starts with.
    CHARFORMAT markFormat;

    std::string Text() const;
    friend bool operator==(const CRtfParagraph&, const CRtfParagraph&) = default;
};

class CRtfDocument {
public:
    // Text at 12 pt in automatic colour with no effects, and no face: the
    // character format that rich text starts with before any font is chosen.
    static CHARFORMAT PlainCharFormat();
    // Left aligned, no indents, no tabs, no bullet.
    static PARAFORMAT PlainParaFormat();
    // Sets face (at most 31 bytes, cut at a character boundary, without the
    // blanks a cut leaves at its end), and keeps the mask.
    static void SetFaceName(CHARFORMAT& format, std::string_view face);

    // Adds text to the last paragraph (opening the first one when there is
    // none), joining it to the last run when the formats agree.
    void AppendText(std::string_view utf8, const CHARFORMAT& format);
    // Gives the last paragraph its formats and opens a new, empty one after it.
    void EndParagraph(const PARAFORMAT& format, const CHARFORMAT& markFormat);
    // Gives the last paragraph its formats; the text ends with it.
    void EndDocument(const PARAFORMAT& format, const CHARFORMAT& markFormat);

    // Paragraph texts joined by "\n" (line breaks inside paragraphs stay "\n" too).
    std::string PlainText() const;

    std::vector<CRtfParagraph> paragraphs;
    friend bool operator==(const CRtfDocument&, const CRtfDocument&) = default;

private:
    CRtfParagraph& Last();
};
