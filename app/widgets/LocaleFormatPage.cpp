#include "app/widgets/LocaleFormatPage.h"

#include "app/widgets/OptionsSheet.h"
#include "data/LocaleChars.h"
#include "framework/ProjectDocBase.h"
#include "framework/Profile.h"
#include "platform/Reporter.h"
#include "platform/StringIds.h"
#include "ui/MeasurementUnit.h"
#include "ui/widgets/DataExchange.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>

namespace {

constexpr const char* kSection = "Preferences";

bool IsMetricUnit(int unit) { return unit == MeasurementUnit::Centimeters || unit == MeasurementUnit::Millimeters; }

// One edit of one character.
QLineEdit* CharEdit(QWidget* parent, int id)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::number(id));
    edit->setMaxLength(1);
    edit->setMaximumWidth(48);
    return edit;
}

void ExchangeChar(CDataExchange* pDX, QLineEdit* edit, std::string& value)
{
    DDX_Text(pDX, edit, value);
    if (!pDX->Failed() && pDX->m_bSaveAndValidate && value.empty()) {
        ReportMessage(IDS_ENTER_CHARACTER, {}, MB_OK | MB_ICONEXCLAMATION);
        pDX->Fail();
    }
}

}  // namespace

CLocaleFormatPage::CLocaleFormatPage(CProjectDocBase* document, QWidget* parent)
    : CPreferencePage(tr("Number Format"), parent),
      m_decimal(GetDecimalChar()),
      m_listSeparator(GetListSeparator()),
      m_groupSeparator(GetDigitGroupSeparator()),
      m_negative(GetNegativeSymbol()),
      m_digitsInGroup(GetDigitsInGroup() < 0 ? 0 : GetDigitsInGroup() > 9 ? 9 : GetDigitsInGroup()),
      m_measurement(IsMetricUnit(MeasurementUnit::Preference().GetUnit()) ? Metric : US),
      m_document(document),
      m_shownMeasurement(m_measurement)
{
    auto* form = new QFormLayout(this);
    m_decimalEdit = CharEdit(this, 1044);
    m_groupEdit = CharEdit(this, 1140);
    m_negativeEdit = CharEdit(this, 1139);
    m_listEdit = CharEdit(this, 1046);
    m_digits = new QComboBox(this);
    m_digits->setObjectName("1138");
    for (int i = 0; i <= 9; ++i)
        m_digits->addItem(QString::number(i));
    m_measure = new QComboBox(this);
    m_measure->setObjectName("1555");
    m_measure->addItems({tr("Metric"), tr("U.S.")});
    form->addRow(tr("&Decimal symbol:"), m_decimalEdit);
    form->addRow(tr("Digit &grouping symbol:"), m_groupEdit);
    form->addRow(tr("&No. of digits in group:"), m_digits);
    form->addRow(tr("N&egative sign symbol:"), m_negativeEdit);
    form->addRow(tr("&List separator:"), m_listEdit);
    form->addRow(tr("&Measurement system:"), m_measure);
    auto* buttons = new QHBoxLayout;
    auto* restore = new QPushButton(tr("&Restore Windows Defaults"), this);
    auto* save = new QPushButton(tr("Save &as Marlox Defaults"), this);
    buttons->addWidget(restore);
    buttons->addWidget(save);
    form->addRow(buttons);
    connect(restore, &QPushButton::clicked, this, &CLocaleFormatPage::OnRestoreDefaults);
    connect(save, &QPushButton::clicked, this, &CLocaleFormatPage::OnSaveDefaults);
    for (QLineEdit* e : {m_decimalEdit, m_groupEdit, m_negativeEdit, m_listEdit})
        connect(e, &QLineEdit::textEdited, this, [this] { SetModified(); });
    for (QComboBox* c : {m_digits, m_measure})
        connect(c, &QComboBox::activated, this, [this] { SetModified(); });
}

QLineEdit* CLocaleFormatPage::Edit(int controlId) const
{
    switch (controlId) {
    case 1044: return m_decimalEdit;
    case 1140: return m_groupEdit;
    case 1139: return m_negativeEdit;
    case 1046: return m_listEdit;
    default: return nullptr;
    }
}

void CLocaleFormatPage::DoDataExchange(CDataExchange* pDX)
{
    ExchangeChar(pDX, m_decimalEdit, m_decimal);
    ExchangeChar(pDX, m_groupEdit, m_groupSeparator);
    DDX_CBIndex(pDX, m_digits, m_digitsInGroup);
    ExchangeChar(pDX, m_negativeEdit, m_negative);
    ExchangeChar(pDX, m_listEdit, m_listSeparator);
    DDX_CBIndex(pDX, m_measure, m_measurement);
    // A decimal character in a second role would make numbers unreadable. The
    // group separator may also be the list separator: that is the usual
    // English setting (a comma for both), and a number's digits are read
    // without group separators.
    if (pDX->m_bSaveAndValidate && !pDX->Failed()
        && (m_decimal == m_groupSeparator || m_decimal == m_listSeparator || m_negative == m_decimal)) {
        ReportMessage(IDS_LOCALE_CHARACTERS_CLASH, {}, MB_OK | MB_ICONEXCLAMATION);
        pDX->PrepareCtrl(m_decimalEdit);
        pDX->Fail();
    }
}

void CLocaleFormatPage::OnRestoreDefaults()
{
    const QLocale locale = QLocale::system();
    m_decimal = FirstCharacter(locale.decimalPoint().toStdString());
    m_groupSeparator = FirstCharacter(locale.groupSeparator().toStdString());
    m_negative = FirstCharacter(locale.negativeSign().toStdString());
    // The desktop names no list separator: where the comma is the decimal
    // character, lists take the semicolon.
    m_listSeparator = m_decimal == "," ? ";" : ",";
    m_digitsInGroup = 3;
    m_measurement = locale.measurementSystem() == QLocale::MetricSystem ? Metric : US;
    UpdateData(false);
    SetModified();
}

void CLocaleFormatPage::OnSaveDefaults()
{
    if (!UpdateData(true))
        return;
    WriteProfileString(kSection, "Decimal", m_decimal.c_str());
    WriteProfileString(kSection, "ListSeparator", m_listSeparator.c_str());
    WriteProfileString(kSection, "DigitGroupSeparator", m_groupSeparator.c_str());
    WriteProfileInt(kSection, "DigitsInGroup", m_digitsInGroup);
    WriteProfileString(kSection, "NegativeSymbol", m_negative.c_str());
    // An unchanged system keeps the unit in use (points and millimetres too).
    const int unit = m_measurement == m_shownMeasurement ? MeasurementUnit::Preference().GetUnit()
                   : m_measurement == Metric             ? int(MeasurementUnit::Centimeters)
                                                         : int(MeasurementUnit::Inches);
    MeasurementUnit::WritePreference(unit);
}

bool CLocaleFormatPage::OnApply()
{
    bool changed = m_decimal != GetDecimalChar() || m_listSeparator != GetListSeparator()
                || m_groupSeparator != GetDigitGroupSeparator() || m_digitsInGroup != GetDigitsInGroup()
                || m_negative != GetNegativeSymbol();
    SetDecimalChar(m_decimal);
    SetListSeparator(m_listSeparator);
    SetDigitGroupSeparator(m_groupSeparator);
    SetDigitsInGroup(m_digitsInGroup);
    SetNegativeSymbol(m_negative);
    // Only a changed system changes the unit: a user who works in points or
    // millimetres keeps them when the page is applied for other reasons.
    if (m_measurement != m_shownMeasurement) {
        MeasurementUnit::Preference().SetUnit(m_measurement == Metric ? MeasurementUnit::Centimeters
                                                                      : MeasurementUnit::Inches);
        m_shownMeasurement = m_measurement;
        changed = true;
    }
    if (changed && m_document)
        m_document->UpdateAllViews(nullptr);
    if (Sheet())
        Sheet()->SetCancelToClose();
    return CPreferencePage::OnApply();
}
