// Texts that belong to a graph: axis titles (copied, cleared and hidden
// with their graph) and the texts of legend entries, which stand for one
// dataset each and move and hide with their legend.
#pragma once

#include "draw/DrawText.h"

class CDrawGraph;
class CLegend;

class CGraphText : public CDrawText {
    DECLARE_SERIAL(CGraphText)
public:
    CGraphText() = default;
    CGraphText(const RECT& position, CDrawData* page, CDrawGraph* graph);

    int CanClearWith(const CDrawObjList& selection) override;
    int IsClearedAlone(const CDrawObjList& selection) override;
    int CanCopyWith(const CDrawObjList& selection) override;
    int CanDuplicate() override { return 0; }
    CDrawObj* Clone(CDrawData* page) override;
    int GetContextMenu() override { return MENU_HIDE_TEXT; }
    int CanHide() override { return 1; }
    int IsKind(int kind) override { return kind == 1 ? 1 : 0; }

    CDrawGraph* GetGraph() const { return m_pGraph; }
    void SetGraph(CDrawGraph* graph) { m_pGraph = graph; }

private:
    CDrawGraph* m_pGraph = nullptr;
};

class CLegendText : public CDrawText {
    DECLARE_SERIAL(CLegendText)
public:
    CLegendText() = default;
    CLegendText(const RECT& position, CDrawData* page, CLegend* legend, int entry);

    void Serialize(CArchive& ar) override;
    int CanClearWith(const CDrawObjList&) override { return 1; }
    int IsClearedAlone(const CDrawObjList& selection) override;
    int CanCopyWith(const CDrawObjList& selection) override;
    int CanDuplicate() override { return 0; }
    CDrawObj* Clone(CDrawData* page) override;
    void Remove() override;
    int CanRotate() override { return 0; }
    int GetContextMenu() override { return MENU_HIDE_TEXT; }
    int CanHide() override { return 1; }
    void SetDisplayOption(int shown) override;

    CLegend* GetLegend() const { return m_pLegend; }
    void SetLegend(CLegend* legend) { m_pLegend = legend; }
    int GetEntry() const { return m_nEntry; }
    void SetEntry(int entry) { m_nEntry = entry; }

private:
    CLegend* m_pLegend = nullptr;
    int m_nEntry = -1;
    int m_bNotifying = 0;
};
