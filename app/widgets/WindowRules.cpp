#include "app/widgets/WindowRules.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>

namespace {

class WindowRules : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // Polish comes once, before a window is first shown: its flags can
        // still change without a visible flicker.
        if (event->type() == QEvent::Polish)
            if (auto* dialog = qobject_cast<QDialog*>(watched); dialog && dialog->isWindow()
                && !dialog->inherits("QPrintPreviewDialog")) // a page preview is worth a whole screen
                MakePlainDialog(dialog);
        return false;
    }
};

} // namespace

void MakePlainDialog(QWidget* dialog)
{
    if (!dialog || !dialog->isWindow())
        return;
    const Qt::WindowFlags flags = dialog->windowFlags();
    Qt::WindowFlags plain = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
    plain |= flags & (Qt::WindowContextHelpButtonHint | Qt::WindowStaysOnTopHint | Qt::FramelessWindowHint);
    if ((flags & Qt::WindowType_Mask) == Qt::Popup || (flags & Qt::WindowType_Mask) == Qt::Tool)
        return;
    if (flags != plain)
        dialog->setWindowFlags(plain);
}

void InstallWindowRules()
{
    static WindowRules* rules = nullptr;
    if (!rules && qApp) {
        rules = new WindowRules(qApp);
        qApp->installEventFilter(rules);
    }
}
