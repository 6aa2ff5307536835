// The "User Info" page: the author name that new workspaces carry.
#pragma once

#include "app/Preferences.h"
#include "app/widgets/PreferencePage.h"

#include <string>

class QLineEdit;

class CUserInfo : public CPreferencePage {
    Q_OBJECT
public:
    static constexpr int kMaxAuthorChars = 60;

    explicit CUserInfo(CPreferences& preferences, QWidget* parent = nullptr);
    bool OnApply() override;

    std::string m_authorName;
    QLineEdit* AuthorEdit() const { return m_edit; }

protected:
    void DoDataExchange(CDataExchange* pDX) override;

private:
    CPreferences& m_preferences;
    QLineEdit* m_edit;
};
