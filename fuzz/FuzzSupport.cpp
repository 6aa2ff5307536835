#include "FuzzSupport.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace fuzz {

const std::string& ScratchDir()
{
    static const std::string dir = [] {
        std::filesystem::path base = std::filesystem::exists("/dev/shm") ? std::filesystem::path("/dev/shm")
                                                                          : std::filesystem::temp_directory_path();
        std::filesystem::path p = base / ("marlox-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(p / "config");
        // The scratch folder goes with the process.
        static struct Remover {
            std::filesystem::path path;
            ~Remover()
            {
                std::error_code ignored;
                std::filesystem::remove_all(path, ignored);
            }
        } remover{p};
        return p.string();
    }();
    return dir;
}

void Init()
{
    static QuietReporter reporter;
    static bool done = [] {
        SetReporter(&reporter);
        ::setenv("MARLOX_CONFIG_DIR", (ScratchDir() + "/config").c_str(), 1);
        ::setenv("MARLOX_SYSTEM_CONFIG_DIR", (ScratchDir() + "/config").c_str(), 1);
        return true;
    }();
    (void)done;
}

std::string WriteScratchFile(const std::string& name, const std::uint8_t* data, std::size_t size)
{
    const std::string path = ScratchDir() + "/" + name;
    if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
        if (size)
            std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    return path;
}

void EnsureGuiApplication()
{
    if (QApplication::instance())
        return;
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "marlox-fuzz";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    (void)app;
}

} // namespace fuzz

// Font and desktop libraries keep caches for the life of the process; the
// leak checker is told to leave them alone. (Here, linked into every harness
// with Init, since any harness that lays out text meets them.)
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig\n"
           "leak:libdbus\n";
}
