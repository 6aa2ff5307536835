// A cell whose value is chosen in place from a drop-down list. The list's
// items come from the cell's owner (FillList).
#pragma once

#include "grid/GridCellObject.h"
#include "grid/GridEditor.h"

#include <memory>

class CDropDownListCell : public CGridCellObject {
    DECLARE_DYNCREATE(CDropDownListCell)
public:
    CDropDownListCell() { m_nMode = 3; }
    ~CDropDownListCell() override;

    void EndEdit() override { SetEditing(false); }
    void OnLeaveCell() override { SetEditing(false); }
    void OnChar(UINT ch, UINT repeat, UINT flags) override;
    void OnLButtonDblClk(UINT flags, POINT point) override;
    void OnListSelEndOk() override;
    void OnListDropDown() override;
    void OnListCloseUp() override;
    bool IsEditing() const override { return m_pEditor != nullptr; }
    bool OnEditorKeyDown(UINT key, UINT repeat, UINT flags) override;
    void OnEditorKillFocus() override { EndEdit(); }

    void SetEditing(bool begin);
    bool CreateEditor();
    void DestroyEditor();
    CGridEditor* GetEditor() const { return m_pEditor.get(); }
    // Fills a new list with its items; the base adds none.
    virtual void FillList(CGridEditor& list) {}

private:
    std::unique_ptr<CGridEditor> m_pEditor;
};
