// One application object for every window test of the program.
#include <QApplication>

#include <gtest/gtest.h>

namespace {

class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        static int argc = 1;
        static char name[] = "test_grid_widgets";
        static char* argv[] = {name, nullptr};
        if (!QApplication::instance())
            m_app = new QApplication(argc, argv);
    }
    void TearDown() override
    {
        delete m_app;
        m_app = nullptr;
    }

private:
    QApplication* m_app = nullptr;
};

const ::testing::Environment* const kEnvironment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

} // namespace
