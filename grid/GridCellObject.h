// One object per cell on screen: how the cell draws itself and how it reacts
// to the mouse, the keys and the edit commands. The base hands everything
// back to the engine's default behaviour; cell kinds override what they change.
#pragma once

#include "grid/GridTypes.h"
#include "platform/Object.h"

class CGridEngine;
class CGridPainter;

class CGridCellObject : public CObject {
    DECLARE_DYNCREATE(CGridCellObject)
public:
    CGridCellObject() = default;
    ~CGridCellObject() override = default;

    void Attach(CGridEngine* engine, int row, int column)
    {
        m_pEngine = engine;
        m_nRow = row;
        m_nColumn = column;
    }
    CGridEngine* GetEngine() const { return m_pEngine; }
    int GetRow() const { return m_nRow; }
    int GetColumn() const { return m_nColumn; }

    // Rectangles in device pixels.
    virtual void Draw(CGridPainter& painter, int row, int column, const RECT& cellRect, const RECT& textRect);
    virtual void EndEdit() {}
    virtual void OnLeaveCell() {}
    // Called once after the object has been made for its cell.
    virtual void Initialize() {}
    virtual void OnMouseMove(UINT flags, POINT point);
    virtual void OnLButtonDown(UINT flags, POINT point);
    virtual void OnKeyDown(UINT key, UINT repeat, UINT flags);
    virtual void OnChar(UINT ch, UINT repeat, UINT flags);
    virtual void OnLButtonDblClk(UINT flags, POINT point) {}
    virtual void OnListSelEndOk() {}
    virtual void OnListDropDown() {}
    virtual void OnListCloseUp() {}
    virtual bool IsEditing() const { return false; }
    virtual int Copy() { return 0; }
    virtual void Cut() {}
    virtual void Clear() {}
    virtual void Paste() {}
    virtual void Undo() {}
    virtual void Redo() {}
    virtual void SelectAll() {}
    virtual void OnUpdateCopy(CGridCmdState& state) { state.Enable(false); }
    virtual void OnUpdateCut(CGridCmdState& state) { state.Enable(false); }
    virtual void OnUpdateClear(CGridCmdState& state) { state.Enable(false); }
    virtual void OnUpdatePaste(CGridCmdState& state) { state.Enable(false); }
    virtual void OnUpdateUndo(CGridCmdState& state) { state.Enable(false); }
    virtual void OnUpdateRedo(CGridCmdState& state) { state.Enable(false); }
    virtual void OnUpdateSelectAll(CGridCmdState& state) { state.Enable(false); }
    virtual int EditCell() { return 0; }
    virtual void OnUpdateEditCell(CGridCmdState& state) { state.Enable(false); }
    // The grid scrolled under the cell: an open editor follows it.
    virtual void OnGridMoved() {}
    // From the cell's in-place editor: a key before the editor handles it
    // (true: the editor leaves it alone), and the loss of the focus.
    virtual bool OnEditorKeyDown(UINT key, UINT repeat, UINT flags) { return false; }
    virtual void OnEditorKillFocus() {}
    // Narrowest and widest width the cell's column may take when columns are
    // fitted to the window, in logical units; the base keeps the column as it is.
    virtual void GetFitWidths(int& minWidth, int& maxWidth);

protected:
    CGridEngine* m_pEngine = nullptr;
    int m_nRow = -1;
    int m_nColumn = -1;
    int m_nMode = 1;
    int m_nWords[4] = {0, 0, 0, 0};
};
