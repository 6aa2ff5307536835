// The drawing model lays out text with fonts: one application object (no
// windows) serves the whole test program.
#include <QGuiApplication>

#include <gtest/gtest.h>

namespace {
class GuiApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        static int argc = 1;
        static char name[] = "marlox-draw-test";
        static char* argv[] = {name, nullptr};
        if (!QGuiApplication::instance())
            m_app = new QGuiApplication(argc, argv);
    }
    void TearDown() override { delete m_app; }

private:
    QGuiApplication* m_app = nullptr;
};

const auto* const kRegistered = ::testing::AddGlobalTestEnvironment(new GuiApplicationEnvironment);
} // namespace
