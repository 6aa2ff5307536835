#include "graph/XYAxis.h"

#include "draw/DrawDC.h"
#include "draw/DrawData.h"
#include "draw/PatternPen.h"
#include "framework/ArchiveHelpers.h"
#include "framework/UpdateNotification.h"
#include "graph/AxisScale.h"
#include "graph/DrawGraph.h"
#include "graph/GraphSources.h"
#include "graph/GraphText.h"
#include "graph/ScaleText.h"
#include "graph/XYDataset.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

IMPLEMENT_SERIAL(CXYAxis, CObject, 0)
IMPLEMENT_SERIAL(CXAxis, CXYAxis, 0)
IMPLEMENT_SERIAL(CYAxis, CXYAxis, 0)

// ---------------------------------------------------------------- category data

void CCategoryAxisData::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        SerializeVersion(ar, 0);
        ar << tableName << std::int32_t(column) << std::int32_t(labelStart) << std::int32_t(labelInterval)
           << std::int32_t(tickInterval) << std::int32_t(crossingCategory) << overlap << gap
           << std::int32_t(ticksBetween) << std::int32_t(percentages) << std::int32_t(grouping);
        return;
    }
    SerializeVersion(ar, 0);
    std::int32_t c = 0, start = 0, interval = 0, ticks = 0, cross = 0, between = 0, percent = 0, group = 0;
    ar >> tableName >> c >> start >> interval >> ticks >> cross >> overlap >> gap >> between >> percent >> group;
    column = c;
    // Intervals below 1 would stall the label and tick walks.
    labelStart = std::max(1, int(start));
    labelInterval = std::clamp(int(interval), 1, 1000000);
    tickInterval = std::clamp(int(ticks), 1, 1000000);
    crossingCategory = cross;
    ticksBetween = between;
    percentages = percent;
    grouping = group;
    labelsValid = false;
    labels.clear();
}

// ---------------------------------------------------------------- binding and labels

void CXYAxis::SetGraph(CDrawGraph* graph)
{
    m_pGraph = graph;
    const COLORREF colour = graph && graph->GetPage() ? graph->GetPage()->GetDefaultLineColor() : 0;
    m_crLine = m_crMajorGrid = m_crMinorGrid = colour;
}

void CXYAxis::CreateLabels(int number, bool otherSide)
{
    if (!m_pGraph || !m_pGraph->GetPage())
        return;
    CDrawData* page = m_pGraph->GetPage();
    const RECT frame = m_pGraph->GetFrame();
    std::string text = LoadString(IsVertical() ? IDS_Y_AXIS : IDS_X_AXIS);
    if (number > 1)
        text += " #" + std::to_string(number);
    if (!IsVertical()) {
        const int high = otherSide ? frame.bottom + 540 : frame.top - 360;
        m_pTitle = new CGraphText(RECT{frame.left, high - 180, frame.right, high}, page, m_pGraph);
        m_pLabels = MakeTickLabels(RECT{frame.left, frame.top - 270, frame.right, frame.top - 150}, page);
    } else {
        const int height = frame.bottom - frame.top;
        const int centreX = otherSide ? frame.right + 560 : frame.left - 560;
        const int centreY = (frame.top + frame.bottom) / 2;
        m_pTitle = new CGraphText(RECT{centreX - height / 2, centreY - 90, centreX - height / 2 + height, centreY + 90},
                                  page, m_pGraph);
        m_pLabels = MakeTickLabels(RECT{frame.left - 270, frame.top, frame.left - 150, frame.bottom}, page);
    }
    PARAFORMAT centred = page->GetDefaultParaFormat();
    centred.dwMask |= PFM_ALIGNMENT;
    centred.wAlignment = PFA_CENTER;
    m_pTitle->ReplaceText(nullptr, text, false);
    m_pTitle->SetParaFormat(nullptr, centred);
    if (IsVertical())
        m_pTitle->SetAngle(90.0);
    m_pLabels->SetAxis(this);
    page->AddObject(m_pTitle);
    page->AddObject(m_pLabels);
    m_pLabels->Reposition(false);
}

CXYScaleText* CXYAxis::MakeTickLabels(const RECT& position, CDrawData* page) const
{
    if (IsVertical())
        return new CYScaleText(position, page, m_pGraph);
    return new CXScaleText(position, page, m_pGraph);
}

void CXYAxis::SetCategorySource(const std::string& table, int column)
{
    m_category.tableName = table;
    m_category.column = column;
    m_category.labelsValid = false;
    LoadCategories();
    if (m_pGraph)
        m_pGraph->SetModified();
}

bool CXYAxis::IsAllAreas() const
{
    if (!m_pGraph || m_pGraph->GetDatasetCount() == 0)
        return false;
    if (m_pGraph->GetDatasetCount() > 1 && m_category.overlap != 100.0)
        return false;
    for (int i = 0; i < m_pGraph->GetDatasetCount(); ++i)
        if (m_pGraph->GetDataset(i)->GetBarType() != 1)
            return false;
    return true;
}

void CXYAxis::CopySettings(CXYAxis& t) const
{
    t.m_category = m_category;
    t.m_dMin = m_dMin;
    t.m_dMax = m_dMax;
    t.m_bAutoMin = m_bAutoMin;
    t.m_bAutoMax = m_bAutoMax;
    t.m_dMajor = m_dMajor;
    t.m_dMinor = m_dMinor;
    t.m_dCross = m_dCross;
    t.m_bAutoCross = m_bAutoCross;
    t.m_bAutoMajor = m_bAutoMajor;
    t.m_bAutoMinor = m_bAutoMinor;
    t.m_bLog = m_bLog;
    t.m_nMajorGridStyle = m_nMajorGridStyle;
    t.m_nMajorGridWidth = m_nMajorGridWidth;
    t.m_nMinorGridStyle = m_nMinorGridStyle;
    t.m_nMinorGridWidth = m_nMinorGridWidth;
    t.m_nLineWidth = m_nLineWidth;
    t.m_crLine = m_crLine;
    t.m_crMajorGrid = m_crMajorGrid;
    t.m_crMinorGrid = m_crMinorGrid;
    t.m_nOffset = m_nOffset;
    t.m_nStart = m_nStart;
    t.m_nEnd = m_nEnd;
    t.m_nBreakPlacement = m_nBreakPlacement;
    t.m_bCrossLine = m_bCrossLine;
    t.m_nTickStyle1 = m_nTickStyle1;
    t.m_nTickStyle2 = m_nTickStyle2;
    t.m_nCrossTickStyle = m_nCrossTickStyle;
    t.m_nTickLengthKind = m_nTickLengthKind;
    t.m_nCustomTickLength = m_nCustomTickLength;
}

// ---------------------------------------------------------------- mapping

void CXYAxis::AxisStretch(int& start, int& end) const
{
    const RECT frame = m_pGraph ? m_pGraph->GetFrame() : RECT{0, 0, 0, 0};
    const int a = IsVertical() ? frame.top : frame.left;
    const int b = IsVertical() ? frame.bottom : frame.right;
    start = a + MulDiv(m_nStart, b - a, 100);
    end = a + MulDiv(m_nEnd, b - a, 100);
}

CAxisMapping CXYAxis::GetMapping() const
{
    int start = 0, end = 0;
    AxisStretch(start, end);
    CAxisMapping m;
    m.log = m_bLog != 0;
    m.start = start;
    if (m.log) {
        m.valid = m_dMin > 0.0 && m_dMax > m_dMin;
        if (m.valid) {
            m.lo = std::log10(m_dMin);
            m.factor = (end - start) / (std::log10(m_dMax) - m.lo);
        }
    } else {
        m.valid = m_dMax > m_dMin && std::isfinite(m_dMax - m_dMin);
        m.lo = m_dMin;
        if (m.valid)
            m.factor = (end - start) / (m_dMax - m_dMin);
    }
    return m;
}

int CXYAxis::ValueToDevice(double v) const { return GetMapping().Map(v); }

// ---------------------------------------------------------------- scaling

void CXYAxis::Autoscale(bool logarithmic, double& min, double& max) const
{
    AxisScale::DefaultRange(logarithmic, min, max);
    if (!m_pGraph)
        return;
    const int index = IsVertical() ? m_pGraph->IndexOfYAxis(this) : m_pGraph->IndexOfXAxis(this);
    bool any = false, zero = false;
    for (int i = 0; i < m_pGraph->GetDatasetCount(); ++i) {
        CXYDataset* dataset = m_pGraph->GetDataset(i);
        if (IsVertical() ? !dataset->FindYAxis(index) : !dataset->FindXAxis(index))
            continue;
        double lo = 0.0, hi = 0.0;
        const bool answered = IsVertical() ? dataset->GetYRange(logarithmic, lo, hi) : dataset->GetXRange(logarithmic, lo, hi);
        if (!answered || !std::isfinite(lo) || !std::isfinite(hi))
            continue;
        if (!any) {
            min = lo;
            max = hi;
            any = true;
        } else {
            min = std::min(min, lo);
            max = std::max(max, hi);
        }
        // Bars rise from zero: a linear value axis shows where they start.
        zero = zero || (!logarithmic && dataset->RangeIncludesZero(IsVertical()));
    }
    if (any && zero) {
        min = std::min(min, 0.0);
        max = std::max(max, 0.0);
    }
    if (any)
        AxisScale::MakeNiceRange(logarithmic, min, max);
}

void CXYAxis::Rescale()
{
    double min = 0.0, max = 0.0;
    Autoscale(m_bLog != 0, min, max);
    if (min != m_dMin || max != m_dMax) {
        if (m_bAutoMax)
            m_dMax = max;
        if (m_bAutoMin)
            m_dMin = min;
        if (m_dMax <= m_dMin)
            m_dMax = m_dMin + 1.0;
        AxisScale::MendRange(m_bLog != 0, m_dMin, m_dMax);
        double major = 0.0, minor = 0.0, origin = 0.0;
        AxisScale::ChooseTickSteps(m_bLog != 0, m_dMin, m_dMax, major, minor, origin);
        if (m_bAutoCross)
            m_dCross = origin;
        if (m_bAutoMajor)
            m_dMajor = major;
        if (m_bAutoMinor)
            m_dMinor = minor;
    }
    if (m_pLabels)
        m_pLabels->Reposition(true);
}

std::vector<double> CXYAxis::MajorTickValues() const
{
    return AxisScale::MajorTicks(m_bLog != 0, m_dMin, m_dMax, m_dMajor);
}

std::vector<double> CXYAxis::MinorTickValues() const
{
    return AxisScale::MinorTicks(m_bLog != 0, m_dMin, m_dMax, m_dMajor, m_dMinor);
}

// ---------------------------------------------------------------- drawing

int CXYAxis::GetTickLength() const
{
    const RECT frame = m_pGraph ? m_pGraph->GetFrame() : RECT{0, 0, 0, 0};
    const int base = (frame.right - frame.left) / 22;
    switch (m_nTickLengthKind) {
    case 0: return base * 20 / 100;
    case 1: return base * 35 / 100;
    case 2: return base;
    default: return m_nCustomTickLength;
    }
}

void CXYAxis::Segment(CPatternPen& pen, int a1, int c1, int a2, int c2) const
{
    if (IsVertical()) {
        pen.MoveTo(c1, a1);
        pen.LineTo(c2, a2);
    } else {
        pen.MoveTo(a1, c1);
        pen.LineTo(a2, c2);
    }
}

void CXYAxis::DrawTickSet(CPatternPen& pen, const std::vector<double>& values, int from, int to)
{
    for (double v : values) {
        const int d = ValueToDevice(v);
        Segment(pen, d, from, d, to);
    }
}

void CXYAxis::DrawTicks(CPatternPen& pen, int position, int style, bool firstEdge)
{
    const int length = GetTickLength();
    auto span = [&](int len, int& from, int& to) {
        switch (style) {
        case 0: from = firstEdge ? position : position - len; to = firstEdge ? position + len : position; break;
        case 1: from = firstEdge ? position - len : position; to = firstEdge ? position : position + len; break;
        default: from = position - len; to = position + len; break;
        }
    };
    int from = 0, to = 0;
    span(length, from, to);
    DrawTickSet(pen, MajorTickValues(), from, to);
    span(length * 2 / 3, from, to);
    DrawTickSet(pen, MinorTickValues(), from, to);
}

void CXYAxis::DrawBreak(CPatternPen& pen, int position, int length, int edge)
{
    if (m_nBreakPlacement != edge && m_nBreakPlacement != 3)
        return;
    if (m_nStart > 0) {
        const int a = ValueToDevice(m_dMin);
        Segment(pen, a + length, position + length, a - length, position - length);
    }
    if (m_nEnd < 100) {
        const int a = ValueToDevice(m_dMax);
        Segment(pen, a + length, position + length, a - length, position - length);
    }
}

void CXYAxis::Draw(CDrawDC& dc)
{
    if (!m_pGraph || !dc.painter)
        return;
    AxisScale::MendRange(m_bLog != 0, m_dMin, m_dMax);
    const RECT frame = m_pGraph->GetFrame();
    const int first = (IsVertical() ? frame.left : frame.top) - m_nOffset;
    const int second = (IsVertical() ? frame.right : frame.bottom) + m_nOffset;
    // Tick style 1 belongs to the second edge of an X axis and the first of a Y axis.
    const int styleFirst = IsVertical() ? m_nTickStyle1 : m_nTickStyle2;
    const int styleSecond = IsVertical() ? m_nTickStyle2 : m_nTickStyle1;
    const int edgeFirstOn = IsVertical() ? m_pGraph->m_bLeftEdge : m_pGraph->m_bTopEdge;
    const int edgeSecondOn = IsVertical() ? m_pGraph->m_bRightEdge : m_pGraph->m_bBottomEdge;
    const int lo = ValueToDevice(m_dMin), hi = ValueToDevice(m_dMax);

    CPatternPen pen;
    pen.Create(dc.painter, 0, m_nLineWidth, m_crLine);
    if (styleFirst != 3 && (m_nOffset != 0 || !edgeFirstOn))
        Segment(pen, lo, first, hi, first);
    if (styleSecond != 3 && (m_nOffset != 0 || !edgeSecondOn))
        Segment(pen, lo, second, hi, second);
    pen.Release();

    auto grid = [&](int style, int width, COLORREF colour, const std::vector<double>& values) {
        if (style == 5 || style < 0 || style > 5)
            return;
        CPatternPen gridPen;
        gridPen.Create(dc.painter, style, width, colour);
        DrawTickSet(gridPen, values, IsVertical() ? frame.left : frame.top, IsVertical() ? frame.right : frame.bottom);
        gridPen.Release();
    };
    grid(m_nMajorGridStyle, m_nMajorGridWidth, m_crMajorGrid, MajorTickValues());
    grid(m_nMinorGridStyle, m_nMinorGridWidth, m_crMinorGrid, MinorTickValues());

    CPatternPen tickPen;
    tickPen.Create(dc.painter, 0, m_nLineWidth, m_crLine);
    const int length = GetTickLength();
    if (styleFirst != 3) {
        DrawTicks(tickPen, first, styleFirst, true);
        DrawBreak(tickPen, first, length, 0);
    }
    if (styleSecond != 3) {
        DrawTicks(tickPen, second, styleSecond, false);
        DrawBreak(tickPen, second, length, 1);
    }
    tickPen.Release();
}

void CXYAxis::DrawAtPosition(CDrawDC& dc, int position)
{
    if (!dc.painter)
        return;
    CPatternPen pen;
    pen.Create(dc.painter, 0, m_nLineWidth, m_crLine);
    Segment(pen, ValueToDevice(m_dMin), position, ValueToDevice(m_dMax), position);
    if (m_nCrossTickStyle != 3) {
        DrawTicks(pen, position, m_nCrossTickStyle, true);
        DrawBreak(pen, position, GetTickLength(), 2);
    }
    pen.Release();
}

void CXYAxis::GetLabelExtents(RECT& margins) const
{
    const int need = GetTickLength() + m_nOffset;
    if (IsVertical()) {
        margins.left = std::max<LONG>(margins.left, need);
        margins.right = std::max<LONG>(margins.right, need);
    } else {
        margins.top = std::max<LONG>(margins.top, need);
        margins.bottom = std::max<LONG>(margins.bottom, need);
    }
}

// ---------------------------------------------------------------- notices and moves

void CXYAxis::OnDocumentChange(CUpdateNotification& notice, bool dataChanged)
{
    if (notice.kind == UN_ITEM_RENAMED && !m_category.tableName.empty() && SameName(m_category.tableName, notice.oldName)) {
        m_category.tableName = notice.newName;
        if (m_pGraph)
            m_pGraph->SetModified();
    }
    if (!m_bAutoMin && !m_bAutoMax)
        return;
    bool affected = dataChanged;
    for (int i = 0; !affected && m_pGraph && i < m_pGraph->GetDatasetCount(); ++i)
        affected = m_pGraph->GetDataset(i)->IsAffectedBy(notice);
    if (affected)
        Rescale();
}

void CXYAxis::OnFrameMoved(const RECT& oldFrame, const RECT& newFrame)
{
    const POINT offset{newFrame.left - oldFrame.left, newFrame.top - oldFrame.top};
    if (m_pTitle && m_pTitle->GetAngle() == 0.0 && !IsVertical()) {
        RECT r = NormalizedRect(m_pTitle->GetPosition());
        if (r.right - r.left == oldFrame.right - oldFrame.left) {
            r.right = r.left + (newFrame.right - newFrame.left);
            m_pTitle->MoveTo(r);
        }
    }
    OffsetLabels(offset);
}

void CXYAxis::OffsetLabels(POINT offset)
{
    for (CDrawObj* label : {static_cast<CDrawObj*>(m_pTitle), static_cast<CDrawObj*>(m_pLabels)}) {
        if (!label)
            continue;
        label->MoveTo(OffsetRect(label->GetPosition(), offset.x, offset.y));
    }
}

// ---------------------------------------------------------------- stored form

void CXYAxis::OnBeforeStore(CDrawObjList& list)
{
    for (CDrawObj* label : {static_cast<CDrawObj*>(m_pTitle), static_cast<CDrawObj*>(m_pLabels)})
        if (label && FindObjectIndex(list, label) < 0)
            list.push_back(label);
}

void CXYAxis::SerializeObject(CArchive& ar)
{
    if (ar.IsStoring()) {
        const CDrawObjList* list = m_pGraph ? m_pGraph->GetStoreList() : nullptr;
        ar << std::int32_t(list && m_pTitle ? FindObjectIndex(*list, m_pTitle) : -1);
        ar << std::int32_t(list && m_pLabels ? FindObjectIndex(*list, m_pLabels) : -1);
    } else {
        std::int32_t title = -1, labels = -1;
        ar >> title >> labels;
        m_nTitleIndex = title;
        m_nLabelsIndex = labels;
    }
    Serialize(ar);
}

bool CXYAxis::AttachLabels(CDrawObjList& list)
{
    bool ok = true;
    m_pTitle = nullptr;
    m_pLabels = nullptr;
    // Positions come from the file: each must name an object of the list
    // that is of the right class, else the part is left out.
    if (m_nTitleIndex != -1) {
        m_pTitle = dynamic_cast<CGraphText*>(GetObjectAtIndex(list, m_nTitleIndex));
        ok = ok && m_pTitle;
    }
    if (m_nLabelsIndex != -1) {
        m_pLabels = dynamic_cast<CXYScaleText*>(GetObjectAtIndex(list, m_nLabelsIndex));
        ok = ok && m_pLabels;
    }
    if (m_pTitle)
        m_pTitle->SetGraph(m_pGraph);
    if (m_pLabels) {
        m_pLabels->SetGraph(m_pGraph);
        m_pLabels->SetAxis(this);
    }
    return ok;
}

void CXYAxis::DeleteLabels()
{
    for (CDrawObj* label : {static_cast<CDrawObj*>(m_pTitle), static_cast<CDrawObj*>(m_pLabels)}) {
        if (!label)
            continue;
        DeleteGraphPart(label);
    }
    m_pTitle = nullptr;
    m_pLabels = nullptr;
}

void CXYAxis::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        SerializeVersion(ar, 1);
        m_category.Serialize(ar);
        ar << m_dMin << m_dMax << std::int32_t(m_bAutoMin) << std::int32_t(m_bAutoMax);
        ar << m_dMajor << m_dMinor << m_dCross;
        ar << std::int32_t(m_bAutoCross) << std::int32_t(m_bAutoMajor) << std::int32_t(m_bAutoMinor)
           << std::int32_t(m_bLog);
        ar << std::int32_t(m_nMajorGridStyle) << std::int32_t(m_nMajorGridWidth) << std::int32_t(m_nMinorGridStyle)
           << std::int32_t(m_nMinorGridWidth) << std::int32_t(m_nLineWidth);
        ar << std::uint32_t(m_crLine) << std::uint32_t(m_crMajorGrid) << std::uint32_t(m_crMinorGrid);
        ar << std::int32_t(m_nOffset) << std::int32_t(m_nStart) << std::int32_t(m_nEnd)
           << std::int32_t(m_nBreakPlacement);
        ar << std::int32_t(m_nTickStyle1) << std::int32_t(m_nTickStyle2) << std::int32_t(m_nCrossTickStyle)
           << std::int32_t(m_nTickLengthKind) << std::int32_t(m_nCustomTickLength);
        ar << std::int32_t(m_bCrossLine);
        return;
    }
    const int version = SerializeVersion(ar, 1);
    m_category.Serialize(ar);
    std::int32_t v[20] = {};
    ar >> m_dMin >> m_dMax >> v[0] >> v[1];
    ar >> m_dMajor >> m_dMinor >> m_dCross;
    ar >> v[2] >> v[3] >> v[4] >> v[5];
    ar >> v[6] >> v[7] >> v[8] >> v[9] >> v[10];
    std::uint32_t c1 = 0, c2 = 0, c3 = 0;
    ar >> c1 >> c2 >> c3;
    ar >> v[11] >> v[12] >> v[13] >> v[14];
    ar >> v[15] >> v[16] >> v[17] >> v[18] >> v[19];
    std::int32_t crossLine = 1;
    if (version >= 1)
        ar >> crossLine;
    m_bAutoMin = v[0];
    m_bAutoMax = v[1];
    m_bAutoCross = v[2];
    m_bAutoMajor = v[3];
    m_bAutoMinor = v[4];
    m_bLog = v[5];
    m_nMajorGridStyle = v[6];
    m_nMajorGridWidth = v[7];
    m_nMinorGridStyle = v[8];
    m_nMinorGridWidth = v[9];
    m_nLineWidth = v[10];
    m_crLine = c1;
    m_crMajorGrid = c2;
    m_crMinorGrid = c3;
    m_nOffset = v[11];
    // The stretch is a share of the frame: outside 0..100 it is damage.
    m_nStart = std::clamp(int(v[12]), 0, 100);
    m_nEnd = std::clamp(int(v[13]), 0, 100);
    m_nBreakPlacement = v[14];
    m_nTickStyle1 = v[15];
    m_nTickStyle2 = v[16];
    m_nCrossTickStyle = v[17];
    m_nTickLengthKind = v[18];
    m_nCustomTickLength = v[19];
    m_bCrossLine = crossLine;
    // Categories are places, not values: a logarithmic mapping has no meaning.
    if (m_bCategory)
        m_bLog = 0;
    // A stored range that cannot be drawn is mended before any tick is made.
    AxisScale::MendRange(m_bLog != 0, m_dMin, m_dMax);
}
