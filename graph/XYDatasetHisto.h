// A histogram: the values of one table column (optionally weighted by a
// second column) counted into bins of equal width, drawn as bars or as one
// stepped outline. The bins are the dataset's points (x the lower edge, y
// the count), so the axes scale to them like to any other dataset.
#pragma once

#include "graph/XYDataset.h"

class CXYDatasetHisto : public CXYDataset {
    DECLARE_SERIAL(CXYDatasetHisto)
public:
    CXYDatasetHisto() = default;
    CXYDatasetHisto(const std::string& source, int column, int weightsOn, int weightsColumn, CDrawGraph* graph);

    void Serialize(CArchive& ar) override;
    void DrawPoints(CDrawDC& dc, CXYAxis& x, CXYAxis& y, int ordinal) override;
    void DrawCurve(CDrawDC& dc, CXYAxis& x, CXYAxis& y, int ordinal) override;
    void DrawLegendSymbol(CDrawDC& dc, const RECT& rect) override;
    bool GetXRange(bool positiveOnly, double& min, double& max) override;
    bool GetYRange(bool positiveOnly, double& min, double& max) override;
    void Recalculate() override;
    CXYDataset* Clone(CDrawGraph* graph) const override;
    void OnNotify(CUpdateNotification& notice, bool& removed) override;
    bool IsAffectedBy(const CUpdateNotification& notice) const override;
    std::string GetNotice() const override;

    // Upper edge of bin k: one rule for counting and drawing.
    double UpperEdge(std::size_t k) const { return m_dFirstEdge + double(k + 1) * m_dBinWidth; }
    double LowerEdge(std::size_t k) const { return m_dFirstEdge + double(k) * m_dBinWidth; }

    // Sets the painter's brush and background to the bars' fill (the pages draw their samples with it).
    void SelectFill(CDrawDC& dc) const;

    // More bins than this (empty ones between the values included) are refused.
    static constexpr std::size_t kMaxBins = 100000;

    COLORREF m_crOutline = 0;
    int m_nOutlineWidth = 8;
    int m_nOutlineStyle = 0;
    int m_nColumn = -1;
    int m_bWeights = 0;
    int m_nWeightsColumn = -1;
    int m_nBarType = 0;
    int m_bBackOn = 1;
    int m_bForeOn = 1;
    COLORREF m_crFore = 0xC0C0C0;
    COLORREF m_crBack = 0xFFFFFF;
    int m_nFillStyle = 6;
    double m_dOrigin = 0.0;
    double m_dBinWidth = 1.0;

private:
    void DrawBars(CDrawDC& dc, CXYAxis& x, CXYAxis& y);
    std::vector<int*> UsedColumns();
    bool Touches(int first, int last) const;

    double m_dFirstEdge = 0.0;
    bool m_bTooManyBins = false;
};
