// Builds files of the program's version 3 byte by byte, from their record
// layouts, for the import tests.
#pragma once

#include "app/MXDoc.h"
#include "platform/Exceptions.h"
#include "support/TestSupport.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

class OldBytes {
public:
    OldBytes& U8(int v)
    {
        bytes.push_back(BYTE(v));
        return *this;
    }
    OldBytes& I16(int v) { return U8(v & 0xFF).U8((v >> 8) & 0xFF); }
    OldBytes& I32(std::int64_t v) { return I16(int(v & 0xFFFF)).I16(int((v >> 16) & 0xFFFF)); }
    OldBytes& F64(double v)
    {
        BYTE b[8];
        std::memcpy(b, &v, 8);
        bytes.insert(bytes.end(), b, b + 8);
        return *this;
    }
    OldBytes& Raw(std::string_view s)
    {
        bytes.insert(bytes.end(), s.begin(), s.end());
        return *this;
    }
    // A NUL-terminated text.
    OldBytes& CStr(std::string_view s) { return Raw(s).U8(0); }
    // A text in a zero-padded field.
    OldBytes& Fixed(std::string_view s, std::size_t width)
    {
        Raw(s.substr(0, width));
        return Zeros(width - std::min(width, s.size()));
    }
    OldBytes& Zeros(std::size_t n)
    {
        bytes.insert(bytes.end(), n, 0);
        return *this;
    }
    OldBytes& Append(const Bytes& more)
    {
        bytes.insert(bytes.end(), more.begin(), more.end());
        return *this;
    }
    // Three version digits and four unused bytes.
    OldBytes& Version(int d0, int d1, int d2) { return I16(d0).I16(d1).I16(d2).Zeros(4); }

    Bytes bytes;
};

// A fixed-layout record: zeros with texts and words put at their offsets.
struct OldRecord {
    explicit OldRecord(std::size_t size) : bytes(size, 0) {}
    OldRecord& Put(std::size_t at, std::string_view s)
    {
        std::memcpy(bytes.data() + at, s.data(), s.size());
        return *this;
    }
    OldRecord& Word(std::size_t at, int v)
    {
        bytes[at] = BYTE(v & 0xFF);
        bytes[at + 1] = BYTE((v >> 8) & 0xFF);
        return *this;
    }
    Bytes bytes;
};

// The lengths at which the damage tests cut a valid file: every one from
// first on, except deep inside long runs of zero filler (the fixed blocks
// that the old records are padded with), where one cut in 61 stands for the
// rest; cuts near each run's edges still go byte by byte. Every cut loads
// the whole file before it, so trying each byte of a 1,500-byte block is
// slow under the sanitizers and finds nothing a sample does not.
inline std::vector<std::size_t> CutPoints(const Bytes& whole, std::size_t first)
{
    constexpr std::size_t kEdge = 8;
    constexpr std::size_t kStride = 61;
    std::vector<std::size_t> cuts;
    std::size_t runStart = 0; // where the run of zeros that holds n began
    for (std::size_t n = 0; n < whole.size(); ++n) {
        if (n == 0 || whole[n - 1] != 0)
            runStart = n;
        std::size_t runEnd = n;
        while (runEnd < whole.size() && runEnd < n + kEdge && whole[runEnd] == 0)
            ++runEnd;
        const bool deep = n >= runStart + kEdge && runEnd == n + kEdge;
        if (n >= first && (!deep || (n - runStart) % kStride == 0))
            cuts.push_back(n);
    }
    return cuts;
}

// Loads bytes into the document as its load does; the failure's text in error.
// With MARLOX_FUZZ_SEEDS set, every file the tests build is also kept as a
// seed of the version-3 fuzzer: a byte for its magic, then what follows it.
inline void KeepVersion3Seed(const Bytes& bytes)
{
    const char* dir = std::getenv("MARLOX_FUZZ_SEEDS");
    if (!dir || bytes.size() < 6)
        return;
    static const char* const kMagics[] = {"ANAVZK", "mx_VZK", "AEQVZK"};
    int kind = -1;
    for (int i = 0; i < 3; ++i)
        if (std::memcmp(bytes.data(), kMagics[i], 6) == 0)
            kind = i;
    if (kind < 0)
        return;
    std::uint64_t hash = 14695981039346656037ull; // FNV-1a names the seed by its content
    for (BYTE b : bytes)
        hash = (hash ^ b) * 1099511628211ull;
    const std::string folder = std::string(dir) + "/version3";
    std::filesystem::create_directories(folder);
    char name[32];
    std::snprintf(name, sizeof name, "/%016llx", static_cast<unsigned long long>(hash));
    std::ofstream out(folder + name, std::ios::binary);
    out.put(char(kind));
    out.write(reinterpret_cast<const char*>(bytes.data() + 6), std::streamsize(bytes.size() - 6));
}

inline bool LoadOld(CMXDoc& doc, const Bytes& bytes, std::string* error = nullptr)
{
    KeepVersion3Seed(bytes);
    try {
        LoadBytes(bytes, [&](CArchive& ar) { doc.Serialize(ar); });
        return true;
    } catch (const CArchiveException& e) {
        if (error)
            *error = e.GetText();
    }
    return false;
}
