// One stream of a valid workspace replaced by the input: byte 0 chooses the
// stream (in the order the sample workspace lists them, storages walked
// depth first), the rest is its new content. The compound file around it
// stays sound, so the input reaches the readers of the stream itself.
#include "FuzzSupport.h"
#include "app/MXDoc.h"
#include "platform/CompoundFile.h"
#include "platform/StorageStream.h"

#include <fstream>
#include <iterator>
#include <vector>

namespace {

struct Base {
    std::vector<BYTE> bytes;
    std::vector<std::vector<std::string>> streams; // storage names, then the stream name
};

void Collect(CStorage& storage, std::vector<std::string>& path, std::vector<std::vector<std::string>>& out)
{
    for (const CStorageElementInfo& e : storage.EnumElements()) {
        path.push_back(e.name);
        if (e.type == CStorageElementInfo::stream)
            out.push_back(path);
        else if (CStorage* sub = storage.OpenStorage(e.name))
            Collect(*sub, path, out);
        path.pop_back();
    }
}

const Base& GetBase()
{
    static const Base base = [] {
        Base b;
        std::ifstream in(MARLOX_SAMPLE_WORKSPACE, std::ios::binary);
        b.bytes.assign(std::istreambuf_iterator<char>(in), {});
        CCompoundFile file;
        file.LoadBytes(b.bytes.data(), b.bytes.size());
        std::vector<std::string> path;
        Collect(file.Root(), path, b.streams);
        return b;
    }();
    return base;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Init();
    // Graphs lay their texts out with the fonts of the running program.
    fuzz::EnsureGuiApplication();
    const Base& base = GetBase();
    if (size == 0 || base.streams.empty())
        return 0;
    const std::vector<std::string>& target = base.streams[data[0] % base.streams.size()];
    CCompoundFile file;
    file.LoadBytes(base.bytes.data(), base.bytes.size());
    CStorage* storage = &file.Root();
    for (std::size_t i = 0; i + 1 < target.size() && storage; ++i)
        storage = storage->OpenStorage(target[i]);
    if (!storage)
        return 0;
    auto stream = storage->CreateStream(target.back());
    stream->Write(data + 1, size - 1);
    stream.reset();
    const std::vector<BYTE> bytes = file.ToBytes();
    const std::string path = fuzz::WriteScratchFile("stream.mxf", bytes.data(), bytes.size());
    CMXDoc doc;
    doc.OnOpenDocument(path);
    return 0;
}
