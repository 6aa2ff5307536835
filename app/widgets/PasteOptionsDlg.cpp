#include "app/widgets/PasteOptionsDlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

CPasteOptionsDlg::CPasteOptionsDlg(QWidget* parent)
    : QDialog(parent)
    , m_operations(new QButtonGroup(this))
    , m_skip(new QCheckBox("Skip &blanks", this))
    , m_transpose(new QCheckBox("&Transpose", this))
{
    setWindowTitle("Paste Options");
    auto* group = new QGroupBox("Operation", this);
    auto* groupLayout = new QVBoxLayout(group);
    const char* texts[] = {"&None", "&Add", "&Subtract", "&Multiply", "&Divide"};
    for (int i = 0; i < 5; ++i) {
        auto* radio = new QRadioButton(texts[i], group);
        m_operations->addButton(radio, i);
        groupLayout->addWidget(radio);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CPasteOptionsDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CPasteOptionsDlg::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(m_skip);
    layout->addWidget(m_transpose);
    layout->addWidget(buttons);
}

QAbstractButton* CPasteOptionsDlg::OperationButton(int operation) const { return m_operations->button(operation); }

void CPasteOptionsDlg::showEvent(QShowEvent* event)
{
    if (QAbstractButton* button = m_operations->button(m_nOperation))
        button->setChecked(true);
    m_skip->setChecked(m_bSkipBlanks != 0);
    m_transpose->setChecked(m_bTranspose != 0);
    QDialog::showEvent(event);
}

void CPasteOptionsDlg::accept()
{
    m_nOperation = m_operations->checkedId();
    m_bSkipBlanks = m_skip->isChecked() ? 1 : 0;
    m_bTranspose = m_transpose->isChecked() ? 1 : 0;
    QDialog::accept();
}
