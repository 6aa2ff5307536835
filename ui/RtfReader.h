// Reads Rich Text Format into a CRtfDocument.
//
// The reader understands what the program itself writes and what rich-text
// editors commonly produce for plain formatted text: fonts, sizes, colours,
// bold, italic, underline, strike-out, protection, raised and lowered text,
// alignment, indents, tab stops, bullets, paragraphs, line breaks and tabs.
// Everything else is passed over without losing text: unknown control words
// are ignored, groups marked as optional destinations ("\*") and groups that
// hold no text of the document (pictures, headers, style sheets, document
// information, list texts) are skipped, an embedded object keeps only its
// result text. Characters come as Windows-1252 bytes, "\'hh" escapes or
// "\uN" with "\ucN" fallback characters, and are kept as UTF-8.
#pragma once

#include "ui/RtfDocument.h"

#include <string_view>

class CRtfReader {
public:
    enum class Status {
        ok,       // the whole stream was read
        notRtf,   // no rich-text header: the bytes were taken as plain lines of text
        damaged,  // the stream ended before its groups closed; the document holds what was read
    };

    // Replaces the document's contents. Never throws for bad input, and its
    // memory and time stay proportional to the input's length.
    static Status Read(std::string_view rtf, CRtfDocument& document);
};
