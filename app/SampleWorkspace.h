// The sample workspace that ships in examples/: written by code, so that it
// always matches the current file format.
#pragma once

#include <string>

// Writes the sample workspace to path; false after reporting a failure.
bool WriteSampleWorkspace(const std::string& path);
