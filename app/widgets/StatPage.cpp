#include "app/widgets/StatPage.h"

#include "ui/widgets/DataExchange.h"

#include <QFormLayout>
#include <QLabel>

namespace {
constexpr int kIds[5] = {1108, 1107, 1106, 1105, 1104};
constexpr const char* kLabels[5] = {"Last saved by:", "Revision number:", "Total editing time:", "Created:",
                                    "Last saved:"};
}  // namespace

CStatPage::CStatPage(QWidget* parent) : CPreferencePage(tr("Statistics"), parent)
{
    auto* form = new QFormLayout(this);
    for (int i = 0; i < 5; ++i) {
        m_fields[i] = new QLabel(this);
        m_fields[i]->setObjectName(QString::number(kIds[i]));
        m_fields[i]->setTextInteractionFlags(Qt::TextSelectableByMouse);
        form->addRow(tr(kLabels[i]), m_fields[i]);
    }
}

QLabel* CStatPage::Field(int controlId) const
{
    for (int i = 0; i < 5; ++i)
        if (kIds[i] == controlId)
            return m_fields[i];
    return nullptr;
}

void CStatPage::DoDataExchange(CDataExchange* pDX)
{
    // Shown only: nothing is read back.
    if (pDX->m_bSaveAndValidate)
        return;
    const std::string* texts[5] = {&m_savedBy, &m_revision, &m_editTime, &m_created, &m_saved};
    for (int i = 0; i < 5; ++i)
        m_fields[i]->setText(QString::fromStdString(*texts[i]));
}
