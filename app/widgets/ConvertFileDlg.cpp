#include "app/widgets/ConvertFileDlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

CConvertFileDlg::CConvertFileDlg(const std::vector<std::string>& entries, int preselected, QWidget* parent)
    : QDialog(parent)
    , m_list(new QListWidget(this))
{
    setWindowTitle("Convert File");
    auto* text = new QLabel("Your selected file is not a recognized data type. If you wish to try and read it "
                            "anyway, choose the file type that is most appropriate from the list.",
                            this);
    text->setWordWrap(true);
    auto* label = new QLabel("&Treat the same as:", this);
    label->setBuddy(m_list);
    for (const std::string& e : entries)
        m_list->addItem(QString::fromStdString(e));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_list, &QListWidget::currentRowChanged, this, [this](int row) { m_ok->setEnabled(row >= 0); });
    connect(m_list, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    m_list->setCurrentRow(preselected >= 0 && preselected < m_list->count() ? preselected : -1);
    m_ok->setEnabled(m_list->currentRow() >= 0);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(label);
    layout->addWidget(m_list);
    layout->addWidget(buttons);
}

int CConvertFileDlg::GetChoice() const { return m_list->currentRow(); }

int CConvertFileDlg::Choose(const std::vector<std::string>& entries, int preselected, QWidget* parent)
{
    CConvertFileDlg dialog(entries, preselected, parent);
    return dialog.exec() == QDialog::Accepted ? dialog.GetChoice() : -1;
}
