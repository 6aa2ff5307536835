// The result of a fit item: the points the fit used, and the fitted curve
// computed afresh over the X axis at every repaint. A fit that failed, is
// not fitted or is still calculating draws no curve, and says so in its
// legend entry. The equation curve derives from it and shares its curve
// fields: an equation item's curve with parameter and constant values of
// its own or from table columns.
#pragma once

#include "graph/XYDataset.h"

#include <QPointF>

#include <vector>

class CEquationBase;
class CGraphFitSource;

class CXYDatasetFit : public CXYDataset {
    DECLARE_SERIAL(CXYDatasetFit)
public:
    CXYDatasetFit() = default;
    CXYDatasetFit(const std::string& fitName, CDrawGraph* graph, int fit);

    void Serialize(CArchive& ar) override;
    void DrawCurve(CDrawDC& dc, CXYAxis& x, CXYAxis& y, int ordinal) override;
    void DrawLegendSymbol(CDrawDC& dc, const RECT& rect) override;
    void Recalculate() override;
    CXYDataset* Clone(CDrawGraph* graph) const override;
    void OnNotify(CUpdateNotification& notice, bool& removed) override;
    bool IsAffectedBy(const CUpdateNotification& notice) const override;
    std::string GetXName() const override;
    std::string GetYName() const override;
    std::string GetNotice() const override;

    CGraphFitSource* GetFit() const;
    // The sample x values of the curve between the axis ends and the switches.
    std::vector<double> CurveSamples(const CXYAxis& x) const;
    // Why no curve is drawn (a string id), or 0.
    UINT CurveRefusal() const;
    // The curve's samples as values (x, y) over the X axis x: the fit's y, or
    // with a transformation that transforms the curve, its curve equation's
    // y. They end before the first sample that yields no number; empty when
    // no curve is drawn.
    std::vector<QPointF> CurveValues(const CXYAxis& x) const;

    std::string m_strFit;
    COLORREF m_crCurve = 0;
    int m_nCurveWidth = 8;
    int m_nCurveStyle = 0;
    int m_nResolution = 1;
    int m_bFromAxisStart = 1;
    int m_bToAxisEnd = 1;
    double m_dStartX = 0.0;
    double m_dEndX = 0.0;
    int m_nFit = 0;

protected:
    void CopyFit(CXYDatasetFit& o) const;
    void DrawCurvePen(CDrawDC& dc, const RECT& rect);
};

class CXYDatasetCurve : public CXYDatasetFit {
    DECLARE_SERIAL(CXYDatasetCurve)
public:
    CXYDatasetCurve() = default;
    CXYDatasetCurve(const std::string& equation, CDrawGraph* graph);

    void Serialize(CArchive& ar) override;
    void DrawPoints(CDrawDC&, CXYAxis&, CXYAxis&, int) override {}
    void DrawCurve(CDrawDC& dc, CXYAxis& x, CXYAxis& y, int ordinal) override;
    void DrawLegendSymbol(CDrawDC& dc, const RECT& rect) override;
    void Recalculate() override;
    CXYDataset* Clone(CDrawGraph* graph) const override;
    void OnNotify(CUpdateNotification& notice, bool& removed) override;
    bool IsAffectedBy(const CUpdateNotification& notice) const override;
    std::string GetXName() const override;
    std::string GetYName() const override;
    bool HasDataPoints() const override { return false; }
    std::string GetNotice() const override;

    bool IsReady() const;
    bool UsesColumns(const std::vector<CColumnRef>& refs, const CMXProjectItem* item) const;

    std::vector<double> m_params;
    std::vector<double> m_consts;
    int m_bParamsFromTable = 0;
    std::string m_strParamTable;
    int m_nParamColumn = -1;
    int m_bConstsFromTable = 0;
    std::string m_strConstTable;
    int m_nConstColumn = -1;
};
