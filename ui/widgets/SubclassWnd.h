// A hook that sees the events of any widget before the widget itself, with any
// number of hooks per widget: the newest hook sees an event first, and its
// Default passes it to the next older hook and finally to the widget. Menu
// drawing, palette handling and link statics build on it.
#pragma once

class QEvent;
class QObject;
class QWidget;

class CSubclassWnd {
public:
    CSubclassWnd() = default;
    virtual ~CSubclassWnd(); // unhooks
    CSubclassWnd(const CSubclassWnd&) = delete;
    CSubclassWnd& operator=(const CSubclassWnd&) = delete;

    // Hooks the widget (at the head of its chain); null unhooks. Returns true.
    bool HookWindow(QWidget* window);
    bool IsHooked() const { return m_pWnd != nullptr; }
    QWidget* GetHookedWindow() const { return m_pWnd; }

    // Hooks on a widget, for the tests.
    static int CountHooks(QWidget* window);

protected:
    // Sees an event; true consumes it. The base passes it on.
    virtual bool WindowProc(QEvent* event);
    // The next hook's WindowProc, or false to let the widget handle it.
    bool Default(QEvent* event);
    // The same for the event being handled now.
    bool Default();

private:
    friend class CSubclassWndMap;
    void Unhook();

    QWidget* m_pWnd = nullptr;
    CSubclassWnd* m_pNext = nullptr;
};
