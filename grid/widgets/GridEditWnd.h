// The in-place text box of a text cell, and the editor object its cell owns.
// The cell holds the editor object; the object holds the box. Destroying the
// object first cuts the box off from its engine, then hides it and lets it go
// at the next turn of the event loop: whatever the box is doing at that
// moment (a key, a focus change that is committing the edit) finishes on a
// live widget and can never end the same edit a second time.
#pragma once

#include "grid/GridEditor.h"

#include <QLineEdit>
#include <QPointer>

#include <functional>

class CGridEngine;

class CGridEditWnd : public QLineEdit {
    Q_OBJECT
public:
    CGridEditWnd(CGridEngine* engine, QWidget* parent);
    void Detach() { m_pEngine = nullptr; }
    bool IsModified() const { return m_bModified; }
    void SetModified(bool modified) { m_bModified = modified; }
    // Replaces the text without counting as a change by the user.
    void SetTextQuietly(const QString& text);
    // Typed characters the filter refuses beep and are dropped (controls always pass).
    void SetCharFilter(std::function<bool(char32_t)> filter) { m_filter = std::move(filter); }

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    CGridEngine* m_pEngine;
    bool m_bModified = false;
    bool m_bQuiet = false;
    std::function<bool(char32_t)> m_filter;
};

class CGridTextEditor : public CGridEditor {
public:
    CGridTextEditor(CGridEngine* engine, QWidget* grid, QWidget* parent);
    ~CGridTextEditor() override;

    void SetText(std::string_view text) override;
    std::string GetText() const override;
    bool IsModified() const override;
    void SetModified(bool modified) override;
    // Positions are UTF-8 byte offsets, as the cells count them.
    void GetSel(int& start, int& end) const override;
    void SetSel(int start, int end) override;
    void MoveTo(const RECT& rect) override;
    RECT GetRect() const override;
    void Show() override;
    void SetFont(const LOGFONT& deviceFont) override;
    void SetFocus() override;
    bool HasFocus() const override;
    void SendChar(UINT ch, UINT repeat, UINT flags) override;
    void SendLButtonDown(UINT flags, POINT point) override;
    void Copy() override;
    void Cut() override;
    void Clear() override;
    void Paste() override;
    void Undo() override;
    bool CanUndo() const override;

    CGridEditWnd* GetWindow() const { return m_pWnd; }

private:
    QPointer<CGridEditWnd> m_pWnd;
    QPointer<QWidget> m_pGrid;
};

// Moves the focus from a closing editor window back to its grid, hides it and
// deletes it later; shared by both editor kinds.
void RetireEditorWindow(QWidget* editor, QWidget* grid);
