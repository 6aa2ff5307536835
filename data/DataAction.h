// Base of the undoable edits of a data table. Each action works on its item
// (not owned) and through the item's active data view; it saves the view's
// selection and scroll state when done and puts it back on undo and redo.
#pragma once

#include "data/DataTableView.h"
#include "framework/Action.h"

class CDataTableItem;
class CMyData;

class CDataAction : public CAction {
    DECLARE_DYNAMIC(CDataAction)
public:
    CDataAction(UINT descriptionId, CDataTableItem* item) : CAction(descriptionId), m_item(item) {}

    int Do() override;
    int Redo() override;
    int Undo() override;
    int CanUndo() override { return 1; }
    int CanRedo() override { return 1; }

protected:
    void SaveViewState();
    void RestoreViewState();
    void EnsureGridSize();
    CDataTableView* View() const;
    CMyData& Table() const;
    void SetModified();

    CDataTableItem* m_item;
    CDataViewState m_viewState;
};
