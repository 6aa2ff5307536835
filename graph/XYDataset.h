// A plotted series of a graph: points (x, y) with optional error values,
// drawn as symbols, error bars and a join line against the graph's axes it
// lists. The kinds fill the point arrays from their source (a table's
// columns, a fit, an equation); this base keeps the styles, the stored
// record, the ranges for autoscaling, and the drawing of symbols, error bars
// and join lines.
#pragma once

#include "platform/Object.h"
#include "platform/Types.h"

#include <string>
#include <vector>

class CDrawGraph;
class CGraphSources;
class CMXProjectItem;
class CPatternPen;
class CUpdateNotification;
class CXYAxis;
struct CDrawDC;
struct CColumnRef;
class QPointF;

class CXYDataset : public CObject {
    DECLARE_SERIAL(CXYDataset)
public:
    CXYDataset() = default;
    explicit CXYDataset(CDrawGraph* graph);
    ~CXYDataset() override = default;
    CXYDataset(const CXYDataset&) = delete;
    CXYDataset& operator=(const CXYDataset&) = delete;

    void Serialize(CArchive& ar) override;

    virtual void DrawPoints(CDrawDC& dc, CXYAxis& x, CXYAxis& y, int ordinal);
    virtual void DrawCurve(CDrawDC& dc, CXYAxis& x, CXYAxis& y, int ordinal) {}
    virtual void DrawLegendSymbol(CDrawDC& dc, const RECT& rect);
    virtual bool GetXRange(bool positiveOnly, double& min, double& max);
    virtual bool GetYRange(bool positiveOnly, double& min, double& max);
    virtual void OnXAxisDeleted(int index);
    virtual void OnYAxisDeleted(int index);
    virtual void Recalculate();
    virtual CXYDataset* Clone(CDrawGraph* graph) const { return nullptr; }
    // Reacts to a workspace notice; sets removed when it asked its graph to remove it.
    virtual void OnNotify(CUpdateNotification& notice, bool& removed) {}
    virtual bool IsAffectedBy(const CUpdateNotification& notice) const { return false; }
    virtual std::string GetXName() const { return {}; }
    virtual std::string GetYName() const { return {}; }
    virtual bool HasDataPoints() const { return true; }
    // The bar type of a chart series (0 bars, 1 area, 2 none); -1 for other datasets.
    virtual int GetBarType() const { return -1; }
    // Whether the value axis of that direction should show the zero line
    // from which the dataset's bars rise.
    virtual bool RangeIncludesZero(bool vertical) const { return false; }
    // Why nothing is drawn for the dataset (a legend entry shows it); empty when all is well.
    virtual std::string GetNotice() const { return {}; }

    int GetPointCount();
    bool FindXAxis(int index) const;
    bool FindYAxis(int index) const;
    bool UsesAxes(int x, int y) const { return FindXAxis(x) && FindYAxis(y); }
    void AddXAxis(int index);
    void AddYAxis(int index);
    void CopyStyle(CXYDataset& other) const;
    CDrawGraph* GetGraph() const { return m_pGraph; }
    void SetGraph(CDrawGraph* graph) { m_pGraph = graph; }
    CGraphSources* GetSources() const;
    void SetModified();
    void Repaint();

    // Symbols, error bars and join lines.
    int SymbolHalfSize() const;
    int ScaleSymbolSize(int base) const;
    void DrawSymbol(CDrawDC& dc, int x, int y, int r) const;
    void DrawErrorBars(CDrawDC& dc, CXYAxis& x, CXYAxis& y);
    void DrawPointErrorBars(CPatternPen& pen, std::size_t i, CXYAxis& x, CXYAxis& y, int cap);
    void DrawLines(CDrawDC& dc, CXYAxis& x, CXYAxis& y);
    // The straight joins of the first n points, with the pen set up and the clip applied.
    void DrawStraightJoins(CDrawDC& dc, CPatternPen& pen, CXYAxis& x, CXYAxis& y, std::size_t n);
    void SetClipToAxes(CDrawDC& dc, CXYAxis& x, CXYAxis& y) const;
    void ExcludeSymbolAreas(CDrawDC& dc, CXYAxis& x, CXYAxis& y);
    void GetSymbolOutline(int& style, int& width) const;
    void SetSymbolOutline(int style, int width);

    // The two control points of an interior point of a smooth join, as a
    // vector along the chord of its neighbours (none when they coincide).
    static bool BezierControlPoints(POINT previous, POINT next, POINT point, POINT& before, POINT& after, int divisor);
    // The Cox-de Boor basis function i of the order at t (clamped uniform knots over m control points).
    static double BSplineBasis(int i, int order, double t, int m);
    // The smooth join's Bezier list (3m - 2 entries) through the points; empty below 2.
    static std::vector<POINT> BezierList(const std::vector<POINT>& points, int divisor);
    // The 201 samples of a B-spline join of the order; empty when there are fewer than 2q points.
    static std::vector<POINT> BSplineSamples(const std::vector<POINT>& points, int order);
    // A long polyline reduced, per device pixel column, to its first, lowest,
    // highest and last point: a hairline spans the same rows in each column.
    static std::vector<QPointF> ReduceForPixels(const std::vector<QPointF>& points, double pixel);

    // Fields (public: the property pages edit them).
    int m_nYErrorMode = 0;
    int m_nXErrorMode = 0;
    double m_dXAbsError = 1.0;
    double m_dXPropError = 10.0;
    double m_dYAbsError = 1.0;
    double m_dYPropError = 10.0;
    std::string m_strSource;
    int m_nXMinusColumn = -1;
    int m_nXPlusColumn = -1;
    int m_nYMinusColumn = -1;
    int m_nYPlusColumn = -1;
    int m_nErrorCaps = 1;
    int m_nXYErrorStyle = 0;
    int m_nErrorWidth = 8;
    COLORREF m_crError = 0;
    int m_bSymbolOutline = 1;
    COLORREF m_crSymbolOutline = 0;
    int m_nSymbolOutlineWidth = 8;
    int m_bSymbolFill = 1;
    LOGBRUSH m_symbolBrush{};
    int m_nSymbolShape = 0;
    int m_nSymbolSize = 9;
    int m_bSymbolGap = 0;
    int m_bTransform = 0;
    std::string m_strTransform;
    std::vector<std::uint32_t> m_xAxes;
    std::vector<std::uint32_t> m_yAxes;
    int m_nJoinType = 0;
    COLORREF m_crJoin = 0;
    int m_nJoinWidth = 8;
    int m_nJoinStyle = 0;

    int m_bPointsValid = 0;
    std::vector<double> m_x, m_y, m_yPlus, m_yMinus, m_xPlus, m_xMinus;

protected:
    void ClearPoints();
    // A rename of the item named (case-blind) or of the transformation item.
    void FollowRename(const CUpdateNotification& notice, std::string& name);
    // Follows columns inserted into or deleted from the source table:
    // references at or after the first move along, references to deleted
    // columns become -1 (and the points are rebuilt).
    void FollowColumnShift(const std::vector<int*>& refs, const CUpdateNotification& notice);
    // How a dataset that reads the columns refs of the table it names
    // follows a notice: renames, removal, column shifts, and a rebuild for
    // whatever IsAffectedBy reports.
    void NotifyTableColumns(CUpdateNotification& notice, bool& removed, const std::vector<int*>& refs);
    // Asks the graph to take this dataset away (it is deleted after the notice round).
    void AskRemoval(bool& removed);
    // Device positions of the points (the marks where an axis cannot place one).
    void DevicePoints(CXYAxis& x, CXYAxis& y, std::vector<POINT>& out);
    bool Inside(std::size_t i, const CXYAxis& x, const CXYAxis& y) const;
    void SelectSymbolTools(CDrawDC& dc, CPatternPen& pen) const;

    CDrawGraph* m_pGraph = nullptr;
};

// Symbol size table: numerator and denominator of each entry.
inline constexpr int kSymbolSizeCount = 13;
inline constexpr int kSymbolSizes[kSymbolSizeCount][2] = {{1, 50}, {1, 30}, {1, 20}, {1, 10}, {1, 5}, {1, 3}, {1, 2},
                                                          {2, 3},  {3, 4},  {1, 1},  {5, 4}, {3, 2}, {7, 4}};
