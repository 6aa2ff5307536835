// Writes a CRtfDocument as Rich Text Format that CRtfReader reads back to an
// equal document, and that other rich-text readers understand.
//
// The output is 7-bit ASCII: Windows-1252 characters above 127 are written as
// "\'hh", others as "\uN" followed by "?" for readers that do not know them.
// Sizes and raised or lowered offsets are stored in half-points, so a twip
// value that is not a multiple of ten comes back rounded to one. Justified
// text and numbered lists are not part of the format written.
#pragma once

#include "ui/RtfDocument.h"

#include <string>

class CRtfWriter {
public:
    static std::string Write(const CRtfDocument& document);
};
