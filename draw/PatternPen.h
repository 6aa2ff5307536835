// Lines drawn with dash patterns made by hand, so that dashes scale with the
// line width and look the same on the screen, on paper and in exported
// pictures, and so that the dash phase runs on across the corners of a
// polyline. Styles: 0 solid, 1 dash, 2 dot, 3 dash-dot, 4 dash-dot-dot, 5 none.
#pragma once

#include "platform/Types.h"

#include <QLineF>
#include <QPen>
#include <QPolygonF>

#include <vector>

class QPainter;

class CPatternPen {
public:
    CPatternPen() = default;
    ~CPatternPen() { Release(); }
    CPatternPen(const CPatternPen&) = delete;
    CPatternPen& operator=(const CPatternPen&) = delete;

    // Sets the pen up on the painter (none: the drawn lines are only recorded).
    void Create(QPainter* dc, int style, int width, COLORREF colour);
    // Whether a line width (page units) is drawn as a one-pixel hairline on the painter.
    static bool IsHairline(const QPainter& dc, int width);
    // Draws what is pending and gives the painter its previous pen back.
    void Release();

    void MoveTo(double x, double y);
    void LineTo(double x, double y);
    void Polyline(const POINT* points, int n);
    void Rectangle(const RECT& r);
    void Rectangle(int left, int top, int right, int bottom) { Rectangle(RECT{left, top, right, bottom}); }
    // Fills with the painter's brush (no outline), then outlines with the pattern and closes.
    void Polygon(const POINT* points, int n);
    // A Bézier curve of the given degree through n control points: the count
    // must fit (n a multiple of degree + 1 while n <= degree + 2, else n - 1 a
    // multiple of degree); false (nothing drawn) otherwise.
    bool PolyBezier(const POINT* points, int n, int degree);

    int GetStyle() const { return m_style; }
    int GetWidth() const { return m_width; }
    // Every stroke the pen put down (device-independent page units), for checks.
    void SetRecording(bool on) { m_recording = on; }
    const std::vector<QLineF>& Recorded() const { return m_recorded; }

private:
    void GdiMoveTo(double x, double y);
    void GdiLineTo(double x, double y);
    void Flush();
    double DashLength(int index) const;

    QPainter* m_dc = nullptr;
    QPen m_oldPen;
    bool m_created = false;
    int m_style = 0;
    int m_width = 0;
    double m_x = 0.0, m_y = 0.0;     // the pattern's current point
    double m_gdiX = 0.0, m_gdiY = 0.0; // where the next stroke starts
    bool m_penDown = true;
    double m_progress = 0.0;
    int m_index = 0;
    QPolygonF m_run;                 // a solid polyline being collected
    std::vector<QLineF> m_lines;     // dash strokes being collected
    bool m_recording = false;
    std::vector<QLineF> m_recorded;
};
