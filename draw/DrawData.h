// One printable page of drawing objects: the objects in stacking order, the
// paper (size from the printer, orientation, margins, colour), the defaults
// that new objects and new text take, the view options kept with the page,
// and the extent reported when the page is pasted into other programs. The
// page owns its objects; every object reaches the document through it, and
// the views hear of changes as update hints with the page as hint object.
#pragma once

#include "draw/DrawObj.h"
#include "platform/Object.h"
#include "platform/Types.h"

#include <functional>

class CArchive;
class CDrawTextBase;
class CProjectDocBase;

class CDrawData : public CObject {
    DECLARE_SERIAL(CDrawData)
public:
    CDrawData();
    ~CDrawData() override;
    CDrawData(const CDrawData&) = delete;
    CDrawData& operator=(const CDrawData&) = delete;

    void Serialize(CArchive& ar) override;
    // The list as a page, a group and the clipboard store it: int32 1 and the
    // object for each, then int32 0. Loading checks every entry (drawing
    // classes only, no object twice, groups nested at most kMaxNesting deep),
    // gives each object the owner and tells it the list was loaded. A list
    // that cannot be read leaves nothing behind: the objects read so far are
    // deleted and the error goes on.
    static void SerializeObjectList(CDrawObjList& list, CArchive& ar, CDrawData* owner);
    // Groups nest at most this deep in a stored list.
    static constexpr int kMaxNesting = 32;

    virtual void SetModified(bool modified);
    virtual void UpdateServerExtent();

    void InitPageSetup();
    void AddObject(CDrawObj* obj);
    void RemoveObject(CDrawObj* obj);
    CDrawObj* ObjectAt(POINT point, CDrawViewBase* view);
    void DrawObjects(CDrawDC& dc, CDrawViewBase* view);
    void SetOrientation(short orientation);
    short GetOrientation() const { return m_nOrientation; }
    void SetMargins(const RECT& margins);
    const RECT& GetMargins() const { return m_rcMargins; }
    // Recomputes the paper size from a printer's paper (page units), or from
    // the default printer when none is given.
    void RecalcPageSize(const SIZE* printerPaper = nullptr);
    SIZE GetPageSize() const { return {m_nPageWidth, m_nPageHeight}; }
    // The paper in page units: (-left margin, top margin) to (width - left, top - height).
    RECT GetPaperRect() const;
    void SetDefaultCharFormat(const CHARFORMAT& format);
    void SetDefaultParaFormat(const PARAFORMAT& format);
    const CHARFORMAT& GetDefaultCharFormat() const { return m_cfDefault; }
    const PARAFORMAT& GetDefaultParaFormat() const { return m_pfDefault; }
    void SetDefaultLineColor(COLORREF colour);
    void SetDefaultLineOn(int on);
    void SetDefaultFillColor(COLORREF colour);
    void SetDefaultFillOn(int on);
    void SetDefaultTextColor(COLORREF colour);
    COLORREF GetDefaultLineColor() const { return m_crDefaultLine; }
    int GetDefaultLineOn() const { return m_bDefaultLineOn; }
    COLORREF GetDefaultFillColor() const { return m_crDefaultFill; }
    int GetDefaultFillOn() const { return m_bDefaultFillOn; }
    void SetExtentOrigin(int x, int y);
    SIZE GetServerExtent() const { return m_szServerExtent; }
    POINT GetExtentOrigin() const { return m_ptExtentOrigin; }
    // The served extent computed from the shown objects, as UpdateServerExtent stores it.
    bool ComputeServedExtent(SIZE& extent, POINT& origin) const;
    void SetServerExtent(SIZE extent, POINT origin) { m_szServerExtent = extent; m_ptExtentOrigin = origin; }

    // Tells the document's views: hint with this page as hint object. What
    // the hint concerns is the hint object (2001, 2007, 2008) or the hint
    // list (2002, 2003, 2005; none: the view's selection).
    void BroadcastHint(int hint);
    CDrawObj* GetHintObject() const { return m_pHintObject; }
    void SetHintObject(CDrawObj* obj) { m_pHintObject = obj; }
    const CDrawObjList* GetHintList() const { return m_pHintList; }
    void SetHintList(const CDrawObjList* list) { m_pHintList = list; }

    // The document whose views and modified flag the page reaches.
    virtual CProjectDocBase* GetDocument() const { return m_pDocument; }
    void SetDocument(CProjectDocBase* document) { m_pDocument = document; }

    CDrawObjList& GetObjects() { return m_objects; }
    const CDrawObjList& GetObjects() const { return m_objects; }
    int GetObjectIndex(const CDrawObj* obj) const { return FindObjectIndex(m_objects, obj); }
    // Moves an object to a place in the stacking order (0 the back).
    void MoveObjectTo(CDrawObj* obj, int index);

    // The default printer's paper in page units (portrait); the program
    // installs one, without it the page keeps 8.5 by 11 inches.
    using PaperProvider = std::function<bool(SIZE& paper, short& orientation)>;
    static void SetDefaultPaperProvider(PaperProvider provider);

    // Stored fields, public as the view's commands and the pages reach them.
    int m_nColourTarget = 0; // 0 fill, 1 line, 2 text
    CDrawTextBase* m_pEditObj = nullptr; // the text being edited in place
    int m_bShowOutlines = 1;
    int m_bGridLines = 1;
    COLORREF m_crPaper = kWindowColour;
    POINT m_ptViewPosition{5000, 5000};

    static constexpr SIZE kDefaultPaper{6120, 7920};

protected:
    CProjectDocBase* m_pDocument = nullptr;
    CDrawObj* m_pHintObject = nullptr;
    const CDrawObjList* m_pHintList = nullptr;
    SIZE m_szServerExtent{10160, 8890};
    POINT m_ptExtentOrigin{0, 0};
    CHARFORMAT m_cfDefault;
    PARAFORMAT m_pfDefault;
    COLORREF m_crDefaultLine = kWindowFrameColour;
    int m_bDefaultLineOn = 1;
    COLORREF m_crDefaultFill = 0xC0C0C0;
    int m_bDefaultFillOn = 0;
    CDrawObjList m_objects;
    int m_nPageWidth = kDefaultPaper.cx;
    int m_nPageHeight = kDefaultPaper.cy;
    RECT m_rcMargins{720, 720, 720, 720};
    short m_nOrientation = 1;

private:
    void ClampMargins();
    void DeleteObjects();
};

// What hint 2006 says of the new size: the scroll area stays 17000 units each way.
inline constexpr SIZE kPageSizeHint{17000, 17000};
