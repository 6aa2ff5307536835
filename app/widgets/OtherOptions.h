// The "Options" page: toolbar button size.
#pragma once

#include "app/Preferences.h"
#include "app/widgets/PreferencePage.h"

class QCheckBox;

class COtherOptions : public CPreferencePage {
    Q_OBJECT
public:
    explicit COtherOptions(CPreferences& preferences, QWidget* parent = nullptr);
    bool OnApply() override;

    int m_largeIcons;
    QCheckBox* LargeIconsBox() const { return m_box; }

protected:
    void DoDataExchange(CDataExchange* pDX) override;

private:
    CPreferences& m_preferences;
    QCheckBox* m_box;
};
