// The window of a notepad: its frame and the view that edits and prints the notes.
#pragma once

#include "app/widgets/MXProjectWnd.h"
#include "framework/WorkspaceHost.h"
#include "platform/widgets/CommandRouter.h"

#include <QWidget>

#include <vector>

class CCommentRichEditCtrl;
class CMXNotes;
class QPagedPaintDevice;

class CNoteView : public QWidget, public CCmdTarget, public CDocView {
    Q_OBJECT
public:
    explicit CNoteView(CMXNotes* notes, QWidget* parent = nullptr);
    ~CNoteView() override;

    CCommentRichEditCtrl* GetEditor() const { return m_editor; }
    CMXNotes* GetNotes() const { return m_pNotes; }
    // Gives the editor's text back to the item and lets go of it.
    void Detach();

    bool OnCmdMsg(UINT id, CCmdUI* ui) override;
    void OnUpdate(CDocView* sender, int hint, CObject* object) override;

    // Prints the notes with the item's header, footer and margins; the number of pages.
    int PrintTo(QPagedPaintDevice& device);

protected:
    void focusInEvent(QFocusEvent* event) override;

    // The pages as they will print, in a preview window that can print them.
    void PrintPreview();

private:
    void Print();
    CMXNotes* m_pNotes;
    CCommentRichEditCtrl* m_editor;
};

class CNotepadProjectWnd : public CMXProjectWnd {
    Q_OBJECT
public:
    explicit CNotepadProjectWnd(QWidget* parent = nullptr) : CMXProjectWnd(parent) {}
    CNoteView* GetNoteView() const;

protected:
    QWidget* CreateItemView() override;
    void OnDetach() override;
};
