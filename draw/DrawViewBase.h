// What drawing objects and the page ask of the window that shows them: the
// selection, sizes of device pixels and handles, repainting, the keys held,
// the outlines shown while something is dragged, in-place text editing and
// the property sheets. The drawing view implements it; tests implement it
// without a window.
#pragma once

#include "platform/Types.h"

#include <string>
#include <vector>

class CDrawData;
class CDrawObj;
class CDrawTextBase;
class QTextDocument;

// The rich-text editor laid over a text object while it is edited in place.
class CInPlaceTextEditor {
public:
    virtual ~CInPlaceTextEditor() = default;
    // The document being edited: its text goes back into the object when editing ends.
    virtual QTextDocument* Document() = 0;
    virtual void SetVisible(bool visible) = 0;
    virtual bool IsVisible() const = 0;
    // Places the editor over a rectangle of page units (the unrotated object).
    virtual void SetPageRect(const RECT& rect) = 0;
    virtual void SetFocus() {}
    // The format of the selection, and applying a format to it.
    virtual void GetSelectionCharFormat(CHARFORMAT& format) = 0;
    virtual void SetSelectionCharFormat(const CHARFORMAT& format) = 0;
    virtual void GetSelectionParaFormat(PARAFORMAT& format) = 0;
    virtual void SetSelectionParaFormat(const PARAFORMAT& format) = 0;
    virtual void ReplaceSelection(const std::string& utf8) = 0;
    virtual void SelectAll() = 0;
};

class CDrawViewBase {
public:
    virtual ~CDrawViewBase() = default;

    virtual CDrawData* GetDrawData() const = 0;
    virtual const std::vector<CDrawObj*>& GetSelection() const = 0;
    virtual bool IsSelected(const CDrawObj* obj) const;
    // Whether the page draws the selection's handles in this view.
    virtual bool ShowsSelection() const { return true; }

    // One device pixel, and the selection handles' half size, in page units.
    virtual SIZE GetPixelSize() const { return {8, 8}; }
    virtual SIZE GetHandleSize() const;
    virtual int GetZoomUnits() const { return 100; }

    // Repaints an object's area (with its handles) or a rectangle of the page.
    virtual void InvalObj(CDrawObj* obj) {}
    virtual void InvalidateDocRect(const RECT& rect) {}
    virtual void UpdateWindow() {}
    // MK_SHIFT and MK_CONTROL as they are now.
    virtual int GetKeyState() const { return 0; }

    // An object's drag outline (the object draws it with DrawOutline) is shown
    // until it is turned off; style > 0 solid, else dotted.
    virtual void ShowDragOutline(CDrawObj* obj, bool on, int style) {}

    // In-place text editing: the editor over a text object (shown or hidden),
    // made when needed; null when the view cannot edit text.
    virtual CInPlaceTextEditor* CreateTextEditor(CDrawTextBase* obj, bool show) { return nullptr; }
    virtual void DestroyTextEditor(CInPlaceTextEditor* editor) {}

    // Runs the properties sheet of the selection with the pages of the mask.
    virtual void RunPropertySheet(const std::string& title, int mask) {}
};

// Handle size: s x s device pixels, s = half the frame width + 1 (at least 2).
inline constexpr int kHandlePixels = 3;
