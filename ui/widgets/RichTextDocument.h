// Conversion between the rich-text model (CRtfDocument, with CHARFORMAT and
// PARAFORMAT records) and QTextDocument, in which rich text is edited and drawn.
//
// Lengths: the model measures in twips, a QTextDocument in pixels of 1/96
// inch, so 15 twips make a pixel. Properties that QTextDocument has no field
// for (character set, pitch and family, protection, the exact raised or
// lowered offset, the bullet paragraph's own first-line indent) travel as user
// properties, so a model that goes through a document and back comes back equal.
#pragma once

#include "ui/RtfDocument.h"

#include <QTextBlockFormat>
#include <QTextCharFormat>

class QFont;
class QTextDocument;

constexpr double kTwipsPerPixel = 15.0;

// Only the properties in the format's mask are set.
QTextCharFormat CharFormatToQt(const CHARFORMAT& format);
// A full format; properties the Qt format leaves unset come from the default font.
CHARFORMAT CharFormatFromQt(const QTextCharFormat& format, const QFont& defaultFont);
// Only the properties in the format's mask are set. Bullets are a list, not a block property.
QTextBlockFormat ParaFormatToQt(const PARAFORMAT& format);
PARAFORMAT ParaFormatFromQt(const QTextBlockFormat& format, bool bullet);

// Replaces the document's text; the undo history and the modified flag are left to the caller.
void FillTextDocument(QTextDocument& target, const CRtfDocument& source);
CRtfDocument ReadTextDocument(const QTextDocument& source);
