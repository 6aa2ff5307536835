// What a page offers other programs: the selected objects in the private
// drawing format, and pictures of them (SVG, PDF, PNG) that paste as vector
// drawings into office and drawing programs. During a copy the served
// extent is that of the selection; it is put back on every way out.
#pragma once

#include "draw/DrawObj.h"
#include "platform/Clipboard.h"

#include <vector>

class CDrawData;
class CDrawViewBase;
class CProjectDocBase;

// The selected drawing objects as a page's object list ("Marlox Drawing").
inline constexpr const char* kDrawingFormat = "application/x-marlox-drawing";
// Size and grab offset of a dragged object ("Marlox Graph Object").
inline constexpr const char* kGraphObjectFormat = "application/x-marlox-graph-object";
inline constexpr const char* kSvgFormat = "image/svg+xml";
inline constexpr const char* kPdfFormat = "application/pdf";
inline constexpr const char* kPngFormat = "image/png";

class CDrawSrvrItem {
public:
    CDrawSrvrItem(CProjectDocBase* document, CDrawData* page);
    virtual ~CDrawSrvrItem() = default;

    // Whether a copy also carries the embedding of the whole page.
    virtual bool IsCopyEmbedded() { return true; }
    // The view whose selection a copy takes.
    virtual CDrawViewBase* GetActiveDrawView() { return nullptr; }

    // The clipboard data of the view's selection (empty without a view).
    ClipboardFormats OnGetClipboardData();
    // The private drawing data of the view's selection (shown objects only).
    void AddDrawingData(ClipboardFormats& formats);
    // The served extent's rectangle on the page (page units).
    RECT ServedArea() const;
    // Whether drawing is limited to the selection (only while a copy is built).
    bool IsSelectionOnly() const { return m_bSelectionOnly; }
    CDrawData* GetPage() const { return m_pPage; }

    // The list in the private format, and back: the objects read belong to
    // the caller (the owner given becomes their page). Reading refuses what
    // the page refuses when it is read.
    static std::vector<BYTE> StoreObjectList(const CDrawObjList& objects, CDrawData* page);
    static CDrawObjList LoadObjectList(const std::vector<BYTE>& bytes, CDrawData* owner, CProjectDocBase* document);

    // The resolution of the copied PNG picture.
    static constexpr double kPictureDpi = 96.0;

protected:
    CProjectDocBase* m_pDocumentBase;
    CDrawData* m_pPage;
    bool m_bSelectionOnly = false;
};
