// The panes of a data table's window: up to two rows and two columns of
// data views of the same item, which share its grid settings; each pane
// keeps its own scroll position. A collapsed row or column is no pane; the
// user drags it open from the window's edge. The layout is kept in the
// item's split records, and the workspace counts as changed only when those
// records change.
#pragma once

#include "platform/widgets/CommandRouter.h"

#include <QWidget>

#include <array>

class CDataView;
class CMXGrid;
class QSplitter;

class CDataSplitterWnd : public QWidget, public CCmdTarget {
    Q_OBJECT
public:
    explicit CDataSplitterWnd(CMXGrid* item, QWidget* parent = nullptr);

    CDataView* GetPane(int row, int column) const { return m_panes[std::size_t(row * 2 + column)]; }
    bool IsRowShown(int row) const;
    bool IsColumnShown(int column) const;

    // Restores the split that the item's records hold.
    void CreatePanes();
    // Opens a second row (column) of panes at a position in pixels; the new
    // panes start at the first pane's top row (left column).
    void SplitRow(int position);
    void SplitColumn(int position);
    void DeleteRow();
    void DeleteColumn();
    // Stores the layout in the item's records; marks the item modified only
    // when a record changed. True when one did.
    bool RecalcLayout();
    // Lets go of the item (the views give their edits back).
    void Detach();
    // The pane with the focus (the first when none has it).
    CDataView* GetActivePane() const;
    // Commands go to the active pane.
    bool OnCmdMsg(UINT id, CCmdUI* ui) override;

private:
    CMXGrid* m_pItem;
    QSplitter* m_rows;
    std::array<QSplitter*, 2> m_columns{};
    std::array<CDataView*, 4> m_panes{};
    bool m_bRestoring = false;
};
