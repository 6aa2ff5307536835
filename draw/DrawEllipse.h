// The ellipse on a page: its outline polygon mapped through the rotation,
// hit-tested against the elliptic region of the unrotated frame.
#pragma once

#include "draw/DrawRect.h"

class CDrawEllipse : public CDrawRect {
    DECLARE_SERIAL(CDrawEllipse)
public:
    CDrawEllipse() = default;
    CDrawEllipse(const RECT& position, CDrawData* page);

    void Draw(CDrawDC& dc, CDrawViewBase* view) override;
    void DrawOutline(CDrawDC& dc, CDrawViewBase* view, int solid) override;
    bool HitTest(POINT point, CDrawViewBase* view) override;
    void OnEditProperties(CDrawViewBase* view) override;
    CDrawObj* Clone(CDrawData* page) override;
    void RecalcOutline(const RECT& rect) override;
};
