// A stored item (.mxc) added to a workspace, as the Add Item command does.
#include "FuzzSupport.h"
#include "app/MXDoc.h"
#include "app/MXItemAdd.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Init();
    // Graphs lay their texts out with the fonts of the running program.
    fuzz::EnsureGuiApplication();
    const std::string path = fuzz::WriteScratchFile("item.mxc", data, size);
    CMXDoc doc;
    doc.OnNewDocument();
    if (doc.GetActionList().Add(new CMXItemAddFromStore(&doc, path)) == 1)
        doc.GetActionList().Undo();
    return 0;
}
