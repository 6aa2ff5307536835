// The editor of formatted notes and descriptions: a small word processor in a
// form, over the rich data kept with an item. It answers the editing and
// formatting commands, and lays its text out on printed pages.
#pragma once

#include "platform/Types.h"
#include "platform/widgets/CommandRouter.h"
#include "ui/widgets/CharFormatView.h"

#include <QTextEdit>

#include <functional>
#include <vector>

class CRichData;
class QPainter;
class QPagedPaintDevice;

// Splits units (lines of text) of the given heights into pages of the given
// height; returns the first unit of every page. A unit taller than a page is
// never dropped: it gets a page of its own and is drawn clipped. No units
// still give one (empty) page.
std::vector<int> PaginateUnits(const std::vector<double>& heights, double pageHeight);

// Makes the faces that stored text names (Times New Roman, Arial, Courier New,
// MS Sans Serif) draw with fonts of the same metrics where they are missing.
void InstallFontSubstitutes();

class CCommentRichEditCtrl : public QTextEdit, public CCmdTarget, public CCharFormatView {
    Q_OBJECT
public:
    enum WordWrap { NoWrap = 0, WrapToWindow = 1, WrapToPage = 2 };

    explicit CCommentRichEditCtrl(QWidget* parent = nullptr);
    ~CCommentRichEditCtrl() override;

    // Shows the rich data's text; edits go back into it on Update or Detach.
    // Empty text starts in charFormat when one is given.
    void AttachData(CRichData* data, const CHARFORMAT* charFormat = nullptr);
    void DetachData();
    CRichData* GetData() const { return m_pData; }

    void SetWordWrap(int mode);
    int GetWordWrap() const { return m_wordWrap; }
    // Page size and margins in twips, for wrapping to the page.
    void SetPageSize(int width, int height) { m_pageWidth = width; m_pageHeight = height; }

    bool OnCmdMsg(UINT id, CCmdUI* ui) override;

    // Character effects as the Bold, Italic and Underline commands use them:
    // toggled when the whole selection agrees, else set on all of it.
    void ToggleEffect(DWORD effect);
    // 1 when the whole selection has the effect, 0 when none of it, -1 mixed.
    int SelectionEffect(DWORD effect) const;
    void SetAlignment(WORD alignment);
    void ToggleBullets();
    void SetTextColour(COLORREF colour);
    void PlainFormat();

    // The font toolbar's view of the selection: face and size are marked in
    // the mask only where the whole selection agrees.
    bool GetViewCharFormat(CHARFORMAT& format) override;
    void SetViewCharFormat(const CHARFORMAT& format) override;

    // Format > Font and the colour dialog of Text Color and Custom Color.
    // Both ask through seams that tests answer; the defaults are the desktop's dialogs.
    using ColourChooser = std::function<bool(QWidget* parent, COLORREF initial, COLORREF& chosen)>;
    using FontChooser = std::function<bool(QWidget* parent, CHARFORMAT& format)>;
    static void SetColourChooser(ColourChooser chooser);
    static void SetFontChooser(FontChooser chooser);
    void ChooseFont();
    void ChooseTextColour();

    // Page starts (character positions) of the text laid out in a text
    // rectangle of the given size in device pixels.
    std::vector<int> PageStarts(QSizeF textSize) const;
    // Draws the text from one page start to the next into the rectangle.
    void DrawPage(QPainter& painter, const QRectF& textRect, const std::vector<int>& starts, int page) const;

signals:
    void textModified();

private:
    CRichData* m_pData = nullptr;
    int m_wordWrap = WrapToWindow;
    int m_pageWidth = 12240;
    int m_pageHeight = 15840;
};
