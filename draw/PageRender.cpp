#include "draw/PageRender.h"

#include "draw/DrawDC.h"
#include "draw/DrawData.h"

#include <QBuffer>
#include <QColor>
#include <QFile>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <QSvgRenderer>

#include <algorithm>
#include <cctype>
#include <cmath>

namespace {
QColor ToColour(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }

double AreaWidth(const RECT& a) { return std::max<double>(1, a.right - a.left); }
double AreaHeight(const RECT& a) { return std::max<double>(1, a.bottom - a.top); }

// Screen pixels per inch that SVG pictures are measured in.
constexpr double kSvgDpi = 96.0;
} // namespace

void MapPageArea(QPainter& painter, const RECT& area, double deviceWidth, double deviceHeight)
{
    const RECT a = NormalizedRect(area);
    const double sx = deviceWidth / AreaWidth(a), sy = deviceHeight / AreaHeight(a);
    // Page y grows upwards: the area's upper edge is its larger y.
    painter.scale(sx, -sy);
    painter.translate(-a.left, -a.bottom);
}

void DrawPageArea(QPainter& painter, CDrawData& page, const RECT& area, double deviceWidth, double deviceHeight,
                  const DrawObjFilter& filter, bool fillPaper)
{
    const RECT a = NormalizedRect(area);
    painter.save();
    if (fillPaper)
        painter.fillRect(QRectF(0, 0, deviceWidth, deviceHeight), ToColour(page.m_crPaper));
    MapPageArea(painter, a, deviceWidth, deviceHeight);
    CDrawDC dc;
    dc.painter = &painter;
    dc.printing = true;
    dc.pixelX = AreaWidth(a) / std::max(1.0, deviceWidth);
    dc.pixelY = AreaHeight(a) / std::max(1.0, deviceHeight);
    dc.clip = a;
    for (CDrawObj* obj : page.GetObjects()) {
        if (!obj->IsShown() || (filter && !filter(obj)))
            continue;
        obj->Draw(dc, nullptr);
    }
    painter.restore();
}

QImage RenderPageImage(CDrawData& page, const RECT& area, double dpi, const DrawObjFilter& filter)
{
    const RECT a = NormalizedRect(area);
    const int w = std::max(1, int(std::lround(AreaWidth(a) * dpi / kUnitsPerInch)));
    const int h = std::max(1, int(std::lround(AreaHeight(a) * dpi / kUnitsPerInch)));
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    const int dotsPerMetre = int(std::lround(dpi / 0.0254));
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    image.fill(ToColour(page.m_crPaper));
    QPainter painter(&image);
    // The exact scale, not the rounded pixel count: the picture matches the
    // page at dpi whatever its last fraction of a pixel.
    DrawPageArea(painter, page, a, AreaWidth(a) * dpi / kUnitsPerInch, AreaHeight(a) * dpi / kUnitsPerInch, filter);
    return image;
}

QByteArray PageAreaToPng(CDrawData& page, const RECT& area, double dpi, const DrawObjFilter& filter)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    RenderPageImage(page, area, dpi, filter).save(&buffer, "PNG");
    return bytes;
}

QByteArray PageAreaToSvg(CDrawData& page, const RECT& area, const DrawObjFilter& filter)
{
    const RECT a = NormalizedRect(area);
    const double w = AreaWidth(a) * kSvgDpi / kUnitsPerInch, h = AreaHeight(a) * kSvgDpi / kUnitsPerInch;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setResolution(int(kSvgDpi));
    svg.setSize(QSize(int(std::ceil(w)), int(std::ceil(h))));
    svg.setViewBox(QRectF(0, 0, w, h));
    svg.setTitle(QStringLiteral("Marlox graph"));
    {
        QPainter painter(&svg);
        DrawPageArea(painter, page, a, w, h, filter);
    }
    return bytes;
}

QByteArray PageAreaToPdf(CDrawData& page, const RECT& area, const DrawObjFilter& filter)
{
    const RECT a = NormalizedRect(area);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&buffer);
    pdf.setCreator(QStringLiteral("Marlox"));
    // One point of the PDF page is 10 page units; the page is exactly the area.
    pdf.setResolution(kUnitsPerInch);
    pdf.setPageSize(QPageSize(QSizeF(AreaWidth(a) / kUnitsPerInch, AreaHeight(a) / kUnitsPerInch), QPageSize::Inch,
                              QString(), QPageSize::ExactMatch));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    {
        QPainter painter(&pdf);
        DrawPageArea(painter, page, a, AreaWidth(a), AreaHeight(a), filter);
    }
    return bytes;
}

bool ExportPage(CDrawData& page, const std::string& path, const std::string& format, double dpi)
{
    std::string kind = format;
    const std::size_t dot = path.find_last_of('.');
    if (dot != std::string::npos && path.find('/', dot) == std::string::npos)
        kind = path.substr(dot + 1);
    std::transform(kind.begin(), kind.end(), kind.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    const RECT paper = page.GetPaperRect();
    QByteArray bytes;
    if (kind == "svg")
        bytes = PageAreaToSvg(page, paper);
    else if (kind == "pdf")
        bytes = PageAreaToPdf(page, paper);
    else if (kind == "png")
        bytes = PageAreaToPng(page, paper, dpi > 0 ? dpi : 96.0);
    else
        return false;
    if (bytes.isEmpty())
        return false;
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(bytes) == bytes.size() && file.flush();
}

QByteArray SvgToPng(const QByteArray& svg, int size)
{
    if (size < 1 || size > 1024)
        return {};
    QSvgRenderer renderer(svg);
    if (!renderer.isValid())
        return {};
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter, QRectF(0, 0, size, size));
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        return {};
    return bytes;
}
