#include "ui/widgets/DataExchange.h"

#include "platform/Reporter.h"
#include "framework/ArchiveHelpers.h"
#include "platform/StringIds.h"
#include "ui/DoubleText.h"
#include "ui/MeasurementUnit.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>

#include <charconv>

namespace {

// The framework's texts for number fields.
// The longest measurement text read from a field.
constexpr int kMaxMeasurementText = 64;

std::string Text(QLineEdit* edit) { return edit->text().toStdString(); }

void SetText(QLineEdit* edit, const std::string& text)
{
    QString t = QString::fromStdString(text);
    if (edit->text() != t)
        edit->setText(t);
}

}  // namespace

void CDataExchange::Fail()
{
    m_failed = true;
    if (m_lastControl) {
        m_lastControl->setFocus();
        if (auto* edit = qobject_cast<QLineEdit*>(m_lastControl))
            edit->selectAll();
    }
}

void DDX_Text(CDataExchange* pDX, QLineEdit* edit, std::string& value)
{
    if (pDX->Failed())
        return;
    pDX->PrepareCtrl(edit);
    if (pDX->m_bSaveAndValidate)
        value = Text(edit);
    else
        SetText(edit, value);
}

void DDV_MaxChars(CDataExchange* pDX, const std::string& value, int count)
{
    if (pDX->Failed() || !pDX->m_bSaveAndValidate)
        return;
    if (QString::fromStdString(value).size() > count) {
        ReportMessage(IDS_ENTER_MAX_CHARS, {std::to_string(count)}, MB_OK | MB_ICONEXCLAMATION);
        pDX->Fail();
    }
}

void DDX_Check(CDataExchange* pDX, QAbstractButton* box, int& value)
{
    if (pDX->Failed())
        return;
    pDX->PrepareCtrl(box);
    if (pDX->m_bSaveAndValidate)
        value = box->isChecked() ? 1 : 0;
    else
        box->setChecked(value != 0);
}

void DDX_CBIndex(CDataExchange* pDX, QComboBox* combo, int& index)
{
    if (pDX->Failed())
        return;
    pDX->PrepareCtrl(combo);
    if (pDX->m_bSaveAndValidate)
        index = combo->currentIndex();
    else
        combo->setCurrentIndex(index);
}

bool ParseInt(std::string_view text, int& value)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty())
        return false;
    int v = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || end != text.data() + text.size())
        return false;
    value = v;
    return true;
}

void DDX_Int(CDataExchange* pDX, QLineEdit* edit, int& value)
{
    if (pDX->Failed())
        return;
    pDX->PrepareCtrl(edit);
    if (!pDX->m_bSaveAndValidate) {
        SetText(edit, std::to_string(value));
        return;
    }
    if (!ParseInt(Text(edit), value)) {
        ReportMessage(IDS_ENTER_INTEGER, {}, MB_OK | MB_ICONEXCLAMATION);
        pDX->Fail();
    }
}

void DDV_MinMaxInt(CDataExchange* pDX, int value, int minimum, int maximum)
{
    if (pDX->Failed() || !pDX->m_bSaveAndValidate)
        return;
    if (value < minimum || value > maximum) {
        ReportMessage(IDS_ENTER_INTEGER_RANGE, {std::to_string(minimum), std::to_string(maximum)},
                      MB_OK | MB_ICONEXCLAMATION);
        pDX->Fail();
    }
}

void DDX_Double(CDataExchange* pDX, QLineEdit* edit, double& value)
{
    if (pDX->Failed())
        return;
    pDX->PrepareCtrl(edit);
    if (!pDX->m_bSaveAndValidate) {
        SetText(edit, FormatDoubleOrBlank(value));
        return;
    }
    double v = 0.0;
    const std::string text = Text(edit);
    if (text.find_first_not_of(" \t") == std::string::npos || !ParseDoubleOrBlank(text, v)) {
        ReportMessage(IDS_ENTER_NUMBER, {}, MB_OK | MB_ICONEXCLAMATION);
        pDX->Fail();
        return;
    }
    value = v;
}

void DDX_Measurement(const MeasurementUnit& unit, CDataExchange* pDX, QLineEdit* edit, int& value)
{
    if (pDX->Failed())
        return;
    pDX->PrepareCtrl(edit);
    if (!pDX->m_bSaveAndValidate) {
        SetText(edit, unit.Format(value));
        return;
    }
    if (!edit->isEnabled())
        return;
    int v = 0;
    if (!unit.Parse(Text(edit).substr(0, kMaxMeasurementText), v)) {
        ReportMessage(IDS_ILLEGAL_MEASUREMENT, {}, MB_OK | MB_ICONEXCLAMATION);
        pDX->Fail();
        return;
    }
    value = v;
}

void DDV_Measurement(const MeasurementUnit& unit, CDataExchange* pDX, int value, int minimum, int maximum)
{
    if (pDX->Failed() || !pDX->m_bSaveAndValidate)
        return;
    if (value < minimum || value > maximum) {
        ReportMessage(IDS_MEASUREMENT_RANGE, {unit.Format(minimum), unit.Format(maximum)}, MB_OK | MB_ICONEXCLAMATION);
        pDX->Fail();
    }
}

void DDX_MeasurementLenient(const MeasurementUnit& unit, CDataExchange* pDX, QLineEdit* edit, int& value)
{
    if (pDX->Failed())
        return;
    pDX->PrepareCtrl(edit);
    if (pDX->m_bSaveAndValidate) {
        if (!edit->isEnabled())
            return;
        int v = 0;
        if (unit.Parse(Text(edit).substr(0, kMaxMeasurementText), v))
            value = v;
    }
    // Either way the field shows the value held, in normal form.
    SetText(edit, unit.Format(value));
}

void DDV_MeasurementClamp(const MeasurementUnit& unit, CDataExchange* pDX, QLineEdit* edit, int& value,
                          int minimum, int maximum)
{
    if (pDX->Failed() || !pDX->m_bSaveAndValidate)
        return;
    int bounded = value < minimum ? minimum : value > maximum ? maximum : value;
    if (bounded != value) {
        value = bounded;
        SetText(edit, unit.Format(value));
    }
}
