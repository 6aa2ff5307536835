// The scrolling window that shows one page of drawing objects at a zoom:
// paper, grid and objects painted flicker-free, the selection and its
// handles, the mouse handed to the current drawing tool, the page's update
// hints, and the object, colour, text, clipboard and drop commands. The
// graph window's view derives from it and supplies the page, the zoom
// storage and the undo list.
#pragma once

#include "draw/DrawTypes.h"
#include "draw/DrawViewBase.h"
#include "framework/WorkspaceHost.h"
#include "platform/Clipboard.h"
#include "platform/widgets/CommandRouter.h"
#include "ui/widgets/CharFormatView.h"
#include "ui/widgets/StandardToolBar.h"

#include <QAbstractScrollArea>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

class CActionList;
class CDrawData;
class CDrawObj;
class CTextEditCtrl;
class MeasurementUnit;
class QAction;
class QMenu;
struct CDrawDC;

class CDrawView : public QAbstractScrollArea,
                  public CDrawViewBase,
                  public CCmdTarget,
                  public CDocView,
                  public CZoomView,
                  public CCharFormatView {
    Q_OBJECT
public:
    explicit CDrawView(QWidget* parent = nullptr);
    ~CDrawView() override;

    // ---- what the derived view supplies
    CDrawData* GetDrawData() const override = 0;
    virtual int GetZoomUnits() const override { return m_nZoom; }
    virtual void SetZoomUnits(int percent) { m_nZoom = percent; }
    // The grid's step in page units.
    virtual int GetUnitsPerInch() const { return kUnitsPerInch; }
    // Where the view's edits go to be undone (none: not undoable).
    virtual CActionList* GetActionList() const { return nullptr; }

    // ---- coordinates (client pixels of the viewport and page units)
    POINT ClientToDoc(QPoint point) const;
    RECT ClientToDoc(const QRect& rect) const;
    QPoint DocToClient(POINT point) const;
    QRect DocToClient(const RECT& rect) const;
    // Device pixels per page unit at the current zoom.
    double ScaleX() const;
    double ScaleY() const;
    // The transform a painter on the viewport takes to draw in page units.
    QTransform PageToClient() const;

    // ---- CDrawViewBase
    const std::vector<CDrawObj*>& GetSelection() const override { return m_selection; }
    bool IsSelected(const CDrawObj* obj) const override;
    SIZE GetPixelSize() const override;
    void InvalObj(CDrawObj* obj) override;
    void InvalidateDocRect(const RECT& rect) override;
    void UpdateWindow() override {}
    int GetKeyState() const override { return m_keys; }
    void ShowDragOutline(CDrawObj* obj, bool on, int style) override;
    CInPlaceTextEditor* CreateTextEditor(CDrawTextBase* obj, bool show) override;
    void DestroyTextEditor(CInPlaceTextEditor* editor) override;
    void RunPropertySheet(const std::string& title, int mask) override;
    // Opens the sheet of an object that the drawing layer has no pages for
    // (graphs and their parts live in layers above); a double click (at, in
    // client pixels) may start it on the part under the mouse. False leaves
    // the object to its own properties.
    virtual bool OpenObjectSheet(CDrawObj* obj, const QPoint* at) { return false; }

    // ---- selection
    void Select(CDrawObj* obj, bool add = false);
    void SelectWithinRect(const QRect& clientRect, bool add);
    void Deselect(CDrawObj* obj);
    void RemoveFromSelection(CDrawObj* obj);
    void ClearSelection() { Select(nullptr, false); }
    bool CanCopySelection() const;
    int CountShownObjects() const;

    // ---- zoom and scrolling (CZoomView)
    int GetZoom() const override { return GetZoomUnits(); }
    void SetZoom(int percent) override;
    void ScrollToViewPosition(POINT position, bool clamp = true);
    void UpdateScrollSizes();

    // ---- the mouse's tools need
    bool HasCapture() const { return m_bCapture; }
    void SetCapture(bool on) { m_bCapture = on; }
    bool IsActive() const { return m_bActive; }
    void SetActive(bool on) { m_bActive = on; }
    void SetCursorShape(int cursor);
    int GetCursorShape() const { return m_nCursor; }
    // The rubber band or drop feedback in client coordinates (none: hidden).
    void SetFocusRect(std::optional<QRect> rect);
    std::optional<QRect> GetFocusRect() const { return m_focusRect; }
    QPoint CursorClientPos() const;

    // ---- commands
    bool OnCmdMsg(UINT id, CCmdUI* ui) override;
    void OnUpdate(CDocView* sender, int hint, CObject* object) override;
    // The format the font toolbar and the format commands see: the page's
    // defaults with nothing selected, else the selection's formats taken
    // together (an attribute on which they differ is undetermined).
    bool GetViewCharFormat(CHARFORMAT& format) override;
    void SetViewCharFormat(const CHARFORMAT& format) override;
    CHARFORMAT GetCurrentCharFormat();
    PARAFORMAT GetCurrentParaFormat();
    void ApplyCharFormat(const CHARFORMAT& format);
    void ApplyParaFormat(const PARAFORMAT& format);
    void SetColour(COLORREF colour);
    void ToggleEffect(DWORD mask, DWORD effect);
    void SetBullets(bool on);
    // Copies the selection (the private drawing format and pictures).
    virtual bool CopySelection();
    void ClearSelectedObjects();
    bool PasteFromClipboard();
    // Puts drawing data on the page at a client point (objects keep their
    // place when no point is given); false, and the page unchanged, when the
    // data cannot be read.
    bool PasteDrawingData(const std::vector<BYTE>& bytes, const QPoint* at = nullptr);
    // The context menu for a client point (it selects what is under it).
    QMenu* BuildContextMenu(QPoint client);
    // A command entry of a menu, enabled and checked as the command says.
    QAction* AddMenuCommand(QMenu* menu, UINT id, const QString& text, bool isDefault = false);
    void EndTextEditing();
    CTextEditCtrl* GetTextEditor() const { return m_pEditor; }
    // The Escape key: ends editing and cancels any drag.
    void OnCancelEdit();

    // ---- undo: every edit of the page is one step on the view's action list
    void BeginUndoStep();
    void EndUndoStep(UINT descriptionId);

    // Colours are asked for through this seam (tests answer it).
    using ColourChooser = std::function<bool(QWidget* parent, COLORREF initial, COLORREF& chosen)>;
    static void SetColourChooser(ColourChooser chooser);
    static bool ChooseColour(QWidget* parent, COLORREF initial, COLORREF& chosen);
    // The custom zoom is asked for through this seam (none: the magnification dialog).
    using ZoomChooser = std::function<bool(QWidget* parent, int& percent)>;
    static void SetZoomChooser(ZoomChooser chooser);

    // Paints the page area of a client rectangle (what the screen shows).
    void PaintClientRect(QPainter& painter, const QRect& rect, bool showSelection = true);
    bool ShowsSelection() const override { return m_bShowSelection; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool viewportEvent(QEvent* event) override;

    // The context menu's entries of the selected object's own kind, after Properties.
    virtual void AddObjectCommands(QMenu* menu) {}
    // Object commands; the graph view adds its own before these.
    bool OnDrawCommand(UINT id, CCmdUI* ui);
    void InvalidateList(const std::vector<CDrawObj*>& list);
    // A selection command that goes through the undo list.
    template <class F>
    void Edit(UINT descriptionId, F&& change)
    {
        BeginUndoStep();
        change();
        EndUndoStep(descriptionId);
    }

private:
    void DrawPaperAndGrid(QPainter& painter, const QRect& clip);
    void MoveZOrder(UINT id);
    void AlignSelection(int mode);
    void GroupSelection();
    void UngroupSelection();
    void EditProperties();
    void ColourDialogCommand(UINT id);
    void ColourOnOff();
    bool PaletteChecked(COLORREF colour);
    void SetTextOrientation(double degrees);
    void DropFeedback(const QPoint& client, int effect);
    int DropEffect(const QPoint& client, Qt::KeyboardModifiers keys) const;
    void ReadDragSize(const QMimeData* data);
    void UpdateKeys(Qt::KeyboardModifiers modifiers);

    int m_nZoom = 100;
    std::vector<CDrawObj*> m_selection;
    std::map<CDrawObj*, int> m_outlines;
    std::optional<QRect> m_focusRect;
    bool m_bCapture = false;
    bool m_bActive = false;
    int m_keys = 0;
    int m_nCursor = 0;
    int m_nWheel = 0;
    CTextEditCtrl* m_pEditor = nullptr;
    // Drag-over state of a drop.
    QSize m_dragSize;
    QPoint m_dragOffset;
    bool m_bCanDrop = false;
    bool m_bShowSelection = true;
    int m_nUndoDepth = 0;
    std::vector<BYTE> m_undoBefore;
};
