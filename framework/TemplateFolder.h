// The files that the New chooser offers: the tabs made from the subfolders of
// a user and a group folder, the files of a tab, their order and size texts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// One listed file.
struct CTemplateFileRecord {
    std::string path;         // full path
    std::string displayName;  // as listed
    std::string typeName;     // the kind of file, as the desktop names it
    std::int64_t modified = 0;  // last write, nanoseconds since 1970 (UTC)
    std::uint64_t size = 0;   // bytes
};

class CTemplateFolder {
public:
    // Sort codes: the column's bit, plus the descending flag.
    enum : unsigned { SortName = 1, SortSize = 2, SortType = 4, SortModified = 8, SortDescending = 0x8000 };

    // The names of the subfolders that get a tab: those of the user folder,
    // then those of the group folder (when it is set and differs), each name
    // once (case-insensitive), and only folders that hold at least one file.
    // Sorted ascending without regard to case.
    static std::vector<std::string> CollectTabFolders(const std::string& userFolder, const std::string& groupFolder);

    // The folder a tab lists: the base folder itself for the first tab
    // ("General"), else its subfolder of the tab's name (in any case).
    static std::string TabFolder(const std::string& baseFolder, const std::string& tabName, bool general);

    // The plain files of a folder (no folders, no hidden files), unsorted;
    // the display and type names are left to the caller when empty.
    static std::vector<CTemplateFileRecord> ListFiles(const std::string& folder);

    // Negative, zero or positive as a sorts before, with or after b.
    static int Compare(const CTemplateFileRecord& a, const CTemplateFileRecord& b, unsigned sortCode);
    static void Sort(std::vector<CTemplateFileRecord>& records, unsigned sortCode);

    // "1023 bytes", "1.00 KB", "0.95 MB", "1.50 GB": the unit changes at 1000,
    // 1,000,000 and 1,000,000,000 bytes while dividing by powers of 1024.
    static std::string FormatSize(std::uint64_t size);
};

// Replaces the printf conversions of a pattern ("%lu", "%.2lf", "%s", ...)
// in order by the texts given; "%%" gives "%".
std::string ReplaceConversions(std::string_view pattern, const std::vector<std::string>& texts);
// A number with two decimals, locale-free.
std::string FixedTwo(double value);
// A count with a comma after every three digits from the right.
std::string GroupThousands(std::uint64_t value);
