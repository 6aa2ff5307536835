#include "graph/ScaleText.h"

#include "draw/DrawDC.h"
#include "draw/DrawData.h"
#include "draw/FormatMerge.h"
#include "framework/ArchiveHelpers.h"
#include "graph/DrawGraph.h"
#include "graph/GraphFont.h"
#include "graph/XYAxis.h"

#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>

#include <algorithm>
#include <cmath>

IMPLEMENT_SERIAL(CXYScaleText, CDrawRect, 0)
IMPLEMENT_SERIAL(CXScaleText, CXYScaleText, 0)
IMPLEMENT_SERIAL(CYScaleText, CXYScaleText, 0)

namespace {

QColor ToColour(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }

bool Holds(const CDrawObjList& list, const CDrawObj* obj) { return obj && FindObjectIndex(list, obj) >= 0; }

constexpr int kAngles[5] = {0, 45, 90, 270, 315};

// Room between the frame and the labels beyond the tick marks.
constexpr int kLabelGap = 60;

} // namespace

CXYScaleText::CXYScaleText()
{
    m_format.m_decimals = 5;
    m_format.m_maxDigits = 10;
    m_format.m_trailingZeros = 1;
    m_format.m_scientificForSmall = 0;
}

CYScaleText::CYScaleText() : CXYScaleText() {}

CXYScaleText::CXYScaleText(const RECT& position, CDrawData* page, CDrawGraph* graph, bool vertical)
    : CDrawRect(position, page)
    , m_pGraph(graph)
    , m_bVertical(vertical ? 1 : 0)
{
    m_format.m_decimals = 5;
    m_format.m_maxDigits = 10;
    m_format.m_trailingZeros = 1;
    m_format.m_scientificForSmall = 0;
    if (page) {
        m_charFormat = page->GetDefaultCharFormat();
        m_paraFormat = page->GetDefaultParaFormat();
    }
    m_paraFormat.dwMask |= PFM_ALIGNMENT;
    m_paraFormat.wAlignment = vertical ? PFA_RIGHT : PFA_CENTER;
    m_bLineOn = 0;
}

void CXYScaleText::Serialize(CArchive& ar)
{
    CDrawObj::Serialize(ar);
    if (ar.IsStoring()) {
        SerializeVersion(ar, 0);
        ArchiveStoreCharFormat(ar, m_charFormat);
        ArchiveStoreParaFormat(ar, m_paraFormat);
        ArchiveStorePair(ar, m_labelSize.cx, m_labelSize.cy);
        ar << std::int32_t(m_nOrientation);
        ArchiveStoreRect(ar, m_overhang);
        SerializeVersion(ar, 1);
        m_format.Serialize(ar);
        ar << std::int32_t(m_bCustomFormat) << m_strCustomFormat;
        return;
    }
    SerializeVersion(ar, 0);
    ArchiveLoadCharFormat(ar, m_charFormat);
    ArchiveLoadParaFormat(ar, m_paraFormat);
    LONG w = 0, h = 0;
    ArchiveLoadPair(ar, w, h);
    m_labelSize = SIZE{w, h};
    std::int32_t orientation = 0;
    ar >> orientation;
    m_nOrientation = std::clamp(int(orientation), 0, 4);
    ArchiveLoadRect(ar, m_overhang);
    const int version = SerializeVersion(ar, 1);
    m_format.Serialize(ar);
    if (version >= 1) {
        std::int32_t custom = 0;
        ar >> custom >> m_strCustomFormat;
        m_bCustomFormat = custom;
    } else {
        m_bCustomFormat = 0;
        m_strCustomFormat.clear();
    }
    m_bVertical = dynamic_cast<CYScaleText*>(this) ? 1 : 0;
}

CXYScaleText* CXYScaleText::NewOfSameKind(const RECT& position, CDrawData* page) const
{
    if (m_bVertical)
        return new CYScaleText(position, page, nullptr);
    return new CXScaleText(position, page, nullptr);
}

void CXYScaleText::CopyFrom(const CXYScaleText& other)
{
    other.CopyAttributes(this);
    m_charFormat = other.m_charFormat;
    m_paraFormat = other.m_paraFormat;
    m_labelSize = other.m_labelSize;
    m_nOrientation = other.m_nOrientation;
    m_overhang = other.m_overhang;
    m_format.Merge(other.m_format);
    m_bCustomFormat = other.m_bCustomFormat;
    m_strCustomFormat = other.m_strCustomFormat;
}

CDrawObj* CXYScaleText::Clone(CDrawData* page)
{
    std::unique_ptr<CXYScaleText> clone(NewOfSameKind(m_position, page));
    clone->CopyFrom(*this);
    return AdoptClone(std::move(clone));
}

int CXYScaleText::CanClearWith(const CDrawObjList& selection) { return Holds(selection, m_pGraph) ? 1 : 0; }
int CXYScaleText::IsClearedAlone(const CDrawObjList& selection) { return Holds(selection, m_pGraph) ? 0 : 1; }
int CXYScaleText::CanCopyWith(const CDrawObjList& selection) { return Holds(selection, m_pGraph) ? 1 : 0; }

int CXYScaleText::SetCharFormat(CDrawViewBase*, const CHARFORMAT& format)
{
    MergeCharFormat(m_charFormat, format);
    Reposition(true);
    SetModified();
    return 1;
}

int CXYScaleText::SetParaFormat(CDrawViewBase*, const PARAFORMAT& format)
{
    if (!(format.dwMask & PFM_ALIGNMENT))
        return 0;
    m_paraFormat.wAlignment = format.wAlignment;
    Reposition(true);
    SetModified();
    return 1;
}

void CXYScaleText::SetTextColor(COLORREF colour, bool)
{
    CHARFORMAT format;
    format.dwMask = CFM_COLOR;
    format.crTextColor = colour;
    SetCharFormat(nullptr, format);
}

double CXYScaleText::GetTextOrientation() { return kAngles[std::clamp(m_nOrientation, 0, 4)]; }

void CXYScaleText::SetTextOrientation(double degrees)
{
    for (int code = 0; code < 5; ++code)
        if (degrees == kAngles[code]) {
            m_nOrientation = code;
            Reposition(true);
            SetModified();
            return;
        }
}

std::string CXYScaleText::LabelText(double value) const
{
    std::string text = m_format.FormatNumber(value);
    if (m_bCustomFormat) {
        std::string out = m_strCustomFormat;
        const auto at = out.find("%1");
        if (at != std::string::npos)
            out.replace(at, 2, text);
        return out;
    }
    return text;
}

int CXYScaleText::FontHeight() const { return GraphFontHeight(m_charFormat); }


std::vector<CTickLabel> CXYScaleText::Labels() const
{
    std::vector<CTickLabel> labels;
    if (!m_pAxis)
        return labels;
    for (double v : m_pAxis->MajorTickValues())
        labels.push_back(CTickLabel{v, LabelText(v)});
    return labels;
}

SIZE CXYScaleText::MeasureLabels() const
{
    const std::vector<CTickLabel> labels = Labels();
    // Without labels the block keeps its last size.
    if (!m_pAxis || labels.empty())
        return m_labelSize;
    if (!QGuiApplication::instance()) {
        // No fonts without the application (command-line conversions): an
        // estimate of the average figure's width stands in for measuring.
        std::size_t longest = 0;
        for (const CTickLabel& label : labels)
            longest = std::max(longest, label.text.size());
        const int h = FontHeight();
        return SIZE{LONG(longest * std::size_t(h) * 6 / 10), LONG(h * 6 / 5)};
    }
    const QFontMetricsF metrics(GraphFont(m_charFormat, FontHeight()));
    double width = 0.0;
    for (const CTickLabel& label : labels)
        width = std::max(width, metrics.horizontalAdvance(QString::fromStdString(label.text)));
    return SIZE{LONG(std::ceil(width)), LONG(std::ceil(metrics.height()))};
}

void CXYScaleText::Reposition(bool keepOffset)
{
    if (!m_pGraph || !m_pAxis)
        return;
    m_labelSize = MeasureLabels();
    const RECT frame = m_pGraph->GetFrame();
    const RECT old = NormalizedRect(m_position);
    const int out = m_pAxis->GetTickLength() + m_pAxis->m_nOffset + kLabelGap;
    RECT r{};
    if (!m_bVertical) {
        const int high = keepOffset && old.bottom != old.top ? old.bottom : frame.top - out;
        r = RECT{frame.left - m_labelSize.cx / 2, high - m_labelSize.cy, frame.right + m_labelSize.cx / 2, high};
    } else {
        const int right = keepOffset && old.right != old.left ? old.right : frame.left - out;
        r = RECT{right - m_labelSize.cx, frame.top - m_labelSize.cy / 2, right, frame.bottom + m_labelSize.cy / 2};
    }
    m_overhang = RECT{m_labelSize.cx / 2, m_labelSize.cy / 2, m_labelSize.cx / 2, m_labelSize.cy / 2};
    SetReportChanges(false);
    CDrawObj::MoveTo(r);
    SetReportChanges(true);
}

void CXYScaleText::Draw(CDrawDC& dc, CDrawViewBase*)
{
    if (!dc.painter || !m_pAxis)
        return;
    QPainter& p = *dc.painter;
    p.save();
    const int height = FontHeight();
    const QFont font = GraphFont(m_charFormat, height);
    p.setFont(font);
    p.setPen(ToColour(m_charFormat.crTextColor));
    const QFontMetricsF metrics(font);
    const RECT r = NormalizedRect(m_position);
    const double angle = kAngles[std::clamp(m_nOrientation, 0, 4)];
    for (const CTickLabel& label : Labels()) {
        const int at = m_pAxis->ValueToDevice(label.value);
        if (at == CXYAxis::kLowMark || at == CXYAxis::kHighMark || label.text.empty())
            continue;
        const QString text = QString::fromStdString(label.text);
        const double w = metrics.horizontalAdvance(text);
        double x = 0.0, y = 0.0, dx = 0.0;
        if (!m_bVertical) {
            x = at;
            y = r.bottom;
            dx = -w / 2.0;
        } else {
            y = at + metrics.height() / 2.0;
            const WORD align = m_paraFormat.wAlignment;
            x = align == PFA_LEFT ? r.left : (align == PFA_CENTER ? (r.left + r.right) / 2.0 : r.right);
            dx = align == PFA_LEFT ? 0.0 : (align == PFA_CENTER ? -w / 2.0 : -w);
        }
        p.save();
        // Page units run up; text is laid out downwards from its anchor.
        p.translate(x, y);
        p.scale(1.0, -1.0);
        if (angle != 0.0)
            p.rotate(-angle);
        p.drawText(QPointF(dx, metrics.ascent()), text);
        p.restore();
    }
    p.restore();
}
