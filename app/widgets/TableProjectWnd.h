// The window of a data table: its frame and the panes of data views that show the table.
#pragma once

#include "app/widgets/MXProjectWnd.h"

class CDataSplitterWnd;
class CDataView;

class CTableProjectWnd : public CMXProjectWnd {
    Q_OBJECT
public:
    explicit CTableProjectWnd(QWidget* parent = nullptr) : CMXProjectWnd(parent) {}
    CDataSplitterWnd* GetSplitter() const;
    // The pane the user works in.
    CDataView* GetDataView() const;
    // The status pane shows the current cell: "Row 12, Col 3".
    bool OnCmdMsg(UINT id, CCmdUI* ui) override;

protected:
    QWidget* CreateItemView() override;
    void OnDetach() override;
};
