#include "graph/GraphText.h"

#include "framework/ArchiveHelpers.h"
#include "graph/DrawGraph.h"
#include "graph/Legend.h"
#include "graph/XYDataset.h"

IMPLEMENT_SERIAL(CGraphText, CDrawText, 0)
IMPLEMENT_SERIAL(CLegendText, CDrawText, 0)

namespace {

bool Holds(const CDrawObjList& list, const CDrawObj* obj) { return obj && FindObjectIndex(list, obj) >= 0; }

} // namespace

// ---------------------------------------------------------------- graph text

CGraphText::CGraphText(const RECT& position, CDrawData* page, CDrawGraph* graph)
    : CDrawText(position, page)
    , m_pGraph(graph)
{
}

int CGraphText::CanClearWith(const CDrawObjList& selection) { return Holds(selection, m_pGraph) ? 1 : 0; }
int CGraphText::IsClearedAlone(const CDrawObjList& selection) { return Holds(selection, m_pGraph) ? 0 : 1; }
int CGraphText::CanCopyWith(const CDrawObjList& selection) { return Holds(selection, m_pGraph) ? 1 : 0; }

CDrawObj* CGraphText::Clone(CDrawData* page)
{
    if (IsEditing())
        EndEdit();
    auto clone = std::make_unique<CGraphText>(m_position, page, nullptr);
    CopyAttributes(clone.get());
    return AdoptClone(std::move(clone));
}

// ---------------------------------------------------------------- legend text

CLegendText::CLegendText(const RECT& position, CDrawData* page, CLegend* legend, int entry)
    : CDrawText(position, page)
    , m_pLegend(legend)
    , m_nEntry(entry)
{
}

void CLegendText::Serialize(CArchive& ar)
{
    CDrawTextBase::Serialize(ar);
    if (ar.IsStoring()) {
        SerializeVersion(ar, 0);
        ar << std::int32_t(m_nEntry);
        return;
    }
    SerializeVersion(ar, 0);
    std::int32_t entry = -1;
    ar >> entry;
    m_nEntry = entry;
}

int CLegendText::IsClearedAlone(const CDrawObjList& selection)
{
    return m_pLegend && Holds(selection, m_pLegend->GetBox()) ? 0 : 1;
}

int CLegendText::CanCopyWith(const CDrawObjList& selection)
{
    return m_pLegend && Holds(selection, m_pLegend->GetBox()) ? 1 : 0;
}

CDrawObj* CLegendText::Clone(CDrawData* page)
{
    if (IsEditing())
        EndEdit();
    auto clone = std::make_unique<CLegendText>(m_position, page, nullptr, m_nEntry);
    CopyAttributes(clone.get());
    return AdoptClone(std::move(clone));
}

void CLegendText::Remove()
{
    CDrawGraph* graph = m_pLegend ? m_pLegend->GetGraph() : nullptr;
    CXYDataset* dataset = nullptr;
    if (graph && m_nEntry >= 0 && m_nEntry < graph->GetDatasetCount())
        dataset = graph->GetDataset(m_nEntry);
    if (!graph || !dataset) {
        CDrawText::Remove();
        return;
    }
    // Removing the dataset takes its sample and this text off the page.
    graph->RemoveDataset(dataset);
}

void CLegendText::SetDisplayOption(int shown)
{
    if (!m_bNotifying && m_pLegend) {
        // Hiding one entry's text hides the whole legend.
        m_bNotifying = 1;
        m_pLegend->Show(shown != 0);
        m_bNotifying = 0;
    }
    CDrawText::SetDisplayOption(shown);
}
