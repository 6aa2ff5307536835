#include "app/widgets/MainWindow.h"

#include "platform/StringTable.h"

#include <QMdiArea>

CMainWindow::CMainWindow(QWidget* parent)
    : QMainWindow(parent)
    , m_mdiArea(new QMdiArea(this))
{
    setCentralWidget(m_mdiArea);
    setWindowTitle(QString::fromStdString(GetAppName()));
    resize(1024, 720);
}
