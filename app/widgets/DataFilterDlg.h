// The "Data Filters" page: the list of installed data-filter libraries, in
// the order the program tries them.
#pragma once

#include "app/Preferences.h"
#include "app/widgets/PreferencePage.h"

#include <string>
#include <vector>

class QLineEdit;
class QListWidget;
class QPushButton;

class CDataFilterDlg : public CPreferencePage {
    Q_OBJECT
public:
    explicit CDataFilterDlg(CPreferences& preferences, QWidget* parent = nullptr);

    void OnInitDialog() override;
    bool OnApply() override;

    // Installs a filter library after checking it; false (with a message)
    // when it is no filter or is listed already.
    bool AddFilter(const std::string& path);
    void RemoveSelected();
    void MoveSelected(int delta);
    void OnAdd();

    // Loads the library and lets it register; the message id that refuses it, or 0.
    static unsigned TestFilterLibrary(const std::string& path);

    std::vector<std::string> m_paths;
    QListWidget* List() const { return m_list; }
    QLineEdit* LocationEdit() const { return m_location; }
    QPushButton* RemoveButton() const { return m_remove; }
    QPushButton* UpButton() const { return m_up; }
    QPushButton* DownButton() const { return m_down; }

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    virtual bool ChooseFilterFile(std::string& path);

private:
    void AddEntry(const std::string& path);
    void OnSelectionChanged();

    CPreferences& m_preferences;
    QListWidget* m_list;
    QLineEdit* m_location;
    QPushButton* m_add;
    QPushButton* m_remove;
    QPushButton* m_up;
    QPushButton* m_down;
};
