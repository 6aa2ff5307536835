#include "ui/widgets/SubclassWnd.h"

#include <QEvent>
#include <QHash>
#include <QObject>
#include <QWidget>

#include <vector>

// The first hook of every hooked widget, and the event filter that hands the
// widget's events to it.
class CSubclassWndMap : public QObject {
public:
    static CSubclassWndMap& Get()
    {
        static CSubclassWndMap* map = new CSubclassWndMap; // lives until the program ends
        return *map;
    }

    CSubclassWnd* Head(QObject* window) const { return m_heads.value(window, nullptr); }

    void Add(CSubclassWnd* hook, QWidget* window)
    {
        CSubclassWnd* head = Head(window);
        hook->m_pNext = head;
        hook->m_pWnd = window;
        if (!head) {
            window->installEventFilter(this);
            connect(window, &QObject::destroyed, this, &CSubclassWndMap::OnDestroyed);
        }
        m_heads.insert(window, hook);
    }

    void Remove(CSubclassWnd* hook)
    {
        QWidget* window = hook->m_pWnd;
        CSubclassWnd* head = Head(window);
        if (head == hook) {
            if (hook->m_pNext) {
                m_heads.insert(window, hook->m_pNext);
            } else {
                m_heads.remove(window);
                window->removeEventFilter(this);
                disconnect(window, &QObject::destroyed, this, &CSubclassWndMap::OnDestroyed);
            }
        } else {
            for (CSubclassWnd* h = head; h; h = h->m_pNext) {
                if (h->m_pNext == hook) {
                    h->m_pNext = hook->m_pNext;
                    break;
                }
            }
        }
        hook->m_pWnd = nullptr;
        hook->m_pNext = nullptr;
    }

    // The event being handled, for the argument-less Default.
    std::vector<QEvent*> m_current;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        CSubclassWnd* head = Head(watched);
        if (!head)
            return false;
        m_current.push_back(event);
        bool result = head->WindowProc(event);
        m_current.pop_back();
        return result;
    }

private:
    void OnDestroyed(QObject* window)
    {
        // The widget is going: every hook lets go of it, nothing is put back.
        CSubclassWnd* hook = m_heads.take(window);
        while (hook) {
            CSubclassWnd* next = hook->m_pNext;
            hook->m_pWnd = nullptr;
            hook->m_pNext = nullptr;
            hook = next;
        }
    }

    QHash<QObject*, CSubclassWnd*> m_heads;
};

CSubclassWnd::~CSubclassWnd() { Unhook(); }

bool CSubclassWnd::HookWindow(QWidget* window)
{
    Unhook();
    if (window)
        CSubclassWndMap::Get().Add(this, window);
    return true;
}

void CSubclassWnd::Unhook()
{
    if (m_pWnd)
        CSubclassWndMap::Get().Remove(this);
}

int CSubclassWnd::CountHooks(QWidget* window)
{
    int n = 0;
    for (CSubclassWnd* h = CSubclassWndMap::Get().Head(window); h; h = h->m_pNext)
        ++n;
    return n;
}

bool CSubclassWnd::WindowProc(QEvent* event) { return Default(event); }

bool CSubclassWnd::Default(QEvent* event) { return m_pNext ? m_pNext->WindowProc(event) : false; }

bool CSubclassWnd::Default()
{
    auto& current = CSubclassWndMap::Get().m_current;
    return current.empty() ? false : Default(current.back());
}
