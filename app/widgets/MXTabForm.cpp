#include "app/widgets/MXTabForm.h"

#include "app/MXDoc.h"
#include "app/MXProjectItem.h"
#include "framework/UpdateNotification.h"
#include "framework/widgets/HeaderFooterPainter.h"
#include "platform/StringTable.h"
#include "platform/widgets/CommandIds.h"

#include <QAbstractTextDocumentLayout>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTextDocument>

#include <algorithm>
#include <cmath>
#include <cstring>

CMXTabForm::CMXTabForm(int templateId, CMXProjectItem* item, QWidget* parent)
    : CTabFormView(templateId, item, parent)
{
}

CMXProjectItem* CMXTabForm::GetMXItem() const { return dynamic_cast<CMXProjectItem*>(GetItem()); }

CMXDoc* CMXTabForm::GetMXDoc() const { return dynamic_cast<CMXDoc*>(GetDocument()); }

void CMXTabForm::CallIfTabForm(CDocView* sender, int hint, CObject* object)
{
    if (!sender || dynamic_cast<CMXTabForm*>(sender))
        CTabFormView::OnUpdate(sender, hint, object);
}

bool CMXTabForm::OnFormCommand(UINT id, CCmdUI* ui)
{
    if (id != ID_FILE_PRINT && id != ID_FILE_PRINT_PREVIEW)
        return false;
    if (ui)
        ui->Enable(GetMXItem() != nullptr);
    else if (id == ID_FILE_PRINT)
        Print();
    else
        PrintPreview();
    return true;
}

int CMXTabForm::PrintTo(QPagedPaintDevice& device, int fromPage, int toPage)
{
    CMXProjectItem* item = GetMXItem();
    if (!item)
        return 0;
    // What the page that shows holds goes into the item first.
    NotifyItemChanged();
    device.setPageMargins(QMarginsF(0, 0, 0, 0));
    device.setPageOrientation(item->m_nOrientation == 2 ? QPageLayout::Landscape : QPageLayout::Portrait);
    QPainter painter(&device);
    if (!painter.isActive())
        return 0;
    const QPageLayout layout = device.pageLayout();
    const SIZE paper = PaperSizeThousandths(layout);
    painter.scale(device.logicalDpiX() / 1000.0, device.logicalDpiY() / 1000.0);
    CPrintContext pc;
    pc.painter = &painter;
    pc.area = GetPrintableRect(*item, paper);
    auto reset = [&pc] { pc.top = pc.area.top(); };
    auto unit = [this, &pc](int section, bool first, bool draw) { return PrintSection(pc, draw, section, first); };

    m_bPrinting = true;
    m_paginator.Paginate(unit, reset);
    const int count = m_paginator.GetPageCount();
    if (fromPage <= 0) {
        fromPage = 1;
        toPage = count;
    }
    toPage = std::min(toPage, count);
    int printed = 0;
    for (int page = fromPage; page <= toPage; ++page) {
        if (printed++ > 0)
            device.newPage();
        PrintHeaderFooter(painter, *item, paper, page, count);
        reset();
        painter.save();
        // A section taller than the page is cut at the page's end.
        painter.setClipRect(pc.area);
        m_paginator.PrintPage(page - 1, unit);
        painter.restore();
    }
    m_bPrinting = false;
    return printed;
}

void CMXTabForm::Print()
{
    CMXProjectItem* item = GetMXItem();
    if (!item)
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(item->m_nOrientation == 2 ? QPageLayout::Landscape : QPageLayout::Portrait);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted)
        PrintTo(printer, printer.fromPage(), printer.toPage());
}

void CMXTabForm::PrintPreview()
{
    if (!GetMXItem())
        return;
    QPrinter printer(QPrinter::HighResolution);
    QPrintPreviewDialog dialog(&printer, this);
    dialog.setObjectName("PrintPreview");
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* device) { PrintTo(*device); });
    dialog.exec();
}

int CMXTabForm::PrintTextBlockLine(QPainter& painter, const QString& text, const QRect& rect, int flags, bool draw)
{
    const QRect bounds = painter.boundingRect(rect, flags, text);
    if (draw)
        painter.drawText(rect, flags, text);
    return bounds.height();
}

bool CMXTabForm::PrintTextBlock(CPrintContext& pc, const LOGFONT& font, int sizeTenthsPoint, int indent1,
                                int indent2, const std::string& first, const std::string& second, bool draw,
                                bool force)
{
    if (!pc.painter)
        return true;
    QPainter& painter = *pc.painter;
    painter.save();
    painter.setFont(HeaderFooterFont(font, sizeTenthsPoint));
    painter.setPen(Qt::black);
    const int left = pc.area.left(), right = pc.area.left() + pc.area.width();
    const int firstRight = second.empty() ? right : std::min(right, left + indent2);
    const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
    const int tall = std::max(pc.area.height(), 1);
    const QRect firstRect(QPoint(left + indent1, pc.top), QPoint(std::max(firstRight, left + indent1 + 1) - 1, pc.top + tall));
    const QRect secondRect(QPoint(left + indent2, pc.top), QPoint(std::max(right, left + indent2 + 1) - 1, pc.top + tall));
    const QString a = QString::fromStdString(first), b = QString::fromStdString(second);
    int height = PrintTextBlockLine(painter, a, firstRect, flags, false);
    if (!b.isEmpty())
        height = std::max(height, PrintTextBlockLine(painter, b, secondRect, flags, false));
    if (pc.Remaining() < height && !force) {
        painter.restore();
        return false;
    }
    if (draw) {
        painter.drawText(firstRect, flags, a);
        if (!b.isEmpty())
            painter.drawText(secondRect, flags, b);
    }
    pc.top += height;
    painter.restore();
    return true;
}

bool CMXTabForm::PrintRichText(CPrintContext& pc, QTextDocument& text, bool draw, bool force)
{
    if (!pc.painter)
        return true;
    // The text is laid out at the screen's 96 pixels an inch and scaled to thousandths.
    constexpr double kScale = 1000.0 / 96.0;
    text.setTextWidth(pc.area.width() / kScale);
    const int height = int(std::ceil(text.size().height() * kScale));
    if (pc.Remaining() < height && !force)
        return false;
    if (draw) {
        QPainter& painter = *pc.painter;
        painter.save();
        painter.translate(pc.area.left(), pc.top);
        painter.scale(kScale, kScale);
        QAbstractTextDocumentLayout::PaintContext context;
        context.palette.setColor(QPalette::Text, Qt::black);
        text.documentLayout()->draw(&painter, context);
        painter.restore();
    }
    pc.top += height;
    return true;
}

int CMXTabForm::PrintLabelLine(CPrintContext& pc, bool draw, bool firstOnPage, const LOGFONT& font, int size,
                               int indent1, int indent2, UINT labelId, const std::string& value)
{
    if (labelId == 0)
        return PrintLines(pc, draw, firstOnPage, {{&font, size, indent1, indent2, value, {}}});
    return PrintLines(pc, draw, firstOnPage, {{&font, size, indent1, indent2, LoadString(labelId), value}});
}

int CMXTabForm::PrintLines(CPrintContext& pc, bool draw, bool firstOnPage, const std::vector<CPrintLine>& lines)
{
    // Measured first, so that a section never leaves half its lines on a page.
    CPrintContext probe = pc;
    for (const CPrintLine& l : lines)
        if (!PrintTextBlock(probe, *l.font, l.size, l.indent1, l.indent2, l.first, l.second, false, firstOnPage))
            return PRINT_UNIT_NO_ROOM;
    for (const CPrintLine& l : lines)
        PrintTextBlock(pc, *l.font, l.size, l.indent1, l.indent2, l.first, l.second, draw, true);
    return PRINT_UNIT_FITS;
}

int CMXTabForm::PrintEmptyLine(CPrintContext& pc, bool draw, bool firstOnPage, const LOGFONT& font, int size)
{
    if (firstOnPage)
        return PRINT_UNIT_FITS;
    return PrintTextBlock(pc, font, size, 0, 0, " ", {}, draw, false) ? PRINT_UNIT_FITS : PRINT_UNIT_NO_ROOM;
}

std::string CMXTabForm::GetWorkFileTitle() const
{
    CMXDoc* doc = GetMXDoc();
    return doc ? doc->GetTitle() : std::string();
}

std::string CMXTabForm::GetWorkFileLocation() const
{
    CMXDoc* doc = GetMXDoc();
    if (!doc)
        return {};
    const std::string& path = doc->GetPathName();
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string CMXTabForm::GetUserName() { return CMXDoc::s_author; }

int CMXTabForm::GetPrintableWidth(const CProjectItemBase& item)
{
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        return 10000;
    QPrinter printer(info);
    printer.setPageOrientation(item.m_nOrientation == 2 ? QPageLayout::Landscape : QPageLayout::Portrait);
    const SIZE paper = PaperSizeThousandths(printer.pageLayout());
    return GetPrintableRect(item, paper).width();
}

void CMXTabForm::AnnounceChange(int kind)
{
    CMXProjectItem* item = GetMXItem();
    if (!item)
        return;
    item->SetModified(true);
    CUpdateNotification note;
    note.kind = kind;
    note.item = item;
    note.state = 1;
    if (CMXDoc* doc = GetMXDoc()) {
        doc->NotifyItems(note, true);
        doc->UpdateAllViews(nullptr, UPDATE_HINT_NOTIFICATION, &note);
    }
}

CHARFORMAT CMXTabForm::DescriptionFormat(const LOGFONT& font, int sizeTenthsPoint)
{
    CHARFORMAT format;
    format.dwMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_PROTECTED | CFM_SIZE | CFM_COLOR
        | CFM_FACE | CFM_OFFSET;
    format.dwEffects = CFE_AUTOCOLOR;
    format.bPitchAndFamily = 18; // variable pitch, roman
    format.yHeight = sizeTenthsPoint * 1440 / 720;
    const std::size_t length = strnlen(font.lfFaceName, sizeof format.szFaceName - 1);
    std::memcpy(format.szFaceName, font.lfFaceName, length);
    format.szFaceName[length] = '\0';
    return format;
}
