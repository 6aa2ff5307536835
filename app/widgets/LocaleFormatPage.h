// The "Number Format" page of the options sheet: the characters in which the
// program writes and reads numbers and lists, and the measurement system.
#pragma once

#include "app/widgets/PreferencePage.h"

#include <string>

class CProjectDocBase;
class QComboBox;
class QLineEdit;
class QPushButton;

class CLocaleFormatPage : public CPreferencePage {
    Q_OBJECT
public:
    enum { Metric = 0, US = 1 };

    // The document whose views show numbers again after a change (may be none).
    explicit CLocaleFormatPage(CProjectDocBase* document, QWidget* parent = nullptr);

    bool OnApply() override;
    // "Restore Windows Defaults": the desktop locale's characters.
    void OnRestoreDefaults();
    // "Save as Marlox Defaults": the page's values become the profile's.
    void OnSaveDefaults();

    std::string m_decimal, m_listSeparator, m_groupSeparator, m_negative;
    int m_digitsInGroup;
    int m_measurement;

    QLineEdit* Edit(int controlId) const;
    QComboBox* DigitsCombo() const { return m_digits; }
    QComboBox* MeasurementCombo() const { return m_measure; }

protected:
    void DoDataExchange(CDataExchange* pDX) override;

private:
    CProjectDocBase* m_document;
    int m_shownMeasurement;  // the system the page opened with
    QLineEdit* m_decimalEdit;
    QLineEdit* m_groupEdit;
    QLineEdit* m_negativeEdit;
    QLineEdit* m_listEdit;
    QComboBox* m_digits;
    QComboBox* m_measure;
};
