// The drawing tools: mouse input in a drawing view becomes selection,
// moving, resizing, copying and drawing of objects. One tool per shape is
// registered process-wide; the current shape decides which gets the view's
// mouse. The select tool keeps the drag state; the shape tools create an
// object and hand every later event to the select tool.
#pragma once

#include "platform/Types.h"

#include <QPoint>

#include <functional>

class CDrawData;
class CDrawObj;
class CDrawPoly;
class CDrawView;

enum DrawShape : int {
    SHAPE_SELECT = 0,
    SHAPE_LINE = 1,
    SHAPE_RECT = 2,
    SHAPE_ROUNDRECT = 3,
    SHAPE_ELLIPSE = 4,
    SHAPE_POLYGON = 5,
    SHAPE_TEXT = 6,
    SHAPE_GRAPH = 7,
};

enum DragMode : int {
    DRAG_NONE = 0,
    DRAG_NET = 1,          // rubber band
    DRAG_MOVE = 2,
    DRAG_SIZE = 3,
    DRAG_MOVE_ARMED = 4,   // button down on an object, not yet moved
    DRAG_SIZE_ARMED = 5,   // button down on a handle, not yet moved
    DRAG_SIZE_NEW = 6,     // resizing an object just created
    DRAG_NEW_ARMED = 7,    // an object just created, not yet moved
};

class CShapeTool {
public:
    explicit CShapeTool(int shape);
    virtual ~CShapeTool();

    virtual void OnLButtonDown(CDrawView* view, int flags, QPoint point);
    virtual void OnLButtonDblClk(CDrawView* view, int flags, QPoint point) {}
    virtual void OnLButtonUp(CDrawView* view, int flags, QPoint point);
    virtual void OnMouseMove(CDrawView* view, int flags, QPoint point);
    virtual void OnCancel(CDrawView* view);
    virtual void OnKeyState(CDrawView* view);

    int GetShape() const { return m_shape; }

    static CShapeTool* FindTool(int shape);
    static int GetCurrentShape();
    // Choosing another shape ends a polygon that is being drawn.
    static void SetCurrentShape(int shape, CDrawView* view = nullptr);
    static void ResetToSelect() { SetCurrentShape(SHAPE_SELECT); }

    // The process-wide drag state (one drag at a time, in the view with the mouse).
    struct DragState {
        int mode = DRAG_NONE;
        int handle = 0;
        QPoint down;       // client
        QPoint last;       // client
        POINT downDoc{};   // page units
        int ctrl = 0;
        int constraint = 0; // 0 free, 1 horizontal only, 2 vertical only
    };
    static DragState& State();

private:
    int m_shape;
};

class CShapeSelectTool : public CShapeTool {
public:
    CShapeSelectTool() : CShapeTool(SHAPE_SELECT) {}
    void OnLButtonDown(CDrawView* view, int flags, QPoint point) override;
    void OnLButtonDblClk(CDrawView* view, int flags, QPoint point) override;
    void OnLButtonUp(CDrawView* view, int flags, QPoint point) override;
    void OnMouseMove(CDrawView* view, int flags, QPoint point) override;
    void OnCancel(CDrawView* view) override;

    static CShapeSelectTool& Instance();

private:
    void DuplicateSelection(CDrawView* view);
};

// Creates the object of its shape for a rectangle of the page.
class CShapeDragTool : public CShapeTool {
public:
    using Factory = std::function<CDrawObj*(const RECT& rect, CDrawData* page, CDrawView* view)>;
    CShapeDragTool(int shape, Factory create);
    void OnLButtonDown(CDrawView* view, int flags, QPoint point) override;
    void OnLButtonUp(CDrawView* view, int flags, QPoint point) override;
    void OnMouseMove(CDrawView* view, int flags, QPoint point) override;
    void OnCancel(CDrawView* view) override;
    // The graph model installs the graph tool's placeholder.
    void SetFactory(Factory create) { m_create = std::move(create); }
    // A tool whose object only marks out a place (the graph tool's) takes
    // the marker off the page when the mouse is let go after a drag and
    // hands its rectangle on instead.
    using Placed = std::function<void(CDrawView* view, const RECT& rect)>;
    void SetPlaced(Placed placed) { m_placed = std::move(placed); }

private:
    Factory m_create;
    Placed m_placed;
};

class CShapePolyTool : public CShapeTool {
public:
    CShapePolyTool() : CShapeTool(SHAPE_POLYGON) {}
    void OnLButtonDown(CDrawView* view, int flags, QPoint point) override;
    void OnLButtonDblClk(CDrawView* view, int flags, QPoint point) override;
    void OnLButtonUp(CDrawView* view, int flags, QPoint point) override {}
    void OnMouseMove(CDrawView* view, int flags, QPoint point) override;
    void OnCancel(CDrawView* view) override;

    // Ends the polygon being drawn as a double click would.
    void Finish(CDrawView* view);
    CDrawPoly* GetPolygon() const { return m_pPoly; }
    // The view goes away: a polygon under construction is forgotten.
    void Forget(CDrawView* view);

private:
    CDrawPoly* m_pPoly = nullptr;
    CDrawView* m_pView = nullptr;
};

// The tool of a shape (SHAPE_GRAPH's factory is the graph model's to set).
CShapeDragTool* GetDragTool(int shape);
CShapePolyTool& GetPolyTool();
