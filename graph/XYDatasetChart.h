// One series of a column or bar chart: one value per category, read from a
// column of a data table (row 2 is the first category), optionally with a
// second column where each bar starts, and error bars at both ends. The
// categories and how the series of a category share its width (side by
// side, overlapping or stacked, as values or as percentages of the
// category's total) come from the graph's category axis.
#pragma once

#include "graph/XYDataset.h"

struct CCategoryAxisData;

// Where the bars of one category lie, in category-axis units (one category
// is 1.0 wide; category i starts at minimum + i).
struct CBarLayout {
    double g = 0.0;       // free space on each side of a category's group
    double w = 1.0;       // the width of one bar
    double step = 0.0;    // the shift between neighbouring bars beyond a bar's width
    double minimum = 0.0; // the category axis' minimum

    // The start of the bar of legend position k in category i (it ends at start + w).
    double Start(int k, int i) const { return minimum + i + g + k * (w + step); }
    double Centre(int k, int i) const { return Start(k, i) + w / 2.0; }

    // The layout of n series on an axis with those settings.
    static CBarLayout Make(const CCategoryAxisData& settings, double minimum, int n);
};

class CXYDatasetChart : public CXYDataset {
    DECLARE_SERIAL(CXYDatasetChart)
public:
    CXYDatasetChart() = default;
    // A series of the table's upper column (and lower column when not -1),
    // with their error columns (-1 for none).
    CXYDatasetChart(const std::string& source, int upper, int upperError, int lower, int lowerError,
                    CDrawGraph* graph);

    void Serialize(CArchive& ar) override;
    void DrawCurve(CDrawDC& dc, CXYAxis& x, CXYAxis& y, int ordinal) override;
    void DrawLegendSymbol(CDrawDC& dc, const RECT& rect) override;
    void Recalculate() override;
    void OnNotify(CUpdateNotification& notice, bool& removed) override;
    bool IsAffectedBy(const CUpdateNotification& notice) const override;
    int GetBarType() const override { return m_nBarType; }

    virtual void DrawJoinLine(CDrawDC& dc, CXYAxis& x, CXYAxis& y);
    // Page points of the two ends of every drawn bar, in category order.
    virtual void GetBarEnds(std::vector<POINT>& upper, std::vector<POINT>& lower, CXYAxis& x, CXYAxis& y, int k) {}
    virtual void DrawBars(CDrawDC& dc, CXYAxis& x, CXYAxis& y, int k) {}

    void CopyTo(CXYDatasetChart& target) const;
    // The sum of every series' value in category i (blanks left out).
    double GetCategoryTotal(int i);
    // The sum of the values in category i of the series ahead in legend order.
    double GetStackBase(int k, int i);
    // This series' position in the legend order; -1 when it has none.
    int GetLegendIndex() const;
    // Whether a list of changed (item, column) entries touches a column this series reads.
    bool UsesChangedColumns(const std::vector<CColumnRef>& list) const;
    // The number of categories (read again while the arrays are rebuilt).
    int GetCategoryCount() const;

    // The values of the two ends of the bar of category i for legend
    // position k; false when the category is not drawn.
    bool BarEnds(int k, int i, const CCategoryAxisData& settings, double& upper, double& lower);
    // The page rectangles of the bars (bar type 0) in category order.
    std::vector<RECT> BarRects(CXYAxis& x, CXYAxis& y, int k);

    // One drawn bar: its category, where it starts across the category
    // axis, and the values of its two ends.
    struct CBarPlace {
        int category;
        double start, upper, lower;
    };
    std::vector<CBarPlace> DrawnBars(CXYAxis& x, CXYAxis& y, int k, CBarLayout& layout);

    int m_nUpperColumn = -1;
    int m_nLowerColumn = -1;
    int m_nBarType = 0;
    int m_bBackOn = 1;
    int m_bNegative = 0;
    COLORREF m_crFore = 0x00C0C0C0;
    COLORREF m_crBack = 0x00FFFFFF;
    COLORREF m_crNegFore = 0x00C0C0C0;
    COLORREF m_crNegBack = 0x00FFFFFF;
    int m_nFillStyle = 6;
    COLORREF m_crOutline = 0;
    int m_nOutlineWidth = 8;
    int m_nOutlineStyle = 0;

protected:
    // Values run along x (bars) rather than y (columns).
    virtual bool Horizontal() const { return false; }
    CXYAxis& CategoryAxis(CXYAxis& x, CXYAxis& y) const { return Horizontal() ? y : x; }
    CXYAxis& ValueAxis(CXYAxis& x, CXYAxis& y) const { return Horizontal() ? x : y; }
    // A page point from a category and a value coordinate.
    POINT At(int category, int value) const { return Horizontal() ? POINT{value, category} : POINT{category, value}; }
    CBarLayout LayoutFor(CXYAxis& x, CXYAxis& y) const;
    // Bars or an area drawn up from zero (no column of bar starts).
    bool RisesFromZero() const { return m_nLowerColumn == -1 && (m_nBarType == 0 || m_nBarType == 1); }
    void SelectBarBrush(CDrawDC& dc, bool positive) const;
    void BarEndsOnPage(std::vector<POINT>& upper, std::vector<POINT>& lower, CXYAxis& x, CXYAxis& y, int k);
    void DrawBarsOnPage(CDrawDC& dc, CXYAxis& x, CXYAxis& y, int k);
    void DrawChartPoints(CDrawDC& dc, CXYAxis& x, CXYAxis& y, int k);
    void DrawChartErrorBars(CDrawDC& dc, CXYAxis& x, CXYAxis& y, int k);
    // The range of the bar ends with their error bars along the value axis.
    bool ValueRange(bool positiveOnly, double& min, double& max);
    const CCategoryAxisData& Settings(CXYAxis& x, CXYAxis& y) const;

private:
    // The column references a column change moves (the used error columns included).
    std::vector<int*> ColumnRefs();
    bool EnsurePoints();
};

// Vertical columns: categories along X, values up Y.
class CXYDatasetColChart : public CXYDatasetChart {
    DECLARE_SERIAL(CXYDatasetColChart)
public:
    CXYDatasetColChart() = default;
    CXYDatasetColChart(const std::string& source, int upper, int upperError, int lower, int lowerError,
                       CDrawGraph* graph)
        : CXYDatasetChart(source, upper, upperError, lower, lowerError, graph)
    {
    }
    void DrawPoints(CDrawDC& dc, CXYAxis& x, CXYAxis& y, int ordinal) override { DrawChartPoints(dc, x, y, ordinal); }
    bool GetYRange(bool positiveOnly, double& min, double& max) override { return ValueRange(positiveOnly, min, max); }
    bool RangeIncludesZero(bool vertical) const override { return vertical && RisesFromZero(); }
    CXYDataset* Clone(CDrawGraph* graph) const override;
    void GetBarEnds(std::vector<POINT>& upper, std::vector<POINT>& lower, CXYAxis& x, CXYAxis& y, int k) override
    {
        BarEndsOnPage(upper, lower, x, y, k);
    }
    void DrawBars(CDrawDC& dc, CXYAxis& x, CXYAxis& y, int k) override { DrawBarsOnPage(dc, x, y, k); }
};

// Horizontal bars: values along X, categories down Y.
class CXYDatasetBarChart : public CXYDatasetChart {
    DECLARE_SERIAL(CXYDatasetBarChart)
public:
    CXYDatasetBarChart() = default;
    CXYDatasetBarChart(const std::string& source, int upper, int upperError, int lower, int lowerError,
                       CDrawGraph* graph)
        : CXYDatasetChart(source, upper, upperError, lower, lowerError, graph)
    {
    }
    void DrawPoints(CDrawDC& dc, CXYAxis& x, CXYAxis& y, int ordinal) override { DrawChartPoints(dc, x, y, ordinal); }
    bool GetXRange(bool positiveOnly, double& min, double& max) override { return ValueRange(positiveOnly, min, max); }
    bool RangeIncludesZero(bool vertical) const override { return !vertical && RisesFromZero(); }
    CXYDataset* Clone(CDrawGraph* graph) const override;
    void GetBarEnds(std::vector<POINT>& upper, std::vector<POINT>& lower, CXYAxis& x, CXYAxis& y, int k) override
    {
        BarEndsOnPage(upper, lower, x, y, k);
    }
    void DrawBars(CDrawDC& dc, CXYAxis& x, CXYAxis& y, int k) override { DrawBarsOnPage(dc, x, y, k); }

protected:
    bool Horizontal() const override { return true; }
};
