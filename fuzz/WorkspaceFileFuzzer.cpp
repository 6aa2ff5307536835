// A whole workspace file, opened as File > Open opens it.
#include "FuzzSupport.h"
#include "app/MXDoc.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Init();
    // Graphs lay their texts out with the fonts of the running program.
    fuzz::EnsureGuiApplication();
    const std::string path = fuzz::WriteScratchFile("input.mxf", data, size);
    CMXDoc doc;
    doc.OnOpenDocument(path);
    return 0;
}
