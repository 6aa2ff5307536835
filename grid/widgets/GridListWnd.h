// The in-place drop-down list of a list cell, and the editor object its cell
// owns (see GridEditWnd.h for how the window outlives its editor object).
// The list's pop-up is a window of its own in Qt: the box keeps the cell's
// height while the list is open.
#pragma once

#include "grid/GridEditor.h"

#include <QComboBox>
#include <QPointer>

class CGridEngine;

class CGridListWnd : public QComboBox {
    Q_OBJECT
public:
    CGridListWnd(CGridEngine* engine, QWidget* parent);
    void Detach() { m_pEngine = nullptr; }
    void showPopup() override;
    void hidePopup() override;

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    CGridEngine* m_pEngine;
};

class CGridListEditor : public CGridEditor {
public:
    CGridListEditor(CGridEngine* engine, QWidget* grid, QWidget* parent);
    ~CGridListEditor() override;

    void SetText(std::string_view text) override { SelectItem(text); }
    std::string GetText() const override;
    bool IsModified() const override { return false; }
    void SetModified(bool) override {}
    void GetSel(int& start, int& end) const override { start = end = 0; }
    void SetSel(int, int) override {}
    void MoveTo(const RECT& rect) override;
    RECT GetRect() const override;
    void Show() override;
    void SetFont(const LOGFONT& deviceFont) override;
    void SetFocus() override;
    bool HasFocus() const override;
    void SendChar(UINT, UINT, UINT) override {}
    void SendLButtonDown(UINT flags, POINT point) override;
    void Copy() override {}
    void Cut() override {}
    void Clear() override {}
    void Paste() override {}
    void Undo() override {}
    bool CanUndo() const override { return false; }
    void AddItem(std::string_view text) override;
    int SelectItem(std::string_view text) override;
    int GetCurSel() const override;
    std::string GetItemText(int index) const override;
    int GetItemHeight() const override;

    CGridListWnd* GetWindow() const { return m_pWnd; }

private:
    QPointer<CGridListWnd> m_pWnd;
    QPointer<QWidget> m_pGrid;
    int m_nFieldHeight = 0;
};
