// The sample workspace that ships in examples/ and the blank workspace
// template that ships in app/templates/: written by code, so that they always
// match the current file format.
#pragma once

#include <string>

// Writes the sample workspace to path; false after reporting a failure.
bool WriteSampleWorkspace(const std::string& path);

// Writes the blank workspace template (a workspace with no items) to path;
// false after reporting a failure.
bool WriteBlankTemplate(const std::string& path);
