// The application object that widget tests need, made once per test program.
#pragma once

#include <QApplication>

inline QApplication& TestApp()
{
    static int argc = 1;
    static char name[] = "test";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance())
        new QApplication(argc, argv); // lives until the program ends
    return *static_cast<QApplication*>(QApplication::instance());
}
