// A cell whose text is edited in place in a text box. Typing over the cell
// replaces its text, F2 or a double-click edits the text it has; leaving the
// cell commits. A refused store keeps the editor open with what was typed.
#pragma once

#include "grid/GridCellObject.h"
#include "grid/GridEditor.h"

#include <memory>

class CEditCell : public CGridCellObject {
    DECLARE_DYNCREATE(CEditCell)
public:
    CEditCell() { m_nMode = 3; }
    ~CEditCell() override;

    void EndEdit() override;
    void OnLeaveCell() override;
    void OnKeyDown(UINT key, UINT repeat, UINT flags) override;
    void OnChar(UINT ch, UINT repeat, UINT flags) override;
    void OnLButtonDblClk(UINT flags, POINT point) override;
    bool IsEditing() const override { return m_pEditor != nullptr; }
    int Copy() override;
    void Cut() override;
    void Clear() override;
    void Paste() override;
    void Undo() override;
    void SelectAll() override;
    void OnUpdateCopy(CGridCmdState& state) override;
    void OnUpdateCut(CGridCmdState& state) override;
    void OnUpdateClear(CGridCmdState& state) override;
    void OnUpdatePaste(CGridCmdState& state) override;
    void OnUpdateUndo(CGridCmdState& state) override;
    void OnUpdateRedo(CGridCmdState& state) override;
    void OnUpdateSelectAll(CGridCmdState& state) override;
    int EditCell() override;
    void OnUpdateEditCell(CGridCmdState& state) override { state.Enable(true); }
    void OnGridMoved() override;
    bool OnEditorKeyDown(UINT key, UINT repeat, UINT flags) override;
    void OnEditorKillFocus() override { EndEdit(); }

    // Begins (true) or commits and ends (false) the edit.
    void SetEditing(bool begin);
    bool CreateEditor();
    void DestroyEditor();
    CGridEditor* GetEditor() const { return m_pEditor.get(); }

private:
    void Commit();
    bool CellOnScreen() const;

    std::unique_ptr<CGridEditor> m_pEditor;
    bool m_bCommitting = false;
};
