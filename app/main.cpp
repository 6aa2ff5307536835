#include "app/widgets/MainWindow.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("Marlox");
    CMainWindow window;
    window.show();
    return app.exec();
}
