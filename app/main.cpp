#include "app/widgets/MXApp.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication qapp(argc, argv);
    QApplication::setApplicationName("Marlox");
    CMXApp app;
    if (!app.InitInstance(QApplication::arguments())) {
        app.ExitInstance();
        return 1;
    }
    int result = qapp.exec();
    app.ExitInstance();
    return result;
}
