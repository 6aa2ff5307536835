#include "app/widgets/ColumnWidthDlg.h"

#include "platform/Reporter.h"
#include "platform/StringIds.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include <charconv>
#include <cmath>
#include <string>

namespace {
// Sizes are kept in thousandths of an inch; points are 1/72 inch.
constexpr int kMinimum = 70, kMaximum = 10000;
std::string Points(int thousandths)
{
    char buf[32];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, std::round(thousandths * 0.72) / 10.0);
    return std::string(buf, end) + " pt";
}
} // namespace

CColumnWidthDlg::CColumnWidthDlg(bool rows, QWidget* parent)
    : QDialog(parent)
    , m_default(new QRadioButton("&Default", this))
    , m_specific(new QRadioButton("&Specific:", this))
    , m_size(new QLineEdit(this))
{
    setWindowTitle(rows ? "Row Height" : "Column Width");
    auto* line = new QHBoxLayout;
    line->addWidget(m_specific);
    line->addWidget(m_size);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CColumnWidthDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CColumnWidthDlg::reject);
    connect(m_default, &QRadioButton::toggled, this, [this](bool on) { m_size->setEnabled(!on); });
    connect(m_specific, &QRadioButton::toggled, this, [this](bool on) { m_size->setEnabled(on); });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_default);
    layout->addLayout(line);
    layout->addWidget(buttons);
}

void CColumnWidthDlg::showEvent(QShowEvent* event)
{
    (m_nChoice == 0 ? m_default : m_specific)->setChecked(true);
    m_size->setEnabled(m_nChoice != 0);
    m_size->setText(QString::fromStdString(Points(m_nSize)));
    QDialog::showEvent(event);
}

void CColumnWidthDlg::accept()
{
    const int choice = m_default->isChecked() ? 0 : 1;
    if (choice == 1) {
        std::string text = m_size->text().trimmed().toStdString();
        if (text.size() > 2 && text.compare(text.size() - 2, 2, "pt") == 0)
            text = text.substr(0, text.size() - 2);
        while (!text.empty() && text.back() == ' ')
            text.pop_back();
        double points = 0;
        auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), points);
        const int size = ec == std::errc() && end == text.data() + text.size() ? int(std::lround(points * 1000 / 72))
                                                                               : -1;
        if (size < kMinimum || size > kMaximum) {
            ReportMessage(IDS_ENTER_NUMBER_RANGE, {Points(kMinimum), Points(kMaximum)}, MB_OK | MB_ICONEXCLAMATION);
            m_size->setFocus();
            m_size->selectAll();
            return;
        }
        m_nSize = size;
    }
    m_nChoice = choice;
    QDialog::accept();
}
