// A graph on a page: the plot frame (the object's rectangle), its X and Y
// axes, its datasets and its legend. It scales its axes from the datasets'
// ranges, draws curves under points in legend order, follows workspace
// notices, and stores its parts' positions in the page's list.
#pragma once

#include "draw/DrawObj.h"

#include <memory>
#include <string>
#include <vector>

class CLegend;
class CXYAxis;
class CXYDataset;
class CGraphSources;

class CDrawGraph : public CDrawObj {
    DECLARE_SERIAL(CDrawGraph)
public:
    CDrawGraph();
    CDrawGraph(const RECT& position, CDrawData* page);
    ~CDrawGraph() override;

    void Serialize(CArchive& ar) override;
    void Draw(CDrawDC& dc, CDrawViewBase* view) override;
    void MoveTo(const RECT& position, CDrawViewBase* view = nullptr) override;
    void OffsetBy(POINT offset) override;
    bool HitTest(POINT point, CDrawViewBase* view) override;
    void RecalcOutline(const RECT& rect) override;
    int CanRotate() override { return 0; }
    void Delete() override;
    void OnListLoaded(CDrawObjList& list) override;
    void OnDocumentChange(CUpdateNotification& notice) override;
    void OnBeforeStore(CDrawObjList& list) override;
    int IsKind(int kind) override { return kind == 1 ? 1 : 0; }
    CDrawObj* Clone(CDrawData* page) override;

    // Appends bare axes of the kind's classes (loading).
    virtual void AddAxes(int xCount, int yCount);
    virtual CXYAxis* MakeXAxis() const;
    virtual CXYAxis* MakeYAxis() const;
    // Creates one X and one Y axis with default labels and the legend (a new graph).
    void InitNew();

    int GetDatasetCount() const { return int(m_datasets.size()); }
    CXYDataset* GetDataset(int i) const { return m_datasets[std::size_t(i)].get(); }
    int IndexOfDataset(const CXYDataset* dataset) const;
    int GetXAxisCount() const { return int(m_xAxes.size()); }
    int GetYAxisCount() const { return int(m_yAxes.size()); }
    CXYAxis* GetXAxis(int i) const { return m_xAxes[std::size_t(i)].get(); }
    CXYAxis* GetYAxis(int i) const { return m_yAxes[std::size_t(i)].get(); }
    int IndexOfXAxis(const CXYAxis* axis) const;
    int IndexOfYAxis(const CXYAxis* axis) const;
    CLegend* GetLegend() const { return m_pLegend.get(); }
    double GetMinimumX() const;
    double GetMaximumX() const;

    // More categories than this are not read from a table.
    static constexpr int kMaxCategories = 100000;
    // The table and column of the categories (column and bar charts).
    bool GetCategorySource(std::string& table, int& column) const;
    // The axis that carries the categories, or null.
    virtual CXYAxis* GetCategoryAxis() const { return nullptr; }
    // The number of categories: the rows of the category column, at least 1.
    int GetCategoryCount() const;

    // Takes the dataset over and gives it a legend entry with the text.
    void AddDataset(CXYDataset* dataset, const std::string& entryText, bool defer = false);
    // Detaches the dataset (its entry goes; the object is handed back, not
    // deleted). Null when it is not in the graph.
    std::unique_ptr<CXYDataset> RemoveDataset(CXYDataset* dataset);
    // A dataset asks to be removed while a notice is handed round: it is
    // detached at once and deleted after the round.
    void RequestRemoval(CXYDataset* dataset);
    bool RemoveXAxis(int i);
    bool RemoveYAxis(int i);
    int CountDatasetsOnXAxis(int index) const;
    int CountDatasetsOnYAxis(int index) const;
    int CountFlaggedDatasets() const;
    CXYDataset* GetLegendEntryDataset(int n) const;
    void RecalcAxes();
    void OnDataChanged() { RecalcAxes(); }

    // The workspace's data as this graph's page reaches it (null without one).
    CGraphSources* GetSources() const;
    const RECT GetFrame() const { return NormalizedRect(m_position); }

    int m_bTopEdge = 1;
    int m_bBehind = 0;
    int m_bLeftEdge = 1;
    int m_bRightEdge = 1;
    int m_bBottomEdge = 1;

protected:
    void DrawDatasets(CDrawDC& dc);
    // Fills a new graph of this graph's kind as a copy of this one on the page.
    CDrawObj* CloneInto(CDrawGraph* clone, CDrawData* page) const;

    std::vector<std::unique_ptr<CXYAxis>> m_xAxes;
    std::vector<std::unique_ptr<CXYAxis>> m_yAxes;
    std::vector<std::unique_ptr<CXYDataset>> m_datasets;
    std::unique_ptr<CLegend> m_pLegend;
    // Datasets detached during a notice round, deleted after it.
    std::vector<std::unique_ptr<CXYDataset>> m_removed;
    int m_nNoticeDepth = 0;
};

// Takes a part of a graph (a title, tick labels, a legend object) off its
// page and deletes it. A part that has a page but is not in its list
// belongs to a page being torn down, which deletes its objects itself.
void DeleteGraphPart(CDrawObj* part);

class CDrawXYGraph : public CDrawGraph {
    DECLARE_SERIAL(CDrawXYGraph)
public:
    CDrawXYGraph() = default;
    // A new graph on the page with one X and one Y axis and a legend.
    CDrawXYGraph(const RECT& position, CDrawData* page);
    CDrawObj* Clone(CDrawData* page) override;
};

// A histogram graph: value axes like the XY graph, with histogram datasets.
class CDrawHistoGraph : public CDrawGraph {
    DECLARE_SERIAL(CDrawHistoGraph)
public:
    CDrawHistoGraph() = default;
    CDrawHistoGraph(const RECT& position, CDrawData* page);
    CDrawObj* Clone(CDrawData* page) override;
};

// A column chart: categories along the X axes, values up the Y axes; the
// columns are drawn under the axes.
class CDrawColumnGraph : public CDrawGraph {
    DECLARE_SERIAL(CDrawColumnGraph)
public:
    CDrawColumnGraph() { m_bBehind = 1; }
    CDrawColumnGraph(const RECT& position, CDrawData* page);
    CDrawObj* Clone(CDrawData* page) override;
    CXYAxis* MakeXAxis() const override;
    CXYAxis* GetCategoryAxis() const override;
};

// A bar chart: values along the X axes, categories down the Y axes.
class CDrawBarGraph : public CDrawGraph {
    DECLARE_SERIAL(CDrawBarGraph)
public:
    CDrawBarGraph() { m_bBehind = 1; }
    CDrawBarGraph(const RECT& position, CDrawData* page);
    CDrawObj* Clone(CDrawData* page) override;
    CXYAxis* MakeYAxis() const override;
    CXYAxis* GetCategoryAxis() const override;
};
