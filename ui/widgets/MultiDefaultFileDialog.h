// A file dialog with two extra buttons that jump to the user's and the
// group's default folder, and that keeps the typed name's extension in step
// with the chosen file type.
#pragma once

#include <QFileDialog>

#include <string>
#include <vector>

class QLineEdit;
class QPushButton;

class CMultiDefaultFileDialog : public QFileDialog {
    Q_OBJECT
public:
    // One entry of the type list: its name and its extension with the dot (".MXF").
    struct FileType {
        std::string name;
        std::string extension;
    };

    // defaultExtension without the dot; an empty folder disables its button.
    CMultiDefaultFileDialog(QWidget* parent, bool open, const std::string& defaultExtension,
                            const std::string& userFolder, const std::string& groupFolder);

    // The type list, with the all-files entry ("*.*") last; an entry whose
    // name or extension is empty is left out. selected: the entry chosen first.
    void SetFileTypes(const std::vector<FileType>& types, int selected = 0);
    // The filter texts SetFileTypes lists ("Name (*.MXF *.mxf)", ..., "All Files (*)").
    static std::vector<std::string> FilterTexts(const std::vector<FileType>& types);
    // Filter texts as they are to be listed; the first pattern of each is its type.
    void SetFilters(const std::vector<std::string>& filters, int selected = 0);
    int FileTypeCount() const { return int(m_patterns.size()); }

    QPushButton* UserFolderButton() const { return m_userButton; }
    QPushButton* GroupFolderButton() const { return m_groupButton; }
    QLineEdit* FileNameEdit() const;
    QString GetPathName() const;

    // A type was chosen: its pattern becomes the default extension and the
    // typed name follows it.
    void OnTypeChange(int index);
    // The name the box shows after a type change: the title alone when the new
    // extension is the dialog's own, else the title with the new extension.
    static std::string AdaptFileName(const std::string& typed, const std::string& newExtension,
                                     const std::string& ownExtension);

private:
    void GoToFolder(const std::string& folder);

    std::string m_ownExtension;
    std::string m_userFolder;
    std::string m_groupFolder;
    std::vector<std::string> m_patterns;  // "*.mxf", in list order
    QPushButton* m_userButton = nullptr;
    QPushButton* m_groupButton = nullptr;
};
