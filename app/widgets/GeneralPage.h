// The "General" page of File/Properties: name, type, folder, size, times and
// attributes of the workspace file.
#pragma once

#include "app/FileGeneralInfo.h"
#include "app/widgets/PreferencePage.h"
#include "platform/Types.h"

class CProjectDocBase;
class QCheckBox;
class QLabel;

class CGeneralPage : public CPreferencePage {
    Q_OBJECT
public:
    CGeneralPage(CProjectDocBase& document, UINT resourceId, const std::string& fileType, QWidget* parent = nullptr);

    // Reads the file (an untitled workspace shows only its icon).
    void OnInitDialog() override;

    const CFileGeneralInfo& Info() const { return m_info; }
    QLabel* Field(int controlId) const;
    QLabel* OwnerField() const { return m_owner; }
    QLabel* PermissionsField() const { return m_permissions; }
    QCheckBox* Switch(int controlId) const;

private:
    void Show();

    CProjectDocBase& m_document;
    UINT m_resourceId;
    CFileGeneralInfo m_info;
    QLabel* m_icon;
    QLabel* m_fields[8];
    QCheckBox* m_switches[4];
    // The file's Linux facts in place of the attributes of other systems.
    QLabel* m_owner;
    QLabel* m_permissions;
};
