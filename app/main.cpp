#include "app/widgets/MXApp.h"

#include <QApplication>
#include <QSocketNotifier>

#include <csignal>
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
    int result = qapp.exec();
    endNotifier.reset();
    app.ExitInstance();
    return result;
}
