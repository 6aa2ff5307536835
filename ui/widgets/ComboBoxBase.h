// The base of the toolbar and dialog combo boxes: the message font, a text
// limit, and finding or typing a text.
#pragma once

#include <QComboBox>

#include <string>

class QLineEdit;

class CComboBoxBase : public QComboBox {
    Q_OBJECT
public:
    explicit CComboBoxBase(QWidget* parent = nullptr);

    // The selected item's text, else the edit text.
    std::string GetText() const;
    // Selects the item whose text equals (exact) or begins with the text;
    // when none does, the text goes into the edit field.
    void SelectOrSetText(const std::string& text, bool exact);
    void LimitText(int count);
    int GetLimit() const { return m_limit; }
    // The edit field of an editable combo box (none otherwise).
    QLineEdit* GetEdit() const { return lineEdit(); }
    // Whether the user changed the edit text since it was last set.
    bool GetModify() const;
    void SetModify(bool modified);

private:
    int m_limit = 0;
};
