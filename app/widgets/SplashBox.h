// The window shown while the program starts: the program's picture and
// version on a frameless window in the middle of the screen, above the others.
// It goes when the user presses a key or a mouse button, or when its time is
// up (2001 ms after the main window was shown), whichever comes first.
#pragma once

#include "ui/widgets/PaletteDialog.h"

class CColourSwatch;
class QTimer;

class CSplashBox : public CPaletteDialog {
    Q_OBJECT
public:
    static constexpr int kShowMilliseconds = 2001;

    explicit CSplashBox(QWidget* parent = nullptr);
    ~CSplashBox() override;

    // Builds and shows the window (modeless) and paints it at once.
    bool Create(QWidget* parent = nullptr);
    // Starts the time after which the splash goes (call when the main window shows).
    void StartTimer(int milliseconds = kShowMilliseconds);
    // Closes the window and schedules its deletion; emits dismissed() once.
    void Dismiss();
    // Whether an event of that type dismisses the splash (key and mouse presses).
    static bool IsDismissEvent(int eventType);

    CColourSwatch* GetVersionSwatch() const { return m_version; }

signals:
    void dismissed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CColourSwatch* m_version = nullptr;
    QTimer* m_timer = nullptr;
    bool m_bDismissed = false;
};
