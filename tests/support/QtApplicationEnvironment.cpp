// Window tests need one application object for the whole test program, and
// settings of their own: windows write their state at exit, and test programs
// run side by side.
#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace {

class QtApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        static int argc = 1;
        static char name[] = "marlox-test";
        static char* argv[] = {name, nullptr};
        m_config = std::filesystem::temp_directory_path() / ("marlox-gui-config-" + std::to_string(::getpid()));
        std::filesystem::create_directories(m_config);
        ::setenv("MARLOX_CONFIG_DIR", m_config.c_str(), 1);
        // A program started by a test must never hand its file to another test's program.
        ::setenv("MARLOX_INSTANCE_NAME", ("marlox-test-" + std::to_string(::getpid())).c_str(), 1);
        if (!QApplication::instance())
            m_app = new QApplication(argc, argv);
    }
    void TearDown() override
    {
        delete m_app;
        std::error_code ec;
        std::filesystem::remove_all(m_config, ec);
        // The lock beside the programs' channel.
        std::filesystem::remove(std::filesystem::temp_directory_path()
                                    / ("marlox-test-" + std::to_string(::getpid()) + ".lock"), ec);
    }

private:
    QApplication* m_app = nullptr;
    std::filesystem::path m_config;
};

const auto* const kRegistered = ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

} // namespace
