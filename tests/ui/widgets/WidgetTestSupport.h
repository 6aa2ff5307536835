// The one QApplication that widget tests need (offscreen platform).
#pragma once

#include <QApplication>

inline void EnsureApplication()
{
    if (QApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "marlox-widget-test";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}
