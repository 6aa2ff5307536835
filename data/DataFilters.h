// The installed data filters and the conversions done through them: a file
// or a clipboard block read into a new table, a block of a table written to a
// file or rendered as a filter's clipboard format. A filter library is loaded
// for one use and freed after it; only what the start-up query learnt of it
// is kept. The built-in text reader and writer serve ".txt" files that no
// filter claims.
#pragma once

#include "platform/Types.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class CMyData;

struct CFilterInfo {
    std::string path;
    std::string extension; // without "*."
    std::string description;
    unsigned format = 0;   // the clipboard format the filter registered
    unsigned caps = 0;     // MX_FILTER_CAN_IMPORT | MX_FILTER_CAN_EXPORT
    std::string mimeType;  // the clipboard form of the format
};

class CDataFilters {
public:
    // Asks each library for its name, clipboard format and capabilities;
    // libraries that do not load or lack an entry point are left out.
    void Query(const std::vector<std::string>& paths);
    const std::vector<CFilterInfo>& GetFilters() const { return m_filters; }
    // File-dialog filter strings ("Description|*.ext|...|").
    const std::string& GetImportFilterString() const { return m_importFilter; }
    const std::string& GetExportFilterString() const { return m_exportFilter; }
    // The MIME types of the exporting filters' clipboard formats.
    std::vector<std::string> GetExportMimeTypes() const;

    // The "Convert File" choice: entries (importing filters' descriptions,
    // then "Text Files") and the one preselected (-1 none); answers the
    // chosen index, -1 for Cancel. Without a chooser the preselected entry is taken.
    using ConvertChooser = std::function<int(const std::vector<std::string>& entries, int preselected)>;
    // Reads a file into a new table; null when it was not converted (after a
    // message) or the user cancelled. result: the filter's own answer, else 0.
    std::unique_ptr<CMyData> LoadFilterAndImport(const std::string& path, const std::string& extension,
                                                 int& result, const ConvertChooser& choose = {}) const;
    // Reads the first filter format on the clipboard that a filter accepts; result -1 when none did.
    std::unique_ptr<CMyData> ImportFromClipboard(int& result) const;
    // Writes range (left column, top row, right column, bottom row) of table
    // to the file through the filter of its extension, or as text for ".txt".
    bool ExportToFile(const CMyData& table, const RECT& range, const std::string& path) const;
    // The bytes of a filter's clipboard format for range of table (one zero byte follows the data).
    bool RenderFormat(const CMyData& table, const RECT& range, const std::string& mimeType,
                      std::vector<BYTE>& out) const;

    // No NUL inside and no control character but tab, LF, CR and Ctrl+Z.
    static bool IsPlainText(const char* data, std::size_t length);

    // The program's installed filters.
    static CDataFilters& Current();

private:
    std::vector<CFilterInfo> m_filters;
    std::string m_importFilter;
    std::string m_exportFilter;
};
