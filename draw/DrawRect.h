// The rectangle on a page, drawn as a polygon through its mapped corners so
// that fill, outline and dashes turn with it. Also the base of the rounded
// rectangle, the ellipse, text objects and the graph parts that are boxes.
#pragma once

#include "draw/DrawObj.h"

class CDrawRect : public CDrawObj {
    DECLARE_SERIAL(CDrawRect)
public:
    CDrawRect() = default;
    CDrawRect(const RECT& position, CDrawData* page);

    void Draw(CDrawDC& dc, CDrawViewBase* view) override;
    void OnEditProperties(CDrawViewBase* view) override;
    CDrawObj* Clone(CDrawData* page) override;

protected:
    // Draws the outline polygon (unrotated points) with the object's brush and pen.
    void DrawPolygon(CDrawDC& dc, std::vector<POINT>& points);
};
