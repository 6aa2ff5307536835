#include "grid/widgets/GridEditWnd.h"

#include "grid/GridEngine.h"
#include "grid/widgets/GridPainterQt.h"
#include "grid/widgets/GridWindow.h"
#include "platform/Reporter.h"

#include <QFocusEvent>
#include <QKeyEvent>

#include <algorithm>

namespace {

// UTF-8 byte offset of a position in the text, and back.
int ByteOffset(const QString& text, int index)
{
    index = std::clamp(index, 0, int(text.size()));
    return int(QStringView(text).left(index).toUtf8().size());
}

int CharIndex(const QString& text, int offset)
{
    if (offset <= 0)
        return 0;
    int bytes = 0;
    for (int i = 0; i < text.size(); ++i) {
        if (bytes >= offset)
            return i;
        char32_t c = text.at(i).unicode();
        if (text.at(i).isHighSurrogate() && i + 1 < text.size()) {
            bytes += 4;
            ++i;
            continue;
        }
        bytes += c < 0x80 ? 1 : c < 0x800 ? 2 : 3;
    }
    return int(text.size());
}

} // namespace

void RetireEditorWindow(QWidget* editor, QWidget* grid)
{
    if (!editor)
        return;
    if (editor->hasFocus() && grid)
        grid->setFocus(Qt::OtherFocusReason);
    editor->hide();
    editor->deleteLater();
}

CGridEditWnd::CGridEditWnd(CGridEngine* engine, QWidget* parent) : QLineEdit(parent), m_pEngine(engine)
{
    setFrame(false);
    setTextMargins(1, 0, 0, 0);
    hide();
    connect(this, &QLineEdit::textChanged, this, [this] {
        if (!m_bQuiet)
            m_bModified = true;
    });
}

void CGridEditWnd::SetTextQuietly(const QString& text)
{
    m_bQuiet = true;
    setText(text);
    m_bQuiet = false;
}

bool CGridEditWnd::event(QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        // Tab belongs to the grid's walk, not to the dialog's focus chain.
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            keyPressEvent(key);
            return true;
        }
    }
    if (event->type() == QEvent::ShortcutOverride) {
        // The box's own editing keys win over the window's shortcuts.
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Copy) || key->matches(QKeySequence::Cut) || key->matches(QKeySequence::Paste)
            || key->matches(QKeySequence::Undo) || key->matches(QKeySequence::SelectAll)
            || key->key() == Qt::Key_Delete || key->key() == Qt::Key_Backspace) {
            event->accept();
            return true;
        }
    }
    return QLineEdit::event(event);
}

void CGridEditWnd::keyPressEvent(QKeyEvent* event)
{
    if (m_pEngine) {
        const UINT key = CGridWindow::VirtualKeyOf(event);
        if (key != 0) {
            if (auto* window = dynamic_cast<CGridWindow*>(m_pEngine))
                window->SetEventModifiers(event->modifiers());
            if (m_pEngine->CellEditorKeyDown(key, 1, 0))
                return;
        }
    }
    if (m_filter && !event->text().isEmpty() && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        for (char32_t c : event->text().toUcs4()) {
            if (c >= 0x20 && c != 0x7F && !m_filter(c)) {
                MessageBeep(0);
                event->accept();
                return;
            }
        }
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Tab
        || event->key() == Qt::Key_Backtab)
        return; // a one-line box holds neither line breaks nor tabs
    QLineEdit::keyPressEvent(event);
    // Keys the box does not use were passed to the grid already: they go no further.
    event->accept();
}

void CGridEditWnd::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    // A menu or a pop-up taking the focus for a moment does not end the edit.
    if (m_pEngine && event->reason() != Qt::PopupFocusReason)
        m_pEngine->CellEditorKillFocus();
}

CGridTextEditor::CGridTextEditor(CGridEngine* engine, QWidget* grid, QWidget* parent)
    : m_pWnd(new CGridEditWnd(engine, parent)), m_pGrid(grid)
{
}

CGridTextEditor::~CGridTextEditor()
{
    if (m_pWnd) {
        m_pWnd->Detach();
        RetireEditorWindow(m_pWnd, m_pGrid);
    }
}

void CGridTextEditor::SetText(std::string_view text)
{
    if (m_pWnd)
        m_pWnd->SetTextQuietly(QString::fromUtf8(text.data(), qsizetype(text.size())));
}

std::string CGridTextEditor::GetText() const { return m_pWnd ? m_pWnd->text().toStdString() : std::string(); }
bool CGridTextEditor::IsModified() const { return m_pWnd && m_pWnd->IsModified(); }

void CGridTextEditor::SetModified(bool modified)
{
    if (m_pWnd)
        m_pWnd->SetModified(modified);
}

void CGridTextEditor::GetSel(int& start, int& end) const
{
    start = end = 0;
    if (!m_pWnd)
        return;
    const QString text = m_pWnd->text();
    if (m_pWnd->hasSelectedText()) {
        int s = m_pWnd->selectionStart();
        start = ByteOffset(text, s);
        end = ByteOffset(text, s + int(m_pWnd->selectedText().size()));
    } else {
        start = end = ByteOffset(text, m_pWnd->cursorPosition());
    }
}

void CGridTextEditor::SetSel(int start, int end)
{
    if (!m_pWnd)
        return;
    const QString text = m_pWnd->text();
    const int s = CharIndex(text, start), e = CharIndex(text, end);
    if (s == e)
        m_pWnd->setCursorPosition(s);
    else
        m_pWnd->setSelection(s, e - s);
}

void CGridTextEditor::MoveTo(const RECT& rect)
{
    if (m_pWnd)
        m_pWnd->setGeometry(QRectFromRect(rect));
}

RECT CGridTextEditor::GetRect() const { return m_pWnd ? RectFromQRect(m_pWnd->geometry()) : RECT{}; }

void CGridTextEditor::Show()
{
    if (m_pWnd)
        m_pWnd->show();
}

void CGridTextEditor::SetFont(const LOGFONT& deviceFont)
{
    if (m_pWnd)
        m_pWnd->setFont(FontFromLogFont(deviceFont));
}

void CGridTextEditor::SetFocus()
{
    if (m_pWnd)
        m_pWnd->setFocus(Qt::OtherFocusReason);
}

bool CGridTextEditor::HasFocus() const
{
    // The focus widget of its window: it has the focus whenever that window is active.
    return m_pWnd && (m_pWnd->hasFocus() || m_pWnd->window()->focusWidget() == m_pWnd);
}

void CGridTextEditor::SendChar(UINT ch, UINT, UINT)
{
    if (!m_pWnd || ch == 0 || ch > 0x10FFFF)
        return;
    const char32_t c = char32_t(ch);
    m_pWnd->insert(QString::fromUcs4(&c, 1));
}

void CGridTextEditor::SendLButtonDown(UINT, POINT point)
{
    if (m_pWnd)
        m_pWnd->setCursorPosition(m_pWnd->cursorPositionAt(QPoint(point.x, point.y)));
}

void CGridTextEditor::Copy()
{
    if (m_pWnd)
        m_pWnd->copy();
}

void CGridTextEditor::Cut()
{
    if (m_pWnd)
        m_pWnd->cut();
}

void CGridTextEditor::Clear()
{
    if (m_pWnd)
        m_pWnd->del();
}

void CGridTextEditor::Paste()
{
    if (m_pWnd)
        m_pWnd->paste();
}

void CGridTextEditor::Undo()
{
    if (m_pWnd)
        m_pWnd->undo();
}

bool CGridTextEditor::CanUndo() const { return m_pWnd && m_pWnd->isUndoAvailable(); }
