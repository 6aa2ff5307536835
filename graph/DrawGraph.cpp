#include "graph/DrawGraph.h"

#include "draw/DrawDC.h"
#include "draw/DrawData.h"
#include "draw/PatternPen.h"
#include "framework/ArchiveHelpers.h"
#include "framework/UpdateNotification.h"
#include "data/MyData.h"
#include "graph/CategoryAxis.h"
#include "graph/GraphSources.h"
#include "graph/GraphText.h"
#include "graph/Legend.h"
#include "graph/ScaleText.h"
#include "graph/XYAxis.h"
#include "graph/XYDataset.h"
#include "platform/Reporter.h"
#include "platform/StringIds.h"

#include <QPainter>

#include <algorithm>

IMPLEMENT_SERIAL(CDrawGraph, CDrawObj, 0)
IMPLEMENT_SERIAL(CDrawXYGraph, CDrawGraph, 0)
IMPLEMENT_SERIAL(CDrawHistoGraph, CDrawGraph, 0)
IMPLEMENT_SERIAL(CDrawColumnGraph, CDrawGraph, 0)
IMPLEMENT_SERIAL(CDrawBarGraph, CDrawGraph, 0)

namespace {

// More axes than this on one graph is damage.
constexpr std::int32_t kMaxAxes = 100;
// More datasets than this on one graph is damage.
constexpr std::uint32_t kMaxDatasets = 10000;

} // namespace

void DeleteGraphPart(CDrawObj* part)
{
    CDrawData* page = part->GetPage();
    if (page && page->GetObjectIndex(part) < 0)
        return;
    if (page)
        page->RemoveObject(part);
    part->Delete();
}

CDrawGraph::CDrawGraph() = default;

CDrawGraph::CDrawGraph(const RECT& position, CDrawData* page) : CDrawObj(position, page)
{
    m_bFillOn = 0;
    if (page)
        m_logBrush.lbColor = page->GetDefaultFillColor();
}

CDrawGraph::~CDrawGraph()
{
    m_pLegend.reset();
    m_datasets.clear();
    m_removed.clear();
    m_yAxes.clear();
    m_xAxes.clear();
}

CXYAxis* CDrawGraph::MakeXAxis() const { return new CXAxis(); }
CXYAxis* CDrawGraph::MakeYAxis() const { return new CYAxis(); }

void CDrawGraph::AddAxes(int xCount, int yCount)
{
    for (int i = 0; i < xCount; ++i) {
        m_xAxes.emplace_back(MakeXAxis());
        m_xAxes.back()->SetGraph(this);
    }
    for (int i = 0; i < yCount; ++i) {
        m_yAxes.emplace_back(MakeYAxis());
        m_yAxes.back()->SetGraph(this);
    }
}

void CDrawGraph::InitNew()
{
    AddAxes(1, 1);
    m_xAxes[0]->CreateLabels(1, false);
    m_yAxes[0]->CreateLabels(1, false);
    m_pLegend = std::make_unique<CLegend>(this);
    m_pLegend->CreateBox();
    RecalcAxes();
    RecalcOutline(m_position);
}

CGraphSources* CDrawGraph::GetSources() const { return CGraphSources::Of(m_pDocument); }

// ---------------------------------------------------------------- lookups

int CDrawGraph::IndexOfDataset(const CXYDataset* dataset) const
{
    for (std::size_t i = 0; i < m_datasets.size(); ++i)
        if (m_datasets[i].get() == dataset)
            return int(i);
    return -1;
}

int CDrawGraph::IndexOfXAxis(const CXYAxis* axis) const
{
    for (std::size_t i = 0; i < m_xAxes.size(); ++i)
        if (m_xAxes[i].get() == axis)
            return int(i);
    return -1;
}

int CDrawGraph::IndexOfYAxis(const CXYAxis* axis) const
{
    for (std::size_t i = 0; i < m_yAxes.size(); ++i)
        if (m_yAxes[i].get() == axis)
            return int(i);
    return -1;
}

double CDrawGraph::GetMinimumX() const
{
    double v = 1.0;
    for (std::size_t i = 0; i < m_xAxes.size(); ++i)
        v = i == 0 ? m_xAxes[i]->m_dMin : std::min(v, m_xAxes[i]->m_dMin);
    return v;
}

double CDrawGraph::GetMaximumX() const
{
    double v = 10.0;
    for (std::size_t i = 0; i < m_xAxes.size(); ++i)
        v = i == 0 ? m_xAxes[i]->m_dMax : std::max(v, m_xAxes[i]->m_dMax);
    return v;
}

bool CDrawGraph::GetCategorySource(std::string& table, int& column) const
{
    const CXYAxis* axis = GetCategoryAxis();
    if (!axis)
        return false;
    table = axis->m_category.tableName;
    column = axis->m_category.column;
    return true;
}

int CDrawGraph::GetCategoryCount() const
{
    std::string name;
    int column = -1;
    if (!GetCategorySource(name, column))
        return 1;
    CGraphSources* sources = GetSources();
    const CMyData* table = sources && !name.empty() ? sources->FindTable(name) : nullptr;
    if (!table || column < 0)
        return 1;
    const int last = table->GetLastRow(column);
    return last > 1 ? std::min(last - 1, kMaxCategories) : 1;
}

int CDrawGraph::CountDatasetsOnXAxis(int index) const
{
    return int(std::count_if(m_datasets.begin(), m_datasets.end(), [&](const auto& d) { return d->FindXAxis(index); }));
}

int CDrawGraph::CountDatasetsOnYAxis(int index) const
{
    return int(std::count_if(m_datasets.begin(), m_datasets.end(), [&](const auto& d) { return d->FindYAxis(index); }));
}

int CDrawGraph::CountFlaggedDatasets() const
{
    return int(std::count_if(m_datasets.begin(), m_datasets.end(), [](const auto& d) { return d->HasDataPoints(); }));
}

CXYDataset* CDrawGraph::GetLegendEntryDataset(int n) const
{
    if (!m_pLegend || n < 0 || n >= m_pLegend->GetEntryCount())
        return nullptr;
    const int index = m_pLegend->GetSample(n)->GetIndex();
    return index >= 0 && index < GetDatasetCount() ? GetDataset(index) : nullptr;
}

// ---------------------------------------------------------------- datasets and axes

void CDrawGraph::AddDataset(CXYDataset* dataset, const std::string& entryText, bool defer)
{
    if (!m_pLegend) {
        m_pLegend = std::make_unique<CLegend>(this);
        m_pLegend->CreateBox();
    }
    if (m_datasets.empty() && !m_pLegend->IsShown())
        m_pLegend->Show(true);
    dataset->SetGraph(this);
    m_datasets.emplace_back(dataset);
    m_pLegend->AddDatasetEntry(int(m_datasets.size()) - 1, entryText);
    if (!defer) {
        RecalcAxes();
        m_pLegend->Relayout();
    }
    Invalidate();
}

std::unique_ptr<CXYDataset> CDrawGraph::RemoveDataset(CXYDataset* dataset)
{
    const int index = IndexOfDataset(dataset);
    if (index < 0)
        return nullptr;
    if (m_pLegend)
        m_pLegend->RemoveDatasetEntry(index);
    std::unique_ptr<CXYDataset> out = std::move(m_datasets[std::size_t(index)]);
    m_datasets.erase(m_datasets.begin() + index);
    RecalcAxes();
    if (m_pLegend)
        m_pLegend->Relayout();
    SetModified();
    return out;
}

void CDrawGraph::RequestRemoval(CXYDataset* dataset)
{
    std::unique_ptr<CXYDataset> detached = RemoveDataset(dataset);
    if (!detached)
        return;
    // The dataset may still be running the code that asked: it lives on
    // until the notice round is over.
    if (m_nNoticeDepth > 0)
        m_removed.push_back(std::move(detached));
}

bool CDrawGraph::RemoveXAxis(int i)
{
    if (i < 0 || i >= GetXAxisCount())
        return false;
    for (auto& d : m_datasets)
        d->OnXAxisDeleted(i);
    m_xAxes[std::size_t(i)]->DeleteLabels();
    m_xAxes.erase(m_xAxes.begin() + i);
    RecalcAxes();
    SetModified();
    return true;
}

bool CDrawGraph::RemoveYAxis(int i)
{
    if (i < 0 || i >= GetYAxisCount())
        return false;
    for (auto& d : m_datasets)
        d->OnYAxisDeleted(i);
    m_yAxes[std::size_t(i)]->DeleteLabels();
    m_yAxes.erase(m_yAxes.begin() + i);
    RecalcAxes();
    SetModified();
    return true;
}

void CDrawGraph::RecalcAxes()
{
    for (auto& axis : m_xAxes)
        axis->Rescale();
    for (auto& axis : m_yAxes)
        axis->Rescale();
    Invalidate();
}

// ---------------------------------------------------------------- drawing

void CDrawGraph::DrawDatasets(CDrawDC& dc)
{
    if (!m_pLegend)
        return;
    const int entries = m_pLegend->GetEntryCount();
    for (int pass = 0; pass < 2; ++pass) {
        for (int n = 0; n < entries; ++n) {
            CXYDataset* dataset = GetLegendEntryDataset(n);
            if (!dataset)
                continue;
            for (int i = 0; i < GetXAxisCount(); ++i)
                for (int j = 0; j < GetYAxisCount(); ++j) {
                    if (!dataset->UsesAxes(i, j))
                        continue;
                    if (pass == 0)
                        dataset->DrawCurve(dc, *m_xAxes[std::size_t(i)], *m_yAxes[std::size_t(j)], n);
                    else
                        dataset->DrawPoints(dc, *m_xAxes[std::size_t(i)], *m_yAxes[std::size_t(j)], n);
                }
        }
    }
}

void CDrawGraph::Draw(CDrawDC& dc, CDrawViewBase*)
{
    if (!dc.painter)
        return;
    QPainter& p = *dc.painter;
    const RECT frame = GetFrame();
    // Category names read now, before anything is drawn against the ranges.
    for (auto* axes : {&m_xAxes, &m_yAxes})
        for (auto& axis : *axes)
            axis->EnsureCategories();
    if (m_bFillOn) {
        p.save();
        SelectFillBrush(dc);
        p.setPen(Qt::NoPen);
        p.drawRect(QRectF(frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top));
        p.restore();
    }
    if (m_bBehind)
        DrawDatasets(dc);
    for (auto& x : m_xAxes)
        for (auto& y : m_yAxes) {
            x->Draw(dc);
            if (y->m_bCrossLine && y->m_dCross >= y->m_dMin && y->m_dCross <= y->m_dMax)
                x->DrawAtPosition(dc, y->ValueToDevice(y->m_dCross));
            y->Draw(dc);
            if (x->m_bCrossLine && x->m_dCross >= x->m_dMin && x->m_dCross <= x->m_dMax)
                y->DrawAtPosition(dc, x->ValueToDevice(x->m_dCross));
        }
    if (m_bLineOn) {
        CPatternPen pen;
        CreatePen(pen, dc.painter);
        if (m_bTopEdge) {
            pen.MoveTo(frame.left, frame.top);
            pen.LineTo(frame.right, frame.top);
        }
        if (m_bLeftEdge) {
            pen.MoveTo(frame.left, frame.top);
            pen.LineTo(frame.left, frame.bottom);
        }
        if (m_bRightEdge) {
            pen.MoveTo(frame.right, frame.top);
            pen.LineTo(frame.right, frame.bottom);
        }
        if (m_bBottomEdge) {
            pen.MoveTo(frame.right, frame.bottom);
            pen.LineTo(frame.left, frame.bottom);
        }
        pen.Release();
    }
    if (!m_bBehind)
        DrawDatasets(dc);
}

void CDrawGraph::RecalcOutline(const RECT& rect)
{
    CDrawObj::RecalcOutline(rect);
    RECT margins{0, 0, 0, 0};
    for (auto& axis : m_xAxes)
        axis->GetLabelExtents(margins);
    for (auto& axis : m_yAxes)
        axis->GetLabelExtents(margins);
    const RECT frame = NormalizedRect(rect);
    const int m = (frame.right - frame.left) / 60;
    m_rcBounds = RECT{frame.left - std::max<LONG>(margins.left, m), frame.top - std::max<LONG>(margins.top, m),
                      frame.right + std::max<LONG>(margins.right, m), frame.bottom + std::max<LONG>(margins.bottom, m)};
    m_rcRepaint = m_rcBounds;
}

bool CDrawGraph::HitTest(POINT point, CDrawViewBase*)
{
    const RECT b = NormalizedRect(m_rcBounds);
    return point.x >= b.left && point.x <= b.right && point.y >= b.top && point.y <= b.bottom;
}

void CDrawGraph::MoveTo(const RECT& position, CDrawViewBase* view)
{
    const RECT oldFrame = GetFrame();
    const RECT newFrame = NormalizedRect(position);
    for (auto& axis : m_xAxes)
        axis->OnFrameMoved(oldFrame, newFrame);
    for (auto& axis : m_yAxes)
        axis->OnFrameMoved(oldFrame, newFrame);
    const bool resized = newFrame.right - newFrame.left != oldFrame.right - oldFrame.left
        || newFrame.bottom - newFrame.top != oldFrame.bottom - oldFrame.top;
    CDrawObj::MoveTo(position, view);
    if (m_pLegend) {
        m_pLegend->Offset(POINT{newFrame.left - oldFrame.left, newFrame.top - oldFrame.top});
        if (resized)
            m_pLegend->OnFrameResized();
    }
    // The tick labels take the new length of their axes.
    for (auto* axes : {&m_xAxes, &m_yAxes})
        for (auto& axis : *axes)
            if (CXYScaleText* labels = axis->GetTickLabels())
                labels->Reposition(true);
    RecalcOutline(m_position);
}

void CDrawGraph::OffsetBy(POINT offset)
{
    for (auto& axis : m_xAxes)
        axis->OffsetLabels(offset);
    for (auto& axis : m_yAxes)
        axis->OffsetLabels(offset);
    if (m_pLegend)
        m_pLegend->Offset(offset);
    CDrawObj::OffsetBy(offset);
}

void CDrawGraph::Delete()
{
    for (auto& axis : m_xAxes)
        axis->DeleteLabels();
    for (auto& axis : m_yAxes)
        axis->DeleteLabels();
    if (m_pLegend)
        m_pLegend->DeleteObjects();
    CDrawObj::Delete();
}

// ---------------------------------------------------------------- notices

void CDrawGraph::OnDocumentChange(CUpdateNotification& notice)
{
    ++m_nNoticeDepth;
    bool dataChanged = false;
    // A copy: a dataset may ask to be removed while it is told.
    std::vector<CXYDataset*> datasets;
    for (auto& d : m_datasets)
        datasets.push_back(d.get());
    for (CXYDataset* dataset : datasets) {
        if (IndexOfDataset(dataset) < 0)
            continue;
        bool removed = false;
        const bool affected = dataset->IsAffectedBy(notice);
        dataset->OnNotify(notice, removed);
        dataChanged = dataChanged || removed || (affected && notice.kind != UN_ITEM_RENAMED);
    }
    for (auto& axis : m_xAxes)
        axis->OnDocumentChange(notice, dataChanged);
    for (auto& axis : m_yAxes)
        axis->OnDocumentChange(notice, dataChanged);
    --m_nNoticeDepth;
    // Datasets that asked to go are deleted only now, after the round.
    if (m_nNoticeDepth == 0)
        m_removed.clear();
}

// ---------------------------------------------------------------- stored form

void CDrawGraph::OnBeforeStore(CDrawObjList& list)
{
    for (auto& axis : m_xAxes)
        axis->OnBeforeStore(list);
    for (auto& axis : m_yAxes)
        axis->OnBeforeStore(list);
    if (m_pLegend)
        m_pLegend->OnBeforeStore(list);
}

void CDrawGraph::Serialize(CArchive& ar)
{
    CDrawObj::Serialize(ar);
    if (ar.IsStoring()) {
        SerializeVersion(ar, 0);
        ar << std::int32_t(m_bTopEdge) << std::int32_t(m_bBehind) << std::int32_t(m_bLeftEdge)
           << std::int32_t(m_bRightEdge) << std::int32_t(m_bBottomEdge);
        ar << std::int32_t(m_xAxes.size()) << std::int32_t(m_yAxes.size());
        for (auto& axis : m_xAxes)
            axis->SerializeObject(ar);
        for (auto& axis : m_yAxes)
            axis->SerializeObject(ar);
        ar.WriteCount(std::uint32_t(m_datasets.size()));
        for (auto& d : m_datasets)
            ar.WriteObject(d.get());
        if (!m_pLegend)
            m_pLegend = std::make_unique<CLegend>(this);
        m_pLegend->Serialize(ar);
        return;
    }
    SerializeVersion(ar, 0);
    std::int32_t flags[5] = {};
    for (std::int32_t& f : flags)
        ar >> f;
    m_bTopEdge = flags[0];
    m_bBehind = flags[1];
    m_bLeftEdge = flags[2];
    m_bRightEdge = flags[3];
    m_bBottomEdge = flags[4];
    std::int32_t xCount = 0, yCount = 0;
    ar >> xCount >> yCount;
    if (xCount < 0 || yCount < 0 || xCount > kMaxAxes || yCount > kMaxAxes)
        ThrowArchiveError(CArchiveException::badIndex, "a graph with a bad number of axes");
    m_xAxes.clear();
    m_yAxes.clear();
    AddAxes(xCount, yCount);
    if (!m_pLegend)
        m_pLegend = std::make_unique<CLegend>(this);
    for (auto& axis : m_xAxes)
        axis->SerializeObject(ar);
    for (auto& axis : m_yAxes)
        axis->SerializeObject(ar);
    const std::uint32_t count = ar.ReadCount();
    if (count > kMaxDatasets)
        ThrowArchiveError(CArchiveException::badIndex, "a graph with too many datasets");
    m_datasets.clear();
    for (std::uint32_t i = 0; i < count; ++i) {
        std::unique_ptr<CXYDataset> d = ar.ReadOwned<CXYDataset>();
        if (!d)
            ThrowArchiveError(CArchiveException::badIndex, "a graph dataset is missing");
        d->SetGraph(this);
        m_datasets.push_back(std::move(d));
    }
    m_pLegend->Serialize(ar);
    RecalcOutline(m_position);
}

void CDrawGraph::OnListLoaded(CDrawObjList& list)
{
    bool ok = true;
    for (auto& axis : m_xAxes)
        ok = axis->AttachLabels(list) && ok;
    for (auto& axis : m_yAxes)
        ok = axis->AttachLabels(list) && ok;
    if (m_pLegend)
        ok = m_pLegend->Attach(list) && ok;
    // A dataset may list only axes the graph has.
    for (auto& d : m_datasets) {
        auto keep = [&](std::vector<std::uint32_t>& axes, int count) {
            const std::size_t before = axes.size();
            std::erase_if(axes, [&](std::uint32_t a) { return a >= std::uint32_t(count); });
            ok = ok && axes.size() == before;
        };
        keep(d->m_xAxes, GetXAxisCount());
        keep(d->m_yAxes, GetYAxisCount());
    }
    if (!ok)
        ReportMessage(IDS_GRAPH_BAD_PART);
    RecalcOutline(m_position);
}

CDrawObj* CDrawGraph::Clone(CDrawData* page)
{
    auto clone = std::make_unique<CDrawGraph>(m_position, page);
    CopyAttributes(clone.get());
    return AdoptClone(std::move(clone));
}

CDrawObj* CDrawGraph::CloneInto(CDrawGraph* clone, CDrawData* page) const
{
    clone->m_position = m_position;
    clone->m_pDocument = page;
    CopyAttributes(clone);
    clone->m_bTopEdge = m_bTopEdge;
    clone->m_bBehind = m_bBehind;
    clone->m_bLeftEdge = m_bLeftEdge;
    clone->m_bRightEdge = m_bRightEdge;
    clone->m_bBottomEdge = m_bBottomEdge;
    if (page)
        page->AddObject(clone);
    clone->AddAxes(GetXAxisCount(), GetYAxisCount());
    for (int i = 0; i < GetXAxisCount(); ++i) {
        clone->m_xAxes[std::size_t(i)]->CreateLabels(i + 1, false);
        m_xAxes[std::size_t(i)]->CopySettings(*clone->m_xAxes[std::size_t(i)]);
    }
    for (int i = 0; i < GetYAxisCount(); ++i) {
        clone->m_yAxes[std::size_t(i)]->CreateLabels(i + 1, false);
        m_yAxes[std::size_t(i)]->CopySettings(*clone->m_yAxes[std::size_t(i)]);
    }
    clone->m_pLegend = std::make_unique<CLegend>(clone);
    clone->m_pLegend->CreateBox();
    if (m_pLegend)
        clone->m_pLegend->CopyFrom(*m_pLegend);
    for (int i = 0; i < GetDatasetCount(); ++i) {
        std::string text;
        if (m_pLegend)
            if (CLegendText* t = m_pLegend->FindText(i))
                text = t->GetText();
        if (CXYDataset* d = GetDataset(i)->Clone(clone))
            clone->AddDataset(d, text, true);
    }
    clone->RecalcAxes();
    clone->RecalcOutline(clone->m_position);
    return clone;
}

// ---------------------------------------------------------------- XY graph

CDrawXYGraph::CDrawXYGraph(const RECT& position, CDrawData* page) : CDrawGraph(position, page)
{
    if (page)
        page->AddObject(this);
    InitNew();
}

CDrawObj* CDrawXYGraph::Clone(CDrawData* page) { return CloneInto(new CDrawXYGraph(), page); }

// ---------------------------------------------------------------- histogram graph

CDrawHistoGraph::CDrawHistoGraph(const RECT& position, CDrawData* page) : CDrawGraph(position, page)
{
    if (page)
        page->AddObject(this);
    InitNew();
}

CDrawObj* CDrawHistoGraph::Clone(CDrawData* page) { return CloneInto(new CDrawHistoGraph(), page); }

// ---------------------------------------------------------------- column and bar charts

CDrawColumnGraph::CDrawColumnGraph(const RECT& position, CDrawData* page) : CDrawGraph(position, page)
{
    m_bBehind = 1;
    if (page)
        page->AddObject(this);
    InitNew();
}

CDrawObj* CDrawColumnGraph::Clone(CDrawData* page) { return CloneInto(new CDrawColumnGraph(), page); }
CXYAxis* CDrawColumnGraph::MakeXAxis() const { return new CXAxisCategory(); }
CXYAxis* CDrawColumnGraph::GetCategoryAxis() const { return m_xAxes.empty() ? nullptr : m_xAxes.front().get(); }

CDrawBarGraph::CDrawBarGraph(const RECT& position, CDrawData* page) : CDrawGraph(position, page)
{
    m_bBehind = 1;
    if (page)
        page->AddObject(this);
    InitNew();
}

CDrawObj* CDrawBarGraph::Clone(CDrawData* page) { return CloneInto(new CDrawBarGraph(), page); }
CXYAxis* CDrawBarGraph::MakeYAxis() const { return new CYAxisCategory(); }
CXYAxis* CDrawBarGraph::GetCategoryAxis() const { return m_yAxes.empty() ? nullptr : m_yAxes.front().get(); }
