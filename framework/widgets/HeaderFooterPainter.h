// Prints an item's header and footer on a page. The painter works in
// thousandths of an inch from the paper's top-left corner (y down): the
// header's top stands the header distance below the paper's top edge, the
// footer's bottom the footer distance above its bottom edge, both between the
// left and right margins, in the item's header font.
#pragma once

#include "framework/HeaderField.h"
#include "platform/Types.h"

#include <QFont>
#include <QRect>

class CProjectItemBase;
class QPageLayout;
class QPainter;

// The item's header font for painting in thousandths of an inch.
QFont HeaderFooterFont(const LOGFONT& font, int sizeTenthsPoint);
// A LOGFONT and size in tenths of a point from a chosen font, and back.
QFont FontFromLogFont(const LOGFONT& font, int sizeTenthsPoint);
void LogFontFromFont(const QFont& font, LOGFONT& out, int& sizeTenthsPoint);

// Maps the painter so that one unit is a thousandth of an inch from the
// paper's corner, for a device of the given resolution whose origin lies at
// the layout's paint rectangle (as a printer's does unless it prints full page).
void SetPaperCoordinates(QPainter& painter, const QPageLayout& layout, int resolution);
// The paper's size in thousandths of an inch.
SIZE PaperSizeThousandths(const QPageLayout& layout);
// The area inside the item's margins, in the same coordinates.
QRect GetPrintableRect(const CProjectItemBase& item, SIZE paper);

// Expands the codes and draws the line at y (its top with Qt::AlignTop, its
// bottom with Qt::AlignBottom) between left and right.
void ExpandHeaderField(QPainter& painter, Qt::Alignment verticalAlign, int left, int right, int y,
                       const QString& text, const HeaderFieldValues& values);
// Draws the header and footer of page (from 1) of pageCount.
void PrintHeaderFooter(QPainter& painter, const CProjectItemBase& item, SIZE paper, int page, int pageCount);

// Makes &T and &D follow the user's locale (short time, long date).
void InstallLocaleHeaderFormatters();
