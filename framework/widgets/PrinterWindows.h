// "MarloxPrinterChanged": the windows that lay out pages for the printer (the
// note views, the font toolbars whose faces follow the printer) are listed
// while they exist and hear, as an event of one program-wide type, when the
// printer setup changes: another paper size or orientation chosen in Page
// Setup.
#pragma once

#include <QEvent>

#include <vector>

class QWidget;

class CPrinterWindows {
public:
    static constexpr const char* kMessageName = "MarloxPrinterChanged";

    // The event type of the notice, registered once for the whole program.
    static QEvent::Type ChangedEvent();

    // A window joins the list once; one that is destroyed leaves it by itself.
    static void Add(QWidget* window);
    static void Remove(QWidget* window);
    static std::vector<QWidget*> Windows();

    // Sends the notice to every listed window, once each; the number told.
    static int NotifyPrinterChanged();
};
