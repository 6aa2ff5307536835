#include "framework/widgets/ProjItemView.h"

#include "framework/ProjectItemBase.h"
#include "framework/widgets/HeaderFooterPainter.h"
#include "framework/widgets/HeaderFooterSetupDialog.h"
#include "framework/widgets/ProjectFrameBase.h"
#include "platform/widgets/CommandIds.h"

#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

namespace {

QPageLayout* s_printerLayout = nullptr;

} // namespace

CProjItemView::CProjItemView(QWidget* parent) : QWidget(parent) {}

void CProjItemView::SetPrinterLayout(QPageLayout* layout) { s_printerLayout = layout; }

CProjectItemBase* CProjItemView::GetItem() const
{
    for (QWidget* w = parentWidget(); w; w = w->parentWidget())
        if (auto* frame = qobject_cast<CProjectFrameBase*>(w))
            return frame->GetItem();
    return nullptr;
}

bool CProjItemView::OnPreparePrinting(QPrinter& printer) const
{
    CProjectItemBase* item = GetItem();
    if (!item)
        return false;
    if (s_printerLayout)
        printer.setPageSize(s_printerLayout->pageSize());
    printer.setPageOrientation(item->m_nOrientation == 2 ? QPageLayout::Landscape : QPageLayout::Portrait);
    return true;
}

int CProjItemView::PrintTo(QPagedPaintDevice& device)
{
    CProjectItemBase* item = GetItem();
    if (!item)
        return 0;
    // Margins are the item's own: the device prints from the paper's corner.
    device.setPageMargins(QMarginsF(0, 0, 0, 0));
    const QPageLayout layout = device.pageLayout();
    const SIZE paper = PaperSizeThousandths(layout);
    const int pages = std::max(1, GetPageCount());
    QPainter painter(&device);
    if (!painter.isActive())
        return 0;
    for (int page = 1; page <= pages; ++page) {
        if (page > 1)
            device.newPage();
        painter.save();
        painter.scale(device.logicalDpiX() / 1000.0, device.logicalDpiY() / 1000.0);
        PrintHeaderFooter(painter, *item, paper, page, pages);
        painter.save();
        OnDraw(painter, GetPrintableRect(*item, paper), page);
        painter.restore();
        painter.restore();
    }
    return pages;
}

void CProjItemView::Print()
{
    QPrinter printer(QPrinter::HighResolution);
    if (!OnPreparePrinting(printer))
        return;
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted)
        PrintTo(printer);
}

void CProjItemView::PrintPreview()
{
    QPrinter printer(QPrinter::HighResolution);
    if (!OnPreparePrinting(printer))
        return;
    QPrintPreviewDialog dialog(&printer, this);
    dialog.setObjectName("PrintPreview");
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* device) { PrintTo(*device); });
    dialog.exec();
}

bool CProjItemView::OnCmdMsg(UINT id, CCmdUI* ui)
{
    switch (id) {
    case ID_FILE_PRINT:
        if (ui) ui->Enable(GetItem() != nullptr); else Print();
        return true;
    case ID_FILE_PRINT_PREVIEW:
        if (ui) ui->Enable(GetItem() != nullptr); else PrintPreview();
        return true;
    case ID_FILE_PAGE_SETUP: {
        CProjectItemBase* item = GetItem();
        if (ui)
            ui->Enable(item != nullptr);
        else if (item)
            OnFilePageSetup(*item, window(), s_printerLayout);
        return true;
    }
    }
    return false;
}
