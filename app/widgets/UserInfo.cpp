#include "app/widgets/UserInfo.h"

#include "app/widgets/OptionsSheet.h"
#include "ui/widgets/DataExchange.h"

#include <QFormLayout>
#include <QLineEdit>

CUserInfo::CUserInfo(CPreferences& preferences, QWidget* parent)
    : CPreferencePage(tr("User Info"), parent), m_authorName(preferences.m_authorName), m_preferences(preferences)
{
    auto* form = new QFormLayout(this);
    m_edit = new QLineEdit(this);
    form->addRow(tr("&Name:"), m_edit);
    connect(m_edit, &QLineEdit::textEdited, this, [this] { SetModified(); });
}

void CUserInfo::DoDataExchange(CDataExchange* pDX)
{
    DDX_Text(pDX, m_edit, m_authorName);
    DDV_MaxChars(pDX, m_authorName, kMaxAuthorChars);
}

bool CUserInfo::OnApply()
{
    m_preferences.m_authorName = m_authorName;
    if (Sheet())
        Sheet()->SetCancelToClose();
    return CPreferencePage::OnApply();
}
