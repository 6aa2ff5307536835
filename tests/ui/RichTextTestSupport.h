// Builders of character and paragraph formats for the rich-text tests.
#pragma once

#include "ui/RtfDocument.h"

#include <initializer_list>
#include <string>

// A full character format: face, size in twips, effects, colour (or automatic).
inline CHARFORMAT Char(const char* face = "", LONG twips = 240, DWORD effects = 0, long colour = -1,
                       LONG offset = 0, BYTE charSet = 0, BYTE pitchAndFamily = 0)
{
    CHARFORMAT cf = CRtfDocument::PlainCharFormat();
    CRtfDocument::SetFaceName(cf, face);
    cf.yHeight = twips;
    cf.dwEffects = effects | (colour < 0 ? DWORD(CFE_AUTOCOLOR) : DWORD(0));
    cf.crTextColor = colour < 0 ? 0 : COLORREF(colour);
    cf.yOffset = offset;
    cf.bCharSet = charSet;
    cf.bPitchAndFamily = pitchAndFamily;
    return cf;
}

inline PARAFORMAT Para(WORD alignment = PFA_LEFT, LONG start = 0, LONG offset = 0, LONG right = 0,
                       std::initializer_list<LONG> tabs = {}, bool bullet = false)
{
    PARAFORMAT pf = CRtfDocument::PlainParaFormat();
    pf.wAlignment = alignment;
    pf.dxStartIndent = start;
    pf.dxOffset = offset;
    pf.dxRightIndent = right;
    for (LONG tab : tabs)
        pf.rgxTabs[pf.cTabCount++] = tab;
    pf.wNumbering = bullet ? PFN_BULLET : 0;
    return pf;
}

struct RunSpec {
    std::string text;
    CHARFORMAT format;
};

// One paragraph of runs; the mark takes the last run's format unless given.
inline CRtfParagraph Paragraph(std::initializer_list<RunSpec> runs, PARAFORMAT format = Para(),
                               const CHARFORMAT* mark = nullptr)
{
    CRtfParagraph paragraph;
    for (const RunSpec& run : runs)
        paragraph.runs.push_back(CRtfRun{run.text, run.format});
    paragraph.format = format;
    paragraph.markFormat = mark ? *mark : paragraph.runs.empty() ? Char() : paragraph.runs.back().format;
    return paragraph;
}
