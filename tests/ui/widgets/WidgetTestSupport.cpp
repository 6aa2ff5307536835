// Linked into every widget test program.

// Fontconfig keeps its configuration in globals that it never frees; the leak
// checker would otherwise fail every test that lays out text with widgets.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}

#include "ui/widgets/WidgetTestSupport.h"

#include <gtest/gtest.h>

namespace {

// Makes the application before any fixture builds its widgets.
class ApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override { EnsureApplication(); }
};

[[maybe_unused]] ::testing::Environment* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment);

}  // namespace
