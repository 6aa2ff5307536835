#include "draw/DrawTextBase.h"

#include "draw/DrawDC.h"
#include "draw/DrawData.h"
#include "draw/DrawViewBase.h"
#include "draw/FormatMerge.h"
#include "framework/ArchiveHelpers.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"
#include "ui/widgets/RichTextDocument.h"
#include "ui/widgets/TextDocumentEditor.h"
#include "ui/RtfDocument.h"

#include <QAbstractTextDocumentLayout>
#include <QColor>
#include <QFont>
#include <QPainter>
#include <QPalette>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>

#include <cmath>

IMPLEMENT_SERIAL(CDrawTextBase, CDrawRect, 0)

namespace {
// The text is laid out in page units; the rich-text model measures in twips
// and the Qt document it converts to assumes 96 pixels an inch.
constexpr double kUnitsPerLayoutPixel = 720.0 / 96.0;
// A small inset between the frame and the text, as the editor keeps one.
constexpr double kTextInset = 15.0;

QColor ToColour(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }

// Character formats in page units: a font of n twips is n / 2 units high.
void ScaleCharFormat(QTextCharFormat& f)
{
    if (f.hasProperty(QTextFormat::FontPointSize)) {
        const double points = f.fontPointSize();
        f.clearProperty(QTextFormat::FontPointSize);
        f.setProperty(QTextFormat::FontPixelSize, std::max(1, int(std::lround(points * 10.0))));
    }
}
} // namespace

std::unique_ptr<QTextDocument> LayoutRichText(const CRtfDocument& document, int width)
{
    auto doc = std::make_unique<QTextDocument>();
    doc->setUndoRedoEnabled(false);
    QFont font = doc->defaultFont();
    font.setPixelSize(120);
    doc->setDefaultFont(font);
    doc->setIndentWidth(40.0 * kUnitsPerLayoutPixel);
    doc->setDocumentMargin(kTextInset);
    FillTextDocument(*doc, document);
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        QTextCursor cursor(block);
        QTextBlockFormat bf = block.blockFormat();
        bf.setLeftMargin(bf.leftMargin() * kUnitsPerLayoutPixel);
        bf.setRightMargin(bf.rightMargin() * kUnitsPerLayoutPixel);
        bf.setTextIndent(bf.textIndent() * kUnitsPerLayoutPixel);
        QList<QTextOption::Tab> tabs = bf.tabPositions();
        for (QTextOption::Tab& tab : tabs)
            tab.position *= kUnitsPerLayoutPixel;
        bf.setTabPositions(tabs);
        cursor.setBlockFormat(bf);
        QTextCharFormat mark = block.charFormat();
        ScaleCharFormat(mark);
        cursor.setBlockCharFormat(mark);
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid())
                continue;
            QTextCharFormat f = fragment.charFormat();
            ScaleCharFormat(f);
            QTextCursor range(doc.get());
            range.setPosition(fragment.position());
            range.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
            range.setCharFormat(f);
        }
    }
    doc->setTextWidth(std::max(1, width));
    return doc;
}

CDrawTextBase::CDrawTextBase()
{
    m_bLineOn = 0;
    m_bFillOn = 0;
}

CDrawTextBase::CDrawTextBase(const RECT& position, CDrawData* page) : CDrawRect(position, page)
{
    m_bLineOn = 0;
    m_bFillOn = 0;
    if (page) {
        const CRtfDocument doc = GetTextDocument();
        CacheFormats(doc);
    }
    UpdateTransform(m_position, true);
}

CDrawTextBase::~CDrawTextBase()
{
    if (m_pEditor && m_pEditView)
        m_pEditView->DestroyTextEditor(m_pEditor);
    m_pEditor = nullptr;
    if (m_pDocument && m_pDocument->m_pEditObj == this)
        m_pDocument->m_pEditObj = nullptr;
}

void CDrawTextBase::Serialize(CArchive& ar)
{
    if (ar.IsStoring() && IsEditing())
        m_richData.Update();
    CDrawRect::Serialize(ar);
    SerializeVersion(ar, 0);
    m_richData.Serialize(ar);
    if (ar.IsStoring()) {
        ArchiveStoreCharFormat(ar, m_charFormat);
        ArchiveStoreParaFormat(ar, m_paraFormat);
        ar.WriteString(m_strText);
        return;
    }
    ArchiveLoadCharFormat(ar, m_charFormat);
    ArchiveLoadParaFormat(ar, m_paraFormat);
    m_strText = ar.ReadString();
    m_bRunsValid = 0;
    m_runs.reset();
    m_bLineOn = 0;
    m_bFillOn = 0;
}

// ---------------------------------------------------------------- the text

CRtfDocument CDrawTextBase::GetTextDocument() const
{
    if (m_richData.HasStream())
        return m_richData.GetDocument();
    CRtfDocument doc;
    CHARFORMAT cf = m_pDocument ? m_pDocument->GetDefaultCharFormat() : CRtfDocument::PlainCharFormat();
    PARAFORMAT pf = m_pDocument ? m_pDocument->GetDefaultParaFormat() : CRtfDocument::PlainParaFormat();
    cf.dwMask = kRtfCharMask;
    pf.dwMask = kRtfParaMask;
    doc.EndDocument(pf, cf);
    return doc;
}

CRtfDocument CDrawTextBase::GetDrawnDocument() const { return GetTextDocument(); }

void CDrawTextBase::SetTextDocument(const CRtfDocument& document)
{
    m_richData.SetDocument(document);
    CacheFormats(document);
    m_bRunsValid = 0;
}

void CDrawTextBase::CacheFormats(const CRtfDocument& document)
{
    bool anyChar = false, anyPara = false;
    for (const CRtfParagraph& para : document.paragraphs) {
        if (!anyPara)
            m_paraFormat = para.format;
        else
            IntersectParaFormat(m_paraFormat, para.format);
        anyPara = true;
        for (const CRtfRun& run : para.runs) {
            if (!anyChar)
                m_charFormat = run.format;
            else
                IntersectCharFormat(m_charFormat, run.format);
            anyChar = true;
        }
    }
    if (!anyChar && !document.paragraphs.empty()) {
        m_charFormat = document.paragraphs.front().markFormat;
        anyChar = true;
    }
    m_charFormat.cbSize = 60;
    m_paraFormat.cbSize = 156;
    m_strText = document.PlainText();
    m_bCharFormatStale = m_bParaFormatStale = 0;
}

void CDrawTextBase::ApplyToWholeText(const CHARFORMAT* charFormat, const PARAFORMAT* paraFormat)
{
    CRtfDocument doc = GetTextDocument();
    for (CRtfParagraph& para : doc.paragraphs) {
        if (paraFormat) {
            MergeParaFormat(para.format, *paraFormat);
            para.format.dwMask = kRtfParaMask;
        }
        if (!charFormat)
            continue;
        MergeCharFormat(para.markFormat, *charFormat);
        para.markFormat.dwMask = kRtfCharMask;
        for (CRtfRun& run : para.runs) {
            MergeCharFormat(run.format, *charFormat);
            run.format.dwMask = kRtfCharMask;
        }
    }
    Invalidate();
    SetTextDocument(doc);
    Invalidate();
    SetModified();
}

int CDrawTextBase::SetCharFormat(CDrawViewBase* view, const CHARFORMAT& format)
{
    if (m_pEditor) {
        m_bCharFormatStale = m_bParaFormatStale = 1;
        m_pEditor->SetSelectionCharFormat(format);
        return 1;
    }
    ApplyToWholeText(&format, nullptr);
    return 1;
}

const CHARFORMAT* CDrawTextBase::GetCharFormat(CDrawViewBase*)
{
    if (m_pEditor && m_bCharFormatStale) {
        m_pEditor->GetSelectionCharFormat(m_charFormat);
        m_charFormat.cbSize = 60;
        m_bCharFormatStale = 0;
    }
    return &m_charFormat;
}

int CDrawTextBase::SetParaFormat(CDrawViewBase* view, const PARAFORMAT& format)
{
    if (m_pEditor) {
        m_bCharFormatStale = m_bParaFormatStale = 1;
        m_pEditor->SetSelectionParaFormat(format);
        return 1;
    }
    ApplyToWholeText(nullptr, &format);
    return 1;
}

const PARAFORMAT* CDrawTextBase::GetParaFormat(CDrawViewBase*)
{
    if (m_pEditor && m_bParaFormatStale) {
        m_pEditor->GetSelectionParaFormat(m_paraFormat);
        m_paraFormat.cbSize = 156;
        m_bParaFormatStale = 0;
    }
    return &m_paraFormat;
}

void CDrawTextBase::SetTextColor(COLORREF colour, bool)
{
    CHARFORMAT cf;
    cf.dwMask = CFM_COLOR;
    cf.crTextColor = colour;
    SetCharFormat(m_pEditView, cf);
}

bool CDrawTextBase::GetTextColor(COLORREF& colour)
{
    const CHARFORMAT* cf = GetCharFormat(m_pEditView);
    if (!(cf->dwMask & CFM_COLOR))
        colour = kMixedColour;
    else
        colour = (cf->dwEffects & CFE_AUTOCOLOR) ? kDrawWindowTextColour : cf->crTextColor;
    return true;
}

void CDrawTextBase::SetTextOrientation(double degrees)
{
    Invalidate();
    SetAngle(degrees);
    Invalidate();
    SetModified();
}

// ---------------------------------------------------------------- layout and drawing

void CDrawTextBase::BuildRuns()
{
    const RECT frame = TextFrame();
    m_runs = LayoutRichText(GetDrawnDocument(), frame.right - frame.left);
    m_bRunsValid = 1;
}

int CDrawTextBase::MeasureTextHeight()
{
    if (!m_bRunsValid || !m_runs)
        BuildRuns();
    return int(std::ceil(m_runs->size().height()));
}

void CDrawTextBase::DrawRuns(CDrawDC& dc, CDrawViewBase*)
{
    if (!m_runs || !dc.painter)
        return;
    QPainter& p = *dc.painter;
    const RECT frame = TextFrame();
    p.save();
    // Layout units run right and down from the frame's upper-left corner;
    // the page runs up, and the object's rotation turns the whole.
    const QTransform layoutToPage = QTransform::fromScale(1.0, -1.0) * QTransform::fromTranslate(frame.left, frame.bottom)
        * m_transform.ToQTransform();
    p.setWorldTransform(layoutToPage * p.worldTransform());
    QAbstractTextDocumentLayout::PaintContext context;
    context.palette.setColor(QPalette::Text, ToColour(kDrawWindowTextColour));
    m_runs->documentLayout()->draw(&p, context);
    p.restore();
}

void CDrawTextBase::Draw(CDrawDC& dc, CDrawViewBase* view)
{
    if (!m_bRunsValid) {
        // Laying the text out is no change to the page.
        SetReportChanges(false);
        BuildRuns();
        SetReportChanges(true);
    }
    if (!dc.painter)
        return;
    QPainter& p = *dc.painter;
    std::vector<POINT> corners(4);
    m_transform.MapRect(m_position, corners.data());
    QPolygonF polygon;
    for (const POINT& c : corners)
        polygon << QPointF(c.x, c.y);
    if (!m_pEditor && !dc.printing && m_pDocument && m_pDocument->m_bShowOutlines) {
        p.save();
        QPen pen(ToColour(kButtonShadowColour), 0, Qt::DotLine);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawPolygon(polygon);
        p.restore();
    }
    const int zoom = view ? view->GetZoomUnits() : 100;
    if (m_pEditor && !dc.printing && (zoom != 100 || m_nAngle != 0)) {
        // The editor shows the text unturned at 100 %; the object's own place is hatched.
        p.save();
        p.setPen(Qt::NoPen);
        p.setBrush(ToColour(m_pDocument ? m_pDocument->m_crPaper : kWindowColour));
        p.drawPolygon(polygon);
        p.setBrush(QBrush(ToColour(kHighlightColour), Qt::Dense5Pattern));
        p.drawPolygon(polygon);
        p.restore();
    }
    if (m_runs)
        DrawRuns(dc, view);
}

void CDrawTextBase::DrawTracker(CDrawDC& dc, int state, CDrawViewBase* view)
{
    if (!m_pEditor)
        CDrawRect::DrawTracker(dc, state, view);
}

int CDrawTextBase::HitTestHandles(POINT point, CDrawViewBase* view, bool selected)
{
    return m_pEditor ? 0 : CDrawRect::HitTestHandles(point, view, selected);
}

bool CDrawTextBase::HitTest(POINT point, CDrawViewBase* view)
{
    return m_pEditor ? false : CDrawRect::HitTest(point, view);
}

void CDrawTextBase::MoveTo(const RECT& position, CDrawViewBase* view)
{
    const RECT before = NormalizedRect(m_position), after = NormalizedRect(position);
    CDrawRect::MoveTo(position, view);
    if (!m_pEditor && (before.right - before.left != after.right - after.left))
        m_bRunsValid = 0; // wrapped anew at the next drawing
    if (m_pEditor)
        m_pEditor->SetPageRect(NormalizedRect(m_position));
}

void CDrawTextBase::EndDrag(CDrawViewBase* view, bool commit, bool newObject)
{
    CDrawRect::EndDrag(view, commit, newObject);
    if (commit && newObject)
        BeginEdit(view, true);
}

// ---------------------------------------------------------------- editing in place

void CDrawTextBase::BeginEdit(CDrawViewBase* view, bool show)
{
    if (!view)
        return;
    if (m_pEditor) {
        if (show) {
            m_pEditor->SetVisible(true);
            m_pEditor->SetFocus();
        }
        return;
    }
    if (view->IsSelected(this))
        view->InvalObj(this);
    m_pEditor = view->CreateTextEditor(this, show);
    if (!m_pEditor)
        return;
    m_pEditView = view;
    m_pEditor->SetPageRect(NormalizedRect(m_position));
    CHARFORMAT cf = m_pDocument ? m_pDocument->GetDefaultCharFormat() : CRtfDocument::PlainCharFormat();
    PARAFORMAT pf = m_pDocument ? m_pDocument->GetDefaultParaFormat() : CRtfDocument::PlainParaFormat();
    cf.dwMask = kRtfCharMask;
    pf.dwMask = kRtfParaMask;
    AttachTextDocument(m_richData, m_pEditor->Document(), &cf, &pf);
    if (m_pDocument)
        m_pDocument->m_pEditObj = this;
    m_bCharFormatStale = m_bParaFormatStale = 1;
    if (show) {
        m_pEditor->SetVisible(true);
        m_pEditor->SetFocus();
    }
}

void CDrawTextBase::EndEdit()
{
    if (!m_pEditor)
        return;
    m_richData.Update();
    m_richData.Detach();
    CInPlaceTextEditor* editor = m_pEditor;
    CDrawViewBase* view = m_pEditView;
    m_pEditor = nullptr;
    m_pEditView = nullptr;
    if (m_pDocument && m_pDocument->m_pEditObj == this)
        m_pDocument->m_pEditObj = nullptr;
    const CRtfDocument doc = GetTextDocument();
    CacheFormats(doc);
    BuildRuns();
    // The frame takes the height of the text, its upper edge staying put.
    const RECT n = NormalizedRect(m_position);
    const int height = std::max(1, MeasureTextHeight());
    RECT fitted{n.left, n.bottom, n.right, n.bottom - height};
    fitted = KeepInPlace(fitted);
    if (NormalizedRect(fitted) != n)
        CDrawRect::MoveTo(fitted, nullptr);
    if (view)
        view->DestroyTextEditor(editor);
    if (m_pDocument)
        m_pDocument->BroadcastHint(HINT_UPDATE_WINDOW);
    SetModified();
}

void CDrawTextBase::ReplaceText(CDrawViewBase* view, const std::string& utf8, bool canUndo)
{
    if (m_pEditor) {
        m_pEditor->ReplaceSelection(utf8);
        return;
    }
    const CRtfDocument old = GetTextDocument();
    CHARFORMAT cf = old.paragraphs.empty() ? CRtfDocument::PlainCharFormat() : old.paragraphs.front().markFormat;
    if (!old.paragraphs.empty() && !old.paragraphs.front().runs.empty())
        cf = old.paragraphs.front().runs.front().format;
    const PARAFORMAT pf = old.paragraphs.empty() ? CRtfDocument::PlainParaFormat() : old.paragraphs.front().format;
    CRtfDocument doc;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = utf8.find('\n', start);
        doc.AppendText(std::string_view(utf8).substr(start, end == std::string::npos ? std::string::npos : end - start), cf);
        if (end == std::string::npos)
            break;
        doc.EndParagraph(pf, cf);
        start = end + 1;
    }
    doc.EndDocument(pf, cf);
    Invalidate();
    SetTextDocument(doc);
    BuildRuns();
    const RECT n = NormalizedRect(m_position);
    RECT fitted{n.left, n.bottom, n.right, n.bottom - std::max(1, MeasureTextHeight())};
    CDrawRect::MoveTo(KeepInPlace(fitted), view);
    Invalidate();
    SetModified();
}

void CDrawTextBase::OnRequestResize(int height, CDrawViewBase* view)
{
    if (!m_pEditor)
        return;
    const RECT n = NormalizedRect(m_position);
    const RECT grown{n.left, n.bottom, n.right, n.bottom - std::max(1, height)};
    CDrawRect::MoveTo(KeepInPlace(grown), view);
}

void CDrawTextBase::OnEditProperties(CDrawViewBase* view)
{
    EditProperties(view, LoadString(IDS_TEXT_PROPERTIES), 255);
}

void CDrawTextBase::CopyAttributes(CDrawTextBase* target) const
{
    CDrawRect::CopyAttributes(target);
    target->m_richData = m_richData;
    target->m_charFormat = m_charFormat;
    target->m_paraFormat = m_paraFormat;
    target->m_strText = m_strText;
    target->m_bRunsValid = 0;
}

CDrawObj* CDrawTextBase::Clone(CDrawData* page)
{
    EndEdit();
    auto clone = std::make_unique<CDrawTextBase>(m_position, page);
    CopyAttributes(clone.get());
    return AdoptClone(std::move(clone));
}
