#include "graph/Legend.h"

#include "draw/DrawDC.h"
#include "draw/DrawData.h"
#include "draw/DrawTextBase.h"
#include "framework/ArchiveHelpers.h"
#include "graph/DrawGraph.h"
#include "graph/GraphText.h"
#include "graph/XYDataset.h"

#include <QFont>
#include <QTextDocument>
#include <QPainter>

#include <algorithm>
#include <cmath>

IMPLEMENT_SERIAL(CLegendBox, CDrawRect, 0)
IMPLEMENT_SERIAL(CDataPointBox, CLegendBox, 0)

namespace {

bool Holds(const CDrawObjList& list, const CDrawObj* obj) { return obj && FindObjectIndex(list, obj) >= 0; }

// A stored legend with more entries than this is damage.
constexpr std::uint32_t kMaxEntries = 10000;

void StoreIndices(CArchive& ar, const std::vector<std::int32_t>& indices)
{
    ar.WriteCount(std::uint32_t(indices.size()));
    for (std::int32_t i : indices)
        ar << i;
}

void LoadIndices(CArchive& ar, std::vector<std::int32_t>& indices)
{
    const std::uint32_t n = ar.ReadCount();
    if (n > kMaxEntries)
        ThrowArchiveError(CArchiveException::badIndex, "a legend with too many entries");
    indices.assign(n, -1);
    for (std::int32_t& i : indices)
        ar >> i;
}

bool EqualRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

int Width(const CDrawObj* obj)
{
    const RECT r = NormalizedRect(obj->GetPosition());
    return r.right - r.left;
}

int Height(const CDrawObj* obj)
{
    const RECT r = NormalizedRect(obj->GetPosition());
    return r.bottom - r.top;
}

// Places an object with its left edge at x and its upper edge at top (the larger y).
void PlaceAt(CDrawObj* obj, int x, int top)
{
    const int w = Width(obj), h = Height(obj);
    const RECT target{x, top - h, x + w, top};
    if (!EqualRect(target, NormalizedRect(obj->GetPosition())))
        obj->MoveTo(target);
}


// Widens an entry's text to its longest line (at least the new entry's 720
// units), so that a legend line does not wrap.
void FitTextWidth(CDrawTextBase* text)
{
    std::unique_ptr<QTextDocument> layout = LayoutRichText(text->GetTextDocument(), 100000);
    const int width = std::max(720, int(std::ceil(layout->idealWidth())) + 40);
    const RECT r = NormalizedRect(text->GetPosition());
    if (r.right - r.left != width)
        text->MoveTo(RECT{r.left, r.top, r.left + width, r.bottom});
}

} // namespace

// ---------------------------------------------------------------- box

CLegendBox::CLegendBox(const RECT& position, CDrawData* page, CLegend* legend)
    : CDrawRect(position, page)
    , m_pLegend(legend)
{
}

void CLegendBox::Serialize(CArchive& ar)
{
    CDrawRect::Serialize(ar);
    SerializeVersion(ar, 0);
}

int CLegendBox::CanClearWith(const CDrawObjList& selection)
{
    return m_pLegend && Holds(selection, m_pLegend->GetGraph()) ? 1 : 0;
}

int CLegendBox::CanCopyWith(const CDrawObjList& selection) { return CanClearWith(selection); }

int CLegendBox::IsClearedAlone(const CDrawObjList& selection)
{
    return m_pLegend && Holds(selection, m_pLegend->GetGraph()) ? 0 : 1;
}

void CLegendBox::OffsetBy(POINT offset)
{
    CDrawRect::OffsetBy(offset);
    if (m_pLegend && !m_bBusy) {
        m_bBusy = 1;
        for (int i = 0; i < m_pLegend->GetEntryCount(); ++i) {
            m_pLegend->GetSample(i)->OffsetBy(offset);
            if (CDrawObj* text = static_cast<CDrawObj*>(m_pLegend->GetText(i)))
                text->OffsetBy(offset);
        }
        m_bBusy = 0;
    }
}

void CLegendBox::SetDisplayOption(int shown)
{
    if (m_pLegend && !m_bBusy) {
        m_bBusy = 1;
        m_pLegend->Show(shown != 0);
        m_bBusy = 0;
        return;
    }
    CDrawRect::SetDisplayOption(shown);
}

CDrawObj* CLegendBox::Clone(CDrawData* page)
{
    auto clone = std::make_unique<CLegendBox>(m_position, page, nullptr);
    CopyAttributes(clone.get());
    return AdoptClone(std::move(clone));
}

// ---------------------------------------------------------------- sample

CDataPointBox::CDataPointBox(const RECT& position, CDrawData* page, CLegend* legend, int dataset)
    : CLegendBox(position, page, legend)
    , m_nDataset(dataset)
{
}

void CDataPointBox::Serialize(CArchive& ar)
{
    CLegendBox::Serialize(ar);
    if (ar.IsStoring()) {
        SerializeVersion(ar, 0);
        ar << std::int32_t(m_nDataset);
        return;
    }
    SerializeVersion(ar, 0);
    std::int32_t index = -1;
    ar >> index;
    m_nDataset = index;
}

CXYDataset* CDataPointBox::GetDataset() const
{
    CDrawGraph* graph = m_pLegend ? m_pLegend->GetGraph() : nullptr;
    // The index comes from a file: it is checked before it is followed.
    if (!graph || m_nDataset < 0 || m_nDataset >= graph->GetDatasetCount())
        return nullptr;
    return graph->GetDataset(m_nDataset);
}

void CDataPointBox::SizeFromFrame()
{
    CDrawGraph* graph = m_pLegend ? m_pLegend->GetGraph() : nullptr;
    if (!graph)
        return;
    const RECT frame = graph->GetFrame();
    const int s = MulDiv(frame.right - frame.left, 14, 200);
    const RECT r = NormalizedRect(m_position);
    MoveTo(RECT{r.left, r.bottom - s, r.left + 3 * s / 2, r.bottom});
}

void CDataPointBox::Draw(CDrawDC& dc, CDrawViewBase*)
{
    CXYDataset* dataset = GetDataset();
    if (!dataset || !dc.painter)
        return;
    const RECT r = NormalizedRect(m_position);
    const std::string notice = dataset->GetNotice();
    if (!notice.empty()) {
        // Nothing of the dataset is drawn: the sample says why.
        QPainter& p = *dc.painter;
        p.save();
        QFont font;
        font.setPixelSize(std::max(20, int((r.bottom - r.top) / 3)));
        font.setItalic(true);
        p.setFont(font);
        p.setPen(QColor(128, 128, 128));
        p.translate(r.left, (r.top + r.bottom) / 2);
        p.scale(1.0, -1.0);
        p.drawText(QPointF(0, font.pixelSize() / 3.0), QString::fromStdString(notice));
        p.restore();
    }
    dataset->DrawLegendSymbol(dc, r);
}

void CDataPointBox::Remove()
{
    CDrawGraph* graph = m_pLegend ? m_pLegend->GetGraph() : nullptr;
    CXYDataset* dataset = GetDataset();
    if (!graph || !dataset) {
        CDrawObj::Remove();
        return;
    }
    // The dataset goes with its entry: the sample and the text leave the
    // page together, so a text cleared in the same selection is not
    // removed (nor its dataset) a second time.
    graph->RemoveDataset(dataset);
}

CDrawObj* CDataPointBox::Clone(CDrawData* page)
{
    auto clone = std::make_unique<CDataPointBox>(m_position, page, nullptr, m_nDataset);
    CopyAttributes(clone.get());
    return AdoptClone(std::move(clone));
}

// ---------------------------------------------------------------- legend

void CLegend::CreateBox()
{
    CDrawData* page = m_pGraph->GetPage();
    const RECT frame = m_pGraph->GetFrame();
    m_pBox = new CLegendBox(RECT{frame.right + 360, frame.bottom - 360, frame.right + 720, frame.bottom}, page, this);
    m_nColumns = 1;
    if (page)
        page->AddObject(m_pBox);
    m_pBox->Invalidate();
}

void CLegend::AddDatasetEntry(int dataset, const std::string& text)
{
    if (!m_pBox)
        CreateBox();
    CDrawData* page = m_pGraph->GetPage();
    const RECT box = NormalizedRect(m_pBox->GetPosition());
    auto* sample = new CDataPointBox(RECT{box.left, box.bottom - 180, box.left + 270, box.bottom}, page, this, dataset);
    auto* entry = new CLegendText(RECT{box.left, box.bottom - 180, box.left + 720, box.bottom}, page, this, dataset);
    const bool shown = IsShown();
    m_samples.push_back(sample);
    m_texts.push_back(entry);
    if (page) {
        page->AddObject(sample);
        page->AddObject(entry);
    }
    if (!shown) {
        m_bBusy = 1;
        sample->SetDisplayOption(0);
        entry->SetDisplayOption(0);
        m_bBusy = 0;
    }
    sample->SizeFromFrame();
    entry->ReplaceText(nullptr, text, false);
    FitTextWidth(entry);
    Relayout();
}

void CLegend::RemoveDatasetEntry(int dataset)
{
    for (std::size_t i = 0; i < m_samples.size();) {
        if (m_samples[i]->GetIndex() != dataset) {
            ++i;
            continue;
        }
        CDataPointBox* sample = m_samples[i];
        CLegendText* text = m_texts[i];
        m_samples.erase(m_samples.begin() + std::ptrdiff_t(i));
        m_texts.erase(m_texts.begin() + std::ptrdiff_t(i));
        DeleteGraphPart(sample);
        DeleteGraphPart(text);
    }
    for (CDataPointBox* sample : m_samples)
        if (sample->GetIndex() > dataset)
            sample->SetIndex(sample->GetIndex() - 1);
    for (CLegendText* text : m_texts)
        if (text->GetEntry() > dataset)
            text->SetEntry(text->GetEntry() - 1);
    Relayout();
}

bool CLegend::Reorder(const std::vector<int>& order)
{
    const std::size_t n = m_samples.size();
    if (order.size() != n)
        return false;
    std::vector<bool> seen(n, false);
    for (int i : order) {
        if (i < 0 || std::size_t(i) >= n || seen[std::size_t(i)])
            return false;
        seen[std::size_t(i)] = true;
    }
    std::vector<CDataPointBox*> samples;
    std::vector<CLegendText*> texts;
    for (int i : order) {
        samples.push_back(m_samples[std::size_t(i)]);
        texts.push_back(m_texts[std::size_t(i)]);
    }
    m_samples = std::move(samples);
    m_texts = std::move(texts);
    return true;
}

CDataPointBox* CLegend::FindEntry(int dataset) const
{
    for (CDataPointBox* sample : m_samples)
        if (sample->GetIndex() == dataset)
            return sample;
    return nullptr;
}

CLegendText* CLegend::FindText(int dataset) const
{
    for (CLegendText* text : m_texts)
        if (text->GetEntry() == dataset)
            return text;
    return nullptr;
}

bool CLegend::IsShown() const { return m_pBox && m_pBox->IsShown(); }

void CLegend::Show(bool shown)
{
    if (m_bBusy)
        return;
    m_bBusy = 1;
    if (m_pBox)
        m_pBox->CDrawRect::SetDisplayOption(shown ? 1 : 0);
    for (CDataPointBox* sample : m_samples)
        sample->SetDisplayOption(shown ? 1 : 0);
    for (CLegendText* text : m_texts)
        text->CDrawText::SetDisplayOption(shown ? 1 : 0);
    m_bBusy = 0;
}

void CLegend::Relayout()
{
    if (!m_pBox)
        return;
    const int h = m_pBox->GetLineVisible() == 1 ? 4 : 0;
    const int gap = h + 57, pad = h + 72;
    const int n = int(m_samples.size());
    const int c = std::min(std::max(m_nColumns, 0), n);
    const int rows = c < 1 ? 0 : (n + c - 1) / c;
    std::vector<int> sampleWidth(std::size_t(std::max(c, 0)), 0), textWidth(std::size_t(std::max(c, 0)), 0);
    std::vector<int> rowHeight(std::size_t(rows), 0);
    for (int i = 0; i < n && c > 0; ++i) {
        const std::size_t col = std::size_t(i / rows), row = std::size_t(i % rows);
        sampleWidth[col] = std::max(sampleWidth[col], Width(m_samples[std::size_t(i)]));
        textWidth[col] = std::max(textWidth[col], Width(m_texts[std::size_t(i)]));
        rowHeight[row] = std::max({rowHeight[row], Height(m_samples[std::size_t(i)]), Height(m_texts[std::size_t(i)])});
    }
    const RECT box = NormalizedRect(m_pBox->GetPosition());
    int x = box.left + pad;
    for (int col = 0; col < c; ++col) {
        int top = box.bottom - gap;
        for (int row = 0; row < rows; ++row) {
            const int i = col * rows + row;
            if (i >= n)
                break;
            const int H = rowHeight[std::size_t(row)];
            CDrawObj* sample = m_samples[std::size_t(i)];
            CDrawObj* text = m_texts[std::size_t(i)];
            PlaceAt(sample, x, top - (H - Height(sample)) / 2);
            PlaceAt(text, x + sampleWidth[std::size_t(col)] + pad, top - (H - Height(text)) / 2);
            top -= H + gap;
        }
        x += sampleWidth[std::size_t(col)] + textWidth[std::size_t(col)] + 2 * pad;
    }
    int width = pad, height = gap;
    for (int col = 0; col < c; ++col)
        width += sampleWidth[std::size_t(col)] + textWidth[std::size_t(col)] + 2 * pad;
    for (int row = 0; row < rows; ++row)
        height += rowHeight[std::size_t(row)] + gap;
    if (c < 1)
        width = 10 * pad;
    if (rows < 1)
        height = 10 * gap;
    const RECT target{box.left, box.bottom - height, box.left + width, box.bottom};
    if (!EqualRect(target, box)) {
        m_pBox->Invalidate();
        m_pBox->CDrawObj::MoveTo(target);
        m_pBox->Invalidate();
    }
}

void CLegend::Offset(POINT offset)
{
    if (m_pBox)
        m_pBox->CDrawObj::MoveTo(OffsetRect(m_pBox->GetPosition(), offset.x, offset.y));
    for (CDataPointBox* sample : m_samples)
        sample->CDrawObj::MoveTo(OffsetRect(sample->GetPosition(), offset.x, offset.y));
    for (CLegendText* text : m_texts)
        text->CDrawObj::MoveTo(OffsetRect(text->GetPosition(), offset.x, offset.y));
}

void CLegend::OnFrameResized()
{
    for (CDataPointBox* sample : m_samples)
        sample->SizeFromFrame();
    Relayout();
}

void CLegend::OnBeforeStore(CDrawObjList& list)
{
    if (m_pBox && !Holds(list, m_pBox))
        list.push_back(m_pBox);
    for (CDataPointBox* sample : m_samples)
        if (!Holds(list, sample))
            list.push_back(sample);
    for (CLegendText* text : m_texts)
        if (!Holds(list, static_cast<CDrawObj*>(text)))
            list.push_back(static_cast<CDrawObj*>(text));
}

void CLegend::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        const CDrawObjList* list = m_pGraph->GetStoreList();
        auto index = [&](const CDrawObj* obj) { return std::int32_t(list && obj ? FindObjectIndex(*list, obj) : -1); };
        SerializeVersion(ar, 0);
        ar << std::int32_t(m_nColumns) << index(m_pBox);
        std::vector<std::int32_t> samples, texts;
        for (CDataPointBox* sample : m_samples)
            samples.push_back(index(sample));
        for (CLegendText* text : m_texts)
            texts.push_back(index(static_cast<CDrawObj*>(text)));
        StoreIndices(ar, samples);
        StoreIndices(ar, texts);
        return;
    }
    SerializeVersion(ar, 0);
    std::int32_t columns = 1, box = -1;
    ar >> columns >> box;
    m_nColumns = std::max(1, int(columns));
    m_nBoxIndex = box;
    LoadIndices(ar, m_sampleIndices);
    LoadIndices(ar, m_textIndices);
}

bool CLegend::Attach(CDrawObjList& list)
{
    bool ok = true;
    m_pBox = nullptr;
    m_samples.clear();
    m_texts.clear();
    if (m_nBoxIndex != -1) {
        m_pBox = dynamic_cast<CLegendBox*>(GetObjectAtIndex(list, m_nBoxIndex));
        // A sample is no box of its own.
        if (dynamic_cast<CDataPointBox*>(m_pBox))
            m_pBox = nullptr;
        ok = m_pBox != nullptr;
    }
    if (m_pBox)
        m_pBox->SetLegend(this);
    if (m_sampleIndices.size() != m_textIndices.size())
        ok = false;
    const std::size_t n = std::min(m_sampleIndices.size(), m_textIndices.size());
    for (std::size_t i = 0; i < n; ++i) {
        auto* sample = dynamic_cast<CDataPointBox*>(GetObjectAtIndex(list, m_sampleIndices[i]));
        auto* text = dynamic_cast<CLegendText*>(GetObjectAtIndex(list, m_textIndices[i]));
        if (!sample || !text) {
            ok = false;
            continue;
        }
        sample->SetLegend(this);
        text->SetLegend(this);
        m_samples.push_back(sample);
        m_texts.push_back(text);
    }
    m_sampleIndices.clear();
    m_textIndices.clear();
    return ok;
}

void CLegend::DeleteObjects()
{
    std::vector<CDrawObj*> objects;
    if (m_pBox)
        objects.push_back(m_pBox);
    for (CDataPointBox* sample : m_samples)
        objects.push_back(sample);
    for (CLegendText* text : m_texts)
        objects.push_back(static_cast<CDrawObj*>(text));
    m_pBox = nullptr;
    m_samples.clear();
    m_texts.clear();
    for (CDrawObj* obj : objects) {
        DeleteGraphPart(obj);
    }
}

void CLegend::CopyFrom(const CLegend& source) { m_nColumns = source.m_nColumns; }
