// The rich-text editor laid over a text object while it is edited in place.
// It takes the edit, format and colour commands while the object is being
// edited, tells the object when its selection changes (the object's cached
// formats are read again) and asks the object to grow as the text grows.
#pragma once

#include "draw/DrawViewBase.h"
#include "platform/widgets/CommandRouter.h"

#include <QPointer>
#include <QTextEdit>

class CDrawTextBase;
class CDrawView;

class CTextEditCtrl : public QTextEdit, public CInPlaceTextEditor, public CCmdTarget {
    Q_OBJECT
public:
    CTextEditCtrl(CDrawTextBase* obj, CDrawView* view, QWidget* parent);
    ~CTextEditCtrl() override;

    // CInPlaceTextEditor
    QTextDocument* Document() override { return document(); }
    void SetVisible(bool visible) override;
    bool IsVisible() const override { return m_bShown; }
    void SetPageRect(const RECT& rect) override;
    void SetFocus() override { setFocus(Qt::OtherFocusReason); }
    void GetSelectionCharFormat(CHARFORMAT& format) override;
    void SetSelectionCharFormat(const CHARFORMAT& format) override;
    void GetSelectionParaFormat(PARAFORMAT& format) override;
    void SetSelectionParaFormat(const PARAFORMAT& format) override;
    void ReplaceSelection(const std::string& utf8) override;
    void SelectAll() override { selectAll(); }

    bool OnCmdMsg(UINT id, CCmdUI* ui) override;
    CDrawTextBase* GetObject() const { return m_pObject; }
    // The object is done with the editor.
    void Detach() { m_pObject = nullptr; }

    // The selection's character format taken over the whole selection: an
    // attribute that changes within it is undetermined.
    CHARFORMAT SelectionCharFormat() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void ToggleEffect(DWORD mask, DWORD effect);
    void RequestResize();

    CDrawTextBase* m_pObject;
    QPointer<CDrawView> m_pView;
    bool m_bShown = false;
    RECT m_pageRect{};
};
