#include "app/widgets/EquationColumnDlg.h"

#include "app/MXDoc.h"
#include "app/MXEquationBase.h"
#include "app/ResultColumnLookup.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QVBoxLayout>

CEquationColumnDlg::CEquationColumnDlg(bool constants, CDataTableItem* item, QWidget* parent)
    : QDialog(parent), m_combo(new QComboBox(this))
{
    setObjectName("EquationColumnDlg");
    setWindowTitle(constants ? "Constants Column" : "Parameters Column");
    if (CMXDoc* doc = WorkspaceOf(item))
        for (CProjectItemBase* p : doc->GetProjectItems())
            if (dynamic_cast<CMXEquationBase*>(p))
                m_combo->addItem(QString::fromStdString(p->GetName()));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    form->addRow("&Equation", m_combo);
    layout->addLayout(form);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void CEquationColumnDlg::showEvent(QShowEvent* event)
{
    // Looked up without regard to case; a name no longer in the list is emptied.
    m_combo->setCurrentIndex(m_combo->findText(QString::fromStdString(m_equation), Qt::MatchFixedString));
    if (m_combo->currentIndex() < 0)
        m_equation.clear();
    QDialog::showEvent(event);
}

void CEquationColumnDlg::accept()
{
    m_equation = m_combo->currentText().toStdString();
    QDialog::accept();
}
