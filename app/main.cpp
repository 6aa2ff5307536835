#include "app/widgets/MXApp.h"
#include "app/widgets/MXMainWnd.h"

#include <QApplication>
#include <QSocketNotifier>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// The signal handler only writes a byte; the event loop reads it.
int s_endRequest[2] = {-1, -1};

extern "C" void OnEndSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] ssize_t written = ::write(s_endRequest[1], &byte, 1);
}

// For start-up benchmarks (MARLOX_QUIT_AFTER_FIRST_PAINT set): once the
// main window has painted for the first time, the program writes "painted"
// on its standard output and ends as though closed. The line goes out when
// the whole first paint is done, which a zero timer started during it marks.
class CFirstPaintProbe : public QObject {
public:
    explicit CFirstPaintProbe(QWidget* window) : m_window(window) { qApp->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !m_painted && watched->isWidgetType()
            && static_cast<QWidget*>(watched)->window() == m_window) {
            m_painted = true;
            QTimer::singleShot(0, this, [] {
                std::fputs("painted\n", stdout);
                std::fflush(stdout);
                QCoreApplication::exit(0);
            });
        }
        return false;
    }

private:
    QWidget* m_window;
    bool m_painted = false;
};

} // namespace

int main(int argc, char* argv[])
{
    QApplication qapp(argc, argv);
    QApplication::setApplicationName("Marlox");
    CMXApp app;
    if (!app.InitInstance(QApplication::arguments())) {
        app.ExitInstance();
        // A start that handed its file to the running copy ends quietly.
        return app.HandedOver() ? 0 : 1;
    }
    // Told to end (the session ends, or kill): close as the user would, so
    // that unsaved work is asked about and the settings are written.
    std::unique_ptr<QSocketNotifier> endNotifier;
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, s_endRequest) == 0) {
        endNotifier = std::make_unique<QSocketNotifier>(s_endRequest[0], QSocketNotifier::Read);
        QObject::connect(endNotifier.get(), &QSocketNotifier::activated, [&app] {
            char byte = 0;
            [[maybe_unused]] ssize_t got = ::read(s_endRequest[0], &byte, 1);
            app.CloseWhenFree();
        });
        struct sigaction action {};
        action.sa_handler = OnEndSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        ::sigaction(SIGTERM, &action, nullptr);
    }
    std::unique_ptr<CFirstPaintProbe> probe;
    if (qEnvironmentVariableIsSet("MARLOX_QUIT_AFTER_FIRST_PAINT"))
        probe = std::make_unique<CFirstPaintProbe>(app.GetMainFrame());
    int result = qapp.exec();
    probe.reset();
    endNotifier.reset();
    app.ExitInstance();
    return result;
}
