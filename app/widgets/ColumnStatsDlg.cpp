#include "app/widgets/ColumnStatsDlg.h"

#include "app/widgets/ColumnTypeEditor.h"
#include "data/DataTableItem.h"
#include "data/MyData.h"
#include "platform/Reporter.h"
#include "platform/StringIds.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

#include <algorithm>

CColumnStatsDlg::CColumnStatsDlg(CDataTableItem* item, int column, QWidget* parent)
    : QDialog(parent), m_column(column), m_sources(new QListWidget(this))
{
    setObjectName("ColumnStatsDlg");
    setWindowTitle("Column Summary Statistics");
    if (item) {
        const CMyData& table = item->GetTable();
        for (int c = 0; c <= std::max(table.GetLastColumn(), column); ++c)
            m_sources->addItem(QString::fromStdString(ColumnListText(table, c)));
    }
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel("&Source data column", this);
    label->setBuddy(m_sources);
    layout->addWidget(label);
    layout->addWidget(m_sources);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void CColumnStatsDlg::showEvent(QShowEvent* event)
{
    m_sources->setCurrentRow(m_source < m_sources->count() ? m_source : -1);
    QDialog::showEvent(event);
}

void CColumnStatsDlg::accept()
{
    const int source = m_sources->currentRow();
    if (source < 0 || source == m_column) {
        ReportMessage(source < 0 ? IDS_NO_SOURCE : IDS_CURRENT_COLUMN, {}, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    m_source = source;
    QDialog::accept();
}
