// Pictures of a page: the paper or a part of it drawn into an image, a
// scalable picture (SVG), a document (PDF), or bytes of any of them for the
// clipboard. They draw as paper does (no handles or text frames) and fill
// the background with the page's paper colour, so that a picture at screen
// resolution looks as the page does on the screen.
#pragma once

#include "draw/DrawObj.h"

#include <QByteArray>
#include <QImage>

#include <functional>
#include <string>

class CDrawData;
class CDrawViewBase;
class QPainter;

// Which objects to draw (none: every shown object).
using DrawObjFilter = std::function<bool(CDrawObj*)>;

// Maps the painter so that the page area fills a device rectangle of the
// given size (device units), the area's upper-left corner at the device origin.
void MapPageArea(QPainter& painter, const RECT& area, double deviceWidth, double deviceHeight);
// Fills the area with the paper colour and draws the objects over it.
void DrawPageArea(QPainter& painter, CDrawData& page, const RECT& area, double deviceWidth, double deviceHeight,
                  const DrawObjFilter& filter = {}, bool fillPaper = true);

// The area at dpi dots per inch.
QImage RenderPageImage(CDrawData& page, const RECT& area, double dpi, const DrawObjFilter& filter = {});
QByteArray PageAreaToPng(CDrawData& page, const RECT& area, double dpi, const DrawObjFilter& filter = {});
QByteArray PageAreaToSvg(CDrawData& page, const RECT& area, const DrawObjFilter& filter = {});
// One PDF page of the area's size.
QByteArray PageAreaToPdf(CDrawData& page, const RECT& area, const DrawObjFilter& filter = {});

// File > Export: the whole paper as SVG, PDF or PNG (by the path's ending,
// else by format: "svg", "pdf" or "png"). False when the file cannot be written.
bool ExportPage(CDrawData& page, const std::string& path, const std::string& format, double dpi);

// A scalable picture (SVG text) drawn into a square PNG of size pixels, on a
// transparent background; empty when the text is no picture or size is not
// between 1 and 1024.
QByteArray SvgToPng(const QByteArray& svg, int size);
