#include "grid/widgets/ColumnListBox.h"

#include "platform/StringTable.h"

#include <QLabel>

#include <algorithm>

namespace {

void AddColumns(QListWidget& list, const CColumnNameSource& source, int last)
{
    for (int column = 0; column <= last; ++column)
        list.addItem(QString::fromStdString(source.GetColumnName(column)));
}

} // namespace

void CColumnListBox::FillColumns(const CColumnNameSource& source, int minimumCount)
{
    clear();
    m_nCount = minimumCount;
    AddColumns(*this, source, std::max(source.GetLastColumn(), minimumCount));
}

CColumnCheckListBox::CColumnCheckListBox(QWidget* parent) : QListWidget(parent)
{
    connect(this, &QListWidget::itemChanged, this, [this](QListWidgetItem*) { UpdateLabel(); });
}

void CColumnCheckListBox::FillColumns(const CColumnNameSource& source, int excludedColumn, int labelId,
                                      unsigned labelStringId)
{
    const QSignalBlocker blocker(this);
    clear();
    AddColumns(*this, source, std::max(source.GetLastColumn(), excludedColumn));
    m_nExcluded = excludedColumn;
    m_nLabelId = labelId;
    m_nLabelStringId = labelStringId;
    for (int i = 0; i < count(); ++i) {
        QListWidgetItem* entry = item(i);
        entry->setFlags(entry->flags() | Qt::ItemIsUserCheckable);
        entry->setCheckState(Qt::Unchecked);
        if (i == excludedColumn)
            entry->setFlags(entry->flags() & ~(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable));
    }
    UpdateLabel();
}

bool CColumnCheckListBox::IsChecked(int index) const
{
    const QListWidgetItem* entry = item(index);
    return entry && entry->checkState() == Qt::Checked;
}

void CColumnCheckListBox::SetChecked(int index, bool checked)
{
    QListWidgetItem* entry = item(index);
    // The excluded column cannot be checked.
    if (!entry || (checked && index == m_nExcluded))
        return;
    entry->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

int CColumnCheckListBox::CheckedCount() const
{
    int checked = 0;
    for (int i = 0; i < count(); ++i)
        checked += IsChecked(i) ? 1 : 0;
    return checked;
}

void CColumnCheckListBox::UpdateLabel()
{
    if (m_nLabelId < 0 || !parentWidget())
        return;
    for (QLabel* label : parentWidget()->findChildren<QLabel*>()) {
        if (label->property("controlId").toInt() != m_nLabelId)
            continue;
        std::string text = LoadString(m_nLabelStringId);
        if (std::size_t at = text.find("%d"); at != std::string::npos)
            text.replace(at, 2, std::to_string(CheckedCount()));
        label->setText(QString::fromStdString(text));
        return;
    }
}

void DDX_ColumnCheckList(bool save, CColumnCheckListBox& list, std::vector<int>& columns)
{
    if (list.count() == 0)
        return;
    if (save) {
        columns.clear();
        if (!list.isEnabled())
            return;
        for (int i = 0; i < list.count(); ++i)
            if (list.IsChecked(i))
                columns.push_back(i);
        return;
    }
    for (int i = 0; i < list.count(); ++i)
        list.SetChecked(i, false);
    for (int column : columns)
        list.SetChecked(column, true);
}
