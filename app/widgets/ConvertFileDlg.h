// "Convert File": asked when no filter claims a file, it offers every
// importing filter and the text reader; the entry that recognised the
// content (or text, for plain text) is preselected.
#pragma once

#include <QDialog>

#include <string>
#include <vector>

class QListWidget;
class QPushButton;

class CConvertFileDlg : public QDialog {
    Q_OBJECT
public:
    CConvertFileDlg(const std::vector<std::string>& entries, int preselected, QWidget* parent = nullptr);
    int GetChoice() const;
    QListWidget* List() const { return m_list; }
    QPushButton* OkButton() const { return m_ok; }

    // The chooser the import asks (runs the dialog).
    static int Choose(const std::vector<std::string>& entries, int preselected, QWidget* parent);

private:
    QListWidget* m_list;
    QPushButton* m_ok;
};
