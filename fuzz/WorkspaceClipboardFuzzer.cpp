// Items pasted into the workspace list from the workspace clipboard format.
#include "FuzzSupport.h"
#include "app/MXDoc.h"
#include "app/ProjectAction.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Init();
    // Graphs lay their texts out with the fonts of the running program.
    fuzz::EnsureGuiApplication();
    CMXDoc doc;
    doc.OnNewDocument();
    if (doc.GetActionList().Add(new CProjectItemPaste(&doc, std::vector<BYTE>(data, data + size))) == 1)
        doc.GetActionList().Undo();
    return 0;
}
