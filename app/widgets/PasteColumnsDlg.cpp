#include "app/widgets/PasteColumnsDlg.h"

#include <QDialogButtonBox>
#include <QEvent>
#include <QRadioButton>
#include <QVBoxLayout>

CPasteColumnsDlg::CPasteColumnsDlg(bool rows, QWidget* parent)
    : QDialog(parent)
    , m_insert(new QRadioButton(rows ? "&Insert data as new rows" : "&Insert data as new columns", this))
    , m_overwrite(new QRadioButton(rows ? "&Overwrite selected rows" : "&Overwrite selected columns", this))
{
    setWindowTitle(rows ? "Paste Rows" : "Paste Columns");
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CPasteColumnsDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CPasteColumnsDlg::reject);
    // A double-click on a choice is OK.
    m_insert->installEventFilter(this);
    m_overwrite->installEventFilter(this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_insert);
    layout->addWidget(m_overwrite);
    layout->addWidget(buttons);
}

bool CPasteColumnsDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonDblClick && (watched == m_insert || watched == m_overwrite)) {
        static_cast<QRadioButton*>(watched)->setChecked(true);
        accept();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void CPasteColumnsDlg::showEvent(QShowEvent* event)
{
    m_overwrite->setEnabled(m_bOverwriteAllowed != 0);
    (m_nChoice == 1 && m_bOverwriteAllowed ? m_overwrite : m_insert)->setChecked(true);
    QDialog::showEvent(event);
}

void CPasteColumnsDlg::accept()
{
    m_nChoice = m_overwrite->isChecked() && m_overwrite->isEnabled() ? 1 : 0;
    QDialog::accept();
}
