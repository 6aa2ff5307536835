// The "Project Window": a bar docked beside the item windows that shows every
// item of the open workspace as an icon with its name. The user selects,
// opens, closes, renames, copies, cuts, pastes, deletes and drags items here.
// The rows, their state and positions live in the workspace's list model;
// this bar draws that model and turns the user's gestures into edits of it.
#pragma once

#include "framework/ItemListCtrl.h"
#include "platform/widgets/CommandRouter.h"
#include "platform/Types.h"

#include <QAbstractListModel>
#include <QDockWidget>
#include <QIcon>
#include <QListView>
#include <QPointer>

#include <string>
#include <vector>

class CListViewBar;
class CProjectDocBase;
class CProjectItemBase;
class QLineEdit;
class QMenu;
class QMimeData;

// The list model as Qt's views see it.
class CItemListModel : public QAbstractListModel {
    Q_OBJECT
public:
    CItemListModel(CListViewBar* bar, QObject* parent);
    void SetList(CItemListCtrl* list);
    CItemListCtrl* GetList() const { return m_list; }
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    Qt::DropActions supportedDropActions() const override { return Qt::CopyAction | Qt::MoveAction; }
    // The list changed: rows added or removed reset the view, anything else refreshes it.
    void Refresh();

private:
    CListViewBar* m_bar;
    CItemListCtrl* m_list = nullptr;
    int m_rowCount = 0;
};

// The list control inside the bar: tracks the focus, F2 renames, Enter opens,
// and it is both the source and the target of item drags.
class CWorkspaceListCtrl : public QListView {
    Q_OBJECT
public:
    explicit CWorkspaceListCtrl(CListViewBar* bar);
    void PlaceRow(int row, QPoint position) { setPositionForIndex(position, model()->index(row, 0)); }
    QPoint ContentPos(QPoint viewportPos) const;
    QPoint ViewportPos(QPoint contentPos) const;
    bool IsEditing() const { return state() == QAbstractItemView::EditingState; }

protected:
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void startDrag(Qt::DropActions supported) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) override;

private:
    CListViewBar* m_bar;
    QPoint m_pressPos;
};

class CListViewBar : public QDockWidget, public CItemListObserver, public CCmdTarget {
    Q_OBJECT
public:
    explicit CListViewBar(QWidget* parent = nullptr);
    ~CListViewBar() override;

    // Shows the document's items (null: none).
    void SetDocument(CProjectDocBase* document);
    CProjectDocBase* GetDocument() const { return m_pDocument; }
    CItemListCtrl* GetItemList() const;
    CWorkspaceListCtrl* GetListCtrl() const { return m_list; }

    // 0 hidden, 1 normal, 2 wide.
    void SetWidthMode(int mode);
    int GetWidthMode() const { return m_nWidthMode; }
    // 0 large icons, 1 small icons.
    void SetIconStyle(int style);
    int GetIconStyle() const { return m_nIconStyle; }
    // Reads "Width" and "Icon Style" of the profile section "Workspace"; written on destruction.
    void LoadState();
    void SaveState() const;
    int DefaultWidth(int mode) const;

    bool IsListActive() const;
    void FocusList();
    void OnListFocus();
    // The name editor while a name is being edited.
    QLineEdit* GetLabelEditor() const;

    // The list's user edits; the program turns them into undoable actions.
    virtual void RenameItem(CProjectItemBase* item, const std::string& oldName, const std::string& newName);
    virtual void DeleteSelectedItems();
    virtual void MoveItems(int x, int y);
    // Inserts items from workspace-format bytes; true when any was pasted.
    virtual bool PasteItems(const std::vector<BYTE>& data, const POINT* dropPoint, bool sameWindow);
    virtual void OnItemsChanged() {}
    virtual void CutSelectedItems();
    virtual bool CopySelectedItems();
    // The menu shown on a right click: 0 background, 1 one item, 2 several items.
    virtual QMenu* MakeContextMenu(int kind, QWidget* parent) { return nullptr; }
    // The picture of an item kind's icon.
    virtual QIcon ItemIcon(const CProjectItemBase* item, bool small) const { return QIcon(); }

    // Label editing: a refused name shows why and keeps the old one.
    bool EndLabelEdit(int row, const std::string& text);
    void BeginRename();
    void OpenSelected();
    void CloseSelected();

    // Drag and drop, in the order a drag runs: the data offered, a drop onto
    // a list (this one or another's), and the end of the drag at the source.
    QMimeData* MakeDragData(int anchorRow, QPoint pressContentPos);
    bool HandleDrop(const QMimeData* data, QPoint contentPos, Qt::DropAction action);
    void FinishDrag(Qt::DropAction result);
    // The drop effect of data over this list with the given keys; IgnoreAction refuses it.
    Qt::DropAction DropEffect(const QMimeData* data, Qt::KeyboardModifiers keys) const;
    bool IsDragging() const { return m_bDragging; }

    bool OnCmdMsg(UINT id, CCmdUI* ui) override;

    void OnListChanged() override;
    // Copies the view's selection into the list model's state bits.
    void SelectionFromView();

signals:
    void listFocused();

protected:
    void resizeEvent(QResizeEvent* event) override;
    // The data that identifies this bar as a drag source.
    std::string DragToken() const;

    CProjectDocBase* m_pDocument = nullptr;
    CItemListModel* m_model;
    CWorkspaceListCtrl* m_list;
    int m_nWidthMode = 1;
    int m_nIconStyle = 0;
    bool m_bDragging = false;
    bool m_bSyncing = false;

private:
    friend class CLabelDelegate;
    QPointer<QLineEdit> m_labelEditor;
    void SelectionToView();
    void PlaceRows();
};
