// The window of a data table: its frame and the data view that shows the table.
#pragma once

#include "app/widgets/MXProjectWnd.h"

class CDataView;

class CTableProjectWnd : public CMXProjectWnd {
    Q_OBJECT
public:
    explicit CTableProjectWnd(QWidget* parent = nullptr) : CMXProjectWnd(parent) {}
    CDataView* GetDataView() const;

protected:
    QWidget* CreateItemView() override;
    void OnDetach() override;
};
