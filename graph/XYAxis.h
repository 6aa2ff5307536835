// An axis of a graph: maps values of one direction onto its stretch of the
// graph's frame, scales itself to the data of the datasets plotted on it,
// and draws its line, ticks and grid. Its title and tick labels are drawing
// objects of the page that the axis owns and the page stores.
#pragma once

#include "platform/Object.h"
#include "platform/Types.h"

#include <cmath>
#include <string>
#include <vector>

class CArchive;
class CDrawData;
class CDrawGraph;
class CGraphText;
class CPatternPen;
class CUpdateNotification;
class CXYScaleText;
class CDrawObj;
struct CDrawDC;

using CDrawObjList = std::vector<CDrawObj*>;

// The category settings that every axis stores (used by category axes).
struct CCategoryAxisData {
    std::string tableName;
    int column = -1;
    int labelStart = 1;
    int labelInterval = 1;
    int tickInterval = 1;
    int crossingCategory = 1;
    double overlap = -25.0;
    double gap = 50.0;
    int ticksBetween = 1;
    int percentages = 0;
    int grouping = 0;
    // The category names read from the table, and whether they are current
    // (neither is stored).
    bool labelsValid = false;
    std::vector<std::string> labels;

    void Serialize(CArchive& ar);
};

// An axis' value-to-device mapping taken once, for mapping many values:
// the same results as CXYAxis::ValueToDevice.
struct CAxisMapping {
    bool log = false;
    bool valid = false;
    double lo = 0.0;     // the minimum (its logarithm on a logarithmic axis)
    double factor = 0.0; // page units per value (per decade on a logarithmic axis)
    double start = 0.0;
    int Map(double v) const
    {
        if (!valid)
            return kLow;
        double d = 0.0;
        if (log) {
            if (!(v > 0.0))
                return kLow;
            d = (std::log10(v) - lo) * factor + start;
        } else
            d = (v - lo) * factor + start;
        // A coordinate beyond the marks (or NaN) cannot be drawn; the marks break join lines.
        if (!(d >= kLow))
            return kLow;
        if (d > kHigh)
            return kHigh;
        return static_cast<int>(d);
    }
    static constexpr int kLow = -32768;
    static constexpr int kHigh = 32767;
};

class CXYAxis : public CObject {
    DECLARE_SERIAL(CXYAxis)
public:
    CXYAxis() = default;
    ~CXYAxis() override = default;
    CXYAxis(const CXYAxis&) = delete;
    CXYAxis& operator=(const CXYAxis&) = delete;

    // Binds the axis to a graph and sets every default.
    void SetGraph(CDrawGraph* graph);
    CDrawGraph* GetGraph() const { return m_pGraph; }
    virtual bool IsVertical() const { return false; }

    // Creates the default title and tick labels on the graph's page.
    void CreateLabels(int number, bool otherSide);
    void CopySettings(CXYAxis& target) const;

    // Maps a value to a page coordinate along the axis, limited to the marks.
    virtual int ValueToDevice(double value) const;
    virtual CAxisMapping GetMapping() const;
    static constexpr int kLowMark = CAxisMapping::kLow;
    static constexpr int kHighMark = CAxisMapping::kHigh;
    bool Contains(double value) const { return value >= m_dMin && value <= m_dMax; }

    void Autoscale(bool logarithmic, double& min, double& max) const;
    virtual void Rescale();
    virtual void Draw(CDrawDC& dc);
    // The crossing line at a page coordinate across the axis.
    void DrawAtPosition(CDrawDC& dc, int position);
    void GetLabelExtents(RECT& margins) const;
    int GetTickLength() const;
    std::vector<double> MajorTickValues() const;
    std::vector<double> MinorTickValues() const;

    virtual void OnDocumentChange(CUpdateNotification& notice, bool dataChanged);

    // Category axes: the names come from one column of a data table.
    bool IsCategoryAxis() const { return m_bCategory; }
    // Stores the table and column of the categories and reads them again.
    void SetCategorySource(const std::string& table, int column);
    // Rebuilds the category names from the table (nothing on a value axis).
    virtual void LoadCategories(bool markModified = true) {}
    // Every dataset of the graph is a chart area (the only one, or all
    // overlapping fully): their points then sit on the categories.
    bool IsAllAreas() const;
    // Reads the names when they are not current (before drawing).
    void EnsureCategories()
    {
        if (m_bCategory && !m_category.labelsValid)
            LoadCategories(false);
    }
    void OnFrameMoved(const RECT& oldFrame, const RECT& newFrame);
    // Stored record with the label references (their positions in the list being stored).
    void SerializeObject(CArchive& ar);
    void Serialize(CArchive& ar) override;
    // Resolves the stored label positions; false when one names no fitting object.
    bool AttachLabels(CDrawObjList& list);
    void OnBeforeStore(CDrawObjList& list);
    void DeleteLabels();
    void OffsetLabels(POINT offset);

    CGraphText* GetTitle() const { return m_pTitle; }
    CXYScaleText* GetTickLabels() const { return m_pLabels; }

    CCategoryAxisData m_category;
    double m_dMin = 0.0;
    double m_dMax = 10.0;
    int m_bAutoMin = 1;
    int m_bAutoMax = 1;
    double m_dMajor = 2.0;
    double m_dMinor = 1.0;
    double m_dCross = 0.0;
    int m_bAutoCross = 1;
    int m_bAutoMajor = 1;
    int m_bAutoMinor = 1;
    int m_bLog = 0;
    int m_nMajorGridStyle = 5;
    int m_nMajorGridWidth = 8;
    int m_nMinorGridStyle = 5;
    int m_nMinorGridWidth = 8;
    int m_nLineWidth = 8;
    COLORREF m_crLine = 0;
    COLORREF m_crMajorGrid = 0;
    COLORREF m_crMinorGrid = 0;
    int m_nOffset = 0;
    int m_nStart = 0;
    int m_nEnd = 100;
    int m_nBreakPlacement = 4;
    int m_bCrossLine = 1;
    int m_nTickStyle1 = 0;
    int m_nTickStyle2 = 0;
    int m_nCrossTickStyle = 3;
    int m_nTickLengthKind = 1;
    int m_nCustomTickLength = 108;

protected:
    // The tick-label block of a new axis (category axes label with names).
    virtual CXYScaleText* MakeTickLabels(const RECT& position, CDrawData* page) const;
    // The axis' stretch of the frame: start and end coordinates along it.
    void AxisStretch(int& start, int& end) const;
    // A segment along (a1 to a2) at c across the axis.
    void Segment(CPatternPen& pen, int a1, int c1, int a2, int c2) const;
    void DrawTicks(CPatternPen& pen, int position, int style, bool firstEdge);
    void DrawTickSet(CPatternPen& pen, const std::vector<double>& values, int from, int to);
    void DrawBreak(CPatternPen& pen, int position, int length, int edge);

    CDrawGraph* m_pGraph = nullptr;
    CGraphText* m_pTitle = nullptr;
    CXYScaleText* m_pLabels = nullptr;
    int m_nTitleIndex = -1;
    int m_nLabelsIndex = -1;
    bool m_bCategory = false;
};

class CXAxis : public CXYAxis {
    DECLARE_SERIAL(CXAxis)
};

class CYAxis : public CXYAxis {
    DECLARE_SERIAL(CYAxis)
public:
    bool IsVertical() const override { return true; }
};
