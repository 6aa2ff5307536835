// Clipboard contents for a paste, as the reproducing inputs and the paste
// fuzzer give them: byte 0 is a flag, the rest the payload. Bits 0-1 of the
// flag are the format (0 the private data format, 1 plain text, 2 the format
// of a data filter, 3 private data and plain text together); bit 2 asks for
// a 2x2 block to be selected instead of one cell.
#pragma once

#include "platform/Clipboard.h"

#include <cstddef>
#include <string>

struct ClipboardInput {
    ClipboardFormats formats;
    bool block = false;
};

inline ClipboardInput DecodeClipboardInput(const unsigned char* data, std::size_t size, const std::string& privateMime,
                                           const std::string& filterMime)
{
    ClipboardInput input;
    if (size == 0)
        return input;
    const std::vector<BYTE> payload(data + 1, data + size);
    switch (data[0] & 3) {
    case 0: input.formats[privateMime] = payload; break;
    case 1: input.formats["text/plain"] = payload; break;
    case 2: input.formats[filterMime.empty() ? std::string("text/plain") : filterMime] = payload; break;
    default:
        input.formats[privateMime] = payload;
        input.formats["text/plain"] = payload;
        break;
    }
    input.block = (data[0] & 4) != 0;
    return input;
}
