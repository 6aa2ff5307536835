// An in-place editor window that a host makes for a cell being edited: a
// one-line text box or a drop-down list. The cell that asked for it owns it;
// destroying the object closes the window without calling back into the cell.
// The host's editor tells its cell about keys (OnEditorKeyDown) before it
// handles them and about losing the focus (OnEditorKillFocus), which commits.
#pragma once

#include "platform/Types.h"

#include <string>
#include <string_view>

enum : int { GRID_EDITOR_TEXT = 28038, GRID_EDITOR_LIST = 28039 };

class CGridEditor {
public:
    virtual ~CGridEditor() = default;

    virtual void SetText(std::string_view text) = 0;
    virtual std::string GetText() const = 0;
    virtual bool IsModified() const = 0;
    virtual void SetModified(bool modified) = 0;
    // Selection as character positions; end 0xFFFF or beyond means the end of the text.
    virtual void GetSel(int& start, int& end) const = 0;
    virtual void SetSel(int start, int end) = 0;
    // Device rectangle in the grid's client coordinates.
    virtual void MoveTo(const RECT& rect) = 0;
    virtual RECT GetRect() const = 0;
    virtual void Show() = 0;
    virtual void SetFont(const LOGFONT& deviceFont) {}
    virtual void SetFocus() = 0;
    virtual bool HasFocus() const = 0;
    // Types a character into the editor as if the user had.
    virtual void SendChar(UINT ch, UINT repeat, UINT flags) = 0;
    virtual void SendLButtonDown(UINT flags, POINT point) = 0;

    virtual void Copy() = 0;
    virtual void Cut() = 0;
    virtual void Clear() = 0;
    virtual void Paste() = 0;
    virtual void Undo() = 0;
    virtual bool CanUndo() const = 0;

    // Drop-down lists: the items and the chosen one (-1 none).
    virtual void AddItem(std::string_view text) {}
    virtual int SelectItem(std::string_view text) { return -1; }
    virtual int GetCurSel() const { return -1; }
    virtual std::string GetItemText(int index) const { return {}; }
    virtual int GetItemHeight() const { return 16; }
};
