// Moving values between a dialog's controls and its fields, both ways, with
// the checks that keep a dialog open on bad input. One exchange object runs a
// whole pass; after the first failure the remaining calls do nothing, and the
// failing control takes the focus.
#pragma once

#include "platform/Types.h"

#include <string>
#include <string_view>

class QAbstractButton;
class QComboBox;
class QLineEdit;
class QWidget;
class MeasurementUnit;

class CDataExchange {
public:
    CDataExchange(QWidget* dialog, bool saveAndValidate) : m_pDlgWnd(dialog), m_bSaveAndValidate(saveAndValidate) {}

    QWidget* m_pDlgWnd;
    const bool m_bSaveAndValidate;

    bool Failed() const { return m_failed; }
    // Remembers the control that the following checks are about.
    void PrepareCtrl(QWidget* control) { m_lastControl = control; }
    // Ends the pass: focus and selection go to the last prepared control.
    void Fail();

private:
    bool m_failed = false;
    QWidget* m_lastControl = nullptr;
};

void DDX_Text(CDataExchange* pDX, QLineEdit* edit, std::string& value);
// At most count characters; more shows "Please enter no more than %1 characters.".
void DDV_MaxChars(CDataExchange* pDX, const std::string& value, int count);
void DDX_Check(CDataExchange* pDX, QAbstractButton* box, int& value);
// The selected index of a combo box (-1: none).
void DDX_CBIndex(CDataExchange* pDX, QComboBox* combo, int& index);

// A whole number: blanks around it are allowed; anything else shows "Please
// enter an integer." and fails the pass.
void DDX_Int(CDataExchange* pDX, QLineEdit* edit, int& value);
void DDV_MinMaxInt(CDataExchange* pDX, int value, int minimum, int maximum);
// A number with fifteen significant digits; text that is no number shows
// "Please enter a number." and fails the pass.
void DDX_Double(CDataExchange* pDX, QLineEdit* edit, double& value);
// Reads a whole number, with blanks around it allowed; false for anything else.
bool ParseInt(std::string_view text, int& value);

// Lengths in the unit's current unit (internal values in 1/scale inch).
void DDX_Measurement(const MeasurementUnit& unit, CDataExchange* pDX, QLineEdit* edit, int& value);
void DDV_Measurement(const MeasurementUnit& unit, CDataExchange* pDX, int value, int minimum, int maximum);
// Saving never fails: text that parses is stored and shown again in normal
// form; text that does not shows the unchanged value again.
void DDX_MeasurementLenient(const MeasurementUnit& unit, CDataExchange* pDX, QLineEdit* edit, int& value);
// On saving a value outside [minimum, maximum] becomes the bound, shown in the edit.
void DDV_MeasurementClamp(const MeasurementUnit& unit, CDataExchange* pDX, QLineEdit* edit, int& value,
                          int minimum, int maximum);
