// marlox-desktop-files DATADIR PROGRAM: writes the desktop's files for
// Marlox (desktop entries, file types, thumbnailer entry, icons) below
// DATADIR for a program installed at PROGRAM, without running the desktop's
// update tools. The install step runs it for the install prefix.
#include "app/DesktopIntegration.h"

#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char* argv[])
{
    if (argc != 3) {
        std::fputs("usage: marlox-desktop-files DATADIR PROGRAM\n", stderr);
        return 2;
    }
    if (!std::getenv("QT_QPA_PLATFORM"))
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QGuiApplication app(qtArgc, qtArgv);
    std::string error;
    if (!InstallDesktopIntegration(argv[2], argv[1], false, &error)) {
        std::fprintf(stderr, "marlox-desktop-files: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
