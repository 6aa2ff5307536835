#include "framework/widgets/PrinterWindows.h"

#include <QCoreApplication>
#include <QPointer>
#include <QWidget>

#include <algorithm>

namespace {

std::vector<QPointer<QWidget>>& List()
{
    static std::vector<QPointer<QWidget>> list;
    return list;
}

void Prune()
{
    auto& list = List();
    list.erase(std::remove_if(list.begin(), list.end(), [](const QPointer<QWidget>& w) { return w.isNull(); }),
               list.end());
}

} // namespace

QEvent::Type CPrinterWindows::ChangedEvent()
{
    static const QEvent::Type type = QEvent::Type(QEvent::registerEventType());
    return type;
}

void CPrinterWindows::Add(QWidget* window)
{
    Prune();
    if (window && std::find(List().begin(), List().end(), window) == List().end())
        List().emplace_back(window);
}

void CPrinterWindows::Remove(QWidget* window)
{
    auto& list = List();
    list.erase(std::remove(list.begin(), list.end(), window), list.end());
    Prune();
}

std::vector<QWidget*> CPrinterWindows::Windows()
{
    Prune();
    std::vector<QWidget*> out;
    for (const QPointer<QWidget>& w : List())
        out.push_back(w.data());
    return out;
}

int CPrinterWindows::NotifyPrinterChanged()
{
    // A window may leave the list while it reacts: walk a copy, guarded.
    std::vector<QPointer<QWidget>> copy = List();
    int told = 0;
    for (const QPointer<QWidget>& w : copy) {
        if (w.isNull())
            continue;
        QEvent notice(ChangedEvent());
        QCoreApplication::sendEvent(w.data(), &notice);
        ++told;
    }
    Prune();
    return told;
}
