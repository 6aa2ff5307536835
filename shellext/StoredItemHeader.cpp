#include "shellext/StoredItemHeader.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {
constexpr unsigned char kMagic[8] = {'M', 'X', ' ', 'I', 't', 'e', 'm', '\0'};

std::int32_t GetInt32(const unsigned char* p)
{
    return std::int32_t(std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16
                        | std::uint32_t(p[3]) << 24);
}
} // namespace

int StoredItemIconIndex(const unsigned char* bytes, std::size_t count)
{
    if (count < 8 || std::memcmp(bytes, kMagic, sizeof kMagic) != 0)
        return 0;
    // A newer header version may mean anything after it; older (negative) ones read as version 0.
    if (count < 12 || GetInt32(bytes + 8) > 0)
        return 0;
    if (count < 16)
        return 0;
    const std::int32_t index = GetInt32(bytes + 12);
    return index >= 0 && index < kStoredItemIconCount ? int(index) : 0;
}

bool ReadStoredItemIconIndex(const std::string& path, int& index)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    unsigned char header[kStoredItemHeaderBytes];
    const std::size_t got = std::fread(header, 1, sizeof header, file);
    const bool failed = std::ferror(file) != 0; // a folder, or a read error
    std::fclose(file);
    if (failed)
        return false;
    index = StoredItemIconIndex(header, got);
    return true;
}
