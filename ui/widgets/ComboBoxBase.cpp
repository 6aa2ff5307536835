#include "ui/widgets/ComboBoxBase.h"

#include <QApplication>
#include <QLineEdit>

CComboBoxBase::CComboBoxBase(QWidget* parent) : QComboBox(parent)
{
    // The font of message boxes: the application's own, as the desktop sets it.
    setFont(QApplication::font("QMessageBox"));
}

std::string CComboBoxBase::GetText() const
{
    if (currentIndex() >= 0 && (!isEditable() || currentText() == itemText(currentIndex())))
        return itemText(currentIndex()).toStdString();
    return currentText().toStdString();
}

void CComboBoxBase::SelectOrSetText(const std::string& text, bool exact)
{
    const QString t = QString::fromStdString(text);
    int found = exact ? findText(t, Qt::MatchFixedString) : findText(t, Qt::MatchStartsWith);
    if (found >= 0) {
        if (found != currentIndex())
            setCurrentIndex(found);
        return;
    }
    if (isEditable()) {
        setCurrentIndex(-1);
        setEditText(t);
        SetModify(false);
    }
}

void CComboBoxBase::LimitText(int count)
{
    m_limit = count;
    if (QLineEdit* edit = lineEdit())
        edit->setMaxLength(count > 0 ? count : 32767);
}

bool CComboBoxBase::GetModify() const { return lineEdit() && lineEdit()->isModified(); }

void CComboBoxBase::SetModify(bool modified)
{
    if (QLineEdit* edit = lineEdit())
        edit->setModified(modified);
}
