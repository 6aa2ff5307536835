// The "Statistics" page of File/Properties: stored facts about the workspace.
#pragma once

#include "app/widgets/PreferencePage.h"

#include <string>

class QLabel;

class CStatPage : public CPreferencePage {
    Q_OBJECT
public:
    explicit CStatPage(QWidget* parent = nullptr);

    std::string m_savedBy, m_revision, m_editTime, m_created, m_saved;

    QLabel* Field(int controlId) const;

protected:
    void DoDataExchange(CDataExchange* pDX) override;

private:
    QLabel* m_fields[5];
};
