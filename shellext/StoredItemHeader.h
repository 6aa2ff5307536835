// The header of a stored-item file (.mxc) as the file manager's side reads
// it: "MX Item" and a NUL, an int32 version, an int32 icon index, all
// little-endian from the file's start; what follows (the item) is not read.
// Every failure gives index 0, the item base's icon, never an error.
#pragma once

#include <cstddef>
#include <string>

constexpr std::size_t kStoredItemHeaderBytes = 16;
// Icon indices 0 to 9 name the kinds' icons; anything else is index 0.
constexpr int kStoredItemIconCount = 10;

// The icon index of a header's bytes (count may be short).
int StoredItemIconIndex(const unsigned char* bytes, std::size_t count);

// Reads the header of the file at path. False (index untouched) only when the
// file cannot be opened; a short or foreign file gives index 0.
bool ReadStoredItemIconIndex(const std::string& path, int& index);
