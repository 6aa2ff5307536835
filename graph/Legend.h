// The legend of a graph: a framed box on the page that lists, for each
// dataset, a sample of how it is drawn beside an editable text. The model
// ties the box, the samples and the texts (all page objects) to the graph;
// the order of its entries is the graph's drawing order.
#pragma once

#include "draw/DrawRect.h"

#include <vector>

class CDrawGraph;
class CLegend;
class CLegendText;
class CXYDataset;

class CLegendBox : public CDrawRect {
    DECLARE_SERIAL(CLegendBox)
public:
    CLegendBox() = default;
    CLegendBox(const RECT& position, CDrawData* page, CLegend* legend);

    void Serialize(CArchive& ar) override;
    int CanClearWith(const CDrawObjList& selection) override;
    int CanCopyWith(const CDrawObjList& selection) override;
    int IsClearedAlone(const CDrawObjList& selection) override;
    int HasResizeHandles() override { return 0; }
    int CanRotate() override { return 0; }
    int CanSetSize() override { return 0; }
    int CanHide() override { return 1; }
    int IsKind(int kind) override { return kind == 1 ? 1 : 0; }
    void OffsetBy(POINT offset) override;
    void SetDisplayOption(int shown) override;
    CDrawObj* Clone(CDrawData* page) override;

    CLegend* GetLegend() const { return m_pLegend; }
    void SetLegend(CLegend* legend) { m_pLegend = legend; }

protected:
    CLegend* m_pLegend = nullptr;
    int m_bBusy = 0;
};

// The sample of one dataset: the dataset draws itself into the box.
class CDataPointBox : public CLegendBox {
    DECLARE_SERIAL(CDataPointBox)
public:
    CDataPointBox() = default;
    CDataPointBox(const RECT& position, CDrawData* page, CLegend* legend, int dataset);

    void Serialize(CArchive& ar) override;
    void Draw(CDrawDC& dc, CDrawViewBase* view) override;
    void Remove() override;
    int CanMove() override { return 0; }
    CDrawObj* Clone(CDrawData* page) override;
    void OffsetBy(POINT offset) override { CDrawObj::OffsetBy(offset); }
    void SetDisplayOption(int shown) override { CDrawObj::SetDisplayOption(shown); }

    CXYDataset* GetDataset() const;
    int GetIndex() const { return m_nDataset; }
    void SetIndex(int index) { m_nDataset = index; }
    // Sizes the sample from the graph's frame, keeping its left and upper edges.
    void SizeFromFrame();

private:
    int m_nDataset = -1;
};

class CLegend {
public:
    CLegend(CDrawGraph* graph) : m_pGraph(graph) {}
    ~CLegend() = default;
    CLegend(const CLegend&) = delete;
    CLegend& operator=(const CLegend&) = delete;

    // A new box beside the graph's frame.
    void CreateBox();
    void AddDatasetEntry(int dataset, const std::string& text);
    void RemoveDatasetEntry(int dataset);
    // Puts the entries in a new order: order[n] is the entry that comes n-th.
    // False (and nothing changed) when order is not a rearrangement of the entries.
    bool Reorder(const std::vector<int>& order);
    CDataPointBox* FindEntry(int dataset) const;
    CLegendText* FindText(int dataset) const;
    bool IsShown() const;
    void Show(bool shown);
    void Relayout();
    void Offset(POINT offset);
    void OnBeforeStore(CDrawObjList& list);
    void Serialize(CArchive& ar);
    // Resolves the stored positions; false when one names no fitting object.
    bool Attach(CDrawObjList& list);
    void DeleteObjects();
    void CopyFrom(const CLegend& source);
    // Every sample sizes itself from the graph frame again.
    void OnFrameResized();

    CDrawGraph* GetGraph() const { return m_pGraph; }
    CLegendBox* GetBox() const { return m_pBox; }
    int GetEntryCount() const { return int(m_samples.size()); }
    CDataPointBox* GetSample(int n) const { return m_samples[std::size_t(n)]; }
    CLegendText* GetText(int n) const { return m_texts[std::size_t(n)]; }

    int m_nColumns = 1;

private:
    CDrawGraph* m_pGraph;
    CLegendBox* m_pBox = nullptr;
    std::vector<CDataPointBox*> m_samples;
    std::vector<CLegendText*> m_texts;
    int m_nBoxIndex = -1;
    std::vector<std::int32_t> m_sampleIndices;
    std::vector<std::int32_t> m_textIndices;
    int m_bBusy = 0;
};
