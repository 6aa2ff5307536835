#include "app/widgets/SortDataDlg.h"

#include "app/MXGrid.h"
#include "app/widgets/ColumnTypeEditor.h"
#include "app/widgets/DataView.h"
#include "data/DataActionSort.h"
#include "data/SortChoice.h"
#include "platform/Reporter.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

CSortDataDlg::CSortDataDlg(CMXGrid* item, int indexColumn, QWidget* parent)
    : QDialog(parent)
    , m_nIndexColumn(indexColumn)
    , m_pItem(item)
    , m_index(new QComboBox(this))
    , m_list(new QListWidget(this))
    , m_count(new QLabel(this))
    , m_ascending(new QRadioButton("&Ascending", this))
    , m_descending(new QRadioButton("&Descending", this))
{
    setWindowTitle("Sort Data");
    const CMyData& table = item->GetTable();
    m_indexName = table.GetColumnName(std::max(indexColumn, 0));
    const int last = std::max(table.GetLastColumn(), indexColumn);
    for (int c = 0; c <= last; ++c) {
        auto* line = new QListWidgetItem(QString::fromStdString(table.GetColumnName(c)), m_list);
        const bool sortable = IsSortableColumn(table, c);
        line->setFlags(sortable && c != indexColumn ? Qt::ItemIsUserCheckable | Qt::ItemIsEnabled
                                                    : Qt::ItemIsUserCheckable);
        line->setCheckState(Qt::Unchecked);
        if (sortable)
            m_index->addItem(QString::fromStdString(table.GetColumnName(c)), c);
    }
    connect(m_list, &QListWidget::itemChanged, this, [this] { UpdateCount(); });
    auto* form = new QFormLayout;
    form->addRow("&Index column", m_index);
    auto* order = new QGroupBox("Order", this);
    auto* orderLayout = new QVBoxLayout(order);
    orderLayout->addWidget(m_ascending);
    orderLayout->addWidget(m_descending);
    m_ascending->setChecked(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CSortDataDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CSortDataDlg::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    auto* listLabel = new QLabel("&Column(s) to sort", this);
    listLabel->setBuddy(m_list); // "&" marks the key, not a character to show
    layout->addWidget(listLabel);
    layout->addWidget(m_list);
    layout->addWidget(m_count);
    layout->addWidget(order);
    layout->addWidget(buttons);
    m_index->setCurrentIndex(m_index->findData(indexColumn));
    UpdateCount();
}

void CSortDataDlg::InitFromSelection(const CDataView& view)
{
    std::vector<RECT> ranges;
    for (const CGridRange& r : view.GetGridData()->m_ranges)
        ranges.push_back(RECT{r.left, r.top, std::min(r.right, view.GetLastColumn(-1)), r.bottom});
    m_columns = SortColumnsFromSelection(m_pItem->GetTable(), ranges, 1);
    for (int c : m_columns)
        if (QListWidgetItem* line = m_list->item(c))
            line->setCheckState(Qt::Checked);
    UpdateCount();
}

void CSortDataDlg::UpdateCount()
{
    int n = 0;
    for (int i = 0; i < m_list->count(); ++i)
        n += m_list->item(i)->checkState() == Qt::Checked;
    std::string text = LoadString(IDS_COLUMNS_SELECTED);
    if (std::size_t at = text.find("%d"); at != std::string::npos)
        text.replace(at, 2, std::to_string(n));
    m_count->setText(QString::fromStdString(text));
}

void CSortDataDlg::accept()
{
    m_indexName = m_index->currentText().toStdString();
    std::vector<int> columns;
    for (int i = 0; i < m_list->count(); ++i)
        if (m_list->item(i)->checkState() == Qt::Checked)
            columns.push_back(i);
    m_nOrder = m_descending->isChecked() ? 1 : 0;
    // The index is the first column of that name.
    int index = -1;
    if (m_index->currentIndex() >= 0)
        for (int i = 0; i < m_list->count() && index < 0; ++i)
            if (m_list->item(i)->text().toStdString() == m_indexName)
                index = i;
    if (UINT message = CheckSortChoice(index, columns)) {
        ReportMessage(message, {}, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    m_nIndexColumn = index;
    m_columns = columns;
    QDialog::accept();
}

bool CSortDataDlg::RecordUndo(CDataView& view)
{
    return view.RunAction(new CDataActionSort(m_columns, m_nIndexColumn, m_nOrder ? TRUE : FALSE, m_pItem));
}
