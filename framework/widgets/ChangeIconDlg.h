// Chooses an item's icon: the icons of an icon file (.ico, .png, .svg), of a
// folder of such files (in name order), or a named icon of the desktop theme.
#pragma once

#include <QDialog>
#include <QImage>

#include <string>
#include <vector>

class QLineEdit;
class QListWidget;

class CChangeIconDlg : public QDialog {
    Q_OBJECT
public:
    CChangeIconDlg(QWidget* parent, const std::string& iconFile, int iconIndex);

    // The outputs after OK.
    const std::string& GetFileName() const { return m_fileName; }
    int GetIndex() const { return m_index; }
    const std::vector<QImage>& LargeImages() const { return m_large; }  // 32 x 32
    const std::vector<QImage>& SmallImages() const { return m_small; }  // 16 x 16

    // Loads the icons of a source; false (with a message, the old icons kept)
    // when it yields none.
    bool LoadIcons(const std::string& source);
    // The icons of a source without touching the dialog; empty when none.
    static bool ReadIcons(const std::string& source, std::vector<QImage>& large, std::vector<QImage>& small);

    QLineEdit* FileEdit() const { return m_edit; }
    QListWidget* IconList() const { return m_list; }
    // The file-name edit was left: reloads when the name changed.
    void OnFileEdited();

public slots:
    void accept() override;

protected:
    // Asks for an icon file; false when cancelled.
    virtual bool ChooseFile(std::string& path);

private:
    void OnBrowse();
    void FillList();

    std::string m_fileName;
    int m_index;
    std::vector<QImage> m_large;
    std::vector<QImage> m_small;
    QLineEdit* m_edit;
    QListWidget* m_list;
};
