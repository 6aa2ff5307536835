#include "grid/widgets/GridCtrl.h"

#include <QLayout>
#include <QMenu>

#include <algorithm>

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

void CGridCtrl::ShowEditMenu(const QPoint& position, const MenuEntries& extra)
{
    QMenu menu(this);
    MenuEntries items = {
        {"&Undo\tCtrl+Z", ID_EDIT_UNDO}, {nullptr, 0}, {"Cu&t\tCtrl+X", ID_EDIT_CUT},
        {"&Copy\tCtrl+C", ID_EDIT_COPY}, {"&Paste\tCtrl+V", ID_EDIT_PASTE}, {"Cle&ar\tDel", ID_EDIT_CLEAR},
    };
    if (!extra.empty()) {
        items.push_back({nullptr, 0});
        items.insert(items.end(), extra.begin(), extra.end());
    }
    for (const auto& [text, id] : items) {
        if (!text)
            menu.addSeparator();
        else
            menu.addAction(QString::fromUtf8(text))->setData(id);
    }
    UpdateMenu(&menu);
    if (QAction* chosen = menu.exec(viewport()->mapToGlobal(position)))
        OnCommand(chosen->data().toInt());
}

void CGridCtrl::FitNumberedColumns(int lessPixels)
{
    if (!IsInitialised())
        return;
    const LOGFONT font = m_data.GetDeviceFont();
    const int digit = DeviceToLogicalX(MeasureText(font, "0").cx);
    RECT client;
    GetClientRect(client);
    const int width = DeviceToLogicalX(std::max<int>(0, client.right - lessPixels));
    const int numbers = 3 * digit + 4 * GetMarginX();
    const int names = std::max(0, width - numbers) / 3;
    const int rest = std::max(0, width - numbers - names);
    SetColumnWidth(0, LogicalToStoredX(numbers), false, false, false);
    SetColumnWidth(1, LogicalToStoredX(names), false, false, false);
    SetColumnWidth(2, LogicalToStoredX(rest), false, false, false);
    Update(GRID_UPDATE_ALL, 0);
    viewport()->update();
}

void CGridCtrl::LimitEditCommands(int column, std::vector<int> ids)
{
    m_nEditColumn = column;
    m_limitedIds = std::move(ids);
}

bool CGridCtrl::IsLimited(int id) const
{
    return m_nEditColumn >= 0 && GetCurrentColumn() != m_nEditColumn
        && std::find(m_limitedIds.begin(), m_limitedIds.end(), id) != m_limitedIds.end();
}

bool CGridCtrl::OnCommand(int id)
{
    if (IsLimited(id))
        return true;
    return CGridWindow::OnCommand(id);
}

bool CGridCtrl::OnUpdateCommand(int id, CGridCmdState& state)
{
    if (IsLimited(id)) {
        state.Enable(false);
        return true;
    }
    return CGridWindow::OnUpdateCommand(id, state);
}
