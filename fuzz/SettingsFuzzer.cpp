// The settings file: read by a store, written back and read again. The
// second reading must hold what the first one held.
#include "FuzzSupport.h"
#include "platform/SettingsStore.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Init();
    const std::string path = fuzz::WriteScratchFile("settings.conf", data, size);
    std::string formatted;
    {
        CSettingsStore store(path);
        formatted = store.Format();
        // A change makes the store write the whole file.
        CSettingsStore::Value value{CSettingsStore::kindDword, {1, 0, 0, 0}};
        store.SetValue("Software\\Fuzz", "Touched", value);
    }
    CSettingsStore again(path);
    CSettingsStore::Value value;
    if (!again.GetValue("Software\\Fuzz", "Touched", value) || CSettingsStore::CountParseErrors(again.Format()) != 0)
        std::abort();
    return 0;
}
