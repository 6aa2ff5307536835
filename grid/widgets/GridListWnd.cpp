#include "grid/widgets/GridListWnd.h"

#include "grid/GridEngine.h"
#include "grid/widgets/GridEditWnd.h"
#include "grid/widgets/GridPainterQt.h"
#include "grid/widgets/GridWindow.h"

#include <QFocusEvent>
#include <QFontMetrics>
#include <QKeyEvent>

CGridListWnd::CGridListWnd(CGridEngine* engine, QWidget* parent) : QComboBox(parent), m_pEngine(engine)
{
    setEditable(false);
    hide();
    connect(this, qOverload<int>(&QComboBox::activated), this, [this](int) {
        if (m_pEngine)
            m_pEngine->CellListSelEndOk();
    });
}

void CGridListWnd::showPopup()
{
    if (m_pEngine)
        m_pEngine->CellListDropDown();
    QComboBox::showPopup();
}

void CGridListWnd::hidePopup()
{
    QComboBox::hidePopup();
    if (m_pEngine)
        m_pEngine->CellListCloseUp();
}

bool CGridListWnd::event(QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            keyPressEvent(key);
            return true;
        }
    }
    return QComboBox::event(event);
}

void CGridListWnd::keyPressEvent(QKeyEvent* event)
{
    // The list takes no keys itself: moving keys go to the grid, the rest are dropped.
    event->accept();
    if (!m_pEngine)
        return;
    const UINT key = CGridWindow::VirtualKeyOf(event);
    if (key == 0)
        return;
    if (auto* window = dynamic_cast<CGridWindow*>(m_pEngine))
        window->SetEventModifiers(event->modifiers());
    m_pEngine->CellEditorKeyDown(key, 1, 0);
}

void CGridListWnd::focusOutEvent(QFocusEvent* event)
{
    QComboBox::focusOutEvent(event);
    if (m_pEngine && event->reason() != Qt::PopupFocusReason)
        m_pEngine->CellEditorKillFocus();
}

CGridListEditor::CGridListEditor(CGridEngine* engine, QWidget* grid, QWidget* parent)
    : m_pWnd(new CGridListWnd(engine, parent)), m_pGrid(grid)
{
}

CGridListEditor::~CGridListEditor()
{
    if (m_pWnd) {
        m_pWnd->Detach();
        RetireEditorWindow(m_pWnd, m_pGrid);
    }
}

std::string CGridListEditor::GetText() const { return m_pWnd ? m_pWnd->currentText().toStdString() : std::string(); }

void CGridListEditor::MoveTo(const RECT& rect)
{
    if (!m_pWnd)
        return;
    // The first rectangle is the cell's: later, larger ones make room for an
    // attached list, which Qt shows as a separate pop-up instead.
    if (m_nFieldHeight == 0)
        m_nFieldHeight = int(rect.Height());
    QRect r = QRectFromRect(rect);
    r.setHeight(std::min(int(rect.Height()), m_nFieldHeight));
    m_pWnd->setGeometry(r);
}

RECT CGridListEditor::GetRect() const { return m_pWnd ? RectFromQRect(m_pWnd->geometry()) : RECT{}; }

void CGridListEditor::Show()
{
    if (m_pWnd)
        m_pWnd->show();
}

void CGridListEditor::SetFont(const LOGFONT& deviceFont)
{
    if (m_pWnd)
        m_pWnd->setFont(FontFromLogFont(deviceFont));
}

void CGridListEditor::SetFocus()
{
    if (m_pWnd)
        m_pWnd->setFocus(Qt::OtherFocusReason);
}

bool CGridListEditor::HasFocus() const
{
    return m_pWnd && (m_pWnd->hasFocus() || m_pWnd->window()->focusWidget() == m_pWnd);
}

void CGridListEditor::SendLButtonDown(UINT, POINT)
{
    if (m_pWnd)
        m_pWnd->showPopup();
}

void CGridListEditor::AddItem(std::string_view text)
{
    if (m_pWnd)
        m_pWnd->addItem(QString::fromUtf8(text.data(), qsizetype(text.size())));
}

int CGridListEditor::SelectItem(std::string_view text)
{
    if (!m_pWnd)
        return -1;
    const int index = m_pWnd->findText(QString::fromUtf8(text.data(), qsizetype(text.size())), Qt::MatchExactly);
    m_pWnd->setCurrentIndex(index);
    return index;
}

int CGridListEditor::GetCurSel() const { return m_pWnd ? m_pWnd->currentIndex() : -1; }

std::string CGridListEditor::GetItemText(int index) const
{
    return m_pWnd ? m_pWnd->itemText(index).toStdString() : std::string();
}

int CGridListEditor::GetItemHeight() const { return m_pWnd ? QFontMetrics(m_pWnd->font()).height() + 2 : 16; }
