// The "Directories" page: the template, item store, data and DLL-equation
// folders, each typed or chosen with a folder browser.
#pragma once

#include "app/Preferences.h"
#include "app/widgets/PreferencePage.h"

#include <string>

class QLineEdit;
class QToolButton;

class CDirectoryPage : public CPreferencePage {
    Q_OBJECT
public:
    // The page's fields in its row order.
    enum Field { GroupTemplate, UserTemplate, GroupItem, UserItem, Data, UserDllEquation, GroupDllEquation, FieldCount };

    explicit CDirectoryPage(CPreferences& preferences, QWidget* parent = nullptr);

    void OnInitDialog() override;
    bool OnApply() override;

    std::string m_fields[FieldCount];
    QLineEdit* Edit(Field field) const { return m_edits[field]; }
    QToolButton* BrowseButton(Field field) const { return m_browse[field]; }
    // The browse button's action.
    void Browse(Field field);

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    // Asks for a folder starting at path; false when cancelled.
    virtual bool BrowseForFolder(const QString& title, std::string& path);

private:
    CPreferences& m_preferences;
    QLineEdit* m_edits[FieldCount];
    QToolButton* m_browse[FieldCount];
};
