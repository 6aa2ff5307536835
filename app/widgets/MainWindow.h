// The program's main window.
#pragma once

#include <QMainWindow>

class QMdiArea;

class CMainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit CMainWindow(QWidget* parent = nullptr);

private:
    QMdiArea* m_mdiArea;
};
