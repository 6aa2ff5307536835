#include "grid/widgets/GridCtrl.h"

#include <QLayout>

CGridCtrl::CGridCtrl(QWidget* parent) : CGridWindow(parent)
{
    SetGridData(&m_data);
    setProperty("gridClass", QStringLiteral("GridClass"));
}

CGridCtrl::~CGridCtrl()
{
    // Cells may read the grid data while they go: they go first.
    m_cells.Clear();
}

void CGridCtrl::InitCells()
{
    m_data.m_nHeaderColumns = 0;
    m_data.m_nFrozenRows = 0;
    m_data.m_nHeaderRows = 0;
    m_data.m_pDefaultCellClass = nullptr;
}

bool CGridCtrl::CreateInDialog(QWidget* parent, int id, const QRect& rect)
{
    if (!parent)
        return false;
    QWidget* placeholder = nullptr;
    for (QWidget* child : parent->findChildren<QWidget*>()) {
        if (child != this && child->property("controlId").toInt() == id) {
            placeholder = child;
            break;
        }
    }
    setParent(parent);
    setProperty("controlId", id);
    if (placeholder) {
        setGeometry(placeholder->geometry());
        if (QWidget* holder = placeholder->parentWidget(); holder && holder->layout())
            delete holder->layout()->replaceWidget(placeholder, this);
        // Into the tab order where the placeholder was: after the tab stop before it.
        for (QWidget* w = placeholder->previousInFocusChain(); w && w != placeholder; w = w->previousInFocusChain()) {
            if (w == parent->window() || w == this || isAncestorOf(w))
                break;
            if ((w->focusPolicy() & Qt::TabFocus) && w->window() == parent->window()) {
                QWidget::setTabOrder(w, this);
                break;
            }
        }
        placeholder->hide();
        placeholder->deleteLater();
        placeholder->setProperty("controlId", QVariant());
    } else {
        setGeometry(rect);
    }
    show();
    InitGrid();
    return true;
}

void CGridCtrl::BroadcastGridEvent(CGridEngine& sender, int code, const void* data)
{
    // A control is the only window on its grid data.
    OnGridEvent(&sender, code, data);
}

void CGridCtrl::RouteKeyDown(UINT key, UINT repeat, UINT flags)
{
    if (key == VK_TAB) {
        TabWalk((GetKeyModifiers() & MK_SHIFT) != 0);
        return;
    }
    CGridWindow::RouteKeyDown(key, repeat, flags);
}

void CGridCtrl::TabWalk(bool backward)
{
    const int row = GetCurrentRow(), column = GetCurrentColumn();
    const int rows = m_data.m_nRowCount, columns = m_data.m_nColumnCount;
    if (!backward) {
        if (column < columns - 1)
            SetCurrentCell(row, column + 1);
        else if (row + 1 < rows)
            SetCurrentCell(row + 1, 1);
        else
            QWidget::focusNextPrevChild(true);
    } else {
        if (column != 1 && column > 0)
            SetCurrentCell(row, column - 1);
        else if (row - 1 >= 1)
            SetCurrentCell(row - 1, columns - 1);
        else
            QWidget::focusNextPrevChild(false);
    }
}
