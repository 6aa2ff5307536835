// The flat files of version 3: byte 0 chooses the magic the rest follows
// (data file, workspace, equation file), so that each reader is reached
// without the fuzzer having to find its six-byte prefix.
#include "FuzzSupport.h"
#include "app/MXDoc.h"

#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Init();
    // Graphs lay their texts out with the fonts of the running program.
    fuzz::EnsureGuiApplication();
    if (size == 0)
        return 0;
    static const char* const kMagics[] = {"ANAVZK", "mx_VZK", "AEQVZK"};
    std::vector<std::uint8_t> file(6 + size - 1);
    std::memcpy(file.data(), kMagics[data[0] % 3], 6);
    if (size > 1)
        std::memcpy(file.data() + 6, data + 1, size - 1);
    const std::string path = fuzz::WriteScratchFile("old.mxd", file.data(), file.size());
    CMXDoc doc;
    doc.OnOpenDocument(path);
    return 0;
}
