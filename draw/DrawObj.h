// The base of everything that stands on a drawing page: its frame, rotation,
// pen and brush, the outline boxes kept from them, hit and handle tests,
// selection handles, drag feedback, and the style operations that the
// property pages and the view's commands use. Changes reach the document
// through the page and the views through update hints.
#pragma once

#include "draw/DrawTypes.h"
#include "draw/Transform2D.h"
#include "platform/Object.h"
#include "platform/Types.h"

#include <memory>
#include <string>
#include <vector>

class CArchive;
class CDrawData;
class CDrawObj;
class CDrawViewBase;
class CPatternPen;
class CUpdateNotification;
class QPainter;
struct CDrawDC;

using CDrawObjList = std::vector<CDrawObj*>;

class CDrawObj : public CObject {
    DECLARE_SERIAL(CDrawObj)
public:
    // For loading: an identity transform, every other field from the record.
    CDrawObj();
    CDrawObj(const RECT& position, CDrawData* page);
    ~CDrawObj() override;
    CDrawObj(const CDrawObj&) = delete;
    CDrawObj& operator=(const CDrawObj&) = delete;

    void Serialize(CArchive& ar) override;

    // ---- the protocol of the page, the view, the tools and the style pages
    virtual void SetOwner(CDrawData* page);
    virtual int GetHandleCount();
    // Handle n (1-based) mapped to the page.
    virtual POINT GetHandle(int n);
    virtual int GetHandleCursor(int n);
    virtual int GetMoveCursor(int flags);
    virtual void SetFillColor(COLORREF colour);
    virtual void SetFillStyle(int on, bool redraw);
    // kMixedColour when the objects behind it differ.
    virtual COLORREF GetFillColor();
    // 0/1, or kNotApplicable.
    virtual int GetFillStyle();
    virtual int CanFill() { return 1; }
    virtual void SetLineColor(COLORREF colour);
    // -1 leaves a value as it is.
    virtual void SetLineStyle(int style, int width, bool redraw);
    virtual void GetLineStyle(int& style, int& width);
    virtual void SetLineVisible(int on, bool redraw);
    virtual COLORREF GetLineColor();
    virtual int GetLineVisible();
    virtual int CanHaveLine() { return 1; }
    virtual void SetTextColor(COLORREF colour, bool redraw) {}
    // False when the object has no text colour; kMixedColour when it is mixed.
    virtual bool GetTextColor(COLORREF& colour) { return false; }
    virtual int SetCharFormat(CDrawViewBase* view, const CHARFORMAT& format) { return 0; }
    // Null when the object has no text.
    virtual const CHARFORMAT* GetCharFormat(CDrawViewBase* view) { return nullptr; }
    virtual int SetParaFormat(CDrawViewBase* view, const PARAFORMAT& format) { return 0; }
    virtual const PARAFORMAT* GetParaFormat(CDrawViewBase* view) { return nullptr; }
    virtual int CanEditText() { return 0; }
    virtual void BeginEdit(CDrawViewBase* view) {}
    virtual int HasTextFormat() { return 0; }
    virtual double GetTextOrientation() { return 0.0; }
    virtual void SetTextOrientation(double degrees) {}
    // 1 when the object has arrow heads (the four values filled).
    virtual int GetArrowHeads(int& first, int& second, int& size, int& narrow) { return 0; }
    virtual void SetArrowHeads(int first, int second, int size, int narrow, bool redraw) {}
    virtual int IsPolygon() { return 0; }
    virtual int GetPolyClosed() { return kNotApplicable; }
    virtual void SetPolyClosed(int closed, bool redraw) {}
    virtual int CanClearWith(const CDrawObjList& selection) { return 1; }
    virtual int IsClearedAlone(const CDrawObjList& selection) { return 1; }
    virtual int CanDuplicate() { return 1; }
    virtual int CanCopyWith(const CDrawObjList& selection) { return 1; }
    virtual void Draw(CDrawDC& dc, CDrawViewBase* view) {}
    // States 1 and 2 draw the handles; others nothing.
    virtual void DrawTracker(CDrawDC& dc, int state, CDrawViewBase* view);
    virtual int HasResizeHandles() { return 1; }
    virtual void MoveTo(const RECT& position, CDrawViewBase* view = nullptr);
    virtual void DrawDragFeedback(POINT offset, CDrawViewBase* view, bool start);
    virtual void DrawResizeFeedback(int handle, POINT offset, CDrawViewBase* view, bool start, bool newObject);
    virtual void EndDrag(CDrawViewBase* view, bool commit, bool newObject);
    // The drag outline of the saved position (the view draws it over the page).
    virtual void DrawOutline(CDrawDC& dc, CDrawViewBase* view, int solid);
    virtual void SavePosition();
    virtual void OffsetBy(POINT offset);
    virtual void AlignTo(const RECT& rect, int mode, CDrawViewBase* view);
    // 0 none, 1.. a handle; objects with vertices also -1 (delete) and -2 (insert).
    virtual int HitTestHandles(POINT point, CDrawViewBase* view, bool selected);
    virtual bool HitTest(POINT point, CDrawViewBase* view);
    virtual void MoveHandleTo(int handle, POINT offset, CDrawViewBase* view);
    virtual void DeleteVertex(POINT point, CDrawViewBase* view) {}
    virtual void InsertVertex(POINT point, CDrawViewBase* view) {}
    virtual void OnOpen(CDrawViewBase* view) { OnEditProperties(view); }
    virtual void OnEditProperties(CDrawViewBase* view);
    // A copy for the page, appended to this object's page.
    virtual CDrawObj* Clone(CDrawData* page);
    virtual void Delete() { delete this; }
    virtual void Remove();
    virtual void RecalcOutline(const RECT& rect);
    virtual double GetAngle() { return m_nAngle * 0.1; }
    virtual void SetAngle(double degrees);
    virtual void RotateBy(double degrees);
    virtual int CanRotate() { return 1; }
    virtual int GetRotation() { return m_nAngle; }
    virtual int IsGroup() { return 0; }
    virtual void OnListLoaded(CDrawObjList& list) {}
    virtual int CanMove() { return 1; }
    virtual int CanSetSize() { return 1; }
    virtual int GetContextMenu() { return MENU_OBJECT; }
    virtual int CanHide() { return 0; }
    virtual void OnDocumentChange(CUpdateNotification& notice) {}
    virtual void OnBeforeStore(CDrawObjList& list) {}
    virtual void SetDisplayOption(int shown);
    virtual int IsKind(int kind) { return 0; }

    // ---- plain operations
    void Invalidate();
    void SetModified(bool modified = true);
    CDrawData* GetPage() const { return m_pDocument; }
    void AddToData(CDrawObj* obj);
    void RemoveFromData(CDrawObj* obj);
    void CopyAttributes(CDrawObj* target) const;
    void UpdateTransform(const RECT& rect, bool recalc);
    CTransform2D GetInverseTransform() const;
    void CreatePen(CPatternPen& pen, QPainter* painter);
    SIZE GetHandleSize(CDrawViewBase* view) const;
    RECT GetHandleRect(int n, CDrawViewBase* view);
    bool IsInsideRect(const RECT& rect) const;
    void RepaintInView(CDrawViewBase* view);
    // Repaints through the view when there is one, else through the page's hints.
    void RepaintVia(CDrawViewBase* view);
    void EditProperties(CDrawViewBase* view, const std::string& title, int mask);

    const RECT& GetPosition() const { return m_position; }
    const RECT& GetSavedPosition() const { return m_savedPosition; }
    const RECT& GetBounds() const { return m_rcBounds; }
    const RECT& GetRepaintBox() const { return m_rcRepaint; }
    const CTransform2D& GetTransform() const { return m_transform; }
    const LOGBRUSH& GetBrush() const { return m_logBrush; }
    void SetBrush(const LOGBRUSH& brush) { m_logBrush = brush; }
    int IsShown() const { return m_bShown; }
    void SetStoreList(CDrawObjList* list) { m_pStoreList = list; }
    CDrawObjList* GetStoreList() const { return m_pStoreList; }
    void SetReportChanges(bool on) { m_bReportChanges = on ? 1 : 0; }

protected:
    // Appends a new copy to this object's page and hands it over.
    CDrawObj* AdoptClone(std::unique_ptr<CDrawObj> clone);
    // Bounds from an outline polygon of the unrotated frame (mapped here),
    // grown by half the line width when a line is drawn.
    void BoundsFromOutline(std::vector<POINT>& points);
    // A drag outline through points already mapped to the page.
    static void DrawMappedOutline(CDrawDC& dc, const std::vector<POINT>& points, bool closed);
    // A new frame for a rotated object placed so that the edges that did not
    // move stay where they are on the page: the shift of the centre is turned
    // by the angle and the difference applied.
    RECT KeepInPlace(const RECT& frame) const;
    // The unrotated handle point before mapping.
    POINT HandlePoint(int n, const RECT& r) const;
    // The brush of the object as a painter brush (fill on), or no brush.
    void SelectFillBrush(CDrawDC& dc) const;
    // Grows both boxes by the line width when a line is drawn.
    void GrowForLine(int amount);

    RECT m_position{};
    RECT m_savedPosition{};
    CDrawData* m_pDocument = nullptr;
    int m_bLineOn = 1;
    int m_nPenStyle = PS_SOLID;
    COLORREF m_crLine = 0;
    int m_nLineWidth = 8;
    int m_bFillOn = 0;
    LOGBRUSH m_logBrush{};
    CTransform2D m_transform;
    int m_nAngle = 0;
    int m_nSavedAngle = 0;
    RECT m_rcBounds{};
    RECT m_rcRepaint{};
    int m_bShown = 1;
    CDrawObjList* m_pStoreList = nullptr;
    BYTE m_bReportChanges = 1;
};

// The line-style list of the style pages shows "no line" first.
int PenStyleFromListIndex(int index);
int ListIndexFromPenStyle(int style);
bool PointNearLine(int x1, int y1, int x2, int y2, int px, int py, int tolerance);
int FindObjectIndex(const CDrawObjList& list, const CDrawObj* obj);
CDrawObj* GetObjectAtIndex(const CDrawObjList& list, int index);
// Degrees to tenths, truncated toward zero.
long long DegreesToTenths(double degrees);
// Normalises tenths of a degree into 0..3599.
int NormalizeTenths(long long tenths);
