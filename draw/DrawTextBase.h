// A box on the page holding formatted text: the base of the free text object
// and of graph texts. The text lives as rich text (the source of truth that
// the in-place editor loads and saves), as plain text, and as a laid-out
// copy that draws it on any device and at any rotation without an editor.
#pragma once

#include "draw/DrawRect.h"
#include "ui/RichData.h"

#include <memory>
#include <string>

class CInPlaceTextEditor;
class CRtfDocument;
class QTextDocument;

class CDrawTextBase : public CDrawRect {
    DECLARE_SERIAL(CDrawTextBase)
public:
    CDrawTextBase();
    CDrawTextBase(const RECT& position, CDrawData* page);
    ~CDrawTextBase() override;

    void Serialize(CArchive& ar) override;

    void SetFillColor(COLORREF colour) override {}
    void SetFillStyle(int on, bool redraw) override {}
    void SetLineColor(COLORREF colour) override {}
    void SetLineStyle(int style, int width, bool redraw) override {}
    void SetLineVisible(int on, bool redraw) override {}
    int GetFillStyle() override { return kNotApplicable; }
    int GetLineVisible() override { return kNotApplicable; }
    int CanFill() override { return 0; }
    int CanHaveLine() override { return 0; }
    void SetTextColor(COLORREF colour, bool redraw) override;
    bool GetTextColor(COLORREF& colour) override;
    int SetCharFormat(CDrawViewBase* view, const CHARFORMAT& format) override;
    const CHARFORMAT* GetCharFormat(CDrawViewBase* view) override;
    int SetParaFormat(CDrawViewBase* view, const PARAFORMAT& format) override;
    const PARAFORMAT* GetParaFormat(CDrawViewBase* view) override;
    int CanEditText() override { return 1; }
    int HasTextFormat() override { return 1; }
    void BeginEdit(CDrawViewBase* view) override { BeginEdit(view, true); }
    double GetTextOrientation() override { return GetAngle(); }
    void SetTextOrientation(double degrees) override;
    void Draw(CDrawDC& dc, CDrawViewBase* view) override;
    void DrawTracker(CDrawDC& dc, int state, CDrawViewBase* view) override;
    void MoveTo(const RECT& position, CDrawViewBase* view = nullptr) override;
    void EndDrag(CDrawViewBase* view, bool commit, bool newObject) override;
    int HitTestHandles(POINT point, CDrawViewBase* view, bool selected) override;
    bool HitTest(POINT point, CDrawViewBase* view) override;
    void OnOpen(CDrawViewBase* view) override { BeginEdit(view, true); }
    void OnEditProperties(CDrawViewBase* view) override;
    CDrawObj* Clone(CDrawData* page) override;
    int GetContextMenu() override { return MENU_TEXT; }

    void CopyAttributes(CDrawTextBase* target) const;
    // Opens the editor over the object (hidden when show is false).
    void BeginEdit(CDrawViewBase* view, bool show);
    // Takes the editor's text back, measures it and closes the editor.
    void EndEdit();
    bool IsEditing() const { return m_pEditor != nullptr; }
    CInPlaceTextEditor* GetEditor() const { return m_pEditor; }
    // Replaces the selection while editing, else the whole text.
    void ReplaceText(CDrawViewBase* view, const std::string& utf8, bool canUndo);
    // While editing: the editor asks for a new height (page units).
    void OnRequestResize(int height, CDrawViewBase* view);
    // The editor's selection changed: the cached formats are read again.
    void OnSelectionChanged() { m_bCharFormatStale = m_bParaFormatStale = 1; }
    // Lays the text out again from the rich text.
    void BuildRuns();
    void DrawRuns(CDrawDC& dc, CDrawViewBase* view);
    bool RunsValid() const { return m_bRunsValid != 0; }
    void InvalidateRuns() { m_bRunsValid = 0; }

    const std::string& GetText() const { return m_strText; }
    CRichData& GetRichData() { return m_richData; }
    // The formatted text (the page's default formats when there is none yet).
    CRtfDocument GetTextDocument() const;
    // The text as it is laid out for drawing; the stored text itself here.
    virtual CRtfDocument GetDrawnDocument() const;
    void SetTextDocument(const CRtfDocument& document);
    // Height of the laid-out text in page units.
    int MeasureTextHeight();

protected:
    // The upper-left corner and width the text is laid out in.
    RECT TextFrame() const { return NormalizedRect(m_position); }
    void CacheFormats(const CRtfDocument& document);
    void ApplyToWholeText(const CHARFORMAT* charFormat, const PARAFORMAT* paraFormat);

    CInPlaceTextEditor* m_pEditor = nullptr;
    CDrawViewBase* m_pEditView = nullptr;
    CRichData m_richData;
    std::unique_ptr<QTextDocument> m_runs;
    BYTE m_bRunsValid = 0;
    CHARFORMAT m_charFormat;
    PARAFORMAT m_paraFormat;
    int m_bCharFormatStale = 1;
    int m_bParaFormatStale = 1;
    std::string m_strText;
};

// Builds the laid-out text of a rich-text document for a frame width in page
// units: one layout unit is one page unit, so fonts, indents and positions
// scale with the painter on every device.
std::unique_ptr<QTextDocument> LayoutRichText(const CRtfDocument& document, int width);
