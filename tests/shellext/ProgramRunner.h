// Runs a program of the build, as the desktop runs it, and waits for it.
#pragma once

#include <string>
#include <vector>

namespace shellext_test {

// The program's exit code, or -1 when it could not be run or died of a signal.
// Extra environment entries ("NAME=value") are added to the test's own.
int RunProgram(const std::vector<std::string>& args, const std::vector<std::string>& environment = {},
               std::string* output = nullptr);

} // namespace shellext_test
