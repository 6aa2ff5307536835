// The files the user opened or saved last, newest first, as the File menu
// lists them. Kept in the profile between runs.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

class CRecentFileList {
public:
    explicit CRecentFileList(std::size_t size, std::string section = "Recent File List",
                             std::string entryFormat = "File");

    // Puts the path first; an entry already listed moves up rather than appearing twice.
    void Add(const std::string& path);
    void Remove(std::size_t index);
    std::size_t GetSize() const { return m_size; }
    const std::vector<std::string>& Files() const { return m_files; }

    // The menu text of an entry: "&1 " and the path, with "&" doubled.
    std::string MenuText(std::size_t index) const;

    // Reads and writes the entries "File1" .. "File<size>" of the section; an
    // entry past the list is written empty.
    void ReadList();
    void WriteList() const;

private:
    std::size_t m_size;
    std::string m_section;
    std::string m_entryFormat;
    std::vector<std::string> m_files;
};
