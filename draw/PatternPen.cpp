#include "draw/PatternPen.h"

#include "draw/DrawTypes.h"

#include <QColor>
#include <QPainter>

#include <cmath>

namespace {
// Dash and gap lengths in eighths of the line width, repeated cyclically.
constexpr int kDash[5][6] = {
    {0, 0, 0, 0, 0, 0},
    {92, 57, 0, 0, 0, 0},
    {23, 57, 0, 0, 0, 0},
    {92, 57, 23, 57, 0, 0},
    {92, 57, 23, 57, 23, 57},
};
constexpr int kDashCount[5] = {0, 2, 2, 4, 6};
// A hairline (width 0) is one device pixel thick whatever its zoom; its
// dashes take the lengths of the default line width so that the pattern
// still shows (a length of zero would never advance along the line).
constexpr int kHairlineDashWidth = 8;

double Truncate(double v) { return std::trunc(v); }
} // namespace

void CPatternPen::Create(QPainter* dc, int style, int width, COLORREF colour)
{
    Release();
    m_dc = dc;
    m_style = style & 15;
    if (m_style > PS_NULL)
        m_style = PS_SOLID;
    m_width = width;
    m_created = true;
    m_progress = 0.0;
    m_index = 0;
    m_penDown = true;
    if (!m_dc)
        return;
    m_oldPen = m_dc->pen();
    QPen pen;
    if (m_style == PS_NULL) {
        pen = QPen(Qt::NoPen);
    } else {
        const QColor c(GetRValue(colour), GetGValue(colour), GetBValue(colour));
        // A line no wider than a device pixel is drawn as a hairline: the
        // device has nothing finer to show, and stroking outlines with round
        // ends and joins for it would cost far more than the line is worth.
        if (IsHairline(*m_dc, width))
            pen = QPen(c, 0, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
        else
            pen = QPen(c, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    }
    m_dc->setPen(pen);
}

bool CPatternPen::IsHairline(const QPainter& dc, int width)
{
    const double scale = std::sqrt(std::abs(dc.worldTransform().determinant()));
    return width <= 0 || width * scale < 1.5;
}

void CPatternPen::Release()
{
    if (!m_created)
        return;
    Flush();
    if (m_dc)
        m_dc->setPen(m_oldPen);
    m_dc = nullptr;
    m_created = false;
}

void CPatternPen::Flush()
{
    if (m_dc) {
        if (m_run.size() >= 2)
            m_dc->drawPolyline(m_run);
        if (!m_lines.empty())
            m_dc->drawLines(m_lines.data(), int(m_lines.size()));
    }
    m_run.clear();
    m_lines.clear();
}

void CPatternPen::GdiMoveTo(double x, double y)
{
    m_gdiX = Truncate(x);
    m_gdiY = Truncate(y);
    if (m_style == PS_SOLID) {
        if (m_run.size() >= 2 && m_dc)
            m_dc->drawPolyline(m_run);
        m_run.clear();
        m_run << QPointF(m_gdiX, m_gdiY);
    }
}

void CPatternPen::GdiLineTo(double x, double y)
{
    const QPointF from(m_gdiX, m_gdiY), to(Truncate(x), Truncate(y));
    if (m_recording)
        m_recorded.emplace_back(from, to);
    if (m_style == PS_SOLID) {
        if (m_run.isEmpty())
            m_run << from;
        m_run << to;
    } else if (m_style != PS_NULL) {
        m_lines.emplace_back(from, to);
    }
    m_gdiX = to.x();
    m_gdiY = to.y();
}

double CPatternPen::DashLength(int index) const
{
    const int width = m_width > 0 ? m_width : kHairlineDashWidth;
    return kDash[m_style][index] * width * 0.125;
}

void CPatternPen::MoveTo(double x, double y)
{
    m_x = x;
    m_y = y;
    m_progress = 0.0;
    m_index = 0;
    m_penDown = true;
    GdiMoveTo(x, y);
}

void CPatternPen::LineTo(double x, double y)
{
    if (m_style == PS_SOLID) {
        GdiLineTo(x, y);
        m_x = x;
        m_y = y;
        return;
    }
    if (m_style == PS_NULL) {
        MoveTo(x, y);
        return;
    }
    double d = std::hypot(x - m_x, y - m_y);
    if (d == 0.0)
        return;
    double rest = DashLength(m_index) - m_progress;
    while (d >= rest) {
        // Move the current point the rest of the dash (or gap) along the segment.
        const double f = rest / d;
        m_x += (x - m_x) * f;
        m_y += (y - m_y) * f;
        if (m_penDown)
            GdiLineTo(m_x, m_y);
        else
            GdiMoveTo(m_x, m_y);
        m_penDown = !m_penDown;
        m_progress = 0.0;
        m_index = (m_index + 1) % kDashCount[m_style];
        rest = DashLength(m_index);
        d = std::hypot(x - m_x, y - m_y);
    }
    if (m_penDown)
        GdiLineTo(x, y);
    else
        GdiMoveTo(x, y);
    m_progress += d;
    m_x = x;
    m_y = y;
}

void CPatternPen::Polyline(const POINT* points, int n)
{
    if (n <= 0 || !points)
        return;
    MoveTo(points[0].x, points[0].y);
    for (int i = 1; i < n; ++i)
        LineTo(points[i].x, points[i].y);
}

void CPatternPen::Rectangle(const RECT& r)
{
    const POINT corners[4] = {{r.left, r.top}, {r.right, r.top}, {r.right, r.bottom}, {r.left, r.bottom}};
    Polygon(corners, 4);
}

void CPatternPen::Polygon(const POINT* points, int n)
{
    if (n <= 0 || !points)
        return;
    Flush();
    if (m_dc && m_style == PS_SOLID && !m_recording) {
        // Solid: fill and outline in one go, as the outline closes the shape anyway.
        QPolygonF polygon;
        polygon.reserve(n);
        for (int i = 0; i < n; ++i)
            polygon << QPointF(points[i].x, points[i].y);
        m_dc->drawPolygon(polygon, Qt::OddEvenFill);
        m_x = points[0].x;
        m_y = points[0].y;
        return;
    }
    if (m_dc && m_dc->brush().style() != Qt::NoBrush) {
        const QPen pen = m_dc->pen();
        m_dc->setPen(Qt::NoPen);
        QPolygonF polygon;
        polygon.reserve(n);
        for (int i = 0; i < n; ++i)
            polygon << QPointF(points[i].x, points[i].y);
        m_dc->drawPolygon(polygon, Qt::OddEvenFill);
        m_dc->setPen(pen);
    }
    Polyline(points, n);
    if (n >= 2)
        LineTo(points[0].x, points[0].y);
    Flush();
}

bool CPatternPen::PolyBezier(const POINT* points, int n, int degree)
{
    if (!points || n <= 0 || degree <= 0)
        return false;
    if (n <= degree + 2 ? n % (degree + 1) != 0 : (n - 1) % degree != 0)
        return false;
    // Each segment takes degree + 1 points and hands its last to the next,
    // so n points make (n - 1) / degree segments.
    const int segments = (n - 1) / degree;
    MoveTo(points[0].x, points[0].y);
    std::vector<float> xs(std::size_t(degree) + 1), ys(std::size_t(degree) + 1);
    for (int s = 0; s < segments; ++s) {
        const POINT* control = points + std::size_t(s) * std::size_t(degree);
        for (int i = 0; i <= 64; ++i) {
            const float a = float(64 - i) / 64.0f, b = float(i) / 64.0f;
            for (int k = 0; k <= degree; ++k) {
                xs[std::size_t(k)] = float(control[k].x);
                ys[std::size_t(k)] = float(control[k].y);
            }
            // De Casteljau: each round blends neighbours and drops the last point.
            for (int round = degree; round > 0; --round)
                for (int k = 0; k < round; ++k) {
                    xs[std::size_t(k)] = a * xs[std::size_t(k)] + b * xs[std::size_t(k) + 1];
                    ys[std::size_t(k)] = a * ys[std::size_t(k)] + b * ys[std::size_t(k) + 1];
                }
            LineTo(Truncate(xs[0]), Truncate(ys[0]));
        }
    }
    return true;
}
