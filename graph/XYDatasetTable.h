// Two columns of a data table plotted as x and y, row by row, with error
// bars from further columns of the same table. Rows whose cells are not all
// numbers are left out without breaking the join line.
#pragma once

#include "graph/XYDataset.h"

#include <memory>
#include <vector>

class CEquationBase;
class CEquationTransform;
class CGraphSources;
class CMyData;
class CTransformation;

class CXYDatasetTable : public CXYDataset {
    DECLARE_SERIAL(CXYDatasetTable)
public:
    CXYDatasetTable() = default;
    CXYDatasetTable(const std::string& table, int xColumn, int yColumn, int errorColumn, CDrawGraph* graph);

    void Serialize(CArchive& ar) override;
    void DrawCurve(CDrawDC& dc, CXYAxis& x, CXYAxis& y, int ordinal) override;
    void DrawLegendSymbol(CDrawDC& dc, const RECT& rect) override;
    void Recalculate() override;
    CXYDataset* Clone(CDrawGraph* graph) const override;
    void OnNotify(CUpdateNotification& notice, bool& removed) override;
    bool IsAffectedBy(const CUpdateNotification& notice) const override;
    std::string GetXName() const override;
    std::string GetYName() const override;

    bool UsesColumns(const std::vector<CColumnRef>& refs, const CMXProjectItem* table) const;

    int m_nXColumn = -1;
    int m_nYColumn = -1;

protected:
    // The columns read: x, y and those of the error modes in use.
    std::vector<int*> UsedColumns();
    std::vector<int> UsedColumnValues() const;
    const CMyData* FindTable(CMXProjectItem** item = nullptr) const;
    // The transformation of the points, ready to evaluate; null when none
    // applies (off, missing, not compiled, off for data points, no equation,
    // or its expressions do not compile).
    std::unique_ptr<CEquationTransform> PrepareTransform(const CMyData& table) const;
    // The transformation item's captions when it is compiled; empty otherwise.
    bool TransformCaptions(std::string& x, std::string& y) const;
};

// Gathers the points of an x and a y column of a table (and the error
// columns of the modes in use) into the dataset's arrays, each (x, y)
// through the transformation when there is one.
void GatherTablePoints(CXYDataset& dataset, const CMyData& table, int xColumn, const CMyData* errors, int yColumn,
                       CEquationTransform* transform = nullptr);

// The point transformation of t built on equation, ready to evaluate, with
// XDATA2 to XDATA5 the associated x values of the y column (0 where there
// are none); null when its expressions do not compile.
std::unique_ptr<CEquationTransform> MakePointTransform(const CTransformation& t, const CEquationBase& equation,
                                                       const CGraphSources& sources, const CMyData& table,
                                                       int yColumn);
// The transformation item that dataset names, when it uses one and the
// item's definition is compiled; null otherwise. equation (optional) gets
// the equation of the item the transformation refers to.
const CTransformation* CompiledTransform(const CXYDataset& dataset, const CEquationBase** equation = nullptr);
