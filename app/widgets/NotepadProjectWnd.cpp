#include "app/widgets/NotepadProjectWnd.h"

#include "app/MXDoc.h"
#include "app/MXNotes.h"
#include "platform/widgets/CommandIds.h"
#include "ui/widgets/CommentRichEditCtrl.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QPagedPaintDevice>
#include <QPrintDialog>
#include <QPrinter>
#include <QVBoxLayout>

#include <cmath>

namespace {

// Header and footer codes: "&P" the page number, "&&" an ampersand, others the item's fields.
std::string ExpandField(const std::string& pattern, CMXNotes* notes, int page)
{
    std::string out;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '&' || i + 1 >= pattern.size()) {
            out += pattern[i];
            continue;
        }
        char code = pattern[++i];
        if (code == '&') {
            out += '&';
        } else if (code == 'P' || code == 'p') {
            out += std::to_string(page);
        } else {
            std::string text;
            if (notes && notes->GetFieldText(text, code))
                out += text;
        }
    }
    return out;
}

} // namespace

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
    if (id == ID_FILE_PRINT) {
        if (ui)
            ui->Enable(m_pNotes != nullptr);
        else
            Print();
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
    QFont hfFont("Arial");
    hfFont.setPointSizeF(m_pNotes->m_nHeaderFooterSize / 10.0);
    for (std::size_t page = 0; page < starts.size(); ++page) {
        if (page > 0)
            device.newPage();
        painter.setFont(hfFont);
        painter.setPen(Qt::black);
        const double headerY = paper.top() + m_pNotes->m_nHeaderDistance * dpiY / 1000.0;
        const double footerY = paper.bottom() - m_pNotes->m_nFooterDistance * dpiY / 1000.0;
        QString header = QString::fromStdString(ExpandField(m_pNotes->m_strHeader, m_pNotes, int(page + 1)));
        QString footer = QString::fromStdString(ExpandField(m_pNotes->m_strFooter, m_pNotes, int(page + 1)));
        painter.drawText(QRectF(text.left(), headerY, text.width(), text.top() - headerY), Qt::AlignHCenter | Qt::AlignTop,
                         header);
        painter.drawText(QRectF(text.left(), text.bottom(), text.width(), footerY - text.bottom()),
                         Qt::AlignHCenter | Qt::AlignBottom, footer);
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
