#include "ui/widgets/HtmlHelp.h"

#include "ui/widgets/HelpWindow.h"

QWidget* HtmlHelp(QWidget* owner, const QString& helpFolder, UINT command, const QString& topic)
{
    if (command == HH_CLOSE_ALL) {
        if (CHelpWindow* w = CHelpWindow::ExistingInstance())
            w->close();
        return nullptr;
    }
    if (command != HH_DISPLAY_TOPIC)
        return nullptr;
    bool created = CHelpWindow::ExistingInstance() == nullptr;
    CHelpWindow* window = CHelpWindow::Instance();
    if (!window->ShowTopic(helpFolder, topic)) {
        if (created)
            delete window;
        return nullptr;
    }
    if (owner && created)
        window->move(owner->window()->geometry().center() - window->rect().center());
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}
