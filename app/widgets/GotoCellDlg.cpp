#include "app/widgets/GotoCellDlg.h"

#include "platform/Reporter.h"
#include "platform/StringIds.h"
#include "ui/widgets/DataExchange.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include <charconv>
#include <string>

void DDX_IntRange(CDataExchange* pDX, QLineEdit* edit, int& value, int minimum, int maximum)
{
    if (pDX->Failed())
        return;
    pDX->PrepareCtrl(edit);
    if (!pDX->m_bSaveAndValidate) {
        edit->setText(QString::number(value));
        return;
    }
    std::string text = edit->text().trimmed().toStdString();
    long long parsed = 0;
    const char* begin = text.data();
    if (!text.empty() && text[0] == '+')
        ++begin;
    auto [end, ec] = std::from_chars(begin, text.data() + text.size(), parsed);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) {
        ReportMessage(IDS_ENTER_INTEGER_RANGE, {std::to_string(minimum), std::to_string(maximum)},
                      MB_OK | MB_ICONEXCLAMATION);
        pDX->Fail();
        return;
    }
    if (parsed < minimum || parsed > maximum) {
        ReportMessage(IDS_ENTER_INTEGER_RANGE, {std::to_string(minimum), std::to_string(maximum)},
                      MB_OK | MB_ICONEXCLAMATION);
        pDX->Fail();
        return;
    }
    value = int(parsed);
}

CGotoCellDlg::CGotoCellDlg(QWidget* parent)
    : QDialog(parent)
    , m_row(new QLineEdit(this))
    , m_column(new QLineEdit(this))
{
    setWindowTitle("Go to Cell");
    m_row->setObjectName("Row");
    m_column->setObjectName("Column");
    auto* form = new QFormLayout;
    form->addRow("&Row:", m_row);
    form->addRow("&Column:", m_column);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CGotoCellDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CGotoCellDlg::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

void CGotoCellDlg::showEvent(QShowEvent* event)
{
    UpdateData(false);
    QDialog::showEvent(event);
}

bool CGotoCellDlg::UpdateData(bool save)
{
    CDataExchange dx(this, save);
    int column = m_nColumn, row = m_nRow;
    DDX_IntRange(&dx, m_column, column, 1, m_nMaxColumn);
    DDX_IntRange(&dx, m_row, row, -1, m_nMaxRow);
    if (dx.Failed())
        return false;
    if (save) {
        m_nColumn = column;
        m_nRow = row;
    }
    return true;
}

void CGotoCellDlg::accept()
{
    if (UpdateData(true))
        QDialog::accept();
}
