#include "app/widgets/MXApp.h"

#include <QApplication>

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
    int result = qapp.exec();
    app.ExitInstance();
    return result;
}
