#include "ui/RtfDocument.h"

std::string CRtfParagraph::Text() const
{
    std::string text;
    for (const CRtfRun& run : runs)
        text += run.text;
    return text;
}

CHARFORMAT CRtfDocument::PlainCharFormat()
{
    CHARFORMAT format;
    format.dwMask = kRtfCharMask;
    format.dwEffects = CFE_AUTOCOLOR;
    format.yHeight = 240; // rich text's own default size, 12 pt
    return format;
}

PARAFORMAT CRtfDocument::PlainParaFormat()
{
    PARAFORMAT format;
    format.dwMask = kRtfParaMask;
    format.wAlignment = PFA_LEFT;
    return format;
}

void CRtfDocument::SetFaceName(CHARFORMAT& format, std::string_view face)
{
    std::size_t length = face.size();
    if (length > LF_FACESIZE - 1) {
        length = LF_FACESIZE - 1;
        // Never leave half a UTF-8 sequence at the end.
        while (length > 0 && (static_cast<unsigned char>(face[length]) & 0xC0) == 0x80)
            --length;
    }
    // A name is read back without blanks at its ends, so a cut one must not
    // end in a blank either: the next save would store another name.
    while (length > 0 && face[length - 1] == ' ')
        --length;
    std::memset(format.szFaceName, 0, sizeof format.szFaceName);
    std::memcpy(format.szFaceName, face.data(), length);
}

CRtfParagraph& CRtfDocument::Last()
{
    if (paragraphs.empty()) {
        paragraphs.emplace_back();
        paragraphs.back().format = PlainParaFormat();
        paragraphs.back().markFormat = PlainCharFormat();
    }
    return paragraphs.back();
}

void CRtfDocument::AppendText(std::string_view utf8, const CHARFORMAT& format)
{
    if (utf8.empty())
        return;
    CRtfParagraph& paragraph = Last();
    if (!paragraph.runs.empty() && paragraph.runs.back().format == format)
        paragraph.runs.back().text += utf8;
    else
        paragraph.runs.push_back(CRtfRun{std::string(utf8), format});
}

void CRtfDocument::EndParagraph(const PARAFORMAT& format, const CHARFORMAT& markFormat)
{
    EndDocument(format, markFormat);
    paragraphs.emplace_back();
    paragraphs.back().format = format;
    paragraphs.back().markFormat = markFormat;
}

void CRtfDocument::EndDocument(const PARAFORMAT& format, const CHARFORMAT& markFormat)
{
    CRtfParagraph& paragraph = Last();
    paragraph.format = format;
    paragraph.markFormat = markFormat;
}

std::string CRtfDocument::PlainText() const
{
    std::string text;
    for (std::size_t i = 0; i < paragraphs.size(); ++i) {
        if (i > 0)
            text += '\n';
        text += paragraphs[i].Text();
    }
    return text;
}
