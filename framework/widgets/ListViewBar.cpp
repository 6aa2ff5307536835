#include "framework/widgets/ListViewBar.h"

#include "framework/Profile.h"
#include "framework/ProjectDocBase.h"
#include "framework/ProjectItemBase.h"
#include "framework/ProjectServerItem.h"
#include "platform/StringIds.h"
#include "platform/widgets/CommandIds.h"
#include "framework/widgets/ProjectAppBase.h"
#include "framework/widgets/ProjectFrameBase.h"
#include "framework/widgets/ProjectFrameMDIMain.h"
#include "platform/Clipboard.h"
#include "platform/Reporter.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDrag>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyledItemDelegate>

#include <cstdlib>
#include <set>
#include <unistd.h>

namespace {

constexpr int kCellWidth = 84;
constexpr int kCellHeight = 72;

QByteArray ToBytes(const std::vector<BYTE>& v) { return QByteArray(reinterpret_cast<const char*>(v.data()), qsizetype(v.size())); }
std::vector<BYTE> FromBytes(const QByteArray& a) { return std::vector<BYTE>(a.begin(), a.end()); }

// The icon's pictures drawn half transparent.
QIcon DimmedIcon(const QIcon& icon)
{
    QIcon dimmed;
    for (const QSize& size : icon.availableSizes()) {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setOpacity(0.5);
        icon.paint(&painter, QRect(QPoint(0, 0), size));
        painter.end();
        dimmed.addPixmap(pixmap);
    }
    return dimmed;
}

} // namespace

// ---------------------------------------------------------------------------

CItemListModel::CItemListModel(CListViewBar* bar, QObject* parent) : QAbstractListModel(parent), m_bar(bar) {}

void CItemListModel::SetList(CItemListCtrl* list)
{
    beginResetModel();
    m_list = list;
    m_rowCount = list ? list->GetItemCount() : 0;
    endResetModel();
}

int CItemListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_rowCount; }

QVariant CItemListModel::data(const QModelIndex& index, int role) const
{
    if (!m_list || index.row() < 0 || index.row() >= m_list->GetItemCount())
        return {};
    const ItemListRow& row = m_list->Row(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole: return QString::fromStdString(row.label);
    case Qt::ToolTipRole: return QString::fromStdString(row.typeText + "\n" + row.timeText);
    case Qt::DecorationRole: {
        QIcon icon = m_bar->ItemIcon(row.item, m_bar->GetIconStyle() == 1);
        // The row of an item whose window is closed shows its icon dimmed, as
        // list controls draw a "cut" row; its name stays normal text, since
        // the item is no less there.
        return row.state & LVIS_CUT ? DimmedIcon(icon) : icon;
    }
    }
    return {};
}

bool CItemListModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !index.isValid())
        return false;
    return m_bar->EndLabelEdit(index.row(), value.toString().toStdString());
}

Qt::ItemFlags CItemListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable | Qt::ItemIsDragEnabled;
}

void CItemListModel::Refresh()
{
    int count = m_list ? m_list->GetItemCount() : 0;
    if (count != m_rowCount) {
        beginResetModel();
        m_rowCount = count;
        endResetModel();
    } else if (count > 0) {
        emit dataChanged(index(0, 0), index(count - 1, 0));
    }
}

// ---------------------------------------------------------------------------

CWorkspaceListCtrl::CWorkspaceListCtrl(CListViewBar* bar) : QListView(bar), m_bar(bar)
{
    setObjectName("WorkspaceList");
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(false);
    setDragDropMode(QAbstractItemView::DragDrop);
    setWordWrap(true);
    setUniformItemSizes(true);
}

QPoint CWorkspaceListCtrl::ContentPos(QPoint viewportPos) const
{
    return viewportPos + QPoint(horizontalOffset(), verticalOffset());
}

QPoint CWorkspaceListCtrl::ViewportPos(QPoint contentPos) const
{
    return contentPos - QPoint(horizontalOffset(), verticalOffset());
}

void CWorkspaceListCtrl::focusInEvent(QFocusEvent* event)
{
    QListView::focusInEvent(event);
    m_bar->OnListFocus();
}

void CWorkspaceListCtrl::keyPressEvent(QKeyEvent* event)
{
    if (state() != QAbstractItemView::EditingState) {
        if (event->key() == Qt::Key_F2) {
            m_bar->BeginRename();
            return;
        }
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            m_bar->OpenSelected();
            return;
        }
    }
    QListView::keyPressEvent(event);
}

void CWorkspaceListCtrl::mousePressEvent(QMouseEvent* event)
{
    m_pressPos = ContentPos(event->position().toPoint());
    QListView::mousePressEvent(event);
    // One selected item with its window open: bring that window to the top, the list keeps the focus.
    CItemListCtrl* list = m_bar->GetItemList();
    if (!list || list->GetSelectedCount() != 1)
        return;
    CProjectItemBase* item = list->GetItem(list->GetSelected(0));
    auto* main = qobject_cast<CProjectFrameMDIMain*>(window());
    if (!main || !item)
        return;
    for (CProjectFrameBase* frame : main->GetFrames())
        if (frame->GetItem() == item)
            frame->raise();
}

void CWorkspaceListCtrl::mouseDoubleClickEvent(QMouseEvent* event)
{
    QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid()) {
        CItemListCtrl* list = m_bar->GetItemList();
        if (list && (list->GetItemState(index.row()) & LVIS_SELECTED))
            if (CProjectItemBase* item = list->GetItem(index.row()))
                item->OpenWindow();
        return;
    }
    QListView::mouseDoubleClickEvent(event);
}

void CWorkspaceListCtrl::contextMenuEvent(QContextMenuEvent* event)
{
    CItemListCtrl* list = m_bar->GetItemList();
    int selected = list ? list->GetSelectedCount() : 0;
    QMenu* menu = m_bar->MakeContextMenu(selected == 0 ? 0 : selected == 1 ? 1 : 2, this);
    if (!menu)
        return;
    menu->exec(event->globalPos());
    delete menu;
}

void CWorkspaceListCtrl::selectionChanged(const QItemSelection& selected, const QItemSelection& deselected)
{
    QListView::selectionChanged(selected, deselected);
    m_bar->SelectionFromView();
}

void CWorkspaceListCtrl::startDrag(Qt::DropActions)
{
    QModelIndex anchor = indexAt(ViewportPos(m_pressPos));
    if (!anchor.isValid())
        anchor = currentIndex();
    if (!anchor.isValid())
        return;
    QMimeData* data = m_bar->MakeDragData(anchor.row(), m_pressPos);
    if (!data)
        return;
    auto* drag = new QDrag(this);
    drag->setMimeData(data);
    QIcon icon = model()->data(anchor, Qt::DecorationRole).value<QIcon>();
    if (!icon.isNull())
        drag->setPixmap(icon.pixmap(iconSize()));
    Qt::DropAction result = drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::MoveAction);
    m_bar->FinishDrag(result);
}

void CWorkspaceListCtrl::dragEnterEvent(QDragEnterEvent* event)
{
    Qt::DropAction effect = m_bar->DropEffect(event->mimeData(), event->modifiers());
    if (effect == Qt::IgnoreAction) {
        event->ignore();
        return;
    }
    event->setDropAction(effect);
    event->accept();
}

void CWorkspaceListCtrl::dragMoveEvent(QDragMoveEvent* event)
{
    Qt::DropAction effect = m_bar->DropEffect(event->mimeData(), event->modifiers());
    if (effect == Qt::IgnoreAction) {
        event->ignore();
        return;
    }
    event->setDropAction(effect);
    event->accept();
}

void CWorkspaceListCtrl::dragLeaveEvent(QDragLeaveEvent* event) { event->accept(); }

void CWorkspaceListCtrl::dropEvent(QDropEvent* event)
{
    Qt::DropAction effect = m_bar->DropEffect(event->mimeData(), event->modifiers());
    if (effect != Qt::IgnoreAction
        && m_bar->HandleDrop(event->mimeData(), ContentPos(event->position().toPoint()), effect)) {
        event->setDropAction(effect);
        event->accept();
    } else {
        // The source learns that nothing was dropped and keeps its items.
        event->setDropAction(Qt::IgnoreAction);
        event->ignore();
    }
}

// ---------------------------------------------------------------------------

// Keeps hold of the name editor while a name is being edited.
class CLabelDelegate : public QStyledItemDelegate {
public:
    CLabelDelegate(CListViewBar* bar) : QStyledItemDelegate(bar), m_bar(bar)
    {
        connect(this, &QAbstractItemDelegate::closeEditor, this, [this](QWidget*) { m_bar->m_labelEditor = nullptr; });
    }
    // In the icon views a name wraps within its cell instead of being cut to the icon's width.
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        if (m_bar->GetListCtrl() && m_bar->GetListCtrl()->viewMode() == QListView::IconMode)
            size = QSize(kCellWidth - 6, kCellHeight - 6);
        return size;
    }
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        m_bar->m_labelEditor = qobject_cast<QLineEdit*>(editor);
        return editor;
    }

private:
    CListViewBar* m_bar;
};

// ---------------------------------------------------------------------------

CListViewBar::CListViewBar(QWidget* parent)
    : QDockWidget(parent)
    , m_model(new CItemListModel(this, this))
    , m_list(new CWorkspaceListCtrl(this))
{
    setObjectName("ProjectWindow");
    setWindowTitle("Project Window");
    setFeatures(QDockWidget::DockWidgetMovable);
    setTitleBarWidget(new QWidget(this)); // no caption: a docked list beside the windows
    m_list->setModel(m_model);
    m_list->setItemDelegate(new CLabelDelegate(this));
    setWidget(m_list);
    LoadState();
    SetIconStyle(m_nIconStyle);
    if (m_nWidthMode == 0)
        hide();
}

CListViewBar::~CListViewBar()
{
    SaveState();
    if (CItemListCtrl* list = GetItemList())
        list->SetObserver(nullptr);
}

void CListViewBar::LoadState()
{
    m_nWidthMode = GetProfileInt("Workspace", "Width", 1);
    if (m_nWidthMode < 0 || m_nWidthMode > 2)
        m_nWidthMode = 1;
    m_nIconStyle = GetProfileInt("Workspace", "Icon Style", 0) ? 1 : 0;
    setMinimumWidth(DefaultWidth(m_nWidthMode == 0 ? 1 : m_nWidthMode));
}

void CListViewBar::SaveState() const
{
    WriteProfileInt("Workspace", "Width", m_nWidthMode);
    WriteProfileInt("Workspace", "Icon Style", m_nIconStyle);
}

int CListViewBar::DefaultWidth(int mode) const
{
    const int edge = 2;
    const int scroll = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    return kCellWidth * (mode == 2 ? 2 : 1) + 2 * edge + scroll + 11;
}

void CListViewBar::SetDocument(CProjectDocBase* document)
{
    if (CItemListCtrl* old = GetItemList())
        old->SetObserver(nullptr);
    m_pDocument = document;
    CItemListCtrl* list = GetItemList();
    if (list)
        list->SetObserver(this);
    m_model->SetList(list);
    OnListChanged();
}

CItemListCtrl* CListViewBar::GetItemList() const { return m_pDocument ? m_pDocument->GetItemListCtrl() : nullptr; }

void CListViewBar::SetWidthMode(int mode)
{
    if (mode == m_nWidthMode)
        return;
    m_nWidthMode = mode;
    if (mode == 0) {
        hide();
        return;
    }
    int width = DefaultWidth(mode);
    setMinimumWidth(width);
    show();
    if (auto* main = qobject_cast<QMainWindow*>(parentWidget()))
        main->resizeDocks({this}, {width}, Qt::Horizontal);
}

void CListViewBar::SetIconStyle(int style)
{
    m_nIconStyle = style;
    if (style == 0) {
        m_list->setViewMode(QListView::IconMode);
        m_list->setMovement(QListView::Free);
        m_list->setIconSize(QSize(32, 32));
        m_list->setGridSize(QSize(kCellWidth, kCellHeight));
        m_list->setFlow(QListView::LeftToRight);
        m_list->setWrapping(true);
    } else {
        m_list->setViewMode(QListView::ListMode);
        m_list->setIconSize(QSize(16, 16));
        m_list->setGridSize(QSize());
        m_list->setFlow(QListView::TopToBottom);
        m_list->setWrapping(false);
    }
    m_list->setDragEnabled(true);
    m_list->setAcceptDrops(true);
    m_list->setDragDropMode(QAbstractItemView::DragDrop);
    if (CItemListCtrl* list = GetItemList()) {
        m_bSyncing = true;
        list->SetViewMode(style == 0 ? ListLargeIcons : ListSmallIcons);
        list->SetAlignment(style == 0 ? 3 : 1);
        list->SetAutoArrange(true);
        m_bSyncing = false;
    }
    OnListChanged();
}

bool CListViewBar::IsListActive() const
{
    auto* main = qobject_cast<CProjectFrameMDIMain*>(window());
    return main ? main->IsListActive() : false;
}

void CListViewBar::FocusList()
{
    m_list->setFocus(Qt::OtherFocusReason);
    OnListFocus();
}

void CListViewBar::OnListFocus()
{
    if (auto* main = qobject_cast<CProjectFrameMDIMain*>(window()))
        main->SetListFocus(true);
    emit listFocused();
}

QLineEdit* CListViewBar::GetLabelEditor() const { return m_list->IsEditing() ? m_labelEditor.data() : nullptr; }

void CListViewBar::resizeEvent(QResizeEvent* event)
{
    QDockWidget::resizeEvent(event);
    PlaceRows();
}

// ---------------------------------------------------------------------------
// Rows and selection

void CListViewBar::OnListChanged()
{
    if (m_bSyncing)
        return;
    m_model->Refresh();
    PlaceRows();
    SelectionToView();
}

void CListViewBar::PlaceRows()
{
    CItemListCtrl* list = GetItemList();
    if (!list || m_list->viewMode() != QListView::IconMode)
        return;
    // Rows keep their stored places; a row without one of its own (new, or
    // sharing another's place) takes the first free cell.
    const int columns = std::max(1, m_list->viewport()->width() / kCellWidth);
    // A place is taken when an icon placed before covers any of it: stored
    // places need not lie on the cells.
    std::set<std::pair<int, int>> used;
    auto covered = [&used](const POINT& p) {
        for (const auto& [x, y] : used)
            if (std::abs(x - p.x) < kCellWidth && std::abs(y - p.y) < kCellHeight)
                return true;
        return false;
    };
    std::vector<int> unplaced;
    for (int row = 0; row < list->GetItemCount(); ++row) {
        POINT p = list->GetItemPosition(row);
        if (covered(p))
            unplaced.push_back(row);
        else
            used.insert({p.x, p.y});
    }
    m_bSyncing = true;
    int cell = 0;
    for (int row : unplaced) {
        POINT p;
        do {
            p = POINT{(cell % columns) * kCellWidth, (cell / columns) * kCellHeight};
            ++cell;
        } while (covered(p));
        used.insert({p.x, p.y});
        list->SetItemPosition(row, p.x, p.y);
        if (CProjectItemBase* item = list->GetItem(row))
            item->SaveListPosition();
    }
    m_bSyncing = false;
    for (int row = 0; row < list->GetItemCount(); ++row) {
        POINT p = list->GetItemPosition(row);
        m_list->PlaceRow(row, QPoint(p.x, p.y));
    }
    m_list->viewport()->update();
}

void CListViewBar::SelectionToView()
{
    CItemListCtrl* list = GetItemList();
    if (!list)
        return;
    m_bSyncing = true;
    QItemSelection selection;
    for (int row = 0; row < list->GetItemCount(); ++row)
        if (list->GetItemState(row) & LVIS_SELECTED)
            selection.select(m_model->index(row, 0), m_model->index(row, 0));
    QItemSelectionModel* sm = m_list->selectionModel();
    sm->select(selection, QItemSelectionModel::ClearAndSelect);
    int focused = list->GetFocused();
    if (focused >= 0 && !m_list->IsEditing())
        sm->setCurrentIndex(m_model->index(focused, 0), QItemSelectionModel::NoUpdate);
    m_bSyncing = false;
}

void CListViewBar::SelectionFromView()
{
    CItemListCtrl* list = GetItemList();
    if (!list || m_bSyncing)
        return;
    m_bSyncing = true;
    QItemSelectionModel* sm = m_list->selectionModel();
    int current = sm->currentIndex().isValid() ? sm->currentIndex().row() : -1;
    for (int row = 0; row < list->GetItemCount(); ++row) {
        UINT state = sm->isSelected(m_model->index(row, 0)) ? UINT(LVIS_SELECTED) : 0u;
        if (row == current)
            state |= LVIS_FOCUSED;
        list->SetItemState(row, state, LVIS_SELECTED | LVIS_FOCUSED);
    }
    m_bSyncing = false;
}

// ---------------------------------------------------------------------------
// Editing

bool CListViewBar::EndLabelEdit(int row, const std::string& text)
{
    CItemListCtrl* list = GetItemList();
    CProjectItemBase* item = list ? list->GetItem(row) : nullptr;
    if (!item)
        return false;
    if (text.empty()) {
        ReportMessage(IDS_BLANK_NAME, {}, MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    if (item->FindByName(text)) {
        ReportMessage(IDS_NAME_TAKEN, {text}, MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    if (text != item->GetName())
        RenameItem(item, item->GetName(), text);
    return true;
}

void CListViewBar::BeginRename()
{
    CItemListCtrl* list = GetItemList();
    int row = list ? list->GetFocused() : -1;
    if (row < 0 && list && list->GetSelectedCount() > 0)
        row = list->GetSelected(0);
    if (row >= 0)
        m_list->edit(m_model->index(row, 0));
}

void CListViewBar::RenameItem(CProjectItemBase* item, const std::string&, const std::string& newName)
{
    item->SetName(newName);
}

void CListViewBar::DeleteSelectedItems()
{
    CItemListCtrl* list = GetItemList();
    if (!list || !m_pDocument)
        return;
    while (list->GetSelectedCount() > 0) {
        CProjectItemBase* item = list->GetItem(list->GetSelected(0));
        if (!item)
            break;
        item->CloseWindow();
        m_pDocument->MarkItemStreamDeleted(item);
        m_pDocument->RemoveItem(item);
        delete item;
    }
    m_pDocument->SetModifiedFlag(true);
}

void CListViewBar::MoveItems(int x, int y)
{
    CItemListCtrl* list = GetItemList();
    if (!list)
        return;
    bool first = true;
    POINT origin;
    for (int row = 0; row < list->GetItemCount(); ++row) {
        if (!(list->GetItemState(row) & LVIS_SELECTED))
            continue;
        POINT p = list->GetItemPosition(row);
        if (first) {
            origin = p;
            first = false;
        }
        list->SetItemPosition(row, p.x - origin.x + x, p.y - origin.y + y);
        if (CProjectItemBase* item = list->GetItem(row))
            item->SaveListPosition();
    }
    m_pDocument->SetModifiedFlag(true);
}

bool CListViewBar::PasteItems(const std::vector<BYTE>&, const POINT*, bool) { return false; }

bool CListViewBar::CopySelectedItems()
{
    CItemListCtrl* list = GetItemList();
    if (!list || list->GetSelectedCount() == 0)
        return false;
    CProjectServerItem server(m_pDocument);
    int focused = list->GetFocused();
    for (int n = 0; n < list->GetSelectedCount(); ++n) {
        int row = list->GetSelected(n);
        POINT p = list->GetItemPosition(row);
        if (row == focused)
            server.SetFocusedIndex(n);
        server.AddItem(list->GetItem(row), p.x, p.y);
    }
    return server.CopyToClipboard();
}

void CListViewBar::CutSelectedItems()
{
    if (CopySelectedItems())
        DeleteSelectedItems();
}

void CListViewBar::OpenSelected()
{
    CItemListCtrl* list = GetItemList();
    if (!list)
        return;
    int focused = list->GetFocused();
    if (focused < 0)
        return;
    std::vector<CProjectItemBase*> items;
    for (int n = 0; n < list->GetSelectedCount(); ++n) {
        int row = list->GetSelected(n);
        if (row != focused)
            items.push_back(list->GetItem(row));
    }
    // The focused item last, so that its window ends up on top.
    if (list->GetItemState(focused) & LVIS_SELECTED)
        items.push_back(list->GetItem(focused));
    for (CProjectItemBase* item : items)
        if (item)
            item->OpenWindow();
}

void CListViewBar::CloseSelected()
{
    CItemListCtrl* list = GetItemList();
    if (!list)
        return;
    std::vector<CProjectItemBase*> items;
    for (int n = 0; n < list->GetSelectedCount(); ++n)
        items.push_back(list->GetItem(list->GetSelected(n)));
    for (CProjectItemBase* item : items)
        if (item)
            item->CloseWindow();
    FocusList();
}

// ---------------------------------------------------------------------------
// Drag and drop

std::string CListViewBar::DragToken() const
{
    return std::to_string(::getpid()) + ":" + std::to_string(reinterpret_cast<std::uintptr_t>(this));
}

QMimeData* CListViewBar::MakeDragData(int anchorRow, QPoint pressContentPos)
{
    CItemListCtrl* list = GetItemList();
    if (!list || anchorRow < 0 || anchorRow >= list->GetItemCount())
        return nullptr;
    if (!(list->GetItemState(anchorRow) & LVIS_SELECTED))
        list->SelectOnly(anchorRow);
    CProjectServerItem server(m_pDocument);
    // The item under the pointer first: the drop places the others around it.
    POINT anchor = list->GetItemPosition(anchorRow);
    server.AddItem(list->GetItem(anchorRow), anchor.x, anchor.y);
    for (int n = 0; n < list->GetSelectedCount(); ++n) {
        int row = list->GetSelected(n);
        if (row == anchorRow)
            continue;
        POINT p = list->GetItemPosition(row);
        server.AddItem(list->GetItem(row), p.x, p.y);
    }
    server.SetFocusedIndex(0);
    auto* data = new QMimeData;
    data->setData(kWorkspaceDataFormat, ToBytes(server.WorkspaceData()));
    // Who is dragging, and where in the first icon the pointer holds it.
    std::string token = DragToken() + ":" + std::to_string(pressContentPos.x() - anchor.x) + ":"
        + std::to_string(pressContentPos.y() - anchor.y);
    data->setData(kPrivateDragFormat, QByteArray::fromStdString(token));
    m_bDragging = true;
    return data;
}

Qt::DropAction CListViewBar::DropEffect(const QMimeData* data, Qt::KeyboardModifiers keys) const
{
    if (!data || !data->hasFormat(kPrivateDragFormat) || !m_pDocument)
        return Qt::IgnoreAction;
    if ((keys & Qt::ControlModifier) && (keys & Qt::ShiftModifier))
        return Qt::IgnoreAction; // items cannot be linked
    if (keys & Qt::ControlModifier)
        return Qt::CopyAction;
    std::string token = data->data(kPrivateDragFormat).toStdString();
    bool self = token.rfind(DragToken() + ":", 0) == 0;
    if (!self)
        return Qt::MoveAction;
    return m_list->viewMode() == QListView::IconMode ? Qt::MoveAction : Qt::IgnoreAction;
}

bool CListViewBar::HandleDrop(const QMimeData* data, QPoint contentPos, Qt::DropAction action)
{
    if (!data || !data->hasFormat(kPrivateDragFormat))
        return false;
    std::string token = data->data(kPrivateDragFormat).toStdString();
    const std::string self = DragToken() + ":";
    const bool sameWindow = token.rfind(self, 0) == 0;
    int gx = 0, gy = 0;
    if (std::size_t a = token.rfind(':'); a != std::string::npos && a > 0) {
        std::size_t b = token.rfind(':', a - 1);
        if (b != std::string::npos) {
            gx = std::atoi(token.substr(b + 1, a - b - 1).c_str());
            gy = std::atoi(token.substr(a + 1).c_str());
        }
    }
    POINT target{contentPos.x() - gx, contentPos.y() - gy};
    if (action == Qt::MoveAction && sameWindow) {
        // A move within this list repositions the icons; nothing is deleted at the end.
        m_bDragging = false;
        MoveItems(target.x, target.y);
        return true;
    }
    return PasteItems(FromBytes(data->data(kWorkspaceDataFormat)), &target, sameWindow);
}

void CListViewBar::FinishDrag(Qt::DropAction result)
{
    // Only a drop that the target reports as a completed move takes the items away here.
    if (m_bDragging && result == Qt::MoveAction)
        DeleteSelectedItems();
    m_bDragging = false;
}

// ---------------------------------------------------------------------------
// Commands

bool CListViewBar::OnCmdMsg(UINT id, CCmdUI* ui)
{
    CItemListCtrl* list = GetItemList();
    const int selected = list ? list->GetSelectedCount() : 0;
    QLineEdit* editor = GetLabelEditor();
    switch (id) {
    case ID_ITEM_RENAME:
        if (ui) ui->Enable(list && (list->GetFocused() >= 0 || selected > 0)); else BeginRename();
        return true;
    case ID_EDIT_COPY:
        if (editor) {
            if (ui) ui->Enable(editor->hasSelectedText()); else editor->copy();
        } else {
            if (ui) ui->Enable(selected > 0); else CopySelectedItems();
        }
        return true;
    case ID_EDIT_CUT:
        if (editor) {
            if (ui) ui->Enable(editor->hasSelectedText()); else editor->cut();
        } else {
            if (ui) ui->Enable(selected > 0); else CutSelectedItems();
        }
        return true;
    case ID_EDIT_CLEAR:
        if (editor) {
            if (ui) ui->Enable(editor->hasSelectedText()); else editor->del();
        } else {
            if (ui) ui->Enable(selected > 0); else if (selected > 0) DeleteSelectedItems();
        }
        return true;
    case ID_EDIT_PASTE:
        if (editor) {
            if (ui) ui->Enable(QApplication::clipboard() && !QApplication::clipboard()->text().isEmpty());
            else editor->paste();
        } else {
            if (ui) ui->Enable(m_pDocument && GetClipboard().HasFormat(kWorkspaceDataFormat));
            else PasteItems(GetClipboard().GetData(kWorkspaceDataFormat), nullptr, true);
        }
        return true;
    case ID_EDIT_SELECT_ALL:
        if (ui) {
            ui->Enable(list != nullptr);
        } else if (editor) {
            editor->selectAll();
        } else if (list) {
            for (int row = 0; row < list->GetItemCount(); ++row)
                list->SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
        }
        return true;
    case ID_ITEM_OPEN: {
        bool any = false;
        for (int n = 0; list && n < selected; ++n) {
            CProjectItemBase* item = list->GetItem(list->GetSelected(n));
            auto* main = qobject_cast<CProjectFrameMDIMain*>(window());
            if (item && !(main && main->HasItemWindow(item)))
                any = true;
        }
        if (ui) ui->Enable(any); else OpenSelected();
        return true;
    }
    case ID_ITEM_CLOSE: {
        bool any = false;
        auto* main = qobject_cast<CProjectFrameMDIMain*>(window());
        for (int n = 0; list && n < selected; ++n) {
            CProjectItemBase* item = list->GetItem(list->GetSelected(n));
            if (item && main && main->HasItemWindow(item))
                any = true;
        }
        if (ui) ui->Enable(any); else CloseSelected();
        return true;
    }
    }
    return false;
}
