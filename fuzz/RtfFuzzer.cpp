// A note's rich text: read, written and read again. What is read once must
// come back the same after a save, or a note would change without an edit.
#include "FuzzSupport.h"
#include "ui/RtfReader.h"
#include "ui/RtfWriter.h"

#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Init();
    CRtfDocument first;
    CRtfReader::Read(std::string_view(reinterpret_cast<const char*>(data), size), first);
    const std::string saved = CRtfWriter::Write(first);
    CRtfDocument second;
    if (CRtfReader::Read(saved, second) != CRtfReader::Status::ok || !(second == first))
        std::abort();
    if (CRtfWriter::Write(second) != saved)
        std::abort();
    return 0;
}
