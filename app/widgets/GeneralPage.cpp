#include "app/widgets/GeneralPage.h"

#include "framework/ProjectDocBase.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QFormLayout>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>

namespace {

// Control ids of the texts and switches, in the page's order.
constexpr int kFieldIds[8] = {1109, 1110, 1111, 1112, 1118, 1119, 1120, 1113};
constexpr const char* kFieldLabels[8] = {"", "Type:", "Location:", "Size:", "MS-DOS name:", "Created:", "Modified:",
                                         "Accessed:"};
constexpr int kSwitchIds[4] = {1114, 1115, 1116, 1117};
constexpr const char* kSwitchLabels[4] = {"&Read Only", "H&idden", "Ar&chive", "S&ystem"};

}  // namespace

CGeneralPage::CGeneralPage(CProjectDocBase& document, UINT resourceId, const std::string& fileType, QWidget* parent)
    : CPreferencePage(tr("General"), parent), m_document(document), m_resourceId(resourceId)
{
    m_info.fileName = document.GetTitle();
    m_info.typeName = fileType;
    auto* form = new QFormLayout(this);
    auto* top = new QHBoxLayout;
    m_icon = new QLabel(this);
    m_icon->setObjectName("1266");
    m_icon->setPixmap(QApplication::windowIcon().isNull()
                          ? style()->standardIcon(QStyle::SP_FileIcon).pixmap(32, 32)
                          : QApplication::windowIcon().pixmap(32, 32));
    for (int i = 0; i < 8; ++i) {
        m_fields[i] = new QLabel(this);
        m_fields[i]->setObjectName(QString::number(kFieldIds[i]));
        m_fields[i]->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }
    top->addWidget(m_icon);
    top->addWidget(m_fields[0], 1);
    form->addRow(top);
    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    form->addRow(line);
    for (int i = 1; i < 8; ++i) {
        // Short names do not exist here: their row is not shown.
        if (kFieldIds[i] == 1118)
            m_fields[i]->hide();
        else
            form->addRow(tr(kFieldLabels[i]), m_fields[i]);
    }
    // The attribute switches of other systems are kept, unseen, for what
    // reads them; the page shows the owner and the permissions instead.
    for (int i = 0; i < 4; ++i) {
        m_switches[i] = new QCheckBox(tr(kSwitchLabels[i]), this);
        m_switches[i]->setObjectName(QString::number(kSwitchIds[i]));
        m_switches[i]->setAttribute(Qt::WA_TransparentForMouseEvents);
        m_switches[i]->setFocusPolicy(Qt::NoFocus);
        m_switches[i]->hide();
    }
    m_owner = new QLabel(this);
    m_owner->setObjectName("Owner");
    m_permissions = new QLabel(this);
    m_permissions->setObjectName("Permissions");
    form->addRow(tr("Owner:"), m_owner);
    form->addRow(tr("Permissions:"), m_permissions);
    Show();
}

QLabel* CGeneralPage::Field(int controlId) const
{
    for (int i = 0; i < 8; ++i)
        if (kFieldIds[i] == controlId)
            return m_fields[i];
    return nullptr;
}

QCheckBox* CGeneralPage::Switch(int controlId) const
{
    for (int i = 0; i < 4; ++i)
        if (kSwitchIds[i] == controlId)
            return m_switches[i];
    return nullptr;
}

void CGeneralPage::OnInitDialog()
{
    const std::string& path = m_document.GetPathName();
    if (!path.empty()) {
        CFileGeneralInfo info;
        info.Read(path);
        // The workspace type's own name, not what the desktop guesses from
        // the extension (it calls *.mxf a video).
        if (!m_info.typeName.empty())
            info.typeName = m_info.typeName;
        m_info = info;
        m_icon->setPixmap(QFileIconProvider().icon(QFileInfo(QString::fromStdString(path))).pixmap(32, 32));
    }
    Show();
}

void CGeneralPage::Show()
{
    const std::string* texts[8] = {&m_info.fileName, &m_info.typeName, &m_info.location, &m_info.size,
                                   &m_info.dosName,  &m_info.created,  &m_info.modified, &m_info.accessed};
    for (int i = 0; i < 8; ++i)
        m_fields[i]->setText(QString::fromStdString(*texts[i]));
    m_fields[2]->setToolTip(QString::fromStdString(m_info.folderPath));
    const bool switches[4] = {m_info.readOnly, m_info.hidden, m_info.archive, m_info.system};
    for (int i = 0; i < 4; ++i)
        m_switches[i]->setChecked(switches[i]);
    m_owner->setText(QString::fromStdString(m_info.owner));
    m_permissions->setText(QString::fromStdString(m_info.permissions));
}
