// Files for the desktop's side: stored items of every kind and workspaces,
// written by the program's own code into a scratch folder.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

class CMXDoc;

namespace shellext_test {

// A folder of its own for one test, removed with the object.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::filesystem::path& Path() const { return m_path; }
    std::string File(const std::string& name) const { return (m_path / name).string(); }

private:
    std::filesystem::path m_path;
};

struct StoredItemFile {
    int iconIndex;     // what the item's kind writes
    std::string path;  // the .mxc file
};

// One stored item of every kind that has a picture of its own.
std::vector<StoredItemFile> WriteStoredItemOfEveryKind(const ScratchFolder& folder);
// A workspace of a notepad only.
std::string WriteNotesWorkspace(const std::string& path);
// A workspace of a notepad and a graph whose page holds a red rectangle over
// the middle of the paper.
std::string WriteGraphWorkspace(const std::string& path);
// A workspace whose graph item's page holds a new XY graph (axes and legend,
// no data) over the middle of the paper.
std::string WriteXYGraphWorkspace(const std::string& path);

std::string ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::string& bytes);

} // namespace shellext_test
