#include "app/widgets/NumberFormatPage.h"

#include "app/MXGrid.h"
#include "app/widgets/DataView.h"
#include "data/DataActionColFormat.h"
#include "platform/Reporter.h"
#include "platform/StringIds.h"
#include "framework/widgets/HelpPropertySheet.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// An empty field stands for an unset count.
bool ReadOptional(QLineEdit* edit, int& value, int minimum, int maximum)
{
    const QString text = edit->text().trimmed();
    if (text.isEmpty()) {
        value = CDataFormat::kUnsetCount;
        return true;
    }
    bool ok = false;
    const int v = text.toInt(&ok);
    if (!ok || v < minimum || v > maximum) {
        ReportMessage(IDS_ENTER_INTEGER_RANGE, {std::to_string(minimum), std::to_string(maximum)},
                      MB_OK | MB_ICONEXCLAMATION);
        edit->setFocus();
        edit->selectAll();
        return false;
    }
    value = v;
    return true;
}

void ShowFlag(QCheckBox* box, int value)
{
    box->setTristate(value == CDataFormat::kUnsetFlag);
    box->setCheckState(value == CDataFormat::kUnsetFlag ? Qt::PartiallyChecked : value ? Qt::Checked : Qt::Unchecked);
}

int FlagOf(const QCheckBox* box)
{
    switch (box->checkState()) {
    case Qt::PartiallyChecked: return CDataFormat::kUnsetFlag;
    case Qt::Checked: return 1;
    default: return 0;
    }
}
} // namespace

CNumberFormatPage::CNumberFormatPage(QWidget* parent)
    : QWidget(parent)
    , m_decimals(new QLineEdit(this))
    , m_maxDigits(new QLineEdit(this))
    , m_thousands(new QCheckBox("&Thousands separator", this))
    , m_scientific(new QCheckBox("&Scientific format", this))
    , m_small(new QCheckBox("Use scientific format for small &values", this))
    , m_zeros(new QComboBox(this))
    , m_save(new QPushButton("Save &As Defaults", this))
    , m_restore(new QPushButton("&Restore Defaults", this))
{
    setWindowTitle("Number Format");
    m_zeros->addItems({"Show 0's", "Omit 0's", "Replace with spaces"});
    auto* form = new QFormLayout;
    form->addRow("&Decimal places:", m_decimals);
    form->addRow("&Max digits:", m_maxDigits);
    form->addRow(m_thousands);
    form->addRow(m_scientific);
    form->addRow(m_small);
    form->addRow("Trailing &zeros in fraction", m_zeros);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_save);
    buttons->addWidget(m_restore);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    auto changed = [this] { m_bModified = true; };
    connect(m_decimals, &QLineEdit::textEdited, this, changed);
    connect(m_maxDigits, &QLineEdit::textEdited, this, changed);
    connect(m_thousands, &QCheckBox::clicked, this, changed);
    connect(m_small, &QCheckBox::clicked, this, changed);
    connect(m_zeros, qOverload<int>(&QComboBox::activated), this, changed);
    connect(m_scientific, &QCheckBox::clicked, this, [this] {
        UpdateEnabling();
        m_bModified = true;
    });
    connect(m_save, &QPushButton::clicked, this, [this] {
        if (UpdateData(true))
            m_format.SaveDefaults();
    });
    connect(m_restore, &QPushButton::clicked, this, [this] {
        m_format.LoadDefaults();
        UpdateData(false);
        m_bModified = true;
    });
    UpdateData(false);
}

void CNumberFormatPage::SetItem(CDataView* view)
{
    m_pView = view;
    CMXGrid* item = view ? view->GetFrameItem() : nullptr;
    if (!item)
        return;
    const CMyData& table = item->GetTable();
    std::vector<int> columns;
    const int kind = view->GetSelectionKind();
    const int last = table.GetLastColumn();
    if (kind == 7 || kind == 8 || kind == 9 || kind == 11 || kind == 19 || kind == 20 || kind == 21 || kind == 27 ||
        kind == 28 || kind == 29) {
        for (int c = 0; c <= last; ++c)
            columns.push_back(c);
    } else {
        for (const CGridRange& r : view->GetGridData()->m_ranges)
            for (int c = std::max(r.left - 1, 0); c <= std::min(r.right - 1, std::max(last, r.left - 1)); ++c)
                columns.push_back(c);
    }
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (i == 0)
            m_format.Merge(table.GetColumnFormat(columns[i]));
        else
            m_format.Intersect(table.GetColumnFormat(columns[i]));
    }
    UpdateData(false);
}

void CNumberFormatPage::UpdateEnabling() { m_small->setEnabled(m_scientific->checkState() != Qt::Checked); }

bool CNumberFormatPage::UpdateData(bool save)
{
    if (!save) {
        m_decimals->setText(m_format.m_decimals < 0 ? QString() : QString::number(m_format.m_decimals));
        m_maxDigits->setText(m_format.m_maxDigits < 0 ? QString() : QString::number(m_format.m_maxDigits));
        ShowFlag(m_thousands, m_format.m_thousands);
        ShowFlag(m_scientific, m_format.m_scientific);
        ShowFlag(m_small, m_format.m_scientificForSmall);
        m_zeros->setCurrentIndex(m_format.m_trailingZeros >= 0 && m_format.m_trailingZeros <= 2 ? m_format.m_trailingZeros
                                                                                               : -1);
        UpdateEnabling();
        return true;
    }
    int decimals = 0, maxDigits = 0;
    if (!ReadOptional(m_decimals, decimals, 0, 15))
        return false;
    if (!ReadOptional(m_maxDigits, maxDigits, std::max(decimals + 1, 7), 30))
        return false;
    m_format.m_decimals = decimals;
    m_format.m_maxDigits = maxDigits;
    m_format.m_thousands = FlagOf(m_thousands);
    m_format.m_scientific = FlagOf(m_scientific);
    m_format.m_scientificForSmall = FlagOf(m_small);
    m_format.m_trailingZeros = m_zeros->currentIndex() >= 0 ? m_zeros->currentIndex() : CDataFormat::kUnsetCount;
    return true;
}

bool CNumberFormatPage::OnApply()
{
    if (!m_pView || !UpdateData(true))
        return false;
    m_bModified = false;
    return m_pView->RunAction(new CDataActionColFormat(m_format, m_pView->GetFrameItem()));
}

int CNumberFormatPage::RunColumnFormat(CDataView* view)
{
    CHelpPropertySheet sheet(IDS_COLUMN_FORMAT, view);
    auto* page = new CNumberFormatPage;
    page->SetItem(view);
    sheet.AddPage(page);
    QObject::connect(&sheet, &CHelpPropertySheet::applied, page, [page, &sheet] {
        if (page->IsModified() && page->OnApply())
            if (QPushButton* cancel = sheet.GetButtons()->button(QDialogButtonBox::Cancel))
                cancel->setText("Close");
    });
    return sheet.exec();
}
