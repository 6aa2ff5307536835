// Text is UTF-8 in memory and Windows-1252 in stored files.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// A character without a single-byte form becomes '?'; so does a malformed UTF-8 byte.
std::string Utf8ToCp1252(std::string_view utf8);
std::string Cp1252ToUtf8(std::string_view bytes);

// UTF-16 forms, as compound-file names are stored. Malformed input (a bad
// UTF-8 byte, an unpaired surrogate) becomes U+FFFD.
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

// Appends one code point in UTF-8.
void AppendUtf8(std::string& out, std::uint32_t codePoint);
