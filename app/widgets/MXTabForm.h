// The program's base of every item form shown as tabs (equations,
// transformations, library equations, fits): the item and its workspace,
// the pages, and the item's printout. A derived form prints in sections that
// the base lays out on pages inside the item's margins, under the item's
// header and footer; a section that does not fit on the rest of a page moves
// to the next one, and one taller than a page prints cut on a page of its own.
#pragma once

#include "framework/PrintPaginator.h"
#include "platform/Types.h"
#include "ui/widgets/TabFormView.h"

#include <QRect>

#include <string>
#include <vector>

class CMXDoc;
class CMXProjectItem;
class QPagedPaintDevice;
class QPainter;
class QTextDocument;

// Where a printout stands: the painter works in thousandths of an inch from
// the paper's corner; area is the printable part of the page and top the
// place of the next section. Without a painter (measuring) nothing is drawn.
struct CPrintContext {
    QPainter* painter = nullptr;
    QRect area;
    int top = 0;
    int Remaining() const { return area.top() + area.height() - top; }
};

class CMXTabForm : public CTabFormView {
    Q_OBJECT
public:
    CMXTabForm(int templateId, CMXProjectItem* item, QWidget* parent = nullptr);

    CMXProjectItem* GetMXItem() const;
    CMXDoc* GetMXDoc() const;
    // Passes an update on to the form's own handling only when it comes from
    // a form or from no view.
    void CallIfTabForm(CDocView* sender, int hint, CObject* object);

    // One section of the printout at pc.top, drawn when draw is set; the
    // answer is one of the PRINT_UNIT_ codes. With firstOnPage set a section
    // taller than the page is printed anyway (cut at the page's end).
    virtual int PrintSection(CPrintContext& pc, bool draw, int section, bool firstOnPage) { return PRINT_UNIT_END; }

    // Prints the item: the pages from..to (1-based; 0 for all). The number of pages printed.
    int PrintTo(QPagedPaintDevice& device, int fromPage = 0, int toPage = 0);
    // The number of pages of the last printout.
    int GetPageCount() const { return m_paginator.GetPageCount(); }
    bool IsPrinting() const { return m_bPrinting; }

    // A label and a value side by side: the label from indent1, the value
    // from indent2 (the label takes the whole width when the value is
    // empty), both word-wrapped. False, with nothing printed, when the block
    // does not fit on the rest of the page and force is off.
    bool PrintTextBlock(CPrintContext& pc, const LOGFONT& font, int sizeTenthsPoint, int indent1, int indent2,
                        const std::string& first, const std::string& second, bool draw, bool force);
    // The height of a text word-wrapped in rect; drawn first when draw is set.
    static int PrintTextBlockLine(QPainter& painter, const QString& text, const QRect& rect, int flags, bool draw);
    // Rich text across the area's width from pc.top; false when it does not
    // fit and force is off.
    bool PrintRichText(CPrintContext& pc, QTextDocument& text, bool draw, bool force);

    // Section answers for the usual lines of a printout: a label and its
    // value (or a text alone when labelId is 0); an empty line, which is left
    // out at the top of a page.
    int PrintLabelLine(CPrintContext& pc, bool draw, bool firstOnPage, const LOGFONT& font, int size,
                       int indent1, int indent2, UINT labelId, const std::string& value);
    // Several text blocks as one section: all on this page or none.
    struct CPrintLine {
        const LOGFONT* font;
        int size;
        int indent1, indent2;
        std::string first, second;
    };
    int PrintLines(CPrintContext& pc, bool draw, bool firstOnPage, const std::vector<CPrintLine>& lines);
    int PrintEmptyLine(CPrintContext& pc, bool draw, bool firstOnPage, const LOGFONT& font, int size);
    // Tells the items and views of the workspace that this form's item
    // changed (a notice of that kind, state 1) and marks the item modified.
    void AnnounceChange(int kind);

    // The workspace's title, the folder of its file, and the user's name, as
    // the header block of a printout shows them.
    std::string GetWorkFileTitle() const;
    std::string GetWorkFileLocation() const;
    static std::string GetUserName();

    // The character format that a description's new text starts in: the
    // face and size (tenths of a point) of the item's normal text font, in
    // the automatic colour.
    static CHARFORMAT DescriptionFormat(const LOGFONT& font, int sizeTenthsPoint);

    // The width of a printed page inside the item's margins on the default
    // printer with the item's orientation, in thousandths of an inch; 10000
    // when there is no printer.
    static int GetPrintableWidth(const CProjectItemBase& item);

    bool OnFormCommand(UINT id, CCmdUI* ui) override;

protected:
    void Print();
    void PrintPreview();

private:
    CPrintPaginator m_paginator;
    bool m_bPrinting = false;
};
