#include "app/widgets/NotepadProjectWnd.h"

#include "app/MXDoc.h"
#include "app/MXNotes.h"
#include "framework/widgets/HeaderFooterPainter.h"
#include "platform/widgets/CommandIds.h"
#include "ui/widgets/CommentRichEditCtrl.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QPagedPaintDevice>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QVBoxLayout>

#include <cmath>

CNoteView::CNoteView(CMXNotes* notes, QWidget* parent)
    : QWidget(parent)
    , m_pNotes(notes)
    , m_editor(new CCommentRichEditCtrl(this))
{
    m_editor->setObjectName("NoteEditor");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_editor);
    setFocusProxy(m_editor);
    setMinimumSize(10, 10);
    if (m_pNotes) {
        m_editor->AttachData(&m_pNotes->GetRichData());
        if (CProjectDocBase* doc = m_pNotes->GetDocument())
            doc->AddView(this);
    }
    // Typing marks the item, and with it the workspace, modified.
    connect(m_editor, &CCommentRichEditCtrl::textModified, this, [this] {
        if (m_pNotes)
            m_pNotes->SetModified(true);
    });
}

CNoteView::~CNoteView() { Detach(); }

void CNoteView::Detach()
{
    if (!m_pNotes)
        return;
    m_editor->DetachData();
    if (CProjectDocBase* doc = m_pNotes->GetDocument())
        doc->RemoveView(this);
    m_pNotes = nullptr;
}

void CNoteView::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    m_editor->setFocus();
}

void CNoteView::OnUpdate(CDocView*, int hint, CObject* object)
{
    // Workspace notices leave the text alone; only a plain refresh repaints it.
    if (hint == 0 && object == nullptr)
        m_editor->viewport()->update();
}

bool CNoteView::OnCmdMsg(UINT id, CCmdUI* ui)
{
    if (m_editor->OnCmdMsg(id, ui))
        return true;
    if (id == ID_FILE_PRINT || id == ID_FILE_PRINT_PREVIEW) {
        if (ui)
            ui->Enable(m_pNotes != nullptr);
        else if (id == ID_FILE_PRINT)
            Print();
        else
            PrintPreview();
        return true;
    }
    return false;
}

void CNoteView::Print()
{
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted)
        PrintTo(printer);
}

void CNoteView::PrintPreview()
{
    QPrinter printer(QPrinter::HighResolution);
    QPrintPreviewDialog dialog(&printer, this);
    dialog.setObjectName("PrintPreview");
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* device) { PrintTo(*device); });
    dialog.exec();
}

int CNoteView::PrintTo(QPagedPaintDevice& device)
{
    if (!m_pNotes)
        return 0;
    // Margins and distances are kept in thousandths of an inch.
    const double dpiX = device.logicalDpiX(), dpiY = device.logicalDpiY();
    const QPageLayout layout = device.pageLayout();
    const QRectF paper = layout.fullRectPixels(int(dpiX));
    const RECT& m = m_pNotes->m_rcMargins;
    device.setPageMargins(QMarginsF(0, 0, 0, 0));
    QRectF text(paper.left() + m.left * dpiX / 1000.0, paper.top() + m.top * dpiY / 1000.0,
                paper.width() - (m.left + m.right) * dpiX / 1000.0,
                paper.height() - (m.top + m.bottom) * dpiY / 1000.0);
    if (text.width() < 10 || text.height() < 10)
        text = paper;

    m_pNotes->GetRichData().Update();
    // The text is laid out as on the screen and scaled to the device, so that
    // pages break where the same text would break on screen at that size.
    QScreen* screen = QGuiApplication::primaryScreen();
    const double layoutDpi = screen ? screen->logicalDotsPerInchY() : 96.0;
    const double scale = dpiY / layoutDpi;
    const QRectF layoutRect(text.left() / scale, text.top() / scale, text.width() / scale, text.height() / scale);
    std::vector<int> starts = m_editor->PageStarts(layoutRect.size());
    QPainter painter(&device);
    if (!painter.isActive())
        return 0;
    const SIZE paperSize = PaperSizeThousandths(layout);
    const int pageCount = int(starts.size());
    for (std::size_t page = 0; page < starts.size(); ++page) {
        if (page > 0)
            device.newPage();
        // Header and footer as every item prints them, in thousandths of an inch from the paper's corner.
        painter.save();
        painter.translate(paper.topLeft());
        painter.scale(dpiX / 1000.0, dpiY / 1000.0);
        PrintHeaderFooter(painter, *m_pNotes, paperSize, int(page + 1), pageCount);
        painter.restore();
        painter.save();
        painter.scale(scale, scale);
        m_editor->DrawPage(painter, layoutRect, starts, int(page));
        painter.restore();
    }
    return int(starts.size());
}

CNoteView* CNotepadProjectWnd::GetNoteView() const { return qobject_cast<CNoteView*>(widget()); }

QWidget* CNotepadProjectWnd::CreateItemView() { return new CNoteView(dynamic_cast<CMXNotes*>(m_pItem)); }

void CNotepadProjectWnd::OnDetach()
{
    if (CNoteView* view = GetNoteView())
        view->Detach();
}
