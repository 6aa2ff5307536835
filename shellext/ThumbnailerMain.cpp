// marlox-thumbnailer -s SIZE INPUT OUTPUT: the desktop's thumbnailer for
// Marlox files. Writes OUTPUT (a PNG) and exits 0, or exits 1 without
// writing anything when the input cannot be read.
#include "shellext/Thumbnailer.h"

#include <QGuiApplication>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

int Usage()
{
    std::fputs("usage: marlox-thumbnailer -s SIZE INPUT OUTPUT\n", stderr);
    return 2;
}

bool WriteAll(const std::string& path, const QByteArray& bytes)
{
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out)
        return false;
    const bool written = std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), out) == std::size_t(bytes.size());
    const bool closed = std::fclose(out) == 0;
    if (written && closed)
        return true;
    ::unlink(path.c_str());
    return false;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 5 || std::strcmp(argv[1], "-s") != 0)
        return Usage();
    int size = 0;
    const char* sizeText = argv[2];
    const char* sizeEnd = sizeText + std::strlen(sizeText);
    const auto [end, ec] = std::from_chars(sizeText, sizeEnd, size);
    if (ec != std::errc() || end != sizeEnd || size < 1 || size > kMaxThumbnailSize)
        return Usage();
    // Drawn without a screen: thumbnailers run where no display may be.
    if (!std::getenv("QT_QPA_PLATFORM"))
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QGuiApplication app(qtArgc, qtArgv);
    const QByteArray png = MakeThumbnail(argv[3], size);
    if (png.isEmpty() || !WriteAll(argv[4], png))
        return 1;
    return 0;
}
