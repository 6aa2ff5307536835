// Linked into every widget test program (the leak checker is told about
// the font caches by each program's LeakSuppressions.cpp).

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
