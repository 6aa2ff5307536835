// The "Number Format" page of the Column Format sheet: the number format of
// the selected columns. Settings in which the columns differ show empty (or
// as a third check state) and are left alone unless the user sets them.
#pragma once

#include "data/DataFormat.h"

#include <QWidget>

class CDataView;
class CHelpPropertySheet;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

class CNumberFormatPage : public QWidget {
    Q_OBJECT
public:
    explicit CNumberFormatPage(QWidget* parent = nullptr);

    // The columns of the view's selection: the first one's format, the others' intersected.
    void SetItem(CDataView* view);
    // Moves the format to the controls (false) or takes it back (true; false when a value is refused).
    bool UpdateData(bool save);
    // Runs the undoable format change.
    bool OnApply();

    CDataFormat m_format;
    bool IsModified() const { return m_bModified; }

    QLineEdit* DecimalsEdit() const { return m_decimals; }
    QLineEdit* MaxDigitsEdit() const { return m_maxDigits; }
    QCheckBox* ThousandsBox() const { return m_thousands; }
    QCheckBox* ScientificBox() const { return m_scientific; }
    QCheckBox* SmallValuesBox() const { return m_small; }
    QComboBox* ZerosCombo() const { return m_zeros; }

    // The Column Format sheet of the view with this page.
    static int RunColumnFormat(CDataView* view);

private:
    void UpdateEnabling();
    CDataView* m_pView = nullptr;
    QLineEdit* m_decimals;
    QLineEdit* m_maxDigits;
    QCheckBox* m_thousands;
    QCheckBox* m_scientific;
    QCheckBox* m_small;
    QComboBox* m_zeros;
    QPushButton* m_save;
    QPushButton* m_restore;
    bool m_bModified = false;
};
