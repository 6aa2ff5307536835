// A straight line from the (left, top) corner of its frame to the (right,
// bottom) corner, with arrow heads.
#pragma once

#include "draw/DrawLineParent.h"

class CDrawLine : public CDrawLineParent {
    DECLARE_SERIAL(CDrawLine)
public:
    CDrawLine() = default;
    CDrawLine(const RECT& position, CDrawData* page);

    int GetHandleCount() override { return 2; }
    POINT GetHandle(int n) override;
    int GetHandleCursor(int n) override { return CURSOR_CROSS; }
    void SetFillColor(COLORREF colour) override {}
    void SetFillStyle(int on, bool redraw) override {}
    int GetFillStyle() override { return kNotApplicable; }
    int CanFill() override { return 0; }
    void Draw(CDrawDC& dc, CDrawViewBase* view) override;
    void DrawOutline(CDrawDC& dc, CDrawViewBase* view, int solid) override;
    bool HitTest(POINT point, CDrawViewBase* view) override;
    void MoveHandleTo(int handle, POINT offset, CDrawViewBase* view) override;
    void OnEditProperties(CDrawViewBase* view) override;
    CDrawObj* Clone(CDrawData* page) override;
    void RecalcOutline(const RECT& rect) override;
};
