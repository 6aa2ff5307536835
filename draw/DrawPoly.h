// A polyline or polygon through a list of vertices in the unrotated frame,
// with arrow heads at its first and last vertex. The polygon tool builds it
// point by point; with Ctrl held a selected polygon's vertices are deleted
// (click on one) or inserted (click on an edge).
#pragma once

#include "draw/DrawLineParent.h"

#include <vector>

class CDrawPoly : public CDrawLineParent {
    DECLARE_SERIAL(CDrawPoly)
public:
    CDrawPoly() = default;
    CDrawPoly(const RECT& position, CDrawData* page);

    void Serialize(CArchive& ar) override;
    int GetHandleCount() override { return int(m_points.size()); }
    POINT GetHandle(int n) override;
    int GetHandleCursor(int n) override;
    int IsPolygon() override { return 1; }
    int GetPolyClosed() override { return m_bClosed; }
    void SetPolyClosed(int closed, bool redraw) override;
    void Draw(CDrawDC& dc, CDrawViewBase* view) override;
    void MoveTo(const RECT& position, CDrawViewBase* view = nullptr) override;
    void DrawOutline(CDrawDC& dc, CDrawViewBase* view, int solid) override;
    void EndDrag(CDrawViewBase* view, bool commit, bool newObject) override;
    void SavePosition() override;
    void OffsetBy(POINT offset) override;
    int HitTestHandles(POINT point, CDrawViewBase* view, bool selected) override;
    bool HitTest(POINT point, CDrawViewBase* view) override;
    void MoveHandleTo(int handle, POINT offset, CDrawViewBase* view) override;
    void DeleteVertex(POINT point, CDrawViewBase* view) override;
    void InsertVertex(POINT point, CDrawViewBase* view) override;
    void OnEditProperties(CDrawViewBase* view) override;
    CDrawObj* Clone(CDrawData* page) override;
    void RecalcOutline(const RECT& rect) override;

    // The polygon tool adds the vertices the user clicks.
    void AddPoint(POINT point, CDrawViewBase* view);
    // Makes the frame the box of the vertices; false when there are none or nothing changed.
    bool RecalcBounds();
    // The first edge near the point (i for the edge from vertex i to i + 1;
    // the closing edge answers the last index), or -1.
    int FindSegmentAt(int x, int y, CDrawViewBase* view);
    // Drops the last vertex (the one following the mouse while building).
    void DropLastPoint();

    const std::vector<POINT>& GetPoints() const { return m_points; }
    const std::vector<POINT>& GetSavedPoints() const { return m_savedPoints; }
    void SetPoints(std::vector<POINT> points);

private:
    int Tolerance(CDrawViewBase* view);

    std::vector<POINT> m_points;
    std::vector<POINT> m_savedPoints;
    int m_bClosed = 0;
    bool m_bVertexDrag = false;
};
