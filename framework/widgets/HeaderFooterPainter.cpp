#include "framework/widgets/HeaderFooterPainter.h"

#include "framework/PageSetupMetrics.h"
#include "framework/ProjectItemBase.h"

#include <QDate>
#include <QFontMetrics>
#include <QLocale>
#include <QTime>
#include <QPageLayout>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstring>

QFont FontFromLogFont(const LOGFONT& lf, int sizeTenthsPoint)
{
    QFont font(QString::fromLatin1(lf.lfFaceName));
    font.setPointSizeF(std::max(sizeTenthsPoint, 10) / 10.0);
    if (lf.lfWeight > 0)
        font.setWeight(static_cast<QFont::Weight>(std::clamp<int>(lf.lfWeight, 1, 1000)));
    font.setItalic(lf.lfItalic != 0);
    font.setUnderline(lf.lfUnderline != 0);
    font.setStrikeOut(lf.lfStrikeOut != 0);
    return font;
}

void LogFontFromFont(const QFont& font, LOGFONT& out, int& sizeTenthsPoint)
{
    QByteArray face = font.family().toLatin1().left(LF_FACESIZE - 1);
    std::memset(out.lfFaceName, 0, sizeof out.lfFaceName);
    std::memcpy(out.lfFaceName, face.constData(), static_cast<std::size_t>(face.size()));
    out.lfWeight = static_cast<LONG>(font.weight());
    out.lfItalic = font.italic() ? 1 : 0;
    out.lfUnderline = font.underline() ? 1 : 0;
    out.lfStrikeOut = font.strikeOut() ? 1 : 0;
    if (font.pointSizeF() > 0)
        sizeTenthsPoint = static_cast<int>(std::lround(font.pointSizeF() * 10));
}

QFont HeaderFooterFont(const LOGFONT& lf, int sizeTenthsPoint)
{
    QFont font = FontFromLogFont(lf, sizeTenthsPoint);
    font.setPixelSize(std::max<int>(1, static_cast<int>(-HeaderFontHeight(sizeTenthsPoint))));
    return font;
}

SIZE PaperSizeThousandths(const QPageLayout& layout)
{
    QSizeF inches = layout.fullRect(QPageLayout::Inch).size();
    return SIZE{static_cast<LONG>(std::lround(inches.width() * 1000)), static_cast<LONG>(std::lround(inches.height() * 1000))};
}

void SetPaperCoordinates(QPainter& painter, const QPageLayout& layout, int resolution)
{
    QRect paint = layout.paintRectPixels(resolution);
    double scale = resolution / 1000.0;
    painter.resetTransform();
    painter.translate(-paint.left(), -paint.top());
    painter.scale(scale, scale);
}

QRect GetPrintableRect(const CProjectItemBase& item, SIZE paper)
{
    const RECT& m = item.m_rcMargins;
    return QRect(QPoint(m.left, m.top), QPoint(paper.cx - m.right - 1, paper.cy - m.bottom - 1));
}

void ExpandHeaderField(QPainter& painter, Qt::Alignment verticalAlign, int left, int right, int y,
                       const QString& text, const HeaderFieldValues& values)
{
    ExpandedHeaderLine line = ExpandHeaderText(text.toStdString(), values);
    QString shown = QString::fromStdString(line.text);
    QFontMetrics metrics(painter.font(), painter.device());
    int width = metrics.horizontalAdvance(shown);
    int x = HeaderAnchorX(line.align, left, right);
    if (line.align == EHeaderAlign::right)
        x -= width;
    else if (line.align == EHeaderAlign::center)
        x -= width / 2;
    int baseline = verticalAlign & Qt::AlignBottom ? y - metrics.descent() : y + metrics.ascent();
    painter.drawText(QPoint(x, baseline), shown);
}

void PrintHeaderFooter(QPainter& painter, const CProjectItemBase& item, SIZE paper, int page, int pageCount)
{
    painter.save();
    painter.setFont(HeaderFooterFont(item.m_lfHeaderFooter, item.m_nHeaderFooterSize));
    painter.setPen(Qt::black);
    HeaderFieldValues values = GetHeaderFieldValues(item, page, pageCount);
    QRect area = GetPrintableRect(item, paper);
    int right = area.left() + area.width();
    ExpandHeaderField(painter, Qt::AlignTop, area.left(), right, item.m_nHeaderDistance,
                      QString::fromStdString(item.m_strHeader), values);
    ExpandHeaderField(painter, Qt::AlignBottom, area.left(), right, paper.cy - item.m_nFooterDistance,
                      QString::fromStdString(item.m_strFooter), values);
    painter.restore();
}

namespace {

std::string LocaleTime(const SYSTEMTIME& t)
{
    return QLocale::system().toString(QTime(t.wHour, t.wMinute), QLocale::ShortFormat).toStdString();
}

std::string LocaleDate(const SYSTEMTIME& t)
{
    return QLocale::system().toString(QDate(t.wYear, t.wMonth, t.wDay), QLocale::LongFormat).toStdString();
}

} // namespace

void InstallLocaleHeaderFormatters() { SetHeaderTimeFormatters(&LocaleTime, &LocaleDate); }
