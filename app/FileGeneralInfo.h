// What the file system knows about a workspace file, as the General page of
// File/Properties shows it.
#pragma once

#include "platform/Types.h"

#include <cstdint>
#include <string>

struct CFileGeneralInfo {
    std::string fileName;
    std::string typeName;
    std::string location;    // the last folder name
    std::string folderPath;  // the whole folder (the location's tip)
    std::string size;        // "1.00KB (1,024 bytes)"
    std::string dosName;     // short names do not exist here: always empty
    std::string created;
    std::string modified;
    std::string accessed;
    std::string owner;        // the owning user's name (its number when it has none)
    std::string permissions;  // "rw-r--r--"
    bool readOnly = false;
    bool hidden = false;
    bool archive = false;  // no such attribute here: always off
    bool system = false;   // no such attribute here: always off

    // Reads the file; false when it cannot be examined (the texts that need
    // it stay empty).
    bool Read(const std::string& path);

    // The size text: "%lu bytes (%s bytes)" below 1024, then KB below
    // 1,000,000, MB below 1,000,000,000, else GB, dividing by powers of 1024.
    static std::string FormatSize(std::uint64_t size);
    // Seconds and nanoseconds since 1970 (UTC) as a FILETIME.
    static FILETIME ToFileTime(std::int64_t seconds, long nanoseconds);
    // The nine permission bits as "ls -l" shows them.
    static std::string FormatPermissions(unsigned mode);
};
