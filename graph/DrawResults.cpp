#include "graph/DrawResults.h"

#include "draw/DrawDC.h"
#include "draw/DrawData.h"
#include "draw/FormatMerge.h"
#include "framework/ArchiveHelpers.h"
#include "framework/UpdateNotification.h"
#include "graph/DrawGraph.h"
#include "graph/GraphFont.h"
#include "graph/GraphSources.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>

#include <algorithm>
#include <cmath>

IMPLEMENT_SERIAL(CDrawResults, CDrawObj, 0)

namespace {

// More parameters than this in one listing is damage.
constexpr int kMaxParameters = 1000;

QColor ToColour(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }

// Text extents in page units for one font.
class TextMeasure {
public:
    explicit TextMeasure(const CHARFORMAT& format)
        : m_height(GraphFontHeight(format))
        , m_app(QGuiApplication::instance() != nullptr)
        , m_metrics(m_app ? QFontMetricsF(GraphFont(format, m_height)) : QFontMetricsF(QFont()))
    {
    }
    int Width(const std::string& text) const
    {
        // No fonts without the application (command-line conversions): an
        // average figure's width stands in.
        if (!m_app)
            return int(text.size()) * m_height * 6 / 10;
        return int(std::ceil(m_metrics.horizontalAdvance(QString::fromStdString(text))));
    }
    int LineHeight() const { return m_app ? int(std::ceil(m_metrics.lineSpacing())) : m_height * 6 / 5; }
    int CharWidth() const { return m_app ? int(std::ceil(m_metrics.averageCharWidth())) : m_height * 6 / 10; }
    double Ascent() const { return m_app ? m_metrics.ascent() : m_height; }

private:
    int m_height;
    bool m_app;
    QFontMetricsF m_metrics;
};

void Widen(SIZE& size, int width, int height)
{
    size.cx = std::max<LONG>(size.cx, width);
    size.cy = std::max<LONG>(size.cy, height);
}

} // namespace

// ---------------------------------------------------------------- layout

int CResultsLayout::Width() const
{
    if (!message.empty())
        return messageSize.cx;
    return columnWidth[0] + columnWidth[1] + columnWidth[2] + 8 * charWidth;
}

int CResultsLayout::Height() const
{
    if (!message.empty())
        return lineHeight;
    return (int(rows.size()) + 3) * lineHeight;
}

int CResultsLayout::ColumnStart(int c) const
{
    switch (c) {
    case 1: return columnWidth[0] + 4 * charWidth;
    case 2: return columnWidth[0] + columnWidth[1] + 8 * charWidth;
    default: return 0;
    }
}

CResultsLayout CDrawResults::Layout() const
{
    CResultsLayout l;
    const TextMeasure measure(m_charFormat);
    l.lineHeight = measure.LineHeight();
    l.charWidth = measure.CharWidth();
    CGraphFitSource* fit = GetResultsItem();
    if (!fit)
        l.message = LoadString(IDS_RESULTS_BAD_NAME);
    else if (fit->GetFitCount() < 1)
        l.message = LoadString(IDS_RESULTS_NONE_FITTED);
    else if (fit->GetFitStatus(m_nFit) < 0)
        l.message = LoadString(IDS_RESULTS_BAD_FIT);
    else if (fit->IsCalculating())
        l.message = LoadString(IDS_RESULTS_CALCULATING);
    else if (fit->GetFitStatus(m_nFit) == 0)
        l.message = LoadString(IDS_RESULTS_NOT_FITTED);
    else if (fit->GetFitStatus(m_nFit) != 1)
        l.message = LoadString(IDS_RESULTS_FAILED);
    if (!l.message.empty()) {
        l.messageSize = SIZE{measure.Width(l.message), l.lineHeight};
        return l;
    }
    const std::string texts[3] = {LoadString(IDS_RESULT_GRID_PARAMETER), LoadString(IDS_CURVE_VALUE),
                                  LoadString(IDS_RESULT_GRID_STD_ERROR)};
    for (int c = 0; c < 3; ++c)
        l.heading[c] = SIZE{measure.Width(texts[c]), l.lineHeight};
    const int count = std::min(fit->GetParameterCount(), kMaxParameters);
    SIZE names{0, 0};
    for (int p = 0; p < count; ++p) {
        std::string name;
        double value = 0.0, error = 0.0;
        if (!fit->GetParameter(m_nFit, p, name, value, error))
            continue;
        CResultsLayout::Row row;
        row.name = name;
        m_format.FormatNumberSplitDecimal(row.valueInt, row.valueDec, value);
        m_format.FormatNumberSplitDecimal(row.errorInt, row.errorDec, error);
        Widen(names, measure.Width(row.name), l.lineHeight);
        Widen(l.valueInt, measure.Width(row.valueInt), l.lineHeight);
        Widen(l.valueDec, measure.Width(row.valueDec), l.lineHeight);
        Widen(l.errorInt, measure.Width(row.errorInt), l.lineHeight);
        Widen(l.errorDec, measure.Width(row.errorDec), l.lineHeight);
        l.rows.push_back(std::move(row));
    }
    l.columnWidth[0] = std::max<int>(l.heading[0].cx, names.cx);
    l.columnWidth[1] = std::max<int>(l.heading[1].cx, l.valueInt.cx + l.valueDec.cx);
    l.columnWidth[2] = std::max<int>(l.heading[2].cx, l.errorInt.cx + l.errorDec.cx);
    return l;
}

// ---------------------------------------------------------------- object

CDrawResults::CDrawResults(const std::string& item, const RECT& position, CDrawData* page, int fit)
    : CDrawObj(position, page)
    , m_strItem(item)
    , m_nFit(fit)
{
    if (page)
        m_charFormat = page->GetDefaultCharFormat();
    RecalcSize();
}

CGraphFitSource* CDrawResults::GetResultsItem() const
{
    CGraphSources* sources = CGraphSources::Of(m_pDocument);
    return sources ? sources->FindFit(m_strItem) : nullptr;
}

void CDrawResults::RecalcSize()
{
    m_bSizesValid = 0;
    const CResultsLayout l = Layout();
    for (int c = 0; c < 3; ++c)
        m_heading[c] = l.heading[c];
    m_message = l.messageSize;
    m_nLineHeight = l.lineHeight;
    m_nCharWidth = l.charWidth;
    m_valueInt = l.valueInt;
    m_valueDec = l.valueDec;
    m_errorInt = l.errorInt;
    m_errorDec = l.errorDec;
    m_bSizesValid = 1;
    // The listing keeps its left edge and its upper edge.
    const RECT r = NormalizedRect(m_position);
    SetReportChanges(false);
    CDrawObj::MoveTo(RECT{r.left, r.bottom - l.Height(), r.left + l.Width(), r.bottom});
    SetReportChanges(true);
    Invalidate();
}

void CDrawResults::Draw(CDrawDC& dc, CDrawViewBase*)
{
    if (!dc.painter)
        return;
    QPainter& p = *dc.painter;
    const CResultsLayout l = Layout();
    const TextMeasure measure(m_charFormat);
    const RECT r = NormalizedRect(m_position);
    const int left = r.left, top = r.bottom;
    p.save();
    p.setFont(GraphFont(m_charFormat, GraphFontHeight(m_charFormat)));
    p.setPen(ToColour(m_charFormat.crTextColor));
    // Page units run up; text is laid out downwards from the top of its line.
    auto text = [&](int x, int lineTop, const std::string& s) {
        if (s.empty())
            return;
        p.save();
        p.translate(x, lineTop);
        p.scale(1.0, -1.0);
        p.drawText(QPointF(0.0, measure.Ascent()), QString::fromStdString(s));
        p.restore();
    };
    if (!l.message.empty()) {
        text(left, top, l.message);
        p.restore();
        return;
    }
    const std::string headings[3] = {LoadString(IDS_RESULT_GRID_PARAMETER), LoadString(IDS_CURVE_VALUE),
                                     LoadString(IDS_RESULT_GRID_STD_ERROR)};
    for (int c = 0; c < 3; ++c)
        text(left + l.ColumnStart(c) + (l.columnWidth[c] - l.heading[c].cx) / 2, top, headings[c]);
    const int ruleY = top - 2 * l.lineHeight + l.lineHeight / 2;
    p.drawLine(QPointF(left, ruleY), QPointF(left + l.Width(), ruleY));
    // Every number's integer part ends, and its decimal part starts, at one
    // separator position, the block of both centred in its column.
    const int valueSep = left + l.ColumnStart(1) + (l.columnWidth[1] - (l.valueInt.cx + l.valueDec.cx)) / 2
        + l.valueInt.cx;
    const int errorSep = left + l.ColumnStart(2) + (l.columnWidth[2] - (l.errorInt.cx + l.errorDec.cx)) / 2
        + l.errorInt.cx;
    for (std::size_t j = 0; j < l.rows.size(); ++j) {
        const CResultsLayout::Row& row = l.rows[j];
        const int lineTop = top - int(j + 2) * l.lineHeight;
        text(left, lineTop, row.name);
        text(valueSep - measure.Width(row.valueInt), lineTop, row.valueInt);
        text(valueSep, lineTop, row.valueDec);
        text(errorSep - measure.Width(row.errorInt), lineTop, row.errorInt);
        text(errorSep, lineTop, row.errorDec);
    }
    p.restore();
}

CDrawObj* CDrawResults::Clone(CDrawData* page)
{
    auto clone = std::make_unique<CDrawResults>(m_strItem, m_position, page, m_nFit);
    CopyAttributes(clone.get());
    clone->m_charFormat = m_charFormat;
    clone->m_format.Merge(m_format);
    clone->RecalcSize();
    return AdoptClone(std::move(clone));
}

void CDrawResults::SetTextColor(COLORREF colour, bool)
{
    m_charFormat.dwMask |= CFM_COLOR;
    m_charFormat.crTextColor = colour;
    Invalidate();
    SetModified();
}

int CDrawResults::SetCharFormat(CDrawViewBase*, const CHARFORMAT& format)
{
    MergeCharFormat(m_charFormat, format);
    RecalcSize();
    SetModified();
    return 1;
}

void CDrawResults::SetResults(const std::string& item, int fit)
{
    Invalidate();
    m_strItem = item;
    m_nFit = std::max(fit, 0);
    RecalcSize();
    Invalidate();
    SetModified();
}

void CDrawResults::OnEditProperties(CDrawViewBase* view)
{
    // Every style page but Rotation.
    EditProperties(view, LoadString(IDS_RESULTS_PROPERTIES), 191);
}

void CDrawResults::OnDocumentChange(CUpdateNotification& n)
{
    CGraphSources* sources = CGraphSources::Of(m_pDocument);
    switch (n.kind) {
    case UN_ITEM_RENAMED:
        if (SameName(n.oldName, m_strItem)) {
            m_strItem = n.newName;
            SetModified();
        }
        return;
    case UN_ITEM_REMOVING: {
        if (SameName(n.oldName, m_strItem)) {
            // The listing goes with its fit item (the page walks a copy of its list).
            DeleteGraphPart(this);
            return;
        }
        CGraphFitSource* fit = GetResultsItem();
        CMXProjectItem* gone = sources ? sources->FindGraphItem(n.oldName) : nullptr;
        if (fit && gone && fit->GetDataItem() == gone) {
            RecalcSize();
            SetModified();
        }
        return;
    }
    case UN_CALC_STATE:
        if (sources && n.item && sources->FindGraphItem(m_strItem) == n.item) {
            RecalcSize();
            SetModified();
        }
        return;
    default: return;
    }
}

// ---------------------------------------------------------------- stored form

void CDrawResults::Serialize(CArchive& ar)
{
    CDrawObj::Serialize(ar);
    if (ar.IsStoring()) {
        SerializeVersion(ar, 1);
        m_format.Serialize(ar);
        ArchiveStoreCharFormat(ar, m_charFormat);
        ar << m_strItem << std::int32_t(m_nFit);
        ar << std::int32_t(m_bSizesValid);
        for (const SIZE& s : m_heading)
            ArchiveStorePair(ar, s.cx, s.cy);
        ArchiveStorePair(ar, m_message.cx, m_message.cy);
        ar << std::int32_t(m_nLineHeight) << std::int32_t(m_nCharWidth);
        for (const SIZE* s : {&m_valueInt, &m_valueDec, &m_errorInt, &m_errorDec})
            ArchiveStorePair(ar, s->cx, s->cy);
        return;
    }
    const int version = SerializeVersion(ar, 1);
    m_format.Serialize(ar);
    ArchiveLoadCharFormat(ar, m_charFormat);
    std::int32_t fit = 0;
    ar >> m_strItem >> fit;
    m_nFit = fit;
    m_bSizesValid = 0;
    m_heading[0] = m_heading[1] = m_heading[2] = m_message = SIZE{0, 0};
    m_nLineHeight = m_nCharWidth = 0;
    m_valueInt = m_valueDec = m_errorInt = m_errorDec = SIZE{0, 0};
    if (version < 1)
        return; // measured again before use
    std::int32_t valid = 0, line = 0, width = 0;
    ar >> valid;
    for (SIZE& s : m_heading)
        ArchiveLoadPair(ar, s.cx, s.cy);
    ArchiveLoadPair(ar, m_message.cx, m_message.cy);
    ar >> line >> width;
    for (SIZE* s : {&m_valueInt, &m_valueDec, &m_errorInt, &m_errorDec})
        ArchiveLoadPair(ar, s->cx, s->cy);
    m_bSizesValid = valid;
    m_nLineHeight = line;
    m_nCharWidth = width;
}
