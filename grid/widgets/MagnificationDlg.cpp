#include "grid/widgets/MagnificationDlg.h"

#include "platform/Reporter.h"
#include "platform/StringIds.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QVBoxLayout>

#include <charconv>
#include <string>

bool ParsePercent(const QString& text, int& percent)
{
    std::string s = text.trimmed().toStdString();
    if (!s.empty() && s.back() == '%')
        s.pop_back();
    while (!s.empty() && s.back() == ' ')
        s.pop_back();
    if (s.empty())
        return false;
    int value = 0;
    const char* end = s.data() + s.size();
    auto [ptr, ec] = std::from_chars(s.data(), end, value);
    if (ec != std::errc() || ptr != end)
        return false;
    percent = value;
    return true;
}

CMagnificationDlg::CMagnificationDlg(QWidget* parent, int templateId) : QDialog(parent)
{
    setWindowTitle(templateId == kGraphTemplate ? QStringLiteral("Graph Magnification")
                                                : QStringLiteral("Grid Magnification"));
    m_pCombo = new QComboBox(this);
    m_pCombo->setEditable(true);
    m_pCombo->setProperty("controlId", 1208);
    for (const char* item : {"25%", "50%", "75%", "100%", "150%", "200%", "400%"})
        m_pCombo->addItem(QString::fromLatin1(item));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CMagnificationDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CMagnificationDlg::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pCombo);
    layout->addWidget(buttons);
}

bool CMagnificationDlg::DoDataExchange(bool save)
{
    if (!save) {
        m_pCombo->setEditText(QString::number(m_nPercent) + QLatin1Char('%'));
        return true;
    }
    int value = 0;
    if (!ParsePercent(m_pCombo->currentText(), value)) {
        ReportMessage(IDS_INVALID_PERCENT);
        m_pCombo->setFocus();
        return false;
    }
    if (value < kMinPercent || value > kMaxPercent) {
        ReportMessage(IDS_PERCENT_RANGE, {std::to_string(kMinPercent), std::to_string(kMaxPercent)});
        m_pCombo->setFocus();
        return false;
    }
    m_nPercent = value;
    return true;
}

int CMagnificationDlg::exec()
{
    DoDataExchange(false);
    return QDialog::exec();
}

void CMagnificationDlg::accept()
{
    if (DoDataExchange(true))
        QDialog::accept();
}
