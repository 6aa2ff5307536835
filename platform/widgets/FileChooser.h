// Windows ask for file and folder names through one chooser: the program
// installs one that shows the file dialogs; tests install one that answers
// from a script and keeps what was asked.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QFileDialog;
class QWidget;

struct FileRequest {
    enum Mode { OpenFile, SaveFile, Folder };
    Mode mode = OpenFile;
    std::string title;                 // empty: the dialog's own title
    std::string folder;                // where the dialog starts (empty: where it likes)
    std::string name;                  // the proposed name or folder
    std::vector<std::string> filters;  // "Name (*.a *.b)", in list order
    int selectedFilter = 0;
    std::string defaultExtension;      // without the dot; added to a name typed without one
    std::string acceptLabel;           // the accept button's text (empty: the dialog's own)
    // The dialog with buttons that jump to the user's and the group's folder
    // and that keeps the typed name's extension in step with the chosen type.
    bool folderButtons = false;
    std::string userFolder;
    std::string groupFolder;
    // Folders only: whether a folder may be chosen (the OK button follows it).
    std::function<bool(const std::string&)> canChoose;
};

struct FileAnswer {
    std::string path;
    int filter = -1;  // the filter chosen last (-1: not known)
};

class CFileChooser {
public:
    virtual ~CFileChooser() = default;
    // The chosen file or folder; nothing when the user cancelled.
    virtual std::optional<FileAnswer> Choose(QWidget* parent, const FileRequest& request) = 0;
};

// The plain file dialogs of the toolkit. The program installs a richer
// default at start-up (with the folder buttons of the workspace dialogs).
class CPlainFileChooser : public CFileChooser {
public:
    std::optional<FileAnswer> Choose(QWidget* parent, const FileRequest& request) override;
    // The dialog a request shows, ready to run.
    std::unique_ptr<QFileDialog> Build(QWidget* parent, const FileRequest& request) const;

protected:
    // The dialog of the request's kind, before title, folder and name are set.
    virtual std::unique_ptr<QFileDialog> Create(QWidget* parent, const FileRequest& request) const;
};

// Installs a chooser and returns the one it replaces (null restores the default).
CFileChooser* SetFileChooser(CFileChooser* chooser);
// The chooser used when none is installed; null restores the plain dialogs.
void SetDefaultFileChooser(CFileChooser* chooser);
CFileChooser& GetFileChooser();

// Asks the installed chooser.
std::optional<FileAnswer> ChooseFile(QWidget* parent, const FileRequest& request);

// The dialog filters of a filter string of "Name|*.a;*.b|" pairs, as data
// filters and stored-item strings give them: "Name (*.a *.b)".
std::vector<std::string> FilterTextsFromBars(const std::string& bars);

// The first pattern of a filter text ("Data (*.csv *.txt)" gives "*.csv").
std::string FirstPatternOf(const std::string& filter);

// The path with ".extension" added when its name has no extension of its own
// (extension without the dot; an empty one adds nothing).
std::string WithDefaultExtension(const std::string& path, const std::string& extension);
