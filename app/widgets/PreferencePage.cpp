#include "app/widgets/PreferencePage.h"

#include "ui/widgets/DataExchange.h"

CPreferencePage::CPreferencePage(const QString& title, QWidget* parent) : QWidget(parent), m_title(title) {}

bool CPreferencePage::UpdateData(bool saveAndValidate)
{
    CDataExchange dx(this, saveAndValidate);
    DoDataExchange(&dx);
    return !dx.Failed();
}

void CPreferencePage::SetModified(bool modified)
{
    if (m_modified == modified)
        return;
    m_modified = modified;
    emit modifiedChanged(modified);
}

void CPreferencePage::EnsureInitialised()
{
    if (m_initialised)
        return;
    m_initialised = true;
    OnInitDialog();
}
