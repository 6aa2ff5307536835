// A data file imported through Paste From and the data-filter machinery:
// byte 0 chooses the extension (plain text, or the semicolon test filter's
// ".scd"), the rest is the file. The filter library calls back into the
// program for every cell it makes.
#include "FuzzSupport.h"
#include "data/DataFilters.h"
#include "data/MyData.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Init();
    static bool queried = [] {
        CDataFilters::Current().Query({MARLOX_SEMICOLON_FILTER});
        return true;
    }();
    (void)queried;
    if (size == 0)
        return 0;
    const bool text = (data[0] & 1) == 0;
    const std::string path = fuzz::WriteScratchFile(text ? "in.txt" : "in.scd", data + 1, size - 1);
    int result = 0;
    auto table = CDataFilters::Current().LoadFilterAndImport(
        path, text ? "txt" : "scd", result, [](const std::vector<std::string>&, int preselected) { return preselected; });
    if (table) {
        (void)table->GetLastRow(-1);
        (void)table->GetLastColumn();
    }
    return 0;
}
