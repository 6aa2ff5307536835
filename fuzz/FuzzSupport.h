// What every harness shares: one silent reporter that gives each message box
// its default answer, a settings folder and a scratch folder of the process's
// own, and a way to put an input in a file for loaders that read paths.
#pragma once

#include "platform/Reporter.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzz {

class QuietReporter : public CReporter {
public:
    int Show(const ReportedMessage& message) override { return DefaultAnswer(message.type); }
    void Beep(UINT) override {}
};

// Sets up the reporter and the folders once; call at the start of every input.
void Init();
// A scratch folder of this process (on a memory file system where there is one).
const std::string& ScratchDir();
// Writes the input to a file of the scratch folder with the given name and returns its path.
std::string WriteScratchFile(const std::string& name, const std::uint8_t* data, std::size_t size);
// An offscreen Qt application, for harnesses that use Qt's GUI classes.
void EnsureGuiApplication();

} // namespace fuzz
