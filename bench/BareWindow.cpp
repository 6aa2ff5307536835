// The peer of the program's start-up in the start-up benchmark: a bare Qt
// main window that first reads every byte of the file it is given, as the
// program reads its workspace, then shows itself. Once its first paint is
// done it writes "painted" on its standard output and ends.
#include <QApplication>
#include <QFile>
#include <QMainWindow>
#include <QPaintEvent>
#include <QTimer>

#include <cstdio>

namespace {

class CBareWindow : public QMainWindow {
protected:
    void paintEvent(QPaintEvent* event) override
    {
        QMainWindow::paintEvent(event);
        if (m_painted)
            return;
        m_painted = true;
        // The timer fires once the paint in progress is done.
        QTimer::singleShot(0, this, [] {
            std::fputs("painted\n", stdout);
            std::fflush(stdout);
            QCoreApplication::exit(0);
        });
    }

private:
    bool m_painted = false;
};

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fputs("usage: bench_bare_window FILE\n", stderr);
        return 2;
    }
    QFile file(QString::fromLocal8Bit(argv[1]));
    if (!file.open(QIODevice::ReadOnly))
        return 1;
    const QByteArray bytes = file.readAll();
    CBareWindow window;
    window.setWindowTitle(QString("%1 (%2 bytes)").arg(file.fileName()).arg(bytes.size()));
    window.resize(1024, 768);
    window.show();
    return app.exec();
}
